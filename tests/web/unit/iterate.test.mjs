// Iterate and what the page says of p: the iterates as the .wasm gives them, the orders of convergence,
// Neville's estimate, the verdicts, the exponential's effect, and the many-digit table beside the doubles.

import assert from "node:assert/strict";
import { test } from "node:test";
import { doublesIterated, same } from "../recorded.mjs";
import { theoreticalOrder } from "../../../web/core/numbers.js";
import { parseNodes } from "../../../web/core/fragment.js";
import { iterateOnce, otherExp } from "../../../web/core/sweep.js";
import { doublesStop, iterateDone, iterationRows, orderRows } from "../../../web/core/iterations.js";
import { estimate, verdict } from "../../../web/core/verdicts.js";
import { PRECISE } from "../../../web/core/precise.js";
import { errorOf } from "../../../web/core/accuracy.js";
import { estimateText, qualityNote } from "../../../web/core/sentences/quality.js";
import { expEffect } from "../../../web/core/sentences/nodes.js";
import {
  iterateNote,
  iterationCells,
  iterationsCaption,
  orderCells,
  ordersCaption,
  ordersNote,
  refusalText,
} from "../../../web/core/sentences/iterations.js";
import { converge, fn, fnRoot, model, outside, program, recorded, resultOf, root, plain } from "./context.mjs";

/** @typedef {import("../../../web/core/sweep.js").Choice & {iterates: number[]}} State the state Iterate steps from */

test("iterations: each p as the .wasm gives it, the double nearest the root, and where doubles end", () => {
  /** @type {[start: number[], steps: number, last: number | null, ends: RegExp | null][]} */
  const cases = [
    [model.nodes, 2, root, null],
    [[0.4, 0.5], 5, null, null],
    [[0.3, 0.4, 0.5], 9, null, /p would be NaN\./],
    // as a link replays them, past where Iterate settles: two equal nodes that are not neighbours, not 0/0
    [[0.359, 0.368, 0.414, 0.813], 50, null, /p would be Infinity\./],
  ];
  for (const [start, steps, last, ends] of cases) {
    /** @type {State} */
    let s = { nodes: start, exp: "wasm", shown: Infinity, iterates: [], fn },
      nodes = [...start],
      refused = "";
    for (let k = 0; k < steps; k++) {
      const next = iterateOnce(model, s, resultOf(s.nodes));
      const want = [...nodes.slice(1), outside.pOf(nodes)];
      if (!Number.isFinite(outside.pOf(want))) {
        assert.ok(next.refused, `from ${start}: step ${k + 1} refused`);
        assert.match(
          refusalText(next.refused),
          new RegExp(`a division by zero, and p would be ${outside.pOf(want)}\\.`),
        );
        refused = refusalText(next.refused);
        break;
      }
      assert.ok(next.refused === undefined, `from ${start}: step ${k + 1} made`);
      assert.deepEqual(next.nodes, want);
      assert.ok(same(next.iterates[next.iterates.length - 1], outside.pOf(want)));
      nodes = want;
      s = { ...s, ...next };
    }
    const rows = iterationRows(s.iterates, (x) => program.exp(-2.0 * x) - x, fn.root, [], null);
    if (last !== null) assert.equal(s.iterates.at(-1), last, `from ${start}: the double nearest the root`);
    if (ends) assert.match(refused, ends, `from ${start}: the iteration ends with a refusal`);
    if (steps === 9) {
      assert.match(
        iterateNote(s.iterates.length - 1, iterateDone(model, s, resultOf(s.nodes), s.iterates)),
        /reached what doubles allow/,
      );
    }
    assert.equal(rows.length, s.iterates.length);
    if (start.length === 2) {
      // at the root, Neville's estimate still names the corrections and the errors they estimate
      const said = estimateText(estimate(resultOf(s.nodes)));
      assert.match(said, /estimate the errors of Q\[1\]\[0\] and Q\[0\]\[0\], which are/);
      assert.doesNotMatch(said, /Infinity/);
    }
  }
  const nan = iterateOnce(model, { nodes: [0.3, 0.3], exp: "wasm", shown: 0, iterates: [], fn }, resultOf([0.3, 0.3]));
  assert.match(nan.refused ? refusalText(nan.refused) : "", /NaN: there is nothing/);
});

