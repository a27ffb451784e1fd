// The learner's page: inverse_neville's own WebAssembly, run here, and its
// own Qij and exp behind every number the page shows.  This module reads
// the program from the page, holds the one render that draws the state and
// the one way a change reaches it (update), and hands the controls
// (controls.js) and the figure's nodes (handles.js) what they need.

import { loadProgram } from "./core/program.js";
import { show, theoreticalOrder } from "./core/numbers.js";
import { hashOf, parseFragment, parseNodes } from "./core/fragment.js";
import { compute, expAtFirstNode, isOwn, modelOf, otherExp, replay } from "./core/sweep.js";
import { estimate, verdict } from "./core/verdicts.js";
import { iterateDone, iterationRows } from "./core/iterations.js";
import { zoomOf } from "./core/curves.js";
import { expEffect, expLesson, summaryText } from "./core/sentences/nodes.js";
import { KEPT, digitsName } from "./core/sentences/input.js";
import { LIMITS } from "./core/limits.js";
import { zoomText } from "./core/sentences/step.js";
import { ITERATION_HEADS, iterateNote, iterationsCaption, replayText } from "./core/sentences/iterations.js";
import { $, h, input, set, text } from "./dom.js";
import { change, state } from "./state.js";
import { drawTableau, revealStep } from "./tableau.js";
import { drawFigure } from "./figure.js";
import { drawZoom } from "./zoom.js";
import { drawTriangle } from "./triangle.js";
import { drawSwap } from "./swap.js";
import { drawQuality } from "./quality.js";
import { drawIterations } from "./iterations.js";
import { drawNodeList } from "./nodes.js";
import { scheduleOrders } from "./orders.js";
import { wireControls } from "./controls.js";
import { wireHandles } from "./handles.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./state.js").State} State */

// the stripped .wasm, in base64
function wasmBytes() {
  const base64 = $("program-wasm").textContent?.trim() ?? "";
  const decode = /** @type {{fromBase64?: (s: string) => Uint8Array<ArrayBuffer>}} */ (
    /** @type {unknown} */ (Uint8Array)
  ).fromBase64;
  if (decode) return decode.call(Uint8Array, base64);
  const bin = atob(base64),
    bytes = new Uint8Array(bin.length);
  for (let k = 0; k < bin.length; k++) bytes[k] = bin.charCodeAt(k);
  return bytes;
}
performance.mark("inverse_neville:start");
const data = JSON.parse($("program-data").textContent ?? "");
const program = loadProgram(wasmBytes(), data.exports);
performance.mark("inverse_neville:loaded");
const model = modelOf(program, data.nodes);
// the page's address without its fragment, for the printed link
const address = location.href.replace(/#.*$/, "");

const svg = /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($("figure")));
const views = {
  tableau: {
    table: /** @type {HTMLTableElement} */ ($("tableau")),
    count: $("step-count"),
    rule: $("step-rule"),
    buttons: { first: $("step-first"), back: $("step-back"), forward: $("step-forward"), last: $("step-last") },
    scroll: $("tableau-scroll"),
  },
  figure: { svg, legend: $("legend"), caption: $("figure-desc") },
  zoom: /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($("zoom"))),
  triangle: /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($("triangle"))),
  swap: /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($("swap"))),
  nodes: { list: $("node-list"), why: $("node-list-why") },
  quality: {
    p: $("p"),
    residual: $("residual"),
    root: $("root"),
    error: $("error"),
    relative: $("relative"),
    slope: $("slope"),
    note: $("quality-note"),
    estimate: $("estimate"),
  },
  iterations: {
    table: /** @type {HTMLTableElement} */ ($("iterations")),
    caption: $("iterations-caption"),
    note: $("iterate-note"),
    button: $("iterate"),
  },
  orders: {
    table: /** @type {HTMLTableElement} */ ($("orders")),
    caption: $("orders-caption"),
    note: $("orders-note"),
  },
};
const radios = /** @type {NodeListOf<HTMLInputElement>} */ (document.querySelectorAll('input[name="exp"]'));

/**
 * What the state's numbers give, computed again only when the nodes, the
 * exponential or the step shown change.
 */
