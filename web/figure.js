// The figure: f, the step's polynomials, the nodes as handles, and below,
// the error of the step's polynomial.  It draws what core/plot.js gives,
// at the width it is told.

import { linspace, minus, root, show, superscript, ticks } from "./core/numbers.js";
import {
  SAMPLES,
  ULP,
  curvesOf,
  drawable,
  errorCurve,
  fOf,
  figureDescription,
  layout,
  nodeLabels,
  panel,
  sample,
  topRanges,
  zoomOf,
} from "./core/plot.js";
import { entryName, weight } from "./core/sentences.js";
import { SVG, el, h } from "./dom.js";

/** @typedef {import("./core/sweep.js").Model} Model */
/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/plot.js").Curve} Curve */
/** @typedef {import("./core/plot.js").Panel} Panel */
/** @typedef {import("./core/plot.js").Ranges} Ranges */
/**
 * What the figure is drawn into.
 * @typedef {object} FigureView
 * @property {SVGSVGElement} svg with a g.plot and a g.handles
 * @property {HTMLElement} legend
 * @property {HTMLElement} caption
 */

let FONT = 13; // px, as the page's style sets the figure's text: the figure is drawn at the size it is shown

/**
 * A polyline through the finite points, broken where a value is not, and
 * kept within reach of the panel (the clip path does the rest).
 * @param {Panel} ax
 * @param {number[][]} points
 * @param {string} cls
 * @param {string} clip
 */
function polylines(ax, points, cls, clip) {
  /** @type {SVGElement[]} */
  const out = [];
  /** @type {string[]} */
  let run = [];
  const flush = () => {
    if (run.length > 1) out.push(el("polyline", { class: cls, points: run.join(" "), "clip-path": `url(#${clip})` }));
    run = [];
  };
  for (const [a, b] of points) {
    const X = ax.px(a),
      Y = ax.py(b);
    if (!Number.isFinite(X) || !Number.isFinite(Y)) {
      flush();
      continue;
    }
    run.push(`${Math.max(-1e4, Math.min(1e4, X)).toFixed(1)},${Math.max(-1e4, Math.min(1e4, Y)).toFixed(1)}`);
  }
  flush();
  return out;
}

// Frame, grid and labels, each axis with at most as many labels as fit;
// kept while they stay the same, as the top panel's do during a drag.
/** @type {Map<string, {key: string, nodes: ChildNode[]}>} */
const frames = new Map();
/**
 * @param {SVGElement} g
 * @param {Panel} ax
 * @param {string} xlabel
 * @param {string} ylabel
 * @param {string} title
 * @param {string} clip
 */
function frame(g, ax, xlabel, ylabel, title, clip) {
  const key = [ax.box.W, ax.xlim, ax.ylim, ax.top, xlabel, ylabel, title].join();
  const kept = frames.get(clip);
  if (kept?.key === key) return g.append(...kept.nodes);
  const made = document.createDocumentFragment();
  drawFrame(made, ax, xlabel, ylabel, title, clip);
  frames.set(clip, { key, nodes: [...made.childNodes] });
  g.append(made);
}
/**
 * @param {DocumentFragment} g
 * @param {Panel} ax
 * @param {string} xlabel
 * @param {string} ylabel
 * @param {string} title
 * @param {string} clip
 */
