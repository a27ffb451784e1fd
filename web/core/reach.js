// What rounding can do to the page's p, beside the interpolation error
// (bound.js): the sweep in doubles as the program's Qij computes it, with a
// running bound on its rounding; and how far the y_k's distance from the
// exact f(x_k) moves P(0), to first order.

/** @typedef {import("./interval.js").Interval} Interval */
/** @typedef {{x: number, y: number}} Point */

/**
 * @typedef {object} Reach
 * @property {number} p the sweep in doubles over the given y, bit for bit the program's
 * @property {number} sweep how far the sweep's rounding can move p
 * @property {number} ys how far the y_k's rounding moves P(0) (first order)
 * @property {number} reach sweep + ys
 * @property {{lo: number, hi: number}} page the bound widened by reach: where p - root lies
 * @property {"negligible" | "comparable" | "none"} verdict reach under a tenth of the bound's width; at least
 *   that; p or reach not a number
 */

/** exact encloses f(x_k); error is the bound on P(0) - root.  @returns {Reach} */
export function reachOf(/** @type {Point[]} */ points, /** @type {Interval[]} */ exact, /** @type {Interval} */ error) {
  const { p, sweep } = sweepWithError(points);
  const ys = Number.isFinite(p) ? yReach(points, exact) : Infinity;
  const reach = sweep + ys;
  const page = { lo: error.lo - reach, hi: error.hi + reach };
  const verdict =
    !Number.isFinite(p) || Number.isNaN(reach)
      ? "none"
      : reach >= 0.1 * (error.hi - error.lo)
        ? "comparable"
        : "negligible";
  return { p, sweep, ys, reach, page, verdict };
}

/**
 * The sweep at y = 0 as Qij makes each entry, ((0 - y_lo) q_hi - (0 - y_hi)
 * q_lo) / (y_hi - y_lo), and a running bound on its rounding: the weights
 * times the parents' errors, plus u (|w_hi q_hi| + |w_lo q_lo|) for the
 * products and 3u |q| for the subtraction, denominator and division, u =
 * 2^-53; and 2^-1074 / |y_hi - y_lo| for the products, each off by up to
 * half the least subnormal where they underflow.  First order in u, so 1 %
 * is added.
 */
export function sweepWithError(/** @type {Point[]} */ points) {
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
      E[i][j] =
        wh * E[i][j - 1] +
        wl * E[i - 1][j - 1] +
        u * (wh * Math.abs(hi) + wl * Math.abs(lo) + 3 * Math.abs(q)) +
        2 ** -1074 / Math.abs(yb - ya);
    }
  }
  const p = Q[n - 1][n - 1];
  return { p, sweep: Number.isFinite(p) ? 1.01 * E[n - 1][n - 1] : Infinity };
}

/**
 * sum_k |P'(y_k) l_k(0)| d_k: d_k the largest distance from y_k to f(x_k)'s
 * enclosure, l_k the Lagrange basis in y, P'(y_k) = sum_(j != k) (w_j / w_k)
 * (x_j - x_k) / (y_k - y_j) with barycentric weights w_j = 1 / prod_(m != j)
 * (y_j - y_m).  Their ratio, w_j / w_k = -prod_(m != j, k) (y_k - y_m) /
 * (y_j - y_m), is taken as a product of ratios: the weights themselves
 * overflow where the y are tiny.
 */
function yReach(/** @type {Point[]} */ points, /** @type {Interval[]} */ exact) {
  const y = points.map((q) => q.y),
    x = points.map((q) => q.x);
  const ratio = (/** @type {number} */ j, /** @type {number} */ k) =>
    -y.reduce((acc, ym, m) => (m === j || m === k ? acc : (acc * (y[k] - ym)) / (y[j] - ym)), 1);
  let sum = 0;
  y.forEach((yk, k) => {
    const l = y.reduce((acc, ym, m) => (m === k ? acc : (acc * (0 - ym)) / (yk - ym)), 1);
    // where another y is 0, moving y_k leaves P(0) where it is, however steep P is there
    if (l === 0) return;
    const slope = y.reduce((acc, yj, j) => (j === k ? acc : acc + (ratio(j, k) * (x[j] - x[k])) / (yk - yj)), 0);
    const d = Math.max(Math.abs(yk - exact[k].lo), Math.abs(exact[k].hi - yk));
    sum += Math.abs(slope * l) * d;
  });
  return sum;
}
