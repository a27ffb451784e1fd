// How good a double p is as a root: the true root as a double-double,
// p - root to full relative precision, in ulps of the root's double, and as
// correct digits; and whether p is the double nearest the root, for any
// function whose root is known as a double-double.  Nothing here touches
// the DOM.
//
// Why a double-double: the double nearest the root is not the root.  For
// e^(-2x) - x it is 0.42630275100686277, which lies 2.22e-17 (0.40 ulp)
// above the root; measured against that double, the double itself would
// show no error at all, and a p one ulp below it one digit too few.

import { absOf, divRound, fromDouble, log10Of } from "./fixed.js";

/** @typedef {import("./roots.js").DoubleDouble} DoubleDouble */

/**
 * A unit in the last place of x: the gap from |x| to the next double away
 * from 0 (2^-54 for the doubles in [0.25, 0.5), the program's root among
 * them); the smallest subnormal at 0.
 * @param {number} x a finite double
 */
export function ulpOf(x) {
  const a = Math.abs(x);
  if (a < 2 ** -1022) return 2 ** -1074;
  let e = Math.floor(Math.log2(a));
  // Math.log2 may round across a power of two: settle e with 2^e <= a < 2^(e+1)
  if (2 ** e > a) e--;
  else if (2 ** (e + 1) <= a) e++;
  return 2 ** (e - 52);
}

/**
 * p - root as a double, to full relative precision: p - hi exactly (it is
 * exact by Sterbenz's lemma wherever p is within a factor 2 of hi, and
 * TwoSum's correction makes it so elsewhere), then lo subtracted, one
 * rounding.  Non-finite p gives what p - hi gives.
 * @param {number} p
 * @param {DoubleDouble} root
 */
export function errorOf(p, root) {
  const s = p - root.hi;
  if (!Number.isFinite(s)) return s;
  const back = s - p;
  const rest = p - (s - back) - (root.hi + back);
  return s + (rest - root.lo);
}

/** p - root in ulps of the root's double, as a fraction: 0.40 for the program's root's own double. */
export const ulpsOff = (/** @type {number} */ p, /** @type {DoubleDouble} */ root) => errorOf(p, root) / ulpOf(root.hi);

/**
 * Correct digits of p: floor(-log10(|p - root| / |root|)), the number of
 * leading significant digits on which p and the root agree, give or take
 * a carry (0.4263057 and 0.4263027 agree to 5; 0.4263027510068627 and the
 * program's root to 16, as do the root's double and the double below it).
 * Never below 0.  "all" where p is the root exactly (a root that is a
 * double), "–" where p is not a finite number.  Where the root is 0 there
 * is no relative error: the count is then of decimal places,
 * floor(-log10 |p|).  |p - root| / |root| is itself a double, so at an exact
 * power of ten the count is that double's.
 * @param {number} p
 * @param {DoubleDouble} root
 */
export function correctDigits(p, root) {
  if (!Number.isFinite(p)) return "–";
  const e = Math.abs(errorOf(p, root));
  if (e === 0) return "all";
  const rel = root.hi === 0 ? e : e / Math.abs(root.hi);
  let k = Math.floor(-Math.log10(rel));
  // Math.log10 may err near a power of ten: settle k with 10^-(k+1) < rel <= 10^-k, the powers read from decimals
  while (rel > Number(`1e${-k}`)) k--;
  while (rel <= Number(`1e${-(k + 1)}`)) k++;
  return String(Math.max(0, k));
}

/**
 * Whether p is the double nearest the root (hi; a root halfway between two
 * doubles does not occur for the functions here).
 * @param {number} p
 * @param {DoubleDouble} root
 */
export const isNearest = (p, root) => p === root.hi;

/**
 * All the page says of p against the root: p - root, in ulps, correct
 * digits, and whether p is the nearest double, the best a double can be
 * (then ulps is how far that double is from the root: +0.40 for the
 * program's, above it).
 * @param {number} p
 * @param {DoubleDouble} root
 */
export function accuracy(p, root) {
  return {
    error: errorOf(p, root),
    ulps: ulpsOff(p, root),
    digits: correctDigits(p, root),
    nearest: isNearest(p, root),
  };
}

/**
 * A double-double in decimal: to this many significant digits, rounded,
 * and "…", or, where its decimal ends sooner, as it ends; in scientific
 * notation below 10^-5 or from 10^15.
 * @param {DoubleDouble} x
 * @param {number} digits
 */
export function decimalOf({ hi, lo }, digits) {
  const W = 1100n,
    m = fromDouble(hi, W) + fromDouble(lo, W),
    a = absOf(m);
  if (m === 0n) return "0";
  // a / 2^W = lead 10^(e + 1 - digits), lead of `digits` digits
  const at = (/** @type {number} */ e) => {
    const k = BigInt(digits - 1 - e);
    return k >= 0n ? [a * 10n ** k, 1n << W] : [a, (1n << W) * 10n ** -k];
  };
  let e = Math.floor(log10Of(a, W)),
    [n, d] = at(e),
    lead = divRound(n, d);
  if (lead >= 10n ** BigInt(digits)) [n, d] = at(++e);
  else if (lead < 10n ** BigInt(digits - 1)) [n, d] = at(--e);
  lead = divRound(n, d);
  // an exact decimal as it ends; another to all the digits asked, and "…"
  const more = n % d !== 0n ? "…" : "",
    t = more ? lead.toString() : lead.toString().replace(/0+$/, "") || "0",
    sign = m < 0n ? "-" : "";
  if (e < -5 || e >= 15) return `${sign}${t[0]}${t.length > 1 ? `.${t.slice(1)}` : ""}e${e}${more}`;
  const whole = e >= 0 ? t.padEnd(e + 1, "0") : "0".repeat(-e) + t,
    point = e >= 0 ? e + 1 : 1;
  return `${sign}${whole.slice(0, point)}${whole.length > point ? `.${whole.slice(point)}` : ""}${more}`;
}
