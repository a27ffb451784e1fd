// Predict, then reveal: which entries a learner may see, how close a guess
// came, which common slip explains a wrong one, and the score.

/** @typedef {import("./sweep.js").Step} Step */
/** @typedef {import("./neville.js").Point} Point */
/** @typedef {"swapped" | "weights" | "sign" | "average" | "direct"} Slip */
/** An entry asked for: the side said ("between" or "outside" its parents), the side it lies on, the guess as
 * typed and as read. @typedef {{entry: string, where: string | null, side: string, typed: string,
 *   guess: number | null, value: number, decimals: number | null, slip: Slip | null}} Guess */

/** The steps whose entries may be shown: all, or, predicting, those revealed. */
export const knownSteps = (/** @type {{predict: boolean, revealed: number}} */ s, /** @type {number} */ steps) =>
  s.predict ? Math.min(s.revealed, steps) : steps;

/** A guess as typed, with a decimal point or comma; NaN where it is not a number a double holds. */
export function guessOf(/** @type {string} */ text) {
  const t = text
    .trim()
    .replace(/^([+-]?\d*),(\d)/, "$1.$2")
    .replace(/^−/, "-");
  const v = /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(t) ? Number(t) : NaN;
  return Number.isFinite(v) ? v : NaN;
}
/** The decimals a guess is written to: 0.4263 has 4, 4.2e-1 has 2. */
export function writtenDecimals(/** @type {string} */ text) {
  const m = /^[^\d.]*\d*(?:[.,](\d*))?(?:e([+-]?\d+))?$/i.exec(text.trim().replace(/^−/, "-"));
  return m ? Math.max(0, (m[1] ?? "").length - Number(m[2] ?? 0)) : 0;
}

/** The most decimals d with |guess - v| within half a unit of the d-th: 0.42 has 2 of 0.42473, 0.43 has 1.
 * @param {number} guess @param {number} v */
export function guessDecimals(guess, v) {
  if (guess === v) return 17;
  const e = Math.abs(guess - v);
  let d = 0;
  while (d < 17 && e <= 0.5 * Number(`1e${-(d + 1)}`)) d++;
  return d;
}

/** What each slip gives: the factors (0 - y) exchanged, the weights exchanged, the sign flipped, the parents'
 * mean, and from column 2 the zero of y = P(x) through the same points (f interpolated, not its inverse).
 * @param {Step} s @param {Point[]} pts @returns {[Slip, number][]} */
export function slipValues(s, pts) {
  const { i, j, hiValue, loValue, value } = s,
    ya = pts[i - j].y,
    yb = pts[i].y;
  /** @type {[Slip, number][]} */
  const out = [
    ["swapped", ((0 - yb) * hiValue - (0 - ya) * loValue) / (yb - ya)],
    ["weights", (yb * hiValue - ya * loValue) / (yb - ya)],
    ["sign", -value],
    ["average", (hiValue + loValue) / 2],
  ];
  if (j >= 2) out.push(["direct", directZero(pts.slice(i - j, i + 1), value)]);
  return out;
}

/** The zero of y = P(x) through the points nearest `start`, by Newton's method on its Newton form; else NaN. */
function directZero(/** @type {Point[]} */ pts, /** @type {number} */ start) {
  const x = pts.map((q) => q.x),
    c = pts.map((q) => q.y);
  for (let k = 1; k < c.length; k++)
    for (let m = c.length - 1; m >= k; m--) c[m] = (c[m] - c[m - 1]) / (x[m] - x[m - k]);
  let t = start;
  for (let step = 0; step < 60; step++) {
    let p = c[c.length - 1],
      d = 0;
    for (let k = c.length - 2; k >= 0; k--) {
      d = d * (t - x[k]) + p;
      p = p * (t - x[k]) + c[k];
    }
    const next = t - p / d;
    if (!Number.isFinite(next)) return NaN;
    if (Math.abs(next - t) <= 1e-15 * Math.abs(next)) return next;
    t = next;
  }
  return NaN;
}

/** A wrong guess's slip: one the guess agrees with to the decimals it is written to, where the entry lies
 * well away from it (twice that).
 * @param {Step} s @param {Point[]} pts @param {number} guess @param {number} decimals @returns {Slip | null} */
export function slipOf(s, pts, guess, decimals) {
  const tol = (/** @type {number} */ v) => Math.max(0.5 * 10 ** -decimals, 4 * Number.EPSILON * Math.abs(v));
  if (Math.abs(guess - s.value) <= tol(s.value)) return null;
  const fits = slipValues(s, pts).filter(
    ([, v]) => Number.isFinite(v) && Math.abs(guess - v) <= tol(v) && Math.abs(v - s.value) > 2 * tol(v),
  );
  fits.sort((a, b) => Math.abs(guess - a[1]) - Math.abs(guess - b[1]));
  return fits[0]?.[0] ?? null;
}

/** The decimals a value must be right to, to count in the score. */
export const SCORED = 3;

/** Entries asked, sides said right, and values right to SCORED decimals. */
export function scoreOf(/** @type {Guess[]} */ guesses) {
  return {
    asked: guesses.length,
    sides: guesses.filter((g) => g.where !== null && g.where === g.side).length,
    values: guesses.filter((g) => g.decimals !== null && g.decimals >= SCORED).length,
  };
}
