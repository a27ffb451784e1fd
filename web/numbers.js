// --- numbers: bits, the sweep, the true root, axes ---------------------------------

const scratch = new DataView(new ArrayBuffer(8));
function fromBits(hex) {
  scratch.setBigUint64(0, BigInt("0x" + hex));
  return scratch.getFloat64(0);
}
function bitsOf(x) {
  scratch.setFloat64(0, x);
  const hex = (k) => scratch.getUint32(k).toString(16).toUpperCase().padStart(8, "0");
  return hex(0) + hex(4);
}
// The shortest decimal that reads back to the same double, as the README
// prints them (ECMAScript's Number-to-String is exactly that).
const show = (x) => String(x);
const minus = (s) => s.replace("-", "−");
const sci = (x, digits) => (Number.isFinite(x) && x !== 0 ? x.toExponential(digits) : String(x));
// How far a is from b, in units in the last place of b (a, b of one sign).
function ulpsFrom(a, b) {
  return Number(BigInt("0x" + bitsOf(a)) - BigInt("0x" + bitsOf(b)));
}

const table = data.nodes.map((n) => ({ x: fromBits(n.x), y: fromBits(n.y) }));
const programNodes = table.map((n) => n.x);

// y_k for each node: the program's own value where the node is one of its
// own, else e^(-2x) - x with the chosen exponential.
function pointsFor(xs, expName) {
  return xs.map((x) => {
    const own = table.find((n) => bitsOf(n.x) === bitsOf(x));
    return own ? { x, y: own.y, own: true } : { x, y: exps[expName].fn(-2.0 * x) - x, own: false };
  });
}
// The program's order: row by row, (1,1) (2,1) (2,2) (3,1) ...; each entry
// is stored before a later call reads it.  Rows 0 .. rows-1 only: the
// entries of those rows are the polynomials through their nodes, at t.
function sweep(t, pts, rows = pts.length) {
  const Q = [];
  for (let i = 0; i < rows; i++) {
    Q.push([pts[i].x]);
    for (let j = 1; j <= i; j++) Q[i][j] = Qij(t, pts[i - j].y, pts[i].y, Q[i][j - 1], Q[i - 1][j - 1]);
  }
  return Q;
}
function stepsOf(n) {
  const steps = [];
  for (let i = 1; i < n; i++) for (let j = 1; j <= i; j++) steps.push({ i, j });
  return steps;
}
// Pairs of nodes whose y are the same double: y_b - y_a is then a zero
// denominator of Q[b][b-a] and of every entry over both.
function coincidences(pts) {
  const out = [];
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) if (pts[a].y === pts[b].y) out.push({ a, b });
  }
  return out;
}

// One unit of the rounding in a node's y: that of the terms y is made of,
// e^(-2x) = y + x and x, which the exponential and the subtraction round;
// not of y itself, which is small near the root.
const roundingOf = (q) => Number.EPSILON * Math.max(Math.abs(q.y + q.x), Math.abs(q.x));
// How far one unit of rounding in each y can move p, the sweep's result
// for these points: each y moved by a unit either way and swept again
// through Qij, the largest move of each node added up.
function roundingReach(pts, p) {
  const n = pts.length;
  let reach = 0;
  for (let k = 0; k < n; k++) {
    const moves = [-1, 1].map((s) => {
      const moved = pts.map((q, m) => (m === k ? { ...q, y: q.y + s * roundingOf(q) } : q));
      return Math.abs(sweep(0.0, moved)[n - 1][n - 1] - p);
    });
    reach += Math.max(...moves);
  }
  return reach;
}
// The two nodes whose y are closest, in units of their rounding.
function closestPair(pts) {
  let best = null;
  for (let b = 1; b < pts.length; b++) {
    for (let a = 0; a < b; a++) {
      const gap = Math.abs(pts[b].y - pts[a].y) / Math.max(roundingOf(pts[a]), roundingOf(pts[b]));
      if (!best || gap < best.gap) best = { a, b, gap };
    }
  }
  return best;
}

// The root to the last bit, W(2)/2: Newton's method on e^(-2x) - x in
// exact integer arithmetic, x scaled by 2^128 (e^(-2x) by its Taylor
// series), until the iterate stops changing; then the nearest double.  A
// double's exp cannot give that last bit: near the root an ulp of x moves
// f by 1.85 ulps, and Newton in doubles hops between the two neighbours.
function trueRoot() {
  const F = 128n, ONE = 1n << F;
  const expNeg = (a) => { // e^(-a), 0 <= a < 1
    let term = ONE, sum = ONE;
    for (let k = 1n; term !== 0n; k++) {
      term = -((term * a) >> F) / k;
      sum += term;
    }
    return sum;
  };
  let x = ONE * 2n / 5n;
  for (let k = 0; k < 40; k++) {
    const e = expNeg(2n * x);
    const next = x - ((e - x) << F) / (-2n * e - ONE);
    if (next - x <= 1n && x - next <= 1n) return Number(next) / 2 ** 128;
    x = next;
  }
  throw new Error("Newton's method did not settle");
}
const root = trueRoot();

// The true inverse g(y): the x with e^(-2x) - x = y, by Newton's method
// with the program's exp, from a starting point near it, until the iterate
// stops changing or hops back and forth between two neighbours.
function inverse(y, start = 0.4) {
  let x = start, before = NaN;
  for (let k = 0; k < 60; k++) {
    const e = calc.exp(-2.0 * x), next = x - (e - x - y) / (-2.0 * e - 1.0);
    if (next === x || next === before) return next;
    before = x;
    x = next;
  }
  return x;
}

// The convergence order of iterated inverse interpolation over n nodes:
// the largest root of t^n = t^(n-1) + ... + t + 1, between 1 and 2.
function theoreticalOrder(n) {
  let lo = 1, hi = 2;
  for (let k = 0; k < 60; k++) {
    const t = (lo + hi) / 2;
    let sum = 0, power = 1;
    for (let m = 0; m < n; m++) { sum += power; power *= t; }
    if (power > sum) hi = t; else lo = t;
  }
  return lo;
}

// Axis ticks: a step of 1, 2 or 5 times a power of ten with at most
// `most` + 1 ticks in [lo, hi], and a unit 10^(3m) that keeps labels short.
// Labels are made from integers times the step, so no rounding shows.
function ticks(lo, hi, most) {
  if (!(hi > lo)) hi = lo + 1;
  const raw = (hi - lo) / Math.max(1, most);
  let mag = 10 ** Math.floor(Math.log10(raw)), step = mag;
  for (const m of [1, 2, 5, 10]) {
    step = m * mag;
    if ((hi - lo) / step <= most) break;
  }
  const big = Math.max(Math.abs(lo), Math.abs(hi));
  const unit = big >= 1e3 || big < 1e-2 ? 3 * Math.floor(Math.log10(big) / 3) : 0;
  const decimals = Math.max(0, -Math.floor(Math.log10(step / 10 ** unit) + 1e-9));
  const out = [];
  for (let k = Math.ceil(lo / step - 1e-9); k * step <= hi + step * 1e-9; k++) {
    const value = k * step;
    out.push({ value, label: minus((value / 10 ** unit).toFixed(decimals)).replace(/^−(0\.?0*)$/, "$1") });
  }
  return { ticks: out, unit };
}
const superscript = (n) => String(n).replace(/[-0-9]/g, (c) => "⁻⁰¹²³⁴⁵⁶⁷⁸⁹"["-0123456789".indexOf(c)]);
