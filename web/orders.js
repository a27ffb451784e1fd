// The many-digit table as the page shows it, from what the workers found
// for the state's starting nodes: its caption, heads, rows and note.

import { PRECISE, orderAt } from "./core/precise.js";
import { orderRows } from "./core/iterations.js";
import { computingText, noRootText, orderHeads, ordersCaption, ordersNote } from "./core/sentences/iterations.js";
import { WAITING } from "./core/sentences/predict.js";
import { whyNoRoot } from "./core/sentences/functions.js";

/** The table, found or being found (found null); its rows wait while p is to be predicted (pKnown false), as its
 * error is; without a root, none.
 * @param {import("./core/functions.js").Fn} fn @param {import("./state.js").Orders | null} found
 * @param {boolean} pKnown @param {number[]} nodes the nodes Iterate started from */
export function ordersTable(fn, found, pKnown, nodes) {
  const n = nodes.length,
    root = fn.root;
  return {
    nodes,
    caption: ordersCaption(n, PRECISE),
    heads: orderHeads(PRECISE.digits),
    rows: found?.stop && found.doubles && pKnown && root ? orderRows(found.rows, found.doubles, root) : [],
    note: !root
      ? noRootText("kind" in fn.found ? whyNoRoot(fn.found) : "")
      : !pKnown
        ? WAITING
        : found?.stop && found.doubles
          ? ordersNote(n, found.rows, found.stop, found.doubles, orderAt(n, fn.found), PRECISE)
          : computingText(PRECISE.digits),
    busy: Boolean(root) && !found?.stop,
  };
}
