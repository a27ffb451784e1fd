// What a double's y is made of near the root: the true f there, and the
// rounding of computing it.  At a p near the root the residual f(p) the
// page prints is tiny, and how much of it is f's own value, and how much
// the exponential's or the subtraction's rounding, is found here by
// computing f(p) in many digits.  Nothing here touches the DOM.

import { FixedError, exp, fixedAt, fromDouble, toNumber } from "./fixed.js";
import { valueAt } from "./manydigits.js";

/** @typedef {import("./fn.js").Fn} Fn */
/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").ExpName} ExpName */
/**
 * A computed y = f(x) taken apart: the true f(x) (to far below the
 * double's last bit), and the rest, the rounding.  For the program's f,
 * e^(-2x) - x: the exponential's rounding and the subtraction's (0 where
 * it is exact, by Sterbenz's lemma, as near the root); for another, the
 * rounding of f's evaluation as a whole.
 * @typedef {{y: number, exact: number, exp: number | null, sub: number | null, rounding: number}} Parts
 */

const F = fixedAt(256);

/**
 * @param {Model} m
 * @param {Fn} fn
 * @param {(x: number) => number} f f as the page computes it at x
 * @param {number} x
 * @returns {Parts | null} null where f has no value in many digits there
 */
export function partsOf(m, fn, f, x) {
  if (!Number.isFinite(x)) return null;
  try {
    const X = fromDouble(x, F.W),
      exact = valueAt(fn.tree, X, F),
      y = f(x);
    // nothing to take apart where the true f is 0 or below 2^-256, or the double y is too small for 256 bits
    // to hold its 53 (2^-190 leaves 13 bits below them)
    if (exact === 0n || (y !== 0 && Math.abs(y) < 2 ** -190)) return null;
    const rounding = toNumber(fromDouble(y, F.W) - exact, F.W);
    if (!fn.program) return { y, exact: toNumber(exact, F.W), exp: null, sub: null, rounding };
    // y = fl(e - x) with e the exponential's double: e's rounding, then the subtraction's
    const e = y + x === y ? NaN : m.program.exp(-2.0 * x),
      E = fromDouble(e, F.W),
      trueE = exp(F, -2n * X);
    return {
      y,
      exact: toNumber(exact, F.W),
      exp: toNumber(E - trueE, F.W),
      sub: toNumber(fromDouble(y, F.W) - (E - X), F.W),
      rounding,
    };
  } catch (err) {
    if (err instanceof FixedError) return null;
    throw err;
  }
}
