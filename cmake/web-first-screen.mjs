// The learner's page's first screen, made when the page is built, by the
// page's own code against the program's own .wasm: the program's output and
// exit status, and the idea's picture from the program's nodes.  The page
// shows them at once, and runs the program again to confirm them.
//
//   node cmake/web-first-screen.mjs PROGRAM.wasm PROGRAM.json OUTDIR
//
// writes OUTDIR/output.html, status.txt, run.txt, swap.html and swap-size.txt,
// each text as the page's template takes it (HTML-escaped).

import { readFileSync, writeFileSync } from "node:fs";
import { loadProgram } from "../web/core/program.js";
import { compute, modelOf } from "../web/core/sweep.js";
import { PROGRAM_TEXT, functionOf } from "../web/core/functions.js";
import { RUN } from "../web/core/sentences/nodes.js";
import { swapDrawing } from "../web/swap.js";
import { markupOf } from "../web/shapes.js";

const [wasm, json, out] = process.argv.slice(2);
const data = JSON.parse(readFileSync(json, "utf8"));
const program = loadProgram(readFileSync(wasm), data.exports);
const model = modelOf(program, data.nodes);
const run = program.run();
const fn = functionOf(model.presets, program.exp, PROGRAM_TEXT, model.nodes);
if ("error" in fn) throw new Error("the program's f parses");
const r = compute(model, { nodes: model.nodes, exp: "wasm", shown: 0, fn });
const drawing = swapDrawing(r);
const escape = (/** @type {string} */ s) =>
  s.replace(/[&<>]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;" })[c] ?? c);
writeFileSync(`${out}/output.html`, escape(run.stdout + run.stderr));
writeFileSync(`${out}/status.txt`, String(run.status));
writeFileSync(`${out}/run.txt`, escape(RUN.built));
writeFileSync(`${out}/swap.html`, markupOf(drawing));
writeFileSync(
  `${out}/swap-size.txt`,
  `width="${drawing.width}" height="${drawing.height}" viewBox="0 0 ${drawing.width} ${drawing.height}"`,
);