test("Iterate is done where its next step would be refused or the iterates have settled, and says why", () => {
  // the starting nodes, how many Iterates can be made before it is done, and why it is then
  /** @type {[start: number[], made: number | null, why: "settled" | "refused", said: RegExp][]} */
  const cases = [
    [
      model.nodes,
      3,
      "settled",
      /^p3 is 1 ulp from p2: the iteration has reached what doubles allow\. Further steps move p only by rounding\.$/,
    ],
    [[0.3, 0.4, 0.5], null, "refused", /division by zero, and p would be NaN\./],
    [[0.3, 0.3], 0, "refused", /^p is NaN: there is nothing to iterate with/],
  ];
  for (const [start, made, why, said] of cases) {
    /** @type {State} */
    let s = { nodes: start, exp: "wasm", shown: Infinity, iterates: [], fn };
    const psOf = (/** @type {import("../../../web/core/sweep.js").Result} */ r) =>
      s.iterates.length ? s.iterates : [r.p];
    let k = 0;
    for (; iterateDone(model, s, resultOf(s.nodes), psOf(resultOf(s.nodes))) === null; k++) {
      s = { ...s, ...iterateOnce(model, s, resultOf(s.nodes)) };
    }
    const r = resultOf(s.nodes),
      done = iterateDone(model, s, r, psOf(r));
    if (made !== null) assert.equal(k, made, `${start}: Iterates made`);
    assert.ok(done, `${start}: done`);
    assert.equal(done.why, why, `${start}`);
    assert.match(iterateNote(psOf(r).length - 1, done), said, `${start}`);
  }
});

test("the orders of convergence: two nodes, t² = t + 1; each row's order the many digits', where they hold one", () => {
  assert.match(iterationsCaption(2, theoreticalOrder(2), true), /order 1\.618, the largest root of t² = t \+ 1\.$/);
  assert.match(iterationsCaption(4, theoreticalOrder(4), false), /1\.928.*t⁴ = t³ \+ t² \+ t \+ 1: not here/);
  const secant = [0.4271860533532304, 0.42627326422367345, 0.42630276299151343, 0.42630275100702536, root];
  const many = converge([0.4, 0.5], PRECISE).rows.map((row) => row.order);
  const cells = iterationRows(secant, (x) => program.exp(-2.0 * x) - x, fn.root, many, theoreticalOrder(2)).map((row) =>
    iterationCells(row),
  );
  assert.deepEqual(
    cells.map((c) => c[6]),
    ["–", "–", ...many.slice(2, 5).map((o) => o?.toFixed(3))],
  );
  assert.deepEqual([cells[2][6], cells[0][7]], ["2.297", "1.618"]);
  // no theory where it does not hold, no order beyond the many digits' rows
  const none = iterationRows(secant, (x) => x, fn.root, [null, null, 2.3], null).map((row) => iterationCells(row));
  assert.deepEqual(
    none.map((c) => [c[6], c[7]]),
    [
      ["–", "–"],
      ["–", "–"],
      ["2.300", "–"],
      ["–", "–"],
      ["–", "–"],
    ],
  );
});

test("the verdicts: equal nodes, nearly equal nodes, a y within rounding of 0, extrapolation", () => {
  /** @type {[text: string, want: RegExp][]} */
  const cases = [
    ["0.3,0.3", /^x0 = 0\.3 and x1 = 0\.3 have the same y, so the rule divides y1 − y0 = 0, and p is NaN\.$/],
    ["0.3,0.4,0.3", /^x0 = 0\.3 and x2 = 0\.3 have the same y/],
    ["0,1e-20", /^x0 = 0 and x1 = 1e-20 have the same y/],
    ["0.2,0.20000000000000004", /rounding decides p here, not the method\.$/],
    ["0.4,0.4000000000000001", /rounding decides p here/],
    ["0.3,0.4,0.4000000000000001,0.5", /rounding decides p here/],
    ["0.3,0.4,0.400000000001,0.5", /rounding decides p here/],
    ["0.4,0.400001", /^Extrapolation: all the y_k lie on one side of 0\. p has \d+ correct digits\.$/], // a good secant
    ["0.4,0.45", /^The y_k straddle 0: interpolation\. p has 3 correct digits\.$/],
    ["0.6,0.7", /^Extrapolation: all the y_k lie on one side of 0/],
    [
      "0.3,0.42630275100686277",
      /^y1 = .* is within rounding of 0: x1 = 0\.42630275100686277 is the root as far as doubles tell\.$/,
    ],
    ["0.3,0.42630275100686277,0.5", /^y1 = .* is within rounding of 0: x1 = .* as far as doubles tell\.$/],
  ];
  for (const [text, want] of cases) {
    const { xs, error } = parseNodes(text);
    assert.ok(xs, `${text}: ${error}`);
    const r = resultOf(xs),
      note = plain(qualityNote(r, verdict(r)));
    assert.match(note, want, `${text}: ${note}`);
    if (/same y|decides|within rounding/.test(want.source))
      assert.doesNotMatch(note, /interpolation\.|Extrapolation/, text);
    else assert.doesNotMatch(note, /rounding/, text);
    if (/decides/.test(want.source)) assert.match(estimateText(estimate(r)), /say nothing of the method/, text);
  }
});

