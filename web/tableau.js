// The tableau and its stepper: the entries made so far, the two a step
// reads and the one it makes marked, and the step's rule.

import { bitsOf, showTo } from "./core/numbers.js";
import { shownStep } from "./core/sweep.js";
import { NOT_YET, stepCount, stepRule, tableauHeads } from "./core/sentences/step.js";
import { TO_PREDICT } from "./core/sentences/predict.js";
import { $, h, join, say, svgOf, text } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */

/** A cell's decimal, to the digits chosen, and its bits beneath it. */
function fillNumber(/** @type {HTMLElement} */ td, /** @type {number} */ x, /** @type {number} */ digits) {
  const [num, bits] = [showTo(x, digits), `0x${bitsOf(x)}`];
  if (td.children.length === 2 && td.children[0].className === "num")
    [num, bits].forEach((t, k) => text(td.children[k], t));
  else td.replaceChildren(h("span", { className: "num" }, num), h("span", { className: "bits" }, bits));
}
function buildTableau(/** @type {HTMLTableElement} */ t, /** @type {number} */ n) {
  const head = h("tr", {}, ...tableauHeads(n).map((label) => h("th", { scope: "col" }, label)));
  /** @type {HTMLTableSectionElement} */ (t.tHead).replaceChildren(head);
  t.tBodies[0].replaceChildren(
    ...Array.from({ length: n }, (_, i) =>
      h(
        "tr",
        {},
        h("th", { scope: "row" }, String(i)),
        h("td", { id: `y-${i}` }),
        ...Array.from({ length: n }, (_, j) => h("td", { id: `q-${i}-${j}`, className: j <= i ? "" : "unused" })),
      ),
    ),
  );
  t.dataset.n = String(n);
}

/** The tableau of r, the steps shown filled in: digits 0 shows all, and only the first known steps' entries
 * may be shown (the others are predicted first).
 * @param {Result} r @param {{digits: number, showBits: boolean, known: number}} how */
export function drawTableau(r, { digits, showBits, known }) {
  const n = r.pts.length,
    t = /** @type {HTMLTableElement} */ ($("tableau"));
  if (t.dataset.n !== String(n)) buildTableau(t, n);
  t.classList.toggle("hide-bits", !showBits);
  const cell = (/** @type {string} */ id) => /** @type {HTMLElement} */ (t.querySelector(`#${id}`));
  for (let i = 0; i < n; i++) {
    fillNumber(cell(`y-${i}`), r.pts[i].y, digits);
    fillNumber(cell(`q-${i}-0`), r.pts[i].x, digits);
  }
  // the step's entry, and the two it combines in the colours of their curves and points on the line at y = 0
  const s = shownStep(r);
  /** @type {Record<string, string>} */
  const marks = s
    ? {
        [`q-${s.i}-${s.j}`]: "new",
        [`q-${s.i}-${s.j - 1}`]: "reads role-hi",
        [`q-${s.i - 1}-${s.j - 1}`]: "reads role-lo",
      }
    : {};
  for (let i = 0; i < n; i++) cell(`q-${i}-0`).className = marks[`q-${i}-0`] ?? "";
  r.steps.forEach(({ i, j }, k) => {
    const td = cell(`q-${i}-${j}`),
      cls = marks[td.id] ?? (k < r.shown ? "" : "empty");
    if (td.className !== cls) td.className = cls;
    const hidden = k >= known ? TO_PREDICT : NOT_YET;
    if (k < r.shown && k < known) fillNumber(td, r.Q[i][j], digits);
    else if (td.textContent !== hidden) td.replaceChildren(h("span", { className: "visually-hidden" }, hidden));
  });
  text($("step-count"), stepCount(r));
  // aria-disabled, not disabled: a disabled button would drop the focus.  Predicting, no step beyond the entry
  // to predict, and no end before every entry is revealed.
  const atStart = r.shown === 0,
    atEnd = r.shown === r.steps.length || r.shown > known;
  const off = { first: atStart, back: atStart, forward: atEnd, last: atEnd || known < r.steps.length };
  for (const [b, o] of Object.entries(off)) $(`step-${b}`).setAttribute("aria-disabled", String(o));
  join($("step-rule"), stepRule(r, s, { hidden: r.shown > known, digits }), () => h("p"), say);
}

