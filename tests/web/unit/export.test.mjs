// The tableau and the iterations taken away: CSV and LaTeX, read back to the doubles they hold.

import assert from "node:assert/strict";
import { test } from "node:test";
import { bitsOf, fromBits, same } from "../recorded.mjs";
import { show, theoreticalOrder } from "../../../web/core/numbers.js";
import { compute, replay } from "../../../web/core/sweep.js";
import { iterationsTable, latexNumber, tableauTable, toCsv, toLatex } from "../../../web/core/export.js";
import { iterationRows } from "../../../web/core/iterations.js";
import { errorOf } from "../../../web/core/accuracy.js";
import { ITERATION_HEADS, iterationCells } from "../../../web/core/sentences/iterations.js";
import { tableauHeads } from "../../../web/core/sentences/step.js";
import { bitsHead } from "../../../web/core/sentences/export.js";
import { fc, fn, fnRoot, model, outside, program, resultOf } from "./context.mjs";

/**
 * A CSV reader of RFC 4180's own, to read the files back: quoted fields
 * with doubled quotes, CRLF between records.
 * @param {string} text
 * @returns {string[][]}
 */
function readCsv(text) {
  /** @type {string[][]} */
  const rows = [[]];
  let field = "",
    quoted = false;
  for (let k = 0; k < text.length; k++) {
    const c = text[k];
    if (quoted) {
      if (c === '"' && text[k + 1] === '"') ((field += '"'), k++);
      else if (c === '"') quoted = false;
      else field += c;
    } else if (c === '"') quoted = true;
    else if (c === ",") (rows[rows.length - 1].push(field), (field = ""));
    else if (c === "\r" && text[k + 1] === "\n") (rows[rows.length - 1].push(field), (field = ""), rows.push([]), k++);
    else field += c;
  }
  assert.equal(field, "", "the last record ends with CRLF");
  assert.deepEqual(rows.pop(), []);
  return rows;
}
/** What the tables here are said to be of. */
const ABOUT = /** @type {[string, string][]} */ ([
  ["f(x)", "exp(-2*x) - x"],
  ["link", "https://example.org/page.html#nodes=0.3,0.4"],
]);
/**
 * A CSV the page writes, read back: the records of what it is of, then the table with each column of bits
 * checked against the column of doubles before it and left out.
 * @param {string} text
 */
function readTable(text) {
  const all = readCsv(text),
    about = all.slice(0, ABOUT.length),
    [heads, ...rows] = all.slice(ABOUT.length);
  assert.deepEqual(about, ABOUT);
  const bits = heads.flatMap((h, k) => (h.endsWith(", bits") ? [k] : []));
  assert.ok(bits.length > 0, "columns of bits");
  for (const k of bits) {
    assert.equal(heads[k], `${heads[k - 1]}, bits`);
    for (const row of rows) {
      // a NaN's own bits, whatever its sign and payload; any other double's, exactly
      const nan = row[k - 1] === "NaN" && Number.isNaN(fromBits(row[k]));
      assert.ok(nan || row[k] === (row[k - 1] === "" ? "" : bitsOf(Number(row[k - 1]))), `${row[k - 1]}: ${row[k]}`);
    }
  }
  const kept = (/** @type {string[]} */ row) => row.filter((_, k) => !bits.includes(k));
  return [kept(heads), ...rows.map(kept)];
}
// the numbers of a LaTeX row, $...$ each, back as doubles; an empty cell as null
const latexCells = (/** @type {string} */ line) =>
  line
    .replace(/ \\\\$/, "")
    .split(" & ")
    .map((c) =>
      c === "" ? null : /^\$.*\$$/.test(c) ? Number(c.slice(1, -1).replace(/\\times10\^\{(-?\d+)\}/, "e$1")) : c,
    );

