// precise.js against Python's decimal module doing the same iteration in
// 1200 digits with its own exp, and the runs that cannot be iterated.
// Run as the other unit tests are (context.mjs says how): node --test tests/web/unit/precise.test.mjs

import { test } from "node:test";
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { converge, steps } from "../../../web/core/precise.js";
import { theoreticalOrder } from "../../../web/core/numbers.js";

// The same iteration in Decimal floating point: nodes read exactly from the
// doubles, y = exp(-2x) - x, the tableau, the root by Newton's method, and
// the same three ways to stop.  Prints each run's rows and stop as JSON.
const PYTHON = `
import json, sys
from decimal import Decimal as D, getcontext, Context, ROUND_HALF_UP

job = json.loads(sys.argv[1])
getcontext().prec = job["prec"]
short = Context(prec=40)

def y(x):
    return (-2 * x).exp() - x

root = D("0.4263")
for _ in range(40):
    e = (-2 * root).exp()
    dx = (root - e) / (1 + 2 * e)
    root -= dx
    if abs(dx) < D(10) ** (20 - job["prec"]):
        break

def theory(n):
    lo, hi = 1.0, 2.0
    for _ in range(200):
        mid = (lo + hi) / 2
        if mid ** n < sum(mid ** i for i in range(n)):
            lo = mid
        else:
            hi = mid
    return lo

def three(e):
    d = e.adjusted()
    m = e.scaleb(-d).quantize(D("0.01"), rounding=ROUND_HALF_UP)
    if m >= 10:
        d += 1
        m = e.scaleb(-d).quantize(D("0.01"), rounding=ROUND_HALF_UP)
    return "%se%s%d" % (m, "-" if d < 0 else "+", abs(d))

def run(xs, digits, tolerance, cap):
    floor = D(10) ** -digits
    n = len(xs)
    t = theory(n)
    nodes = [D(x) for x in xs]
    ys = [y(x) for x in nodes]
    logs, rows = [], []
    k = 0
    while True:
        xw, yw = nodes[k:k + n], ys[k:k + n]
        Q = [[xw[i]] for i in range(n)]
        for i in range(1, n):
            for j in range(1, i + 1):
                den = yw[i] - yw[i - j]
                if den == 0:
                    lands = k > 0 and i == n - 1 and xw[i] == xw[i - j]
                    return rows, {"reason": "lands-on-node" if lands else "equal-y", "step": k,
                                  "nodes": [k + i - j, k + i]}
                Q[i].append(((0 - yw[i - j]) * Q[i][j - 1] - (0 - yw[i]) * Q[i - 1][j - 1]) / den)
        p = Q[n - 1][n - 1]
        err = abs(p - root)
        if err < floor:
            return rows, {"reason": "precision", "step": k}
        logs.append(err.log10(short))
        order = None
        if k >= 2:
            order = (logs[k] - logs[k - 1]) / (logs[k - 1] - logs[k - 2])
        rows.append({"error": three(err), "order": None if order is None else format(order, ".12f")})
        if order is not None and abs(float(order) - t) <= tolerance:
            return rows, {"reason": "order", "step": k}
        if k >= cap:
            return rows, {"reason": "cap", "step": k}
        nodes.append(p)
        ys.append(y(p))
        k += 1

out = []
for case in job["cases"]:
    rows, stop = run(case["xs"], case["digits"], case["tolerance"], case["maxSteps"])
    out.append({"rows": rows, "stop": stop})
print(json.dumps(out))
`;

// Started from each, the run to its order and the run to the resolution.
const starts = [
  [0.3, 0.4, 0.5, 0.6],
  [0.3, 0.4, 0.5],
  [0.4, 0.5],
  [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8],
];
const compared = [
  ...starts.map((xs) => ({ xs, digits: 1100, tolerance: 0.005, maxSteps: 40 })),
  ...starts.map((xs) => ({ xs, digits: 1100, tolerance: 0, maxSteps: 40 })),
  // digits that keep a last error just above 10^-digits (1.62e-1110, 4.28e-1003): all of them must be right
  { xs: [0.3, 0.4, 0.5], digits: 1111, tolerance: 0, maxSteps: 40 },
  { xs: [0.4, 0.5], digits: 1003, tolerance: 0, maxSteps: 40 },
  { xs: [0.4, 0.5], digits: 1100, tolerance: 0, maxSteps: 3 },
  { xs: [0.3, 0.4, 0.5, 0.3], digits: 1100, tolerance: 0.005, maxSteps: 40 },
];

