// A panel's frame: clip path, border, grid, ticks and their labels, axis
// names and title; drawn again only when one of them changes.

import { fittedTicks } from "./core/ticks.js";
import { unitText } from "./core/sentences/figure.js";
import { el } from "./dom.js";
import { textWidth } from "./frame.js";

const widest = (/** @type {import("./core/ticks.js").Ticks} */ t, /** @type {number} */ font) =>
  textWidth(Math.max(...t.ticks.map((k) => k.label.length)), font);

/**
 * Ticks along a horizontal axis plotW pixels long, as many of `most` as fit side by side.
 * @param {number} lo @param {number} hi @param {number} most @param {number} plotW @param {number} font
 */
export function fitAlong(lo, hi, most, plotW, font) {
  const t = fittedTicks(lo, hi, most, (t) => t.ticks.length * (widest(t, font) + 14) <= plotW);
  // where even the fewest labels are too wide (a narrow window far from 0), label every other tick, or every third
  let every = 1;
  while (every < t.ticks.length && Math.ceil(t.ticks.length / every) * (widest(t, font) + 14) > plotW) every++;
  return { ...t, ticks: t.ticks.map((k, i) => (i % every ? { ...k, label: "" } : k)) };
}

/** @param {SVGElement} g the frame's own group @param {import("./frame.js").Panel} ax
 * @param {{x: string, y: string, title: string, clip: string, font: number}} what */
export function drawFrame(g, ax, what) {
  const key = [ax.box.W, ax.xlim, ax.ylim, ax.top, what.x, what.y, what.title, what.font].join();
  if (g.dataset.key === key) return;
  g.dataset.key = key;
  const { W, L, R } = ax.box,
    { font, clip } = what,
    plotW = W - L - R,
    plotH = ax.bottom - ax.top;
  const xt = fitAlong(Math.min(...ax.xlim), Math.max(...ax.xlim), 9, plotW, font);
  // the y labels stand between the plot and the upright axis name: fewer, so shorter, where they would run into it
  const room = L - 6 - 1.25 * font,
    most = Math.max(2, Math.min(8, Math.floor(plotH / (font * 2.5)))),
    yt = fittedTicks(ax.ylim[0], ax.ylim[1], most, (t) => widest(t, font) <= room);
  const cp = el("clipPath", { id: clip });
  cp.append(el("rect", { x: L, y: ax.top, width: plotW, height: plotH }));
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
  const mid = ((ax.top + ax.bottom) / 2).toFixed(1),
    xName = what.x + unitText(xt.unit),
    yName = what.y + unitText(yt.unit);
  gx.append(el("text", { x: (L + W - R) / 2, y: ax.bottom + 2 * font + 18, "text-anchor": "middle" }, xName));
  gy.append(el("text", { x: font, y: mid, "text-anchor": "middle", transform: `rotate(-90 ${font} ${mid})` }, yName));
  const frame = el("rect", { class: "frame", x: L, y: ax.top, width: plotW, height: plotH }),
    title = el("text", { class: "title", x: L, y: ax.top - 10 }, what.title);
  g.replaceChildren(cp, frame, el("path", { class: "grid", d: grid }), gx, gy, title);
  if (ax.ylim[0] < 0 && ax.ylim[1] > 0)
    g.append(el("line", { class: "axis", x1: L, x2: W - R, y1: ax.py(0), y2: ax.py(0) }));
}
