// The figure's numbers: its layout, the curves a step shows sampled
// through the program's own Qij, the ranges of both panels, and the error
// of the step's polynomial against the true inverse.  The figure module
// draws what these give; nothing here touches the DOM.

import { linspace, root, sci, show, ulpsFrom } from "./numbers.js";
import { NOISE, closestPair, inverse, roundingOf, sweep, weightsOf } from "./sweep.js";
import { entryName } from "./sentences.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {{i: number, j: number, cls: string, name: string}} Curve */
/** @typedef {{W: number, L: number, R: number, top: number[], bottom: number[], H: number}} Box */
/** @typedef {{xlim: number[], ylim: number[]}} Ranges */
/**
 * A panel's scales: data to pixels.
 * @typedef {object} Panel
 * @property {(x: number) => number} px
 * @property {(y: number) => number} py
 * @property {number} top
 * @property {number} bottom
 * @property {number[]} xlim
 * @property {number[]} ylim
 * @property {Box} box
 */

/** Points a curve. */
export const SAMPLES = 80;

/** The figure's frame at a width in CSS pixels: margins, both panels' heights and the whole height. */
export function layout(/** @type {number} */ width) {
  const W = Math.round(Math.min(720, Math.max(280, width)));
  const L = 62,
    R = 26,
    top = 30,
    topH = Math.round(Math.min(300, Math.max(190, W * 0.42)));
  const gap = 86,
    bottomH = Math.round(Math.min(170, Math.max(120, W * 0.24)));
  return {
    W,
    L,
    R,
    top: [top, top + topH],
    bottom: [top + topH + gap, top + topH + gap + bottomH],
    H: top + topH + gap + bottomH + 52,
  };
}
/**
 * @param {Box} box
 * @param {number[]} xlim
 * @param {number[]} ylim
 * @param {number[]} span the panel's top and bottom in pixels
 * @returns {Panel}
 */
export function panel(box, xlim, ylim, [top, bottom]) {
  const px = (/** @type {number} */ x) => box.L + ((x - xlim[0]) / (xlim[1] - xlim[0])) * (box.W - box.L - box.R);
  const py = (/** @type {number} */ y) => bottom - ((y - ylim[0]) / (ylim[1] - ylim[0])) * (bottom - top);
  return { px, py, top, bottom, xlim, ylim, box };
}

/** f(x) = e^(-2x) - x with the program's own exp. */
export const fOf = (/** @type {Model} */ m) => (/** @type {number} */ x) => m.program.exp(-2.0 * x) - x;

/**
 * The curves of a step: the entry's own polynomial and, from column 2 on,
 * the two it combines.  At the start, none.
 * @param {Result} r
 * @returns {Curve[]}
 */
export function curvesOf(r) {
  if (r.shown === 0) return [];
  const { i, j } = r.steps[r.shown - 1];
  const curve = (/** @type {number} */ a, /** @type {number} */ b, /** @type {string} */ cls) => ({
    i: a,
    j: b,
    cls,
    name: `${entryName(a, b)}: degree ${b} through the points ${a - b} … ${a}`,
  });
  const out = [curve(i, j, "poly")];
  if (j >= 2) out.push(curve(i, j - 1, "poly-hi"), curve(i - 1, j - 1, "poly-lo"));
  return out;
}
/**
 * Each curve's x = P(y) at each y, from one sweep per y over the rows it needs.
 * @param {Model} m
 * @param {Result} r
 * @param {Curve[]} curves
 * @param {number[]} ys
 */
export function sample(m, r, curves, ys) {
  const rows = Math.max(0, ...curves.map((c) => c.i)) + 1;
  /** @type {number[][]} */
  const out = curves.map(() => []);
  for (const y of ys) {
    const Q = sweep(m.program.Qij, y, r.pts, rows);
    curves.forEach((c, k) => out[k].push(Q[c.i][c.j]));
  }
  return out;
}

/**
 * The top panel's ranges: the nodes and p with a margin, rounded out to
 * hundredths, so that a small move keeps the axes.
 * @param {Model} m
 * @param {Result} r
 * @returns {Ranges}
 */
