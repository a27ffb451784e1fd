// Neville's tableau as the program fills it, through the program's own Qij,
// over the program's nodes or a learner's, for the program's f or
// another: the points, the sweep, its steps and their weights, p against
// the root, and Iterate.  Nothing here touches the DOM.

import { bitsOf, fromBits, ulpsFrom } from "./numbers.js";
import { roundingShare } from "./rounding.js";
import { coincidences, stepsOf, sweep, weightsOf } from "./neville.js";
import { accuracy } from "./accuracy.js";
import { presetTable } from "./functions.js";

/** @typedef {import("./program.js").Program} Program */
/** @typedef {import("./program.js").QijFn} QijFn */
/** @typedef {import("./functions.js").ExpName} ExpName */
/** @typedef {import("./neville.js").Point} Point */
/**
 * The program and its table: what every computation here starts from.
 * @typedef {object} Model
 * @property {Program} program
 * @property {{x: number, y: number}[]} table the program's nodes and its y_k, as its source holds them
 * @property {number[]} nodes the program's nodes
 * @property {readonly import("./functions.js").Preset[]} presets the functions the page offers, the program's first
 */
/** @typedef {import("./functions.js").Fn} Fn */
/**
 * The state's part that decides the numbers: the nodes, the exponential
 * the program's f takes a learner's node's y from, the steps shown, and
 * the function.
 * @typedef {{nodes: number[], exp: ExpName, shown: number, fn: Fn}} Choice
 */
/**
 * What a state gives: its points, tableau and steps.
 * @typedef {object} Result
 * @property {Point[]} pts
 * @property {number[][]} Q
 * @property {{i: number, j: number}[]} steps
 * @property {number} p
 * @property {{a: number, b: number}[]} same pairs of nodes with the same y
 * @property {number} shown steps shown, at most steps.length
 * @property {ReturnType<typeof roundingShare>} rounding what one unit of rounding in each y can do to p
 * @property {Fn} fn
 * @property {ExpName} exp the exponential the y not in the program's table are computed with
 * @property {ReturnType<typeof accuracy> | null} acc p against the root, where the root is known
 */

/**
 * The program with its data: the nodes and y_k by their bits, as the page's build read them from its source.
 * @param {Program} program
 * @param {{x: string, y: string}[]} data
 * @returns {Model}
 */
export function modelOf(program, data) {
  const table = data.map((n) => ({ x: fromBits(n.x), y: fromBits(n.y) })),
    nodes = table.map((n) => n.x);
  return { program, table, nodes, presets: presetTable(nodes) };
}

/**
 * y_k for each node, a unit of the rounding in it, and f' there: the
 * program's own y where f is the program's and the node one of its own,
 * else f in doubles with the chosen exponential (which only the program's
 * f takes); the unit is the running bound of f's rounding, at least half
 * an ulp of y.
 * @param {Model} m
 * @param {number[]} xs
 * @param {ExpName} exp
 * @param {Fn} fn
 * @returns {Point[]}
 */
export function pointsFor(m, xs, exp, fn) {
  return xs.map((x) => {
    const own = fn.program ? m.table.find((n) => bitsOf(n.x) === bitsOf(x)) : undefined,
      y = own ? own.y : fn.f[exp](x),
      at = fn.dual[exp](x);
    return { x, y, own: Boolean(own), u: Math.max(at.e, Number.EPSILON * Math.abs(y)), slope: at.d };
  });
}

/**
 * Everything the numbers of a state give.
 * @param {Model} m
 * @param {Choice} s
 * @returns {Result}
 */
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

/**
 * Why Iterate made no step: p is not a number ("nan"), or as a node it
 * would make a zero denominator ("node"): it is node `at` already (-1
 * where only its y is that of a node there), and the sweep over the nodes
 * it would make gives `next`.
 * @typedef {{why: "nan" | "node", p: number, at: number, next: number}} Refusal
 */

/**
 * One step of iterated inverse interpolation: the oldest node replaced by
 * p, and the sweep again; refused, with the reason, where p is not a
 * number or would make a zero denominator as a node.
 * @param {Model} m
 * @param {Choice & {iterates: number[]}} s
 * @param {Result} r the state's result
 * @returns {{nodes: number[], iterates: number[], refused?: undefined} | {refused: Refusal}}
 */
