// Iterated inverse interpolation in as many digits as the orders of
// convergence need, for the program's f or any f the parser accepts.
//
// Doubles stop showing the order of convergence after three or four steps:
// the error reaches their rounding.  Here every number is a BigInt m standing
// for m / 2^P (fixed point), with P bits for the digits asked and 64 more,
// so the errors can be followed down to 10^-digits.  Fixed point is not
// exact arithmetic; what rounds here, and by how much, in units of 2^-P:
//   - each node x_k is a double, read exactly;
//   - y_k = f(x_k) is computed at W = P + s + 64 bits (s about sqrt(P), the
//     halvings fixed.js's exp, sin and cos take), where each function errs
//     by at most 2^(s + 10) units of 2^-W, as fixed.js says at each, and is
//     then rounded to P bits: within 1/2 unit and a little more, for an f
//     whose expression does not magnify its errors by 2^50 (the page's
//     functions stay far within that);
//   - the sweep is Neville's at y = 0 over the points (y_k, x_k):
//       Q[i][0] = x_i,
//       Q[i][j] = (-y_(i-j) Q[i][j-1] + y_i Q[i-1][j-1]) / (y_i - y_(i-j)),
//     both products kept exact (2P fractional bits) and the one division
//     rounded to nearest: 1/2 unit an entry, which the weights carry on;
//   - the root is found by Newton's method at W bits from the function's
//     double root (roots.js), within 2^(s + 16) units of 2^-W;
//   - the error |p_k - root| is exact from there, and shown to three
//     significant digits, rounded half up; its logarithm from its leading
//     64 bits.
// So the errors shown are right to their three digits while they lie well
// above 10^-digits, which 64 bits below that keep them; the run stops at
// 10^-digits.  A step drops the oldest node and appends the sweep's value p.

import { theoreticalOrder } from "./numbers.js";
import { absOf, divRound, fixedArithmetic, fixedAt, fromDouble, log10Of, shiftRound } from "./fixed.js";
import { NoValue, compile } from "./walk.js";
import { newtonRoot } from "./roots.js";
import { LIMITS } from "./limits.js";

/** The page's many-digit run: decimal digits carried, and how close two estimated orders in a row must come to the theoretical one. */
export const PRECISE = Object.freeze({ digits: 2000, tolerance: 0.005 });

/** Largest |x| of a node or iterate f is taken at. */
const FAR = LIMITS.far;

/**
 * The function iterated: its parsed expression and a double near its root,
 * where Newton's method starts.  Presets (functions.js) are such.
 * @typedef {{tree: import("./expression.js").Tree, root: {hi: number}}} Fn
 */

/**
 * @typedef {object} Options
 * @property {number} [digits] significant decimal digits carried, an integer from 1000 to 20000 (PRECISE.digits)
 * @property {number} [tolerance] how close two estimated orders in a row must come to the theoretical one (PRECISE.tolerance)
 * @property {number} [maxSteps] the last step k that may be taken, an integer from 0 to 1000 (40)
 * @property {boolean} [pastResolution] go on after the error falls below 10^-digits (false): the rows then
 *   show the arithmetic's own rounding, and the run ends when an iterate lands on a node, or at maxSteps
 * @property {Fn} fn the function
 * @property {[number, number]} [within] the interval the starting nodes must lie in ([0, 1])
 * @property {Arithmetic} [arithmetic] from prepare(fn, digits), kept by the caller so that a run for the same
 *   function and digits need not find the root again
 */

/**
 * @typedef {object} Row
 * @property {number} step k: p_0 is the sweep's value from the starting nodes, p_k that of step k
 * @property {string} error |p_k - root| to three significant digits, as "2.98e-6" (never through a double);
 *   "0" only past the resolution
 * @property {number} log10 the base-10 logarithm of the error (-Infinity for "0")
 * @property {number | null} order log(e_k / e_(k-1)) / log(e_(k-1) / e_(k-2)) from k = 2 on, else null
 */

/**
 * Why the run ended.  "order": the estimated orders at step - 1 and at
 * step both came within the tolerance of the theoretical one (step is the
 * last row's).  "precision": the error of p_step fell below 10^-digits,
 * past what the digits resolve; that row is left out.  "cap": step reached
 * maxSteps (the last row's).  "equal-y": two nodes of the sweep at step
 * have the same y, a zero denominator.  "lands-on-node": the iterate
 * appended for that sweep is one of its other nodes.  "far": p_(step-1)
 * lies outside [-8, 8], where no y is taken.  "invalid": these nodes
 * cannot be iterated (`why` says which, `what` at what): "input", they
 * are not 2 to 8 doubles in the interval, or an option is out of range;
 * "domain", f has no value at a node of the sweep at step, or none within
 * 2^64; "root", the root could not be found in these digits.
 * nodes, where given, are indices into the sequence x_0, x_1, ... of all
 * nodes: the starting ones first, then x_(n+k) = p_k; the sweep at step k
 * is over x_k .. x_(k+n-1).
 * @typedef {object} Stop
 * @property {"order" | "precision" | "cap" | "equal-y" | "lands-on-node" | "far" | "invalid"} reason
 * @property {number} step
 * @property {[number, number]} [nodes] the two nodes with equal y (equal-y, lands-on-node)
 * @property {"input" | "domain" | "root"} [why] which (invalid)
 * @property {string} [what] the option or the function at fault
 */

