// The learner's page's core, under Node's own test runner, against the
// built .wasm's own Qij and exp:
//
//   INVERSE_NEVILLE_WASM=out/wasi/web/inverse_neville.wasm \
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/
//
// Each check here needs no browser: the program's run, the sweep bit for
// bit, the link's and the field's parsing (with fast-check), the
// iterations, Neville's estimate, the verdicts, the exponential's effect,
// and the CSV and LaTeX files read back.  What the page draws of them, the browser tests check.

import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { test } from "node:test";
import { bitsOf, doublesIterated, fromBits, readRecorded, same, wasmSweep } from "../recorded.mjs";
import { loadProgram } from "../../../web/core/program.js";
import { linspace, root, show, showTo, ticks } from "../../../web/core/numbers.js";
import { LIMITS, hashOf, parseFragment, parseNodes, stepsFor } from "../../../web/core/fragment.js";
import { compute, iterateOnce, modelOf, replay, weightsOf } from "../../../web/core/sweep.js";
import { iterationsTable, latexNumber, tableauTable, toCsv, toLatex } from "../../../web/core/export.js";
import {
  SAMPLES,
  ZOOM,
  curvesOf,
  drawable,
  errorCurve,
  labelWidth,
  nodeLabels,
  roundingBand,
  sample,
  topRanges,
  zoomOf,
} from "../../../web/core/plot.js";
import { doublesStop, orderRows, ordersCaption, ordersNote } from "../../../web/core/orders.js";
import { PRECISE, converge } from "../../../web/core/precise.js";
import {
  estimateText,
  expEffect,
  iterateNote,
  iterationRows,
  iterationsCaption,
  plain,
  qualityNote,
  stepRule,
  weight,
  zoomText,
} from "../../../web/core/sentences.js";

const wasmPath = process.env.INVERSE_NEVILLE_WASM;
assert.ok(wasmPath, "INVERSE_NEVILLE_WASM names the built .wasm");
const fc = createRequire(`${process.env.INVERSE_NEVILLE_NODE_MODULES}/`)("fast-check");
const recorded = readRecorded(new URL("../../recorded.tsv", import.meta.url).pathname);
const outside = wasmSweep(wasmPath, recorded);
const program = loadProgram(readFileSync(wasmPath));
const model = modelOf(
  program,
  recorded.nodes.map((n) => ({ x: bitsOf(n.x), y: bitsOf(n.y) })),
);
const resultOf = (nodes, exp = "wasm") => compute(model, { nodes, exp, shown: Infinity });
const p = fromBits(recorded.entries.at(-1).bits);

test("the program run from its bytes: its two lines and exit status 0", () => {
  assert.deepEqual(program.run(), { stdout: recorded.lines, stderr: "", status: 0 });
});

test("Qij and the sweep, bit for bit, and the true root", () => {
  for (const { args, bits } of recorded.qij) assert.equal(bitsOf(program.Qij(...args)), bits, `Qij(${args})`);
  const r = resultOf(model.nodes);
  for (const { i, j, bits } of recorded.entries) assert.equal(bitsOf(r.Q[i][j]), bits, `Q[${i}][${j}]`);
  assert.deepEqual(
    r.steps.map(({ i, j }) => [i, j]),
    recorded.entries.map(({ i, j }) => [i, j]),
  );
  assert.equal(bitsOf(root), recorded.root);
  // each number as the page writes it reads back to the same double, -0 too (0.9999999999999981,
  // 0.9999999999999983 give p = -0)
  for (const x of [-0, 0, p, 5e-324, 0.1, -1.5e300]) assert.ok(Object.is(Number(show(x)), x), show(x));
  assert.ok(Object.is(resultOf([0.9999999999999981, 0.9999999999999983]).p, -0));
  // the program's nodes keep the program's y whichever exponential is chosen
  assert.equal(resultOf(model.nodes, "browser").p, p);
});

