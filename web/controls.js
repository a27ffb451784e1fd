// The page's controls wired to changes of the state: the stepper and its
// keys, the digits and the bits, the field and the exponential, the
// program's nodes, Iterate, Add, and the tables taken away.  Each handler
// asks main.js's update() for the change, and nothing else; only a
// learner's f, as it is typed, is also drawn as read beside its field.

import { LIMITS } from "./core/limits.js";
import { intervalOf, typedFunction } from "./core/functions.js";
import { parse } from "./core/expression.js";
import { parseNodes } from "./core/fragment.js";
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
/** @typedef {import("./core/sweep.js").ExpName} ExpName */

/** @param {Context} c */
export function wireControls(c) {
  wireStepper(c);
  wireSettings(c);
  wireGuess(c);
  wireFunction(c);
  wireNodes(c);
  wireIterate(c);
  wireTakeAway(c);
}

/**
 * The stepper, its buttons and its keys, and the skip link to it.
 * @param {Context} c
 */
function wireStepper(c) {
  // predicting, a step goes no further than the first entry not yet revealed
  const step = (/** @type {number} */ to) => {
    const most = Math.min(c.result().steps.length, state.predict ? state.revealed + 1 : Infinity);
    c.update(
      {
        shown: Math.max(0, Math.min(most, to)),
        announce: (r) => stepText(r, r.shown > knownSteps(state, r.steps.length)),
      },
      "replace",
    );
    inView();
  };
  // A step brings the tableau's entry into view, not only the next number into a table out of sight: on a
  // phone, where the stepper is a bar at the foot of the screen, the entry to the middle; elsewhere the stepper
  // to the top of the window, where the entry, its two and the figure are all in view.
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
  /** @type {[string, () => number][]} each button, and where it goes; marked as doing nothing, it does nothing */
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
  /**
   * A key that steps: ← and →, and a presenter's Page Up and Page Down; in the tableau's section Home and End
   * too (elsewhere they scroll the page).
   */
  const keyStep = (/** @type {KeyboardEvent} */ e, /** @type {boolean} */ ends) => {
    const target = /** @type {Element} */ (e.target);
    if (target.closest("input, textarea, select, #tableau-scroll") || e.altKey || e.ctrlKey || e.metaKey) return;
    const shown = c.result().shown;
    /** @type {Record<string, number>} */
    const keys = {
      ArrowLeft: shown - 1,
      ArrowRight: shown + 1,
      PageUp: shown - 1,
      PageDown: shown + 1,
      ...(ends ? { Home: 0, End: Infinity } : {}),
    };
    const to = keys[e.key];
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

/**
 * The reader's settings: the digits, the bits, the lecture's text,
 * predicting, and "Going deeper".
 * @param {Context} c
 */
function wireSettings(c) {
  $("digits").addEventListener("change", () =>
    c.update({ digits: Number(/** @type {HTMLSelectElement} */ ($("digits")).value) }, "replace"),
  );
  input("show-bits").addEventListener("change", () => c.update({ showBits: input("show-bits").checked }, "none"));
  input("lecture").addEventListener("change", () => c.update({ lecture: input("lecture").checked }, "replace"));
  input("predict").addEventListener("change", () => c.update({ predict: input("predict").checked }, "replace"));
  $("going-deeper").addEventListener("toggle", () => {
    const open = /** @type {HTMLDetailsElement} */ ($("going-deeper")).open;
    if (open !== state.deeper) c.update({ deeper: open }, "replace");
  });
}

/**
 * A prediction of the entry waiting: where it lies against its parents and
 * its value, scored and revealed; or its reveal without them.  An empty
 * answer reveals nothing.
 * @param {Context} c
 */
function wireGuess(c) {
  /** @param {boolean} giveUp whether the entry is shown without an answer */
  const answer = (giveUp) => {
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
      guess,
      value: s.value,
      decimals: guess === null ? null : guessDecimals(guess, s.value),
      slip: guess === null ? null : slipOf(s, r.pts, guess, writtenDecimals(typed)),
    };
    input("guess").value = "";
    for (const radio of document.querySelectorAll('input[name="where"]'))
      /** @type {HTMLInputElement} */ (radio).checked = false;
    c.update({ revealed: r.shown, guesses: [...state.guesses, g], lastGuess: g, announce: () => guessText(g) }, "none");
    // the field goes with the entry it asked for: the focus goes on to the next step
    $("step-forward").focus();
  };
  $("guess-form").addEventListener("submit", (e) => {
    e.preventDefault();
    answer(false);
  });
  $("skip-guess").addEventListener("click", () => answer(true));
  $("take-answers").addEventListener("click", () => {
    const { name, records } = takeAway("answers", location.href, { text: state.f, nodes: state.start });
    // each entry asked, the side said and its own, the number guessed, the entry, the error and the slip
    const rows = state.guesses.map((g) => [
      g.entry,
      g.where,
      g.side,
      g.guess,
      g.value,
      g.guess === null ? null : g.guess - g.value,
      g.decimals,
      g.slip,
    ]);
    download(`${name}.csv`, "text/csv", toCsv({ about: records, heads: ANSWERS, rows, doubles: [] }, bitsHead));
  });
}

/**
 * The nodes typed, the exponential for them, the program's own again,
 * and a node added.
 * @param {Context} c
 */
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
      const exp = /** @type {ExpName} */ (/** @type {HTMLInputElement} */ (radio).value);
      c.update(
        {
          exp,
          iterates: [],
          announce: (r, whole) => ANNOUNCE.exp(exp, expEffect(r, otherExp(c.model, r, exp)), r, whole),
        },
        "push",
      );
    });
  }
  $("reset").addEventListener("click", () => {
    c.update({ nodes: c.model.nodes, shown: Infinity, iterates: [], field: null, announce: ANNOUNCE.first }, "push");
  });
  $("add-node").addEventListener("click", () => addNode(c));
}

