// What the page's browser tests checked once and needs no browser: the
// built page's size, and the p each link's nodes give through the page's
// own reading of the link and its sweep, against the program's tableau as
// tests/recorded.tsv records it where the nodes are the program's, else
// against the .wasm's sweep run outside the page's code
// (tests/web/recorded.mjs); and a prediction as typed, read and scored.
// Under Node's test runner, as the other unit tests:
//
//   INVERSE_NEVILLE_WASM=out/wasi/web/inverse_neville.wasm \
//   INVERSE_NEVILLE_PAGE=out/wasi/inverse_neville-1.0.0.html node --test tests/web/unit/

import assert from "node:assert/strict";
import { statSync } from "node:fs";
import { test } from "node:test";
import { bitsOf, same } from "../recorded.mjs";
import { parseFragment } from "../../../web/core/fragment.js";
import { guessDecimals, guessOf } from "../../../web/core/predict.js";
import { model, outside, recorded, resultOf } from "./context.mjs";

/** A path the environment names, or a failure that says which. */
function named(/** @type {string} */ variable) {
  const path = process.env[variable];
  assert.ok(path, `${variable} names a file of the build`);
  return path;
}

test("the page, with its script and the .wasm in it, is at most 150 KB", () => {
  const size = statSync(named("INVERSE_NEVILLE_PAGE")).size;
  assert.ok(size <= 150 * 1024, `${size} bytes`);
});

test("a link's nodes, read and swept by the page's core, give the program's recorded tableau, else the p a sweep through the .wasm gives, bit for bit", () => {
  // Nodes x_(i-j) .. x_i of the program's, swept alone, give its Q[i][j]: each entry tests/recorded.tsv holds is
  // the p of a link, however the link writes them.  Other nodes' tableaux are recorded nowhere: for them, the
  // .wasm's own sweep outside the page's code.
  /** @type {[hash: string, xs: number[], entry?: [i: number, j: number]][]} */
  const links = [
    ["0.3,0.4", [0.3, 0.4], [1, 1]],
    ["0.4,0.5", [0.4, 0.5], [2, 1]],
    ["0.5,0.6", [0.5, 0.6], [3, 1]],
    ["0.3,0.4,0.5", [0.3, 0.4, 0.5], [2, 2]],
    [".4,+0.5,6E-1", [0.4, 0.5, 0.6], [3, 2]],
    ["0.3,0.4,0.5,0.6", [0.3, 0.4, 0.5, 0.6], [3, 3]],
    ["0.29999999999999999,0.40,5e-1,0.6", [0.3, 0.4, 0.5, 0.6], [3, 3]],
    ["1,0.5", [1, 0.5]],
    ["1e+0,0.5", [1, 0.5]],
    ["0.2,0.35,0.5,0.65,0.8", [0.2, 0.35, 0.5, 0.65, 0.8]],
    ["0,1", [0, 1]],
    ["0.3,0.3", [0.3, 0.3]],
    ["0.3,0.4,0.3", [0.3, 0.4, 0.3]],
    ["0,1e-20", [0, 1e-20]],
    ["0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8", [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8]],
  ];
  for (const [hash, xs, entry] of links) {
    const link = parseFragment(`#nodes=${hash}`, model.presets);
    assert.ok(link && link.error === undefined, `#nodes=${hash} is read`);
    assert.deepEqual(link.nodes, xs, `#nodes=${hash}`);
    const { p } = resultOf(link.nodes, link.exp);
    if (entry) {
      const [i, j] = entry,
        bits = recorded.entries.find((e) => e.i === i && e.j === j)?.bits;
      assert.equal(bitsOf(p), bits, `#nodes=${hash}: p = ${p}, the recorded Q[${i}][${j}] is 0x${bits}`);
    } else assert.ok(same(p, outside.pOf(xs)), `#nodes=${hash}: p = ${p}, the .wasm's sweep gives ${outside.pOf(xs)}`);
  }
});

test("a prediction as typed: read with a point, a comma or a typeset minus, refused where no double holds it, scored in decimals within half a unit", () => {
  const entry = 0.42630275100686277;
  /** @type {[string, number, number][]} */
  const cases = [
    ["0.4263", 0.4263, 5],
    ["0,43", 0.43, 2],
    ["0.42", 0.42, 1],
    [".5", 0.5, 0],
    ["−0.1", -0.1, 0],
    ["4.263e-1", 0.4263, 5],
    [String(entry), entry, 17],
  ];
  for (const [typed, read, decimals] of cases)
    assert.deepEqual([guessOf(typed), guessDecimals(read, entry)], [read, decimals], typed);
  for (const typed of ["abc", "1e400", "-1e400", "0.4.2", "", "0x1"]) assert.ok(Number.isNaN(guessOf(typed)), typed);
});