/**
 * @typedef {object} Run
 * @property {number} theory the theoretical order for this many nodes
 * @property {Row[]} rows
 * @property {Stop} stop
 */

/**
 * The arithmetic for one function and number of digits: its bits, f in
 * them, and the root.
 * @typedef {object} Arithmetic
 * @property {Fn} fn
 * @property {number} digits
 * @property {bigint} P fractional bits of the nodes, their y and the sweep
 * @property {bigint} W fractional bits of f's evaluation, the root and the error
 * @property {bigint} lift W - P
 * @property {(X: bigint) => bigint} yOf f at X / 2^P, as m / 2^P; throws FixedError where f has no value
 * @property {bigint | null} root the root as m / 2^W, null where Newton's method could not find it
 * @property {bigint} floor 10^digits: an error e with e * floor < 2^W is past what the digits resolve
 */

/**
 * The arithmetic for a function and a number of digits: P bits for the
 * digits and 64 more; W = P + s + 64 for f, whose exp, sin and cos double
 * their error s times.  Finding the root takes most of it: at 2000 digits, 108 ms for the
 * program's f on a 2-core machine busy with other work (load 9).
 * @param {Fn} fn
 * @param {number} digits
 * @returns {Arithmetic}
 */
export function prepare(fn, digits) {
  const P = BigInt(Math.ceil(digits / Math.log10(2)) + 64);
  const s = Math.ceil(Math.sqrt(Number(P)));
  const W = P + BigInt(s + 64);
  const F = fixedAt(Number(W));
  const lift = W - P;
  const f = compile(fn.tree, fixedArithmetic(F));
  const yOf = (/** @type {bigint} */ X) => shiftRound(f(X << lift), lift);
  const found = newtonRoot(fn.tree, fn.root.hi, F);
  return {
    fn,
    digits,
    P,
    W,
    lift,
    yOf,
    root: found?.root ?? null,
    floor: 10n ** BigInt(digits),
  };
}

// --- the error as text ------------------------------------------------------------

/**
 * m / 2^W, m > 0, to three significant digits, rounded half up, as
 * toExponential(2) writes them: "2.98e-6", "1.00e+0".
 * @param {bigint} m
 * @param {bigint} W
 * @param {number} log10 its logarithm, which may be a little off
 */
function threeDigits(m, W, log10) {
  // lead = round(m / 2^W * 10^(2 - d)), which is 100 .. 999 for the right d
  const lead = (/** @type {number} */ d) => {
    const scaled = d <= 2 ? m * 10n ** BigInt(2 - d) : divRound(m, 10n ** BigInt(d - 2));
    return shiftRound(scaled, W);
  };
  let d = Math.floor(log10);
  let digits = lead(d);
  if (digits >= 1000n) digits = lead(++d);
  else if (digits < 100n) digits = lead(--d);
  if (digits >= 1000n) digits = lead(++d);
  const text = digits.toString();
  return `${text[0]}.${text.slice(1)}e${d < 0 ? "-" : "+"}${Math.abs(d)}`;
}

// --- the iteration ------------------------------------------------------------------

/**
 * The options with their defaults.
 * @param {Options} options
 */
const withDefaults = (options) => ({
  digits: options.digits ?? PRECISE.digits,
  tolerance: options.tolerance ?? PRECISE.tolerance,
  maxSteps: options.maxSteps ?? 40,
  pastResolution: options.pastResolution ?? false,
  fn: options.fn,
  within: options.within ?? [0, 1],
});

/**
 * What is wrong with the input, or null.
 * @param {unknown} xs
 * @param {ReturnType<typeof withDefaults>} o
 */
function invalid(xs, o) {
  const [lo, hi] = o.within;
  if (!(Math.abs(lo) <= FAR && Math.abs(hi) <= FAR && lo <= hi)) return "within";
  if (!Array.isArray(xs) || xs.length < 2 || xs.length > 8) return "nodes";
  if (!xs.every((x) => typeof x === "number" && x >= lo && x <= hi)) return "nodes";
  if (!Number.isInteger(o.digits) || o.digits < 1000 || o.digits > 20000) return "digits";
  if (typeof o.tolerance !== "number" || !(o.tolerance >= 0)) return "tolerance";
  if (!Number.isInteger(o.maxSteps) || o.maxSteps < 0 || o.maxSteps > 1000) return "maxSteps";
  return null;
}