/**
 * Iterate: the oldest node replaced by p, while it can do more.
 * @param {Context} c
 */
function wireIterate(c) {
  $("iterate").addEventListener("click", () => {
    const r = c.result();
    // done, it says why beside it, and a press changes nothing
    if (iterateDone(c.model, c.choice(), r, c.iterates(r)) !== null) return;
    const k = Math.max(1, state.iterates.length),
      next = iterateOnce(c.model, c.choice(), r);
    if (next.refused === undefined)
      c.update({ ...next, shown: Infinity, announce: (r, whole) => ANNOUNCE.iterated(k, r, whole) }, "push");
  });
}

/**
 * A node added into the middle of the widest gap between neighbours, or
 * refused where there are as many as there can be.
 * @param {Context} c
 */
function addNode(c) {
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
}

/**
 * The tableau and the iterations taken away, as the page shows them, and
 * nothing to be predicted yet.
 * @param {Context} c
 */
function wireTakeAway(c) {
  for (const button of document.querySelectorAll("[data-take]")) {
    button.addEventListener("click", () => {
      const [what, format] = /** @type {["tableau" | "iterations", string]} */ (
        /** @type {string} */ (/** @type {HTMLElement} */ (button).dataset.take).split(" ")
      );
      const r = c.result(),
        known = knownSteps(state, r.steps.length);
      const { name, about, records } = takeAway(what, location.href, {
        text: r.fn.text,
        nodes: what === "tableau" ? r.pts.map((q) => q.x) : state.start,
      });
      const table = (/** @type {boolean} */ paper) =>
        what === "tableau"
          ? tableauTable({ ...r, shown: Math.min(r.shown, known) }, tableauHeads(r.pts.length), records)
          : iterationsTable(c.iterationTable().rows, ITERATION_HEADS, records, paper);
      if (format === "csv") download(`${name}.csv`, "text/csv", toCsv(table(false), bitsHead));
      else download(`${name}.tex`, "application/x-tex", toLatex(table(true), about));
    });
  }
}

/**
 * The function control: a preset brings its f and its nodes; "your own"
 * opens the field, whose text is read (never run) when it is submitted.
 * @param {Context} c
 */
function wireFunction(c) {
  const select = /** @type {HTMLSelectElement} */ ($("function"));
  /** A preset chosen: its f and its nodes. */
  const choose = (/** @type {import("./core/functions.js").Preset} */ preset) =>
    c.update(
      {
        f: preset.text,
        nodes: [...preset.nodes],
        iterates: [],
        shown: Infinity,
        field: null,
        fText: null,
        own: false,
        announce: (r, whole) => ANNOUNCE.function(r, whole),
      },
      "push",
    );
  select.addEventListener("change", () => {
    const preset = c.model.presets.find((p) => p.id === select.value);
    if (!preset) return c.update({ own: true }, "none");
    choose(preset);
  });
  input("f-text").addEventListener("input", () => {
    change({ fText: input("f-text").value }, "same");
    // f as read, shown as it is typed: no render, nothing else changes until it is used
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
    // a preset's f, however typed, is kept as the preset writes it: its link is the one its menu item makes
    c.update(
      {
        f: preset ? preset.text : typed,
        iterates: [],
        shown: Infinity,
        fText: null,
        own: !preset,
        announce: ANNOUNCE.function,
      },
      "push",
    );
  });
}
