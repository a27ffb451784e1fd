// How good p is, in words: the verdict on p, a zero denominator, rounding
// that decides p, where p stands against the true root, what its residual
// is made of, Neville's own estimate and what it estimates, the
// interpolation error's bound, and the short line a screen reader hears.

import { minus, sci, show } from "../numbers.js";
import { count, entryName, nodeName, sub } from "./parts.js";
import { noBoundText, whyNoRoot } from "./functions.js";

/** @typedef {import("./parts.js").Part} Part */
/** @typedef {import("../sweep.js").Result} Result */
/** @typedef {import("../verdicts.js").Verdict} Verdict */
/** @typedef {NonNullable<ReturnType<typeof import("../verdicts.js").estimate>>} Estimate */
/** @typedef {import("../residual.js").Parts} Parts */
/** @typedef {import("../bound.js").Bound | import("../bound.js").NoBound} BoundOrNot */

/** A signed number in short scientific notation, with its sign written. */
const signed = (/** @type {number} */ x) => (x > 0 ? "+" : "") + sci(x, 2);
/** ulps as the page writes them: a fraction to two digits below ten, whole numbers above. */
export const ulpsText = (/** @type {number} */ u) =>
  `${Math.abs(u) < 10 ? Math.abs(u).toFixed(2) : Math.round(Math.abs(u)).toLocaleString("en")} ulp${Math.abs(u) <= 1 ? "" : "s"}`;

/**
 * p, and how far it is from the root, as the live region says it; or,
 * where p is to be predicted first, that it is.
 * @param {Pick<Result, "p" | "acc">} r
 * @param {boolean} [whole] whether p may be said
 */
export const said = (r, whole = true) =>
  !whole
    ? "p is yours to predict."
    : `p = ${show(r.p)}` + (r.acc && Number.isFinite(r.acc.error) ? `, ${sci(r.acc.error, 2)} from the root.` : ".");

/**
 * The root as "How good is p?" shows it: the double nearest it, and how
 * far that double is from it; or, without one, why.
 * @param {Result} r
 */
export function rootText(r) {
  const { root, found, preset } = r.fn;
  if (!root) return `none to compare with: ${"kind" in found ? whyNoRoot(found) : ""}`;
  if ("how" in found && found.how === "bisection")
    return (
      `${show(root.hi)} (where f's doubles change sign between the nodes, found by bisection; Newton's method in ` +
      "256 bits could not refine it, so how far the root lies from this double is not known, and p is measured " +
      "against it)"
    );
  const off = `${sci(Math.abs(root.lo), 2)} ${root.lo < 0 ? "above" : "below"} it`;
  const where = preset
    ? preset.id === "program" || preset.id === "beyond"
      ? "W(2)/2"
      : "the known root"
    : "the root found by bisection and Newton's method between the nodes whose y change sign";
  return `${show(root.hi)} (the double nearest ${where}, ${root.lo === 0 ? "which it is" : off})`;
}

/** What coinciding nodes do, in words: which ones, and which denominator is 0. */
export function coincidenceText(/** @type {Result} */ r) {
  const [{ a, b }] = r.same,
    xa = r.pts[a].x,
    xb = r.pts[b].x;
  const who =
    xa === xb
      ? `${nodeName(a)} and ${nodeName(b)} are the same node, ${show(xa)}, so their y are equal`
      : `${nodeName(a)} = ${show(xa)} and ${nodeName(b)} = ${show(xb)} differ, but their y are the same double, ${show(r.pts[a].y)}`;
  const more = r.same.length > 1 ? ` (and ${r.same.length - 1} more such pair${r.same.length > 2 ? "s" : ""})` : "";
  return (
    `${who}${more}: y${b} − y${a} = 0 is the denominator of ${entryName(b, b - a)}. Qij divides by zero as IEEE ` +
    `arithmetic does (±Infinity, or NaN for 0/0), and every entry built on it, p among them, carries that on: ` +
    "nothing was interpolated or extrapolated."
  );
}

/**
 * How good p is, in words, from its verdict, and what its residual is
 * made of where p is within rounding of the root.
 * @param {Result} r
 * @param {Verdict} v
 * @param {Parts | null} parts the residual taken apart
 * @returns {Part[]}
 */
