// --- how good p is, Neville's estimate, the iteration, the exponential -------------

const nodeName = (k) => `x${k}`;
const NOISE = 16; // ulps of the root below which an error is rounding, not the method's
const SHARE = 0.1; // of p - root: where rounding's reach is worth a word
// How much of p - root one unit of rounding in each y can account for;
// none where p is at the root already, which the page says otherwise.
function roundingShare(r) {
  const e = Math.abs(r.p - root);
  return Number.isFinite(e) && Math.abs(ulpsFrom(r.p, root)) > NOISE ? roundingReach(r.pts, r.p) / e : 0;
}
// What coinciding nodes do, in words: which ones, and which denominator is 0.
function coincidenceText(r) {
  const [{ a, b }] = r.same, xa = r.pts[a].x, xb = r.pts[b].x;
  const who = xa === xb ? `${nodeName(a)} and ${nodeName(b)} are the same node, ${show(xa)}, so their y are equal`
    : `${nodeName(a)} = ${show(xa)} and ${nodeName(b)} = ${show(xb)} differ, but their y round to the same double, ${show(r.pts[a].y)}`;
  const more = r.same.length > 1 ? ` (and ${r.same.length - 1} more such pair${r.same.length > 2 ? "s" : ""})` : "";
  return `${who}${more}: y${b} − y${a} = 0 is the denominator of ${entryName(b, b - a)}. Qij divides by zero as IEEE arithmetic does (±Infinity, or ` +
    `NaN for 0/0), and every entry built on it, p among them, carries that on: nothing was interpolated or extrapolated.`;
}

function drawQuality(r) {
  const { p } = r, residual = calc.exp(-2.0 * p) - p;
  $("p").textContent = show(p);
  $("residual").textContent = `${show(residual)} (${sci(residual, 2)})`;
  $("root").textContent = `${show(root)} (0x${bitsOf(root)}, the double nearest W(2)/2)`;
  $("error").textContent = sci(p - root, 2);
  $("relative").textContent = sci((p - root) / root, 1);
  $("slope").textContent = (-2.0 * root - 1.0).toFixed(3);
  const note = $("quality-note");
  if (r.same.length) return note.replaceChildren(coincidenceText(r));
  if (!Number.isFinite(p)) return note.replaceChildren(`p is ${show(p)}: the sweep overflowed, and there is nothing to judge.`);
  const { share } = r;
  if (share >= SHARE) {
    const { a, b, gap } = closestPair(r.pts), e = p - root, units = Math.max(1, Math.round(gap));
    const moved = !Number.isFinite(share) ? "can make two y equal, and p infinite or NaN: rounding decides p here, not the method."
      : `can move p by up to ${sci(share * Math.abs(e), 2)}, ` + (share >= 1
        ? `more than p − root = ${sci(e, 2)} itself: rounding decides p here, not the method.`
        : `${Math.round(share * 100)} % of p − root = ${sci(e, 2)}: that error is the method's only to within as much.`);
    return note.replaceChildren(`One unit of rounding in each y ${moved}` +
      ` The closest nodes, ${nodeName(a)} = ${show(r.pts[a].x)} and ${nodeName(b)} = ${show(r.pts[b].x)}, have y${b} − y${a} = ` +
      `${sci(r.pts[b].y - r.pts[a].y, 2)}, about ${units} unit${units > 1 ? "s" : ""} of the rounding of the e⁻²ˣ and x ` +
      "each y is made of, and the sweep divides by such differences. Nodes further apart give a p worth judging.");
  }
  // a y within rounding of 0 says nothing of its side of the root
  const onRoot = r.pts.findIndex((q) => Math.abs(q.y) <= roundingOf(q));
  if (onRoot >= 0) {
    return note.replaceChildren(`y${onRoot} = ${show(r.pts[onRoot].y)} is within rounding of 0: ${nodeName(onRoot)} is the root ` +
      "as far as doubles can tell, and whether y = 0 lies inside the other y or outside them is for rounding to say.");
  }
  const straddle = r.pts.some((q) => q.y > 0) && r.pts.some((q) => q.y < 0);
  note.replaceChildren(straddle ? "The y" : h("span", { className: "extrapolation" }, "Extrapolation:"),
    ...(straddle ? [sub("k"), " straddle 0: this is interpolation."] : [" the y", sub("k"), " do not straddle 0, so y = 0 lies outside them."]),
    Math.abs(ulpsFrom(p, root)) <= NOISE
      ? " p is within rounding of the root: what is left of the residual is the rounding of exp and of the subtraction."
      : ` The residual is f(p) ≈ f′(root)·(p − root) = ${sci((-2.0 * root - 1.0) * (p - root), 2)}.`);
}

