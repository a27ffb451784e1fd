// A drawing's parts, each a group of its own kept from one render to the
// next, in the order first asked for, and the polylines of a curve broken
// where it has no value.

import { el, join, set } from "./dom.js";
import { at } from "./frame.js";

/** @typedef {import("./frame.js").Panel} Panel */

/**
 * The group of this name in g, made (at the end) the first time.
 * @param {Element} g
 * @param {string} name
 * @returns {SVGElement}
 */
export function layer(g, name) {
  for (const c of g.children)
    if (/** @type {SVGElement} */ (c).dataset.layer === name) return /** @type {SVGElement} */ (c);
  const made = el("g", {});
  made.dataset.layer = name;
  g.append(made);
  return made;
}

/**
 * The runs of a curve's points in pixels: broken where a value is not a
 * number, each run of at least two points.
 * @param {Panel} ax
 * @param {number[][]} points
 */
export function runs(ax, points) {
  /** @type {string[][]} */
  const out = [[]];
  for (const [a, b] of points) {
    const X = ax.px(a),
      Y = ax.py(b);
    if (Number.isFinite(X) && Number.isFinite(Y)) out[out.length - 1].push(`${at(X)},${at(Y)}`);
    else if (out[out.length - 1].length) out.push([]);
  }
  return out.filter((r) => r.length > 1).map((r) => r.join(" "));
}

/**
 * Curves into a layer as polylines of their classes, clipped to a panel.
 * @param {SVGElement} g
 * @param {{cls: string, runs: string[]}[]} curves
 * @param {string} clip
 */
export function drawCurves(g, curves, clip) {
  const lines = curves.flatMap(({ cls, runs }) => runs.map((points) => ({ cls, points })));
  join(
    g,
    lines,
    () => el("polyline", { "clip-path": `url(#${clip})` }),
    (e, d) => set(e, { class: d.cls, points: d.points }),
  );
}
