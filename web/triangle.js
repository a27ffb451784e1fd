// Neville's triangle, the picture the textbooks draw: the nodes down the
// left, each entry of the tableau a point of the triangle half a row below
// the one before it in its column, an arrow from each of the two entries a
// step combines to the entry it makes.  The step's entry and its two are
// in their roles' colours, their arrows marked as current, in step with
// the stepper, the tableau and the figure.

import { arrowsOf } from "./core/neville.js";
import { shownStep } from "./core/sweep.js";
import { entryName, nodeName } from "./core/sentences/parts.js";
import { el, join, set, text } from "./dom.js";
import { layer } from "./layers.js";

/** @typedef {import("./core/sweep.js").Result} Result */

/**
 * @param {SVGSVGElement} svg
 * @param {Result} r
 * @param {number} font the triangle's text size, as its style sets it
 */
export function drawTriangle(svg, r, font) {
  const n = r.pts.length,
    colW = Math.round(font * 7),
    rowH = Math.round(font * 2.4),
    left = Math.round(font * 2.2),
    top = Math.round(font * 1.4);
  const W = left + n * colW,
    H = top + n * rowH;
  set(svg, { viewBox: `0 0 ${W} ${H}`, width: W, height: H });
  // an entry's centre: column j, half a row lower for each column
  const at = (/** @type {number} */ i, /** @type {number} */ j) => ({
    x: left + j * colW + colW / 2,
    y: top + (i - j / 2) * rowH + rowH / 2,
  });
  const s = shownStep(r);
  const made = new Set(["", ...r.steps.slice(0, r.shown).map(({ i, j }) => `${i},${j}`)]);
  /** @type {Record<string, string>} */
  const roles = s ? { [`${s.i},${s.j}`]: "new", [`${s.i},${s.j - 1}`]: "hi", [`${s.i - 1},${s.j - 1}`]: "lo" } : {};
  const entries = r.pts.flatMap((_, i) => Array.from({ length: i + 1 }, (_, j) => ({ i, j, key: `${i},${j}` })));
  drawArrows(svg, r, at, font * 2.3);
  join(
    layer(svg, "entries"),
    entries,
    () => el("text", { "text-anchor": "middle" }),
    (e, d) => {
      const { x, y } = at(d.i, d.j);
      const state = d.j === 0 || made.has(d.key) ? "made" : "empty";
      set(e, {
        x: x.toFixed(1),
        y: (y + font / 3).toFixed(1),
        class: `entry ${state}${roles[d.key] ? ` role-${roles[d.key]}` : ""}`,
        "data-entry": d.key,
      });
      text(e, d.j === 0 ? nodeName(d.i) : entryName(d.i, d.j));
    },
  );
}

/**
 * The arrows, each from an entry a step reads to the entry it makes, `half`
 * short of both centres; those made so far, and the step's own two in the
 * colours of the entries they come from.
 * @param {SVGSVGElement} svg
 * @param {Result} r
 * @param {(i: number, j: number) => {x: number, y: number}} at an entry's centre
 * @param {number} half
 */
function drawArrows(svg, r, at, half) {
  const arrows = arrowsOf(r.pts.length).map((a) => ({ ...a, from: a.from.join(), to: a.to.join() }));
  join(
    layer(svg, "arrows"),
    arrows,
    () => el("line", {}),
    (e, a) => {
      const [i0, j0] = a.from.split(",").map(Number),
        [i1, j1] = a.to.split(",").map(Number),
        p = at(i0, j0),
        q = at(i1, j1);
      set(e, {
        "data-from": a.from,
        "data-to": a.to,
        // the step's two arrows in the colours of the entries they come from
        class:
          `arrow${a.step <= r.shown ? " made" : ""}` +
          (a.step === r.shown ? ` current role-${i0 === i1 ? "hi" : "lo"}` : ""),
        x1: (p.x + half).toFixed(1),
        y1: p.y.toFixed(1),
        x2: (q.x - half).toFixed(1),
        // the two arrows into one entry end apart, the one from below below its middle, so their heads do not meet
        y2: (q.y + (i0 === i1 ? 1 : -1) * half * 0.12).toFixed(1),
        "marker-end": `url(#triangle-head${a.step === r.shown ? `-${i0 === i1 ? "hi" : "lo"}` : ""})`,
      });
    },
  );
}
