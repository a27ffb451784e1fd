// Iterate's numbers: the iterates p_k and their errors, where the program's
// doubles stop, and the many-digit table's rows beside them.

import { theoreticalOrder, ulpsFrom } from "./numbers.js";
import { correctDigits, errorOf, ulpsOff } from "./accuracy.js";
import { compute, iterateOnce } from "./sweep.js";
import { inverseChecks } from "./functions.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {import("./precise.js").Row} Row */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */

/** The iterates against the true root; `orders`, estimated in many digits, are null before k = 2, where the
 * errors do not fall, and until they are computed.
 * @param {number[]} ps @param {(x: number) => number} f as the page computes it @param {DoubleDouble | null} root
 * @param {(number | null)[]} orders @param {number | null} theory where it holds */
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

/** @typedef {ReturnType<typeof iterationRows>[number]} IterationRow */

/** The theoretical order for the nodes; it holds at a simple root, over y that rise or fall steadily. */
export function theoryOf(/** @type {import("./sweep.js").Result} */ r) {
  const { found } = r.fn;
  return {
    order: theoreticalOrder(r.pts.length),
    holds: r.fn.root !== null && "multiplicity" in found && found.multiplicity === 1 && inverseChecks(r.pts).monotone,
  };
}

/** The most steps the doubles are iterated: they stop long before. */
const MOST = 40;

/** Where the program's doubles stop: "root", p_step is the double nearest it; "still", p_(step+1) is within 2 ulps
 * of p_step; "cap", still moving after MOST steps.  `ps` goes on as far as Iterate does, until it sees them settle.
 * @typedef {{step: number, why: "root" | "still" | "refused" | "nan" | "cap", ps: number[]}} DoublesStop */

/** @param {Model} m @param {{nodes: number[], exp: ExpName, fn: import("./functions.js").Fn}} choice
 * @returns {DoublesStop} */
export function doublesStop(m, choice) {
  let s = { ...choice, shown: Infinity, iterates: /** @type {number[]} */ ([]) };
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

/** A row of the many-digit table, beside Iterate's p_k while it goes on, and whether the doubles stop there.
 * @typedef {{row: Row, doubles: number | undefined, error: number, stop: boolean}} OrderRow */

/** @param {Row[]} rows @param {DoublesStop} d @param {DoubleDouble} root @returns {OrderRow[]} */
export function orderRows(rows, d, root) {
  return rows.map((row) => {
    const doubles = d.ps[row.step];
    const error = doubles === undefined ? NaN : errorOf(doubles, root);
    return { row, doubles, error, stop: row.step === d.step && d.why !== "cap" };
  });
}

/** Why Iterate can do no more, or null: the next step would be refused, or the last iterate is within 2 ulps of
 * the one before, so that further steps move p by rounding only.
 * @param {Model} m @param {import("./sweep.js").Choice & {iterates: number[]}} s
 * @param {import("./sweep.js").Result} r @param {number[]} ps the iterates so far
 * @returns {{why: "refused", refusal: import("./sweep.js").Refusal} | {why: "settled", apart: number} | null} */
export function iterateDone(m, s, r, ps) {
  const next = iterateOnce(m, s, r);
  if (next.refused !== undefined) return { why: "refused", refusal: next.refused };
  const apart = settled(ps);
  return apart === null ? null : { why: "settled", apart };
}

/** The ulps between the last two iterates, where at most 2: as far as doubles go; else null. */
export function settled(/** @type {number[]} */ ps) {
  if (ps.length < 2) return null;
  const apart = Math.abs(ulpsFrom(ps[ps.length - 1], ps[ps.length - 2]));
  return apart <= 2 ? apart : null;
}
