// Fixed point in BigInt: m stands for m / 2^W.  Errors, in units of 2^-W:
// + - and negation are exact; a product or quotient rounds to nearest, 1/2
// unit; fromDouble and fromDecimal are exact or round to nearest; each
// function below states its own.  Callers keep guard bits below the digits
// they report, so that the errors, added up, stay below those.

import { NoValue } from "./walk.js";

/**
 * @typedef {object} Fixed
 * @property {bigint} W fractional bits
 * @property {bigint} one 2^W
 * @property {number} s halvings of an argument before a Taylor series, ceil(sqrt(W))
 * @property {bigint} pi within 1/2 + 1/16 unit
 */

/** |m| */
export const absOf = (/** @type {bigint} */ m) => (m < 0n ? -m : m);

/** a / b rounded to nearest, halves away from zero; b != 0. */
export function divRound(/** @type {bigint} */ a, /** @type {bigint} */ b) {
  const q = a / b;
  if (2n * absOf(a - q * b) < absOf(b)) return q;
  return a < 0n === b < 0n ? q + 1n : q - 1n;
}

/** a / 2^k rounded to nearest, halves up; k >= 1. */
export const shiftRound = (/** @type {bigint} */ a, /** @type {bigint} */ k) => (a + (1n << (k - 1n))) >> k;

/** The number of bits of |m|, 0 for 0. */
export function bitLength(/** @type {bigint} */ m) {
  if (m === 0n) return 0;
  const hex = absOf(m).toString(16);
  return (hex.length - 1) * 4 + Number.parseInt(hex[0], 16).toString(2).length;
}

/** W = bits, from 64 up.  @returns {Fixed} */
export function fixedAt(/** @type {number} */ bits) {
  const W = BigInt(bits);
  // Machin, pi = 16 atan(1/5) - 4 atan(1/239), at W + 16 bits: under W/4
  // terms, each truncated, under 1/16 unit at W bits for W < 2^18
  const atanInv = (/** @type {bigint} */ k) => {
    let power = (1n << (W + 16n)) / k,
      sum = 0n;
    for (let i = 0n; power !== 0n; i++) {
      sum += (i % 2n === 0n ? power : -power) / (2n * i + 1n);
      power /= k * k;
    }
    return sum;
  };
  const pi = shiftRound(16n * atanInv(5n) - 4n * atanInv(239n), 16n);
  return { W, one: 1n << W, s: Math.ceil(Math.sqrt(bits)), pi };
}

/** The finite double x as m / 2^W: exact for W >= 1074, else rounded (halves up). */
export function fromDouble(/** @type {number} */ x, /** @type {bigint} */ W) {
  const word = new BigUint64Array(new Float64Array([x]).buffer)[0];
  const biased = (word >> 52n) & 0x7ffn;
  const fraction = word & 0xfffffffffffffn;
  // |x| = mantissa 2^(biased - 1075), a subnormal's field 0 taken as 1
  const mantissa = biased === 0n ? fraction : fraction | (1n << 52n);
  const shift = W + (biased === 0n ? 1n : biased) - 1075n;
  const m = shift >= 0n ? mantissa << shift : shiftRound(mantissa, -shift);
  return word >> 63n ? -m : m;
}

/** A decimal as written ("0.1", "2.5e-3"), rounded to nearest (halves away from zero): not the double nearest it. */
export function fromDecimal(/** @type {string} */ text, /** @type {bigint} */ W) {
  const [mantissa, exponent = "0"] = text.toLowerCase().split("e");
  const [whole, part = ""] = mantissa.split(".");
  const digits = BigInt((whole || "0") + part);
  const e = Number(exponent) - part.length;
  return e >= 0 ? (digits * 10n ** BigInt(e)) << W : divRound(digits << W, 10n ** BigInt(-e));
}

/**
 * m / 2^W as the nearest double: the leading 60 bits and a sticky bit, which
 * Number() rounds once, then scaled by powers of 2 (exact while normal).
 */