export function topRanges(m, r) {
  const fx = fOf(m);
  const xs = r.pts.map((q) => q.x).concat(Number.isFinite(r.p) ? [r.p] : []);
  const lo = Math.min(...xs),
    hi = Math.max(...xs),
    pad = Math.max(0.03, (hi - lo) * 0.12);
  const down = (/** @type {number} */ v) => Math.floor(v * 100) / 100,
    up = (/** @type {number} */ v) => Math.ceil(v * 100) / 100;
  const xlim = [Math.max(0, down(lo - pad)), Math.min(1, up(hi + pad))];
  const ylo = Math.min(fx(xlim[1]), 0),
    yhi = Math.max(fx(xlim[0]), 0),
    ypad = (yhi - ylo) * 0.06;
  return { xlim, ylim: [down(ylo - ypad), up(yhi + ypad)] };
}

/** A unit in the last place of the doubles in [0.25, 0.5), the root's: the lower panel's unit where it shows rounding. */
export const ULP = 2 ** -54;

/**
 * Whether rounding decides a curve's polynomial outright: two of its
 * nodes have y within NOISE units of the rounding their y are made of, so
 * their difference, which the sweep divides by, is rounding.  The pair
 * and its gap in those units, or null.
 * @param {Result} r
 * @param {Curve} c
 */
export function ruledByRounding(r, c) {
  const pts = r.pts.slice(c.i - c.j, c.i + 1),
    pair = closestPair(pts);
  return pair.gap < NOISE ? { a: pair.a + c.i - c.j, b: pair.b + c.i - c.j, gap: pair.gap } : null;
}

/**
 * How far rounding alone can move a curve's polynomial at y: each node's
 * x off by an ulp of it, and its y by a unit of the rounding it is made
 * of (moving the node along the curve, by that much over |f'| in x),
 * carried to y by the Lagrange basis, Λ(y) = Σ |ℓ_k(y)|, once for each of
 * the sweep's j + 1 roundings on the way.  Large where y is far from
 * nodes close to each other.
 * @param {Result} r
 * @param {Curve} c
 * @param {number} y
 */
export function roundingBand(r, c, y) {
  const pts = r.pts.slice(c.i - c.j, c.i + 1);
  let lambda = 0,
    delta = 0;
  for (const [k, q] of pts.entries()) {
    let l = 1;
    for (const [n, o] of pts.entries()) if (n !== k) l *= (y - o.y) / (q.y - o.y);
    lambda += Math.abs(l);
    delta = Math.max(delta, Number.EPSILON * Math.abs(q.x) + roundingOf(q) / (2 * (q.y + q.x) + 1));
  }
  return (c.j + 1) * lambda * delta;
}

/**
 * A curve's samples where rounding moves it by less than a pixel of the
 * top panel, NaN elsewhere (the figure breaks its line there); none where
 * rounding decides the polynomial outright.
 * @param {Result} r
 * @param {Curve} c
 * @param {number[]} ys
 * @param {number[]} xs the curve's x = P(y) at each y
 * @param {number} pixel the top panel's x per pixel
 */
export function drawable(r, c, ys, xs, pixel) {
  const ruled = ruledByRounding(r, c);
  const kept = xs.map((x, k) => (ruled === null && roundingBand(r, c, ys[k]) < pixel ? x : NaN));
  const hidden = kept.filter((x, k) => Number.isNaN(x) && Number.isFinite(xs[k])).length;
  return { xs: kept, ruled, hidden };
}

/**
 * The lower panel: the error of the step's polynomial against the true
 * inverse g, sampled along x, where g(f(x)) = x needs no inversion, over
 * the y of the nodes it uses and 0.  Where the error is within what
 * rounding alone can do (three times the band, the band being an
 * estimate), it is rounding, not the method's: that sample is left out and
 * the band is drawn instead; where all are, the panel counts in ulps.
 * @param {Model} m
 * @param {Result} r
 * @param {Curve | undefined} current
 */
