// What rounding can do: the rounding in each node's y, how far it can move
// p, whether it decides a polynomial outright, and the band it leaves
// around a curve.

import { sweep } from "./neville.js";
import { errorOf, ulpOf } from "./accuracy.js";
import { LIMITS } from "./limits.js";

/** @typedef {import("./program.js").QijFn} QijFn */
/** @typedef {import("./neville.js").Point} Point */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */
/** @typedef {{i: number, j: number}} Entry */

/** Ulps of the root within which p's error is not weighed against rounding (the page gives p's digits there);
 * in units of the y's rounding, the gap below which it rules a difference. */
const NOISE = LIMITS.noise;

/** One unit of the rounding in a node's y (sweep.js's pointsFor says what it is for each f). */
export const roundingOf = (/** @type {Point} */ q) => q.u;

/**
 * What rounding in the y can do to p: `reach`, how far a unit of it in each y can move p (each
 * y moved a unit either way and swept again, the largest moves added up), against `base`,
 * |p - root| (`error`) or, with no root known, p's distance from the nearest node; `share` is
 * 0 within NOISE ulps of the root.
 * @param {QijFn} Qij @param {{pts: Point[], p: number}} r @param {DoubleDouble | null} root
 */
export function roundingShare(Qij, r, root) {
  const error = root ? errorOf(r.p, root) : null,
    base = error === null ? Math.min(...r.pts.map((q) => Math.abs(r.p - q.x))) : Math.abs(error),
    n = r.pts.length;
  let reach = 0;
  for (let k = 0; k < n; k++) {
    const moves = [-1, 1].map((s) => {
      const moved = r.pts.map((q, m) => (m === k ? { ...q, y: q.y + s * roundingOf(q) } : q));
      return Math.abs(sweep(Qij, 0.0, moved)[n - 1][n - 1] - r.p);
    });
    reach += Math.max(...moves);
  }
  const noise = root ? NOISE * ulpOf(root.hi) : 0;
  return { reach, error, base, share: Number.isFinite(base) && base > noise ? reach / base : 0 };
}

/**
 * Whether rounding decides an entry's polynomial outright: the two of its nodes whose y are
 * closest in units of their rounding, and that gap, where it is below NOISE (the difference
 * the sweep divides by is then rounding); else null.
 */
export function ruledByRounding(/** @type {{pts: Point[]}} */ r, /** @type {Entry} */ c) {
  const pts = r.pts.slice(c.i - c.j, c.i + 1);
  let best = { a: 0, b: 1, gap: Infinity };
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) {
      const gap = Math.abs(pts[b].y - pts[a].y) / Math.max(roundingOf(pts[a]), roundingOf(pts[b]));
      if (gap < best.gap) best = { a, b, gap };
    }
  }
  return best.gap < NOISE ? { a: best.a + c.i - c.j, b: best.b + c.i - c.j, gap: best.gap } : null;
}

/**
 * How far rounding alone can move an entry's polynomial at y: each entry the sweep makes is
 * off by an ulp of its x-sized value, each node's y by a unit of its rounding (over |f'| in
 * x), carried to y by the Lagrange basis, Λ(y) = Σ |ℓ_k(y)|, once for each of the sweep's
 * j + 1 roundings.  Large where y is far from nodes close together.
 * @param {{pts: Point[]}} r @param {Entry} c @param {number} y
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
