// The idea in one picture: f's graph with the nodes, and beside it the same
// points with the axes swapped, x = g(y), the root ringed in both at y = 0.
// Drawn as data (shapes.js) into the page when it is built.

import { linspace } from "./core/numbers.js";
import { nodeName } from "./core/sentences/parts.js";

/** @typedef {import("./shapes.js").Shape} Shape */
/** @typedef {{X: (a: number) => number, Y: (b: number) => number}} Scales a panel's pixels */

/** @param {import("./core/sweep.js").Result} r @returns {import("./shapes.js").Drawing} */
export function swapDrawing(r) {
  // each panel's size, and the room around it for its labels
  const [w, h, pad, gap] = [170, 130, 34, 40];
  const xs = r.pts.map((q) => q.x),
    f = r.fn.f.wasm,
    root = r.fn.root?.hi ?? NaN;
  const lo = Math.min(...xs),
    hi = Math.max(...xs),
    margin = (hi - lo) * 0.15 || 0.05;
  const xlim = [lo - margin, hi + margin],
    curve = linspace(xlim[0], xlim[1], 40).map((x) => [x, f(x)]);
  const ys = [...curve.map(([, y]) => y).filter(Number.isFinite), 0],
    ylim = [Math.min(...ys), Math.max(...ys)];
  // an f with no finite value but 0 over the window (it overflows, or is 0) still needs a frame
  if (!(ylim[1] > ylim[0])) ylim.splice(0, 2, ylim[0] - 1, ylim[1] + 1);
  /** @returns {Scales} `a` along the panel, `b` up it */
  const panel = (/** @type {number} */ left, /** @type {number[]} */ alim, /** @type {number[]} */ blim) => ({
    X: (a) => left + ((a - alim[0]) / (alim[1] - alim[0])) * w,
    Y: (b) => pad + h - ((b - blim[0]) / (blim[1] - blim[0])) * h,
  });
  const left = panel(pad, xlim, ylim), // y = f(x)
    right = panel(pad + w + gap, ylim, xlim); // x = g(y)

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
  if (root > xlim[0] && root < xlim[1])
    points.push(dot(left.X(root), left.Y(0), "root"), dot(right.X(0), right.Y(root), "root"));
  const g = curve.map(([x, y]) => [y, x]);
  const curves = [
    line(`M${left.X(xlim[0])} ${left.Y(0)}H${left.X(xlim[1])}`, "axis"),
    line(`M${right.X(0)} ${pad}V${pad + h}`, "axis"),
    line(path(left, curve), "f"),
    line(path(right, g), "g"),
  ];
  const labels = [
    label(left.X(xlim[1]), left.Y(0) - 6, "x", "axis-name end"),
    label(left.X(xlim[0]), pad - 10, "y = f(x)", "axis-name"),
    // beside g's axis, on the side with room for it
    right.X(0) > right.X((ylim[0] + ylim[1]) / 2)
      ? label(right.X(0) - 6, pad - 10, "x = g(y)", "axis-name end")
      : label(right.X(0) + 6, pad - 10, "x = g(y)", "axis-name"),
    // at the axis's end, or past the 0 where that is its end too
    right.X(ylim[1]) - right.X(0) < 20
      ? label(right.X(0) + 12, pad + h + 18, "y", "axis-name")
      : label(right.X(ylim[1]), pad + h + 18, "y", "axis-name end"),
    label(right.X(0), pad + h + 18, "0", "axis-name middle"),
  ];
  const names = r.pts.length > 4 ? [] : namesOf(r.pts.map((q) => [left.X(q.x), left.Y(q.y)]));
  return {
    width: 2 * (w + pad) + gap,
    height: h + 2 * pad,
    layers: [
      ["curves", curves],
      ["labels", labels],
      ["nodes", points.filter((s) => Number.isFinite(Number(s.attrs.cx)) && Number.isFinite(Number(s.attrs.cy)))],
      ["names", names.map(([X, Y, t]) => label(X + 5, Y - 5, t, "node-label"))],
    ],
  };
}

/** The nodes' names at their places; nodes closer than a name's width share one label, "x2, x3", at the first. */
function namesOf(/** @type {number[][]} */ at) {
  /** @type {[number, number, string][]} */
  const out = [];
  at.forEach(([X, Y], k) => {
    const near = out.find(([x, y]) => Math.abs(x - X) < 24 && Math.abs(y - Y) < 14);
    if (near) near[2] += `, ${nodeName(k)}`;
    else if (Number.isFinite(X) && Number.isFinite(Y)) out.push([X, Y, nodeName(k)]);
  });
  return out;
}
