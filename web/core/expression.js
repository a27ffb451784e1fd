// A learner's own f(x), typed as text: a small recursive-descent parser
// that makes a tree of it, and the tree printed back as text (walk.js
// evaluates it, in any arithmetic).  Nothing here touches the DOM, and nothing
// here runs the text: no eval, no Function, no lookup of a name in any
// JavaScript object.  The page's Content-Security-Policy refuses
// 'unsafe-eval', and this needs none.  A refusal is data (what, where, and
// what it needs to be said); core/sentences/input.js words it.
//
// What is accepted, and nothing else:
//   numbers     decimal, with an optional exponent: 2, 0.5, .5, 1e-3, 2.5E+2
//   names       x, pi, e, and the functions exp, log (the natural one; ln is
//               the same), sqrt, sin, cos, tan, abs, sinh, cosh and tanh,
//               each applied with parentheses: sin(x), not sin x.  Names are
//               read in any case: X, Sin, EXP and PI are x, sin, exp and pi.
//   operators   + - * / ^, ** as ^, and ( ) for grouping
//   spaces      space, tab, line ends, anywhere between the parts
//   symbols     − (U+2212 MINUS SIGN) is read as -, × (U+00D7) as *
//
// The grammar, tightest first:
//   operand   a number, x, pi, e, a function applied to a parenthesized
//             sum, or a parenthesized sum
//   power     operand, or operand ^ exponent: right-associative, 2^3^2 =
//             2^(3^2).  e written straight before ^ is the exponential:
//             e^u is the tree of exp(u), so that every evaluator computes
//             it as exp ((e)^u keeps the power of the constant).
//   exponent  a power, or a sign and what follows it as far as products
//             written without an operator go: e^-2x = e^(-2x), 2^-x^2 =
//             2^(-(x^2)), but e^-2*x = (e^-2)*x, and without a sign
//             e^2x = (e^2)*x
//   signed    a power, or a sign before a signed: -x^2 = -(x^2), as
//             mathematics writes it
//   product   signeds joined by * or /, or written one straight after
//             another where the one after begins with a name or "(": 2x,
//             2(x - 1), x(x - 1), (x + 1)(x - 1), 2pi, 3sin(x).  Such a
//             product is a written *, with its tree: same level as * and /,
//             left-associative, so 2x^2 = 2*(x^2), -2x = (-2)*x and
//             1/2x = (1/2)*x, half of x (write 1/(2x) for the other).  A
//             number never follows straight after: 2 3 and x 2 are refused.
//   sum       products joined by + or -, left-associative
//
// Each refusal names where it is, as a 1-based position in characters
// (Unicode code points), or null where it is at the end or the whole
// text; where a mended text can be read (sin x as sin(x), a ')' missing
// at the end, a name one letter from a known one, x² as x^2, an equation
// made f = left - right), the refusal holds it as its suggestion.

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
 * comes from (an operator's own position for "op", the second factor's
 * for a product written without one).  A number keeps its text, the
 * decimal as written, beside the double nearest it.
 * @typedef {{kind: "num", value: number, text: string, at: number}
 *   | {kind: "x", at: number}
 *   | {kind: "const", name: "pi" | "e", at: number}
 *   | {kind: "neg", arg: Tree, at: number}
 *   | {kind: "op", op: OpName, left: Tree, right: Tree, at: number}
 *   | {kind: "call", name: FnName, arg: Tree, at: number}} Tree
 */
/**
 * Why a text cannot be read.  `at` is where (1-based, in code points;
 * null: at the end, or the whole text); `text` the part there as typed;
 * `after`, the part before an end reached too soon; `like`, a known name
 * one letter from an unknown one; `instead`, how the parser spells a
 * character it does not read; `suggestion`, the whole text mended so that
 * it can be read, where one mending or a few can do that.
 * @typedef {(
 *   | {kind: "notText" | "empty", at: null}
 *   | {kind: "tooLong", at: null, most: number, length: number}
 *   | {kind: "noOperand", at: null, after: string}
 *   | {kind: "noClose", at: null}
 *   | {kind: "noOpen", at: number | null, text: string}
 *   | {kind: "unexpected" | "noOperator" | "tooLarge" | "badNumber", at: number, text: string}
 *   | {kind: "unknown", at: number, text: string, like: string | null}
 *   | {kind: "character", at: number, shown: string, instead: string | null}
 * ) & {suggestion?: string}} ParseError
 */
