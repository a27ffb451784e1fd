// The figure in words: titles and axis labels (in full, and short for a
// narrow figure), legend, what the lower panel says of rounding, caption.

import { sci, show, superscript } from "../numbers.js";
import { entryName } from "./parts.js";

/** @typedef {import("./parts.js").Part} Part */
/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../curves.js").Curve} Curve */
/** @typedef {import("../curves.js").Figure["err"]} ErrorCurve */
/** @typedef {{long: string, short: string}} Words a text in full, and short for a narrow figure */

/** A curve's name: its entry, degree and points. */
export const curveName = (/** @type {Curve} */ c) =>
  `${entryName(c.i, c.j)}, degree ${c.j} through points ${c.i - c.j} … ${c.i}`;

/** An axis label's unit, where its ticks are counted in 10^u. */
export const unitText = (/** @type {number} */ u) => (u ? `  [×10${superscript(u)}]` : "");

/** The upper panel's title and axis labels, for f as the page writes it. */
export const topWords = (/** @type {string} */ f) => ({
  title: { long: "f, and the polynomials x = P(y)", short: "f and x = P(y)" },
  x: "x",
  y: `y = f(x) = ${f}`,
});

/** The lower panel's title, axis labels, and what stands in it where there is no curve to draw.
 * @param {Curve | undefined} current @param {number} value its entry @param {ErrorCurve} err @param {boolean} [hidden] */
export function lowerWords(current, value, err, hidden = false) {
  const name = current ? entryName(current.i, current.j) : "",
    waiting = "Its error";
  /** @type {Words} */
  const title = current
    ? { long: `The error of ${name}'s polynomial against the true inverse g`, short: `The error of ${name}'s P` }
    : { long: waiting, short: waiting };
  const none = `${name} is ${show(value)}: there is no curve to draw`;
  /** @type {Words} */
  const empty = current
    ? { long: none, short: none }
    : hidden
      ? { long: "Predict the entry to see its error", short: "Predict the entry first" }
      : { long: "Step to see a polynomial's error", short: "Step to see it" };
  return {
    title,
    x: err.falling
      ? { long: "y, falling to the right as f does above", short: "y, falling as x grows" }
      : { long: "y, rising to the right as f does above", short: "y, rising as x grows" },
    y: err.unit === 1 ? "P(y) − g(y)" : "P(y) − g(y), in ulps",
    empty,
  };
}

/** What the lower panel says of rounding, or null. @param {ErrorCurve} err @returns {Words | null} */
export function roundingSaid(err) {
  if (err.rounding === "decided" || err.rounding === "all") {
    return {
      long: err.atRoot
        ? "Rounding: p is within rounding of the root, the error within the shaded band"
        : "Rounding: the error is within the shaded band, what rounding can do",
      short: "Rounding: within the shaded band",
    };
  }
  if (err.atRoot)
    return {
      long: "At y = 0 p is within a few ulps of the root",
      short: "p: within a few ulps of the root",
    };
  if (err.rounding === "some")
    return { long: "Shaded: rounding, where the error is within it", short: "Shaded: rounding" };
  return null;
}

/** The legend: each item's class (its swatch), whether its swatch is a mark rather than a line, and its words.
 * @param {Result} r @param {Curve[]} curves @param {import("../curves.js").Figure["kept"]} kept @param {ErrorCurve} err
 * @param {boolean} rootShown @returns {{cls: string, mark: boolean, parts: Part[]}[]} */
export function legendItems(r, curves, kept, err, rootShown) {
  const item = (/** @type {string} */ cls, /** @type {Part[]} */ parts, mark = false) => ({ cls, mark, parts });
  const items = [item("f", ["f"])];
  for (const [k, c] of curves.entries()) {
    const { ruled, hidden } = kept[k],
      value = r.Q[c.i][c.j];
    const drawn = !Number.isFinite(value)
      ? ` (${show(value)}: not drawn)`
      : ruled
        ? ` (not drawn: rounding decides it, y${ruled.b} − y${ruled.a} being a few units of rounding)`
        : hidden
          ? " (drawn where rounding moves it by less than a pixel)"
          : "";
    const role = c.cls === "poly" ? `the step's entry${c.j === 1 ? ", a secant" : ""}` : "a parent";
    items.push(item(c.cls, [`${entryName(c.i, c.j)}'s P, ${role}${drawn}`]));
  }
  items.push(item("node", ["the nodes"], true));
  const c = curves.find((o) => o.cls === "poly");
  if (c) {
    items.push(item("p", [`${entryName(c.i, c.j)}, where P meets y = 0`], true));
    if (err.rounding !== "none") items.push(item("band", ["shaded: rounding alone"]));
  }
  items.push(item("zoom-old", ["earlier entries"], true));
  if (rootShown) items.push(item("zoom-root", ["the root"]));
  return items;
}

/** The figure in words, for its caption.
 * @param {Result} r @param {Curve[]} curves @param {boolean} hidden @param {number} off the entry less the root */
export function figureDescription(r, curves, hidden, off) {
  const current = curves.find((c) => c.cls === "poly");
  return current
    ? `Shown: ${curves.map(curveName).join("; ")}. ${entryName(current.i, current.j)} = ` +
        `${show(r.Q[current.i][current.j])}` +
        (Number.isFinite(off) ? `, ${sci(off, 2)} from the root.` : ".")
    : hidden
      ? `${curves.length ? `Shown: ${curves.map(curveName).join("; ")}. ` : ""}The step's own polynomial is drawn ` +
        "once its entry is predicted."
      : "No step yet: f and the nodes.";
}
