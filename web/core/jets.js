// Taylor jets: f's Taylor coefficients at x, f(x + t) = c_0 + c_1 t + ...
// + c_N t^N with c_k = f^(k)(x) / k!, from f's parsed expression by
// truncated power series arithmetic (each operation's coefficients from
// its arguments', by the usual recurrences).
//
// The arithmetic is interval arithmetic rounded outward (interval.js), so
// a jet over [a, A] holds, at each k, an interval that contains
// f^(k)(x) / k! for every x in [a, A]: each recurrence is a sum of
// products and quotients of intervals that contain theirs.  Over a single
// double x, [x, x], the intervals are narrow, and their middles are the
// jet in doubles: a few ulps wide for the program's f, wider where a
// recurrence divides by a small value at every order (tan(x)/x at 0.1
// loses a digit an order).  A jet is an array of numbers, coefficient k's
// ends at 2k and 2k + 1, so that the loops allocate nothing.  Nothing here
// touches the DOM.  The inverse function's coefficients, by series
// reversion, are reversion.js's.

import { divHi, divLo, down, down4, mulHi, mulLo, signOf, sumHi, sumLo, up, up4, wave } from "./interval.js";
import { integerExponent } from "./expression.js";
import { fromDecimal, fromDouble } from "./fixed.js";
import { NO_VALUE } from "./sentences/functions.js";

/** @typedef {import("./expression.js").Tree} Tree */
/** @typedef {import("./expression.js").FnName} FnName */
/**
 * One operation of a compiled f; a and b are the indices of earlier ones.
 * @typedef {{kind: "const", lo: number, hi: number}
 *   | {kind: "x"}
 *   | {kind: "neg" | FnName, a: number}
 *   | {kind: "+" | "-" | "*" | "/" | "pow", a: number, b: number}
 *   | {kind: "powi", a: number, n: number}} Op
 */
/** f's operations in the order they are computed, and which are constants (no x in them). @typedef {{ops: Op[], constant: boolean[]}} Compiled */

/**
 * Why a jet cannot be made: "kink", abs at 0 (no derivative); "domain",
 * log, sqrt or a non-integer power of a value at or below 0 (not defined,
 * or an infinite slope at 0); "pole", a division by 0 or tan where cos is
 * 0; "flat", f' = 0 where the inverse is wanted.  Over an interval: may be
 * so somewhere in it.
 */
export class JetError extends Error {
  constructor(/** @type {"kink" | "domain" | "pole" | "flat"} */ why, /** @type {string} */ what) {
    super(`${why}: ${what}`);
    this.why = why;
    this.what = what;
  }
}

/**
 * An interval that holds the real number a literal or constant stands
 * for: the double itself where it is that number exactly, else the double
 * with an ulp either side.
 * @param {Extract<Tree, {kind: "num" | "const"}>} t
 * @returns {Op}
 */
function constantOp(t) {
  if (t.kind === "const") {
    const v = t.name === "pi" ? Math.PI : Math.E;
    return { kind: "const", lo: down(v), hi: up(v) };
  }
  const exact = fromDecimal(t.text, 1200n) === fromDouble(t.value, 1200n);
  return { kind: "const", lo: exact ? t.value : down(t.value), hi: exact ? t.value : up(t.value) };
}

/**
 * f's tree as a list of operations, computed once for many jets.
 * @param {Tree} tree
 * @returns {Compiled}
 */
export function compile(tree) {
  /** @type {Op[]} */
  const ops = [];
  /** @type {boolean[]} */
  const constant = [];
  /** @param {Op} op @param {boolean} c */
  const push = (op, c) => (ops.push(op), constant.push(c), ops.length - 1);
  /** @param {Tree} t @returns {number} */
  const walk = (t) => {
    switch (t.kind) {
      case "num":
      case "const":
        return push(constantOp(t), true);
      case "x":
        return push({ kind: "x" }, false);
      case "neg":
      case "call": {
        const a = walk(t.arg);
        return push({ kind: t.kind === "neg" ? "neg" : t.name, a }, constant[a]);
      }
      case "op": {
        const a = walk(t.left);
        const n = t.op === "^" ? integerExponent(t.right) : null;
        if (n !== null) return push({ kind: "powi", a, n }, constant[a]);
        const b = walk(t.right);
        return push({ kind: t.op === "^" ? "pow" : t.op, a, b }, constant[a] && constant[b]);
      }
    }
  };
  walk(tree);
  return { ops, constant };
}