/** @typedef {{tree: Tree, error?: undefined} | {error: ParseError, tree?: undefined}} Parsed */

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

/** @typedef {{kind: "x"} | {kind: "const", name: "pi" | "e"} | {kind: "fn", name: FnName}} Named */
/**
 * Every name the parser knows, in lower case, and what it is.  A Map, so
 * that a name is found only if it was put here: "constructor" or
 * "__proto__" is no key.
 * @type {ReadonlyMap<string, Named>}
 */
const NAMES = new Map(
  /** @type {[string, Named][]} */ ([
    ["x", { kind: "x" }],
    ["pi", { kind: "const", name: "pi" }],
    ["e", { kind: "const", name: "e" }],
    ...FUNCTIONS.map((name) => [name, { kind: "fn", name }]),
    ["ln", { kind: "fn", name: "log" }],
  ]),
);
/** The functions' names, the longest first, for a name glued to its argument: sinh before sin. */
const FN_NAMES = [...NAMES].flatMap(([k, v]) => (v.kind === "fn" ? [k] : [])).sort((a, b) => b.length - a.length);

/**
 * A part of the text, from `at` to just before `end`.  A part that cannot
 * be read is a "bad" token with its refusal, thrown only when the parser
 * reaches it, so that the first thing wrong in reading order is the one
 * said.
 * @typedef {{type: "num" | "name" | "op" | "(" | ")" | "bad" | "end", text: string, at: number, end: number,
 *   refusal?: Refusal}} Token
 */

/** A refusal, thrown inside the parser: its data, and the whole text mended where one mending is known. */
class Refusal {
  constructor(/** @type {ParseError} */ error, /** @type {string | null} */ fix = null) {
    this.error = error;
    this.fix = fix;
  }
}

const SPACE = /[ \t\r\n]/;
const DIGIT = /[0-9]/;
const LETTER = /[A-Za-z_]/;
const WORD = /[A-Za-z_0-9]/;
const NUMBER = /^(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?/;

/**
 * The text with the part from `from` to just before `to` (1-based) put instead of what is there.
 * @param {string[]} chars
 * @param {number} from
 * @param {number} to
 * @param {string} put
 */
const spliced = (chars, from, to, put) => chars.slice(0, from - 1).join("") + put + chars.slice(to - 1).join("");

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
      out.push({ type: bad ? "bad" : "num", text, at, end: end + 1 });
      if (bad) out[out.length - 1].refusal = new Refusal({ kind: "badNumber", at, text });
      k = end;
    } else if (LETTER.test(c)) {
      let end = k + 1;
      while (end < chars.length && WORD.test(chars[end])) end++;
      out.push({ type: "name", text: chars.slice(k, end).join(""), at, end: end + 1 });
      k = end;
    } else if (c === "*" && chars[k + 1] === "*") {
      out.push({ type: "op", text: "**", at, end: at + 2 });
      k += 2;
    } else if ("+-*/^".includes(c)) {
      out.push({ type: "op", text: c, at, end: at + 1 });
      k++;
    } else if (c === "(" || c === ")") {
      out.push({ type: c, text: c, at, end: at + 1 });
      k++;
    } else {
      out.push({ type: "bad", text: c, at, end: at + 1, refusal: character(chars, k) });
      k++;
    }
  }
  out.push({ type: "end", text: "", at: chars.length + 1, end: chars.length + 1 });
  return out;
}

