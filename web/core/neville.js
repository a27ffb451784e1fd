// Neville's sweep in the program's order, through the program's own Qij,
// at any t: the tableau, its steps, and a step as weights on the two
// entries it combines.  Nothing here touches the DOM.

/** @typedef {import("./program.js").QijFn} QijFn */
/**
 * A node, its y, whether that is the program's own, a unit of the
 * rounding in y, and f' there.
 * @typedef {{x: number, y: number, own?: boolean, u: number, slope: number}} Point
 */

/**
 * The program's order: row by row, (1,1) (2,1) (2,2) (3,1) ...; each entry
 * is stored before a later call reads it.  Rows 0 .. rows-1 only: the
 * entries of those rows are the polynomials through their nodes, at t.
 * @param {QijFn} Qij
 * @param {number} t
 * @param {Point[]} pts
 * @param {number} [rows]
 */
export function sweep(Qij, t, pts, rows = pts.length) {
  /** @type {number[][]} */
  const Q = [];
  for (let i = 0; i < rows; i++) {
    Q.push([pts[i].x]);
    for (let j = 1; j <= i; j++) Q[i][j] = Qij(t, pts[i - j].y, pts[i].y, Q[i][j - 1], Q[i - 1][j - 1]);
  }
  return Q;
}
/** The entries (i, j) in the order the sweep makes them. */
export function stepsOf(/** @type {number} */ n) {
  const steps = [];
  for (let i = 1; i < n; i++) for (let j = 1; j <= i; j++) steps.push({ i, j });
  return steps;
}
/**
 * The weights the rule gives the two entries a step combines: at y = 0,
 * Q[i][j] = hi · Q[i][j-1] + lo · Q[i-1][j-1], with
 * hi = -y_(i-j) / (y_i - y_(i-j)) and lo = y_i / (y_i - y_(i-j)), which add
 * up to 1.  Outside [0, 1] where y = 0 lies outside y_(i-j) .. y_i.
 * @param {Point[]} pts
 * @param {number} i
 * @param {number} j
 */
export function weightsOf(pts, i, j) {
  const d = pts[i].y - pts[i - j].y;
  return { hi: -pts[i - j].y / d, lo: pts[i].y / d };
}

/**
 * Pairs of nodes whose y are the same double: y_b - y_a is then a zero
 * denominator of Q[b][b-a] and of every entry over both.
 * @param {Point[]} pts
 */
export function coincidences(pts) {
  const out = [];
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) if (pts[a].y === pts[b].y) out.push({ a, b });
  }
  return out;
}

/**
 * Neville's triangle: each entry (i, j) from column 1 on made from the two
 * before it, (i, j-1) and (i-1, j-1), an arrow from each, in the order the
 * sweep makes them.
 * @param {number} n the nodes
 */
export function arrowsOf(n) {
  return stepsOf(n).flatMap(({ i, j }, k) => [
    { from: [i, j - 1], to: [i, j], step: k + 1 },
    { from: [i - 1, j - 1], to: [i, j], step: k + 1 },
  ]);
}
