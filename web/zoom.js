// The line at y = 0, zoomed on the entries: each a point labelled as the
// tableau labels it, in rows above the line where labels would overlap,
// the step's three in their roles' colours, the step's weights in the
// title, and the root marked.

import { minus } from "./core/numbers.js";
import { entryName } from "./core/sentences/parts.js";
import { zoomAxis, zoomTitle } from "./core/sentences/step.js";
import { unitText } from "./core/sentences/figure.js";
import { set, svgOf } from "./dom.js";
import { drawShapes } from "./shapes.js";
import { fitAlong } from "./axes.js";
import { layout, textWidth } from "./frame.js";
import { layer } from "./layers.js";

/** @typedef {import("./core/curves.js").Zoom} Zoom */
/** @typedef {import("./shapes.js").Shape} Shape */
/** @typedef {import("./core/curves.js").ZoomPoint & {row: number, label: number}} Placed */
/** @typedef {{L: number, R: number, W: number, plotW: number, line: number, font: number}} At the line's place */

/** The most label rows above the line, and the room between two labels. */
export const ZOOM = { rows: 6, gap: 8 };
/** A label's width in pixels at a font size. */
export const labelWidth = (/** @type {string} */ t, /** @type {number} */ font) => textWidth(t.length, font) + ZOOM.gap;

/** The labels placed in rows above the line: the step's three first, then the newest, each in the nearest row
 * where it overlaps no other, its centre (in pixels from the plot's left edge) kept within the plot; row -1
 * where no row has room.
 * @param {Zoom} z @param {number} plotW @param {number} font @returns {{placed: Placed[], rows: number}} */
export function placeLabels(z, plotW, font) {
  const px = (/** @type {number} */ x) => ((x - z.xlim[0]) / (z.xlim[1] - z.xlim[0])) * plotW;
  const order = { new: 0, hi: 1, lo: 2, old: 3 };
  /** @type {Placed[]} */
  const placed = z.points.map((q) => ({ ...q, row: -1, label: 0 }));
  const placing = [...placed].sort((a, b) => order[a.role] - order[b.role] || placed.indexOf(b) - placed.indexOf(a));
  /** @type {number[][][]} */
  const taken = Array.from({ length: ZOOM.rows }, () => []);
  let rows = 0;
  for (const q of placing) {
    const w = labelWidth(entryName(q.i, q.j), font);
    const c = Math.min(Math.max(px(q.x), w / 2), plotW - w / 2);
    const row = taken.findIndex((spans) => spans.every(([a, b]) => c + w / 2 <= a || c - w / 2 >= b));
    if (row < 0) continue;
    taken[row].push([c - w / 2, c + w / 2]);
    q.row = row;
    q.label = c;
    rows = Math.max(rows, row + 1);
  }
  return { placed, rows };
}

/** @param {Zoom} z @param {number} width @param {number} font @returns {number} the entries left unlabelled */
export function drawZoom(z, width, font) {
  const svg = svgOf("zoom");
  const { W, L, R } = layout(width, font),
    plotW = W - L - R,
    { placed, rows } = placeLabels(z, plotW, font);
  // the title's two halves on two lines where one would not fit (it is bold: wider than the average)
  const { head, tail } = zoomTitle(z),
    fits = (/** @type {string} */ t) => t.length * font * 0.66 <= W - 16,
    lines = fits(`${head} ${tail}`)
      ? [`${head} ${tail}`.trim()]
      : fits(tail)
        ? [head, tail]
        : [head, ...tail.split(/ (?=[+−])/)];
  const { lead, line, H } = zoomHeights(font, lines.length, rows);
  set(svg, { viewBox: `0 0 ${W} ${H}`, width: W, height: H });
  const g = /** @type {SVGElement} */ (svg.querySelector(".plot"));
  drawShapes(
    layer(g, "title"),
    lines.map((t, k) => ({ name: "text", attrs: { class: "title", x: 8, y: lead * (k + 1) }, text: t })),
  );
  const at = { L, R, W, plotW, line, font };
  const axis = layer(g, "axis");
  set(axis, { "data-axis": "x" });
  drawShapes(axis, axisShapes(z, at));
  drawShapes(layer(g, "marks"), markShapes(z, placed, at));
  return placed.filter((q) => q.row < 0).length;
}