/**
 * A character the parser does not read, and the text mended where that is
 * clear: a character it spells otherwise (π, x²), a decimal comma between
 * digits, or an equation, which becomes f = left - right (or the right side
 * alone after y = or f(x) =).
 * @param {string[]} chars
 * @param {number} k the character's index
 */
function character(chars, k) {
  const c = chars[k],
    at = k + 1;
  const shown = /^[\x21-\x7e]$/.test(c)
    ? `'${c}'`
    : `U+${(c.codePointAt(0) ?? 0).toString(16).toUpperCase().padStart(4, "0")}`;
  // a comma between the digits of a number written with no point: 0,5
  const before = chars.slice(0, k).join("");
  const comma = c === "," && /(?:^|[^\w.])\d+$/.test(before) && DIGIT.test(chars[k + 1] ?? "");
  const instead = SPELLED.get(c) ?? (comma ? "." : null);
  const error = /** @type {ParseError} */ ({ kind: "character", at, shown, instead });
  if (instead !== null) return new Refusal(error, spliced(chars, at, at + 1, instead));
  if (c !== "=" || chars.indexOf("=", k + 1) >= 0) return new Refusal(error);
  const left = before.trim(),
    right = chars
      .slice(k + 1)
      .join("")
      .trim();
  if (!left || !right) return new Refusal(error);
  if (/^(?:y|f\s*\(\s*x\s*\))$/i.test(left)) return new Refusal(error, right);
  const read = parseText(right);
  const sum = read.tree?.kind === "op" && (read.tree.op === "+" || read.tree.op === "-");
  return new Refusal(error, `${left} - ${sum ? `(${right})` : right}`);
}

/**
 * The parser's place in its list of tokens, and the text they are of.
 * @typedef {{list: Token[], k: number, chars: string[]}} Cursor
 */
/** The next token, not taken. */
const peek = (/** @type {Cursor} */ c) => c.list[c.k];
/** The next token, taken; a part that could not be read is refused when it is reached. */
function take(/** @type {Cursor} */ c) {
  const t = c.list[c.k++];
  if (t.refusal) throw t.refusal;
  return t;
}
/** @type {Record<string, OpName>} each operator's token, as the tree names it */
const OPS = { "+": "+", "-": "-", "*": "*", "/": "/", "^": "^", "**": "^" };
/** Whether the next token is one of these operators. */
const isOp = (/** @type {Cursor} */ c, /** @type {string} */ ops) =>
  peek(c).type === "op" && ops.includes(OPS[peek(c).text]);
/** Whether the next token begins a factor written straight after another: a name or "(". */
const startsFactor = (/** @type {Cursor} */ c) => peek(c).type === "name" || peek(c).type === "(";

/**
 * The parser over a list of tokens: one function per level of precedence.
 * @param {Token[]} list
 * @param {string[]} chars
 * @returns {Tree}
 */
function parseTokens(list, chars) {
  /** @type {Cursor} */
  const c = { list, k: 0, chars };
  const tree = sum(c);
  const rest = take(c);
  if (rest.type === "end") return tree;
  if (rest.type === ")")
    throw new Refusal({ kind: "unexpected", at: rest.at, text: ")" }, spliced(chars, rest.at, rest.end, ""));
  // a number straight after an operand: 2 3, x 2
  throw new Refusal({ kind: "noOperator", at: rest.at, text: rest.text });
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
  for (;;) {
    if (isOp(c, "*/")) {
      const t = take(c);
      left = { kind: "op", op: OPS[t.text], left, right: signed(c), at: t.at };
    } else if (startsFactor(c)) {
      const at = peek(c).at;
      left = { kind: "op", op: "*", left, right: power(c), at };
    } else return left;
  }
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
  const first = peek(c);
  const base = operand(c);
  if (!isOp(c, "^")) return base;
  const t = take(c);
  const exponent = raised(c);
  // e^u: the exponential, as exp(u) is
  if (first.type === "name" && base.kind === "const" && base.name === "e")
    return { kind: "call", name: "exp", arg: exponent, at: first.at };
  return { kind: "op", op: "^", left: base, right: exponent, at: t.at };
}
/** An exponent: a power, or a sign and the products written without an operator after it. */
function raised(/** @type {Cursor} */ c) {
  return isOp(c, "+-") ? juxtaposed(c, signed(c)) : power(c);
}
/**
 * The factors written straight after this one, as products.
 * @param {Cursor} c
 * @param {Tree} first
 * @returns {Tree}
 */
