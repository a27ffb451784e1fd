// What rounding can do to the page's p, beside the interpolation error
// that bound.js bounds: the sweep in doubles over the page's y_k, as the
// program's Qij computes it, with a running bound of its own rounding; and
// how far the y_k's own rounding (their distance from the exact f(x_k))
// moves P(0).  Nothing here touches the DOM.

/** @typedef {import("./interval.js").Interval} Interval */

/**
 * What rounding can do to the page's p.
 * @typedef {object} Reach
 * @property {number} p the sweep in doubles over the given y, as the program's Qij computes it, bit for bit
 * @property {number} sweep how far the sweep's own rounding can move p (a running error bound)
 * @property {number} ys how far the y_k's rounding moves P(0) (a first-order estimate)
 * @property {number} reach sweep + ys
 * @property {{lo: number, hi: number}} page the bound widened by reach: where p - root lies, as far as the estimate holds
 * @property {"negligible" | "comparable" | "dominant" | "no-p"} verdict reach below a tenth of the bound's
 *   width; at least that; at least the bound's largest |value| (p - root may be all rounding); p not a number
 */

/**
 * What rounding can do to the page's p: the sweep in doubles with a
 * running error bound, and the y_k's distances from the exact f(x_k)
 * carried to P(0).
 * @param {{x: number, y: number}[]} points
 * @param {Interval[]} exact f(x_k), enclosed
 * @param {Interval} error the bound on P(0) - root
 * @returns {Reach}
 */
export function reachOf(points, exact, error) {
  const { p, sweep } = sweepWithError(points);
  const ys = Number.isFinite(p) ? yReach(points, exact) : Infinity;
  const reach = sweep + ys;
  const page = { lo: error.lo - reach, hi: error.hi + reach };
  const verdict = !Number.isFinite(p)
    ? "no-p"
    : reach >= Math.max(Math.abs(error.lo), Math.abs(error.hi))
      ? "dominant"
      : reach >= 0.1 * (error.hi - error.lo)
        ? "comparable"
        : "negligible";
  return { p, sweep, ys, reach, page, verdict };
}

/**
 * The sweep at y = 0 in doubles, each entry as the program's Qij makes it,
 * ((0 - y_lo) q_hi - (0 - y_hi) q_lo) / (y_hi - y_lo), with a running bound
 * of its rounding: each entry's error is at most its weights times its
 * parents' errors, plus u (|w_hi q_hi| + |w_lo q_lo|) for the two products
 * and 3u |q| for the subtraction, the denominator and the division, with
 * u = 2^-53; the sum is first order in u, so 1 % is added.
 * @param {{x: number, y: number}[]} points
 */
export function sweepWithError(points) {
  const u = 2 ** -53;
  const n = points.length;
  /** @type {number[][]} */
  const Q = points.map((q) => [q.x]);
  /** @type {number[][]} */
  const E = points.map(() => [0]);
  for (let i = 1; i < n; i++) {
    for (let j = 1; j <= i; j++) {
      const ya = points[i - j].y,
        yb = points[i].y,
        hi = Q[i][j - 1],
        lo = Q[i - 1][j - 1];
      const q = ((0 - ya) * hi - (0 - yb) * lo) / (yb - ya);
      const wh = Math.abs(ya / (yb - ya)),
        wl = Math.abs(yb / (yb - ya));
      Q[i][j] = q;
      E[i][j] = wh * E[i][j - 1] + wl * E[i - 1][j - 1] + u * (wh * Math.abs(hi) + wl * Math.abs(lo) + 3 * Math.abs(q));
    }
  }
  const p = Q[n - 1][n - 1];
  return { p, sweep: Number.isFinite(p) ? 1.01 * E[n - 1][n - 1] : Infinity };
}

/**
 * How far the y_k's distances from the exact f(x_k) move P(0), to first
 * order: sum_k |P'(y_k) l_k(0)| d_k, with d_k the largest distance from
 * y_k to the enclosure of f(x_k), l_k the Lagrange basis in y, and
 * P'(y_k) = sum_(j != k) (w_j / w_k) (x_j - x_k) / (y_k - y_j), w the
 * barycentric weights 1 / prod_(m != j) (y_j - y_m).
 * @param {{x: number, y: number}[]} points
 * @param {Interval[]} exact
 */
function yReach(points, exact) {
  const y = points.map((q) => q.y),
    x = points.map((q) => q.x);
  const w = y.map((yj, j) => 1 / y.reduce((acc, ym, m) => (m === j ? acc : acc * (yj - ym)), 1));
  let sum = 0;
  y.forEach((yk, k) => {
    const l = y.reduce((acc, ym, m) => (m === k ? acc : (acc * (0 - ym)) / (yk - ym)), 1);
    const slope = y.reduce((acc, yj, j) => (j === k ? acc : acc + ((w[j] / w[k]) * (x[j] - x[k])) / (yk - yj)), 0);
    const d = Math.max(Math.abs(yk - exact[k].lo), Math.abs(exact[k].hi - yk));
    sum += Math.abs(slope * l) * d;
  });
  return sum;
}
