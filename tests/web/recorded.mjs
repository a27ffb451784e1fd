// What the page's tests hold the page to, from outside it: the table of
// recorded values (tests/recorded.tsv: the two lines, the tableau's bits,
// the Qij cases, the root), and the program's .wasm run here, in Node, as
// an independent sweep through its own Qij and exp that the page's code
// cannot influence.  Shared by the unit tests and the browser tests.

import { readFileSync } from "node:fs";
import { pathToFileURL } from "node:url";

/** @typedef {[t: number, y0: number, y1: number, q1: number, q0: number]} QijArgs Qij's five arguments */
/** @typedef {"line" | "node" | "entry" | "qij" | "exp" | "root"} Kind */
/**
 * @typedef {object} Recorded
 * @property {string} lines the program's two lines, each ended by a newline
 * @property {{i: number, j: number, bits: string}[]} entries the tableau's, in the order of the sweep
 * @property {{args: QijArgs, bits: string}[]} qij Qij's cases and its results' bits
 * @property {{x: number, y: number}[]} nodes the program's nodes and their y
 * @property {string} root the bits of the double nearest the root
 */

/**
 * The table of recorded values, each row checked for its shape.
 * @param {string} path
 * @returns {Recorded}
 */
export function readRecorded(path) {
  /** @type {Record<Kind, [number, RegExp]>} */
  const shape = {
    line: [1, /^.*$/],
    node: [3, /^\d$|^[0-9A-F]{16}$/],
    entry: [3, /^\d$|^[0-9A-F]{16}$/],
    qij: [6, /^[+-]?(\d+(\.\d*)?|\.\d+)(e[+-]?\d+)?$|^[0-9A-F]{16}$/i],
    exp: [1, /^[0-9A-F]{16}$/],
    root: [1, /^[0-9A-F]{16}$/],
  };
  /** @type {Record<Kind, string[][]>} */
  const rows = { line: [], node: [], entry: [], qij: [], exp: [], root: [] };
  /** @type {(kind: string) => kind is Kind} */
  const known = (kind) => Object.hasOwn(shape, kind);
  readFileSync(path, "utf8")
    .split("\n")
    .forEach((raw, k) => {
      const line = raw.replace(/\r$/, "");
      if (line === "" || line.startsWith("#")) return;
      const [kind, ...fields] = line.split("\t");
      const ok =
        known(kind) &&
        fields.length === shape[kind][0] &&
        fields.every((f) => shape[kind][1].test(f)) &&
        (kind !== "qij" || /^[0-9A-F]{16}$/.test(fields[5]));
      if (!ok) throw new Error(`${path}:${k + 1}: not a row this reader knows: ${JSON.stringify(line)}`);
      rows[kind].push(fields);
    });
  /** @type {[Kind, number][]} */
  const counts = [
    ["line", 2],
    ["node", 4],
    ["entry", 6],
    ["exp", 2],
    ["root", 1],
  ];
  for (const [kind, n] of counts) {
    if (rows[kind].length !== n) throw new Error(`${path}: ${rows[kind].length} ${kind} rows, not ${n}`);
  }
  if (rows.qij.length === 0) throw new Error(`${path}: no qij rows`);
  console.log(
    `${path}: ${Object.entries(rows)
      .map(([k, v]) => `${v.length} ${k}`)
      .join(", ")}`,
  );
  return {
    lines: rows.line.map(([t]) => t + "\n").join(""),
    entries: rows.entry.map(([i, j, bits]) => ({ i: +i, j: +j, bits })),
    qij: rows.qij.map(([t, y0, y1, q1, q0, bits]) => ({
      args: [Number(t), Number(y0), Number(y1), Number(q1), Number(q0)],
      bits,
    })),
    nodes: rows.node.map(([, x, y]) => ({ x: fromBits(x), y: fromBits(y) })),
    root: rows.root[0][0],
  };
}
const scratch = new DataView(new ArrayBuffer(8));
/** The 16 hexadecimal digits of a double's bits, upper case. */
export const bitsOf = (/** @type {number} */ x) => {
  scratch.setFloat64(0, x);
  return scratch.getBigUint64(0).toString(16).toUpperCase().padStart(16, "0");
};
/** The double whose bits these 16 hexadecimal digits are. */
export const fromBits = (/** @type {string} */ h) => {
  scratch.setBigUint64(0, BigInt("0x" + h));
  return scratch.getFloat64(0);
};

