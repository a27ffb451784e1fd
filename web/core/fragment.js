// What a learner types, and what a link holds: the nodes of a list, the
// fragment's fields, and the fragment that stands for a state.  Each
// refusal is data, what was wrong and what it needs to be said
// (core/sentences/input.js words it).  Nothing here touches the DOM.

import { show } from "./numbers.js";
import { LIMITS } from "./limits.js";
import { PROGRAM_TEXT, intervalOf, presetsOf } from "./functions.js";
import { hasX, parse, underflows } from "./expression.js";
import { compile } from "./walk.js";
import { doubles } from "./doubles.js";
import { OFF, ON, SWITCHES } from "./switches.js";

/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {import("./expression.js").ParseError} ParseError */
/** @typedef {import("./expression.js").Tree} Tree */
/**
 * Why a list of nodes is refused.  `text` is the node as typed; `error`,
 * why the parser could not read it; `value`, the double it came to (null
 * for a number written as one);
 * `decimalCommas`, that the list looks written with decimal commas.
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
 * Why a link's field other than its nodes is refused: the key and the
 * value as the link holds them, and what bounds a count (`most`, and the
 * nodes there are, whose steps are the most a link's step may be).
 * @typedef {{kind: "encoding", key: string}
 *   | {kind: "unknownKey", key: string, keys: string[]}
 *   | {kind: "notWhole", key: "iterates" | "step", value: string, most: number, nodes: number}
 *   | {kind: "tooMany", key: "iterates" | "step", n: number, most: number, nodes: number}
 *   | {kind: "exp", value: string}
 *   | {kind: "digits", value: string, allowed: number[]}
 *   | {kind: "f", value: string, error: ParseError}
 *   | {kind: "switch", key: string, value: string}} LinkRefusal
 */

/**
 * The nodes of a typed or linked list, or what is wrong with it.  Nodes
 * are separated by commas or spaces, or, where the list has a semicolon,
 * by semicolons, each node then written with a decimal comma or point
 * ("0,3; 0,4; 0,5"), or by spaces where every node has a decimal comma
 * ("0,3 0,4 0,5").  Each node is a number or an expression of numbers in
 * f's language, without x (pi/8, 1/3, -0.5, 2e-3), computed in doubles;
 * spaces beside an operator belong to a node ("pi / 8"), other spaces
 * separate two ("0.3 -0.4" is two).  A list that fails and looks written
 * with decimal commas (a comma straight between the digits of a number
 * with no point or exponent) is told how to write them.
 * @param {string} text
 * @param {number[]} [domain] where the nodes must lie
 * @returns {{xs: number[], error?: undefined} | {error: NodesRefusal, xs?: undefined}}
 */
export function parseNodes(text, domain = LIMITS.domain) {
  if (text.length > LIMITS.text) return { error: { kind: "tooLong", length: text.length } };
  // the minus sign as typeset (U+2212), as the page itself writes it
  const got = readList(text.trim().replace(/\u2212/g, "-"), domain);
  if (got.error !== undefined && !text.includes(";") && !text.includes(".") && DECIMAL_COMMA.test(text))
    return { error: { ...got.error, decimalCommas: true } };
  return got;
}
/** A comma between digits, the first of them starting a number: 0,3 or ,5, not 1e300,2e300. */
const DECIMAL_COMMA = /(?:^|[\s;+\-\u2212])\d*,\d/;
/**
 * @param {string} text
 * @param {number[]} domain
 * @returns {{xs: number[], error?: undefined} | {error: NodesRefusal, xs?: undefined}}
 */
