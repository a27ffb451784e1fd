// The few ways the page makes elements: by id, HTML, SVG, and a sentence
// of the core's parts.

/** @typedef {import("./core/sentences.js").Part} Part */

/** The element with this id; the page's template holds every id asked for. */
export function $(/** @type {string} */ id) {
  const e = document.getElementById(id);
  if (!e) throw new Error(`no #${id} in the page`);
  return e;
}
/** The input with this id. */
export const input = (/** @type {string} */ id) => /** @type {HTMLInputElement} */ ($(id));

/**
 * An element with properties or attributes and children (strings become text).
 * @template {keyof HTMLElementTagNameMap} K
 * @param {K} tag
 * @param {Record<string, string>} [props]
 * @param {(Node | string)[]} children
 * @returns {HTMLElementTagNameMap[K]}
 */
export function h(tag, props = {}, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(props)) {
    if (k in e && k !== "role") /** @type {Record<string, unknown>} */ (/** @type {unknown} */ (e))[k] = v;
    else e.setAttribute(k, v);
  }
  e.append(...children);
  return e;
}

export const SVG = "http://www.w3.org/2000/svg";
/**
 * An SVG element with attributes, and text.
 * @param {string} name
 * @param {Record<string, string | number>} attrs
 * @param {string} [text]
 * @returns {SVGElement}
 */
export function el(name, attrs, text) {
  const e = /** @type {SVGElement} */ (document.createElementNS(SVG, name));
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, String(v));
  if (text !== undefined) e.textContent = text;
  return e;
}

/** A sentence of the core's parts as nodes. */
export function rich(/** @type {Part[]} */ parts) {
  return parts.map((part) =>
    typeof part === "string"
      ? part
      : "sub" in part
        ? h("sub", {}, part.sub)
        : "strong" in part
          ? h("strong", { className: "num" }, part.strong)
          : h("span", { className: part.mark }, part.text),
  );
}
