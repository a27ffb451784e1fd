// Taylor jets: f's Taylor coefficients, f(x + t) = c_0 + c_1 t + ... +
// c_N t^N with c_k = f^(k)(x) / k!, by truncated power series arithmetic
// (each operation's coefficients from its arguments', by the usual
// recurrences), in interval arithmetic rounded outward (interval.js).  So
// a jet of x over [a, A] holds, at each k, an interval that contains
// f^(k)(x) / k! for every x in [a, A]: each recurrence is a sum of
// products and quotients of intervals that contain theirs.  Over a single
// double x, [x, x], the intervals are narrow.  Nothing here touches the DOM.

import * as I from "./interval.js";
import { NoValue } from "./walk.js";
import { fromDecimal, fromDouble } from "./fixed.js";

/** @typedef {import("./interval.js").Interval} Interval */
/** @typedef {Interval[]} Jet c_0 .. c_N */

/**
 * The jet of x itself over [a, A] up to t^N: [a, A], 1, 0, 0, ...
 * @param {Interval} x
 * @param {number} N
 * @returns {Jet}
 */
export const variable = (x, N) =>
  Array.from({ length: N + 1 }, (_, k) => (k === 0 ? x : k === 1 ? I.point(1) : I.ZERO));

/** A constant's jet up to t^N. */
const constant = (/** @type {Interval} */ c, /** @type {number} */ N) =>
  Array.from({ length: N + 1 }, (_, k) => (k === 0 ? c : I.ZERO));

/** sum_(j=from..k) w(j) a_j b_(k-j), enclosed. */
function convolve(
  /** @type {Jet} */ a,
  /** @type {Jet} */ b,
  /** @type {number} */ k,
  from = 0,
  /** @type {(j: number) => number} */ w = () => 1,
) {
  let s = I.ZERO;
  for (let j = from; j <= k; j++) s = I.add(s, I.mul(I.scale(a[j], w(j)), b[k - j]));
  return s;
}

/** a b, truncated. */
const times = (/** @type {Jet} */ a, /** @type {Jet} */ b) => a.map((_, k) => convolve(a, b, k));

/** a / b, truncated: a_k = sum_(j=0..k) b_j q_(k-j), solved for q_k. */
function over(/** @type {Jet} */ a, /** @type {Jet} */ b, what = "/") {
  if (I.signOf(b[0]) === 0) throw new NoValue("pole", what);
  /** @type {Jet} */
  const q = [];
  for (let k = 0; k < a.length; k++) q.push(I.div(I.sub(a[k], convolve(b, q, k, 1)), b[0]));
  return q;
}

/**
 * A pair of functions of u by the recurrences of their derivatives, for k >= 1:
 *   s, c = sin u, cos u:    k s_k = sum_(j=1..k) j u_j c_(k-j),  k c_k = -sum_(j=1..k) j u_j s_(k-j)
 *   s, c = sinh u, cosh u:  the same with +
 * @param {Jet} u
 * @param {1 | -1} sign
 * @param {Interval} s0
 * @param {Interval} c0
 */
function pair(u, sign, s0, c0) {
  const s = [s0],
    c = [c0];
  for (let k = 1; k < u.length; k++) {
    s.push(
      I.div(
        convolve(u, c, k, 1, (j) => j),
        I.point(k),
      ),
    );
    c.push(
      I.div(
        convolve(u, s, k, 1, (j) => j),
        I.point(sign * k),
      ),
    );
  }
  return { s, c };
}

/**
 * e = exp u: k e_k = sum_(j=1..k) j u_j e_(k-j).
 * @param {Jet} u
 */
function expOf(u) {
  const e = [I.math("exp", u[0])];
  for (let k = 1; k < u.length; k++)
    e.push(
      I.div(
        convolve(u, e, k, 1, (j) => j),
        I.point(k),
      ),
    );
  return e;
}

