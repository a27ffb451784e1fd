// What a learner typed or a link held, refused in words a learner can act
// on: what was wrong, quoted short.

import { LIMITS } from "../limits.js";
import { show } from "../numbers.js";

const [FEWEST, MOST] = LIMITS.nodes;
const RANGE = `${FEWEST} to ${MOST}`;

/** A token as a message quotes it: whole, or its start and length where long. */
export function quote(/** @type {string} */ s) {
  return s.length <= 24 ? `“${s}”` : `“${s.slice(0, 20)}…” (${s.length} characters)`;
}

/** @typedef {import("../expression.js").ParseError} ParseError */
/** @typedef {import("../fragment.js").NodesRefusal} NodesRefusal */
/** @typedef {import("../fragment.js").LinkRefusal} LinkRefusal */

/** What a link's whole number counts, what bounds it, and what the page shows instead. */
const counted = (/** @type {{key: "iterates" | "step", most: number, nodes: number}} */ r) =>
  r.key === "iterates"
    ? { what: "Iterates", bound: "a link may ask for", kept: "The page shows the nodes without iterating." }
    : { what: "steps", bound: `${r.nodes} nodes have`, kept: `The page shows all ${r.most}.` };

/** Nodes or a link's field refused, and for a link's field what the page does instead. */
export function refusedText(/** @type {NodesRefusal | LinkRefusal} */ r) {
  const said = words(r);
  return "decimalCommas" in r && r.decimalCommas
    ? `${said} With decimal commas, put semicolons between the nodes: “0,3; 0,4; 0,5”.`
    : said;
}
/** @param {NodesRefusal | LinkRefusal} r @returns {string} */
function words(r) {
  switch (r.kind) {
    case "tooLong":
      return `That is ${r.length} characters; ${MOST} nodes need far fewer (at most ${LIMITS.text}).`;
    case "empty":
      return `Give ${RANGE} nodes, separated by commas or spaces.`;
    case "gap":
      return r.k === r.count - 1
        ? `There is a ${r.sep} after the last node: remove it.`
        : r.k === 0
          ? `There is a ${r.sep} before the first node: remove it.`
          : `There is nothing between ${r.sep} ${r.k} and ${r.sep} ${r.k + 1}.`;
    case "notNumber":
      return `${quote(r.text)} is not a number.${r.error.suggestion ? ` Did you mean “${r.error.suggestion}”?` : ""}`;
    case "hasX":
      return `${quote(r.text)} has x in it: a node is a number, which may be written as pi/8 or 1/3.`;
    case "noValue":
      return `${quote(r.text)} is ${show(r.value)} in doubles, not a number a node can be.`;
    case "tooSmall":
      return `${quote(r.text)} is too small for a double: it would be read as 0.`;
    case "tooLarge":
      return `${quote(r.text)} is too large for a double.`;
    case "outside": {
      const value = r.value === null ? "" : `, ${show(r.value)},`;
      return `Each node must lie in [${r.domain[0]}, ${r.domain[1]}]; ${quote(r.text)}${value} does not.`;
    }
    case "one":
      return `One node makes no polynomial to interpolate with: give ${RANGE}.`;
    case "many":
      return `${r.count} nodes are too many here: give ${RANGE}.`;
    case "encoding":
      return `The link's ${quote(r.key)} is not valid percent-encoding.`;
    case "unknownKey":
      return `The link holds ${quote(r.key)}; this page reads only ${r.keys
        .map((k) => `${k}=`)
        .join(", ")
        .replace(/, ([^,]*)$/, " and $1")}.`;
    case "notWhole": {
      const c = counted(r);
      return `The link's ${r.key}, ${quote(r.value)}, is not a whole number of ${c.what}. ${c.kept}`;
    }
    case "tooMany": {
      const c = counted(r);
      return `The link's ${r.key}, ${r.n}, is more than the ${r.most} ${c.what} ${c.bound}. ${c.kept}`;
    }
    case "exp":
      return `The link's exp, ${quote(r.value)}, is neither “wasm” nor “browser”: the program's own is used.`;
    case "digits":
      return `The link's digits, ${quote(r.value)}, is none of ${[...r.allowed]
        .sort((a, b) => a - b)
        .map((d) => (d === 0 ? "0 (all digits)" : String(d)))
        .join(", ")
        .replace(/, (\d+)$/, " or $1")}: ${r.shown ? `${r.shown} significant digits` : "all digits"} are shown.`;
    case "f":
      return `The link's f, ${quote(r.value)}, cannot be read (${parseRefused(r.error)}${
        r.error.suggestion ? `; perhaps “${r.error.suggestion}”` : ""
      }): the program's f is used.`;
    case "switch":
      return `The link's ${r.key}, ${quote(r.value)}, is neither 1 (on) nor 0 (off): it is left off.`;
  }
}

