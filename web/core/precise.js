// Iterated inverse interpolation in as many digits as the orders of
// convergence need.
//
// Doubles stop showing the order of convergence after three or four steps:
// the error reaches their rounding.  Here every number is a BigInt m standing
// for m / 2^P (fixed point), with P bits for the digits asked and guard bits
// on top, so the errors can be followed down to 10^-digits.
//
// The sweep is Neville's at y = 0 over the points (y_k, x_k), y = e^(-2x) - x:
//   Q[i][0] = x_i,
//   Q[i][j] = (-y_(i-j) Q[i][j-1] + y_i Q[i-1][j-1]) / (y_i - y_(i-j)).
// Both products are kept exact (2P fractional bits) and the one division
// rounds, so a y far smaller than 1 loses none of its digits to the fixed
// point.  A step drops the oldest node and appends the sweep's value p.

import { theoreticalOrder } from "./numbers.js";

const LOG10_2 = Math.log10(2);

/** The decimal digits carried and how close the estimated order must come to theory's, unless asked otherwise. */
export const PRECISE = { digits: 1100, tolerance: 0.005 };

/** Largest |x| of a node the exponential is taken at (e^16 is 23 bits above 1). */
const FAR = 8;

/**
 * @typedef {object} Options
 * @property {number} [digits] significant decimal digits carried, an integer from 1000 to 20000 (PRECISE's)
 * @property {number} [tolerance] how close the estimated order must come to the theoretical one (PRECISE's)
 * @property {number} [maxSteps] the last step k that may be taken, an integer from 0 to 1000 (40)
 * @property {boolean} [pastResolution] go on after the error falls below 10^-digits (false): the rows then
 *   show the arithmetic's own rounding, and the run ends when an iterate lands on a node, or at maxSteps
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
 * Why the run ended.  "order": the estimated order came within the tolerance
 * (step is the last row's).  "precision": the error of p_step fell below
 * 10^-digits, past what the digits resolve; that row is left out.  "cap":
 * step reached maxSteps (the last row's).  "equal-y": two nodes of the sweep at step have the same y, a zero
 * denominator.  "lands-on-node": the iterate appended for that sweep is one of
 * its other nodes.  "far": p_(step-1) lies outside [-8, 8], where no y is
 * taken.  "invalid": the input is not 2 to 8 doubles in [0, 1], or an option
 * is out of range (message says which).
 * nodes, where given, are indices into the sequence x_0, x_1, ... of all
 * nodes: the starting ones first, then x_(n+k) = p_k; the sweep at step k
 * is over x_k .. x_(k+n-1).
 * @typedef {object} Stop
 * @property {"order" | "precision" | "cap" | "equal-y" | "lands-on-node" | "far" | "invalid"} reason
 * @property {number} step
 * @property {[number, number]} [nodes] the two nodes with equal y (equal-y, lands-on-node)
 * @property {string} [message] what is wrong with the input (invalid)
 */

/**
 * @typedef {object} Run
 * @property {number} theory the theoretical order for this many nodes
 * @property {Row[]} rows
 * @property {Stop} stop
 */

// --- fixed point -------------------------------------------------------------------

/**
 * a / b rounded to nearest, halves away from zero; b is not 0.
 * @param {bigint} a
 * @param {bigint} b
 */
function divRound(a, b) {
  const q = a / b;
  const r = a - q * b;
  const twice = r < 0n ? -2n * r : 2n * r;
  if (twice < (b < 0n ? -b : b)) return q;
  return a < 0n === b < 0n ? q + 1n : q - 1n;
}

/**
 * a / 2^k rounded to nearest (halves up), k >= 1.
 * @param {bigint} a
 * @param {bigint} k
 */
function shiftRound(a, k) {
  return (a + (1n << (k - 1n))) >> k;
}

/**
 * The number of bits of m > 0.
 * @param {bigint} m
 */
function bitLength(m) {
  const hex = m.toString(16);
  return (hex.length - 1) * 4 + Number.parseInt(hex[0], 16).toString(2).length;
}

const bits = new DataView(new ArrayBuffer(8));
/**
 * The double x >= 0, exactly, as m / 2^P (P >= 1074 holds every double's bits).
 * @param {number} x
 * @param {bigint} P
 */
