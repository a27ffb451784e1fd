// The figure: f, the step's polynomials and where the step's polynomial
// meets y = 0, the nodes as handles; below, its error (errors.js); its
// legend and caption.  Drawn at the width and font it is told, into the
// elements it drew before.

import { figureOf } from "./core/curves.js";
import { figureDescription, legendItems, topWords } from "./core/sentences/figure.js";
import { nameOf } from "./core/sentences/functions.js";
import { handleName, handleText } from "./core/sentences/nodes.js";
import { $, el, join, say, set, svgOf, text } from "./dom.js";
import { drawFrame } from "./axes.js";
import { at, layout, panel } from "./frame.js";
import { drawCurves, layer, runs } from "./layers.js";
import { drawErrorPanel } from "./errors.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./frame.js").Panel} Panel */

/** The figure of r, the upper panel's ranges frozen while a node is dragged; while the step's entry is to be
 * predicted (hidden), without its polynomial, where it meets y = 0 and its error.
 * @param {import("./core/sweep.js").Model} m @param {Result} r
 * @param {{width: number, room: number, frozen: import("./core/curves.js").Ranges | null, font: number,
 *   hidden: boolean, rootShown: boolean}} opts room: the most height it may take; rootShown: the zoom marks the root */
export function drawFigure(m, r, { width, room, frozen, font, hidden, rootShown }) {
  const svg = svgOf("figure"),
    box = layout(width, font, room);
  set(svg, { viewBox: `0 0 ${box.W} ${box.H}`, width: box.W, height: box.H });
  const g = /** @type {SVGElement} */ (svg.querySelector(".plot"));
  const upper = layer(g, "upper"),
    lower = layer(g, "lower");
  for (const p of [upper, lower]) set(p, { class: "panel" });
  const fig = figureOf(m, r, { hidden, frozen, plotW: box.W - box.L - box.R });
  const top = panel(box, fig.ranges.xlim, fig.ranges.ylim, box.top);
  // the long titles where they fit: the longest is some 61 characters
  const narrow = box.W < 42 * font;
  drawUpper(upper, r, fig, { top, narrow, font });
  drawErrorPanel(lower, box, { ...fig, narrow, font, hidden });
  drawHandles(/** @type {SVGElement} */ (svg.querySelector(".handles")), r, top, fig.current);
  drawLegend($("legend"), legendItems(r, fig.curves, fig.kept, fig.err, rootShown));
  text($("figure-desc"), figureDescription(r, fig.curves, hidden, fig.err.off));
}

/** The upper panel: its frame, f, the step's polynomials where rounding moves them by less than a pixel
 * (elsewhere their lines would be rounding), the nodes' names and where the step's polynomial meets y = 0.
 * @param {SVGElement} upper @param {Result} r @param {import("./core/curves.js").Figure} fig
 * @param {{top: Panel, narrow: boolean, font: number}} how */
function drawUpper(upper, r, fig, { top, narrow, font }) {
  const words = topWords(nameOf(r.fn));
  const title = narrow ? words.title.short : words.title.long;
  drawFrame(layer(upper, "frame"), top, { x: words.x, y: words.y, title, clip: "clip-top", font });
  drawCurves(
    layer(upper, "curves"),
    fig.lines.map(({ cls, points }) => ({ cls, runs: runs(top, points) })),
    "clip-top",
  );
  const names = nodeLabels(r.pts.map((q) => ({ X: top.px(q.x), Y: top.py(q.y) }))).filter(
    ({ Y }) => Y > top.top + font && Y < top.bottom,
  );
  join(
    layer(upper, "names"),
    names,
    () => el("text", { class: "node-label" }),
    (e, d) => text(set(e, { x: (d.X + 9).toFixed(1), y: (d.Y - 9).toFixed(1) }), d.text),
  );
  join(
    layer(upper, "p"),
    fig.p === null ? [] : [fig.p],
    () => el("circle", { class: "p", r: 6, "clip-path": "url(#clip-top)" }),
    (e, x) => set(e, { cx: at(top.px(x)), cy: at(top.py(0)) }),
  );
}

/** The nodes' names where they are drawn, in pixels: nodes closer than a label's height share one label,
 * "x1, x2", so that no two names are written over each other.
 * @param {{X: number, Y: number}[]} spots @returns {{text: string, X: number, Y: number}[]} */
export function nodeLabels(spots) {
  const near = 14;
  /** @type {{ks: number[], X: number, Y: number}[]} */
  const groups = [];
  spots.forEach(({ X, Y }, k) => {
    if (!Number.isFinite(X) || !Number.isFinite(Y)) return;
    const g = groups.find((o) => Math.abs(o.X - X) < near && Math.abs(o.Y - Y) < near);
    if (g) g.ks.push(k);
    else groups.push({ ks: [k], X, Y });
  });
  return groups.map(({ ks, X, Y }) => ({ text: ks.map((k) => `x${k}`).join(", "), X, Y }));
}

/** The legend's items, each a swatch and its words.
 * @param {HTMLElement} legend @param {ReturnType<typeof legendItems>} items */
function drawLegend(legend, items) {
  join(
    legend,
    items,
    () => document.createElement("li"),
    (li, d) => {
      const key = `${d.cls} ${d.mark}`;
      if (li.dataset.swatch !== key) {
        li.dataset.swatch = key;
        const swatch = el("svg", { class: "swatch", viewBox: "0 0 28 12", "aria-hidden": "true" });
        swatch.append(
          d.mark
            ? el("circle", { class: d.cls, cx: 14, cy: 6, r: 4.5 })
            : el("line", { class: d.cls, x1: 1, x2: 27, y1: 6, y2: 6 }),
        );
        li.replaceChildren(swatch, document.createElement("span"));
      }
      say(/** @type {HTMLElement} */ (li.lastElementChild), d.parts);
    },
  );
}

/** The nodes as sliders, kept from one render to the next so that focus and a pointer's capture survive.
 * @param {SVGElement} g @param {Result} r @param {Panel} top
 * @param {import("./core/curves.js").Curve | undefined} current */
function drawHandles(g, r, top, current) {
  const spot = (/** @type {number} */ v) => (Number.isFinite(v) ? v : 0).toFixed(1);
  join(
    g,
    r.pts,
    (_, k) => {
      const hdl = el("g", { role: "slider", tabindex: 0, "aria-orientation": "horizontal" });
      hdl.append(
        el("circle", { class: "hit", r: 16 }),
        el("circle", { class: "ring", r: 10 }),
        el("circle", { class: "dot", r: 6 }),
      );
      hdl.dataset.k = String(k);
      return hdl;
    },
    (hdl, q, k) => {
      const inUse = current && k >= current.i - current.j && k <= current.i;
      set(hdl, {
        transform: `translate(${spot(top.px(q.x))} ${spot(top.py(q.y))})`,
        class: `handle${inUse ? " in-use" : ""}`,
        "aria-valuenow": String(q.x),
        // where the function's nodes may lie
        "aria-valuemin": r.fn.interval[0],
        "aria-valuemax": r.fn.interval[1],
        "aria-valuetext": handleText(k, q),
        "aria-label": handleName(k),
      });
    },
  );
}
