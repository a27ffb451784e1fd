// What a state's numbers say of p, and what Neville's own corrections
// estimate.  Every error is against the true root, not the double nearest it.

import { errorOf } from "./accuracy.js";
import { inverseChecks } from "./functions.js";

/** @typedef {import("./sweep.js").Result} Result */

/** Rounding's reach is worth a word from this share of p's error. */
export const WORTH = 0.1;

/** "turns": the y turn at the nodes `at` (in order of x).  "rounding": a unit of rounding in each y moves p by
 * `reach`, `percent` of p's error (with no root, of p's distance from the nearest node), `decides` where all of it.
 * "onRoot": y_k is 0 exactly.  Where p is not the rounding's, `near` says it against the root.
 * @typedef {{kind: "same"} | {kind: "noValue", k: number} | {kind: "overflow"} | {kind: "turns", at: number[]}
 *   | {kind: "rounding", reach: number, error: number | null, base: number, percent: number, decides: boolean}
 *   | {kind: "onRoot", k: number, near: Near | null}
 *   | {kind: "interpolation" | "extrapolation", near: Near | null}} Verdict */
/** @typedef {{digits: string, nearest: boolean, exact: boolean}} Near p against a known root */

/** @param {Result} r @returns {Verdict} */
export function verdict(r) {
  if (r.same.length) return { kind: "same" };
  const none = r.pts.findIndex((q) => !Number.isFinite(q.y));
  if (none >= 0) return { kind: "noValue", k: none };
  if (!Number.isFinite(r.p)) return { kind: "overflow" };
  const checks = inverseChecks(r.pts);
  if (checks.verdict === "not-monotone") return { kind: "turns", at: checks.turns };
  const { reach, error, base, share } = r.rounding;
  if (share >= WORTH)
    return { kind: "rounding", reach, error, base, percent: Math.round(100 * share), decides: share >= 1 };
  const { acc } = r,
    root = r.fn.root,
    near = acc && root ? { digits: acc.digits, nearest: acc.nearest, exact: acc.error === 0 && root.lo === 0 } : null;
  if (checks.onRoot >= 0) return { kind: "onRoot", k: checks.onRoot, near };
  return { kind: checks.signChange ? "interpolation" : "extrapolation", near };
}

/** Neville's own estimate.  The last two corrections, |p - Q[n-1][n-2]| and |p - Q[n-2][n-2]|, are what the last
 * node added to each polynomial of one degree less: they estimate those entries' errors, not p's.  Null where the
 * sweep divided by zero or no root is known; `decided` where rounding moves p by half its error or more.
 * @param {Result} r */
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
