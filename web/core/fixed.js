// Fixed-point arithmetic in BigInt: a number is an integer m standing for
// m / 2^W, W fractional bits.  Nothing here touches the DOM.
//
// What rounds, and by how much, in "units" of 2^-W:
//   + - and negation are exact;
//   a product (a b) / 2^W and a quotient a 2^W / b are rounded to nearest,
//   an error of at most 1/2 unit each;
//   a double read in (fromDouble) or a decimal (fromDecimal) is exact, or
//   rounded to the nearest unit;
//   each function below says its own error at its comment.
// So "fixed point" here is not exact arithmetic: it is arithmetic whose
// rounding is fixed in size, W bits down, and said.  A caller keeps guard
// bits below the digits it reports, so that the errors, added up, stay
// below those digits.

import { NoValue } from "./walk.js";

/**
 * The arithmetic at W fractional bits, and what its functions need.
 * @typedef {object} Fixed
 * @property {bigint} W fractional bits
 * @property {bigint} one 2^W, the number 1
 * @property {number} s the halvings of an argument before a Taylor series, about sqrt(W)
 * @property {bigint} pi pi, within 1/2 unit and a little more
 */

/** The largest |value| a function takes or gives: 2^64.  Beyond, absolute errors no longer mean digits of f. */
const LIMIT_BITS = 64n;

/**
 * a / b rounded to nearest, halves away from zero; b is not 0.
 * @param {bigint} a
 * @param {bigint} b
 */
