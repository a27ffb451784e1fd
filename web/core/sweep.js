// Neville's tableau as the program fills it, through the program's own Qij,
// over the program's nodes or a learner's: the points, the sweep, its
// steps, and what rounding in the y can do to p.  Nothing here touches the
// DOM.

import { bitsOf, fromBits, root, ulpsFrom } from "./numbers.js";

/** @typedef {import("./program.js").Program} Program */
/** @typedef {import("./program.js").QijFn} QijFn */
/** @typedef {"wasm" | "browser"} ExpName */
/** @typedef {{x: number, y: number, own?: boolean}} Point */
/**
 * The program and its table: what every computation here starts from.
 * @typedef {object} Model
 * @property {Program} program
 * @property {{x: number, y: number}[]} table the program's nodes and its y_k, as its source holds them
 * @property {number[]} nodes the program's nodes
 * @property {Record<ExpName, (x: number) => number>} exps the two exponentials a learner's node may take its y from
 */
/**
 * The state's part that decides the numbers.
 * @typedef {{nodes: number[], exp: ExpName, shown: number}} Choice
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
 * @property {number} share how much of p - root one unit of rounding in each y can account for
 */

/** The names the page gives the two exponentials. */
export const EXP_NAMES = {
  wasm: "the program's own exp (wasi-libc, in the .wasm)",
  browser: "the browser's Math.exp",
};

/**
 * The program with its data: the nodes and y_k by their bits, as the page's build read them from its source.
 * @param {Program} program
 * @param {{x: string, y: string}[]} data
 * @returns {Model}
 */
export function modelOf(program, data) {
  const table = data.map((n) => ({ x: fromBits(n.x), y: fromBits(n.y) }));
  return { program, table, nodes: table.map((n) => n.x), exps: { wasm: program.exp, browser: Math.exp } };
}

/**
 * y_k for each node: the program's own value where the node is one of its
 * own, else e^(-2x) - x with the chosen exponential.
 * @param {Model} m
 * @param {number[]} xs
 * @param {ExpName} exp
 * @returns {Point[]}
 */
export function pointsFor(m, xs, exp) {
  return xs.map((x) => {
    const own = m.table.find((n) => bitsOf(n.x) === bitsOf(x));
    return own ? { x, y: own.y, own: true } : { x, y: m.exps[exp](-2.0 * x) - x, own: false };
  });
}

/**
 * The program's order: row by row, (1,1) (2,1) (2,2) (3,1) ...; each entry
 * is stored before a later call reads it.  Rows 0 .. rows-1 only: the
 * entries of those rows are the polynomials through their nodes, at t.
 * @param {QijFn} Qij
 * @param {number} t
 * @param {Point[]} pts
 * @param {number} [rows]
 */
export function sweep(Qij, t, pts, rows = pts.length) {
  /** @type {number[][]} */
  const Q = [];
  for (let i = 0; i < rows; i++) {
    Q.push([pts[i].x]);
    for (let j = 1; j <= i; j++) Q[i][j] = Qij(t, pts[i - j].y, pts[i].y, Q[i][j - 1], Q[i - 1][j - 1]);
  }
  return Q;
}
/** The entries (i, j) in the order the sweep makes them. */
export function stepsOf(/** @type {number} */ n) {
  const steps = [];
  for (let i = 1; i < n; i++) for (let j = 1; j <= i; j++) steps.push({ i, j });
  return steps;
}
/**
 * The weights the rule gives the two entries a step combines: at y = 0,
 * Q[i][j] = hi · Q[i][j-1] + lo · Q[i-1][j-1], with
 * hi = -y_(i-j) / (y_i - y_(i-j)) and lo = y_i / (y_i - y_(i-j)), which add
 * up to 1.  Outside [0, 1] where y = 0 lies outside y_(i-j) .. y_i.
 * @param {Point[]} pts
 * @param {number} i
 * @param {number} j
 */
export function weightsOf(pts, i, j) {
  const d = pts[i].y - pts[i - j].y;
  return { hi: -pts[i - j].y / d, lo: pts[i].y / d };
}

/**
 * Pairs of nodes whose y are the same double: y_b - y_a is then a zero
 * denominator of Q[b][b-a] and of every entry over both.
 * @param {Point[]} pts
 */
export function coincidences(pts) {
  const out = [];
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) if (pts[a].y === pts[b].y) out.push({ a, b });
  }
  return out;
}

/**
 * One unit of the rounding in a node's y: that of the terms y is made of,
 * e^(-2x) = y + x and x, which the exponential and the subtraction round;
 * not of y itself, which is small near the root.
 * @param {Point} q
 */
export const roundingOf = (q) => Number.EPSILON * Math.max(Math.abs(q.y + q.x), Math.abs(q.x));
/**
 * How far one unit of rounding in each y can move p, the sweep's result
 * for these points: each y moved by a unit either way and swept again
 * through Qij, the largest move of each node added up.
 * @param {QijFn} Qij
 * @param {Point[]} pts
 * @param {number} p
 */
