// The many-digit table, computed after the render that showed its nodes:
// a step a task, so neither the first render nor a change of nodes waits
// for it, and a computation whose nodes are gone is dropped.  It follows
// the iteration from the nodes Iterate started from, so that its k is
// Iterate's k.  Each step's work is precise.js's; the table is drawn from
// the state.

import { show, theoreticalOrder } from "./core/numbers.js";
import { PRECISE, alike, prepare, steps } from "./core/precise.js";
import { LIMITS } from "./core/limits.js";
import { doublesStop, orderRows } from "./core/iterations.js";
import { computingText, noRootText, orderHeads, ordersCaption, ordersNote } from "./core/sentences/iterations.js";
import { WAITING } from "./core/sentences/predict.js";
import { whyNoRoot } from "./core/sentences/functions.js";
import { change, state } from "./state.js";
import { lastOf } from "./memo.js";
import { drawOrders } from "./iterations.js";

/** @typedef {import("./core/sweep.js").Model} Model */
/** @typedef {import("./core/precise.js").Row} Row */
/** @typedef {import("./iterations.js").TableView} TableView */

/**
 * The many-digit arithmetic of a function, found again only for another:
 * finding its root takes most of a short run's time.
 */
const arithmeticOf = lastOf(
  (/** @type {import("./core/expression.js").Tree} */ tree, /** @type {{hi: number}} */ root) =>
    prepare({ tree, root }, PRECISE.digits),
);

/**
 * The table for the state's starting nodes and exponential: drawn as it
 * stands, and computed, a step a task, where it is not yet theirs.
 * @param {TableView} v
 * @param {Model} m
 * @param {import("./core/functions.js").Fn} fn
 * @param {boolean} whole whether p may be shown: while it is to be predicted, so is its error
 */
export function scheduleOrders(v, m, fn, whole) {
  const { start: nodes, exp } = state,
    key = `${fn.text} ${exp} ${nodes.map(show).join()}`;
  if (key !== state.orders.key) {
    change({ orders: { key, nodes, rows: [], stop: null, doubles: null } }, "same");
    /** @type {Row[]} */
    const rows = [];
    /** @type {Generator<Row, import("./core/precise.js").Stop, void> | null} */
    let run = null;
    const next = () => {
      if (state.orders.key !== key || !fn.root) return;
      // the arithmetic, and the root in it, found in the first task, not in the render
      run ??= steps(nodes, {
        ...PRECISE,
        fn: { tree: fn.tree, root: fn.root },
        // a learner's f may take nodes anywhere, this arithmetic only near 0
        within: [Math.max(fn.interval[0], -LIMITS.far), Math.min(fn.interval[1], LIMITS.far)],
        arithmetic: arithmeticOf(fn.tree, fn.root),
      });
      const got = run.next();
      if (!got.done) {
        rows.push(got.value);
        setTimeout(next, 0);
        return;
      }
      change({ orders: { key, nodes, rows, stop: got.value, doubles: doublesStop(m, { nodes, exp, fn }) } }, "same");
      draw(v, fn, whole);
      performance.mark("inverse_neville:orders");
    };
    setTimeout(next, 0);
  }
  draw(v, fn, whole);
}

/**
 * The table as the state holds it: computed, or being computed; while p
 * is to be predicted, its rows wait; without a root, none.
 * @param {TableView} v
 * @param {import("./core/functions.js").Fn} fn
 * @param {boolean} whole
 */
function draw(v, fn, whole) {
  const { nodes, rows, stop, doubles } = state.orders,
    n = nodes.length,
    theory = theoreticalOrder(n),
    root = fn.root;
  drawOrders(v, {
    nodes,
    caption: ordersCaption(n, theory, PRECISE),
    heads: orderHeads(PRECISE.digits),
    rows: stop && doubles && whole && root ? orderRows(rows, doubles, root) : [],
    note: !root
      ? noRootText("kind" in fn.found ? whyNoRoot(fn.found) : "")
      : !whole
        ? WAITING
        : stop && doubles
          ? ordersNote(n, rows, stop, doubles, theory, { ...PRECISE, alike: alike(n, PRECISE.tolerance) })
          : computingText(PRECISE.digits),
    busy: Boolean(root) && !stop,
  });
}
