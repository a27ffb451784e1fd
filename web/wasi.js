// The learner's page runs inverse_neville's own WebAssembly through a
// minimal WASI (preview 1) shim, then fills Neville's tableau, the figure
// and the error with the program's own compiled Qij and exp.  Nothing here
// computes what the .wasm can: the page orders calls, lays out and formats.
// The sources are one script, assembled in this order: wasi.js (the
// program and its exports), numbers.js (bits, the sweep, the true root,
// axes), state.js (the state and its fragment), tableau.js, figure.js,
// experiment.js (the figures, the estimate, the iteration) and main.js
// (render and the wiring).

const $ = (id) => document.getElementById(id);
const data = JSON.parse($("program-data").textContent);
// the stripped .wasm, in base64
function wasmBytes() {
  const text = $("program-wasm").textContent.trim();
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
  const bin = atob(text), bytes = new Uint8Array(bin.length);
  for (let k = 0; k < bin.length; k++) bytes[k] = bin.charCodeAt(k);
  return bytes;
}
const wasmModule = new WebAssembly.Module(wasmBytes());

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

