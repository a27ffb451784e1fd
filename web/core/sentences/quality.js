// How good p is, in words: the root, the verdict on p, Neville's own
// estimate, the bound on the interpolation error, and p for a screen reader.

import { minus, sci, show, superscript } from "../numbers.js";
import { count, entryName, nodeName, sub } from "./parts.js";
import { noBoundText, whyNoRoot } from "./functions.js";

/** @typedef {import("./parts.js").Part} Part */
/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../bound.js").Bound | import("../bound.js").NoBound} BoundOrNot */

/** A signed number in short scientific notation, its sign written. */
export const signed = (/** @type {number} */ x) => (x > 0 ? "+" : "") + sci(x, 2);
/** A list of names: "x1", "x1 and x2", "x1, x2 and x3". */
const list = (/** @type {string[]} */ names) => names.join(", ").replace(/, ([^,]*)$/, " and $1");

/** p and its error, as the live region says it, unless p is to be predicted (not `pKnown`).
 * @param {Pick<Result, "p" | "acc">} r @param {boolean} [pKnown] */
export const pText = (r, pKnown = true) =>
  !pKnown
    ? "p is yours to predict."
    : `p = ${show(r.p)}` + (r.acc && Number.isFinite(r.acc.error) ? `, ${sci(r.acc.error, 2)} from the root.` : ".");

/** The bound while the workers find it. */
export const BOUND_COMPUTING = "Computing the bound…";
/** The residual f(p) as the double the page computes: its shortest digits, then in short. */
export const residualText = (/** @type {number} */ f) => `${show(f)} (${sci(f, 2)}), computed in doubles`;

/** The root to 20 digits (and "…" where it goes on) and its double, or why there is none.
 * @param {Result} r @param {string} digits */
export function rootText(r, digits) {
  const { root, found } = r.fn;
  if (!root) return `none to compare with: ${"kind" in found ? whyNoRoot(found) : ""}`;
  return root.lo === 0 ? `${digits}, a double` : `${digits} (the nearest double: ${show(root.hi)})`;
}

/** @param {Result} r @param {import("../verdicts.js").Verdict} v @returns {Part[]} */
export function qualityNote(r, v) {
  const x = (/** @type {number} */ k) => `${nodeName(k)} = ${show(r.pts[k].x)}`;
  switch (v.kind) {
    case "same": {
      const { a, b } = r.same[0];
      return [`${x(a)} and ${x(b)} have the same y, so the rule divides y${b} − y${a} = 0, and p is ${show(r.p)}.`];
    }
    case "noValue":
      return [`f has no value at ${x(v.k)}: its y is ${show(r.pts[v.k].y)}, and so p is ${show(r.p)}.`];
    case "overflow":
      return [`The sweep overflowed: p is ${show(r.p)}.`];
    case "turns":
      return [
        `In order of x, the y turn back at ${list(v.at.map(nodeName))}: inverse interpolation needs them to rise ` +
          "or fall throughout, so p need not be near a root.",
      ];
    case "rounding":
      return [
        `Moving each y by its rounding moves p by up to ${sci(v.reach, 2)} in all, ` +
          (v.error === null
            ? v.decides
              ? "as far as p lies from the nearest node: rounding decides p here."
              : `${v.percent} % of p's distance from the nearest node, ${sci(v.base, 2)}.`
            : v.decides
              ? `more than p's error, ${signed(v.error)}: rounding decides p here, not the method.`
              : `${v.percent} % of p's error, ${signed(v.error)}.`),
      ];
  }
  /** @type {Part[]} */
  const where =
    v.kind === "onRoot"
      ? [`f computes to 0 at ${x(v.k)}. `]
      : v.kind === "interpolation"
        ? ["The y", sub("k"), " straddle 0: interpolation. "]
        : [{ mark: "extrapolation", text: "Extrapolation:" }, " all the y", sub("k"), " lie on one side of 0. "];
  const n = v.near;
  if (!n) return [...where, "With no root to compare, p's error is not known."];
  return [
    ...where,
    n.exact
      ? "p is the root itself."
      : n.nearest
        ? "p is the double nearest the root: no double is closer."
        : `p has ${count(Number(n.digits), "correct digit")}.`,
  ];
}

/** The last two corrections, beside the errors they estimate and p's own. */
export function estimateText(/** @type {import("../verdicts.js").Estimate | null} */ e) {
  if (e === null) return "";
  const p = entryName(e.n - 1, e.n - 1),
    [a, b] = [e.last, e.other];
  const lead =
    `The last two corrections, |${p} − ${entryName(a.i, a.j)}| = ${sci(a.correction, 2)} ` +
    `and |${p} − ${entryName(b.i, b.j)}| = ${sci(b.correction, 2)}, estimate the errors of ${entryName(a.i, a.j)} ` +
    `and ${entryName(b.i, b.j)}`;
  if (e.decided) return `${lead}. Here rounding moves p by as much as its error, so they say nothing of the method.`;
  return `${lead}, which are ${signed(a.error)} and ${signed(b.error)}; p's own error is ${signed(e.error)}.`;
}

/** The bound on the interpolation error, or why there is none. @param {Result} r @param {BoundOrNot} b */
export function boundText(r, b) {
  if ("reason" in b) return `No bound on the interpolation error here: ${noBoundText(b)}.`;
  const n = b.n,
    g = `g${"⁽" + superscript(n).replace("⁻", "") + "⁾"}`,
    product = r.pts.map((_, k) => `(0 − y${k})`).join("");
  const { verdict, reach, page } = b.rounding,
    measured = r.acc && Number.isFinite(r.acc.error) ? ` The page's p − root is ${signed(r.acc.error)}.` : "";
  const rounding = {
    negligible: `Rounding adds up to ${sci(reach, 1)} more (an estimate), too little to matter.`,
    comparable:
      `Rounding may move the page's p by up to ${sci(reach, 1)} more (an estimate), so about ` +
      `${sci(page.lo, 2)} ≤ p − root ≤ ${sci(page.hi, 2)}.`,
    none: "",
  }[verdict];
  const error = ends(b, (v) => sci(v, 2));
  return (
    `For the exact polynomial through the exact points, P(0) − root = −${g}(η)/${n}! · ${product} for some η ` +
    `between the y${"ₖ"} and 0, g being f's inverse. Here the product ${within(ends(b.product, (v) => sci(v, 3)))} ` +
    `and ${g} ${within(ends(b.derivative, (v) => (v === 0 ? "0" : minus(v.toPrecision(3)))))}, so ` +
    (error.length === 1 ? `P(0) − root is ${error[0]}` : `${error[0]} ≤ P(0) − root ≤ ${error[1]}`) +
    `. ${rounding}${measured}`
  );
}

/** An enclosure's ends as written; one where both are written alike. */
function ends(/** @type {{lo: number, hi: number}} */ e, /** @type {(v: number) => string} */ write) {
  const [lo, hi] = [write(e.lo), write(e.hi)];
  return lo === hi ? [lo] : [lo, hi];
}
/** "is a", or "lies in [a, b]". */
const within = (/** @type {string[]} */ [lo, hi]) => (hi === undefined ? `is ${lo}` : `lies in [${lo}, ${hi}]`);
