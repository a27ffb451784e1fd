// The learner's page: runs inverse_neville's own WebAssembly through a
// minimal WASI (preview 1) shim, then fills Neville's tableau, the figure
// and the error with the program's own compiled Qij and exp.  Nothing here
// computes what the .wasm can: the page only orders calls, lays out and
// formats.
"use strict";

const data = JSON.parse(document.getElementById("program-data").textContent);
const wasmBytes = Uint8Array.from(atob(document.getElementById("program-wasm").textContent.trim()),
  (c) => c.charCodeAt(0));
const wasmModule = new WebAssembly.Module(wasmBytes);
const $ = (id) => document.getElementById(id);

// --- numbers --------------------------------------------------------------------
const scratch = new DataView(new ArrayBuffer(8));
function fromBits(hex) {
  scratch.setBigUint64(0, BigInt("0x" + hex));
  return scratch.getFloat64(0);
}
function bitsOf(x) {
  scratch.setFloat64(0, x);
  return scratch.getBigUint64(0).toString(16).toUpperCase().padStart(16, "0");
}
// The shortest decimal that reads back to the same double, as the README
// prints them (ECMAScript's Number-to-String is exactly that).
const show = (x) => String(x);
const sci = (x, digits) => x.toExponential(digits);

// --- the program, through WASI ---------------------------------------------------
// The seven calls the .wasm imports.  Standard output and error are
// collected; there is no file system, no environment and no input.
class Exit {
  constructor(code) { this.code = code; }
}
function wasiImports(memoryOf, streams) {
  const EBADF = 8, ESPIPE = 70;
  const args = [new TextEncoder().encode("inverse_neville\0")];
  const view = () => new DataView(memoryOf().buffer);
  return {
    args_sizes_get(argc, size) {
      view().setUint32(argc, args.length, true);
      view().setUint32(size, args.reduce((n, a) => n + a.length, 0), true);
      return 0;
    },
    args_get(argv, buf) {
      for (const a of args) {
        view().setUint32(argv, buf, true);
        new Uint8Array(memoryOf().buffer, buf, a.length).set(a);
        argv += 4;
        buf += a.length;
      }
      return 0;
    },
    fd_write(fd, iovs, count, written) {
      if (!(fd in streams)) return EBADF;
      let n = 0;
      for (let k = 0; k < count; k++) {
        const base = view().getUint32(iovs + 8 * k, true), len = view().getUint32(iovs + 8 * k + 4, true);
        streams[fd].push(new Uint8Array(memoryOf().buffer, base, len).slice());
        n += len;
      }
      view().setUint32(written, n, true);
      return 0;
    },
    fd_fdstat_get(fd, stat) {
      if (!(fd in streams)) return EBADF;
      new Uint8Array(memoryOf().buffer, stat, 24).fill(0);
      view().setUint8(stat, 2); // a character device, as a console is
      return 0;
    },
    fd_seek: (fd) => (fd in streams ? ESPIPE : EBADF),
    fd_close: (fd) => (fd in streams ? 0 : EBADF),
    proc_exit(code) { throw new Exit(code); },
  };
}
function runProgram() {
  const streams = { 1: [], 2: [] };
  let instance = null;
  instance = new WebAssembly.Instance(wasmModule, {
    wasi_snapshot_preview1: wasiImports(() => instance.exports.memory, streams),
  });
  let status = 0;
  try {
    instance.exports._start();
  } catch (e) {
    if (!(e instanceof Exit)) throw e;
    status = e.code;
  }
  const text = (chunks) => new TextDecoder().decode(new Uint8Array(chunks.flatMap((c) => [...c])));
  return { stdout: text(streams[1]), stderr: text(streams[2]), status };
}
// A second instance, never started, whose exports are the program's own
// Qij and exp.
const calc = new WebAssembly.Instance(wasmModule, {
  wasi_snapshot_preview1: wasiImports(() => calc.exports.memory, {}),
}).exports;
const Qij = calc._Z3Qijddddd;
const exps = {
  wasm: { fn: calc.exp, name: "the program's own exp (wasi-libc, in the .wasm)" },
  browser: { fn: Math.exp, name: "the browser's Math.exp" },
};

