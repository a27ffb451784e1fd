// Taylor jets: f(x + t) = c_0 + c_1 t + ... + c_N t^N, c_k = f^(k)(x) / k!,
// by truncated power series recurrences in outward-rounded intervals
// (interval.js).  Each recurrence is sums, products and quotients of
// enclosures, so a jet over [a, A] holds at each k every f^(k)(x) / k! for x
// in [a, A]; over a point [x, x] the intervals are narrow.

import * as I from "./interval.js";
import { NoValue } from "./walk.js";
import { fromDecimal, fromDouble } from "./fixed.js";

/** @typedef {import("./interval.js").Interval} Interval */
/** @typedef {Interval[]} Jet c_0 .. c_N */

/** x itself over [a, A] up to t^N: [a, A], 1, 0, 0, ...  @returns {Jet} */
export const variable = (/** @type {Interval} */ x, /** @type {number} */ N) =>
  Array.from({ length: N + 1 }, (_, k) => (k === 0 ? x : k === 1 ? I.point(1) : I.ZERO));

const constant = (/** @type {Interval} */ c, /** @type {number} */ N) =>
  Array.from({ length: N + 1 }, (_, k) => (k === 0 ? c : I.ZERO));

/**
 * sum_(j=from..k) w(j) a_j b_(k-j)
 * @type {(a: Jet, b: Jet, k: number, from?: number, w?: (j: number) => number) => Interval}
 */
function convolve(a, b, k, from = 0, w = () => 1) {
  let s = I.ZERO;
  for (let j = from; j <= k; j++) s = I.add(s, I.mul(I.scale(a[j], w(j)), b[k - j]));
  return s;
}

const index = (/** @type {number} */ j) => j;
/** (1/d) sum_(j=1..k) j u_j v_(k-j) */
const derived = (/** @type {Jet} */ u, /** @type {Jet} */ v, /** @type {number} */ k, /** @type {number} */ d) =>
  I.div(convolve(u, v, k, 1, index), I.point(d));

const times = (/** @type {Jet} */ a, /** @type {Jet} */ b) => a.map((_, k) => convolve(a, b, k));

/** a / b: a_k = sum_(j=0..k) b_j q_(k-j), solved for q_k. */
function over(/** @type {Jet} */ a, /** @type {Jet} */ b, what = "/") {
  if (I.signOf(b[0]) === 0) throw new NoValue("pole", what);
  /** @type {Jet} */
  const q = [];
  for (let k = 0; k < a.length; k++) q.push(I.div(I.sub(a[k], convolve(b, q, k, 1)), b[0]));
  return q;
}

/**
 * s, c = sin u, cos u or sinh u, cosh u: k s_k = sum_(j=1..k) j u_j c_(k-j),
 * k c_k = -+ sum_(j=1..k) j u_j s_(k-j).
 * @returns {[Jet, Jet]}
 */
function pair(/** @type {Jet} */ u, hyperbolic = false) {
  const s = [I.math(hyperbolic ? "sinh" : "sin", u[0])],
    c = [I.math(hyperbolic ? "cosh" : "cos", u[0])];
  for (let k = 1; k < u.length; k++) {
    s.push(derived(u, c, k, k));
    c.push(derived(u, s, k, hyperbolic ? k : -k));
  }
  return [s, c];
}

/** e = exp u: k e_k = sum_(j=1..k) j u_j e_(k-j). */
function expOf(/** @type {Jet} */ u) {
  const e = [I.math("exp", u[0])];
  for (let k = 1; k < u.length; k++) e.push(derived(u, e, k, k));
  return e;
}

/** l = log u, u_0 > 0: u_0 l_k = u_k - (1/k) sum_(j=1..k-1) j l_j u_(k-j). */
function logOf(/** @type {Jet} */ u, what = "log") {
  if (!(u[0].lo > 0)) throw new NoValue("domain", what);
  const l = [I.math("log", u[0])];
  for (let k = 1; k < u.length; k++) {
    let s = I.ZERO;
    for (let j = 1; j < k; j++) s = I.add(s, I.mul(I.scale(l[j], j), u[k - j]));
    l.push(I.div(I.sub(u[k], I.div(s, I.point(k))), u[0]));
  }
  return l;
}

/** r = sqrt u, u_0 > 0 (at 0 the slope is infinite): 2 r_0 r_k = u_k - sum_(j=1..k-1) r_j r_(k-j). */
function sqrtOf(/** @type {Jet} */ u) {
  if (!(u[0].lo > 0)) throw new NoValue("domain", "sqrt");
  const r = [I.math("sqrt", u[0])];
  for (let k = 1; k < u.length; k++) {
    let s = I.ZERO;
    for (let j = 1; j < k; j++) s = I.add(s, I.mul(r[j], r[k - j]));
    r.push(I.div(I.sub(u[k], s), I.scale(r[0], 2)));
  }
  return r;
}

/** u^n by squaring; 1 / u^|n| for n < 0. */
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
 * Interval jets up to t^N.  NoValue where an operation has, or may have, no
 * jet on the interval.  @returns {import("./walk.js").Arithmetic<Jet>}
 */
export function jets(/** @type {number} */ N) {
  return {
    // the double itself where it is the decimal exactly, else an ulp either side
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
    // exp(b log a), a > 0
    pow: (a, b) => expOf(times(b, logOf(a, "^"))),
    powi: powerInt,
    fn: {
      exp: expOf,
      log: (u) => logOf(u),
      sqrt: sqrtOf,
      sin: (u) => pair(u)[0],
      cos: (u) => pair(u)[1],
      tan: (u) => over(...pair(u), "tan"),
      abs: (u) => {
        const sign = I.signOf(u[0]);
        if (sign === 0) throw new NoValue("kink", "abs");
        return sign > 0 ? u : u.map(I.neg);
      },
      sinh: (u) => pair(u, true)[0],
      cosh: (u) => pair(u, true)[1],
      tanh: (u) => over(...pair(u, true), "tanh"),
    },
  };
}
