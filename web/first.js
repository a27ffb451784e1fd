// The first screen, as the page's build made it: the idea's picture and the
// program's output, written into the page by the same code against the same
// program (cmake/web-first-screen.mjs), so that the page shows them at once;
// the page's script runs the program again and says whether it agrees.
// This runs as soon as they are parsed: it takes the output out again where
// the link asks for each entry to be predicted first (the output holds p),
// and marks the page ready where the first screen holds nothing else.

import { switchedOn } from "./core/switches.js";

if (switchedOn(location.hash, "predict"))
  /** @type {HTMLElement} */ (document.getElementById("program-output")).textContent = "";
const main = document.querySelector("main"),
  program = /** @type {HTMLElement} */ (document.getElementById("program-section"));
// one column (the style's), and the tableau below the window: the rest of the page is out of sight
if (main && getComputedStyle(main).display !== "grid" && program.getBoundingClientRect().bottom >= innerHeight)
  performance.mark("inverse_neville:ready");