test("the tableau and the iterations as CSV and LaTeX: read back, the sweep's and the iterates' doubles", () => {
  const bits = (/** @type {number | string | null} */ v) =>
    v === null ? null : Number.isNaN(v) ? "NaN" : bitsOf(Number(v));
  /** @type {[nodes: number[], step: number, count: number][]} */
  const cases = [
    [model.nodes, Infinity, 2],
    [[0.3, 0.45, 0.6], 1, 2],
    [[0, 1], 0, 4],
    [[0.3, 0.3], Infinity, 0],
  ];
  for (const [nodes, step, count] of cases) {
    const made = replay(model, { nodes, exp: "wasm", shown: step, fn }, count),
      r = compute(model, { nodes: made.nodes, exp: "wasm", shown: step, fn }),
      Q = outside.sweep(made.nodes),
      shownSteps = r.steps.slice(0, r.shown);
    // what the tableau must hold: y, x, and each entry shown, from the .wasm outside the page
    const want = made.nodes.map((x, i) => [
      i,
      outside.yOf(x),
      x,
      ...made.nodes.slice(1).map((_, m) => (shownSteps.some((s) => s.i === i && s.j === m + 1) ? Q[i][m + 1] : null)),
    ]);
    const csv = readTable(toCsv(tableauTable(r, tableauHeads(r.pts.length), ABOUT), bitsHead)),
      tex = toLatex(tableauTable(r, tableauHeads(r.pts.length), ABOUT), "the tableau").split("\n");
    assert.deepEqual(csv[0], ["i", "y_i", ...made.nodes.map((_, j) => `Q[i][${j}]`)]);
    assert.deepEqual(
      csv.slice(1).map((row) => row.map((c) => (c === "" ? null : bits(Number(c))))),
      want.map((row) => row.map(bits)),
      `${nodes} at step ${step}: the CSV`,
    );
    assert.deepEqual(tex.slice(0, 2), ["% the tableau", `\\begin{tabular}{${"r".repeat(nodes.length + 2)}}`]);
    assert.deepEqual(
      tex.slice(4, -2).map((line) => latexCells(line).map(bits)),
      want.map((row) => row.map(bits)),
      `${nodes} at step ${step}: the LaTeX`,
    );
    // the iterations: p_k as clicks make them, their errors, and f(p_k) by the .wasm's exp
    const ps = made.iterates.length ? made.iterates : [r.p];
    // an order at k = 2 where there are three iterates, as the many-digit table gives them
    const orders = [null, null, 2.0559],
      theory = theoreticalOrder(nodes.length);
    const rowsMade = iterationRows(ps, fn.f.wasm, fn.root, orders, theory);
    const rows = readTable(toCsv(iterationsTable(rowsMade, ITERATION_HEADS, ABOUT), bitsHead)).slice(1);
    // on paper: p_k to all its digits, its error and f(p_k) to three, as the page shows them, within A4's width
    const paper = toLatex(iterationsTable(rowsMade, ITERATION_HEADS, ABOUT, true), "the iterations").split("\n");
    paper.slice(4, -2).forEach((line, k) => {
      const [kk, p, e, , f, order] = latexCells(line);
      assert.deepEqual([kk, p], [k, ps[k]]);
      assert.ok(e === null || Object.is(e, Number(errorOf(ps[k], fnRoot).toPrecision(3))), `${line}`);
      assert.ok(f === null || Object.is(f, Number(rowsMade[k].residual.toPrecision(3))), `${line}`);
      assert.equal(order, rowsMade[k].order === null ? null : Number(rowsMade[k].order?.toFixed(3)), line);
      // what a reader sees of the row, the math typeset, in characters: at 10 pt, 345 pt of an A4 page's text
      const seen = line
        .replace(/\\times10\^\{(-?\d+)\}/g, "×10$1")
        .replace(/[$\\]/g, "")
        .replace(/ & /g, "   ");
      assert.ok(seen.length <= 72, `${seen.length} characters: ${seen}`);
    });
    const shownRows = iterationRows(ps, (x) => program.exp(-2.0 * x) - x, fn.root, orders, theory).map(iterationCells);
    rows.forEach((row, k) => {
      const [, p, e, digits, f, order, theory] = row;
      // the error against the true root, not its double
      assert.ok(same(Number(p), ps[k]) && same(Number(e), errorOf(ps[k], fnRoot)), `p_${k}`);
      assert.ok(same(Number(f), outside.exp(-2.0 * ps[k]) - ps[k]), `f(p_${k})`);
      // the page's own cells, each this number to fewer digits
      const page = shownRows[k];
      assert.deepEqual(
        [digits || "–", order === "" ? "–" : Number(order).toFixed(3), Number(theory).toFixed(3)],
        [page[3], page[5], page[6]],
      );
    });
    assert.equal(rows.length, ps.length);
  }
});

test("every CSV is ASCII, typographic signs written as ASCII, or else UTF-8 opened by a byte-order mark", () => {
  const r = resultOf(model.nodes);
  for (const table of [
    tableauTable(r, tableauHeads(r.pts.length), ABOUT),
    iterationsTable(iterationRows([r.p, NaN], fn.f.wasm, fn.root, [], null), ITERATION_HEADS, ABOUT),
  ]) {
    assert.match(toCsv(table, bitsHead), /^[ -~\r\n]*$/);
  }
  assert.match(toCsv(iterationsTable([], ITERATION_HEADS, []), bitsHead), /^k,p_k,"p_k, bits",p_k - root,/);
  const plainTable = (/** @type {string[]} */ heads, /** @type {string[][]} */ rows) => ({
    about: [],
    heads,
    rows,
    doubles: [],
  });
  assert.equal(toCsv(plainTable(["x − y…"], [["×“”–"]]), bitsHead), 'x - y...\r\n"x""""-"\r\n');
  assert.equal(toCsv(plainTable(["π"], []), bitsHead), "\ufeffπ\r\n");
});

test("CSV and LaTeX of any doubles and words: each read back as it was written", () => {
  const cell = fc.oneof(
    fc.double(),
    fc.constant(null),
    fc.string({ maxLength: 12 }).filter((s) => s !== ""),
  );
  fc.assert(
    fc.property(fc.array(fc.array(cell, { minLength: 3, maxLength: 3 }), { maxLength: 6 }), (rows) => {
      const back = readCsv(toCsv({ about: [], heads: ["a", "b,c", 'd"e'], rows, doubles: [] }, bitsHead));
      const asRead = (/** @type {number | string | null} */ v) =>
        v === null ? "" : typeof v === "number" ? show(v) : v;
      assert.deepEqual(back, [["a", "b,c", 'd"e'], ...rows.map((row) => row.map(asRead))]);
    }),
  );
  fc.assert(
    fc.property(fc.double({ noNaN: true, noDefaultInfinity: true }), (x) => {
      const t = latexNumber(x).replace(/\\times10\^\{(-?\d+)\}/, "e$1");
      return Object.is(Number(t), x);
    }),
  );
  assert.deepEqual([NaN, Infinity, -Infinity, 1.5e-7].map(latexNumber), [
    "\\mathrm{NaN}",
    "\\infty",
    "-\\infty",
    "1.5\\times10^{-7}",
  ]);
  assert.equal(
    toLatex({ about: [], heads: ["p_k − root", "100%"], rows: [], doubles: [] }, "x").split("\n")[2],
    "p\\_k $-$ root & 100\\% \\\\",
  );
});