export function toNumber(/** @type {bigint} */ m, /** @type {bigint} */ W) {
  if (m === 0n) return 0;
  const a = absOf(m);
  const drop = Math.max(0, bitLength(a) - 60);
  let top = a >> BigInt(drop);
  if (top << BigInt(drop) !== a) top |= 1n;
  let v = Number(top);
  for (let e = drop - Number(W); e !== 0;) {
    const step = Math.max(-1000, Math.min(1000, e));
    v *= 2 ** step;
    e -= step;
  }
  return m < 0n ? -v : v;
}

/** m / 2^W as hi + lo, each the double nearest what is left: within 2^-106 |hi|. */
export function toDoubleDouble(/** @type {bigint} */ m, /** @type {bigint} */ W) {
  const hi = toNumber(m, W);
  return { hi, lo: toNumber(m - fromDouble(hi, W), W) };
}

/** log10(|m| / 2^W), m != 0, from m's leading 64 bits: within about 1e-15. */
export function log10Of(/** @type {bigint} */ m, /** @type {bigint} */ W) {
  const a = absOf(m);
  const drop = Math.max(bitLength(a) - 64, 0);
  return Math.log10(Number(a >> BigInt(drop))) + (drop - Number(W)) * Math.log10(2);
}

/** a b: 1/2 unit. */
export const mul = (/** @type {Fixed} */ F, /** @type {bigint} */ a, /** @type {bigint} */ b) => shiftRound(a * b, F.W);

/** a / b: 1/2 unit; NoValue where b is 0. */
export function div(/** @type {Fixed} */ F, /** @type {bigint} */ a, /** @type {bigint} */ b) {
  if (b === 0n) throw new NoValue("pole", "/");
  return divRound(a << F.W, b);
}

/** m, refused beyond 2^64, where an absolute error of a few units no longer means digits of f. */
export function inRange(/** @type {Fixed} */ F, /** @type {bigint} */ m) {
  if (bitLength(m) > F.W + 64n) throw new NoValue("range", "2^64");
  return m;
}

/**
 * e^z: r = z / 2^s (1/2 unit), e^r by Taylor's series (T terms, 1 unit
 * each, tail under 1), then s squarings (each doubles the relative error
 * and adds 1/2 unit).  Within (T + 3) 2^s units times e^z: under 2^(s + 7)
 * for W <= 4000 and z <= 44 (larger is refused).
 */
export function exp(/** @type {Fixed} */ F, /** @type {bigint} */ z) {
  if (z > 44n * F.one) throw new NoValue("range", "exp");
  // e^(-0.7 W) < 2^-W
  if (z < -((F.W * 7n) / 10n + 2n) * F.one) return 0n;
  const r = shiftRound(z, BigInt(F.s));
  let sum = F.one,
    term = F.one;
  for (let i = 1n; term !== 0n; i++) sum += term = ((term * r) >> F.W) / i;
  for (let i = 0; i < F.s; i++) sum = mul(F, sum, sum);
  return sum;
}

/**
 * log x, x > 0: Halley's iteration on e^y = x, y += 2 (x - e^y) / (x + e^y),
 * from the double nearest log x; cubic, so four steps reach 4000 bits.  It
 * stops at a step within exp's error, so log x is within 2^(s + 7) units
 * and x's own relative error.
 */
export function log(/** @type {Fixed} */ F, /** @type {bigint} */ x) {
  if (x <= 0n) throw new NoValue("domain", "log");
  let y = fromDouble(log10Of(x, F.W) / Math.LOG10E, F.W);
  const still = 1n << BigInt(F.s + 9);
  for (let k = 0; k < 12; k++) {
    const e = exp(F, y);
    const dy = divRound((2n * (x - e)) << F.W, x + e);
    y += dy;
    if (absOf(dy) <= still) break;
  }
  return y;
}

