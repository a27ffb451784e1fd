// Iterate and what the page says of p: the iterates as the .wasm gives them, the orders of convergence,
// Neville's estimate, the verdicts, the exponential's effect, and the many-digit table beside the doubles.

import assert from "node:assert/strict";
import { test } from "node:test";
import { same } from "../recorded.mjs";
import { theoreticalOrder } from "../../../web/core/numbers.js";
import { parseNodes } from "../../../web/core/fragment.js";
import { iterateOnce, otherExp } from "../../../web/core/sweep.js";
import { doublesStop, iterateDone, iterationRows, orderRows, theoryOf } from "../../../web/core/iterations.js";
import { estimate, verdict } from "../../../web/core/verdicts.js";
import { PRECISE } from "../../../web/core/precise.js";
import { errorOf } from "../../../web/core/accuracy.js";
import { estimateText, qualityNote } from "../../../web/core/sentences/quality.js";
import { ordersTable } from "../../../web/orders.js";
import { expEffect } from "../../../web/core/sentences/nodes.js";
import {
  iterateNote,
  iterationCells,
  iterationsCaption,
  orderCells,
  ordersNote,
  refusalText,
} from "../../../web/core/sentences/iterations.js";
import { LIMITS } from "../../../web/core/limits.js";
import {
  converge,
  fn,
  fnOf,
  fnRoot,
  model,
  outside,
  plain,
  program,
  recorded,
  resultOf,
  root,
  stateOf,
} from "./context.mjs";

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
      // replayed to the refusal, as a link may: its last p is the root's double, and Iterate says so
      assert.match(
        iterateNote(s.iterates.length - 1, iterateDone(model, s, resultOf(s.nodes), s.iterates)),
        /^p4 is the double nearest the root/,
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

test("Iterate stops at the root's double, a refused step or the most a link holds, and says which", () => {
  // f, the starting nodes, the Iterates made before it stops, why, and what it says.  Each is checked before
  // the stop too: cos x - x's p3 is a double off, and the triple root's p93 13; their next steps come nearer.
  // The triple root in products, which round alike in every engine, where ** may not.
  const most = new RegExp(`^Iterate stops at ${LIMITS.iterates} Iterates, the most a link may ask for\\.$`);
  /** @type {[f: string, start: number[], made: number, why: "root" | "refused" | "most", said: RegExp][]} */
  const cases = [
    [fn.text, model.nodes, 2, "root", /^p2 is the double nearest the root: no step can bring p nearer\.$/],
    ["cos(x) - x", [0.6, 0.7, 0.8, 0.9], 4, "root", /^p4 is the double nearest the root/],
    ["(x - 0.5)*(x - 0.5)*(x - 0.5)", [0.3, 0.45, 0.6, 0.7], 98, "refused", /^The next step would take p = /],
    [fn.text, [0.3, 0.4, 0.5], 3, "root", /^p3 is the double nearest the root/],
    [fn.text, [0.4, 0.5], 5, "refused", /is node 1 already: a division by zero, and p would be NaN\./],
    [fn.text, [0.3, 0.3], 0, "refused", /^p is NaN: there is nothing to iterate with/],
    // a pole: p runs off, never refused
    ["1/(x - 0.42)", [0.3, 0.4, 0.5, 0.6], LIMITS.iterates, "most", most],
  ];
  for (const [f, start, made, why, said] of cases) {
    /** @type {State} */
    let s = { nodes: start, exp: "wasm", shown: Infinity, iterates: [], fn: fnOf(f, start) };
    const psOf = (/** @type {import("../../../web/core/sweep.js").Result} */ r) =>
      s.iterates.length ? s.iterates : [r.p];
    const now = () => resultOf(s.nodes, "wasm", s.fn);
    let k = 0;
    for (; k <= LIMITS.iterates && iterateDone(model, s, now(), psOf(now())) === null; k++)
      s = { ...s, ...iterateOnce(model, s, now()) };
    const r = now(),
      done = iterateDone(model, s, r, psOf(r));
    assert.equal(k, made, `${f} from ${start}: Iterates made`);
    assert.equal(done?.why, why, `${f} from ${start}`);
    assert.match(iterateNote(psOf(r).length - 1, done), said, `${f} from ${start}`);
  }
  // a link holds the most Iterates there are, and is brought back at once
  const link = `#f=1%2F(x-0.42)&nodes=0.3,0.4,0.5,0.6&iterates=${LIMITS.iterates}`;
  const began = performance.now(),
    { r, ps, choice } = stateOf(link),
    took = performance.now() - began;
  assert.equal(ps.length, LIMITS.iterates + 1);
  assert.match(iterateNote(ps.length - 1, iterateDone(model, choice, r, ps)), most);
  assert.ok(took < 500, `${link}: ${took} ms`);
});

test("the orders of convergence: t² = t + 1 near a simple root, 1 near a multiple one; each row's the many digits'", () => {
  // the theory for the nodes, where it holds, and the caption; a multiple root the preset's or one found
  /** @type {[hash: string, theory: string | null, said: RegExp][]} */
  const cases = [
    ["#nodes=0.3,0.4", "1.618", /order 1\.618, the largest root of t² = t \+ 1; near a multiple root, with order 1\./],
    ["#f=(x%20-%200.5)%5E3", "1.000", /order 1\.928, .* with order 1\. Here it is 1\.000\.$/],
    ["#f=(x-0.45)%5E3&nodes=0.3,0.4,0.6,0.7", "1.000", /Here it is 1\.000\.$/],
    ["#f=x%5E3%20-%20x%20%2B%201", null, /t⁴ = t³ \+ t² \+ t \+ 1; .* Neither holds here, so that column is empty\.$/],
  ];
  for (const [hash, theory, said] of cases) {
    const { r } = stateOf(hash),
      t = theoryOf(r);
    assert.equal(t.holds ? t.order.toFixed(3) : null, theory, hash);
    assert.match(iterationsCaption(r.pts.length, t.order, t.holds), said, hash);
  }
  const secant = [0.4271860533532304, 0.42627326422367345, 0.42630276299151343, 0.42630275100702536, root];
  const many = converge([0.4, 0.5], PRECISE).rows.map((row) => row.order);
  const cells = iterationRows(secant, (x) => program.exp(-2.0 * x) - x, fn.root, many, theoreticalOrder(2)).map((row) =>
    iterationCells(row),
  );
  assert.deepEqual(
    cells.map((c) => c[5]),
    ["–", "–", ...many.slice(2, 5).map((o) => o?.toFixed(3))],
  );
  assert.deepEqual([cells[2][5], cells[0][6]], ["2.297", "1.618"]);
  // without a root, neither error nor digits
  for (const c of iterationRows(secant, (x) => x, null, [], null).map(iterationCells))
    assert.deepEqual([c[2], c[3]], ["–", "–"]);
  assert.equal(cells[0][2], "8.83e-4");
  // no theory where it does not hold, no order beyond the many digits' rows
  const none = iterationRows(secant, (x) => x, fn.root, [null, null, 2.3], null).map((row) => iterationCells(row));
  assert.deepEqual(
    none.map((c) => [c[5], c[6]]),
    [
      ["–", "–"],
      ["–", "–"],
      ["2.300", "–"],
      ["–", "–"],
      ["–", "–"],
    ],
  );
});

test("the verdicts: equal nodes, nearly equal nodes, a node beside the root, extrapolation", () => {
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
    // a node beside the root: p is what it is, measured, not the node called the root
    ["0.3,0.42630275100686277", /^The y_k straddle 0: interpolation\. p has 16 correct digits\.$/],
    [
      "0.3,0.42630275100686277,0.5",
      /^The y_k straddle 0: interpolation\. p is the double nearest the root: no double is closer\.$/,
    ],
  ];
  for (const [text, want] of cases) {
    const { xs, error } = parseNodes(text);
    assert.ok(xs, `${text}: ${error}`);
    const r = resultOf(xs),
      note = plain(qualityNote(r, verdict(r)));
    assert.match(note, want, `${text}: ${note}`);
    if (/same y|decides/.test(want.source)) assert.doesNotMatch(note, /interpolation\.|Extrapolation/, text);
    else assert.doesNotMatch(note, /rounding/, text);
    if (/decides/.test(want.source)) assert.match(estimateText(estimate(r)), /say nothing of the method/, text);
  }
});

