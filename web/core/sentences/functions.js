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

/** Where something fails, as the bound says it. */
const near = (/** @type {number} */ at) => `near x = ${Number(at.toPrecision(6))}`;

/** Why there is no bound on the interpolation error, after "No bound …: ". */
export const NO_BOUND = {
  nodes: `${LIMITS.nodes[0]} to ${LIMITS.nodes[1]} distinct nodes are needed`,
  noRoot: "no root is known for this f and these nodes",
  noValue: (/** @type {string} */ what) => `f has no value at a node: ${what}`,
  unbounded: "the derivatives of the inverse could not be bounded here",
  turns: (/** @type {number} */ at) => `f' changes sign ${near(at)}: f is not monotone, and x is not a function of y`,
  flat: (/** @type {number} */ at) => `f' comes to 0 ${near(at)}: the inverse has an infinite slope there`,
  noDerivatives: (/** @type {number} */ at, /** @type {string} */ what) => `f has no derivatives ${near(at)}: ${what}`,
};

/** Why no root is known for a learner's f, to compare p with; and why Newton's method in many digits finds none. */
export const NO_ROOT = {
  zeros:
    "f's double is 0 at more than one node (f is 0 there, or too small for a double), so no one root is " +
    "bracketed that x = g(0) could give",
  noValueAtNode: "f has no value at a node",
  noSignChange:
    "the nodes' y do not change sign, so no root is bracketed by two of them (one where f touches 0 without " +
    "crossing it, as (x − 0.5)² does, is not found this way)",
  noValueBetween: (/** @type {number} */ x) => `f has no value at x = ${x}, between two nodes`,
  pole: (/** @type {number} */ x) => `f changes sign near x = ${x} without coming near 0: a pole or a jump, not a root`,
  noValue: (/** @type {string} */ what) => `f has no value near its root here: ${what}`,
  flat: "f' is 0 at an iterate of Newton's method",
  unsettled: "Newton's method did not settle (a multiple root converges too slowly for it)",
};

/**
 * What f cannot be evaluated at: enclosed over an interval (the bound's
 * arithmetic, where a value may be at fault) or in many digits.
 */
export const NO_VALUE = {
  pole: "a division by a value that is, or may be, 0",
  kink: "abs of a value that is, or may be, 0",
  below: (/** @type {string} */ name) => `${name} of a value that is, or may be, 0 or below`,
  tanPole: "tan where cos is, or may be, 0",
  flat: "f' is, or may be, 0",
  expRange: "exp of a value above 44",
  log: "log of a value at or below 0",
  sqrt: "sqrt of a value below 0",
  trigRange: "sin or cos of a value beyond 2^20",
  tan: "tan where cos is 0",
};
