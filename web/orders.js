// The many-digit table, computed after the render that showed its nodes:
// a step a task, so neither the first render nor a change of nodes waits
// for it, and a computation whose nodes are gone is dropped.  It follows
// the iteration from the nodes Iterate started from, so that its k is
// Iterate's k.  Each step's work is precise.js's; the table is drawn from
// the state.

import { root, show, theoreticalOrder } from "./core/numbers.js";
import { PRECISE, steps } from "./core/precise.js";
import { doublesStop, orderRows } from "./core/iterations.js";
import { computingText, orderHeads, ordersCaption, ordersNote } from "./core/sentences/iterations.js";
import { WAITING } from "./core/sentences/predict.js";
import { change, state } from "./state.js";
import { drawOrders } from "./iterations.js";

/** @typedef {import("./core/sweep.js").Model} Model */
/** @typedef {import("./core/precise.js").Row} Row */
/** @typedef {import("./iterations.js").TableView} TableView */

/**
 * The table for the state's starting nodes and exponential: drawn as it
 * stands, and computed, a step a task, where it is not yet theirs.
 * @param {TableView} v
 * @param {Model} m
 * @param {boolean} whole whether p may be shown: while it is to be predicted, so is its error
 */
export function scheduleOrders(v, m, whole) {
  const { start: nodes, exp } = state,
    key = `${exp} ${nodes.map(show).join()}`;
  if (key !== state.orders.key) {
    change({ orders: { key, nodes, rows: [], stop: null, doubles: null } }, "same");
    const run = steps(nodes, PRECISE);
    /** @type {Row[]} */
    const rows = [];
    const next = () => {
      if (state.orders.key !== key) return;
      const got = run.next();
      if (!got.done) {
        rows.push(got.value);
        setTimeout(next, 0);
        return;
      }
      change({ orders: { key, nodes, rows, stop: got.value, doubles: doublesStop(m, { nodes, exp }) } }, "same");
      draw(v, whole);
      performance.mark("inverse_neville:orders");
    };
    setTimeout(next, 0);
  }
  draw(v, whole);
}

/**
 * The table as the state holds it: computed, or being computed; while p
 * is to be predicted, its rows wait.
 * @param {TableView} v
 * @param {boolean} whole
 */
function draw(v, whole) {
  const { nodes, rows, stop, doubles } = state.orders,
    n = nodes.length,
    theory = theoreticalOrder(n);
  drawOrders(v, {
    nodes,
    caption: ordersCaption(n, theory, PRECISE),
    heads: orderHeads(PRECISE.digits),
    rows: stop && doubles && whole ? orderRows(rows, doubles) : [],
    root,
    note: !whole
      ? WAITING
      : stop && doubles
        ? ordersNote(n, rows, stop, doubles, theory, PRECISE)
        : computingText(PRECISE.digits),
    busy: !stop,
  });
}