export function qualityNote(r, v, parts) {
  if (v.kind === "same") return [coincidenceText(r)];
  if (v.kind === "noValue")
    return [
      `p is ${show(r.p)}: f has no value at ${nodeName(v.k)} = ${show(r.pts[v.k].x)} (its y is ${show(r.pts[v.k].y)}), ` +
        "and every entry built on it carries that on. There is nothing to judge.",
    ];
  if (v.kind === "overflow") return [`p is ${show(r.p)}: the sweep overflowed, and there is nothing to judge.`];
  if (v.kind === "turns")
    return [
      `The nodes' y rise and fall (they turn at ${nodeName(v.at)}): between these nodes f takes some y twice, ` +
        "or breaks (a pole or a jump), so no smooth inverse x = g(y) runs through the points (y_k, x_k), and p, " +
        "the polynomial's value at y = 0, need not be near a root: nothing here says how near it is.",
    ];
  if (v.kind === "rounding") return roundingNote(r, v);
  if (v.kind === "onRoot") {
    const others = r.pts.filter((_, k) => k !== v.k).map((q) => q.y);
    return [
      `y${v.k} = ${show(r.pts[v.k].y)} is within rounding of 0: ${nodeName(v.k)} is the root as far as ` +
        "doubles can tell, and " +
        (others.some((y) => y < 0) && others.some((y) => y > 0)
          ? "the other y straddle 0, so y = 0 lies among them whatever the sign of this one."
          : "whether y = 0 lies inside the other y or outside them is for rounding to say."),
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
    " " + nearText(r, v.near, parts),
  ];
}

/**
 * Where p stands against the root, and what its residual is.
 * @param {Result} r
 * @param {import("../verdicts.js").Near | null} near
 * @param {Parts | null} parts
 */
function nearText(r, near, parts) {
  if (!near) return `There is no root to compare p with: ${"kind" in r.fn.found ? whyNoRoot(r.fn.found) : ""}.`;
  const where = near.exact
    ? "p is the root itself: a double."
    : near.nearest
      ? `p is the double nearest the root, ${ulpsText(near.ulps)} ${near.ulps > 0 ? "above" : "below"} it: the nearest a double can be.`
      : near.atRoot
        ? `p is ${ulpsText(near.ulps)} ${near.ulps > 0 ? "above" : "below"} the root: within rounding of it.`
        : "";
  if (!near.atRoot || !parts) {
    // f near its tangent at the root, or not: then the residual is no measure of p - root
    return (
      near.slope === 0
        ? `${where} f′(root) = 0 here (a multiple root): the residual says little of p − root.`
        : near.follows
          ? `${where} The residual is f(p) ≈ f′(root)·(p − root) = ${sci(near.tangent, 2)}.`
          : `${where} The residual f(p) = ${sci(near.residual, 2)} is not near f′(root)·(p − root) = ` +
            `${sci(near.tangent, 2)}: p is too far from the root for f to follow its tangent there.`
    ).trim();
  }
  return `${where} Its residual, ${sci(parts.y, 2)}, is made of ${madeOf(parts)}.`;
}

/** What each operation's rounding is called; a function's is "cos's rounding". */
const ROUNDS = {
  exp: "the exponential's rounding",
  "-": "the subtraction's",
  "+": "the addition's",
  "*": "the multiplication's",
  "/": "the division's",
  "^": "the power's",
  literal: "a number's rounding to a double",
};

/**
 * What f(p)'s double is made of: the true f(p), and each operation's
 * rounding where they add up to the rest (the last operation said even
 * where it is exact); else the rounding as a whole.
 * @param {Parts} parts
 */
function madeOf(parts) {
  const exact = `${signed(parts.exact)}, the true f(p), as p is not the root`;
  if (!parts.steps) return `${exact}, and ${signed(parts.rounding)}, the rounding of f's evaluation`;
  const last = parts.steps.length - 1;
  const said = parts.steps.flatMap((q, k) =>
    q.rounding !== 0
      ? [`${signed(q.rounding)}, ${ROUNDS[/** @type {keyof typeof ROUNDS} */ (q.what)] ?? `${q.what}'s rounding`}`]
      : k === last
        ? [`nothing from ${q.what === "-" ? "the subtraction" : "the last operation"}, which is exact here`]
        : [],
  );
  return [exact, ...said].map((t, k, all) => (k && k === all.length - 1 ? `and ${t}` : t)).join("; ");
}

/**
 * Rounding that decides p, or that p's error is the method's only to
 * within as much, with what rounding did, measured.
 * @param {Result} r
 * @param {Extract<Verdict, {kind: "rounding"}>} v
 * @returns {Part[]}
 */
function roundingNote(r, v) {
  const { a, b, gap, moves } = v,
    units = Math.max(1, Math.round(gap));
  const pair =
    `The closest nodes, ${nodeName(a)} = ${show(r.pts[a].x)} and ${nodeName(b)} = ${show(r.pts[b].x)}, have ` +
    `y${b} − y${a} = ${sci(r.pts[b].y - r.pts[a].y, 2)}, about ${count(units, "unit")} of the rounding in a y, and the ` +
    "sweep divides by such differences.";
  if (!moves) return [`${pair} Rounding decides p here, not the method.`];
  const total = moves.ys + moves.sweep,
    decides = Math.abs(total) >= Math.abs(moves.method);
  return [
    "Rounding the y",
    sub("k"),
    ` to doubles moves the polynomial's value at 0 by ${signed(moves.ys)}, and the ` +
      `sweep's own rounding moves p by ${signed(moves.sweep)}: ${signed(total)} in all, against the method's own ` +
      `error, ${signed(moves.method)}, the exact polynomial's. ` +
      (decides
        ? `Rounding decides p here, not the method. ${pair} Nodes further apart give a p worth judging.`
        : `p's error is the method's only to within ${Math.round((100 * Math.abs(total)) / Math.abs(moves.method))} %.`),
  ];
}

/**
 * Neville's own estimate, what it estimates, and against what.
 * @param {Estimate | null} e
 */
export function estimateText(e) {
  if (e === null)
    return "With a zero denominator in the sweep, or no root to compare with, there is no estimate to give.";
  const { n, last, other } = e;
  const p = entryName(n - 1, n - 1);
  const through = (/** @type {number} */ lo, /** @type {number} */ hi) =>
    lo === hi ? `point ${lo}` : `points ${lo} … ${hi}`;
  const lead = (/** @type {Estimate["last"]} */ c) => `|${p} − ${entryName(c.i, c.j)}| = ${sci(c.correction, 2)}`;
  const first =
    `The last two corrections of the sweep: ${lead(last)}|, what node 0 added to the polynomial through the ` +
    `${through(1, n - 1)}, and ${lead(other)}|, what node ${n - 1} added to the one through the ${through(0, n - 2)}.`;
  if (e.decided)
    return `${first.replaceAll("|,", ",")} Rounding moves p by as much as its error (see above): these figures say nothing of the method.`;
  // in ulps only where they are few enough to matter: there a correction can be rounding's
  const kind = (/** @type {Estimate["last"]} */ c) =>
    c.rounding
      ? ` (${ulpsText(c.ulps)}: rounding)`
      : c.ulps < 1e6
        ? ` (${ulpsText(c.ulps)}: a correction the method made)`
        : "";
  const ratio = (/** @type {Estimate["last"]} */ c) =>
    c.rounding || c.error === 0 ? "" : ` (the correction is ${(c.correction / Math.abs(c.error)).toFixed(2)} times it)`;
  const than = (/** @type {Estimate["last"]} */ c) =>
    Math.abs(e.error) < Math.abs(c.error)
      ? "better than"
      : Math.abs(e.error) > Math.abs(c.error)
        ? "worse than"
        : "as good as";
  const better =
    than(last) === than(other)
      ? `${than(last)} both`
      : `${than(last)} ${entryName(last.i, last.j)} and ${than(other)} ${entryName(other.i, other.j)}`;
  return (
    first.replace(`${lead(last)}|`, lead(last) + kind(last)).replace(`${lead(other)}|`, lead(other) + kind(other)) +
    ` Each estimates the error of the entry it is taken from, one degree less than p, not p's, and estimates it ` +
    `well only where the nodes lie close to a simple root (the ratio of each to the true error says how well): ` +
    `the true errors of ` +
    `${entryName(last.i, last.j)} and ${entryName(other.i, other.j)} are ${signed(last.error)}${ratio(last)} and ` +
    `${signed(other.error)}${ratio(other)}. p, of degree ${n - 1}, is ${better}: p − root = ${signed(e.error)}` +
    (Math.abs(e.ulps) < 1000 ? `, ${ulpsText(e.ulps)}.` : ".")
  );
}

/**
 * The interpolation error and its bound, written out with the nodes'
 * numbers, or why there is none.
 * @param {Result} r
 * @param {BoundOrNot} b
 * @param {number | null} error p − root, where a root is known
 */
export function boundText(r, b, error) {
  if ("reason" in b) return `No bound on the interpolation error here: ${noBoundText(b)}.`;
  const n = b.n,
    g = `g${"⁽" + String(n).replace(/\d/g, (c) => "⁰¹²³⁴⁵⁶⁷⁸⁹"[Number(c)]) + "⁾"}`;
  const product = r.pts.map((_, k) => `(0 − y${k})`).join("");
  const { verdict, reach, page } = b.rounding;
  const sign = (/** @type {number} */ lo, /** @type {number} */ hi) =>
    lo > 0 || hi < 0 ? ": its sign is known before p is." : ".";
  const measured = error !== null && Number.isFinite(error) ? ` (p − root is ${sci(error, 2)})` : "";
  const forP =
    verdict === "negligible"
      ? `${measured}${sign(b.lo, b.hi)}`
      : verdict === "comparable"
        ? `, for the exact polynomial through the exact points. Rounding can move the page's p by up to ` +
          `${sci(reach, 2)} more, so ${sci(page.lo, 2)} ≤ p − root ≤ ${sci(page.hi, 2)}${measured}${sign(page.lo, page.hi)}`
        : `, for the exact polynomial through the exact points. Rounding can move the page's p by up to ` +
          `${sci(reach, 2)}, more than that${measured}: here p − root is rounding's, not the method's.`;
  return (
    `The interpolation error: P(0) − root = −${g}(η)/${n}! · ${product}, for some η between the smallest and the ` +
    `largest of the y${"ₖ"} and 0, g the inverse of f. Here the product ${productText(b.product)}, ` +
    `and ${g} lies in [${minus(b.derivative.lo.toPrecision(3))}, ${minus(b.derivative.hi.toPrecision(3))}] over the y ` +
    `in between${metText(b, g)}, so ${sci(b.lo, 2)} ≤ P(0) − root ≤ ${sci(b.hi, 2)}${forP}`
  );
}

/**
 * The product of the (0 − y_k), enclosed: one number where its enclosure
 * is as narrow as the digits shown, else the enclosure itself (a y within
 * rounding of 0 leaves its size, and the product's, uncertain).
 * @param {{lo: number, hi: number}} p
 */
function productText({ lo, hi }) {
  return Math.abs(hi - lo) <= 1e-4 * Math.max(Math.abs(lo), Math.abs(hi))
    ? `is ${sci((lo + hi) / 2, 3)}`
    : `lies in [${sci(lo, 3)}, ${sci(hi, 3)}]`;
}

/**
 * Where the enclosure of g's derivative is much wider than the values met
 * at points, which lie within it: said, so that a bound far above the
 * error reads as the enclosure's width, not as the derivative's size.
 * Nothing where the enclosure's ends read the same in the digits shown.
 * @param {{derivative: {lo: number, hi: number}, met: {lo: number, hi: number}}} b
 * @param {string} g
 */
function metText({ derivative, met }, g) {
  const width = derivative.hi - derivative.lo;
  if (!(Number.isFinite(met.lo) && Number.isFinite(met.hi)) || Math.abs(met.hi - met.lo) >= 0.5 * width) return "";
  if (derivative.lo.toPrecision(3) === derivative.hi.toPrecision(3)) return "";
  // the least and greatest values met, each itself enclosed: near 0 their order may turn
  const [least, most] = [met.lo, met.hi].sort((u, v) => u - v);
  return ` (an enclosure: ${g} at points of that interval was found between ${sci(least, 2)} and ${sci(most, 2)})`;
}
