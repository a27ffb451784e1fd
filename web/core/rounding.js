// What rounding can do: the rounding in each node's y, how far it can move
// p, whether it decides a polynomial outright, and the band it leaves
// around a curve.  Nothing here touches the DOM.

import { sweep } from "./neville.js";
import { errorOf, ulpOf } from "./accuracy.js";
import { LIMITS } from "./limits.js";

/** @typedef {import("./program.js").QijFn} QijFn */
/** @typedef {import("./neville.js").Point} Point */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */
/** @typedef {{i: number, j: number}} Entry */

/** Ulps of the root below which an error is rounding, not the method's. */
const NOISE = LIMITS.noise;

/**
 * One unit of the rounding in a node's y, as the points carry it
 * (sweep.js's pointsFor says what it is for each f).
 * @param {Point} q
 */
export const roundingOf = (q) => q.u;
/**
 * How far one unit of rounding in each y can move p, the sweep's result
 * for these points: each y moved by a unit either way and swept again
 * through Qij, the largest move of each node added up.
 * @param {QijFn} Qij
 * @param {Point[]} pts
 * @param {number} p
 */
export function roundingReach(Qij, pts, p) {
  const n = pts.length;
  let reach = 0;
  for (let k = 0; k < n; k++) {
    const moves = [-1, 1].map((s) => {
      const moved = pts.map((q, m) => (m === k ? { ...q, y: q.y + s * roundingOf(q) } : q));
      return Math.abs(sweep(Qij, 0.0, moved)[n - 1][n - 1] - p);
    });
    reach += Math.max(...moves);
  }
  return reach;
}
/**
 * The two nodes whose y are closest, in units of their rounding.
 * @param {Point[]} pts
 */
export function closestPair(pts) {
  let best = { a: 0, b: 1, gap: Infinity };
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) {
      const gap = Math.abs(pts[b].y - pts[a].y) / Math.max(roundingOf(pts[a]), roundingOf(pts[b]));
      if (gap < best.gap) best = { a, b, gap };
    }
  }
  return best;
}

/**
 * What rounding in the y can do to p: how far one unit of it in each y
 * can move p (reach), against p - root, or, where no root is known, p's
 * distance from the nearest node (base; then error is null), and the
 * share of it that is; no share where p is at the root already, which
 * the page says otherwise.
 * @param {QijFn} Qij
 * @param {{pts: Point[], p: number}} r
 * @param {DoubleDouble | null} root
 */
export function roundingShare(Qij, r, root) {
  const error = root ? errorOf(r.p, root) : null,
    base = error === null ? Math.min(...r.pts.map((q) => Math.abs(r.p - q.x))) : Math.abs(error),
    reach = roundingReach(Qij, r.pts, r.p),
    noise = root ? NOISE * ulpOf(root.hi) : 0;
  return { reach, error, base, share: Number.isFinite(base) && base > noise ? reach / base : 0 };
}

/**
 * Whether rounding decides an entry's polynomial outright: two of its
 * nodes have y within NOISE units of the rounding their y are made of, so
 * their difference, which the sweep divides by, is rounding.  The pair
 * and its gap in those units, or null.
 * @param {{pts: Point[]}} r
 * @param {Entry} c
 */
export function ruledByRounding(r, c) {
  const pts = r.pts.slice(c.i - c.j, c.i + 1),
    pair = closestPair(pts);
  return pair.gap < NOISE ? { a: pair.a + c.i - c.j, b: pair.b + c.i - c.j, gap: pair.gap } : null;
}

/**
 * How far rounding alone can move an entry's polynomial at y: each entry
 * the sweep makes is rounded to an ulp of its x-sized value, and each
 * node's y is off by a unit of its rounding (which moves the point along
 * the curve by that much over |f'| in x), carried to y by the Lagrange
 * basis, Λ(y) = Σ |ℓ_k(y)|, once for each of the sweep's j + 1 roundings
 * on the way.  Large where y is far from nodes close to each other.
 * @param {{pts: Point[]}} r
 * @param {Entry} c
 * @param {number} y
 */
export function roundingBand(r, c, y) {
  const pts = r.pts.slice(c.i - c.j, c.i + 1);
  let lambda = 0,
    delta = 0;
  for (const [k, q] of pts.entries()) {
    let l = 1;
    for (const [n, o] of pts.entries()) if (n !== k) l *= (y - o.y) / (q.y - o.y);
    lambda += Math.abs(l);
    delta = Math.max(delta, Number.EPSILON * Math.abs(q.x) + roundingOf(q) / Math.abs(q.slope));
  }
  return (c.j + 1) * lambda * delta;
}
