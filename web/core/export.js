// The tableau and the iterations as files to take away: CSV, and a LaTeX
// tabular.  Every number with all its digits, the shortest decimal that
// reads back to the same double, as the page shows it; in the CSV each
// double also by its bits (a spreadsheet keeps 15 significant digits of
// the 17 a double may need), after what the table is of: f, the nodes,
// the page's link.  Nothing here touches the DOM.

import { bitsOf, show } from "./numbers.js";

/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {import("./iterations.js").IterationRow} IterationRow */
/**
 * A table to write: what it is of (records of a name and a value), its
 * column heads and rows, a cell a number, a word, or empty (null), and
 * the columns that hold doubles.
 * @typedef {{about: [string, string][], heads: string[], rows: (number | string | null)[][], doubles: number[]}} Table
 */

/**
 * The tableau as shown: i, y_i, then Q[i][0] … Q[i][n-1]; an entry not
 * yet computed at this step, or above the diagonal, is empty.
 * @param {Result} r
 * @param {string[]} heads its column heads, as the page words them
 * @param {[string, string][]} about what the table is of
 * @returns {Table}
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
 * The iterations table: each p_k with its error, its ulps from the root,
 * its correct digits, f(p_k) with the exponential chosen, and the orders
 * of convergence (empty where the errors are rounding's).
 * On paper, what an A4 page's width holds: k, p_k with all its digits,
 * its error and f(p_k) to three significant digits and the estimated
 * order to three decimals, as the page shows them, and its correct digits.
 * @param {IterationRow[]} rows
 * @param {string[]} heads its column heads, as the page words them
 * @param {[string, string][]} about what the table is of
 * @param {boolean} [paper] for a page's width
 * @returns {Table}
 */
export function iterationsTable(rows, heads, about, paper = false) {
  const keep = paper ? [0, 1, 2, 4, 5, 6] : [0, 1, 2, 3, 4, 5, 6, 7],
    pick = (/** @type {(number | string | null)[]} */ cells) => keep.map((k) => cells[k]);
  return {
    about,
    heads: keep.map((k) => heads[k]),
    doubles: keep.flatMap((k, m) => ([1, 2, 3, 5, 6, 7].includes(k) ? [m] : [])),
    rows: rows.map((row) => {
      const short = (/** @type {number} */ v) => (paper && Number.isFinite(v) ? Number(v.toPrecision(3)) : v);
      const order = paper && row.order !== null ? Number(row.order.toFixed(3)) : row.order;
      return pick([row.k, row.p, short(row.error), row.ulps, row.digits, short(row.residual), order, row.theory]);
    }),
  };
}

/** @type {Record<string, string>} the typographic characters the page's words use, as ASCII for a CSV file */
const ASCII = { "−": "-", "–": "-", "…": "...", "×": "x", "“": '"', "”": '"' };
/** A cell as CSV: a number's shortest decimal, a word quoted where it must be. */
function csvCell(/** @type {number | string | null} */ v) {
  if (v === null) return "";
  const s = typeof v === "number" ? show(v) : v.replace(/[−–…×“”]/g, (c) => ASCII[c] ?? c);
  return /[",\r\n]/.test(s) ? `"${s.replaceAll('"', '""')}"` : s;
}
/**
 * A table as CSV (RFC 4180: CRLF between records): what it is of, a
 * record each, then its heads and rows, each double followed by its bits
 * (16 hexadecimal digits); in ASCII where its words allow, so that a
 * spreadsheet that guesses the encoding reads it; else UTF-8 with a
 * byte-order mark, which tells it.
 * @param {Table} t
 * @param {(head: string) => string} bitsHead the head of a column of bits
 */
export function toCsv(t, bitsHead) {
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

/** A number in LaTeX's math mode: 1.5e-7 as 1.5\times10^{-7}, all its digits kept. */
export function latexNumber(/** @type {number} */ x) {
  if (Number.isNaN(x)) return "\\mathrm{NaN}";
  if (!Number.isFinite(x)) return x > 0 ? "\\infty" : "-\\infty";
  const [mantissa, power] = show(x).split("e");
  return power === undefined ? mantissa : `${mantissa}\\times10^{${Number(power)}}`;
}
/** A word in LaTeX's text mode, the characters LaTeX reserves escaped. */
function latexText(/** @type {string} */ s) {
  return s
    .replace(/[\\{}$&#%_^~]/g, (c) =>
      c === "\\"
        ? "\\textbackslash{}"
        : c === "~"
          ? "\\textasciitilde{}"
          : c === "^"
            ? "\\textasciicircum{}"
            : `\\${c}`,
    )
    .replaceAll("−", "$-$")
    .replaceAll("–", "--");
}
/**
 * A table as a LaTeX tabular, numbers in math mode, right-aligned, the
 * heads over a rule; a comment line first saying what it is.
 * @param {Table} t
 * @param {string} about
 */
export function toLatex(t, about) {
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
