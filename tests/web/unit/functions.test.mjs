// The true root as a double-double and p measured against it; the presets'
// roots against Python's decimal; the checks of the nodes' y; a learner's
// root by bisection.
//
//   node --test tests/web/unit/functions.test.mjs

import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { test } from "node:test";
import { accuracy, correctDigits, errorOf, ulpOf } from "../../../web/core/accuracy.js";
import { inverseChecks, typedFunction } from "../../../web/core/functions.js";
import { parse } from "../../../web/core/expression.js";
import { fixedAt, toDoubleDouble } from "../../../web/core/fixed.js";
import { learnerRoot, newtonRoot } from "../../../web/core/roots.js";
import { whyNoRoot } from "../../../web/core/sentences/functions.js";
import { functionLesson } from "../../../web/core/sentences/nodes.js";
import { fnOf, fnRoot as root, inDoubles, presets as PRESETS, treeOf } from "./context.mjs";

/**
 * A learner's root for a text over these nodes, as the page finds it.
 * @param {string} text
 * @param {number[]} nodes
 */
const learnerFunction = (text, nodes) => learnerRoot(treeOf(text), nodes);
const below = (/** @type {number} */ x, k = 1) => {
  let v = x;
  for (let i = 0; i < k; i++) v -= ulpOf(v) / (v === 2 ** Math.floor(Math.log2(v)) ? 2 : 1);
  return v;
};

test("p against the true root: the root's double is 0.40 ulp above it and 16 digits right, as is the double below", () => {
  // p, its error, its ulps of the root's double, its correct digits, whether it is the nearest double
  /** @type {[number, number, number, string, boolean][]} */
  const cases = [
    [root.hi, 2.22286142676798e-17, 0.4004, "16", true],
    [below(root.hi), -3.3282536963578e-17, -0.5996, "16", false],
    [below(root.hi, 2), -8.879368819483586e-17, -1.5996, "15", false],
    [0.4263057326974982, 2.9816906354729576e-6, 53713363339.4, "5", false],
    // the README's root, 0.4263027510068627456732..., gives -7.7596185...e-11
    [0.42630275092926656, -7.7596185e-11, -1397848.6, "9", false],
  ];
  for (const [p, error, ulps, digits, nearest] of cases) {
    const got = accuracy(p, root);
    assert.ok(Math.abs(got.error / error - 1) < 1e-7, `${p}: error ${got.error}`);
    assert.ok(Math.abs(got.ulps - ulps) < 1e-3 * Math.max(1, Math.abs(got.ulps)), `${p}: ${got.ulps}`);
    assert.deepEqual([got.digits, got.nearest], [digits, nearest], `${p}`);
  }
  // not a number: no digits; a root that is a double, met exactly: all; a root at 0: decimal places
  assert.deepEqual(
    [NaN, Infinity, -Infinity].map((p) => correctDigits(p, root)),
    ["–", "–", "–"],
  );
  assert.equal(correctDigits(0.5, { hi: 0.5, lo: 0 }), "all");
  assert.equal(correctDigits(3e-6, { hi: 0, lo: 0 }), "5");
  assert.equal(correctDigits(5, root), "0");
  // far from the root p - hi is not exact by itself: TwoSum makes it so
  assert.equal(errorOf(1e10, root), 1e10 - 0.42630275100686277);
  assert.equal(errorOf(-3, { hi: 1, lo: 2 ** -60 }), -4 - 2 ** -60);
});

test("an ulp is the gap to the next double away from 0, at powers of two and subnormals too", () => {
  for (const [x, ulp] of [
    [0.5, 2 ** -53],
    [0.49999999999999994, 2 ** -54],
    [root.hi, 2 ** -54],
    [1, 2 ** -52],
    [-1, 2 ** -52],
    [2 ** 60, 2 ** 8],
    [5e-324, 5e-324],
    [0, 5e-324],
    [2.2250738585072014e-308, 5e-324],
  ])
    assert.equal(ulpOf(x), ulp, `${x}`);
});

