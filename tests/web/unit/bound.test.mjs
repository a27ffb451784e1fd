// The interpolation error's bound: the program's figures; the bound
// against the true error for 200 random node sets, the true P(0) computed
// in fixed point from the exact f(x_k) (not from the doubles y_k), with
// bits enough for the nodes' gaps;
// the page's p, through the .wasm's own Qij, within the bound widened by
// rounding's reach; and a reason, not a bound, where none exists.
//
//   INVERSE_NEVILLE_WASM=out/wasi/web/inverse_neville.wasm \
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/bound.test.mjs

import assert from "node:assert/strict";
import { test } from "node:test";
import { interpolationBound } from "../../../web/core/bound.js";
import { errorOf } from "../../../web/core/accuracy.js";
import { divRound, fixedArithmetic, fixedAt, fromDouble, toNumber } from "../../../web/core/fixed.js";
import { newtonRoot } from "../../../web/core/roots.js";
import { compile } from "../../../web/core/walk.js";
import { noBoundText } from "../../../web/core/sentences/functions.js";
import { boundText } from "../../../web/core/sentences/quality.js";
import { analyse } from "../../../web/core/analyses.js";
import { converge, fc, inDoubles, outside, presets, stateOf, treeOf } from "./context.mjs";

const [program] = presets;
const F = fixedAt(3000);

/**
 * The bits to compute P(0) with: 3000, and more where nodes lie close, for the sweep's (n-1)-th divided
 * differences shrink with the gap g as g^(n-1) and must stay far above 2^-bits.
 * @param {number[]} xs
 */
function bitsFor(xs) {
  const sorted = [...xs].sort((a, b) => a - b);
  const gap = Math.min(...sorted.slice(1).map((x, k) => x - sorted[k]));
  return 3000 + Math.ceil(Math.max(0, -Math.log2(gap)) * xs.length);
}

/**
 * P(0) - root in fixed point at F's bits: the exact f(x_k) (each within a few units of its last bit), Neville's
 * sweep with each division rounded there, and the root by Newton's method there; as m / 2^W.
 * @param {import("../../../web/core/functions.js").Preset} preset
 * @param {number[]} xs
 * @param {import("../../../web/core/fixed.js").Fixed} F
 */
function trueError(preset, xs, F) {
  const X = xs.map((x) => fromDouble(x, F.W));
  const Y = X.map(compile(preset.tree, fixedArithmetic(F)));
  let above = [X[0]];
  for (let i = 1; i < xs.length; i++) {
    const row = [X[i]];
    for (let j = 1; j <= i; j++) row.push(divRound(Y[i] * above[j - 1] - Y[i - j] * row[j - 1], Y[i] - Y[i - j]));
    above = row;
  }
  const found = newtonRoot(preset.tree, preset.root.hi, F);
  assert.ok(found, `${preset.id}: Newton's method settles`);
  return above[xs.length - 1] - found.root;
}

test("the program's nodes: g'''' within [-0.2917, -0.02714], so 5.5e-7 <= P(0) - root <= 5.9e-6, around 2.98e-6", () => {
  const points = program.nodes.map((x) => ({ x, y: outside.yOf(x) }));
  const b = interpolationBound(program.tree, points, program.root);
  assert.ok("lo" in b, JSON.stringify(b));
  // the enclosure holds g''''(x) at 0.3 and 0.6, -0.0271422 and -0.2916974, and is within 1 % of them
  assert.ok(b.derivative.lo <= -0.2916973 && b.derivative.lo > -0.2917 * 1.01, `${b.derivative.lo}`);
  assert.ok(b.derivative.hi >= -0.0271423 && b.derivative.hi < -0.0271422 * 0.99, `${b.derivative.hi}`);
  assert.deepEqual([b.lo.toExponential(1), b.hi.toExponential(1)], ["5.5e-7", "5.9e-6"]);
  const truth = toNumber(trueError(program, program.nodes, F), F.W);
  assert.equal(truth.toExponential(2), "2.98e-6");
  assert.ok(b.lo <= truth && truth <= b.hi);
  // the product of the -y_k, and rounding far below the bound: the program's p is the bound's p
  assert.equal(b.product.lo.toPrecision(6), "0.000484543");
  assert.equal(b.rounding.verdict, "negligible");
  assert.equal(b.rounding.p, outside.pOf(program.nodes));
  assert.ok(b.rounding.reach < 1e-14, `${b.rounding.reach}`);
});

