// How soon the learner's page shows the program's two lines and its
// tableau after a warm load, in each browser: a measurement for the
// documentation, not a test.  Run from the build tree's tests/web, after
// its npm ci:
//
//   node bench.mjs PAGE.html [LOADS]
//
// Each load reads the page's own performance mark "inverse_neville:ready"
// (set when the output, the tableau and the figure are in place), in
// milliseconds from the start of navigation; the first load only warms up.

import { pathToFileURL } from "node:url";
import puppeteer from "puppeteer-core";

const [page, loads = "20"] = process.argv.slice(2);
const browsers = [["chrome", "/usr/bin/chromium", ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
  "--disable-component-update", "--disable-sync", "--no-first-run"]], ["firefox", "/usr/bin/firefox-esr", []]];
for (const [name, executablePath, args] of browsers) {
  const browser = await puppeteer.launch({ browser: name, executablePath, headless: true, args });
  const tab = await browser.newPage();
  const times = [];
  for (let k = 0; k <= Number(loads); k++) {
    await tab.goto(pathToFileURL(page).href);
    const ready = await tab.evaluate(() => performance.getEntriesByName("inverse_neville:ready")[0]?.startTime);
    if (k > 0) times.push(ready);
  }
  await browser.close();
  times.sort((a, b) => a - b);
  const at = (q) => times[Math.min(times.length - 1, Math.floor(q * times.length))].toFixed(1);
  console.log(`${name}: ${times.length} warm loads, ready after ${at(0)} ms (fastest), ${at(0.5)} ms (median), ` +
    `${at(0.9)} ms (90th percentile), ${at(1)} ms (slowest)`);
}
