// Predict, then reveal: which entries of the tableau a learner who
// predicts each one may see, and how close a guess came, in correct
// digits.  Nothing here touches the DOM.

/**
 * The steps whose entries may be shown: all of them, or, where each is
 * predicted first, those revealed.
 * @param {{predict: boolean, revealed: number}} s
 * @param {number} steps
 */
export const knownSteps = (s, steps) => (s.predict ? Math.min(s.revealed, steps) : steps);

/**
 * A guess as typed, with a decimal point or comma; NaN where it is not a
 * number.
 * @param {string} text
 */
export function guessOf(text) {
  const t = text
    .trim()
    .replace(/^([+-]?\d*),(\d)/, "$1.$2")
    .replace(/^−/, "-");
  return /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(t) ? Number(t) : NaN;
}

/**
 * The correct significant digits of a guess of v: floor(-log10(|guess - v| / |v|)),
 * at least 0; 17 (all a double has) where it is v exactly.
 * @param {number} guess
 * @param {number} v
 */
export function guessDigits(guess, v) {
  if (guess === v) return 17;
  const rel = Math.abs(guess - v) / Math.abs(v);
  return Number.isFinite(rel) ? Math.max(0, Math.min(17, Math.floor(-Math.log10(rel)))) : 0;
}
