// The program as the page loads it from its bytes: its run, Qij and the sweep bit for bit, the true root, and
// the numbers as the page writes them.

import assert from "node:assert/strict";
import { test } from "node:test";
import { bitsOf } from "../recorded.mjs";
import { show, showTo } from "../../../web/core/numbers.js";
import { model, p, program, recorded, resultOf, root } from "./context.mjs";

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

test("fewer digits, as the reader chooses: the shortest decimal of the rounded double, all of them by default", () => {
  /** @type {[x: number, digits: number, want: string][]} */
  const cases = [
    [0.4263336693654574, 4, "0.4263"],
    [0.4263336693654574, 6, "0.426334"],
    [0.4263336693654574, 0, "0.4263336693654574"],
    [0.3, 4, "0.3"],
    [-0.0000055238888965192245, 4, "-0.000005524"],
    [1.437551189198416e-10, 6, "1.43755e-10"],
    [0.99999, 4, "1"],
    [NaN, 4, "NaN"],
    [-Infinity, 6, "-Infinity"],
  ];
  for (const [x, digits, want] of cases) assert.equal(showTo(x, digits), want, `${x} to ${digits}`);
});
