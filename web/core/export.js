// The tableau and the iterations as files to take away: CSV, and a LaTeX
// tabular.  Every number with all its digits, the shortest decimal that
// reads back to the same double, as the page shows it.  Nothing here
// touches the DOM.

import { show } from "./numbers.js";

/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {import("./iterations.js").IterationRow} IterationRow */
/** A table to write: its column heads and rows, a cell a number, a word, or empty (null). */
/** @typedef {{heads: string[], rows: (number | string | null)[][]}} Table */

/**
 * The tableau as shown: i, y_i, then Q[i][0] … Q[i][n-1]; an entry not
 * yet computed at this step, or above the diagonal, is empty.
 * @param {Result} r
 * @param {string[]} heads its column heads, as the page words them
 * @returns {Table}
 */
export function tableauTable(r, heads) {
  const n = r.pts.length,
    shown = new Set(r.steps.slice(0, r.shown).map(({ i, j }) => `${i},${j}`));
  return {
    heads,
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
 * @param {IterationRow[]} rows
 * @param {string[]} heads its column heads, as the page words them
 * @returns {Table}
 */
export function iterationsTable(rows, heads) {
  return {
    heads,
    rows: rows.map((row) => [row.k, row.p, row.error, row.ulps, row.digits, row.residual, row.order, row.theory]),
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
 * A table as CSV (RFC 4180: CRLF between records), in ASCII where its
 * words allow, so that a spreadsheet that guesses the encoding reads it;
 * else UTF-8 with a byte-order mark, which tells it.
 */
export function toCsv(/** @type {Table} */ t) {
  const text = [t.heads, ...t.rows].map((row) => row.map(csvCell).join(",")).join("\r\n") + "\r\n";
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
