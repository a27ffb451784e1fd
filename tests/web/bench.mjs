// How soon the learner's page is ready, beside an empty page loaded the
// same way in the same run, and what a key on a node's handle costs with 8
// nodes, in each browser: a measurement for the documentation, not a test.
// Run from the build tree's tests/web, after its npm ci:
//
//   node bench.mjs [--loads N] [--keys N] PAGE.html [OTHER.html ...]
//
// Several pages (an older build beside this one, say) are measured in the
// same run, their loads interleaved, so that they meet the same machine.
// Each load reads the performance mark "inverse_neville:ready" (the page
// sets it when its first screen is in place; the empty page at once), in
// milliseconds from the start of navigation; the first round only warms up.
// A page as many bytes as the first but one HTML comment with the mark after
// it shows what the bytes alone cost.  A key is one of 60 (or --keys)
// ArrowRight and ArrowLeft on the fourth node's handle, each from a settled
// frame: the page's own "inverse_neville:render" measure, the handler whole
// (what a keydown listener takes), and the handler with the style and
// layout it forces.

import { mkdtempSync, statSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";
import { pathToFileURL } from "node:url";
import { parseArgs } from "node:util";
import puppeteer from "puppeteer-core";
import { CHROMIUM_ARGS } from "./browsers.mjs";

const { values, positionals: pages } = parseArgs({
  options: { loads: { type: "string", default: "20" }, keys: { type: "string", default: "60" } },
  allowPositionals: true,
});
if (!pages.length) throw new Error("usage: node bench.mjs [--loads N] [--keys N] PAGE.html [OTHER.html ...]");
const dir = mkdtempSync(join(tmpdir(), "bench-")),
  empty = join(dir, "empty.html"),
  bytes = join(dir, "bytes.html");
const marked = (/** @type {string} */ title, body = "") =>
  `<!doctype html><html lang="en"><title>${title}</title>${body}<script>performance.mark("inverse_neville:ready")</script></html>\n`;
writeFileSync(empty, marked("empty"));
writeFileSync(
  bytes,
  marked("bytes", `<!--${" ".repeat(Math.max(0, statSync(pages[0]).size - marked("bytes", "<!---->").length))}-->`),
);
/** @type {["chrome" | "firefox", string, string[]][]} */
const browsers = [
  ["chrome", "/usr/bin/chromium", CHROMIUM_ARGS],
  ["firefox", "/usr/bin/firefox-esr", []],
];
const median = (/** @type {number[]} */ v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const ms = (/** @type {number} */ v) => `${v.toFixed(1)} ms`;
for (const [name, executablePath, args] of browsers) {
  const browser = await puppeteer.launch({ browser: name, executablePath, headless: true, args });
  const tab = await browser.newPage();
  const files = [...pages, empty, bytes];
  /** @type {Map<string, number[]>} */
  const times = new Map(files.map((f) => [f, []]));
  for (let k = 0; k <= Number(values.loads); k++)
    for (const file of files) {
      await tab.goto(pathToFileURL(file).href);
      await tab.waitForFunction(() => performance.getEntriesByName("inverse_neville:ready").length > 0);
      const ready = await tab.evaluate(() => performance.getEntriesByName("inverse_neville:ready")[0].startTime);
      if (k > 0) times.get(file)?.push(ready);
    }
  const e = median(times.get(empty) ?? []);
  console.log(
    `${name}: an empty page ready after ${ms(e)}; a comment of the page's size ${(median(times.get(bytes) ?? []) / e).toFixed(2)}x`,
  );
  for (const page of pages) {
    await tab.goto(`${pathToFileURL(page).href}#nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8`);
    await tab.waitForFunction(() => performance.getEntriesByName("inverse_neville:ready").length > 0);
    const keys = await tab.evaluate(async (count) => {
      /** @type {{render: number[], handler: number[], forced: number[]}} */
      const out = { render: [], handler: [], forced: [] };
      const settled = () => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
      await settled();
      for (let k = 0; k < count; k++) {
        const handle = document.querySelectorAll("#figure .handle")[3];
        if (!(handle instanceof SVGElement)) throw new Error("no handle 3 in the figure");
        handle.focus();
        await settled();
        const renders = performance.getEntriesByName("inverse_neville:render").length,
          start = performance.now();
        handle.dispatchEvent(new KeyboardEvent("keydown", { key: k % 2 ? "ArrowLeft" : "ArrowRight", bubbles: true }));
        const handled = performance.now();
        document.body.getBoundingClientRect();
        out.handler.push(handled - start);
        out.forced.push(performance.now() - start);
        out.render.push(
          ...performance
            .getEntriesByName("inverse_neville:render")
            .slice(renders)
            .map((m) => m.duration),
        );
      }
      return out;
    }, Number(values.keys));
    const p = median(times.get(page) ?? []);
    console.log(
      `  ${basename(page)}: ready after ${ms(p)} (median of ${values.loads}), ${(p / e).toFixed(2)}x the empty page's; ` +
        `a key: render ${ms(median(keys.render))}, handler ${ms(median(keys.handler))}, ` +
        `with its style and layout ${ms(median(keys.forced))} (medians of ${values.keys}, slowest ${ms(Math.max(...keys.forced))})`,
    );
  }
  await browser.close();
}