test("the exponential's effect: the y that differ between the .wasm's exp and Node's Math.exp, and p", () => {
  for (const xs of [
    [0.05, 0.15, 0.25, 0.35, 0.384, 0.45, 0.55, 0.65],
    [0.3, 0.4, 0.5, 0.6],
    [0.3, 0.45],
  ]) {
    const r = resultOf(xs),
      said = expEffect(r, otherExp(model, r, "wasm"));
    const computed = xs.filter((x) => !recorded.nodes.some((n) => n.x === x));
    const differ = computed.filter((x) => !same(program.exp(-2.0 * x) - x, Math.exp(-2.0 * x) - x)).length;
    if (!computed.length) assert.match(said, /These are the program's own nodes/);
    else if (differ) assert.match(said, new RegExp(`would change ${differ} of the ${computed.length} computed y`));
    else assert.match(said, /gives the same y/);
    const other = resultOf(xs, "browser");
    if (differ)
      assert.match(said, Object.is(other.p, r.p) ? /p would be the same/ : new RegExp(`p would be ${other.p}`));
  }
});

test("the orders table: many digits to the theoretical order, and the doubles stopping where their ulp is reached", () => {
  const ulp = 2 ** -54; // a unit in the last place of the doubles in [0.25, 0.5), the root among them
  /** @type {[xs: number[], theory: string, rowsWanted: number, stopWanted: number][]} */
  const cases = [
    [model.nodes, "1.928", 10, 2],
    [[0.3, 0.4, 0.5], "1.839", 10, 3],
    [[0.3, 0.4], "1.618", 6, 4],
    [[0, 1], "1.618", 9, 6],
  ];
  for (const [xs, theory, rowsWanted, stopWanted] of cases) {
    const run = converge(xs, PRECISE),
      d = doublesStop(model, { nodes: xs, exp: "wasm", fn }),
      rows = orderRows(run.rows, d, fnRoot).map((o) => ({ cells: orderCells(o), stop: o.stop }));
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
      // beside each of Iterate's own p_k, to where Iterate can do no more, a step or so past the doubles' stop
      if (k >= d.ps.length) assert.equal(cells[3], "–");
      // against the true root, as the many digits are: never 0, the root being no double
      else assert.ok(cells[3].startsWith(Math.abs(errorOf(d.ps[k], fnRoot)).toExponential(2)), cells[3]);
    }
    assert.match(rows[rows.length - 1].cells[2], new RegExp(`^${theory.slice(0, 3)}`));
    const note = ordersNote(xs.length, run.rows, run.stop, d, theoreticalOrder(xs.length), PRECISE);
    assert.match(
      note,
      new RegExp(
        `^At k = ${rowsWanted - 2} and ${rowsWanted - 1} the estimated orders, ${rows[rows.length - 2].cells[2]} and ` +
          `${rows[rows.length - 1].cells[2]}, are both within 0\\.005 of the theoretical ${theory}\\. The doubles stop ` +
          `at k = ${stopWanted}: `,
      ),
    );
    assert.match(
      ordersCaption(xs.length, PRECISE),
      /^The iteration from the \d nodes .* 2000 decimal digits .* not the program's/,
    );
  }
  // nodes that cannot be iterated: said, and no row
  /** @type {[xs: number[], want: RegExp][]} */
  const unusable = [
    [
      [0.3, 0.3],
      /^x0 and x1 have the same y: the sweep would divide by zero\. The doubles have nothing to iterate: p0 is NaN/,
    ],
    [[0.3, 0.4, 0.3], /^x0 and x2 have the same y/],
  ];
  for (const [xs, want] of unusable) {
    const run = converge(xs, PRECISE),
      d = doublesStop(model, { nodes: xs, exp: "wasm", fn });
    assert.equal(run.rows.length, 0);
    assert.match(ordersNote(xs.length, run.rows, run.stop, d, theoreticalOrder(xs.length), PRECISE), want);
  }
  // y that round to one double: the many digits iterate, the doubles cannot
  const run = converge([0, 1e-20], PRECISE),
    d = doublesStop(model, { nodes: [0, 1e-20], exp: "wasm", fn });
  assert.equal(run.stop.reason, "order");
  assert.deepEqual(orderCells(orderRows(run.rows, d, fnRoot)[0])[3], "p0 = -Infinity, and they stop here");
  assert.match(
    ordersNote(2, run.rows, run.stop, d, theoreticalOrder(2), PRECISE),
    /doubles have nothing to iterate: p0 is -Infinity/,
  );
});
