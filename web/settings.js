// What the page says around its numbers: which function and nodes, what a
// link or a field could not use and what is kept instead, the fields'
// text, the function's lesson, and the reader's settings in their controls.

import { show } from "./core/numbers.js";
import { otherExp } from "./core/sweep.js";
import { expEffect, functionLesson, functionOptions, rangeText, summaryText } from "./core/sentences/nodes.js";
import { F_READ, KEPT } from "./core/sentences/input.js";
import { parse } from "./core/expression.js";
import { mathml } from "./core/mathml.js";
import { $, h, input, set, text } from "./dom.js";
import { state } from "./state.js";

/** @typedef {import("./core/sweep.js").Model} Model */
/** @typedef {import("./core/sweep.js").Result} Result */

/** @param {Model} m @param {Result} r */
export function drawSettings(m, r) {
  text($("nodes-summary"), summaryText(r, state.errorAt === "link" ? state.error : ""));
  text($("link-error"), state.linkRefused);
  text($("exp-effect"), expEffect(r, otherExp(m, r, state.exp)));
  text($("nodes-range"), `(${rangeText(r.fn.interval)})`);
  const field = input("nodes"),
    typed = state.field ?? state.nodes.map(show).join(", ");
  if (field.value !== typed) field.value = typed;
  // a link's refused text is in the field, and its error beside it
  const inField = state.error && (state.errorAt === "field" || state.errorAt === "link");
  text($("nodes-error"), inField ? `${state.error} ${state.nodes === m.nodes ? KEPT.first : KEPT.last}` : "");
  text($("figure-error"), state.error && state.errorAt === "figure" ? `${state.error} ${KEPT.figure}` : "");
  set(field, { "aria-invalid": inField ? "true" : null });
  for (const radio of /** @type {NodeListOf<HTMLInputElement>} */ (document.querySelectorAll('input[name="exp"]')))
    radio.checked = radio.value === state.exp;
  input("show-bits").checked = state.showBits;
  input("lecture").checked = state.lecture;
  input("predict").checked = state.predict;
  /** @type {HTMLSelectElement} */ ($("digits")).value = String(state.digits);
  document.documentElement.classList.toggle("lecture", state.lecture);
  /** @type {HTMLDetailsElement} */ ($("going-deeper")).open = state.deeper;
  drawFunction(m, r);
}

/** The function control: the preset shown, or a learner's own with its field, its text as typed, what is wrong
 * with it, and its lesson. @param {Model} m @param {Result} r */
function drawFunction(m, r) {
  const select = /** @type {HTMLSelectElement} */ ($("function"));
  if (!select.options.length)
    for (const o of functionOptions(m.presets)) select.append(h("option", { value: o.value }, o.label));
  const preset = state.typingF ? null : r.fn.preset;
  select.value = preset ? preset.id : "own";
  $("own-f").hidden = !!preset;
  const typed = state.fText ?? (r.fn.preset ? "" : r.fn.text);
  if (input("f-text").value !== typed) input("f-text").value = typed;
  drawRead(state.fText === null ? (r.fn.preset ? null : r.fn.tree) : readOf(state.fText));
  const wrong = state.error && state.errorAt === "function";
  text($("f-error"), wrong ? state.error : "");
  set(input("f-text"), { "aria-invalid": wrong ? "true" : null });
  text($("function-lesson"), functionLesson(r.fn));
}

/** The tree of a text typed, or null where it cannot be read. */
export const readOf = (/** @type {string} */ typed) => parse(typed).tree ?? null;

/** f as the parser reads it, typeset below its field (#f-read, made there the first time); nothing while a text
 * cannot be read. @param {import("./core/expression.js").Tree | null} tree */
export function drawRead(tree) {
  const read = document.getElementById("f-read") ?? h("p", { id: "f-read" });
  if (!read.isConnected) $("f-text").closest(".field")?.after(read);
  const markup = tree ? mathml(tree) : "";
  if (read.dataset.markup === markup) return;
  read.dataset.markup = markup;
  // the markup is the tree's alone, every text in it escaped
  const math = h("span");
  math.innerHTML = markup;
  if (tree) read.replaceChildren(`${F_READ} `, math);
  else read.replaceChildren();
}
