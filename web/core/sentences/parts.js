// The page's words are made here, in core/sentences/, and only here: from
// the numbers the other core modules compute, as text or as a list of
// parts a drawing module puts in place.  This module holds what they all
// use: the parts, and the names of the tableau's entries and the nodes.
//
// A sentence is a list of parts: text, {sub} for a subscript, {strong} for
// the number a rule gives, {mark, text} for a word set apart (its class).

import { minus } from "../numbers.js";

/** @typedef {string | {sub: string} | {strong: string} | {mark: string, text: string}} Part */

/** A subscript. */
export const sub = (/** @type {number | string} */ k) => ({ sub: String(k) });
/** The tableau's entry (i, j), as the tableau labels it. */
export const entryName = (/** @type {number} */ i, /** @type {number} */ j) => `Q[${i}][${j}]`;
/** Node k, as the figure labels it. */
export const nodeName = (/** @type {number} */ k) => `x${k}`;
/** A weight as the page shows it: four significant digits. */
export const weight = (/** @type {number} */ w) => minus(String(Number(w.toPrecision(4))));
/** n things, "1 thing" or "n things", with the plural given where it is not a trailing s. */
export const count = (/** @type {number} */ n, /** @type {string} */ one, many = `${one}s`) =>
  `${n} ${n === 1 ? one : many}`;
