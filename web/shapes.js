// A drawing as data: each element a name, its attributes and its text, in
// named layers.  Drawn into an SVG, the same elements are kept where the
// same kinds stand in the same places, as d3's joins keep them; written
// out as markup, the same drawing goes into the page when it is built.

import { el, join, set, text } from "./dom.js";
import { layer } from "./layers.js";

/** @typedef {{name: string, attrs: Record<string, string | number>, text?: string}} Shape */
/** @typedef {{width: number, height: number, layers: [string, Shape[]][]}} Drawing */

/**
 * A layer's elements made to stand for these shapes.
 * @param {SVGElement} g
 * @param {Shape[]} shapes
 */
export function drawShapes(g, shapes) {
  join(
    g,
    shapes,
    (d) => el(d.name, {}),
    (e, d) => {
      if (e.localName !== d.name) {
        const fresh = el(d.name, {});
        e.replaceWith(fresh);
        e = fresh;
      }
      for (const a of [...e.attributes]) if (!(a.name in d.attrs)) e.removeAttribute(a.name);
      set(e, d.attrs);
      text(e, d.text ?? "");
    },
  );
}

/**
 * A drawing into an SVG's group g: its size, and each layer in turn.
 * @param {SVGSVGElement} svg
 * @param {SVGElement} g
 * @param {Drawing} d
 */
export function drawDrawing(svg, g, d) {
  set(svg, { viewBox: `0 0 ${d.width} ${d.height}`, width: d.width, height: d.height });
  for (const [name, shapes] of d.layers) drawShapes(layer(g, name), shapes);
}

const escape = (/** @type {string} */ s) =>
  s.replace(/[&<>"]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c] ?? c);
/**
 * A drawing's layers as SVG markup, as drawDrawing would make them (for
 * the page's build, which has no DOM).
 * @param {Drawing} d
 */
export function markupOf(d) {
  const shape = (/** @type {Shape} */ s) =>
    `<${s.name}${Object.entries(s.attrs)
      .map(([k, v]) => ` ${k}="${escape(String(v))}"`)
      .join("")}>${escape(s.text ?? "")}</${s.name}>`;
  return d.layers.map(([name, shapes]) => `<g data-layer="${name}">${shapes.map(shape).join("")}</g>`).join("");
}