function drawFrame(g, ax, xlabel, ylabel, title, clip) {
  const { W, L, R } = ax.box,
    plotW = W - L - R,
    plotH = ax.bottom - ax.top;
  const widest = (/** @type {ReturnType<typeof ticks>} */ t) =>
    Math.max(...t.ticks.map((k) => k.label.length)) * FONT * 0.62 + 14;
  const [xlo, xhi] = [Math.min(...ax.xlim), Math.max(...ax.xlim)];
  let xt = ticks(xlo, xhi, 9);
  for (let most = 8; most >= 2 && xt.ticks.length * widest(xt) > plotW; most--) {
    xt = ticks(xlo, xhi, most);
  }
  const yt = ticks(ax.ylim[0], ax.ylim[1], Math.max(2, Math.min(8, Math.floor(plotH / (FONT * 2.5)))));
  const cp = el("clipPath", { id: clip });
  cp.append(el("rect", { x: L, y: ax.top, width: plotW, height: plotH }));
  g.append(cp, el("rect", { class: "frame", x: L, y: ax.top, width: plotW, height: plotH }));
  let grid = "";
  for (const t of xt.ticks) {
    const x = ax.px(t.value).toFixed(1);
    grid += `M${x} ${ax.top}V${ax.bottom}`;
    g.append(el("text", { class: "tick", x, y: ax.bottom + FONT + 12, "text-anchor": "middle" }, t.label));
  }
  for (const t of yt.ticks) {
    const y = ax.py(t.value).toFixed(1);
    grid += `M${L} ${y}H${W - R}`;
    g.append(el("text", { class: "tick", x: L - 6, y: (+y + FONT / 3).toFixed(1), "text-anchor": "end" }, t.label));
  }
  g.append(el("path", { class: "grid", d: grid }));
  const unit = (/** @type {number} */ u) => (u ? `  [×10${superscript(u)}]` : "");
  g.append(
    el("text", { x: (L + W - R) / 2, y: ax.bottom + 2 * FONT + 18, "text-anchor": "middle" }, xlabel + unit(xt.unit)),
  );
  const mid = ((ax.top + ax.bottom) / 2).toFixed(1);
  g.append(
    el(
      "text",
      { x: FONT, y: mid, "text-anchor": "middle", transform: `rotate(-90 ${FONT} ${mid})` },
      ylabel + unit(yt.unit),
    ),
  );
  g.append(el("text", { class: "title", x: L, y: ax.top - 10 }, title));
  if (ax.ylim[0] < 0 && ax.ylim[1] > 0) {
    g.append(el("line", { class: "axis", x1: L, x2: W - R, y1: ax.py(0), y2: ax.py(0) }));
  }
}

/**
 * The figure of r at a width, with the top panel's ranges frozen while a node is dragged.
 * @param {FigureView} v
 * @param {Model} m
 * @param {Result} r
 * @param {{width: number, frozen: Ranges | null, font: number}} opts
 */
