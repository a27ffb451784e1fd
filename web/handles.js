// The figure's nodes moved by pointer and keys, and removed by keys and the
// list's Remove buttons, each change checked by tryNodes as typed nodes
// are.  While a drag lasts the upper panel keeps its ranges.

import { LIMITS } from "./core/limits.js";
import { topRanges } from "./core/curves.js";
import { intervalOf } from "./core/functions.js";
import { ANNOUNCE } from "./core/sentences/nodes.js";
import { FIGURE_REFUSED } from "./core/sentences/input.js";
import { $, svgOf } from "./dom.js";
import { change, state } from "./state.js";
import { xAt } from "./frame.js";

/** @typedef {import("./page.js").Context} Context */
/** @typedef {import("./state.js").State} State */

/** @param {Context} c @param {number} k @param {number} x @param {"push" | "replace"} how
 * @param {State["announce"]} announce @param {Partial<State>} more */
const moveNode = (c, k, x, how, announce = null, more = {}) => {
  const nodes = state.nodes.map((v, m) => (m === k ? x : v));
  return c.tryNodes(nodes, how, { shown: state.shown, announce, ...more });
};
/** Node k removed, or refused where there are as few nodes as allowed. */
function removeNode(/** @type {Context} */ c, /** @type {number} */ k) {
  if (state.nodes.length <= LIMITS.nodes[0]) {
    c.refuse(FIGURE_REFUSED.fewest, state.field, "figure");
    return false;
  }
  const nodes = state.nodes.filter((_, m) => m !== k);
  return c.tryNodes(nodes, "push", { shown: Infinity, announce: (r, pKnown) => ANNOUNCE.removed(k, r, pKnown) });
}
/** @param {number} k @returns {State["announce"]} */
const moved = (k) => (r, pKnown) => ANNOUNCE.moved(k, r, pKnown);
const handleOf = (/** @type {Event} */ e) =>
  /** @type {SVGElement | null} */ (/** @type {Element} */ (e.target).closest(".handle"));

/** @param {Context} c */
export function wireHandles(c) {
  const svg = svgOf("figure"),
    handles = /** @type {SVGElement} */ (svg.querySelector(".handles"));

  // a drag: one move a frame, and the window following a node taken past it
  handles.addEventListener("pointerdown", (e) => {
    const hdl = handleOf(e);
    if (!hdl || e.button !== 0) return;
    e.preventDefault();
    hdl.setPointerCapture(e.pointerId);
    hdl.focus();
    const frozen = topRanges(c.result());
    change({ frozen, drag: { k: Number(hdl.dataset.k), id: e.pointerId, x: NaN, frame: 0, moved: false } }, "same");
  });
  const dragFrame = () => {
    const drag = state.drag;
    if (!drag) return;
    change({ drag: { ...drag, frame: 0 } }, "same");
    const past = state.frozen && (drag.x < state.frozen.xlim[0] || drag.x > state.frozen.xlim[1]);
    if (moveNode(c, drag.k, drag.x, drag.moved ? "replace" : "push", null, past ? { frozen: null } : {}) && state.drag)
      change({ drag: { ...state.drag, moved: true }, frozen: state.frozen ?? topRanges(c.result()) }, "same");
  };
  handles.addEventListener("pointermove", (e) => {
    const drag = state.drag;
    if (!drag || e.pointerId !== drag.id || !state.frozen) return;
    const x = xAt(svg.getBoundingClientRect(), state, state.frozen, e.clientX, intervalOf(c.model.presets, state.f));
    change({ drag: { ...drag, x, frame: drag.frame || requestAnimationFrame(dragFrame) } }, "same");
  });
  const endDrag = (/** @type {PointerEvent} */ e) => {
    const drag = state.drag;
    if (!drag || e.pointerId !== drag.id) return;
    if (drag.frame) {
      cancelAnimationFrame(drag.frame);
      dragFrame();
    }
    c.update({ frozen: null, drag: null, announce: moved(drag.k) }, "none");
  };
  handles.addEventListener("pointerup", endDrag);
  handles.addEventListener("pointercancel", endDrag);

  // the arrow keys (finer with Shift), Page Up and Down, Home and End; Delete
  handles.addEventListener("keydown", (e) => {
    const hdl = handleOf(e);
    if (!hdl) return;
    const k = Number(hdl.dataset.k),
      x = state.nodes[k],
      fine = e.shiftKey ? 0.001 : 0.01,
      [lo, hi] = intervalOf(c.model.presets, state.f);
    if (e.key === "Delete" || e.key === "Backspace") {
      e.preventDefault();
      if (removeNode(c, k)) /** @type {SVGElement} */ (handles.children[Math.min(k, state.nodes.length - 1)]).focus();
      return;
    }
    /** @type {Record<string, number>} */
    const keys = {
      ArrowLeft: x - fine,
      ArrowDown: x - fine,
      ArrowRight: x + fine,
      ArrowUp: x + fine,
      PageUp: x + 0.1,
      PageDown: x - 0.1,
      Home: lo,
      End: hi,
    };
    const to = keys[e.key];
    if (to === undefined) return;
    e.preventDefault();
    // the slider says its own value; the live region, what it did to p
    if (moveNode(c, k, Number(to.toPrecision(12)), state.keyed ? "replace" : "push", moved(k)))
      change({ keyed: true }, "same");
  });

  $("node-list").addEventListener("click", (e) => {
    const button = /** @type {Element} */ (e.target).closest("button");
    if (!button) return;
    const k = Number(button.dataset.k);
    if (removeNode(c, k)) $("node-list").querySelectorAll("button")[Math.min(k, state.nodes.length - 1)].focus();
  });
  // keys on one handle, while it keeps the focus, make one history entry
  document.addEventListener("focusin", () => change({ keyed: false }, "same"));
}