function fromDouble(x, P) {
  bits.setFloat64(0, x);
  const word = bits.getBigUint64(0) & 0x7fffffffffffffffn;
  const biased = word >> 52n;
  const fraction = word & 0xfffffffffffffn;
  // x = mantissa * 2^(exponent - 1075), subnormals with exponent field 0 as if it were 1
  const mantissa = biased === 0n ? fraction : fraction | (1n << 52n);
  const shift = P + (biased === 0n ? 1n : biased) - 1075n;
  return shift >= 0n ? mantissa << shift : mantissa >> -shift;
}

/**
 * e^z, z and the result as m / 2^W, |z| <= 16: z / 2^s by Taylor's series,
 * then squared s times.  Each squaring doubles the relative error, which the
 * caller's guard bits (more than s + 40) absorb.
 * @param {bigint} z
 * @param {bigint} W
 * @param {number} s
 */
function expFixed(z, W, s) {
  const one = 1n << W;
  const r = shiftRound(z, BigInt(s));
  let sum = one;
  let term = one;
  for (let i = 1n; term !== 0n; i++) {
    term = ((term * r) >> W) / i;
    sum += term;
  }
  for (let i = 0; i < s; i++) sum = (sum * sum) >> W;
  return sum;
}

/**
 * @typedef {object} Arithmetic
 * @property {number} digits
 * @property {bigint} P fractional bits of the nodes, their y and the sweep
 * @property {bigint} W fractional bits of the exponential, the root and the error
 * @property {bigint} lift W - P
 * @property {(X: bigint) => bigint} yOf
 * @property {bigint} root
 * @property {bigint} floor 10^digits: an error e with e * floor < 1 is past what the digits resolve
 */

/** @type {Arithmetic | null} */
let lastArithmetic = null;

/**
 * The arithmetic for one number of digits, kept for the next run with as
 * many (the root takes most of a short run's time).
 * @param {number} digits
 * @returns {Arithmetic}
 */
function arithmetic(digits) {
  if (lastArithmetic?.digits !== digits) lastArithmetic = arithmeticFor(digits);
  return lastArithmetic;
}

/**
 * P bits for the digits asked and 64 more; W = P + s + 64 for the exponential,
 * whose s squarings double its error s times.
 * @param {number} digits
 * @returns {Arithmetic}
 */
function arithmeticFor(digits) {
  const P = BigInt(Math.ceil(digits / LOG10_2) + 64);
  const s = Math.ceil(Math.sqrt(Number(P)));
  const W = P + BigInt(s + 64);
  const lift = W - P;
  /**
   * y = e^(-2x) - x for x = X / 2^P, |x| <= 8, as m / 2^P.
   * @param {bigint} X
   */
  const yOf = (X) => shiftRound(expFixed(-(X << (lift + 1n)), W, s) - (X << lift), lift);
  // The root of x - e^(-2x) by Newton's method from the double nearest it,
  // each step x -= (x - e) / (1 + 2e), e = e^(-2x); quadratic, so the step
  // after one below 2^-P/256 changes nothing that P bits hold.
  const one = 1n << W;
  let root = fromDouble(0.4263027510068627, W);
  for (let i = 0; i < 40; i++) {
    const e = expFixed(-2n * root, W, s);
    const dx = ((root - e) << W) / (one + 2n * e);
    root -= dx;
    if ((dx < 0n ? -dx : dx) < 1n << (lift - 8n)) break;
  }
  return { digits, P, W, lift, yOf, root, floor: 10n ** BigInt(digits) };
}

// --- the error as text and logarithm ------------------------------------------------

/**
 * log10(m / 2^W) for m > 0, from m's leading 64 bits.
 * @param {bigint} m
 * @param {bigint} W
 */
function log10Of(m, W) {
  const drop = Math.max(bitLength(m) - 64, 0);
  return Math.log10(Number(m >> BigInt(drop))) + (drop - Number(W)) * LOG10_2;
}

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
 * What is wrong with the input, or null.
 * @param {unknown} xs
 * @param {Required<Options>} o
 */
