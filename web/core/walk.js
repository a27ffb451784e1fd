// f from its parsed tree in any arithmetic: the one walk over the tree
// that every evaluation of f goes through.  An arithmetic says how each
// part of f's language is computed in its kind of number (doubles, doubles
// with a derivative, interval Taylor jets, fixed point); the walk puts
// them together in the tree's order, each operation on its own.  Besides
// the parser, nothing else reads the tree.  Nothing here touches the DOM.

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./expression.js").FnName} FnName */

/**
 * How each part of f's language is computed in numbers of type T.  An
 * integer literal exponent (x^3, x^-2, |n| <= 64) is `powi`: a product,
 * defined for a negative base too; any other exponent is `pow`.
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
 * @property {Record<FnName, (a: T) => T>} fn
 */

/**
 * Why f has no value: "domain", log, sqrt or a power of a base at or
 * below 0; "pole", a division by 0, or tan where cos is 0; "kink", abs at
 * 0, where there is no derivative; "range", beyond what the arithmetic
 * holds.  `what` names the function or operation.  Over an interval: may
 * be so somewhere in it.
 */
export class NoValue extends Error {
  constructor(/** @type {"domain" | "pole" | "kink" | "range"} */ kind, /** @type {string} */ what) {
    super(`${kind}: ${what}`);
    this.kind = kind;
    this.what = what;
  }
}

/**
 * The integer n where a power's exponent is an integer literal, or one
 * with a sign, of at most 64; else null.
 * @param {Tree} t the exponent
 */
function integerExponent(t) {
  const sign = t.kind === "neg" ? -1 : 1;
  const u = t.kind === "neg" ? t.arg : t;
  return u.kind === "num" && Number.isInteger(u.value) && Math.abs(u.value) <= 64 ? sign * u.value : null;
}

/**
 * f in an arithmetic, as a function of x in it: the tree walked once,
 * its literals made once.
 * @template T
 * @param {Tree} tree
 * @param {Arithmetic<T>} A
 * @returns {(x: T) => T}
 */
export function compile(tree, A) {
  /** @param {Tree} t @returns {(x: T) => T} */
  const walk = (t) => {
    switch (t.kind) {
      case "num": {
        const c = A.num(t.value, t.text);
        return () => c;
      }
      case "const": {
        const c = A.constant(t.name);
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
        const n = t.op === "^" ? integerExponent(t.right) : null;
        if (n !== null) return (x) => A.powi(a(x), n);
        const b = walk(t.right),
          op = { "+": A.add, "-": A.sub, "*": A.mul, "/": A.div, "^": A.pow }[t.op];
        return (x) => op(a(x), b(x));
      }
    }
  };
  return walk(tree);
}
