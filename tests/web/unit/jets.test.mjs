// f's Taylor jets by the walk in interval arithmetic, and the inverse's by
// series reversion: against closed forms, and over an interval against the
// point's.
//
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/jets.test.mjs

import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { test } from "node:test";
import { parse } from "../../../web/core/expression.js";
import { compile } from "../../../web/core/walk.js";
import { jets, variable } from "../../../web/core/jets.js";
import { reversion } from "../../../web/core/bound.js";

/** @type {typeof import("fast-check")} */
const fc = createRequire(`${process.env.INVERSE_NEVILLE_NODE_MODULES}/`)("fast-check");

function treeOf(/** @type {string} */ text) {
  const { tree, error } = parse(text);
  assert.ok(tree, `${text}: ${JSON.stringify(error)}`);
  return tree;
}
/** f's jet over [a, b] up to t^N. */
const jetOf = (/** @type {string} */ text, /** @type {number} */ a, /** @type {number} */ b, N = 6) =>
  compile(treeOf(text), jets(N))(variable({ lo: a, hi: b }, N));
/** An enclosure's middle. */
const mid = (/** @type {{lo: number, hi: number}} */ v) => (v.lo + v.hi) / 2;

test("jets against closed forms: e^(-2x) - x, whose derivatives are (-2)^k u, and its inverse; log(1 + y)'s", () => {
  for (const x of [0, 0.3, 0.4263, 0.6, 1]) {
    const u = Math.exp(-2 * x);
    let factorial = 1;
    const want = [u - x, -2 * u - 1];
    for (let k = 2; k <= 9; k++) {
      factorial *= k;
      want.push(((-2) ** k * u) / factorial);
    }
    const c = jetOf("exp(-2*x) - x", x, x, 9);
    c.forEach((v, k) =>
      assert.ok(Math.abs(mid(v) - want[k]) <= 4e-16 * Math.max(1, Math.abs(want[k])), `x = ${x}, c_${k}`),
    );
    // g' = 1 / f', g'' = -f'' / f'^3, g''' = (3 f''^2 - f' f''') / f'^5
    const f1 = -2 * u - 1,
      f2 = 4 * u,
      f3 = -8 * u;
    const b = reversion(jetOf("exp(-2*x) - x", x, x, 3)).map(mid);
    for (const [k, v] of [
      [1, 1 / f1],
      [2, -f2 / f1 ** 3 / 2],
      [3, (3 * f2 * f2 - f1 * f3) / f1 ** 5 / 6],
    ])
      assert.ok(Math.abs(b[k] - v) <= 1e-15 * Math.abs(v), `x = ${x}, b_${k}`);
  }
  // f = e^x - 1, g = log(1 + y): g^(k)(y) / k! = (-1)^(k+1) / (k (1 + y)^k), y = e^x - 1
  for (const x of [-0.5, 0, 0.7]) {
    const b = reversion(jetOf("exp(x) - 1", x, x, 9)).map(mid);
    for (let k = 1; k <= 9; k++) {
      const v = (-1) ** (k + 1) / (k * Math.exp(k * x));
      assert.ok(Math.abs(b[k] - v) <= 1e-13 * Math.abs(v), `log: x = ${x}, b_${k} = ${b[k]}, not ${v}`);
    }
  }
  // the hyperbolic functions: sinh's and cosh's coefficients 1/k! by turns, tanh's t - t^3/3 + 2t^5/15
  const sinh = jetOf("sinh(x)", 0, 0, 5).map(mid),
    cosh = jetOf("cosh(x)", 0, 0, 5).map(mid),
    tanh = jetOf("tanh(x)", 0, 0, 5).map(mid);
  assert.deepEqual(
    [sinh, cosh, tanh].map((c) => c.map((v) => Number(v.toPrecision(12)))),
    [
      [0, 1, 0, 1 / 6, 0, 1 / 120],
      [1, 0, 0.5, 0, 1 / 24, 0],
      [0, 1, 0, -1 / 3, 0, 2 / 15],
    ].map((c) => c.map((v) => Number(v.toPrecision(12)))),
  );
});

test("over an interval, each jet coefficient's enclosure meets the point's for every x in it", () => {
  const texts = [
    "exp(-2*x) - x",
    "cos(x) - x",
    "x^3 - 2*x - 5",
    "sqrt(x)*log(x)",
    "tan(x)/x",
    "2^x - x^-2",
    "abs(x - 3)",
    "sinh(x) - cosh(2*x) + tanh(x)",
  ];
  fc.assert(
    fc.property(
      fc.constantFrom(...texts),
      // intervals up to 1.5, short of tan's pole at pi/2, where a jet over them is refused
      fc.double({ min: 0.1, max: 1.2, noNaN: true }),
      fc.double({ min: 0, max: 0.3, noNaN: true }),
      fc.double({ min: 0, max: 1, noNaN: true }),
      (text, a, width, at) => {
        const b = a + width,
          x = Math.min(b, a + at * width);
        const box = jetOf(text, a, b),
          pt = jetOf(text, x, x);
        box.forEach((v, k) => {
          assert.ok(v.lo <= pt[k].hi && pt[k].lo <= v.hi, `${text} on [${a}, ${b}] at ${x}: c_${k}`);
          // narrow at a point, if not always to a few ulps: tan(x)/x at 0.1 divides by 0.1 at every order
          assert.ok(pt[k].hi - pt[k].lo <= 1e-6 * Math.max(1, Math.abs(pt[k].lo)), `${text} at ${x}: c_${k} is wide`);
        });
      },
    ),
    { numRuns: 300 },
  );
});
