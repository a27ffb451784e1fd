// Iterate's numbers: the iterates p_k and their errors, where Iterate stops,
// and the many-digit table's rows beside the doubles.

import { correctDigits, errorOf } from "./accuracy.js";
import { compute, iterateOnce } from "./sweep.js";
import { inverseChecks } from "./functions.js";
import { LIMITS } from "./limits.js";
import { orderAt } from "./precise.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {import("./precise.js").Row} Row */
/** @typedef {import("./accuracy.js").DoubleDouble} DoubleDouble */

/** The iterates against the true root (errors NaN without one); `orders`, estimated in many digits, are null
 * before k = 2, where the errors do not fall, and until they are computed.
 * @param {number[]} ps @param {(x: number) => number} f as the page computes it @param {DoubleDouble | null} root
 * @param {(number | null)[]} orders @param {number | null} theory where it holds */
export function iterationRows(ps, f, root, orders, theory) {
  return ps.map((p, k) => ({
    k,
    p,
    error: root ? errorOf(p, root) : NaN,
    digits: root && Number.isFinite(p) ? correctDigits(p, root) : null,
    residual: f(p),
    order: (root && orders[k]) ?? null,
    theory,
  }));
}

/** @typedef {ReturnType<typeof iterationRows>[number]} IterationRow */

/** The theoretical order for the nodes; it holds near a root, over y that rise or fall steadily. */
export function theoryOf(/** @type {import("./sweep.js").Result} */ r) {
  return {
    order: orderAt(r.pts.length, r.fn.found),
    holds: r.fn.root !== null && inverseChecks(r.pts).monotone,
  };
}

/** Why Iterate can do no more after the iterates ps, or null: the last is the double nearest the root, so that
 * no step brings p nearer; the next step would be refused; or the most Iterates are made.
 * @param {Model} m @param {import("./sweep.js").Choice & {iterates: number[]}} s
 * @param {import("./sweep.js").Result} r @param {number[]} ps the iterates so far
 * @returns {{why: "root" | "most"} | {why: "refused", refusal: import("./sweep.js").Refusal} | null} */
export function iterateDone(m, s, r, ps) {
  if (ps[ps.length - 1] === r.fn.root?.hi) return { why: "root" };
  const next = iterateOnce(m, s, r);
  if (next.refused !== undefined) return { why: "refused", refusal: next.refused };
  return ps.length > LIMITS.iterates ? { why: "most" } : null;
}

/** Where Iterate stops from the starting nodes, and why: as iterateDone, "nan" where p0 is no number.
 * @typedef {{step: number, why: "root" | "most" | "refused" | "nan", ps: number[]}} DoublesStop */

/** @param {Model} m @param {{nodes: number[], exp: ExpName, fn: import("./functions.js").Fn}} choice
 * @returns {DoublesStop} */
export function doublesStop(m, choice) {
  let s = { ...choice, shown: Infinity, iterates: /** @type {number[]} */ ([]) };
  for (let r = compute(m, s); ; r = compute(m, s)) {
    const ps = s.iterates.length ? s.iterates : [r.p],
      done = iterateDone(m, s, r, ps);
    if (done !== null) {
      const why = done.why === "refused" && done.refusal.why === "nan" ? "nan" : done.why;
      return { step: ps.length - 1, why, ps };
    }
    s = { ...s, ...iterateOnce(m, s, r) };
  }
}

/** A row of the many-digit table, beside Iterate's p_k while it goes on, and whether Iterate stops there.
 * @typedef {{row: Row, doubles: number | undefined, error: number, stop: boolean}} OrderRow */

/** @param {Row[]} rows @param {DoublesStop} d @param {DoubleDouble} root @returns {OrderRow[]} */
export function orderRows(rows, d, root) {
  return rows.map((row) => {
    const doubles = d.ps[row.step];
    return { row, doubles, error: doubles === undefined ? NaN : errorOf(doubles, root), stop: row.step === d.step };
  });
}
