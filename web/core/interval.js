// Interval arithmetic in doubles, rounded outward: each result is an
// interval that holds every exact result of the operation on numbers of
// its arguments.  JavaScript rounds to nearest and has no other mode, so
// outward rounding is made by hand: an arithmetic result (+ - * /, each
// within half an ulp of the exact one) is moved one ulp or more outward;
// a result of the browser's Math.exp, log, sin, cos, sqrt four ulps or
// more.  That last is an assumption, not a proof: ECMAScript does not bound
// the error of these functions.  V8 and SpiderMonkey compute them with
// fdlibm's algorithms, documented to err by less than one ulp; Math.sqrt
// is IEEE's correctly rounded square root.  Nothing here touches the DOM.
//
// The ends are plain numbers: mulLo(a, A, b, B) is the lower end of
// [a, A] [b, B], mulHi its upper end, so that the jets' loops allocate
// nothing.  An end that would be NaN (0 times an infinity) is an infinity
// outward.

/** @typedef {{lo: number, hi: number}} Interval */

const ULP = 2 ** -52;
/** Four ulps and more of a double v, relative: |v| 2^-50 is 4 to 8 ulps of v. */
const FOUR = 2 ** -50;
/** The least normal double, the widening at 0 (a subnormal would do, but is slow to compute with on some CPUs). */
const TINY = 2 ** -1022;

/**
 * The next double above v, or one further: v + |v| 2^-52 is exact when
 * scaled, at least one ulp of v, and rounding the sum to nearest cannot
 * undo it; TINY covers v near 0.  An infinity stays as it is; NaN (an
 * end from 0 times infinity) becomes +Infinity.
 * @param {number} v
 */
export const up = (v) => (Number.isFinite(v) ? v + (Math.abs(v) * ULP + TINY) : Number.isNaN(v) ? Infinity : v);
/** The next double below v, or one further; NaN becomes -Infinity. */
export const down = (/** @type {number} */ v) =>
  Number.isFinite(v) ? v - (Math.abs(v) * ULP + TINY) : Number.isNaN(v) ? -Infinity : v;
/** v moved up by four ulps or more, for a result of Math's functions. */
export const up4 = (/** @type {number} */ v) => v + (Math.abs(v) * FOUR + TINY);
/** v moved down by four ulps or more. */
export const down4 = (/** @type {number} */ v) => v - (Math.abs(v) * FOUR + TINY);

/**
 * x + y rounded down: exact where either is 0, so that a jet's zero terms
 * stay exactly 0.  (Widened zeros, multiplied on, would make subnormal
 * numbers, correct but many times slower to compute with.)
 * @param {number} x
 * @param {number} y
 */
export const sumLo = (x, y) => (x === 0 ? y : y === 0 ? x : down(x + y));
/** x + y rounded up, exact where either is 0. */
export const sumHi = (/** @type {number} */ x, /** @type {number} */ y) => (x === 0 ? y : y === 0 ? x : up(x + y));

/** Lower end of [a, A] [b, B]; exactly 0 where either is [0, 0]. */
export function mulLo(
  /** @type {number} */ a,
  /** @type {number} */ A,
  /** @type {number} */ b,
  /** @type {number} */ B,
) {
  if ((a === 0 && A === 0) || (b === 0 && B === 0)) return 0;
  const p = a * b,
    q = a * B,
    r = A * b,
    s = A * B;
  return down(Math.min(p, q, r, s));
}
/** Upper end of [a, A] [b, B]; exactly 0 where either is [0, 0]. */
export function mulHi(
  /** @type {number} */ a,
  /** @type {number} */ A,
  /** @type {number} */ b,
  /** @type {number} */ B,
) {
  if ((a === 0 && A === 0) || (b === 0 && B === 0)) return 0;
  const p = a * b,
    q = a * B,
    r = A * b,
    s = A * B;
  return up(Math.max(p, q, r, s));
}
/** Lower end of [a, A] / [b, B], for b > 0 or B < 0 (the caller checks); exactly 0 where [a, A] is [0, 0]. */
export function divLo(
  /** @type {number} */ a,
  /** @type {number} */ A,
  /** @type {number} */ b,
  /** @type {number} */ B,
) {
  if (a === 0 && A === 0) return 0;
  return down(Math.min(a / b, a / B, A / b, A / B));
}
/** Upper end of [a, A] / [b, B], for b > 0 or B < 0 (the caller checks); exactly 0 where [a, A] is [0, 0]. */
export function divHi(
  /** @type {number} */ a,
  /** @type {number} */ A,
  /** @type {number} */ b,
  /** @type {number} */ B,
) {
  if (a === 0 && A === 0) return 0;
  return up(Math.max(a / b, a / B, A / b, A / B));
}

/** The double v itself, exactly. */
export const point = (/** @type {number} */ v) => ({ lo: v, hi: v });
/** The smallest interval holding both. */
export const hull = (/** @type {Interval} */ a, /** @type {Interval} */ b) => ({
  lo: Math.min(a.lo, b.lo),
  hi: Math.max(a.hi, b.hi),
});
/** 1 where all of [a, A] is above 0, -1 where all is below, 0 where it holds 0. */
export const signOf = (/** @type {number} */ a, /** @type {number} */ A) => (a > 0 ? 1 : A < 0 ? -1 : 0);

/** a + b */
export const add = (/** @type {Interval} */ a, /** @type {Interval} */ b) => ({
  lo: sumLo(a.lo, b.lo),
  hi: sumHi(a.hi, b.hi),
});
/** a - b */
export const sub = (/** @type {Interval} */ a, /** @type {Interval} */ b) => ({
  lo: sumLo(a.lo, -b.hi),
  hi: sumHi(a.hi, -b.lo),
});
/** -a, exact */
export const neg = (/** @type {Interval} */ a) => ({ lo: -a.hi, hi: -a.lo });
/** a b */
export const mul = (/** @type {Interval} */ a, /** @type {Interval} */ b) => ({
  lo: mulLo(a.lo, a.hi, b.lo, b.hi),
  hi: mulHi(a.lo, a.hi, b.lo, b.hi),
});
/** a times a double k, taken exactly. */
export const scale = (/** @type {Interval} */ a, /** @type {number} */ k) => mul(a, point(k));

/**
 * Whether [lo, hi] may hold a point c + 2 pi k for some integer k.  The
 * division rounds, so the test errs towards yes by 1e-9 of a turn, which
 * only ever widens a result.
 * @param {number} lo
 * @param {number} hi
 * @param {number} c
 */
function meets(lo, hi, c) {
  const turn = 2 * Math.PI;
  return Math.floor((hi - c) / turn + 1e-9) >= Math.ceil((lo - c) / turn - 1e-9);
}

/**
 * sin or cos over [a, A]: the ends' values, and 1 or -1 where [a, A] may
 * hold a crest or a trough; all of [-1, 1] where it is 6 or more wide.
 * @param {"sin" | "cos"} name
 * @param {number} a
 * @param {number} A
 * @returns {[number, number]}
 */
export function wave(name, a, A) {
  if (!(A - a < 6)) return [-1, 1];
  const f = name === "sin" ? Math.sin : Math.cos,
    crest = name === "sin" ? Math.PI / 2 : 0;
  const s = f(a),
    t = f(A);
  return [
    meets(a, A, crest + Math.PI) ? -1 : Math.max(-1, down4(Math.min(s, t))),
    meets(a, A, crest) ? 1 : Math.min(1, up4(Math.max(s, t))),
  ];
}
