// --- render and the wiring ----------------------------------------------------------

let result = null; // what the state gives: its points, tableau and steps
let lastHash = null; // the fragment last read or written

function compute(s) {
  const pts = pointsFor(s.nodes, s.exp), Q = sweep(0.0, pts), steps = stepsOf(pts.length);
  const r = { pts, Q, steps, p: Q[pts.length - 1][pts.length - 1], same: coincidences(pts), shown: Math.min(s.shown, steps.length) };
  return { ...r, share: roundingShare(r) };
}
// The one place the page is drawn, all of it from the state.
function render() {
  const start = performance.now();
  result = compute(state);
  drawTableau(result);
  $("tableau").classList.toggle("hide-bits", !$("show-bits").checked);
  drawFigure(result);
  drawQuality(result);
  drawEstimate(result);
  drawIterations(result);
  drawSummary(result);
  $("exp-effect").textContent = expEffect(result);
  const text = state.field ?? state.nodes.map(show).join(", ");
  if ($("nodes").value !== text) $("nodes").value = text;
  const inField = state.error && state.errorAt !== "figure"; // a link's text goes to the field
  const kept = state.nodes === programNodes ? "The page shows the program's own nodes." : "The page still shows the last good nodes.";
  $("nodes-error").textContent = inField ? `${state.error} ${kept}` : "";
  $("figure-error").textContent = state.error && !inField ? `${state.error} The nodes stay as they were.` : "";
  if (inField) $("nodes").setAttribute("aria-invalid", "true");
  else $("nodes").removeAttribute("aria-invalid");
  for (const radio of document.querySelectorAll('input[name="exp"]')) radio.checked = radio.value === state.exp;
  if (state.announce) $("announce").textContent = state.announce(result);
  performance.measure("inverse_neville:render", { start });
}
const said = (r) => `p = ${show(r.p)}` + (Number.isFinite(r.p - root) ? `, ${sci(r.p - root, 2)} from the root.` : ".");

// A new state, written to the fragment ("push": a history entry of its
// own; "replace": the current one, as while dragging; "none").
function update(changes, how) {
  Object.assign(state, { error: "", errorAt: "field", note: "", announce: null, field: null }, changes);
  if (how !== "none") {
    const hash = hashOf(state.nodes, state.exp);
    if (hash !== location.hash) history[how === "push" ? "pushState" : "replaceState"]({ iterates: state.iterates }, "", hash);
  }
  lastHash = location.hash;
  render();
}
// An input that cannot be used: said, and nothing else changes.
function refuse(error, field = state.field, errorAt = "field") {
  update({ nodes: state.nodes, exp: state.exp, error, field, errorAt }, "none");
}
// Nodes from a drag, a key, Add or Delete, checked as typed ones are.
function tryNodes(xs, how, changes) {
  const parsed = parseNodes(xs.map(show).join(","));
  if (parsed.error) return refuse(parsed.error, null, "figure");
  if (xs.every((x, k) => Object.is(x, state.nodes[k])) && xs.length === state.nodes.length) return false;
  update({ nodes: xs, iterates: [], ...changes }, how);
  return true;
}
function fromLocation() {
  if (location.hash === lastHash) return;
  lastHash = location.hash;
  const s = parseFragment(location.hash);
  if (s === null) return; // an anchor
  if (s.error) return refuse(s.error, s.text ?? null, "link");
  update({ nodes: s.nodes, exp: s.exp, shown: Infinity, iterates: history.state?.iterates ?? [] }, "none");
}
function step(to) {
  update({ shown: Math.max(0, Math.min(result.steps.length, to)), field: state.field, announce: stepText }, "none");
  revealStep(result);
}