test("200 random sets of 2 to 8 nodes in [0, 1]: the true error within the bound, the page's p within it widened", () => {
  // ordinary nodes mostly (millionths), and any double in [0, 1] now and then: 0, subnormals, 1 - 2^-53
  const node = fc.oneof(
    { arbitrary: fc.integer({ min: 0, max: 1e6 }).map((k) => k / 1e6), weight: 4 },
    { arbitrary: fc.double({ min: 0, max: 1, noNaN: true }), weight: 1 },
  );
  const nodes = fc.uniqueArray(node, {
    minLength: 2,
    maxLength: 8,
    comparator: (a, b) => a === b,
  });
  let compared = 0;
  fc.assert(
    fc.property(nodes, (xs) => {
      const points = xs.map((x) => ({ x, y: outside.yOf(x) }));
      const b = interpolationBound(program.tree, points, program.root);
      assert.ok("lo" in b, `${xs}: ${JSON.stringify(b)}`);
      const G = fixedAt(bitsFor(xs));
      const e = trueError(program, xs, G);
      assert.ok(
        fromDouble(b.lo, G.W) <= e && e <= fromDouble(b.hi, G.W),
        `${xs}: ${toNumber(e, G.W)} in [${b.lo}, ${b.hi}]`,
      );
      const p = outside.pOf(xs);
      assert.ok(Object.is(b.rounding.p, p), `${xs}: the bound's sweep gives ${b.rounding.p}, the .wasm's Qij ${p}`);
      if (b.rounding.verdict !== "none") {
        compared++;
        const pe = errorOf(p, program.root);
        assert.ok(
          b.rounding.page.lo <= pe && pe <= b.rounding.page.hi,
          `${xs}: p - root = ${pe}, ${JSON.stringify(b.rounding)}`,
        );
      }
    }),
    { numRuns: 200 },
  );
  assert.ok(compared > 100, `only ${compared} of 200 sets gave p a number`);
});

test("rounding's widening, each of its two terms needed: the page's p within the bound widened by both, and not by either alone", () => {
  // the sweep's own rounding, where f's y are exact but p's is not; the y's rounding, where two nodes lie close
  /** @type {[hash: string, needs: "sweep" | "ys"][]} */
  const cases = [
    ["#f=x%20-%200.25&nodes=0.1,0.33,0.77,0.91", "sweep"],
    ["#nodes=0.3,0.30000000000001,0.6", "ys"],
  ];
  for (const [hash, needs] of cases) {
    const { r } = stateOf(hash),
      b = interpolationBound(r.fn.tree, r.pts, r.fn.root);
    assert.ok(r.fn.root && "lo" in b, hash);
    const e = errorOf(r.p, r.fn.root),
      { sweep, ys } = b.rounding,
      within = (/** @type {number} */ reach) => e >= b.lo - reach && e <= b.hi + reach;
    assert.deepEqual(
      { both: within(sweep + ys), without: within(needs === "sweep" ? ys : sweep) },
      { both: true, without: false },
      `${hash}: p − root ${e}, the bound [${b.lo}, ${b.hi}], the sweep's ${sweep} and the y's ${ys}`,
    );
  }
});

test("y far below 1, some subnormal: the page's p within the bound widened by rounding's reach, or no reach said, never NaN", () => {
  /** @type {[hash: string, widened: boolean][]} */
  const cases = [
    // eight y near 1e-51: the barycentric weights, 1 / prod (y_j - y_m), overflow
    ["#f=1e-50*(x-0.3)&nodes=0.1,0.2,0.25,0.28,0.32,0.35,0.4,0.5", true],
    ["#f=1e-300*(x-0.3)&nodes=0.1,0.2,0.4,0.5", true],
    // y0 = 0 and y1 subnormal, 40 % off: p is 3.56e-8 from the root, the bound 0
    ["#f=1e-300*(x-0.3)&nodes=0.3,0.30000000000000004,0.5", true],
    // P'(y_k)'s terms overflow with opposite signs: no reach to say
    ["#f=1e-300*(x-0.3)&nodes=0.2,0.49999999999999994,0.50000000000000011,0.7", false],
  ];
  for (const [hash, widened] of cases) {
    const { r } = stateOf(hash),
      b = interpolationBound(r.fn.tree, r.pts, r.fn.root);
    assert.ok(r.fn.root && "lo" in b, hash);
    const text = boundText(r, b),
      e = errorOf(r.p, r.fn.root),
      { page, verdict } = b.rounding;
    assert.doesNotMatch(text, /NaN/, hash);
    assert.equal(verdict !== "none", widened, `${hash}: ${text}`);
    if (widened) assert.ok(page.lo <= e && e <= page.hi, `${hash}: p − root ${e} in ${JSON.stringify(page)}`);
  }
});

