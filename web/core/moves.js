// What rounding did to p, measured rather than bounded: the polynomial's
// value at 0 from the exact points (f(x_k), x_k), from the y_k as the page
// has them (doubles, each rounded), and the page's p, the sweep of those
// doubles through the program's Qij.  Their differences are what rounding
// the y_k moved P(0), and what the sweep's own rounding moved p; the first
// is the method's error.  Each is found in fixed point many bits wide, so
// that what it says of the doubles is exact to far below their last bit.
// Nothing here touches the DOM.

import { div, fixedArithmetic, fixedAt, fromDouble, mul, toNumber } from "./fixed.js";
import { NoValue, compile } from "./walk.js";
import { errorOf } from "./accuracy.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */
/**
 * @typedef {object} Moves
 * @property {number} method P(0) - root for the exact points: the interpolation error, the method's own
 * @property {number} ys P(0) from the y_k as doubles, less P(0) from the exact points: what rounding the y_k did
 * @property {number} sweep p less P(0) from the y_k as doubles: what the sweep's own rounding did
 */

/** The bits carried: far below the smallest y the page meets beside the others, 2^-200 or so. */
const BITS = 512;

/**
 * @param {Tree} tree f
 * @param {{x: number, y: number}[]} pts the nodes and their y as the page has them
 * @param {number} p the page's p
 * @param {DoubleDouble} root
 * @returns {Moves | null} null where two y are equal, or f has no value at a node
 */
export function movesOf(tree, pts, p, root) {
  const F = fixedAt(BITS),
    f = compile(tree, fixedArithmetic(F));
  try {
    const X = pts.map((q) => fromDouble(q.x, F.W));
    const exact = atZero(F, X, X.map(f)),
      doubles = atZero(
        F,
        X,
        pts.map((q) => fromDouble(q.y, F.W)),
      );
    const toward = (/** @type {bigint} */ a, /** @type {bigint} */ b) => toNumber(a - b, F.W);
    return {
      method: errorOf(toNumber(exact, F.W), root) + toNumber(exact - fromDouble(toNumber(exact, F.W), F.W), F.W),
      ys: toward(doubles, exact),
      sweep: Number.isFinite(p) ? toward(fromDouble(p, F.W), doubles) : NaN,
    };
  } catch (e) {
    if (e instanceof NoValue) return null;
    throw e;
  }
}

/**
 * Neville's sweep at y = 0 in fixed point, in the program's order:
 * Q[i][j] = (-y_(i-j) Q[i][j-1] + y_i Q[i-1][j-1]) / (y_i - y_(i-j)).
 * @param {import("./fixed.js").Fixed} F
 * @param {bigint[]} X
 * @param {bigint[]} Y
 */
function atZero(F, X, Y) {
  /** @type {bigint[]} */
  let above = [X[0]];
  for (let i = 1; i < X.length; i++) {
    const row = [X[i]];
    for (let j = 1; j <= i; j++) {
      row.push(div(F, mul(F, Y[i], above[j - 1]) - mul(F, Y[i - j], row[j - 1]), Y[i] - Y[i - j]));
    }
    above = row;
  }
  return above[X.length - 1];
}
