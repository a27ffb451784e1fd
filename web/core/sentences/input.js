// What a learner typed or a link held, refused in words a learner can act
// on: each message says what was wrong, quoting it short.

import { LIMITS } from "../limits.js";

const [FEWEST, MOST] = LIMITS.nodes;
const RANGE = `${FEWEST} to ${MOST}`;

/** A token as a message may quote it: short, whatever it was. */
export function quote(/** @type {string} */ s) {
  return s.length <= 24 ? `“${s}”` : `“${s.slice(0, 20)}…” (${s.length} characters)`;
}

/** The field's and a link's list of nodes, refused. */
export const NODES_REFUSED = {
  tooLong: (/** @type {number} */ length) =>
    `That is ${length} characters; ${MOST} nodes need far fewer (at most ${LIMITS.text}).`,
  empty: `Give ${RANGE} nodes, separated by commas or spaces.`,
  /** An empty item k of `count` between separators. */
  gap: (/** @type {number} */ k, /** @type {number} */ count, /** @type {string} */ sep) =>
    k === count - 1
      ? `There is a ${sep} after the last node: remove it.`
      : k === 0
        ? `There is a ${sep} before the first node: remove it.`
        : `There is nothing between ${sep} ${k} and ${sep} ${k + 1}.`,
  notNumber: (/** @type {string} */ s) => `${quote(s)} is not a number.`,
  tooSmall: (/** @type {string} */ s) => `${quote(s)} is too small for a double: it would be read as 0.`,
  outside: (/** @type {string} */ s, /** @type {number[]} */ [lo, hi]) =>
    `Each node must lie in [${lo}, ${hi}]; ${quote(s)} does not.`,
  one: `One node makes no polynomial to interpolate with: give ${RANGE}.`,
  many: (/** @type {number} */ n) => `${n} nodes are too many here: give ${RANGE}.`,
  decimalCommas: "With decimal commas, put semicolons between the nodes: “0,3; 0,4; 0,5”.",
};

/** A link's other fields, refused: said, and the rest of the link used. */
export const LINK_REFUSED = {
  encoding: (/** @type {string} */ key) => `The link's ${quote(key)} is not valid percent-encoding.`,
  unknown: (/** @type {string} */ key, /** @type {string[]} */ keys) =>
    `The link holds ${quote(key)}; this page reads only ${keys
      .map((k) => `${k}=`)
      .join(", ")
      .replace(/, ([^,]*)$/, " and $1")}.`,
  notWhole: (/** @type {string} */ key, /** @type {string} */ value, /** @type {string} */ what) =>
    `The link's ${key}, ${quote(value)}, is not a whole number of ${what}.`,
  tooMany: (
    /** @type {string} */ key,
    /** @type {number} */ n,
    /** @type {number} */ most,
    /** @type {string} */ what,
  ) => `The link's ${key}, ${n}, is more than the ${most} ${what}`,
  iterates: {
    what: "Iterates",
    bound: "a link may ask for",
    kept: "The page shows the nodes without iterating.",
  },
  step: (/** @type {number} */ n, /** @type {number} */ steps) => ({
    what: "steps",
    bound: `${n} nodes have`,
    kept: `The page shows all ${steps}.`,
  }),
  exp: (/** @type {string} */ value) =>
    `The link's exp, ${quote(value)}, is neither “wasm” nor “browser”: the program's own is used.`,
  digits: (/** @type {string} */ value, /** @type {number[]} */ allowed) =>
    `The link's digits, ${quote(value)}, is none of ${[...allowed]
      .sort((a, b) => a - b)
      .map((d) => (d === 0 ? "0 (all digits)" : String(d)))
      .join(", ")
      .replace(/, (\d+)$/, " or $1")}: all digits are shown.`,
  f: (/** @type {string} */ value, /** @type {string} */ error) =>
    `The link's f, ${quote(value)}, cannot be read (${error}): the program's f is used.`,
  switch: (/** @type {string} */ key, /** @type {string} */ value) =>
    `The link's ${key}, ${quote(value)}, is neither 1 (on) nor 0 (off): it is left off.`,
};

/** The tableau's digits, as the reader chooses them. */
export const digitsName = (/** @type {number} */ d) =>
  d ? `${d} significant` : "all (the shortest decimal of each double)";

/** Nodes added or removed beyond the limits, refused beside the figure. */
export const FIGURE_REFUSED = {
  most: `${MOST} nodes are the most here.`,
  fewest: `${FEWEST} nodes are the fewest there can be.`,
  /** Said under the Remove buttons while none can be used. */
  fewestList: `${FEWEST} nodes are the fewest: add one before removing another.`,
};

/**
 * What the page keeps after a refusal: said after the message, by the field
 * (the program's own nodes, or the last good ones) or by the figure.
 */
export const KEPT = {
  program: "The page shows the program's own nodes.",
  last: "The page still shows the last good nodes.",
  figure: "The nodes stay as they were.",
};

/** A learner's f that the parser cannot read, and what the page keeps. */
export const FUNCTION_REFUSED = (/** @type {string} */ error) =>
  `This f cannot be read: ${error}. The page keeps the function it shows.`;

/**
 * What the parser says of an f it cannot read: the token quoted as typed,
 * and where it is (its position, counted from 1, or the end).
 */
/** A part of f as a refusal quotes it: whole, or its start where it is long. */
const part = (/** @type {string} */ t) => (t.length <= 24 ? t : `${t.slice(0, 20)}…`);

export const PARSE = {
  notText: "not text",
  tooLong: (/** @type {number} */ most, /** @type {number} */ length) => `longer than ${most} characters (${length})`,
  empty: "empty: write f(x), such as cos(x) - x",
  unexpected: (/** @type {string} */ text, /** @type {number} */ at) => `unexpected '${part(text)}' at ${at}`,
  noOperator: (/** @type {string} */ text, /** @type {number} */ at) =>
    `missing operator before '${part(text)}' at ${at}`,
  tooLarge: (/** @type {string} */ text, /** @type {number} */ at) => `number too large '${part(text)}' at ${at}`,
  noOperand: "missing operand at end",
  unknown: (/** @type {string} */ text, /** @type {number} */ at) => `unknown name '${part(text)}' at ${at}`,
  noOpen: (/** @type {string} */ fn, /** @type {number | null} */ at) =>
    `missing '(' after '${part(fn)}' ${at === null ? "at end" : `at ${at}`}`,
  noClose: (/** @type {string | null} */ text, /** @type {number | null} */ at) =>
    text === null ? "missing ')' at end" : `missing ')' before '${part(text)}' at ${at}`,
  badNumber: (/** @type {string} */ text, /** @type {number} */ at) => `bad number '${part(text)}' at ${at}`,
  /** `shown` is the character quoted, or its code point (U+0000) when it cannot be shown; `instead`, its spelling here. */
  character: (/** @type {string} */ shown, /** @type {number} */ at, /** @type {string | null} */ instead = null) =>
    `unexpected character ${shown} at ${at}${instead === null ? "" : `: write ${instead}`}`,
};
