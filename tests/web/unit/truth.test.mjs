// What the page says of its numbers, held to what a numerical analyst
// measures: errors against the true root, not its double; what Neville's
// corrections estimate; what a residual near the root is made of; what a
// y near the root keeps; what a negative weight says; what rounding did,
// measured; and the words of the many-digit table.  Each state as a link
// brings it back.

import assert from "node:assert/strict";
import { test } from "node:test";
import { parseFragment } from "../../../web/core/fragment.js";
import { compute, replay } from "../../../web/core/sweep.js";
import { accuracy } from "../../../web/core/accuracy.js";
import { estimate, verdict } from "../../../web/core/verdicts.js";
import { iterateDone, iterationRows } from "../../../web/core/iterations.js";
import { partsOf } from "../../../web/core/residual.js";
import { PRECISE } from "../../../web/core/precise.js";
import { boundText, estimateText, qualityNote, rootText } from "../../../web/core/sentences/quality.js";
import { learnerRoot } from "../../../web/core/roots.js";
import { whyNoRoot } from "../../../web/core/sentences/functions.js";
import { interpolationBound } from "../../../web/core/bound.js";
import { iterateNote, iterationCells, ordersCaption } from "../../../web/core/sentences/iterations.js";
import { fn, fnOf as functionOf, fnRoot, model, root, ruleLine, treeOf, plain } from "./context.mjs";

/** The state a link brings back: its result, its iterates, and its choice. */
function stateOf(/** @type {string} */ hash) {
  const s = parseFragment(hash, model.presets);
  assert.ok(s && s.error === undefined, `${hash} brings back a state`);
  const made = replay(model, { nodes: s.nodes, exp: s.exp, shown: s.step, fn }, s.iterates),
    choice = { nodes: made.nodes, exp: s.exp, shown: s.step, fn, iterates: made.iterates };
  const r = compute(model, choice);
  return { r, ps: made.iterates.length ? made.iterates : [r.p], choice };
}

test("errors and correct digits against the true root: the root's double is 0.40 ulp above it, with 16 digits", () => {
  const below = root - 2 ** -54;
  // p, p - root, in ulps of the root's double, correct digits
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
  const [, , row] = iterationRows(ps, 4, fn.f.wasm, fn.root).map(iterationCells);
  assert.deepEqual([row[1], row[2], row[4]], [String(root), "2.22e-17", "16"]);
});

