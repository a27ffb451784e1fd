// Iterate's table, its note and its button, and the many-digit table of
// the orders of convergence beside the doubles.

import { iterationCells, orderCells } from "./core/sentences/iterations.js";
import { $, h, join, set, text } from "./dom.js";

/** A table's heads (once) and rows, each row's first cell its header, the numeric columns' cells marked.
 * @param {string} id @param {string[]} heads @param {{cells: string[], cls?: string}[]} rows
 * @param {boolean[]} numeric */
function fill(id, heads, rows, numeric) {
  const table = /** @type {HTMLTableElement} */ ($(id)),
    head = /** @type {HTMLTableSectionElement} */ (table.tHead);
  if (!head.rows.length) head.append(h("tr", {}, ...heads.map((s) => h("th", { scope: "col" }, s))));
  join(
    table.tBodies[0],
    rows,
    () => h("tr"),
    (tr, { cells, cls }) => {
      set(tr, { class: cls ?? null });
      join(
        tr,
        cells,
        (_, k) => (k === 0 ? h("th", { scope: "row" }) : h("td", numeric[k] ? { className: "num" } : {})),
        text,
      );
    },
  );
}

/** Iterate's table: its rows, the words about them, and whether Iterate can do no more (the note says why).
 * @typedef {{caption: string, heads: string[], rows: import("./core/iterations.js").IterationRow[], note: string,
 *   done: boolean}} IterationTable */
/** @param {IterationTable} t */
export function drawIterations({ caption, heads, rows, note, done }) {
  text($("iterations-caption"), caption);
  fill(
    "iterations",
    heads,
    rows.map((row) => ({ cells: iterationCells(row) })),
    [false, true, true, false, true, false, false],
  );
  text($("iterate-note"), note);
  // aria-disabled, not disabled: the focus stays, and the reason is read with it
  set($("iterate"), { "aria-disabled": String(done), "aria-describedby": done ? "iterate-note" : null });
}

/** The many-digit table: a row a step (none while computed), the row where the doubles stop marked, and the note.
 * @param {{nodes: number[], caption: string, heads: string[], rows: import("./core/iterations.js").OrderRow[],
 *   note: string, busy: boolean}} t */
export function drawOrders({ nodes, caption, heads, rows, note, busy }) {
  set($("orders"), { "aria-busy": String(busy), "data-nodes": nodes.join() });
  text($("orders-caption"), caption);
  fill(
    "orders",
    heads,
    rows.map((o) => ({ cells: orderCells(o), cls: o.stop ? "doubles-stop" : undefined })),
    [false, true, false, true],
  );
  text($("orders-note"), note);
}