export function errorCurve(m, r, current) {
  const fx = fOf(m);
  const used = current ? r.pts.slice(current.i - current.j, current.i + 1) : [];
  const yv = used
    .map((q) => q.y)
    .filter(Number.isFinite)
    .concat([0]);
  const spread = Math.max(...yv) - Math.min(...yv),
    span = [Math.min(...yv) - spread * 0.08 - 0.01, Math.max(...yv) + spread * 0.08 + 0.01];
  const exs = linspace(inverse(m.program.exp, span[1]), inverse(m.program.exp, span[0]), SAMPLES),
    eys = exs.map(fx);
  const errs = current ? sample(m, r, [current], eys)[0].map((x, k) => x - exs[k]) : [];
  const value = current ? r.Q[current.i][current.j] : NaN,
    atRoot = Number.isFinite(value) && Math.abs(ulpsFrom(value, root)) <= NOISE;
  // an entry that is not a number has no error, and no rounding to speak of
  const broken = !Number.isFinite(value);
  const ruled = current && !broken ? ruledByRounding(r, current) : null;
  // g's own samples round too: x exactly, f(x) by its rounding, over |f'|
  const band = current ? eys.map((y, k) => roundingBand(r, current, y) + Number.EPSILON * Math.abs(exs[k]) * 2) : [];
  const noise = errs.map((e, k) => !broken && Number.isFinite(e) && (ruled !== null || !(Math.abs(e) > 3 * band[k])));
  const shown = errs.map((e, k) => (noise[k] ? NaN : e));
  const rounding =
    !current || broken
      ? "none"
      : ruled
        ? "decided"
        : noise.every(Boolean)
          ? "all"
          : noise.some(Boolean)
            ? "some"
            : "none";
  const kept = shown.filter(Number.isFinite).concat([0], Number.isFinite(value - root) ? [value - root] : []);
  // counted in ulps where all is rounding, as long as that needs no multiplier
  const ulps = Math.max(4, ...kept.map((e) => Math.abs(e) / ULP));
  const unit = (rounding === "all" || rounding === "decided") && ulps < 1000 ? ULP : 1;
  const fin = kept.map((e) => e / unit);
  let elo = Math.min(...fin),
    ehi = Math.max(...fin);
  if (unit === ULP) {
    elo = -ulps;
    ehi = ulps;
  } else if (!(ehi > elo)) {
    elo = -1e-15;
    ehi = 1e-15;
  }
  const epad = (ehi - elo) * 0.08;
  return {
    used,
    span,
    ylim: [elo - epad, ehi + epad],
    points: shown.map((e, k) => [eys[k], e / unit]),
    band: band.map((b, k) => [eys[k], b / unit]),
    unit,
    rounding,
    ruled,
    atRoot,
  };
}

/**
 * The figure in words, for its caption.
 * @param {Result} r
 * @param {Curve[]} curves
 */
export function figureDescription(r, curves) {
  const current = curves[0];
  const xs = r.pts.map((q) => q.x);
  return (
    `${r.pts.length} nodes from x = ${show(Math.min(...xs))} to ${show(Math.max(...xs))}. ` +
    (current
      ? `Shown: ${curves.map((c) => c.name).join("; ")}. ${entryName(current.i, current.j)} = ` +
        `${show(r.Q[current.i][current.j])}, ${sci(r.Q[current.i][current.j] - root, 2)} from the root.`
      : "No step taken yet: f and the nodes only.")
  );
}

/** @typedef {"new" | "hi" | "lo" | "old"} Role */
/**
 * An entry on the line at y = 0: where its polynomial meets it.
 * @typedef {object} ZoomPoint
 * @property {number} i
 * @property {number} j
 * @property {number} x the entry, Q[i][j]
 * @property {Role} role the entry the step makes, the two it combines (Q[i][j-1], Q[i-1][j-1]), or an earlier one
 * @property {number} row its label's row above the line, 0 the nearest; -1 where no row has room
 * @property {number} label its label's centre, in pixels from the plot's left edge (kept within the plot)
 */
/**
 * The line at y = 0, zoomed on the entries.
 * @typedef {object} Zoom
 * @property {number[]} xlim
 * @property {ZoomPoint[]} points
 * @property {number} rows label rows used
 * @property {{i: number, j: number, x: number, hi: number, lo: number} | null} step the step shown, its entry and its weights
 * @property {number} undrawn entries made that are not numbers
 * @property {boolean} inUlps whether the range is within a thousand ulps of the root, and the axis counts them
 */

/** The most label rows above the line, and a label's width in pixels for each of its characters (13 px type). */
export const ZOOM = { rows: 6, perChar: 13 * 0.62, gap: 8 };
/** A label's width in pixels. */
export const labelWidth = (/** @type {string} */ text) => text.length * ZOOM.perChar + ZOOM.gap;

