// The program from its .wasm's bytes: run as a console runs it, through a
// minimal WASI (preview 1) shim, and a second instance, never started, whose
// exports are the program's own Qij and exp.

/** @typedef {Record<number, Uint8Array[]>} Streams */
/** @typedef {(t: number, xLo: number, xHi: number, qHi: number, qLo: number) => number} QijFn */
/**
 * @typedef {object} Program
 * @property {() => {stdout: string, stderr: string, status: number}} run start to exit
 * @property {QijFn} Qij
 * @property {(x: number) => number} exp wasi-libc's
 */

class Exit {
  constructor(/** @type {number} */ code) {
    this.code = code;
  }
}

/**
 * The seven calls the .wasm imports: standard output and error collected; no
 * file system, environment or input.  @returns {Record<string, (...a: number[]) => number>}
 */
function wasiImports(/** @type {() => WebAssembly.Memory} */ memoryOf, /** @type {Streams} */ streams) {
  const EBADF = 8,
    ESPIPE = 70;
  const arg = new TextEncoder().encode("inverse_neville\0");
  const view = () => new DataView(memoryOf().buffer);
  return {
    args_sizes_get(argc, size) {
      view().setUint32(argc, 1, true);
      view().setUint32(size, arg.length, true);
      return 0;
    },
    args_get(argv, buf) {
      view().setUint32(argv, buf, true);
      new Uint8Array(memoryOf().buffer, buf, arg.length).set(arg);
      return 0;
    },
    fd_write(fd, iovs, count, written) {
      if (!(fd in streams)) return EBADF;
      let n = 0;
      for (let k = 0; k < count; k++) {
        const base = view().getUint32(iovs + 8 * k, true),
          len = view().getUint32(iovs + 8 * k + 4, true);
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
    proc_exit(code) {
      throw new Exit(code);
    },
  };
}

/** names: what the build exported Qij (C++'s mangled name) and exp as.  @returns {Program} */
export function loadProgram(/** @type {BufferSource} */ bytes, /** @type {{Qij: string, exp: string}} */ names) {
  const module = new WebAssembly.Module(bytes);
  const instantiate = (/** @type {Streams} */ streams) => {
    /** @type {WebAssembly.Instance} */
    const instance = new WebAssembly.Instance(module, {
      wasi_snapshot_preview1: wasiImports(() => /** @type {WebAssembly.Memory} */ (instance.exports.memory), streams),
    });
    return instance.exports;
  };
  const calc = instantiate({});
  return {
    run() {
      /** @type {Streams} */
      const streams = { 1: [], 2: [] };
      const exports = instantiate(streams);
      let status = 0;
      try {
        /** @type {() => void} */ (exports._start)();
      } catch (e) {
        if (!(e instanceof Exit)) throw e;
        status = e.code;
      }
      const text = (/** @type {Uint8Array[]} */ chunks) =>
        new TextDecoder().decode(new Uint8Array(chunks.flatMap((c) => [...c])));
      return { stdout: text(streams[1]), stderr: text(streams[2]), status };
    },
    Qij: /** @type {QijFn} */ (calc[names.Qij]),
    exp: /** @type {(x: number) => number} */ (calc[names.exp]),
  };
}
