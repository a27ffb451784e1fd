// The nodes a learner types, and the link's fragment that stands for a
// state.  Refusals are data, worded by core/sentences/input.js.

import { show } from "./numbers.js";
import { LIMITS } from "./limits.js";
import { PROGRAM_TEXT, intervalOf, presetsOf } from "./functions.js";
import { hasX, isLiteral, parse, underflows } from "./expression.js";
import { compile } from "./walk.js";
import { doubles } from "./doubles.js";
import { OFF, ON, SWITCHES } from "./switches.js";

/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {import("./expression.js").ParseError} ParseError */
/**
 * `text`: the node as typed; `value`: its double (null for a plain number); `decimalCommas`:
 * the list looks written with them.
 * @typedef {(
 *   | {kind: "tooLong", length: number}
 *   | {kind: "empty" | "one"}
 *   | {kind: "many", count: number}
 *   | {kind: "gap", k: number, count: number, sep: "comma" | "semicolon"}
 *   | {kind: "notNumber", text: string, error: ParseError}
 *   | {kind: "hasX" | "tooSmall" | "tooLarge", text: string}
 *   | {kind: "noValue", text: string, value: number}
 *   | {kind: "outside", text: string, value: number | null, domain: number[]}
 * ) & {decimalCommas?: boolean}} NodesRefusal
 */
/**
 * A field other than the nodes, refused; a count is bounded by `most`.
 * @typedef {{kind: "encoding", key: string}
 *   | {kind: "unknownKey", key: string, keys: string[]}
 *   | {kind: "notWhole", key: "iterates" | "step", value: string, most: number, nodes: number}
 *   | {kind: "tooMany", key: "iterates" | "step", n: number, most: number, nodes: number}
 *   | {kind: "exp", value: string}
 *   | {kind: "digits", value: string, allowed: number[], shown: number}
 *   | {kind: "f", value: string, error: ParseError}
 *   | {kind: "switch", key: string, value: string}} LinkRefusal
 */
/** @typedef {{xs: number[], error?: undefined} | {error: NodesRefusal, xs?: undefined}} Nodes */

/**
 * The nodes of a typed or linked list in `domain`, or what is wrong with it.  Nodes are
 * separated by commas or spaces; by semicolons where there is one, each then with a decimal
 * comma or point ("0,3; 0,4"); or by spaces where each has a decimal comma ("0,3 0,4").  A
 * node is an expression without x (pi/8), in doubles; spaces beside an operator are inside
 * it ("pi / 8"), others separate two ("0.3 -0.4").  A refused list that looks written with
 * decimal commas is told so.
 * @returns {Nodes}
 */
export function parseNodes(/** @type {string} */ text, /** @type {number[]} */ domain = LIMITS.domain) {
  if (text.length > LIMITS.text) return { error: { kind: "tooLong", length: text.length } };
  // the minus sign as typeset (U+2212), as the page itself writes it
  const got = readList(text.trim().replace(/\u2212/g, "-"), domain);
  if (got.error !== undefined && !text.includes(";") && !text.includes(".") && DECIMAL_COMMA.test(text))
    return { error: { ...got.error, decimalCommas: true } };
  return got;
}
/** A comma between digits, the first of them starting a number: 0,3 or ,5, not 1e300,2e300. */
const DECIMAL_COMMA = /(?:^|[\s;+\-\u2212])\d*,\d/;
/** @returns {Nodes} */
function readList(/** @type {string} */ text, /** @type {number[]} */ domain) {
  if (text === "") return { error: { kind: "empty" } };
  const spaced = !text.includes(";") && text.split(/\s+/).every((s) => /^[+-]?\d*,\d+$/.test(s)) && /\s/.test(text);
  const commas = text.includes(";") || spaced;
  const groups = spaced ? text.split(/\s+/) : text.split(commas ? ";" : ",").map((p) => p.trim());
  const xs = [];
  for (const [k, group] of groups.entries()) {
    if (group === "") return { error: { kind: "gap", k, count: groups.length, sep: commas ? "semicolon" : "comma" } };
    for (const s of commas ? [group] : wholes(group)) {
      const node = nodeOf(commas ? s.replace(/(^|[^\d.,])(\d*),(?=\d)/g, "$1$2.") : s, s, domain);
      if (node.error !== undefined) return node;
      xs.push(node.x);
    }
  }
  if (xs.length < LIMITS.nodes[0]) return { error: { kind: "one" } };
  if (xs.length > LIMITS.nodes[1]) return { error: { kind: "many", count: xs.length } };
  return { xs };
}
/** A space may stand after one of the first or before one of the second inside a node. */
const AFTER = "+-*/^(×·÷",
  BEFORE = "*/^)×·÷";