test("the presets: a bound around the true error, or the reason there is none", () => {
  for (const preset of presets) {
    const points = preset.nodes.map((x) => ({
      x,
      y: preset.program ? outside.yOf(x) : inDoubles(preset.tree)(x),
    }));
    const b = interpolationBound(preset.tree, points, preset.root);
    if (preset.id === "triple") {
      assert.ok("reason" in b && b.at !== null, JSON.stringify(b));
      assert.deepEqual([b.reason, Math.round(b.at * 1e6)], ["flat", 500000]);
    } else if (preset.id === "hump") {
      assert.ok("reason" in b && b.reason === "turns" && b.at !== null, JSON.stringify(b));
      assert.ok(Math.abs(b.at - Math.sqrt(1 / 3)) < 1e-6, `${b.at}`);
    } else {
      assert.ok("lo" in b, `${preset.id}: ${JSON.stringify(b)}`);
      const e = trueError(preset, preset.nodes, F);
      assert.ok(fromDouble(b.lo, F.W) <= e && e <= fromDouble(b.hi, F.W), `${preset.id}: ${toNumber(e, F.W)}`);
      assert.ok(b.met.lo >= b.derivative.lo && b.met.hi <= b.derivative.hi, preset.id);
    }
  }
});

test("where no bound exists, a reason: a kink, a pole, a value at or below 0 under log, no root, too few nodes", () => {
  /**
   * @type {[
   *   text: string,
   *   xs: number[],
   *   root: import("../../../web/core/roots.js").DoubleDouble | null,
   *   reason: import("../../../web/core/bound.js").NoBound["reason"],
   *   at: number | null,
   * ][]}
   */
  const cases = [
    ["abs(x - 0.5) - 0.1", [0.3, 0.45, 0.55, 0.7], { hi: 0.4, lo: 0 }, "kink", 0.5],
    ["1/(x - 0.5) + 3", [0.1, 0.2, 0.6], { hi: 1 / 6, lo: 0 }, "pole", 0.5],
    ["log(x) + 1", [0, 0.3, 0.5], { hi: Math.exp(-1), lo: 0 }, "domain", null],
    ["cos(x) - x", [0.6, 0.7], null, "no-root", null],
    ["cos(x) - x", [0.6], presets[1].root, "nodes", null],
    ["cos(x) - x", [0.6, 0.6], presets[1].root, "nodes", null],
  ];
  for (const [text, xs, root, reason, at] of cases) {
    const tree = treeOf(text);
    const points = xs.map((x) => ({ x, y: inDoubles(tree)(x) }));
    const b = interpolationBound(tree, points, root);
    assert.ok("reason" in b, `${text}: ${JSON.stringify(b)}`);
    assert.equal(b.reason, reason, `${text}: ${noBoundText(b)}`);
    if (at !== null) assert.ok(b.at !== null && Math.abs(b.at - at) < 1e-6, `${text}: at ${b.at}`);
    assert.match(noBoundText(b), /\w/);
  }
});

test("the workers' jobs: each outcome what the core gives, and plain data a worker can post", () => {
  const points = program.nodes.map((x) => ({ x, y: outside.yOf(x) }));
  const { rows, stop } = converge([0.6, 0.7], { fn: presets[1], within: [-8, 8] });
  /** @type {[import("../../../web/core/analyses.js").Job, import("../../../web/core/analyses.js").Outcome][]} */
  const jobs = [
    [
      { kind: "bound", text: program.text, points, root: program.root },
      { kind: "bound", bound: interpolationBound(program.tree, points, program.root) },
    ],
    [
      { kind: "orders", text: "cos(x) - x", nodes: [0.6, 0.7], root: presets[1].root.hi, interval: [-20, 20] },
      { kind: "orders", rows, stop },
    ],
  ];
  for (const [job, want] of jobs) {
    const got = analyse(job);
    assert.deepEqual(structuredClone(got), got, `${job.kind}: an outcome a worker can post`);
    assert.deepEqual(got, want, job.kind);
  }
});
