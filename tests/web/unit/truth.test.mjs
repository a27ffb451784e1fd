// What the page says of its numbers, held to what a numerical analyst
// measures: errors against the true root, not its double; roots at any
// scale and of any multiplicity; what Neville's corrections estimate; what
// rounding can do; where the theory holds; and each conditional sentence on
// both sides of its condition.  Each state as a link brings it back.

import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { test } from "node:test";
import { accuracy, decimalOf } from "../../../web/core/accuracy.js";
import { shownStep } from "../../../web/core/sweep.js";
import { estimate, verdict } from "../../../web/core/verdicts.js";
import { doublesStop, iterateDone, iterationRows, orderRows, theoryOf } from "../../../web/core/iterations.js";
import { PRECISE, orderAt } from "../../../web/core/precise.js";
import { boundText, estimateText, qualityNote, rootText } from "../../../web/core/sentences/quality.js";
import { learnerRoot } from "../../../web/core/roots.js";
import { PRESETS, whyNoRoot } from "../../../web/core/sentences/functions.js";
import { functionLesson } from "../../../web/core/sentences/nodes.js";
import { interpolationBound } from "../../../web/core/bound.js";
import {
  iterateNote,
  iterationCells,
  ordersCaption,
  orderCells,
  ordersNote,
} from "../../../web/core/sentences/iterations.js";
import { converge, fn, fnRoot, model, root, ruleLine, treeOf, plain, stateOf } from "./context.mjs";

/**
 * All the page says of p and the iterates in a state, as its render puts it together.
 * @param {string} hash
 */
function wordsOf(hash) {
  const { r, ps, choice } = stateOf(hash);
  return [
    rootText(r, r.fn.root ? decimalOf(r.fn.root, 20) : ""),
    plain(qualityNote(r, verdict(r))),
    estimateText(estimate(r)),
    iterateNote(ps.length - 1, iterateDone(model, choice, r, ps)),
    functionLesson(r.fn),
  ].join("\n");
}
test("errors and correct digits against the true root: the root's double is 0.40 ulp above it, with 16 digits", () => {
  const below = root - 2 ** -54;
  /** @type {[p: number, error: number, ulps: number, digits: string][]} */
  const cases = [
    [root, 2.22e-17, 0.4, "16"],
    [below, -3.33e-17, -0.6, "16"],
    [0.4263057326974982, 2.98e-6, 5.37e10, "5"],
  ];
  for (const [p, error, ulps, digits] of cases) {
    const a = accuracy(p, fnRoot);
    assert.equal(a.error.toExponential(2), error.toExponential(2), `${p}`);
    assert.equal(Number(a.ulps.toPrecision(2)), Number(ulps.toPrecision(2)), `${p}`);
    assert.equal(a.digits, digits, `${p}`);
  }
  // Iterate's row k = 2 from the program's nodes: the root's double, not "0" and "all"
  const { ps } = stateOf("#nodes=0.3,0.4,0.5,0.6&iterates=2");
  const [, , row] = iterationRows(ps, fn.f.wasm, fn.root, [], null).map(iterationCells);
  assert.deepEqual([row[1], row[2], row[3]], [String(root), "2.22e-17", "16"]);
  // the root itself, to 20 digits, beyond any double
  assert.equal(decimalOf(fnRoot, 20), "0.42630275100686274567…");
});

test("the program's nodes: p's digits, and Neville's corrections beside the errors of the entries they estimate", () => {
  assert.match(wordsOf("#nodes=0.3,0.4,0.5,0.6"), /^The y_k straddle 0: interpolation\. p has 5 correct digits\.$/m);
  const said = estimateText(estimate(stateOf("#nodes=0.3,0.4,0.5,0.6").r));
  for (const figure of ["3.36e-5", "2.79e-5", "-3.06e-5", "+3.09e-5", "+2.98e-6"])
    assert.ok(said.includes(figure), said);
  assert.match(said, /estimate the errors of Q\[3\]\[2\] and Q\[2\]\[2\], which are/);
  // after two Iterates p is the root's double, and the page says so
  assert.match(wordsOf("#nodes=0.3,0.4,0.5,0.6&iterates=2"), /p is the double nearest the root: no double is closer\./);
});

