// The page's controls wired to changes of the state: the stepper and its
// keys, the settings, the prediction, the function, the nodes, Iterate, Add
// and the tables taken away.  Each asks page.js's update() for its change.

import { LIMITS } from "./core/limits.js";
import { intervalOf, typedFunction } from "./core/functions.js";
import { parse } from "./core/expression.js";
import { digitsBy, parseNodes } from "./core/fragment.js";
import { iterateOnce, otherExp, shownStep } from "./core/sweep.js";
import { guessDecimals, guessOf, knownSteps, slipOf, writtenDecimals } from "./core/predict.js";
import { ANSWERS, NOTHING_YET, guessRefused, guessText } from "./core/sentences/predict.js";
import { entryName } from "./core/sentences/parts.js";
import { iterateDone } from "./core/iterations.js";
import { iterationsTable, tableauTable, toCsv, toLatex } from "./core/export.js";
import { ANNOUNCE, expEffect } from "./core/sentences/nodes.js";
import { FIGURE_REFUSED, FUNCTION_REFUSED, refusedText } from "./core/sentences/input.js";
import { ITERATION_HEADS } from "./core/sentences/iterations.js";
import { bitsHead, takeAway } from "./core/sentences/export.js";
import { stepText, tableauHeads } from "./core/sentences/step.js";
import { $, input } from "./dom.js";
import { change, state } from "./state.js";
import { download } from "./download.js";
import { drawRead, readOf } from "./settings.js";

/** @typedef {import("./page.js").Context} Context */

/** @param {Context} c */
export function wireControls(c) {
  for (const wire of [wireStepper, wireSettings, wireGuess, wireFunction, wireNodes, wireIterate, wireTakeAway])
    wire(c);
}

/** The stepper, its buttons and its keys, and the skip link to it. @param {Context} c */
function wireStepper(c) {
  // predicting, a step goes no further than the first entry not yet revealed
  const step = (/** @type {number} */ to) => {
    const most = Math.min(c.result().steps.length, state.predict ? state.revealed + 1 : Infinity);
    const shown = Math.max(0, Math.min(most, to));
    c.update({ shown, announce: (r) => stepText(r, r.shown > knownSteps(state, r.steps.length)) }, "replace");
    inView();
  };
  // The step's entry brought into view: on a phone, where the stepper is a bar at the foot of the screen, the
  // entry to the middle; elsewhere the stepper to the top, with the entry, its two and the figure below it.
  const inView = () => {
    const bar = getComputedStyle($("stepper")).position === "fixed";
    const cell = document.querySelector("#tableau td.new") ?? $("tableau-scroll"),
      box = cell.getBoundingClientRect();
    if (box.top >= 0 && box.bottom <= innerHeight - (bar ? $("stepper").offsetHeight : 0)) return;
    if (bar) cell.scrollIntoView({ block: "center" });
    else $("stepper").scrollIntoView({ block: "start" });
  };
  $("skip").addEventListener("click", (e) => {
    e.preventDefault();
    $("tableau-section").focus();
    $("tableau-section").scrollIntoView();
  });
  /** @type {[string, () => number][]} */
  const buttons = [
    ["step-first", () => 0],
    ["step-back", () => c.result().shown - 1],
    ["step-forward", () => c.result().shown + 1],
    ["step-last", () => Infinity],
  ];
  for (const [id, to] of buttons)
    $(id).addEventListener("click", () => {
      if ($(id).getAttribute("aria-disabled") !== "true") step(to());
    });
  // ← and →, and a presenter's Page Up and Page Down; Home and End only in the tableau's section (elsewhere
  // they scroll the page)
  const keyStep = (/** @type {KeyboardEvent} */ e, /** @type {boolean} */ ends) => {
    const target = /** @type {Element} */ (e.target);
    const typing = target.closest("input:not([type=checkbox]), textarea, select, #tableau-scroll");
    if (typing || e.altKey || e.ctrlKey || e.metaKey) return;
    const shown = c.result().shown;
    /** @type {Record<string, number>} */
    const keys = { ArrowLeft: shown - 1, ArrowRight: shown + 1, PageUp: shown - 1, PageDown: shown + 1 };
    const to = ends && e.key === "Home" ? 0 : ends && e.key === "End" ? Infinity : keys[e.key];
    if (to === undefined) return;
    e.preventDefault();
    step(to);
  };
  $("tableau-section").addEventListener("keydown", (e) => keyStep(e, true));
  // with nothing focused, as on a first visit or with a presenter's clicker, these keys step too
  document.addEventListener("keydown", (e) => {
    if (e.target === document.body) keyStep(e, false);
  });
}

