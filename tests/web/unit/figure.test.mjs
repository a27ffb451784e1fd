// The figure's numbers: a step as weights, the line at y = 0, and the figure true to the end through Iterate.

import assert from "node:assert/strict";
import { test } from "node:test";
import { show } from "../../../web/core/numbers.js";
import { ticks } from "../../../web/core/ticks.js";
import { compute, iterateOnce, replay, shownStep } from "../../../web/core/sweep.js";
import { weightsOf } from "../../../web/core/neville.js";
import { figureOf, topRanges, zoomOf } from "../../../web/core/curves.js";
import { roundingBand } from "../../../web/core/rounding.js";
import { weight } from "../../../web/core/sentences/parts.js";
import { stepRule, zoomText, zoomTitle } from "../../../web/core/sentences/step.js";
import { ZOOM, labelWidth, placeLabels } from "../../../web/zoom.js";
import { nodeLabels } from "../../../web/figure.js";
import { fn, fnOf, model, resultOf, root, ruleLine, plain } from "./context.mjs";
import { fitAlong } from "../../../web/axes.js";

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
      assert.match(ruleLine(r, -1), outside ? /One weight is negative/ : /Both weights lie in \[0, 1\]/);
      const z = zoomOf(r);
      for (const width of [320, 720]) {
        const { placed, rows } = placeLabels(z, width - 88, 13);
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
        for (const q of placed) {
          assert.equal(q.x, q.j ? full.Q[q.i][q.j] : xs[q.i]);
          assert.ok(q.x >= z.xlim[0] && q.x <= z.xlim[1]);
          if (q.role !== "old") assert.ok(q.row >= 0, `${xs} step ${k + 1}: the step's entries labelled`);
        }
        assert.ok(root >= z.xlim[0] && root <= z.xlim[1]);
        assert.ok(rows <= ZOOM.rows);
        // no two labels of one row overlap
        const labelled = placed.filter((q) => q.row >= 0);
        for (const a of labelled)
          for (const b of labelled) {
            if (a !== b && a.row === b.row) {
              const room = (labelWidth(`Q[${a.i}][${a.j}]`, 13) + labelWidth(`Q[${b.i}][${b.j}]`, 13)) / 2;
              assert.ok(Math.abs(a.label - b.label) >= room - 1e-9, `${xs} step ${k + 1}: labels overlap`);
            }
          }
        if (xs.length <= 4 && width === 720) assert.ok(labelled.length === z.points.length, "all labelled");
      }
    }
  }
  // the program's nodes at Q[2][2]: 0.6532 on Q[2][1], 0.3468 on Q[1][1]
  const r = { ...resultOf(model.nodes), shown: 3 };
  const { hi, lo } = weightsOf(r.pts, 2, 2);
  assert.deepEqual([weight(hi), weight(lo)], ["0.6532", "0.3468"]);
  assert.match(
    ruleLine(r, -1),
    /^As weights: Q\[2\]\[2\] = 0\.6532 · Q\[2\]\[1\] \+ 0\.3468 · Q\[1\]\[1\]\. .*so the entry lies between its two parents\.$/,
  );
  assert.deepEqual(zoomTitle(zoomOf(r)), { head: "At y = 0: Q[2][2] =", tail: "0.6532 · Q[2][1] + 0.3468 · Q[1][1]" });
  // at the start, the nodes
  const start = zoomOf({ ...r, shown: 0 });
  assert.deepEqual(
    start.points.map((q) => q.x),
    model.nodes,
  );
  assert.equal(start.step, null);
});

