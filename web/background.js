// The page's slow work off its input path: the bound on the interpolation
// error and the many-digit table, each computed in a worker of its own
// made from the page's own script (core/analyses.js answers there), once
// the input has settled (200 ms without a change, none while a node is
// dragged), and dropped, its worker ended, where the input changes again.
// Where no worker can be made, the work is done here, in a task of its
// own.

import { analyse } from "./core/analyses.js";

/** @typedef {import("./core/analyses.js").Job} Job */
/** @typedef {import("./core/analyses.js").Outcome} Outcome */
/** @typedef {{key: string, timer: number, worker: Worker | null, busy: boolean}} Slot */

/** How long the input must stay as it is before work starts, in ms. */
export const SETTLE = 200;

/**
 * The page's workers, one for each kind of job.
 * @param {string} script the page's own script
 * @param {(outcome: Outcome, key: string) => void} done what to do with an outcome still wanted
 */
export function background(script, done) {
  const url = URL.createObjectURL(new Blob([script], { type: "text/javascript" }));
  /** @type {Record<Job["kind"], Slot>} */
  const slots = {
    bound: { key: "", timer: 0, worker: null, busy: false },
    orders: { key: "", timer: 0, worker: null, busy: false },
  };
  /** @param {Slot} slot @param {string} key @param {Job} job */
  const start = (slot, key, job) => {
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
  };
  return {
    /**
     * The job for this key, after `delay` ms in which no other of its kind
     * is asked for; null: held, until asked again.
     * @param {string} key
     * @param {Job} job
     * @param {number | null} delay
     */
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
          start(slot, key, job);
        }, delay);
    },
  };
}