test("each preset's root, as a double-double, against Newton's method in Python's decimal and in BigInt", (t) => {
  const python = `
import json, sys
from decimal import Decimal as D, getcontext
getcontext().prec = 80
def series(x, first):
    s, t, i = D(0), (x if first else D(1)), (1 if first else 0)
    while abs(t) > D(10) ** -90:
        s += t; t = -t * x * x / ((i + 1) * (i + 2)); i += 2
    return s
NAMES = {"exp": lambda u: u.exp(), "log": lambda u: u.ln(), "sqrt": lambda u: u.sqrt(),
         "sin": lambda u: series(u, True), "cos": lambda u: series(u, False), "D": D}
out = []
for case in json.loads(sys.argv[1]):
    f = lambda x: eval(case["f"], dict(NAMES, x=x))
    x = D(case["start"])
    if f(x) != 0:
        for _ in range(60):
            h = D(10) ** -40
            dx = f(x) * 2 * h / (f(x + h) - f(x - h))
            x -= dx
            if abs(dx) < D(10) ** -70:
                break
    hi = float(x)
    out.append([hi, float(x - D(hi))])
print(json.dumps(out))
`;
  const text = (/** @type {string} */ s) =>
    s.replace(/(\d+\.?\d*|\.\d+)(e[+-]?\d+)?/gi, "D('$&')").replaceAll("^", "**");
  const cases = PRESETS.map((p) => ({ f: text(p.text), start: p.root.hi }));
  const py = spawnSync("python3", ["-c", python, JSON.stringify(cases)], { encoding: "utf8", timeout: 60000 });
  const F = fixedAt(400);
  for (const p of PRESETS) {
    const found = newtonRoot(p.tree, p.root.hi, F);
    assert.ok(found, `${p.id}: Newton's method settles`);
    assert.deepEqual(toDoubleDouble(found.root, F.W), p.root, `${p.id}: BigInt Newton`);
  }
  if (py.error && Reflect.get(py.error, "code") === "ENOENT") {
    t.skip("python3 is not installed: the presets' roots checked in BigInt only");
    return;
  }
  assert.equal(py.status, 0, py.stderr);
  const want = JSON.parse(py.stdout);
  PRESETS.forEach((p, k) => assert.deepEqual([p.root.hi, p.root.lo], want[k], `${p.id}: Python's decimal`));
});

test("the presets: each parses, its nodes in its interval, its sentence saying where its y_k come from", () => {
  assert.deepEqual(
    PRESETS.map((p) => p.id),
    ["program", "cos", "newton", "triple", "hump", "beyond"],
  );
  for (const p of PRESETS) {
    assert.equal(parse(p.text).error, undefined, p.id);
    assert.ok(
      p.nodes.every((x) => x >= p.interval[0] && x <= p.interval[1]),
      p.id,
    );
    // where its y come from said wherever they are not the program's
    assert.equal(/Your browser computes its y/.test(functionLesson(fnOf(p.text, p.nodes))), !p.program, p.id);
    const f = inDoubles(p.tree);
    assert.ok(Math.abs(f(p.root.hi)) < 1e-15, `${p.id}: f(root) = ${f(p.root.hi)}`);
  }
});

test("a preset's f typed out, however written, is that preset: nodes outside its interval, or not around its root, make way for its own; other f's are the learner's", () => {
  /** @type {[string, number[], string | null, boolean][]} */
  const cases = [
    ["x^3 - 2*x - 5", [0.3, 0.4, 0.5, 0.6], "newton", true],
    ["x^3 - 2*x - 5", [1.6, 1.8, 2.4], "newton", false],
    ["x^3 - 2*x - 5", [1.6, 1.8, 3.5], "newton", true],
    ["exp(-2*x) - x", [0.3, 0.4, 0.5, 0.6], "program", false],
    ["exp(-2*x) - x", [-0.5, 0.4], "program", true],
    // recognised by its tree: spaces, products without *, e^u, a number written otherwise
    ["exp(-2x) - x", [0.3, 0.4, 0.5, 0.6], "program", false],
    ["e^-2x - x", [0.4, 0.45], "program", false],
    ["X^3 - 2X  - 5", [0.3, 0.4], "newton", true],
    ["(x - .50)^3", [0.3, 0.7], "triple", false],
    ["exp(-2x) - x + 0", [0.3, 0.4], null, false],
    ["-x + exp(-2x)", [0.3, 0.4], null, false],
    ["x^2 - 3", [1.6, 1.8, 2.4], null, false],
    // inside the interval, but the root not among them: the lesson's nodes
    ["cos(x) - x", [0.3, 0.4, 0.5, 0.6], "cos", true],
    ["cos(x) - x", [0.7, 0.8], "cos", false],
  ];
  for (const [text, nodes, id, itsNodes] of cases) {
    const typed = typedFunction(PRESETS, text, nodes);
    assert.deepEqual([typed.preset?.id ?? null, typed.itsNodes], [id, itsNodes], `${text} over ${nodes.join(", ")}`);
  }
});

