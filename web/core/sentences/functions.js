// The functions the page offers, in words, and why an analysis of one can
// fail: no root, no bound, no value.

import { LIMITS } from "../limits.js";

/** Each preset: its f as the page writes it, what it is there for, and its lesson. */
export const PRESETS = {
  program: {
    name: "e^(−2x) − x",
    tag: "",
    lesson: "f falls all the way, so x is a function of y, and the root is g(0).",
  },
  cos: {
    name: "cos x − x",
    tag: "also falling",
    lesson: "Another f that falls all the way: the method works as for e^(−2x) − x.",
  },
  newton: {
    name: "x³ − 2x − 5",
    tag: "rising",
    lesson: "Newton's own example. f rises through its root, so y grows with x: the inverse works as well.",
  },
  triple: {
    name: "(x − 0.5)³",
    tag: "a triple root",
    lesson:
      "A triple root: f′ = 0 there, so the inverse x = 0.5 + ∛y is vertical at y = 0. No polynomial follows it " +
      "closely, and Iterate creeps towards the root instead of racing.",
  },
  hump: {
    name: "x³ − x + 1",
    tag: "not monotone",
    lesson:
      "f rises, falls and rises again, so two x can share a y. Where the nodes span a turn, x is not a function " +
      "of y, and the polynomial's value at y = 0 need not be near the root.",
  },
  beyond: {
    name: "e^(−2x) − x",
    tag: "past the root",
    lesson: "Every node lies right of the root, so every y is below 0: y = 0 lies outside them (extrapolation).",
  },
};
/** @typedef {keyof typeof PRESETS} PresetId */

/** f as the page writes it: a preset's name, or the learner's text. */
export const nameOf = (/** @type {{text: string, preset: {id: string} | null}} */ fn) =>
  fn.preset ? PRESETS[/** @type {PresetId} */ (fn.preset.id)].name : fn.text.trim();

/** What has no value, by the function or operation at fault. */
const WHAT = {
  "/": "a division by a value that is, or may be, 0",
  abs: "abs at a value that is, or may be, 0",
  tan: "tan where cos is, or may be, 0",
  tanh: "a division by a value that is, or may be, 0",
  "^": "a power of a base that is, or may be, 0 or below",
  exp: "exp of a value above 44",
  sin: "sin or cos of a value beyond 2^20",
  "2^64": "a value beyond 2^64",
};
/** Why f has no value, in words. */
export const noValueText = (/** @type {string} */ what) =>
  what in WHAT ? WHAT[/** @type {keyof typeof WHAT} */ (what)] : `${what} of a value that is, or may be, 0 or below`;

/** Why there is no bound on the interpolation error, after "No bound …: ". */
export function noBoundText(/** @type {import("../bound.js").NoBound} */ b) {
  const at = b.at === null ? "at a node" : `near x = ${Number(b.at.toPrecision(6))}`;
  switch (b.reason) {
    case "nodes":
      return `${LIMITS.nodes[0]} to ${LIMITS.nodes[1]} distinct nodes are needed`;
    case "no-root":
      return "no root is known to compare with";
    case "unbounded":
      return "the inverse's derivatives could not be bounded";
    case "turns":
      return `f′ changes sign ${at}, so x is not a function of y`;
    case "flat":
      return `f′ comes to 0 ${at}, where the inverse is vertical and its derivatives unbounded`;
    default:
      return `f has no derivatives ${at}: ${noValueText(b.what ?? "")}`;
  }
}

/** Why no root is known for a learner's f. */
export function whyNoRoot(/** @type {import("../roots.js").NoRoot} */ why) {
  switch (why.kind) {
    case "zeros":
      return "f's double is 0 at more than one node";
    case "no-value":
      return "f has no value at a node";
    case "no-sign-change":
      return "the y of the nodes all have one sign, and the page looks for a root only between two of opposite signs";
    case "no-value-between":
      return `f has no value at x = ${why.x}, between two nodes`;
    case "pole":
      return `f changes sign near x = ${why.x} without coming near 0: a pole or a jump, not a root`;
    case "unrefined":
      return `f changes sign near x = ${why.x}, but no more digits of the root could be found there`;
  }
}
