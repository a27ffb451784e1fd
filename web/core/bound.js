// The interpolation error of inverse interpolation, bounded.  With P the
// polynomial through the n points (y_k, x_k), y_k = f(x_k), and g = f^-1
// (f strictly monotone),
//   P(0) - root = -g^(n)(eta) / n! * prod_k (0 - y_k),
// eta = f(x), x between the least and greatest of the nodes and the root.
// So the range of b_n = g^(n) / n!, g's n-th Taylor coefficient at f(x) (by
// series reversion from f's, jets.js), over that x interval bounds P(0) -
// root.  On each subinterval b_n is enclosed over the whole and by Taylor's
// second order about the middle, the narrower standing; while the
// enclosures reach over 1 % beyond the values met at points, the worst is
// split, up to 48.  The hull may be wider than the range, never narrower.
// Where f' may be 0, or f has no derivatives, on 2^-24 of the interval,
// there is no bound and why is returned.  The bound covers the exact
// polynomial through the exact points; reach.js says what rounding adds.

import * as I from "./interval.js";
import { jets, variable } from "./jets.js";
import { NoValue, compile } from "./walk.js";
import { reachOf } from "./reach.js";
import { LIMITS } from "./limits.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./interval.js").Interval} Interval */
/** @typedef {import("./jets.js").Jet} Jet */

/**
 * @typedef {object} Bound
 * @property {number} n nodes
 * @property {number} lo P(0) - root is at least this
 * @property {number} hi and at most this
 * @property {Interval} derivative encloses g^(n) over eta's interval
 * @property {Interval} met the least and greatest g^(n) at points of it, which the range holds
 * @property {Interval} product encloses prod_k (0 - f(x_k))
 * @property {import("./reach.js").Reach} rounding
 */

/**
 * Why there is no bound.  "nodes": not 2 to 8 distinct finite numbers.
 * "turns": f' changes sign between the nodes and the root.  "flat": f' comes
 * to 0 (or within rounding) there.  "kink", "domain", "pole", "range": f has
 * no derivatives there (`what` the function; `at` null at a node).
 * "unbounded": the enclosures did not close in.
 * @typedef {{reason: "nodes" | "no-root" | "turns" | "flat" | "kink" | "domain" | "pole" | "range" | "unbounded", at: number | null, what?: string}} NoBound
 */

/** Most subintervals evaluated, subintervals to start with, and how close the enclosure's ends must come to the values met. */
const BUDGET = 48,
  START = 6,
  TIGHT = 1e-2;

/** f' may be 0. */
class Flat extends Error {}

/**
 * The inverse's Taylor coefficients by series reversion: with A(t) = sum a_k
 * t^k and B(s) = sum b_k s^k, A(B(s)) = s gives b_1 = 1 / a_1 and, m >= 2,
 * a_1 b_m = -sum_(k=2..m) a_k [s^m] B^k.  So b_m = g^(m)(y) / m! at y = f(x).
 * @param {Jet} a f's a_0 .. a_n
 * @returns {Jet} b_0 .. b_n; b_0 = a_0
 */
export function reversion(a) {
  const n = a.length - 1;
  if (I.signOf(a[1]) === 0) throw new Flat();
  const b = [a[0], I.div(I.point(1), a[1])];
  /** @type {Interval[][]} B[k][m] = [s^m] B^k */
  const B = [[], [I.ZERO, b[1]]];
  for (let m = 2; m <= n; m++) {
    let sum = I.ZERO;
    for (let k = m; k >= 2; k--) {
      let c = I.ZERO;
      for (let j = 1; j <= m - k + 1; j++) c = I.add(c, I.mul(b[j], B[k - 1][m - j] ?? I.ZERO));
      (B[k] ??= [])[m] = c;
      sum = I.add(sum, I.mul(a[k], c));
    }
    b[m] = I.neg(I.div(sum, a[1]));
    B[1][m] = b[m];
  }
  return b;
}

