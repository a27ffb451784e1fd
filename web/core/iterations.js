// Iterate's numbers: the iterates p_0, p_1, ... of n nodes, each with its
// error, its correct digits, its residual and the order of convergence
// its errors show; where the program's doubles stop; and the rows of the
// many-digit table beside them.  Nothing here touches the DOM.

import { theoreticalOrder, ulpsFrom } from "./numbers.js";
import { correctDigits, errorOf, ulpsOff } from "./accuracy.js";
import { compute, iterateOnce } from "./sweep.js";
import { inverseChecks } from "./functions.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {import("./precise.js").Row} Row */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */

/**
 * One iterate: its error against the true root (not the double nearest
 * it), that in ulps of the root's double, its correct digits (accuracy.js
 * says how they are counted), f(p_k) as the page computes f, the order of
 * convergence estimated in many digits at step k (null before k = 2, where
 * the errors do not fall, and until they are computed) and theory's, where
 * it holds.  Without a known root, no error, ulps, digits or order.
 * @typedef {object} IterationRow
 * @property {number} k
 * @property {number} p
 * @property {number} error
 * @property {number | null} ulps
 * @property {string | null} digits
 * @property {number} residual
 * @property {number | null} order
 * @property {number | null} theory
 */

/**
 * The iterates p_0, p_1, ... of n nodes, a row each.
 * @param {number[]} ps
 * @param {(x: number) => number} f as the page computes it
 * @param {DoubleDouble | null} root
 * @param {(number | null)[]} orders the orders estimated in many digits, by k
 * @param {number | null} theory the theoretical order, where it holds
 * @returns {IterationRow[]}
 */
export function iterationRows(ps, f, root, orders, theory) {
  return ps.map((p, k) => {
    const error = root ? errorOf(p, root) : NaN;
    return {
      k,
      p,
      error,
      ulps: root && Number.isFinite(error) ? ulpsOff(p, root) : null,
      digits: root && Number.isFinite(p) ? correctDigits(p, root) : null,
      residual: f(p),
      order: (root && orders[k]) ?? null,
      theory,
    };
  });
}

/**
 * The theoretical order for the nodes, and whether it holds here: a
 * simple root, and the y rising or falling steadily over the nodes.
 * @param {import("./sweep.js").Result} r
 */
export function theoryOf(r) {
  const { found } = r.fn;
  return {
    order: theoreticalOrder(r.pts.length),
    holds: r.fn.root !== null && "multiplicity" in found && found.multiplicity === 1 && inverseChecks(r.pts).monotone,
  };
}

/** The most steps the doubles are iterated: they stop long before. */
const MOST = 40;

/**
 * Where the program's doubles stop.  "root": p_step is the double nearest
 * the root.  "still": p_(step+1) is within 2 ulps of p_step, and further
 * steps only move p by rounding.  "refused": Iterate refuses the next step
 * (a zero denominator).  "nan": p_0 is not a number.  "cap": still moving
 * after MOST steps.
 * @typedef {object} DoublesStop
 * @property {number} step
 * @property {"root" | "still" | "refused" | "nan" | "cap"} why
 * @property {number[]} ps the doubles' iterates as Iterate makes them, p_0 to where it can do no more (which may be
 *   a step or two past `step`: Iterate goes on until it sees the iterates settle)
 */

/**
 * The program's doubles iterated from these nodes, as Iterate does, until
 * they stop, and on as far as Iterate goes.
 * @param {Model} m
 * @param {{nodes: number[], exp: ExpName, fn: import("./functions.js").Fn}} choice
 * @returns {DoublesStop}
 */
export function doublesStop(m, choice) {
  /** @type {number[]} */
  const none = [];
  let s = { ...choice, shown: Infinity, iterates: none };
  let r = compute(m, s);
  const ps = [r.p];
  if (!Number.isFinite(r.p)) return { step: 0, why: "nan", ps };
  /** @type {{step: number, why: DoublesStop["why"]} | null} */
  let stop = null;
  for (let k = 0; k < MOST; k++) {
    if (stop === null && ps[k] === choice.fn.root?.hi) stop = { step: k, why: "root" };
    const done = iterateDone(m, s, r, ps);
    if (done !== null) {
      stop ??= { step: k, why: "refused" };
      break;
    }
    const next = iterateOnce(m, s, r);
    if (next.refused !== undefined) break;
    const p = next.iterates[next.iterates.length - 1];
    if (stop === null && Math.abs(ulpsFrom(p, ps[k])) <= 2) stop = { step: k, why: "still" };
    ps.push(p);
    s = { ...s, ...next };
    r = compute(m, s);
  }
  return { ...(stop ?? { step: MOST, why: "cap" }), ps };
}

/**
 * A row of the many-digit table: step k's error and estimated order in
 * many digits, beside Iterate's p_k while it goes on (undefined after)
 * and its error against the true root, and whether the doubles stop at
 * this row.
 * @typedef {{row: Row, doubles: number | undefined, error: number, stop: boolean}} OrderRow
 */

/**
 * @param {Row[]} rows
 * @param {DoublesStop} d
 * @param {DoubleDouble} root
 * @returns {OrderRow[]}
 */
export function orderRows(rows, d, root) {
  return rows.map((row) => {
    const doubles = d.ps[row.step];
    const error = doubles === undefined ? NaN : errorOf(doubles, root);
    return { row, doubles, error, stop: row.step === d.step && d.why !== "cap" };
  });
}

/**
 * Whether Iterate can do no more, and why: the next step would be refused
 * (a zero denominator, or p not a number), or the last iterate is within
 * 2 ulps of the one before, so that further steps move p by rounding only
 * (`apart` ulps).  Null while it can do more.
 * @param {Model} m
 * @param {import("./sweep.js").Choice & {iterates: number[]}} s
 * @param {import("./sweep.js").Result} r the state's result
 * @param {number[]} ps the iterates so far
 * @returns {{why: "refused", refusal: import("./sweep.js").Refusal} | {why: "settled", apart: number} | null}
 */
export function iterateDone(m, s, r, ps) {
  const next = iterateOnce(m, s, r);
  if (next.refused !== undefined) return { why: "refused", refusal: next.refused };
  const apart = settled(ps);
  return apart === null ? null : { why: "settled", apart };
}

/**
 * How many ulps the last iterate lies from the one before, where that is
 * at most 2: the iteration has reached what doubles allow; else null.
 * @param {number[]} ps
 */
export function settled(ps) {
  if (ps.length < 2) return null;
  const apart = Math.abs(ulpsFrom(ps[ps.length - 1], ps[ps.length - 2]));
  return apart <= 2 ? apart : null;
}
