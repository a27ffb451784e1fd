// What the numbers of a state say of p: a zero denominator, an overflow,
// nodes over which x is not a function of y, rounding that decides p, a y
// within rounding of 0, interpolation or extrapolation, and how near the
// root p is; and what Neville's own corrections estimate.  Every error is
// against the true root, not the double nearest it.  The sentences are
// made from these; nothing here touches the DOM.

import { errorOf, ulpOf } from "./accuracy.js";
import { closestPair, roundingOf } from "./rounding.js";
import { LIMITS } from "./limits.js";
import { inverseChecks } from "./functions.js";
import { movesOf } from "./moves.js";

/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {import("./moves.js").Moves} Moves */

/** Where rounding's reach is worth a word: this share of p - root. */
export const SHARE = 0.1;

/**
 * The verdict on p.  "same": coinciding y, a zero denominator.
 * "noValue": f has no value (its y is NaN or infinite) at node k, which
 * every entry built on it carries on.  "overflow": p is not finite otherwise.  "turns": the nodes' y rise and
 * fall, so over them x is not a function of y (at node `at`, in order of
 * x).  "rounding": rounding in the y can move p by a share of its error
 * worth saying (the closest pair and its gap in units of rounding, and
 * what rounding did, measured).  "onRoot": node k's y is within rounding
 * of 0.  Else interpolation or extrapolation, and p against the root:
 * its error, in ulps, whether it is the root's own double, and whether it
 * is within rounding of the root (null where no root is known).
 * @typedef {{kind: "same"}
 *   | {kind: "noValue", k: number}
 *   | {kind: "overflow"}
 *   | {kind: "turns", at: number}
 *   | {kind: "rounding", a: number, b: number, gap: number, moves: Moves | null}
 *   | {kind: "onRoot", k: number}
 *   | {kind: "interpolation" | "extrapolation", near: Near | null}} Verdict
 */
/**
 * p against the root: its error, in ulps of the root's double, whether it
 * is that double, whether it is within rounding of the root, whether it is
 * the root itself (a root known to be a double, met exactly); and f near
 * its tangent there: f'(root), f'(root)(p - root), the residual f(p) as the
 * page computes it, and whether the residual is within a tenth of that
 * tangent's value (then it measures p - root).
 * @typedef {object} Near
 * @property {number} error
 * @property {number} ulps
 * @property {boolean} nearest
 * @property {boolean} atRoot
 * @property {boolean} exact
 * @property {number} slope
 * @property {number} tangent
 * @property {number} residual
 * @property {boolean} follows
 */

/**
 * @param {Result} r
 * @returns {Verdict}
 */
export function verdict(r) {
  const { p, fn } = r;
  if (r.same.length) return { kind: "same" };
  const none = r.pts.findIndex((q) => !Number.isFinite(q.y));
  if (none >= 0) return { kind: "noValue", k: none };
  if (!Number.isFinite(p)) return { kind: "overflow" };
  const checks = inverseChecks(r.pts);
  if (checks.verdict === "not-monotone") return { kind: "turns", at: checks.turns[0] ?? 0 };
  if (r.share >= SHARE) {
    const { a, b, gap } = closestPair(r.pts);
    return { kind: "rounding", a, b, gap, moves: fn.root ? movesOf(fn.tree, r.pts, p, fn.root) : null };
  }
  const k = r.pts.findIndex((q) => Math.abs(q.y) <= roundingOf(q));
  if (k >= 0) return { kind: "onRoot", k };
  return { kind: checks.signChange ? "interpolation" : "extrapolation", near: r.acc ? nearOf(r) : null };
}

/** p against the root, from the result's accuracy. */
function nearOf(/** @type {Result} */ r) {
  const acc = r.acc,
    root = r.fn.root;
  if (!acc || !root) throw new Error("p against a root needs the root");
  // a root found by bisection alone is known only as the double where f's doubles change sign
  const known = !("how" in r.fn.found) || r.fn.found.how !== "bisection";
  const slope = r.fn.dual[r.exp](root.hi).d,
    tangent = slope * acc.error,
    residual = r.fn.f[r.exp](r.p);
  return {
    error: acc.error,
    ulps: acc.ulps,
    nearest: acc.nearest,
    atRoot: Math.abs(acc.error) <= LIMITS.noise * ulpOf(root.hi),
    exact: acc.error === 0 && root.lo === 0 && known,
    slope,
    tangent,
    residual,
    follows: slope !== 0 && Math.abs(residual - tangent) <= 0.1 * Math.abs(residual),
  };
}

/**
 * Neville's own estimate.  The last two corrections of the sweep, |p -
 * Q[n-1][n-2]| and |p - Q[n-2][n-2]|, are what the last node added to
 * each polynomial of one degree less: they estimate the errors of those
 * two entries, not p's, which is of one degree more.  Each with its
 * entry's true error, each in ulps of the root (a correction of a few is
 * rounding's), and p's own error; null where the sweep divided by zero or
 * no root is known.
 * @param {Result} r
 */
export function estimate(r) {
  const n = r.pts.length,
    Q = r.Q,
    p = r.p,
    root = r.fn.root;
  if (!root || r.same.length) return null;
  const ulp = ulpOf(root.hi);
  const of = (/** @type {number} */ i, /** @type {number} */ j) => {
    const correction = Math.abs(p - Q[i][j]);
    return {
      i,
      j,
      correction,
      error: errorOf(Q[i][j], root),
      ulps: correction / ulp,
      rounding: correction <= LIMITS.noise * ulp,
    };
  };
  const last = of(n - 1, n - 2),
    other = of(n - 2, n - 2);
  if (![last.correction, other.correction, p].every(Number.isFinite)) return null;
  return { n, last, other, error: errorOf(p, root), ulps: errorOf(p, root) / ulp, decided: r.share >= 0.5 };
}
