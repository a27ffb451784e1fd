// The one state the page draws: everything it shows follows from this
// object, and main.js's render() draws it whole.

/** @typedef {import("./core/sweep.js").ExpName} ExpName */
/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/plot.js").Ranges} Ranges */
/**
 * @typedef {object} State
 * @property {number[]} nodes
 * @property {number[]} start the nodes the iterates started from; the nodes themselves while there are none
 * @property {ExpName} exp
 * @property {number} shown steps of the sweep shown, clamped to their number
 * @property {number[]} iterates p_0, p_1, ... while Iterate builds on its own results
 * @property {string} error what was wrong with the last input; the state is the last good one
 * @property {"field" | "link" | "figure"} errorAt where it was given
 * @property {string} linkRefused what of the link could not be used, where the rest was
 * @property {string} note why Iterate did nothing
 * @property {string | null} field the text in the field, where it is not the nodes' own: typed and
 *   not yet submitted, it stays whatever else changes
 * @property {((r: Result) => string) | null} announce what the live region says after this render
 * @property {number} width the figure's width in CSS pixels, as last measured
 * @property {number} font the figure's text size in CSS pixels, as last measured
 * @property {number} digits the significant digits the tableau shows; 0: all, the shortest decimal of each double
 * @property {Ranges | null} frozen the top panel's ranges while a node is dragged
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
  note: "",
  field: null,
  announce: null,
  width: 720,
  font: 13,
  digits: 0,
  frozen: null,
};

/**
 * The state with these changes; what holds for one render only (a
 * message, an announcement) goes unless given again.
 * @param {Partial<State>} changes
 */
export function change(changes) {
  Object.assign(state, { error: "", errorAt: "field", linkRefused: "", note: "", announce: null }, changes);
  if (!state.iterates.length) state.start = state.nodes;
}
