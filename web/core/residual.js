// What a double's y is made of: the true f there, and the rounding of
// computing it, operation by operation.  At a p near the root the residual
// f(p) the page prints is tiny, and how much of it is f's own value, and
// how much each operation's rounding (the exponential's, the
// subtraction's), is found by computing f in many digits beside the
// doubles, with the exponential the page computes y with.  Nothing here
// touches the DOM.

import { compile, NoValue } from "./walk.js";
import { doubles } from "./doubles.js";
import { fixedArithmetic, fixedAt, fromDecimal, fromDouble, toNumber } from "./fixed.js";

/** @typedef {import("./functions.js").Fn} Fn */
/** @typedef {import("./functions.js").ExpName} ExpName */
/**
 * A computed y = f(x) taken apart: the true f(x), the rounding y - f(x),
 * and, where they add up to it (where each rounding reaches y unscaled, as
 * in e^(-2x) - x or cos(x) - x), each operation's own rounding in the order
 * f computes them: what the double result of each operation less the exact
 * result of the same operation on the same doubles.  Null where they do
 * not add up.
 * @typedef {{y: number, exact: number, rounding: number, steps: {what: string, rounding: number}[] | null}} Parts
 */

/** Bits enough to hold every double from 2^-1100 up exactly, and each step's rounding far below its own. */
const F = fixedAt(1200);

/** A double as it is computed, with what its operations rounded, each exactly. */
/** @typedef {{v: number, steps: {what: string, delta: bigint}[]}} Shadow */

/**
 * Doubles, each operation's rounding recorded beside them: the double
 * result less the operation done exactly, in F, on its double arguments.
 * @param {(x: number) => number} exp
 * @returns {import("./walk.js").Arithmetic<Shadow>}
 */
function shadows(exp) {
  const D = doubles(exp),
    X = fixedArithmetic(F);
  const of = (/** @type {number} */ v) => fromDouble(v, F.W);
  /** @type {(what: string, d: (...a: number[]) => number, x: (...a: bigint[]) => bigint) => (...a: Shadow[]) => Shadow} */
  const step =
    (what, d, x) =>
    (...args) => {
      const v = d(...args.map((a) => a.v)),
        delta = Number.isFinite(v) ? of(v) - x(...args.map((a) => of(a.v))) : 0n;
      return { v, steps: [...args.flatMap((a) => a.steps), { what, delta }] };
    };
  /** @type {Record<string, (a: Shadow) => Shadow>} */
  const fn = {};
  for (const name of /** @type {(keyof typeof D.fn)[]} */ (Object.keys(D.fn)))
    fn[name] = step(name, D.fn[name], X.fn[name]);
  return {
    num: (v, text) => ({ v, steps: [{ what: "literal", delta: of(v) - fromDecimal(text, F.W) }] }),
    constant: (name) => {
      const v = D.constant(name);
      return { v, steps: [{ what: name, delta: of(v) - X.constant(name) }] };
    },
    neg: (a) => ({ v: -a.v, steps: a.steps }),
    add: step("+", D.add, X.add),
    sub: step("-", D.sub, X.sub),
    mul: step("*", D.mul, X.mul),
    div: step("/", D.div, X.div),
    pow: step("^", D.pow, X.pow),
    powi: (a, n) =>
      step(
        "^",
        (v) => D.powi(v, n),
        (v) => X.powi(v, n),
      )(a),
    fn: /** @type {import("./walk.js").Arithmetic<Shadow>["fn"]} */ (fn),
  };
}

/**
 * y = f(x) as the page computes it, with the exponential chosen, taken apart.
 * @param {Fn} fn
 * @param {ExpName} exp
 * @param {number} x
 * @returns {Parts | null} null where f has no value in many digits there, or is 0 there
 */
export function partsOf(fn, exp, x) {
  if (!Number.isFinite(x)) return null;
  try {
    const exact = compile(fn.tree, fixedArithmetic(F))(fromDouble(x, F.W));
    const { v: y, steps } = compile(fn.tree, shadows(fn.exps[exp]))({ v: x, steps: [] });
    // nothing to take apart where f is 0, or where y is too small for F to hold all its bits
    if (exact === 0n || !Number.isFinite(y) || (y !== 0 && Math.abs(y) < 2 ** -1090)) return null;
    const rounding = fromDouble(y, F.W) - exact,
      sum = steps.reduce((s, q) => s + q.delta, 0n);
    // they add up where the difference is within the fixed point's own errors, far below any step's
    const adds = (sum > rounding ? sum - rounding : rounding - sum) < 1n << 64n;
    return {
      y,
      exact: toNumber(exact, F.W),
      rounding: toNumber(rounding, F.W),
      steps: adds ? steps.map((q) => ({ what: q.what, rounding: toNumber(q.delta, F.W) })) : null,
    };
  } catch (e) {
    if (e instanceof NoValue) return null;
    throw e;
  }
}
