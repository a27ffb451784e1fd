// The orders of convergence, seen: the iteration from the current nodes
// followed in 1100 digits by precise.js, each row its error and estimated
// order, and beside them the program's own doubles, iterated as Iterate
// does, until they can go no further.  The rows and sentences are made
// here; main.js runs precise.js's steps after the render.  Nothing here
// touches the DOM.

import { root, sci, theoreticalOrder, ulpsFrom } from "./numbers.js";
import { compute, iterateOnce } from "./sweep.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {import("./precise.js").Row} Row */
/** @typedef {import("./precise.js").Stop} Stop */

/** The decimal digits precise.js carries here, and how close the estimated order must come to theory's. */
export const PRECISE = { digits: 1100, tolerance: 0.005 };
/** The most steps the doubles are iterated: they stop long before. */
const MOST = 40;

/**
 * Where the program's doubles stop.  "root": p_step is the double nearest
 * the root.  "still": p_(step+1) is within 2 ulps of p_step, as Iterate's
 * note says, and further steps only move p by rounding.  "refused":
 * Iterate refuses the next step (a zero denominator).  "nan": p_0 is not a
 * number.  "cap": still moving after MOST steps.
 * @typedef {object} DoublesStop
 * @property {number} step
 * @property {"root" | "still" | "refused" | "nan" | "cap"} why
 * @property {number[]} ps the doubles' iterates p_0 ... p_step
 */

/**
 * The program's doubles iterated from these nodes, as Iterate does, until
 * they stop.
 * @param {Model} m
 * @param {{nodes: number[], exp: ExpName}} choice
 * @returns {DoublesStop}
 */
export function doublesStop(m, choice) {
  let s = { nodes: choice.nodes, exp: choice.exp, shown: Infinity, iterates: /** @type {number[]} */ ([]) };
  let r = compute(m, s);
  const ps = [r.p];
  if (!Number.isFinite(r.p)) return { step: 0, why: "nan", ps };
  for (let k = 0; k < MOST; k++) {
    if (ps[k] === root) return { step: k, why: "root", ps };
    const next = iterateOnce(m, s, r);
    if (next.refused !== undefined) return { step: k, why: "refused", ps };
    const p = next.iterates[next.iterates.length - 1];
    if (Math.abs(ulpsFrom(p, ps[k])) <= 2) return { step: k, why: "still", ps };
    ps.push(p);
    s = { ...s, ...next };
    r = compute(m, s);
  }
  return { step: MOST, why: "cap", ps };
}

/** The orders table's column heads. */
export const ORDER_HEADS = [
  "k",
  `|p_k − root|, ${PRECISE.digits} digits`,
  "estimated order",
  "the program's doubles: |p_k − root|",
];

/** The orders table's caption, for n nodes. */
export function ordersCaption(/** @type {number} */ n) {
  return (
    `The iteration from these ${n} nodes followed in ${PRECISE.digits} digits, until the estimated order comes ` +
    `within ${PRECISE.tolerance} of the theoretical ${theoreticalOrder(n).toFixed(3)}. These digits are not the ` +
    `program's: the page's own code computes them, in exact fixed-point arithmetic (JavaScript's BigInt) with ` +
    `${PRECISE.digits} decimal digits, y = e^(−2x) − x and the root included. The last column is the program's ` +
    "doubles, Iterate's p_k, beside them."
  );
}

/**
 * A row a step: k, the error in many digits, the estimated order, the
 * doubles' error while they go on ("–" after they stop), and whether the
 * doubles stop at this row.
 * @param {Row[]} rows
 * @param {DoublesStop} d
 * @returns {{cells: string[], stop: boolean}[]}
 */
export function orderRows(rows, d) {
  return rows.map((row) => ({
    cells: [
      String(row.step),
      row.error,
      row.order === null ? "–" : row.order.toFixed(3),
      row.step > d.step || row.step >= d.ps.length
        ? "–"
        : (Number.isFinite(d.ps[row.step])
            ? sci(Math.abs(d.ps[row.step] - root), 2)
            : `p${row.step} = ${d.ps[row.step]}`) + (row.step === d.step ? ", and they stop here" : ""),
    ],
    stop: row.step === d.step,
  }));
}

/**
 * Why the many-digit iteration ended, and where and why the doubles did.
 * @param {number} n the number of nodes
 * @param {Row[]} rows
 * @param {Stop} stop
 * @param {DoublesStop} d
 */
export function ordersNote(n, rows, stop, d) {
  const theory = theoreticalOrder(n).toFixed(3),
    k = stop.step,
    [a, b] = stop.nodes ?? [0, 0];
  // nodes are counted x_0, x_1, ...: the starting ones, then x_(n+k) = p_k
  const node = (/** @type {number} */ i) => (i < n ? `x${i}` : `p${i - n}`);
  const last = rows[rows.length - 1];
  const precise = {
    order: `At k = ${k} the estimated order, ${last?.order?.toFixed(3)}, is within ${PRECISE.tolerance} of the theoretical ${theory}.`,
    precision:
      `At k = ${k} the error fell below 10^−${PRECISE.digits}, past what these digits resolve, before the ` +
      `estimated order came within ${PRECISE.tolerance} of ${theory}.`,
    cap: `After ${k} steps the estimated order has not come within ${PRECISE.tolerance} of ${theory}.`,
    "equal-y":
      `${k === 0 ? "" : `At k = ${k} `}${node(a)} and ${node(b)} are the same node, so their y are equal: ` +
      `the sweep would divide by zero, and ${k === 0 ? "there is nothing to iterate" : "the iteration ends"}.`,
    "lands-on-node": `${node(b)} is ${node(a)} already: the next sweep would divide by zero, and the iteration ends.`,
    far: `p${k - 1} lies outside [−8, 8], far from the root, where the page takes no exponential: the iteration ends.`,
    invalid: `These nodes cannot be iterated here: ${stop.message}.`,
  }[stop.reason];
  const ulps = "within 2 ulps (units in the last place) of it";
  const at = `The program's doubles stop at k = ${d.step}${rows.length && d.step > rows[rows.length - 1].step ? ", after the last row here" : ""}`;
  const doubles = {
    root: `${at}: p${d.step} is the double nearest the root, and no step betters it.`,
    still: `${at}: their next iterate is ${ulps}, and further steps move p by ` + "rounding only.",
    refused:
      `${at}: the next step would take p${d.step} as a node with the y of a ` +
      "node already there, a zero denominator, and Iterate refuses it.",
    nan: `The program's doubles have nothing to iterate: p0 is ${d.ps[0]}, from a zero denominator in the sweep.`,
    cap: `The program's doubles are still moving after ${d.step} steps.`,
  }[d.why];
  return `${precise} ${doubles}`;
}