const resultOf = (() => {
  /** @type {{key: unknown[], r: Result} | null} */
  let last = null;
  return (/** @type {State} */ s) => {
    const key = [s.nodes, s.exp, s.shown];
    if (!last || key.some((v, k) => v !== last?.key[k])) last = { key, r: compute(model, s) };
    return last.r;
  };
})();

/** The iterates the table shows: p alone until Iterate is clicked. */
const iterates = (/** @type {Result} */ r) => (state.iterates.length ? state.iterates : [r.p]);

/**
 * A phase of the render, timed as a performance measure of its own.
 * @param {string} name
 * @param {() => void} draw
 */
function phase(name, draw) {
  const start = performance.now();
  draw();
  performance.measure(`inverse_neville:render:${name}`, { start });
}

// The one place the page is drawn, all of it from the state.
function render() {
  const start = performance.now(),
    r = resultOf(state);
  phase("tableau", () => {
    drawTableau(views.tableau, r, state);
    drawTriangle(views.triangle, r, state.triangleFont);
  });
  phase("figure", () => {
    drawFigure(views.figure, model, r, state);
    drawSwap(views.swap, model, r);
  });
  phase("zoom", () => {
    const z = zoomOf(r);
    text($("zoom-desc"), zoomText(z, drawZoom(views.zoom, z, state.width, state.zoomFont)));
  });
  phase("quality", () => {
    drawNodeList(views.nodes, r);
    drawQuality(views.quality, r, {
      residual: program.exp(-2.0 * r.p) - r.p,
      verdict: verdict(r),
      estimate: estimate(r),
    });
  });
  phase("iterations", () => {
    const ps = iterates(r),
      n = r.pts.length;
    const done = iterateDone(model, state, r, ps);
    drawIterations(views.iterations, {
      caption: iterationsCaption(n, theoreticalOrder(n)),
      heads: ITERATION_HEADS,
      rows: iterationRows(ps, n, model.exps[state.exp]),
      note: iterateNote(ps.length - 1, done),
      done: done !== null,
    });
  });
  text($("nodes-summary"), summaryText(r, isOwn(model, r.pts), state.exp, state.errorAt === "link" ? state.error : ""));
  text($("link-error"), state.linkRefused);
  text($("exp-effect"), expEffect(r, state.exp, otherExp(model, r, state.exp)));
  const field = input("nodes"),
    typed = state.field ?? state.nodes.map(show).join(", ");
  if (field.value !== typed) field.value = typed;
  const inField = state.error && state.errorAt !== "figure"; // a link's text goes to the field
  const kept = state.nodes === model.nodes ? KEPT.program : KEPT.last;
  text($("nodes-error"), inField ? `${state.error} ${kept}` : "");
  text($("figure-error"), state.error && !inField ? `${state.error} ${KEPT.figure}` : "");
  set(field, { "aria-invalid": inField ? "true" : null });
  for (const radio of radios) radio.checked = radio.value === state.exp;
  input("show-bits").checked = state.showBits;
  input("lecture").checked = state.lecture;
  /** @type {HTMLSelectElement} */ ($("digits")).value = String(state.digits);
  document.documentElement.classList.toggle("lecture", state.lecture);
  /** @type {HTMLDetailsElement} */ ($("going-deeper")).open = state.deeper;
  if (state.announce) text($("announce"), state.announce(r));
  text($("print-link"), address + (state.hash ?? ""));
  performance.measure("inverse_neville:render", { start });
  scheduleOrders(views.orders, model);
  // the step's cells scrolled into the tableau's box once it is laid out, as it is for the next frame anyway
  requestAnimationFrame(() => revealStep(views.tableau.scroll, resultOf(state)));
}

/**
 * A new state, written to the fragment ("push": a history entry of its
 * own; "replace": the current one, as while dragging; "none"), and drawn.
 * @param {Partial<State>} changes
 * @param {"push" | "replace" | "none"} how
 */
