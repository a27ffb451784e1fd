// A step in words: its rule with its numbers, its weights and why the
// rule works, what a screen reader hears, and the line at y = 0.

import { minus, show } from "../numbers.js";
import { entryName, sub, weight } from "./parts.js";

/** @typedef {import("./parts.js").Part} Part */
/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../sweep.js").Step} Step */
/** @typedef {import("../curves.js").Zoom} Zoom */

/**
 * The rule of the step shown, with its numbers, as paragraphs.
 * @param {Result} r
 * @param {Step | null} s the step shown
 * @param {boolean} [hidden] whether its entry is to be predicted first: then its value is not said
 * @returns {Part[][]}
 */
export function stepRule(r, s, hidden = false) {
  if (s === null) return [["Column 0 holds the nodes: Q[i][0] = x", sub("i"), ". Step to compute the next entry."]];
  const { i, j } = s;
  // negative numbers in parentheses, where a minus sign stands before them
  const paren = (/** @type {number} */ x) => (x < 0 ? `(${show(x)})` : show(x));
  const y = (/** @type {number} */ k) => paren(r.pts[k].y);
  /** @type {Part[]} */
  const result = s.zero
    ? [
        ": y",
        sub(i),
        " − y",
        sub(i - j),
        " = 0, a zero denominator, and Qij returns what IEEE arithmetic gives (±Infinity, or NaN for 0/0)",
      ]
    : Number.isFinite(s.value)
      ? [`, the polynomial of degree ${j} through the points ${i - j} … ${i}, at y = 0`]
      : [": an entry it reads is already not a number"];
  return [
    [
      `${entryName(i, j)} = ((0 − y`,
      sub(i - j),
      `) · ${entryName(i, j - 1)} − (0 − y`,
      sub(i),
      `) · ${entryName(i - 1, j - 1)}) / (y`,
      sub(i),
      " − y",
      sub(i - j),
      ")",
    ],
    [
      `= ((0 − ${y(i - j)}) · ${show(s.hiValue)} − (0 − ${y(i)}) · ${show(s.loValue)}) / ` +
        `(${show(r.pts[i].y)} − ${y(i - j)})`,
    ],
    hidden ? ["= ?: your prediction first"] : ["= ", { strong: show(s.value) }, ...result],
    // predicting, the weights would leave only a product to work out: the rule's numbers are the exercise
    ...(s.zero || !(Number.isFinite(s.hi) && Number.isFinite(s.lo))
      ? []
      : hidden
        ? [RULE_REASON]
        : [weightsText(s), RULE_REASON]),
  ];
}

/**
 * The step as weights on the two entries it combines, which add up to 1.
 * @param {Step} s
 * @returns {Part[]}
 */
export function weightsText(s) {
  const { i, j, hi, lo, among } = s,
    outside = hi < 0 || lo < 0;
  return [
    `As weights: ${entryName(i, j)} = `,
    { mark: "role-hi", text: weight(hi) },
    ` · ${entryName(i, j - 1)} ${lo < 0 ? "−" : "+"} `,
    { mark: "role-lo", text: weight(Math.abs(lo)) },
    ` · ${entryName(i - 1, j - 1)}, the weights −y`,
    sub(i - j),
    " / (y",
    sub(i),
    " − y",
    sub(i - j),
    ") and y",
    sub(i),
    " / (y",
    sub(i),
    " − y",
    sub(i - j),
    "), which add up to 1" +
      (outside ? "; one is negative, as y = 0 lies outside y" : "; both lie in [0, 1], as y = 0 lies between y"),
    sub(i - j),
    " and y",
    sub(i),
    outside ? ": the step's blend reaches beyond the two entries it combines" : "",
    // the weights speak of the two end points only; the polynomial, of all its points, and of none where an
    // entry it reads is not a number (two of its points share a y)
    !Number.isFinite(s.value)
      ? "."
      : among
        ? `. y = 0 lies among the y of all the points ${i - j} … ${i}, so the polynomial the step makes interpolates.`
        : `. y = 0 lies outside the y of all the points ${i - j} … ${i}, so the polynomial the step makes extrapolates.`,
  ];
}

/** A second term's weight with its sign as the operator: "+ 0.3468", "− 0.2473". */
const plus = (/** @type {number} */ w) => `${w < 0 ? "−" : "+"} ${weight(Math.abs(w))}`;

