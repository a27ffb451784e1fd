// The interpolation error of inverse interpolation, bounded.  For n nodes,
// P the polynomial through the points (y_k, x_k), y_k = f(x_k), and
// g = f^-1, the inverse that exists where f is strictly monotone:
//
//   P(0) - root = -g^(n)(eta) / n! * prod_k (0 - y_k),
//
// for some eta in the smallest interval holding all y_k and 0; that is
// g^(n) at f(x) for some x between the least and the greatest of the
// nodes and the root.  So the range of g^(n) / n! over that x interval
// bounds P(0) - root.  Nothing here touches the DOM.
//
// What the bound covers: the exact polynomial through the exact points
// (f(x_k), x_k).  The page's p is not that: it is the sweep in doubles
// through the program's Qij, from y_k that are doubles themselves, each
// rounded (from the program's table, its exp, or the browser's Math).
// `rounding` says how far that can move p: the sweep's own rounding, by a
// running error bound of each entry (first order in the unit roundoff
// 2^-53, then 1 % more), and the y_k's, each y_k's distance from the exact
// f(x_k) (enclosed in intervals) carried to P(0) by its derivative in y_k,
// -P'(y_k) l_k(0): an estimate, first order, good while those distances
// are small beside the gaps between the y_k.  p - root lies in
// [lo - reach, hi + reach] as far as that estimate holds; where rounding
// is as large as p - root itself, p says nothing of the method.
//
// How the range is found, and why it cannot miss the extremes: g^(n) / n!
// is b_n, the n-th Taylor coefficient of g at y = f(x), which series
// reversion gives from f's Taylor coefficients at x (jets.js).  Evaluated
// over a subinterval X of x in interval arithmetic rounded outward
// (interval.js), the same recurrences give an interval holding b_n at
// every x in X, and one holding its derivative in x,
// d b_n / dx = (n + 1) b_(n+1) f'(x).  Where that derivative keeps one sign
// on X, b_n is monotone there and its range on X is exactly its values at
// X's ends, each enclosed by a point interval; elsewhere the range lies in
// b_n(mid) + (d b_n / dx)(X - mid) (the mean value theorem) and in the
// direct enclosure, and such a subinterval is split while it could move
// the range's ends by more than 0.1 %.  Every enclosure holds the true
// values, so their hull holds the true range: it can be wider than the
// range, never narrower.  Math's functions are taken to err by less than
// four ulps, as interval.js says.  Where an enclosure of f' holds 0 on
// the narrowest subinterval, or f has no jet there (abs at 0, log at 0),
// no bound exists and a reason is returned instead.

import * as I from "./interval.js";
import { JetError, compile, jetOver, workspace } from "./jets.js";
import { reversion } from "./reversion.js";
import { reachOf } from "./reach.js";
import { LIMITS } from "./limits.js";
import { NO_BOUND } from "./sentences/functions.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./interval.js").Interval} Interval */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */

/**
 * @typedef {object} Bound
 * @property {number} n nodes
 * @property {number} lo P(0) - root is at least this, for the exact polynomial through the exact points
 * @property {number} hi and at most this
 * @property {Interval} derivative encloses g^(n) over eta's interval
 * @property {Interval} coefficient encloses g^(n) / n!
 * @property {Interval} met g^(n) at points of the interval (their least and greatest): the range holds these,
 *   so it is at most `derivative` and at least `met`; they differ by about 1 % or less, unless the
 *   subintervals ran out
 * @property {Interval} product encloses prod_k (0 - f(x_k))
 * @property {[number, number]} xs the least and greatest of the nodes and the root
 * @property {Interval} ys encloses f over xs: eta's interval, and a little more
 * @property {number} boxes subintervals of xs evaluated
 * @property {import("./reach.js").Reach} rounding
 */

/**
 * Why there is no bound.  "nodes": fewer than 2 or more than 8, or not
 * distinct finite numbers.  "no-root": no root is known.  "turns": f' changes
 * sign between the nodes and the root, so f is not monotone and g does not
 * exist.  "flat": f' comes to 0 (or within rounding of it) there, where g
 * has an infinite slope.  "kink", "domain", "pole": f has no derivatives
 * there (abs at 0; log, sqrt or a power at or below 0; a division by 0 or
 * tan's pole).  "unbounded": the enclosures did not close in.
 * @typedef {{reason: "nodes" | "no-root" | "turns" | "flat" | "kink" | "domain" | "pole" | "unbounded", at: number | null, message: string}} NoBound
 */

/** The most subintervals evaluated for one bound: past it, the enclosure stands as it is, wider (`tight` says how much). */
const BUDGET = 48;
/** Subintervals to start with. */
const START = 6;
/** How close each end of the range's enclosure must come to the values met, relative to them. */
const TIGHT = 1e-2;

