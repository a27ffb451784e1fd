// --- the figure: f, the step's polynomials, the nodes as handles, the error ---------

const SVG = "http://www.w3.org/2000/svg";
function el(name, attrs, text) {
  const e = document.createElementNS(SVG, name);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}
const SAMPLES = 80; // points a curve
const FONT = 13; // px: the figure is drawn at the size it is shown
let frozen = null; // the top panel's ranges while a node is dragged
let figureWidth = 720; // the figure's width in CSS pixels, as last measured

// The curves of a step: the entry's own polynomial and, from column 2 on,
// the two it combines.  At the start, none.
function curvesOf(r) {
  if (r.shown === 0) return [];
  const { i, j } = r.steps[r.shown - 1];
  const curve = (a, b, cls) => ({ i: a, j: b, cls, name: `${entryName(a, b)}: degree ${b} through the points ${a - b} … ${a}` });
  const out = [curve(i, j, "poly")];
  if (j >= 2) out.push(curve(i, j - 1, "poly-hi"), curve(i - 1, j - 1, "poly-lo"));
  return out;
}
// Each curve's x = P(y) at each y, from one sweep per y over the rows it needs.
function sample(r, curves, ys) {
  const rows = Math.max(0, ...curves.map((c) => c.i)) + 1;
  const out = curves.map(() => []);
  for (const y of ys) {
    const Q = sweep(y, r.pts, rows);
    curves.forEach((c, k) => out[k].push(Q[c.i][c.j]));
  }
  return out;
}
const linspace = (lo, hi, n) => Array.from({ length: n + 1 }, (_, k) => lo + ((hi - lo) * k) / n);

function layout(width) {
  const W = Math.round(Math.min(720, Math.max(280, width)));
  const L = 62, R = 26, top = 30, topH = Math.round(Math.min(300, Math.max(190, W * 0.42)));
  const gap = 86, bottomH = Math.round(Math.min(170, Math.max(120, W * 0.24)));
  return { W, L, R, top: [top, top + topH], bottom: [top + topH + gap, top + topH + gap + bottomH], H: top + topH + gap + bottomH + 52 };
}
function panel(box, xlim, ylim, [top, bottom]) {
  const px = (x) => box.L + ((x - xlim[0]) / (xlim[1] - xlim[0])) * (box.W - box.L - box.R);
  const py = (y) => bottom - ((y - ylim[0]) / (ylim[1] - ylim[0])) * (bottom - top);
  return { px, py, top, bottom, xlim, ylim, box };
}
// A polyline through the finite points, broken where a value is not, and
// kept within reach of the panel (the clip path does the rest).
function polylines(ax, points, cls, clip) {
  const out = [];
  let run = [];
  const flush = () => {
    if (run.length > 1) out.push(el("polyline", { class: cls, points: run.join(" "), "clip-path": `url(#${clip})` }));
    run = [];
  };
  for (const [a, b] of points) {
    const X = ax.px(a), Y = ax.py(b);
    if (!Number.isFinite(X) || !Number.isFinite(Y)) { flush(); continue; }
    run.push(`${Math.max(-1e4, Math.min(1e4, X)).toFixed(1)},${Math.max(-1e4, Math.min(1e4, Y)).toFixed(1)}`);
  }
  flush();
  return out;
}
// Frame, grid and labels, each axis with at most as many labels as fit;
// kept while they stay the same, as the top panel's do during a drag.
const frames = new Map();
function frame(g, ax, xlabel, ylabel, title, clip) {
  const key = [ax.box.W, ax.xlim, ax.ylim, ax.top, xlabel, ylabel, title].join();
  if (frames.get(clip)?.key === key) return g.append(...frames.get(clip).nodes);
  const made = document.createDocumentFragment();
  drawFrame(made, ax, xlabel, ylabel, title, clip);
  frames.set(clip, { key, nodes: [...made.childNodes] });
  g.append(made);
}
function drawFrame(g, ax, xlabel, ylabel, title, clip) {
  const { W, L, R } = ax.box, plotW = W - L - R, plotH = ax.bottom - ax.top;
  const widest = (t) => Math.max(...t.ticks.map((k) => k.label.length)) * FONT * 0.62 + 14;
  let xt = ticks(ax.xlim[0], ax.xlim[1], 9);
  for (let most = 8; most >= 2 && xt.ticks.length * widest(xt) > plotW; most--) xt = ticks(ax.xlim[0], ax.xlim[1], most);
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
  const unit = (u) => (u ? `  [×10${superscript(u)}]` : "");
  g.append(el("text", { x: (L + W - R) / 2, y: ax.bottom + 2 * FONT + 18, "text-anchor": "middle" }, xlabel + unit(xt.unit)));
  const mid = ((ax.top + ax.bottom) / 2).toFixed(1);
  g.append(el("text", { x: FONT, y: mid, "text-anchor": "middle", transform: `rotate(-90 ${FONT} ${mid})` }, ylabel + unit(yt.unit)));
  g.append(el("text", { class: "title", x: L, y: ax.top - 10 }, title));
  if (ax.ylim[0] < 0 && ax.ylim[1] > 0) g.append(el("line", { class: "axis", x1: L, x2: W - R, y1: ax.py(0), y2: ax.py(0) }));
}
const fx = (x) => calc.exp(-2.0 * x) - x;