test("the exponential's effect: the y that differ between the .wasm's exp and Node's Math.exp, and p", () => {
  for (const xs of [
    [0.05, 0.15, 0.25, 0.35, 0.384, 0.45, 0.55, 0.65],
    [0.3, 0.4, 0.5, 0.6],
    [0.3, 0.45],
    // y below 0, where a larger y has the smaller bits: the ulps' sign the values'
    [0.3, 0.430685],
  ]) {
    const r = resultOf(xs),
      said = expEffect(r, otherExp(model, r, "wasm"));
    // the first y that differs, its sign that of the other exponential's y less this one's
    const first = r.pts.findIndex(
      (q) => !same(q.y, Math.exp(-2.0 * q.x) - q.x) && !recorded.nodes.some((n) => n.x === q.x),
    );
    if (first >= 0) {
      const other = Math.exp(-2.0 * r.pts[first].x) - r.pts[first].x;
      assert.match(
        said,
        new RegExp(
          `at x = ${r.pts[first].x}, \\S+ against \\S+ \\(${other > r.pts[first].y ? "\\+" : "−"}\\d+ ulps?\\)`,
        ),
        said,
      );
    }
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

test("the orders table: many digits to the theoretical order, and the doubles stopping where Iterate does", () => {
  /** @type {[xs: number[], theory: string, rowsWanted: number, stopWanted: number][]} */
  const cases = [
    [model.nodes, "1.928", 10, 2],
    [[0.3, 0.4, 0.5], "1.839", 10, 3],
    [[0.3, 0.4], "1.618", 6, 5],
    [[0, 1], "1.618", 9, 7],
  ];
  for (const [xs, theory, rowsWanted, stopWanted] of cases) {
    const run = converge(xs, PRECISE),
      d = doublesStop(model, { nodes: xs, exp: "wasm", fn }),
      table = ordersTable(fn, { key: "", nodes: xs, ...run, doubles: d }, true, xs),
      rows = table.rows.map((o) => ({ cells: orderCells(o), stop: o.stop }));
    // the doubles as the .wasm gives them, iterated outside the page's code, to the first that is the root's
    // double or whose next step divides by zero
    const pAt = (/** @type {number} */ k) => outside.pOf([...xs, ...d.ps.slice(0, k)].slice(k));
    assert.deepEqual(
      d.ps.map((p, k) => [p, p === root || !Number.isFinite(pAt(k + 1))]),
      d.ps.map((_, k) => [pAt(k), k === stopWanted]),
      `${xs}: the doubles' iterates and their stop`,
    );
    assert.equal(d.step, stopWanted, `${xs}: the doubles stop at k = ${stopWanted}`);
    assert.equal(rows.length, rowsWanted, `${xs}: rows`);
    assert.deepEqual(
      rows.map((r) => r.stop),
      rows.map((_, k) => k === d.step),
      `${xs}: one row marked`,
    );
    for (const [k, { cells }] of rows.entries()) {
      assert.equal(cells[0], String(k));
      assert.equal(cells[1], run.rows[k].error);
      // beside each of Iterate's own p_k, none past the row where they stop
      if (k > d.step) assert.equal(cells[3], "–");
      // against the true root, as the many digits are: never 0, the root being no double
      else assert.ok(cells[3].startsWith(Math.abs(errorOf(d.ps[k], fnRoot)).toExponential(2)), cells[3]);
    }
    assert.match(rows[rows.length - 1].cells[2], new RegExp(`^${theory.slice(0, 3)}`));
    assert.match(
      table.note,
      new RegExp(
        `^At k = ${rowsWanted - 2} and ${rowsWanted - 1} the estimated orders, ${rows[rows.length - 2].cells[2]} and ` +
          `${rows[rows.length - 1].cells[2]}, are both within 0\\.005 of the theoretical ${theory}\\. The doubles stop ` +
          `at k = ${stopWanted}: `,
      ),
    );
    assert.match(table.caption, /^The iteration from the \d nodes .* 2000 decimal digits .* not the program's/);
  }
  // a triple root: the many digits settle on order 1, the doubles go on to where Iterate stops
  const start = [0.3, 0.45, 0.6, 0.7],
    triple = fnOf("(x - 0.5)*(x - 0.5)*(x - 0.5)", start);
  assert.ok(triple.root, "the triple root");
  const settled = converge(start, { ...PRECISE, fn: { tree: triple.tree, root: triple.root } }),
    last = doublesStop(model, { nodes: start, exp: "wasm", fn: triple });
  assert.equal(settled.stop.reason, "order");
  assert.match(
    ordersTable(triple, { key: "", nodes: start, ...settled, doubles: last }, true, start).note,
    /are both within 0\.005 of the theoretical 1\.000\. The doubles stop at k = 98, after the last row: the next step/,
  );
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
