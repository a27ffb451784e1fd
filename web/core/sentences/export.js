// The tables taken away, in words: their files' names and what each is of.

import { show } from "../numbers.js";

/** What each table taken away is of. */
const OF = { tableau: "tableau at y = 0", iterations: "iterations", answers: "predictions" };

/** A table's file name, the line a LaTeX file opens with, and what a CSV records before it.
 * @param {keyof typeof OF} what @param {string} link the page's @param {{text: string, nodes: number[]}} of */
export const takeAway = (what, link, of) => ({
  name: `inverse_neville-${what}`,
  about: `inverse_neville's ${OF[what]}: ${link}`,
  /** @type {[string, string][]} */
  records: [
    ["f(x)", of.text],
    ["nodes", of.nodes.map(show).join(" ")],
    ["link", link],
  ],
});

/** A column of a double's bits: its head. */
export const bitsHead = (/** @type {string} */ head) => `${head}, bits`;
