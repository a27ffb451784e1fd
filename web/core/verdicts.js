// What the numbers of a state say of p: a zero denominator, an overflow,
// rounding that decides p, a y within rounding of 0, interpolation or
// extrapolation; and Neville's own estimate against the true error.  The
// sentences are made from these; nothing here touches the DOM.

import { root, ulpsFrom } from "./numbers.js";
import { NOISE, closestPair, roundingOf } from "./rounding.js";

/** @typedef {import("./sweep.js").Result} Result */

/** Where rounding's reach is worth a word: this share of p - root. */
export const SHARE = 0.1;

/**
 * The verdict on p: "same" (coinciding y, a zero denominator), "overflow"
 * (p is not finite otherwise), "rounding" (rounding in the y can move p by
 * a share of its error worth saying: the closest pair and its gap in
 * units of rounding), "onRoot" (node k's y is within rounding of 0), else
 * interpolation or extrapolation, and whether p is within rounding of the
 * root.
 * @typedef {{kind: "same"}
 *   | {kind: "overflow"}
 *   | {kind: "rounding", a: number, b: number, gap: number, error: number, reach: number}
 *   | {kind: "onRoot", k: number}
 *   | {kind: "interpolation" | "extrapolation", atRoot: boolean, residual: number}} Verdict
 */

/**
 * @param {Result} r
 * @returns {Verdict}
 */
export function verdict(r) {
  const { p } = r;
  if (r.same.length) return { kind: "same" };
  if (!Number.isFinite(p)) return { kind: "overflow" };
  if (r.share >= SHARE) {
    const { a, b, gap } = closestPair(r.pts),
      error = p - root;
    return { kind: "rounding", a, b, gap, error, reach: r.share * Math.abs(error) };
  }
  const k = r.pts.findIndex((q) => Math.abs(q.y) <= roundingOf(q));
  if (k >= 0) return { kind: "onRoot", k };
  const straddle = r.pts.some((q) => q.y > 0) && r.pts.some((q) => q.y < 0);
  return {
    kind: straddle ? "interpolation" : "extrapolation",
    atRoot: Math.abs(ulpsFrom(p, root)) <= NOISE,
    // f(p) ≈ f′(root)·(p − root)
    residual: (-2.0 * root - 1.0) * (p - root),
  };
}

/**
 * Neville's own estimate: the last two corrections of the sweep, against
 * the true error, and what their ratio says ("rounding" where rounding
 * moves p by as much as the error, "root" where p is within rounding of
 * the root, else pessimistic, optimistic or about right); null where the
 * sweep divided by zero.
 * @param {Result} r
 */
export function estimate(r) {
  const n = r.pts.length,
    Q = r.Q,
    p = r.p,
    error = p - root;
  const last = Math.abs(p - Q[n - 1][n - 2]),
    other = Math.abs(p - Q[n - 2][n - 2]);
  if (!Number.isFinite(last) || !Number.isFinite(other) || !Number.isFinite(error)) return null;
  const off = Math.abs(ulpsFrom(p, root)),
    ratio = last / Math.abs(error);
  /** @type {"rounding" | "root" | "pessimistic" | "optimistic" | "about"} */
  const says =
    r.share >= 0.5
      ? "rounding"
      : off <= NOISE
        ? "root"
        : ratio >= 1.5
          ? "pessimistic"
          : ratio <= 1 / 1.5
            ? "optimistic"
            : "about";
  return { n, last, other, error, off, ratio, says };
}
