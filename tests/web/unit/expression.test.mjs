// A learner's f: the parser against random trees printed as text, hostile
// text, and each bad input's message; the jets of its derivatives against
// closed forms, and their enclosures over intervals.
//
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/expression.test.mjs

import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { test } from "node:test";
import { MAX_LENGTH, evaluate, functionsOf, parse } from "../../../web/core/expression.js";
import { compile, jetOver, workspace } from "../../../web/core/jets.js";
import { inverseTaylor, taylor } from "../../../web/core/reversion.js";

/** @type {typeof import("fast-check")} */
const fc = createRequire(`${process.env.INVERSE_NEVILLE_NODE_MODULES}/`)("fast-check");

/** @typedef {import("../../../web/core/expression.js").FnName} FnName */

/** @type {FnName[]} */
const FUNCTIONS = ["exp", "log", "sqrt", "sin", "cos", "tan", "abs"];
/** The test's own evaluation of a name: JavaScript's Math, looked up apart from the page's table. */
const math = (/** @type {FnName} */ name) => Math[name];

// The test's own trees: ["num", v], ["x"], ["pi"], ["e"], ["neg", t], [op, l, r], ["call", name, t].
/** @typedef {import("./trees").TestTree} TestTree */
/** @type {(v: number) => TestTree} */
const num = (v) => ["num", v];
/** @type {import("fast-check").LetrecTypedBuilder<{leaf: TestTree, node: TestTree}>} */
const trees = (tie) => ({
  leaf: fc.oneof(
    fc.integer({ min: 0, max: 20 }).map(num),
    fc.double({ min: 0, max: 1e3, noNaN: true }).map(num),
    fc.constantFrom(["x"], ["x"], ["pi"], ["e"]),
  ),
  node: fc.oneof(
    { depthSize: "small", withCrossShrink: true },
    tie("leaf"),
    fc.tuple(fc.constant("neg"), tie("node")),
    fc.tuple(fc.constantFrom("+", "-", "*", "/", "^"), tie("node"), tie("node")),
    fc.tuple(fc.constant("call"), fc.constantFrom(...FUNCTIONS), tie("node")),
  ),
});
const tree = fc.letrec(trees).node;

/** @type {Record<string, number | undefined>} */
const BINDING = { "+": 1, "-": 1, "*": 2, "/": 2, neg: 3, "^": 4 };
/** How tightly a tree binds as printed: + - 1, * / 2, a sign 3, ^ 4, the rest 5. */
const binding = (/** @type {TestTree} */ t) => BINDING[t[0]] ?? 5;

/**
 * A tree as text, with the fewest parentheses the documented precedence allows; spaced and signs varied by `style`.
 * @param {TestTree} t
 * @param {{spaces: boolean, unicode: boolean}} style
 * @returns {string}
 */
function print(t, style) {
  /** @type {(u: TestTree, bare: boolean) => string} */
  const wrap = (u, bare) => (bare ? print(u, style) : `(${print(u, style)})`);
  const gap = style.spaces ? " " : "";
  switch (t[0]) {
    case "num":
      return String(t[1]);
    case "x":
    case "pi":
    case "e":
      return t[0];
    case "neg":
      return (style.unicode ? "\u2212" : "-") + wrap(t[1], binding(t[1]) >= 3);
    case "call":
      return `${t[1]}(${print(t[2], style)})`;
    case "^":
      return `${wrap(t[1], binding(t[1]) === 5)}^${wrap(t[2], binding(t[2]) >= 3)}`;
    default: {
      const level = binding(t);
      const op = t[0] === "*" && style.unicode ? "\u00d7" : t[0];
      return `${wrap(t[1], binding(t[1]) >= level)}${gap}${op}${gap}${wrap(t[2], binding(t[2]) > level)}`;
    }
  }
}

/**
 * The test's own walker over its trees, in doubles.
 * @param {TestTree} t
 * @param {number} x
 * @returns {number}
 */
function walk(t, x) {
  switch (t[0]) {
    case "num":
      return t[1];
    case "x":
      return x;
    case "pi":
      return Math.PI;
    case "e":
      return Math.E;
    case "neg":
      return -walk(t[1], x);
    case "call":
      return math(t[1])(walk(t[2], x));
    case "+":
      return walk(t[1], x) + walk(t[2], x);
    case "-":
      return walk(t[1], x) - walk(t[2], x);
    case "*":
      return walk(t[1], x) * walk(t[2], x);
    case "/":
      return walk(t[1], x) / walk(t[2], x);
    default:
      return walk(t[1], x) ** walk(t[2], x);
  }
}

/**
 * The parser's tree in the test's form, positions and texts left out.
 * @param {import("../../../web/core/expression.js").Tree} u
 * @returns {TestTree}
 */