/**
 * The bound on P(0) - root, or why there is none.
 * @param {Tree} tree f
 * @param {{x: number, y: number}[]} points the nodes and their y in doubles, as the page has them
 * @param {import("./accuracy.js").DoubleDouble | null} root
 * @returns {Bound | NoBound}
 */
export function interpolationBound(tree, points, root) {
  const n = points.length;
  const xs = points.map((q) => q.x);
  if (n < LIMITS.nodes[0] || n > LIMITS.nodes[1] || !xs.every(Number.isFinite) || new Set(xs).size < n) {
    return { reason: "nodes", at: null };
  }
  if (root === null) return { reason: "no-root", at: null };
  const r = I.add(I.point(root.hi), I.point(root.lo));
  /** @type {Interval[]} */
  let exact;
  try {
    const f = compile(tree, jets(0));
    exact = xs.map((x) => f(variable(I.point(x), 0))[0]);
  } catch (e) {
    if (!(e instanceof NoValue)) throw e;
    return { reason: e.kind, at: null, what: e.what };
  }
  const range = coefficientRange(tree, n, { lo: Math.min(...xs, r.lo), hi: Math.max(...xs, r.hi) });
  if ("reason" in range) return range;
  const product = exact.reduce((acc, v) => I.mul(acc, I.neg(v)), I.point(1));
  const error = I.neg(I.mul(range.coefficient, product));
  let factorial = 1;
  for (let k = 2; k <= n; k++) factorial *= k;
  return {
    n,
    lo: error.lo,
    hi: error.hi,
    derivative: I.scale(range.coefficient, factorial),
    met: I.scale(range.met, factorial),
    product,
    rounding: reachOf(points, exact, error),
  };
}

/**
 * b_n over span, enclosed: START subintervals, then the one reaching
 * furthest beyond the values met split while that is more than TIGHT.
 * @returns {{coefficient: Interval, met: Interval} | NoBound}
 */
function coefficientRange(/** @type {Tree} */ tree, /** @type {number} */ n, /** @type {Interval} */ span) {
  const atPoint = compile(tree, jets(n + 1)),
    overBox = compile(tree, jets(n + 2));
  // b_n and its slope in x, (n + 1) b_(n+1) f', at a double
  const pointAt = (/** @type {number} */ x) => {
    const a = atPoint(variable(I.point(x), n + 1)),
      b = reversion(a);
    return { b: b[n], slope: I.scale(I.mul(b[n + 1], a[1]), n + 1) };
  };
  const narrowest = Math.max((span.hi - span.lo) * 2 ** -24, 4 * Number.EPSILON * Math.max(-span.lo, span.hi));
  /** @type {Interval[]} */
  const met = [];
  /** @type {{box: Interval, b: Interval}[]} */
  const boxes = [];
  const step = (span.hi - span.lo) / START;
  /** @type {Interval[]} */
  const todo = Array.from({ length: START }, (_, k) => ({
    lo: span.lo + step * k,
    hi: k === START - 1 ? span.hi : span.lo + step * (k + 1),
  }));
  let evaluated = 0;
  for (const end of [span.lo, span.hi]) {
    try {
      met.push(pointAt(end).b);
    } catch (e) {
      // the subintervals beside a failing end say where
      if (!(e instanceof NoValue || e instanceof Flat)) throw e;
    }
  }
  for (;;) {
    for (let box = todo.pop(); box; box = todo.pop()) {
      evaluated++;
      const mid = box.lo + (box.hi - box.lo) / 2;
      try {
        const p = pointAt(mid);
        met.push(p.b);
        boxes.push({ box, b: boxOf(overBox, n, box, mid, p) });
      } catch (e) {
        if (!(e instanceof NoValue || e instanceof Flat)) throw e;
        if (box.hi - box.lo <= narrowest || evaluated > BUDGET) return noBound(tree, e, box);
        todo.push({ lo: box.lo, hi: mid }, { lo: mid, hi: box.hi });
      }
    }
    const split = furthest(boxes, met);
    if (split < 0 || evaluated >= BUDGET) break;
    const [{ box }] = boxes.splice(split, 1);
    const mid = box.lo + (box.hi - box.lo) / 2;
    if (mid === box.lo || mid === box.hi) break;
    todo.push({ lo: box.lo, hi: mid }, { lo: mid, hi: box.hi });
  }
  const coefficient = boxes.map((q) => q.b).reduce(I.hull);
  if (!(Number.isFinite(coefficient.lo) && Number.isFinite(coefficient.hi))) return { reason: "unbounded", at: null };
  return { coefficient, met: { lo: Math.min(...met.map((v) => v.hi)), hi: Math.max(...met.map((v) => v.lo)) } };
}

