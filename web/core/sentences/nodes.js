// The nodes in words: which the tableau is of and where their y come
// from, what the other exponential would change, the lesson of the
// program's first node, and what a screen reader hears when they change.

import { show } from "../numbers.js";
import { count, nodeName } from "./parts.js";
import { said } from "./quality.js";
import { LESSONS, NAMES, TAGS, nameOf, whyNoRoot } from "./functions.js";

/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../sweep.js").ExpName} ExpName */
/** @typedef {ReturnType<typeof import("../sweep.js").otherExp>} OtherExp */
/** @typedef {ReturnType<typeof import("../sweep.js").expAtFirstNode>} ExpAtFirstNode */

/** The names the page gives the two exponentials: short where a beginner reads, */
const EXP_SHORT = { wasm: "the program's own exp", browser: "the browser's Math.exp" };
/** and in full in "Going deeper". */
export const EXP_NAMES = {
  wasm: "the program's own exp (wasi-libc, in the .wasm)",
  browser: "the browser's Math.exp",
};

/**
 * Which function and nodes the tableau is of, and where their y come from.
 * @param {Result} r
 * @param {boolean} own whether they are the program's own four
 * @param {ExpName} exp
 * @param {string} linkError what was wrong with the page's link, if that is why these nodes are shown
 */
export function summaryText(r, own, exp, linkError) {
  const computed = r.pts.filter((q) => !q.own).length;
  // a link that could not be used is said where the page begins, not only by the field
  const link = linkError ? `This page's link could not be used: ${linkError} ` : "";
  const where = r.fn.program
    ? computed
      ? `${computed} of the y_k computed with ${EXP_SHORT[exp]}. `
      : ""
    : `f(x) = ${nameOf(r.fn)}, not the program's: its y_k are computed with the browser's Math. `;
  return (
    link +
    (own
      ? "The program's own four nodes and its table of y_k. "
      : `${r.pts.length} nodes: ${r.pts.map((q) => show(q.x)).join(", ")}. `) +
    where +
    "Every entry is computed by the program's own Qij, in the program's order."
  );
}

/** ±n ulps, as a difference. */
const ulps = (/** @type {number} */ u) => `${u > 0 ? "+" : "−"}${count(Math.abs(u), "ulp")}`;

/**
 * What the other exponential would change for these nodes: their y, and p.
 * @param {Result} r
 * @param {ExpName} exp
 * @param {OtherExp} o
 */
export function expEffect(r, exp, o) {
  if (!r.fn.program) {
    return "This f is not the program's: its y are computed in the browser's doubles (with Math.exp, where f has an exponential), whichever exponential is chosen here for the program's f.";
  }
  if (!o.computed) {
    return "All these nodes are the program's own: their y come from its table, whichever exponential is chosen.";
  }
  const of = o.computed > 1 ? `${o.computed} computed y` : "computed y";
  if (!o.differ.length) {
    return `For these nodes ${EXP_NAMES[o.other]} gives the same ${of} as ${EXP_NAMES[exp]}: the choice changes nothing here.`;
  }
  const [k] = o.differ;
  return (
    `For these nodes ${EXP_NAMES[o.other]} would give a different y for ${o.differ.length} of the ${of}: at x = ` +
    `${show(r.pts[k].x)}, ${show(o.ys[k])} against ${show(r.pts[k].y)} here (${ulps(o.yUlps)}), ` +
    (Object.is(o.p, r.p) ? "and p would be the same." : `and p would be ${show(o.p)}, ${ulps(o.pUlps)} from this p.`)
  );
}

/**
 * The lesson: the program's table against both exponentials at its first node.
 * @param {ExpAtFirstNode} a
 */