/**
 * Rows and stop from the generator, one next() at a time, as a page would take them.
 * @param {number[]} xs
 * @param {import("../../../web/core/precise.js").Options} options
 */
function stepwise(xs, options) {
  const run = steps(xs, options);
  const rows = [];
  for (let next = run.next(); ; next = run.next()) {
    if (next.done) return { rows, stop: next.value };
    rows.push(next.value);
  }
}

test("errors, orders and stops agree with Python's decimal in 1200 digits", (t) => {
  const job = { prec: 1200, cases: compared };
  const py = spawnSync("python3", ["-c", PYTHON, JSON.stringify(job)], { encoding: "utf8", timeout: 60000 });
  if (py.error && /** @type {{ code?: string }} */ (py.error).code === "ENOENT") {
    t.skip("python3 is not installed");
    return;
  }
  assert.equal(py.status, 0, `python3 failed: ${py.error ?? py.stderr}`);
  const expected = JSON.parse(py.stdout);
  compared.forEach(({ xs, ...options }, c) => {
    const want = expected[c];
    for (const [how, got] of [
      ["converge", converge(xs, options)],
      ["steps", stepwise(xs, options)],
    ]) {
      const at = `${how}(${xs.join(", ")}; ${JSON.stringify(options)})`;
      assert.deepEqual(got.stop, want.stop, `${at}: stop`);
      assert.equal(got.rows.length, want.rows.length, `${at}: rows`);
      got.rows.forEach((row, k) => {
        assert.equal(row.step, k, `${at}: row ${k}'s step`);
        assert.equal(row.error, want.rows[k].error, `${at}: error at step ${k}`);
        const order = want.rows[k].order;
        if (order === null) assert.equal(row.order, null, `${at}: order at step ${k}`);
        else {
          // equal to 3 decimals, as shown; both carry far more, so much closer
          assert.equal(row.order?.toFixed(3), Number(order).toFixed(3), `${at}: order at step ${k}`);
          assert.ok(Math.abs(Number(row.order) - Number(order)) < 1e-9, `${at}: order at step ${k}`);
        }
      });
    }
  });
});

test("the theoretical order is the largest root of t^n = t^(n-1) + ... + 1", () => {
  // closed forms for 2 and 3; for all, the equivalent t^(n+1) - 2 t^n + 1 = 0 and 2 - 2^(1-n) < t < 2
  const closed = new Map([
    [2, (1 + Math.sqrt(5)) / 2],
    [3, (1 + Math.cbrt(19 + 3 * Math.sqrt(33)) + Math.cbrt(19 - 3 * Math.sqrt(33))) / 3],
  ]);
  for (let n = 2; n <= 8; n++) {
    const t = theoreticalOrder(n);
    if (closed.has(n)) assert.ok(Math.abs(t - /** @type {number} */ (closed.get(n))) < 1e-14, `n = ${n}: ${t}`);
    assert.ok(Math.abs(t ** (n + 1) - 2 * t ** n + 1) < 1e-12, `n = ${n}: ${t} is no root`);
    assert.ok(2 - 2 ** (1 - n) < t && t < 2, `n = ${n}: ${t} is not the largest root`);
  }
});