// --- the controls
const run = runProgram();
$("program-output").textContent = run.stdout + run.stderr;
$("exit-status").textContent = String(run.status);
$("exp-lesson").textContent = expLesson();
// The figure's width: the widest where the window is wide enough for it,
// else measured, once, before the first render.
figureWidth = matchMedia("(min-width: 800px)").matches ? 720 : Math.min(720, $("figure-box").clientWidth || 720);
fromLocation();
if (result === null) render();

$("skip").addEventListener("click", (e) => {
  e.preventDefault();
  $("tableau-section").focus();
  $("tableau-section").scrollIntoView();
});
$("step-first").addEventListener("click", () => step(0));
$("step-back").addEventListener("click", () => step(result.shown - 1));
$("step-forward").addEventListener("click", () => step(result.shown + 1));
$("step-last").addEventListener("click", () => step(Infinity));
$("tableau-section").addEventListener("keydown", (e) => {
  if (e.target.closest("input, textarea, select, #tableau-scroll") || e.altKey || e.ctrlKey || e.metaKey) return;
  const to = { ArrowLeft: result.shown - 1, ArrowRight: result.shown + 1, Home: 0, End: Infinity }[e.key];
  if (to === undefined) return;
  e.preventDefault();
  step(to);
});
$("show-bits").addEventListener("change", () => $("tableau").classList.toggle("hide-bits", !$("show-bits").checked));
$("nodes").addEventListener("input", () => { state.field = $("nodes").value; });
$("experiment").addEventListener("submit", (e) => {
  e.preventDefault();
  const parsed = parseNodes($("nodes").value);
  if (parsed.error) return refuse(parsed.error, $("nodes").value);
  update({ nodes: parsed.xs, shown: Infinity, iterates: [], announce: (r) => `Interpolated ${r.pts.length} nodes: ${said(r)}` }, "push");
});
for (const radio of document.querySelectorAll('input[name="exp"]')) {
  radio.addEventListener("change", () => update({ exp: radio.value, iterates: [], field: state.field,
    announce: (r) => `Now ${exps[radio.value].name}. ${expEffect(r)} p = ${show(r.p)}.` }, "push"));
}
$("reset").addEventListener("click", () => {
  update({ nodes: programNodes, shown: Infinity, iterates: [], announce: (r) => `The program's own nodes: ${said(r)}` }, "push");
});
$("iterate").addEventListener("click", () => {
  const p = result.p, k = Math.max(1, state.iterates.length);
  // a step refused is said, as a step taken is
  const refused = (note) => update({ note, announce: () => `Iterate refused: ${note}` }, "none");
  if (!Number.isFinite(p)) return refused(`p is ${show(p)}: there is nothing to iterate with.`);
  const xs = [...state.nodes.slice(1), p], next = compute({ ...state, nodes: xs });
  if (!Number.isFinite(next.p) || next.same.length) {
    const at = state.nodes.indexOf(p);
    return refused(`The next step would take p = ${show(p)} as a node, but ` + (at >= 0 ? `it is node ${at} already` :
      "its y is the y of a node already there") + ": a zero denominator, and p would be NaN. The iteration has reached " +
      "what double precision allows; the page keeps the last good nodes.");
  }
  update({ nodes: xs, iterates: [...(state.iterates.length ? state.iterates : [p]), next.p], shown: Infinity,
    announce: (r) => `Iterate ${k}: ${said(r)}` }, "push");
});
$("add-node").addEventListener("click", () => {
  const xs = state.nodes;
  if (xs.length >= LIMITS.nodes[1]) return refuse(`${LIMITS.nodes[1]} nodes are the most here.`, state.field, "figure");
  // into the middle of the widest gap between neighbours
  const sorted = [...xs].sort((a, b) => a - b);
  let at = Math.min(1, sorted[sorted.length - 1] + 0.05), widest = 0;
  for (let k = 1; k < sorted.length; k++) {
    if (sorted[k] - sorted[k - 1] > widest) { widest = sorted[k] - sorted[k - 1]; at = (sorted[k] + sorted[k - 1]) / 2; }
  }
  tryNodes([...xs, Math.round(at * 1000) / 1000], "push",
    { shown: Infinity, announce: (r) => `A node added at x = ${show(r.pts.at(-1).x)}: ${said(r)}` });
});