function plainTree(u) {
  switch (u.kind) {
    case "num":
      return ["num", u.value];
    case "x":
      return ["x"];
    case "const":
      return [u.name];
    case "neg":
      return ["neg", plainTree(u.arg)];
    case "call":
      return ["call", u.name, plainTree(u.arg)];
    default:
      return [u.op, plainTree(u.left), plainTree(u.right)];
  }
}

/** The parser's tree for text it must accept. */
function treeOf(/** @type {string} */ text) {
  const { tree, error } = parse(text);
  assert.ok(tree, `${text}: ${error}`);
  return tree;
}

test("1,000 random trees, printed and parsed back: the same tree, and the same value as the test's walker", () => {
  const style = fc.record({ spaces: fc.boolean(), unicode: fc.boolean() });
  const xs = fc.double({ min: -2, max: 2, noNaN: true });
  fc.assert(
    fc.property(tree, style, xs, (t, s, x) => {
      const text = print(t, s);
      fc.pre(Array.from(text).length <= MAX_LENGTH);
      const parsed = parse(text);
      assert.equal(parsed.error, undefined, `${text}: ${parsed.error}`);
      assert.deepEqual(plainTree(parsed.tree), t, text);
      assert.ok(Object.is(evaluate(parsed.tree, x), walk(t, x)), `${text} at ${x}`);
    }),
    { numRuns: 1000 },
  );
});

test("hostile text is refused like any other, with its position, and nothing is thrown or changed", () => {
  const cases = [
    ["constructor.constructor('return this')()", "unknown name 'constructor' at 1"],
    ["__proto__", "unknown name '__proto__' at 1"],
    ["this", "unknown name 'this' at 1"],
    ["x.constructor", "unexpected character '.' at 2"],
    ["toString", "unknown name 'toString' at 1"],
    ["valueOf(x)", "unknown name 'valueOf' at 1"],
    ["hasOwnProperty", "unknown name 'hasOwnProperty' at 1"],
    ["x + constructor", "unknown name 'constructor' at 5"],
    ["exp.call(x)", "unexpected character '.' at 4"],
    ["eval(x)", "unknown name 'eval' at 1"],
    ["Function(x)", "unknown name 'Function' at 1"],
    ["globalThis", "unknown name 'globalThis' at 1"],
    ["x[0]", "unexpected character '[' at 2"],
    ["`x`", "unexpected character '`' at 1"],
    ["x; 1", "unexpected character ';' at 2"],
    ["sin(x) = 1", "unexpected character '=' at 8"],
  ];
  for (const [text, message] of cases) {
    const got = parse(text);
    assert.ok(got.error !== undefined, `${text} is refused`);
    assert.deepEqual([got.error, got.at], [message, Number(/at (\d+)$/.exec(message)?.[1])], text);
  }
  for (const v of [42, null, undefined, { toString: () => "x" }])
    assert.deepEqual(parse(v), { error: "not text", at: null });
  assert.equal({}.constructor, Object, "Object.prototype untouched");
});

test("each bad input's message, where it is", () => {
  const cases = [
    ["", "empty: write f(x), such as cos(x) - x", null],
    ["   ", "empty: write f(x), such as cos(x) - x", null],
    ["sin(x))", "unexpected ')' at 7", 7],
    ["x + foo", "unknown name 'foo' at 5", 5],
    ["X", "unknown name 'X' at 1", 1],
    ["(x + 1", "missing ')' at end", null],
    ["x +", "missing operand at end", null],
    ["x^", "missing operand at end", null],
    ["e^-", "missing operand at end", null],
    ["2x", "missing operator before 'x' at 2", 2],
    ["exp(x)(2)", "missing operator before '(' at 7", 7],
    ["1.2.3", "bad number '1.2.3' at 1", 1],
    ["x + 1e5.5", "bad number '1e5.5' at 5", 5],
    ["1e400", "number too large '1e400' at 1", 1],
    ["sin x", "missing '(' after 'sin' at 5", 5],
    ["sin", "missing '(' after 'sin' at end", null],
    ["x $ 2", "unexpected character '$' at 3", 3],
    ["x + \u{1F600}", "unexpected character U+1F600 at 5", 5],
    ["()", "unexpected ')' at 2", 2],
    ["x * * 2", "unexpected '*' at 5", 5],
    ["(x + 1 x", "missing operator before 'x' at 8", 8],
    ["e^(-2x) - x", "missing operator before 'x' at 6", 6],
    ["sin(x)(1 - x)", "missing operator before '(' at 7", 7],
    ["(x + 1 ^^ 2", "unexpected '^' at 9", 9],
    ["π - x", "unexpected character U+03C0 at 1: write pi", 1],
    ["x² - 2", "unexpected character U+00B2 at 2: write ^2", 2],
    ["x".padEnd(201, " "), "longer than 200 characters (201)", null],
  ];
  for (const [text, error, at] of cases) assert.deepEqual(parse(text), { error, at }, JSON.stringify(text));
});

