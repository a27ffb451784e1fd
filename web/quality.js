// How good p is, Neville's own estimate, the iterates, and what the
// exponential changes: the core's sentences and rows, put in place.

import {
  qualityNote,
  estimateText,
  iterationsCaption,
  iterationRows,
  iterateNote,
  ITERATION_HEADS,
} from "./core/sentences.js";
import { ORDER_HEADS, PRECISE, orderRows, ordersCaption, ordersNote } from "./core/orders.js";
import { bitsOf, root, sci, show } from "./core/numbers.js";
import { h, rich } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */
/** @typedef {import("./core/precise.js").Row} Row */
/** @typedef {import("./core/precise.js").Stop} Stop */
/** @typedef {import("./core/orders.js").DoublesStop} DoublesStop */
/**
 * What the orders table is drawn into.
 * @typedef {{table: HTMLTableElement, caption: HTMLElement, note: HTMLElement}} OrdersView
 */

/**
 * The figures of p, and what they mean.
 * @param {Record<"p" | "residual" | "root" | "error" | "relative" | "slope" | "note", HTMLElement>} v
 * @param {Result} r
 * @param {(x: number) => number} exp the program's own
 */
export function drawQuality(v, r, exp) {
  const { p } = r,
    residual = exp(-2.0 * p) - p;
  v.p.textContent = show(p);
  v.residual.textContent = `${show(residual)} (${sci(residual, 2)})`;
  v.root.textContent = `${show(root)} (0x${bitsOf(root)}, the double nearest W(2)/2)`;
  v.error.textContent = sci(p - root, 2);
  v.relative.textContent = sci((p - root) / root, 1);
  v.slope.textContent = (-2.0 * root - 1.0).toFixed(3);
  v.note.replaceChildren(...rich(qualityNote(r)));
}

/** Neville's own estimate of p's error, against the true one. */
export function drawEstimate(/** @type {HTMLElement} */ box, /** @type {Result} */ r) {
  box.textContent = estimateText(r);
}

/**
 * The iterates p_0, p_1, ...: errors, digits, and the order of convergence.
 * @param {{table: HTMLTableElement, caption: HTMLElement, note: HTMLElement, button: HTMLElement}} v
 * @param {number[]} ps
 * @param {Result} r
 * @param {(x: number) => number} exp the exponential chosen
 * @param {string} note why Iterate did nothing, if it did not
 */
export function drawIterations(v, ps, r, exp, note) {
  const n = r.pts.length;
  v.caption.textContent = iterationsCaption(n);
  const head = /** @type {HTMLTableSectionElement} */ (v.table.tHead);
  if (!head.rows.length) head.append(h("tr", {}, ...ITERATION_HEADS.map((s) => h("th", { scope: "col" }, s))));
  const numeric = [false, true, true, true, false, true, false, false];
  v.table.tBodies[0].replaceChildren(
    ...iterationRows(ps, n, exp).map(([k, ...cells]) =>
      h(
        "tr",
        {},
        h("th", { scope: "row" }, k),
        ...cells.map((c, m) => h("td", numeric[m + 1] ? { className: "num" } : {}, c)),
      ),
    ),
  );
  v.note.textContent = iterateNote(ps, note);
  v.button.setAttribute("aria-disabled", String(!Number.isFinite(r.p)));
}

/**
 * The orders table while it is computed for these nodes: its caption, no rows yet.
 * @param {OrdersView} v
 * @param {number[]} nodes
 */
export function startOrders(v, nodes) {
  v.table.setAttribute("aria-busy", "true");
  v.table.dataset.nodes = nodes.join();
  v.caption.textContent = ordersCaption(nodes.length);
  const head = /** @type {HTMLTableSectionElement} */ (v.table.tHead);
  if (!head.rows.length) head.append(h("tr", {}, ...ORDER_HEADS.map((s) => h("th", { scope: "col" }, s))));
  v.table.tBodies[0].replaceChildren();
  v.note.textContent = `Computing in ${PRECISE.digits} digits…`;
}

/**
 * The orders table, computed: a row a step, the doubles' stop marked, and why both ended.
 * @param {OrdersView} v
 * @param {number} n
 * @param {Row[]} rows
 * @param {Stop} stop
 * @param {DoublesStop} doubles
 */
export function drawOrders(v, n, rows, stop, doubles) {
  v.table.tBodies[0].replaceChildren(
    ...orderRows(rows, doubles).map(({ cells: [k, ...cells], stop: here }) =>
      h(
        "tr",
        here ? { className: "doubles-stop" } : {},
        h("th", { scope: "row" }, k),
        ...cells.map((c, m) => h("td", m === 1 ? {} : { className: "num" }, c)),
      ),
    ),
  );
  v.note.textContent = ordersNote(n, rows, stop, doubles);
  v.table.setAttribute("aria-busy", "false");
}
