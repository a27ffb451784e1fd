// A panel's frame: its clip path, border, grid, ticks with their labels,
// axis labels and title, drawn again only when one of them changes (as
// while a node is dragged, the upper panel's stay).  The ticks are the
// core's; how many fit is measured here, at the figure's font.

import { fittedTicks } from "./core/ticks.js";
import { unitText } from "./core/sentences/figure.js";
import { el } from "./dom.js";
import { textWidth } from "./frame.js";

/** @typedef {import("./frame.js").Panel} Panel */
/** @typedef {import("./core/ticks.js").Ticks} Ticks */

/**
 * Ticks along a horizontal axis of plotW pixels, as many of `most` as fit
 * side by side at this font.
 * @param {number} lo
 * @param {number} hi
 * @param {number} most
 * @param {number} plotW
 * @param {number} font
 */
export function fitAlong(lo, hi, most, plotW, font) {
  const widest = (/** @type {Ticks} */ t) => textWidth(Math.max(...t.ticks.map((k) => k.label.length)), font) + 14;
  const t = fittedTicks(lo, hi, most, (t) => t.ticks.length * widest(t) <= plotW);
  // where even the fewest ticks' labels are too long to fit (a narrow window far from 0), every other one
  // is labelled, or every third
  let every = 1;
  while (every < t.ticks.length && Math.ceil(t.ticks.length / every) * widest(t) > plotW) every++;
  return { ...t, ticks: t.ticks.map((k, i) => (i % every ? { ...k, label: "" } : k)) };
}

/**
 * The frame of a panel into g (a group of its own), unless g holds it already.
 * @param {SVGElement} g
 * @param {Panel} ax
 * @param {{x: string, y: string, title: string, clip: string, font: number}} what
 */
export function drawFrame(g, ax, what) {
  const key = [ax.box.W, ax.xlim, ax.ylim, ax.top, what.x, what.y, what.title, what.font].join();
  if (g.dataset.key === key) return;
  g.dataset.key = key;
  const { W, L, R } = ax.box,
    { font, clip } = what,
    plotW = W - L - R,
    plotH = ax.bottom - ax.top;
  const xt = fitAlong(Math.min(...ax.xlim), Math.max(...ax.xlim), 9, plotW, font);
  // the y ticks' labels stand between the plot and the axis's name, turned upright at x = font: as many as fit
  // there, fewer and so shorter where a label would run into the name
  const room = L - 6 - 1.25 * font,
    yt = fittedTicks(
      ax.ylim[0],
      ax.ylim[1],
      Math.max(2, Math.min(8, Math.floor(plotH / (font * 2.5)))),
      (t) => textWidth(Math.max(...t.ticks.map((k) => k.label.length)), font) <= room,
    );
  const cp = el("clipPath", { id: clip });
  cp.append(el("rect", { x: L, y: ax.top, width: plotW, height: plotH }));
  /** @type {SVGElement[]} */
  const out = [cp, el("rect", { class: "frame", x: L, y: ax.top, width: plotW, height: plotH })];
  // each axis a group of its own, its ticks' labels and its name
  const [gx, gy] = ["x", "y"].map((a) => el("g", { "data-axis": a }));
  let grid = "";
  for (const t of xt.ticks) {
    const x = ax.px(t.value).toFixed(1);
    grid += `M${x} ${ax.top}V${ax.bottom}`;
    if (t.label)
      gx.append(el("text", { class: "tick", x, y: ax.bottom + font + 12, "text-anchor": "middle" }, t.label));
  }
  for (const t of yt.ticks) {
    const y = ax.py(t.value).toFixed(1);
    grid += `M${L} ${y}H${W - R}`;
    gy.append(el("text", { class: "tick", x: L - 6, y: (+y + font / 3).toFixed(1), "text-anchor": "end" }, t.label));
  }
  out.push(el("path", { class: "grid", d: grid }), gx, gy);
  gx.append(
    el(
      "text",
      { x: (L + W - R) / 2, y: ax.bottom + 2 * font + 18, "text-anchor": "middle" },
      what.x + unitText(xt.unit),
    ),
  );
  const mid = ((ax.top + ax.bottom) / 2).toFixed(1);
  gy.append(
    el(
      "text",
      { x: font, y: mid, "text-anchor": "middle", transform: `rotate(-90 ${font} ${mid})` },
      what.y + unitText(yt.unit),
    ),
  );
  out.push(el("text", { class: "title", x: L, y: ax.top - 10 }, what.title));
  if (ax.ylim[0] < 0 && ax.ylim[1] > 0) {
    out.push(el("line", { class: "axis", x1: L, x2: W - R, y1: ax.py(0), y2: ax.py(0) }));
  }
  g.replaceChildren(...out);
}
