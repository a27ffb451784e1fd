// A parsed f in many digits: its value, its value with its derivative
// (for Newton's method), and its root near a double, all in the
// fixed-point arithmetic of fixed.js.  Every function the parser accepts
// is there, so every f the parser accepts can be followed in many digits;
// where f has no value (log of 0, a division by 0) or a value beyond 2^64,
// a FixedError says so.  Nothing here touches the DOM.
//
// Each operation's error is fixed.js's; how they add up through f depends
// on f: a subtraction of nearly equal values, or a division by a small
// one, multiplies what came before.  The caller's guard bits (64 beyond
// the functions' own) absorb a factor of up to 2^50 or so, which the
// page's functions stay far within; precise.test.mjs checks each preset
// against Python's decimal.

import {
  FixedError,
  div,
  exp,
  fromDecimal,
  fromDouble,
  inRange,
  log,
  mul,
  powInt,
  sinCos,
  sqrt,
  tan,
  absOf,
} from "./fixed.js";
import { integerExponent } from "./expression.js";
import { NO_ROOT } from "./sentences/functions.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./fixed.js").Fixed} Fixed */

export { FixedError };

/**
 * f(x) for x = X / 2^W, as m / 2^W.
 * @param {Tree} tree
 * @param {bigint} X
 * @param {Fixed} F
 * @returns {bigint}
 */
export function valueAt(tree, X, F) {
  /** @param {Tree} t @returns {bigint} */
  const walk = (t) => {
    switch (t.kind) {
      case "num":
        return fromDecimal(t.text, F.W);
      case "x":
        return X;
      case "const":
        return t.name === "pi" ? F.pi : exp(F, F.one);
      case "neg":
        return -walk(t.arg);
      case "call": {
        const u = walk(t.arg);
        if (t.name === "sin" || t.name === "cos") return sinCos(F, u)[t.name === "sin" ? 0 : 1];
        return t.name === "abs" ? absOf(u) : { exp, log, sqrt, tan }[t.name](F, u);
      }
      case "op": {
        const a = walk(t.left);
        if (t.op === "^") return powerOf(F, a, t.right, walk);
        const b = walk(t.right);
        if (t.op === "+") return inRange(F, a + b);
        if (t.op === "-") return inRange(F, a - b);
        return inRange(F, t.op === "*" ? mul(F, a, b) : div(F, a, b));
      }
    }
  };
  return walk(tree);
}

/**
 * a^b: an integer exponent as written (x^3) by products, any other as
 * exp(b log a) for a > 0 (0 for a = 0 and b > 0).
 * @param {Fixed} F
 * @param {bigint} a
 * @param {Tree} exponent
 * @param {(t: Tree) => bigint} walk
 */
function powerOf(F, a, exponent, walk) {
  const n = integerExponent(exponent);
  if (n !== null) return powInt(F, a, n);
  const b = walk(exponent);
  if (a === 0n && b > 0n) return 0n;
  if (a <= 0n) throw new FixedError("domain", "a power with a base at or below 0 and an exponent not an integer");
  return exp(F, mul(F, b, log(F, a)));
}

/**
 * f(x) and f'(x), as m / 2^W each: dual numbers, each operation carrying
 * its derivative by the chain rule.
 * @param {Tree} tree
 * @param {bigint} X
 * @param {Fixed} F
 * @returns {[bigint, bigint]}
 */
export function dualAt(tree, X, F) {
  /** @param {Tree} t @returns {[bigint, bigint]} */
  const walk = (t) => {
    switch (t.kind) {
      case "x":
        return [X, F.one];
      case "num":
      case "const":
        return [valueAt(t, X, F), 0n];
      case "neg": {
        const [v, d] = walk(t.arg);
        return [-v, -d];
      }
      case "call":
        return callDual(F, t.name, walk(t.arg));
      case "op":
        return opDual(F, t, walk);
    }
  };
  return walk(tree);
}

/**
 * A function of a dual number.
 * @param {Fixed} F
 * @param {import("./expression.js").FnName} name
 * @param {[bigint, bigint]} arg
 * @returns {[bigint, bigint]}
 */
function callDual(F, name, [u, du]) {
  switch (name) {
    case "exp": {
      const e = exp(F, u);
      return [e, mul(F, e, du)];
    }
    case "log":
      return [log(F, u), div(F, du, u)];
    case "sqrt": {
      const r = sqrt(F, u);
      return [r, div(F, du, 2n * r)];
    }
    case "sin":
    case "cos": {
      const [s, c] = sinCos(F, u);
      return name === "sin" ? [s, mul(F, c, du)] : [c, -mul(F, s, du)];
    }
    case "tan": {
      const t = tan(F, u);
      return [t, mul(F, F.one + mul(F, t, t), du)];
    }
    case "abs":
      return u < 0n ? [-u, -du] : [u, du];
  }
}

/**
 * An operation on dual numbers.
 * @param {Fixed} F
 * @param {Extract<Tree, {kind: "op"}>} t
 * @param {(t: Tree) => [bigint, bigint]} walk
 * @returns {[bigint, bigint]}
 */
function opDual(F, t, walk) {
  const [a, da] = walk(t.left);
  if (t.op === "^") {
    const n = integerExponent(t.right);
    if (n !== null) return [powInt(F, a, n), n === 0 ? 0n : BigInt(n) * mul(F, powInt(F, a, n - 1), da)];
    const [b, db] = walk(t.right);
    const v = powerOf(F, a, t.right, () => b);
    // (a^b)' = a^b (b' log a + b a' / a)
    return [v, v === 0n ? 0n : mul(F, v, mul(F, db, log(F, a)) + div(F, mul(F, b, da), a))];
  }
  const [b, db] = walk(t.right);
  if (t.op === "+") return [inRange(F, a + b), da + db];
  if (t.op === "-") return [inRange(F, a - b), da - db];
  if (t.op === "*") return [inRange(F, mul(F, a, b)), mul(F, da, b) + mul(F, a, db)];
  const q = inRange(F, div(F, a, b));
  return [q, div(F, da - mul(F, q, db), b)];
}

/**
 * The root of f near a double, by Newton's method in W bits: quadratic
 * from a double's 53 bits, so some eight steps to 4000 bits.  It stops
 * where f is 0 at W bits, or where a step is within the arithmetic's own
 * noise (at most 2^(s + 16) units, or no smaller than the step before
 * once below 2^(-W/2)).  At a multiple root Newton's method is linear and
 * does not settle in 80 steps: then, or where f' is 0, an error.
 * @param {Tree} tree
 * @param {number} start a double near the root
 * @param {Fixed} F
 * @returns {{root: bigint, error?: undefined} | {error: string, root?: undefined}}
 */
export function newtonRoot(tree, start, F) {
  let x = fromDouble(start, F.W);
  const noise = 1n << BigInt(F.s + 16),
    half = 1n << (F.W / 2n);
  let before = -1n;
  try {
    for (let k = 0; k < 80; k++) {
      const [v, d] = dualAt(tree, x, F);
      if (v === 0n) return { root: x };
      if (d === 0n) return { error: NO_ROOT.flat };
      const dx = div(F, v, d);
      x -= dx;
      const size = absOf(dx);
      if (size <= noise || (size < half && before >= 0n && size >= before)) return { root: x };
      before = size;
    }
  } catch (e) {
    if (e instanceof FixedError) return { error: NO_ROOT.noValue(e.what) };
    throw e;
  }
  return { error: NO_ROOT.unsettled };
}
