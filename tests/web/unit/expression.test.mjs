// A learner's f: the parser against random trees printed as text, one table of typed texts and the trees or
// refusals (and their words) they give, f as the page typesets it; the jets of its derivatives against closed
// forms, and their enclosures over intervals.
//
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/expression.test.mjs

import assert from "node:assert/strict";
import { createRequire } from "node:module";
import { test } from "node:test";
import { MAX_LENGTH, parse, print } from "../../../web/core/expression.js";
import { FUNCTION_REFUSED, parseRefused } from "../../../web/core/sentences/input.js";
import { mathml } from "../../../web/core/mathml.js";
import { compile } from "../../../web/core/walk.js";
import { doubles } from "../../../web/core/doubles.js";

/** f in the browser's doubles, as the page evaluates it. */
const evaluate = (/** @type {import("../../../web/core/expression.js").Tree} */ t, /** @type {number} */ x) =>
  compile(t, doubles())(x);

/** @type {typeof import("fast-check")} */
const fc = createRequire(`${process.env.INVERSE_NEVILLE_NODE_MODULES}/`)("fast-check");

/** @typedef {import("../../../web/core/expression.js").FnName} FnName */
/** @typedef {import("../../../web/core/expression.js").Tree} Tree */
/** @typedef {import("../../../web/core/expression.js").ParseError} ParseError */

/** @type {FnName[]} */
const FUNCTIONS = ["exp", "log", "sqrt", "sin", "cos", "tan", "abs", "sinh", "cosh", "tanh"];
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

/**
 * The test's tree as the parser's: each number's text its shortest decimal, every position 0.
 * @param {TestTree} t
 * @returns {Tree}
 */
