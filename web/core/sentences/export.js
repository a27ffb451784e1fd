// The tables taken away, in words: their files' names and what each is of.

import { show } from "../numbers.js";

/** What each table taken away is of. */
const OF = { tableau: "tableau at y = 0", iterations: "iterations", answers: "predictions" };

/** A table's file name, the line a LaTeX file opens with, and what a CSV records before it: whose answers they
 * are, where a learner gave a name. @param {keyof typeof OF} what @param {string} link the page's
 * @param {{text: string, nodes: number[], student?: string}} of */
export const takeAway = (what, link, { text, nodes, student = "" }) => ({
  name: `inverse_neville-${what}${student.trim() ? `-${student.trim().replace(/[^\p{L}\p{N}]+/gu, "-")}` : ""}`,
  about: `inverse_neville's ${OF[what]}: ${link}`,
  /** @type {[string, string][]} */
  records: [
    .../** @type {[string, string][]} */ (student.trim() ? [["name", student.trim()]] : []),
    ["f(x)", text],
    ["nodes", nodes.map(show).join(" ")],
    ["link", link],
  ],
});

/** A column of a double's bits: its head. */
export const bitsHead = (/** @type {string} */ head) => `${head}, bits`;
