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
import { bitsOf, fromBits, readRecorded, same, wasmSweep } from "../recorded.mjs";
import { loadProgram } from "../../../web/core/program.js";
import { root, showTo } from "../../../web/core/numbers.js";
import { LIMITS, hashOf, parseFragment, parseNodes, stepsFor } from "../../../web/core/fragment.js";
import { compute, iterateOnce, modelOf, replay } from "../../../web/core/sweep.js";
import { iterationsTable, latexNumber, tableauTable, toCsv, toLatex } from "../../../web/core/export.js";
import {
  estimateText,
  expEffect,
  iterateNote,
  iterationRows,
  iterationsCaption,
  plain,
  qualityNote,
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
    step: Infinity,
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
      const asRead = (v) => (v === null ? "" : typeof v === "number" ? String(v) : v);
      assert.deepEqual(back, [["a", "b,c", 'd"e'], ...rows.map((row) => row.map(asRead))]);
    }),
  );
  fc.assert(
    // -0 is written "0", as the page shows it
    fc.property(fc.double({ noNaN: true, noDefaultInfinity: true }), (x) => {
      const t = latexNumber(x).replace(/\\times10\^\{(-?\d+)\}/, "e$1");
      return Object.is(Number(t), x === 0 ? 0 : x);
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
