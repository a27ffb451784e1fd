// The slow analyses (the error bound, the many-digit table) off the input
// path: each kind in a worker of its own, made from the page's own script,
// started once the input has settled and ended when it changes again.
// Where no worker can be made, the work is done here.

import { analyse } from "./core/analyses.js";

/** @typedef {import("./core/analyses.js").Job} Job */
/** @typedef {{key: string, timer: number, worker: Worker | null, busy: boolean}} Slot */
/** @returns {Slot} */
const idle = () => ({ key: "", timer: 0, worker: null, busy: false });

/** How long the input must stay as it is before work starts, in ms. */
export const SETTLE = 200;

/** @param {string} script the page's own script
 * @param {(outcome: import("./core/analyses.js").Outcome, key: string) => void} done for an outcome still wanted */
export function background(script, done) {
  const url = URL.createObjectURL(new Blob([script], { type: "text/javascript" }));
  /** @type {Record<Job["kind"], Slot>} */
  const slots = { bound: idle(), orders: idle() };
  return {
    /** The job for this key after `delay` ms in which no other of its kind is asked for; null holds it.
     * @param {string} key @param {Job} job @param {number | null} delay */
    ask(key, job, delay) {
      const slot = slots[job.kind];
      if (slot.key === key && (slot.timer || slot.busy || delay === null)) return;
      slot.key = key;
      clearTimeout(slot.timer);
      slot.timer = 0;
      if (slot.busy && slot.worker) {
        slot.worker.terminate();
        slot.worker = null;
        slot.busy = false;
      }
      if (delay !== null)
        slot.timer = setTimeout(() => {
          slot.timer = 0;
          if (!slot.worker) {
            try {
              slot.worker = new Worker(url);
            } catch {
              done(analyse(job), key);
              return;
            }
          }
          slot.busy = true;
          slot.worker.onmessage = (e) => {
            slot.busy = false;
            if (slot.key === key) done(e.data.outcome, key);
          };
          slot.worker.postMessage({ id: key, job });
        }, delay);
    },
  };
}