/**
 * The bound on P(0) - root for these points, or why there is none.
 * @param {Tree} tree f
 * @param {{x: number, y: number}[]} points the nodes and their y as the page has them (doubles)
 * @param {DoubleDouble | null} root
 * @returns {Bound | NoBound}
 */
export function interpolationBound(tree, points, root) {
  const n = points.length;
  const xs = points.map((q) => q.x);
  if (n < LIMITS.nodes[0] || n > LIMITS.nodes[1] || !xs.every(Number.isFinite) || new Set(xs).size < n) {
    return { reason: "nodes", at: null, message: NO_BOUND.nodes };
  }
  if (root === null) return { reason: "no-root", at: null, message: NO_BOUND.noRoot };
  const r = I.add(I.point(root.hi), I.point(root.lo));
  /** @type {[number, number]} */
  const span = [Math.min(...xs, r.lo), Math.max(...xs, r.hi)];
  const range = coefficientRange(tree, n, span);
  if ("reason" in range) return range;
  /** @type {Interval[]} */
  let exact;
  try {
    const f = compile(tree),
      w = workspace(f, 0);
    exact = xs.map((x) => {
      const J = jetOver(f, x, x, w);
      return { lo: J[0], hi: J[1] };
    });
  } catch (e) {
    if (!(e instanceof JetError)) throw e;
    return { reason: e.why, at: null, message: NO_BOUND.noValue(e.what) };
  }
  const product = exact.reduce((acc, v) => I.mul(acc, I.neg(v)), I.point(1));
  const error = I.neg(I.mul(range.coefficient, product));
  let factorial = 1;
  for (let k = 2; k <= n; k++) factorial *= k;
  return {
    n,
    lo: error.lo,
    hi: error.hi,
    derivative: I.scale(range.coefficient, factorial),
    coefficient: range.coefficient,
    met: I.scale(range.met, factorial),
    product,
    xs: span,
    ys: range.ys,
    boxes: range.boxes,
    rounding: reachOf(points, exact, error),
  };
}

/**
 * A subinterval and its enclosure of b_n, and of y = f(x) over it.
 * @typedef {{a: number, b: number, lo: number, hi: number, y: Interval}} Box
 */

/**
 * b_n and its slope in x at the double x, enclosed.
 * @param {import("./jets.js").Compiled} f
 * @param {number} n
 * @param {number} x
 * @param {ReturnType<typeof workspace>} space jets of order n + 1
 */
function pointOf(f, n, x, space) {
  const J = jetOver(f, x, x, space);
  const a1 = { lo: J[2], hi: J[3] };
  const B = reversion(J, space);
  return {
    b: { lo: B[2 * n], hi: B[2 * n + 1] },
    slope: I.scale(I.mul({ lo: B[2 * n + 2], hi: B[2 * n + 3] }, a1), n + 1),
  };
}

/**
 * The span cut into START subintervals, the last ending at its end exactly.
 * @param {[number, number]} span
 * @returns {[number, number][]}
 */
function startOf([a, b]) {
  return Array.from({ length: START }, (_, k) => [
    a + ((b - a) * k) / START,
    k === START - 1 ? b : a + ((b - a) * (k + 1)) / START,
  ]);
}

/**
 * The range of b_n = g^(n) / n! over x in span, enclosed: first over START
 * subintervals, then splitting the one whose enclosure reaches furthest
 * beyond the values met (at the span's ends and each subinterval's
 * middle) while that is more than TIGHT of them.
 * @param {Tree} tree
 * @param {number} n
 * @param {[number, number]} span
 * @returns {{coefficient: Interval, met: Interval, ys: Interval, boxes: number} | NoBound}
 */
function coefficientRange(tree, n, span) {
  const f = compile(tree);
  const atPoint = workspace(f, n + 1),
    overBox = workspace(f, n + 2);
  const [a0, b0] = span;
  const narrowest = Math.max((b0 - a0) * 2 ** -24, 4 * Number.EPSILON * Math.max(Math.abs(a0), Math.abs(b0)));
  const pointAt = (/** @type {number} */ x) => pointOf(f, n, x, atPoint);
  /** @type {Interval[]} the values of b_n met at points */
  const met = [];
  /** @type {Box[]} */
  const boxes = [];
  const todo = startOf(span);
  let evaluated = 0;
  try {
    met.push(pointAt(a0).b, pointAt(b0).b);
  } catch (e) {
    if (!(e instanceof JetError)) throw e;
    // an end at which f' or a derivative fails: the subintervals beside it say where
  }
  for (;;) {
    for (let next = todo.pop(); next; next = todo.pop()) {
      const [a, b] = next;
      evaluated++;
      try {
        const mid = a + (b - a) / 2;
        const p = pointAt(mid);
        met.push(p.b);
        boxes.push(boxOf(f, n, a, b, mid, p, overBox));
      } catch (e) {
        if (!(e instanceof JetError)) throw e;
        if (b - a <= narrowest || evaluated > BUDGET) return noBound(f, e, a, b);
        const mid = a + (b - a) / 2;
        todo.push([a, mid], [mid, b]);
      }
    }
    const split = furthest(boxes, met);
    if (split < 0 || evaluated >= BUDGET) break;
    const [{ a, b }] = boxes.splice(split, 1);
    const mid = a + (b - a) / 2;
    if (mid === a || mid === b) break;
    todo.push([a, mid], [mid, b]);
  }
  const lo = Math.min(...boxes.map((q) => q.lo)),
    hi = Math.max(...boxes.map((q) => q.hi));
  if (!(Number.isFinite(lo) && Number.isFinite(hi))) {
    return { reason: "unbounded", at: null, message: NO_BOUND.unbounded };
  }
  const least = Math.min(...met.map((v) => v.hi)),
    most = Math.max(...met.map((v) => v.lo));
  return {
    coefficient: { lo, hi },
    met: { lo: least, hi: most },
    ys: boxes.map((q) => q.y).reduce(I.hull),
    boxes: evaluated,
  };
}