// --- the nodes in the figure: pointer and keys
const handles = $("figure").querySelector(".handles");
let drag = null, keyed = false;
function moveNode(k, x, how, announce = null) {
  return tryNodes(state.nodes.map((v, m) => (m === k ? x : v)), how, { shown: state.shown, announce });
}
const nodeSaid = (k) => (r) => `Node ${k} at x = ${show(r.pts[k].x)}: ${said(r)}`;
handles.addEventListener("pointerdown", (e) => {
  const hdl = e.target.closest(".handle");
  if (!hdl || e.button !== 0) return;
  e.preventDefault();
  hdl.setPointerCapture(e.pointerId);
  hdl.focus();
  frozen = topRanges(result);
  drag = { k: Number(hdl.dataset.k), id: e.pointerId, x: null, frame: 0, moved: false };
});
function dragFrame() {
  drag.frame = 0;
  if (moveNode(drag.k, drag.x, drag.moved ? "replace" : "push")) drag.moved = true;
}
handles.addEventListener("pointermove", (e) => {
  if (!drag || e.pointerId !== drag.id) return;
  drag.x = xAt(e.clientX);
  if (!drag.frame) drag.frame = requestAnimationFrame(dragFrame);
});
function endDrag(e) {
  if (!drag || e.pointerId !== drag.id) return;
  if (drag.frame) { cancelAnimationFrame(drag.frame); dragFrame(); }
  const { k } = drag;
  drag = null;
  frozen = null;
  update({ announce: nodeSaid(k) }, "none");
}
handles.addEventListener("pointerup", endDrag);
handles.addEventListener("pointercancel", endDrag);
handles.addEventListener("keydown", (e) => {
  const hdl = e.target.closest(".handle");
  if (!hdl) return;
  const k = Number(hdl.dataset.k), x = state.nodes[k], fine = e.shiftKey ? 0.001 : 0.01;
  const to = { ArrowLeft: x - fine, ArrowDown: x - fine, ArrowRight: x + fine, ArrowUp: x + fine,
    PageUp: x + 0.1, PageDown: x - 0.1, Home: 0, End: 1 }[e.key];
  if (e.key === "Delete" || e.key === "Backspace") {
    e.preventDefault();
    if (state.nodes.length <= LIMITS.nodes[0]) return refuse(`${LIMITS.nodes[0]} nodes are the fewest there can be.`, state.field, "figure");
    tryNodes(state.nodes.filter((_, m) => m !== k), "push", { shown: Infinity, announce: (r) => `Node ${k} removed: ${said(r)}` });
    handles.children[Math.min(k, state.nodes.length - 1)].focus();
    return;
  }
  if (to === undefined) return;
  e.preventDefault();
  // the slider says its own value; the live region, what it did to p
  if (moveNode(k, Number(to.toPrecision(12)), keyed ? "replace" : "push", nodeSaid(k))) keyed = true;
});

// keys on one handle, while it keeps the focus, make one history entry
document.addEventListener("focusin", () => { keyed = false; });
window.addEventListener("hashchange", fromLocation);
window.addEventListener("popstate", fromLocation);
// The figure is drawn at the width it is shown, so that its text keeps its
// size on a phone; measured here, never while drawing.
let laidOut = false;
new ResizeObserver(([entry]) => {
  const width = Math.min(720, Math.round(entry.contentRect.width)); // the widest it is drawn
  if (width && width !== figureWidth) {
    figureWidth = width;
    render();
  }
  // once laid out: the last entry shown, on a phone as on a desktop
  if (!laidOut) revealStep(result);
  laidOut = true;
}).observe($("figure-box"));
performance.mark("inverse_neville:ready");