/**
 * b_n over box: b_n(m) + b_n'(m) (x - m) + b_n''(xi) (x - m)^2 / 2, m = mid,
 * b_n' = (n + 1) b_(n+1) f' (p.slope), b_n'' = (n + 1) ((n + 2) b_(n+2) f'^2
 * + 2 b_(n+1) a_2), intersected with b_n's own enclosure there.
 * @param {(x: Jet) => Jet} overBox f's jets of order n + 2
 * @param {number} n
 * @param {Interval} box
 * @param {number} mid
 * @param {{b: Interval, slope: Interval}} p
 */
function boxOf(overBox, n, box, mid, p) {
  const a = overBox(variable(box, n + 2)),
    b = reversion(a);
  const second = I.scale(
    I.add(I.scale(I.mul(b[n + 2], I.mul(a[1], a[1])), n + 2), I.scale(I.mul(b[n + 1], a[2]), 2)),
    n + 1,
  );
  const r = I.hull(I.sub(I.point(box.lo), I.point(mid)), I.sub(I.point(box.hi), I.point(mid)));
  const taylor = I.add(I.add(p.b, I.mul(p.slope, r)), I.scale(I.mul(second, { lo: 0, hi: I.mul(r, r).hi }), 0.5));
  return { lo: Math.max(taylor.lo, b[n].lo), hi: Math.min(taylor.hi, b[n].hi) };
}

/** The index of the box reaching furthest beyond the values met, if more than TIGHT of them; else -1. */
function furthest(/** @type {{b: Interval}[]} */ boxes, /** @type {Interval[]} */ met) {
  const least = Math.min(...met.map((v) => v.hi)),
    most = Math.max(...met.map((v) => v.lo));
  // TIGHT of each end, or of a thousandth of the larger where it is near 0
  const floor = 1e-3 * Math.max(Math.abs(least), Math.abs(most), Number.MIN_VALUE);
  const tolLo = TIGHT * Math.max(Math.abs(least), floor),
    tolHi = TIGHT * Math.max(Math.abs(most), floor);
  let best = -1,
    worst = 1;
  boxes.forEach((q, k) => {
    const beyond = Math.max((least - q.b.lo) / tolLo, (q.b.hi - most) / tolHi);
    if (beyond > worst) [best, worst] = [k, beyond];
  });
  return best;
}

/**
 * Why there is no bound, from what failed on the narrowest subinterval;
 * where f' may be 0, whether it changes sign across it ("turns") or not.
 * @returns {NoBound}
 */
function noBound(/** @type {Tree} */ tree, /** @type {Error} */ e, /** @type {Interval} */ box) {
  const at = box.lo + (box.hi - box.lo) / 2;
  if (e instanceof NoValue) return { reason: e.kind, at, what: e.what };
  const slopeOf = compile(tree, jets(1));
  const slope = (/** @type {number} */ x) => {
    try {
      const d = slopeOf(variable(I.point(x), 1))[1];
      return (d.lo + d.hi) / 2;
    } catch {
      return NaN;
    }
  };
  return { reason: slope(box.lo) * slope(box.hi) < 0 ? "turns" : "flat", at };
}
