// What a learner types, and what a link holds: the nodes of a list, the
// fragment's fields, and the fragment that stands for a state.  Each
// refusal says what was wrong (core/sentences/input.js words it).  Nothing
// here touches the DOM.

import { show } from "./numbers.js";
import { LIMITS } from "./limits.js";
import { LINK_REFUSED, NODES_REFUSED } from "./sentences/input.js";
import { PROGRAM_TEXT, intervalOf } from "./functions.js";
import { parse } from "./expression.js";
import { OFF, ON, SWITCHES } from "./switches.js";

/** @typedef {import("./sweep.js").ExpName} ExpName */

/**
 * The nodes of a typed or linked list, or what is wrong with it.  Nodes
 * are separated by commas or spaces, or, where the list has a semicolon,
 * by semicolons, each node then written with a decimal comma or point
 * ("0,3; 0,4; 0,5"), or by spaces where every node has a decimal comma
 * ("0,3 0,4 0,5").  A list that fails and looks written with decimal
 * commas is told how to write them.
 * @param {string} text
 * @param {number[]} [domain] where the nodes must lie
 * @returns {{xs: number[], error?: undefined} | {error: string, xs?: undefined}}
 */
export function parseNodes(text, domain = LIMITS.domain) {
  if (text.length > LIMITS.text) return { error: NODES_REFUSED.tooLong(text.length) };
  // the minus sign as typeset (U+2212), as the page itself writes it
  const got = readList(text.trim().replace(/\u2212/g, "-"), domain);
  if (got.error !== undefined && !text.includes(";") && !text.includes(".") && /\d,\d/.test(text))
    return { error: `${got.error} ${NODES_REFUSED.decimalCommas}` };
  return got;
}
/**
 * @param {string} text
 * @param {number[]} domain
 * @returns {{xs: number[], error?: undefined} | {error: string, xs?: undefined}}
 */
function readList(text, domain) {
  if (text === "") return { error: NODES_REFUSED.empty };
  // with decimal commas, semicolons between the nodes, or spaces where every node has its comma: "0,3 0,4"
  const spaced = !text.includes(";") && text.split(/\s+/).every((s) => /^[+-]?\d*,\d+$/.test(s)) && /\s/.test(text);
  const commas = text.includes(";") || spaced;
  const parts = spaced ? text.split(/\s+/) : commas ? text.split(";").map((p) => p.trim()) : text.split(/\s*,\s*|\s+/);
  const xs = [];
  for (const [k, s] of parts.entries()) {
    if (s === "") return { error: NODES_REFUSED.gap(k, parts.length, commas ? "semicolon" : "comma") };
    // with decimal commas, a comma is a node's decimal point
    const written = commas && !s.includes(".") ? s.replace(/^([+-]?\d*),(\d)/, "$1.$2") : s;
    if (!/^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(written)) return { error: NODES_REFUSED.notNumber(s) };
    const x = Number(written);
    if (x === 0 && /[1-9]/.test(written.replace(/e.*$/i, ""))) return { error: NODES_REFUSED.tooSmall(s) };
    if (!(x >= domain[0] && x <= domain[1])) return { error: NODES_REFUSED.outside(s, domain) };
    xs.push(x);
  }
  if (xs.length < LIMITS.nodes[0]) return { error: NODES_REFUSED.one };
  if (xs.length > LIMITS.nodes[1]) return { error: NODES_REFUSED.many(xs.length) };
  return { xs };
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
 * with it and what the page does instead.
 * @param {string} key
 * @param {string} value
 * @param {number} most
 * @param {{what: string, bound: string, kept: string}} words what the number counts, why most is the most, and
 *   what the page shows instead
 */
function count(key, value, most, { what, bound, kept }) {
  if (!/^\d{1,9}$/.test(value)) return { error: `${LINK_REFUSED.notWhole(key, value, what)} ${kept}` };
  const n = Number(value);
  return n > most ? { error: `${LINK_REFUSED.tooMany(key, n, most, what)} ${bound}. ${kept}` } : { n };
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
 * @returns {null | (LinkState & {refused: string[], error?: undefined}) | {error: string, text?: string}}
 */
export function parseFragment(hash, presets) {
  const programNodes = presets[0].nodes;
  const text = hash.replace(/^#/, "");
  /** @type {string[]} */
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
      const error = LINK_REFUSED.encoding(key);
      if (key === "nodes") return { error, text: pair };
      refused.push(error);
      continue;
    }
    if (!KEYS.includes(key)) refused.push(LINK_REFUSED.unknown(key, KEYS));
    else fields[key] = value;
  }
  // the function first: where its nodes may lie is its own
  let f = PROGRAM_TEXT;
  if (fields.f !== undefined) {
    const wrong = parse(fields.f).error;
    if (wrong !== undefined) refused.push(LINK_REFUSED.f(fields.f, wrong));
    else f = fields.f;
  }
  const preset = presets.find((p) => p.text === f);
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
    refused.push(LINK_REFUSED.exp(fields.exp));
  }
  let iterates = 0;
  if (fields.iterates !== undefined) {
    const c = count("iterates", fields.iterates, LIMITS.iterates, LINK_REFUSED.iterates);
    if (c.error !== undefined) refused.push(c.error);
    else iterates = c.n;
  }
  const settings = settingsOf(fields, refused);
  // a link without nodes= is the page itself with a field or two: it opens as the page does, at the start
  let step = fields.nodes === undefined ? 0 : startOf(settings);
  if (fields.step !== undefined) {
    const steps = stepsFor(nodes.length),
      c = count("step", fields.step, steps, LINK_REFUSED.step(nodes.length, steps));
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
 * @param {string[]} refused
 * @returns {Settings}
 */
function settingsOf(fields, refused) {
  const out = { ...SETTINGS };
  if (fields.digits !== undefined) {
    if (LIMITS.digits.map(String).includes(fields.digits)) out.digits = Number(fields.digits);
    else refused.push(LINK_REFUSED.digits(fields.digits, LIMITS.digits));
  }
  for (const key of SWITCHES) {
    const value = fields[key];
    if (value === ON || value === OFF) out[key] = value === ON;
    else if (value !== undefined) refused.push(LINK_REFUSED.switch(key, value));
  }
  return out;
}

/**
 * The fragment that brings back this state: the step only where it is not
 * where a link opens (startOf), the Iterates, the exponential and each
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
    (step !== Math.min(startOf(s), last) ? `&step=${step}` : "") +
    (s.exp === "browser" ? "&exp=browser" : "") +
    (s.f === PROGRAM_TEXT ? "" : `&f=${encodeURIComponent(s.f)}`) +
    (s.digits ? `&digits=${s.digits}` : "") +
    SWITCHES.filter((key) => s[key])
      .map((key) => `&${key}=1`)
      .join("")
  );
}
