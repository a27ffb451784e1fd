// Roots of f in many digits: Newton's method in fixed point near a double,
// at a scale that follows the root, and a learner's root, found where the
// nodes' y change sign.  Nothing here touches the DOM.

import { compile, NoValue } from "./walk.js";
import { doubles } from "./doubles.js";
import { absOf, div, fixedAt, fixedDuals, fromDouble, toDoubleDouble } from "./fixed.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./fixed.js").Fixed} Fixed */
/** @typedef {{hi: number, lo: number}} DoubleDouble a real number as the unevaluated sum of two doubles */
/**
 * Why no root is known: "zeros", f's double is 0 at more than one node;
 * "no-value", f has no value at a node; "no-sign-change", the nodes' y do
 * not change sign; "no-value-between", f has no value at x, between two
 * nodes; "pole", f changes sign near x without coming near 0.
 * @typedef {{kind: "zeros" | "no-value" | "no-sign-change"} | {kind: "no-value-between" | "pole", x: number}} NoRoot
 */
/**
 * A root found: by bisection in doubles to the last bit f's doubles can
 * tell ("bisection"), then made a double-double by Newton's method in
 * many bits ("newton") where that settles beside it; `bracket` is where f
 * changes sign (both ends the node where f's double is 0).
 * @typedef {{root: DoubleDouble, how: "bisection" | "newton", bracket: [number, number]}} Found
 */

/**
 * The fixed point for a root near x: `bits` fractional bits below x's own
 * leading bit, so that the root, however small, keeps them all.
 * @param {number} x
 * @param {number} bits
 */
export const fixedNear = (x, bits) => fixedAt(bits + Math.max(0, Math.ceil(-Math.log2(Math.abs(x) || 1))));

/**
 * The root of f near a double, by Newton's method in F: quadratic from a
 * double's 53 bits, so some eight steps to 4000 bits.  It stops where f is
 * 0 in F, or where a step is within the arithmetic's own noise (at most
 * 2^(s + 16) units, or no smaller than the step before once below 2^(-W/2)).
 * At a multiple root Newton's method is linear and does not settle in 80
 * steps: then ("unsettled"), where f' is 0 ("flat") or where f has no
 * value ("no-value"), no root.
 * @param {Tree} tree
 * @param {number} start a double near the root
 * @param {Fixed} F
 * @returns {{root: bigint, error?: undefined} | {error: "unsettled" | "flat" | "no-value", root?: undefined}}
 */
export function newtonRoot(tree, start, F) {
  const f = compile(tree, fixedDuals(F));
  let x = fromDouble(start, F.W);
  const noise = 1n << BigInt(F.s + 16),
    half = 1n << (F.W / 2n);
  let before = -1n;
  try {
    for (let k = 0; k < 80; k++) {
      const [v, d] = f([x, F.one]);
      if (v === 0n) return { root: x };
      if (d === 0n) return { error: "flat" };
      const dx = div(F, v, d);
      x -= dx;
      const size = absOf(dx);
      if (size <= noise || (size < half && before >= 0n && size >= before)) return { root: x };
      before = size;
    }
  } catch (e) {
    if (e instanceof NoValue) return { error: "no-value" };
    throw e;
  }
  return { error: "unsettled" };
}

/**
 * A root near a double as a double-double, by Newton's method in 256 bits
 * below the root's leading bit, or null.
 * @param {Tree} tree
 * @param {number} start
 */
export function rootNear(tree, start) {
  const F = fixedNear(start, 256),
    found = newtonRoot(tree, start, F);
  return found.root === undefined ? null : toDoubleDouble(found.root, F.W);
}

/**
 * A learner's root where the nodes' y bracket one: by bisection in doubles
 * between the first two neighbouring nodes (in order of x) whose y change
 * sign about a root, not a pole, then by Newton's method (refined).  No
 * root where no two y change sign (then none is said to exist, only that
 * none is bracketed), or where f changes sign without coming near 0.
 * @param {Tree} tree
 * @param {readonly number[]} nodes
 * @returns {Found | NoRoot}
 */