/** The nodes between two commas: split at spaces outside parentheses and away from operators (0.3 -0.4 is two). */
function wholes(/** @type {string} */ group) {
  const out = [];
  let from = 0;
  for (const m of group.matchAll(/\s+/g)) {
    const at = m.index ?? 0,
      to = at + m[0].length;
    const before = group[at - 1],
      after = group[to],
      open = (group.slice(0, at).match(/\(/g)?.length ?? 0) - (group.slice(0, at).match(/\)/g)?.length ?? 0);
    const sign = "+-".includes(after) && (to + 1 === group.length || /\s/.test(group[to + 1]));
    if (open > 0 || AFTER.includes(before) || BEFORE.includes(after) || sign) continue;
    out.push(group.slice(from, at));
    from = to;
  }
  out.push(group.slice(from));
  return out;
}
/**
 * One node, `written` for the parser, `text` as typed.
 * @returns {{x: number, error?: undefined} | {error: NodesRefusal, x?: undefined}}
 */
function nodeOf(/** @type {string} */ written, /** @type {string} */ text, /** @type {number[]} */ domain) {
  const parsed = parse(written);
  if (parsed.error?.kind === "tooLarge") return { error: { kind: "tooLarge", text } };
  if (parsed.error !== undefined) return { error: { kind: "notNumber", text, error: parsed.error } };
  if (hasX(parsed.tree)) return { error: { kind: "hasX", text } };
  const x = compile(parsed.tree, doubles())(NaN);
  if (!Number.isFinite(x)) return { error: { kind: "noValue", text, value: x } };
  if (x === 0 && underflows(parsed.tree)) return { error: { kind: "tooSmall", text } };
  if (!(x >= domain[0] && x <= domain[1])) {
    // a value is worth saying only where more than a signed number was typed
    return { error: { kind: "outside", text, value: isLiteral(parsed.tree) ? null : x, domain } };
  }
  return { x };
}

/**
 * `iterates`: how many to replay from the nodes (each is the program's, so the count is
 * enough); `step`: the steps shown (Infinity: all).
 * @typedef {{nodes: number[], iterates: number, step: number, exp: ExpName, f: string} & Settings} LinkState
 */
/** @typedef {{digits: number, lecture: boolean, predict: boolean, deeper: boolean}} Settings */

/** The settings of a link without them. */
export const SETTINGS = { digits: 0, lecture: false, predict: false, deeper: false };
/** The digits a link without them shows: 6 for a lecture, as a projector wants, else all (0). */
export const digitsBy = (/** @type {boolean} */ lecture) => (lecture ? 6 : 0);

/** The keys a link may hold, in the order it is written. */
const KEYS = ["f", "nodes", "iterates", "step", "exp", "digits", ...SWITCHES];

/** The steps of the sweep over n nodes. */
export const stepsFor = (/** @type {number} */ n) => (n * (n - 1)) / 2;

/**
 * The state a fragment of key=value pairs stands for ('+' is no space: this is no form); null
 * without '=', an anchor of the page's own.  Empty, or without nodes=, it is the page at its
 * start.  Nodes that cannot be used refuse the link; any other such field is left out and said.
 * @param {string} hash
 * @param {readonly import("./functions.js").Preset[]} presets the program's first
 * @returns {null | (LinkState & {refused: LinkRefusal[], error?: undefined}) | {error: NodesRefusal | LinkRefusal, text?: string}}
 */
