// How good a double p is as a root known as a double-double.  Against the
// double nearest the root instead, that double (0.42630275100686277 for
// the program's, 0.40 ulp above the root) would show no error at all.

import { absOf, divRound, fromDouble, log10Of } from "./fixed.js";

/** @typedef {import("./roots.js").DoubleDouble} DoubleDouble */

/** The gap from |x| to the next double away from 0 (2^-54 in [0.25, 0.5)); the smallest subnormal at 0. */
export function ulpOf(/** @type {number} */ x) {
  const a = Math.abs(x);
  if (a < 2 ** -1022) return 2 ** -1074;
  let e = Math.floor(Math.log2(a));
  // Math.log2 may round across a power of two: settle e with 2^e <= a < 2^(e+1)
  if (2 ** e > a) e--;
  else if (2 ** (e + 1) <= a) e++;
  return 2 ** (e - 52);
}

/** p - root to full relative precision: p - hi exactly (Sterbenz within a factor 2 of hi, TwoSum's correction
 * elsewhere), then lo subtracted, one rounding.
 * @param {number} p @param {DoubleDouble} root */
export function errorOf(p, root) {
  const s = p - root.hi;
  if (!Number.isFinite(s)) return s;
  const back = s - p;
  const rest = p - (s - back) - (root.hi + back);
  return s + (rest - root.lo);
}

/** floor(-log10(|p - root| / |root|)), at least 0: the leading digits p and the root share, give or take a carry
 * (the root's double and the one below it both have 16); at a root of 0, the decimal places floor(-log10 |p|).
 * @param {number} p @param {DoubleDouble} root */
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

/** All the page says of p against the root: `ulps` in ulps of the root's double (0.40 for the program's root's
 * own double); `nearest`, p is that double (no root here lies halfway between two doubles). */
export function accuracy(/** @type {number} */ p, /** @type {DoubleDouble} */ root) {
  const error = errorOf(p, root);
  return { error, ulps: error / ulpOf(root.hi), digits: correctDigits(p, root), nearest: p === root.hi };
}

/** A double-double to this many significant digits, rounded, and "…", or where its decimal ends sooner, as it
 * ends; in scientific notation below 10^-5 or from 10^15.
 * @param {DoubleDouble} x @param {number} digits */
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
  const more = n % d !== 0n ? "…" : "",
    t = more ? lead.toString() : lead.toString().replace(/0+$/, "") || "0",
    sign = m < 0n ? "-" : "";
  if (e < -5 || e >= 15) return `${sign}${t[0]}${t.length > 1 ? `.${t.slice(1)}` : ""}e${e}${more}`;
  const whole = e >= 0 ? t.padEnd(e + 1, "0") : "0".repeat(-e) + t,
    point = e >= 0 ? e + 1 : 1;
  return `${sign}${whole.slice(0, point)}${whole.length > point ? `.${whole.slice(point)}` : ""}${more}`;
}