export function iterateOnce(m, s, r) {
  const { p } = r;
  if (!Number.isFinite(p)) return { refused: { why: "nan", p, at: -1, next: NaN } };
  const nodes = [...s.nodes.slice(1), p],
    next = compute(m, { ...s, nodes });
  if (!Number.isFinite(next.p) || next.same.length)
    return { refused: { why: "node", p, at: s.nodes.indexOf(p), next: next.p } };
  return { nodes, iterates: [...(s.iterates.length ? s.iterates : [p]), next.p] };
}

/**
 * The state after this many Iterates from these nodes, as clicks on Iterate
 * would make it: each iterate the program's Qij's, so a count brings the
 * same iterates back.  Where an Iterate is refused before the count, the
 * ones made so far, how many, and why no more.
 * @param {Model} m
 * @param {Choice} s the starting nodes
 * @param {number} count
 * @returns {{nodes: number[], iterates: number[], refused?: {asked: number, made: number, why: Refusal}}}
 */
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

/**
 * Whether the points are the program's own nodes, all four, in its order.
 * @param {Model} m
 * @param {Point[]} pts
 */
export function isOwn(m, pts) {
  return pts.length === m.table.length && pts.every((q, k) => q.own && bitsOf(q.x) === bitsOf(m.table[k].x));
}

/**
 * What the other exponential would change for these nodes: which computed
 * y differ (their indices), how many y are computed at all, and the p the
 * other would give.
 * @param {Model} m
 * @param {Result} r
 * @param {ExpName} exp the one chosen
 */
export function otherExp(m, r, exp) {
  /** @type {ExpName} */
  const other = exp === "wasm" ? "browser" : "wasm",
    pts = pointsFor(
      m,
      r.pts.map((q) => q.x),
      other,
      r.fn,
    );
  const differ = r.pts.flatMap((q, k) => (Object.is(q.y, pts[k].y) ? [] : [k]));
  const n = pts.length,
    p = sweep(m.program.Qij, 0.0, pts)[n - 1][n - 1];
  return {
    other,
    computed: r.pts.filter((q) => !q.own).length,
    differ,
    ys: pts.map((q) => q.y),
    // the first that differs, in ulps of this y, and p in ulps of this p
    yUlps: differ.length ? ulpsFrom(pts[differ[0]].y, r.pts[differ[0]].y) : 0,
    p,
    pUlps: ulpsFrom(p, r.p),
  };
}

/**
 * The program's table against both exponentials at its first node, 0.3.
 * There e^(-2x) - x is exact (Sterbenz), so y + x is the exponential each
 * y was made with: the table's (a correctly rounded one), and each
 * exponential's, with the y it gives.
 * @param {Model} m
 * @param {Fn} fn the program's f
 */
export function expAtFirstNode(m, fn) {
  const { x, y } = m.table[0],
    e = y + x;
  const of = (/** @type {ExpName} */ exp) => {
    const yOf = fn.f[exp](x);
    return { e: yOf + x, y: yOf, eUlps: ulpsFrom(yOf + x, e), yUlps: ulpsFrom(yOf, y) };
  };
  return { x, y, arg: -2 * x, e, wasm: of("wasm"), browser: of("browser") };
}

/**
 * The step shown, where one is: its entry (i, j) and value, its parents
 * Q[i][j-1] and Q[i-1][j-1] and their weights, whether both weights lie
 * in [0, 1], where the entry's double lies against its parents' ("on"
 * one of them, or "none" where it is not a number), and whether its
 * denominator y_i - y_(i-j) is 0.
 * @param {Result} r
 */
export function shownStep(r) {
  if (r.shown === 0) return null;
  const { i, j } = r.steps[r.shown - 1],
    value = r.Q[i][j],
    hiValue = r.Q[i][j - 1],
    loValue = r.Q[i - 1][j - 1],
    w = weightsOf(r.pts, i, j),
    [a, b] = [Math.min(hiValue, loValue), Math.max(hiValue, loValue)];
  /** @type {"between" | "outside" | "on" | "none"} */
  const side = !Number.isFinite(value) ? "none" : value > a && value < b ? "between" : value < a || value > b ? "outside" : "on";
  return { i, j, value, hiValue, loValue, ...w, inside: w.hi >= 0 && w.lo >= 0, side, zero: r.pts[i].y === r.pts[i - j].y };
}
/** @typedef {NonNullable<ReturnType<typeof shownStep>>} Step */