test("the figure true to the end: through six Iterates, no stripes, no multiplier the data do not justify, rounding said", () => {
  for (const start of [model.nodes, [0, 1]]) {
    /** @type {import("../../../web/core/sweep.js").Choice & {iterates: number[]}} */
    let s = { nodes: start, exp: "wasm", shown: Infinity, iterates: [], fn };
    const seen = [];
    for (let k = 0; k <= 6; k++) {
      const r = resultOf(s.nodes),
        fig = figureOf(model, r, { hidden: false, frozen: null, plotW: 632 }),
        pixel = (fig.ranges.xlim[1] - fig.ranges.xlim[0]) / 632;
      // each curve drawn only where it is the polynomial's and not rounding's: x = P(y) falls as y rises
      fig.kept.forEach(({ xs: kept }, c) => {
        for (let n = 1; n < kept.length; n++) {
          if (Number.isFinite(kept[n]) && Number.isFinite(kept[n - 1]))
            assert.ok(kept[n] <= kept[n - 1] + pixel, `${start} after ${k} Iterates: ${fig.curves[c].cls} turns back`);
        }
      });
      const err = fig.err;
      assert.ok(
        ticks(err.ylim[0], err.ylim[1], 6).unit <= 0,
        `${start} after ${k}: the error axis's multiplier, ${err.ylim}`,
      );
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
  /** @type {[xs: number[], rounding: string][]} */
  const close = [
    [[0.42, 0.4200000000000001, 0.43], "decided"],
    [[0.3, 0.4, 0.4, 0.6], "none"],
  ];
  for (const [xs, rounding] of close) {
    const r = resultOf(xs),
      { err } = figureOf(model, r, { hidden: false, frozen: null, plotW: 632 });
    assert.equal(err.rounding, rounding, `${xs}`);
    assert.ok(
      ticks(err.ylim[0], err.ylim[1], 6).unit <= 0,
      `${xs}: the error axis's multiplier, ${err.ylim} (unit ${err.unit})`,
    );
    if (rounding === "none") {
      // an entry that is not a number: its value, and nothing of weights that do not make it
      assert.equal(ruleLine(r, -1), "= NaN");
      assert.ok(!zoomOf(r).points.some((q) => Number.isNaN(q.x)));
    }
  }
  // the band: a few ulps at the nodes, growing away from nodes close to each other
  const r = resultOf([0.42, 0.42000001]),
    c = { i: 1, j: 1 };
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

test("predicting, the line at y = 0 and the rule give away neither the step's entry, its weights nor the root", () => {
  const full = resultOf(model.nodes);
  for (let k = 1; k <= full.steps.length; k++) {
    const r = { ...full, shown: k },
      s = shownStep(r),
      z = zoomOf(r, true);
    assert.ok(s, `step ${k}`);
    const value = show(full.Q[s.i][s.j]);
    const words = [
      zoomTitle(z).head,
      zoomTitle(z).tail,
      zoomText(z, 0),
      ...stepRule(r, s, { hidden: true, digits: 0 }).map(plain),
    ].join("\n");
    assert.equal(z.root, undefined, `step ${k}: the root marked`);
    assert.deepEqual(
      z.points.filter((q) => q.role === "new"),
      [],
      `step ${k}: the entry marked`,
    );
    assert.ok(!words.includes(value), `step ${k}: ${value} said`);
    for (const w of [weight(s.hi), weight(Math.abs(s.lo))])
      assert.ok(!words.includes(w), `step ${k}: the weight ${w} said`);
    // and revealed, all of it
    const open = zoomOf(r, false);
    assert.equal(open.root, fn.root?.hi);
    assert.match(
      [zoomTitle(open).tail, plain(stepRule(r, s, { hidden: false, digits: 0 }).at(-1) ?? [])].join("\n"),
      new RegExp(weight(s.hi)),
    );
  }
});

test("entries an ulp or two apart: the line at y = 0 counts ulps from their middle, and every axis ends", () => {
  // abs(x - 0.45) over the program's nodes: its y repeat, and the entries made are 0.44999999999999996 and 0.45
  const own = fnOf("abs(x - 0.45)", model.nodes),
    z = zoomOf(resultOf(model.nodes, "wasm", own));
  assert.deepEqual([z.inUlps, z.root, z.from], [true, undefined, 0.44999999999999996]);
  // ranges too narrow for decimal ticks at their size: a bounded set of ticks, not a loop that never ends
  for (const [lo, hi] of [
    [0.44999999999999996, 0.45],
    [1e16, 1e16 + 2],
    [-2.5e-8, -2.5e-8 + 2 ** -77],
  ]) {
    for (const most of [2, 6, 10]) assert.ok(ticks(lo, hi, most).ticks.length <= most + 1, `${lo} .. ${hi}`);
    assert.ok(fitAlong(lo, hi, 6, 300, 13).ticks.length <= 7, `${lo} .. ${hi}`);
  }
});

test("the figure's upper panel holds every node, iterates taken as nodes among them, and p where it lies near them", () => {
  /** @type {[text: string, nodes: number[], iterates: number][]} */
  const cases = [
    // the hump: its iterates leave its interval [-2, 1], for 9.56 and 1.457
    ["x^3 - x + 1", [-1.5, -1, -0.3, 0.6], 5],
    ["exp(-2*x) - x", model.nodes, 3],
    ["exp(-2*x) - x", [0.55, 0.65, 0.75, 0.85], 2],
  ];
  for (const [text, nodes, iterates] of cases) {
    const own = fnOf(text, nodes),
      made = replay(model, { nodes, exp: "wasm", shown: Infinity, fn: own }, iterates),
      r = compute(model, { nodes: made.nodes, exp: "wasm", shown: Infinity, fn: own }),
      { xlim } = topRanges(r);
    for (const x of r.pts.map((q) => q.x)) assert.ok(x >= xlim[0] && x <= xlim[1], `${text}: x = ${x} in ${xlim}`);
    if (Number.isFinite(r.p) && r.p > -3 && r.p < 11)
      assert.ok(r.p >= xlim[0] && r.p <= xlim[1], `${text}: p = ${r.p} in ${xlim}`);
  }
});
