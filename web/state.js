// --- the state and its fragment: #nodes=...&exp=... -------------------------------

// Everything the page shows follows from this one object; render() draws it.
const state = {
  nodes: programNodes,
  exp: "wasm",
  shown: Infinity, // steps of the sweep shown, clamped to their number
  iterates: [], // p_0, p_1, ... while Iterate builds on its own results
  error: "", // what was wrong with the last input; the state is the last good one
  errorAt: "field", // where it was given: the field, the link, or the figure
  note: "", // why Iterate did nothing
  field: null, // the text in the field, where it is not the nodes' own
  announce: null, // what the live region says after this render: a function of its result
};
const LIMITS = { nodes: [2, 8], text: 400 };

// A token as a message may quote it: short, whatever it was.
function quote(s) {
  return s.length <= 24 ? `“${s}”` : `“${s.slice(0, 20)}…” (${s.length} characters)`;
}
// The nodes of a typed or linked list, or what is wrong with it.
function parseNodes(text) {
  if (text.length > LIMITS.text) {
    return { error: `That is ${text.length} characters; ${LIMITS.nodes[1]} nodes need far fewer (at most ${LIMITS.text}).` };
  }
  const parts = text.split(",").map((s) => s.trim());
  if (parts.length === 1 && parts[0] === "") return { error: "Give 2 to 8 nodes, separated by commas." };
  const xs = [];
  for (const [k, s] of parts.entries()) {
    if (s === "") {
      return { error: k === parts.length - 1 ? "There is a comma after the last node: remove it."
        : k === 0 ? "There is a comma before the first node: remove it." : `There is nothing between comma ${k} and comma ${k + 1}.` };
    }
    if (!/^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(s)) return { error: `${quote(s)} is not a number.` };
    const x = Number(s);
    if (x === 0 && /[1-9]/.test(s.replace(/e.*$/i, ""))) {
      return { error: `${quote(s)} is too small for a double: it would be read as 0.` };
    }
    if (!(x >= 0 && x <= 1)) return { error: `Each node must lie in [0, 1]; ${quote(s)} does not.` };
    xs.push(x);
  }
  if (xs.length < LIMITS.nodes[0]) return { error: "One node makes no polynomial to interpolate with: give 2 to 8." };
  if (xs.length > LIMITS.nodes[1]) return { error: `${xs.length} nodes are too many here: give 2 to 8.` };
  return { xs };
}
// The fragment as key=value pairs, '+' kept as it is (it is not a form).
// A fragment without '=' is an anchor of the page's own, not a state.
function parseFragment(hash) {
  const text = hash.replace(/^#/, "");
  if (text === "") return { nodes: programNodes, exp: "wasm" };
  if (!text.includes("=")) return null;
  const fields = {};
  for (const pair of text.split("&")) {
    const at = pair.indexOf("="), key = pair.slice(0, at < 0 ? pair.length : at);
    let value;
    try {
      value = decodeURIComponent(at < 0 ? "" : pair.slice(at + 1));
    } catch {
      return { error: `The link's ${quote(key)} is not valid percent-encoding.`, text: pair };
    }
    if (!["nodes", "exp"].includes(key)) {
      return { error: `The link holds ${quote(key)}; this page reads only nodes= and exp=.` };
    }
    fields[key] = value;
  }
  if (fields.exp !== undefined && !Object.hasOwn(exps, fields.exp)) {
    return { error: `The link's exp, ${quote(fields.exp)}, is neither “wasm” nor “browser”.`, text: fields.nodes };
  }
  const parsed = fields.nodes === undefined ? { xs: programNodes } : parseNodes(fields.nodes);
  if (parsed.error) return { error: parsed.error, text: fields.nodes };
  return { nodes: parsed.xs, exp: fields.exp ?? "wasm" };
}
function hashOf(nodes, exp) {
  return "#nodes=" + nodes.map(show).join(",") + (exp === "browser" ? "&exp=browser" : "");
}