/** sqrt x, x >= 0: the integer root of x 2^W, rounded down: 1 unit, and x's error over 2 sqrt x. */
export function sqrt(/** @type {Fixed} */ F, /** @type {bigint} */ x) {
  if (x < 0n) throw new NoValue("domain", "sqrt");
  if (x === 0n) return 0n;
  const n = x << F.W;
  // from at or above the root, Newton's steps fall to it
  const d = BigInt(Math.max(0, Math.floor((bitLength(n) - 100) / 2)));
  let r = (BigInt(Math.floor(Math.sqrt(Number(n >> (2n * d))))) + 3n) << d;
  for (;;) {
    const next = (r + n / r) >> 1n;
    if (next >= r) return r;
    r = next;
  }
}

/**
 * sin z and cos z: z = k pi/2 + r, |r| <= pi/4 (r within |k| + 1 units);
 * r / 2^s (1/2 unit) by Taylor's series (1 unit a term); then s doublings,
 * each rounding 1/2 unit and multiplying the error by at most 2 (1 + |sin|),
 * under 5 2^s over all.  Within (T + 2 + |k|) 5 2^s units: under 2^(s + 10)
 * for |z| <= 2^20 (larger is refused) and W <= 4000.
 * @returns {[bigint, bigint]}
 */
export function sinCos(/** @type {Fixed} */ F, /** @type {bigint} */ z) {
  if (absOf(z) > F.one << 20n) throw new NoValue("range", "sin");
  const half = F.pi >> 1n;
  const k = divRound(z, half);
  const r = shiftRound(z - k * half, BigInt(F.s));
  const r2 = mul(F, r, r);
  // r - r^3/3! + ... and 1 - r^2/2! + ...
  const series = (/** @type {bigint} */ term, /** @type {bigint} */ i) => {
    let sum = term;
    for (; term !== 0n; i += 2n) sum += term = -mul(F, term, r2) / (i * (i + 1n));
    return sum;
  };
  let sin = series(r, 2n),
    cos = series(F.one, 1n);
  for (let i = 0; i < F.s; i++) [sin, cos] = [2n * mul(F, sin, cos), F.one - 2n * mul(F, sin, sin)];
  const quarter = Number(((k % 4n) + 4n) % 4n);
  return quarter === 0 ? [sin, cos] : quarter === 1 ? [cos, -sin] : quarter === 2 ? [-sin, -cos] : [-cos, sin];
}

/** sin z / cos z: their errors over cos z, and 1/2 unit; NoValue where cos z is 0. */
export function tan(/** @type {Fixed} */ F, /** @type {bigint} */ z) {
  const [s, c] = sinCos(F, z);
  if (c === 0n) throw new NoValue("pole", "tan");
  return inRange(F, div(F, s, c));
}

/**
 * u^n by squaring: under 2 log2 |n| products, 1/2 unit each, and |n| times
 * u's relative error; 1 / u^|n| for n < 0.
 */
export function powInt(/** @type {Fixed} */ F, /** @type {bigint} */ u, /** @type {number} */ n) {
  let result = F.one,
    square = u;
  for (let m = Math.abs(n); m > 0; m = Math.floor(m / 2)) {
    if (m % 2) result = inRange(F, mul(F, result, square));
    if (m > 1) square = inRange(F, mul(F, square, square));
  }
  return n < 0 ? inRange(F, div(F, F.one, result)) : result;
}

/** sinh z and cosh z from e^z and e^-z: their errors, and 1/2 unit.  @returns {[bigint, bigint]} */
function hyperbolic(/** @type {Fixed} */ F, /** @type {bigint} */ z) {
  const a = exp(F, z),
    b = exp(F, -z);
  return [(a - b) / 2n, (a + b) / 2n];
}

/** a^b, b not an integer literal: exp(b log a) for a > 0, 0 for a = 0 < b. */
function power(/** @type {Fixed} */ F, /** @type {bigint} */ a, /** @type {bigint} */ b) {
  if (a === 0n && b > 0n) return 0n;
  if (a <= 0n) throw new NoValue("domain", "^");
  return exp(F, mul(F, b, log(F, a)));
}