// The last corrections of the sweep, Neville's own measure of its error.
function drawEstimate(r) {
  const n = r.pts.length, Q = r.Q, p = r.p, e = p - root;
  const last = Math.abs(p - Q[n - 1][n - 2]), other = Math.abs(p - Q[n - 2][n - 2]);
  const box = $("estimate");
  if (!Number.isFinite(last) || !Number.isFinite(other) || !Number.isFinite(e)) {
    return box.replaceChildren("With a zero denominator in the sweep there is no estimate to give.");
  }
  const a = entryName(n - 1, n - 1), b = entryName(n - 1, n - 2), c = entryName(n - 2, n - 2);
  const off = Math.abs(ulpsFrom(p, root));
  let verdict;
  if (r.share >= 0.5) {
    verdict = "Rounding moves p by as much as the error (see above): these figures say nothing of the method.";
  } else if (off <= NOISE) {
    verdict = `p is ${off ? `within ${off} ulp${off > 1 ? "s" : ""} of` : "the double nearest"} the root: at this level the ` +
      "corrections and the error are rounding, and their ratio says nothing.";
  } else {
    const ratio = last / Math.abs(e), fmt = (x) => (x >= 10 ? x.toFixed(0) : x.toPrecision(2));
    verdict = ratio >= 1.5
      ? `Here the first is ${fmt(ratio)} times the true error: pessimistic. Each correction is what one more node ` +
        `changed, so it is about the error of a degree-${n - 2} polynomial; p, of degree ${n - 1}, is better than those.`
      : ratio <= 1 / 1.5
        ? `Here the first is ${fmt(1 / ratio)} times smaller than the true error: optimistic, as it can be where ` +
          "the corrections happen to be small."
        : "Here the first is about the true error.";
  }
  const through = (lo, hi) => (lo === hi ? `point ${lo}` : `points ${lo} … ${hi}`);
  box.replaceChildren(`The last two corrections of the sweep: |${a} − ${b}| = ${sci(last, 2)}, what node 0 added to ` +
    `the polynomial through the ${through(1, n - 1)}, and |${a} − ${c}| = ${sci(other, 2)}, what node ${n - 1} added to ` +
    `the one through the ${through(0, n - 2)}; against the true error p − root = ${sci(e, 2)}. ${verdict}`);
}

// The iterates p_0, p_1, ...: errors, digits, and the order of convergence.
function drawIterations(r) {
  const ps = state.iterates.length ? state.iterates : [r.p], n = r.pts.length;
  const theory = theoreticalOrder(n).toFixed(3), t = (k) => (k === 1 ? "t" : `t${superscript(k)}`);
  const terms = n <= 4 ? Array.from({ length: n - 1 }, (_, m) => t(n - 1 - m)).join(" + ") : `${t(n - 1)} + ${t(n - 2)} + … + t`;
  $("iterations-caption").textContent = `Iterates of ${n}-node inverse interpolation; the theoretical order for ` +
    `${n} nodes is ${theory}, the largest root of ${t(n)} = ${terms} + 1. Orders are estimated only from errors above ` +
    `${NOISE} ulps, where rounding does not decide them.`;
  const tbl = $("iterations");
  if (!tbl.tHead.rows.length) {
    tbl.tHead.append(h("tr", {}, ...["k", "p_k", "p_k − root", "ulps of the root", "correct digits", "f(p_k)",
      "estimated order", "theoretical order"].map((s) => h("th", { scope: "col" }, s))));
  }
  const f = exps[state.exp].fn, errs = ps.map((p) => p - root);
  tbl.tBodies[0].replaceChildren(...ps.map((p, k) => {
    const e = errs[k], digits = e === 0 ? "all" : Number.isFinite(e) ? String(Math.max(0, Math.floor(-Math.log10(Math.abs(e / root))))) : "–";
    let order = "–";
    if (k >= 2 && [ps[k], ps[k - 1], ps[k - 2]].every((v) => Number.isFinite(v) && Math.abs(ulpsFrom(v, root)) > NOISE)) {
      const num = Math.log(Math.abs(errs[k] / errs[k - 1])), den = Math.log(Math.abs(errs[k - 1] / errs[k - 2]));
      if (den !== 0) order = (num / den).toFixed(3);
    }
    return h("tr", {}, h("th", { scope: "row" }, String(k)), h("td", { className: "num" }, show(p)),
      h("td", { className: "num" }, sci(e, 2)), h("td", { className: "num" }, Number.isFinite(e) ? String(ulpsFrom(p, root)) : "–"),
      h("td", {}, digits), h("td", { className: "num" }, sci(f(-2.0 * p) - p, 2)), h("td", {}, order), h("td", {}, theory));
  }));
  const note = $("iterate-note");
  const lastTwo = ps.slice(-2);
  if (state.note) note.textContent = state.note;
  else if (lastTwo.length === 2 && Math.abs(ulpsFrom(lastTwo[1], lastTwo[0])) <= 2) {
    const apart = Math.abs(ulpsFrom(lastTwo[1], lastTwo[0]));
    note.textContent = `p${ps.length - 1} is ${apart ? `${apart} ulp${apart > 1 ? "s" : ""} from` : "the same as"} ` +
      `p${ps.length - 2}: the iteration has reached what double precision allows. Near the root f(p) is rounding noise ` +
      "(exp is itself off by up to about half an ulp), so the nodes' y no longer say on which side of the root they " +
      "lie: further steps move p by rounding, the more the more nodes there are, and cannot improve it.";
  } else note.textContent = "";
  $("iterate").setAttribute("aria-disabled", String(!Number.isFinite(r.p)));
}

