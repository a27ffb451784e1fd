// The page's limits, each written once: the fewest and most nodes, the
// longest text read, the most Iterates a link replays, where the
// program's nodes may lie, the significant digits the tableau can be
// shown to (0: all of them), the ulps of the root below which an error is
// rounding's rather than the method's, and the largest |x| the many-digit
// iteration takes f at.

export const LIMITS = {
  nodes: [2, 8],
  text: 400,
  iterates: 50,
  domain: [0, 1],
  digits: [0, 6, 4],
  noise: 16,
  far: 8,
};
