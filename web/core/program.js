// The program itself, from the bytes of its .wasm: run as a console runs
// it, through a minimal WASI (preview 1) shim, and a second instance, never
// started, whose exports are the program's own Qij and exp.  Nothing here
// touches the DOM: Node runs it against the built .wasm as the page does.

/** @typedef {(t: number, xLo: number, xHi: number, qHi: number, qLo: number) => number} QijFn */
/**
 * @typedef {object} Program
 * @property {() => {stdout: string, stderr: string, status: number}} run the program, start to exit
 * @property {QijFn} Qij the program's own Qij
 * @property {(x: number) => number} exp the program's own exp (wasi-libc's)
 */

class Exit {
  constructor(/** @type {number} */ code) {
    this.code = code;
  }
}

/**
 * The seven calls the .wasm imports.  Standard output and error are
 * collected; there is no file system, no environment and no input.
 * @param {() => WebAssembly.Memory} memoryOf
 * @param {Record<number, Uint8Array[]>} streams
 */
function wasiImports(memoryOf, streams) {
  const EBADF = 8,
    ESPIPE = 70;
  const args = [new TextEncoder().encode("inverse_neville\0")];
  const view = () => new DataView(memoryOf().buffer);
  return {
    args_sizes_get(/** @type {number} */ argc, /** @type {number} */ size) {
      view().setUint32(argc, args.length, true);
      view().setUint32(
        size,
        args.reduce((n, a) => n + a.length, 0),
        true,
      );
      return 0;
    },
    args_get(/** @type {number} */ argv, /** @type {number} */ buf) {
      for (const a of args) {
        view().setUint32(argv, buf, true);
        new Uint8Array(memoryOf().buffer, buf, a.length).set(a);
        argv += 4;
        buf += a.length;
      }
      return 0;
    },
    fd_write(
      /** @type {number} */ fd,
      /** @type {number} */ iovs,
      /** @type {number} */ count,
      /** @type {number} */ written,
    ) {
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
    fd_fdstat_get(/** @type {number} */ fd, /** @type {number} */ stat) {
      if (!(fd in streams)) return EBADF;
      new Uint8Array(memoryOf().buffer, stat, 24).fill(0);
      view().setUint8(stat, 2); // a character device, as a console is
      return 0;
    },
    fd_seek: (/** @type {number} */ fd) => (fd in streams ? ESPIPE : EBADF),
    fd_close: (/** @type {number} */ fd) => (fd in streams ? 0 : EBADF),
    proc_exit(/** @type {number} */ code) {
      throw new Exit(code);
    },
  };
}

/**
 * The program from its .wasm's bytes, and the names its build exported
 * Qij and exp under (Qij's is C++'s mangled name).
 * @param {BufferSource} bytes
 * @param {{Qij: string, exp: string}} names
 * @returns {Program}
 */
export function loadProgram(bytes, names) {
  const module = new WebAssembly.Module(bytes);
  /** @param {Record<number, Uint8Array[]>} streams */
  const instantiate = (streams) => {
    /** @type {WebAssembly.Instance | null} */
    let instance = null;
    instance = new WebAssembly.Instance(module, {
      wasi_snapshot_preview1: wasiImports(
        () => /** @type {WebAssembly.Memory} */ (/** @type {WebAssembly.Instance} */ (instance).exports.memory),
        streams,
      ),
    });
    return instance.exports;
  };
  const calc = instantiate({});
  return {
    run() {
      /** @type {Record<number, Uint8Array[]>} */
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
