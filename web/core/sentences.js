// What the page says of a state, in words: the rule of a step, how good p
// is, Neville's own estimate, the iterates, what the exponential changes.
// Each sentence is made from the numbers it speaks of; the drawing modules
// only put it in place.  Nothing here touches the DOM.
//
// A sentence is a list of parts: text, {sub} for a subscript, {strong} for
// the number a rule gives, {mark, text} for a word set apart (its class).

import { bitsOf, minus, root, sci, show, superscript, theoreticalOrder, ulpsFrom } from "./numbers.js";
import { EXP_NAMES, NOISE, closestPair, pointsFor, roundingOf, sweep, weightsOf } from "./sweep.js";

/** @typedef {import("./sweep.js").Model} Model */
/** @typedef {import("./sweep.js").Result} Result */
/** @typedef {import("./sweep.js").ExpName} ExpName */
/** @typedef {string | {sub: string} | {strong: string} | {mark: string, text: string}} Part */

/** Where rounding's reach is worth a word: this share of p - root. */
export const SHARE = 0.1;

/** A sentence's text alone, subscripts written after an underscore. */
export function plain(/** @type {Part[]} */ parts) {
  return parts
    .map((part) =>
      typeof part === "string" ? part : "sub" in part ? `_${part.sub}` : "strong" in part ? part.strong : part.text,
    )
    .join("");
}
const sub = (/** @type {number | string} */ k) => ({ sub: String(k) });
export const entryName = (/** @type {number} */ i, /** @type {number} */ j) => `Q[${i}][${j}]`;
const nodeName = (/** @type {number} */ k) => `x${k}`;
/** p, and how far it is from the root, as the live region says it. */
export const said = (/** @type {{p: number}} */ r) =>
  `p = ${show(r.p)}` + (Number.isFinite(r.p - root) ? `, ${sci(r.p - root, 2)} from the root.` : ".");

/**
 * The rule of the step shown, with its numbers, as paragraphs.
 * @param {Result} r
 * @returns {Part[][]}
 */
export function stepRule(r) {
  if (r.shown === 0) return [["Column 0 holds the nodes: Q[i][0] = x", sub("i"), ". Step to compute the next entry."]];
  const { i, j } = r.steps[r.shown - 1];
  // negative numbers in parentheses, where a minus sign stands before them
  const paren = (/** @type {number} */ x) => (x < 0 ? `(${show(x)})` : show(x));
  const y = (/** @type {number} */ k) => paren(r.pts[k].y),
    hi = show(r.Q[i][j - 1]),
    lo = show(r.Q[i - 1][j - 1]);
  const zero = r.pts[i].y === r.pts[i - j].y;
  /** @type {Part[]} */
  const result = zero
    ? [
        ": y",
        sub(i),
        " − y",
        sub(i - j),
        " = 0, a zero denominator, and Qij returns what IEEE arithmetic gives (±Infinity, or NaN for 0/0)",
      ]
    : Number.isFinite(r.Q[i][j])
      ? [`, the polynomial of degree ${j} through the points ${i - j} … ${i}, at y = 0`]
      : [": an entry it reads is already not a number"];
  return [
    [
      `${entryName(i, j)} = ((0 − y`,
      sub(i - j),
      `) · ${entryName(i, j - 1)} − (0 − y`,
      sub(i),
      `) · ${entryName(i - 1, j - 1)}) / (y`,
      sub(i),
      " − y",
      sub(i - j),
      ")",
    ],
    [`= ((0 − ${y(i - j)}) · ${hi} − (0 − ${y(i)}) · ${lo}) / (${show(r.pts[i].y)} − ${y(i - j)})`],
    ["= ", { strong: show(r.Q[i][j]) }, ...result],
    ...(zero ? [] : [weightsText(r, i, j), RULE_REASON]),
  ];
}

/** A weight as the page shows it: four significant digits. */
export const weight = (/** @type {number} */ w) => minus(String(Number(w.toPrecision(4))));

