// The nodes in the figure, by pointer and by keys, and the list's Remove
// buttons: each a change of the nodes through main.js's tryNodes, checked
// as typed nodes are.  A drag keeps the upper panel's ranges while it
// lasts, and what it needs, in the state.

import { LIMITS } from "./core/limits.js";
import { topRanges } from "./core/curves.js";
import { intervalOf } from "./core/functions.js";
import { ANNOUNCE } from "./core/sentences/nodes.js";
import { FIGURE_REFUSED } from "./core/sentences/input.js";
import { $ } from "./dom.js";
import { change, state } from "./state.js";
import { xAt } from "./frame.js";

/** @typedef {import("./page.js").Context} Context */
/** @typedef {import("./state.js").State} State */
/** @typedef {import("./core/sweep.js").Result} Result */

/** @param {Context} c */
export function wireHandles(c) {
  const handles = /** @type {SVGElement} */ (c.views.figure.svg.querySelector(".handles"));
  wirePointer(c, handles);
  wireKeys(c, handles);
  // the list's Remove buttons, for a finger or a mouse
  $("node-list").addEventListener("click", (e) => {
    const button = /** @type {HTMLElement | null} */ (/** @type {Element} */ (e.target).closest("button"));
    if (!button) return;
    const k = Number(button.dataset.k);
    if (removeNode(c, k))
      /** @type {HTMLElement} */ (
        $("node-list").querySelectorAll("button")[Math.min(k, state.nodes.length - 1)]
      ).focus();
  });
  // keys on one handle, while it keeps the focus, make one history entry
  document.addEventListener("focusin", () => change({ keyed: false }, "same"));
}

/**
 * Node k moved to x.
 * @param {Context} c
 * @param {number} k
 * @param {number} x
 * @param {"push" | "replace"} how
 * @param {State["announce"]} announce
 * @param {Partial<State>} more
 */
const moveNode = (c, k, x, how, announce = null, more = {}) =>
  c.tryNodes(
    state.nodes.map((v, m) => (m === k ? x : v)),
    how,
    { shown: state.shown, announce, ...more },
  );
/**
 * Node k removed, or refused where there are as few nodes as there can be.
 * @param {Context} c
 * @param {number} k
 */
function removeNode(c, k) {
  if (state.nodes.length <= LIMITS.nodes[0]) {
    c.refuse(FIGURE_REFUSED.fewest, state.field, "figure");
    return false;
  }
  return c.tryNodes(
    state.nodes.filter((_, m) => m !== k),
    "push",
    { shown: Infinity, announce: (r, whole) => ANNOUNCE.removed(k, r, whole) },
  );
}
const moved = (/** @type {number} */ k) => (/** @type {Result} */ r, /** @type {boolean} */ whole) =>
  ANNOUNCE.moved(k, r, whole);
const handleOf = (/** @type {Event} */ e) =>
  /** @type {SVGElement | null} */ (/** @type {Element} */ (e.target).closest(".handle"));

/**
 * A node dragged by a pointer: the upper panel's ranges kept while it
 * lasts, a move a frame, and the window following a node taken past it.
 * @param {Context} c
 * @param {SVGElement} handles
 */
function wirePointer(c, handles) {
  const svg = c.views.figure.svg;
  handles.addEventListener("pointerdown", (e) => {
    const hdl = handleOf(e);
    if (!hdl || e.button !== 0) return;
    e.preventDefault();
    hdl.setPointerCapture(e.pointerId);
    hdl.focus();
    change(
      {
        frozen: topRanges(c.result()),
        drag: { k: Number(hdl.dataset.k), id: e.pointerId, x: NaN, frame: 0, moved: false },
      },
      "same",
    );
  });
  const dragFrame = () => {
    const drag = state.drag;
    if (!drag) return;
    change({ drag: { ...drag, frame: 0 } }, "same");
    // taken past the window, the window follows it
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
}

/**
 * A focused node moved by the arrow keys (finer with Shift), Page Up and
 * Page Down, Home and End, and removed by Delete.
 * @param {Context} c
 * @param {SVGElement} handles
 */
function wireKeys(c, handles) {
  handles.addEventListener("keydown", (e) => {
    const hdl = handleOf(e);
    if (!hdl) return;
    const k = Number(hdl.dataset.k),
      x = state.nodes[k],
      fine = e.shiftKey ? 0.001 : 0.01;
    /** @type {Record<string, number>} */
    const keys = {
      ArrowLeft: x - fine,
      ArrowDown: x - fine,
      ArrowRight: x + fine,
      ArrowUp: x + fine,
      PageUp: x + 0.1,
      PageDown: x - 0.1,
      Home: intervalOf(c.model.presets, state.f)[0],
      End: intervalOf(c.model.presets, state.f)[1],
    };
    const to = keys[e.key];
    if (e.key === "Delete" || e.key === "Backspace") {
      e.preventDefault();
      if (removeNode(c, k)) /** @type {SVGElement} */ (handles.children[Math.min(k, state.nodes.length - 1)]).focus();
      return;
    }
    if (to === undefined) return;
    e.preventDefault();
    // the slider says its own value; the live region, what it did to p
    if (moveNode(c, k, Number(to.toPrecision(12)), state.keyed ? "replace" : "push", moved(k)))
      change({ keyed: true }, "same");
  });
}