// The names the build exported the program's functions under, from the
// page's data beside the .wasm (program.json).
export const exportsOf = (/** @type {string} */ wasmPath) =>
  JSON.parse(readFileSync(new URL("program.json", pathToFileURL(wasmPath)), "utf8")).exports;

// The .wasm's own Qij and exp, and a sweep of the program's order through
// them: y from the program's table for its own nodes, else from the
// .wasm's exp, as the page takes them.
/**
 * @param {string} wasmPath
 * @param {Recorded} recorded
 */
export function wasmSweep(wasmPath, recorded) {
  const wasm = new WebAssembly.Instance(new WebAssembly.Module(readFileSync(wasmPath)), {
    wasi_snapshot_preview1: new Proxy({}, { get: () => () => 52 }),
  }).exports;
  const names = exportsOf(wasmPath);
  const QijOf = wasm[names.Qij],
    expOf = wasm[names.exp];
  if (typeof QijOf !== "function" || typeof expOf !== "function") throw new Error(`${wasmPath} exports no Qij or exp`);
  /** @type {(t: number, y0: number, y1: number, q1: number, q0: number) => number} */
  const Qij = (...args) => QijOf(...args);
  const exp = (/** @type {number} */ x) => Number(expOf(x));
  const own = new Map(recorded.nodes.map((n) => [bitsOf(n.x), n.y]));
  const yOf = (/** @type {number} */ x) => own.get(bitsOf(x)) ?? exp(-2.0 * x) - x;
  const sweep = (/** @type {number[]} */ xs) => {
    const ys = xs.map(yOf),
      Q = xs.map((x) => [x]);
    for (let i = 1; i < xs.length; i++) {
      for (let j = 1; j <= i; j++) Q[i][j] = Qij(0.0, ys[i - j], ys[i], Q[i][j - 1], Q[i - 1][j - 1]);
    }
    return Q;
  };
  const pOf = (/** @type {number[]} */ xs) => sweep(xs)[xs.length - 1][xs.length - 1];
  return { Qij, exp, yOf, sweep, pOf };
}
/** Whether two doubles are the same to the bit, or both NaN. */
export const same = (/** @type {number} */ a, /** @type {number} */ b) =>
  bitsOf(a) === bitsOf(b) || (Number.isNaN(a) && Number.isNaN(b));

/**
 * The doubles' iterates from xs through pOf, as Iterate takes them: on
 * until p is the root's double, the next sweep gives no number, or 100
 * steps; and the step at which they stop, the last.
 * @param {(xs: number[]) => number} pOf
 * @param {number[]} xs
 * @param {number} root
 */
export function doublesIterated(pOf, xs, root) {
  let nodes = [...xs];
  const ps = [pOf(nodes)];
  while (ps.length <= 100 && ps[ps.length - 1] !== root) {
    const next = [...nodes.slice(1), ps[ps.length - 1]],
      p = pOf(next);
    if (!Number.isFinite(p)) break;
    nodes = next;
    ps.push(p);
  }
  return { ps, step: ps.length - 1 };
}

/**
 * Whether a number shown is x to the digits it shows: within half a unit
 * of its last digit ("2.98e-6" of 2.9817e-6, "-1.853" of -1.85261).
 */
export function showsNumber(/** @type {string} */ text, /** @type {number} */ x) {
  const m = /^-?\d+(?:\.(\d+))?(?:e([-+]?\d+))?$/.exec(text);
  if (!m) return false;
  const half = 0.5 * 10 ** (Number(m[2] ?? 0) - (m[1]?.length ?? 0));
  return Math.abs(Number(text) - x) <= half * (1 + 1e-9);
}
