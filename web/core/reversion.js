// The inverse function's Taylor coefficients, from f's by series
// reversion: b_k = g^(k)(y) / k! at y = f(x), g = f^-1, enclosed in
// intervals as f's jets are (jets.js); and both jets in doubles, for a
// reader of numbers rather than enclosures.  Nothing here touches the DOM.

import { divHi, divLo, mulHi, mulLo, signOf, sumHi, sumLo } from "./interval.js";
import { JetError, compile, jetOver, put, workspace } from "./jets.js";
import { NO_VALUE } from "./sentences/functions.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./jets.js").Workspace} Workspace */

/**
 * The inverse function's Taylor coefficients from f's, by series
 * reversion: with A(t) = a_1 t + ... + a_n t^n (a_0 left out) and
 * B(s) = b_1 s + ... + b_n s^n, A(B(s)) = s gives b_1 = 1 / a_1 and, for
 * m >= 2, a_1 b_m = -sum_(k=2..m) a_k [s^m] B^k, where [s^m] B^k needs only
 * b_1 .. b_(m-k+1).  So b_m = g^(m)(y) / m! at y = f(x).  About n^3 / 6
 * products.  Throws JetError "flat" where a_1 is, or may be, 0.
 * @param {number[]} a f's coefficients a_0 .. a_n, enclosed
 * @param {Workspace} w a workspace of order n or more, whose b is the result (good until its next use)
 * @returns {number[]} b_0 .. b_n, enclosed; b_0 = a_0, y itself
 */
export function reversion(a, w) {
  const size = a.length,
    n = size / 2 - 1;
  const b = w.b;
  put(b, 0, a[0], a[1]);
  if (n === 0) return b;
  if (signOf(a[2], a[3]) === 0) throw new JetError("flat", NO_VALUE.flat);
  put(b, 2, divLo(1, 1, a[2], a[3]), divHi(1, 1, a[2], a[3]));
  // pw[k][m] = [s^m] B^k for 1 <= k <= m <= n, its ends at (k (n + 1) + m) * 2
  const pw = w.pw;
  const at = (/** @type {number} */ k, /** @type {number} */ m) => 2 * (k * (n + 1) + m);
  put(pw, at(1, 1), b[2], b[3]);
  for (let m = 2; m <= n; m++) {
    let lo = 0,
      hi = 0;
    for (let k = m; k >= 2; k--) {
      let plo = 0,
        phi = 0;
      for (let j = 1; j <= m - k + 1; j++) {
        const q = at(k - 1, m - j);
        plo = sumLo(plo, mulLo(b[2 * j], b[2 * j + 1], pw[q], pw[q + 1]));
        phi = sumHi(phi, mulHi(b[2 * j], b[2 * j + 1], pw[q], pw[q + 1]));
      }
      put(pw, at(k, m), plo, phi);
      lo = sumLo(lo, mulLo(a[2 * k], a[2 * k + 1], plo, phi));
      hi = sumHi(hi, mulHi(a[2 * k], a[2 * k + 1], plo, phi));
    }
    // b_m = -sum / a_1
    put(b, 2 * m, -divHi(lo, hi, a[2], a[3]), -divLo(lo, hi, a[2], a[3]));
    put(pw, at(1, m), b[2 * m], b[2 * m + 1]);
  }
  return b;
}

/**
 * f's Taylor coefficients at the double x in doubles: the middles of the
 * enclosures over [x, x].
 * @param {Tree} tree
 * @param {number} x
 * @param {number} order
 * @returns {number[]}
 */
export function taylor(tree, x, order) {
  const f = compile(tree);
  const c = jetOver(f, x, x, workspace(f, order));
  return Array.from({ length: order + 1 }, (_, k) => (c[2 * k] + c[2 * k + 1]) / 2);
}

/**
 * The inverse's Taylor coefficients at y = f(x), in doubles: b_k =
 * g^(k)(f(x)) / k!, from the middles of their enclosures.
 * @param {Tree} tree
 * @param {number} x
 * @param {number} order
 * @returns {number[]}
 */
export function inverseTaylor(tree, x, order) {
  const f = compile(tree),
    w = workspace(f, order);
  const b = reversion(jetOver(f, x, x, w), w);
  return Array.from({ length: order + 1 }, (_, k) => (b[2 * k] + b[2 * k + 1]) / 2);
}
