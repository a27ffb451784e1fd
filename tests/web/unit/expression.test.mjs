// A learner's f: the parser against random trees printed as text, hostile
// text, and each bad input's message; the jets of its derivatives against
// closed forms, and their enclosures over intervals.
//
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/expression.test.mjs

import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { test } from "node:test";
import { MAX_LENGTH, parse } from "../../../web/core/expression.js";
import { compile } from "../../../web/core/walk.js";
import { doubles } from "../../../web/core/doubles.js";

/** f in the browser's doubles, as the page evaluates it. */
const evaluate = (/** @type {import("../../../web/core/expression.js").Tree} */ t, /** @type {number} */ x) =>
  compile(t, doubles())(x);

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
});
