// The page's controls wired to changes of the state: the stepper and its
// keys, the digits and the bits, the field and the exponential, the
// program's nodes, Iterate, Add, and the tables taken away.  Each handler
// asks main.js's update() for the change, and nothing else.

import { LIMITS } from "./core/limits.js";
import { parseNodes } from "./core/fragment.js";
import { iterateOnce, otherExp } from "./core/sweep.js";
import { iterateDone, iterationRows } from "./core/iterations.js";
import { iterationsTable, tableauTable, toCsv, toLatex } from "./core/export.js";
import { ANNOUNCE, expEffect } from "./core/sentences/nodes.js";
import { FIGURE_REFUSED } from "./core/sentences/input.js";
import { takeAway } from "./core/sentences/iterations.js";
import { stepText } from "./core/sentences/step.js";
import { $, input } from "./dom.js";
import { change, state } from "./state.js";
import { download } from "./download.js";

/** @typedef {import("./main.js").Context} Context */
/** @typedef {import("./core/sweep.js").ExpName} ExpName */

/** @param {Context} c */
export function wireControls(c) {
  const step = (/** @type {number} */ to) =>
    c.update({ shown: Math.max(0, Math.min(c.result().steps.length, to)), announce: stepText }, "replace");
  $("skip").addEventListener("click", (e) => {
    e.preventDefault();
    $("tableau-section").focus();
    $("tableau-section").scrollIntoView();
  });
  $("step-first").addEventListener("click", () => step(0));
  $("step-back").addEventListener("click", () => step(c.result().shown - 1));
  $("step-forward").addEventListener("click", () => step(c.result().shown + 1));
  $("step-last").addEventListener("click", () => step(Infinity));
  $("tableau-section").addEventListener("keydown", (e) => {
    const target = /** @type {Element} */ (e.target);
    if (target.closest("input, textarea, select, #tableau-scroll") || e.altKey || e.ctrlKey || e.metaKey) return;
    const shown = c.result().shown;
    const to = /** @type {Record<string, number>} */ ({
      ArrowLeft: shown - 1,
      ArrowRight: shown + 1,
      Home: 0,
      End: Infinity,
    })[e.key];
    if (to === undefined) return;
    e.preventDefault();
    step(to);
  });
  $("digits").addEventListener("change", () =>
    c.update({ digits: Number(/** @type {HTMLSelectElement} */ ($("digits")).value) }, "replace"),
  );
  input("show-bits").addEventListener("change", () => c.update({ showBits: input("show-bits").checked }, "none"));
  input("lecture").addEventListener("change", () => c.update({ lecture: input("lecture").checked }, "replace"));
  $("going-deeper").addEventListener("toggle", () => {
    const open = /** @type {HTMLDetailsElement} */ ($("going-deeper")).open;
    if (open !== state.deeper) c.update({ deeper: open }, "replace");
  });
  input("nodes").addEventListener("input", () => change({ field: input("nodes").value }, "same"));
  $("experiment").addEventListener("submit", (e) => {
    e.preventDefault();
    const parsed = parseNodes(input("nodes").value);
    if (parsed.error !== undefined) return c.refuse(parsed.error, input("nodes").value);
    c.update({ nodes: parsed.xs, shown: Infinity, iterates: [], field: null, announce: ANNOUNCE.interpolated }, "push");
  });
  for (const radio of document.querySelectorAll('input[name="exp"]')) {
    radio.addEventListener("change", () => {
      const exp = /** @type {ExpName} */ (/** @type {HTMLInputElement} */ (radio).value);
      c.update(
        {
          exp,
          iterates: [],
          announce: (r) => ANNOUNCE.exp(exp, expEffect(r, exp, otherExp(c.model, r, exp)), r),
        },
        "push",
      );
    });
  }
  $("reset").addEventListener("click", () => {
    c.update({ nodes: c.model.nodes, shown: Infinity, iterates: [], field: null, announce: ANNOUNCE.program }, "push");
  });
  $("iterate").addEventListener("click", () => {
    const r = c.result();
    // done, it says why beside it, and a press changes nothing
    if (iterateDone(c.model, state, r, c.iterates(r)) !== null) return;
    const k = Math.max(1, state.iterates.length),
      next = iterateOnce(c.model, state, r);
    if (next.refused === undefined)
      c.update({ ...next, shown: Infinity, announce: (r) => ANNOUNCE.iterated(k, r) }, "push");
  });
  $("add-node").addEventListener("click", () => {
    const xs = state.nodes;
    if (xs.length >= LIMITS.nodes[1]) return c.refuse(FIGURE_REFUSED.most, state.field, "figure");
    // into the middle of the widest gap between neighbours
    const sorted = [...xs].sort((a, b) => a - b);
    let at = Math.min(1, sorted[sorted.length - 1] + 0.05),
      widest = 0;
    for (let k = 1; k < sorted.length; k++) {
      if (sorted[k] - sorted[k - 1] > widest) {
        widest = sorted[k] - sorted[k - 1];
        at = (sorted[k] + sorted[k - 1]) / 2;
      }
    }
    c.tryNodes([...xs, Math.round(at * 1000) / 1000], "push", { shown: Infinity, announce: ANNOUNCE.added });
  });
  // the tableau and the iterations taken away, as the page shows them
  for (const button of document.querySelectorAll("[data-take]")) {
    button.addEventListener("click", () => {
      const [what, format] = /** @type {["tableau" | "iterations", string]} */ (
        /** @type {string} */ (/** @type {HTMLElement} */ (button).dataset.take).split(" ")
      );
      const r = c.result();
      const table =
        what === "tableau"
          ? tableauTable(r)
          : iterationsTable(iterationRows(c.iterates(r), r.pts.length, c.model.exps[state.exp]));
      const { name, about } = takeAway(what, location.href);
      if (format === "csv") download(`${name}.csv`, "text/csv", toCsv(table));
      else download(`${name}.tex`, "application/x-tex", toLatex(table, about));
    });
  }
}
