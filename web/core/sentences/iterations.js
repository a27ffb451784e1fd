// Iterate in words: the iterations table's caption, heads and cells, why
// Iterate did nothing or can do no better, and the many-digit table's
// caption, cells and notes.

import { minus, sci, show, superscript } from "../numbers.js";
import { LIMITS } from "../limits.js";
import { count } from "./parts.js";
import { NEWTON_FAILS, noValueText } from "./functions.js";

/** @typedef {import("../iterations.js").IterationRow} IterationRow */
/** @typedef {import("../iterations.js").OrderRow} OrderRow */
/** @typedef {import("../iterations.js").DoublesStop} DoublesStop */
/** @typedef {import("../sweep.js").Refusal} Refusal */
/** @typedef {import("../precise.js").Row} Row */
/** @typedef {import("../precise.js").Stop} Stop */

/**
 * The iterations table's caption, for n nodes.
 * @param {number} n
 * @param {number} theory the theoretical order for n nodes
 */
export function iterationsCaption(n, theory) {
  const t = (/** @type {number} */ k) => (k === 1 ? "t" : `t${superscript(k)}`);
  const terms =
    n <= 4 ? Array.from({ length: n - 1 }, (_, m) => t(n - 1 - m)).join(" + ") : `${t(n - 1)} + ${t(n - 2)} + … + t`;
  return (
    `Iterates of ${n}-node inverse interpolation; the theoretical order for ` +
    `${n} nodes, near a simple root at which g⁽${superscript(n)}⁾(0) ≠ 0, g the inverse of f, ` +
    `is ${theory.toFixed(3)}, the largest root of ${t(n)} = ${terms} + 1 (where that derivative is 0 the order is ` +
    `higher; at a multiple root, where the inverse's slope is infinite, it does not hold). Orders are estimated only from ` +
    `errors above ${LIMITS.noise} units in the last place, where rounding does not decide them.`
  );
}
/** The iterations table's column heads, on the page and in its files. */
export const ITERATION_HEADS = [
  "k",
  "p_k",
  "p_k − root",
  "p_k − root, in units in the last place",
  "correct digits",
  "f(p_k)",
  "estimated order",
  "theoretical order",
];
/** An iteration's cells as the page shows them, k first. */
export function iterationCells(/** @type {IterationRow} */ row) {
  return [
    String(row.k),
    show(row.p),
    sci(row.error, 2),
    // in ulps to two decimals where they are few, else as the error is: all their digits say nothing more
    row.ulps === null ? "–" : Math.abs(row.ulps) < 1000 ? row.ulps.toFixed(2) : sci(row.ulps, 3),
    row.digits === null ? "–" : String(row.digits),
    sci(row.residual, 2),
    row.order === null ? "–" : row.order.toFixed(3),
    row.theory.toFixed(3),
  ];
}

/** Why Iterate made no step. */
export function refusalText(/** @type {Refusal} */ r) {
  if (r.why === "nan") return `p is ${r.p}: there is nothing to iterate with.`;
  return (
    `The next step would take p = ${r.p} as a node, but ` +
    (r.at >= 0 ? `it is node ${r.at} already` : "its y is the y of a node already there") +
    `: a zero denominator${Number.isFinite(r.next) ? "" : `, and p would be ${minus(String(r.next))}`}. ` +
    "The iteration has reached what double precision allows; " +
    "the page keeps the last good nodes."
  );
}
/** Why a link's Iterates could not all be made. */
export const replayText = (/** @type {{asked: number, made: number, why: Refusal}} */ r) =>
  `The link asks for ${r.asked} Iterates; from these nodes only ${r.made} can be made: ${refusalText(r.why)}`;

/**
 * What the iterations have come to, where Iterate can do no more (the
 * last iterate is index k): the next step would be refused, or the last
 * iterate lies within 2 ulps of the one before; and what its y is made
 * of, where that is known.
 * @param {number} k
 * @param {ReturnType<typeof import("../iterations.js").iterateDone>} done
 * @param {import("../residual.js").Parts | null} [parts] p_k's y taken apart
 */
export function iterateNote(k, done, parts = null) {
  if (done === null) return "";
  const y = parts && parts.exact !== 0 && Number.isFinite(parts.y) ? yText(k, parts) : "";
  if (done.why === "refused") return refusalText(done.refusal) + y;
  const { apart } = done;
  return (
    `p${k} is ${apart ? `${count(apart, "ulp")} from` : "the same as"} ` +
    `p${k - 1}: the iteration has reached what double precision allows.${y} Further steps move p only by ` +
    "rounding, a few ulps, the more the more nodes there are: they may land on the double nearest the root or " +
    "move away from it."
  );
}

/**
 * What a y near the root keeps and loses: its sign, and how far its size is off.
 * @param {number} k
 * @param {import("../residual.js").Parts} parts
 */