function topRanges(r) {
  const xs = r.pts.map((q) => q.x).concat(Number.isFinite(r.p) ? [r.p] : []);
  // rounded out to hundredths, so that a small move keeps the axes
  const lo = Math.min(...xs), hi = Math.max(...xs), pad = Math.max(0.03, (hi - lo) * 0.12);
  const down = (v) => Math.floor(v * 100) / 100, up = (v) => Math.ceil(v * 100) / 100;
  const xlim = [Math.max(0, down(lo - pad)), Math.min(1, up(hi + pad))];
  const ylo = Math.min(fx(xlim[1]), 0), yhi = Math.max(fx(xlim[0]), 0), ypad = (yhi - ylo) * 0.06;
  return { xlim, ylim: [down(ylo - ypad), up(yhi + ypad)] };
}

function drawFigure(r) {
  const svg = $("figure"), box = layout(figureWidth);
  svg.setAttribute("viewBox", `0 0 ${box.W} ${box.H}`);
  svg.setAttribute("width", box.W);
  svg.setAttribute("height", box.H);
  const g = svg.querySelector(".plot"), upper = el("g", { class: "panel" }), lower = el("g", { class: "panel" });
  let parts = upper;
  const ranges = frozen ?? topRanges(r);
  const top = panel(box, ranges.xlim, ranges.ylim, box.top);
  const narrow = box.W < 480;
  frame(parts, top, "x", "y = f(x) = e⁻²ˣ − x", narrow ? "f and x = P(y)" : "f and the inverse polynomials x = P(y)", "clip-top");
  const curves = curvesOf(r);
  parts.append(...polylines(top, linspace(ranges.xlim[0], ranges.xlim[1], SAMPLES).map((x) => [x, fx(x)]), "f", "clip-top"));
  const ys = linspace(ranges.ylim[0], ranges.ylim[1], SAMPLES);
  sample(r, curves, ys).forEach((xs, k) => {
    parts.append(...polylines(top, xs.map((x, m) => [x, ys[m]]), curves[k].cls, "clip-top"));
  });
  const current = curves[0], value = current && r.Q[current.i][current.j];
  if (current && Number.isFinite(value)) {
    parts.append(el("circle", { class: "p", cx: top.px(value).toFixed(1), cy: top.py(0).toFixed(1), r: 6, "clip-path": "url(#clip-top)" }));
  }

  // Bottom: the error of the step's polynomial against the true inverse g.
  parts = lower;
  const used = current ? r.pts.slice(current.i - current.j, current.i + 1) : [];
  const yv = used.map((q) => q.y).filter(Number.isFinite).concat([0]);
  const spread = Math.max(...yv) - Math.min(...yv), span = [Math.min(...yv) - spread * 0.08 - 0.01, Math.max(...yv) + spread * 0.08 + 0.01];
  // sampled along x, where g(f(x)) = x needs no inversion: P(f(x)) - x
  const exs = linspace(inverse(span[1]), inverse(span[0]), SAMPLES), eys = exs.map(fx);
  const errs = current ? sample(r, [current], eys)[0].map((x, k) => x - exs[k]) : [];
  const fin = errs.filter(Number.isFinite).concat([0]);
  let elo = Math.min(...fin), ehi = Math.max(...fin);
  if (!(ehi > elo)) { elo = -1e-15; ehi = 1e-15; }
  const epad = (ehi - elo) * 0.08;
  const bottom = panel(box, span, [elo - epad, ehi + epad], box.bottom);
  const title = !current ? "The error, once a step is taken" : narrow ? `The error of ${entryName(current.i, current.j)}'s P`
    : `The error of ${entryName(current.i, current.j)}'s polynomial against the true inverse g`;
  frame(parts, bottom, "y", "P(y) − g(y)", title, "clip-bottom");
  if (!errs.some(Number.isFinite)) {
    // above the zero line, where the nodes' marks sit
    parts.append(el("text", { x: (box.L + box.W - box.R) / 2, y: bottom.top + 2 * FONT, "text-anchor": "middle" },
      current ? `${entryName(current.i, current.j)} is ${show(value)}: there is no curve to draw` : "Take a step to see a polynomial and its error"));
  }
  parts.append(...polylines(bottom, errs.map((e, k) => [eys[k], e]), "err", "clip-bottom"));
  for (const q of used) parts.append(el("circle", { class: "node-mark", cx: bottom.px(q.y).toFixed(1), cy: bottom.py(0).toFixed(1), r: 4 }));
  if (current && Number.isFinite(value - root)) {
    parts.append(el("circle", { class: "p", cx: bottom.px(0).toFixed(1), cy: bottom.py(value - root).toFixed(1), r: 5, "clip-path": "url(#clip-bottom)" }));
  }
  g.replaceChildren(upper, lower);
  drawHandles(r, top, current);
  drawLegend(curves, value, r);
  $("figure-desc").textContent = `${r.pts.length} nodes from x = ${show(Math.min(...r.pts.map((q) => q.x)))} to ` +
    `${show(Math.max(...r.pts.map((q) => q.x)))}. ` + (current
    ? `Shown: ${curves.map((c) => c.name).join("; ")}. ${entryName(current.i, current.j)} = ${show(value)}, ` +
      `${sci(value - root, 2)} from the root.`
    : "No step taken yet: f and the nodes only.");
}

