// What the unit tests of the page's core share: the table of recorded
// values, the built .wasm run outside the page's code, and the program and
// its model as the page loads them.
//
//   INVERSE_NEVILLE_WASM=out/wasi/web/inverse_neville.wasm \
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/

import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { bitsOf, exportsOf, fromBits, readRecorded, wasmSweep } from "../recorded.mjs";
import { loadProgram } from "../../../web/core/program.js";
import { compute, modelOf, replay, shownStep } from "../../../web/core/sweep.js";
import { parseFragment } from "../../../web/core/fragment.js";
import { PROGRAM_TEXT, functionOf } from "../../../web/core/functions.js";
import { compile } from "../../../web/core/walk.js";
import { doubles } from "../../../web/core/doubles.js";
import { parse } from "../../../web/core/expression.js";
import { steps } from "../../../web/core/precise.js";
import { theoreticalOrder } from "../../../web/core/numbers.js";
import { stepRule } from "../../../web/core/sentences/step.js";

export const wasmPath = process.env.INVERSE_NEVILLE_WASM;
assert.ok(wasmPath, "INVERSE_NEVILLE_WASM names the built .wasm");
/** @type {typeof import("fast-check")} */
export const fc = createRequire(`${process.env.INVERSE_NEVILLE_NODE_MODULES}/`)("fast-check");
export const recorded = readRecorded(new URL("../../recorded.tsv", import.meta.url).pathname);
/** The .wasm's own Qij and exp, and the sweep through them, outside the page's code. */
export const outside = wasmSweep(wasmPath, recorded);
export const program = loadProgram(readFileSync(wasmPath), exportsOf(wasmPath));
export const model = modelOf(
  program,
  recorded.nodes.map((n) => ({ x: bitsOf(n.x), y: bitsOf(n.y) })),
);
/** The functions the page offers, the program's first, over the program's nodes. */
export const presets = model.presets;
/**
 * The function a text stands for over these nodes, as the page takes it.
 * @param {string} text
 * @param {readonly number[]} nodes
 */
export function fnOf(text, nodes) {
  const got = functionOf(presets, program.exp, text, nodes);
  assert.ok(!("error" in got), `${text}: ${JSON.stringify(got)}`);
  return got;
}
/** The program's f, as the page shows it first. */
export const fn = fnOf(PROGRAM_TEXT, model.nodes);
assert.ok(fn.root, "the program's f has its root");
/** The program's f's true root, a double-double: fn.root, known. */
export const fnRoot = fn.root;
/** The double nearest the program's root. */
export const root = fnRoot.hi;
/**
 * A text's tree, which it must have.
 * @param {string} text
 */
export function treeOf(text) {
  const { tree, error } = parse(text);
  assert.ok(tree, `${text}: ${JSON.stringify(error)}`);
  return tree;
}
/**
 * f in the browser's doubles, from its text or tree.
 * @param {string | import("../../../web/core/expression.js").Tree} f
 */
export const inDoubles = (f) => compile(typeof f === "string" ? treeOf(f) : f, doubles());
/**
 * The page's result for these nodes, all steps shown.
 * @param {number[]} nodes
 * @param {import("../../../web/core/sweep.js").ExpName} [exp]
 * @param {import("../../../web/core/functions.js").Fn} [f]
 */
export const resultOf = (nodes, exp = "wasm", f = fn) => compute(model, { nodes, exp, shown: Infinity, fn: f });
/**
 * A sentence's text alone, subscripts written after an underscore.
 * @param {import("../../../web/core/sentences/parts.js").Part[]} parts
 */
export function plain(parts) {
  return parts
    .map((part) =>
      typeof part === "string" ? part : "sub" in part ? `_${part.sub}` : "strong" in part ? part.strong : part.text,
    )
    .join("");
}
/**
 * A line of the rule of the step r shows, as plain text; at counts from the end where negative, as Array.at.
 * @param {import("../../../web/core/sweep.js").Result} r
 * @param {number} at
 */
export function ruleLine(r, at) {
  const line = stepRule(r, shownStep(r), { hidden: false, digits: 0 }).at(at);
  assert.ok(line, `the step's rule has a line ${at}`);
  return plain(line);
}
/** The program's p. */
export const p = fromBits(recorded.entries[recorded.entries.length - 1].bits);

/**
 * The many-digit iteration from these nodes, its rows and its stop taken one next() at a time, as the page
 * takes them; the program's f unless another is given; and the theoretical order.
 * @param {readonly number[]} xs
 * @param {Partial<import("../../../web/core/precise.js").Options>} [options]
 */
export function converge(xs, options = {}) {
  const run = steps(xs, { ...options, fn: options.fn ?? { tree: fn.tree, root: fnRoot } });
  /** @type {import("../../../web/core/precise.js").Row[]} */
  const rows = [];
  for (let next = run.next(); ; next = run.next()) {
    if (next.done) return { rows, stop: next.value, theory: theoreticalOrder(xs.length) };
    rows.push(next.value);
  }
}

/**
 * The state a link brings back, as the page makes it: the function over the nodes Iterate started from and
 * those it reached, the iterates made again, the result, and the choice Iterate steps from.
 * @param {string} hash
 */
export function stateOf(hash) {
  const s = parseFragment(hash, presets);
  assert.ok(s && s.error === undefined, `${hash} brings back a state`);
  const made = replay(model, { nodes: s.nodes, exp: s.exp, shown: s.step, fn: fnOf(s.f, s.nodes) }, s.iterates),
    own = functionOf(presets, program.exp, s.f, s.nodes, made.nodes);
  assert.ok(!("error" in own), hash);
  const choice = { nodes: made.nodes, exp: s.exp, shown: s.step, fn: own, iterates: made.iterates };
  const r = compute(model, choice);
  return { link: s, r, ps: made.iterates.length ? made.iterates : [r.p], choice };
}
