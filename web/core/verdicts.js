// What the numbers of a state say of p: a zero denominator, no value, an
// overflow, nodes over which x is not a function of y, rounding that
// decides p, a y within rounding of 0, interpolation or extrapolation and
// how near the root p is; and what Neville's own corrections estimate.
// Every error is against the true root, not the double nearest it.
// Nothing here touches the DOM.

import { errorOf, ulpOf } from "./accuracy.js";
import { roundingOf } from "./rounding.js";
import { LIMITS } from "./limits.js";
import { inverseChecks } from "./functions.js";

/** @typedef {import("./sweep.js").Result} Result */

/** Where rounding's reach is worth a word: this share of p's error. */
export const WORTH = 0.1;

/**
 * The verdict on p.  "same": two y are equal, a zero denominator.
 * "noValue": f has no value at node k.  "overflow": p is not finite
 * otherwise.  "turns": the y rise and fall, turning at the nodes `at` (in
 * order of x), so x is not a function of y.  "rounding": one unit of
 * rounding in each y can move p by `reach`, `percent` of p's error (or,
 * with no root, of p's distance from the nearest node), and `decides`
 * where that is all of it.  "onRoot": node k's y is within rounding of 0.
 * Else interpolation or extrapolation, and p against the root, where one
 * is known to many digits.
 * @typedef {{kind: "same"}
 *   | {kind: "noValue", k: number}
 *   | {kind: "overflow"}
 *   | {kind: "turns", at: number[]}
 *   | {kind: "rounding", reach: number, error: number | null, base: number, percent: number, decides: boolean}
 *   | {kind: "onRoot", k: number}
 *   | {kind: "interpolation" | "extrapolation", near: Near | null}} Verdict
 */
/**
 * p against the root: its correct digits, whether it is the double
 * nearest the root, within rounding of it, or the root itself (a root
 * that is a double, met exactly).
 * @typedef {{digits: string, nearest: boolean, atRoot: boolean, exact: boolean}} Near
 */

/**
 * @param {Result} r
 * @returns {Verdict}
 */
export function verdict(r) {
  if (r.same.length) return { kind: "same" };
  const none = r.pts.findIndex((q) => !Number.isFinite(q.y));
  if (none >= 0) return { kind: "noValue", k: none };
  if (!Number.isFinite(r.p)) return { kind: "overflow" };
  const checks = inverseChecks(r.pts);
  if (checks.verdict === "not-monotone") return { kind: "turns", at: checks.turns };
  const { reach, error, base, share } = r.rounding;
  if (share >= WORTH) return { kind: "rounding", reach, error, base, percent: Math.round(100 * share), decides: share >= 1 };
  const k = r.pts.findIndex((q) => Math.abs(q.y) <= roundingOf(q));
  if (k >= 0) return { kind: "onRoot", k };
  const acc = r.acc,
    root = r.fn.root;
  return {
    kind: checks.signChange ? "interpolation" : "extrapolation",
    near:
      acc && root
        ? {
            digits: acc.digits,
            nearest: acc.nearest,
            atRoot: Math.abs(acc.error) <= LIMITS.noise * ulpOf(root.hi),
            exact: acc.error === 0 && root.lo === 0,
          }
        : null,
  };
}

/**
 * Neville's own estimate.  The last two corrections of the sweep, |p -
 * Q[n-1][n-2]| and |p - Q[n-2][n-2]|, are what the last node added to
 * each polynomial of one degree less: they estimate those entries'
 * errors, not p's.  Each with its entry's true error, and p's own; null
 * where the sweep divided by zero or no root is known.  `decided`: rounding
 * moves p by half its error or more.
 * @param {Result} r
 */
export function estimate(r) {
  const n = r.pts.length,
    { Q, p } = r,
    root = r.fn.root;
  if (!root || !r.acc || r.same.length) return null;
  const of = (/** @type {number} */ i, /** @type {number} */ j) => ({
    i,
    j,
    correction: Math.abs(p - Q[i][j]),
    error: errorOf(Q[i][j], root),
  });
  const last = of(n - 1, n - 2),
    other = of(n - 2, n - 2);
  if (![last.correction, other.correction, p].every(Number.isFinite)) return null;
  return { n, last, other, error: errorOf(p, root), decided: r.rounding.share >= 0.5 };
}
/** @typedef {NonNullable<ReturnType<typeof estimate>>} Estimate */
