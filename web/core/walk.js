// f from its parsed tree in any arithmetic (doubles, duals, interval jets,
// fixed point): the one walk over the tree every evaluation of f goes
// through, each operation on its own, in the tree's order.

/** @typedef {import("./expression.js").Tree} Tree */

/**
 * Each part of f's language in numbers of type T.  An integer literal
 * exponent (x^3, x^-2, |n| <= 64) is `powi`, a product, defined for a
 * negative base too; any other is `pow`.
 * @template T
 * @typedef {object} Arithmetic
 * @property {(value: number, text: string) => T} num a literal: the double nearest it, and its decimal as written
 * @property {(name: "pi" | "e") => T} constant
 * @property {(a: T) => T} neg
 * @property {(a: T, b: T) => T} add
 * @property {(a: T, b: T) => T} sub
 * @property {(a: T, b: T) => T} mul
 * @property {(a: T, b: T) => T} div
 * @property {(a: T, b: T) => T} pow
 * @property {(a: T, n: number) => T} powi
 * @property {Record<import("./expression.js").FnName, (a: T) => T>} fn
 */

/**
 * Why f has no value (over an interval: may have none somewhere in it):
 * "domain", log, sqrt or a power of a base at or below 0; "pole", a division
 * by 0 or tan where cos is 0; "kink", abs at 0, without a derivative;
 * "range", beyond what the arithmetic holds.  `what` names the operation.
 */
export class NoValue extends Error {
  constructor(/** @type {"domain" | "pole" | "kink" | "range"} */ kind, /** @type {string} */ what) {
    super(`${kind}: ${what}`);
    this.kind = kind;
    this.what = what;
  }
}

/**
 * f as a function of x in A: the tree walked once, its literals made once.
 * @template T
 * @param {Tree} tree
 * @param {Arithmetic<T>} A
 * @returns {(x: T) => T}
 */
export function compile(tree, A) {
  /** @param {Tree} t @returns {(x: T) => T} */
  const walk = (t) => {
    switch (t.kind) {
      case "num":
      case "const": {
        const c = t.kind === "num" ? A.num(t.value, t.text) : A.constant(t.name);
        return () => c;
      }
      case "x":
        return (x) => x;
      case "neg": {
        const a = walk(t.arg);
        return (x) => A.neg(a(x));
      }
      case "call": {
        const a = walk(t.arg),
          f = A.fn[t.name];
        return (x) => f(a(x));
      }
      case "op": {
        const a = walk(t.left);
        // an integer literal exponent, signed or not, up to 64
        const e = t.right.kind === "neg" ? t.right.arg : t.right;
        if (t.op === "^" && e.kind === "num" && Number.isInteger(e.value) && Math.abs(e.value) <= 64) {
          const n = e === t.right ? e.value : -e.value;
          return (x) => A.powi(a(x), n);
        }
        const b = walk(t.right),
          op = { "+": A.add, "-": A.sub, "*": A.mul, "/": A.div, "^": A.pow }[t.op];
        return (x) => op(a(x), b(x));
      }
    }
  };
  return walk(tree);
}
