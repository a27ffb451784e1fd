// The learner's page: inverse_neville's own WebAssembly, read from the page,
// behind every number shown.  One render draws the state, update() is the
// one way a change reaches it, and the workers' analyses (background.js)
// come back into the state to be drawn by the same render.

import { loadProgram } from "./core/program.js";
import { show } from "./core/numbers.js";
import { hashOf, parseFragment, parseNodes } from "./core/fragment.js";
import { compute, expAtFirstNode, modelOf, replay } from "./core/sweep.js";
import { estimate, verdict } from "./core/verdicts.js";
import { doublesStop, iterateDone, iterationRows, theoryOf } from "./core/iterations.js";
import { zoomOf } from "./core/curves.js";
import { PROGRAM_TEXT, functionOf, intervalOf } from "./core/functions.js";
import { decimalOf } from "./core/accuracy.js";
import { expLesson } from "./core/sentences/nodes.js";
import { digitsName, refusedText } from "./core/sentences/input.js";
import { WAITING } from "./core/sentences/predict.js";
import { knownSteps } from "./core/predict.js";
import { LIMITS } from "./core/limits.js";
import { zoomText } from "./core/sentences/step.js";
import { pText } from "./core/sentences/quality.js";
import { ITERATION_HEADS, iterateNote, iterationsCaption, replayText } from "./core/sentences/iterations.js";
import { $, h, svgOf, text } from "./dom.js";
import { change, state } from "./state.js";
import { drawTableau, revealEntry, revealStep } from "./tableau.js";
import { drawFigure } from "./figure.js";
import { drawZoom, zoomHeights } from "./zoom.js";
import { drawTriangle } from "./triangle.js";
import { drawBound, drawQuality } from "./quality.js";
import { drawIterations, drawOrders } from "./iterations.js";
import { drawNodeList } from "./nodes.js";
import { ordersTable } from "./orders.js";
import { wireControls } from "./controls.js";
import { wireHandles } from "./handles.js";
import { drawSettings } from "./settings.js";
import { drawPredict } from "./predict.js";
import { SETTLE, background } from "./background.js";
import { lastOf } from "./memo.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./state.js").State} State */
/** @typedef {import("./core/sweep.js").ExpName} ExpName */
/** @typedef {import("./core/functions.js").Fn} Fn */
/** What the controls and the handles are handed.
 * @typedef {object} Context
 * @property {import("./core/sweep.js").Model} model
 * @property {(changes: Partial<State>, how: "push" | "replace" | "none") => void} update
 * @property {(error: string, field?: string | null, errorAt?: State["errorAt"]) => void} refuse
 * @property {(xs: number[], how: "push" | "replace", changes: Partial<State>) => boolean} tryNodes
 * @property {() => Result} result
 * @property {() => import("./core/sweep.js").Choice & {iterates: number[]}} choice
 * @property {(r: Result) => number[]} iterates
 * @property {() => import("./iterations.js").IterationTable} iterationTable */

/** The stripped .wasm, from its base64 in the page. */
const wasmBytes = () => Uint8Array.from(atob($("program-wasm").textContent?.trim() ?? ""), (c) => c.charCodeAt(0));