test("what is accepted, and its value: precedence, signs, exponents, the two symbols", () => {
  /** @type {[text: string, x: number, want: number][]} */
  const cases = [
    ["-x^2", 0.5, -0.25],
    ["2^3^2", 0, 512],
    ["2^-1", 0, 0.5],
    ["1/2/4", 0, 0.125],
    ["--x", 0.5, 0.5],
    ["+x", 0.5, 0.5],
    ["2*-x", 0.5, -1],
    [".5e1 + 2.5E+2", 0, 255],
    ["3 \u2212 2\u00d7x", 0.5, 2],
    ["exp(-2*x) - x", 0.3, Math.exp(-0.6) - 0.3],
    ["sqrt(abs(x)) * pi + e", -4, 2 * Math.PI + Math.E],
    [" \t(x)\n", 0.25, 0.25],
  ];
  for (const [text, x, want] of cases) {
    const { tree: t, error } = parse(text);
    assert.equal(error, undefined, text);
    assert.ok(Object.is(evaluate(t, x), want), `${text} at ${x}`);
  }
  assert.deepEqual(functionsOf(treeOf("cos(x) + exp(sin(x)) - cos(2)")), ["exp", "sin", "cos"]);
});

test("jets against closed forms: e^(-2x) - x, whose derivatives are (-2)^k u, and its inverse; log(1 + y)'s", () => {
  const program = treeOf("exp(-2*x) - x");
  for (const x of [0, 0.3, 0.4263, 0.6, 1]) {
    const u = Math.exp(-2 * x);
    let factorial = 1;
    const want = [u - x, -2 * u - 1];
    for (let k = 2; k <= 9; k++) {
      factorial *= k;
      want.push(((-2) ** k * u) / factorial);
    }
    taylor(program, x, 9).forEach((c, k) =>
      assert.ok(Math.abs(c - want[k]) <= 4e-16 * Math.max(1, Math.abs(want[k])), `x = ${x}, c_${k}`),
    );
    // g' = 1 / f', g'' = -f'' / f'^3, g''' = (3 f''^2 - f' f''') / f'^5
    const f1 = -2 * u - 1,
      f2 = 4 * u,
      f3 = -8 * u;
    const b = inverseTaylor(program, x, 3);
    for (const [k, v] of [
      [1, 1 / f1],
      [2, -f2 / f1 ** 3 / 2],
      [3, (3 * f2 * f2 - f1 * f3) / f1 ** 5 / 6],
    ])
      assert.ok(Math.abs(b[k] - v) <= 1e-15 * Math.abs(v), `x = ${x}, b_${k}`);
  }
  // f = e^x - 1, g = log(1 + y): g^(k)(y) / k! = (-1)^(k+1) / (k (1 + y)^k), y = e^x - 1
  const expm1 = treeOf("exp(x) - 1");
  for (const x of [-0.5, 0, 0.7]) {
    const b = inverseTaylor(expm1, x, 9);
    for (let k = 1; k <= 9; k++) {
      const v = (-1) ** (k + 1) / (k * Math.exp(k * x));
      assert.ok(Math.abs(b[k] - v) <= 1e-13 * Math.abs(v), `log: x = ${x}, b_${k} = ${b[k]}, not ${v}`);
    }
  }
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
  ];
  fc.assert(
    fc.property(
      fc.constantFrom(...texts),
      // intervals up to 1.5, short of tan's pole at pi/2, where a jet over them is refused (a JetError)
      fc.double({ min: 0.1, max: 1.2, noNaN: true }),
      fc.double({ min: 0, max: 0.3, noNaN: true }),
      fc.double({ min: 0, max: 1, noNaN: true }),
      (text, a, width, at) => {
        const f = compile(treeOf(text));
        const b = a + width,
          x = Math.min(b, a + at * width);
        const box = [...jetOver(f, a, b, workspace(f, 6))],
          pt = [...jetOver(f, x, x, workspace(f, 6))];
        for (let k = 0; k < box.length; k += 2) {
          assert.ok(box[k] <= pt[k + 1] && pt[k] <= box[k + 1], `${text} on [${a}, ${b}] at ${x}: c_${k / 2}`);
          // narrow at a point, if not always to a few ulps: tan(x)/x at 0.1 divides by 0.1 at every order
          assert.ok(pt[k + 1] - pt[k] <= 1e-6 * Math.max(1, Math.abs(pt[k])), `${text} at ${x}: c_${k / 2} is wide`);
        }
      },
    ),
    { numRuns: 300 },
  );
});
