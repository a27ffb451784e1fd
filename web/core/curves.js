// The figure's numbers: the step's curves through the program's own Qij, the
// panels' ranges, the polynomial's error, and the entries on the line y = 0.

import { linspace } from "./numbers.js";
import { errorOf, ulpOf } from "./accuracy.js";
import { sweep, weightsOf } from "./neville.js";
import { roundingBand, ruledByRounding } from "./rounding.js";
import { LIMITS } from "./limits.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {{i: number, j: number, cls: "poly" | "poly-hi" | "poly-lo"}} Curve */
/** @typedef {{xlim: number[], ylim: number[]}} Ranges */

/** Points a curve. */
export const SAMPLES = 80;

/** The unit the panels count rounding in: an ulp of the root's double, or of p's where no root is known. */
const ulpAt = (/** @type {Result} */ r) => ulpOf(r.fn.root?.hi ?? (Number.isFinite(r.p) ? r.p : 1));

/** The step's own polynomial, unless it is to be predicted, and from column 2 on the two it combines. */
function curvesOf(/** @type {Result} */ r, hidden = false) {
  if (r.shown === 0) return [];
  const { i, j } = r.steps[r.shown - 1];
  /** @type {Curve[]} */
  const out = hidden ? [] : [{ i, j, cls: "poly" }];
  if (j >= 2) out.push({ i, j: j - 1, cls: "poly-hi" }, { i: i - 1, j: j - 1, cls: "poly-lo" });
  return out;
}
/** Each curve's x = P(y) at each y, one sweep per y over the rows it needs.
 * @param {Model} m @param {Result} r @param {Curve[]} curves @param {number[]} ys */
function sample(m, r, curves, ys) {
  const rows = Math.max(0, ...curves.map((c) => c.i)) + 1;
  /** @type {number[][]} */
  const out = curves.map(() => []);
  for (const y of ys) {
    const Q = sweep(m.program.Qij, y, r.pts, rows);
    curves.forEach((c, k) => out[k].push(Q[c.i][c.j]));
  }
  return out;
}

/** The top panel's ranges: the nodes, and p where within their span again on either side, with a margin.
 * @param {Result} r @returns {Ranges} */
export function topRanges(r) {
  const fx = r.fn.f.wasm,
    nodes = r.pts.map((q) => q.x),
    [first, last] = [Math.min(...nodes), Math.max(...nodes)],
    near = Number.isFinite(r.p) && Math.abs(r.p - (first + last) / 2) <= 1.5 * (last - first);
  const xs = near ? [...nodes, r.p] : nodes;
  const lo = Math.min(...xs),
    hi = Math.max(...xs),
    pad = Math.max(0.03 * Math.max(1, Math.abs(lo), Math.abs(hi)), (hi - lo) * 0.12);
  // rounded out to a step of two significant digits of the span, so that a small move keeps the axes
  const grain = 10 ** (Math.floor(Math.log10(hi - lo + 2 * pad)) - 1);
  const xlim = [Math.floor((lo - pad) / grain) * grain, Math.ceil((hi + pad) / grain) * grain];
  // f at the window's ends and between: a learner's f need not be monotone
  const fs = linspace(xlim[0], xlim[1], 16).map(fx).filter(Number.isFinite).concat([0]);
  let [ylo, yhi] = [Math.min(...fs), Math.max(...fs)];
  // an f that is 0 all over the window (0, or x - x) still has a frame to be drawn in
  if (!(yhi > ylo)) [ylo, yhi] = [ylo - 1, yhi + 1];
  const ypad = (yhi - ylo) * 0.06,
    ygrain = 10 ** (Math.floor(Math.log10(yhi - ylo + 2 * ypad || 1)) - 1);
  return { xlim, ylim: [Math.floor((ylo - ypad) / ygrain) * ygrain, Math.ceil((yhi + ypad) / ygrain) * ygrain] };
}

/** What the figure shows of a step, in the ranges a drag froze or the data's; plotW: the top panel's width in px.
 * @param {Model} m @param {Result} r @param {{hidden: boolean, frozen: Ranges | null, plotW: number}} how */
