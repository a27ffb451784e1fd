// f as the page typesets it beside its field: MathML from the parser's tree
// alone, every text escaped, so a learner sees how the text was read (1/2x
// as ½x, e^-2x as e to the −2x, log as ln).

/** @typedef {import("./expression.js").Tree} Tree */

/** @type {Record<string, string>} */
const ESCAPES = { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" };
const escaped = (/** @type {string} */ s) => s.replace(/[&<>"']/g, (c) => ESCAPES[c]);
const tag = (/** @type {string} */ name, /** @type {string} */ inner) => `<${name}>${inner}</${name}>`;
const mo = (/** @type {string} */ s) => tag("mo", escaped(s));
const mi = (/** @type {string} */ s) => tag("mi", escaped(s));
const row = (/** @type {string} */ inner) => tag("mrow", inner);
const parens = (/** @type {string} */ inner) => row(mo("(") + inner + mo(")"));

// INVISIBLE TIMES between factors side by side; FUNCTION APPLICATION after a function's name
const TIMES = "\u2062",
  APPLY = "\u2061";

/** f(x) = f, as MathML. */
export function mathml(/** @type {Tree} */ t) {
  return tag("math", mi("f") + mo("(") + mi("x") + mo(")") + mo("=") + set(t));
}

const isSum = (/** @type {Tree} */ t) => t.kind === "op" && (t.op === "+" || t.op === "-");
/** Whether a power can raise it unparenthesized. */
const isAtom = (/** @type {Tree} */ t) =>
  t.kind === "num" || t.kind === "x" || t.kind === "const" || (t.kind === "call" && t.name !== "exp");
/** @type {(t: Tree) => boolean} whether it begins with a digit or is a fraction: a factor before it needs a dot */
const leadsWithNumber = (t) => t.kind === "num" || (t.kind === "op" && (t.op === "/" || leadsWithNumber(t.left)));

/** @returns {string} */
function set(/** @type {Tree} */ t) {
  if (t.kind === "num") return tag("mn", escaped(t.text));
  if (t.kind === "x") return mi("x");
  if (t.kind === "const") return mi(t.name === "pi" ? "π" : "e");
  if (t.kind === "neg") return row(mo("−") + (isSum(t.arg) || t.arg.kind === "neg" ? parens(set(t.arg)) : set(t.arg)));
  if (t.kind === "call") {
    if (t.name === "exp") return tag("msup", mi("e") + row(set(t.arg)));
    if (t.name === "sqrt") return tag("msqrt", set(t.arg));
    if (t.name === "abs") return row(mo("|") + set(t.arg) + mo("|"));
    return row(mi(t.name === "log" ? "ln" : t.name) + mo(APPLY) + parens(set(t.arg)));
  }
  const { left, right } = t;
  if (t.op === "/") return tag("mfrac", row(set(left)) + row(set(right)));
  if (t.op === "^") return tag("msup", (isAtom(left) ? set(left) : parens(set(left))) + row(set(right)));
  if (t.op === "*") {
    const l = isSum(left) ? parens(set(left)) : set(left);
    const bare = !isSum(right) && right.kind !== "neg" && !(right.kind === "op" && right.op === "*");
    return row(l + mo(bare && leadsWithNumber(right) ? "·" : TIMES) + (bare ? set(right) : parens(set(right))));
  }
  const r = isSum(right) || right.kind === "neg" ? parens(set(right)) : set(right);
  return row(set(left) + mo(t.op === "+" ? "+" : "−") + r);
}
