// The figure's lower panel: the step's polynomial's error against the true
// inverse g, its y axis turned as f's is above; rounding's band where the
// error is within it, the nodes used, and the value at y = 0.

import { lowerWords, roundingSaid } from "./core/sentences/figure.js";
import { el, join, set, text } from "./dom.js";
import { drawFrame } from "./axes.js";
import { at, panel } from "./frame.js";
import { drawCurves, layer, runs } from "./layers.js";

/** @param {SVGElement} g the panel's group @param {import("./frame.js").Box} box
 * @param {{current: import("./core/curves.js").Curve | undefined, value: number,
 *   err: import("./core/curves.js").Figure["err"], narrow: boolean, font: number, hidden: boolean}} what */
export function drawErrorPanel(g, box, { current, value, err, narrow, font, hidden }) {
  const ax = panel(box, err.falling ? [err.span[1], err.span[0]] : err.span, err.ylim, box.bottom);
  const words = lowerWords(current, value, err, hidden),
    pick = (/** @type {{long: string, short: string}} */ w) => (narrow ? w.short : w.long);
  const frame = layer(g, "frame"),
    title = pick(words.title),
    bare = `bare ${box.W} ${ax.top} ${title}`;
  if (current) drawFrame(frame, ax, { x: pick(words.x), y: words.y, title, clip: "clip-bottom", font });
  // before the first step there is no polynomial, so no scale: only the frame and its title
  else if (frame.dataset.key !== bare) {
    frame.dataset.key = bare;
    frame.replaceChildren(
      el("rect", { class: "frame", x: box.L, y: ax.top, width: box.W - box.L - box.R, height: ax.bottom - ax.top }),
      el("text", { class: "title", x: box.L, y: ax.top - 10 }, title),
    );
  }
  join(
    layer(g, "band"),
    err.rounding === "none" ? [] : [err.band],
    () => el("polygon", { class: "band", "clip-path": "url(#clip-bottom)" }),
    (e, band) => {
      const edge = (/** @type {number} */ s) =>
        band.filter(([, b]) => Number.isFinite(b)).map(([y, b]) => `${at(ax.px(y))},${at(ax.py(s * b))}`);
      set(e, { points: [...edge(1), ...edge(-1).reverse()].join(" ") });
    },
  );
  const nothing =
    err.rounding !== "all" && err.rounding !== "decided" && !err.points.some(([, e]) => Number.isFinite(e));
  join(
    layer(g, "empty"),
    nothing ? [pick(words.empty)] : [],
    () => el("text", { "text-anchor": "middle" }),
    // above the zero line, where the nodes' marks sit
    (e, t) => text(set(e, { x: (box.L + box.W - box.R) / 2, y: ax.top + 2 * font }), t),
  );
  drawCurves(layer(g, "curve"), [{ cls: "err", runs: runs(ax, err.points) }], "clip-bottom");
  const said = roundingSaid(err);
  join(
    layer(g, "said"),
    said ? [pick(said)] : [],
    () => el("text", { class: "rounding" }),
    // in the half away from the zero line, where the nodes' marks and the curve near them lie
    (e, t) => {
      const zero = ax.py(0),
        low = Number.isFinite(zero) && zero < (ax.top + ax.bottom) / 2;
      text(set(e, { x: box.L + 8, y: low ? ax.bottom - 8 : ax.top + font + 6 }), t);
    },
  );
  join(
    layer(g, "nodes"),
    // a y that overflowed has no place on the axis
    err.used.filter((q) => Number.isFinite(q.y)),
    () => el("circle", { class: "node-mark", r: 4 }),
    (e, q) => set(e, { cx: ax.px(q.y).toFixed(1), cy: ax.py(0).toFixed(1) }),
  );
  join(
    layer(g, "p"),
    current && Number.isFinite(err.off) ? [err.off] : [],
    () => el("circle", { class: "p", r: 5, "clip-path": "url(#clip-bottom)" }),
    (e, d) => set(e, { cx: at(ax.px(0)), cy: at(ax.py(d / err.unit)) }),
  );
}