test("the nodes' y: equal, not monotone, no sign change, or interpolation; and which turn", () => {
  const pts = (/** @type {string} */ text, /** @type {number[]} */ xs) => {
    const f = inDoubles(text);
    return xs.map((x) => ({ x, y: f(x) }));
  };
  /** @type {[{x: number, y: number}[], {verdict: string, turns: number[], signChange: boolean}][]} */
  const cases = [
    [pts("exp(-2*x) - x", [0.3, 0.4, 0.5, 0.6]), { verdict: "interpolation", turns: [], signChange: true }],
    [pts("exp(-2*x) - x", [0.6, 0.3, 0.5, 0.4]), { verdict: "interpolation", turns: [], signChange: true }],
    [pts("exp(-2*x) - x", [0.55, 0.65, 0.75, 0.85]), { verdict: "extrapolation", turns: [], signChange: false }],
    [pts("x^3 - x + 1", [-1.5, -1, -0.3, 0.6]), { verdict: "not-monotone", turns: [2], signChange: true }],
    [pts("(x - 0.5)^2 - 0.01", [0.25, 0.45, 0.75]), { verdict: "equal-y", turns: [1], signChange: true }],
    [pts("x - 0.5", [0.5, 0.6]), { verdict: "interpolation", turns: [], signChange: false }],
  ];
  for (const [points, want] of cases) {
    const got = inverseChecks(points);
    assert.deepEqual(
      { verdict: got.verdict, turns: got.turns, signChange: got.signChange },
      want,
      JSON.stringify(points),
    );
  }
  assert.deepEqual(inverseChecks(pts("(x - 0.5)^2 - 0.01", [0.25, 0.45, 0.75])).equal, [[0, 2]]);
  assert.equal(inverseChecks(pts("x - 0.5", [0.5, 0.6])).onRoot, 0);
});

test("a learner's root: bisection where the y change sign, then Newton's method in BigInt; none otherwise, said why", () => {
  const cos = PRESETS.find((p) => p.id === "cos");
  assert.ok(cos, "cos(x) - x among the presets");
  const got = learnerFunction("cos(x) - x", [0.9, 0.6, 0.7]);
  assert.ok("root" in got);
  assert.deepEqual([got.root, got.multiplicity, got.bracket], [cos.root, 1, [0.7, 0.9]]);
  // the bisection lands on the triple root exactly, where f and f' are 0: a multiple root; near 0.1, which no
  // double is, the steps show the multiplicity, 3, and the root comes out to a double-double's digits
  const triple = learnerFunction("(x - 0.5)^3", [0.3, 0.7]);
  assert.deepEqual("root" in triple && [triple.root, triple.multiplicity > 1], [{ hi: 0.5, lo: 0 }, true]);
  const shifted = learnerFunction("(x - 0.1)^3", [0, 0.3]);
  assert.ok("root" in shifted && shifted.root.hi === 0.1 && shifted.multiplicity === 3);
  assert.equal(shifted.root.lo, -5.551115123125783e-18); // 0.1 - the double 0.1
  /** @type {[string, number[], RegExp][]} */
  const none = [
    ["x^2 + 1", [0, 1], /all have one sign/],
    ["log(x)", [-1, 2], /no value at a node/],
    ["1/(x - 0.5)", [0.3, 0.7], /without coming near 0: a pole/],
    ["sqrt(x - 0.5) - 0.1 + 0*x", [0.4, 0.7], /no value at a node|all have one sign/],
  ];
  for (const [text, xs, why] of none) {
    const r = learnerFunction(text, xs);
    assert.ok("kind" in r, `${text}`);
    assert.match(whyNoRoot(r), why, `${text}`);
  }
});
