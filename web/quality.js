// How good p is: its figures, the verdict in words, the interpolation
// error's bound, and Neville's own estimate against the true error, put
// in place.

import { sci, show } from "./core/numbers.js";
import { boundText, estimateText, qualityNote, rootText } from "./core/sentences/quality.js";
import { WAITING } from "./core/sentences/predict.js";
import { say, set, text } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/verdicts.js").Verdict} Verdict */
/** @typedef {Parameters<typeof estimateText>[0]} Estimate */
/** @typedef {import("./core/residual.js").Parts} Parts */
/** @typedef {Record<"p" | "residual" | "root" | "error" | "relative" | "slope" | "note" | "estimate", HTMLElement>} QualityView */

/**
 * The figures of p, and what they mean.
 * @param {QualityView} v
 * @param {Result} r
 * @param {{residual: number, verdict: Verdict, estimate: Estimate, parts: Parts | null} | null} said p's residual
 *   as the page computes f, the verdict on p, Neville's estimate and the residual taken apart; null while p is to be
 *   predicted, which leaves nothing of it
 */
export function drawQuality(v, r, said) {
  if (said === null) {
    for (const e of Object.values(v)) text(e, "");
    text(v.note, WAITING);
    return;
  }
  const { residual, verdict, estimate, parts } = said,
    { p, acc, fn } = r;
  text(v.p, show(p));
  text(v.residual, `${show(residual)} (${sci(residual, 2)})`);
  text(v.root, rootText(r));
  text(v.error, acc ? sci(acc.error, 2) : "–");
  text(v.relative, acc && fn.root ? sci(acc.error / fn.root.hi, 1) : "–");
  text(v.slope, fn.root ? fn.dual[r.exp](fn.root.hi).d.toPrecision(4) : "–");
  say(v.note, qualityNote(r, verdict, parts));
  text(v.estimate, estimateText(estimate));
}

/**
 * The interpolation error's bound, its ends also as numbers in data-lo and
 * data-hi; empty while it is computed, or while p is to be predicted.
 * @param {HTMLElement} box
 * @param {Result} r
 * @param {import("./core/bound.js").Bound | import("./core/bound.js").NoBound | null} bound
 */
export function drawBound(box, r, bound) {
  const ends = bound && !("reason" in bound) ? { "data-lo": bound.lo, "data-hi": bound.hi } : {};
  set(box, { "data-lo": null, "data-hi": null, ...ends });
  text(box, bound ? boundText(r, bound, r.acc ? r.acc.error : null) : "");
}
