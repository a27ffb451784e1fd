// What takes a while to find and lies below the first screen, found after
// the render that showed its nodes, in a task of its own: the bound on the
// interpolation error, from enclosures of the inverse's derivatives.  A
// change of nodes before it is done leaves it undone; the next render asks
// again.

import { show } from "./core/numbers.js";
import { interpolationBound } from "./core/bound.js";
import { change, state } from "./state.js";
import { drawBound } from "./quality.js";

/** @typedef {import("./core/sweep.js").Result} Result */

/**
 * The bound for r's nodes and function: drawn as the state holds it, and
 * found in a task where it is not yet theirs.
 * @param {HTMLElement} box
 * @param {Result} r
 * @param {boolean} whole whether p may be shown: while it is to be predicted, so is what bounds its error
 */
export function scheduleAnalysis(box, r, whole) {
  const key = `${r.fn.text} ${r.pts.map((q) => `${show(q.x)}:${show(q.y)}`).join()}`;
  if (key !== state.analysis.key) {
    change({ analysis: { key, bound: null } }, "same");
    setTimeout(() => {
      if (state.analysis.key !== key) return;
      change({ analysis: { key, bound: interpolationBound(r.fn.tree, r.pts, r.fn.root) } }, "same");
      drawBound(box, r, whole ? state.analysis.bound : null);
      performance.mark("inverse_neville:analysis");
    }, 0);
  }
  drawBound(box, r, whole ? state.analysis.bound : null);
}