/** n zeros: a jet's place, a plain array (a Float64Array takes far longer to make). */
const zeros = (/** @type {number} */ n) => new Array(n).fill(0);
/** out = a, term by term. */
function copy(/** @type {number[]} */ out, /** @type {number[]} */ a) {
  for (let k = 0; k < a.length; k++) out[k] = a[k];
}

/**
 * out[i], out[i + 1] = lo, hi: an interval's ends, put in place.
 * @param {number[]} out
 * @param {number} i
 * @param {number} lo
 * @param {number} hi
 */
export function put(out, i, lo, hi) {
  out[i] = lo;
  out[i + 1] = hi;
}

/**
 * The enclosures a jet's recurrences add up: sum_(j=from..to) j u_j c_(k-j),
 * into s[0], s[1].
 * @param {number[]} s
 * @param {number[]} u
 * @param {number[]} c
 * @param {number} k
 */
function weighted(s, u, c, k) {
  let lo = 0,
    hi = 0;
  for (let j = 1; j <= k; j++) {
    const a = mulLo(u[2 * j], u[2 * j + 1], j, j),
      A = mulHi(u[2 * j], u[2 * j + 1], j, j);
    const m = 2 * (k - j);
    lo = sumLo(lo, mulLo(a, A, c[m], c[m + 1]));
    hi = sumHi(hi, mulHi(a, A, c[m], c[m + 1]));
  }
  s[0] = lo;
  s[1] = hi;
}

/**
 * out = a b, truncated.  A constant's terms above t^0 are 0, so a product
 * with one takes N + 1 products, not (N + 1)(N + 2) / 2.
 * @param {number[]} out
 * @param {number[]} a
 * @param {number[]} b
 * @param {boolean} constA
 * @param {boolean} constB
 */
function times(out, a, b, constA, constB) {
  const N = out.length / 2 - 1;
  for (let k = 0; k <= N; k++) {
    // the j of a_j b_(k-j) to add: j = 0 alone where a is a constant, j = k alone where b is
    const first = constB ? k : 0,
      last = constA ? 0 : k;
    let lo = 0,
      hi = 0;
    for (let j = first; j <= last; j++) {
      const m = 2 * (k - j);
      lo = sumLo(lo, mulLo(a[2 * j], a[2 * j + 1], b[m], b[m + 1]));
      hi = sumHi(hi, mulHi(a[2 * j], a[2 * j + 1], b[m], b[m + 1]));
    }
    out[2 * k] = lo;
    out[2 * k + 1] = hi;
  }
}

/**
 * out = a / b, truncated: a_k = sum_j q_j b_(k-j), solved for q_k.
 * @param {number[]} out
 * @param {number[]} a
 * @param {number[]} b
 */
function over(out, a, b) {
  const N = out.length / 2 - 1;
  if (signOf(b[0], b[1]) === 0) throw new JetError("pole", NO_VALUE.pole);
  for (let k = 0; k <= N; k++) {
    let lo = a[2 * k],
      hi = a[2 * k + 1];
    for (let j = 0; j < k; j++) {
      const m = 2 * (k - j);
      lo = sumLo(lo, -mulHi(out[2 * j], out[2 * j + 1], b[m], b[m + 1]));
      hi = sumHi(hi, -mulLo(out[2 * j], out[2 * j + 1], b[m], b[m + 1]));
    }
    out[2 * k] = divLo(lo, hi, b[0], b[1]);
    out[2 * k + 1] = divHi(lo, hi, b[0], b[1]);
  }
}

