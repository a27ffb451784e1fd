// Numbers as the page shows them: a double's bits, its shortest decimal,
// ulps between two doubles, and the order of convergence theory gives.

const scratch = new DataView(new ArrayBuffer(8));

/** The double whose IEEE bits are these 16 hexadecimal digits. */
export function fromBits(/** @type {string} */ hex) {
  scratch.setBigUint64(0, BigInt("0x" + hex));
  return scratch.getFloat64(0);
}
/** The 16 hexadecimal digits of a double's bits, upper case. */
export function bitsOf(/** @type {number} */ x) {
  scratch.setFloat64(0, x);
  const hex = (/** @type {number} */ k) => scratch.getUint32(k).toString(16).toUpperCase().padStart(8, "0");
  return hex(0) + hex(4);
}
/** The shortest decimal that reads back to the same double; String(x) is that, but for -0. */
export const show = (/** @type {number} */ x) => (Object.is(x, -0) ? "-0" : String(x));
/** x to this many significant digits, shortest; 0 digits: all of them. */
export const showTo = (/** @type {number} */ x, /** @type {number} */ digits) =>
  digits && Number.isFinite(x) ? String(Number(x.toPrecision(digits))) : show(x);
/** A typographic minus for the first hyphen-minus. */
export const minus = (/** @type {string} */ s) => s.replace("-", "−");
/** x in scientific notation with this many digits after the point; 0 and non-finite values as they are. */
export const sci = (/** @type {number} */ x, /** @type {number} */ digits) =>
  Number.isFinite(x) && x !== 0 ? x.toExponential(digits) : String(x);
/** The doubles from b up to a, negative where a is below b: the bit patterns, in the order of the values. */
export const ulpsFrom = (/** @type {number} */ a, /** @type {number} */ b) => Number(ordered(a) - ordered(b));
const SIGN = 0x8000000000000000n;
const ordered = (/** @type {number} */ v) => {
  const bits = BigInt("0x" + bitsOf(v));
  return bits >= SIGN ? SIGN - bits : bits;
};
/** n in superscript digits, for 10⁻³ and t⁴. */
export const superscript = (/** @type {number} */ n) =>
  String(n).replace(/[-0-9]/g, (c) => "⁻⁰¹²³⁴⁵⁶⁷⁸⁹"["-0123456789".indexOf(c)]);
/** n + 1 evenly spaced values from lo to hi. */
export const linspace = (/** @type {number} */ lo, /** @type {number} */ hi, /** @type {number} */ n) =>
  Array.from({ length: n + 1 }, (_, k) => lo + ((hi - lo) * k) / n);

/** The order of iterated inverse interpolation over n nodes: the root in (1, 2) of t^n = t^(n-1) + ... + 1. */
export function theoreticalOrder(/** @type {number} */ n) {
  let lo = 1,
    hi = 2;
  for (let k = 0; k < 60; k++) {
    const t = (lo + hi) / 2;
    let sum = 0,
      power = 1;
    for (let m = 0; m < n; m++) {
      sum += power;
      power *= t;
    }
    if (power > sum) hi = t;
    else lo = t;
  }
  return lo;
}
