// Making and updating the page's elements: by id, HTML, SVG, the core's
// sentences, and a join that keeps a parent's children from one render to
// the next, as d3's do, changing only what changed.

/** The element with this id; the page's template holds every id asked for. */
export function $(/** @type {string} */ id) {
  const e = document.getElementById(id);
  if (!e) throw new Error(`no #${id} in the page`);
  return e;
}
export const input = (/** @type {string} */ id) => /** @type {HTMLInputElement} */ ($(id));
export const svgOf = (/** @type {string} */ id) => /** @type {SVGSVGElement} */ (/** @type {unknown} */ ($(id)));

/** An HTML element, its props set as properties where it has them, else as attributes.
 * @template {keyof HTMLElementTagNameMap} K @param {K} tag @param {Record<string, string>} [props]
 * @param {(Node | string)[]} children @returns {HTMLElementTagNameMap[K]} */
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
/** @param {string} name @param {Record<string, string | number>} attrs @param {string} [text] @returns {SVGElement} */
export function el(name, attrs, text) {
  const e = /** @type {SVGElement} */ (document.createElementNS(SVG, name));
  set(e, attrs);
  if (text !== undefined) e.textContent = text;
  return e;
}

/** Attributes set only where they differ, so nothing is styled again for no change; null removes one.
 * @param {Element} e @param {Record<string, string | number | null>} attrs */
export function set(e, attrs) {
  for (const [k, v] of Object.entries(attrs)) {
    if (v === null) e.removeAttribute(k);
    else if (e.getAttribute(k) !== String(v)) e.setAttribute(k, String(v));
  }
  return e;
}
export function text(/** @type {Node} */ e, /** @type {string} */ t) {
  if (e.textContent !== t) e.textContent = t;
  return e;
}

/** A parent's children made to stand for the data, in order: those there kept, the rest made or removed, each updated.
 * @template {Element} E @template D @param {Element} parent @param {readonly D[]} data
 * @param {(d: D, k: number) => E} make @param {(e: E, d: D, k: number) => void} update @returns {E[]} */
export function join(parent, data, make, update) {
  const kids = /** @type {E[]} */ ([...parent.children]);
  for (const e of kids.splice(data.length)) e.remove();
  for (let k = kids.length; k < data.length; k++) kids.push(/** @type {E} */ (parent.appendChild(make(data[k], k))));
  kids.forEach((e, k) => update(e, data[k], k));
  return kids;
}

/** An element's content made this sentence of the core's parts, unless it says it already. */
export function say(/** @type {HTMLElement} */ e, /** @type {import("./core/sentences/parts.js").Part[]} */ parts) {
  const key = JSON.stringify(parts);
  if (e.dataset.said === key) return;
  e.dataset.said = key;
  e.replaceChildren(
    ...parts.map((part) =>
      typeof part === "string"
        ? part
        : "sub" in part
          ? h("sub", {}, part.sub)
          : "strong" in part
            ? h("strong", { className: "num" }, part.strong)
            : h("span", { className: part.mark }, part.text),
    ),
  );
}