test("the program's nodes after two Iterates: p is the root's double, its residual taken apart, its corrections real", () => {
  const { r } = stateOf("#nodes=0.3,0.4,0.5,0.6&iterates=2");
  const note = plain(qualityNote(r, verdict(r), partsOf(fn, "wasm", r.p)));
  assert.match(note, /p is the double nearest the root, 0\.40 ulp above it: the nearest a double can be/);
  // -5.55e-17: the true f at that double, exp's rounding, and nothing from the subtraction (Sterbenz)
  assert.match(note, /residual, -5\.55e-17, is made of -4\.12e-17, the true f\(p\), .*; -1\.43e-17, the exponential's/);
  assert.match(note, /nothing from the subtraction, which is exact here/);
  const said = estimateText(estimate(r));
  assert.match(said, /\|Q\[3\]\[3\] − Q\[2\]\[2\]\| = 3\.35e-9, what node 3 added/);
  assert.doesNotMatch(said, /3\.35e-9 \([^)]*rounding/);
  assert.match(said, /p − root = \+2\.22e-17, 0\.40 ulp\.$/);
});

test("Neville's corrections estimate the errors of Q[3][2] and Q[2][2], which bracket the root, not p's", () => {
  const { r } = stateOf("#nodes=0.3,0.4,0.5,0.6");
  const said = estimateText(estimate(r));
  for (const figure of ["3.36e-5", "2.79e-5", "-3.06e-5", "+3.09e-5", "+2.98e-6"])
    assert.ok(said.includes(figure), said);
  assert.match(said, /estimates the error of the entry it is taken from, one degree less than p, not p's/);
  assert.match(said, /is better than both/);
});

test("at the end of Iterate from three nodes, y keeps its sign near the root, not its size", () => {
  const { r, ps, choice } = stateOf("#nodes=0.3,0.4,0.5&iterates=4");
  const note = iterateNote(ps.length - 1, iterateDone(model, choice, r, ps), partsOf(fn, "wasm", r.p));
  assert.doesNotMatch(note, /no longer say on which side/);
  assert.match(
    note,
    /Its sign is right, so it still says on which side of the root p4 lies, but its size is \d+ % off/,
  );
});

test("a negative weight reaches beyond the two entries a step combines; the polynomial interpolates all the same", () => {
  const { r } = stateOf("#nodes=0.3,0.6,0.4&step=3");
  const weights = ruleLine(r, -2);
  assert.match(weights, /= 1\.247 · Q\[2\]\[1\] − 0\.2473 · Q\[1\]\[1\]/);
  assert.match(weights, /one is negative, .*: the step's blend reaches beyond the two entries it combines/);
  assert.match(
    weights,
    /y = 0 lies among the y of all the points 0 … 2, so the polynomial the step makes interpolates/,
  );
});

test("rounding's reach as measured: the y rounded move P(0) by 1.4e-3, the sweep p by 1.4e-2, and x is not rounded", () => {
  const { r } = stateOf("#nodes=0.3,0.4,0.4000000000000001,0.6");
  const note = plain(qualityNote(r, verdict(r), null));
  assert.match(
    note,
    /^Rounding the y_k to doubles moves the polynomial's value at 0 by -1\.41e-3, and the sweep's own/,
  );
  assert.match(note, /moves p by \+1\.37e-2: \+1\.23e-2 in all, against the method's own error, -9\.74e-7/);
  assert.match(note, /Rounding decides p here, not the method/);
  assert.doesNotMatch(note, /4\.01e-1|and x each y/);
});

test("the many-digit table's caption says what rounds, and nothing is called exact", () => {
  const caption = ordersCaption(4, 1.928, PRECISE);
  assert.doesNotMatch(caption, /exact/i);
  assert.match(caption, /two estimated orders in a row come within 0\.005/);
});

test("a learner's f: the root past a pole, none where f only touches 0, and what p's residual and bound say", () => {
  // f's root where the first sign change is a pole: 1/(x - 0.45) - 5 has one between 0.4 and 0.6, its root at 0.65
  const pole = learnerRoot(treeOf("1/(x - 0.45) - 5"), [0.3, 0.4, 0.6, 0.7]);
  assert.ok("root" in pole && pole.root, "a root past the pole");
  assert.equal(pole.root.hi, 0.65);
  /** @type {[string, number[], RegExp][]} */
  const none = [
    ["(x - 0.5)^2", [0.35, 0.45, 0.58, 0.7], /touches 0 without crossing it/],
    ["x - x", [0.3, 0.4], /0 at more than one node/],
    ["1/(x - 0.5)", [0.3, 0.7], /a pole or a jump, not a root/],
  ];
  for (const [text, nodes, why] of none) {
    const got = learnerRoot(treeOf(text), nodes);
    assert.ok("kind" in got, text);
    assert.match(whyNoRoot(got), why, text);
  }
  // the residual is f'(root) (p - root) only where p is near enough for f to follow its tangent
  /** @type {[string, number[], RegExp][]} */
  const residuals = [
    ["x^3 - x + 1", [-1.5, -1.4], /The residual is f\(p\) ≈ f′\(root\)·\(p − root\)/],
    ["x^3 - x + 1", [-0.9, -0.8], /The residual f\(p\) = -3\.9\de\+0 is not near f′\(root\)·\(p − root\)/],
  ];
  for (const [text, nodes, said] of residuals) {
    const own = functionOf(text, nodes);
    const r = compute(model, { nodes, exp: "wasm", shown: Infinity, fn: own });
    assert.match(plain(qualityNote(r, verdict(r), null)), said, `${text} from ${nodes}`);
  }
  // p against the two entries it came from: better, as good as, or worse, each said as it is
  const hump = functionOf("x^3 - x + 1", [-1.5, -1, -0.3, 0.6]);
  const r = compute(model, { nodes: [-1.5, -1, -0.3, 0.6], exp: "wasm", shown: Infinity, fn: hump });
  assert.match(estimateText(estimate(r)), /p, of degree 3, is better than Q\[3\]\[2\] and worse than Q\[2\]\[2\]/);
});

test("after three Iterates a y within rounding of 0 leaves the product of the y enclosed, not a number", () => {
  const { r } = stateOf("#nodes=0.3,0.4,0.5,0.6&iterates=3");
  const text = boundText(r, interpolationBound(fn.tree, r.pts, fn.root), null);
  assert.match(text, /Here the product lies in \[-1\.\d+e-31, 1\.\d+e-31\]/);
  assert.match(plain(qualityNote(r, verdict(r), null)), /the other y straddle 0, so y = 0 lies among them/);
});

test("the bound's enclosure of g⁽ⁿ⁾ holds the values met at points where it says them, and says none where its ends read alike", () => {
  const number = (/** @type {string} */ s) => Number(s.replace("−", "-"));
  /** @type {[string, boolean][]} */
  const cases = [
    ["#nodes=0.3,0.6&iterates=6", false],
    ["#nodes=0,1&iterates=7", false],
    ["#nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8", true],
  ];
  for (const [hash, said] of cases) {
    const { r } = stateOf(hash);
    const text = boundText(r, interpolationBound(fn.tree, r.pts, fn.root), null);
    const range = text.match(/ lies in \[(\S+), (\S+)\] over the y/),
      met = text.match(/found between (\S+) and (\S+)\)/);
    assert.ok(range, `${hash}: ${text}`);
    assert.equal(!!met, said, `${hash}: ${text}`);
    if (met) assert.ok(number(range[1]) <= number(met[1]) && number(met[2]) <= number(range[2]), `${hash}: ${text}`);
  }
});

test("what is said of p where the root or f(p) lies below 256 bits, where p is the root, where rounding only nearly decides p, and where it decides p with no root bracketed", () => {
  /** @type {[text: string, nodes: number[], iterates: number, said: RegExp[], unsaid: RegExp[]][]} */
  const cases = [
    // (x - 0.45)^5 is below 2^-256 within 1e-16 of 0.45: its root is where f's doubles change sign, no nearer
    ["(x-0.45)^5", [0.3, 0.6], 0, [/^0\.45 \(where f's doubles change sign .* is not known/], [/which it is/]],
    // f(p) near 1e-112, in many digits beside the doubles, taken apart: the true f(p) and the rounding
    ["(x-0.45)^7", [0.3, 0.6], 0, [/is not known/, /is made of \+4\.05e-112, the true f\(p\)/], [/which it is/]],
    ["(x-0.45)^3", [0.3, 0.6], 0, [/^0\.45 \(the double nearest .*, 1\.11e-17 above it\)/], []],
    ["2*x - 1", [0.3, 0.6], 0, [/p is the root itself: a double\./], [/as p is not the root/, /ulp below/]],
    ["exp(x) - 2", [0, 1, 2], 4, [/p's error is the method's only to within \d+ %\.$/], [/Nodes further apart/]],
    // no root bracketed, and y1 - y0 is 4 ulps: rounding decides where p lands, root or none
    ["(x-0.5)^2", [0.3, 0.7], 0, [/about \d+ units? of the rounding .* Rounding decides p here/], [/Extrapolation/]],
    ["x^2 + 1", [0.3, 0.7], 0, [/Extrapolation/], [/Rounding decides/]],
  ];
  for (const [text, nodes, iterates, said, unsaid] of cases) {
    const own = functionOf(text, nodes);
    const made = replay(model, { nodes, exp: "wasm", shown: Infinity, fn: own }, iterates);
    const r = compute(model, { nodes: made.nodes, exp: "wasm", shown: Infinity, fn: own });
    const words = `${rootText(r)}\n${plain(qualityNote(r, verdict(r), partsOf(r.fn, "wasm", r.p)))}`;
    for (const re of said) assert.match(words, new RegExp(re.source, "m"), `${text}`);
    for (const re of unsaid) assert.doesNotMatch(words, re, `${text}`);
  }
});