export function roundingReach(Qij, pts, p) {
  const n = pts.length;
  let reach = 0;
  for (let k = 0; k < n; k++) {
    const moves = [-1, 1].map((s) => {
      const moved = pts.map((q, m) => (m === k ? { ...q, y: q.y + s * roundingOf(q) } : q));
      return Math.abs(sweep(Qij, 0.0, moved)[n - 1][n - 1] - p);
    });
    reach += Math.max(...moves);
  }
  return reach;
}
/**
 * The two nodes whose y are closest, in units of their rounding.
 * @param {Point[]} pts
 */
export function closestPair(pts) {
  let best = { a: 0, b: 1, gap: Infinity };
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) {
      const gap = Math.abs(pts[b].y - pts[a].y) / Math.max(roundingOf(pts[a]), roundingOf(pts[b]));
      if (gap < best.gap) best = { a, b, gap };
    }
  }
  return best;
}

/**
 * The true inverse g(y): the x with e^(-2x) - x = y, by Newton's method
 * with the given exp, from a starting point near it, until the iterate
 * stops changing or hops back and forth between two neighbours.
 * @param {(x: number) => number} exp
 * @param {number} y
 */
export function inverse(exp, y, start = 0.4) {
  let x = start,
    before = NaN;
  for (let k = 0; k < 60; k++) {
    const e = exp(-2.0 * x),
      next = x - (e - x - y) / (-2.0 * e - 1.0);
    if (next === x || next === before) return next;
    before = x;
    x = next;
  }
  return x;
}

/** Ulps of the root below which an error is rounding, not the method's. */
export const NOISE = 16;

/**
 * How much of p - root one unit of rounding in each y can account for;
 * none where p is at the root already, which the page says otherwise.
 * @param {QijFn} Qij
 * @param {{pts: Point[], p: number}} r
 */
export function roundingShare(Qij, r) {
  const e = Math.abs(r.p - root);
  return Number.isFinite(e) && Math.abs(ulpsFrom(r.p, root)) > NOISE ? roundingReach(Qij, r.pts, r.p) / e : 0;
}

/**
 * Everything the numbers of a state give.
 * @param {Model} m
 * @param {Choice} s
 * @returns {Result}
 */
export function compute(m, s) {
  const pts = pointsFor(m, s.nodes, s.exp),
    Q = sweep(m.program.Qij, 0.0, pts),
    steps = stepsOf(pts.length);
  const p = Q[pts.length - 1][pts.length - 1];
  return {
    pts,
    Q,
    steps,
    p,
    same: coincidences(pts),
    shown: Math.min(s.shown, steps.length),
    share: roundingShare(m.program.Qij, { pts, p }),
  };
}

/**
 * One step of iterated inverse interpolation: the oldest node replaced by
 * p, and the sweep again.  Refused, with the reason, where p is not a
 * number or would make a zero denominator as a node.
 * @param {Model} m
 * @param {Choice & {iterates: number[]}} s
 * @param {Result} r the state's result
 * @returns {{nodes: number[], iterates: number[], refused?: undefined} | {refused: string}}
 */
export function iterateOnce(m, s, r) {
  const { p } = r;
  if (!Number.isFinite(p)) return { refused: `p is ${p}: there is nothing to iterate with.` };
  const nodes = [...s.nodes.slice(1), p],
    next = compute(m, { ...s, nodes });
  if (!Number.isFinite(next.p) || next.same.length) {
    const at = s.nodes.indexOf(p);
    return {
      refused:
        `The next step would take p = ${p} as a node, but ` +
        (at >= 0 ? `it is node ${at} already` : "its y is the y of a node already there") +
        ": a zero denominator, and p would be NaN. The iteration has reached what double precision allows; " +
        "the page keeps the last good nodes.",
    };
  }
  return { nodes, iterates: [...(s.iterates.length ? s.iterates : [p]), next.p] };
}

/**
 * The state after this many Iterates from these nodes, as clicks on Iterate
 * would make it: each iterate the program's Qij's, so a count brings the
 * same iterates back.  Where an Iterate is refused before the count, the
 * ones made so far, and why no more.
 * @param {Model} m
 * @param {Choice} s the starting nodes
 * @param {number} count
 * @returns {{nodes: number[], iterates: number[], refused?: string}}
 */
export function replay(m, s, count) {
  /** @type {{nodes: number[], iterates: number[]}} */
  let at = { nodes: s.nodes, iterates: [] };
  for (let k = 0; k < count; k++) {
    const next = iterateOnce(m, { ...s, ...at }, compute(m, { ...s, nodes: at.nodes }));
    if (next.refused !== undefined) {
      return {
        ...at,
        refused: `The link asks for ${count} Iterates; from these nodes only ${k} can be made: ${next.refused}`,
      };
    }
    at = next;
  }
  return at;
}