// --- the data and the sweep -------------------------------------------------------
const table = data.nodes.map((n) => ({ x: fromBits(n.x), y: fromBits(n.y) }));
const programNodes = table.map((n) => n.x);

// y_k for each node: the program's own value where the node is one of its
// own, else e^(-2x) - x with the chosen exponential.
function pointsFor(xs, expName) {
  return xs.map((x) => {
    const own = table.find((n) => bitsOf(n.x) === bitsOf(x));
    return own ? { x, y: own.y, from: "the program's table" } : { x, y: exps[expName].fn(-2.0 * x) - x, from: "computed" };
  });
}
// The program's order: row by row, (1,1) (2,1) (2,2) (3,1) ...; each entry
// is stored before a later call reads it.
function sweep(t, pts) {
  const n = pts.length, Q = pts.map((p) => [p.x]), steps = [];
  for (let i = 1; i < n; i++) {
    for (let j = 1; j <= i; j++) {
      Q[i][j] = Qij(t, pts[i - j].y, pts[i].y, Q[i][j - 1], Q[i - 1][j - 1]);
      steps.push({ i, j });
    }
  }
  return { Q, steps, p: Q[n - 1][n - 1] };
}
// The true inverse g(y): the x with e^(-2x) - x = y, by Newton's method with
// the program's exp.
function inverse(y) {
  let x = 0.4;
  for (let k = 0; k < 100; k++) {
    const e = calc.exp(-2.0 * x), step = (e - x - y) / (-2.0 * e - 1.0);
    x -= step;
    if (Math.abs(step) <= 1e-17) break;
  }
  return x;
}
const root = inverse(0.0);

// --- the state: #nodes=...&exp=... -------------------------------------------------
const defaultState = { nodes: programNodes, exp: "wasm" };
let state = null; // the last good one
let result = null;
let shown = 0; // how many steps of the sweep are shown

function parseNodes(text) {
  const parts = text.split(",").map((s) => s.trim());
  if (parts.length === 1 && parts[0] === "") return { error: "Give 2 to 8 nodes, separated by commas." };
  for (const s of parts) {
    if (!/^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(s)) return { error: `“${s}” is not a number.` };
  }
  const xs = parts.map(Number);
  const out = xs.find((x) => !(x >= 0 && x <= 1));
  if (out !== undefined) return { error: `Each node must lie in [0, 1]; ${show(out)} does not.` };
  if (xs.length < 2) return { error: "One node makes no polynomial to interpolate with: give 2 to 8." };
  if (xs.length > 8) return { error: `${xs.length} nodes are too many here: give 2 to 8.` };
  return { xs };
}
function stateFromHash() {
  const params = new URLSearchParams(location.hash.slice(1));
  if (!params.has("nodes")) return { ...defaultState };
  const parsed = parseNodes(params.get("nodes"));
  if (parsed.error) return { error: parsed.error, text: params.get("nodes") };
  return { nodes: parsed.xs, exp: params.get("exp") === "browser" ? "browser" : "wasm" };
}
function hashOf(s) {
  return "nodes=" + s.nodes.map(show).join(",") + (s.exp === "browser" ? "&exp=browser" : "");
}