export function divRound(a, b) {
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
export function shiftRound(a, k) {
  return (a + (1n << (k - 1n))) >> k;
}

/** |m| */
export const absOf = (/** @type {bigint} */ m) => (m < 0n ? -m : m);

/**
 * The number of bits of |m|, 0 for 0.
 * @param {bigint} m
 */
export function bitLength(m) {
  if (m === 0n) return 0;
  const hex = absOf(m).toString(16);
  return (hex.length - 1) * 4 + Number.parseInt(hex[0], 16).toString(2).length;
}

/**
 * The arithmetic at W fractional bits: s = ceil(sqrt(W)) halvings, and pi.
 * @param {number} bits W, from 64 up
 * @returns {Fixed}
 */
export function fixedAt(bits) {
  const W = BigInt(bits);
  return { W, one: 1n << W, s: Math.ceil(Math.sqrt(bits)), pi: piAt(W) };
}

/**
 * pi at W bits by Machin's formula, pi = 16 atan(1/5) - 4 atan(1/239), each
 * atan(1/k) = sum (-1)^i / ((2i + 1) k^(2i+1)) summed at W + 16 bits.  Each
 * of the fewer than W/4 terms is truncated, by less than a unit of W + 16
 * bits: with the factor 16, less than 4 W units there, under 1/16 of a
 * unit at W bits for W < 2^18.  Then rounded to W bits: within 1/2 + 1/16.
 * @param {bigint} W
 */
function piAt(W) {
  const X = W + 16n;
  const atanInv = (/** @type {bigint} */ k) => {
    let power = (1n << X) / k,
      sum = 0n;
    const k2 = k * k;
    for (let i = 0n; power !== 0n; i++) {
      sum += (i % 2n === 0n ? power : -power) / (2n * i + 1n);
      power /= k2;
    }
    return sum;
  };
  return shiftRound(16n * atanInv(5n) - 4n * atanInv(239n), 16n);
}

const LOG10_2 = Math.log10(2);

/**
 * The double x, exactly, as m / 2^W; W >= 1074 holds every double's bits,
 * a smaller W rounds the bits below it (halves up).
 * @param {number} x a finite double
 * @param {bigint} W
 */
export function fromDouble(x, W) {
  const scratch = new DataView(new ArrayBuffer(8));
  scratch.setFloat64(0, x);
  const word = scratch.getBigUint64(0);
  const biased = (word >> 52n) & 0x7ffn;
  const fraction = word & 0xfffffffffffffn;
  // |x| = mantissa * 2^(exponent - 1075), subnormals with exponent field 0 as if it were 1
  const mantissa = biased === 0n ? fraction : fraction | (1n << 52n);
  const shift = W + (biased === 0n ? 1n : biased) - 1075n;
  const m = shift >= 0n ? mantissa << shift : shiftRound(mantissa, -shift);
  return word >> 63n ? -m : m;
}

/**
 * A decimal as written ("0.1", "2.5e-3", "7"), rounded to the nearest unit
 * (halves away from zero): the real number, not the double nearest it.
 * @param {string} text digits, an optional point, an optional exponent
 * @param {bigint} W
 */
export function fromDecimal(text, W) {
  const [mantissa, exponent = "0"] = text.toLowerCase().split("e");
  const [whole, part = ""] = mantissa.split(".");
  const digits = BigInt((whole || "0") + part);
  const e = Number(exponent) - part.length;
  return e >= 0 ? (digits * 10n ** BigInt(e)) << W : divRound(digits << W, 10n ** BigInt(-e));
}

/**
 * m / 2^W as the nearest double: the leading 60 bits and a sticky bit
 * below them, which Number() rounds once to 53, then scaled by a power of
 * 2 in steps that stay exact while the value is a normal double.
 * @param {bigint} m
 * @param {bigint} W
 */
export function toNumber(m, W) {
  if (m === 0n) return 0;
  const a = absOf(m);
  const drop = Math.max(0, bitLength(a) - 60);
  let top = a >> BigInt(drop);
  if (top << BigInt(drop) !== a) top |= 1n;
  let v = Number(top);
  let e = drop - Number(W);
  while (e !== 0) {
    const step = Math.max(-1000, Math.min(1000, e));
    v *= 2 ** step;
    e -= step;
  }
  return m < 0n ? -v : v;
}

/**
 * m / 2^W as a double-double: hi the double nearest it, lo the double
 * nearest what is left, m / 2^W - hi.  hi + lo is within 2^-106 |hi| of
 * m / 2^W, and of course within m's own error.
 * @param {bigint} m
 * @param {bigint} W
 */
export function toDoubleDouble(m, W) {
  const hi = toNumber(m, W);
  return { hi, lo: toNumber(m - fromDouble(hi, W), W) };
}

/**
 * log10(|m| / 2^W) for m other than 0, from m's leading 64 bits: within
 * 1e-15 or so, as a double's logarithm is.
 * @param {bigint} m
 * @param {bigint} W
 */
export function log10Of(m, W) {
  const a = absOf(m);
  const drop = Math.max(bitLength(a) - 64, 0);
  return Math.log10(Number(a >> BigInt(drop))) + (drop - Number(W)) * LOG10_2;
}

/** a b, rounded: 1/2 unit. */
export const mul = (/** @type {Fixed} */ F, /** @type {bigint} */ a, /** @type {bigint} */ b) => shiftRound(a * b, F.W);

/**
 * a / b, rounded: 1/2 unit.  A NoValue where b is 0.
 * @param {Fixed} F
 * @param {bigint} a
 * @param {bigint} b
 */
export function div(F, a, b) {
  if (b === 0n) throw new NoValue("pole", "/");
  return divRound(a << F.W, b);
}

/**
 * Refuses a value beyond 2^64, where its absolute error would no longer
 * be a few units of 2^-W against the value's own size.
 * @param {Fixed} F
 * @param {bigint} m
 */
export function inRange(F, m) {
  if (bitLength(m) > F.W + LIMIT_BITS) throw new NoValue("range", "2^64");
  return m;
}

/**
 * e^z: r = z / 2^s (rounded, 1/2 unit), e^r by its Taylor series, then
 * squared s times.  The series' T terms are each truncated (1 unit each)
 * and its tail is below 1 unit, so e^r is within T + 1 units; a squaring
 * doubles the relative error and adds 1/2 unit; r's own 1/2 unit becomes
 * 2^(s-1) units of z.  So e^z is within (T + 3) 2^s units times e^z, with
 * T under W / s: 2^(s + 7) units for W up to 4000 and e^z up to 2^64 (z
 * <= 44; larger is refused).
 * @param {Fixed} F
 * @param {bigint} z
 */
export function exp(F, z) {
  if (z > 44n * F.one) throw new NoValue("range", "exp");
  // below e^(-0.7 W) < 2^-W, less than a unit
  if (z < -((F.W * 7n) / 10n + 2n) * F.one) return 0n;
  const r = shiftRound(z, BigInt(F.s));
  let sum = F.one,
    term = F.one;
  for (let i = 1n; term !== 0n; i++) {
    term = ((term * r) >> F.W) / i;
    sum += term;
  }
  for (let i = 0; i < F.s; i++) sum = mul(F, sum, sum);
  return sum;
}

/**
 * log x for x > 0, by Halley's iteration on e^y = x,
 * y += 2 (x - e^y) / (x + e^y), from the double nearest log x: cubic, so
 * four steps reach 4000 bits.  The iterate stops where a step is within
 * exp's own error, so log x is within that error (2^(s + 7) units,
 * relative, of e^y = x: as many units of y) and x's own error over x.
 * @param {Fixed} F
 * @param {bigint} x
 */
export function log(F, x) {
  if (x <= 0n) throw new NoValue("domain", "log");
  const guess = log10Of(x, F.W) / Math.LOG10E;
  let y = fromDouble(guess, F.W);
  const still = 1n << BigInt(F.s + 9);
  for (let k = 0; k < 12; k++) {
    const e = exp(F, y);
    const dy = divRound((2n * (x - e)) << F.W, x + e);
    y += dy;
    if (absOf(dy) <= still) break;
  }
  return y;
}

/**
 * sqrt x for x >= 0: the integer square root of x 2^W, rounded down, so
 * within 1 unit (and x's error over 2 sqrt x).
 * @param {Fixed} F
 * @param {bigint} x
 */
export function sqrt(F, x) {
  if (x < 0n) throw new NoValue("domain", "sqrt");
  if (x === 0n) return 0n;
  const n = x << F.W;
  // start at or above the root, from the leading bits; Newton's steps then fall to it
  const d = BigInt(Math.max(0, Math.floor((bitLength(n) - 100) / 2)));
  let r = (BigInt(Math.floor(Math.sqrt(Number(n >> (2n * d))))) + 3n) << d;
  for (;;) {
    const next = (r + n / r) >> 1n;
    if (next >= r) return r;
    r = next;
  }
}

/**
 * sin z and cos z: z = k pi/2 + r with |r| <= pi/4 (k = round(z / (pi/2)),
 * r within |k| + 1 units, pi's error times k), r / 2^s (1/2 unit) by
 * Taylor's series (1 unit a term), then s doublings, sin 2a = 2 sin a cos a
 * and cos 2a = 1 - 2 sin^2 a, each rounding by 1/2 unit and multiplying the
 * error by at most 2 (1 + |sin a|), a product below 5 2^s over all of
 * them.  So both are within (T + 2 + |k|) 5 2^s units, T the terms, under
 * 2^(s + 10) for |z| <= 2^20 (larger is refused) and W up to 4000.
 * @param {Fixed} F
 * @param {bigint} z
 * @returns {[bigint, bigint]}
 */
export function sinCos(F, z) {
  if (absOf(z) > F.one << 20n) throw new NoValue("range", "sin");
  const half = F.pi >> 1n;
  const k = divRound(z, half);
  const r = shiftRound(z - k * half, BigInt(F.s));
  const r2 = mul(F, r, r);
  let sin = r,
    cos = F.one,
    term = r;
  for (let i = 2n; term !== 0n; i += 2n) {
    term = -mul(F, term, r2) / (i * (i + 1n));
    sin += term;
  }
  term = F.one;
  for (let i = 1n; term !== 0n; i += 2n) {
    term = -mul(F, term, r2) / (i * (i + 1n));
    cos += term;
  }
  for (let i = 0; i < F.s; i++) {
    const s2 = 2n * mul(F, sin, cos);
    cos = F.one - 2n * mul(F, sin, sin);
    sin = s2;
  }
  const quarter = Number(((k % 4n) + 4n) % 4n);
  /** @type {[bigint, bigint]} */
  const out = quarter === 0 ? [sin, cos] : quarter === 1 ? [cos, -sin] : quarter === 2 ? [-sin, -cos] : [-cos, sin];
  return out;
}

/**
 * tan z = sin z / cos z: their errors over cos z, and 1/2 unit.  A
 * NoValue where cos z is 0 at W bits.
 * @param {Fixed} F
 * @param {bigint} z
 */
export function tan(F, z) {
  const [s, c] = sinCos(F, z);
  if (c === 0n) throw new NoValue("pole", "tan");
  return inRange(F, div(F, s, c));
}

/**
 * u^n for an integer n, by squaring: each of the fewer than 2 log2 |n|
 * products rounds by 1/2 unit, and u's relative error is multiplied by
 * |n|.  A negative n is 1 / u^|n|.
 * @param {Fixed} F
 * @param {bigint} u
 * @param {number} n
 */
export function powInt(F, u, n) {
  let result = F.one,
    square = u;
  for (let m = Math.abs(n); m > 0; m = Math.floor(m / 2)) {
    if (m % 2) result = inRange(F, mul(F, result, square));
    if (m > 1) square = inRange(F, mul(F, square, square));
  }
  return n < 0 ? inRange(F, div(F, F.one, result)) : result;
}

/**
 * sinh z and cosh z from e^z and e^-z: their errors, and 1/2 unit.
 * @param {Fixed} F
 * @param {bigint} z
 * @returns {[bigint, bigint]}
 */
function hyperbolic(F, z) {
  const a = exp(F, z),
    b = exp(F, -z);
  return [(a - b) / 2n, (a + b) / 2n];
}

/**
 * a^b for an exponent not an integer literal: exp(b log a) for a > 0, 0
 * for a = 0 and b > 0.
 * @param {Fixed} F
 * @param {bigint} a
 * @param {bigint} b
 */
function power(F, a, b) {
  if (a === 0n && b > 0n) return 0n;
  if (a <= 0n) throw new NoValue("domain", "^");
  return exp(F, mul(F, b, log(F, a)));
}

/**
 * f's language at W fractional bits: numbers m standing for m / 2^W; a
 * literal is the decimal as written, not the double nearest it.  Where f
 * has no value, or one beyond 2^64, a NoValue says so.
 * @param {Fixed} F
 * @returns {import("./walk.js").Arithmetic<bigint>}
 */
export function fixedArithmetic(F) {
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
      tanh: (a) => {
        const [s, c] = hyperbolic(F, a);
        return div(F, s, c);
      },
    },
  };
}

/**
 * f and f' at W fractional bits: pairs [value, derivative], each
 * operation carrying its derivative by the chain rule, for Newton's method.
 * @param {Fixed} F
 * @returns {import("./walk.js").Arithmetic<[bigint, bigint]>}
 */
export function fixedDuals(F) {
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
