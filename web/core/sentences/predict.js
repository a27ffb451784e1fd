// Predict, then reveal, in words: what the learner is asked, how close a
// guess came, the running count, and what waits for the last entry.

import { show } from "../numbers.js";
import { count, entryName } from "./parts.js";

/** @typedef {{entry: string, decimals: number | null}} Guess a revealed entry, and the correct decimals of its guess (null: none) */

/** What the field asks for. */
export const guessLabel = (/** @type {number} */ i, /** @type {number} */ j) =>
  `Your prediction of ${entryName(i, j)}, before the page shows it:`;

/** Where an entry to be predicted stands, for a screen reader. */
export const TO_PREDICT = "to be predicted";

/** A guess that is not a number. */
export const guessRefused = (/** @type {string} */ text) =>
  `“${text.trim().slice(0, 24)}” is not a number the page can score: write your prediction as a decimal, such as 0.5 (or 0,5).`;

/**
 * How close the last guess was, and the running count of all.
 * @param {Guess[]} guesses
 * @param {number} value the entry revealed
 */
export function guessText(guesses, value) {
  const last = guesses[guesses.length - 1];
  const made = guesses.filter((g) => g.decimals !== null),
    total = made.reduce((sum, g) => sum + (g.decimals ?? 0), 0);
  const said =
    last.decimals === null
      ? `${last.entry} = ${show(value)}, revealed without a guess.`
      : `${last.entry} = ${show(value)}: your guess has ${count(last.decimals, "correct decimal")} ` +
        `(d correct decimals: within half a unit of the d-th decimal, |guess − entry| ≤ 0.5·10⁻ᵈ).`;
  return `${said} So far ${count(made.length, "guess", "guesses")} in ${count(guesses.length, "entry", "entries")}, ${count(total, "correct decimal")} in all.`;
}

/** What stands where p and the program's output will be, until the last entry is revealed. */
export const WAITING = "Shown once you have predicted and revealed the tableau's last entry.";
/** Why Iterate waits: it takes p, which is to be predicted first. */
export const PREDICT_P = "Iterate takes p as a node: predict the tableau's last entry, p, or reveal it, first.";