function update(changes, how) {
  change(changes);
  if (how !== "none") {
    const hash = hashOf({
      ...state,
      nodes: state.start,
      iterates: Math.max(0, state.iterates.length - 1),
      step: state.shown,
    });
    if (hash !== location.hash) history[how === "push" ? "pushState" : "replaceState"](null, "", hash);
  }
  change({ hash: location.hash }, "same");
  render();
  // the lecture's text is larger: the figure is drawn again at its size
  if ("lecture" in changes) remeasure();
}
/**
 * An input that cannot be used: said, and nothing else changes.
 * @param {string} error
 * @param {string | null} field
 * @param {State["errorAt"]} errorAt
 */
function refuse(error, field = state.field, errorAt = "field") {
  update({ error, field, errorAt }, "none");
}
/**
 * Nodes from a drag, a key, Add or Delete, checked as typed ones are.
 * @param {number[]} xs
 * @param {"push" | "replace"} how
 * @param {Partial<State>} changes
 */
function tryNodes(xs, how, changes) {
  const parsed = parseNodes(xs.map(show).join(","));
  if (parsed.error !== undefined) {
    refuse(parsed.error, state.field, "figure");
    return false;
  }
  if (xs.every((x, k) => Object.is(x, state.nodes[k])) && xs.length === state.nodes.length) return false;
  update({ nodes: xs, iterates: [], ...changes }, how);
  return true;
}
/**
 * The state a link holds, drawn, where the fragment changed and is not an
 * anchor; whether it drew.
 */
function fromLocation() {
  if (location.hash === state.hash) return false;
  change({ hash: location.hash }, "same");
  const s = parseFragment(location.hash, model.nodes);
  if (s === null) return false; // an anchor
  if (s.error !== undefined) {
    refuse(s.error, "text" in s ? (s.text ?? null) : null, "link");
    return true;
  }
  // the iterates made again from the starting nodes, as many as the link asks
  const made = replay(model, { nodes: s.nodes, exp: s.exp, shown: s.step }, s.iterates);
  const refused = made.refused === undefined ? s.refused : [...s.refused, replayText(made.refused)];
  update(
    {
      nodes: made.nodes,
      start: s.nodes,
      iterates: made.iterates,
      exp: s.exp,
      shown: s.step,
      digits: s.digits,
      lecture: s.lecture,
      predict: s.predict,
      deeper: s.deeper,
      field: null,
      linkRefused: refused.join(" "),
    },
    "none",
  );
  return true;
}

// the digits the tableau can be shown to, in the order the reader is offered them
$("digits").append(...LIMITS.digits.map((d) => h("option", { value: String(d) }, digitsName(d))));
const run = program.run();
performance.mark("inverse_neville:run");
text($("program-output"), run.stdout + run.stderr);
text($("exit-status"), String(run.status));
text($("exp-lesson"), expLesson(expAtFirstNode(model)));
// the figure's width, where it is shown, at most the widest the page's style draws it, and its text's
// size, which the style sets in rem: measured once before the first render, and again as they change
const measured = () => {
  const rem = parseFloat(getComputedStyle(document.documentElement).fontSize) || 16,
    widest = Math.round(rem * Number(getComputedStyle(document.documentElement).getPropertyValue("--figure-widest")));
  return {
    width: Math.min(widest, Math.round($("figure-box").clientWidth) || widest),
    font: parseFloat(getComputedStyle(svg).fontSize) || 13,
    zoomFont: parseFloat(getComputedStyle(views.zoom).fontSize) || 13,
    triangleFont: parseFloat(getComputedStyle(views.triangle).fontSize) || 14,
  };
};
change({ nodes: model.nodes, ...measured() }, "same");
if (!fromLocation()) render();
/** The figure drawn again where its width or fonts have changed since they were last measured. */
function remeasure() {
  const now = measured();
  if (Object.entries(now).some(([k, v]) => state[/** @type {keyof typeof now} */ (k)] !== v)) {
    change(now, "same");
    render();
  }
}
const context = { model, update, refuse, tryNodes, result: () => resultOf(state), iterates, views };
wireControls(context);
wireHandles(context);
window.addEventListener("hashchange", fromLocation);
window.addEventListener("popstate", fromLocation);
// The figure is drawn at the width it is shown, so that its text keeps its
// size on a phone; measured here, never while drawing.
new ResizeObserver(remeasure).observe($("figure-box"));
performance.mark("inverse_neville:ready");

/** @typedef {typeof context} Context */
