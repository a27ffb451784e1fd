// Roots of f in many digits: Newton's method in fixed point, its bits
// below the root's own leading bit however small the root, more where f is
// too small for them, and its step scaled by the root's multiplicity; and
// a learner's root, found where the nodes' y change sign.  Nothing here
// touches the DOM.

import { compile, NoValue } from "./walk.js";
import { doubles } from "./doubles.js";
import { absOf, div, fixedAt, fixedDuals, fromDouble, log10Of, shiftRound, toDoubleDouble } from "./fixed.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./fixed.js").Fixed} Fixed */
/** @typedef {{hi: number, lo: number}} DoubleDouble a real number as the unevaluated sum of two doubles */
/**
 * Why no root is known: "zeros", f's double is 0 at more than one node;
 * "no-value", f has no value at a node; "no-sign-change", the nodes' y do
 * not change sign; "no-value-between", f has no value at x, between two
 * nodes; "pole", f changes sign near x without coming near 0;
 * "unrefined", f's doubles change sign near x, but Newton's method found
 * no root there.
 * @typedef {{kind: "zeros" | "no-value" | "no-sign-change"} | {kind: "no-value-between" | "pole" | "unrefined", x: number}} NoRoot
 */
/**
 * A root found, as a double-double, its multiplicity, and where f's
 * doubles change sign about it (both ends the node where f's double is 0).
 * @typedef {{root: DoubleDouble, multiplicity: number, bracket: [number, number]}} Found
 */

/** Bits below the root's leading bit a root is found to: a double-double's 106, and more. */
const BITS = 160;

/**
 * The fixed point with `bits` fractional bits below x's own leading bit.
 * @param {number} x
 * @param {number} bits
 */
export const fixedNear = (x, bits) => fixedAt(bits + Math.max(0, Math.ceil(-Math.log2(Math.abs(x) || 1))));

/**
 * The root of f near a double, by Newton's method in F, until a step is
 * within the arithmetic's own noise (2^(s + 16) units), or no smaller than
 * the one before once below half its bits.  Where f or f' is below the
 * last bit before that (near a multiple root, or at the root itself), the
 * bits are doubled, up to 16 times F's (4 times, from 1000 bits).  Each step is m f / f', m the
 * root's multiplicity as the steps show it: at a root of multiplicity m,
 * plain steps each shrink by (m - 1) / m, and m times one restores
 * quadratic convergence.  Null where it does not settle in 200 steps, f'
 * is 0 at the most bits, or f has no value.
 * @param {Tree} tree
 * @param {number} start a double near the root
 * @param {Fixed} F
 * @returns {{root: bigint, multiplicity: number} | null} the root at F's bits
 */
export function newtonRoot(tree, start, F) {
  let G = F,
    f = compile(tree, fixedDuals(G)),
    x = fromDouble(start, G.W),
    m = 1,
    before = -1n,
    ratio = 0;
  const back = () => ({ root: G.W > F.W ? shiftRound(x, G.W - F.W) : x, multiplicity: m });
  try {
    for (let k = 0; k < 200; k++) {
      const [v, d] = f([x, G.one]);
      if (v === 0n || d === 0n) {
        if (G.W >= (F.W > 1000n ? 4n : 16n) * F.W) return v === 0n ? back() : null;
        G = fixedAt(2 * Number(G.W));
        f = compile(tree, fixedDuals(G));
        x <<= G.W / 2n;
        before = -1n;
        continue;
      }
      const dx = BigInt(m) * div(G, v, d),
        size = absOf(dx);
      x -= dx;
      if (size <= 1n << BigInt(G.s + 16) || (size < 1n << (G.W / 2n) && before >= 0n && size >= before)) return back();
      // the steps' ratio, steady at (m - 1) / m near a root of multiplicity m > 1
      const r = before > 0n ? 10 ** (log10Of(size, 0n) - log10Of(before, 0n)) : 0;
      if (m === 1 && r > 0.4 && r < 0.99 && Math.abs(r - ratio) < 0.02) m = Math.round(1 / (1 - r));
      [before, ratio] = [size, r];
    }
  } catch (e) {
    if (e instanceof NoValue) return null;
    throw e;
  }
  return null;
}

/**
 * A root near a double as a double-double, or null.
 * @param {Tree} tree
 * @param {number} start
 */
export function rootNear(tree, start) {
  const F = fixedNear(start, BITS),
    found = newtonRoot(tree, start, F);
  return found && toDoubleDouble(found.root, F.W);
}

/**
 * A learner's root where the nodes' y bracket one: by bisection in doubles
 * between the first two neighbouring nodes (in order of x) whose y change
 * sign about a root, not a pole, then by Newton's method in many bits.
 * No root where no two y change sign (then none is said to exist, only
 * that none is bracketed), or where f changes sign without coming near 0.
 * @param {Tree} tree
 * @param {readonly number[]} nodes
 * @returns {Found | NoRoot}
 */
export function learnerRoot(tree, nodes) {
  const f = compile(tree, doubles());
  const xs = [...new Set(nodes)].sort((a, b) => a - b);
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
 * The bisection's double made a double-double by Newton's method, where
 * that finds a root inside the bracket and within 2^-20 of the double,
 * relative; else none ("unrefined").
 * @param {Tree} tree
 * @param {number} start
 * @param {[number, number]} bracket
 * @returns {Found | NoRoot}
 */
function refined(tree, start, bracket) {
  const F = fixedNear(start, BITS),
    found = newtonRoot(tree, start, F);
  if (found) {
    const root = toDoubleDouble(found.root, F.W);
    const near = Math.abs(root.hi - start) <= 2 ** -20 * Math.abs(start) || root.hi === start;
    const inside = bracket[0] === bracket[1] || (root.hi >= bracket[0] && root.hi <= bracket[1]);
    if (near && inside) return { root, multiplicity: found.multiplicity, bracket };
  }
  return { kind: "unrefined", x: start };
}