/**
 * A function of a jet u, by the recurrences of its derivative, for k >= 1:
 *   e = exp u:   k e_k = sum_(j=1..k) j u_j e_(k-j)
 *   l = log u:   u_0 l_k = u_k - (1/k) sum_(j=1..k-1) j l_j u_(k-j)
 *   r = sqrt u:  2 r_0 r_k = u_k - sum_(j=1..k-1) r_j r_(k-j)
 *   s = sin u, c = cos u:  k s_k = sum_(j=1..k) j u_j c_(k-j),  k c_k = -sum_(j=1..k) j u_j s_(k-j)
 * tan is sin / cos; abs is u or -u where u keeps one sign.
 * @param {number[]} out
 * @param {FnName} name
 * @param {number[]} u
 * @param {Workspace} w its scratch
 */
function apply(out, name, u, w) {
  const s = w.s;
  const N = out.length / 2 - 1;
  if (name === "abs") {
    const sign = signOf(u[0], u[1]);
    if (sign === 0) throw new JetError("kink", NO_VALUE.kink);
    for (let k = 0; k <= N; k++) {
      if (sign > 0) put(out, 2 * k, u[2 * k], u[2 * k + 1]);
      else put(out, 2 * k, -u[2 * k + 1], -u[2 * k]);
    }
  } else if (name === "exp") {
    out[0] = Math.max(0, down4(Math.exp(u[0])));
    out[1] = up4(Math.exp(u[1]));
    for (let k = 1; k <= N; k++) {
      weighted(s, u, out, k);
      put(out, 2 * k, divLo(s[0], s[1], k, k), divHi(s[0], s[1], k, k));
    }
  } else if (name === "log" || name === "sqrt") {
    if (!(u[0] > 0)) throw new JetError("domain", NO_VALUE.below(name));
    logOrSqrt(out, name, u);
  } else {
    const sin = w.sin,
      cos = w.cos;
    const ws = wave("sin", u[0], u[1]),
      wc = wave("cos", u[0], u[1]);
    put(sin, 0, ws[0], ws[1]);
    put(cos, 0, wc[0], wc[1]);
    for (let k = 1; k <= N; k++) {
      weighted(s, u, cos, k);
      put(sin, 2 * k, divLo(s[0], s[1], k, k), divHi(s[0], s[1], k, k));
      weighted(s, u, sin, k);
      put(cos, 2 * k, -divHi(s[0], s[1], k, k), -divLo(s[0], s[1], k, k));
    }
    if (name === "tan" && signOf(cos[0], cos[1]) === 0) throw new JetError("pole", NO_VALUE.tanPole);
    if (name === "tan") over(out, sin, cos);
    else copy(out, name === "sin" ? sin : cos);
  }
}

/**
 * log u or sqrt u for u_0 > 0, by their recurrences: l_k from
 * u_k - (1/k) sum_j j l_j u_(k-j) over u_0, r_k from u_k - sum_j r_j r_(k-j)
 * over 2 r_0, j = 1 .. k-1.
 * @param {number[]} out
 * @param {"log" | "sqrt"} name
 * @param {number[]} u
 */
function logOrSqrt(out, name, u) {
  const N = out.length / 2 - 1;
  const isLog = name === "log";
  out[0] = isLog ? down4(Math.log(u[0])) : Math.max(0, down4(Math.sqrt(u[0])));
  out[1] = isLog ? up4(Math.log(u[1])) : up4(Math.sqrt(u[1]));
  const d = isLog ? u[0] : 2 * out[0],
    D = isLog ? u[1] : 2 * out[1];
  for (let k = 1; k <= N; k++) {
    let lo = 0,
      hi = 0;
    for (let j = 1; j < k; j++) {
      const m = 2 * (k - j);
      const w = isLog ? j : 1;
      const a = mulLo(out[2 * j], out[2 * j + 1], w, w),
        A = mulHi(out[2 * j], out[2 * j + 1], w, w);
      const c = isLog ? u[m] : out[m],
        C = isLog ? u[m + 1] : out[m + 1];
      lo = sumLo(lo, mulLo(a, A, c, C));
      hi = sumHi(hi, mulHi(a, A, c, C));
    }
    if (isLog) {
      const l = divLo(lo, hi, k, k);
      hi = divHi(lo, hi, k, k);
      lo = l;
    }
    const top = sumLo(u[2 * k], -hi),
      Top = sumHi(u[2 * k + 1], -lo);
    out[2 * k] = divLo(top, Top, d, D);
    out[2 * k + 1] = divHi(top, Top, d, D);
  }
}