// --- drawing ------------------------------------------------------------------------
function cell(x) {
  const td = document.createElement("td");
  td.innerHTML = `<span class="num">${show(x)}</span><span class="bits">0x${bitsOf(x)}</span>`;
  return td;
}
function drawTableau() {
  const pts = result.pts, n = pts.length;
  const thead = $("tableau").tHead, tbody = $("tableau").tBodies[0];
  thead.innerHTML = "";
  const head = thead.insertRow();
  for (const label of ["i", "y_i", ...Array.from({ length: n }, (_, j) => `Q[i][${j}]`)]) {
    const th = document.createElement("th");
    th.scope = "col";
    th.textContent = label;
    head.append(th);
  }
  tbody.innerHTML = "";
  for (let i = 0; i < n; i++) {
    const row = tbody.insertRow();
    const th = document.createElement("th");
    th.scope = "row";
    th.textContent = String(i);
    row.append(th, cell(pts[i].y), cell(pts[i].x));
    for (let j = 1; j < n; j++) {
      const td = document.createElement("td");
      td.id = `q-${i}-${j}`;
      if (j <= i) td.className = "empty";
      row.append(td);
    }
  }
  drawSteps(false);
}
function entryName(i, j) {
  return `Q[${i}][${j}]`;
}
function drawSteps(announce) {
  const { Q, steps } = result;
  for (const c of $("tableau").querySelectorAll(".reads, .new")) c.classList.remove("reads", "new");
  steps.forEach(({ i, j }, k) => {
    const td = $(`q-${i}-${j}`);
    if (k < shown) {
      td.className = "";
      td.innerHTML = cell(Q[i][j]).innerHTML;
    } else {
      td.className = "empty";
      td.innerHTML = `<span class="visually-hidden">not yet computed</span>`;
    }
  });
  $("step-count").textContent = `${shown} of ${steps.length}`;
  // aria-disabled, not disabled: a disabled button would drop the focus
  for (const [id, off] of [["step-first", shown === 0], ["step-back", shown === 0],
    ["step-forward", shown === steps.length], ["step-last", shown === steps.length]]) {
    $(id).setAttribute("aria-disabled", String(off));
  }
  const rule = $("step-rule");
  if (shown === 0) {
    rule.innerHTML = "<p>Column 0 holds the nodes: Q[i][0] = x<sub>i</sub>. Step to compute the next entry.</p>";
    if (announce) $("step-announce").textContent = `Start: only the nodes, 0 of ${steps.length} entries.`;
    return;
  }
  const { i, j } = steps[shown - 1];
  const y = (k) => result.pts[k].y;
  $(`q-${i}-${j}`).classList.add("new");
  $(`q-${i}-${j - 1}`)?.classList.add("reads");
  $(`q-${i - 1}-${j - 1}`)?.classList.add("reads");
  // column 0 is not a q- cell: mark the nodes by their row
  for (const [r, c] of [[i, j - 1], [i - 1, j - 1]]) {
    if (c === 0) $("tableau").tBodies[0].rows[r].cells[2].classList.add("reads");
  }
  const a = show(y(i - j)), b = show(y(i)), hi = show(result.Q[i][j - 1]), lo = show(result.Q[i - 1][j - 1]);
  rule.innerHTML =
    `<p>${entryName(i, j)} = ((0 − y<sub>${i - j}</sub>) · ${entryName(i, j - 1)} − (0 − y<sub>${i}</sub>) · ${entryName(i - 1, j - 1)}) / (y<sub>${i}</sub> − y<sub>${i - j}</sub>)</p>` +
    `<p>= ((0 − ${a}) · ${hi} − (0 − ${b}) · ${lo}) / (${b} − ${a})</p>` +
    `<p>= <strong class="num">${show(result.Q[i][j])}</strong>, the polynomial of degree ${j} through the points ${i - j} … ${i}, at y = 0</p>`;
  if (announce) {
    $("step-announce").textContent = `Step ${shown} of ${steps.length}: ${entryName(i, j)} = ${show(result.Q[i][j])}, ` +
      `from ${entryName(i, j - 1)} = ${hi} and ${entryName(i - 1, j - 1)} = ${lo}.`;
  }
}

