// The one state the page draws: everything it shows follows from this
// object, main.js's render() draws it whole, and change() is the one
// function that changes it.  What lasts one render only (a message, an
// announcement) goes with the next change unless given again.

import { PROGRAM_TEXT } from "./core/functions.js";

/** @typedef {import("./core/sweep.js").ExpName} ExpName */
/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/curves.js").Ranges} Ranges */
/** @typedef {import("./core/precise.js").Row} Row */
/** @typedef {import("./core/precise.js").Stop} Stop */
/** @typedef {import("./core/iterations.js").DoublesStop} DoublesStop */
/** @typedef {import("./core/predict.js").Guess} Guess */
/**
 * The many-digit table, for the nodes and exponential of its key: its rows
 * so far, and why it ended (null while it is computed).
 * @typedef {{key: string, nodes: number[], rows: Row[], stop: Stop | null, doubles: DoublesStop | null}} Orders
 */
/**
 * A node dragged by a pointer: which, by which pointer, where it was last
 * seen, the frame that will move it there, and whether it has moved yet.
 * @typedef {{k: number, id: number, x: number, frame: number, moved: boolean}} Drag
 */
/**
 * @typedef {object} State
 * @property {number[]} nodes
 * @property {number[]} start the nodes the iterates started from; the nodes themselves while there are none
 * @property {ExpName} exp
 * @property {number} shown steps of the sweep shown, clamped to their number
 * @property {number[]} iterates p_0, p_1, ... while Iterate builds on its own results
 * @property {string} error what was wrong with the last input; the state is the last good one
 * @property {"field" | "link" | "figure" | "function" | "guess"} errorAt where it was given
 * @property {string} linkRefused what of the link could not be used, where the rest was
 * @property {string | null} field the text in the field, where it is not the nodes' own: typed and
 *   not yet submitted, it stays whatever else changes
 * @property {((r: Result, whole: boolean) => string) | null} announce what the live region says after this
 *   render, of its result, and whether p may be said
 * @property {number} width the figure's width in CSS pixels, as last measured
 * @property {number} font the figure's text size in CSS pixels, as last measured
 * @property {number} room the most height the figure may take, as last measured (Infinity: any)
 * @property {number} zoomFont the text size of the line at y = 0, as last measured
 * @property {number} triangleFont the text size of Neville's triangle, as last measured
 * @property {number} digits the significant digits the tableau shows; 0: all, the shortest decimal of each double
 * @property {boolean} showBits whether each entry's bits are shown beneath it
 * @property {boolean} lecture whether the page's text is large enough for the back of a room
 * @property {boolean} predict whether each entry is asked for before it is shown
 * @property {number} revealed while predicting: the steps of the tableau whose entries have been revealed
 * @property {Guess[]} guesses while predicting: each entry asked for, and how its answers went
 * @property {Guess | null} lastGuess the last, while its step is shown
 * @property {boolean} deeper whether "Going deeper" is open
 * @property {Ranges | null} frozen the upper panel's ranges while a node is dragged
 * @property {Drag | null} drag
 * @property {boolean} keyed whether a key has moved the focused handle: its later keys make no history entry
 * @property {string | null} hash the fragment last read or written
 * @property {Orders} orders
 * @property {{key: string, bound: import("./core/bound.js").Bound | import("./core/bound.js").NoBound | null}} analysis
 *   the bound on the interpolation error, for the nodes and function of its key (null while it is found)
 * @property {string} f the function, as the parser reads it
 * @property {string | null} fText a learner's own f as typed in its field, not yet used, kept whatever else changes
 * @property {boolean} own whether the function control offers the field for a learner's own f
 */

/** @type {State} */
export const state = {
  nodes: [],
  start: [],
  exp: "wasm",
  shown: Infinity,
  iterates: [],
  error: "",
  errorAt: "field",
  linkRefused: "",
  field: null,
  announce: null,
  width: 720,
  font: 13,
  room: Infinity,
  zoomFont: 13,
  triangleFont: 14,
  digits: 0,
  showBits: false,
  lecture: false,
  predict: false,
  revealed: 0,
  guesses: [],
  lastGuess: null,
  deeper: false,
  frozen: null,
  drag: null,
  keyed: false,
  hash: null,
  orders: { key: "", nodes: [], rows: [], stop: null, doubles: null },
  analysis: { key: "", bound: null },
  f: PROGRAM_TEXT,
  fText: null,
  own: false,
};

/** @type {Pick<State, "error" | "errorAt" | "linkRefused" | "announce">} what lasts one render only */
const ONCE = {
  error: "",
  errorAt: "field",
  linkRefused: "",
  announce: null,
};

/**
 * The state with these changes.  "new": a change the learner made (or a
 * link), after which the last render's messages go; "same": a change of
 * what the page keeps track of, the messages kept.
 * @param {Partial<State>} changes
 * @param {"new" | "same"} kind
 */
export function change(changes, kind = "new") {
  Object.assign(state, kind === "new" ? ONCE : {}, changes);
  if (!state.iterates.length) state.start = state.nodes;
}