export function drawFigure(v, m, r, { width, frozen, font }) {
  FONT = font;
  const svg = v.svg,
    box = layout(width),
    fx = fOf(m);
  svg.setAttribute("viewBox", `0 0 ${box.W} ${box.H}`);
  svg.setAttribute("width", String(box.W));
  svg.setAttribute("height", String(box.H));
  const g = /** @type {SVGElement} */ (svg.querySelector(".plot")),
    upper = el("g", { class: "panel" }),
    lower = el("g", { class: "panel" });
  const ranges = frozen ?? topRanges(m, r);
  const top = panel(box, ranges.xlim, ranges.ylim, box.top);
  // the long titles where they fit: the longest is some 61 characters
  const narrow = box.W < 42 * FONT;
  frame(
    upper,
    top,
    "x",
    "y = f(x) = e⁻²ˣ − x",
    narrow ? "f and x = P(y)" : "f and the inverse polynomials x = P(y)",
    "clip-top",
  );
  const curves = curvesOf(r);
  upper.append(
    ...polylines(
      top,
      linspace(ranges.xlim[0], ranges.xlim[1], SAMPLES).map((x) => [x, fx(x)]),
      "f",
      "clip-top",
    ),
  );
  const ys = linspace(ranges.ylim[0], ranges.ylim[1], SAMPLES),
    pixel = (ranges.xlim[1] - ranges.xlim[0]) / (box.W - box.L - box.R);
  // a polynomial is drawn only where rounding moves it by less than a pixel: elsewhere its line would be rounding
  const kept = sample(m, r, curves, ys).map((xs, k) => drawable(r, curves[k], ys, xs, pixel));
  kept.forEach(({ xs }, k) => {
    upper.append(
      ...polylines(
        top,
        xs.map((x, n) => [x, ys[n]]),
        curves[k].cls,
        "clip-top",
      ),
    );
  });
  // the nodes' names, as the tableau's rows and the sentences give them
  for (const { text, X, Y } of nodeLabels(r.pts.map((q) => ({ X: top.px(q.x), Y: top.py(q.y) })))) {
    if (Y > top.top + FONT && Y < top.bottom) {
      upper.append(el("text", { class: "node-label", x: (X + 9).toFixed(1), y: (Y - 9).toFixed(1) }, text));
    }
  }
  const current = curves[0],
    value = current ? r.Q[current.i][current.j] : NaN;
  if (current && Number.isFinite(value)) {
    upper.append(
      el("circle", {
        class: "p",
        cx: top.px(value).toFixed(1),
        cy: top.py(0).toFixed(1),
        r: 6,
        "clip-path": "url(#clip-top)",
      }),
    );
  }

  // Below: the error of the step's polynomial against the true inverse g.
  const err = errorCurve(m, r, current);
  // y falls to the right, as f does above: both panels run in the sense of x
  const bottom = panel(box, [err.span[1], err.span[0]], err.ylim, box.bottom);
  const title = !current
    ? "The error, once a step is taken"
    : narrow
      ? `The error of ${entryName(current.i, current.j)}'s P`
      : `The error of ${entryName(current.i, current.j)}'s polynomial against the true inverse g`;
  if (current) {
    frame(
      lower,
      bottom,
      narrow ? "y, falling as x grows" : "y, falling to the right as f does above",
      err.unit === 1 ? "P(y) − g(y)" : "P(y) − g(y), in ulps",
      title,
      "clip-bottom",
    );
  } else {
    // no polynomial yet, so no scale: an empty frame, with no axes to read
    const plotW = box.W - box.L - box.R;
    lower.append(
      el("rect", { class: "frame", x: box.L, y: bottom.top, width: plotW, height: bottom.bottom - bottom.top }),
      el("text", { class: "title", x: box.L, y: bottom.top - 10 }, title),
    );
  }
  // rounding's band, where the error is within it: what rounding alone can do, not the method's error
  if (err.rounding !== "none") {
    const clamp = (/** @type {number} */ v) => Math.max(-1e4, Math.min(1e4, v)).toFixed(1);
    const edge = (/** @type {number} */ s) =>
      err.band
        .filter(([, b]) => Number.isFinite(b))
        .map(([y, b]) => `${clamp(bottom.px(y))},${clamp(bottom.py(s * b))}`);
    lower.append(
      el("polygon", {
        class: "band",
        points: [...edge(1), ...edge(-1).reverse()].join(" "),
        "clip-path": "url(#clip-bottom)",
      }),
    );
  }
  if (err.rounding !== "all" && err.rounding !== "decided" && !err.points.some(([, e]) => Number.isFinite(e))) {
    // above the zero line, where the nodes' marks sit
    lower.append(
      el(
        "text",
        { x: (box.L + box.W - box.R) / 2, y: bottom.top + 2 * FONT, "text-anchor": "middle" },
        current
          ? `${entryName(current.i, current.j)} is ${show(value)}: there is no curve to draw`
          : narrow
            ? "Take a step to see its error"
            : "Take a step to see a polynomial and its error",
      ),
    );
  }
  lower.append(...polylines(bottom, err.points, "err", "clip-bottom"));
  const said = roundingSaid(err);
  if (said) {
    lower.append(
      el("text", { class: "rounding", x: box.L + 8, y: bottom.top + FONT + 6 }, narrow ? said.short : said.text),
    );
  }
  for (const q of err.used) {
    lower.append(
      el("circle", { class: "node-mark", cx: bottom.px(q.y).toFixed(1), cy: bottom.py(0).toFixed(1), r: 4 }),
    );
  }
  if (current && Number.isFinite(value - root)) {
    lower.append(
      el("circle", {
        class: "p",
        cx: bottom.px(0).toFixed(1),
        cy: bottom.py((value - root) / err.unit).toFixed(1),
        r: 5,
        "clip-path": "url(#clip-bottom)",
      }),
    );
  }
  g.replaceChildren(upper, lower);
  drawHandles(/** @type {SVGElement} */ (svg.querySelector(".handles")), r, top, current);
  drawLegend(v.legend, curves, value, r, kept, err);
  v.caption.textContent = figureDescription(r, curves);
}

