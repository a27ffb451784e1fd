// The functions the page shows: the program's e^(-2x) - x and the others
// it offers, each chosen for what it shows, or a learner's own, from its
// text as a link or the field holds it; how each is computed in doubles;
// and the checks that say where inverse interpolation cannot work.  A
// preset's root is known; a learner's is found where the nodes' y change
// sign.  Nothing here touches the DOM.

import { parse, sameTree } from "./expression.js";
import { compile } from "./walk.js";
import { EXP_ERROR, doubles, duals } from "./doubles.js";
import { learnerRoot, rootNear } from "./roots.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./roots.js").DoubleDouble} DoubleDouble */
/** @typedef {import("./doubles.js").Dual} Dual */
/** @typedef {"wasm" | "browser"} ExpName */
/**
 * A function the page offers.  `program`: its y_k are the program's own,
 * its table for the program's nodes and its exp (the .wasm's, or the one
 * the learner chose) for others; else f in the browser's doubles.
 * @typedef {object} Preset
 * @property {string} id
 * @property {string} text f as the parser reads it
 * @property {Tree} tree
 * @property {number[]} nodes its starting nodes
 * @property {[number, number]} interval where its nodes may lie
 * @property {DoubleDouble} root
 * @property {number} multiplicity the root's
 * @property {boolean} program
 */
/**
 * The function shown: its text and tree, the preset it is (the first
 * whose text and nodes it has, else the first whose text), whether its y
 * are the program's, where its nodes may lie, its root, known (a
 * preset's), found, or none (and why), and f in doubles with each
 * exponential, and with its derivative and rounding.
 * @typedef {object} Fn
 * @property {string} text
 * @property {Tree} tree
 * @property {Preset | null} preset
 * @property {boolean} program
 * @property {[number, number]} interval
 * @property {DoubleDouble | null} root
 * @property {import("./roots.js").Found | import("./roots.js").NoRoot | {how: "known", multiplicity: number}} found
 * @property {Record<ExpName, (x: number) => number>} exps the exponential f's y are computed with, for each choice
 * @property {Record<ExpName, (x: number) => number>} f
 * @property {Record<ExpName, (x: number) => Dual>} dual
 */

/** The program's f as the parser reads it. */
export const PROGRAM_TEXT = "exp(-2*x) - x";
/** Where a learner's nodes may lie. */
const OWN = /** @type {[number, number]} */ ([-1000, 1000]);

/** A text's tree, for the presets' own texts, which parse. */
function treeOf(/** @type {string} */ text) {
  const parsed = parse(text);
  if (parsed.error !== undefined) throw new Error(`${text} does not parse`);
  return parsed.tree;
}

/**
 * The presets, the program's first, over the program's own nodes, each
 * root found in many digits from a double near it.
 * @param {number[]} programNodes
 * @returns {readonly Readonly<Preset>[]}
 */
export function presetTable(programNodes) {
  /** @type {[id: string, text: string, nodes: number[], interval: [number, number], near: number, multiplicity: number][]} */
  const table = [
    ["program", PROGRAM_TEXT, programNodes, [0, 1], 0.4263, 1],
    ["cos", "cos(x) - x", [0.6, 0.7, 0.8, 0.9], [0, 1.5], 0.739, 1],
    ["newton", "x^3 - 2*x - 5", [1.9, 2, 2.1, 2.2], [1.5, 2.5], 2.09, 1],
    ["triple", "(x - 0.5)^3", [0.3, 0.45, 0.6, 0.7], [0, 1], 0.5, 3],
    ["hump", "x^3 - x + 1", [-1.5, -1, -0.3, 0.6], [-2, 1], -1.32, 1],
    ["beyond", PROGRAM_TEXT, [0.55, 0.65, 0.75, 0.85], [0, 1], 0.4263, 1],
  ];
  return Object.freeze(
    table.map(([id, text, nodes, interval, near, multiplicity]) => {
      const tree = treeOf(text),
        root = rootNear(tree, near);
      if (!root) throw new Error(`the root of ${text} is found`);
      return Object.freeze({ id, text, tree, nodes, interval, root, multiplicity, program: text === PROGRAM_TEXT });
    }),
  );
}

/**
 * The presets whose f a text is, in their order: those whose tree the
 * text's is, however it was typed (exp(-2x) - x is the program's f); none
 * where the text cannot be read.
 * @param {readonly Readonly<Preset>[]} presets
 * @param {string} text
 */
export function presetsOf(presets, text) {
  const { tree } = parse(text);
  return tree === undefined ? [] : presets.filter((p) => sameTree(p.tree, tree));
}