function invalid(xs, o) {
  if (!Array.isArray(xs) || xs.length < 2 || xs.length > 8) return "nodes: 2 to 8 of them";
  if (!xs.every((x) => typeof x === "number" && x >= 0 && x <= 1)) return "nodes: each a number in [0, 1]";
  if (!Number.isInteger(o.digits) || o.digits < 1000 || o.digits > 20000) return "digits: an integer, 1000 to 20000";
  if (typeof o.tolerance !== "number" || !(o.tolerance >= 0)) return "tolerance: a number, 0 or more";
  if (!Number.isInteger(o.maxSteps) || o.maxSteps < 0 || o.maxSteps > 1000) return "maxSteps: an integer, 0 to 1000";
  return null;
}

/**
 * The iteration one step at a time, for a page that spreads it over frames:
 * each next() yields step k's row; the generator's return value is the stop.
 * The first next() also finds the root (some 10 ms at 1100 digits).
 * @param {readonly number[]} xs the starting nodes, 2 to 8 doubles in [0, 1], each taken exactly
 * @param {Options} [options]
 * @returns {Generator<Row, Stop, void>}
 */
export function* steps(xs, options = {}) {
  /** @type {Required<Options>} */
  const o = {
    digits: options.digits ?? PRECISE.digits,
    tolerance: options.tolerance ?? PRECISE.tolerance,
    maxSteps: options.maxSteps ?? 40,
    pastResolution: options.pastResolution ?? false,
  };
  const message = invalid(xs, o);
  if (message !== null) return { reason: "invalid", step: 0, message };
  const n = xs.length;
  const theory = theoreticalOrder(n);
  const { P, W, lift, yOf, root, floor } = arithmetic(o.digits);
  const X = xs.map((x) => fromDouble(x, P));
  const Y = X.map(yOf);
  /** @type {number[]} */
  const logs = [];
  for (let k = 0; ; k++) {
    // Neville's sweep over x_k .. x_(k+n-1), entries row by row, (1,1) (2,1) (2,2) (3,1) ...
    /** @type {bigint[]} */
    let above = [X[k]];
    for (let i = 1; i < n; i++) {
      const xi = X[k + i];
      const yi = Y[k + i];
      const row = [xi];
      for (let j = 1; j <= i; j++) {
        const yij = Y[k + i - j];
        if (yi === yij) {
          const newest = k > 0 && i === n - 1;
          const lands = newest && X[k + i - j] === xi;
          return { reason: lands ? "lands-on-node" : "equal-y", step: k, nodes: [k + i - j, k + i] };
        }
        row.push(divRound(yi * above[j - 1] - yij * row[j - 1], yi - yij));
      }
      above = row;
    }
    const p = above[n - 1];
    const diff = (p << lift) - root;
    const error = diff < 0n ? -diff : diff;
    if (error * floor < 1n << W && !o.pastResolution) return { reason: "precision", step: k };
    const log10 = error === 0n ? -Infinity : log10Of(error, W);
    logs.push(log10);
    let order = null;
    if (k >= 2) {
      const ratio = (logs[k] - logs[k - 1]) / (logs[k - 1] - logs[k - 2]);
      if (Number.isFinite(ratio)) order = ratio;
    }
    yield { step: k, error: error === 0n ? "0" : threeDigits(error, W, log10), log10, order };
    if (order !== null && Math.abs(order - theory) <= o.tolerance) return { reason: "order", step: k };
    if (k >= o.maxSteps) return { reason: "cap", step: k };
    if ((p < 0n ? -p : p) > BigInt(FAR) << P) return { reason: "far", step: k + 1 };
    X.push(p);
    Y.push(yOf(p));
  }
}

/**
 * The whole iteration at once.
 * @param {readonly number[]} xs the starting nodes, 2 to 8 doubles in [0, 1], each taken exactly
 * @param {Options} [options]
 * @returns {Run}
 */
export function converge(xs, options = {}) {
  const run = steps(xs, options);
  /** @type {Row[]} */
  const rows = [];
  for (;;) {
    const next = run.next();
    if (next.done) return { theory: Array.isArray(xs) ? theoreticalOrder(xs.length) : NaN, rows, stop: next.value };
    rows.push(next.value);
  }
}