test("where the entry lies against its parents: as the weights say, and as its double does where rounding differs", () => {
  // the state, what the weights say, and what the rule's last line says of the entry's double
  /** @type {[hash: string, inside: boolean, said: RegExp][]} */
  const cases = [
    ["#nodes=0.3,0.6,0.4&step=3", false, /One weight is negative: .*, so the entry lies outside its two parents\.$/],
    [
      "#nodes=0.3,0.4,0.5,0.6&step=3",
      true,
      /Both weights lie in \[0, 1\]: .*, so the entry lies between its two parents\.$/,
    ],
    ["#iterates=2&step=6", true, /Both weights .*\. In doubles the entry rounds onto a parent\.$/],
    [
      "#iterates=2&f=cos(x)%20-%20x&nodes=0.6,0.7,0.8,0.9&step=6",
      true,
      /Both weights .*, but in doubles the entry rounds to just outside its parents\.$/,
    ],
    [
      "#iterates=3&step=5",
      false,
      /One weight is negative: .*, but in doubles the entry rounds to just between its parents\.$/,
    ],
  ];
  for (const [hash, inside, said] of cases) {
    const { r } = stateOf(hash),
      s = shownStep(r);
    assert.ok(s, hash);
    const line = ruleLine(r, -1),
      [lo, hi] = [Math.min(s.hiValue, s.loValue), Math.max(s.hiValue, s.loValue)];
    assert.match(line, said, hash);
    // the weights' side, from y = 0 against the two end y; the double's, from the values
    const [ya, yb] = [r.pts[s.i - s.j].y, r.pts[s.i].y];
    assert.equal((ya <= 0 && 0 <= yb) || (yb <= 0 && 0 <= ya), inside, hash);
    const side = s.value === lo || s.value === hi ? "onto" : s.value > lo && s.value < hi ? "between" : "outside";
    assert.match(line, side === "onto" ? /onto a parent/ : new RegExp(`lies ${side}|just ${side}`), hash);
  }
  // weights of a size four digits cannot show without zeros: in scientific notation
  assert.match(
    ruleLine(stateOf("#f=(x-0.45)%5E2&nodes=0.3,0.6&step=1").r, -1),
    /^As weights: Q\[1\]\[1\] = [−-]?\d\.\d{3}e\+15 · Q\[1\]\[0\] [+−] \d\.\d{3}e\+15 · Q\[0\]\[0\]\./,
  );
});

