// The learner's page's first screen, made when the page is built, by the
// page's own code against the program's own .wasm: the idea's picture,
// from the program's f and nodes, which the page then shows before its
// script has run.
//
//   node cmake/web-first-screen.mjs PROGRAM.wasm PROGRAM.json OUTDIR
//
// writes OUTDIR/swap.html and swap-size.txt, as the page's template takes them.

import { readFileSync, writeFileSync } from "node:fs";
import { loadProgram } from "../web/core/program.js";
import { compute, modelOf } from "../web/core/sweep.js";
import { PROGRAM_TEXT, functionOf } from "../web/core/functions.js";
import { swapDrawing } from "../web/swap.js";
import { markupOf } from "../web/shapes.js";

const [wasm, json, out] = process.argv.slice(2);
const data = JSON.parse(readFileSync(json, "utf8"));
const program = loadProgram(readFileSync(wasm), data.exports);
const model = modelOf(program, data.nodes);
const fn = functionOf(model.presets, program.exp, PROGRAM_TEXT, model.nodes);
if ("error" in fn) throw new Error("the program's f parses");
const drawing = swapDrawing(compute(model, { nodes: model.nodes, exp: "wasm", shown: 0, fn }));
writeFileSync(`${out}/swap.html`, markupOf(drawing));
writeFileSync(
  `${out}/swap-size.txt`,
  `width="${drawing.width}" height="${drawing.height}" viewBox="0 0 ${drawing.width} ${drawing.height}"`,
);