/**
 * What the lower panel says of rounding, in full and for a narrow figure.
 * @param {ReturnType<typeof errorCurve>} err
 */
function roundingSaid(err) {
  if (err.rounding === "decided" || err.rounding === "all") {
    return {
      text: err.atRoot
        ? "Rounding: p is the root, and the error is within the shaded band"
        : "Rounding: the error is within the shaded band, what rounding can do",
      short: "Rounding: within the shaded band",
    };
  }
  if (err.atRoot)
    return {
      text: "At y = 0 the error is rounding: p is the root to within a few ulps",
      short: "p: the root, to rounding",
    };
  if (err.rounding === "some")
    return { text: "Shaded: rounding, where the error is within it", short: "Shaded: rounding" };
  return null;
}

/**
 * @param {HTMLElement} legend
 * @param {Curve[]} curves
 * @param {number} value
 * @param {Result} r
 * @param {ReturnType<typeof drawable>[]} kept what of each curve is drawn
 * @param {ReturnType<typeof errorCurve>} err
 */
function drawLegend(legend, curves, value, r, kept, err) {
  const item = (/** @type {string} */ cls, /** @type {string} */ text, mark = false) =>
    h("li", {}, swatch(cls, mark), text);
  const items = [item("f", "f(x) = e⁻²ˣ − x, through the nodes")];
  /** @type {Record<string, string>} */
  const role = {
    poly: ": the entry the step makes, in this colour in the tableau and on the line at y = 0",
    "poly-hi": ", one it combines: Q[i][j−1], in this colour in the tableau and on the line",
    "poly-lo": ", the other: Q[i−1][j−1], in this colour in the tableau and on the line",
  };
  for (const [k, c] of curves.entries()) {
    const { ruled, hidden } = kept[k];
    const drawn = !Number.isFinite(r.Q[c.i][c.j])
      ? ` (${show(r.Q[c.i][c.j])}: not drawn)`
      : ruled
        ? ` (not drawn: y${ruled.b} − y${ruled.a} is about ${Math.max(1, Math.round(ruled.gap))} unit${Math.round(ruled.gap) > 1 ? "s" : ""} of rounding, so rounding decides this polynomial)`
        : hidden
          ? " (drawn only where rounding moves it by less than a pixel)"
          : "";
    items.push(
      item(
        c.cls,
        `x = P(y) of ${c.name}` +
          (c === curves[0] && c.j === 1 ? " (a secant line)" : "") +
          (role[c.cls] ?? "") +
          drawn,
      ),
    );
  }
  const nodes = item("node", "the nodes (x", true);
  // what the nodes let you do, on screen only (print leaves it out, as it leaves out the hints)
  const play = h("span", { className: "on-screen" }, ": drag them, or move them with the keys");
  nodes.append(
    h("sub", {}, "k"),
    ", y",
    h("sub", {}, "k"),
    curves.length ? "), filled where the step's polynomial passes through them" : ")",
    play,
  );
  items.push(nodes);
  if (curves.length) {
    items.push(
      item("p", `where ${entryName(curves[0].i, curves[0].j)}'s polynomial meets y = 0: ${show(value)}`, true),
    );
    items.push(item("err", "below: that polynomial's error P(y) − g(y), zero at its nodes"));
    if (err.rounding !== "none")
      items.push(item("band", "below, shaded: what rounding alone can do; an error within it is not drawn"));
  }
  items.push(
    item("zoom-old", "on the line at y = 0: the entries made before, where their polynomials meet y = 0", true),
  );
  items.push(item("zoom-root", "on that line: the root"));
  legend.replaceChildren(...items);
}
function swatch(/** @type {string} */ cls, /** @type {boolean} */ mark) {
  const s = document.createElementNS(SVG, "svg");
  s.setAttribute("class", "swatch");
  s.setAttribute("viewBox", "0 0 28 12");
  s.setAttribute("aria-hidden", "true");
  s.append(
    mark
      ? el("circle", { class: cls, cx: 14, cy: 6, r: 4.5 })
      : el("line", { class: cls, x1: 1, x2: 27, y1: 6, y2: 6 }),
  );
  return s;
}

