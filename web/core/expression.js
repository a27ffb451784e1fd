// A learner's own f(x), typed as text: a small recursive-descent parser
// that makes a tree of it, and f evaluated from that tree in doubles.
// Nothing here touches the DOM, and nothing here runs the text: no eval,
// no Function, no lookup of a name in any JavaScript object.  The page's
// Content-Security-Policy refuses 'unsafe-eval', and this needs none.
//
// What is accepted, and nothing else:
//   numbers     decimal, with an optional exponent: 2, 0.5, .5, 1e-3, 2.5E+2
//   names       x, pi, e, and the functions exp log sqrt sin cos tan abs, each
//               applied with parentheses: sin(x), not sin x (log is the natural one)
//   operators   + - * / ^, and ( ) for grouping
//   spaces      space, tab, line ends, anywhere between the parts
//   symbols     − (U+2212 MINUS SIGN) is read as -, × (U+00D7) as *
//
// Precedence, tightest first:
//   ^           right-associative: 2^3^2 = 2^(3^2); its right side may begin
//               with a sign: 2^-x = 2^(-x)
//   - +         signs: -x^2 = -(x^2), as mathematics writes it
//   * /         left-associative: 1/2/x = (1/2)/x
//   + -         left-associative
// A number or name written straight after another, as in 2x, is refused:
// the product is 2*x.
//
// Each refusal names where it is, as a 1-based position in characters
// (Unicode code points), or says "at end".

import { PARSE } from "./sentences/input.js";

/** Characters a learner may type for what the parser spells in ASCII. */
const SPELLED = new Map([
  ["π", "pi"],
  ["·", "*"],
  ["÷", "/"],
  ["²", "^2"],
  ["³", "^3"],
]);

/** @typedef {"exp" | "log" | "sqrt" | "sin" | "cos" | "tan" | "abs" | "sinh" | "cosh" | "tanh"} FnName */
/** @typedef {"+" | "-" | "*" | "/" | "^"} OpName */
/**
 * A parsed expression.  `at` is the 1-based position of the part it
 * comes from (an operator's own position for "op").  A number keeps its
 * text, the decimal as written, beside the double nearest it.
 * @typedef {{kind: "num", value: number, text: string, at: number}
 *   | {kind: "x", at: number}
 *   | {kind: "const", name: "pi" | "e", at: number}
 *   | {kind: "neg", arg: Tree, at: number}
 *   | {kind: "op", op: OpName, left: Tree, right: Tree, at: number}
 *   | {kind: "call", name: FnName, arg: Tree, at: number}} Tree
 */
/** @typedef {{tree: Tree, error?: undefined} | {error: string, at: number | null, tree?: undefined}} Parsed */

/** The longest text read, in characters. */
export const MAX_LENGTH = 200;

/** The functions a learner may apply, in the order the page lists them. */
export const FUNCTIONS = /** @type {const} */ ([
  "exp",
  "log",
  "sqrt",
  "sin",
  "cos",
  "tan",
  "abs",
  "sinh",
  "cosh",
  "tanh",
]);

/**
 * Every name the parser knows, and what it is.  A Map, so that a name is
 * found only if it was put here: "constructor" or "__proto__" is no key.
 * @type {ReadonlyMap<string, {kind: "x"} | {kind: "const", name: "pi" | "e"} | {kind: "fn", name: FnName}>}
 */
const NAMES = new Map(
  /** @type {[string, {kind: "x"} | {kind: "const", name: "pi" | "e"} | {kind: "fn", name: FnName}][]} */ ([
    ["x", { kind: "x" }],
    ["pi", { kind: "const", name: "pi" }],
    ["e", { kind: "const", name: "e" }],
    ...FUNCTIONS.map((name) => [name, { kind: "fn", name }]),
  ]),
);

