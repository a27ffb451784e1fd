// What a learner types and what a link holds: each good list and link read, each bad one refused with what is
// wrong, a link's Iterates made again, and random lists and links (fast-check).

import assert from "node:assert/strict";
import { test } from "node:test";
import { LIMITS } from "../../../web/core/limits.js";
import { SETTINGS, hashOf, parseFragment, parseNodes, stepsFor } from "../../../web/core/fragment.js";
import { refusedText } from "../../../web/core/sentences/input.js";
import { iterateOnce, replay } from "../../../web/core/sweep.js";
import { replayText } from "../../../web/core/sentences/iterations.js";
import { fc, fn, model, resultOf } from "./context.mjs";

/** @typedef {import("../../../web/core/fragment.js").LinkState} LinkState */
/** @typedef {import("../../../web/core/fragment.js").NodesRefusal} NodesRefusal */
/** @typedef {import("../../../web/core/sweep.js").Choice} Choice */

test("the link and the field: each typed list, the nodes it gives or the refusal and its words", () => {
  const long = "0." + "1".repeat(3000);
  const unit = [0, 1];
  /** @type {[text: string, want: number[] | NodesRefusal, said?: string][]} */
  const lists = [
    ["1e+0,0.5", [1, 0.5]],
    ["0.3, 0.4", [0.3, 0.4]],
    ["0,1", [0, 1]],
    [".5,+0.25,1E-3", [0.5, 0.25, 0.001]],
    // as people type lists: decimal commas between semicolons or spaces, spaces between nodes
    ["0,3; 0,4; 0,5", [0.3, 0.4, 0.5]],
    ["0,3 0,4  0,5", [0.3, 0.4, 0.5]],
    ["0,3;0,4", [0.3, 0.4]],
    [" 0.3 0.4\t0.5 ", [0.3, 0.4, 0.5]],
    ["0.3 , 0.4 0.5", [0.3, 0.4, 0.5]],
    ["0.3; 0.4", [0.3, 0.4]],
    [",5; 1", [0.5, 1]],
    // each node a number or an expression of numbers in f's language, in doubles; spaces beside an operator
    // belong to the node
    ["pi/8, 1/3, 2e-3", [Math.PI / 8, 1 / 3, 0.002]],
    ["pi / 8 0.5", [Math.PI / 8, 0.5]],
    ["(1 + 2)/8 sqrt(2)/2", [0.375, Math.SQRT1_2]],
    ["(2 pi)/8, 0.5", [Math.PI / 4, 0.5]],
    ["0.3 - 0.1, 0.5", [0.3 - 0.1, 0.5]],
    ["1/3; 0,25; e^-1", [1 / 3, 0.25, Math.exp(-1)]],
    // and refused, with what is wrong
    [
      "abc",
      { kind: "notNumber", text: "abc", error: { kind: "unknown", at: 1, text: "abc", like: null } },
      "“abc” is not a number.",
    ],
    [
      "sqr(0.5), 0.3",
      {
        kind: "notNumber",
        text: "sqr(0.5)",
        error: { kind: "unknown", at: 1, text: "sqr", like: "sqrt", suggestion: "sqrt(0.5)" },
      },
      "“sqr(0.5)” is not a number. Did you mean “sqrt(0.5)”?",
    ],
    [
      "2x, 0.3",
      { kind: "hasX", text: "2x" },
      "“2x” has x in it: a node is a number, which may be written as pi/8 or 1/3.",
    ],
    [
      "1/0, 0.3",
      { kind: "noValue", text: "1/0", value: Infinity },
      "“1/0” is Infinity in doubles, not a number a node can be.",
    ],
    [
      "0.3 log(-1)",
      { kind: "noValue", text: "log(-1)", value: NaN },
      "“log(-1)” is NaN in doubles, not a number a node can be.",
    ],
    ["0.3", { kind: "one" }, "One node makes no polynomial to interpolate with: give 2 to 8."],
    ["0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9", { kind: "many", count: 9 }, "9 nodes are too many here: give 2 to 8."],
    [
      "0.3,1.5",
      { kind: "outside", text: "1.5", value: null, domain: unit },
      "Each node must lie in [0, 1]; “1.5” does not.",
    ],
    [
      "pi/2, 0.3",
      { kind: "outside", text: "pi/2", value: Math.PI / 2, domain: unit },
      "Each node must lie in [0, 1]; “pi/2”, 1.5707963267948966, does not.",
    ],
    [
      "\u22120.1",
      { kind: "outside", text: "-0.1", value: null, domain: unit },
      "Each node must lie in [0, 1]; “-0.1” does not.",
    ],
    [
      "\u22120.1, 0.3, 0.5",
      { kind: "outside", text: "-0.1", value: null, domain: unit },
      "Each node must lie in [0, 1]; “-0.1” does not.",
    ],
    ["0.3,,0.4", { kind: "gap", k: 1, count: 3, sep: "comma" }, "There is nothing between comma 1 and comma 2."],
    ["0.3,0.4,", { kind: "gap", k: 2, count: 3, sep: "comma" }, "There is a comma after the last node: remove it."],
    [",0.3,0.4", { kind: "gap", k: 0, count: 3, sep: "comma" }, "There is a comma before the first node: remove it."],
    ["1e-400,0.5", { kind: "tooSmall", text: "1e-400" }, "“1e-400” is too small for a double: it would be read as 0."],
    ["1e400,0.5", { kind: "tooLarge", text: "1e400" }, "“1e400” is too large for a double."],
    [
      `0.3,${long}`,
      { kind: "tooLong", length: 3006 },
      "That is 3006 characters; 8 nodes need far fewer (at most 400).",
    ],
    [
      `${"9".repeat(30)},0.2`,
      { kind: "outside", text: "9".repeat(30), value: null, domain: unit },
      "Each node must lie in [0, 1]; “99999999999999999999…” (30 characters) does not.",
    ],
    // written with decimal commas but no semicolons: how to write them is said; not where no comma is one
    [
      "0,3, 0,4, 0,5",
      { kind: "outside", text: "3", value: null, domain: unit, decimalCommas: true },
      "Each node must lie in [0, 1]; “3” does not. With decimal commas, put semicolons between the nodes: “0,3; 0,4; 0,5”.",
    ],
    ["0,3 0,4 5", { kind: "outside", text: "3", value: null, domain: unit, decimalCommas: true }],
    ["0,3", { kind: "outside", text: "3", value: null, domain: unit, decimalCommas: true }],
    [
      "1e300,2e300",
      { kind: "outside", text: "1e300", value: null, domain: unit },
      "Each node must lie in [0, 1]; “1e300” does not.",
    ],
    [
      "0,3;;0,4",
      { kind: "gap", k: 1, count: 3, sep: "semicolon" },
      "There is nothing between semicolon 1 and semicolon 2.",
    ],
    [
      "0,3; 0.4,5",
      { kind: "notNumber", text: "0.4,5", error: { kind: "character", at: 4, shown: "','", instead: null } },
      "“0.4,5” is not a number.",
    ],
  ];
  for (const [text, want, said] of lists) {
    const field = parseNodes(text),
      link = parseFragment(`#nodes=${text}`, model.presets),
      name = text.slice(0, 40);
    if (Array.isArray(want)) {
      assert.deepEqual(field, { xs: want }, name);
      assert.deepEqual(
        link,
        { nodes: want, iterates: 0, step: Infinity, exp: "wasm", f: fn.text, ...SETTINGS, refused: [] },
        name,
      );
    } else {
      assert.deepEqual([field, link], [{ error: want }, { error: want, text }], name);
      const words = refusedText(want);
      if (said !== undefined) assert.equal(words, said, name);
      assert.ok(words.length < 200, words);
    }
  }
  // where a preset's f lets its nodes lie below 0
  for (const [text, xs] of Object.entries({
    "\u22120,5 0,25": [-0.5, 0.25],
    "\u22120.5, 1": [-0.5, 1],
    "0.3 -0.1": [0.3, -0.1],
  }))
    assert.deepEqual(parseNodes(text, [-1, 1]), { xs }, text);
  assert.deepEqual(parseFragment("#nodes=0.3%ZZ", model.presets), {
    error: { kind: "encoding", key: "nodes" },
    text: "nodes=0.3%ZZ",
  });
  // a first visit walks through from the start; a link opens at its step, else at the end; a link without
  // nodes=, the page with a field or two, as the page opens
  /** @type {[hash: string, nodes: number[], exp: LinkState["exp"], step: number][]} */
  const opened = [
    ["", model.nodes, "wasm", 0],
    ["#exp=browser", model.nodes, "browser", 0],
    ["#step=3", model.nodes, "wasm", 3],
    ["#nodes=0.3,0.4&step=0", [0.3, 0.4], "wasm", 0],
    ["#exp=browser&step=1&nodes=0.3,0.4", [0.3, 0.4], "browser", 1],
    ["#nodes=0.3,0.4&exp=browser", [0.3, 0.4], "browser", Infinity],
  ];
  for (const [hash, nodes, exp, step] of opened) {
    assert.deepEqual(
      parseFragment(hash, model.presets),
      { nodes, iterates: 0, step, exp, f: fn.text, ...SETTINGS, refused: [] },
      hash,
    );
  }
  assert.deepEqual(parseFragment("", model.presets), {
    nodes: model.nodes,
    iterates: 0,
    step: 0,
    exp: "wasm",
    f: fn.text,
    ...SETTINGS,
    refused: [],
  });
  assert.equal(parseFragment("#tableau-section", model.presets), null, "an anchor is not a state");
});

