// Axis ticks from the data: a step of 1, 2 or 5 times a power of ten, a
// unit 10^(3m) that keeps the labels short, and as many ticks as fit (the
// drawing module measures that; nothing here knows a font).

import { minus } from "./numbers.js";

/** @typedef {{value: number, label: string}} Tick */
/** @typedef {{ticks: Tick[], unit: number}} Ticks */

/** The fewest ticks that read as a scale, not a point. */
const FEWEST = 3;

/**
 * Ticks in [lo, hi]: the widest nice step giving at most `most` + 1, else the widest giving
 * three, labelled from integers times the step so no rounding shows.  Counted in a unit
 * 10^(3m) where the values reach 1000 or stay below 0.01, or, `scaled`, wherever that helps.
 * @param {number} lo @param {number} hi @param {number} most @param {boolean} [scaled] @returns {Ticks}
 */
export function ticks(lo, hi, most, scaled = false) {
  if (!(hi > lo)) hi = lo + 1;
  const raw = (hi - lo) / Math.max(1, most);
  const mag = 10 ** Math.floor(Math.log10(raw));
  const nice = (/** @type {number} */ k) => [1, 2, 5][((k % 3) + 3) % 3] * mag * 10 ** Math.floor(k / 3);
  const count = (/** @type {number} */ step) => Math.floor(hi / step + 1e-9) - Math.ceil(lo / step - 1e-9) + 1;
  let k = 0;
  while ((hi - lo) / nice(k) > most) k++;
  while (count(nice(k)) < FEWEST) k--;
  const step = nice(k);
  const big = Math.max(Math.abs(lo), Math.abs(hi));
  const unit = big >= 1e3 || big < (scaled ? 1 : 1e-2) ? 3 * Math.floor(Math.log10(big) / 3) : 0;
  const decimals = Math.max(0, -Math.floor(Math.log10(step / 10 ** unit) + 1e-9));
  const out = [];
  for (let k = Math.ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k++) {
    const value = k * step;
    // where lo / step is too large for k + 1 to differ from k, the ticks end rather than repeat
    if (out.length && value <= out[out.length - 1].value) break;
    out.push({ value, label: minus((value / 10 ** unit).toFixed(decimals)).replace(/^−(0\.?0*)$/, "$1") });
  }
  return { ticks: out, unit };
}

/**
 * The most ticks, from `most` down to 2, that `fits`; where none does, the same in a unit that shortens them.
 * @param {number} lo @param {number} hi @param {number} most @param {(t: Ticks) => boolean} fits
 */
export function fittedTicks(lo, hi, most, fits) {
  for (const scaled of [false, true]) {
    for (let m = most; m >= 2; m--) {
      const t = ticks(lo, hi, m, scaled);
      if (fits(t)) return t;
    }
  }
  return ticks(lo, hi, 2, true);
}
