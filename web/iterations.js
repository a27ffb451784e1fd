// Iterate's table, its note and its button, and the many-digit table of
// the orders of convergence beside the program's doubles: the core's rows
// and sentences, put in place.

import { iterationCells, orderCells } from "./core/sentences/iterations.js";
import { h, join, set, text } from "./dom.js";

/** @typedef {import("./core/iterations.js").IterationRow} IterationRow */
/** @typedef {import("./core/iterations.js").OrderRow} OrderRow */
/**
 * A table with a caption: where rows go, under heads drawn once.
 * @typedef {{table: HTMLTableElement, caption: HTMLElement, note: HTMLElement}} TableView
 */

/**
 * A table's heads (once) and rows, each row's first cell its header,
 * the cells of the numeric columns marked as numbers.
 * @param {HTMLTableElement} table
 * @param {string[]} heads
 * @param {{cells: string[], cls?: string}[]} rows
 * @param {boolean[]} numeric
 */
function fill(table, heads, rows, numeric) {
  const head = /** @type {HTMLTableSectionElement} */ (table.tHead);
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
        (c, s) => text(c, s),
      );
    },
  );
}

/**
 * Iterate's table: its rows, the words about them, and whether Iterate can
 * do no more (the note says why).
 * @typedef {{caption: string, heads: string[], rows: IterationRow[], note: string, done: boolean}} IterationTable
 */
/**
 * The iterates p_0, p_1, ...: errors, digits, and the order of convergence.
 * @param {TableView & {button: HTMLElement}} v
 * @param {IterationTable} what
 */
export function drawIterations(v, { caption, heads, rows, note, done }) {
  text(v.caption, caption);
  fill(
    v.table,
    heads,
    rows.map((row) => ({ cells: iterationCells(row) })),
    [false, true, true, true, false, true, false, false],
  );
  text(v.note, note);
  // aria-disabled, not disabled: the focus stays, and the reason is read with it
  set(v.button, { "aria-disabled": String(done), "aria-describedby": done ? v.note.id : null });
}

/**
 * The many-digit table: its caption and heads, a row a step (none while
 * they are computed), the row where the doubles stop marked, and the note.
 * @param {TableView} v
 * @param {{nodes: number[], caption: string, heads: string[], rows: OrderRow[], note: string, busy: boolean}} what
 */
export function drawOrders(v, { nodes, caption, heads, rows, note, busy }) {
  set(v.table, { "aria-busy": String(busy), "data-nodes": nodes.join() });
  text(v.caption, caption);
  fill(
    v.table,
    heads,
    rows.map((o) => ({ cells: orderCells(o), cls: o.stop ? "doubles-stop" : undefined })),
    [false, true, false, true],
  );
  text(v.note, note);
}
