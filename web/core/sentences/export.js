// The tables taken away, in words: their files' names, what each is of,
// and the line a LaTeX file opens with.

import { show } from "../numbers.js";

/** What each table taken away is of. */
const OF = { tableau: "tableau at y = 0", iterations: "iterations", answers: "predictions" };

/**
 * A table taken away: its file's name, the line a LaTeX file opens with
 * (what it is and where it came from), and what a CSV records before it.
 * @param {keyof typeof OF} what
 * @param {string} link the page's link
 * @param {{text: string, nodes: number[]}} of f as the parser reads it, and the nodes
 */
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
