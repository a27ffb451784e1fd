// How good p is: its figures, the verdict in words, and Neville's own
// estimate against the true error, put in place.

import { root, sci, show } from "./core/numbers.js";
import { estimateText, qualityNote, rootText } from "./core/sentences/quality.js";
import { WAITING } from "./core/sentences/predict.js";
import { say, text } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/verdicts.js").Verdict} Verdict */
/** @typedef {Parameters<typeof estimateText>[0]} Estimate */

/**
 * The figures of p, and what they mean.
 * @param {Record<"p" | "residual" | "root" | "error" | "relative" | "slope" | "note" | "estimate", HTMLElement>} v
 * @param {Result} r
 * @param {{residual: number, verdict: Verdict, estimate: Estimate} | null} said p's residual with the program's
 *   own exp, the verdict on p and Neville's estimate; null while p is to be predicted, which leaves nothing of it
 */
export function drawQuality(v, r, said) {
  if (said === null) {
    for (const e of Object.values(v)) text(e, "");
    text(v.note, WAITING);
    return;
  }
  const { residual, verdict, estimate } = said,
    { p } = r;
  text(v.p, show(p));
  text(v.residual, `${show(residual)} (${sci(residual, 2)})`);
  text(v.root, rootText());
  text(v.error, sci(p - root, 2));
  text(v.relative, sci((p - root) / root, 1));
  text(v.slope, (-2.0 * root - 1.0).toFixed(3));
  say(v.note, qualityNote(r, verdict));
  text(v.estimate, estimateText(estimate));
}
