// The functions the page offers, each chosen for what it shows; a
// learner's own; and the checks that say where inverse interpolation
// cannot work, and why.  Nothing here touches the DOM.

import { evaluate, parse, sameTree } from "./expression.js";
import { PROGRAM_ROOT } from "./accuracy.js";
import { FixedError, absOf, div, fixedAt, toDoubleDouble } from "./fixed.js";
import { dualAt, newtonRoot } from "./manydigits.js";
import { LESSONS, NO_ROOT } from "./sentences/functions.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */
/**
 * A function the page can show.  Its y_k come from `ys`: "program", the
 * program's own table for its four nodes and its exp (the .wasm's, or the
 * one the learner chose) for others; "browser", f evaluated in doubles
 * with the browser's Math (expression.js's evaluate).
 * @typedef {object} Preset
 * @property {string} id
 * @property {string} text f as the parser reads it
 * @property {string} name f as a page writes it
 * @property {Tree} tree
 * @property {number[]} nodes its starting nodes
 * @property {[number, number]} interval where its nodes may be dragged
 * @property {DoubleDouble} root
 * @property {"program" | "browser"} ys where its y_k come from
 * @property {string} lesson what it shows, in one sentence, with where its y_k come from
 */

/**
 * A preset from its parts, the text parsed.
 * @param {Omit<Preset, "tree">} p
 * @returns {Readonly<Preset>}
 */
function preset(p) {
  const parsed = parse(p.text);
  if (parsed.error !== undefined) throw new Error(`${p.id}: ${JSON.stringify(parsed.error)}`);
  return Object.freeze({ ...p, tree: parsed.tree });
}

/** The program's f, e^(-2x) - x, and its nodes. */
export const PROGRAM = preset({
  id: "program",
  text: "exp(-2*x) - x",
  name: "e^(−2x) − x",
  nodes: [0.3, 0.4, 0.5, 0.6],
  interval: [0, 1],
  root: PROGRAM_ROOT,
  ys: "program",
  lesson: LESSONS.program,
});

/** The presets, the program's first. */
export const PRESETS = Object.freeze([
  PROGRAM,
  preset({
    id: "cos",
    text: "cos(x) - x",
    name: "cos x − x",
    nodes: [0.6, 0.7, 0.8, 0.9],
    interval: [0, 1.5],
    root: { hi: 0.7390851332151607, lo: -3.063779711316275e-17 },
    ys: "browser",
    lesson: LESSONS.cos,
  }),
  preset({
    id: "newton",
    text: "x^3 - 2*x - 5",
    name: "x³ − 2x − 5",
    nodes: [1.9, 2, 2.1, 2.2],
    interval: [1.5, 2.5],
    root: { hi: 2.0945514815423265, lo: 8.16719499217157e-17 },
    ys: "browser",
    lesson: LESSONS.newton,
  }),
  preset({
    id: "triple",
    text: "(x - 0.5)^3",
    name: "(x − 0.5)³",
    nodes: [0.3, 0.45, 0.6, 0.7],
    interval: [0, 1],
    root: { hi: 0.5, lo: 0 },
    ys: "browser",
    lesson: LESSONS.triple,
  }),
  preset({
    id: "hump",
    text: "x^3 - x + 1",
    name: "x³ − x + 1",
    nodes: [-1.5, -1, -0.3, 0.6],
    interval: [-2, 1],
    root: { hi: -1.324717957244746, lo: 3.2304241313675826e-17 },
    ys: "browser",
    lesson: LESSONS.hump,
  }),
  preset({
    id: "beyond",
    text: "exp(-2*x) - x",
    name: "e^(−2x) − x",
    nodes: [0.55, 0.65, 0.75, 0.85],
    interval: [0, 1],
    root: PROGRAM_ROOT,
    ys: "program",
    lesson: LESSONS.beyond,
  }),
]);

/**
 * The presets whose f a text is, in their order: those whose tree the
 * text's is, however it was typed (exp(-2x) - x is the program's f); none
 * where the text cannot be read.
 * @param {string} text
 * @returns {Readonly<Preset>[]}
 */
export function presetsOf(text) {
  const parsed = parse(text);
  return parsed.tree === undefined ? [] : PRESETS.filter((p) => sameTree(p.tree, parsed.tree));
}

/**
 * A typed f as the page takes it: a preset's f typed out is that preset,
 * whose lesson speaks of its own nodes: nodes outside its interval, or
 * (for a preset whose own nodes bracket its root) nodes that do not
 * bracket it, make way for the preset's own (`itsNodes`).  Any other text
 * is the learner's own f, over the nodes there are.
 * @param {string} text
 * @param {readonly number[]} nodes
 * @returns {{preset: Readonly<Preset> | null, itsNodes: boolean}}
 */