/** @param {string} script the page's own script, of which the workers are made */
export function startPage(script) {
  const data = JSON.parse($("program-data").textContent ?? "");
  const program = loadProgram(wasmBytes(), data.exports);
  const model = modelOf(program, data.nodes);
  const programFn = functionOf(model.presets, program.exp, PROGRAM_TEXT, model.nodes);
  if ("error" in programFn) throw new Error("the program's f is one the parser reads");
  const address = location.href.replace(/#.*$/, "");
  const workers = background(script, arrived);

  // a learner's root is sought among the nodes, so f is found again as they change; the program's where unread
  const fnOf = lastOf((/** @type {string} */ text, /** @type {number[]} */ start, /** @type {number[]} */ now) => {
    const fn = functionOf(model.presets, program.exp, text, start, now);
    return "error" in fn ? programFn : fn;
  });
  /** @type {(nodes: number[], exp: ExpName, shown: number, fn: Fn) => Result} */
  const computed = lastOf((nodes, exp, shown, fn) => compute(model, { nodes, exp, shown, fn }));
  const resultOf = (/** @type {State} */ s) => computed(s.nodes, s.exp, s.shown, fnOf(s.f, s.start, s.nodes));
  const choiceOf = (/** @type {Result} */ r) => ({ ...state, fn: r.fn });
  /** p alone until Iterate is clicked. */
  const iterates = (/** @type {Result} */ r) => (state.iterates.length ? state.iterates : [r.p]);
  const rootDigits = lastOf((/** @type {Result["fn"]} */ fn) => (fn.root ? decimalOf(fn.root, 20) : ""));

  // While an entry waits for its prediction, what would give it away is not put in the page at all: the
  // entry, its polynomial, p, the program's output and all that is said of p.
  function render() {
    const start = performance.now(),
      r = resultOf(state),
      known = knownSteps(state, r.steps.length),
      hidden = r.shown > known,
      pKnown = known === r.steps.length;
    drawTableau(r, { ...state, known });
    drawTriangle(r, state.triangleFont);
    drawPredict(r, hidden);
    drawFigure(model, r, { ...state, hidden, rootShown: pKnown && Boolean(r.fn.root) });
    const z = zoomOf(r, hidden, !pKnown);
    text($("zoom-desc"), zoomText(z, drawZoom(z, state.width, state.zoomFont)));
    drawNodeList(r);
    drawQuality(r, pKnown ? { verdict: verdict(r), estimate: estimate(r), root: rootDigits(r.fn) } : null);
    text($("program-output"), pKnown ? output : WAITING);
    drawIterations(iterationTable(r));
    text($("experiment-result"), pText(r, pKnown));
    drawSettings(model, r);
    if (state.announce) text($("announce"), state.announce(r, pKnown));
    text($("print-link"), address + (state.hash ?? ""));
    performance.measure("inverse_neville:render", { start });
    drawBound($("bound"), r, pKnown ? (state.analysis.key === boundKey(r) ? state.analysis.bound : null) : WAITING);
    drawOrders(ordersTable(r.fn, state.orders.key === ordersKey(r) ? state.orders : null, pKnown, state.start));
    askAnalyses(r);
    // the step's cells scrolled into view once they are laid out
    requestAnimationFrame(() => {
      revealStep(resultOf(state));
      revealEntry();
    });
  }

  const boundKey = (/** @type {Result} */ r) => `${r.fn.text} ${r.pts.map((q) => `${show(q.x)}:${show(q.y)}`).join()}`;
  const ordersKey = (/** @type {Result} */ r) => `${r.fn.text} ${state.exp} ${state.start.map(show).join()}`;
  /** The analyses the state has none of, asked of the workers: held while a node is dragged, started once the
   * input has settled (at once as the page opens). @param {Result} r */
  function askAnalyses(r) {
    const delay = state.drag ? null : performance.getEntriesByName("inverse_neville:drawn").length ? SETTLE : 0;
    const bound = boundKey(r);
    if (state.analysis.key !== bound) {
      const points = r.pts.map(({ x, y }) => ({ x, y }));
      workers.ask(bound, { kind: "bound", text: r.fn.text, points, root: r.fn.root }, delay);
    }
    const orders = ordersKey(r);
    if (state.orders.key !== orders && r.fn.root)
      workers.ask(
        orders,
        { kind: "orders", text: r.fn.text, nodes: state.start, root: r.fn.root.hi, interval: r.fn.interval },
        delay,
      );
  }
  /** A workers' outcome, drawn where it is still the state's.
   * @param {import("./core/analyses.js").Outcome} outcome @param {string} key */
  function arrived(outcome, key) {
    const r = resultOf(state);
    if (outcome.kind === "bound" && key === boundKey(r)) {
      change({ analysis: { key, bound: outcome.bound } }, "same");
      render();
      performance.mark("inverse_neville:analysis");
    } else if (outcome.kind === "orders" && key === ordersKey(r)) {
      const nodes = state.start,
        doubles = doublesStop(model, { nodes, exp: state.exp, fn: r.fn });
      change({ orders: { key, nodes, rows: outcome.rows, stop: outcome.stop, doubles } }, "same");
      render();
      performance.mark("inverse_neville:orders");
    }
  }

  /** Iterate's table, without the last iterate while it is to be predicted. @param {Result} r */
  function iterationTable(r) {
    const ps = iterates(r),
      pKnown = knownSteps(state, r.steps.length) === r.steps.length,
      done = pKnown ? iterateDone(model, choiceOf(r), r, ps) : null,
      theory = theoryOf(r),
      orders = state.orders.key === ordersKey(r) ? state.orders.rows.map((row) => row.order) : [],
      shown = pKnown ? ps : ps.slice(0, -1);
    return {
      caption: iterationsCaption(r.pts.length, theory.order, theory.holds),
      heads: ITERATION_HEADS,
      rows: iterationRows(shown, r.fn.f[state.exp], r.fn.root, orders, theory.holds ? theory.order : null),
      note: pKnown ? iterateNote(ps.length - 1, done) : WAITING,
      done: !pKnown || done !== null,
    };
  }

  /** A new state, written to the fragment ("push": a history entry of its own; "replace": the current one, as
   * while dragging; "none"), and drawn. @param {Partial<State>} changes @param {"push" | "replace" | "none"} how */
  function update(changes, how) {
    const before = { nodes: state.nodes, exp: state.exp, predict: state.predict, shown: state.shown };
    change(changes);
    // what was said of a guess goes with its step
    if (state.shown !== before.shown && !("lastGuess" in changes)) change({ lastGuess: null }, "same");
    // predicting starts the tableau afresh, with nothing revealed, as do new nodes or exponential while predicting
    const afresh = !before.predict || state.nodes !== before.nodes || state.exp !== before.exp;
    if (state.predict && !("revealed" in changes) && afresh) change({ revealed: 0, shown: 0 }, "same");
    if (how !== "none") {
      const iterates = Math.max(0, state.iterates.length - 1),
        hash = hashOf({ ...state, nodes: state.start, iterates, step: state.shown });
      if (hash !== location.hash) history[how === "push" ? "pushState" : "replaceState"](null, "", hash);
    }
    change({ hash: location.hash }, "same");
    render();
    // the lecture's text is larger: the figure is drawn again at its size
    if ("lecture" in changes) remeasure();
  }
  /** An input that cannot be used: said, and nothing else changes. */
  function refuse(/** @type {string} */ error, field = state.field, /** @type {State["errorAt"]} */ errorAt = "field") {
    update({ error, field, errorAt }, "none");
  }
  /** Nodes from a drag, a key, Add or Delete, checked as typed ones are.
   * @param {number[]} xs @param {"push" | "replace"} how @param {Partial<State>} changes */
  function tryNodes(xs, how, changes) {
    const parsed = parseNodes(xs.map(show).join(","), intervalOf(model.presets, state.f));
    if (parsed.error !== undefined) {
      refuse(refusedText(parsed.error), state.field, "figure");
      return false;
    }
    if (xs.every((x, k) => Object.is(x, state.nodes[k])) && xs.length === state.nodes.length) return false;
    update({ nodes: xs, iterates: [], ...changes }, how);
    return true;
  }
  /** The state a link holds, drawn where the fragment changed and is not an anchor; whether it drew.  Opened at
   * an anchor, the page starts as without a fragment; later, an anchor (the glossary's) changes nothing. */
  function fromLocation(opening = false) {
    if (location.hash === state.hash) return false;
    change({ hash: location.hash }, "same");
    const s = parseFragment(location.hash, model.presets) ?? (opening ? parseFragment("", model.presets) : null);
    if (s === null) return false;
    if (s.error !== undefined) {
      refuse(refusedText(s.error), "text" in s ? (s.text ?? null) : null, "link");
      return true;
    }
    // the iterates made again from the starting nodes, as many as the link asks
    const fn = fnOf(s.f, s.nodes, s.nodes),
      made = replay(model, { nodes: s.nodes, exp: s.exp, shown: s.step, fn }, s.iterates);
    const refused = s.refused.map(refusedText);
    if (made.refused !== undefined) refused.push(replayText(made.refused));
    // what the link holds, and what any link starts afresh
    const held = { nodes: made.nodes, start: s.nodes, iterates: made.iterates, exp: s.exp, f: s.f, digits: s.digits },
      view = { shown: s.step, lecture: s.lecture, predict: s.predict, deeper: s.deeper },
      afresh = { typingF: false, fText: null, revealed: 0, guesses: [], lastGuess: null, field: null };
    update({ ...held, ...view, ...afresh, linkRefused: refused.join(" ") }, "none");
    return true;
  }

  $("digits").append(...LIMITS.digits.map((d) => h("option", { value: String(d) }, digitsName(d))));
  const run = program.run(),
    output = run.stdout + run.stderr;
  text($("exit-status"), String(run.status));
  text($("exp-lesson"), expLesson(expAtFirstNode(model, programFn)));
  // The figure's width and the text sizes the style sets in rem, measured before the first render and again
  // as they change, never while drawing.
  const measured = () => {
    const root = getComputedStyle(document.documentElement),
      rem = parseFloat(root.fontSize) || 16,
      widest = Math.round(rem * Number(root.getPropertyValue("--figure-widest")));
    // held in view beside the steps, the figure leaves the window's height to the line at y = 0 (a title on
    // one line and three rows of labels, as most steps have) and its tools: the same room at every step
    const view = /** @type {HTMLElement} */ (document.querySelector(".figure-view")),
      [figure, zoom] = [svgOf("figure"), svgOf("zoom")],
      height = (/** @type {Element} */ e) => e.getBoundingClientRect().height,
      zoomFont = parseFloat(getComputedStyle(zoom).fontSize) || 13,
      rest = zoomHeights(zoomFont, 1, 3).H + view.offsetHeight - height(figure) - height(zoom);
    return {
      // whole pixels, so that the figure is drawn at its size, never scaled down a little
      width: Math.min(widest, Math.floor($("figure-section").getBoundingClientRect().width) || widest),
      room: getComputedStyle(view).position === "sticky" ? Math.round(innerHeight - rest) : Infinity,
      font: parseFloat(getComputedStyle(figure).fontSize) || 13,
      zoomFont,
      triangleFont: parseFloat(getComputedStyle(svgOf("triangle")).fontSize) || 14,
    };
  };
  change({ nodes: model.nodes, ...measured() }, "same");
  if (!fromLocation(true)) render();
  function remeasure() {
    const now = measured();
    if (/** @type {(keyof typeof now)[]} */ (Object.keys(now)).some((k) => state[k] !== now[k])) {
      change(now, "same");
      render();
    }
  }
  const context = {
    model,
    update,
    refuse,
    tryNodes,
    result: () => resultOf(state),
    choice: () => choiceOf(resultOf(state)),
    iterates,
    iterationTable: () => iterationTable(resultOf(state)),
  };
  wireControls(context);
  wireHandles(context);
  window.addEventListener("hashchange", () => fromLocation());
  window.addEventListener("popstate", () => fromLocation());
  // drawn at the width it is shown, so that its text keeps its size on a phone
  new ResizeObserver(remeasure).observe($("figure-section"));
  window.addEventListener("resize", remeasure);
  // ready, where the first screen did not already say so
  if (!performance.getEntriesByName("inverse_neville:ready").length) performance.mark("inverse_neville:ready");
  performance.mark("inverse_neville:drawn");
}
