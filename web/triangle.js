// Neville's triangle as the textbooks draw it: the nodes down the left,
// each entry half a row below the one before it in its column, an arrow
// from each of a step's two entries to the one it makes; the step's three
// in their roles' colours.

import { arrowsOf } from "./core/neville.js";
import { shownStep } from "./core/sweep.js";
import { entryName, nodeName } from "./core/sentences/parts.js";
import { el, join, set, svgOf, text } from "./dom.js";
import { layer } from "./layers.js";

/** @param {import("./core/sweep.js").Result} r @param {number} font its text's size */
export function drawTriangle(r, font) {
  const svg = svgOf("triangle");
  const n = r.pts.length,
    colW = Math.round(font * 7),
    rowH = Math.round(font * 2.4),
    left = Math.round(font * 2.2),
    top = Math.round(font * 1.4),
    half = font * 2.3;
  const W = left + n * colW,
    H = top + n * rowH;
  set(svg, { viewBox: `0 0 ${W} ${H}`, width: W, height: H });
  const at = (/** @type {number} */ i, /** @type {number} */ j) => ({
    x: left + j * colW + colW / 2,
    y: top + (i - j / 2) * rowH + rowH / 2,
  });
  // each arrow `half` short of both centres; the step's own two in the colours of the entries they come from
  join(
    layer(svg, "arrows"),
    arrowsOf(n),
    () => el("line", {}),
    (e, a) => {
      const [i0, j0] = a.from,
        [i1, j1] = a.to,
        p = at(i0, j0),
        q = at(i1, j1),
        role = i0 === i1 ? "hi" : "lo",
        current = a.step === r.shown;
      set(e, {
        "data-from": a.from.join(),
        "data-to": a.to.join(),
        class: `arrow${a.step <= r.shown ? " made" : ""}${current ? ` current role-${role}` : ""}`,
        x1: (p.x + half).toFixed(1),
        y1: p.y.toFixed(1),
        x2: (q.x - half).toFixed(1),
        // the two arrows into one entry end apart, the one from below below its middle, so their heads do not meet
        y2: (q.y + (i0 === i1 ? 1 : -1) * half * 0.12).toFixed(1),
        "marker-end": `url(#triangle-head${current ? `-${role}` : ""})`,
      });
    },
  );
  const s = shownStep(r);
  const made = new Set(["", ...r.steps.slice(0, r.shown).map(({ i, j }) => `${i},${j}`)]);
  /** @type {Record<string, string>} */
  const roles = s ? { [`${s.i},${s.j}`]: "new", [`${s.i},${s.j - 1}`]: "hi", [`${s.i - 1},${s.j - 1}`]: "lo" } : {};
  join(
    layer(svg, "entries"),
    r.pts.flatMap((_, i) => Array.from({ length: i + 1 }, (_, j) => ({ i, j, key: `${i},${j}` }))),
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
