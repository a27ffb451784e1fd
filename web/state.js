// The one state the page draws: page.js's render draws all of it, and
// change() is the one function that changes it.  What lasts one render
// only (a message, an announcement) goes with the next change unless given
// again.

import { PROGRAM_TEXT } from "./core/functions.js";

/** @typedef {import("./core/precise.js").Row} Row */
/** @typedef {import("./core/bound.js").Bound | import("./core/bound.js").NoBound} Bound */
/** The many-digit table for the f, exponential and starting nodes of its key: its rows, why it ended, and
 * where the doubles stop.
 * @typedef {{key: string, nodes: number[], rows: Row[], stop: import("./core/precise.js").Stop | null,
 *   doubles: import("./core/iterations.js").DoublesStop | null}} Orders */

export const state = {
  nodes: /** @type {number[]} */ ([]),
  /** the nodes Iterate started from; the nodes themselves while there are no iterates */
  start: /** @type {number[]} */ ([]),
  exp: /** @type {import("./core/sweep.js").ExpName} */ ("wasm"),
  /** steps of the sweep shown, clamped to their number */
  shown: Infinity,
  /** p_0, p_1, ... while Iterate builds on its own results */
  iterates: /** @type {number[]} */ ([]),
  /** what was wrong with the last input, and where it was given; the state is the last good one */
  error: "",
  errorAt: /** @type {"field" | "link" | "figure" | "function" | "guess"} */ ("field"),
  linkRefused: "",
  /** the nodes' field's text where it is not the nodes' own: typed, not yet submitted */
  field: /** @type {string | null} */ (null),
  /** what the live region says after this render, of its result, and whether p may be said */
  announce: /** @type {((r: import("./core/sweep.js").Result, pKnown: boolean) => string) | null} */ (null),
  /** as last measured: the figure's width, its most height (Infinity: any), and the text sizes */
  width: 720,
  room: Infinity,
  font: 13,
  zoomFont: 13,
  triangleFont: 14,
  /** the significant digits shown; 0: all */
  digits: 0,
  showBits: false,
  lecture: false,
  predict: false,
  /** predicting: the steps revealed, each entry asked and its answers, and the last while its step shows */
  revealed: 0,
  guesses: /** @type {import("./core/predict.js").Guess[]} */ ([]),
  lastGuess: /** @type {import("./core/predict.js").Guess | null} */ (null),
  deeper: false,
  /** while a node is dragged: the upper panel's ranges held, and the drag (the pointer, where it was last
   * seen, the frame that moves the node there, whether it has moved) */
  frozen: /** @type {import("./core/curves.js").Ranges | null} */ (null),
  drag: /** @type {{k: number, id: number, x: number, frame: number, moved: boolean} | null} */ (null),
  /** whether a key has moved the focused handle: its later keys make no history entry */
  keyed: false,
  /** the fragment last read or written */
  hash: /** @type {string | null} */ (null),
  orders: /** @type {Orders} */ ({ key: "", nodes: [], rows: [], stop: null, doubles: null }),
  /** the bound on the interpolation error for the f and points of its key (null while it is found) */
  analysis: /** @type {{key: string, bound: Bound | null}} */ ({ key: "", bound: null }),
  /** the function as the parser reads it; a learner's own f typed and not yet used; whether the field is offered */
  f: PROGRAM_TEXT,
  fText: /** @type {string | null} */ (null),
  typingF: false,
};
/** @typedef {typeof state} State */

/** What lasts one render only. */
const ONCE = { error: "", errorAt: /** @type {State["errorAt"]} */ ("field"), linkRefused: "", announce: null };

/** The state with these changes: "new", a change the learner made (or a link), after which the last render's
 * messages go; "same", one of what the page keeps track of, the messages kept.
 * @param {Partial<State>} changes @param {"new" | "same"} kind */
export function change(changes, kind = "new") {
  Object.assign(state, kind === "new" ? ONCE : {}, changes);
  if (!state.iterates.length) state.start = state.nodes;
}
