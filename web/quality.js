// How good p is: its figures, the verdict and Neville's own estimate in
// words, and the interpolation error's bound, put in place.

import { sci, show } from "./core/numbers.js";
import { estimateText, qualityNote, rootText, boundText } from "./core/sentences/quality.js";
import { WAITING } from "./core/sentences/predict.js";
import { $, say, set, text } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */

/**
 * The figures of p and what they mean; while p is to be predicted, only
 * that they wait for it.
 * @param {Result} r
 * @param {{verdict: import("./core/verdicts.js").Verdict, estimate: import("./core/verdicts.js").Estimate | null,
 *   root: string} | null} said the verdict, Neville's estimate and the root's digits; null while p waits
 */
export function drawQuality(r, said) {
  $("quality-body")
    .querySelector("dl")
    ?.toggleAttribute("hidden", said === null);
  if (said === null) {
    for (const id of ["p", "residual", "root", "error", "relative", "slope", "estimate"]) text($(id), "");
    text($("quality-note"), WAITING);
    return;
  }
  const { p, acc, fn } = r,
    residual = fn.f[r.exp](p);
  text($("p"), show(p));
  text($("residual"), `${show(residual)} (${sci(residual, 2)})`);
  text($("root"), rootText(r, said.root));
  text($("error"), acc ? sci(acc.error, 2) : "–");
  text($("relative"), acc && fn.root ? sci(acc.error / fn.root.hi, 1) : "–");
  text($("slope"), fn.root ? fn.dual[r.exp](fn.root.hi).d.toPrecision(4) : "–");
  say($("quality-note"), qualityNote(r, said.verdict));
  text($("estimate"), estimateText(said.estimate));
}

/**
 * The interpolation error's bound, its ends also as numbers in data-lo and
 * data-hi; a word while it is computed, or while p is to be predicted.
 * @param {HTMLElement} box
 * @param {Result} r
 * @param {import("./core/bound.js").Bound | import("./core/bound.js").NoBound | string | null} bound
 */
export function drawBound(box, r, bound) {
  const ends =
    bound && typeof bound === "object" && !("reason" in bound) ? { "data-lo": bound.lo, "data-hi": bound.hi } : {};
  set(box, { "data-lo": null, "data-hi": null, ...ends });
  text(box, typeof bound === "string" ? bound : bound ? boundText(r, bound) : "Computing…");
}
