// f(x) as a learner types it: a recursive-descent parser to a tree (walk.js
// evaluates it), and the tree printed back.  Nothing is eval'd or looked up
// in a JavaScript object (the page's CSP refuses 'unsafe-eval').  Refusals
// are data, worded by core/sentences/input.js.
//
//   numbers   2, 0.5, .5, 1e-3, 2.5E+2
//   names     x, pi, e; exp, log (ln), sqrt, sin, cos, tan, abs, sinh, cosh,
//             tanh, applied with parentheses; in any case (X, Sin, PI)
//   symbols   + - * / ^ (** is ^) ( ), − as -, × as *; spaces, tabs, line ends
// Tightest first:
//   operand   a number, x, pi, e, fn(sum) or (sum)
//   power     operand [^ exponent], right-associative: 2^3^2 = 2^(3^2); e^u
//             is exp(u), (e)^u a power of the constant
//   exponent  a power, or a sign, a signed and the factors written straight
//             after it: e^-2x = e^(-2x), 2^-x^2 = 2^(-(x^2)), e^-2*x = (e^-2)*x
//   signed    a power, or a sign and a signed: -x^2 = -(x^2)
//   product   signeds joined by * or /, or by nothing before a name or "("
//             (2x, (x + 1)(x - 1), 3sin(x)), left-associative: 2x^2 = 2*(x^2),
//             -2x = (-2)*x, 1/2x = (1/2)*x, e^2x = (e^2)*x; 2 3 is refused
//   sum       products joined by + or -, left-associative
//
// A refusal's `at` is 1-based in code points, null at the end or for the
// whole text.  Where a mended text reads (sin x, a ')' missing at the end, a
// name a letter off, x², an equation as left - right) it is the suggestion.

/** Characters a learner may type for what the parser spells in ASCII. */
const SPELLED = new Map(Object.entries({ π: "pi", "·": "*", "÷": "/", "²": "^2", "³": "^3" }));

/** @typedef {"exp" | "log" | "sqrt" | "sin" | "cos" | "tan" | "abs" | "sinh" | "cosh" | "tanh"} FnName */
/** @typedef {"+" | "-" | "*" | "/" | "^"} OpName */
/**
 * `at`: an operator's own position (a product written without one: its second factor's).
 * @typedef {{kind: "num", value: number, text: string, at: number}
 *   | {kind: "x", at: number}
 *   | {kind: "const", name: "pi" | "e", at: number}
 *   | {kind: "neg", arg: Tree, at: number}
 *   | {kind: "op", op: OpName, left: Tree, right: Tree, at: number}
 *   | {kind: "call", name: FnName, arg: Tree, at: number}} Tree
 */
/**
 * `text`: the part at `at`; `after`: the part before an early end; `like`: a known name a
 * letter off; `instead`: how the parser spells the character; `suggestion`: the text mended.
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

const FUNCTIONS = /** @type {const} */ (["exp", "log", "sqrt", "sin", "cos", "tan", "abs", "sinh", "cosh", "tanh"]);

/** @typedef {{kind: "x"} | {kind: "const", name: "pi" | "e"} | {kind: "fn", name: FnName}} Named */
/** @type {ReadonlyMap<string, Named>} the names, lower case; a Map, so "__proto__" is no key */
const NAMES = new Map(
  /** @type {[string, Named][]} */ ([
    ["x", { kind: "x" }],
    ["pi", { kind: "const", name: "pi" }],
    ["e", { kind: "const", name: "e" }],
    ...FUNCTIONS.map((name) => [name, { kind: "fn", name }]),
    ["ln", { kind: "fn", name: "log" }],
  ]),
);
/** Longest first, for a name glued to its argument: sinh before sin. */
const FN_NAMES = [...NAMES].flatMap(([k, v]) => (v.kind === "fn" ? [k] : [])).sort((a, b) => b.length - a.length);