test("rounding that decides p, on both sides: more than p's error, a share of it, and none worth a word", () => {
  /** @type {[hash: string, said: RegExp, unsaid: RegExp][]} */
  const cases = [
    [
      "#nodes=0.3,0.4,0.4000000000000001,0.6",
      /more than p's error, .*: rounding decides p here, not the method\./,
      /% of p's error/,
    ],
    ["#f=exp(x)%20-%202&nodes=0,1,2&iterates=4", /by up to \S+ in all, \d+ % of p's error, \S+\./, /decides/],
    ["#nodes=0.3,0.4,0.5,0.6", /p has 5 correct digits/, /Moving each y/],
    // no root bracketed and y1 - y0 a few units of rounding: against p's distance from the nodes
    [
      "#f=(x-0.5)%5E2&nodes=0.3,0.7",
      /as far as p lies from the nearest node: rounding decides p here\./,
      /Extrapolation/,
    ],
    ["#f=x%5E2%20%2B%201&nodes=0.3,0.7", /Extrapolation/, /Moving each y/],
    // no root, and rounding only a share of p's distance from the nearest node
    ["#f=exp(x)&nodes=0.3,0.30000000000001", /in all, 18 % of p's distance from the nearest node, \S+\./, /decides/],
  ];
  for (const [hash, said, unsaid] of cases) {
    const words = wordsOf(hash);
    assert.match(words, said, `${hash}: ${words}`);
    assert.doesNotMatch(words, unsaid, `${hash}: ${words}`);
  }
});

test("the iterations' theory only where it holds, and orders only where the errors fall", () => {
  /** @type {[hash: string, holds: boolean][]} */
  const cases = [
    ["#nodes=0.3,0.4,0.5,0.6", true],
    // a multiple root: the theory of order 1 holds
    ["#f=(x%20-%200.5)%5E3", true],
    ["#f=x%5E3%20-%20x%20%2B%201", false],
    ["#f=(x-0.1)%5E3&nodes=0,0.3", true],
    ["#f=cos(x)-x", true],
  ];
  for (const [hash, holds] of cases) assert.equal(theoryOf(stateOf(hash).r).holds, holds, hash);
  // the hump's many-digit run: no order where its errors grow
  const { tree, root } = stateOf("#f=x%5E3%20-%20x%20%2B%201").r.fn;
  assert.ok(root, "the hump's root");
  const run = converge([-1.5, -1, -0.3, 0.6], { fn: { tree, root }, within: [-2, 1] });
  run.rows.forEach((row, k) => {
    if (row.order !== null) assert.ok(row.order > 0, `k = ${k}: ${row.order}`);
  });
});

test("a learner's root at any scale and of any multiplicity, found among every node Iterate reached", () => {
  /** @type {[hash: string, said: RegExp[], unsaid: RegExp[]][]} */
  const cases = [
    // far below 2^-256, the root is found, not called 0; the y lost it to rounding
    [
      "#f=x-1e-80&nodes=-1,-0.5,0.5,1",
      [/^1\.0000000000000000000e-80… \(the nearest double: 1e-80\)$/m, /rounding decides p here/],
      [/p is the root itself/, /tangent/],
    ],
    [
      "#f=x-10%5E(-70)&nodes=0,2e-70,3e-70,4e-70",
      [/^1\.0000000000000000000e-70…/m, /p is the double nearest the root/],
      [/1\.0000000065/],
    ],
    // 0.45 is no double: a ninefold root found to its digits, p its nearest double and not the root itself
    [
      "#f=(x-0.45)%5E9",
      [/^0\.45000000000000000000… \(the nearest double: 0\.45\)$/m, /p is the double nearest the root/],
      [/root itself/],
    ],
    ["#f=(x-0.45)%5E3&nodes=0.3,0.6", [/^0\.45000000000000000000…/m], [/root itself/]],
    // a root that is a double, met exactly
    ["#f=2*x%20-%201&nodes=0.3,0.6", [/^0\.5, a double$/m, /p is the root itself\./], [/nearest double/]],
    // the nodes' y change sign only among the iterates: the root is found there, and each iterate has its error
    ["#f=cos(x)%20-%20x%20%2B%200&iterates=4", [/^0\.73908513321516064166…/m], [/do not change sign/]],
  ];
  for (const [hash, said, unsaid] of cases) {
    const words = wordsOf(hash);
    for (const re of said) assert.match(words, re, `${hash}: ${words}`);
    for (const re of unsaid) assert.doesNotMatch(words, re, `${hash}: ${words}`);
  }
  const { r, ps } = stateOf("#f=cos(x)%20-%20x%20%2B%200&iterates=4");
  assert.ok(iterationRows(ps, r.fn.f.wasm, r.fn.root, [], null).every((row) => row.digits !== null));
  // the root past a pole; none where f only touches 0, is 0 at two nodes, or jumps
  const pole = learnerRoot(treeOf("1/(x - 0.45) - 5"), [0.3, 0.4, 0.6, 0.7]);
  assert.ok("root" in pole && pole.root.hi === 0.65, "a root past the pole");
  /** @type {[string, number[], RegExp][]} */
  const none = [
    ["(x - 0.5)^2", [0.35, 0.45, 0.58, 0.7], /all have one sign/],
    ["x - x", [0.3, 0.4], /0 at more than one node/],
    ["1/(x - 0.5)", [0.3, 0.7], /a pole or a jump, not a root/],
  ];
  for (const [text, nodes, why] of none) {
    const got = learnerRoot(treeOf(text), nodes);
    assert.ok("kind" in got, text);
    assert.match(whyNoRoot(got), why, text);
  }
});

test("sentences the page no longer says, each false somewhere: the sign of y at an even root, rounding's say, 'alike'", () => {
  // at an even root f >= 0 on both sides: nothing claims its sign says on which side p lies
  const even = wordsOf("#f=(x-0.45)%5E2&nodes=0.5,0.6,0.7,0.8&iterates=50");
  assert.doesNotMatch(even, /which side/);
  // a y within rounding of 0, the others all on one side: nothing says rounding decides where 0 lies
  for (const hash of ["#nodes=0.55,0.65,0.75,0.85&iterates=4", "#nodes=0.1,0.9&iterates=7"])
    assert.doesNotMatch(wordsOf(hash), /for rounding to say/, hash);
  // Neville's estimate: no claim of when it estimates well; the multiplicity's estimate the same
  assert.doesNotMatch(wordsOf("#f=(x-0.45)%5E5"), /estimates it well only where/);
  // the lessons and the page's own words
  assert.doesNotMatch(PRESETS.triple.lesson, /no error bound exists/);
  assert.doesNotMatch(PRESETS.hump.lesson, /follows no curve/);
  const template = readFileSync(new URL("../../../web/index.html", import.meta.url), "utf8");
  assert.doesNotMatch(template, /to the power of the order/);
  assert.match(template, /e<sub>k\+1<\/sub> ≈ C·e<sub>k<\/sub><sup>q<\/sup>/);
});

test("p beside a node near the root: its own digits against the root, a node named only where f computes to 0", () => {
  /** @type {[hash: string, note: string][]} */
  const cases = [
    // y3 within the rounding the page allows for, though f(x3) is +3.20e-16 and the root's double lies beyond x3
    [
      "#f=cos(x)%20-%20x&nodes=0.6,0.7,0.8,0.9&iterates=3",
      "The y_k straddle 0: interpolation. p has 15 correct digits.",
    ],
    [
      "#f=x%5E3%20-%20x%20%2B%201&nodes=-1.320707621491262,-1.324753289675768,-1.3247179593269724,-1.3247179572447463",
      "The y_k straddle 0: interpolation. p has 15 correct digits.",
    ],
    // p the root's double, beside a node a double away with as small a y
    [
      "#nodes=0.3,0.4&iterates=5",
      "Extrapolation: all the y_k lie on one side of 0. p is the double nearest the root: no double is closer.",
    ],
    [
      "#f=x%5E2-2&nodes=1,1.1,1.2,1.3&iterates=4",
      "The y_k straddle 0: interpolation. p is the double nearest the root: no double is closer.",
    ],
    // the triple root after 93 Iterates: p − root = −7.22e-16, of which the exact points' P(0) has −6.20e-16
    [
      "#f=(x-0.5)%5E3&nodes=0.49999999999999756,0.4999999999999982,0.49999999999999867,0.49999999999999917",
      "Extrapolation: all the y_k lie on one side of 0. p has 14 correct digits.",
    ],
    // a y of 0 is on neither side of 0
    [
      "#f=(x-0.45)%5E3&nodes=0.45,0.5,0.6",
      "f computes to 0 at x0 = 0.45. p is the double nearest the root: no double is closer.",
    ],
    ["#f=2*x%20-%201&nodes=0.3,0.5,0.6", "f computes to 0 at x1 = 0.5. p is the root itself."],
  ];
  for (const [hash, note] of cases) {
    const { r } = stateOf(hash);
    assert.equal(plain(qualityNote(r, verdict(r))), note, hash);
  }
});

test("the y turning back, taken in order of x rather than of the nodes", () => {
  /** @type {[hash: string, at: string | null][]} */
  const cases = [
    ["#f=1%2F(x-0.42)", "x1 and x2"],
    // y0 < y1 < y2 < y3, but in order of x f falls to x = 0 and rises after: the y turn at x0 = −0.3
    ["#f=x%5E2-0.2&nodes=-0.3,0.35,-0.5,0.6", "x0"],
    ["#f=x%5E2-0.2&nodes=-0.3,-0.35,0.5,0.6", "x0"],
    // nodes out of order over which f falls throughout
    ["#nodes=0.6,0.3,0.5,0.4", null],
  ];
  for (const [hash, at] of cases) {
    const words = wordsOf(hash);
    if (at === null) assert.doesNotMatch(words, /turn/, hash);
    else assert.match(words, new RegExp(`^In order of x, the y turn back at ${at}: `, "m"), `${hash}: ${words}`);
  }
});

test("the many-digit table: the caption says what rounds; at a triple root the orders settle on 1, the doubles stop later", () => {
  assert.doesNotMatch(ordersCaption(4, PRECISE), /exact/i);
  assert.match(ordersCaption(4, PRECISE), /two estimated orders in a row come within 0\.005/);
  // the triple root: the many digits settle on order 1; the doubles stop where the next step is refused, past
  // the table's last row, which no row then marks
  const { r } = stateOf("#nodes=0.3,0.45,0.6,0.7&f=(x%20-%200.5)%5E3");
  const run = converge([0.3, 0.45, 0.6, 0.7], { fn: { tree: r.fn.tree, root: { hi: 0.5 } }, digits: 1000 });
  const d = doublesStop(model, { nodes: [0.3, 0.45, 0.6, 0.7], exp: "wasm", fn: r.fn });
  assert.equal(d.why, "refused");
  assert.ok(d.step > run.rows.length, `${d.step}`);
  assert.ok(!orderRows(run.rows, d, { hi: 0.5, lo: 0 }).some((o) => orderCells(o)[3].includes("stop")));
  assert.match(
    ordersNote(4, run.rows, run.stop, d, orderAt(4, r.fn.found), PRECISE),
    /theoretical 1\.000\. The doubles stop at k = \d+, after the last row/,
  );
});

test("the bound: g⁽ⁿ⁾ and the error as enclosed, one number where the ends write alike, rounding's part an estimate", () => {
  /** @type {[hash: string, said: RegExp[]][]} */
  const cases = [
    [
      "#nodes=0.3,0.4,0.5,0.6",
      [/lies in \[−0\.294, −0\.0271\], so 5\.47e-7 ≤ P\(0\) − root ≤ 5\.94e-6\./, /too little/],
    ],
    ["#nodes=0.4263027,0.4263028", [/so about \S+ ≤ p − root ≤ \S+\./]],
    // rounding may move p further than the method's error reaches, which is still all of it here
    [
      "#nodes=0.4261827510068627,0.4264827510068627,0.4267827510068627,0.4270827510068627",
      [
        /so -5\.30e-16 ≤ P\(0\) − root ≤ -5\.27e-16\. .*so about -1\.\d+e-15 ≤ p − root ≤ 6\.\d+e-16\. .* -4\.77e-16\.$/,
      ],
    ],
    ["#nodes=0.3,0.6&iterates=6", [/so about \S+ ≤ p − root ≤ \S+\./]],
    // ends alike to the digits shown: said once, not as [−0.133, −0.133]
    ["#nodes=0.4263,0.42631,0.42632,0.42633", [/g⁽⁴⁾ is −0\.133, so P\(0\) − root is -6\.11e-22\./]],
    // f linear: its inverse's g⁽⁴⁾ is 0; the y's rounding, with y near 1e-301, a number
    [
      "#f=1e-300*(x-0.3)&nodes=0.1,0.2,0.4,0.5",
      [/g⁽⁴⁾ is 0, so P\(0\) − root is 0\./, /up to \d\.\de-\d+ more \(an estimate\)/],
    ],
  ];
  for (const [hash, said] of cases) {
    const { r } = stateOf(hash),
      b = interpolationBound(r.fn.tree, r.pts, r.fn.root),
      text = boundText(r, b);
    assert.ok(!("reason" in b), hash);
    for (const re of said) assert.match(text, re, `${hash}: ${text}`);
    assert.match(text, /an estimate/, hash);
    assert.doesNotMatch(text, /\[(\S+), \1\]|(\S+) ≤ P\(0\) − root ≤ \2 /, `${hash}: ${text}`);
    // g⁽ⁿ⁾'s ends as enclosed, to three digits
    const [, one, lo = one, hi = one] = /g⁽.⁾ (?:is (\S+)|lies in \[(\S+), (\S+)\]), so/.exec(text) ?? [];
    assert.ok(lo && hi, `${hash}: ${text}`);
    assert.equal(Number(lo.replace("−", "-")), Number(b.derivative.lo.toPrecision(3)), hash);
    assert.equal(Number(hi.replace("−", "-")), Number(b.derivative.hi.toPrecision(3)), hash);
  }
  // a y within rounding of 0 leaves the product of the y enclosed, not a number
  const { r } = stateOf("#nodes=0.3,0.4,0.5,0.6&iterates=3");
  assert.match(
    boundText(r, interpolationBound(fn.tree, r.pts, fn.root)),
    /the product lies in \[-1\.\d+e-31, 1\.\d+e-31\]/,
  );
});
