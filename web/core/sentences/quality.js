// How good p is, in words: the verdict on p, a zero denominator, rounding
// that decides p, Neville's own estimate against the true error, and the
// short line a screen reader hears.

import { bitsOf, root, sci, show } from "../numbers.js";
import { entryName, nodeName, sub } from "./parts.js";

/** @typedef {import("./parts.js").Part} Part */
/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../verdicts.js").Verdict} Verdict */
/** @typedef {NonNullable<ReturnType<typeof import("../verdicts.js").estimate>>} Estimate */

/**
 * p, and how far it is from the root, as the live region says it; or,
 * where p is to be predicted first, that it is.
 * @param {{p: number}} r
 * @param {boolean} [whole] whether p may be said
 */
export const said = (r, whole = true) =>
  !whole
    ? "p is yours to predict."
    : `p = ${show(r.p)}` + (Number.isFinite(r.p - root) ? `, ${sci(r.p - root, 2)} from the root.` : ".");

/** The true root as "How good is p?" shows it. */
export const rootText = () => `${show(root)} (0x${bitsOf(root)}, the double nearest W(2)/2)`;

/** What coinciding nodes do, in words: which ones, and which denominator is 0. */
export function coincidenceText(/** @type {Result} */ r) {
  const [{ a, b }] = r.same,
    xa = r.pts[a].x,
    xb = r.pts[b].x;
  const who =
    xa === xb
      ? `${nodeName(a)} and ${nodeName(b)} are the same node, ${show(xa)}, so their y are equal`
      : `${nodeName(a)} = ${show(xa)} and ${nodeName(b)} = ${show(xb)} differ, but their y round to the same double, ${show(r.pts[a].y)}`;
  const more = r.same.length > 1 ? ` (and ${r.same.length - 1} more such pair${r.same.length > 2 ? "s" : ""})` : "";
  return (
    `${who}${more}: y${b} − y${a} = 0 is the denominator of ${entryName(b, b - a)}. Qij divides by zero as IEEE ` +
    `arithmetic does (±Infinity, or NaN for 0/0), and every entry built on it, p among them, carries that on: ` +
    "nothing was interpolated or extrapolated."
  );
}

/**
 * How good p is, in words, from its verdict.
 * @param {Result} r
 * @param {Verdict} v
 * @returns {Part[]}
 */
export function qualityNote(r, v) {
  if (v.kind === "same") return [coincidenceText(r)];
  if (v.kind === "overflow") return [`p is ${show(r.p)}: the sweep overflowed, and there is nothing to judge.`];
  if (v.kind === "rounding") {
    const { a, b, gap, error: e, reach } = v,
      share = reach / Math.abs(e),
      units = Math.max(1, Math.round(gap));
    const moved = !Number.isFinite(share)
      ? "can make two y equal, and p infinite or NaN: rounding decides p here, not the method."
      : `can move p by up to ${sci(reach, 2)}, ` +
        (share >= 1
          ? `more than p − root = ${sci(e, 2)} itself: rounding decides p here, not the method.`
          : `${Math.round(share * 100)} % of p − root = ${sci(e, 2)}: that error is the method's only to within as much.`);
    return [
      `One unit of rounding in each y ${moved}` +
        ` The closest nodes, ${nodeName(a)} = ${show(r.pts[a].x)} and ${nodeName(b)} = ${show(r.pts[b].x)}, have y${b} − y${a} = ` +
        `${sci(r.pts[b].y - r.pts[a].y, 2)}, about ${units} unit${units > 1 ? "s" : ""} of the rounding of the e⁻²ˣ and x ` +
        "each y is made of, and the sweep divides by such differences. Nodes further apart give a p worth judging.",
    ];
  }
  if (v.kind === "onRoot") {
    return [
      `y${v.k} = ${show(r.pts[v.k].y)} is within rounding of 0: ${nodeName(v.k)} is the root as far as ` +
        "doubles can tell, and whether y = 0 lies inside the other y or outside them is for rounding to say.",
    ];
  }
  return [
    ...(v.kind === "interpolation"
      ? ["The y", sub("k"), " straddle 0: this is interpolation."]
      : [
          { mark: "extrapolation", text: "Extrapolation:" },
          " the y",
          sub("k"),
          " do not straddle 0, so y = 0 lies outside them.",
        ]),
    v.atRoot
      ? " p is within rounding of the root: what is left of the residual is the rounding of exp and of the subtraction."
      : ` The residual is f(p) ≈ f′(root)·(p − root) = ${sci(v.residual, 2)}.`,
  ];
}

/**
 * The last corrections of the sweep, Neville's own measure of its error, against the true error.
 * @param {Estimate | null} e
 */
export function estimateText(e) {
  if (e === null) return "With a zero denominator in the sweep there is no estimate to give.";
  const { n, last, other, error, off, ratio } = e;
  const a = entryName(n - 1, n - 1),
    b = entryName(n - 1, n - 2),
    c = entryName(n - 2, n - 2);
  const fmt = (/** @type {number} */ x) => (x >= 10 ? x.toFixed(0) : x.toPrecision(2));
  const verdict = {
    rounding: "Rounding moves p by as much as the error (see above): these figures say nothing of the method.",
    root:
      `p is ${off ? `within ${off} ulp${off > 1 ? "s" : ""} of` : "the double nearest"} the root: at this level the ` +
      "corrections and the error are rounding, and their ratio says nothing.",
    pessimistic:
      `Here the first is ${fmt(ratio)} times the true error: pessimistic. Each correction is what one more node ` +
      `changed, so it is about the error of a degree-${n - 2} polynomial; p, of degree ${n - 1}, is better than those.`,
    optimistic:
      `Here the first is ${fmt(1 / ratio)} times smaller than the true error: optimistic, as it can be where ` +
      "the corrections happen to be small.",
    about: "Here the first is about the true error.",
  }[e.says];
  const through = (/** @type {number} */ lo, /** @type {number} */ hi) =>
    lo === hi ? `point ${lo}` : `points ${lo} … ${hi}`;
  return (
    `The last two corrections of the sweep: |${a} − ${b}| = ${sci(last, 2)}, what node 0 added to ` +
    `the polynomial through the ${through(1, n - 1)}, and |${a} − ${c}| = ${sci(other, 2)}, what node ${n - 1} added to ` +
    `the one through the ${through(0, n - 2)}; against the true error p − root = ${sci(error, 2)}. ${verdict}`
  );
}