function juxtaposed(c, first) {
  let left = first;
  while (startsFactor(c)) {
    const at = peek(c).at;
    left = { kind: "op", op: "*", left, right: power(c), at };
  }
  return left;
}
/** @returns {Tree} */
function operand(/** @type {Cursor} */ c) {
  const t = take(c);
  if (t.type === "num") {
    const value = Number(t.text);
    if (!Number.isFinite(value)) throw new Refusal({ kind: "tooLarge", at: t.at, text: t.text });
    return { kind: "num", value, text: t.text, at: t.at };
  }
  if (t.type === "(") {
    const inner = sum(c);
    const close = take(c);
    if (close.type !== ")") throw missingClose(c, close);
    return inner;
  }
  if (t.type === "name") return named(c, t);
  if (t.type === "end") throw new Refusal({ kind: "noOperand", at: null, after: c.list[c.k - 2].text });
  throw new Refusal({ kind: "unexpected", at: t.at, text: t.text });
}
/** @returns {Tree} */
function named(/** @type {Cursor} */ c, /** @type {Token} */ t) {
  const known = NAMES.get(t.text.toLowerCase());
  if (known === undefined) throw unknown(c, t);
  if (known.kind === "x") return { kind: "x", at: t.at };
  if (known.kind === "const") return { kind: "const", name: known.name, at: t.at };
  const open = take(c);
  if (open.type !== "(") {
    const at = open.type === "end" ? null : open.at;
    throw new Refusal({ kind: "noOpen", at, text: t.text }, applied(c, t, c.k - 1));
  }
  const arg = sum(c);
  const close = take(c);
  if (close.type !== ")") throw missingClose(c, close);
  return { kind: "call", name: known.name, arg, at: t.at };
}
/** What is wrong where a ')' should be: a number there is one written straight after an operand, as 2 3. */
function missingClose(/** @type {Cursor} */ c, /** @type {Token} */ t) {
  if (t.type === "end") return new Refusal({ kind: "noClose", at: null }, `${c.chars.join("")})`);
  return new Refusal({ kind: t.type === "num" ? "noOperator" : "unexpected", at: t.at, text: t.text });
}

/**
 * A function written without its parentheses, mended: sin x as sin(x),
 * sin 2x as sin(2x), sin^2 x and sin^2(x) as sin(x)^2; null where what
 * follows the name is no argument.
 * @param {Cursor} c
 * @param {Token} name the function's name
 * @param {number} k the index of the token after it
 */
function applied(c, name, k) {
  let j = k,
    raisedTo = "";
  const hat = c.list[j];
  if (hat.type === "op" && OPS[hat.text] === "^") {
    if (c.list[j + 1].type !== "num") return null;
    raisedTo = `^${c.list[j + 1].text}`;
    j += 2;
  }
  const start = c.list[j];
  /** @type {Cursor} */
  const d = { list: c.list, k: j, chars: c.chars };
  try {
    if (start.type === "(") operand(d);
    else juxtaposed(d, signed(d));
  } catch (e) {
    if (e instanceof Refusal) return null;
    throw e;
  }
  const to = c.list[d.k - 1].end,
    arg = c.chars.slice(start.at - 1, to - 1).join("");
  return spliced(
    c.chars,
    name.at,
    to,
    start.type === "(" ? `${name.text}${arg}${raisedTo}` : `${name.text}(${arg})${raisedTo}`,
  );
}

