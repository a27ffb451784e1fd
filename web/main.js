// The learner's page: inverse_neville's own WebAssembly, run here, and its
// own Qij and exp behind every number the page shows.  This module reads
// the program from the page, holds the one render that draws the state,
// and wires the controls to changes of the state.

import { loadProgram } from "./core/program.js";
import { show } from "./core/numbers.js";
import { LIMITS, hashOf, parseFragment, parseNodes } from "./core/fragment.js";
import { EXP_NAMES, compute, iterateOnce, modelOf, replay } from "./core/sweep.js";
import { expEffect, expLesson, said, stepText, summaryText, zoomText } from "./core/sentences.js";
import { topRanges } from "./core/plot.js";
import { $, input } from "./dom.js";
import { change, state } from "./state.js";
import { drawTableau, revealStep } from "./tableau.js";
import { drawFigure, drawZoom, xAt } from "./figure.js";
import { drawEstimate, drawIterations, drawOrders, drawQuality, startOrders } from "./quality.js";
import { drawNodeList } from "./nodes.js";
import { iterationsTable, tableauTable, toCsv, toLatex } from "./core/export.js";
import { download } from "./download.js";
import { PRECISE, doublesStop } from "./core/orders.js";
import { steps } from "./core/precise.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/sweep.js").ExpName} ExpName */
/** @typedef {import("./state.js").State} State */
/** @typedef {import("./core/precise.js").Row} Row */

// the stripped .wasm, in base64
function wasmBytes() {
  const text = $("program-wasm").textContent?.trim() ?? "";
  const decode = /** @type {{fromBase64?: (s: string) => Uint8Array<ArrayBuffer>}} */ (
    /** @type {unknown} */ (Uint8Array)
  ).fromBase64;
  if (decode) return decode.call(Uint8Array, text);
  const bin = atob(text),
    bytes = new Uint8Array(bin.length);
  for (let k = 0; k < bin.length; k++) bytes[k] = bin.charCodeAt(k);
  return bytes;
}
const program = loadProgram(wasmBytes());
const model = modelOf(program, JSON.parse($("program-data").textContent ?? "").nodes);
state.nodes = model.nodes;

