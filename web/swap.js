// The idea in one picture: f's graph with the nodes, and beside it the
// same points with the axes swapped, x = g(y), where the root is g's value
// at y = 0, ringed in both.  A drawing as data (shapes.js), drawn from the
// state's nodes, and written into the page when it is built, from the
// program's.

import { linspace } from "./core/numbers.js";
import { nodeName } from "./core/sentences/parts.js";
import { drawDrawing } from "./shapes.js";

/** @typedef {import("./core/sweep.js").Model} Model */
/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./shapes.js").Shape} Shape */
/** @typedef {import("./shapes.js").Drawing} Drawing */

/** Each panel's size in pixels, and the room around it for its labels. */
const SIZE = { w: 170, h: 130, pad: 34, gap: 40 };

/**
 * @param {Result} r
 * @returns {Drawing}
 */
export function swapDrawing(r) {
  const { w, h, pad, gap } = SIZE;
  const xs = r.pts.map((q) => q.x),
    f = r.fn.f.wasm,
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
  // an f with no finite value but 0 over the window (it overflows, or is 0) still has a frame to be drawn in
  if (!(ylim[1] > ylim[0])) ylim.splice(0, 2, ylim[0] - 1, ylim[1] + 1);
  // a panel's pixels: `a` along its horizontal axis, `b` up its vertical one
  const panel = (/** @type {number} */ left, /** @type {number[]} */ alim, /** @type {number[]} */ blim) => ({
    X: (/** @type {number} */ a) => left + ((a - alim[0]) / (alim[1] - alim[0])) * w,
    Y: (/** @type {number} */ b) => pad + h - ((b - blim[0]) / (blim[1] - blim[0])) * h,
  });
  return {
    width: 2 * (w + pad) + gap,
    height: h + 2 * pad,
    layers: layersOf(r, panel(pad, xlim, ylim), panel(pad + w + gap, ylim, xlim), { xlim, ylim, curve, root }),
  };
}

/** @typedef {{X: (a: number) => number, Y: (b: number) => number}} Scales a panel's pixels */

/**
 * The picture's layers: both axes and curves, their labels, the nodes and
 * the root in both panels, and the nodes' names.
 * @param {Result} r
 * @param {Scales} left y = f(x)
 * @param {Scales} right x = g(y)
 * @param {{xlim: number[], ylim: number[], curve: number[][], root: number}} data
 * @returns {Drawing["layers"]}
 */
function layersOf(r, left, right, { xlim, ylim, curve, root }) {
  const { h, pad } = SIZE;
  const path = (/** @type {Scales} */ p, /** @type {number[][]} */ pts) =>
    pts
      .filter(([a, b]) => Number.isFinite(a) && Number.isFinite(b))
      .map(([a, b], k) => `${k ? "L" : "M"}${p.X(a).toFixed(1)} ${p.Y(b).toFixed(1)}`)
      .join("");
  /** @type {(d: string, cls: string) => Shape} */
  const line = (d, cls) => ({ name: "path", attrs: { d, class: cls } });
  /** @type {(x: number, y: number, t: string, cls: string) => Shape} */
  const label = (x, y, t, cls) => ({ name: "text", attrs: { x: x.toFixed(1), y: y.toFixed(1), class: cls }, text: t });
  /** @type {(X: number, Y: number, cls: string) => Shape} */
  const dot = (X, Y, cls) => ({
    name: "circle",
    attrs: { cx: X.toFixed(1), cy: Y.toFixed(1), class: cls, r: cls === "root" ? 5 : 3.5 },
  });
  const points = r.pts.flatMap((q) => [dot(left.X(q.x), left.Y(q.y), "node"), dot(right.X(q.y), right.Y(q.x), "node")]);
  // the root: where f meets y = 0, and g's value at y = 0
  if (root > xlim[0] && root < xlim[1])
    points.push(dot(left.X(root), left.Y(0), "root"), dot(right.X(0), right.Y(root), "root"));
  return [
    [
      "curves",
      [
        line(`M${left.X(xlim[0])} ${left.Y(0)}H${left.X(xlim[1])}`, "axis"),
        line(`M${right.X(0)} ${pad}V${pad + h}`, "axis"),
        line(path(left, curve), "f"),
        line(
          path(
            right,
            curve.map(([x, y]) => [y, x]),
          ),
          "g",
        ),
      ],
    ],
    [
      "labels",
      [
        label(left.X(xlim[1]), left.Y(0) - 6, "x", "axis-name end"),
        label(left.X(xlim[0]), pad - 10, "y = f(x)", "axis-name"),
        // beside g's axis, on the side with room for it
        right.X(0) > right.X((ylim[0] + ylim[1]) / 2)
          ? label(right.X(0) - 6, pad - 10, "x = g(y)", "axis-name end")
          : label(right.X(0) + 6, pad - 10, "x = g(y)", "axis-name"),
        // the axis's name at its end, or past the 0 where that is its end too
        right.X(ylim[1]) - right.X(0) < 20
          ? label(right.X(0) + 12, pad + h + 18, "y", "axis-name")
          : label(right.X(ylim[1]), pad + h + 18, "y", "axis-name end"),
        label(right.X(0), pad + h + 18, "0", "axis-name middle"),
      ],
    ],
    ["nodes", points.filter((s) => Number.isFinite(Number(s.attrs.cx)) && Number.isFinite(Number(s.attrs.cy)))],
    [
      "names",
      r.pts.length <= 4
        ? namesOf(r.pts.map((q) => [left.X(q.x), left.Y(q.y)])).map(([X, Y, t]) => label(X + 5, Y - 5, t, "node-label"))
        : [],
    ],
  ];
}

/**
 * The nodes' names where they are drawn: nodes closer than a name's width
 * share one label, "x2, x3", at the first of them.
 * @param {number[][]} at each node's place in pixels
 * @returns {[number, number, string][]}
 */
function namesOf(at) {
  /** @type {[number, number, string][]} */
  const out = [];
  at.forEach(([X, Y], k) => {
    const near = out.find(([x, y]) => Math.abs(x - X) < 24 && Math.abs(y - Y) < 14);
    if (near) near[2] += `, ${nodeName(k)}`;
    else if (Number.isFinite(X) && Number.isFinite(Y)) out.push([X, Y, nodeName(k)]);
  });
  return out;
}

/**
 * @param {SVGSVGElement} svg
 * @param {Result} r
 */
export function drawSwap(svg, r) {
  drawDrawing(svg, /** @type {SVGElement} */ (svg.querySelector(".plot")), swapDrawing(r));
}