function yText(k, parts) {
  const off = Math.abs(parts.rounding / parts.exact),
    sign = Math.sign(parts.y) === Math.sign(parts.exact);
  return (
    ` Near the root f is tiny: at p${k} the page's y is ${sci(parts.y, 2)}, the true f(p${k}) ${sci(parts.exact, 2)}. ` +
    (sign
      ? `Its sign is right, so it still says on which side of the root p${k} lies, but its size is ` +
        `${Math.round(100 * off)} % off: rounding's, not f's.`
      : "Even its sign is rounding's.")
  );
}

/** The many-digit table's column heads. */
export const orderHeads = (/** @type {number} */ digits) => [
  "k",
  `|p_k − root|, ${digits} digits`,
  "estimated order",
  "the program's doubles: |p_k − root|",
];

/**
 * The many-digit table's caption.
 * @param {number} n
 * @param {number} theory
 * @param {{digits: number, tolerance: number}} precise
 */
export function ordersCaption(n, theory, { digits, tolerance }) {
  return (
    `The iteration from the ${n} nodes Iterate started from, followed in ${digits} digits until two estimated ` +
    `orders in a row come within ${tolerance} of the theoretical ${theory.toFixed(3)}. These digits are not the ` +
    `program's: the page's own code computes them in fixed-point arithmetic (JavaScript's BigInt) with ${digits} ` +
    "decimal digits and 64 bits more, y, the root and each entry rounded to the last of them, far below the " +
    "errors shown. The last column is the program's doubles, Iterate's p_k, beside them, each against the same " +
    "root."
  );
}

/** Why the many-digit table has no rows: no root to follow. */
export const noRootText = (/** @type {string} */ why) => `There is no root to follow in many digits: ${why}.`;

/**
 * Why the many-digit iteration cannot start or go on.
 * @param {Stop} stop
 */
function invalidText(stop) {
  if (stop.why === "domain") return `f has no value near its root here: ${noValueText(stop.what ?? "")}`;
  if (stop.why === "root") return NEWTON_FAILS[/** @type {keyof typeof NEWTON_FAILS} */ (stop.what)] ?? "no root";
  return `the ${stop.what} cannot be iterated in this arithmetic`;
}

/**
 * A row of the many-digit table as the page shows it: k, the error, the
 * estimated order, the doubles' error against the true root while they go
 * on.
 * @param {OrderRow} o
 */
export function orderCells(o) {
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

/**
 * Why the many-digit iteration ended, and where and why the doubles did.
 * @param {number} n the number of nodes
 * @param {Row[]} rows
 * @param {Stop} stop
 * @param {DoublesStop} d
 * @param {number} theory
 * @param {{digits: number, tolerance: number, alike: number[]}} precise the digits and tolerance, and the other
 *   numbers of nodes whose theoretical orders lie within the tolerance of this one's
 */
export function ordersNote(n, rows, stop, d, theory, { digits, tolerance, alike }) {
  const t = theory.toFixed(3),
    k = stop.step,
    [a, b] = stop.nodes ?? [0, 0];
  // nodes are counted x_0, x_1, ...: the starting ones, then x_(n+k) = p_k
  const node = (/** @type {number} */ i) => (i < n ? `x${i}` : `p${i - n}`);
  const last = rows[rows.length - 1],
    before = rows[rows.length - 2];
  const many = {
    order:
      `At k = ${k - 1} and k = ${k} the estimated orders, ${before?.order?.toFixed(3)} and ` +
      `${last?.order?.toFixed(3)}, are both within ${tolerance} of the theoretical ${t}.`,
    precision:
      `At k = ${k} the error fell below 10^−${digits}, past what these digits resolve, before two estimated ` +
      `orders in a row came within ${tolerance} of ${t}.`,
    cap: `After ${k} steps no two estimated orders in a row have come within ${tolerance} of ${t}.`,
    "equal-y":
      `${k === 0 ? "" : `At k = ${k} `}${node(a)} and ${node(b)} are the same node, so their y are equal: ` +
      `the sweep would divide by zero, and ${k === 0 ? "there is nothing to iterate" : "the iteration ends"}.`,
    "lands-on-node": `${node(b)} is ${node(a)} already: the next sweep would divide by zero, and the iteration ends.`,
    far: `p${k - 1} lies outside [−${LIMITS.far}, ${LIMITS.far}], far from the root and beyond what this arithmetic takes: the iteration ends.`,
    invalid: `These nodes cannot be iterated here: ${invalidText(stop)}.`,
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
  const apart = alike.length
    ? ` The theoretical orders for ${alike.map((m) => `${m} nodes`).join(" and ")} and for ${n} differ by less than ` +
      `${tolerance}: in these digits the estimates cannot tell them apart.`
    : "";
  return `${many}${apart} ${doubles}`;
}

/** What the many-digit table says while it is computed. */
export const computingText = (/** @type {number} */ digits) => `Computing in ${digits} digits…`;