/**
 * Neville's sweep at y = 0 over n nodes from `from`, entries row by row,
 * (1,1) (2,1) (2,2) (3,1) ...: p, or the two nodes with equal y.
 * @param {bigint[]} X
 * @param {bigint[]} Y
 * @param {number} from
 * @param {number} n
 * @returns {{p: bigint, equal?: undefined} | {equal: [number, number], p?: undefined}}
 */
function sweep(X, Y, from, n) {
  /** @type {bigint[]} */
  let above = [X[from]];
  for (let i = 1; i < n; i++) {
    const yi = Y[from + i];
    const row = [X[from + i]];
    for (let j = 1; j <= i; j++) {
      const yij = Y[from + i - j];
      if (yi === yij) return { equal: [from + i - j, from + i] };
      row.push(divRound(yi * above[j - 1] - yij * row[j - 1], yi - yij));
    }
    above = row;
  }
  return { p: above[n - 1] };
}

/**
 * The iteration one step at a time, for a page that spreads it over frames:
 * each next() yields step k's row; the generator's return value is the stop.
 * The first next() also finds the root, unless options.arithmetic has it
 * (108 ms for the program's f at 2000 digits on a busy 2-core machine).
 * @param {readonly number[]} xs the starting nodes, 2 to 8 doubles in the interval, each taken exactly
 * @param {Options} options
 * @returns {Generator<Row, Stop, void>}
 */
export function* steps(xs, options) {
  const o = withDefaults(options);
  const what = invalid(xs, o);
  if (what !== null) return { reason: "invalid", step: 0, why: "input", what };
  const n = xs.length;
  const theory = theoreticalOrder(n);
  const a =
    options.arithmetic?.fn === o.fn && options.arithmetic.digits === o.digits
      ? options.arithmetic
      : prepare(o.fn, o.digits);
  if (a.root === null) return { reason: "invalid", step: 0, why: "root" };
  const { P, W, lift, yOf, root, floor } = a;
  const X = xs.map((x) => fromDouble(x, P));
  /** @type {bigint[]} */
  const Y = [];
  /** @type {number[]} */
  const logs = [];
  for (let k = 0; ; k++) {
    try {
      while (Y.length < X.length) Y.push(yOf(X[Y.length]));
    } catch (e) {
      if (!(e instanceof NoValue)) throw e;
      return { reason: "invalid", step: k, why: "domain", what: e.what };
    }
    const swept = sweep(X, Y, k, n);
    if (swept.equal) {
      const [older, newest] = swept.equal;
      const lands = k > 0 && newest === k + n - 1 && X[older] === X[newest];
      return { reason: lands ? "lands-on-node" : "equal-y", step: k, nodes: swept.equal };
    }
    const p = swept.p;
    const error = absOf((p << lift) - root);
    if (error * floor < 1n << W && !o.pastResolution) return { reason: "precision", step: k };
    const log10 = error === 0n ? -Infinity : log10Of(error, W);
    logs.push(log10);
    let order = null;
    // an order only where the errors fall: growing ones have none
    if (k >= 2 && logs[k] < logs[k - 1] && logs[k - 1] < logs[k - 2]) {
      const ratio = (logs[k] - logs[k - 1]) / (logs[k - 1] - logs[k - 2]);
      if (Number.isFinite(ratio)) order = ratio;
    }
    yield { step: k, error: error === 0n ? "0" : threeDigits(error, W, log10), log10, order };
    if (settled(logs, theory, o.tolerance)) return { reason: "order", step: k };
    if (k >= o.maxSteps) return { reason: "cap", step: k };
    if (absOf(p) > BigInt(FAR) << P) return { reason: "far", step: k + 1 };
    X.push(p);
  }
}

/**
 * Whether the last two estimated orders both lie within the tolerance of
 * the theoretical one.  One alone can come within it by chance, as the
 * estimates swing about the limit (from 0.3, 0.4, 0.5, 0.6: 1.931, then
 * 1.933, then 1.929 against 1.928).
 * @param {number[]} logs the errors' logarithms so far
 * @param {number} theory
 * @param {number} tolerance
 */
function settled(logs, theory, tolerance) {
  const k = logs.length - 1;
  if (k < 3) return false;
  const order = (/** @type {number} */ m) => (logs[m] - logs[m - 1]) / (logs[m - 1] - logs[m - 2]);
  return [order(k - 1), order(k)].every((t) => Number.isFinite(t) && Math.abs(t - theory) <= tolerance);
}