/** The tableau's digits, as the reader chooses them. */
export const digitsName = (/** @type {number} */ d) => (d ? `${d} significant` : "all");

/** Nodes added or removed beyond the limits, refused beside the figure. */
export const FIGURE_REFUSED = {
  most: `${MOST} nodes are the most here.`,
  fewest: `${FEWEST} nodes are the fewest there can be.`,
  // under the Remove buttons while none can be used
  fewestList: `${FEWEST} nodes are the fewest: add one before removing another.`,
};

/** What the page keeps after a refusal, by the field or by the figure. */
export const KEPT = {
  first: "The page shows the first nodes.",
  last: "The page still shows the last good nodes.",
  figure: "The nodes stay as they were.",
};

/** What f as the parser read it is shown after. */
export const F_READ = "Read as";

/** A learner's f that cannot be read, what would be read, and what the page keeps. */
export const FUNCTION_REFUSED = (/** @type {ParseError} */ e) =>
  `This f cannot be read: ${parseRefused(e)}.${e.suggestion ? ` ${suggested(e)}` : ""} The page keeps the function it shows.`;

/** A part of f as a refusal quotes it: whole, or its start where it is long. */
const part = (/** @type {string} */ t) => (t.length <= 24 ? t : `${t.slice(0, 20)}…`);
/** log and ln, which a learner may take for log base 10. */
const natural = (/** @type {string | null} */ name) => (name === "log" || name === "ln" ? ", the natural log" : "");

/** Why the parser cannot read f: the part as typed, and where (counted from 1, or the end). */
export function parseRefused(/** @type {ParseError} */ e) {
  switch (e.kind) {
    case "notText":
      return "not text";
    case "tooLong":
      return `longer than ${e.most} characters (${e.length})`;
    case "empty":
      return "empty: write f(x), such as cos(x) - x";
    case "unexpected":
      return `unexpected '${part(e.text)}' at ${e.at}`;
    case "noOperator":
      return `missing operator before '${part(e.text)}' at ${e.at}`;
    case "tooLarge":
      return `number too large '${part(e.text)}' at ${e.at}`;
    case "badNumber":
      return `bad number '${part(e.text)}' at ${e.at}`;
    case "noOperand":
      return e.after === "("
        ? "nothing after '(' at end: write what it holds, then ')'"
        : e.after === "^" || e.after === "**"
          ? `nothing after '${e.after}' at end: write the power, as in x^2`
          : `missing operand after '${part(e.after)}' at end`;
    case "noClose":
      return "missing ')' at end";
    case "noOpen":
      return `missing '(' after '${part(e.text)}' ${e.at === null ? "at end" : `at ${e.at}`}`;
    case "unknown":
      return `unknown name '${part(e.text)}' at ${e.at}${e.like && !e.suggestion ? `; perhaps ${e.like}${natural(e.like)}` : ""}`;
    case "character":
      return `unexpected character ${e.shown} at ${e.at}${e.instead === null || e.suggestion ? "" : `: write ${e.instead}`}`;
  }
}
/** The text that would be read instead, where the parser found one. */
export function suggested(/** @type {ParseError} */ e) {
  if (!e.suggestion) return "";
  const note = e.kind === "unknown" && natural(e.like) ? ` (${e.like}${natural(e.like)})` : "";
  return `Did you mean “${e.suggestion}”${note}?`;
}
