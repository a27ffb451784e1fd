// A drawing as data: each element a name, attributes and text, in named
// layers; drawn into an SVG, keeping elements as d3's joins do, or written
// out as markup when the page is built.

import { el, join, set, text } from "./dom.js";

/** @typedef {{name: string, attrs: Record<string, string | number>, text?: string}} Shape */
/** @typedef {{width: number, height: number, layers: [string, Shape[]][]}} Drawing */

/** @param {SVGElement} g @param {Shape[]} shapes */
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

const escape = (/** @type {string} */ s) =>
  s.replace(/[&<>"]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c] ?? c);

/** A drawing's layers as SVG markup, for the page's build, which has no DOM. */
export function markupOf(/** @type {Drawing} */ d) {
  const shape = (/** @type {Shape} */ s) =>
    `<${s.name}${Object.entries(s.attrs)
      .map(([k, v]) => ` ${k}="${escape(String(v))}"`)
      .join("")}>${escape(s.text ?? "")}</${s.name}>`;
  return d.layers.map(([name, shapes]) => `<g data-layer="${name}">${shapes.map(shape).join("")}</g>`).join("");
}
