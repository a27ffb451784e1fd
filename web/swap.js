// The idea in one picture: f's graph with the nodes, and beside it the
// same points with the axes swapped, x = g(y), where the root is g's value
// at y = 0.  Drawn from the state's nodes, at a fixed size.

import { linspace } from "./core/numbers.js";
import { fOf } from "./core/curves.js";
import { nodeName } from "./core/sentences/parts.js";
import { el, join, set, text } from "./dom.js";
import { layer } from "./layers.js";

/** @typedef {import("./core/sweep.js").Model} Model */
/** @typedef {import("./core/sweep.js").Result} Result */

/** Each panel's size in pixels, and the room around it for its labels. */
const SIZE = { w: 170, h: 130, pad: 34, gap: 40 };

/**
 * @param {SVGSVGElement} svg
 * @param {Model} m
 * @param {Result} r
 */
export function drawSwap(svg, m, r) {
  const { w, h, pad, gap } = SIZE,
    W = 2 * (w + pad) + gap,
    H = h + 2 * pad;
  set(svg, { viewBox: `0 0 ${W} ${H}`, width: W, height: H });
  const xs = r.pts.map((q) => q.x),
    f = fOf(m, r.fn),
    root = r.fn.root?.hi ?? NaN;
  const lo = Math.min(...xs),
    hi = Math.max(...xs),
    margin = (hi - lo) * 0.15 || 0.05;
  const xlim = [lo - margin, hi + margin],
    curve = linspace(xlim[0], xlim[1], 40).map((x) => [x, f(x)]);
  const ys = curve
      .map(([, y]) => y)
      .filter(Number.isFinite)
      .concat([0]),
    ylim = [Math.min(...ys), Math.max(...ys)];
  // a panel's pixels: `a` along its horizontal axis, `b` up its vertical one
  const panel = (/** @type {number} */ left, /** @type {number[]} */ alim, /** @type {number[]} */ blim) => ({
    X: (/** @type {number} */ a) => left + ((a - alim[0]) / (alim[1] - alim[0])) * w,
    Y: (/** @type {number} */ b) => pad + h - ((b - blim[0]) / (blim[1] - blim[0])) * h,
  });
  const left = panel(pad, xlim, ylim),
    right = panel(pad + w + gap, ylim, xlim);
  const path = (/** @type {typeof left} */ p, /** @type {number[][]} */ pts) =>
    pts
      .filter(([a, b]) => Number.isFinite(a) && Number.isFinite(b))
      .map(([a, b], k) => `${k ? "L" : "M"}${p.X(a).toFixed(1)} ${p.Y(b).toFixed(1)}`)
      .join("");
  const g = /** @type {SVGElement} */ (svg.querySelector(".plot"));
  join(
    layer(g, "frames"),
    [
      { d: `M${left.X(xlim[0])} ${left.Y(0)}H${left.X(xlim[1])}`, cls: "axis" },
      { d: `M${right.X(0)} ${pad}V${pad + h}`, cls: "axis" },
      { d: path(left, curve), cls: "f" },
      {
        d: path(
          right,
          curve.map(([x, y]) => [y, x]),
        ),
        cls: "g",
      },
    ],
    () => el("path", {}),
    (e, d) => set(e, { d: d.d, class: d.cls }),
  );
  /** @type {{x: number, y: number, t: string, cls: string}[]} */
  const labels = [
    { x: left.X(xlim[1]), y: left.Y(0) - 6, t: "x", cls: "axis-name end" },
    { x: left.X(xlim[0]), y: pad - 10, t: "y = f(x)", cls: "axis-name" },
    { x: right.X(0) + 6, y: pad - 10, t: "x = g(y)", cls: "axis-name" },
    { x: right.X(ylim[1]), y: pad + h + 18, t: "y", cls: "axis-name end" },
    { x: right.X(0), y: pad + h + 18, t: "0", cls: "axis-name middle" },
  ];
  join(
    layer(g, "labels"),
    labels,
    () => el("text", {}),
    (e, d) => text(set(e, { x: d.x.toFixed(1), y: d.y.toFixed(1), class: d.cls }), d.t),
  );
  const points = r.pts.flatMap((q) => [
    { X: left.X(q.x), Y: left.Y(q.y), cls: "node" },
    { X: right.X(q.y), Y: right.Y(q.x), cls: "node" },
  ]);
  // the root: where f meets y = 0, and g's value at y = 0
  if (root > xlim[0] && root < xlim[1])
    points.push({ X: left.X(root), Y: left.Y(0), cls: "root" }, { X: right.X(0), Y: right.Y(root), cls: "root" });
  join(
    layer(g, "nodes"),
    points.filter((q) => Number.isFinite(q.X) && Number.isFinite(q.Y)),
    () => el("circle", {}),
    (e, q) => set(e, { cx: q.X.toFixed(1), cy: q.Y.toFixed(1), class: q.cls, r: q.cls === "root" ? 5 : 3.5 }),
  );
  join(
    layer(g, "names"),
    r.pts.length <= 4 ? r.pts.map((q, k) => ({ X: left.X(q.x) + 5, Y: left.Y(q.y) - 5, t: nodeName(k) })) : [],
    () => el("text", { class: "node-label" }),
    (e, d) => text(set(e, { x: d.X.toFixed(1), y: d.Y.toFixed(1) }), d.t),
  );
}
