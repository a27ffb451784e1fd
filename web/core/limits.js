// The page's limits, each written once: the fewest and most nodes, the
// longest text read, the most Iterates a link replays, where the
// program's nodes may lie, and the significant digits the tableau can be
// shown to (0: all of them).

export const LIMITS = { nodes: [2, 8], text: 400, iterates: 50, domain: [0, 1], digits: [0, 6, 4] };
