// The many-digit table as the page shows it, from what the workers found
// for the state's starting nodes (or nothing yet): its caption, heads,
// rows and note in words.

import { theoreticalOrder } from "./core/numbers.js";
import { PRECISE } from "./core/precise.js";
import { orderRows } from "./core/iterations.js";
import { computingText, noRootText, orderHeads, ordersCaption, ordersNote } from "./core/sentences/iterations.js";
import { WAITING } from "./core/sentences/predict.js";
import { whyNoRoot } from "./core/sentences/functions.js";

/**
 * The table: found, or being found; while p is to be predicted, its rows
 * wait; without a root, none.
 * @param {import("./core/functions.js").Fn} fn
 * @param {import("./state.js").Orders | null} found for the state's nodes, or null while it is found
 * @param {boolean} whole whether p may be shown: while it is to be predicted, so is its error
 * @param {number[]} nodes the nodes Iterate started from
 */
export function ordersTable(fn, found, whole, nodes) {
  const n = nodes.length,
    theory = theoreticalOrder(n),
    root = fn.root;
  return {
    nodes,
    caption: ordersCaption(n, PRECISE),
    heads: orderHeads(PRECISE.digits),
    rows: found?.stop && found.doubles && whole && root ? orderRows(found.rows, found.doubles, root) : [],
    note: !root
      ? noRootText("kind" in fn.found ? whyNoRoot(fn.found) : "")
      : !whole
        ? WAITING
        : found?.stop && found.doubles
          ? ordersNote(n, found.rows, found.stop, found.doubles, theory, PRECISE)
          : computingText(PRECISE.digits),
    busy: Boolean(root) && !found?.stop,
  };
}
