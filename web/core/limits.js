// The page's limits, each written once: the fewest and most nodes, the
// longest text read, the most Iterates a link replays.

export const LIMITS = { nodes: [2, 8], text: 400, iterates: 50 };