/**
 * The step as weights on the two entries it combines, which add up to 1.
 * @param {Result} r
 * @param {number} i
 * @param {number} j
 * @returns {Parameters<typeof plain>[0]}
 */
export function weightsText(r, i, j) {
  const { hi, lo } = weightsOf(r.pts, i, j),
    outside = hi < 0 || lo < 0;
  return [
    `As weights: ${entryName(i, j)} = `,
    { mark: "role-hi", text: weight(hi) },
    ` · ${entryName(i, j - 1)} + `,
    { mark: "role-lo", text: weight(lo) },
    ` · ${entryName(i - 1, j - 1)}, the weights −y`,
    sub(i - j),
    " / (y",
    sub(i),
    " − y",
    sub(i - j),
    ") and y",
    sub(i),
    " / (y",
    sub(i),
    " − y",
    sub(i - j),
    "), which add up to 1" +
      (outside ? "; one is negative, as y = 0 lies outside y" : "; both lie in [0, 1], as y = 0 lies between y"),
    sub(i - j),
    " and y",
    sub(i),
    outside ? ": the step extrapolates." : ".",
  ];
}

/** Why the rule makes the polynomial through all the points, in two sentences. */
export const RULE_REASON = [
  "Why this rule: its weights add up to 1 at every y, so where both polynomials it combines agree, at the points " +
    "they share, the new one agrees with them. At one end point all the weight falls on the one polynomial that " +
    "passes through it, and at the other end on the other, so the new one passes through both end points as well.",
];

/** What a step says to a screen reader. */
export function stepText(/** @type {Result} */ r) {
  if (r.shown === 0) return `Start: only the nodes, 0 of ${r.steps.length} entries.`;
  const { i, j } = r.steps[r.shown - 1];
  return (
    `Step ${r.shown} of ${r.steps.length}: ${entryName(i, j)} = ${show(r.Q[i][j])}, ` +
    `from ${entryName(i, j - 1)} = ${show(r.Q[i][j - 1])} and ${entryName(i - 1, j - 1)} = ${show(r.Q[i - 1][j - 1])}.`
  );
}

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
 * How good p is, in words: a zero denominator, an overflow, rounding that
 * decides p, a y within rounding of 0, or interpolation and its residual.
 * @param {Result} r
 * @returns {Parameters<typeof plain>[0]}
 */
