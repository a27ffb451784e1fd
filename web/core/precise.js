// Iterated inverse interpolation in fixed point (fixed.js), in digits enough
// to follow the order of convergence past where doubles' rounding hides it.
// Numbers are m / 2^P, P bits for the digits asked and 64 more.  In units of
// 2^-P: the nodes, doubles, are exact; y_k = f(x_k) is taken at W = P + s +
// 64 bits (each function errs by at most 2^(s + 10) units of 2^-W) and
// rounded to P bits, within 1/2 unit and a little more for an f that does
// not magnify its errors by 2^50; each entry of Neville's sweep has exact
// products and one division rounded to nearest, 1/2 unit.  The root, by
// Newton's method at W bits (roots.js), is within 2^(s + 16) units of 2^-W.
// So the errors |p_k - root|, shown to three digits rounded half up, are
// right while well above 10^-digits, where the run stops.

import { theoreticalOrder } from "./numbers.js";
import { absOf, divRound, fixedArithmetic, fixedAt, fromDouble, log10Of, shiftRound } from "./fixed.js";
import { NoValue, compile } from "./walk.js";
import { newtonRoot } from "./roots.js";
import { LIMITS } from "./limits.js";

/** Decimal digits, and how close two estimated orders in a row must come to the theoretical one. */
export const PRECISE = Object.freeze({ digits: 2000, tolerance: 0.005 });

/** The theoretical order for n nodes: 1 at a multiple root, where the inverse is not smooth at y = 0.
 * @param {number} n @param {{multiplicity: number} | {kind: string}} found */
export const orderAt = (n, found) => ("multiplicity" in found && found.multiplicity > 1 ? 1 : theoreticalOrder(n));

/**
 * @typedef {object} Options
 * @property {number} [digits] 1000 to 20000 (PRECISE.digits)
 * @property {number} [tolerance] (PRECISE.tolerance)
 * @property {number} [maxSteps] the last step that may be taken, 0 to 1000 (40)
 * @property {boolean} [pastResolution] go on below 10^-digits, into the arithmetic's rounding (false)
 * @property {{tree: import("./expression.js").Tree, root: {hi: number}}} fn f, and a double near its root
 * @property {[number, number]} [within] where the starting nodes must lie ([0, 1])
 */

/**
 * @typedef {object} Row
 * @property {number} step k: p_0 from the starting nodes, p_k from step k
 * @property {string} error |p_k - root| to three digits, "2.98e-6" (never through a double); "0" only past the resolution
 * @property {number} log10 -Infinity for "0"
 * @property {number | null} order log(e_k / e_(k-1)) / log(e_(k-1) / e_(k-2)) from k = 2 on, while the errors fall
 */

/**
 * Why the run ended at step: "order", the estimated orders at step - 1 and
 * step came within the tolerance; "precision", p_step's error fell below
 * 10^-digits (that row is left out); "cap", maxSteps; "equal-y", two nodes
 * of the sweep have the same y; "lands-on-node", so as the last iterate is
 * one of the other nodes; "far", p_(step-1) is beyond LIMITS.far;
 * "invalid", why.  nodes index x_0, x_1, ...: the starting n, then x_(n+k) =
 * p_k.
 * @typedef {object} Stop
 * @property {"order" | "precision" | "cap" | "equal-y" | "lands-on-node" | "far" | "invalid"} reason
 * @property {number} step
 * @property {[number, number]} [nodes]
 * @property {"input" | "domain" | "root"} [why] bad nodes or options; f has no value at a node; no root found
 * @property {string} [what] the option or the function at fault
 */

/** m / 2^W, m > 0, to three significant digits rounded half up, as toExponential(2) writes them; log10 may be a little off. */
function threeDigits(/** @type {bigint} */ m, /** @type {bigint} */ W, /** @type {number} */ log10) {
  // round(m / 2^W 10^(2 - d)), 100 .. 999 for the right d
  const lead = (/** @type {number} */ d) =>
    shiftRound(d <= 2 ? m * 10n ** BigInt(2 - d) : divRound(m, 10n ** BigInt(d - 2)), W);
  let d = Math.floor(log10);
  let digits = lead(d);
  if (digits >= 1000n) digits = lead(++d);
  else if (digits < 100n) digits = lead(--d);
  if (digits >= 1000n) digits = lead(++d);
  const text = digits.toString();
  return `${text[0]}.${text.slice(1)}e${d < 0 ? "-" : "+"}${Math.abs(d)}`;
}

