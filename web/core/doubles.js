// f in doubles, each operation rounded as JavaScript rounds it, with the
// exponential handed in (the program's own from its .wasm for the program's
// f, else Math.exp); and duals: f with its derivative and a running bound
// on the value's rounding, first order in u = 2^-53.  Math's functions are
// taken to err by at most four ulps (ECMAScript does not bound them; V8 and
// SpiderMonkey use fdlibm's, under one); the program's exp by at most one.

/** @typedef {import("./expression.js").FnName} FnName */
/** @typedef {{v: number, d: number, e: number}} Dual value, derivative, and a bound on the value's rounding */

const u = 2 ** -53;
/** Four ulps, relative. */
export const MATH_ERROR = 8 * u;
/** The program's exp: one ulp, relative. */
export const EXP_ERROR = 2 * u;

/**
 * A power, integer or not, is JavaScript's **.
 * @param {(x: number) => number} [exp]
 * @returns {import("./walk.js").Arithmetic<number>}
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
 * Each function's derivative at a, its value there v.
 * @type {Record<FnName, (a: number, v: number) => number>}
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

const NAMES = /** @type {FnName[]} */ (Object.keys(SLOPES));
/** f's functions: Math's, exp the one handed in. */
const functions = (/** @type {(x: number) => number} */ exp) =>
  /** @type {Record<FnName, (x: number) => number>} */ (
    Object.fromEntries(NAMES.map((n) => [n, n === "exp" ? exp : Math[n]]))
  );

/**
 * Duals.  Each rounding adds u times the result, a function its error times
 * its result, and the derivative carries on what comes in.  A literal that
 * is not an integer may not be its decimal: u of it.
 * @param {(x: number) => number} [exp]
 * @param {number} [expError] exp's error, relative
 * @returns {import("./walk.js").Arithmetic<Dual>}
 */
export function duals(exp = Math.exp, expError = MATH_ERROR) {
  const f = functions(exp);
  /** @param {FnName} name @returns {(a: Dual) => Dual} */
  const call = (name) => (a) => {
    const v = f[name](a.v),
      slope = SLOPES[name](a.v, v),
      error = name === "abs" ? 0 : name === "exp" ? expError : MATH_ERROR;
    return { v, d: slope * a.d, e: Math.abs(slope) * a.e + error * Math.abs(v) };
  };
  /** a^c; an integer power is a product, for a negative a too */
  const power = (/** @type {Dual} */ a, /** @type {Dual} */ c, /** @type {boolean} */ integer) => {
    const v = a.v ** c.v;
    // d(a^c) = a^c (c' ln a + c a' / a)
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
    fn: /** @type {Record<FnName, (a: Dual) => Dual>} */ (Object.fromEntries(NAMES.map((n) => [n, call(n)]))),
  };
}
