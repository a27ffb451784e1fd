// --- the tableau and its stepper ----------------------------------------------------

// An element with properties or attributes and children (strings become text).
function h(tag, props = {}, ...children) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(props)) {
    if (k in e && k !== "role") e[k] = v;
    else e.setAttribute(k, v);
  }
  e.append(...children);
  return e;
}
const sub = (k) => h("sub", {}, String(k));
const entryName = (i, j) => `Q[${i}][${j}]`;

// One cell's content: the decimal, and the bits beneath it.
function fillNumber(td, x) {
  const [num, bits] = td.children;
  if (td.children.length === 2 && num.className === "num") {
    num.textContent = show(x);
    bits.textContent = `0x${bitsOf(x)}`;
  } else td.replaceChildren(h("span", { className: "num" }, show(x)), h("span", { className: "bits" }, `0x${bitsOf(x)}`));
}
function buildTableau(n) {
  const t = $("tableau");
  const head = h("tr", {}, ...["i", "y_i", ...Array.from({ length: n }, (_, j) => `Q[i][${j}]`)]
    .map((label) => h("th", { scope: "col" }, label)));
  t.tHead.replaceChildren(head);
  t.tBodies[0].replaceChildren(...Array.from({ length: n }, (_, i) => h("tr", {},
    h("th", { scope: "row" }, String(i)), h("td", { id: `y-${i}` }), h("td", { id: `q-${i}-0` }),
    ...Array.from({ length: n - 1 }, (_, j) => h("td", { id: `q-${i}-${j + 1}`, className: j + 1 <= i ? "" : "unused" })))));
  t.dataset.n = String(n);
}
function drawTableau(r) {
  const n = r.pts.length;
  if ($("tableau").dataset.n !== String(n)) buildTableau(n);
  for (const c of $("tableau").querySelectorAll(".reads, .new")) c.classList.remove("reads", "new");
  for (let i = 0; i < n; i++) {
    fillNumber($(`y-${i}`), r.pts[i].y);
    fillNumber($(`q-${i}-0`), r.pts[i].x);
  }
  r.steps.forEach(({ i, j }, k) => {
    const td = $(`q-${i}-${j}`);
    td.className = k < r.shown ? "" : "empty";
    if (k < r.shown) fillNumber(td, r.Q[i][j]);
    else if (td.textContent !== "not yet computed") td.replaceChildren(h("span", { className: "visually-hidden" }, "not yet computed"));
  });
  $("step-count").textContent = `${r.shown} of ${r.steps.length}`;
  // aria-disabled, not disabled: a disabled button would drop the focus
  for (const [id, off] of [["step-first", r.shown === 0], ["step-back", r.shown === 0],
    ["step-forward", r.shown === r.steps.length], ["step-last", r.shown === r.steps.length]]) {
    $(id).setAttribute("aria-disabled", String(off));
  }
  const rule = $("step-rule");
  if (r.shown === 0) {
    rule.replaceChildren(h("p", {}, "Column 0 holds the nodes: Q[i][0] = x", sub("i"), ". Step to compute the next entry."));
    return;
  }
  const { i, j } = r.steps[r.shown - 1];
  // negative numbers in parentheses, where a minus sign stands before them
  const paren = (x) => (x < 0 ? `(${show(x)})` : show(x));
  const y = (k) => paren(r.pts[k].y), hi = show(r.Q[i][j - 1]), lo = show(r.Q[i - 1][j - 1]);
  $(`q-${i}-${j}`).classList.add("new");
  for (const [a, b] of [[i, j - 1], [i - 1, j - 1]]) $(`q-${a}-${b}`).classList.add("reads");
  const zero = r.pts[i].y === r.pts[i - j].y;
  rule.replaceChildren(
    h("p", {}, `${entryName(i, j)} = ((0 − y`, sub(i - j), `) · ${entryName(i, j - 1)} − (0 − y`, sub(i),
      `) · ${entryName(i - 1, j - 1)}) / (y`, sub(i), " − y", sub(i - j), ")"),
      h("p", {}, `= ((0 − ${y(i - j)}) · ${hi} − (0 − ${y(i)}) · ${lo}) / (${show(r.pts[i].y)} − ${y(i - j)})`),
    h("p", {}, "= ", h("strong", { className: "num" }, show(r.Q[i][j])),
      ...(zero ? [": y", sub(i), " − y", sub(i - j), " = 0, a zero denominator, and Qij returns what IEEE " +
        "arithmetic gives (±Infinity, or NaN for 0/0)"]
        : Number.isFinite(r.Q[i][j]) ? [`, the polynomial of degree ${j} through the points ${i - j} … ${i}, at y = 0`]
          : [": an entry it reads is already not a number"])));
}
// What a step says to a screen reader.
function stepText(r) {
  if (r.shown === 0) return `Start: only the nodes, 0 of ${r.steps.length} entries.`;
  const { i, j } = r.steps[r.shown - 1];
  return `Step ${r.shown} of ${r.steps.length}: ${entryName(i, j)} = ${show(r.Q[i][j])}, ` +
    `from ${entryName(i, j - 1)} = ${show(r.Q[i][j - 1])} and ${entryName(i - 1, j - 1)} = ${show(r.Q[i - 1][j - 1])}.`;
}
// Keeps the new entry in the visible part of the tableau's scrolling box.
function revealStep(r) {
  if (r.shown === 0) return;
  const { i, j } = r.steps[r.shown - 1], box = $("tableau-scroll"), cell = $(`q-${i}-${j}`);
  const left = cell.getBoundingClientRect().left - box.getBoundingClientRect().left + box.scrollLeft;
  const right = left + cell.offsetWidth;
  if (left < box.scrollLeft) box.scrollLeft = left;
  else if (right > box.scrollLeft + box.clientWidth) box.scrollLeft = right - box.clientWidth;
}
