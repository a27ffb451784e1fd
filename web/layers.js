// A drawing's parts, each a group of its own kept from one render to the
// next, and a curve's polylines, broken where it has no value.

import { el, join, set } from "./dom.js";
import { at } from "./frame.js";

/** The group of this name in g, appended the first time. */
export function layer(/** @type {Element} */ g, /** @type {string} */ name) {
  for (const c of g.children)
    if (/** @type {SVGElement} */ (c).dataset.layer === name) return /** @type {SVGElement} */ (c);
  const made = el("g", {});
  made.dataset.layer = name;
  g.append(made);
  return made;
}

/** A curve's runs of at least two finite points, as polyline points. */
export function runs(/** @type {import("./frame.js").Panel} */ ax, /** @type {number[][]} */ points) {
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

/** @param {SVGElement} g @param {{cls: string, runs: string[]}[]} curves @param {string} clip */
export function drawCurves(g, curves, clip) {
  join(
    g,
    curves.flatMap(({ cls, runs }) => runs.map((points) => ({ cls, points }))),
    () => el("polyline", { "clip-path": `url(#${clip})` }),
    (e, d) => set(e, { class: d.cls, points: d.points }),
  );
}
