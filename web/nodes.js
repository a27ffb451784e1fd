// The nodes as a list under the figure, a button each to remove one: what
// a finger or a mouse can do without the keys a handle takes.

import { LIMITS } from "./core/limits.js";
import { FIGURE_REFUSED } from "./core/sentences/input.js";
import { removeLabel } from "./core/sentences/nodes.js";
import { $, h, join, set, text } from "./dom.js";

/** A "Remove" button for each node, marked as doing nothing, with the reason, where there are as few nodes as
 * there can be. @param {import("./core/sweep.js").Result} r */
export function drawNodeList(r) {
  const fewest = r.pts.length <= LIMITS.nodes[0];
  text($("node-list-why"), fewest ? FIGURE_REFUSED.fewestList : "");
  join(
    $("node-list"),
    r.pts,
    (_, k) => {
      const button = h("button", { type: "button", className: "remove" });
      button.dataset.k = String(k);
      return h("li", {}, button);
    },
    (li, q, k) => {
      const button = /** @type {HTMLElement} */ (li.firstElementChild);
      text(button, `✕ x${k}`);
      button.setAttribute("aria-label", removeLabel(k, q.x));
      // aria-disabled, not disabled: the focus stays, and the reason is read
      set(button, { "aria-disabled": String(fewest), "aria-describedby": fewest ? "node-list-why" : null });
    },
  );
}