/**
 * An unknown name, and the text mended where a reading is near: a
 * function glued to its argument (sinx, cos2x, not before a "("), known
 * names glued together (pix, xe, x2 as x^2), or a name one letter longer or
 * shorter than a known one (sqr, lg, expo; not asin or log2, other
 * functions, nor a single letter).
 * @param {Cursor} c
 * @param {Token} t
 */
function unknown(c, t) {
  const lower = t.text.toLowerCase(),
    paren = peek(c).type === "(";
  const glued = paren
    ? undefined
    : FN_NAMES.find((f) => lower.startsWith(f) && parseText(lower.slice(f.length)).tree !== undefined);
  const pieces = glued === undefined ? split(lower, paren) : null;
  const like =
    glued === undefined && !pieces && lower.length > 1 ? ([...NAMES.keys()].find((k) => near(lower, k)) ?? null) : null;
  const put = glued !== undefined ? `${glued}(${lower.slice(glued.length)})` : pieces ? pieces.join("*") : like;
  return new Refusal(
    { kind: "unknown", at: t.at, text: t.text, like },
    put === null ? null : spliced(c.chars, t.at, t.end, put),
  );
}
/**
 * A name read as known names written one after another, each but the
 * last x, pi or e (or a function, last, before a "("), a number after one
 * its power: "pix" is pi, x; "x2" is x^2.  Null where it cannot be.
 * @param {string} name
 * @param {boolean} paren whether a "(" follows
 * @returns {string[] | null}
 */
function split(name, paren) {
  if (name === "") return [];
  for (const [k, v] of NAMES) {
    if (!name.startsWith(k) || (v.kind === "fn" && !(paren && k === name))) continue;
    const power = /^\d+/.exec(name.slice(k.length))?.[0] ?? "";
    const rest = split(name.slice(k.length + power.length), paren);
    if (rest && (power === "" || v.kind !== "fn")) return [power ? `${k}^${power}` : k, ...rest];
  }
  return null;
}
/** Whether an unknown name is a known one with one letter more or less, not its first and not a digit. */
function near(/** @type {string} */ name, /** @type {string} */ known) {
  if (known.length < 2) return false;
  const [long, short] = name.length > known.length ? [name, known] : [known, name];
  if (long.length !== short.length + 1) return false;
  for (let k = 0; k < long.length; k++) {
    if (long.slice(0, k) + long.slice(k + 1) !== short) continue;
    // asin, acos, log2 and log10 are functions of their own
    if (long === name && (k === 0 || DIGIT.test(name[k]))) return false;
    return true;
  }
  return false;
}

/**
 * A text as a tree, or the first thing wrong with it and, where one is
 * known, the whole text with that mended.
 * @param {unknown} text
 * @returns {{tree: Tree, error?: undefined} | {error: ParseError, fix: string | null, tree?: undefined}}
 */
function parseText(text) {
  if (typeof text !== "string") return { error: { kind: "notText", at: null }, fix: null };
  const chars = Array.from(text, (c) => (c === "\u2212" ? "-" : c === "\u00d7" ? "*" : c));
  if (chars.length > MAX_LENGTH) {
    return { error: { kind: "tooLong", at: null, most: MAX_LENGTH, length: chars.length }, fix: null };
  }
  if (chars.every((c) => SPACE.test(c))) return { error: { kind: "empty", at: null }, fix: null };
  try {
    return { tree: parseTokens(tokens(chars), chars) };
  } catch (e) {
    if (!(e instanceof Refusal)) throw e;
    // an equation, y = x^2 - 2: what is wrong is the '=', wherever the parser stopped before it
    const equals = chars.indexOf("=");
    const r = e.error.kind === "character" || equals < 0 ? e : character(chars, equals);
    return r.fix === null ? { error: e.error, fix: e.fix } : { error: r.error, fix: r.fix };
  }
}

/** The most mendings tried, one after another, before a text is left without a suggestion. */
const MENDINGS = 4;

