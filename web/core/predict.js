// Predict, then reveal: which entries of the tableau a learner who
// predicts each one may see, and how close a guess came, in correct
// decimals.  Nothing here touches the DOM.

/**
 * The steps whose entries may be shown: all of them, or, where each is
 * predicted first, those revealed.
 * @param {{predict: boolean, revealed: number}} s
 * @param {number} steps
 */
export const knownSteps = (s, steps) => (s.predict ? Math.min(s.revealed, steps) : steps);

/**
 * A guess as typed, with a decimal point or comma; NaN where it is not a
 * number, or not one a double holds (1e400).
 * @param {string} text
 */
export function guessOf(text) {
  const t = text
    .trim()
    .replace(/^([+-]?\d*),(\d)/, "$1.$2")
    .replace(/^−/, "-");
  const v = /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(t) ? Number(t) : NaN;
  return Number.isFinite(v) ? v : NaN;
}

/**
 * The correct decimals of a guess of v, as a textbook counts them: the
 * most d with |guess - v| at most half a unit in the d-th decimal, 0.5 *
 * 10^-d (0.42 has 2 of 0.42473, 0.43 has 1), at least 0; 17 where it is v
 * exactly.
 * @param {number} guess
 * @param {number} v
 */
export function guessDecimals(guess, v) {
  if (guess === v) return 17;
  const e = Math.abs(guess - v);
  let d = 0;
  while (d < 17 && e <= 0.5 * Number(`1e${-(d + 1)}`)) d++;
  return d;
}