const SVG = "http://www.w3.org/2000/svg";
function el(name, attrs, text) {
  const e = document.createElementNS(SVG, name);
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}
function drawFigure() {
  const svg = $("figure"), { pts, p } = result;
  for (const e of [...svg.children]) if (e.tagName !== "title" && e.tagName !== "desc") e.remove();
  const W = 720, L = 80, R = 30, n = 200;
  const panel = (xlim, ylim, top, bottom) => ({
    px: (x) => L + ((x - xlim[0]) / (xlim[1] - xlim[0])) * (W - L - R),
    py: (y) => bottom - ((y - ylim[0]) / (ylim[1] - ylim[0])) * (bottom - top),
    top, bottom, xlim, ylim,
  });
  const line = (ax, points, cls) => {
    const ok = points.filter(([a, b]) => Number.isFinite(a) && Number.isFinite(b) &&
      a >= ax.xlim[0] && a <= ax.xlim[1] && b >= ax.ylim[0] && b <= ax.ylim[1]);
    svg.append(el("polyline", { class: cls, points: ok.map(([a, b]) => `${ax.px(a).toFixed(1)},${ax.py(b).toFixed(1)}`).join(" ") }));
  };
  const frame = (ax, xticks, yticks, xlabel, ylabel, title) => {
    svg.append(el("rect", { class: "frame", x: L, y: ax.top, width: W - L - R, height: ax.bottom - ax.top }));
    for (const t of xticks) {
      svg.append(el("line", { class: "grid", x1: ax.px(t), x2: ax.px(t), y1: ax.top, y2: ax.bottom }));
      svg.append(el("text", { x: ax.px(t), y: ax.bottom + 17, "text-anchor": "middle" }, String(t)));
    }
    for (const t of yticks) {
      svg.append(el("line", { class: "grid", x1: L, x2: W - R, y1: ax.py(t), y2: ax.py(t) }));
      svg.append(el("text", { x: L - 6, y: ax.py(t) + 4, "text-anchor": "end" }, String(t)));
    }
    svg.append(el("text", { x: (L + W - R) / 2, y: ax.bottom + 36, "text-anchor": "middle" }, xlabel));
    svg.append(el("text", { x: 18, y: (ax.top + ax.bottom) / 2, "text-anchor": "middle",
      transform: `rotate(-90 18 ${(ax.top + ax.bottom) / 2})` }, ylabel));
    svg.append(el("text", { x: L, y: ax.top - 12, "font-weight": "bold" }, title));
    svg.append(el("line", { class: "axis", x1: L, x2: W - R, y1: ax.py(0), y2: ax.py(0) }));
  };
  const ticks = (lo, hi, count) => {
    const step = [0.05, 0.1, 0.2, 0.25, 0.5, 1, 2, 5, 10].find((s) => (hi - lo) / s <= count) ?? 10;
    const out = [];
    for (let t = Math.ceil(lo / step) * step; t <= hi + 1e-12; t += step) out.push(+t.toFixed(10));
    return out;
  };
  // Top: f and the inverse polynomial in the (x, y) plane.
  const xs = pts.map((q) => q.x).concat(Number.isFinite(p) ? [p] : []);
  const xlo = Math.max(0, Math.min(...xs) - 0.05), xhi = Math.min(1, Math.max(...xs) + 0.05);
  const fx = (x) => calc.exp(-2.0 * x) - x;
  const ylo = Math.min(fx(xhi), 0) - 0.05, yhi = Math.max(fx(xlo), 0) + 0.05;
  const top = panel([xlo, xhi], [ylo, yhi], 50, 330);
  frame(top, ticks(xlo, xhi, 8), ticks(ylo, yhi, 8), "x", "y = f(x) = e⁻²ˣ − x",
    "The polynomial through (yₖ, xₖ), evaluated at y = 0");
  line(top, Array.from({ length: n + 1 }, (_, k) => { const x = xlo + ((xhi - xlo) * k) / n; return [x, fx(x)]; }), "f");
  line(top, Array.from({ length: n + 1 }, (_, k) => { const y = ylo + ((yhi - ylo) * k) / n; return [sweep(y, pts).p, y]; }), "poly");
  for (const q of pts) svg.append(el("circle", { class: "node", cx: top.px(q.x), cy: top.py(q.y), r: 5 }));
  if (Number.isFinite(p) && p >= xlo && p <= xhi) {
    svg.append(el("circle", { class: "p", cx: top.px(p), cy: top.py(0), r: 6 }));
    svg.append(el("text", { class: "p-label", x: top.px(p) + 10, y: top.py(0) - 10 }, `p = ${show(p)}`));
  }
  // Bottom: the interpolation error against the true inverse, in 1e-6.
  const ys = pts.map((q) => q.y).filter(Number.isFinite);
  const span = [Math.min(...ys, 0) - 0.02, Math.max(...ys, 0) + 0.02];
  const err = Array.from({ length: n + 1 }, (_, k) => {
    const y = span[0] + ((span[1] - span[0]) * k) / n;
    return [y, (sweep(y, pts).p - inverse(y)) * 1e6];
  }).filter(([, e]) => Number.isFinite(e));
  const es = err.map(([, e]) => e).concat([0]);
  const elo = Math.min(...es), ehi = Math.max(...es), pad = (ehi - elo) * 0.1 || 1;
  const bottom = panel(span, [elo - pad, ehi + pad], 420, 570);
  frame(bottom, ticks(span[0], span[1], 8), ticks(elo - pad, ehi + pad, 6), "y", "P(y) − g(y)  [10⁻⁶]",
    "Interpolation error against the true inverse g");
  line(bottom, err, "err");
  for (const q of pts) svg.append(el("circle", { class: "node", cx: bottom.px(q.y), cy: bottom.py(0), r: 4 }));
  const e0 = (p - root) * 1e6;
  if (Number.isFinite(e0)) svg.append(el("circle", { class: "p", cx: bottom.px(0), cy: bottom.py(e0), r: 5 }));
  $("figure-desc").textContent = `${pts.length} nodes from x = ${show(Math.min(...pts.map((q) => q.x)))} to ` +
    `${show(Math.max(...pts.map((q) => q.x)))}; p = ${show(p)}; the error at y = 0 is ${sci(p - root, 2)}.`;
}