/**
 * The line at y = 0 for the step shown: every entry made so far from
 * column 1 on, and the column-0 entries (the nodes) the step combines,
 * each where it lies on the x axis; the range fits them and the root.  At
 * the start, the nodes.  Labels go in rows above the line, the step's
 * three first, then the newest, each in the nearest row where it overlaps
 * no other at this width.
 * @param {Result} r
 * @param {number} width the figure's width in CSS pixels
 * @returns {Zoom}
 */
export function zoomOf(r, width) {
  const at = r.shown ? r.steps[r.shown - 1] : null;
  /** @type {Record<string, Role>} */
  const roles = at
    ? { [`${at.i},${at.j}`]: "new", [`${at.i},${at.j - 1}`]: "hi", [`${at.i - 1},${at.j - 1}`]: "lo" }
    : {};
  /** @type {ZoomPoint[]} */
  const all = at
    ? r.steps
        .slice(0, r.shown)
        .map(({ i, j }) => ({ i, j, x: r.Q[i][j], role: roles[`${i},${j}`] ?? "old", row: -1, label: 0 }))
    : r.pts.map((q, i) => ({ i, j: 0, x: q.x, role: /** @type {Role} */ ("old"), row: -1, label: 0 }));
  if (at && at.j === 1) {
    for (const i of [at.i, at.i - 1])
      all.push({ i, j: 0, x: r.pts[i].x, role: i === at.i ? "hi" : "lo", row: -1, label: 0 });
  }
  const points = all.filter((q) => Number.isFinite(q.x));
  const xs = points.map((q) => q.x).concat([root]);
  const lo = Math.min(...xs),
    hi = Math.max(...xs),
    pad = hi > lo ? (hi - lo) * 0.08 : Math.max(Math.abs(lo) * 1e-12, 1e-15);
  const xlim = [lo - pad, hi + pad];
  const box = layout(width),
    plotW = box.W - box.L - box.R;
  const px = (/** @type {number} */ x) => ((x - xlim[0]) / (xlim[1] - xlim[0])) * plotW;
  const order = { new: 0, hi: 1, lo: 2, old: 3 };
  const placing = [...points].sort((a, b) => order[a.role] - order[b.role] || points.indexOf(b) - points.indexOf(a));
  /** @type {number[][][]} */
  const taken = Array.from({ length: ZOOM.rows }, () => []);
  let rows = 0;
  for (const q of placing) {
    const w = labelWidth(entryName(q.i, q.j));
    const c = Math.min(Math.max(px(q.x), w / 2), plotW - w / 2);
    const row = taken.findIndex((spans) => spans.every(([a, b]) => c + w / 2 <= a || c - w / 2 >= b));
    if (row < 0) continue;
    taken[row].push([c - w / 2, c + w / 2]);
    q.row = row;
    q.label = c;
    rows = Math.max(rows, row + 1);
  }
  const step = at ? { ...at, x: r.Q[at.i][at.j], ...weightsOf(r.pts, at.i, at.j) } : null;
  const inUlps = Math.max(Math.abs(xlim[0] - root), Math.abs(xlim[1] - root)) < 1000 * ULP;
  return { xlim, points, rows, step, undrawn: all.length - points.length, inUlps };
}

/**
 * The nodes' names where they are drawn, in pixels: nodes closer than a
 * label's height to each other share one label, "x1, x2", so that no two
 * names are written over each other.
 * @param {{X: number, Y: number}[]} at each node's place in the figure
 * @returns {{text: string, X: number, Y: number}[]}
 */
export function nodeLabels(at) {
  const near = 14;
  /** @type {{ks: number[], X: number, Y: number}[]} */
  const groups = [];
  at.forEach(({ X, Y }, k) => {
    if (!Number.isFinite(X) || !Number.isFinite(Y)) return;
    const g = groups.find((o) => Math.abs(o.X - X) < near && Math.abs(o.Y - Y) < near);
    if (g) g.ks.push(k);
    else groups.push({ ks: [k], X, Y });
  });
  return groups.map(({ ks, X, Y }) => ({
    text: ks.map((k) => `x${k}`).join(", "),
    X,
    Y,
  }));
}