function drawLegend(curves, value, r) {
  const item = (cls, text, mark) => h("li", {}, swatch(cls, mark), text);
  const items = [item("f", "f(x) = e⁻²ˣ − x, through the nodes")];
  for (const c of curves) {
    const drawn = Number.isFinite(r.Q[c.i][c.j]) ? "" : ` (${show(r.Q[c.i][c.j])}: not drawn)`;
    items.push(item(c.cls, `x = P(y) of ${c.name}` + (c === curves[0] && c.j === 1 ? " (a secant line)" : "") + drawn));
  }
  items.push(item("node", "the nodes (x", true));
  // what the nodes let you do, on screen only (print leaves it out, as it leaves out the hints)
  const play = h("span", { className: "on-screen" }, ": drag them, or move them with the keys");
  items[items.length - 1].append(sub("k"), ", y", sub("k"), curves.length ? "), filled where the step's polynomial passes" +
    " through them" : ")", play);
  if (curves.length) {
    items.push(item("p", `where ${entryName(curves[0].i, curves[0].j)}'s polynomial meets y = 0: ${show(value)}`, true));
    items.push(item("err", "below: that polynomial's error P(y) − g(y), zero at its nodes"));
  }
  $("legend").replaceChildren(...items);
}
function swatch(cls, mark) {
  const s = document.createElementNS(SVG, "svg");
  s.setAttribute("class", "swatch");
  s.setAttribute("viewBox", "0 0 28 12");
  s.setAttribute("aria-hidden", "true");
  s.append(mark ? el("circle", { class: cls, cx: 14, cy: 6, r: 4.5 }) : el("line", { class: cls, x1: 1, x2: 27, y1: 6, y2: 6 }));
  return s;
}

// The nodes as sliders: kept from one render to the next, so that focus
// and a pointer's capture survive a change of the nodes.
function drawHandles(r, top, current) {
  const g = $("figure").querySelector(".handles");
  while (g.children.length > r.pts.length) g.lastChild.remove();
  while (g.children.length < r.pts.length) g.append(makeHandle(g.children.length));
  r.pts.forEach((q, k) => {
    const hdl = g.children[k], cx = top.px(q.x), cy = top.py(q.y);
    const inUse = current && k >= current.i - current.j && k <= current.i;
    hdl.setAttribute("transform", `translate(${(Number.isFinite(cx) ? cx : 0).toFixed(1)} ${(Number.isFinite(cy) ? cy : 0).toFixed(1)})`);
    hdl.setAttribute("class", `handle${inUse ? " in-use" : ""}`);
    hdl.setAttribute("aria-valuenow", String(q.x));
    hdl.setAttribute("aria-valuetext", `x${k} = ${show(q.x)}, y${k} = ${show(q.y)}`);
    hdl.setAttribute("aria-label", `Node ${k}`);
  });
}
function makeHandle(k) {
  const hdl = el("g", { role: "slider", tabindex: 0, "aria-valuemin": 0, "aria-valuemax": 1, "aria-orientation": "horizontal" });
  hdl.append(el("circle", { class: "hit", r: 16 }), el("circle", { class: "ring", r: 10 }), el("circle", { class: "dot", r: 6 }));
  hdl.dataset.k = String(k);
  return hdl;
}
// The x under a pointer, in the frozen top panel's scale, to 0.001.
function xAt(clientX) {
  const svg = $("figure"), rect = svg.getBoundingClientRect(), box = layout(figureWidth);
  const scale = rect.width / box.W, { xlim } = frozen ?? topRanges(result);
  const x = xlim[0] + ((clientX - rect.left) / scale - box.L) / (box.W - box.L - box.R) * (xlim[1] - xlim[0]);
  // kept within the plot, which lies within [0, 1]
  return Math.round(Math.min(xlim[1], Math.max(xlim[0], x)) * 1000) / 1000;
}
