// The page's limits, each written once: the fewest and most nodes, the
// longest text read, the most Iterates a link replays, and where the
// program's nodes may lie.

export const LIMITS = { nodes: [2, 8], text: 400, iterates: 50, domain: [0, 1] };