/**
 * The nodes as sliders: kept from one render to the next, so that focus
 * and a pointer's capture survive a change of the nodes.
 * @param {SVGElement} g
 * @param {Result} r
 * @param {Panel} top
 * @param {Curve | undefined} current
 */
function drawHandles(g, r, top, current) {
  while (g.children.length > r.pts.length) g.lastChild?.remove();
  while (g.children.length < r.pts.length) g.append(makeHandle(g.children.length));
  r.pts.forEach((q, k) => {
    const hdl = g.children[k],
      cx = top.px(q.x),
      cy = top.py(q.y);
    const inUse = current && k >= current.i - current.j && k <= current.i;
    const at = (/** @type {number} */ v) => (Number.isFinite(v) ? v : 0).toFixed(1);
    hdl.setAttribute("transform", `translate(${at(cx)} ${at(cy)})`);
    hdl.setAttribute("class", `handle${inUse ? " in-use" : ""}`);
    hdl.setAttribute("aria-valuenow", String(q.x));
    hdl.setAttribute("aria-valuetext", `x${k} = ${show(q.x)}, y${k} = ${show(q.y)}`);
    hdl.setAttribute("aria-label", `Node ${k}`);
  });
}
function makeHandle(/** @type {number} */ k) {
  const hdl = el("g", {
    role: "slider",
    tabindex: 0,
    "aria-valuemin": 0,
    "aria-valuemax": 1,
    "aria-orientation": "horizontal",
  });
  hdl.append(
    el("circle", { class: "hit", r: 16 }),
    el("circle", { class: "ring", r: 10 }),
    el("circle", { class: "dot", r: 6 }),
  );
  hdl.dataset.k = String(k);
  return hdl;
}

/**
 * The x under a pointer, in the top panel's scale, to 0.001, kept within
 * the plot (which lies within [0, 1]).
 * @param {SVGSVGElement} svg
 * @param {number} width the width the figure is drawn at
 * @param {Ranges} ranges the top panel's
 * @param {number} clientX
 */
export function xAt(svg, width, { xlim }, clientX) {
  const rect = svg.getBoundingClientRect(),
    box = layout(width);
  const scale = rect.width / box.W;
  const x = xlim[0] + (((clientX - rect.left) / scale - box.L) / (box.W - box.L - box.R)) * (xlim[1] - xlim[0]);
  return Math.round(Math.min(xlim[1], Math.max(xlim[0], x)) * 1000) / 1000;
}

/**
 * The line at y = 0, zoomed on the entries: each a point labelled as the
 * tableau labels it, the step's three in their roles' colours, the
 * weights of the step above, and the root marked.
 * @param {SVGSVGElement} svg
 * @param {Result} r
 * @param {number} width
 */