/**
 * The iteration a step at a time: each next() yields a row, the return value
 * is the stop.  The first next() finds the root (108 ms for the program's f
 * at 2000 digits on a busy 2-core machine).
 * @param {readonly number[]} xs the starting nodes, each taken exactly
 * @param {Options} options
 * @returns {Generator<Row, Stop, void>}
 */
export function* steps(xs, options) {
  const digits = options.digits ?? PRECISE.digits,
    tolerance = options.tolerance ?? PRECISE.tolerance,
    maxSteps = options.maxSteps ?? 40,
    [lo, hi] = options.within ?? [0, 1],
    far = LIMITS.far;
  /** @type {string | null} */
  let what = null;
  if (!(Math.abs(lo) <= far && Math.abs(hi) <= far && lo <= hi)) what = "within";
  else if (!Array.isArray(xs) || xs.length < 2 || xs.length > 8) what = "nodes";
  else if (!xs.every((x) => typeof x === "number" && x >= lo && x <= hi)) what = "nodes";
  else if (!Number.isInteger(digits) || digits < 1000 || digits > 20000) what = "digits";
  else if (typeof tolerance !== "number" || !(tolerance >= 0)) what = "tolerance";
  else if (!Number.isInteger(maxSteps) || maxSteps < 0 || maxSteps > 1000) what = "maxSteps";
  if (what !== null) return { reason: "invalid", step: 0, why: "input", what };
  const n = xs.length;
  // W = P + s + 64 for f, whose exp, sin and cos double their error s times
  const P = BigInt(Math.ceil(digits / Math.log10(2)) + 64);
  const W = P + BigInt(Math.ceil(Math.sqrt(Number(P))) + 64);
  const F = fixedAt(Number(W));
  const lift = W - P;
  const f = compile(options.fn.tree, fixedArithmetic(F));
  const found = newtonRoot(options.fn.tree, options.fn.root.hi, F);
  if (found === null) return { reason: "invalid", step: 0, why: "root" };
  const { root } = found,
    theory = orderAt(n, found);
  const floor = 10n ** BigInt(digits);
  const X = xs.map((x) => fromDouble(x, P));
  /** @type {bigint[]} */
  const Y = [];
  /** @type {number[]} */
  const logs = [];
  const estimate = (/** @type {number} */ m) => (logs[m] - logs[m - 1]) / (logs[m - 1] - logs[m - 2]);
  const settled = (/** @type {number} */ m) =>
    Number.isFinite(estimate(m)) && Math.abs(estimate(m) - theory) <= tolerance;
  for (let k = 0; ; k++) {
    try {
      while (Y.length < X.length) Y.push(shiftRound(f(X[Y.length] << lift), lift));
    } catch (e) {
      if (!(e instanceof NoValue)) throw e;
      return { reason: "invalid", step: k, why: "domain", what: e.what };
    }
    // Neville's sweep at y = 0 over x_k .. x_(k+n-1), row by row
    let above = [X[k]];
    for (let i = 1; i < n; i++) {
      const yi = Y[k + i],
        row = [X[k + i]];
      for (let j = 1; j <= i; j++) {
        const yij = Y[k + i - j];
        if (yi === yij) {
          const lands = k > 0 && i === n - 1 && X[k + i - j] === X[k + i];
          return { reason: lands ? "lands-on-node" : "equal-y", step: k, nodes: [k + i - j, k + i] };
        }
        row.push(divRound(yi * above[j - 1] - yij * row[j - 1], yi - yij));
      }
      above = row;
    }
    const p = above[n - 1];
    const error = absOf((p << lift) - root);
    if (error * floor < 1n << W && !options.pastResolution) return { reason: "precision", step: k };
    const log10 = error === 0n ? -Infinity : log10Of(error, W);
    logs.push(log10);
    // growing errors have no order
    const falling = k >= 2 && logs[k] < logs[k - 1] && logs[k - 1] < logs[k - 2];
    const order = falling && Number.isFinite(estimate(k)) ? estimate(k) : null;
    yield { step: k, error: error === 0n ? "0" : threeDigits(error, W, log10), log10, order };
    // two in a row: one alone can come within by chance, as they swing about the limit
    // (from 0.3, 0.4, 0.5, 0.6: 1.931, 1.933, 1.929 against 1.928)
    if (k >= 3 && settled(k - 1) && settled(k)) return { reason: "order", step: k };
    if (k >= maxSteps) return { reason: "cap", step: k };
    if (absOf(p) > BigInt(far) << P) return { reason: "far", step: k + 1 };
    X.push(p);
  }
}