function drawQuality() {
  const { p } = result;
  const r = calc.exp(-2.0 * p) - p;
  $("p").textContent = show(p);
  $("residual").textContent = `${show(r)} (${sci(r, 2)})`;
  $("root").textContent = `${show(root)} (Newton's method on e^(−2x) − x with the program's exp)`;
  $("error").textContent = sci(p - root, 2);
  $("relative").textContent = sci((p - root) / root, 1);
  $("slope").textContent = (-2.0 * root - 1.0).toFixed(3);
  const straddle = result.pts.some((q) => q.y > 0) && result.pts.some((q) => q.y < 0);
  $("quality-note").innerHTML = (straddle
    ? "The y<sub>k</sub> straddle 0: this is interpolation."
    : `<span class="extrapolation">Extrapolation:</span> the y<sub>k</sub> do not straddle 0, so y = 0 lies outside them.`) +
    ` The residual is f(p) ≈ f′(root)·(p − root) = ${sci((-2.0 * root - 1.0) * (p - root), 2)}.`;
}

function drawSummary() {
  const pts = result.pts;
  const own = pts.length === table.length && pts.every((q, k) => bitsOf(q.x) === bitsOf(table[k].x));
  const computed = pts.filter((q) => q.from === "computed").length;
  $("nodes-summary").textContent = (own ? "The program's own four nodes and its table of y_k. " :
    `${pts.length} nodes: ${pts.map((q) => show(q.x)).join(", ")}. `) +
    (computed ? `${computed} of the y_k computed with ${exps[state.exp].name}. ` : "") +
    `Every entry is computed by the program's own Qij, in the program's order.`;
  // The lesson: the program's table against both exponentials at its first
  // node.  There e^(-2x) - x is exact (Sterbenz), so y + x is the
  // exponential the table was made with.
  const x0 = table[0].x, e0 = table[0].y + x0, arg = -2.0 * x0;
  const ulps = (v, of) => Number(BigInt("0x" + bitsOf(v)) - BigInt("0x" + bitsOf(of)));
  const wasmE = calc.exp(arg), browserE = Math.exp(arg);
  const said = (e) => `${show(e)} (${ulps(e, e0)} ulp from it), hence y = ${show(e - x0)} ` +
    `(${ulps(e - x0, table[0].y)} ulp of y from the table's)`;
  $("exp-lesson").textContent = `At x = ${show(x0)} the program's table holds y = ${show(table[0].y)}, made from the ` +
    `correctly rounded e^(${show(arg)}) = ${show(e0)}. The program's own exp gives ${said(wasmE)}; ` +
    `the browser's Math.exp gives ${said(browserE)}. No standard requires exp to be correctly rounded, so a ` +
    `node's y can change with the exponential: that is why the program keeps its y_k as constants.`;
}

