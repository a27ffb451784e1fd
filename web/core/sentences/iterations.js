// Iterate in words: the iterations table, why Iterate can do no more, and the many-digit table.

import { minus, sci, show, superscript, theoreticalOrder } from "../numbers.js";
import { LIMITS } from "../limits.js";
import { noValueText } from "./functions.js";

/** @typedef {import("../sweep.js").Refusal} Refusal */
/** @typedef {import("../precise.js").Stop} Stop */

/** The iterations table's caption: the theoretical orders for n nodes, and the one here where one holds.
 * @param {number} n @param {number} theory @param {boolean} holds */
export function iterationsCaption(n, theory, holds) {
  const t = (/** @type {number} */ k) => (k === 1 ? "t" : `t${superscript(k)}`);
  const terms = n <= 4 ? Array.from({ length: n - 1 }, (_, m) => t(n - 1 - m)).join(" + ") : `${t(n - 1)} + … + t`;
  return (
    `Near a simple root, ${n} nodes converge with order ${theoreticalOrder(n).toFixed(3)}, the largest root of ` +
    `${t(n)} = ${terms} + 1; near a multiple root, with order 1. ` +
    (holds ? `Here it is ${theory.toFixed(3)}.` : "Neither holds here, so that column is empty.")
  );
}
/** The iterations table's column heads, on the page and in its files. */
export const ITERATION_HEADS = [
  "k",
  "p_k",
  "p_k − root",
  "correct digits",
  "f(p_k), in doubles",
  "estimated order (2000 digits)",
  "theoretical order",
];
/** An iteration's cells as the page shows them, k first. */
export function iterationCells(/** @type {import("../iterations.js").IterationRow} */ row) {
  return [
    String(row.k),
    show(row.p),
    Number.isNaN(row.error) ? "–" : sci(row.error, 2),
    row.digits === null ? "–" : String(row.digits),
    sci(row.residual, 2),
    row.order === null ? "–" : row.order.toFixed(3),
    row.theory === null ? "–" : row.theory.toFixed(3),
  ];
}

/** Why Iterate made no step. */
export function refusalText(/** @type {Refusal} */ r) {
  if (r.why === "nan") return `p is ${r.p}: there is nothing to iterate with.`;
  return (
    `The next step would take p = ${r.p} as a node, but ` +
    (r.at >= 0 ? `it is node ${r.at} already` : "its y is that of a node already there") +
    `: a division by zero${Number.isFinite(r.next) ? "" : `, and p would be ${minus(String(r.next))}`}. ` +
    "The iteration has reached what doubles allow."
  );
}
/** Why a link's Iterates could not all be made. */
export const replayText = (/** @type {{asked: number, made: number, why: Refusal}} */ r) =>
  `The link asks for ${r.asked} Iterates; only ${r.made} can be made: ${refusalText(r.why)}`;

/** Why Iterate stops where it is still moving. */
const mostText = `Iterate stops at ${LIMITS.iterates} Iterates, the most a link may ask for.`;

/** Why Iterate can do no more after p_k, where it cannot.
 * @param {number} k @param {ReturnType<typeof import("../iterations.js").iterateDone>} done */
export function iterateNote(k, done) {
  if (done === null) return "";
  if (done.why === "refused") return refusalText(done.refusal);
  return done.why === "most" ? mostText : `p${k} is the double nearest the root: no step can bring p nearer.`;
}

/** The many-digit table's column heads. */
export const orderHeads = (/** @type {number} */ digits) => [
  "k",
  `|p_k − root|, ${digits} digits`,
  "estimated order",
  "the doubles' |p_k − root|",
];

/** The many-digit table's caption. @param {number} n @param {{digits: number, tolerance: number}} precise */
export function ordersCaption(n, { digits, tolerance }) {
  return (
    `The iteration from the ${n} nodes Iterate started from, in fixed point with ${digits} decimal digits and ` +
    `64 bits more, the page's own arithmetic, not the program's: until two estimated orders in a row come within ` +
    `${tolerance} of the theoretical one. Beside it, the doubles' own iterates against the same root.`
  );
}

/** Why the many-digit table has no rows: no root to follow. */
export const noRootText = (/** @type {string} */ why) => `No root to follow in many digits: ${why}.`;

/** Why the many-digit iteration cannot start or go on. */
function invalidText(/** @type {Stop} */ stop) {
  if (stop.why === "domain") return `f has no value near its root here: ${noValueText(stop.what ?? "")}`;
  if (stop.why === "root") return "Newton's method found no root in these digits";
  return `the ${stop.what} cannot be iterated in this arithmetic`;
}

/** A row of the many-digit table, the doubles' error marked where they stop. */
export function orderCells(/** @type {import("../iterations.js").OrderRow} */ o) {
  const { row, doubles } = o;
  return [
    String(row.step),
    row.error,
    row.order === null ? "–" : row.order.toFixed(3),
    doubles === undefined
      ? "–"
      : (Number.isFinite(doubles) ? sci(Math.abs(o.error), 2) : `p${row.step} = ${doubles}`) +
        (o.stop ? ", and they stop here" : ""),
  ];
}

/** Why the many-digit iteration ended, and where and why the doubles did.
 * @param {number} n nodes @param {import("../precise.js").Row[]} rows @param {Stop} stop @param {number} theory
 * @param {import("../iterations.js").DoublesStop} d @param {{digits: number, tolerance: number}} precise */
export function ordersNote(n, rows, stop, d, theory, { digits, tolerance }) {
  const t = theory.toFixed(3),
    k = stop.step,
    [a, b] = stop.nodes ?? [0, 0];
  // nodes are counted x_0, x_1, ...: the starting ones, then x_(n+k) = p_k
  const node = (/** @type {number} */ i) => (i < n ? `x${i}` : `p${i - n}`);
  const last = rows[rows.length - 1],
    before = rows[rows.length - 2];
  const many = {
    order:
      `At k = ${k - 1} and ${k} the estimated orders, ${before?.order?.toFixed(3)} and ${last?.order?.toFixed(3)}, ` +
      `are both within ${tolerance} of the theoretical ${t}.`,
    precision: `At k = ${k} the error fell below 10^−${digits}, past what these digits resolve.`,
    cap: `After ${k} steps no two estimated orders in a row have come within ${tolerance} of ${t}.`,
    "equal-y": `${k === 0 ? "" : `At k = ${k} `}${node(a)} and ${node(b)} have the same y: the sweep would divide by zero.`,
    "lands-on-node": `${node(b)} is ${node(a)} already: the next sweep would divide by zero.`,
    far: `p${k - 1} lies outside [−${LIMITS.far}, ${LIMITS.far}], beyond what this arithmetic takes.`,
    invalid: `These nodes cannot be iterated here: ${invalidText(stop)}.`,
  }[stop.reason];
  const at = `The doubles stop at k = ${d.step}${rows.length && d.step > rows[rows.length - 1].step ? ", after the last row" : ""}`;
  const doubles = {
    root: `${at}: p${d.step} is the double nearest the root.`,
    refused: `${at}: the next step would divide by zero, and Iterate refuses it.`,
    nan: `The doubles have nothing to iterate: p0 is ${d.ps[0]}.`,
    most: `${at}: ${mostText}`,
  }[d.why];
  return `${many} ${doubles}`;
}

/** What the many-digit table says while it is computed. */
export const computingText = (/** @type {number} */ digits) => `Computing in ${digits} digits…`;