/**
 * A part of the text.  A part that cannot be read is a "bad" token whose
 * text is the refusal, thrown only when the parser reaches it, so that the
 * first thing wrong in reading order is the one said.
 * @typedef {{type: "num" | "name" | "op" | "(" | ")" | "bad" | "end", text: string, at: number}} Token
 */

/** A refusal, thrown inside the parser and returned as data by parse(). */
class Refusal {
  constructor(/** @type {string} */ message, /** @type {number | null} */ at) {
    this.message = message;
    this.at = at;
  }
}

const SPACE = /[ \t\r\n]/;
const DIGIT = /[0-9]/;
const LETTER = /[A-Za-z_]/;
const WORD = /[A-Za-z_0-9]/;
const NUMBER = /^(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?/;

/**
 * The text's tokens, the last one "end".
 * @param {string[]} chars the text's code points, − and × already read as - and *
 * @returns {Token[]}
 */
function tokens(chars) {
  /** @type {Token[]} */
  const out = [];
  let k = 0;
  while (k < chars.length) {
    const c = chars[k];
    const at = k + 1;
    if (SPACE.test(c)) {
      k++;
    } else if (DIGIT.test(c) || (c === "." && DIGIT.test(chars[k + 1] ?? ""))) {
      const match = NUMBER.exec(chars.slice(k).join(""));
      if (!match) throw new Error("a number's start that NUMBER does not match");
      let end = k + match[0].length;
      // a second point, or digits glued to an exponent's end: one bad number, not two
      while (end < chars.length && /[0-9.]/.test(chars[end])) end++;
      const text = chars.slice(k, end).join("");
      const bad = end !== k + match[0].length;
      out.push(bad ? { type: "bad", text: PARSE.badNumber(text, at), at } : { type: "num", text, at });
      k = end;
    } else if (LETTER.test(c)) {
      let end = k + 1;
      while (end < chars.length && WORD.test(chars[end])) end++;
      out.push({ type: "name", text: chars.slice(k, end).join(""), at });
      k = end;
    } else if ("+-*/^".includes(c)) {
      out.push({ type: "op", text: c, at });
      k++;
    } else if (c === "(" || c === ")") {
      out.push({ type: c, text: c, at });
      k++;
    } else {
      const shown = /^[\x21-\x7e]$/.test(c)
        ? `'${c}'`
        : `U+${(c.codePointAt(0) ?? 0).toString(16).toUpperCase().padStart(4, "0")}`;
      out.push({ type: "bad", text: PARSE.character(shown, at, SPELLED.get(c) ?? null), at });
      k++;
    }
  }
  out.push({ type: "end", text: "", at: chars.length + 1 });
  return out;
}

/**
 * The parser's place in its list of tokens.
 * @typedef {{list: Token[], k: number}} Cursor
 */
/** The next token, not taken. */
const peek = (/** @type {Cursor} */ c) => c.list[c.k];
/** The next token, taken; a part that could not be read is refused when it is reached. */
function take(/** @type {Cursor} */ c) {
  const t = c.list[c.k++];
  if (t.type === "bad") throw new Refusal(t.text, t.at);
  return t;
}
/** @type {Record<string, OpName>} each operator's token, as the tree names it */
const OPS = { "+": "+", "-": "-", "*": "*", "/": "/", "^": "^" };
/** Whether the next token is one of these operators. */
const isOp = (/** @type {Cursor} */ c, /** @type {string} */ ops) =>
  peek(c).type === "op" && ops.includes(peek(c).text);

/**
 * The parser over a list of tokens: one function per level of precedence.
 * @param {Token[]} list
 * @returns {Tree}
 */
function parseTokens(list) {
  /** @type {Cursor} */
  const c = { list, k: 0 };
  const tree = sum(c);
  const rest = take(c);
  if (rest.type === "end") return tree;
  if (rest.type === ")") throw new Refusal(PARSE.unexpected(")", rest.at), rest.at);
  // an operand straight after an operand: 2x, x(1), (x)(x)
  throw new Refusal(PARSE.noOperator(rest.text, rest.at), rest.at);
}
/** @returns {Tree} */
function sum(/** @type {Cursor} */ c) {
  let left = product(c);
  while (isOp(c, "+-")) {
    const t = take(c);
    left = { kind: "op", op: OPS[t.text], left, right: product(c), at: t.at };
  }
  return left;
}
/** @returns {Tree} */
function product(/** @type {Cursor} */ c) {
  let left = signed(c);
  while (isOp(c, "*/")) {
    const t = take(c);
    left = { kind: "op", op: OPS[t.text], left, right: signed(c), at: t.at };
  }
  return left;
}
/** @returns {Tree} */
function signed(/** @type {Cursor} */ c) {
  if (isOp(c, "+-")) {
    const t = take(c);
    const arg = signed(c);
    return t.text === "-" ? { kind: "neg", arg, at: t.at } : arg;
  }
  return power(c);
}
/** @returns {Tree} */
function power(/** @type {Cursor} */ c) {
  const base = operand(c);
  if (!isOp(c, "^")) return base;
  const t = take(c);
  return { kind: "op", op: "^", left: base, right: signed(c), at: t.at };
}
/** @returns {Tree} */
function operand(/** @type {Cursor} */ c) {
  const t = take(c);
  if (t.type === "num") {
    const value = Number(t.text);
    if (!Number.isFinite(value)) throw new Refusal(PARSE.tooLarge(t.text, t.at), t.at);
    return { kind: "num", value, text: t.text, at: t.at };
  }
  if (t.type === "(") {
    const inner = sum(c);
    const close = take(c);
    if (close.type !== ")") throw missingClose(close);
    return inner;
  }
  if (t.type === "name") return named(c, t);
  if (t.type === "end") throw new Refusal(PARSE.noOperand, null);
  throw new Refusal(PARSE.unexpected(t.text, t.at), t.at);
}
/** @returns {Tree} */
function named(/** @type {Cursor} */ c, /** @type {Token} */ t) {
  const known = NAMES.get(t.text);
  if (known === undefined) throw new Refusal(PARSE.unknown(t.text, t.at), t.at);
  if (known.kind !== "fn") return { ...known, at: t.at };
  const open = take(c);
  if (open.type !== "(") {
    const at = open.type === "end" ? null : open.at;
    throw new Refusal(PARSE.noOpen(t.text, at), at);
  }
  const arg = sum(c);
  const close = take(c);
  if (close.type !== ")") throw missingClose(close);
  return { kind: "call", name: known.name, arg, at: t.at };
}
/** What is wrong where a ')' should be: a number, name or '(' there is one written straight after another, as 2x. */
function missingClose(/** @type {Token} */ t) {
  if (t.type === "end") return new Refusal(PARSE.noClose(null, null), null);
  if (t.type === "num" || t.type === "name" || t.type === "(") return new Refusal(PARSE.noOperator(t.text, t.at), t.at);
  return new Refusal(PARSE.noClose(t.text, t.at), t.at);
}

/**
 * A learner's text as a tree, or the first thing wrong with it.  Never
 * throws: every refusal is returned as {error, at}, at null where the
 * error is at the end or the whole text.
 * @param {unknown} text
 * @returns {Parsed}
 */
export function parse(text) {
  if (typeof text !== "string") return { error: PARSE.notText, at: null };
  const chars = Array.from(text, (c) => (c === "\u2212" ? "-" : c === "\u00d7" ? "*" : c));
  if (chars.length > MAX_LENGTH) {
    return { error: PARSE.tooLong(MAX_LENGTH, chars.length), at: null };
  }
  if (chars.every((c) => SPACE.test(c))) return { error: PARSE.empty, at: null };
  try {
    return { tree: parseTokens(tokens(chars)) };
  } catch (e) {
    if (e instanceof Refusal) return { error: e.message, at: e.at };
    throw e;
  }
}
