// A step in words: its rule with its numbers, its weights, what a screen
// reader hears, and the line at y = 0.

import { minus, show, showTo } from "../numbers.js";
import { entryName, sub, weight } from "./parts.js";

/** @typedef {import("./parts.js").Part} Part */
/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../sweep.js").Step} Step */
/** @typedef {import("../curves.js").Zoom} Zoom */

/** The step's rule as paragraphs, with its numbers to the digits chosen unless its entry is to be predicted.
 * @param {Result} r @param {Step | null} s @param {{hidden: boolean, digits: number}} how @returns {Part[][]} */
export function stepRule(r, s, { hidden, digits }) {
  if (s === null) return [["Q[i][0] = x", sub("i"), ", the nodes. Step to make the first entry."]];
  const { i, j } = s,
    num = (/** @type {number} */ x) => showTo(x, digits),
    paren = (/** @type {number} */ x) => (x < 0 ? `(${num(x)})` : num(x)),
    y = (/** @type {number} */ k) => paren(r.pts[k].y);
  /** @type {Part[]} */
  const rule = [
    `${entryName(i, j)} = ((0 − y`,
    sub(i - j),
    `) · ${entryName(i, j - 1)} − (0 − y`,
    sub(i),
    `) · ${entryName(i - 1, j - 1)}) / (y`,
    sub(i),
    " − y",
    sub(i - j),
    ")",
  ];
  if (hidden) return [rule, ["= ?"]];
  /** @type {Part[]} */
  const value = s.zero
    ? ["= ", { strong: show(s.value) }, ": y", sub(i), " − y", sub(i - j), " = 0, a division by zero"]
    : ["= ", { strong: num(s.value) }];
  return [
    rule,
    [
      `= ((0 − ${y(i - j)}) · ${num(s.hiValue)} − (0 − ${y(i)}) · ${num(s.loValue)}) / (${num(r.pts[i].y)} − ${y(i - j)})`,
    ],
    value,
    ...(Number.isFinite(s.value) ? [weightsText(s)] : []),
  ];
}

/** The step as weights on its two parents, and where the entry lies against them. @returns {Part[]} */
export function weightsText(/** @type {Step} */ s) {
  const { i, j, hi, lo } = s;
  return [
    `As weights: ${entryName(i, j)} = `,
    { mark: "role-hi", text: weight(hi) },
    ` · ${entryName(i, j - 1)} ${lo < 0 ? "−" : "+"} `,
    { mark: "role-lo", text: weight(Math.abs(lo)) },
    ` · ${entryName(i - 1, j - 1)}. ${s.inside ? "Both weights lie in [0, 1]: y = 0 lies between y" : "One weight is negative: y = 0 lies outside y"}`,
    sub(i - j),
    " and y",
    sub(i),
    SIDE[`${s.inside} ${s.side}`] ?? (s.side === "on" ? ". In doubles the entry rounds onto a parent." : "."),
  ];
}

/** @type {Record<string, string>} where the entry lies, as the weights say or, rounded, not */
const SIDE = {
  "true between": ", so the entry lies between its two parents.",
  "false outside": ", so the entry lies outside its two parents.",
  "true outside": ", but in doubles the entry rounds to just outside its parents.",
  "false between": ", but in doubles the entry rounds to just between its parents.",
};

/** What a step says to a screen reader. @param {Result} r @param {boolean} hidden */
export function stepText(r, hidden) {
  if (r.shown === 0) return `Start: the nodes, 0 of ${r.steps.length} entries.`;
  const { i, j } = r.steps[r.shown - 1];
  return (
    `Step ${r.shown} of ${r.steps.length}: ${entryName(i, j)} = ${hidden ? "?, to predict" : show(r.Q[i][j])}, ` +
    `from ${entryName(i, j - 1)} = ${show(r.Q[i][j - 1])} and ${entryName(i - 1, j - 1)} = ${show(r.Q[i - 1][j - 1])}.`
  );
}

/** A second weight with its sign as the operator: "+ 0.3468", "− 0.2473". */
const plus = (/** @type {number} */ w) => `${w < 0 ? "−" : "+"} ${weight(Math.abs(w))}`;

/** The line at y = 0's title, in halves a narrow figure writes on two lines: the entry, and its weights. */
export function zoomTitle(/** @type {Zoom} */ z) {
  const s = z.step;
  if (!s) return { head: "At y = 0: the nodes", tail: "" };
  if (z.hidden) return { head: `At y = 0: ${entryName(s.i, s.j)} = ?`, tail: "" };
  return {
    head: `At y = 0: ${entryName(s.i, s.j)} =`,
    tail: `${weight(s.hi)} · ${entryName(s.i, s.j - 1)} ${plus(s.lo)} · ${entryName(s.i - 1, s.j - 1)}`,
  };
}
/** The line at y = 0's axis label: x, or x less the root or the middle in ulps, where it counts them. */
export const zoomAxis = (/** @type {Zoom} */ z, /** @type {string} */ unit) =>
  z.inUlps ? `x − ${z.root === undefined ? minus(show(z.from)) : "root"}, in ulps` : `x${unit}`;

/** The line at y = 0 for a screen reader. @param {Zoom} z @param {number} unlabelled entries too close to label */
export function zoomText(z, unlabelled) {
  const s = z.step;
  const where = !s
    ? "the nodes."
    : z.hidden
      ? `the entries so far; ${entryName(s.i, s.j)} is yours to predict.`
      : `each entry so far, where its polynomial meets y = 0; ${entryName(s.i, s.j)} is the step's.`;
  return (
    `The line y = 0, zoomed: ${where}` +
    (z.root === undefined ? "" : " The upright mark is the root.") +
    (unlabelled ? ` ${unlabelled} not labelled, too close to others.` : "")
  );
}

/** The tableau's column heads for n nodes, on the page and in its files. */
export const tableauHeads = (/** @type {number} */ n) => [
  "i",
  "y_i",
  ...Array.from({ length: n }, (_, j) => `Q[i][${j}]`),
];
/** What a screen reader hears of an entry not yet made. */
export const NOT_YET = "not yet made";
/** The stepper's count. */
export const stepCount = (/** @type {Result} */ r) => `${r.shown} of ${r.steps.length}`;
