// The figure's numbers: its layout, the curves a step shows sampled
// through the program's own Qij, the ranges of both panels, and the error
// of the step's polynomial against the true inverse.  The figure module
// draws what these give; nothing here touches the DOM.

import { linspace, root, sci, show } from "./numbers.js";
import { inverse, sweep } from "./sweep.js";
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

/**
 * The lower panel: the error of the step's polynomial against the true
 * inverse g, sampled along x, where g(f(x)) = x needs no inversion, over
 * the y of the nodes it uses and 0.
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
  const fin = errs.filter(Number.isFinite).concat([0]);
  let elo = Math.min(...fin),
    ehi = Math.max(...fin);
  if (!(ehi > elo)) {
    elo = -1e-15;
    ehi = 1e-15;
  }
  const epad = (ehi - elo) * 0.08;
  return { used, span, ylim: [elo - epad, ehi + epad], points: errs.map((e, k) => [eys[k], e]) };
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
