// Roots of f in many digits, by Newton's method in fixed point; and a
// learner's root, found where the nodes' y change sign.

import { compile, NoValue } from "./walk.js";
import { doubles } from "./doubles.js";
import { absOf, div, fixedAt, fixedDuals, fromDouble, log10Of, shiftRound, toDoubleDouble } from "./fixed.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./fixed.js").Fixed} Fixed */
/** @typedef {{hi: number, lo: number}} DoubleDouble a real number as the unevaluated sum of two doubles */
/** Why no root is known (whyNoRoot says each in words).
 * @typedef {{kind: "zeros" | "no-value" | "no-sign-change"} | {kind: "no-value-between" | "pole" | "unrefined", x: number}} NoRoot */
/** @typedef {{root: DoubleDouble, multiplicity: number, bracket: [number, number]}} Found a root, and the bracket
 * where f's doubles change sign about it */

/** Bits below the root's leading bit a root is found to: a double-double's 106, and more. */
const BITS = 160;

/** The fixed point with `bits` fractional bits below x's own leading bit, however small x. */
export const fixedNear = (/** @type {number} */ x, /** @type {number} */ bits) =>
  fixedAt(bits + Math.max(0, Math.ceil(-Math.log2(Math.abs(x) || 1))));

/** The root of f near `start` at F's bits, by Newton's method, until a step is within the arithmetic's noise
 * (2^(s + 16) units), or below half its bits no smaller than the one before.  Where f or f' comes to 0, the bits
 * are doubled, up to 16 times F's (4 times from 1000 bits).  Each step is m f / f': at a root of multiplicity m
 * plain steps shrink by (m - 1) / m, and m times one converges quadratically again.  Null where none is found.
 * @param {Tree} tree @param {number} start @param {Fixed} F @returns {{root: bigint, multiplicity: number} | null} */
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
        // at the most bits, f = 0 is the root, and f' = 0 too a multiple one (of at least 2, where no step said)
        if (G.W >= (F.W > 1000n ? 4n : 16n) * F.W)
          return v === 0n ? { ...back(), multiplicity: d === 0n ? Math.max(m, 2) : m } : null;
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

/** A root near a double as a double-double, or null. */
export function rootNear(/** @type {Tree} */ tree, /** @type {number} */ start) {
  const F = fixedNear(start, BITS),
    found = newtonRoot(tree, start, F);
  return found && toDoubleDouble(found.root, F.W);
}

/** Bisection in doubles between the first two neighbouring nodes whose y change sign about a root, not a pole,
 * then Newton's method in many bits.  Where no two y change sign, none is said to exist, only none bracketed.
 * @param {Tree} tree @param {readonly number[]} nodes @returns {Found | NoRoot} */
export function learnerRoot(tree, nodes) {
  const f = compile(tree, doubles());
  const xs = [...new Set(nodes)].sort((a, b) => a - b);
  const ys = xs.map(f);
  if (ys.filter((y) => y === 0).length > 1) return { kind: "zeros" };
  const exact = ys.findIndex((y) => y === 0);
  if (exact >= 0) return refined(tree, xs[exact], [xs[exact], xs[exact]]);
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

/** The double where f changes sign in a bracket, to the last bit f's doubles tell; or why it is no root.
 * @param {(x: number) => number} f @param {[number, number]} bracket @param {number} ya @param {number} yb
 * @returns {number | NoRoot} */
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

/** The bisection's double refined, where Newton's finds a root inside the bracket and within 2^-20 relative.
 * @param {Tree} tree @param {number} start @param {[number, number]} bracket @returns {Found | NoRoot} */
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
