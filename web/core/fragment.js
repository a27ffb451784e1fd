// What a learner types, and what a link holds: the nodes of a list, the
// fragment's fields, and the fragment that stands for a state.  Each
// refusal says what was wrong, in words a learner can act on.  Nothing
// here touches the DOM.

import { show } from "./numbers.js";

/** @typedef {import("./sweep.js").ExpName} ExpName */

/** The most and fewest nodes, and the longest text read. */
export const LIMITS = { nodes: [2, 8], text: 400 };

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

/** The most steps a link may name: those of eight nodes. */
export const MOST_STEPS = (LIMITS.nodes[1] * (LIMITS.nodes[1] - 1)) / 2;

/**
 * The step a link names, 0 (only the nodes) to MOST_STEPS, or what is wrong with it.
 * @param {string} text
 * @returns {{step: number, error?: undefined} | {error: string, step?: undefined}}
 */
export function parseStep(text) {
  if (!/^\d{1,3}$/.test(text)) {
    return { error: `The link's step, ${quote(text)}, is not a whole number of steps (0 to ${MOST_STEPS}).` };
  }
  const step = Number(text);
  if (step > MOST_STEPS) return { error: `The link's step, ${step}, is more than the ${MOST_STEPS} steps of 8 nodes.` };
  return { step };
}

/**
 * The fragment as key=value pairs, '+' kept as it is (it is not a form).
 * A fragment without '=' is an anchor of the page's own, not a state
 * (null).  An empty one is the program's own nodes, at the tableau's
 * start, for a first visit to walk through; a link opens at its step=,
 * else at the end.
 * @param {string} hash
 * @param {number[]} programNodes
 * @returns {null | {nodes: number[], exp: ExpName, step: number, error?: undefined} | {error: string, text?: string}}
 */
export function parseFragment(hash, programNodes) {
  const text = hash.replace(/^#/, "");
  if (text === "") return { nodes: programNodes, exp: "wasm", step: 0 };
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
      return { error: `The link's ${quote(key)} is not valid percent-encoding.`, text: pair };
    }
    if (!["nodes", "exp", "step"].includes(key)) {
      return { error: `The link holds ${quote(key)}; this page reads only nodes=, exp= and step=.` };
    }
    fields[key] = value;
  }
  const exp = fields.exp ?? "wasm";
  if (exp !== "wasm" && exp !== "browser") {
    return { error: `The link's exp, ${quote(exp)}, is neither “wasm” nor “browser”.`, text: fields.nodes };
  }
  const parsed = fields.nodes === undefined ? { xs: programNodes } : parseNodes(fields.nodes);
  if (parsed.error !== undefined) return { error: parsed.error, text: fields.nodes };
  const step = fields.step === undefined ? { step: Infinity } : parseStep(fields.step);
  if (step.error !== undefined) return { error: step.error, text: fields.nodes };
  return { nodes: parsed.xs, exp, step: step.step };
}

/**
 * The fragment that brings back these nodes and this exponential.
 * @param {number[]} nodes
 * @param {ExpName} exp
 */
export function hashOf(nodes, exp) {
  return "#nodes=" + nodes.map(show).join(",") + (exp === "browser" ? "&exp=browser" : "");
}
