// Neville's sweep as the program makes it, through its own Qij, at any t:
// the tableau, its steps, and a step as weights on the two entries it combines.

/** @typedef {{x: number, y: number, tabled?: boolean, u: number, slope: number}} Point a node, its y, whether
 * that is the program's own, a unit of the rounding in y, and f' there */

/** The tableau's rows 0 .. rows-1 at t, in the program's order (1,1) (2,1) (2,2) (3,1) ...
 * @param {import("./program.js").QijFn} Qij @param {number} t @param {Point[]} pts @param {number} [rows] */
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
/** At y = 0, Q[i][j] = hi · Q[i][j-1] + lo · Q[i-1][j-1]; hi + lo = 1, and both lie in [0, 1] only where 0 lies
 * between y_(i-j) and y_i.
 * @param {Point[]} pts @param {number} i @param {number} j */
export function weightsOf(pts, i, j) {
  const d = pts[i].y - pts[i - j].y;
  return { hi: -pts[i - j].y / d, lo: pts[i].y / d };
}

/** Pairs of nodes with the same y: a zero denominator in Q[b][b-a] and every entry over both. */
export function coincidences(/** @type {Point[]} */ pts) {
  const out = [];
  for (let b = 1; b < pts.length; b++) for (let a = 0; a < b; a++) if (pts[a].y === pts[b].y) out.push({ a, b });
  return out;
}

/** The triangle's arrows: into each entry from column 1 on, from (i, j-1) and (i-1, j-1), in the sweep's order. */
export function arrowsOf(/** @type {number} */ n) {
  return stepsOf(n).flatMap(({ i, j }, k) => [
    { from: [i, j - 1], to: [i, j], step: k + 1 },
    { from: [i - 1, j - 1], to: [i, j], step: k + 1 },
  ]);
}
