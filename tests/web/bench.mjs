// How soon the learner's page is ready, beside an empty page loaded the
// same way in the same run, and how long a change of nodes takes with 8
// nodes, in each browser: a measurement for the documentation, not a test.
// Run from the build tree's tests/web, after its npm ci:
//
//   node bench.mjs PAGE.html [LOADS]
//
// Each load reads the performance mark "inverse_neville:ready" (the page
// sets it when its output, tableau and figure are in place; the empty page
// at once), in milliseconds from the start of navigation; the first load of
// each only warms up.  A third page, as many bytes as the learner's but one
// HTML comment with the mark after it, shows what the bytes alone cost.  A
// change of nodes is one key on a node's handle, timed by the page's own
// "inverse_neville:render" measure (the sweep, the tableau, the figure with
// all its curves, and the rest).

import { mkdtempSync, statSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";
import { CHROMIUM_ARGS } from "./browsers.mjs";

const [page, loads = "20"] = process.argv.slice(2);
const dir = mkdtempSync(join(tmpdir(), "bench-")),
  empty = join(dir, "empty.html"),
  bytes = join(dir, "bytes.html");
const marked = (/** @type {string} */ title, body = "") =>
  `<!doctype html><html lang="en"><title>${title}</title>${body}<script>performance.mark("inverse_neville:ready")</script></html>\n`;
writeFileSync(empty, marked("empty"));
writeFileSync(
  bytes,
  marked("bytes", `<!--${" ".repeat(Math.max(0, statSync(page).size - marked("bytes", "<!---->").length))}-->`),
);
/** @type {["chrome" | "firefox", string, string[]][]} */
const browsers = [
  ["chrome", "/usr/bin/chromium", CHROMIUM_ARGS],
  ["firefox", "/usr/bin/firefox-esr", []],
];
const median = (/** @type {number[]} */ v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
for (const [name, executablePath, args] of browsers) {
  const browser = await puppeteer.launch({ browser: name, executablePath, headless: true, args });
  const tab = await browser.newPage();
  const files = { page, empty, bytes };
  /** @type {Record<keyof typeof files, number[]>} */
  const times = { page: [], empty: [], bytes: [] };
  for (let k = 0; k <= Number(loads); k++) {
    /** @type {(keyof typeof files)[]} */
    const order = ["page", "empty", "bytes"];
    for (const which of order) {
      await tab.goto(pathToFileURL(files[which]).href);
      const ready = await tab.evaluate(() => performance.getEntriesByName("inverse_neville:ready")[0]?.startTime);
      if (k > 0) times[which].push(ready ?? NaN);
    }
  }
  await tab.goto(`${pathToFileURL(page).href}#nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8`);
  await tab.evaluate(() => {
    const handle = document.querySelectorAll("#figure .handle")[3];
    if (!(handle instanceof SVGElement)) throw new Error("no handle 3 in the figure");
    handle.focus();
  });
  const before = await tab.evaluate(() => performance.getEntriesByName("inverse_neville:render").length);
  for (let k = 0; k < 60; k++) await tab.keyboard.press(k % 2 ? "ArrowLeft" : "ArrowRight");
  const renders = await tab.evaluate(
    (n) =>
      performance
        .getEntriesByName("inverse_neville:render")
        .slice(n)
        .map((e) => e.duration),
    before,
  );
  await browser.close();
  const [p, e, b] = [median(times.page), median(times.empty), median(times.bytes)];
  console.log(
    `${name}: ready after ${p.toFixed(1)} ms (median of ${times.page.length} warm loads), an empty page after ` +
      `${e.toFixed(1)} ms: ${(p / e).toFixed(2)}x; a comment of the page's size after ${b.toFixed(1)} ms: ${(b / e).toFixed(2)}x; ` +
      `a change of 8 nodes drawn in ${median(renders).toFixed(1)} ms ` +
      `(median of ${renders.length}, slowest ${Math.max(...renders).toFixed(1)} ms)`,
  );
}
