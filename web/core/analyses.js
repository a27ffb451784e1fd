// What takes longer than a frame, as plain data in and out for a worker:
// the bound on the interpolation error, and the iteration in many digits.

import { parse } from "./expression.js";
import { interpolationBound } from "./bound.js";
import { PRECISE, steps } from "./precise.js";
import { LIMITS } from "./limits.js";

/** @typedef {{kind: "bound", text: string, points: {x: number, y: number}[], root: import("./roots.js").DoubleDouble | null}
 *   | {kind: "orders", text: string, nodes: number[], root: number, interval: [number, number]}} Job */
/** @typedef {{kind: "bound", bound: import("./bound.js").Bound | import("./bound.js").NoBound}
 *   | {kind: "orders", rows: import("./precise.js").Row[], stop: import("./precise.js").Stop}} Outcome */

/** @param {Job} job @returns {Outcome} */
export function analyse(job) {
  const { tree } = parse(job.text);
  if (!tree) throw new Error("a job's f is one the page has read");
  if (job.kind === "bound") return { kind: "bound", bound: interpolationBound(tree, job.points, job.root) };
  const run = steps(job.nodes, {
    ...PRECISE,
    fn: { tree, root: { hi: job.root } },
    // a learner's f may take nodes anywhere, this arithmetic only near 0
    within: [Math.max(job.interval[0], -LIMITS.far), Math.min(job.interval[1], LIMITS.far)],
  });
  const rows = [];
  for (;;) {
    const next = run.next();
    if (next.done) return { kind: "orders", rows, stop: next.value };
    rows.push(next.value);
  }
}

/** A worker's side: each message a job, each answer its outcome with the job's id.
 * @param {{onmessage: ((e: MessageEvent) => void) | null, postMessage: (message: unknown) => void}} scope */
export function serve(scope) {
  scope.onmessage = (e) => scope.postMessage({ id: e.data.id, outcome: analyse(e.data.job) });
}
