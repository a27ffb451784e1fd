// The function the page shows: the program's e^(-2x) - x or another,
// from its text as a link or the field holds it.  A preset's root is
// known; a learner's is found where the nodes' y change sign.  Nothing
// here touches the DOM.

import { parse } from "./expression.js";
import { PROGRAM, learnerFunction, presetsOf } from "./functions.js";
import { parseRefused } from "./sentences/input.js";
import { dual } from "./dual.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */
/** @typedef {import("./functions.js").Preset} Preset */
/**
 * The function shown: its text and tree, the preset it is (the first
 * whose tree and nodes it has, else the first whose tree), whether its y
 * are the program's (its own table and exp), where its nodes may lie, and
 * its root, known (a preset's), found (how), or none (why).
 * @typedef {object} Fn
 * @property {string} text
 * @property {string} name f as the page writes it
 * @property {Tree} tree
 * @property {Preset | null} preset
 * @property {boolean} program
 * @property {number[]} interval
 * @property {DoubleDouble | null} root
 * @property {"known" | "bisection" | "bisection and Newton's method" | null} how
 * @property {string} why where there is no root: why
 * @property {(x: number) => import("./dual.js").Dual} at f, f' and the rounding of f's double, at x
 */

/** Where a learner's nodes may lie. */
const OWN = [-1000, 1000];

/**
 * @param {string} text
 * @param {number[]} nodes
 * @returns {Fn | {error: import("./expression.js").ParseError}}
 */
export function functionOf(text, nodes) {
  const same = (/** @type {number[]} */ a) => a.length === nodes.length && a.every((x, k) => x === nodes[k]);
  const presets = presetsOf(text);
  const preset = presets.find((p) => same(p.nodes)) ?? presets[0] ?? null;
  if (preset) {
    const tree = preset.tree;
    return {
      text,
      name: preset.name,
      tree,
      preset,
      program: preset.ys === "program",
      interval: preset.interval,
      root: preset.root,
      how: "known",
      why: "",
      at: (x) => dual(tree, x),
    };
  }
  const own = learnerFunction(text, nodes);
  if ("error" in own) return { error: own.error };
  const tree = own.tree;
  return {
    text,
    name: text.trim(),
    tree,
    preset: null,
    program: false,
    interval: OWN,
    root: own.root,
    how: own.root ? own.how : null,
    why: own.root ? "" : own.why,
    at: (x) => dual(tree, x),
  };
}

/** Where a function's nodes may lie: a preset's interval, or a learner's. */
export const intervalOf = (/** @type {string} */ text) => presetsOf(text)[0]?.interval ?? OWN;

/** The program's own function, as the page shows it first. */
const program = functionOf(PROGRAM.text, PROGRAM.nodes);
if ("error" in program) throw new Error(`the program's f is one the parser reads: ${parseRefused(program.error)}`);
export const PROGRAM_FN = program;

/** Whether a text is one the parser reads: why not, as data, or null. */
export function textError(/** @type {string} */ text) {
  return parse(text).error ?? null;
}