function readList(text, domain) {
  if (text === "") return { error: { kind: "empty" } };
  // with decimal commas, semicolons between the nodes, or spaces where every node has its comma: "0,3 0,4"
  const spaced = !text.includes(";") && text.split(/\s+/).every((s) => /^[+-]?\d*,\d+$/.test(s)) && /\s/.test(text);
  const commas = text.includes(";") || spaced;
  const groups = spaced ? text.split(/\s+/) : text.split(commas ? ";" : ",").map((p) => p.trim());
  const xs = [];
  for (const [k, group] of groups.entries()) {
    if (group === "") return { error: { kind: "gap", k, count: groups.length, sep: commas ? "semicolon" : "comma" } };
    // with decimal commas, a comma is a node's decimal point
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
/** Operators a space may stand beside inside a node: after one of the first, or before one of the second. */
const AFTER = "+-*/^(×·÷",
  BEFORE = "*/^)×·÷";
/**
 * The nodes a group between commas holds: split at each run of spaces
 * outside parentheses between two whole nodes, not one beside an operator
 * (a sign before a node, as in 0.3 -0.4, is its own).
 * @param {string} group
 */
function wholes(group) {
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
 * One node: read, its value in doubles, and where it lies.
 * @param {string} written the node as the parser is to read it (a decimal comma made a point)
 * @param {string} text the node as typed
 * @param {number[]} domain
 * @returns {{x: number, error?: undefined} | {error: NodesRefusal, x?: undefined}}
 */
function nodeOf(written, text, domain) {
  const parsed = parse(written);
  if (parsed.error !== undefined) {
    return {
      error:
        parsed.error.kind === "tooLarge"
          ? { kind: "tooLarge", text }
          : { kind: "notNumber", text, error: parsed.error },
    };
  }
  if (hasX(parsed.tree)) return { error: { kind: "hasX", text } };
  const x = compile(parsed.tree, doubles())(NaN);
  if (!Number.isFinite(x)) return { error: { kind: "noValue", text, value: x } };
  if (x === 0 && underflows(parsed.tree)) return { error: { kind: "tooSmall", text } };
  if (!(x >= domain[0] && x <= domain[1])) {
    // the value said where the node is more than a number with its sign
    const t = parsed.tree.kind === "neg" ? parsed.tree.arg : parsed.tree;
    return { error: { kind: "outside", text, value: t.kind === "num" ? null : x, domain } };
  }
  return { x };
}

/**
 * What a link brings back: the nodes Iterate started from, how many
 * Iterates to replay from them (each iterate is the program's Qij's, so the
 * count is enough and cannot disagree with the nodes), the steps shown
 * (Infinity: all), the exponential, and the reader's settings: the digits
 * the tableau shows and the switches (the lecture's large text, predicting
 * each entry before it is shown, "Going deeper" open).
 * @typedef {{nodes: number[], iterates: number, step: number, exp: ExpName, f: string} & Settings} LinkState
 */
/** @typedef {{digits: number, lecture: boolean, predict: boolean, deeper: boolean}} Settings */

/** The settings of a link without them. */
export const SETTINGS = { digits: 0, lecture: false, predict: false, deeper: false };

/** The keys a link may hold, in the order it is written. */
const KEYS = ["f", "nodes", "iterates", "step", "exp", "digits", ...SWITCHES];

/** The steps of the sweep over n nodes. */
export const stepsFor = (/** @type {number} */ n) => (n * (n - 1)) / 2;

/**
 * A whole number from 0 to most, as a link writes it, or what is wrong
 * with it.
 * @param {"iterates" | "step"} key
 * @param {string} value
 * @param {number} most
 * @param {number} nodes the nodes there are
 * @returns {{n: number, error?: undefined} | {error: LinkRefusal, n?: undefined}}
 */
function count(key, value, most, nodes) {
  if (!/^\d{1,9}$/.test(value)) return { error: { kind: "notWhole", key, value, most, nodes } };
  const n = Number(value);
  return n > most ? { error: { kind: "tooMany", key, n, most, nodes } } : { n };
}

/**
 * The fragment as key=value pairs, '+' kept as it is (it is not a form).
 * A fragment without '=' is an anchor of the page's own, not a state
 * (null).  An empty one is the program's own nodes, at the tableau's
 * start, for a first visit to walk through, as does one without nodes=;
 * a link without step= opens at the end, or predicting at the start.
 * Nodes that cannot be used refuse the whole link (the rest is of those
 * nodes); any other field that cannot be used is left out, said in
 * `refused`, and the rest used.
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
  // the function first: where its nodes may lie is its own
  let f = PROGRAM_TEXT;
  if (fields.f !== undefined) {
    const wrong = parse(fields.f).error;
    if (wrong !== undefined) refused.push({ kind: "f", value: fields.f, error: wrong });
    else f = fields.f;
  }
  const preset = presetsOf(presets, f)[0];
  const parsed =
    fields.nodes === undefined
      ? { xs: preset?.nodes ?? programNodes }
      : parseNodes(fields.nodes, intervalOf(presets, f));
  if (parsed.error !== undefined) return { error: parsed.error, text: fields.nodes };
  const nodes = parsed.xs;
  /** @type {ExpName} */
  let exp = "wasm";
  if (fields.exp === "browser") exp = "browser";
  else if (fields.exp !== undefined && fields.exp !== "wasm") {
    refused.push({ kind: "exp", value: fields.exp });
  }
  let iterates = 0;
  if (fields.iterates !== undefined) {
    const c = count("iterates", fields.iterates, LIMITS.iterates, nodes.length);
    if (c.error !== undefined) refused.push(c.error);
    else iterates = c.n;
  }
  const settings = settingsOf(fields, refused);
  // a link without nodes= is the page itself with a field or two: it opens as the page does, at the start
  let step = fields.nodes === undefined ? 0 : startOf(settings);
  if (fields.step !== undefined) {
    const c = count("step", fields.step, stepsFor(nodes.length), nodes.length);
    if (c.error !== undefined) refused.push(c.error);
    else step = c.n;
  }
  return { nodes, iterates, step, exp, f, ...settings, refused };
}

/**
 * Where a link without step= opens: at the end, the whole tableau shown;
 * predicting, at the start, for a link handed out as an exercise.
 * @param {{predict: boolean}} settings
 */
const startOf = (settings) => (settings.predict ? 0 : Infinity);

/**
 * The settings a link's fields hold, each that cannot be used left at its
 * default and said.
 * @param {Record<string, string>} fields
 * @param {LinkRefusal[]} refused
 * @returns {Settings}
 */
function settingsOf(fields, refused) {
  const out = { ...SETTINGS };
  if (fields.digits !== undefined) {
    if (LIMITS.digits.map(String).includes(fields.digits)) out.digits = Number(fields.digits);
    else refused.push({ kind: "digits", value: fields.digits, allowed: LIMITS.digits });
  }
  for (const key of SWITCHES) {
    const value = fields[key];
    if (value === ON || value === OFF) out[key] = value === ON;
    else if (value !== undefined) refused.push({ kind: "switch", key, value });
  }
  return out;
}

/**
 * The fragment that brings back this state: the step only where it is not
 * where a link opens (startOf), and never predicting, the Iterates, the exponential and each
 * setting only where they are not none, the program's own and the
 * default, so that a link made before them reads the same.
 * @param {LinkState} s
 */
export function hashOf(s) {
  const last = stepsFor(s.nodes.length),
    step = Math.min(s.step, last);
  return (
    "#nodes=" +
    s.nodes.map(show).join(",") +
    (s.iterates > 0 ? `&iterates=${s.iterates}` : "") +
    (!s.predict && step !== Math.min(startOf(s), last) ? `&step=${step}` : "") +
    (s.exp === "browser" ? "&exp=browser" : "") +
    (s.f === PROGRAM_TEXT ? "" : `&f=${encodeURIComponent(s.f)}`) +
    (s.digits ? `&digits=${s.digits}` : "") +
    SWITCHES.filter((key) => s[key])
      .map((key) => `&${key}=1`)
      .join("")
  );
}
