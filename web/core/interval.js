// Interval arithmetic in doubles, rounded outward: a result holds every
// exact result of the operation on numbers in its arguments.  JavaScript
// only rounds to nearest, so outward rounding is by hand: + - * / (within
// half an ulp) move an ulp or more outward; Math's exp, log, sqrt, sin, cos,
// sinh and cosh four ulps or more.  That is an assumption: ECMAScript does
// not bound their error (V8 and SpiderMonkey use fdlibm's algorithms, under
// one ulp).  An end that would be NaN (0 times an infinity) is an infinity.

/** @typedef {{lo: number, hi: number}} Interval */

const ULP = 2 ** -52;
/** |v| 2^-50 is 4 to 8 ulps of v. */
const FOUR = 2 ** -50;
/** The widening at 0: the least normal double (subnormals are slow on some CPUs). */
const TINY = 2 ** -1022;

/** The next double above v, or one further; an infinity stays; NaN becomes +Infinity. */
export const up = (/** @type {number} */ v) =>
  Number.isFinite(v) ? v + (Math.abs(v) * ULP + TINY) : Number.isNaN(v) ? Infinity : v;
/** The next double below v, or one further; NaN becomes -Infinity. */
export const down = (/** @type {number} */ v) =>
  Number.isFinite(v) ? v - (Math.abs(v) * ULP + TINY) : Number.isNaN(v) ? -Infinity : v;
/** A result of Math's, widened by four ulps or more. */
const math4 = (/** @type {number} */ lo, /** @type {number} */ hi) => ({
  lo: lo - (Math.abs(lo) * FOUR + TINY),
  hi: hi + (Math.abs(hi) * FOUR + TINY),
});

export const point = (/** @type {number} */ v) => ({ lo: v, hi: v });
/** Kept exact by sums and products (widened zeros would make slow subnormals). */
export const ZERO = Object.freeze(point(0));
const isZero = (/** @type {Interval} */ a) => a.lo === 0 && a.hi === 0;
export const hull = (/** @type {Interval} */ a, /** @type {Interval} */ b) => ({
  lo: Math.min(a.lo, b.lo),
  hi: Math.max(a.hi, b.hi),
});
/** 1 where all of a is above 0, -1 where all is below, 0 where it holds 0. */
export const signOf = (/** @type {Interval} */ a) => (a.lo > 0 ? 1 : a.hi < 0 ? -1 : 0);

/** a + b, exact where either is [0, 0]. */
export const add = (/** @type {Interval} */ a, /** @type {Interval} */ b) =>
  isZero(a) ? b : isZero(b) ? a : { lo: down(a.lo + b.lo), hi: up(a.hi + b.hi) };
export const neg = (/** @type {Interval} */ a) => ({ lo: -a.hi, hi: -a.lo });
export const sub = (/** @type {Interval} */ a, /** @type {Interval} */ b) => add(a, neg(b));
/** a b, exactly [0, 0] where either is. */
export function mul(/** @type {Interval} */ a, /** @type {Interval} */ b) {
  if (isZero(a) || isZero(b)) return ZERO;
  const p = [a.lo * b.lo, a.lo * b.hi, a.hi * b.lo, a.hi * b.hi];
  return { lo: down(Math.min(...p)), hi: up(Math.max(...p)) };
}
/** a / b, b not holding 0 (the caller checks); [0, 0] for a = [0, 0]. */
export function div(/** @type {Interval} */ a, /** @type {Interval} */ b) {
  if (isZero(a)) return ZERO;
  const q = [a.lo / b.lo, a.lo / b.hi, a.hi / b.lo, a.hi / b.hi];
  return { lo: down(Math.min(...q)), hi: up(Math.max(...q)) };
}
export const scale = (/** @type {Interval} */ a, /** @type {number} */ k) => mul(a, point(k));

/** Whether a may hold c + 2 pi k for an integer k; errs towards yes by 1e-9 of a turn. */
function meets(/** @type {Interval} */ a, /** @type {number} */ c) {
  const turn = 2 * Math.PI;
  return Math.floor((a.hi - c) / turn + 1e-9) >= Math.ceil((a.lo - c) / turn - 1e-9);
}

/**
 * One of Math's functions over a, which for log and sqrt is above 0 (the
 * caller checks).  cosh falls to 1 at 0; sin and cos reach 1 and -1 where a
 * may hold a crest or trough, and are [-1, 1] over 6 or more.
 * @param {"exp" | "log" | "sqrt" | "sin" | "cos" | "sinh" | "cosh"} name
 * @param {Interval} a
 * @returns {Interval}
 */
export function math(name, a) {
  if (name === "sin" || name === "cos") {
    if (!(a.hi - a.lo < 6)) return { lo: -1, hi: 1 };
    const f = Math[name],
      crest = name === "sin" ? Math.PI / 2 : 0;
    const w = math4(Math.min(f(a.lo), f(a.hi)), Math.max(f(a.lo), f(a.hi)));
    return { lo: meets(a, crest + Math.PI) ? -1 : Math.max(-1, w.lo), hi: meets(a, crest) ? 1 : Math.min(1, w.hi) };
  }
  if (name === "cosh") {
    const w = math4(Math.min(Math.cosh(a.lo), Math.cosh(a.hi)), Math.max(Math.cosh(a.lo), Math.cosh(a.hi)));
    return { lo: a.lo <= 0 && a.hi >= 0 ? 1 : Math.max(1, w.lo), hi: w.hi };
  }
  const w = math4(Math[name](a.lo), Math[name](a.hi));
  // the rest increase; exp and sqrt are never below 0
  return name === "exp" || name === "sqrt" ? { lo: Math.max(0, w.lo), hi: w.hi } : w;
}