/**
 * One subinterval [a, b] around its middle m: by Taylor's theorem,
 * b_n(x) = b_n(m) + b_n'(m) (x - m) + b_n''(xi) (x - m)^2 / 2, with
 * b_n' = (n + 1) b_(n+1) f' and b_n'' = (n + 1) ((n + 2) b_(n+2) f'^2 + 2 b_(n+1) a_2),
 * b_n(m) and b_n'(m) enclosed at the point, b_n'' over the subinterval
 * (jets of order n + 2 there); intersected with b_n's own enclosure there.
 * @param {import("./jets.js").Compiled} f
 * @param {number} n
 * @param {number} a
 * @param {number} b
 * @param {number} mid
 * @param {{b: Interval, slope: Interval}} p b_n and its slope at mid
 * @param {import("./jets.js").Workspace} w
 * @returns {Box}
 */
function boxOf(f, n, a, b, mid, p, w) {
  const J = jetOver(f, a, b, w);
  const a1 = { lo: J[2], hi: J[3] },
    a2 = { lo: J[4], hi: J[5] },
    y = { lo: J[0], hi: J[1] };
  const B = reversion(J, w);
  const coef = (/** @type {number} */ k) => ({ lo: B[2 * k], hi: B[2 * k + 1] });
  const second = I.scale(
    I.add(I.scale(I.mul(coef(n + 2), I.mul(a1, a1)), n + 2), I.scale(I.mul(coef(n + 1), a2), 2)),
    n + 1,
  );
  const r = I.hull(I.sub(I.point(a), I.point(mid)), I.sub(I.point(b), I.point(mid)));
  const r2 = { lo: 0, hi: I.mul(r, r).hi };
  const taylor = I.add(I.add(p.b, I.mul(p.slope, r)), I.scale(I.mul(second, r2), 0.5));
  const own = coef(n);
  return { a, b, lo: Math.max(taylor.lo, own.lo), hi: Math.min(taylor.hi, own.hi), y };
}

/**
 * The subinterval whose enclosure reaches furthest beyond the values of
 * b_n met, if that is more than TIGHT of them; else -1.
 * @param {Box[]} boxes
 * @param {Interval[]} met
 */
function furthest(boxes, met) {
  const least = Math.min(...met.map((v) => v.hi)),
    most = Math.max(...met.map((v) => v.lo));
  // each end to TIGHT of itself, or of a thousandth of the larger where it is near 0
  const floor = 1e-3 * Math.max(Math.abs(least), Math.abs(most), Number.MIN_VALUE);
  const tolLo = TIGHT * Math.max(Math.abs(least), floor),
    tolHi = TIGHT * Math.max(Math.abs(most), floor);
  let best = -1,
    worst = 1;
  boxes.forEach((q, k) => {
    const beyond = Math.max((least - q.lo) / tolLo, (q.hi - most) / tolHi);
    if (beyond > worst) [best, worst] = [k, beyond];
  });
  return best;
}

/**
 * Why there is no bound, from the JetError on the narrowest subinterval
 * [a, b]: where f' may be 0, whether it changes sign there (f turns) or
 * not (f is flat there).
 * @param {import("./jets.js").Compiled} f
 * @param {JetError} e
 * @param {number} a
 * @param {number} b
 * @returns {NoBound}
 */
function noBound(f, e, a, b) {
  const at = a + (b - a) / 2;
  if (e.why === "flat") {
    const w = workspace(f, 1);
    const slope = (/** @type {number} */ x) => {
      try {
        const J = jetOver(f, x, x, w);
        return (J[2] + J[3]) / 2;
      } catch {
        return NaN;
      }
    };
    const turns = slope(a) * slope(b) < 0;
    return turns
      ? { reason: "turns", at, message: NO_BOUND.turns(at) }
      : { reason: "flat", at, message: NO_BOUND.flat(at) };
  }
  return { reason: e.why, at, message: NO_BOUND.noDerivatives(at, e.what) };
}
