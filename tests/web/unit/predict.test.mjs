// Predicting: a wrong number named by the slip that gives it, a right one by none, and a score that counts each
// entry once.

import assert from "node:assert/strict";
import { test } from "node:test";
import { shownStep } from "../../../web/core/sweep.js";
import { guessOf, scoreOf, slipOf, slipValues, writtenDecimals } from "../../../web/core/predict.js";
import { guessText } from "../../../web/core/sentences/predict.js";
import { model, resultOf } from "./context.mjs";

test("each slip's number, typed to six decimals, is named; the entry's own is not; the weights swapped are the rule's", () => {
  for (const nodes of [model.nodes, [0.3, 0.6, 0.4], [0.55, 0.65, 0.75, 0.85]]) {
    const full = resultOf(nodes);
    for (let k = 1; k <= full.steps.length; k++) {
      const r = { ...full, shown: k },
        s = shownStep(r);
      assert.ok(s);
      const typed = (/** @type {number} */ v) => v.toFixed(6);
      assert.equal(slipOf(s, r.pts, guessOf(typed(s.value)), 6), null, `${nodes} step ${k}: the entry itself`);
      const values = slipValues(s, r.pts);
      assert.deepEqual(
        values.map(([slip]) => slip),
        s.j >= 2 ? ["swapped", "weights", "sign", "average", "direct"] : ["swapped", "weights", "sign", "average"],
      );
      for (const [slip, v] of values) {
        // a slip whose number is the entry's to six decimals cannot be told from it, nor from a closer slip
        const closer = values.some(([other, w]) => other !== slip && Math.abs(w - v) < 1e-6);
        if (Math.abs(v - s.value) < 1e-6 || closer || !Number.isFinite(v)) continue;
        assert.equal(slipOf(s, r.pts, guessOf(typed(v)), 6), slip, `${nodes} step ${k}: ${slip} ${v}`);
      }
      // swapped: the rule with each parent's y exchanged, ((0 − y_i)·hi − (0 − y_(i−j))·lo) / (y_i − y_(i−j))
      const ya = r.pts[s.i - s.j].y,
        yb = r.pts[s.i].y;
      assert.equal(values[0][1], ((0 - yb) * s.hiValue - (0 - ya) * s.loValue) / (yb - ya));
      // weights: each parent given the other's weight, as the weights read on the line at y = 0
      assert.ok(
        Math.abs(values[1][1] - (s.lo * s.hiValue + s.hi * s.loValue)) <= 4 * Number.EPSILON * Math.abs(values[1][1]),
      );
    }
  }
  // direct interpolation at Q[2][2]: the zero of the parabola y = P(x) through the first three points
  const r = { ...resultOf(model.nodes), shown: 3 },
    s = shownStep(r);
  assert.ok(s);
  const direct = slipValues(s, r.pts)[4][1],
    [x0, x1, x2] = r.pts.map((q) => q.x),
    [y0, y1, y2] = r.pts.map((q) => q.y);
  const parabola = (/** @type {number} */ x) =>
    (y0 * (x - x1) * (x - x2)) / ((x0 - x1) * (x0 - x2)) +
    (y1 * (x - x0) * (x - x2)) / ((x1 - x0) * (x1 - x2)) +
    (y2 * (x - x0) * (x - x1)) / ((x2 - x0) * (x2 - x1));
  assert.ok(Math.abs(parabola(direct)) < 1e-15 && Math.abs(direct - s.value) < 1e-3, `${direct}`);
  // a guess far from every slip: none
  assert.equal(slipOf(s, r.pts, 0.9, 1), null);
  // Q[3][3] of 0.3 … 0.6 is 0.4263057…, direct interpolation's 0.4262964…: 0.42630, the entry off by one in its
  // last decimal, is within half a unit of both, and names no slip; 0.426296 is direct's alone
  const last = { ...resultOf([0.3, 0.4, 0.5, 0.6]), shown: 6 },
    q33 = shownStep(last);
  assert.ok(q33);
  assert.deepEqual(
    ["0.42630", "0.426296"].map((t) => slipOf(q33, last.pts, guessOf(t), writtenDecimals(t))),
    [null, "direct"],
  );
  // Q[1][1] of the same nodes: its weights 1.2473… and −0.2473… read on the line at y = 0, given the other
  // way round, make 0.27527; the factors (0 − y) exchanged make its negative
  const first = { ...resultOf([0.3, 0.4, 0.5, 0.6]), shown: 1 },
    q11 = shownStep(first);
  assert.ok(q11);
  assert.deepEqual(
    ["0.27527", "-0.27527"].map((t) => slipOf(q11, first.pts, guessOf(t), writtenDecimals(t))),
    ["weights", "swapped"],
  );
});

test("the decimals a guess is written to, and the score counting each entry once", () => {
  assert.deepEqual(["0.4263", "0,42", "4.2e-1", "-0.5", "3", "  0.12345 "].map(writtenDecimals), [4, 2, 2, 1, 0, 5]);
  /** @type {import("../../../web/core/predict.js").Guess[]} */
  const guesses = [
    {
      entry: "Q[1][1]",
      where: "between",
      side: "between",
      typed: "0.42470",
      guess: 0.4247,
      value: 0.42472844564812995,
      decimals: 4,
      slip: null,
    },
    {
      entry: "Q[2][1]",
      where: "outside",
      side: "between",
      typed: "1e9",
      guess: 1e9,
      value: 0.4271860533532304,
      decimals: 0,
      slip: null,
    },
    {
      entry: "Q[2][2]",
      where: null,
      side: "between",
      typed: "",
      guess: null,
      value: 0.4263336693654574,
      decimals: null,
      slip: null,
    },
  ];
  // a pasted value a billion off counts as one wrong entry, not a sum it dominates
  assert.deepEqual(scoreOf(guesses), { asked: 3, sides: 1, values: 1 });
  assert.match(
    guessText(guesses[0]),
    /^Q\[1\]\[1\] = 0\.42472844564812995\. You said between: right\. Your 0\.42470 has 4 correct decimals\.$/,
  );
  assert.match(guessText(guesses[1]), /You said outside: it lies between them\./);
  assert.match(guessText(guesses[2]), /No number guessed\.$/);
});