test("the link and the field: good lists, and each bad one refused with what is wrong", () => {
  const good = { "1e+0,0.5": [1, 0.5], "0.3, 0.4": [0.3, 0.4], "0,1": [0, 1], ".5,+0.25,1E-3": [0.5, 0.25, 0.001] };
  for (const [text, xs] of Object.entries(good)) {
    assert.deepEqual(parseNodes(text), { xs }, text);
    assert.deepEqual(
      parseFragment(`#nodes=${text}`, model.nodes),
      { nodes: xs, iterates: 0, step: Infinity, exp: "wasm", refused: [] },
      text,
    );
  }
  // a first visit walks through from the start; a link opens at its step, else at the end
  for (const [hash, nodes, exp, step] of [
    ["", model.nodes, "wasm", 0],
    ["#step=3", model.nodes, "wasm", 3],
    ["#nodes=0.3,0.4&step=0", [0.3, 0.4], "wasm", 0],
    ["#exp=browser&step=1&nodes=0.3,0.4", [0.3, 0.4], "browser", 1],
    ["#nodes=0.3,0.4&exp=browser", [0.3, 0.4], "browser", Infinity],
  ]) {
    assert.deepEqual(parseFragment(hash, model.nodes), { nodes, iterates: 0, step, exp, refused: [] }, hash);
  }
  const long = "0." + "1".repeat(3000);
  const bad = {
    abc: /“abc” is not a number/,
    0.3: /One node/,
    "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9": /9 nodes/,
    "0.3,1.5": /\[0, 1\]; “1\.5”/,
    "0.3,,0.4": /nothing between comma 1 and comma 2/,
    "0.3,0.4,": /comma after the last/,
    ",0.3,0.4": /comma before the first/,
    "1e-400,0.5": /too small for a double/,
    [`0.3,${long}`]: /characters/,
    [`${"9".repeat(30)},0.2`]: /\(30 characters\)/,
    "0.3%ZZ": /percent-encoding/,
  };
  for (const [text, want] of Object.entries(bad)) {
    const got = parseFragment(`#nodes=${text}`, model.nodes);
    assert.match(got.error, want, text.slice(0, 40));
    assert.ok(got.error.length < 200, got.error);
  }
  assert.deepEqual(parseFragment("", model.nodes), {
    nodes: model.nodes,
    iterates: 0,
    step: 0,
    exp: "wasm",
    refused: [],
  });
  assert.equal(parseFragment("#tableau-section", model.nodes), null, "an anchor is not a state");
});

