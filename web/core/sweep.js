// Neville's tableau as the program fills it, through its own Qij, over any
// nodes and f: the points, the sweep, p against the root, and Iterate.

import { bitsOf, fromBits, ulpsFrom } from "./numbers.js";
import { roundingShare } from "./rounding.js";
import { coincidences, stepsOf, sweep, weightsOf } from "./neville.js";
import { accuracy } from "./accuracy.js";
import { presetTable } from "./functions.js";

/** @typedef {import("./program.js").Program} Program */
/** @typedef {import("./functions.js").ExpName} ExpName */
/** @typedef {import("./neville.js").Point} Point */
/** @typedef {import("./functions.js").Fn} Fn */
/** The program, its table of nodes and y_k, and the functions the page offers.
 * @typedef {{program: Program, table: {x: number, y: number}[], nodes: number[],
 *   presets: readonly import("./functions.js").Preset[]}} Model */
/** @typedef {{nodes: number[], exp: ExpName, shown: number, fn: Fn}} Choice what decides the numbers */

/** The program with its nodes and y_k by their bits, as the page's build read them from its source.
 * @param {Program} program @param {{x: string, y: string}[]} data @returns {Model} */
export function modelOf(program, data) {
  const table = data.map((n) => ({ x: fromBits(n.x), y: fromBits(n.y) })),
    nodes = table.map((n) => n.x);
  return { program, table, nodes, presets: presetTable(nodes) };
}

/** Each node's y: the program's own at its nodes for its f, else f in doubles with the chosen exponential; and
 * its unit of rounding, the running bound of f's, at least half an ulp of y.
 * @param {Model} m @param {number[]} xs @param {ExpName} exp @param {Fn} fn @returns {Point[]} */
export function pointsFor(m, xs, exp, fn) {
  return xs.map((x) => {
    const row = fn.program ? m.table.find((n) => bitsOf(n.x) === bitsOf(x)) : undefined,
      y = row ? row.y : fn.f[exp](x),
      at = fn.dual[exp](x);
    return { x, y, tabled: Boolean(row), u: Math.max(at.e, Number.EPSILON * Math.abs(y)), slope: at.d };
  });
}

/** What a state's numbers give: `same`, pairs of nodes with the same y; `rounding`, what a unit of rounding in
 * each y can do to p; `acc`, p against the root, where one is known.  @param {Model} m @param {Choice} s */
export function compute(m, s) {
  const pts = pointsFor(m, s.nodes, s.exp, s.fn),
    Q = sweep(m.program.Qij, 0.0, pts),
    steps = stepsOf(pts.length);
  const p = Q[pts.length - 1][pts.length - 1],
    root = s.fn.root;
  return {
    pts,
    Q,
    steps,
    p,
    same: coincidences(pts),
    shown: Math.min(s.shown, steps.length),
    rounding: roundingShare(m.program.Qij, { pts, p }, root),
    fn: s.fn,
    exp: s.exp,
    acc: root ? accuracy(p, root) : null,
  };
}

/** Why Iterate made no step: p is not a number, or as a node a zero denominator, being node `at` (-1: only its y
 * is a node's); `next` is what the sweep over those nodes gives.
 * @typedef {{why: "nan" | "node", p: number, at: number, next: number}} Refusal */

/** One Iterate: the oldest node replaced by p, and the sweep again; or why not.
 * @param {Model} m @param {Choice & {iterates: number[]}} s @param {Result} r the state's
 * @returns {{nodes: number[], iterates: number[], refused?: undefined} | {refused: Refusal}} */
export function iterateOnce(m, s, r) {
  const { p } = r;
  if (!Number.isFinite(p)) return { refused: { why: "nan", p, at: -1, next: NaN } };
  const nodes = [...s.nodes.slice(1), p],
    next = compute(m, { ...s, nodes });
  if (!Number.isFinite(next.p) || next.same.length)
    return { refused: { why: "node", p, at: s.nodes.indexOf(p), next: next.p } };
  return { nodes, iterates: [...(s.iterates.length ? s.iterates : [p]), next.p] };
}

/** The state after `count` clicks on Iterate from these nodes; where one is refused, how many were made and why.
 * @param {Model} m @param {Choice} s @param {number} count
 * @returns {{nodes: number[], iterates: number[], refused?: {asked: number, made: number, why: Refusal}}} */
export function replay(m, s, count) {
  /** @type {{nodes: number[], iterates: number[]}} */
  let at = { nodes: s.nodes, iterates: [] };
  for (let k = 0; k < count; k++) {
    const next = iterateOnce(m, { ...s, ...at }, compute(m, { ...s, nodes: at.nodes }));
    if (next.refused !== undefined) return { ...at, refused: { asked: count, made: k, why: next.refused } };
    at = next;
  }
  return at;
}

/** What the other exponential would change for these nodes: which computed y differ, and p.
 * @param {Model} m @param {Result} r @param {ExpName} exp the one chosen */
export function otherExp(m, r, exp) {
  /** @type {ExpName} */
  const other = exp === "wasm" ? "browser" : "wasm",
    xs = r.pts.map((q) => q.x),
    pts = pointsFor(m, xs, other, r.fn);
  const differ = r.pts.flatMap((q, k) => (Object.is(q.y, pts[k].y) ? [] : [k]));
  const n = pts.length,
    p = sweep(m.program.Qij, 0.0, pts)[n - 1][n - 1];
  return {
    other,
    computed: r.pts.filter((q) => !q.tabled).length,
    differ,
    ys: pts.map((q) => q.y),
    // the first that differs, in ulps of this y, and p in ulps of this p
    yUlps: differ.length ? ulpsFrom(pts[differ[0]].y, r.pts[differ[0]].y) : 0,
    p,
    pUlps: ulpsFrom(p, r.p),
  };
}

/** The program's table against both exponentials at its first node, 0.3, where e^(-2x) - x is exact (Sterbenz):
 * y + x is the exponential each y was made with, the table's correctly rounded.
 * @param {Model} m @param {Fn} fn the program's f */
export function expAtFirstNode(m, fn) {
  const { x, y } = m.table[0],
    e = y + x;
  const of = (/** @type {ExpName} */ exp) => {
    const yOf = fn.f[exp](x);
    return { e: yOf + x, y: yOf, eUlps: ulpsFrom(yOf + x, e), yUlps: ulpsFrom(yOf, y) };
  };
  return { x, y, arg: -2 * x, e, wasm: of("wasm"), browser: of("browser") };
}

/** The step shown: its entry, parents and weights, where the entry's double lies against its parents, and
 * whether its denominator is 0. */
export function shownStep(/** @type {Result} */ r) {
  if (r.shown === 0) return null;
  const { i, j } = r.steps[r.shown - 1],
    value = r.Q[i][j],
    hiValue = r.Q[i][j - 1],
    loValue = r.Q[i - 1][j - 1],
    w = weightsOf(r.pts, i, j),
    [a, b] = [Math.min(hiValue, loValue), Math.max(hiValue, loValue)];
  /** @type {"between" | "outside" | "on" | "none"} */
  const side = !Number.isFinite(value)
    ? "none"
    : value > a && value < b
      ? "between"
      : value < a || value > b
        ? "outside"
        : "on";
  return {
    i,
    j,
    value,
    hiValue,
    loValue,
    ...w,
    inside: w.hi >= 0 && w.lo >= 0,
    side,
    zero: r.pts[i].y === r.pts[i - j].y,
  };
}
/** @typedef {ReturnType<typeof compute>} Result */
/** @typedef {NonNullable<ReturnType<typeof shownStep>>} Step */
