// What each function the page offers shows, in one sentence with where
// its y_k come from; and why an analysis of a function can fail: the
// interpolation error's bound, the many-digit root, the arithmetic that
// finds them.

import { LIMITS } from "../limits.js";
import { theoreticalOrder } from "../numbers.js";

const FOUR = theoreticalOrder(4).toFixed(3);
const BROWSER = "its y_k are computed in the browser's doubles.";

/** Each preset's lesson, by its id. */
export const LESSONS = {
  program:
    "The program's own: f falls all the way, so x is a function of y, and the cubic through four points whose y " +
    "straddle 0 gives the root correct to five decimals; its y_k are the program's own table and exp.",
  cos:
    "Another function that falls all the way, with a root near 0.739: the method works as for the program's, " +
    `with the same order of convergence, ${FOUR} for four nodes; its y_k come from the browser's Math.cos.`,
  newton:
    "The equation Newton used to show his method: a cubic that rises through its root, so here y grows with x " +
    `and the inverse works as well as for a falling f; ${BROWSER}`,
  triple:
    "A triple root: f′ is 0 there, so the inverse x = 0.5 + ∛y rises with an infinite slope at y = 0, no " +
    "polynomial follows it closely, no error bound exists, and iterating creeps towards the root instead of " +
    `converging with order ${FOUR}; ${BROWSER}`,
  hump:
    "f rises, falls and rises again over these nodes, so two x can share a y and x is not a function of y at " +
    "all: the polynomial through the points (y_k, x_k) follows no curve, and its value at y = 0 is not the root, " +
    `−1.3247…; ${BROWSER}`,
  beyond:
    "The program's f with every node right of the root: all y_k lie below 0, so y = 0 lies outside them and the " +
    "cubic is used beyond its points (extrapolation), with a larger error than between them; its y_k come " +
    "from the program's exp.",
};

/** @type {Record<string, string>} what each preset is there for, beside its f in the list: two share an f */
export const TAGS = {
  program: "the program's",
  cos: "another that falls",
  newton: "Newton's cubic, rising",
  triple: "a triple root",
  hump: "not monotone over its nodes",
  beyond: "nodes right of the root",
};

/** Each preset's f as the page writes it, by its id. */
export const NAMES = {
  program: "e^(−2x) − x",
  cos: "cos x − x",
  newton: "x³ − 2x − 5",
  triple: "(x − 0.5)³",
  hump: "x³ − x + 1",
  beyond: "e^(−2x) − x",
};

/** f as the page writes it: a preset's name, or the learner's text. */
export const nameOf = (/** @type {{text: string, preset: {id: string} | null}} */ fn) =>
  fn.preset ? NAMES[/** @type {keyof typeof NAMES} */ (fn.preset.id)] : fn.text.trim();

/** Where something fails, as the bound says it. */
const near = (/** @type {number} */ at) => `near x = ${Number(at.toPrecision(6))}`;

/** What has no value, by the function or operation at fault. */
const WHAT = {
  "/": "a division by a value that is, or may be, 0",
  abs: "abs of a value that is, or may be, 0",
  tan: "tan where cos is, or may be, 0",
  tanh: "a division by a value that is, or may be, 0",
  "^": "a power of a base that is, or may be, 0 or below",
  exp: "exp of a value above 44",
  sin: "sin or cos of a value beyond 2^20",
  "2^64": "a value beyond 2^64",
};
/** Why f has no value, in words: where it is at fault. */
export const noValueText = (/** @type {string} */ what) =>
  what in WHAT ? WHAT[/** @type {keyof typeof WHAT} */ (what)] : `${what} of a value that is, or may be, 0 or below`;

/**
 * Why there is no bound on the interpolation error, after "No bound …: ".
 * @param {import("../bound.js").NoBound} b
 */
export function noBoundText(b) {
  const at = b.at === null ? "at a node" : near(b.at);
  switch (b.reason) {
    case "nodes":
      return `${LIMITS.nodes[0]} to ${LIMITS.nodes[1]} distinct nodes are needed`;
    case "no-root":
      return "no root is known for this f and these nodes";
    case "unbounded":
      return "the derivatives of the inverse could not be bounded here";
    case "turns":
      return `f' changes sign ${at}: f is not monotone, and x is not a function of y`;
    case "flat":
      return `f' comes to 0 ${at}: the inverse has an infinite slope there`;
    default:
      return `f has no derivatives ${at}: ${noValueText(b.what ?? "")}`;
  }
}

/**
 * Why no root is known for a learner's f, to compare p with.
 * @param {import("../roots.js").NoRoot} why
 */
export function whyNoRoot(why) {
  switch (why.kind) {
    case "zeros":
      return (
        "f's double is 0 at more than one node (f is 0 there, or too small for a double), so no one root is " +
        "bracketed that x = g(0) could give"
      );
    case "no-value":
      return "f has no value at a node";
    case "no-sign-change":
      return (
        "the nodes' y do not change sign, so no root is bracketed by two of them (one where f touches 0 without " +
        "crossing it, as (x − 0.5)² does, is not found this way)"
      );
    case "no-value-between":
      return `f has no value at x = ${why.x}, between two nodes`;
    case "pole":
      return `f changes sign near x = ${why.x} without coming near 0: a pole or a jump, not a root`;
  }
}

/** Why Newton's method in many digits finds no root, by its reason. */
export const NEWTON_FAILS = {
  "no-value": "f has no value near its root here",
  flat: "f' is 0 at an iterate of Newton's method",
  unsettled: "Newton's method did not settle (a multiple root converges too slowly for it)",
};