/** The digits, the bits, the lecture's text, predicting, and "Going deeper". @param {Context} c */
function wireSettings(c) {
  $("digits").addEventListener("change", () =>
    c.update({ digits: Number(/** @type {HTMLSelectElement} */ ($("digits")).value) }, "replace"),
  );
  input("show-bits").addEventListener("change", () => c.update({ showBits: input("show-bits").checked }, "none"));
  // a projector's back row reads six digits, not seventeen: lecturing, all digits become 6
  input("lecture").addEventListener("change", () => {
    const lecture = input("lecture").checked;
    c.update({ lecture, digits: lecture && state.digits === 0 ? digitsBy(true) : state.digits }, "replace");
  });
  input("predict").addEventListener("change", () => c.update({ predict: input("predict").checked }, "replace"));
  $("going-deeper").addEventListener("toggle", () => {
    const open = /** @type {HTMLDetailsElement} */ ($("going-deeper")).open;
    if (open !== state.deeper) c.update({ deeper: open }, "replace");
  });
}

/** A prediction of the entry waiting, where it lies and its value, scored and revealed; or its reveal without
 * them.  An empty answer reveals nothing. @param {Context} c */
function wireGuess(c) {
  const answer = (/** @type {boolean} */ giveUp) => {
    const r = c.result(),
      s = shownStep(r);
    if (!s || r.shown <= knownSteps(state, r.steps.length)) return;
    const typed = input("guess").value,
      where =
        /** @type {HTMLInputElement | null} */ (document.querySelector('input[name="where"]:checked'))?.value ?? null,
      guess = giveUp || typed.trim() === "" ? null : guessOf(typed);
    if (!giveUp && guess === null && where === null) return c.update({ error: NOTHING_YET, errorAt: "guess" }, "none");
    if (Number.isNaN(guess)) return c.update({ error: guessRefused(typed), errorAt: "guess" }, "none");
    /** @type {import("./core/predict.js").Guess} */
    const g = {
      entry: entryName(s.i, s.j),
      where: giveUp ? null : where,
      side: s.inside ? "between" : "outside",
      typed: typed.trim(),
      guess,
      value: s.value,
      decimals: guess === null ? null : guessDecimals(guess, s.value),
      slip: guess === null ? null : slipOf(s, r.pts, guess, writtenDecimals(typed)),
    };
    input("guess").value = "";
    for (const radio of document.querySelectorAll('input[name="where"]'))
      /** @type {HTMLInputElement} */ (radio).checked = false;
    c.update({ revealed: r.shown, guesses: [...state.guesses, g], lastGuess: g, announce: () => guessText(g) }, "none");
    // the field goes with its entry: the focus goes on to the next step
    $("step-forward").focus();
  };
  $("guess-form").addEventListener("submit", (e) => {
    e.preventDefault();
    answer(false);
  });
  $("skip-guess").addEventListener("click", () => answer(true));
  $("take-answers").addEventListener("click", () => {
    const { name, records } = takeAway("answers", location.href, {
      text: state.f,
      nodes: state.start,
      student: input("student").value,
    });
    const rows = state.guesses.map((g) => {
      const error = g.guess === null ? null : g.guess - g.value;
      return [g.entry, g.where, g.side, g.guess, g.value, error, g.decimals, g.slip];
    });
    download(`${name}.csv`, "text/csv", toCsv({ about: records, heads: ANSWERS, rows, doubles: [] }, bitsHead));
  });
}