export function figureOf(m, r, { hidden, frozen, plotW }) {
  const ranges = frozen ?? topRanges(r),
    curves = curvesOf(r, hidden),
    xs = linspace(ranges.xlim[0], ranges.xlim[1], SAMPLES),
    ys = linspace(ranges.ylim[0], ranges.ylim[1], SAMPLES),
    pixel = (ranges.xlim[1] - ranges.xlim[0]) / plotW,
    kept = sample(m, r, curves, ys).map((px, k) => drawable(r, curves[k], ys, px, pixel)),
    current = curves.find((c) => c.cls === "poly"),
    value = current ? r.Q[current.i][current.j] : NaN;
  return {
    ranges,
    curves,
    kept,
    lines: [
      { cls: "f", points: xs.map((x) => [x, r.fn.f.wasm(x)]) },
      ...kept.map((k, n) => ({ cls: curves[n].cls, points: k.xs.map((x, i) => [x, ys[i]]) })),
    ],
    current,
    value,
    p: current && Number.isFinite(value) ? value : null,
    err: errorCurve(m, r, current),
  };
}
/** @typedef {ReturnType<typeof figureOf>} Figure */

/** The true inverse g(y) by Newton's method, until the iterate stops or hops between two neighbours.
 * @param {(x: number) => number} f @param {(x: number) => number} slope f' @param {number} y @param {number} start */
export function inverse(f, slope, y, start) {
  let x = start,
    before = NaN;
  for (let k = 0; k < 60; k++) {
    const next = x - (f(x) - y) / slope(x);
    if (next === x || next === before || !Number.isFinite(next)) return next;
    before = x;
    x = next;
  }
  return x;
}

/** A curve's x = P(y) where rounding moves it by less than a pixel, else NaN (a break); none where it decides P.
 * @param {Result} r @param {Curve} c @param {number[]} ys @param {number[]} xs @param {number} pixel */
function drawable(r, c, ys, xs, pixel) {
  const ruled = ruledByRounding(r, c);
  const kept = xs.map((x, k) => (ruled === null && roundingBand(r, c, ys[k]) < pixel ? x : NaN));
  const hidden = kept.filter((x, k) => Number.isNaN(x) && Number.isFinite(xs[k])).length;
  return { xs: kept, ruled, hidden };
}

/** The lower panel: P(y) - g(y), sampled along x, where g(f(x)) = x needs no inversion.  A sample within three
 * times the rounding band (itself an estimate) is rounding's, not the method's: the band is drawn instead.
 * @param {Model} m @param {Result} r @param {Curve | undefined} current */
function errorCurve(m, r, current) {
  const { used, span, exs, eys } = errorSamples(r, current);
  // the panel's y run the way f's do as x grows, so that both panels run the way x does
  const ends = [...used].sort((a, b) => a.x - b.x);
  const falling = ends.length < 2 || !(ends[ends.length - 1].y > ends[0].y);
  const ulp = ulpAt(r);
  const errs = current ? sample(m, r, [current], eys)[0].map((x, k) => x - exs[k]) : [];
  const value = current ? r.Q[current.i][current.j] : NaN,
    off = r.fn.root ? errorOf(value, r.fn.root) : NaN,
    atRoot = Number.isFinite(off) && Math.abs(off) <= LIMITS.noise * ulp;
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
  const kept = shown.filter(Number.isFinite).concat([0], Number.isFinite(off) ? [off] : []);
  const { unit, ylim } = errorScale(kept, rounding, ulp);
  return {
    used,
    span,
    falling,
    ylim,
    points: shown.map((e, k) => [eys[k], e / unit]),
    band: band.map((b, k) => [eys[k], b / unit]),
    unit,
    rounding,
    ruled,
    atRoot,
    off,
  };
}

/** The error panel's samples: over the y of the entry's nodes and 0, each end's x found from the nearest node.
 * @param {Result} r @param {Curve | undefined} current */
function errorSamples(r, current) {
  const fx = r.fn.f.wasm,
    slope = (/** @type {number} */ x) => r.fn.dual.wasm(x).d;
  const used = current ? r.pts.slice(current.i - current.j, current.i + 1) : [];
  const yv = used
    .map((q) => q.y)
    .filter(Number.isFinite)
    .concat([0]);
  const spread = Math.max(...yv) - Math.min(...yv),
    span = [Math.min(...yv) - spread * 0.08 - 0.01, Math.max(...yv) + spread * 0.08 + 0.01];
  const from = (/** @type {number} */ y) =>
    used.reduce((a, q) => (Math.abs(q.y - y) < Math.abs(a.y - y) ? q : a), used[0] ?? r.pts[0]).x;
  const ends = [span[1], span[0]].map((y) => inverse(fx, slope, y, from(y)));
  const exs = ends.every(Number.isFinite) ? linspace(ends[0], ends[1], SAMPLES) : [];
  return { used, span, exs, eys: exs.map(fx) };
}

