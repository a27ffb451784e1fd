// What a learner types, and what a link holds: the nodes of a list, the
// fragment's fields, and the fragment that stands for a state.  Each
// refusal says what was wrong, in words a learner can act on.  Nothing
// here touches the DOM.

import { show } from "./numbers.js";

/** @typedef {import("./sweep.js").ExpName} ExpName */

/** The fewest and most nodes, the longest text read, the most Iterates a link replays. */
export const LIMITS = { nodes: [2, 8], text: 400, iterates: 50 };

/** A token as a message may quote it: short, whatever it was. */
export function quote(/** @type {string} */ s) {
  return s.length <= 24 ? `“${s}”` : `“${s.slice(0, 20)}…” (${s.length} characters)`;
}

/**
 * The nodes of a typed or linked list, or what is wrong with it.
 * @param {string} text
 * @returns {{xs: number[], error?: undefined} | {error: string, xs?: undefined}}
 */
export function parseNodes(text) {
  if (text.length > LIMITS.text) {
    return {
      error: `That is ${text.length} characters; ${LIMITS.nodes[1]} nodes need far fewer (at most ${LIMITS.text}).`,
    };
  }
  const parts = text.split(",").map((s) => s.trim());
  if (parts.length === 1 && parts[0] === "") return { error: "Give 2 to 8 nodes, separated by commas." };
  const xs = [];
  for (const [k, s] of parts.entries()) {
    if (s === "") {
      return {
        error:
          k === parts.length - 1
            ? "There is a comma after the last node: remove it."
            : k === 0
              ? "There is a comma before the first node: remove it."
              : `There is nothing between comma ${k} and comma ${k + 1}.`,
      };
    }
    if (!/^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(s)) return { error: `${quote(s)} is not a number.` };
    const x = Number(s);
    if (x === 0 && /[1-9]/.test(s.replace(/e.*$/i, ""))) {
      return { error: `${quote(s)} is too small for a double: it would be read as 0.` };
    }
    if (!(x >= 0 && x <= 1)) return { error: `Each node must lie in [0, 1]; ${quote(s)} does not.` };
    xs.push(x);
  }
  if (xs.length < LIMITS.nodes[0]) return { error: "One node makes no polynomial to interpolate with: give 2 to 8." };
  if (xs.length > LIMITS.nodes[1]) return { error: `${xs.length} nodes are too many here: give 2 to 8.` };
  return { xs };
}

/**
 * What a link brings back: the nodes Iterate started from, how many
 * Iterates to replay from them (each iterate is the program's Qij's, so the
 * count is enough and cannot disagree with the nodes), the steps shown
 * (Infinity: all), the exponential.
 * @typedef {{nodes: number[], iterates: number, step: number, exp: ExpName}} LinkState
 */

/** The keys a link may hold, in the order it is written. */
const KEYS = { nodes: 0, iterates: 0, step: 0, exp: 0 };
const KEYS_SAID = "nodes=, iterates=, step= and exp=";

/** The steps of the sweep over n nodes. */
export const stepsFor = (/** @type {number} */ n) => (n * (n - 1)) / 2;

/**
 * A whole number from 0 to most, as a link writes it, or what is wrong with it.
 * @param {string} key
 * @param {string} value
 * @param {number} most
 * @param {string} what what the number counts, for the message
 * @param {string} bound why most is the most
 */
function count(key, value, most, what, bound) {
  if (!/^\d{1,9}$/.test(value)) {
    return { error: `The link's ${key}, ${quote(value)}, is not a whole number of ${what}.` };
  }
  const n = Number(value);
  return n > most ? { error: `The link's ${key}, ${n}, is more than the ${most} ${what} ${bound}.` } : { n };
}

/**
 * The fragment as key=value pairs, '+' kept as it is (it is not a form).
 * A fragment without '=' is an anchor of the page's own, not a state
 * (null).  An empty one is the program's own nodes, at the tableau's
 * start, for a first visit to walk through; a link without step= opens at
 * the end.  Nodes that cannot be
 * used refuse the whole link (the rest is of those nodes); any other field
 * that cannot be used is left out, said in `refused`, and the rest used.
 * @param {string} hash
 * @param {number[]} programNodes
 * @returns {null | (LinkState & {refused: string[], error?: undefined}) | {error: string, text?: string}}
 */
export function parseFragment(hash, programNodes) {
  const text = hash.replace(/^#/, "");
  /** @type {string[]} */
  const refused = [];
  if (text === "") return { nodes: programNodes, iterates: 0, step: 0, exp: "wasm", refused };
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
      const error = `The link's ${quote(key)} is not valid percent-encoding.`;
      if (key === "nodes") return { error, text: pair };
      refused.push(error);
      continue;
    }
    if (!Object.hasOwn(KEYS, key)) refused.push(`The link holds ${quote(key)}; this page reads only ${KEYS_SAID}.`);
    else fields[key] = value;
  }
  const parsed = fields.nodes === undefined ? { xs: programNodes } : parseNodes(fields.nodes);
  if (parsed.error !== undefined) return { error: parsed.error, text: fields.nodes };
  const nodes = parsed.xs;
  /** @type {ExpName} */
  let exp = "wasm";
  if (fields.exp === "browser") exp = "browser";
  else if (fields.exp !== undefined && fields.exp !== "wasm") {
    refused.push(`The link's exp, ${quote(fields.exp)}, is neither “wasm” nor “browser”: the program's own is used.`);
  }
  let iterates = 0;
  if (fields.iterates !== undefined) {
    const c = count("iterates", fields.iterates, LIMITS.iterates, "Iterates", "a link may ask for");
    if (c.error !== undefined) refused.push(`${c.error} The page shows the nodes without iterating.`);
    else iterates = c.n;
  }
  let step = Infinity;
  if (fields.step !== undefined) {
    const steps = stepsFor(nodes.length),
      c = count("step", fields.step, steps, "steps", `${nodes.length} nodes have`);
    if (c.error !== undefined) refused.push(`${c.error} The page shows all ${steps}.`);
    else step = c.n;
  }
  return { nodes, iterates, step, exp, refused };
}

/**
 * The fragment that brings back this state: the step only where it is not
 * the last, the Iterates and the exponential only where they are not none
 * and the program's own, so that a link made before them reads the same.
 * @param {LinkState} s
 */
export function hashOf(s) {
  return (
    "#nodes=" +
    s.nodes.map(show).join(",") +
    (s.iterates > 0 ? `&iterates=${s.iterates}` : "") +
    (s.step < stepsFor(s.nodes.length) ? `&step=${s.step}` : "") +
    (s.exp === "browser" ? "&exp=browser" : "")
  );
}
