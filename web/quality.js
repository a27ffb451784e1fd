// How good p is: its figures, the verdict and Neville's own estimate in
// words, and the interpolation error's bound.

import { sci, show } from "./core/numbers.js";
import {
  BOUND_COMPUTING,
  estimateText,
  qualityNote,
  residualText,
  rootText,
  boundText,
} from "./core/sentences/quality.js";
import { WAITING } from "./core/sentences/predict.js";
import { $, say, set, text } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */

/** The figures of p and what they mean, from the verdict, Neville's estimate and the root's digits; while p is
 * to be predicted (words null), only that they wait for it.  The estimate's heading stands only over an estimate.
 * @param {Result} r
 * @param {{verdict: import("./core/verdicts.js").Verdict, estimate: import("./core/verdicts.js").Estimate | null,
 *   root: string} | null} words */
export function drawQuality(r, words) {
  $("quality-body")
    .querySelector("dl")
    ?.toggleAttribute("hidden", words === null);
  const estimate = words === null ? "" : estimateText(words.estimate);
  text($("estimate"), estimate);
  $("estimate-heading").hidden = !estimate;
  if (words === null) {
    for (const id of ["p", "residual", "root", "error", "relative", "slope"]) text($(id), "");
    text($("quality-note"), WAITING);
    return;
  }
  const { p, acc, fn } = r;
  text($("p"), show(p));
  text($("residual"), residualText(fn.f[r.exp](p)));
  text($("root"), rootText(r, words.root));
  text($("error"), acc ? sci(acc.error, 2) : "–");
  text($("relative"), acc && fn.root ? sci(acc.error / fn.root.hi, 1) : "–");
  text($("slope"), fn.root ? fn.dual[r.exp](fn.root.hi).d.toPrecision(4) : "–");
  say($("quality-note"), qualityNote(r, words.verdict));
}

/** The bound, its ends also as numbers in data-lo and data-hi; a word while it is computed (null), or while p
 * is to be predicted.
 * @param {HTMLElement} box @param {Result} r
 * @param {import("./core/bound.js").Bound | import("./core/bound.js").NoBound | string | null} bound */
export function drawBound(box, r, bound) {
  const ends =
    bound && typeof bound === "object" && !("reason" in bound) ? { "data-lo": bound.lo, "data-hi": bound.hi } : {};
  set(box, { "data-lo": null, "data-hi": null, ...ends });
  text(box, typeof bound === "string" ? bound : bound ? boundText(r, bound) : BOUND_COMPUTING);
}