/** The nodes typed, the exponential, the program's own nodes again, and a node added. @param {Context} c */
function wireNodes(c) {
  input("nodes").addEventListener("input", () => change({ field: input("nodes").value }, "same"));
  $("experiment").addEventListener("submit", (e) => {
    e.preventDefault();
    const parsed = parseNodes(input("nodes").value, intervalOf(c.model.presets, state.f));
    if (parsed.error !== undefined) return c.refuse(refusedText(parsed.error), input("nodes").value);
    c.update({ nodes: parsed.xs, shown: Infinity, iterates: [], field: null, announce: ANNOUNCE.interpolated }, "push");
  });
  for (const radio of document.querySelectorAll('input[name="exp"]')) {
    radio.addEventListener("change", () => {
      const exp = /** @type {import("./core/sweep.js").ExpName} */ (/** @type {HTMLInputElement} */ (radio).value);
      /** @type {import("./state.js").State["announce"]} */
      const announce = (r, pKnown) => ANNOUNCE.exp(exp, expEffect(r, otherExp(c.model, r, exp)), r, pKnown);
      c.update({ exp, iterates: [], announce }, "push");
    });
  }
  $("reset").addEventListener("click", () => {
    c.update({ nodes: c.model.nodes, shown: Infinity, iterates: [], field: null, announce: ANNOUNCE.first }, "push");
  });
  // a node added in the middle of the widest gap, or refused where there are as many as can be
  $("add-node").addEventListener("click", () => {
    const xs = state.nodes;
    if (xs.length >= LIMITS.nodes[1]) return c.refuse(FIGURE_REFUSED.most, state.field, "figure");
    const sorted = [...xs].sort((a, b) => a - b);
    let at = Math.min(intervalOf(c.model.presets, state.f)[1], sorted[sorted.length - 1] + 0.05),
      widest = 0;
    for (let k = 1; k < sorted.length; k++) {
      if (sorted[k] - sorted[k - 1] > widest) {
        widest = sorted[k] - sorted[k - 1];
        at = (sorted[k] + sorted[k - 1]) / 2;
      }
    }
    c.tryNodes([...xs, Math.round(at * 1000) / 1000], "push", { shown: Infinity, announce: ANNOUNCE.added });
  });
}

/** Iterate: the oldest node replaced by p, while it can do more. @param {Context} c */
function wireIterate(c) {
  $("iterate").addEventListener("click", () => {
    const r = c.result();
    // done, the note beside it says why
    if (iterateDone(c.model, c.choice(), r, c.iterates(r)) !== null) return;
    const k = Math.max(1, state.iterates.length),
      next = iterateOnce(c.model, c.choice(), r);
    if (next.refused === undefined)
      c.update({ ...next, shown: Infinity, announce: (r, pKnown) => ANNOUNCE.iterated(k, r, pKnown) }, "push");
  });
}

/** The tableau and the iterations taken away as shown, nothing yet to be predicted in them. @param {Context} c */
function wireTakeAway(c) {
  for (const button of /** @type {NodeListOf<HTMLElement>} */ (document.querySelectorAll("[data-take]"))) {
    button.addEventListener("click", () => {
      const [what, format] = /** @type {["tableau" | "iterations", string]} */ ((button.dataset.take ?? "").split(" "));
      const r = c.result(),
        known = knownSteps(state, r.steps.length);
      const nodes = what === "tableau" ? r.pts.map((q) => q.x) : state.start;
      const { name, about, records } = takeAway(what, location.href, { text: r.fn.text, nodes });
      const table = (/** @type {boolean} */ paper) =>
        what === "tableau"
          ? tableauTable({ ...r, shown: Math.min(r.shown, known) }, tableauHeads(r.pts.length), records)
          : iterationsTable(c.iterationTable().rows, ITERATION_HEADS, records, paper);
      if (format === "csv") download(`${name}.csv`, "text/csv", toCsv(table(false), bitsHead));
      else download(`${name}.tex`, "application/x-tex", toLatex(table(true), about));
    });
  }
}

/** The function control: a preset brings its f and its nodes; "your own" opens the field, whose text is read
 * (never run) when it is submitted. @param {Context} c */
function wireFunction(c) {
  const select = /** @type {HTMLSelectElement} */ ($("function"));
  const newF = () => ({ iterates: [], shown: Infinity, fText: null, announce: ANNOUNCE.function });
  const choose = (/** @type {import("./core/functions.js").Preset} */ preset) =>
    c.update({ ...newF(), f: preset.text, nodes: [...preset.nodes], field: null, typingF: false }, "push");
  select.addEventListener("change", () => {
    const preset = c.model.presets.find((p) => p.id === select.value);
    if (!preset) return c.update({ typingF: true }, "none");
    choose(preset);
  });
  input("f-text").addEventListener("input", () => {
    change({ fText: input("f-text").value }, "same");
    // shown as read while typed, without a render: nothing else changes until it is used
    drawRead(readOf(input("f-text").value));
  });
  $("function-form").addEventListener("submit", (e) => {
    e.preventDefault();
    const typed = input("f-text").value,
      wrong = parse(typed).error;
    if (wrong !== undefined)
      return c.update({ error: FUNCTION_REFUSED(wrong), errorAt: "function", fText: typed }, "none");
    const { preset, itsNodes } = typedFunction(c.model.presets, typed, state.nodes);
    if (preset && itsNodes) return choose(preset);
    // a preset's f, however typed, is kept as the preset writes it, so that its link is its menu item's
    c.update({ ...newF(), f: preset ? preset.text : typed, typingF: !preset }, "push");
  });
}
