// The page's one script, bundled from this module.  In the page it draws
// the lesson (page.js); in a worker made from the same script it computes
// what takes longer than a frame (core/analyses.js), off the page's input
// path.

import { serve } from "./core/analyses.js";
import { startPage } from "./page.js";

if (typeof document === "undefined") serve(/** @type {any} */ (globalThis));
else startPage(document.currentScript?.textContent ?? "");