const svg = /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($("figure")));
const zoom = /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($("zoom")));
const views = {
  tableau: {
    table: /** @type {HTMLTableElement} */ ($("tableau")),
    count: $("step-count"),
    rule: $("step-rule"),
    buttons: { first: $("step-first"), back: $("step-back"), forward: $("step-forward"), last: $("step-last") },
  },
  figure: { svg, legend: $("legend"), caption: $("figure-desc") },
  nodes: { list: $("node-list"), why: $("node-list-why") },
  quality: {
    p: $("p"),
    residual: $("residual"),
    root: $("root"),
    error: $("error"),
    relative: $("relative"),
    slope: $("slope"),
    note: $("quality-note"),
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

/** @type {Result} */
let result; // what the state gives: its points, tableau and steps
let drawn = false; // whether render() has drawn the page once
/** @type {string | null} */
let lastHash = null; // the fragment last read or written

// The one place the page is drawn, all of it from the state.
function render() {
  const start = performance.now();
  result = compute(model, state);
  drawTableau(views.tableau, result, state.digits);
  $("tableau").classList.toggle("hide-bits", !input("show-bits").checked);
  drawFigure(views.figure, model, result, state);
  drawNodeList(views.nodes, result);
  $("zoom-desc").textContent = zoomText(drawZoom(zoom, result, state.width));
  drawQuality(views.quality, result, program.exp);
  drawEstimate($("estimate"), result);
  drawIterations(views.iterations, iterates(), result, model.exps[state.exp], state.note);
  $("nodes-summary").textContent = summaryText(model, result, state.exp, state.errorAt === "link" ? state.error : "");
  $("link-error").textContent = state.linkRefused;
  $("exp-effect").textContent = expEffect(model, result, state.exp);
  const field = input("nodes"),
    text = state.field ?? state.nodes.map(show).join(", ");
  if (field.value !== text) field.value = text;
  const inField = state.error && state.errorAt !== "figure"; // a link's text goes to the field
  const kept =
    state.nodes === model.nodes
      ? "The page shows the program's own nodes."
      : "The page still shows the last good nodes.";
  $("nodes-error").textContent = inField ? `${state.error} ${kept}` : "";
  $("figure-error").textContent = state.error && !inField ? `${state.error} The nodes stay as they were.` : "";
  if (inField) field.setAttribute("aria-invalid", "true");
  else field.removeAttribute("aria-invalid");
  for (const radio of radios) radio.checked = radio.value === state.exp;
  if (state.announce) $("announce").textContent = state.announce(result);
  $("print-link").textContent = location.href;
  drawn = true;
  performance.measure("inverse_neville:render", { start });
  orders();
}

// The orders table, in many digits, after the render that showed its
// nodes: a step a task, so neither the first render nor a change of
// nodes waits for it, and a computation whose nodes are gone is dropped.
let ordersFor = ""; // the nodes and exponential the table is (being) computed for
let ordersTask = 0;
function orders() {
  const key = hashOf({ nodes: state.nodes, iterates: 0, step: Infinity, exp: state.exp });
  if (key === ordersFor) return;
  ordersFor = key;
  clearTimeout(ordersTask);
  const { nodes, exp } = state,
    run = steps(nodes, PRECISE);
  startOrders(views.orders, nodes);
  /** @type {Row[]} */
  const rows = [];
  const next = () => {
    if (ordersFor !== key) return;
    const got = run.next();
    if (!got.done) {
      rows.push(got.value);
      ordersTask = setTimeout(next, 0);
      return;
    }
    drawOrders(views.orders, nodes.length, rows, got.value, doublesStop(model, { nodes, exp }));
    performance.mark("inverse_neville:orders");
  };
  ordersTask = setTimeout(next, 0);
}

/** The iterates the table shows: p alone until Iterate is clicked. */
const iterates = () => (state.iterates.length ? state.iterates : [result.p]);

/**
 * A new state, written to the fragment ("push": a history entry of its
 * own; "replace": the current one, as while dragging; "none").
 * @param {Partial<State>} changes
 * @param {"push" | "replace" | "none"} how
 */
function update(changes, how) {
  change(changes);
  if (how !== "none") {
    const hash = hashOf({
      nodes: state.start,
      iterates: Math.max(0, state.iterates.length - 1),
      step: state.shown,
      exp: state.exp,
    });
    if (hash !== location.hash) history[how === "push" ? "pushState" : "replaceState"](null, "", hash);
  }
  lastHash = location.hash;
  render();
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
function fromLocation() {
  if (location.hash === lastHash) return;
  lastHash = location.hash;
  const s = parseFragment(location.hash, model.nodes);
  if (s === null) return; // an anchor
  if (s.error !== undefined) return refuse(s.error, "text" in s ? (s.text ?? null) : null, "link");
  // the iterates made again from the starting nodes, as many as the link asks
  const made = replay(model, { nodes: s.nodes, exp: s.exp, shown: s.step }, s.iterates);
  const refused = made.refused === undefined ? s.refused : [...s.refused, made.refused];
  update(
    {
      nodes: made.nodes,
      start: s.nodes,
      iterates: made.iterates,
      exp: s.exp,
      shown: s.step,
      field: null,
      linkRefused: refused.join(" "),
    },
    "none",
  );
}
function step(/** @type {number} */ to) {
  update({ shown: Math.max(0, Math.min(result.steps.length, to)), announce: stepText }, "replace");
  revealStep($("tableau-scroll"), result);
}

// --- the controls
const radios = /** @type {NodeListOf<HTMLInputElement>} */ (document.querySelectorAll('input[name="exp"]'));
const run = program.run();
$("program-output").textContent = run.stdout + run.stderr;
$("exit-status").textContent = String(run.status);
$("exp-lesson").textContent = expLesson(model);
// The figure's width: the widest where the window is wide enough for it
// and the figure below the tableau, else (a phone, a lecture's screen with
// the figure beside the tableau) measured, once, before the first render.
state.width = matchMedia("(min-width: 800px) and (max-width: 74.99rem)").matches
  ? 720
  : Math.min(720, $("figure-box").clientWidth || 720);
// and its text's size, which the page's style sets in rem
const figureFont = () => parseFloat(getComputedStyle(svg).fontSize) || 13;
state.font = figureFont();
fromLocation();
if (!drawn) render();

$("skip").addEventListener("click", (e) => {
  e.preventDefault();
  $("tableau-section").focus();
  $("tableau-section").scrollIntoView();
});
$("step-first").addEventListener("click", () => step(0));
$("step-back").addEventListener("click", () => step(result.shown - 1));
$("step-forward").addEventListener("click", () => step(result.shown + 1));
$("step-last").addEventListener("click", () => step(Infinity));
$("tableau-section").addEventListener("keydown", (e) => {
  const target = /** @type {Element} */ (e.target);
  if (target.closest("input, textarea, select, #tableau-scroll") || e.altKey || e.ctrlKey || e.metaKey) return;
  const to = /** @type {Record<string, number>} */ ({
    ArrowLeft: result.shown - 1,
    ArrowRight: result.shown + 1,
    Home: 0,
    End: Infinity,
  })[e.key];
  if (to === undefined) return;
  e.preventDefault();
  step(to);
});
$("digits").addEventListener("change", () =>
  update({ digits: Number(/** @type {HTMLSelectElement} */ ($("digits")).value) }, "none"),
);
input("show-bits").addEventListener("change", () =>
  $("tableau").classList.toggle("hide-bits", !input("show-bits").checked),
);
input("nodes").addEventListener("input", () => {
  state.field = input("nodes").value;
});
$("experiment").addEventListener("submit", (e) => {
  e.preventDefault();
  const parsed = parseNodes(input("nodes").value);
  if (parsed.error !== undefined) return refuse(parsed.error, input("nodes").value);
  update(
    {
      nodes: parsed.xs,
      shown: Infinity,
      iterates: [],
      field: null,
      announce: (r) => `Interpolated ${r.pts.length} nodes: ${said(r)}`,
    },
    "push",
  );
});
for (const radio of radios) {
  radio.addEventListener("change", () => {
    const exp = /** @type {ExpName} */ (radio.value);
    update(
      {
        exp,
        iterates: [],
        announce: (r) => `Now ${EXP_NAMES[exp]}. ${expEffect(model, r, exp)} p = ${show(r.p)}.`,
      },
      "push",
    );
  });
}
$("reset").addEventListener("click", () => {
  update(
    {
      nodes: model.nodes,
      shown: Infinity,
      iterates: [],
      field: null,
      announce: (r) => `The program's own nodes: ${said(r)}`,
    },
    "push",
  );
});
$("iterate").addEventListener("click", () => {
  const k = Math.max(1, state.iterates.length),
    next = iterateOnce(model, state, result);
  // a step refused is said, as a step taken is
  if (next.refused !== undefined) {
    const note = next.refused;
    return update({ note, announce: () => `Iterate refused: ${note}` }, "none");
  }
  update({ ...next, shown: Infinity, announce: (r) => `Iterate ${k}: ${said(r)}` }, "push");
});
$("add-node").addEventListener("click", () => {
  const xs = state.nodes;
  if (xs.length >= LIMITS.nodes[1]) return refuse(`${LIMITS.nodes[1]} nodes are the most here.`, state.field, "figure");
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
  tryNodes([...xs, Math.round(at * 1000) / 1000], "push", {
    shown: Infinity,
    announce: (r) => `A node added at x = ${show(r.pts[r.pts.length - 1].x)}: ${said(r)}`,
  });
});

// the tableau and the iterations taken away, as the page shows them
for (const button of document.querySelectorAll("[data-take]")) {
  button.addEventListener("click", () => {
    const [what, format] = /** @type {string} */ (/** @type {HTMLElement} */ (button).dataset.take).split(" ");
    const table =
      what === "tableau" ? tableauTable(result) : iterationsTable(iterates(), result.pts.length, model.exps[state.exp]);
    const about = `inverse_neville's ${what === "tableau" ? "tableau at y = 0" : "iterations"}: ${location.href}`;
    if (format === "csv") download(`inverse_neville-${what}.csv`, "text/csv", toCsv(table));
    else download(`inverse_neville-${what}.tex`, "application/x-tex", toLatex(table, about));
  });
}

// --- the nodes in the figure: pointer and keys
const handles = /** @type {SVGElement} */ (svg.querySelector(".handles"));
/** @type {{k: number, id: number, x: number, frame: number, moved: boolean} | null} */
let drag = null;
let keyed = false;
/**
 * @param {number} k
 * @param {number} x
 * @param {"push" | "replace"} how
 * @param {State["announce"]} announce
 */
function moveNode(k, x, how, announce = null) {
  return tryNodes(
    state.nodes.map((v, m) => (m === k ? x : v)),
    how,
    { shown: state.shown, announce },
  );
}
/** Node k removed, or refused where there are as few nodes as there can be. */
function removeNode(/** @type {number} */ k) {
  if (state.nodes.length <= LIMITS.nodes[0]) {
    refuse(`${LIMITS.nodes[0]} nodes are the fewest there can be.`, state.field, "figure");
    return false;
  }
  return tryNodes(
    state.nodes.filter((_, m) => m !== k),
    "push",
    { shown: Infinity, announce: (r) => `Node ${k} removed: ${said(r)}` },
  );
}
const nodeSaid = (/** @type {number} */ k) => (/** @type {Result} */ r) =>
  `Node ${k} at x = ${show(r.pts[k].x)}: ${said(r)}`;
const handleOf = (/** @type {Event} */ e) =>
  /** @type {SVGElement | null} */ (/** @type {Element} */ (e.target).closest(".handle"));
handles.addEventListener("pointerdown", (e) => {
  const hdl = handleOf(e);
  if (!hdl || e.button !== 0) return;
  e.preventDefault();
  hdl.setPointerCapture(e.pointerId);
  hdl.focus();
  state.frozen = topRanges(model, result);
  drag = { k: Number(hdl.dataset.k), id: e.pointerId, x: NaN, frame: 0, moved: false };
});
function dragFrame() {
  if (!drag) return;
  drag.frame = 0;
  if (moveNode(drag.k, drag.x, drag.moved ? "replace" : "push")) drag.moved = true;
}
handles.addEventListener("pointermove", (e) => {
  if (!drag || e.pointerId !== drag.id || !state.frozen) return;
  drag.x = xAt(svg, state.width, state.frozen, e.clientX);
  if (!drag.frame) drag.frame = requestAnimationFrame(dragFrame);
});
function endDrag(/** @type {PointerEvent} */ e) {
  if (!drag || e.pointerId !== drag.id) return;
  if (drag.frame) {
    cancelAnimationFrame(drag.frame);
    dragFrame();
  }
  const { k } = drag;
  drag = null;
  update({ frozen: null, announce: nodeSaid(k) }, "none");
}
handles.addEventListener("pointerup", endDrag);
handles.addEventListener("pointercancel", endDrag);
handles.addEventListener("keydown", (e) => {
  const hdl = handleOf(e);
  if (!hdl) return;
  const k = Number(hdl.dataset.k),
    x = state.nodes[k],
    fine = e.shiftKey ? 0.001 : 0.01;
  const to = /** @type {Record<string, number>} */ ({
    ArrowLeft: x - fine,
    ArrowDown: x - fine,
    ArrowRight: x + fine,
    ArrowUp: x + fine,
    PageUp: x + 0.1,
    PageDown: x - 0.1,
    Home: 0,
    End: 1,
  })[e.key];
  if (e.key === "Delete" || e.key === "Backspace") {
    e.preventDefault();
    if (removeNode(k)) /** @type {SVGElement} */ (handles.children[Math.min(k, state.nodes.length - 1)]).focus();
    return;
  }
  if (to === undefined) return;
  e.preventDefault();
  // the slider says its own value; the live region, what it did to p
  if (moveNode(k, Number(to.toPrecision(12)), keyed ? "replace" : "push", nodeSaid(k))) keyed = true;
});

// the list's Remove buttons, for a finger or a mouse
$("node-list").addEventListener("click", (e) => {
  const button = /** @type {HTMLElement | null} */ (/** @type {Element} */ (e.target).closest("button"));
  if (!button) return;
  const k = Number(button.dataset.k);
  if (removeNode(k))
    /** @type {HTMLElement} */ ($("node-list").querySelectorAll("button")[Math.min(k, state.nodes.length - 1)]).focus();
});

// keys on one handle, while it keeps the focus, make one history entry
document.addEventListener("focusin", () => {
  keyed = false;
});
window.addEventListener("hashchange", fromLocation);
window.addEventListener("popstate", fromLocation);
// The figure is drawn at the width it is shown, so that its text keeps its
// size on a phone; measured here, never while drawing.
let laidOut = false;
new ResizeObserver(([entry]) => {
  const width = Math.min(720, Math.round(entry.contentRect.width)), // the widest it is drawn
    font = figureFont();
  if (width && (width !== state.width || font !== state.font)) {
    state.width = width;
    state.font = font;
    render();
  }
  // once laid out: the last entry shown, on a phone as on a desktop
  if (!laidOut) revealStep($("tableau-scroll"), result);
  laidOut = true;
}).observe($("figure-box"));
performance.mark("inverse_neville:ready");
