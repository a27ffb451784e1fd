// f in doubles, as JavaScript rounds each operation, with an exponential
// handed in (the program's own, from its .wasm, for the program's f; the
// browser's Math.exp for any other); and f in doubles with its derivative
// (forward differentiation) and a running bound on the rounding of the
// value, first order in u = 2^-53: what Newton's method, the figure and
// the page's units of rounding need.  Math's functions are taken to err by
// at most four ulps (ECMAScript does not bound them; V8 and SpiderMonkey
// use fdlibm's algorithms, documented to err by less than one); the
// program's exp by at most one, as the program needs.  Nothing here
// touches the DOM.

/** @typedef {import("./walk.js").Arithmetic<number>} Doubles */
/** @typedef {{v: number, d: number, e: number}} Dual value, derivative, and a bound on the value's rounding */
/** @typedef {import("./walk.js").Arithmetic<Dual>} Duals */

const u = 2 ** -53;
/** A bound on the rounding of one of Math's functions, relative: four ulps. */
export const MATH_ERROR = 8 * u;
/** A bound on the rounding of the program's exp, relative: one ulp. */
export const EXP_ERROR = 2 * u;

/**
 * The functions of f's language in doubles, exp the one handed in.
 * @param {(x: number) => number} exp
 */
const functions = (exp) => ({
  exp,
  log: Math.log,
  sqrt: Math.sqrt,
  sin: Math.sin,
  cos: Math.cos,
  tan: Math.tan,
  abs: Math.abs,
  sinh: Math.sinh,
  cosh: Math.cosh,
  tanh: Math.tanh,
});

/**
 * Doubles, each operation rounded as JavaScript rounds it; a power,
 * integer or not, by JavaScript's **.
 * @param {(x: number) => number} [exp]
 * @returns {Doubles}
 */
export const doubles = (exp = Math.exp) => ({
  num: (v) => v,
  constant: (name) => (name === "pi" ? Math.PI : Math.E),
  neg: (a) => -a,
  add: (a, b) => a + b,
  sub: (a, b) => a - b,
  mul: (a, b) => a * b,
  div: (a, b) => a / b,
  pow: (a, b) => a ** b,
  powi: (a, n) => a ** n,
  fn: functions(exp),
});

/**
 * Each function's derivative at a, given its value v there.
 * @type {Record<import("./expression.js").FnName, (a: number, v: number) => number>}
 */
const SLOPES = {
  exp: (_, v) => v,
  log: (a) => 1 / a,
  sqrt: (_, v) => 1 / (2 * v),
  sin: (a) => Math.cos(a),
  cos: (a) => -Math.sin(a),
  tan: (_, v) => 1 + v * v,
  abs: (a) => Math.sign(a),
  sinh: (a) => Math.cosh(a),
  cosh: (a) => Math.sinh(a),
  tanh: (_, v) => 1 - v * v,
};

/**
 * Doubles with a derivative and a bound on the value's rounding.  Each
 * rounding adds u times the result, a function's its error times its
 * result, and what comes in is carried on by the derivative.  A literal
 * that is not an integer may not be the decimal it stands for: u of it.
 * @param {(x: number) => number} [exp]
 * @param {number} [expError] the exponential's error, relative
 * @returns {Duals}
 */
export function duals(exp = Math.exp, expError = MATH_ERROR) {
  const f = functions(exp);
  /** @param {import("./expression.js").FnName} name @returns {(a: Dual) => Dual} */
  const call = (name) => (a) => {
    const v = f[name](a.v),
      slope = SLOPES[name](a.v, v),
      error = name === "abs" ? 0 : name === "exp" ? expError : MATH_ERROR;
    return { v, d: slope * a.d, e: Math.abs(slope) * a.e + error * Math.abs(v) };
  };
  /** a^c for a power c whose value and error are c.v, c.e (c.d its derivative) */
  const power = (/** @type {Dual} */ a, /** @type {Dual} */ c, /** @type {boolean} */ integer) => {
    const v = a.v ** c.v;
    // d(a^c) = a^c (c' ln a + c a' / a); an integer power is a product, for a negative a too
    const da = c.v * a.v ** (c.v - 1),
      dc = integer ? 0 : v * Math.log(a.v);
    return { v, d: da * a.d + dc * c.d, e: Math.abs(da) * a.e + Math.abs(dc) * c.e + MATH_ERROR * Math.abs(v) };
  };
  return {
    num: (v) => ({ v, d: 0, e: Number.isInteger(v) ? 0 : u * Math.abs(v) }),
    constant: (name) => {
      const v = name === "pi" ? Math.PI : Math.E;
      return { v, d: 0, e: u * v };
    },
    neg: (a) => ({ v: -a.v, d: -a.d, e: a.e }),
    add: (a, b) => ({ v: a.v + b.v, d: a.d + b.d, e: a.e + b.e + u * Math.abs(a.v + b.v) }),
    sub: (a, b) => ({ v: a.v - b.v, d: a.d - b.d, e: a.e + b.e + u * Math.abs(a.v - b.v) }),
    mul: (a, b) => {
      const v = a.v * b.v;
      return { v, d: a.d * b.v + a.v * b.d, e: Math.abs(b.v) * a.e + Math.abs(a.v) * b.e + u * Math.abs(v) };
    },
    div: (a, b) => {
      const v = a.v / b.v;
      return { v, d: (a.d - v * b.d) / b.v, e: (a.e + Math.abs(v) * b.e) / Math.abs(b.v) + u * Math.abs(v) };
    },
    pow: (a, c) => power(a, c, false),
    powi: (a, n) => power(a, { v: n, d: 0, e: 0 }, true),
    fn: {
      exp: call("exp"),
      log: call("log"),
      sqrt: call("sqrt"),
      sin: call("sin"),
      cos: call("cos"),
      tan: call("tan"),
      abs: call("abs"),
      sinh: call("sinh"),
      cosh: call("cosh"),
      tanh: call("tanh"),
    },
  };
}