test("a link's other fields: each that cannot be used is left out and said, the rest used", () => {
  const n = "nodes=0.3,0.4,0.5";
  // the fragment, what is used of it, and what is said of the rest
  const cases = [
    [`${n}&iterates=2&step=1&exp=browser`, { iterates: 2, step: 1, exp: "browser" }, []],
    [`${n}&iterates=0&step=0&exp=wasm`, { iterates: 0, step: 0, exp: "wasm" }, []],
    [`${n}&step=3`, { step: 3 }, []],
    ["iterates=1&step=6", { nodes: model.nodes, iterates: 1, step: 6 }, []],
    [`${n}&step=4`, {}, [/step, 4, is more than the 3 steps 3 nodes have.*shows all 3/]],
    [`${n}&step=-1`, {}, [/step, “-1”, is not a whole number of steps/]],
    [`${n}&step=1.5&exp=browser`, { exp: "browser" }, [/step, “1\.5”, is not a whole number/]],
    [
      `${n}&iterates=abc&step=2`,
      { step: 2 },
      [/iterates, “abc”, is not a whole number of Iterates.*without iterating/],
    ],
    [`${n}&iterates=1000`, {}, [/iterates, 1000, is more than the 50 Iterates a link may ask for/]],
    [`${n}&iterates=${"9".repeat(40)}`, {}, [/“9{20}…” \(40 characters\), is not a whole number/]],
    [`${n}&iterates=`, {}, [/iterates, “”, is not a whole number/]],
    [`${n}&exp=foo&step=2`, { step: 2 }, [/exp, “foo”, is neither “wasm” nor “browser”: the program's own is used/]],
    [`${n}&foo=1&iterates=3`, { iterates: 3 }, [/holds “foo”; this page reads only nodes=, iterates=, step= and exp=/]],
    [`${n}&step=%ZZ&exp=q`, {}, [/“step” is not valid percent-encoding/, /exp, “q”/]],
  ];
  for (const [hash, used, said] of cases) {
    const got = parseFragment(`#${hash}`, model.nodes);
    assert.deepEqual(
      { nodes: got.nodes, iterates: got.iterates, step: got.step, exp: got.exp },
      { nodes: [0.3, 0.4, 0.5], iterates: 0, step: Infinity, exp: "wasm", ...used },
      hash,
    );
    assert.equal(got.refused.length, said.length, `${hash}: ${got.refused}`);
    said.forEach((want, k) => assert.match(got.refused[k], want, hash));
    for (const m of got.refused) assert.ok(m.length < 200, m);
  }
});

test("a link's Iterates made again: the issue's two links, and a count past where doubles end", () => {
  // from 0, 1: four Iterates, five iterates, each what clicks make
  for (const [start, count, made] of [
    [[0, 1], 4, 4],
    [[0.3, 0.45, 0.6], 2, 2],
    [[0.3, 0.4, 0.5], 50, null],
  ]) {
    const s = { nodes: start, exp: "wasm", shown: Infinity },
      back = replay(model, s, count);
    let clicked = { ...s, iterates: [] };
    for (let k = 0; k < count; k++) {
      const next = iterateOnce(model, clicked, resultOf(clicked.nodes));
      if (next.refused !== undefined) break;
      clicked = { ...clicked, ...next };
    }
    assert.deepEqual(
      { nodes: back.nodes, iterates: back.iterates },
      { nodes: clicked.nodes, iterates: clicked.iterates },
    );
    if (made === null) {
      assert.match(back.refused, /asks for 50 Iterates; from these nodes only \d+ can be made: .*zero denominator/);
    } else {
      assert.equal(back.refused, undefined);
      assert.equal(back.iterates.length, made + 1);
    }
  }
});

test("random lists and links: every state comes back from its link, nothing else throws", () => {
  const nodes = fc.array(fc.double({ min: 0, max: 1, noNaN: true }), { minLength: 2, maxLength: 8 });
  const link = nodes.chain((xs) =>
    fc.record({
      nodes: fc.constant(xs),
      iterates: fc.nat(LIMITS.iterates),
      step: fc.oneof(fc.nat(stepsFor(xs.length)), fc.constant(Infinity)),
      exp: fc.constantFrom("wasm", "browser"),
    }),
  );
  fc.assert(
    fc.property(link, (s) => {
      const back = parseFragment(hashOf(s), model.nodes),
        step = s.step < stepsFor(s.nodes.length) ? s.step : Infinity;
      return (
        back.nodes.every((x, k) => Object.is(x, s.nodes[k] === 0 ? 0 : s.nodes[k])) &&
        back.nodes.length === s.nodes.length &&
        back.iterates === s.iterates &&
        back.step === step &&
        back.exp === s.exp &&
        back.refused.length === 0
      );
    }),
  );
  const pieces = [..."0123456789.,-+eE%& #=", "nodes=", "exp=wasm", "NaN", "Infinity", "1e-400", "١", "\u202e"];
  const text = fc.oneof(
    fc.string({ maxLength: 60 }),
    fc.array(fc.constantFrom(...pieces), { maxLength: 20 }).map((a) => a.join("")),
  );
  fc.assert(
    fc.property(text, (s) => {
      const field = parseNodes(s),
        link = parseFragment(`#nodes=${s}`, model.nodes);
      const fits = (xs) =>
        xs.length >= LIMITS.nodes[0] && xs.length <= LIMITS.nodes[1] && xs.every((x) => x >= 0 && x <= 1);
      return (
        (field.error ? field.error.length < 200 : fits(field.xs)) &&
        (link.error ? link.error.length < 200 : fits(link.nodes))
      );
    }),
    { numRuns: 2000 },
  );
});

test("iterations: each p as the .wasm gives it, the double nearest the root, and where doubles end", () => {
  for (const [start, steps, last] of [
    [model.nodes, 2, root],
    [[0.4, 0.5], 5, null],
    [[0.3, 0.4, 0.5], 9, null],
  ]) {
    let s = { nodes: start, exp: "wasm", shown: Infinity, iterates: [] },
      nodes = [...start],
      refused = "";
    for (let k = 0; k < steps; k++) {
      const next = iterateOnce(model, s, resultOf(s.nodes));
      const want = [...nodes.slice(1), outside.pOf(nodes)];
      if (!Number.isFinite(outside.pOf(want))) {
        assert.match(next.refused, /a zero denominator, and p would be NaN/);
        refused = next.refused;
        break;
      }
      assert.deepEqual(next.nodes, want);
      assert.ok(same(next.iterates.at(-1), outside.pOf(want)));
      nodes = want;
      s = { ...s, ...next };
    }
    const rows = iterationRows(s.iterates, start.length, program.exp);
    if (last !== null) assert.equal(s.iterates.at(-1), last, `from ${start}: the double nearest the root`);
    if (steps === 9) {
      assert.ok(refused, "from 0.3, 0.4, 0.5 the iteration ends with a refusal");
      assert.match(iterateNote(s.iterates, ""), /reached what double precision allows/);
    }
    assert.equal(rows.length, s.iterates.length);
    if (start.length === 2) {
      // at the root, Neville's estimate is rounding, not a ratio of errors
      const said = estimateText(resultOf(s.nodes));
      assert.match(said, /rounding/);
      assert.doesNotMatch(said, /Infinity/);
    }
  }
  assert.match(
    iterateOnce(model, { nodes: [0.3, 0.3], exp: "wasm", shown: 0, iterates: [] }, resultOf([0.3, 0.3])).refused,
    /NaN: there is nothing/,
  );
});

test("the orders of convergence: two nodes, t² = t + 1; orders only above rounding", () => {
  assert.match(iterationsCaption(2), /t² = t \+ 1\b/);
  assert.match(iterationsCaption(4), /1\.928.*t⁴ = t³ \+ t² \+ t \+ 1/);
  const secant = [0.4271860533532304, 0.42627326422367345, 0.42630276299151343, 0.42630275100702536, root];
  const orders = iterationRows(secant, 2, program.exp).map((row) => row[6]);
  assert.deepEqual(orders.slice(0, 2), ["–", "–"]);
  assert.ok(
    orders.slice(2, 4).every((o) => Number(o) > 1 && Number(o) < 3),
    String(orders),
  );
  assert.equal(orders[4], "–", "an error within rounding gives no order");
});

test("Neville's estimate: the last corrections against the true error", () => {
  const Q = outside.sweep(model.nodes),
    said = estimateText(resultOf(model.nodes));
  for (const v of [Math.abs(Q[3][3] - Q[3][2]), Math.abs(Q[3][3] - Q[2][2]), p - root]) {
    assert.ok(said.includes(v.toExponential(2)), `${v.toExponential(2)} in: ${said}`);
  }
  assert.match(said, /pessimistic/);
  assert.match(estimateText(resultOf([0.4, 0.400001])), /pessimistic|optimistic|about the true error/);
});

test("the verdicts: equal nodes, nearly equal nodes, a y within rounding of 0, extrapolation", () => {
  const cases = [
    ["0.3,0.3", /x0 and x1 are the same node, 0\.3.*y1 − y0 = 0.*Q\[1\]\[1\]/],
    ["0.3,0.4,0.3", /x0 and x2 are the same node.*Q\[2\]\[2\]/],
    ["0,1e-20", /differ, but their y round to the same double, 1/],
    ["0.2,0.20000000000000004", /rounding decides p here/],
    ["0.4,0.4000000000000001", /rounding decides p here/],
    ["0.3,0.4,0.4000000000000001,0.5", /rounding decides p here/],
    ["0.3,0.4,0.400000000001,0.5", /rounding decides p here/],
    ["0.4,0.400001", /^Extrapolation: .* The residual is f\(p\)/], // a good secant, judged
    ["0.4,0.45", /^The y_k straddle 0: this is interpolation\. The residual/],
    ["0.6,0.7", /^Extrapolation: the y_k do not straddle 0/],
    ["0.3,0.42630275100686277", /y1 = .* is within rounding of 0: x1 is the root .* for rounding to say/],
  ];
  for (const [text, want] of cases) {
    const r = resultOf(parseNodes(text).xs),
      note = plain(qualityNote(r));
    assert.match(note, want, `${text}: ${note}`);
    if (/same|decides|within rounding/.test(want.source))
      assert.doesNotMatch(note, /interpolation\.|Extrapolation/, text);
    else assert.doesNotMatch(note, /rounding/, text);
    if (/decides/.test(want.source)) assert.match(estimateText(r), /say nothing of the method/, text);
  }
});

test("the exponential's effect: the y that differ between the .wasm's exp and Node's Math.exp, and p", () => {
  for (const xs of [
    [0.05, 0.15, 0.25, 0.35, 0.384, 0.45, 0.55, 0.65],
    [0.3, 0.4, 0.5, 0.6],
    [0.3, 0.45],
  ]) {
    const r = resultOf(xs),
      said = expEffect(model, r, "wasm");
    const computed = xs.filter((x) => !recorded.nodes.some((n) => n.x === x));
    const differ = computed.filter((x) => !same(program.exp(-2.0 * x) - x, Math.exp(-2.0 * x) - x)).length;
    if (!computed.length) assert.match(said, /All these nodes are the program's own/);
    else if (differ)
      assert.match(
        said,
        new RegExp(`different y for ${differ} of the ${computed.length > 1 ? computed.length + " " : ""}computed`),
      );
    else assert.match(said, /gives the same .*computed y/);
    const other = resultOf(xs, "browser");
    if (differ)
      assert.match(said, Object.is(other.p, r.p) ? /p would be the same/ : new RegExp(`p would be ${other.p}`));
  }
});

// A CSV reader of RFC 4180's own, to read the files back: quoted fields
// with doubled quotes, CRLF between records.
function readCsv(text) {
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
    else if (c === ",") (rows.at(-1).push(field), (field = ""));
    else if (c === "\r" && text[k + 1] === "\n") (rows.at(-1).push(field), (field = ""), rows.push([]), k++);
    else field += c;
  }
  assert.equal(field, "", "the last record ends with CRLF");
  assert.deepEqual(rows.pop(), []);
  return rows;
}
// the numbers of a LaTeX row, $...$ each, back as doubles; an empty cell as null
const latexCells = (line) =>
  line
    .replace(/ \\\\$/, "")
    .split(" & ")
    .map((c) =>
      c === "" ? null : /^\$.*\$$/.test(c) ? Number(c.slice(1, -1).replace(/\\times10\^\{(-?\d+)\}/, "e$1")) : c,
    );

test("the tableau and the iterations as CSV and LaTeX: read back, the sweep's and the iterates' doubles", () => {
  const bits = (v) => (v === null ? null : Number.isNaN(v) ? "NaN" : bitsOf(v));
  for (const [nodes, step, count] of [
    [model.nodes, Infinity, 2],
    [[0.3, 0.45, 0.6], 1, 2],
    [[0, 1], 0, 4],
    [[0.3, 0.3], Infinity, 0],
  ]) {
    const made = replay(model, { nodes, exp: "wasm", shown: step }, count),
      r = compute(model, { nodes: made.nodes, exp: "wasm", shown: step }),
      Q = outside.sweep(made.nodes),
      shownSteps = r.steps.slice(0, r.shown);
    // what the tableau must hold: y, x, and each entry shown, from the .wasm outside the page
    const want = made.nodes.map((x, i) => [
      i,
      outside.yOf(x),
      x,
      ...made.nodes.slice(1).map((_, m) => (shownSteps.some((s) => s.i === i && s.j === m + 1) ? Q[i][m + 1] : null)),
    ]);
    const csv = readCsv(toCsv(tableauTable(r))),
      tex = toLatex(tableauTable(r), "the tableau").split("\n");
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
    const rows = readCsv(toCsv(iterationsTable(ps, nodes.length, program.exp))).slice(1);
    const shownRows = iterationRows(ps, nodes.length, program.exp);
    rows.forEach((row, k) => {
      const [, p, e, ulps, digits, f, order, theory] = row;
      assert.ok(same(Number(p), ps[k]) && same(Number(e), ps[k] - root), `p_${k}`);
      assert.ok(same(Number(f), outside.exp(-2.0 * ps[k]) - ps[k]), `f(p_${k})`);
      // the page's own cells, each this number to fewer digits
      const page = shownRows[k];
      assert.deepEqual(
        [ulps || "–", digits, order === "" ? "–" : Number(order).toFixed(3), Number(theory).toFixed(3)],
        [page[3], page[4], page[6], page[7]],
      );
    });
    assert.equal(rows.length, ps.length);
  }
});

test("CSV and LaTeX of any doubles and words: each read back as it was written", () => {
  const cell = fc.oneof(
    fc.double(),
    fc.constant(null),
    fc.string({ maxLength: 12 }).filter((s) => s !== ""),
  );
  fc.assert(
    fc.property(fc.array(fc.array(cell, { minLength: 3, maxLength: 3 }), { maxLength: 6 }), (rows) => {
      const back = readCsv(toCsv({ heads: ["a", "b,c", 'd"e'], rows }));
      const asRead = (v) => (v === null ? "" : typeof v === "number" ? show(v) : v);
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
    toLatex({ heads: ["p_k − root", "100%"], rows: [] }, "x").split("\n")[2],
    "p\\_k $-$ root & 100\\% \\\\",
  );
});

test("fewer digits, as the reader chooses: the shortest decimal of the rounded double, all of them by default", () => {
  for (const [x, digits, want] of [
    [0.4263336693654574, 4, "0.4263"],
    [0.4263336693654574, 6, "0.426334"],
    [0.4263336693654574, 0, "0.4263336693654574"],
    [0.3, 4, "0.3"],
    [-0.0000055238888965192245, 4, "-0.000005524"],
    [1.437551189198416e-10, 6, "1.43755e-10"],
    [0.99999, 4, "1"],
    [NaN, 4, "NaN"],
    [-Infinity, 6, "-Infinity"],
  ])
    assert.equal(showTo(x, digits), want, `${x} to ${digits}`);
});

test("the orders table: many digits to the theoretical order, and the doubles stopping where their ulp is reached", () => {
  const ulp = 2 ** -54; // a unit in the last place of the doubles in [0.25, 0.5), the root among them
  for (const [xs, theory, rowsWanted, stopWanted] of [
    [model.nodes, "1.928", 10, 2],
    [[0.3, 0.4, 0.5], "1.839", 10, 3],
    [[0.3, 0.4], "1.618", 6, 4],
    [[0, 1], "1.618", 9, 6],
  ]) {
    const run = converge(xs, PRECISE),
      d = doublesStop(model, { nodes: xs, exp: "wasm" }),
      rows = orderRows(run.rows, d);
    // the doubles as the .wasm gives them, iterated outside the page's code
    const outsideRun = doublesIterated(outside.pOf, xs, root);
    assert.deepEqual(d.ps, outsideRun.ps, `${xs}: the doubles' iterates`);
    assert.equal(d.step, stopWanted, `${xs}: the doubles stop at k = ${stopWanted}`);
    assert.equal(rows.length, rowsWanted, `${xs}: rows`);
    // they stop at the first row whose many-digit error is below an ulp of the root
    const firstBelow = run.rows.findIndex((r) => r.log10 < Math.log10(ulp));
    assert.equal(d.step, firstBelow, `${xs}: the doubles' stop against the many digits`);
    assert.deepEqual(
      rows.map((r) => r.stop),
      rows.map((_, k) => k === d.step),
      `${xs}: one row marked`,
    );
    for (const [k, { cells }] of rows.entries()) {
      assert.equal(cells[0], String(k));
      assert.equal(cells[1], run.rows[k].error);
      if (k > d.step) assert.equal(cells[3], "–");
      else
        assert.ok(
          cells[3].startsWith(
            Math.abs(d.ps[k] - root)
              .toExponential(2)
              .replace(/^0\.00e\+0$/, "0"),
          ),
        );
    }
    assert.match(rows.at(-1).cells[2], new RegExp(`^${theory.slice(0, 3)}`));
    const note = ordersNote(xs.length, run.rows, run.stop, d);
    assert.match(
      note,
      new RegExp(
        `^At k = ${rowsWanted - 1} the estimated order, ${rows.at(-1).cells[2]}, is within 0\\.005 of the theoretical ${theory}\\. The program's doubles stop at k = ${stopWanted}: `,
      ),
    );
    assert.match(ordersCaption(xs.length), new RegExp(`theoretical ${theory}\\. These digits are not the program's`));
  }
  // nodes that cannot be iterated: said, and no row
  for (const [xs, want] of [
    [
      [0.3, 0.3],
      /^x0 and x1 are the same node.*nothing to iterate\. The program's doubles have nothing to iterate: p0 is NaN/,
    ],
    [[0.3, 0.4, 0.3], /^x0 and x2 are the same node/],
  ]) {
    const run = converge(xs, PRECISE),
      d = doublesStop(model, { nodes: xs, exp: "wasm" });
    assert.equal(run.rows.length, 0);
    assert.match(ordersNote(xs.length, run.rows, run.stop, d), want);
  }
  // y that round to one double: the many digits iterate, the doubles cannot
  const run = converge([0, 1e-20], PRECISE),
    d = doublesStop(model, { nodes: [0, 1e-20], exp: "wasm" });
  assert.equal(run.stop.reason, "order");
  assert.deepEqual(orderRows(run.rows, d)[0].cells[3], "p0 = -Infinity, and they stop here");
  assert.match(ordersNote(2, run.rows, run.stop, d), /doubles have nothing to iterate: p0 is -Infinity/);
});

test("a step as weights: they add up to 1 and give the entry Qij made; the line at y = 0 marks each entry", () => {
  const eight = [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8];
  for (const xs of [model.nodes, [0.3, 0.4], [0.6, 0.7, 0.8], eight]) {
    const full = resultOf(xs);
    for (const [k, { i, j }] of full.steps.entries()) {
      const { hi, lo } = weightsOf(full.pts, i, j),
        made = hi * full.Q[i][j - 1] + lo * full.Q[i - 1][j - 1];
      assert.ok(Math.abs(hi + lo - 1) < 1e-12, `${xs}: Q[${i}][${j}]'s weights add up to ${hi + lo}`);
      assert.ok(
        Math.abs(made - full.Q[i][j]) < 1e-12,
        `${xs}: Q[${i}][${j}] = ${full.Q[i][j]}, the weights give ${made}`,
      );
      // y = 0 outside y_(i-j) .. y_i: a negative weight, and the rule says it extrapolates
      const outside = Math.sign(full.pts[i].y) === Math.sign(full.pts[i - j].y);
      assert.equal(hi < 0 || lo < 0, outside, `${xs}: Q[${i}][${j}]`);
      const r = { ...full, shown: k + 1 };
      assert.match(plain(stepRule(r).at(-2)), outside ? /one is negative.*extrapolates/ : /both lie in \[0, 1\]/);
      for (const width of [320, 720]) {
        const z = zoomOf(r, width);
        const roles = Object.fromEntries(
          z.points.filter((q) => q.role !== "old").map((q) => [q.role, `${q.i},${q.j}`]),
        );
        assert.deepEqual(
          roles,
          { new: `${i},${j}`, hi: `${i},${j - 1}`, lo: `${i - 1},${j - 1}` },
          `${xs} step ${k + 1}`,
        );
        // every entry made from column 1 on, and the step's parents, each at its value
        const want = full.steps.slice(0, k + 1).length + (j === 1 ? 2 : 0);
        assert.equal(z.points.length, want);
        for (const q of z.points) {
          assert.equal(q.x, q.j ? full.Q[q.i][q.j] : xs[q.i]);
          assert.ok(q.x >= z.xlim[0] && q.x <= z.xlim[1]);
          if (q.role !== "old") assert.ok(q.row >= 0, `${xs} step ${k + 1}: the step's entries labelled`);
        }
        assert.ok(root >= z.xlim[0] && root <= z.xlim[1]);
        assert.ok(z.rows <= ZOOM.rows);
        // no two labels of one row overlap
        const placed = z.points.filter((q) => q.row >= 0);
        for (const a of placed)
          for (const b of placed) {
            if (a !== b && a.row === b.row) {
              const room = (labelWidth(`Q[${a.i}][${a.j}]`) + labelWidth(`Q[${b.i}][${b.j}]`)) / 2;
              assert.ok(Math.abs(a.label - b.label) >= room - 1e-9, `${xs} step ${k + 1}: labels overlap`);
            }
          }
        if (xs.length <= 4 && width === 720) assert.ok(placed.length === z.points.length, "all labelled");
      }
    }
  }
  // the program's nodes at Q[2][2]: 0.6532 on Q[2][1], 0.3468 on Q[1][1]
  const r = { ...resultOf(model.nodes), shown: 3 };
  const { hi, lo } = weightsOf(r.pts, 2, 2);
  assert.deepEqual([weight(hi), weight(lo)], ["0.6532", "0.3468"]);
  assert.match(plain(stepRule(r).at(-2)), /^As weights: Q\[2\]\[2\] = 0\.6532 · Q\[2\]\[1\] \+ 0\.3468 · Q\[1\]\[1\]/);
  assert.match(plain(stepRule(r).at(-1)), /^Why this rule: .* add up to 1 .*both end points/);
  assert.match(
    zoomText(zoomOf(r, 720)),
    /Q\[2\]\[2\] \(the step's entry\) = 0\.6532 × Q\[2\]\[1\] \+ 0\.3468 × Q\[1\]\[1\]: it lies between/,
  );
  // at the start, the nodes
  const start = zoomOf({ ...r, shown: 0 }, 720);
  assert.deepEqual(
    start.points.map((q) => q.x),
    model.nodes,
  );
  assert.equal(start.step, null);
});

test("the figure true to the end: through six Iterates, no stripes, no multiplier the data do not justify, rounding said", () => {
  for (const start of [model.nodes, [0, 1]]) {
    let s = { nodes: start, exp: "wasm", shown: Infinity, iterates: [] };
    const seen = [];
    for (let k = 0; k <= 6; k++) {
      const r = resultOf(s.nodes),
        curves = curvesOf(r),
        ranges = topRanges(model, r),
        ys = linspace(ranges.ylim[0], ranges.ylim[1], SAMPLES),
        pixel = (ranges.xlim[1] - ranges.xlim[0]) / 632;
      // each curve drawn only where it is the polynomial's and not rounding's: x = P(y) falls as y rises
      sample(model, r, curves, ys).forEach((xs, c) => {
        const { xs: kept } = drawable(r, curves[c], ys, xs, pixel);
        for (let n = 1; n < kept.length; n++) {
          if (Number.isFinite(kept[n]) && Number.isFinite(kept[n - 1]))
            assert.ok(kept[n] <= kept[n - 1] + pixel, `${start} after ${k} Iterates: ${curves[c].cls} turns back`);
        }
      });
      const err = errorCurve(model, r, curves[0]);
      assert.ok(ticks(...err.ylim, 6).unit <= 0, `${start} after ${k}: the error axis's multiplier, ${err.ylim}`);
      // where the error is rounding, the band says it: no drawn error is within it
      err.points.forEach(([, e], n) => {
        if (Number.isFinite(e)) assert.ok(Math.abs(e) > err.band[n][1], `${start} after ${k}: rounding drawn as error`);
      });
      seen.push([err.rounding, err.atRoot, err.unit === 1 ? 1 : "ulp"]);
      const next = iterateOnce(model, s, r);
      if (next.refused === undefined) s = { ...s, ...next };
    }
    if (start === model.nodes) {
      // the cubic's error at the start is the method's; at the root it is rounding, counted in ulps
      assert.deepEqual(seen[0], ["none", false, 1]);
      assert.deepEqual(seen.slice(4), [
        ["decided", true, "ulp"],
        ["decided", true, "ulp"],
        ["decided", true, "ulp"],
      ]);
    } else {
      assert.deepEqual(
        seen.at(-1),
        ["none", true, 1],
        "the secant at the root: its error is the method's, p rounding's",
      );
    }
  }
  // nodes an ulp apart: rounding, but no ulps by the thousand; equal nodes: no number, so no rounding either
  for (const [xs, rounding] of [
    [[0.42, 0.4200000000000001, 0.43], "decided"],
    [[0.3, 0.4, 0.4, 0.6], "none"],
  ]) {
    const r = resultOf(xs),
      err = errorCurve(model, r, curvesOf(r)[0]);
    assert.equal(err.rounding, rounding, `${xs}`);
    assert.ok(ticks(...err.ylim, 6).unit <= 0, `${xs}: the error axis's multiplier, ${err.ylim} (unit ${err.unit})`);
    if (rounding === "none")
      assert.match(zoomText(zoomOf(r, 720)), /Q\[3\]\[3\] .* it is NaN, as an entry it combines/);
  }
  // the band: a few ulps at the nodes, growing away from nodes close to each other
  const r = resultOf([0.42, 0.42000001]),
    [c] = curvesOf(r);
  assert.ok(roundingBand(r, c, r.pts[0].y) < 1e-15);
  assert.ok(roundingBand(r, c, 0.05) > 1e3 * roundingBand(r, c, r.pts[0].y));
  // the nodes' names: one label for nodes on one spot
  assert.deepEqual(
    nodeLabels([
      { X: 10, Y: 10 },
      { X: 100, Y: 50 },
      { X: 104, Y: 52 },
      { X: NaN, Y: 0 },
    ]).map((l) => l.text),
    ["x0", "x1, x2"],
  );
});