/**
 * A token, the text from `at` to before `end`; a "bad" one is refused when the parser reaches it,
 * so the first fault in reading order is the one said.
 * @typedef {{type: "num" | "name" | "op" | "(" | ")" | "bad" | "end", text: string, at: number, end: number,
 *   refusal?: Refusal}} Token
 */

/** Thrown inside the parser: the refusal, and the whole text mended where that is known. */
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

/** @type {(chars: string[], from: number, to: number, put: string) => string} put for 1-based from..to - 1 */
const spliced = (chars, from, to, put) => chars.slice(0, from - 1).join("") + put + chars.slice(to - 1).join("");

/** The tokens, the last one "end", of the code points (− and × already - and *). */
function tokens(/** @type {string[]} */ chars) {
  /** @type {Token[]} */
  const out = [];
  let k = 0;
  while (k < chars.length) {
    const c = chars[k];
    const at = k + 1;
    if (SPACE.test(c)) k++;
    else if (DIGIT.test(c) || (c === "." && DIGIT.test(chars[k + 1] ?? ""))) {
      const match = NUMBER.exec(chars.slice(k).join(""));
      if (!match) throw new Error("a number's start that NUMBER does not match");
      let end = k + match[0].length;
      // a second point, or digits glued to an exponent's end: one bad number, not two
      while (end < chars.length && /[0-9.]/.test(chars[end])) end++;
      const text = chars.slice(k, end).join("");
      const bad = end !== k + match[0].length;
      const refusal = bad ? new Refusal({ kind: "badNumber", at, text }) : undefined;
      out.push({ type: bad ? "bad" : "num", text, at, end: end + 1, refusal });
      k = end;
    } else if (LETTER.test(c)) {
      let end = k + 1;
      while (end < chars.length && WORD.test(chars[end])) end++;
      out.push({ type: "name", text: chars.slice(k, end).join(""), at, end: end + 1 });
      k = end;
    } else if (c === "*" && chars[k + 1] === "*") {
      out.push({ type: "op", text: "**", at, end: at + 2 });
      k += 2;
    } else {
      const type = "+-*/^".includes(c) ? "op" : c === "(" || c === ")" ? c : "bad";
      out.push({ type, text: c, at, end: at + 1, refusal: type === "bad" ? character(chars, k) : undefined });
      k++;
    }
  }
  out.push({ type: "end", text: "", at: chars.length + 1, end: chars.length + 1 });
  return out;
}

/** The character at k, not read; mended where one is spelled otherwise (π, x²), a decimal comma, or an equation. */
function character(/** @type {string[]} */ chars, /** @type {number} */ k) {
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
  // an equation: left - right, or the right side alone after y = or f(x) =
  if (c !== "=" || chars.indexOf("=", k + 1) >= 0) return new Refusal(error);
  const [left, right] = [before, chars.slice(k + 1).join("")].map((s) => s.trim());
  if (!left || !right) return new Refusal(error);
  if (/^(?:y|f\s*\(\s*x\s*\))$/i.test(left)) return new Refusal(error, right);
  const read = parseText(right);
  const sum = read.tree?.kind === "op" && (read.tree.op === "+" || read.tree.op === "-");
  return new Refusal(error, `${left} - ${sum ? `(${right})` : right}`);
}

/** @typedef {{list: Token[], k: number, chars: string[]}} Cursor */
const peek = (/** @type {Cursor} */ c) => c.list[c.k];
/** The next token, taken; a bad one is refused here. */
function take(/** @type {Cursor} */ c) {
  const t = c.list[c.k++];
  if (t.refusal) throw t.refusal;
  return t;
}
/** @type {Record<string, OpName>} */
const OPS = { "+": "+", "-": "-", "*": "*", "/": "/", "^": "^", "**": "^" };
const isOp = (/** @type {Cursor} */ c, /** @type {string} */ ops) =>
  peek(c).type === "op" && ops.includes(OPS[peek(c).text]);