export function drawZoom(svg, r, width) {
  const z = zoomOf(r, width),
    { W, L, R } = layout(width),
    plotW = W - L - R;
  // the title's two halves on two lines where one would not fit
  const s = z.step,
    head = s ? `At y = 0: ${entryName(s.i, s.j)} =` : "At y = 0: the nodes, before any step",
    tail = s ? `${weight(s.hi)} · ${entryName(s.i, s.j - 1)} + ${weight(s.lo)} · ${entryName(s.i - 1, s.j - 1)}` : "",
    fits = (/** @type {string} */ text) => text.length * FONT * 0.66 <= W - 16,
    lines = fits(`${head} ${tail}`)
      ? [`${head} ${tail}`.trim()]
      : fits(tail)
        ? [head, tail]
        : [head, ...tail.split(/ (?=\+)/)];
  const rowH = 17,
    rows = Math.max(1, z.rows),
    line = 18 + lines.length * 16 + rows * rowH + 6,
    H = line + 48;
  svg.setAttribute("viewBox", `0 0 ${W} ${H}`);
  svg.setAttribute("width", String(W));
  svg.setAttribute("height", String(H));
  const px = (/** @type {number} */ x) => L + ((x - z.xlim[0]) / (z.xlim[1] - z.xlim[0])) * plotW;
  /** @type {SVGElement[]} */
  const out = lines.map((text, k) => el("text", { class: "title", x: 8, y: 16 + 16 * k }, text));
  out.push(el("line", { class: "axis", x1: L, x2: W - R, y1: line, y2: line }));
  // within a thousand ulps of the root, the axis counts ulps from it: its digits would all be the root's
  const [a, b] = z.inUlps ? z.xlim.map((x) => (x - root) / ULP) : z.xlim;
  let t = ticks(a, b, 6);
  for (
    let most = 5;
    most >= 2 && t.ticks.length * (Math.max(...t.ticks.map((k) => k.label.length)) * FONT * 0.62 + 14) > plotW;
    most--
  ) {
    t = ticks(a, b, most);
  }
  // whole ulps only: there is no double between two neighbours
  for (const k of t.ticks.filter((k) => !z.inUlps || Number.isInteger(k.value))) {
    const x = (L + ((k.value - a) / (b - a)) * plotW).toFixed(1);
    out.push(el("line", { class: "axis", x1: x, x2: x, y1: line, y2: line + 5 }));
    const label = z.inUlps ? minus(String(k.value)) : k.label;
    out.push(el("text", { class: "tick", x, y: line + FONT + 8, "text-anchor": "middle" }, label));
  }
  const unit = t.unit ? `  [×10${superscript(t.unit)}]` : "";
  out.push(
    el(
      "text",
      { x: (L + W - R) / 2, y: line + 2 * FONT + 16, "text-anchor": "middle" },
      z.inUlps ? "x − root, in ulps" : `x${unit}`,
    ),
  );
  const rx = px(root).toFixed(1);
  out.push(el("line", { class: "zoom-root", x1: rx, x2: rx, y1: line - 12, y2: line + 12 }));
  // the earlier entries first, so that the step's three are drawn over them
  const order = { old: 0, lo: 1, hi: 2, new: 3 };
  for (const q of [...z.points].sort((a, b) => order[a.role] - order[b.role])) {
    const x = px(q.x);
    if (q.row >= 0) {
      const y = line - 12 - q.row * rowH,
        lx = L + q.label;
      out.push(
        el("line", { class: `leader zoom-${q.role}`, x1: x.toFixed(1), x2: lx.toFixed(1), y1: line - 5, y2: y + 3 }),
      );
      out.push(el("text", { class: "zoom-label", x: lx.toFixed(1), y, "text-anchor": "middle" }, entryName(q.i, q.j)));
    }
    out.push(el("circle", { class: `zoom-${q.role}`, cx: x.toFixed(1), cy: line, r: q.role === "old" ? 3.5 : 5 }));
  }
  /** @type {SVGElement} */ (svg.querySelector(".plot")).replaceChildren(...out);
  return z;
}