/**
 * out = u^n for an integer n, by squaring; 1 / u^|n| for n < 0.
 * @param {number[]} out
 * @param {number[]} u
 * @param {number} n
 * @param {boolean} constant
 */
function powerInt(out, u, n, constant) {
  let result = zeros(out.length),
    square = u;
  result[0] = result[1] = 1;
  let resultConstant = true;
  for (let m = Math.abs(n); m > 0; m = Math.floor(m / 2)) {
    if (m % 2) {
      const next = zeros(out.length);
      times(next, result, square, resultConstant, constant);
      result = next;
      resultConstant = resultConstant && constant;
    }
    if (m > 1) {
      const next = zeros(out.length);
      times(next, square, square, constant, constant);
      square = next;
    }
  }
  if (n >= 0) copy(out, result);
  else {
    const one = zeros(out.length);
    one[0] = one[1] = 1;
    over(out, one, result);
  }
}

/**
 * Room for the jets of one compiled f at one order, made once for many
 * jets (making arrays takes longer than filling them): a jet for each
 * operation, the reversion's, and scratch.
 * @typedef {{order: number, regs: number[][], s: number[], sin: number[], cos: number[], log: number[], product: number[], b: number[], pw: number[]}} Workspace
 */

/**
 * A workspace for f's jets up to t^order.
 * @param {Compiled} f
 * @param {number} order 0 to 12
 * @returns {Workspace}
 */
export function workspace(f, order) {
  const size = 2 * (order + 1);
  return {
    order,
    regs: f.ops.map(() => zeros(size)),
    s: zeros(2),
    sin: zeros(size),
    cos: zeros(size),
    log: zeros(size),
    product: zeros(size),
    b: zeros(size),
    pw: zeros(size * (order + 1)),
  };
}

/**
 * f's Taylor coefficients over [a, A] up to t^order, enclosed: out[2k] and
 * out[2k + 1] hold f^(k)(x) / k! for every x in [a, A].  The result is the
 * workspace's, good until its next use.  Throws a JetError where an
 * operation has no jet there, or may have none.
 * @param {Compiled} f
 * @param {number} a
 * @param {number} A
 * @param {Workspace} w from workspace(f, order)
 * @returns {number[]}
 */
export function jetOver(f, a, A, w) {
  const r = w.regs,
    size = 2 * (w.order + 1);
  for (let i = 0; i < f.ops.length; i++) {
    const op = f.ops[i];
    const out = r[i];
    if (op.kind === "const" || op.kind === "x") {
      out.fill(0);
      if (op.kind === "const") put(out, 0, op.lo, op.hi);
      else {
        put(out, 0, a, A);
        if (w.order >= 1) out[2] = out[3] = 1;
      }
    } else if (op.kind === "neg") for (let k = 0; k < size; k += 2) put(out, k, -r[op.a][k + 1], -r[op.a][k]);
    else if (op.kind === "+" || op.kind === "-") {
      const x = r[op.a],
        y = r[op.b];
      for (let k = 0; k < size; k += 2) {
        out[k] = sumLo(x[k], op.kind === "+" ? y[k] : -y[k + 1]);
        out[k + 1] = sumHi(x[k + 1], op.kind === "+" ? y[k + 1] : -y[k]);
      }
    } else if (op.kind === "*") times(out, r[op.a], r[op.b], f.constant[op.a], f.constant[op.b]);
    else if (op.kind === "/") over(out, r[op.a], r[op.b]);
    else if (op.kind === "powi") powerInt(out, r[op.a], op.n, f.constant[op.a]);
    else if (op.kind === "pow") {
      // a^b = exp(b log a), for a > 0
      apply(w.log, "log", r[op.a], w);
      times(w.product, r[op.b], w.log, f.constant[op.b], f.constant[op.a]);
      apply(out, "exp", w.product, w);
    } else apply(out, op.kind, r[op.a], w);
  }
  return r[r.length - 1];
}