/** The error panel's unit, ulps where all is rounding and they need no multiplier, and range.
 * @param {number[]} kept the errors drawn, 0 and p's @param {string} rounding @param {number} ulp */
function errorScale(kept, rounding, ulp) {
  const ulps = Math.max(4, ...kept.map((e) => Math.abs(e) / ulp));
  const unit = (rounding === "all" || rounding === "decided") && ulps < 1000 ? ulp : 1;
  const fin = kept.map((e) => e / unit);
  let [elo, ehi] = [Math.min(...fin), Math.max(...fin)];
  if (unit !== 1) [elo, ehi] = [-ulps, ulps];
  else if (!(ehi > elo)) [elo, ehi] = [-1e-15, 1e-15];
  const epad = (ehi - elo) * 0.08;
  return { unit, ylim: [elo - epad, ehi + epad] };
}

/** @typedef {"new" | "hi" | "lo" | "old"} Role the step's entry, the two it combines, or one made before */
/** @typedef {{i: number, j: number, x: number, role: Role}} ZoomPoint an entry where its polynomial meets y = 0 */
/** The line at y = 0: `inUlps`, the axis counts ulps from `from` (the root, else the middle); `undrawn`, entries
 * that are not numbers.  Neither the root nor the step's entry and weights are shown while `hidden`.
 * @typedef {{xlim: number[], points: ZoomPoint[], undrawn: number, inUlps: boolean, root: number | undefined,
 *   step: {i: number, j: number, x: number, hi: number, lo: number, hiValue: number, loValue: number} | null,
 *   from: number, ulp: number, hidden: boolean}} Zoom */

/** The line at y = 0: the entries made so far and the nodes the step combines (at the start, all nodes); the
 * step's entry left out while it is to be predicted, and the root while p is.
 * @param {Result} r @param {boolean} [hidden] @param {boolean} [rootHidden] @returns {Zoom} */
export function zoomOf(r, hidden = false, rootHidden = hidden) {
  const at = r.shown ? r.steps[r.shown - 1] : null;
  /** @type {Record<string, Role>} */
  const roles = at
    ? { [`${at.i},${at.j}`]: "new", [`${at.i},${at.j - 1}`]: "hi", [`${at.i - 1},${at.j - 1}`]: "lo" }
    : {};
  /** @type {ZoomPoint[]} */
  const all = at
    ? r.steps.slice(0, r.shown).map(({ i, j }) => ({ i, j, x: r.Q[i][j], role: roles[`${i},${j}`] ?? "old" }))
    : r.pts.map((q, i) => ({ i, j: 0, x: q.x, role: "old" }));
  if (at && at.j === 1)
    for (const i of [at.i, at.i - 1]) all.push({ i, j: 0, x: r.pts[i].x, role: i === at.i ? "hi" : "lo" });
  const points = all.filter((q) => Number.isFinite(q.x) && !(hidden && q.role === "new"));
  const root = rootHidden ? undefined : r.fn.root?.hi;
  const xs = points.map((q) => q.x).concat(root === undefined ? [] : [root]);
  const lo = Math.min(...xs),
    hi = Math.max(...xs),
    pad = hi > lo ? (hi - lo) * 0.08 : Math.max(Math.abs(lo) * 1e-12, 1e-15);
  const xlim = [lo - pad, hi + pad],
    from = root ?? lo + (hi - lo) / 2,
    ulp = ulpOf(from);
  const step = at
    ? {
        ...at,
        x: r.Q[at.i][at.j],
        hiValue: r.Q[at.i][at.j - 1],
        loValue: r.Q[at.i - 1][at.j - 1],
        ...weightsOf(r.pts, at.i, at.j),
      }
    : null;
  // within a thousand ulps a decimal axis would show the same digits at every tick
  const inUlps = Math.max(Math.abs(xlim[0] - from), Math.abs(xlim[1] - from)) < 1000 * ulp;
  const undrawn = all.filter((q) => !Number.isFinite(q.x)).length;
  return { xlim, points, step, undrawn, inUlps, root, from, ulp, hidden };
}