export function qualityNote(r) {
  const { p } = r;
  if (r.same.length) return [coincidenceText(r)];
  if (!Number.isFinite(p)) return [`p is ${show(p)}: the sweep overflowed, and there is nothing to judge.`];
  const { share } = r;
  if (share >= SHARE) {
    const { a, b, gap } = closestPair(r.pts),
      e = p - root,
      units = Math.max(1, Math.round(gap));
    const moved = !Number.isFinite(share)
      ? "can make two y equal, and p infinite or NaN: rounding decides p here, not the method."
      : `can move p by up to ${sci(share * Math.abs(e), 2)}, ` +
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
  // a y within rounding of 0 says nothing of its side of the root
  const onRoot = r.pts.findIndex((q) => Math.abs(q.y) <= roundingOf(q));
  if (onRoot >= 0) {
    return [
      `y${onRoot} = ${show(r.pts[onRoot].y)} is within rounding of 0: ${nodeName(onRoot)} is the root as far as ` +
        "doubles can tell, and whether y = 0 lies inside the other y or outside them is for rounding to say.",
    ];
  }
  const straddle = r.pts.some((q) => q.y > 0) && r.pts.some((q) => q.y < 0);
  return [
    ...(straddle
      ? ["The y", sub("k"), " straddle 0: this is interpolation."]
      : [
          { mark: "extrapolation", text: "Extrapolation:" },
          " the y",
          sub("k"),
          " do not straddle 0, so y = 0 lies outside them.",
        ]),
    Math.abs(ulpsFrom(p, root)) <= NOISE
      ? " p is within rounding of the root: what is left of the residual is the rounding of exp and of the subtraction."
      : ` The residual is f(p) ≈ f′(root)·(p − root) = ${sci((-2.0 * root - 1.0) * (p - root), 2)}.`,
  ];
}

/** The last corrections of the sweep, Neville's own measure of its error, against the true error. */
export function estimateText(/** @type {Result} */ r) {
  const n = r.pts.length,
    Q = r.Q,
    p = r.p,
    e = p - root;
  const last = Math.abs(p - Q[n - 1][n - 2]),
    other = Math.abs(p - Q[n - 2][n - 2]);
  if (!Number.isFinite(last) || !Number.isFinite(other) || !Number.isFinite(e)) {
    return "With a zero denominator in the sweep there is no estimate to give.";
  }
  const a = entryName(n - 1, n - 1),
    b = entryName(n - 1, n - 2),
    c = entryName(n - 2, n - 2);
  const off = Math.abs(ulpsFrom(p, root));
  let verdict;
  if (r.share >= 0.5) {
    verdict = "Rounding moves p by as much as the error (see above): these figures say nothing of the method.";
  } else if (off <= NOISE) {
    verdict =
      `p is ${off ? `within ${off} ulp${off > 1 ? "s" : ""} of` : "the double nearest"} the root: at this level the ` +
      "corrections and the error are rounding, and their ratio says nothing.";
  } else {
    const ratio = last / Math.abs(e),
      fmt = (/** @type {number} */ x) => (x >= 10 ? x.toFixed(0) : x.toPrecision(2));
    verdict =
      ratio >= 1.5
        ? `Here the first is ${fmt(ratio)} times the true error: pessimistic. Each correction is what one more node ` +
          `changed, so it is about the error of a degree-${n - 2} polynomial; p, of degree ${n - 1}, is better than those.`
        : ratio <= 1 / 1.5
          ? `Here the first is ${fmt(1 / ratio)} times smaller than the true error: optimistic, as it can be where ` +
            "the corrections happen to be small."
          : "Here the first is about the true error.";
  }
  const through = (/** @type {number} */ lo, /** @type {number} */ hi) =>
    lo === hi ? `point ${lo}` : `points ${lo} … ${hi}`;
  return (
    `The last two corrections of the sweep: |${a} − ${b}| = ${sci(last, 2)}, what node 0 added to ` +
    `the polynomial through the ${through(1, n - 1)}, and |${a} − ${c}| = ${sci(other, 2)}, what node ${n - 1} added to ` +
    `the one through the ${through(0, n - 2)}; against the true error p − root = ${sci(e, 2)}. ${verdict}`
  );
}

/** The iterations table's caption, for n nodes. */
export function iterationsCaption(/** @type {number} */ n) {
  const theory = theoreticalOrder(n).toFixed(3),
    t = (/** @type {number} */ k) => (k === 1 ? "t" : `t${superscript(k)}`);
  const terms =
    n <= 4 ? Array.from({ length: n - 1 }, (_, m) => t(n - 1 - m)).join(" + ") : `${t(n - 1)} + ${t(n - 2)} + … + t`;
  return (
    `Iterates of ${n}-node inverse interpolation; the theoretical order for ` +
    `${n} nodes is ${theory}, the largest root of ${t(n)} = ${terms} + 1. Orders are estimated only from errors above ` +
    `${NOISE} ulps, where rounding does not decide them.`
  );
}
/** The iterations table's column heads. */
export const ITERATION_HEADS = [
  "k",
  "p_k",
  "p_k − root",
  "ulps of the root",
  "correct digits",
  "f(p_k)",
  "estimated order",
  "theoretical order",
];
/**
 * The iterates p_0, p_1, ... of n nodes, a row each: errors, digits, the
 * residual with the chosen exponential, and the order of convergence.
 * @param {number[]} ps
 * @param {number} n
 * @param {(x: number) => number} exp
 */
export function iterationRows(ps, n, exp) {
  const theory = theoreticalOrder(n).toFixed(3);
  return ps.map((p, k) => {
    const e = p - root,
      order = estimatedOrder(ps, k);
    return [
      String(k),
      show(p),
      sci(e, 2),
      Number.isFinite(e) ? String(ulpsFrom(p, root)) : "–",
      correctDigits(p),
      sci(exp(-2.0 * p) - p, 2),
      order === null ? "–" : order.toFixed(3),
      theory,
    ];
  });
}
/** The correct decimal digits of p, "all" at the root's double, "–" where p is not a number. */
export function correctDigits(/** @type {number} */ p) {
  const e = p - root;
  return e === 0 ? "all" : Number.isFinite(e) ? String(Math.max(0, Math.floor(-Math.log10(Math.abs(e / root))))) : "–";
}
/**
 * The order of convergence the errors of p_k-2, p_k-1, p_k show, where all
 * three are above rounding; else null.
 * @param {number[]} ps
 * @param {number} k
 */
export function estimatedOrder(ps, k) {
  if (k < 2 || ![ps[k], ps[k - 1], ps[k - 2]].every((v) => Number.isFinite(v) && Math.abs(ulpsFrom(v, root)) > NOISE))
    return null;
  const [a, b, c] = [ps[k - 2], ps[k - 1], ps[k]].map((v) => v - root);
  const den = Math.log(Math.abs(b / a));
  return den === 0 ? null : Math.log(Math.abs(c / b)) / den;
}
/** What the iterations have come to, or why Iterate did nothing (note). */
export function iterateNote(/** @type {number[]} */ ps, /** @type {string} */ note) {
  if (note) return note;
  const lastTwo = ps.slice(-2);
  if (lastTwo.length === 2 && Math.abs(ulpsFrom(lastTwo[1], lastTwo[0])) <= 2) {
    const apart = Math.abs(ulpsFrom(lastTwo[1], lastTwo[0]));
    return (
      `p${ps.length - 1} is ${apart ? `${apart} ulp${apart > 1 ? "s" : ""} from` : "the same as"} ` +
      `p${ps.length - 2}: the iteration has reached what double precision allows. Near the root f(p) is rounding noise ` +
      "(exp is itself off by up to about half an ulp), so the nodes' y no longer say on which side of the root they " +
      "lie: further steps move p by rounding, the more the more nodes there are, and cannot improve it."
    );
  }
  return "";
}

/**
 * Which nodes the tableau is of, and where their y come from.
 * @param {Model} m
 * @param {Result} r
 * @param {ExpName} exp
 * @param {string} linkError what was wrong with the page's link, if that is why these nodes are shown
 */
export function summaryText(m, r, exp, linkError) {
  const own = r.pts.length === m.table.length && r.pts.every((q, k) => bitsOf(q.x) === bitsOf(m.table[k].x));
  const computed = r.pts.filter((q) => !q.own).length;
  // a link that could not be used is said where the page begins, not only by the field
  const link = linkError ? `This page's link could not be used: ${linkError} ` : "";
  return (
    link +
    (own
      ? "The program's own four nodes and its table of y_k. "
      : `${r.pts.length} nodes: ${r.pts.map((q) => show(q.x)).join(", ")}. `) +
    (computed ? `${computed} of the y_k computed with ${EXP_NAMES[exp]}. ` : "") +
    "Every entry is computed by the program's own Qij, in the program's order."
  );
}

/**
 * What the other exponential would change for these nodes: their y, and p.
 * @param {Model} m
 * @param {Result} r
 * @param {ExpName} exp
 */
export function expEffect(m, r, exp) {
  const computed = r.pts.filter((q) => !q.own);
  if (!computed.length) {
    return "All these nodes are the program's own: their y come from its table, whichever exponential is chosen.";
  }
  const other = exp === "wasm" ? "browser" : "wasm",
    pts = pointsFor(
      m,
      r.pts.map((q) => q.x),
      other,
    );
  const differ = r.pts.flatMap((q, k) => (Object.is(q.y, pts[k].y) ? [] : [k]));
  const n = pts.length,
    p = sweep(m.program.Qij, 0.0, pts)[n - 1][n - 1],
    of = computed.length > 1 ? `${computed.length} computed y` : "computed y";
  const ulps = (/** @type {number} */ u) => `${u > 0 ? "+" : "−"}${Math.abs(u)} ulp${Math.abs(u) > 1 ? "s" : ""}`;
  if (!differ.length) {
    return `For these nodes ${EXP_NAMES[other]} gives the same ${of} as ${EXP_NAMES[exp]}: the choice changes nothing here.`;
  }
  const [k] = differ;
  return (
    `For these nodes ${EXP_NAMES[other]} would give a different y for ${differ.length} of the ${of}: at x = ` +
    `${show(r.pts[k].x)}, ${show(pts[k].y)} against ${show(r.pts[k].y)} here (${ulps(ulpsFrom(pts[k].y, r.pts[k].y))}), ` +
    (Object.is(p, r.p)
      ? "and p would be the same."
      : `and p would be ${show(p)}, ${ulps(ulpsFrom(p, r.p))} from this p.`)
  );
}

/**
 * The lesson: the program's table against both exponentials at its first
 * node.  There e^(-2x) - x is exact (Sterbenz), so y + x is the
 * exponential the table was made with.
 * @param {Model} m
 */
export function expLesson(m) {
  const x0 = m.table[0].x,
    e0 = m.table[0].y + x0,
    arg = -2.0 * x0;
  const told = (/** @type {number} */ e) =>
    `${show(e)} (${ulpsFrom(e, e0)} ulp from it), hence y = ${show(e - x0)} ` +
    `(${ulpsFrom(e - x0, m.table[0].y)} ulp of y from the table's)`;
  return (
    `At x = ${show(x0)} the program's table holds y = ${show(m.table[0].y)}, made from the ` +
    `correctly rounded e^(${show(arg)}) = ${show(e0)}. The program's own exp gives ${told(m.exps.wasm(arg))}; ` +
    `the browser's Math.exp gives ${told(m.exps.browser(arg))}. No standard requires exp to be correctly rounded, so a ` +
    "node's y can change with the exponential: that is why the program keeps its y_k as constants."
  );
}

/**
 * The line at y = 0 in words: what it shows, and where the step's entries lie.
 * @param {import("./plot.js").Zoom} z
 */
export function zoomText(z) {
  const unlabelled = z.points.filter((q) => q.row < 0).length;
  const lead =
    "Below the figure, its line y = 0 zoomed: each entry of the tableau is the x where its polynomial meets y = 0, " +
    "and each made so far (from column 1 on, and the nodes of column 0 that the step combines) is marked there and " +
    "labelled as the tableau labels it; the thin upright mark is the root.";
  const s = z.step;
  const step = s
    ? ` ${entryName(s.i, s.j)} (the step's entry) = ${weight(s.hi)} × ${entryName(s.i, s.j - 1)} + ${weight(s.lo)} × ` +
      `${entryName(s.i - 1, s.j - 1)}: ` +
      (!Number.isFinite(s.x)
        ? `it is ${show(s.x)}, as an entry it combines is not a number, and is not marked.`
        : s.hi >= 0 && s.lo >= 0
          ? "it lies between the two, nearer the one with the greater weight."
          : "a negative weight puts it outside the two.")
    : " Before the first step the line holds the nodes, column 0.";
  const more = unlabelled
    ? ` ${unlabelled} earlier entr${unlabelled > 1 ? "ies are" : "y is"} too close to others to label.`
    : "";
  const not = z.undrawn ? ` ${z.undrawn} entr${z.undrawn > 1 ? "ies are" : "y is"} not a number and not marked.` : "";
  return lead + step + more + not;
}
