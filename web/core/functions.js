// The functions the page shows (the program's e^(-2x) - x, the others it
// offers, or a learner's own) in doubles, and the checks that say where
// inverse interpolation cannot work.

import { parse, sameTree } from "./expression.js";
import { compile } from "./walk.js";
import { EXP_ERROR, doubles, duals } from "./doubles.js";
import { learnerRoot, rootNear } from "./roots.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./roots.js").DoubleDouble} DoubleDouble */
/** @typedef {import("./doubles.js").Dual} Dual */
/** @typedef {"wasm" | "browser"} ExpName */
/** A function the page offers.  `program`: its y are the program's, from its table or with its exp.
 * @typedef {{id: string, text: string, tree: Tree, nodes: number[], interval: [number, number], root: DoubleDouble,
 *   multiplicity: number, program: boolean}} Preset */
/** The function shown: its root known (a preset's), found, or none and why; f in doubles with each exponential.
 * @typedef {{text: string, tree: Tree, preset: Preset | null, program: boolean, interval: [number, number],
 *   root: DoubleDouble | null,
 *   found: import("./roots.js").Found | import("./roots.js").NoRoot | {how: "known", multiplicity: number},
 *   exps: Record<ExpName, (x: number) => number>, f: Record<ExpName, (x: number) => number>,
 *   dual: Record<ExpName, (x: number) => Dual>}} Fn */

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

/** The presets, the program's first, each root found in many digits from a double near it.
 * @param {number[]} programNodes @returns {readonly Readonly<Preset>[]} */
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

/** The presets whose tree a text's is, however typed (exp(-2x) - x is the program's f).
 * @param {readonly Readonly<Preset>[]} presets @param {string} text */
export function presetsOf(presets, text) {
  const { tree } = parse(text);
  return tree === undefined ? [] : presets.filter((p) => sameTree(p.tree, tree));
}

/** A typed f: a preset's is that preset, whose lesson speaks of its own nodes, so nodes outside its interval, or
 * that do not bracket the root its own bracket, make way for them (`itsNodes`).
 * @param {readonly Preset[]} presets @param {string} text @param {readonly number[]} nodes
 * @returns {{preset: Readonly<Preset> | null, itsNodes: boolean}} */
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

/** The function a text stands for, or why it cannot be read.  The nodes Iterate started from pick a preset; a
 * learner's root is sought among those and the nodes it reached.
 * @param {readonly Preset[]} presets @param {(x: number) => number} programExp @param {string} text
 * @param {readonly number[]} start @param {readonly number[]} [now]
 * @returns {Fn | {error: import("./expression.js").ParseError}} */
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
    dual: { wasm: program ? dualOf(duals(wasm, EXP_ERROR)) : browserDual, browser: browserDual },
  };
}

/** What the nodes' y say of inverse interpolation, what matters most first: a zero denominator ("equal-y"), x not
 * a function of y ("not-monotone"), y = 0 outside them ("extrapolation"). */
export function inverseChecks(/** @type {{x: number, y: number}[]} */ points) {
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
