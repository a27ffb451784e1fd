// The nodes as a list under the figure, a button each to remove one: what
// a finger or a mouse can do without the keys a handle takes.

import { show } from "./core/numbers.js";
import { LIMITS } from "./core/fragment.js";
import { h } from "./dom.js";

/** @typedef {import("./core/sweep.js").Result} Result */

/**
 * A "Remove" button for each node, marked as doing nothing, with the
 * reason, where there are as few nodes as there can be.
 * @param {{list: HTMLElement, why: HTMLElement}} v
 * @param {Result} r
 */
export function drawNodeList(v, r) {
  const fewest = r.pts.length <= LIMITS.nodes[0];
  v.why.textContent = fewest ? `${LIMITS.nodes[0]} nodes are the fewest: add one before removing another.` : "";
  v.list.replaceChildren(
    ...r.pts.map((q, k) => {
      const button = h("button", { type: "button", className: "remove" }, `Remove x${k} = ${show(q.x)}`);
      button.dataset.k = String(k);
      // aria-disabled, not disabled: the focus stays, and the reason is read
      button.setAttribute("aria-disabled", String(fewest));
      if (fewest) button.setAttribute("aria-describedby", v.why.id);
      return h("li", {}, button);
    }),
  );
}