test("nodes that cannot be iterated stop with the step and the two nodes", () => {
  const cases = [
    { xs: [0.3, 0.4, 0.3], reason: "equal-y", step: 0, nodes: [0, 2] },
    { xs: [0.5, 0.5], reason: "equal-y", step: 0, nodes: [0, 1] },
    { xs: [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.1], reason: "equal-y", step: 0, nodes: [0, 7] },
    // a subnormal is a node of its own, not 0, and 1 - 2^-53 not 1
    { xs: [0, 5e-324, 0], reason: "equal-y", step: 0, nodes: [0, 2] },
    { xs: [1, 1 - 2 ** -53, 1], reason: "equal-y", step: 0, nodes: [0, 2] },
    // nodes 5e-324 from each other: their y differ in the 323rd digit, while P bits round them in the
    // 1119th, so the seventh divided differences are rounding alone and p lands beyond 10^1000
    { xs: [0, 5e-324, 1e-323, 1.5e-323, 2e-323, 2.5e-323, 3e-323, 3.5e-323], reason: "far", step: 1 },
  ];
  for (const { xs, ...want } of cases) {
    const { stop } = converge(xs);
    assert.deepEqual(stop, want, `${xs.join(", ")}`);
  }
});

test("past the resolution, iterates land on a node", () => {
  // Below 10^-digits the iterates can only move by the rounding, until one is a node already.
  for (const xs of starts) {
    const n = xs.length;
    const within = converge(xs, { tolerance: 0 });
    const { rows, stop } = converge(xs, { tolerance: 0, pastResolution: true });
    const at = xs.join(", ");
    assert.equal(within.stop.reason, "precision", at);
    assert.equal(stop.reason, "lands-on-node", at);
    assert.ok(stop.step > within.stop.step, `${at}: landed at ${stop.step}, within the resolution`);
    assert.deepEqual(rows.slice(0, within.rows.length), within.rows, at);
    const [older, newest] = /** @type {[number, number]} */ (stop.nodes);
    assert.equal(newest, n + stop.step - 1, `${at}: the node landed on is not the newest iterate`);
    assert.ok(stop.step <= older && older < newest, `${at}: node ${older} is not in the sweep at ${stop.step}`);
  }
});

test("input that is not 2 to 8 doubles in [0, 1], or bad options, is refused as data", () => {
  const cases = [
    { xs: [0.5], options: {} },
    { xs: [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9], options: {} },
    { xs: [0.5, 1.5], options: {} },
    { xs: [-0.1, 0.5], options: {} },
    { xs: [NaN, 0.5], options: {} },
    { xs: [0.4, 0.5], options: { digits: 999 } },
    { xs: [0.4, 0.5], options: { digits: 1100.5 } },
    { xs: [0.4, 0.5], options: { tolerance: -1 } },
    { xs: [0.4, 0.5], options: { tolerance: NaN } },
    { xs: [0.4, 0.5], options: { maxSteps: 1.5 } },
  ];
  for (const { xs, options } of cases) {
    const { rows, stop } = converge(xs, options);
    const at = `${xs.join(", ")} ${JSON.stringify(options)}`;
    assert.equal(stop.reason, "invalid", at);
    assert.equal(typeof stop.message, "string", at);
    assert.equal(rows.length, 0, at);
  }
});

test("any two of the edge doubles run without an exception, the error's text and logarithm agreeing", () => {
  const edges = [0, 5e-324, 2.2250738585072014e-308, 1e-17, 0.4263027510068627, 0.5, 1 - 2 ** -53, 1];
  const reasons = ["order", "precision", "cap", "equal-y", "lands-on-node", "far"];
  for (const a of edges) {
    for (const b of edges) {
      const { rows, stop } = converge([a, b], { tolerance: 0 });
      const at = `${a}, ${b}`;
      assert.ok(reasons.includes(stop.reason), `${at}: ${stop.reason}`);
      if (a === b) assert.deepEqual(stop, { reason: "equal-y", step: 0, nodes: [0, 1] }, at);
      else assert.ok(rows.length >= 3, `${at}: ${rows.length} rows`);
      for (const { error, log10 } of rows) {
        const [, lead, exponent] = /** @type {RegExpMatchArray} */ (/^(\d\.\d\d)e([+-]\d+)$/.exec(error));
        // three digits rounded: log10 within log10(1 + 0.005 / lead) of the text's
        assert.ok(Math.abs(log10 - (Number(exponent) + Math.log10(Number(lead)))) < 0.0022, `${at}: ${error}`);
      }
    }
  }
});