export function parseFragment(hash, presets) {
  const programNodes = presets[0].nodes;
  const text = hash.replace(/^#/, "");
  /** @type {LinkRefusal[]} */
  const refused = [];
  if (text === "")
    return { nodes: programNodes, iterates: 0, step: 0, exp: "wasm", f: PROGRAM_TEXT, ...SETTINGS, refused };
  if (!text.includes("=")) return null;
  /** @type {Record<string, string>} */
  const fields = {};
  for (const pair of text.split("&")) {
    const at = pair.indexOf("="),
      key = pair.slice(0, at < 0 ? pair.length : at);
    let value;
    try {
      value = decodeURIComponent(at < 0 ? "" : pair.slice(at + 1));
    } catch {
      /** @type {LinkRefusal} */
      const error = { kind: "encoding", key };
      if (key === "nodes") return { error, text: pair };
      refused.push(error);
      continue;
    }
    if (!KEYS.includes(key)) refused.push({ kind: "unknownKey", key, keys: KEYS });
    else fields[key] = value;
  }
  // f first: where its nodes may lie is its own
  let f = PROGRAM_TEXT;
  if (fields.f !== undefined) {
    const wrong = parse(fields.f).error;
    if (wrong !== undefined) refused.push({ kind: "f", value: fields.f, error: wrong });
    else f = fields.f;
  }
  const parsed =
    fields.nodes === undefined
      ? { xs: presetsOf(presets, f)[0]?.nodes ?? programNodes }
      : parseNodes(fields.nodes, intervalOf(presets, f));
  if (parsed.error !== undefined) return { error: parsed.error, text: fields.nodes };
  const nodes = parsed.xs;
  /** a count to most; else, where absent, `absent`, and where refused `kept`, as its sentence says
   * @type {(key: "iterates" | "step", most: number, absent: number, kept: number) => number} */
  const count = (key, most, absent, kept) => {
    const value = fields[key];
    if (value === undefined) return absent;
    const n = Number(value);
    if (!/^\d{1,9}$/.test(value)) refused.push({ kind: "notWhole", key, value, most, nodes: nodes.length });
    else if (n > most) refused.push({ kind: "tooMany", key, n, most, nodes: nodes.length });
    else return n;
    return kept;
  };
  /** @type {ExpName} */
  const exp = fields.exp === "browser" ? "browser" : "wasm";
  if (fields.exp !== undefined && fields.exp !== exp) refused.push({ kind: "exp", value: fields.exp });
  const iterates = count("iterates", LIMITS.iterates, 0, 0);
  const valid = LIMITS.digits.map(String).includes(fields.digits ?? ""),
    settings = { ...SETTINGS, digits: valid ? Number(fields.digits) : digitsBy(fields.lecture === ON) };
  if (fields.digits !== undefined && !valid)
    refused.push({ kind: "digits", value: fields.digits, allowed: LIMITS.digits, shown: settings.digits });
  for (const key of SWITCHES) {
    const value = fields[key];
    if (value === ON || value === OFF) settings[key] = value === ON;
    else if (value !== undefined) refused.push({ kind: "switch", key, value });
  }
  // predicting, a link opens at the start, as an exercise, whatever its step
  const step = settings.predict
    ? 0
    : count("step", stepsFor(nodes.length), fields.nodes === undefined ? 0 : Infinity, Infinity);
  return { nodes, iterates, step, exp, f, ...settings, refused };
}

/** The fragment for this state: each field only where a link without it differs, and no step while predicting. */
export function hashOf(/** @type {LinkState} */ s) {
  const last = stepsFor(s.nodes.length),
    step = Math.min(s.step, last);
  return (
    "#nodes=" +
    s.nodes.map(show).join(",") +
    (s.iterates > 0 ? `&iterates=${s.iterates}` : "") +
    (!s.predict && step !== last ? `&step=${step}` : "") +
    (s.exp === "browser" ? "&exp=browser" : "") +
    (s.f === PROGRAM_TEXT ? "" : `&f=${encodeURIComponent(s.f)}`) +
    (s.digits !== digitsBy(s.lecture) ? `&digits=${s.digits}` : "") +
    SWITCHES.map((key) => (s[key] ? `&${key}=1` : "")).join("")
  );
}
