// The function and the nodes in words: which the tableau is of, what each
// exponential gives, and what a screen reader hears of them.

import { show } from "../numbers.js";
import { count, nodeName } from "./parts.js";
import { pText } from "./quality.js";
import { PRESETS, nameOf, whyNoRoot } from "./functions.js";

/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../sweep.js").ExpName} ExpName */
/** @typedef {ReturnType<typeof import("../sweep.js").expAtFirstNode>} ExpAtFirstNode */

/** The two exponentials. */
export const EXP_NAMES = { wasm: "the program's own exp", browser: "the browser's Math.exp" };

/** Which function and nodes the tableau is of, after why a link could not be used, if so.
 * @param {Result} r @param {string} linkError */
export function summaryText(r, linkError) {
  return (
    (linkError ? `This page's link could not be used: ${linkError} ` : "") +
    `f(x) = ${nameOf(r.fn)}, nodes ${r.pts.map((q) => show(q.x)).join(", ")}.`
  );
}

/** ±n ulps, as a difference. */
const ulps = (/** @type {number} */ u) => `${u > 0 ? "+" : "−"}${count(Math.abs(u), "ulp")}`;

/** What the other exponential would change for these nodes: their y, and p. @param {Result} r
 * @param {ReturnType<typeof import("../sweep.js").otherExp>} o */
export function expEffect(r, o) {
  if (!r.fn.program) return "This f is not the program's: its y come from the browser's doubles either way.";
  if (!o.computed) return "These are the program's own nodes: their y come from its table either way.";
  if (!o.differ.length) return `For these nodes ${EXP_NAMES[o.other]} gives the same y: the choice changes nothing.`;
  const [k] = o.differ;
  return (
    `${EXP_NAMES[o.other]} would change ${o.differ.length} of the ${o.computed} computed y: ` +
    `${o.differ.length > 1 ? "the first, " : ""}at x = ` +
    `${show(r.pts[k].x)}, ${show(o.ys[k])} against ${show(r.pts[k].y)} (${ulps(o.yUlps)}), ` +
    (Object.is(o.p, r.p) ? "and p would be the same." : `and p would be ${show(o.p)} (${ulps(o.pUlps)}).`)
  );
}

/** The program's table against both exponentials at its first node. */
export function expLesson(/** @type {ExpAtFirstNode} */ a) {
  const told = (/** @type {ExpAtFirstNode["wasm"]} */ b) =>
    `${show(b.e)} (${count(Math.abs(b.eUlps), "ulp")} from it), so y = ${show(b.y)} ` +
    `(${count(Math.abs(b.yUlps), "ulp")} from the table's)`;
  return (
    `At x = ${show(a.x)} the program's table holds y = ${show(a.y)}, made with the correctly rounded ` +
    `e^(${show(a.arg)}) = ${show(a.e)}. Its own exp gives ${told(a.wasm)}; the browser's gives ${told(a.browser)}. ` +
    "No standard makes exp correctly rounded: that is why the program keeps its y as constants."
  );
}

/** What the live region says after a change, from the result it made, and whether p may be said. */
export const ANNOUNCE = {
  interpolated: (/** @type {Result} */ r, pKnown = true) => `${r.pts.length} nodes: ${pText(r, pKnown)}`,
  first: (/** @type {Result} */ r, pKnown = true) => `The first nodes: ${pText(r, pKnown)}`,
  exp: (/** @type {ExpName} */ exp, /** @type {string} */ effect, /** @type {Result} */ r, pKnown = true) =>
    `Now ${EXP_NAMES[exp]}. ${effect} ${pText(r, pKnown)}`,
  iterated: (/** @type {number} */ k, /** @type {Result} */ r, pKnown = true) => `Iterate ${k}: ${pText(r, pKnown)}`,
  added: (/** @type {Result} */ r, pKnown = true) =>
    `A node added at x = ${show(r.pts[r.pts.length - 1].x)}: ${pText(r, pKnown)}`,
  removed: (/** @type {number} */ k, /** @type {Result} */ r, pKnown = true) =>
    `Node ${k} removed: ${pText(r, pKnown)}`,
  moved: (/** @type {number} */ k, /** @type {Result} */ r, pKnown = true) =>
    `Node ${k} at x = ${show(r.pts[k].x)}: ${pText(r, pKnown)}`,
  function: (/** @type {Result} */ r, pKnown = true) => `f(x) = ${nameOf(r.fn)}: ${pText(r, pKnown)}`,
};

/** A node's Remove button. */
export const removeLabel = (/** @type {number} */ k, /** @type {number} */ x) => `Remove ${nodeName(k)} = ${show(x)}`;
/** A handle's name. */
export const handleName = (/** @type {number} */ k) => `Node ${k}`;
/** A handle's spoken value. */
export const handleText = (/** @type {number} */ k, /** @type {{x: number, y: number}} */ q) =>
  `x${k} = ${show(q.x)}, y${k} = ${show(q.y)}`;

/** The function control's options: each preset, and one for a learner's own. */
export const functionOptions = (/** @type {readonly {id: string}[]} */ presets) => [
  ...presets.map((p) => {
    const { name, tag } = PRESETS[/** @type {import("./functions.js").PresetId} */ (p.id)];
    return { value: p.id, label: tag ? `${name}: ${tag}` : name };
  }),
  { value: "own", label: "your own f(x)…" },
];

/** Where the nodes may lie, beside the field: "in [0, 1]". */
export const rangeText = (/** @type {readonly number[]} */ [lo, hi]) => `in [${lo}, ${hi}]`;

/** A preset's lesson, or what a learner's f's root is; and where its y come from, if not the program's. */
export function functionLesson(/** @type {import("../functions.js").Fn} */ fn) {
  const { found } = fn,
    lesson = fn.preset
      ? PRESETS[/** @type {import("./functions.js").PresetId} */ (fn.preset.id)].lesson
      : "Your own f. " +
        ("kind" in found
          ? `No root to compare with: ${whyNoRoot(found)}.`
          : "Its root is sought between two points tried (nodes or iterates) whose y have opposite signs.");
  return fn.program ? lesson : `${lesson} Your browser computes its y; the rule's entries are still the program's.`;
}
