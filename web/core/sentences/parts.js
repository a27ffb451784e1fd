// The page's words are made in core/sentences/ alone, as text or as a list
// of parts: text, {sub} a subscript, {strong} the number a rule gives,
// {mark, text} a word set apart (its class).  Here, what they all use.

import { minus } from "../numbers.js";

/** @typedef {string | {sub: string} | {strong: string} | {mark: string, text: string}} Part */

/** A subscript. */
export const sub = (/** @type {number | string} */ k) => ({ sub: String(k) });
/** The tableau's entry (i, j), as the tableau labels it. */
export const entryName = (/** @type {number} */ i, /** @type {number} */ j) => `Q[${i}][${j}]`;
/** Node k, as the figure labels it. */
export const nodeName = (/** @type {number} */ k) => `x${k}`;
/** A weight: four significant digits, in scientific notation where zeros would pad them. */
export const weight = (/** @type {number} */ w) =>
  minus(Math.abs(w) >= 1e4 || (w !== 0 && Math.abs(w) < 1e-3) ? w.toExponential(3) : String(Number(w.toPrecision(4))));
/** "1 thing" or "n things", the plural given where it is not a trailing s. */
export const count = (/** @type {number} */ n, /** @type {string} */ one, many = `${one}s`) =>
  `${n} ${n === 1 ? one : many}`;
