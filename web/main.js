// The page's one script: in the page it draws the lesson; in a worker made
// from the same script it runs the slow analyses.

import { serve } from "./core/analyses.js";
import { startPage } from "./page.js";

if (typeof document === "undefined") serve(/** @type {any} */ (globalThis));
else startPage(document.currentScript?.textContent ?? "");