function drawSummary(r) {
  const own = r.pts.length === table.length && r.pts.every((q, k) => bitsOf(q.x) === bitsOf(table[k].x));
  const computed = r.pts.filter((q) => !q.own).length;
  // a link that could not be used is said where the page begins, not only by the field
  const link = state.error && state.errorAt === "link" ? `This page's link could not be used: ${state.error} ` : "";
  $("nodes-summary").textContent = link + (own ? "The program's own four nodes and its table of y_k. "
    : `${r.pts.length} nodes: ${r.pts.map((q) => show(q.x)).join(", ")}. `) +
    (computed ? `${computed} of the y_k computed with ${exps[state.exp].name}. ` : "") +
    "Every entry is computed by the program's own Qij, in the program's order.";
}

// What the other exponential would change for these nodes: their y, and p.
function expEffect(r) {
  const computed = r.pts.filter((q) => !q.own);
  if (!computed.length) return "All these nodes are the program's own: their y come from its table, whichever exponential is chosen.";
  const other = state.exp === "wasm" ? "browser" : "wasm", pts = pointsFor(r.pts.map((q) => q.x), other);
  const differ = r.pts.flatMap((q, k) => (Object.is(q.y, pts[k].y) ? [] : [k]));
  const n = pts.length, p = sweep(0.0, pts)[n - 1][n - 1], of = computed.length > 1 ? `${computed.length} computed y` : "computed y";
  const ulps = (u) => `${u > 0 ? "+" : "−"}${Math.abs(u)} ulp${Math.abs(u) > 1 ? "s" : ""}`;
  if (!differ.length) return `For these nodes ${exps[other].name} gives the same ${of} as ${exps[state.exp].name}: the choice changes nothing here.`;
  const [k] = differ;
  return `For these nodes ${exps[other].name} would give a different y for ${differ.length} of the ${of}: at x = ` +
    `${show(r.pts[k].x)}, ${show(pts[k].y)} against ${show(r.pts[k].y)} here (${ulps(ulpsFrom(pts[k].y, r.pts[k].y))}), ` +
    (Object.is(p, r.p) ? "and p would be the same." : `and p would be ${show(p)}, ${ulps(ulpsFrom(p, r.p))} from this p.`);
}

// The lesson: the program's table against both exponentials at its first
// node.  There e^(-2x) - x is exact (Sterbenz), so y + x is the
// exponential the table was made with.
function expLesson() {
  const x0 = table[0].x, e0 = table[0].y + x0, arg = -2.0 * x0;
  const said = (e) => `${show(e)} (${ulpsFrom(e, e0)} ulp from it), hence y = ${show(e - x0)} ` +
    `(${ulpsFrom(e - x0, table[0].y)} ulp of y from the table's)`;
  return `At x = ${show(x0)} the program's table holds y = ${show(table[0].y)}, made from the ` +
    `correctly rounded e^(${show(arg)}) = ${show(e0)}. The program's own exp gives ${said(calc.exp(arg))}; ` +
    `the browser's Math.exp gives ${said(Math.exp(arg))}. No standard requires exp to be correctly rounded, so a ` +
    "node's y can change with the exponential: that is why the program keeps its y_k as constants.";
}