function toTree(t) {
  switch (t[0]) {
    case "num":
      return { kind: "num", value: t[1], text: String(t[1]), at: 0 };
    case "x":
      return { kind: "x", at: 0 };
    case "pi":
    case "e":
      return { kind: "const", name: t[0], at: 0 };
    case "neg":
      return { kind: "neg", arg: toTree(t[1]), at: 0 };
    case "call":
      return { kind: "call", name: t[1], arg: toTree(t[2]), at: 0 };
    default:
      return { kind: "op", op: t[0], left: toTree(t[1]), right: toTree(t[2]), at: 0 };
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
 * @param {Tree} u
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
  assert.ok(tree, `${text}: ${JSON.stringify(error)}`);
  return tree;
}

test("1,000 random trees, printed and parsed back: the same tree, printed the same, and the same value as the test's walker", () => {
  // the printed text as typed without its spaces, or with the typeset minus and times
  const style = fc.record({ spaces: fc.boolean(), unicode: fc.boolean() });
  const xs = fc.double({ min: -2, max: 2, noNaN: true });
  fc.assert(
    fc.property(tree, style, xs, (t, s, x) => {
      const printed = print(toTree(t));
      const text = (s.spaces ? printed : printed.replace(/ /g, "")).replace(/[-*]/g, (c) =>
        s.unicode ? (c === "-" ? "\u2212" : "\u00d7") : c,
      );
      fc.pre(Array.from(text).length <= MAX_LENGTH);
      const parsed = parse(text);
      assert.equal(parsed.error, undefined, `${text}: ${JSON.stringify(parsed.error)}`);
      assert.deepEqual(plainTree(parsed.tree), t, text);
      assert.equal(print(parsed.tree), printed, text);
      assert.ok(Object.is(evaluate(parsed.tree, x), walk(t, x)), `${text} at ${x}`);
    }),
    { numRuns: 1000 },
  );
});

/** The test's tree of an operator on two trees. */
const op =
  (/** @type {import("../../../web/core/expression.js").OpName} */ o) =>
  (/** @type {TestTree} */ a, /** @type {TestTree} */ b) =>
    /** @type {TestTree} */ ([o, a, b]);
const [plus, minus, times, over, pow] = [op("+"), op("-"), op("*"), op("/"), op("^")];
const X = /** @type {TestTree} */ (["x"]),
  PI = /** @type {TestTree} */ (["pi"]),
  E = /** @type {TestTree} */ (["e"]);
const neg = (/** @type {TestTree} */ a) => /** @type {TestTree} */ (["neg", a]);
const call = (/** @type {FnName} */ f, /** @type {TestTree} */ a) => /** @type {TestTree} */ (["call", f, a]);
const n = num;

test("typed texts: the tree each gives and its canonical text, or the refusal and its words", () => {
  const program = minus(call("exp", times(neg(n(2)), X)), X);
  /** @type {[text: string, want: TestTree | ParseError, said: string][]} */
  const cases = [
    // as students and a lecturer type f: products without *, e^u, ln, **, capitals
    ["2x - 1", minus(times(n(2), X), n(1)), "2*x - 1"],
    ["exp(-2x) - x", program, "exp(-2*x) - x"],
    ["e^-2x - x", program, "exp(-2*x) - x"],
    ["e^(-2x) - x", program, "exp(-2*x) - x"],
    ["E^-2X - X", program, "exp(-2*x) - x"],
    ["2(x - 0.25)", times(n(2), minus(X, n(0.25))), "2*(x - 0.25)"],
    ["x(x - 1)", times(X, minus(X, n(1))), "x*(x - 1)"],
    ["(x + 1)(x - 1)", times(plus(X, n(1)), minus(X, n(1))), "(x + 1)*(x - 1)"],
    ["2pi x", times(times(n(2), PI), X), "2*pi*x"],
    ["3sin(x)cos(x)", times(times(n(3), call("sin", X)), call("cos", X)), "3*sin(x)*cos(x)"],
    ["sin(x)(1 - x)", times(call("sin", X), minus(n(1), X)), "sin(x)*(1 - x)"],
    ["exp(x)(2)", times(call("exp", X), n(2)), "exp(x)*2"],
    // the precedence: ^ before a product written without *, which is a * (1/2x is half of x), a sign's
    // exponent to the end of such a product, and e^u the exponential
    ["2x^2", times(n(2), pow(X, n(2))), "2*x^2"],
    ["-2x", times(neg(n(2)), X), "-2*x"],
    ["1/2x", times(over(n(1), n(2)), X), "1/2*x"],
    ["1/(2x)", over(n(1), times(n(2), X)), "1/(2*x)"],
    ["e^2x", times(call("exp", n(2)), X), "exp(2)*x"],
    ["e^-2*x", times(call("exp", neg(n(2))), X), "exp(-2)*x"],
    ["e^x^2", call("exp", pow(X, n(2))), "exp(x^2)"],
    ["(e)^x", pow(E, X), "(e)^x"],
    ["2^-x^2", pow(n(2), neg(pow(X, n(2)))), "2^-x^2"],
    ["2^-3x", pow(n(2), times(neg(n(3)), X)), "2^(-3*x)"],
    ["x**2 + x ** -1", plus(pow(X, n(2)), pow(X, neg(n(1)))), "x^2 + x^-1"],
    ["ln(x) - LOG(x)", minus(call("log", X), call("log", X)), "log(x) - log(x)"],
    [
      "sinh(x) + Cosh(x)TANH(x)",
      plus(call("sinh", X), times(call("cosh", X), call("tanh", X))),
      "sinh(x) + cosh(x)*tanh(x)",
    ],
    ["Sin(X) + EXP(x) + PI", plus(plus(call("sin", X), call("exp", X)), PI), "sin(x) + exp(x) + pi"],
    // what was accepted before, with its tree
    ["-x^2", neg(pow(X, n(2))), "-x^2"],
    ["2^3^2", pow(n(2), pow(n(3), n(2))), "2^3^2"],
    ["2^-1", pow(n(2), neg(n(1))), "2^-1"],
    ["1/2/4", over(over(n(1), n(2)), n(4)), "1/2/4"],
    ["--x", neg(neg(X)), "--x"],
    ["+x", X, "x"],
    ["2*-x", times(n(2), neg(X)), "2*-x"],
    [".5e1 + 2.5E+2", plus(n(5), n(250)), ".5e1 + 2.5E+2"],
    ["3 \u2212 2\u00d7x", minus(n(3), times(n(2), X)), "3 - 2*x"],
    ["exp(-2*x) - x", program, "exp(-2*x) - x"],
    ["sqrt(abs(x)) * pi + e", plus(times(call("sqrt", call("abs", X)), PI), E), "sqrt(abs(x))*pi + e"],
    [" \t(x)\n", X, "x"],
    // printed with the fewest parentheses
    ["x - (1 - x) - (x - 1)", minus(minus(X, minus(n(1), X)), minus(X, n(1))), "x - (1 - x) - (x - 1)"],
    [
      "(-x)^2 + -(x + 1) + x^(1/2)",
      plus(plus(pow(neg(X), n(2)), neg(plus(X, n(1)))), pow(X, over(n(1), n(2)))),
      "(-x)^2 + -(x + 1) + x^(1/2)",
    ],
    // hostile text is refused like any other, with its position
    [
      "constructor.constructor('return this')()",
      { kind: "unknown", at: 1, text: "constructor", like: null },
      "unknown name 'constructor' at 1",
    ],
    ["__proto__", { kind: "unknown", at: 1, text: "__proto__", like: null }, "unknown name '__proto__' at 1"],
    ["this", { kind: "unknown", at: 1, text: "this", like: null }, "unknown name 'this' at 1"],
    ["x.constructor", { kind: "character", at: 2, shown: "'.'", instead: null }, "unexpected character '.' at 2"],
    ["toString", { kind: "unknown", at: 1, text: "toString", like: null }, "unknown name 'toString' at 1"],
    ["valueOf(x)", { kind: "unknown", at: 1, text: "valueOf", like: null }, "unknown name 'valueOf' at 1"],
    [
      "hasOwnProperty",
      { kind: "unknown", at: 1, text: "hasOwnProperty", like: null },
      "unknown name 'hasOwnProperty' at 1",
    ],
    ["x + constructor", { kind: "unknown", at: 5, text: "constructor", like: null }, "unknown name 'constructor' at 5"],
    ["exp.call(x)", { kind: "character", at: 4, shown: "'.'", instead: null }, "unexpected character '.' at 4"],
    ["eval(x)", { kind: "unknown", at: 1, text: "eval", like: null }, "unknown name 'eval' at 1"],
    ["Function(x)", { kind: "unknown", at: 1, text: "Function", like: null }, "unknown name 'Function' at 1"],
    ["globalThis", { kind: "unknown", at: 1, text: "globalThis", like: null }, "unknown name 'globalThis' at 1"],
    ["x[0]", { kind: "character", at: 2, shown: "'['", instead: null }, "unexpected character '[' at 2"],
    ["`x`", { kind: "character", at: 1, shown: "'`'", instead: null }, "unexpected character '`' at 1"],
    ["x; 1", { kind: "character", at: 2, shown: "';'", instead: null }, "unexpected character ';' at 2"],
    // each bad input, where it is, and the text that would be read where the parser can mend it
    ["", { kind: "empty", at: null }, "empty: write f(x), such as cos(x) - x"],
    ["   ", { kind: "empty", at: null }, "empty: write f(x), such as cos(x) - x"],
    ["x".padEnd(201, " "), { kind: "tooLong", at: null, most: 200, length: 201 }, "longer than 200 characters (201)"],
    ["sin(x))", { kind: "unexpected", at: 7, text: ")", suggestion: "sin(x)" }, "unexpected ')' at 7"],
    ["()", { kind: "unexpected", at: 2, text: ")" }, "unexpected ')' at 2"],
    ["x * * 2", { kind: "unexpected", at: 5, text: "*" }, "unexpected '*' at 5"],
    ["(x + 1 ^^ 2", { kind: "unexpected", at: 9, text: "^" }, "unexpected '^' at 9"],
    ["(x + 1", { kind: "noClose", at: null, suggestion: "(x + 1)" }, "missing ')' at end"],
    ["exp(-2x", { kind: "noClose", at: null, suggestion: "exp(-2x)" }, "missing ')' at end"],
    ["x +", { kind: "noOperand", at: null, after: "+" }, "missing operand after '+' at end"],
    ["e^-", { kind: "noOperand", at: null, after: "-" }, "missing operand after '-' at end"],
    ["x^", { kind: "noOperand", at: null, after: "^" }, "nothing after '^' at end: write the power, as in x^2"],
    ["2x(", { kind: "noOperand", at: null, after: "(" }, "nothing after '(' at end: write what it holds, then ')'"],
    ["2 3", { kind: "noOperator", at: 3, text: "3" }, "missing operator before '3' at 3"],
    ["(x 2)", { kind: "noOperator", at: 4, text: "2" }, "missing operator before '2' at 4"],
    ["1.2.3", { kind: "badNumber", at: 1, text: "1.2.3" }, "bad number '1.2.3' at 1"],
    ["x + 1e5.5", { kind: "badNumber", at: 5, text: "1e5.5" }, "bad number '1e5.5' at 5"],
    ["1e400", { kind: "tooLarge", at: 1, text: "1e400" }, "number too large '1e400' at 1"],
    ["x $ 2", { kind: "character", at: 3, shown: "'$'", instead: null }, "unexpected character '$' at 3"],
    [
      "x + \u{1F600}",
      { kind: "character", at: 5, shown: "U+1F600", instead: null },
      "unexpected character U+1F600 at 5",
    ],
    ["sin", { kind: "noOpen", at: null, text: "sin" }, "missing '(' after 'sin' at end"],
    ["sin x", { kind: "noOpen", at: 5, text: "sin", suggestion: "sin(x)" }, "missing '(' after 'sin' at 5"],
    ["Sin 2x + 1", { kind: "noOpen", at: 5, text: "Sin", suggestion: "Sin(2x) + 1" }, "missing '(' after 'Sin' at 5"],
    [
      "sin^2(x) + sin^2 x",
      { kind: "noOpen", at: 4, text: "sin", suggestion: "sin(x)^2 + sin(x)^2" },
      "missing '(' after 'sin' at 4",
    ],
    ["sqr(x)", { kind: "unknown", at: 1, text: "sqr", like: "sqrt", suggestion: "sqrt(x)" }, "unknown name 'sqr' at 1"],
    ["sqr x", { kind: "unknown", at: 1, text: "sqr", like: "sqrt", suggestion: "sqrt(x)" }, "unknown name 'sqr' at 1"],
    [
      "expo(-x)",
      { kind: "unknown", at: 1, text: "expo", like: "exp", suggestion: "exp(-x)" },
      "unknown name 'expo' at 1",
    ],
    ["lg", { kind: "unknown", at: 1, text: "lg", like: "log" }, "unknown name 'lg' at 1; perhaps log, the natural log"],
    [
      "sinx - cos2x",
      { kind: "unknown", at: 1, text: "sinx", like: null, suggestion: "sin(x) - cos(2x)" },
      "unknown name 'sinx' at 1",
    ],
    [
      "sinhx",
      { kind: "unknown", at: 1, text: "sinhx", like: null, suggestion: "sinh(x)" },
      "unknown name 'sinhx' at 1",
    ],
    [
      "pix + xe^x",
      { kind: "unknown", at: 1, text: "pix", like: null, suggestion: "pi*x + x*e^x" },
      "unknown name 'pix' at 1",
    ],
    ["x2 - 2", { kind: "unknown", at: 1, text: "x2", like: null, suggestion: "x^2 - 2" }, "unknown name 'x2' at 1"],
    // other functions are not taken for the page's own
    ["asin(x) + log2(x) + cot(x)", { kind: "unknown", at: 1, text: "asin", like: null }, "unknown name 'asin' at 1"],
    ["log2(x)", { kind: "unknown", at: 1, text: "log2", like: null }, "unknown name 'log2' at 1"],
    ["x + foo", { kind: "unknown", at: 5, text: "foo", like: null }, "unknown name 'foo' at 5"],
    [
      "π - x",
      { kind: "character", at: 1, shown: "U+03C0", instead: "pi", suggestion: "pi - x" },
      "unexpected character U+03C0 at 1",
    ],
    [
      "x² - 2",
      { kind: "character", at: 2, shown: "U+00B2", instead: "^2", suggestion: "x^2 - 2" },
      "unexpected character U+00B2 at 2",
    ],
    [
      "π²",
      { kind: "character", at: 1, shown: "U+03C0", instead: "pi", suggestion: "pi^2" },
      "unexpected character U+03C0 at 1",
    ],
    [
      "x² - 2 )(",
      { kind: "character", at: 2, shown: "U+00B2", instead: "^2" },
      "unexpected character U+00B2 at 2: write ^2",
    ],
    [
      "0,5x - 1",
      { kind: "character", at: 2, shown: "','", instead: ".", suggestion: "0.5x - 1" },
      "unexpected character ',' at 2",
    ],
    ["1.5,2", { kind: "character", at: 4, shown: "','", instead: null }, "unexpected character ',' at 4"],
    // an equation: f is the difference of its sides, or the right side of y = or f(x) =
    [
      "exp(-2x) = x",
      { kind: "character", at: 10, shown: "'='", instead: null, suggestion: "exp(-2x) - x" },
      "unexpected character '=' at 10",
    ],
    [
      "sin(x) = x + 1",
      { kind: "character", at: 8, shown: "'='", instead: null, suggestion: "sin(x) - (x + 1)" },
      "unexpected character '=' at 8",
    ],
    [
      "y = x^2 - 2",
      { kind: "character", at: 3, shown: "'='", instead: null, suggestion: "x^2 - 2" },
      "unexpected character '=' at 3",
    ],
    [
      "f(x) = cos(x) - x",
      { kind: "character", at: 6, shown: "'='", instead: null, suggestion: "cos(x) - x" },
      "unexpected character '=' at 6",
    ],
    ["x = y = 1", { kind: "character", at: 3, shown: "'='", instead: null }, "unexpected character '=' at 3"],
  ];
  for (const [text, want, said] of cases) {
    const got = parse(text);
    if (Array.isArray(want)) {
      assert.equal(got.error, undefined, `${JSON.stringify(text)}: ${JSON.stringify(got.error)}`);
      assert.deepEqual(plainTree(got.tree), want, JSON.stringify(text));
      assert.equal(print(got.tree), said, JSON.stringify(text));
    } else {
      assert.deepEqual(got, { error: want }, JSON.stringify(text));
      assert.equal(parseRefused(got.error), said, JSON.stringify(text));
    }
  }
  for (const v of [42, null, undefined, { toString: () => "x" }])
    assert.deepEqual(parse(v), { error: { kind: "notText", at: null } });
  assert.equal({}.constructor, Object, "Object.prototype untouched");
  // the whole sentence, with the text that would be read and what log is
  const lg = parse("lg(x)").error;
  assert.ok(lg);
  assert.equal(
    FUNCTION_REFUSED(lg),
    "This f cannot be read: unknown name 'lg' at 1. Did you mean “log(x)” (log, the natural log)? The page keeps the function it shows.",
  );
});

test("random text, typed near the language or not: nothing thrown, and each text suggested is read", () => {
  const pieces = [
    "x",
    "X",
    "2",
    "0,5",
    ".",
    "e",
    "pi",
    "π",
    "²",
    "sin",
    "sqr",
    "lg",
    "exp",
    "(",
    ")",
    "+",
    "−",
    "*",
    "**",
  ];
  const more = ["/", "^", " ", "=", "y", "f", "sinx", "x2", "1e5", ",", "abs", "1e400", "constructor", "__proto__"];
  const text = fc.oneof(
    fc.string({ maxLength: 40 }),
    fc.array(fc.constantFrom(...pieces, ...more), { maxLength: 16 }).map((a) => a.join("")),
  );
  let suggested = 0;
  fc.assert(
    fc.property(text, (s) => {
      const got = parse(s);
      if (got.error === undefined) return;
      assert.ok(parseRefused(got.error).length < 200, s);
      if (got.error.suggestion === undefined) return;
      suggested++;
      const again = parse(got.error.suggestion);
      assert.ok(again.error === undefined && got.error.suggestion !== s, `${s}: ${got.error.suggestion}`);
    }),
    { numRuns: 3000 },
  );
  assert.ok(suggested > 20, `${suggested} suggestions`);
});

test("f as the page typesets it: MathML from the tree alone, as a textbook sets it, balanced, every text escaped", () => {
  const f = "<mi>f</mi><mo>(</mo><mi>x</mi><mo>)</mo><mo>=</mo>";
  /** @type {[text: string, markup: string][]} */
  const cases = [
    // half of x, a fraction before it; 2 times x squared; 2·3 with its dot
    ["1/2x", "<mrow><mfrac><mrow><mn>1</mn></mrow><mrow><mn>2</mn></mrow></mfrac><mo>\u2062</mo><mi>x</mi></mrow>"],
    ["2x^2", "<mrow><mn>2</mn><mo>\u2062</mo><msup><mi>x</mi><mrow><mn>2</mn></mrow></msup></mrow>"],
    ["2*3", "<mrow><mn>2</mn><mo>·</mo><mn>3</mn></mrow>"],
    // e^u raised, log as ln, a sum's parentheses where a power or a sign needs them
    ["e^-x", "<msup><mi>e</mi><mrow><mrow><mo>−</mo><mi>x</mi></mrow></mrow></msup>"],
    [
      "-(x + 1)^2 + log(x)",
      "<mrow><mrow><mo>−</mo><msup><mrow><mo>(</mo><mrow><mi>x</mi><mo>+</mo><mn>1</mn></mrow><mo>)</mo></mrow><mrow><mn>2</mn></mrow></msup></mrow>" +
        "<mo>+</mo><mrow><mi>ln</mi><mo>\u2061</mo><mrow><mo>(</mo><mi>x</mi><mo>)</mo></mrow></mrow></mrow>",
    ],
  ];
  for (const [text, markup] of cases) assert.equal(mathml(treeOf(text)), `<math>${f}${markup}</math>`, text);
  /** @type {Tree} */
  const hostile = { kind: "num", value: 1, text: `<script>&"'`, at: 1 };
  assert.equal(mathml(hostile), `<math>${f}<mn>&lt;script&gt;&amp;&quot;&#39;</mn></math>`);
  const TAGS = new Set(["math", "mrow", "mi", "mn", "mo", "msup", "mfrac", "msqrt"]);
  fc.assert(
    fc.property(tree, (t) => {
      const markup = mathml(toTree(t));
      /** @type {string[]} */
      const open = [];
      for (const [, close, name] of markup.matchAll(/<(\/?)([a-z]+)>/g)) {
        assert.ok(TAGS.has(name), name);
        if (!close) open.push(name);
        else assert.equal(open.pop(), name, markup);
      }
      assert.deepEqual(open, [], markup);
      assert.doesNotMatch(markup.replace(/<\/?[a-z]+>/g, ""), /[<>]/, markup);
    }),
    { numRuns: 300 },
  );
});