export function learnerRoot(tree, nodes) {
  const f = compile(tree, doubles());
  const xs = [...nodes].sort((a, b) => a - b);
  const ys = xs.map(f);
  if (ys.filter((y) => y === 0).length > 1) return { kind: "zeros" };
  const exact = ys.findIndex((y) => y === 0);
  if (exact >= 0) return refined(tree, xs[exact], [xs[exact], xs[exact]]);
  // each pair of neighbours whose y change sign, in order of x
  const changes = ys.flatMap((y, m) => (m > 0 && ((ys[m - 1] < 0 && y > 0) || (ys[m - 1] > 0 && y < 0)) ? [m] : []));
  if (!changes.length) return { kind: ys.some(Number.isNaN) ? "no-value" : "no-sign-change" };
  // the first sign change that is a root: one may be a pole, as 1/(x - 0.45) - 5 has between 0.4 and 0.6
  /** @type {NoRoot | null} */
  let why = null;
  for (const k of changes) {
    /** @type {[number, number]} */
    const bracket = [xs[k - 1], xs[k]];
    const found = bisected(f, bracket, ys[k - 1], ys[k]);
    if (typeof found === "number") return refined(tree, found, bracket);
    why ??= found;
  }
  return why ?? { kind: "no-sign-change" };
}

/**
 * The double where f changes sign in a bracket, by bisection to the last
 * bit f's doubles can tell; or why it is no root.
 * @param {(x: number) => number} f
 * @param {[number, number]} bracket
 * @param {number} ya f at its left end
 * @param {number} yb f at its right end
 * @returns {number | NoRoot}
 */
function bisected(f, [a, b], ya, yb) {
  let fa = ya;
  let hi = NaN;
  for (let m = 0; m < 2200 && Number.isNaN(hi); m++) {
    const mid = a + (b - a) / 2;
    if (mid === a || mid === b) break;
    const fm = f(mid);
    if (Number.isNaN(fm)) return { kind: "no-value-between", x: mid };
    if (fm === 0) hi = mid;
    else if (fm < 0 === fa < 0) [a, fa] = [mid, fm];
    else b = mid;
  }
  if (Number.isNaN(hi)) hi = Math.abs(f(a)) <= Math.abs(f(b)) ? a : b;
  // a sign change that never comes near 0 is a pole or a jump, not a root
  if (Math.abs(f(hi)) > 1e-6 * Math.max(Math.abs(ya), Math.abs(yb))) return { kind: "pole", x: hi };
  return hi;
}

/**
 * The bisection's double made a double-double by Newton's method, 256
 * bits below the root's leading bit, where that settles inside the bracket
 * and within 2^-20 of the double, relative; else the double as it is.
 * At a root of multiplicity m Newton's method creeps until f's value is
 * below the arithmetic's last bit, which leaves the root right to about
 * 256/m bits of its own: where a step in four times the bits would still
 * move it by more than 2^-72 of itself, it stopped on a value it could
 * not tell from 0, and only the double is kept.
 * @param {Tree} tree
 * @param {number} start
 * @param {[number, number]} bracket
 * @returns {Found}
 */
function refined(tree, start, bracket) {
  const F = fixedNear(start, 256),
    found = newtonRoot(tree, start, F);
  const wide = fixedNear(start, 1024),
    f = compile(tree, fixedDuals(wide));
  const stuck = (/** @type {bigint} */ X) => {
    try {
      const at = X << (wide.W - F.W),
        [v, d] = f([at, wide.one]);
      if (v === 0n) return false;
      if (d === 0n) return true;
      const step = absOf(div(wide, v, d)),
        most = absOf(at) >> 72n;
      return step > most;
    } catch (e) {
      if (e instanceof NoValue) return true;
      throw e;
    }
  };
  if (found.root !== undefined && !stuck(found.root)) {
    const root = toDoubleDouble(found.root, F.W);
    const near = Math.abs(root.hi - start) <= 2 ** -20 * Math.abs(start);
    if (near && (bracket[0] === bracket[1] || (root.hi >= bracket[0] && root.hi <= bracket[1])))
      return { root, how: "newton", bracket };
  }
  return { root: { hi: start, lo: 0 }, how: "bisection", bracket };
}