/** Keeps the step's cells whole in view in the tableau's scrolling box, beside the row headers that stay at its
 * left; where not all three fit, the entry made; at the start, the table's start.  No number is left cut in two
 * beside the headers, where a minus sign would be lost: of the scrolls that put a column's edge at theirs, the
 * nearest, whatever scroll the box had (one the browser clamped as the table narrowed, say), so that the table
 * moves least, with room given beyond the table where it could not scroll that far. @param {Result} r */
export function revealStep(r) {
  const box = $("tableau-scroll");
  box.style.paddingInlineEnd = "";
  const table = /** @type {HTMLElement} */ (box.firstElementChild);
  // the y held beside the row headers where the step's cells fit beside them; else scrolled with the rest
  table.classList.remove("y-scrolls");
  const first = placed(box, r);
  const plan = first && !first.all ? (table.classList.add("y-scrolls"), placed(box, r) ?? first) : first;
  if (!plan || Math.abs(plan.to - box.scrollLeft) <= 1) return;
  const most = box.scrollWidth - box.clientWidth;
  if (plan.to > most) box.style.paddingInlineEnd = `${Math.ceil(plan.to - most)}px`;
  box.scrollLeft = plan.to;
}

/** Where the tableau's box is to be scrolled to for the step's cells, and whether all three fit.
 * @param {HTMLElement} box @param {Result} r */
function placed(box, r) {
  const made = /** @type {HTMLElement | null} */ (box.querySelector("td.new"));
  const cells = [...box.querySelectorAll("td.new, td.reads")];
  if (!cells.length || r.pts.length === 0) return { to: 0, all: true };
  const row = /** @type {HTMLTableRowElement} */ (cells[0].parentElement),
    origin = box.getBoundingClientRect().left - box.scrollLeft;
  // where a cell lies in the box's scrolled content
  const spanOf = (/** @type {Element} */ c) => {
    const b = c.getBoundingClientRect();
    return [b.left - origin, b.right - origin];
  };
  const spans = cells.map(spanOf);
  const left = Math.min(...spans.map(([a]) => a)),
    right = Math.max(...spans.map(([, b]) => b));
  // the row's header, and its y where held, stay in view at the left, over what scrolls beneath them
  const held = [...row.children].slice(0, 2).filter((c) => getComputedStyle(c).position === "sticky"),
    head = held.reduce((w, c) => w + /** @type {HTMLElement} */ (c).offsetWidth, 0);
  const width = box.clientWidth,
    now = box.scrollLeft;
  // the scrolls that put a column's edge at the headers' (a pixel either way, as layout rounds)
  const edges = [...row.querySelectorAll("td")]
    .filter((td) => !held.includes(td))
    .map((td) => Math.max(0, td.getBoundingClientRect().left - origin - head));
  const shows = (/** @type {number} */ a, /** @type {number} */ b) => (/** @type {number} */ x) =>
    a >= x + head - 1 && b <= x + width + 1;
  const [madeLeft, madeRight] = made ? spanOf(made) : [left, right];
  const all = edges.filter(shows(left, right)),
    fitting = all.length ? all : edges.filter(shows(madeLeft, madeRight));
  const nearest = fitting.reduce((a, b) => (Math.abs(b - now) < Math.abs(a - now) ? b : a), Infinity);
  return { to: Number.isFinite(nearest) ? nearest : Math.max(0, madeLeft - head), all: all.length > 0 };
}

/** Keeps the step's entry in view in the triangle's box, which on a narrow screen is narrower than it. */
export function revealEntry() {
  const svg = svgOf("triangle");
  const box = svg.parentElement;
  const entry = svg.querySelector("text.role-new");
  if (!box || !entry || box.scrollWidth <= box.clientWidth) return;
  const b = entry.getBoundingClientRect(),
    edge = box.getBoundingClientRect(),
    margin = b.width;
  if (b.left - margin < edge.left) box.scrollLeft += b.left - margin - edge.left;
  else if (b.right + margin > edge.right) box.scrollLeft += b.right + margin - edge.right;
}