export function typedFunction(text, nodes) {
  const preset = presetsOf(text)[0] ?? null;
  if (!preset) return { preset, itsNodes: false };
  const brackets = (/** @type {readonly number[]} */ xs) =>
    Math.min(...xs) <= preset.root.hi && preset.root.hi <= Math.max(...xs);
  const inside = nodes.every((x) => x >= preset.interval[0] && x <= preset.interval[1]);
  return { preset, itsNodes: !inside || (brackets(preset.nodes) && !brackets(nodes)) };
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

/**
 * A learner's f: parsed, with its root where the nodes' y bracket one.
 * The root is found by bisection in doubles between the first two
 * neighbouring nodes (in order of x) whose y change sign about a root, not
 * a pole, to the last bit f's doubles can tell, then by Newton's method in 256-bit fixed point from there,
 * which makes it a double-double; where Newton's method cannot (a
 * multiple root) or lands outside the bracket, the bisection's double is
 * kept (lo = 0) and `how` says so.  No root where no two y change sign
 * (then none is said to exist, only that none is bracketed), or where f
 * changes sign without coming near 0 (a pole, as 1/(x - 0.5) has).
 * @param {string} text
 * @param {number[]} nodes
 * @returns {{error: import("./expression.js").ParseError} | {tree: Tree, root: DoubleDouble, how: "bisection" | "bisection and Newton's method", bracket: [number, number]} | {tree: Tree, root: null, why: string}}
 */
export function learnerFunction(text, nodes) {
  const parsed = parse(text);
  if (parsed.error !== undefined) return { error: parsed.error };
  const tree = parsed.tree;
  const f = (/** @type {number} */ x) => evaluate(tree, x);
  const xs = [...nodes].sort((a, b) => a - b);
  const ys = xs.map(f);
  // each pair of neighbours whose y change sign, in order of x
  const changes = ys.flatMap((y, m) => (m > 0 && ((ys[m - 1] < 0 && y > 0) || (ys[m - 1] > 0 && y < 0)) ? [m] : []));
  if (ys.filter((y) => y === 0).length > 1) return { tree, root: null, why: NO_ROOT.zeros };
  const exact = ys.findIndex((y) => y === 0);
  if (exact >= 0) {
    /** @type {[number, number]} */
    const at = [xs[exact], xs[exact]];
    return { tree, ...refined(tree, xs[exact], at), bracket: at };
  }
  if (!changes.length) {
    const why = ys.some((y) => Number.isNaN(y)) ? NO_ROOT.noValueAtNode : NO_ROOT.noSignChange;
    return { tree, root: null, why };
  }
  // the first sign change that is a root: one may be a pole, as 1/(x - 0.45) - 5 has between 0.4 and 0.6
  let why = "";
  for (const k of changes) {
    /** @type {[number, number]} */
    const bracket = [xs[k - 1], xs[k]];
    const found = bisected(f, bracket, ys[k - 1], ys[k]);
    if ("why" in found) why ||= found.why;
    else return { tree, ...refined(tree, found.at, bracket), bracket };
  }
  return { tree, root: null, why };
}

/**
 * The double where f changes sign in a bracket, by bisection to the last
 * bit f's doubles can tell; or why it is no root: f has no value inside,
 * or the sign changes without coming near 0 (a pole or a jump).
 * @param {(x: number) => number} f
 * @param {[number, number]} bracket
 * @param {number} ya f at its left end
 * @param {number} yb f at its right end
 * @returns {{at: number} | {why: string}}
 */
function bisected(f, [a, b], ya, yb) {
  let fa = ya;
  let hi = NaN;
  for (let m = 0; m < 2200 && Number.isNaN(hi); m++) {
    const mid = a + (b - a) / 2;
    if (mid === a || mid === b) break;
    const fm = f(mid);
    if (Number.isNaN(fm)) return { why: NO_ROOT.noValueBetween(mid) };
    if (fm === 0) hi = mid;
    else if (fm < 0 === fa < 0) [a, fa] = [mid, fm];
    else b = mid;
  }
  if (Number.isNaN(hi)) hi = Math.abs(f(a)) <= Math.abs(f(b)) ? a : b;
  // a sign change that never comes near 0 is a pole or a jump, not a root
  if (Math.abs(f(hi)) > 1e-6 * Math.max(Math.abs(ya), Math.abs(yb))) return { why: NO_ROOT.pole(hi) };
  return { at: hi };
}

/**
 * The bisection's double made a double-double by Newton's method in
 * 256-bit fixed point, where that settles inside the bracket and within
 * 2^-20 of it; else the double as it is.  At a root of multiplicity m,
 * Newton's method creeps until f's value is below 2^-256, which leaves
 * the root right to about 2^(-256/m): some 25 digits for a triple root.
 * @param {Tree} tree
 * @param {number} start
 * @param {[number, number]} bracket
 * @returns {{root: DoubleDouble, how: "bisection" | "bisection and Newton's method"}}
 */
function refined(tree, start, bracket) {
  const F = fixedAt(256);
  const found = newtonRoot(tree, start, F);
  // where Newton's method stopped, a step in 1024 bits still above 2^-20 of the root's last bit (2^-72 of it):
  // f was below 2^-256 there, as near a root of high multiplicity that is not a double, (x - 0.45)^5 near
  // 0.45, and the method stopped on a value it could not tell from 0
  const wide = fixedAt(1024),
    floor = 1n << (wide.W - 200n);
  const underflow = (/** @type {bigint} */ X) => {
    try {
      const at = X << (wide.W - F.W),
        [v, d] = dualAt(tree, at, wide);
      if (v === 0n) return false;
      if (d === 0n) return true;
      const step = absOf(div(wide, v, d)),
        most = absOf(at) >> 72n;
      return step > (most > floor ? most : floor);
    } catch (e) {
      if (e instanceof FixedError) return true;
      throw e;
    }
  };
  if (found.root !== undefined && !underflow(found.root)) {
    const root = toDoubleDouble(found.root, F.W);
    const near = Math.abs(root.hi - start) <= 2 ** -20 * Math.max(1, Math.abs(start));
    // within the bracket, or, for a node at which f's double is 0, within 2^-20 of it
    if (near && (bracket[0] === bracket[1] || (root.hi >= bracket[0] && root.hi <= bracket[1])))
      return { root, how: "bisection and Newton's method" };
  }
  return { root: { hi: start, lo: 0 }, how: "bisection" };
}