/** Heights in the line's font: the title's lines, the label rows, the ticks and the axis's name below; where
 * the line is drawn, and the whole.
 * @param {number} font @param {number} lines the title's @param {number} rows the labels' */
export function zoomHeights(font, lines, rows) {
  const lead = Math.round(font * 1.25),
    line = lead + 2 + lines * lead + Math.max(1, rows) * rowOf(font) + 6;
  return { lead, line, H: line + 2 * font + 16 + Math.ceil(font * 0.35) };
}

/** A label row's height in pixels. */
const rowOf = (/** @type {number} */ font) => Math.round(font * 1.3);

/** The axis, its ticks and its label; the ticks in ulps from the root within a thousand of them, where its
 * digits would all be the root's: whole ulps only, as there is no double between two neighbours.
 * @param {Zoom} z @param {At} at @returns {Shape[]} */
function axisShapes(z, { L, R, W, plotW, line, font }) {
  /** @type {Shape[]} */
  const axis = [{ name: "line", attrs: { class: "axis", x1: L, x2: W - R, y1: line, y2: line } }];
  const [a, b] = z.inUlps ? z.xlim.map((x) => (x - z.from) / z.ulp) : z.xlim;
  const t = fitAlong(a, b, 6, plotW, font);
  for (const k of t.ticks.filter((k) => !z.inUlps || Number.isInteger(k.value))) {
    const x = (L + ((k.value - a) / (b - a)) * plotW).toFixed(1);
    axis.push({ name: "line", attrs: { class: "axis", x1: x, x2: x, y1: line, y2: line + 5 } });
    const label = k.label && (z.inUlps ? minus(String(k.value)) : k.label);
    if (label)
      axis.push({
        name: "text",
        attrs: { class: "tick", x, y: line + font + 8, "text-anchor": "middle" },
        text: label,
      });
  }
  axis.push({
    name: "text",
    attrs: { x: (L + W - R) / 2, y: line + 2 * font + 16, "text-anchor": "middle" },
    text: zoomAxis(z, unitText(t.unit)),
  });
  return axis;
}

/** The root's mark, and each entry's point with its label and leader, the step's three drawn over the rest.
 * @param {Zoom} z @param {Placed[]} placed @param {At} at @returns {Shape[]} */
function markShapes(z, placed, { L, plotW, line, font }) {
  const px = (/** @type {number} */ x) => L + ((x - z.xlim[0]) / (z.xlim[1] - z.xlim[0])) * plotW;
  const rx = px(z.root ?? NaN).toFixed(1);
  /** @type {Shape[]} */
  const marks =
    z.root === undefined
      ? []
      : [{ name: "line", attrs: { class: "zoom-root", x1: rx, x2: rx, y1: line - 12, y2: line + 12 } }];
  const order = { old: 0, lo: 1, hi: 2, new: 3 };
  for (const q of [...placed].sort((a, b) => order[a.role] - order[b.role])) {
    const x = px(q.x).toFixed(1);
    if (q.row >= 0) {
      const y = line - 12 - q.row * rowOf(font),
        lx = (L + q.label).toFixed(1);
      marks.push(
        { name: "line", attrs: { class: `leader zoom-${q.role}`, x1: x, x2: lx, y1: line - 5, y2: y + 3 } },
        { name: "text", attrs: { class: "zoom-label", x: lx, y, "text-anchor": "middle" }, text: entryName(q.i, q.j) },
      );
    }
    marks.push({ name: "circle", attrs: { class: `zoom-${q.role}`, cx: x, cy: line, r: q.role === "old" ? 3.5 : 5 } });
  }
  return marks;
}
