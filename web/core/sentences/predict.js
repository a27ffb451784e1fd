// Predict, then reveal, in words: the two questions, how both went, the
// slip a wrong number shows, the score, and what waits for the last entry.

import { show } from "../numbers.js";
import { count, entryName } from "./parts.js";

/** The first question: where the entry lies against its parents. */
export const whereQuestion = (/** @type {number} */ i, /** @type {number} */ j) =>
  `Will ${entryName(i, j)} lie between ${entryName(i, j - 1)} and ${entryName(i - 1, j - 1)}, or outside them?`;
/** The second: its value. */
export const guessLabel = (/** @type {number} */ i, /** @type {number} */ j) => `Your value of ${entryName(i, j)}:`;

/** Where an entry to be predicted stands, for a screen reader. */
export const TO_PREDICT = "to predict";

/** A guess that is not a number. */
export const guessRefused = (/** @type {string} */ text) =>
  `“${text.trim().slice(0, 24)}” is not a number: write it as a decimal, such as 0.5.`;
/** An empty guess, which reveals nothing. */
export const NOTHING_YET = "Choose a side and type a number first, or press Show it.";

/** What each slip is, and how to see it in the picture. */
export const SLIPS = {
  swapped:
    "That is the rule with its two factors (0 − y) exchanged. Each parent is multiplied by (0 − y) of the node " +
    "it leaves out: Q[i][j−1], through nodes i − j + 1 … i, by (0 − y) of node i − j.",
  weights:
    "That is the two weights exchanged. Each parent's weight comes from the node it leaves out: on the line at " +
    "y = 0 the entry lies nearer the parent whose polynomial leaves out the node with y farther from 0.",
  sign:
    "That is the entry with its sign flipped: count the minus signs in (0 − y) again. The picture shows the " +
    "entry's sign on the x axis, where its curve crosses y = 0.",
  average:
    "That is the plain mean of the two parents. The weights are equal only when y = 0 lies midway between the " +
    "two end y; on the line at y = 0 the entry lies nearer the parent with the larger weight.",
  direct:
    "That is where the polynomial y = P(x) through these points meets 0: f interpolated, not its inverse. The " +
    "picture's curves are x = P(y), polynomials in y; read the entry where they cross y = 0.",
};

/** How both answers went, and the slip that explains a wrong number. */
export function guessText(/** @type {import("../predict.js").Guess} */ g) {
  const side =
    g.where === null ? "" : ` You said ${g.where}: ${g.where === g.side ? "right" : `it lies ${g.side} them`}.`;
  const value =
    g.guess === null || g.decimals === null
      ? " No number guessed."
      : ` Your ${g.typed} has ${count(g.decimals, "correct decimal")}.${g.slip ? ` ${SLIPS[g.slip]}` : ""}`;
  return `${g.entry} = ${show(g.value)}.${side}${value}`;
}

/** The running score. @param {{asked: number, sides: number, values: number}} s @param {number} decimals */
export const scoreText = (s, decimals) =>
  s.asked
    ? `Score so far: sides right in ${s.sides} of ${count(s.asked, "entry", "entries")}; values right to ` +
      `${decimals} decimals in ${s.values}.`
    : "";

/** What stands where p and what follows from it will be, until the last entry is revealed. */
export const WAITING = "Shown once you have predicted the last entry, p.";

/** The answers' file: its column heads. */
export const ANSWERS = [
  "entry",
  "your side",
  "its side",
  "your value",
  "the entry",
  "your value − entry",
  "correct decimals",
  "slip",
];