/** One function per level of precedence, tightest last. */
function parseTokens(/** @type {Token[]} */ list, /** @type {string[]} */ chars) {
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
  let left = juxtaposed(c, signed(c));
  while (isOp(c, "*/")) {
    const t = take(c);
    left = juxtaposed(c, { kind: "op", op: OPS[t.text], left, right: signed(c), at: t.at });
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
  const first = peek(c);
  const base = operand(c);
  if (!isOp(c, "^")) return base;
  const t = take(c);
  const exponent = isOp(c, "+-") ? juxtaposed(c, signed(c)) : power(c);
  if (first.type === "name" && base.kind === "const" && base.name === "e")
    return { kind: "call", name: "exp", arg: exponent, at: first.at };
  return { kind: "op", op: "^", left: base, right: exponent, at: t.at };
}
/** @returns {Tree} first times the factors written straight after it */
function juxtaposed(/** @type {Cursor} */ c, /** @type {Tree} */ first) {
  let left = first;
  // a factor written straight after another begins with a name or "("
  while (peek(c).type === "name" || peek(c).type === "(") {
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
  if (t.type === "(") return closed(c);
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
  return { kind: "call", name: known.name, arg: closed(c), at: t.at };
}
/** A sum and its ')'; a number instead follows an operand, as in 2 3.  @returns {Tree} */
function closed(/** @type {Cursor} */ c) {
  const inner = sum(c);
  const t = take(c);
  if (t.type === ")") return inner;
  if (t.type === "end") throw new Refusal({ kind: "noClose", at: null }, `${c.chars.join("")})`);
  throw new Refusal({ kind: t.type === "num" ? "noOperator" : "unexpected", at: t.at, text: t.text });
}

/** A function without its parentheses (k: the token after it), mended: sin 2x, sin^2 x, sin^2(x); else null. */
function applied(/** @type {Cursor} */ c, /** @type {Token} */ name, /** @type {number} */ k) {
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
  return spliced(c.chars, name.at, to, name.text + (start.type === "(" ? arg : `(${arg})`) + raisedTo);
}

/**
 * An unknown name, mended where a reading is near: a function glued to its argument (cos2x;
 * not before a "("), known names glued together (pix, x2 as x^2), or a name a letter longer
 * or shorter than a known one (sqr, lg; not asin or log2, nor a single letter).
 */
function unknown(/** @type {Cursor} */ c, /** @type {Token} */ t) {
  const lower = t.text.toLowerCase(),
    paren = peek(c).type === "(";
  const glued = paren
    ? undefined
    : FN_NAMES.find((f) => lower.startsWith(f) && parseText(lower.slice(f.length)).tree !== undefined);
  const pieces = glued === undefined ? split(lower, paren) : null;
  const like =
    glued === undefined && !pieces && lower.length > 1 ? ([...NAMES.keys()].find((k) => near(lower, k)) ?? null) : null;
  const put = glued !== undefined ? `${glued}(${lower.slice(glued.length)})` : pieces ? pieces.join("*") : like;
  const fix = put === null ? null : spliced(c.chars, t.at, t.end, put);
  return new Refusal({ kind: "unknown", at: t.at, text: t.text, like }, fix);
}
/** Known names in a row, digits after one its power; a function only last, before a "(".  @returns {string[] | null} */
function split(/** @type {string} */ name, /** @type {boolean} */ paren) {
  if (name === "") return [];
  for (const [k, v] of NAMES) {
    if (!name.startsWith(k) || (v.kind === "fn" && !(paren && k === name))) continue;
    const power = /^\d+/.exec(name.slice(k.length))?.[0] ?? "";
    const rest = split(name.slice(k.length + power.length), paren);
    if (rest && (power === "" || v.kind !== "fn")) return [power ? `${k}^${power}` : k, ...rest];
  }
  return null;
}
/** Whether a name is a known one with a letter more or less, not its first and not a digit. */
function near(/** @type {string} */ name, /** @type {string} */ known) {
  if (known.length < 2) return false;
  const [long, short] = name.length > known.length ? [name, known] : [known, name];
  if (long.length !== short.length + 1) return false;
  for (let k = 0; k < long.length; k++) {
    if (long.slice(0, k) + long.slice(k + 1) !== short) continue;
    // asin, acos, log2 and log10 are functions of their own
    return !(long === name && (k === 0 || DIGIT.test(name[k])));
  }
  return false;
}

/** @returns {{tree: Tree, error?: undefined} | {error: ParseError, fix: string | null, tree?: undefined}} */
function parseText(/** @type {unknown} */ text) {
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
    // in an equation, the fault is the '=', wherever the parser stopped before it
    const equals = chars.indexOf("=");
    const r = e.error.kind === "character" || equals < 0 ? e : character(chars, equals);
    return r.fix === null ? { error: e.error, fix: e.fix } : { error: r.error, fix: r.fix };
  }
}

/** The most mendings tried in a row for a suggestion. */
const MENDINGS = 4;

/** A text as a tree, or its first fault, suggesting a text where a few mendings make it read.  @returns {Parsed} */
export function parse(/** @type {unknown} */ text) {
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

/** How tightly a tree binds: + - 1, * / 2, a sign 3, ^ 4, the rest 5. */
function binding(/** @type {Tree} */ t) {
  if (t.kind === "op") return t.op === "+" || t.op === "-" ? 1 : t.op === "^" ? 4 : 2;
  return t.kind === "neg" ? 3 : 5;
}

/** A tree as text with the fewest parentheses that give it back; e as a base is (e).  @returns {string} */
export function print(/** @type {Tree} */ t) {
  const wrap = (/** @type {Tree} */ u, /** @type {boolean} */ bare) => (bare ? print(u) : `(${print(u)})`);
  if (t.kind === "num") return t.text;
  if (t.kind === "x") return "x";
  if (t.kind === "const") return t.name;
  if (t.kind === "neg") return `-${wrap(t.arg, binding(t.arg) >= 3)}`;
  if (t.kind === "call") return `${t.name}(${print(t.arg)})`;
  if (t.op === "^") {
    const e = t.left.kind === "const" && t.left.name === "e";
    return `${wrap(t.left, binding(t.left) === 5 && !e)}^${wrap(t.right, binding(t.right) >= 3)}`;
  }
  const level = binding(t),
    gap = level === 1 ? " " : "";
  return `${wrap(t.left, binding(t.left) >= level)}${gap}${t.op}${gap}${wrap(t.right, binding(t.right) > level)}`;
}

/** Whether two trees are the same f, however their parts were written.  @returns {boolean} */
export function sameTree(/** @type {Tree} */ a, /** @type {Tree} */ b) {
  if (a.kind === "num") return b.kind === "num" && Object.is(a.value, b.value);
  if (a.kind === "x") return b.kind === "x";
  if (a.kind === "const") return b.kind === "const" && a.name === b.name;
  if (a.kind === "neg") return b.kind === "neg" && sameTree(a.arg, b.arg);
  if (a.kind === "call") return b.kind === "call" && a.name === b.name && sameTree(a.arg, b.arg);
  return b.kind === "op" && a.op === b.op && sameTree(a.left, b.left) && sameTree(a.right, b.right);
}

/** @type {(t: Tree, p: (t: Tree) => boolean) => boolean} whether p holds anywhere in t */
const some = (t, p) =>
  p(t) ||
  (t.kind === "neg" || t.kind === "call" ? some(t.arg, p) : t.kind === "op" && (some(t.left, p) || some(t.right, p)));

export const hasX = (/** @type {Tree} */ t) => some(t, (u) => u.kind === "x");
/** Whether a tree is a number as written, with its sign or without. */
export const isLiteral = (/** @type {Tree} */ t) => (t.kind === "neg" ? t.arg : t).kind === "num";

/** Whether a number in the tree reads as 0 though its digits are not all 0 (1e-400). */
export const underflows = (/** @type {Tree} */ t) =>
  some(t, (u) => u.kind === "num" && u.value === 0 && /[1-9]/.test(u.text.replace(/e.*$/i, "")));