/**
 * A learner's text as a tree, or the first thing wrong with it.  Never
 * throws: every refusal is returned as {error: {kind, at, ...}}, at null
 * where the error is at the end or the whole text, with a suggestion where
 * the text, mended once or a few times, can be read.
 * @param {unknown} text
 * @returns {Parsed}
 */
export function parse(text) {
  const first = parseText(text);
  if (first.error === undefined) return { tree: first.tree };
  let fix = first.fix;
  for (let k = 0; fix !== null && k < MENDINGS; k++) {
    const next = parseText(fix);
    if (next.error === undefined) return { error: { ...first.error, suggestion: fix } };
    fix = next.fix;
  }
  return { error: first.error };
}

/** How tightly a tree binds as print writes it: + - 1, * / 2, a sign 3, ^ 4, the rest 5. */
function binding(/** @type {Tree} */ t) {
  if (t.kind === "op") return t.op === "+" || t.op === "-" ? 1 : t.op === "^" ? 4 : 2;
  return t.kind === "neg" ? 3 : 5;
}

/**
 * A tree as the parser's own text: every product with its *, a space each
 * side of + and -, numbers as written, and the fewest parentheses that
 * give the same tree back, so that parse(print(t)) is t (positions aside).
 * The constant e as a power's base is written (e), which is not exp.
 * @param {Tree} t
 * @returns {string}
 */
export function print(t) {
  const wrap = (/** @type {Tree} */ u, /** @type {boolean} */ bare) => (bare ? print(u) : `(${print(u)})`);
  switch (t.kind) {
    case "num":
      return t.text;
    case "x":
      return "x";
    case "const":
      return t.name;
    case "neg":
      return `-${wrap(t.arg, binding(t.arg) >= 3)}`;
    case "call":
      return `${t.name}(${print(t.arg)})`;
    case "op": {
      if (t.op === "^") {
        const e = t.left.kind === "const" && t.left.name === "e";
        return `${wrap(t.left, binding(t.left) === 5 && !e)}^${wrap(t.right, binding(t.right) >= 3)}`;
      }
      const level = binding(t),
        gap = level === 1 ? " " : "";
      return `${wrap(t.left, binding(t.left) >= level)}${gap}${t.op}${gap}${wrap(t.right, binding(t.right) > level)}`;
    }
  }
}

/**
 * Whether two trees are the same f: the same kinds, operators, names and
 * numbers' values, wherever they were written and however a number was.
 * @param {Tree} a
 * @param {Tree} b
 * @returns {boolean}
 */
export function sameTree(a, b) {
  switch (a.kind) {
    case "num":
      return b.kind === "num" && Object.is(a.value, b.value);
    case "x":
      return b.kind === "x";
    case "const":
      return b.kind === "const" && a.name === b.name;
    case "neg":
      return b.kind === "neg" && sameTree(a.arg, b.arg);
    case "call":
      return b.kind === "call" && a.name === b.name && sameTree(a.arg, b.arg);
    case "op":
      return b.kind === "op" && a.op === b.op && sameTree(a.left, b.left) && sameTree(a.right, b.right);
  }
}

/**
 * Whether a tree holds x anywhere.
 * @param {Tree} t
 * @returns {boolean}
 */
export function hasX(t) {
  if (t.kind === "x") return true;
  if (t.kind === "neg" || t.kind === "call") return hasX(t.arg);
  return t.kind === "op" && (hasX(t.left) || hasX(t.right));
}

/**
 * Whether a number in the tree is read as 0 though its digits are not all 0 (1e-400).
 * @param {Tree} t
 * @returns {boolean}
 */
export function underflows(t) {
  if (t.kind === "num") return t.value === 0 && /[1-9]/.test(t.text.replace(/e.*$/i, ""));
  if (t.kind === "neg" || t.kind === "call") return underflows(t.arg);
  return t.kind === "op" && (underflows(t.left) || underflows(t.right));
}
