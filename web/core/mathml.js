// f as the page typesets it, beside the field it was typed in: MathML
// markup built from the parser's tree alone, every text in it escaped, so
// that a learner sees how the text was read (1/2x as ½x, e^-2x as e to the
// −2x, log as ln).  Nothing here touches the DOM.

/** @typedef {import("./expression.js").Tree} Tree */

/** @type {Record<string, string>} */
const ESCAPES = { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" };
const escaped = (/** @type {string} */ s) => s.replace(/[&<>"']/g, (c) => ESCAPES[c]);
const tag = (/** @type {string} */ name, /** @type {string} */ inner) => `<${name}>${inner}</${name}>`;
const mo = (/** @type {string} */ s) => tag("mo", escaped(s));
const mi = (/** @type {string} */ s) => tag("mi", escaped(s));
const row = (/** @type {string} */ inner) => tag("mrow", inner);
const parens = (/** @type {string} */ inner) => row(mo("(") + inner + mo(")"));

/** The names as a textbook sets them: the natural log as ln. */
const SET_AS = { log: "ln" };
/** U+2062 INVISIBLE TIMES, between factors set side by side; U+2061 FUNCTION APPLICATION, after a function's name. */
const TIMES = "\u2062",
  APPLY = "\u2061";

/**
 * f(x) = f, as MathML.
 * @param {Tree} t
 * @returns {string}
 */
export function mathml(t) {
  return tag("math", mi("f") + mo("(") + mi("x") + mo(")") + mo("=") + set(t));
}

/** Whether a tree is set as a sum, whose parts a product or a sign would need parenthesized. */
const isSum = (/** @type {Tree} */ t) => t.kind === "op" && (t.op === "+" || t.op === "-");
/** Whether a tree is set as one piece a power can raise: a number, a name, or a function applied but exp. */
const isAtom = (/** @type {Tree} */ t) =>
  t.kind === "num" || t.kind === "x" || t.kind === "const" || (t.kind === "call" && t.name !== "exp");
/**
 * Whether a tree, set, begins with a digit or is a fraction: a factor after another then needs its dot.
 * @param {Tree} t
 * @returns {boolean}
 */
function leadsWithNumber(t) {
  if (t.kind === "num") return true;
  if (t.kind === "op") return t.op === "/" || leadsWithNumber(t.left);
  return false;
}

/**
 * A tree as MathML, parenthesized only where the setting needs it.
 * @param {Tree} t
 * @returns {string}
 */
function set(t) {
  switch (t.kind) {
    case "num":
      return tag("mn", escaped(t.text));
    case "x":
      return mi("x");
    case "const":
      return mi(t.name === "pi" ? "π" : "e");
    case "neg":
      return row(mo("−") + (isSum(t.arg) || t.arg.kind === "neg" ? parens(set(t.arg)) : set(t.arg)));
    case "call": {
      if (t.name === "exp") return tag("msup", mi("e") + row(set(t.arg)));
      if (t.name === "sqrt") return tag("msqrt", set(t.arg));
      if (t.name === "abs") return row(mo("|") + set(t.arg) + mo("|"));
      const name = t.name in SET_AS ? SET_AS[/** @type {keyof typeof SET_AS} */ (t.name)] : t.name;
      return row(mi(name) + mo(APPLY) + parens(set(t.arg)));
    }
    case "op": {
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
  }
}