function render(s) {
  state = s;
  result = { pts: pointsFor(s.nodes, s.exp) };
  Object.assign(result, sweep(0.0, result.pts));
  shown = result.steps.length;
  $("nodes").value = s.nodes.map(show).join(", ");
  for (const radio of document.querySelectorAll('input[name="exp"]')) radio.checked = radio.value === s.exp;
  drawTableau();
  drawQuality();
  drawSummary();
  drawFigure();
}
function fail(message, text) {
  $("nodes-error").textContent = message + (state ? " The page still shows the last good nodes." : "");
  $("nodes").setAttribute("aria-invalid", "true");
  if (text !== undefined) $("nodes").value = text;
}
function clearError() {
  $("nodes-error").textContent = "";
  $("nodes").removeAttribute("aria-invalid");
}
function fromHash() {
  const s = stateFromHash();
  if (s.error) {
    if (!state) render({ ...defaultState });
    fail(s.error, s.text);
    return;
  }
  clearError();
  render(s);
}
function step(to) {
  shown = Math.max(0, Math.min(result.steps.length, to));
  drawSteps(true);
}

// --- wiring ---------------------------------------------------------------------------
const run = runProgram();
$("program-output").textContent = run.stdout + run.stderr;
$("exit-status").textContent = String(run.status);
fromHash();
$("step-first").addEventListener("click", () => step(0));
$("step-back").addEventListener("click", () => step(shown - 1));
$("step-forward").addEventListener("click", () => step(shown + 1));
$("step-last").addEventListener("click", () => step(Infinity));
$("tableau-section").addEventListener("keydown", (e) => {
  if (e.target.closest("input, textarea")) return;
  const to = { ArrowLeft: shown - 1, ArrowRight: shown + 1, Home: 0, End: Infinity }[e.key];
  if (to === undefined) return;
  e.preventDefault();
  step(to);
});
$("show-bits").addEventListener("change", (e) => $("tableau").classList.toggle("hide-bits", !e.target.checked));
$("tableau").classList.add("hide-bits");
$("experiment").addEventListener("submit", (e) => {
  e.preventDefault();
  const parsed = parseNodes($("nodes").value);
  if (parsed.error) return fail(parsed.error);
  const exp = document.querySelector('input[name="exp"]:checked').value;
  location.hash = hashOf({ nodes: parsed.xs, exp });
  fromHash(); // also when the fragment did not change
});
for (const radio of document.querySelectorAll('input[name="exp"]')) {
  radio.addEventListener("change", () => { location.hash = hashOf({ ...state, exp: radio.value }); });
}
$("reset").addEventListener("click", () => { location.hash = hashOf(defaultState); });
window.addEventListener("hashchange", fromHash);
performance.mark("inverse_neville:ready");