/**
 * l = log u: u_0 l_k = u_k - (1/k) sum_(j=1..k-1) j l_j u_(k-j), for u_0 > 0.
 * @param {Jet} u
 */
function logOf(u, what = "log") {
  if (!(u[0].lo > 0)) throw new NoValue("domain", what);
  const l = [I.math("log", u[0])];
  for (let k = 1; k < u.length; k++) {
    let s = I.ZERO;
    for (let j = 1; j < k; j++) s = I.add(s, I.mul(I.scale(l[j], j), u[k - j]));
    l.push(I.div(I.sub(u[k], I.div(s, I.point(k))), u[0]));
  }
  return l;
}

/**
 * r = sqrt u: 2 r_0 r_k = u_k - sum_(j=1..k-1) r_j r_(k-j), for u_0 > 0
 * (at 0 its slope is infinite).
 * @param {Jet} u
 */
function sqrtOf(u) {
  if (!(u[0].lo > 0)) throw new NoValue("domain", "sqrt");
  const r = [I.math("sqrt", u[0])];
  for (let k = 1; k < u.length; k++) {
    let s = I.ZERO;
    for (let j = 1; j < k; j++) s = I.add(s, I.mul(r[j], r[k - j]));
    r.push(I.div(I.sub(u[k], s), I.scale(r[0], 2)));
  }
  return r;
}

/** u^n for an integer n, by squaring; 1 / u^|n| for n < 0. */
function powerInt(/** @type {Jet} */ u, /** @type {number} */ n) {
  let result = constant(I.point(1), u.length - 1),
    square = u;
  for (let m = Math.abs(n); m > 0; m = Math.floor(m / 2)) {
    if (m % 2) result = times(result, square);
    if (m > 1) square = times(square, square);
  }
  return n >= 0 ? result : over(constant(I.point(1), u.length - 1), result);
}

/**
 * Interval jets up to t^N, as an arithmetic for the walk over f.  Throws a
 * NoValue where an operation has no jet on the interval, or may have none.
 * @param {number} N
 * @returns {import("./walk.js").Arithmetic<Jet>}
 */
export function jets(N) {
  const trig = (/** @type {Jet} */ u) => pair(u, -1, I.math("sin", u[0]), I.math("cos", u[0]));
  const hyper = (/** @type {Jet} */ u) => pair(u, 1, I.math("sinh", u[0]), I.math("cosh", u[0]));
  return {
    // a literal is the double itself where that is the decimal exactly, else the double with an ulp either side
    num: (v, text) =>
      constant(fromDecimal(text, 1200n) === fromDouble(v, 1200n) ? I.point(v) : { lo: I.down(v), hi: I.up(v) }, N),
    constant: (name) => {
      const v = name === "pi" ? Math.PI : Math.E;
      return constant({ lo: I.down(v), hi: I.up(v) }, N);
    },
    neg: (a) => a.map(I.neg),
    add: (a, b) => a.map((v, k) => I.add(v, b[k])),
    sub: (a, b) => a.map((v, k) => I.sub(v, b[k])),
    mul: times,
    div: (a, b) => over(a, b),
    // a^b = exp(b log a), for a > 0
    pow: (a, b) => expOf(times(b, logOf(a, "^"))),
    powi: powerInt,
    fn: {
      exp: expOf,
      log: (u) => logOf(u),
      sqrt: sqrtOf,
      sin: (u) => trig(u).s,
      cos: (u) => trig(u).c,
      tan: (u) => {
        const { s, c } = trig(u);
        return over(s, c, "tan");
      },
      abs: (u) => {
        const sign = I.signOf(u[0]);
        if (sign === 0) throw new NoValue("kink", "abs");
        return sign > 0 ? u : u.map(I.neg);
      },
      sinh: (u) => hyper(u).s,
      cosh: (u) => hyper(u).c,
      tanh: (u) => {
        const { s, c } = hyper(u);
        return over(s, c, "tanh");
      },
    },
  };
}
