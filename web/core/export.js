// The tableau and the iterations as files to take away: CSV and a LaTeX
// tabular, each number the shortest decimal that reads back to its double.
// The CSV also gives each double's bits (a spreadsheet keeps 15 of the 17
// digits one may need), after what the table is of: f, the nodes, the link.

import { bitsOf, show } from "./numbers.js";

/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {import("./iterations.js").IterationRow} IterationRow */
/**
 * `about`: what the table is of, as name and value; a null cell is empty;
 * `doubles`: the columns that hold doubles.
 * @typedef {{about: [string, string][], heads: string[], rows: (number | string | null)[][], doubles: number[]}} Table
 */

/**
 * The tableau as shown: i, y_i, Q[i][0] … Q[i][n-1], an entry not yet computed, or above the diagonal, empty.
 * @param {Result} r @param {string[]} heads @param {[string, string][]} about @returns {Table}
 */
export function tableauTable(r, heads, about) {
  const n = r.pts.length,
    shown = new Set(r.steps.slice(0, r.shown).map(({ i, j }) => `${i},${j}`));
  return {
    about,
    heads,
    doubles: heads.map((_, k) => k).slice(1),
    rows: r.pts.map((q, i) => [
      i,
      q.y,
      q.x,
      ...Array.from({ length: n - 1 }, (_, m) => (shown.has(`${i},${m + 1}`) ? r.Q[i][m + 1] : null)),
    ]),
  };
}

/**
 * The iterations: each p_k, its error, correct digits, f(p_k) and the
 * orders of convergence.  On paper, what an A4 page's width holds, rounded as the page shows.
 * @param {IterationRow[]} rows @param {string[]} heads @param {[string, string][]} about @param {boolean} [paper]
 * @returns {Table}
 */
export function iterationsTable(rows, heads, about, paper = false) {
  const keep = paper ? [0, 1, 2, 3, 4, 5] : [0, 1, 2, 3, 4, 5, 6],
    pick = (/** @type {(number | string | null)[]} */ cells) => keep.map((k) => cells[k]);
  return {
    about,
    heads: keep.map((k) => heads[k]),
    doubles: keep.flatMap((k, m) => ([1, 2, 4, 5, 6].includes(k) ? [m] : [])),
    rows: rows.map((row) => {
      const short = (/** @type {number} */ v) => (paper && Number.isFinite(v) ? Number(v.toPrecision(3)) : v);
      const order = paper && row.order !== null ? Number(row.order.toFixed(3)) : row.order;
      return pick([row.k, row.p, short(row.error), row.digits, short(row.residual), order, row.theory]);
    }),
  };
}

/** @type {Record<string, string>} the page's typographic characters in ASCII */
const ASCII = { "−": "-", "–": "-", "…": "...", "×": "x", "“": '"', "”": '"' };
function csvCell(/** @type {number | string | null} */ v) {
  if (v === null) return "";
  const s = typeof v === "number" ? show(v) : v.replace(/[−–…×“”]/g, (c) => ASCII[c] ?? c);
  return /[",\r\n]/.test(s) ? `"${s.replaceAll('"', '""')}"` : s;
}
/**
 * A table as CSV (RFC 4180), each double followed by its bits in hexadecimal; ASCII where its
 * words allow, else UTF-8 with a byte-order mark, so a spreadsheet guessing the encoding reads it.
 */
export function toCsv(/** @type {Table} */ t, /** @type {(head: string) => string} */ bitsHead) {
  const withBits = (/** @type {(number | string | null)[]} */ row, /** @type {(v: any) => string | null} */ bits) =>
    row.flatMap((v, k) => (t.doubles.includes(k) ? [v, bits(v)] : [v]));
  const records = [
    ...t.about,
    withBits(t.heads, (head) => bitsHead(head)),
    ...t.rows.map((row) => withBits(row, (v) => (typeof v === "number" ? bitsOf(v) : null))),
  ];
  const text = records.map((row) => row.map(csvCell).join(",")).join("\r\n") + "\r\n";
  return /^[ -~\r\n]*$/.test(text) ? text : `\ufeff${text}`;
}

/** A number in LaTeX's math mode, all its digits: 1.5e-7 as 1.5\times10^{-7}. */
export function latexNumber(/** @type {number} */ x) {
  if (Number.isNaN(x)) return "\\mathrm{NaN}";
  if (!Number.isFinite(x)) return x > 0 ? "\\infty" : "-\\infty";
  const [mantissa, power] = show(x).split("e");
  return power === undefined ? mantissa : `${mantissa}\\times10^{${Number(power)}}`;
}
/** @type {Record<string, string>} */
const LATEX = { "\\": "\\textbackslash{}", "~": "\\textasciitilde{}", "^": "\\textasciicircum{}" };
/** A word in LaTeX's text mode. */
const latexText = (/** @type {string} */ s) =>
  s
    .replace(/[\\{}$&#%_^~]/g, (c) => LATEX[c] ?? `\\${c}`)
    .replaceAll("−", "$-$")
    .replaceAll("–", "--");
/** A table as a LaTeX tabular, numbers in math mode, right-aligned, after a comment saying what it is. */
export function toLatex(/** @type {Table} */ t, /** @type {string} */ about) {
  const cell = (/** @type {number | string | null} */ v) =>
    v === null ? "" : typeof v === "number" ? `$${latexNumber(v)}$` : latexText(v);
  return [
    `% ${about.replace(/[\r\n]+/g, " ")}`,
    `\\begin{tabular}{${"r".repeat(t.heads.length)}}`,
    `${t.heads.map(latexText).join(" & ")} \\\\`,
    "\\hline",
    ...t.rows.map((row) => `${row.map(cell).join(" & ")} \\\\`),
    "\\end{tabular}",
    "",
  ].join("\n");
}