/** Why the rule makes the polynomial through all the points, in two sentences. */
export const RULE_REASON = [
  "Why this rule: its weights add up to 1 at every y, so where both polynomials it combines agree, at the points " +
    "they share, the new one agrees with them. At one end point all the weight falls on the one polynomial that " +
    "passes through it, and at the other end on the other, so the new one passes through both end points as well.",
];

/**
 * What a step says to a screen reader.
 * @param {Result} r
 * @param {boolean} [hidden] whether its entry is to be predicted first
 */
export function stepText(r, hidden = false) {
  if (r.shown === 0) return `Start: only the nodes, 0 of ${r.steps.length} entries.`;
  const { i, j } = r.steps[r.shown - 1];
  return (
    `Step ${r.shown} of ${r.steps.length}: ${entryName(i, j)} = ${hidden ? "?, to be predicted" : show(r.Q[i][j])}, ` +
    `from ${entryName(i, j - 1)} = ${show(r.Q[i][j - 1])} and ${entryName(i - 1, j - 1)} = ${show(r.Q[i - 1][j - 1])}.`
  );
}

/**
 * The line at y = 0's title, in two halves a narrow figure writes on two
 * lines: the entry, and its weights on the two it combines.
 * @param {Zoom} z
 */
export function zoomTitle(z) {
  const s = z.step;
  if (s && z.hidden) return { head: `At y = 0: ${entryName(s.i, s.j)} = ?, your prediction first`, tail: "" };
  return s
    ? {
        head: `At y = 0: ${entryName(s.i, s.j)} =`,
        tail: `${weight(s.hi)} · ${entryName(s.i, s.j - 1)} ${plus(s.lo)} · ${entryName(s.i - 1, s.j - 1)}`,
      }
    : { head: "At y = 0: the nodes, before any step", tail: "" };
}
/** The line at y = 0's axis label: x, or x − root in ulps where the range is within a thousand of them. */
export const zoomAxis = (/** @type {Zoom} */ z, /** @type {string} */ unit) =>
  z.inUlps ? `x − ${z.root === undefined ? minus(show(z.from)) : "root"}, in ulps` : `x${unit}`;

/**
 * The line at y = 0 in words: what it shows, and where the step's entries lie.
 * @param {Zoom} z
 * @param {number} unlabelled entries too close to others to label
 */
export function zoomText(z, unlabelled) {
  const lead =
    "Below the figure, its line y = 0 zoomed: each entry of the tableau is the x where its polynomial meets y = 0, " +
    "and each made so far (from column 1 on, and the nodes of column 0 that the step combines) is marked there and " +
    `labelled as the tableau labels it${z.root === undefined ? "" : "; the thin upright mark is the root"}.`;
  const s = z.step;
  const step = z.hidden
    ? ` The step's entry, ${s ? entryName(s.i, s.j) : "p"}, is yours to predict, and the root is not marked until it is revealed.`
    : s
      ? ` ${entryName(s.i, s.j)} (the step's entry) = ${weight(s.hi)} × ${entryName(s.i, s.j - 1)} ${plus(s.lo)} × ` +
        `${entryName(s.i - 1, s.j - 1)}: ` +
        (!Number.isFinite(s.x)
          ? `it is ${show(s.x)}, as an entry it combines is not a number, and is not marked.`
          : s.hi >= 0 && s.lo >= 0
            ? "it lies between the two, nearer the one with the greater weight."
            : s.x === s.hiValue || s.x === s.loValue
              ? "a negative weight puts it outside the two in exact arithmetic; in doubles it rounds to one of them."
              : "a negative weight puts it outside the two.")
      : " Before the first step the line holds the nodes, column 0.";
  const more = unlabelled
    ? ` ${unlabelled} earlier entr${unlabelled > 1 ? "ies are" : "y is"} too close to others to label.`
    : "";
  const not = z.undrawn ? ` ${z.undrawn} entr${z.undrawn > 1 ? "ies are" : "y is"} not a number and not marked.` : "";
  return lead + step + more + not;
}

/** The tableau's column heads for n nodes, on the page and in its files. */
export const tableauHeads = (/** @type {number} */ n) => [
  "i",
  "y_i",
  ...Array.from({ length: n }, (_, j) => `Q[i][${j}]`),
];
/** What a screen reader hears of an entry not yet computed. */
export const NOT_YET = "not yet computed";
/** The stepper's count. */
export const stepCount = (/** @type {Result} */ r) => `${r.shown} of ${r.steps.length}`;