test("a link's other fields: each that cannot be used is left out and said, the rest used", () => {
  const n = "nodes=0.3,0.4,0.5";
  // the fragment, what is used of it, and what is said of the rest
  /** @type {[hash: string, used: {[K in keyof LinkState]?: LinkState[K]}, said: RegExp[]][]} */
  const cases = [
    [`${n}&iterates=2&step=1&exp=browser`, { iterates: 2, step: 1, exp: "browser" }, []],
    [`${n}&iterates=0&step=0&exp=wasm`, { iterates: 0, step: 0, exp: "wasm" }, []],
    [`${n}&step=3`, { step: 3 }, []],
    ["iterates=1&step=6", { nodes: model.nodes, iterates: 1, step: 6 }, []],
    [`${n}&step=4`, {}, [/step, 4, is more than the 3 steps 3 nodes have.*shows all 3/]],
    [`${n}&step=-1`, {}, [/step, “-1”, is not a whole number of steps/]],
    // without nodes= a link opens at step 0, as a first visit does; with a step refused, at the end it says
    ["step=9", { nodes: model.nodes }, [/step, 9, is more than the 6 steps 4 nodes have.*shows all 6/]],
    [`${n}&step=1.5&exp=browser`, { exp: "browser" }, [/step, “1\.5”, is not a whole number/]],
    [
      `${n}&iterates=abc&step=2`,
      { step: 2 },
      [/iterates, “abc”, is not a whole number of Iterates.*without iterating/],
    ],
    [`${n}&iterates=1000`, {}, [/iterates, 1000, is more than the 100 Iterates a link may ask for/]],
    [`${n}&iterates=${"9".repeat(40)}`, {}, [/“9{20}…” \(40 characters\), is not a whole number/]],
    [`${n}&iterates=`, {}, [/iterates, “”, is not a whole number/]],
    [`${n}&exp=foo&step=2`, { step: 2 }, [/exp, “foo”, is neither “wasm” nor “browser”: the program's own is used/]],
    [
      `${n}&foo=1&iterates=3`,
      { iterates: 3 },
      [/holds “foo”; this page reads only f=, nodes=, .*, step=, exp=, .* and /],
    ],
    [`${n}&step=%ZZ&exp=q`, {}, [/“step” is not valid percent-encoding/, /exp, “q”/]],
    // the reader's settings: the digits shown and the switches
    // predicting, a link without step= opens at the start, for a link handed out as an exercise
    [
      `${n}&digits=6&lecture=1&predict=1&deeper=1`,
      { digits: 6, lecture: true, predict: true, deeper: true, step: 0 },
      [],
    ],
    [`${n}&predict=1&step=3`, { predict: true, step: 0 }, []],
    [`${n}&digits=4&lecture=0`, { digits: 4 }, []],
    // a lecture's link shows 6 digits unless it says otherwise, as ticking Lecture does
    [`${n}&lecture=1`, { lecture: true, digits: 6 }, []],
    [`${n}&lecture=1&digits=0`, { lecture: true }, []],
    [`${n}&lecture=1&digits=7`, { lecture: true, digits: 6 }, [/digits, “7”, .*: 6 significant digits are shown/]],
    [
      `${n}&digits=5&predict=yes`,
      {},
      [/digits, “5”, is none of 0 \(all digits\), 4 or 6: all digits are shown/, /predict, “yes”, is neither 1/],
    ],
  ];
  for (const [hash, used, said] of cases) {
    const got = parseFragment(`#${hash}`, model.presets);
    assert.ok(got && got.error === undefined, `${hash} is a state`);
    const { refused, ...state } = got;
    assert.deepEqual(
      state,
      { nodes: [0.3, 0.4, 0.5], iterates: 0, step: Infinity, exp: "wasm", f: fn.text, ...SETTINGS, ...used },
      hash,
    );
    assert.equal(refused.length, said.length, `${hash}: ${JSON.stringify(refused)}`);
    said.forEach((want, k) => assert.match(refusedText(refused[k]), want, hash));
    for (const m of refused.map(refusedText)) assert.ok(m.length < 200, m);
  }
});

test("a link's Iterates made again: the issue's two links, and a count past where doubles end", () => {
  // from 0, 1: four Iterates, five iterates, each what clicks make
  /** @type {[start: number[], count: number, made: number | null][]} */
  const cases = [
    [[0, 1], 4, 4],
    [[0.3, 0.45, 0.6], 2, 2],
    [[0.3, 0.4, 0.5], 50, null],
  ];
  for (const [start, count, made] of cases) {
    /** @type {Choice} */
    const s = { nodes: start, exp: "wasm", shown: Infinity, fn },
      back = replay(model, s, count);
    /** @type {Choice & {iterates: number[]}} */
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
      assert.ok(back.refused, `from ${start}: ${count} Iterates refused`);
      assert.match(replayText(back.refused), /asks for 50 Iterates; only \d+ can be made: .*division by zero/);
    } else {
      assert.equal(back.refused, undefined);
      assert.equal(back.iterates.length, made + 1);
    }
  }
});

test("random lists and links: every state comes back from its link, predicting at its start; nothing else throws", () => {
  const nodes = fc.array(fc.double({ min: 0, max: 1, noNaN: true }), { minLength: 2, maxLength: 8 });
  const link = nodes.chain((xs) =>
    fc.record({
      nodes: fc.constant(xs),
      iterates: fc.nat(LIMITS.iterates),
      step: fc.oneof(fc.nat(stepsFor(xs.length)), fc.constant(Infinity)),
      exp: fc.constantFrom("wasm", "browser"),
      f: fc.constantFrom(fn.text, "cos(x) - x", "(x - 0.5)^3", "x^2 + 1/3 - sqrt(x)"),
      digits: fc.constantFrom(...LIMITS.digits),
      lecture: fc.boolean(),
      predict: fc.boolean(),
      deeper: fc.boolean(),
    }),
  );
  /** @type {(keyof import("../../../web/core/fragment.js").Settings)[]} */
  const settings = ["digits", "lecture", "predict", "deeper"];
  fc.assert(
    fc.property(link, (s) => {
      const hash = hashOf(s),
        back = parseFragment(hash, model.presets),
        last = stepsFor(s.nodes.length);
      assert.ok(back && back.error === undefined, `${hash} is a state`);
      return (
        back.nodes.every((x, k) => Object.is(x, s.nodes[k] === 0 ? 0 : s.nodes[k])) &&
        back.nodes.length === s.nodes.length &&
        back.iterates === s.iterates &&
        // a link to predict from opens at the start, whatever the step it was made at
        Math.min(back.step, last) === (s.predict ? 0 : Math.min(s.step, last)) &&
        back.exp === s.exp &&
        back.f === s.f &&
        settings.every((key) => back[key] === s[key]) &&
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
        link = parseFragment(`#nodes=${s}`, model.presets);
      const fits = (/** @type {number[]} */ xs) =>
        xs.length >= LIMITS.nodes[0] && xs.length <= LIMITS.nodes[1] && xs.every((x) => x >= 0 && x <= 1);
      return (
        (field.error ? refusedText(field.error).length < 200 : fits(field.xs)) &&
        link !== null &&
        (link.error ? refusedText(link.error).length < 200 : fits(link.nodes))
      );
    }),
    { numRuns: 2000 },
  );
});