/**
 * f's language at W bits; a literal is its decimal, not the double nearest
 * it.  NoValue where f has no value, or one beyond 2^64.
 * @returns {import("./walk.js").Arithmetic<bigint>}
 */
export function fixedArithmetic(/** @type {Fixed} */ F) {
  const E = exp(F, F.one);
  return {
    num: (_, text) => fromDecimal(text, F.W),
    constant: (name) => (name === "pi" ? F.pi : E),
    neg: (a) => -a,
    add: (a, b) => inRange(F, a + b),
    sub: (a, b) => inRange(F, a - b),
    mul: (a, b) => inRange(F, mul(F, a, b)),
    div: (a, b) => inRange(F, div(F, a, b)),
    pow: (a, b) => power(F, a, b),
    powi: (a, n) => powInt(F, a, n),
    fn: {
      exp: (a) => exp(F, a),
      log: (a) => log(F, a),
      sqrt: (a) => sqrt(F, a),
      sin: (a) => sinCos(F, a)[0],
      cos: (a) => sinCos(F, a)[1],
      tan: (a) => tan(F, a),
      abs: absOf,
      sinh: (a) => hyperbolic(F, a)[0],
      cosh: (a) => hyperbolic(F, a)[1],
      tanh: (a) => div(F, ...hyperbolic(F, a)),
    },
  };
}

/** Pairs [f, f'] at W bits by the chain rule, for Newton's method.  @returns {import("./walk.js").Arithmetic<[bigint, bigint]>} */
export function fixedDuals(/** @type {Fixed} */ F) {
  const A = fixedArithmetic(F);
  /** @typedef {[bigint, bigint]} D */
  /** @type {(f: (a: bigint) => bigint, slope: (a: bigint, v: bigint) => bigint) => (a: D) => D} */
  const chain = (f, slope) => (a) => {
    const v = f(a[0]);
    return [v, mul(F, slope(a[0], v), a[1])];
  };
  return {
    num: (v, text) => [A.num(v, text), 0n],
    constant: (name) => [A.constant(name), 0n],
    neg: ([a, da]) => [-a, -da],
    add: ([a, da], [b, db]) => [A.add(a, b), da + db],
    sub: ([a, da], [b, db]) => [A.sub(a, b), da - db],
    mul: ([a, da], [b, db]) => [A.mul(a, b), mul(F, da, b) + mul(F, a, db)],
    div: ([a, da], [b, db]) => {
      const q = A.div(a, b);
      return [q, div(F, da - mul(F, q, db), b)];
    },
    // (a^b)' = a^b (b' log a + b a' / a)
    pow: ([a, da], [b, db]) => {
      const v = power(F, a, b);
      return [v, v === 0n ? 0n : mul(F, v, mul(F, db, log(F, a)) + div(F, mul(F, b, da), a))];
    },
    powi: ([a, da], n) => [powInt(F, a, n), n === 0 ? 0n : BigInt(n) * mul(F, powInt(F, a, n - 1), da)],
    fn: {
      exp: chain(A.fn.exp, (_, v) => v),
      log: chain(A.fn.log, (a) => div(F, F.one, a)),
      sqrt: chain(A.fn.sqrt, (_, v) => div(F, F.one, 2n * v)),
      sin: chain(A.fn.sin, (a) => sinCos(F, a)[1]),
      cos: chain(A.fn.cos, (a) => -sinCos(F, a)[0]),
      tan: chain(A.fn.tan, (_, v) => F.one + mul(F, v, v)),
      abs: ([a, da]) => (a < 0n ? [-a, -da] : [a, da]),
      sinh: chain(A.fn.sinh, (a) => hyperbolic(F, a)[1]),
      cosh: chain(A.fn.cosh, (a) => hyperbolic(F, a)[0]),
      tanh: chain(A.fn.tanh, (_, v) => F.one - mul(F, v, v)),
    },
  };
}
