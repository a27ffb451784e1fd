// f(x) in doubles as the browser's Math computes it, with its derivative
// beside it (forward differentiation) and a bound on the rounding in the
// value (a running error bound, first order in u = 2^-53): what Newton's
// method and the figure need of a learner's f, and how much of each y_k is
// rounding.  Math's functions are taken to err by at most four ulps, as
// interval.js takes them.  Nothing here touches the DOM.

import { integerExponent } from "./expression.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {{v: number, d: number, e: number}} Dual value, derivative, and a bound on the value's rounding */

const u = 2 ** -53;
/** A bound on the rounding of one of Math's functions: four ulps of its result. */
const MATH_ERROR = 8 * u;

/**
 * @param {Tree} t
 * @param {number} x
 * @returns {Dual}
 */
export function dual(t, x) {
  switch (t.kind) {
    case "num":
      return { v: t.value, d: 0, e: Number.isInteger(t.value) ? 0 : u * Math.abs(t.value) };
    case "x":
      return { v: x, d: 1, e: 0 };
    case "const": {
      const v = t.name === "pi" ? Math.PI : Math.E;
      return { v, d: 0, e: u * v };
    }
    case "neg": {
      const a = dual(t.arg, x);
      return { v: -a.v, d: -a.d, e: a.e };
    }
    case "call":
      return call(t.name, dual(t.arg, x));
    case "op":
      return op(t, dual(t.left, x), t.op === "^" ? null : dual(t.right, x), x);
  }
}

/**
 * @param {import("./expression.js").FnName} name
 * @param {Dual} a
 * @returns {Dual}
 */
function call(name, a) {
  const math = { exp: Math.exp, log: Math.log, sqrt: Math.sqrt, sin: Math.sin, cos: Math.cos, tan: Math.tan };
  if (name === "abs") return { v: Math.abs(a.v), d: Math.sign(a.v) * a.d, e: a.e };
  const v = math[name](a.v);
  // the derivative of the function at a.v, by which a's rounding is carried on
  const slope =
    name === "exp"
      ? v
      : name === "log"
        ? 1 / a.v
        : name === "sqrt"
          ? 1 / (2 * v)
          : name === "sin"
            ? Math.cos(a.v)
            : name === "cos"
              ? -Math.sin(a.v)
              : 1 + v * v;
  return { v, d: slope * a.d, e: Math.abs(slope) * a.e + MATH_ERROR * Math.abs(v) };
}

/**
 * @param {Extract<Tree, {kind: "op"}>} t
 * @param {Dual} a
 * @param {Dual | null} b the right side, where it is not an exponent
 * @param {number} x
 * @returns {Dual}
 */
function op(t, a, b, x) {
  if (b === null) {
    const n = integerExponent(t.right);
    const c = n === null ? dual(t.right, x) : { v: n, d: 0, e: 0 };
    const v = a.v ** c.v;
    // d(a^c) = a^c (c' ln a + c a' / a); an integer power is a product, for a negative a too
    const da = n === null ? c.v * a.v ** (c.v - 1) : n * a.v ** (n - 1);
    const dc = n === null ? v * Math.log(a.v) : 0;
    return {
      v,
      d: da * a.d + dc * c.d,
      e: Math.abs(da) * a.e + Math.abs(dc) * c.e + MATH_ERROR * Math.abs(v),
    };
  }
  switch (t.op) {
    case "+":
      return { v: a.v + b.v, d: a.d + b.d, e: a.e + b.e + u * Math.abs(a.v + b.v) };
    case "-":
      return { v: a.v - b.v, d: a.d - b.d, e: a.e + b.e + u * Math.abs(a.v - b.v) };
    case "*": {
      const v = a.v * b.v;
      return { v, d: a.d * b.v + a.v * b.d, e: Math.abs(b.v) * a.e + Math.abs(a.v) * b.e + u * Math.abs(v) };
    }
    default: {
      const v = a.v / b.v;
      return {
        v,
        d: (a.d - v * b.d) / b.v,
        e: (a.e + Math.abs(v) * b.e) / Math.abs(b.v) + u * Math.abs(v),
      };
    }
  }
}