/**
 * A typed f as the page takes it: a preset's f typed out is that preset,
 * whose lesson speaks of its own nodes: nodes outside its interval, or
 * (for a preset whose own nodes bracket its root) nodes that do not
 * bracket it, make way for the preset's own (`itsNodes`).  Any other text
 * is the learner's own f, over the nodes there are.
 * @param {readonly Preset[]} presets
 * @param {string} text
 * @param {readonly number[]} nodes
 * @returns {{preset: Readonly<Preset> | null, itsNodes: boolean}}
 */
export function typedFunction(presets, text, nodes) {
  const preset = presetsOf(presets, text)[0] ?? null;
  if (!preset) return { preset, itsNodes: false };
  const brackets = (/** @type {readonly number[]} */ xs) =>
    Math.min(...xs) <= preset.root.hi && preset.root.hi <= Math.max(...xs);
  const inside = nodes.every((x) => x >= preset.interval[0] && x <= preset.interval[1]);
  return { preset, itsNodes: !inside || (brackets(preset.nodes) && !brackets(nodes)) };
}

/** Where a function's nodes may lie: a preset's interval, or a learner's. */
export const intervalOf = (/** @type {readonly Preset[]} */ presets, /** @type {string} */ text) =>
  presetsOf(presets, text)[0]?.interval ?? OWN;

/**
 * The function a text stands for, over the nodes Iterate started from
 * (which pick a preset whose f the text is) and those it reached (a
 * learner's root is sought among both), with the program's exp for the
 * program's f; or why the text cannot be read.
 * @param {readonly Preset[]} presets
 * @param {(x: number) => number} programExp
 * @param {string} text
 * @param {readonly number[]} start
 * @param {readonly number[]} [now]
 * @returns {Fn | {error: import("./expression.js").ParseError}}
 */
export function functionOf(presets, programExp, text, start, now = start) {
  const same = (/** @type {readonly number[]} */ a) => a.length === start.length && a.every((x, k) => x === start[k]);
  const its = presetsOf(presets, text),
    preset = its.find((p) => same(p.nodes)) ?? its[0] ?? null;
  /** @type {Tree} */
  let tree;
  /** @type {Fn["found"]} */
  let found;
  if (preset) {
    tree = preset.tree;
    found = { how: "known", multiplicity: preset.multiplicity };
  } else {
    const parsed = parse(text);
    if (parsed.error !== undefined) return { error: parsed.error };
    tree = parsed.tree;
    found = learnerRoot(tree, start);
    if ("kind" in found && now !== start) found = learnerRoot(tree, [...start, ...now]);
  }
  // the program's y with its own exp (or the browser's, where chosen); any other f in the browser's doubles
  const program = preset?.program ?? false,
    wasm = program ? programExp : Math.exp,
    browser = compile(tree, doubles()),
    dualOf = (/** @type {import("./walk.js").Arithmetic<Dual>} */ D) => {
      const g = compile(tree, D);
      return (/** @type {number} */ x) => g({ v: x, d: 1, e: 0 });
    },
    browserDual = dualOf(duals());
  return {
    text,
    tree,
    preset,
    program,
    interval: preset?.interval ?? OWN,
    root: preset ? preset.root : "root" in found ? found.root : null,
    found,
    exps: { wasm, browser: Math.exp },
    f: { wasm: program ? compile(tree, doubles(wasm)) : browser, browser },
    dual: {
      wasm: program ? dualOf(duals(wasm, EXP_ERROR)) : browserDual,
      browser: browserDual,
    },
  };
}

/**
 * What the nodes' y say of inverse interpolation over them, in the order
 * it matters: "equal-y", two y are the same double (a zero denominator in
 * the sweep); "not-monotone", the y do not rise or fall steadily with x,
 * so over the nodes x is not a function of y; "extrapolation", the y do not
 * change sign, so y = 0 lies outside them and the polynomial is used
 * beyond its points; else "interpolation".  A y that is 0 is a node at
 * the root (on-root).
 * @param {{x: number, y: number}[]} points
 */
export function inverseChecks(points) {
  /** @type {[number, number][]} */
  const equal = [];
  points.forEach((q, b) => points.slice(0, b).forEach((r, a) => r.y === q.y && equal.push([a, b])));
  const order = points.map((_, k) => k).sort((a, b) => points[a].x - points[b].x);
  const steps = order.slice(1).map((k, m) => Math.sign(points[k].y - points[order[m]].y));
  // the nodes, in order of x, at which the y turn back
  const turns = order.slice(1, -1).filter((_, m) => steps[m] * steps[m + 1] < 0);
  const monotone = steps.every((s) => s > 0) || steps.every((s) => s < 0);
  const signChange = points.some((q) => q.y > 0) && points.some((q) => q.y < 0);
  const onRoot = points.findIndex((q) => q.y === 0);
  const verdict = equal.length
    ? "equal-y"
    : !monotone
      ? "not-monotone"
      : signChange || onRoot >= 0
        ? "interpolation"
        : "extrapolation";
  return { verdict, equal, monotone, turns, signChange, onRoot };
}