export function expLesson(a) {
  const told = (/** @type {ExpAtFirstNode["wasm"]} */ b) =>
    `${show(b.e)} (${b.eUlps} ulp from it), hence y = ${show(b.y)} (${b.yUlps} ulp of y from the table's)`;
  return (
    `At x = ${show(a.x)} the program's table holds y = ${show(a.y)}, made from the ` +
    `correctly rounded e^(${show(a.arg)}) = ${show(a.e)}. The program's own exp gives ${told(a.wasm)}; ` +
    `the browser's Math.exp gives ${told(a.browser)}. No standard requires exp to be correctly rounded, so a ` +
    "node's y can change with the exponential: that is why the program keeps its y_k as constants."
  );
}

/**
 * What the live region says after a change of the nodes, each from the
 * result it made, and whether p may be said (not while it is to be
 * predicted).
 */
export const ANNOUNCE = {
  interpolated: (/** @type {Result} */ r, whole = true) => `Interpolated ${r.pts.length} nodes: ${said(r, whole)}`,
  program: (/** @type {Result} */ r, whole = true) => `The program's own nodes: ${said(r, whole)}`,
  exp: (/** @type {ExpName} */ exp, /** @type {string} */ effect, /** @type {Result} */ r, whole = true) =>
    `Now ${EXP_NAMES[exp]}. ${effect} ${said(r, whole)}`,
  iterated: (/** @type {number} */ k, /** @type {Result} */ r, whole = true) => `Iterate ${k}: ${said(r, whole)}`,
  added: (/** @type {Result} */ r, whole = true) =>
    `A node added at x = ${show(r.pts[r.pts.length - 1].x)}: ${said(r, whole)}`,
  removed: (/** @type {number} */ k, /** @type {Result} */ r, whole = true) => `Node ${k} removed: ${said(r, whole)}`,
  moved: (/** @type {number} */ k, /** @type {Result} */ r, whole = true) =>
    `Node ${k} at x = ${show(r.pts[k].x)}: ${said(r, whole)}`,
  function: (/** @type {Result} */ r, whole = true) => `f(x) = ${nameOf(r.fn)}: ${said(r, whole)}`,
};

/** A node's Remove button. */
export const removeLabel = (/** @type {number} */ k, /** @type {number} */ x) => `Remove ${nodeName(k)} = ${show(x)}`;
/** A handle's name. */
export const handleName = (/** @type {number} */ k) => `Node ${k}`;
/** A handle's spoken value. */
export const handleText = (/** @type {number} */ k, /** @type {{x: number, y: number}} */ q) =>
  `x${k} = ${show(q.x)}, y${k} = ${show(q.y)}`;

/** The function control's options: each preset by its f, and one for a learner's own. */
export const functionOptions = (/** @type {readonly {id: string}[]} */ presets) => [
  ...presets.map((p) => ({
    value: p.id,
    label: `f(x) = ${NAMES[/** @type {keyof typeof NAMES} */ (p.id)]}` + (p.id in TAGS ? `: ${TAGS[p.id]}` : ""),
  })),
  { value: "own", label: "your own f(x)…" },
];

/**
 * What the function shown teaches, and where its y come from: a preset's
 * own sentence, or a learner's f and its root.
 * @param {import("../functions.js").Fn} fn
 */
export function functionLesson(fn) {
  if (fn.preset) return LESSONS[/** @type {keyof typeof LESSONS} */ (fn.preset.id)];
  const { found } = fn;
  const root =
    "kind" in found
      ? `There is no root to compare p with: ${whyNoRoot(found)}.`
      : `Its root, to compare p with, is found by ${found.how === "newton" ? "bisection and Newton's method" : "bisection"} between the nodes whose y change sign.`;
  return `Your own f(x) = ${nameOf(fn)}. Its y_k are computed in the browser's doubles, not the program's; Qij is still the program's. ${root}`;
}

/** What the page says of the program's output: made when the page was built, and run again in the browser. */
export const RUN = {
  built:
    "Recorded when this page was built, by running the very program it carries; your browser runs it again as " +
    "the page opens.",
  same: "Recorded when this page was built, and run again in your browser just now: the same two lines.",
  differs: "Run again in your browser just now, the program wrote this, not what the page's build recorded.",
};
