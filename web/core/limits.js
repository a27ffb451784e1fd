// The page's limits, each written once.

export const LIMITS = {
  nodes: [2, 8], // the fewest and most nodes
  text: 400, // the longest text read
  iterates: 100, // the most Iterates made, by clicks or a link
  domain: [0, 1], // where the program's nodes may lie
  digits: [0, 6, 4], // the significant digits the tableau may be shown to (0: all)
  noise: 16, // ulps of the root within which p is said to be a few ulps from it
  far: 8, // the largest |x| the many-digit iteration takes f at
};
