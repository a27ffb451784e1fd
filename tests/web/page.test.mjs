// The learner's page in a real browser, opened from file:// as a learner
// opens it (and once over http), driven over the browser's own protocol by
// puppeteer-core, checked with axe-core and fuzzed with fast-check:
//
//   node page.test.mjs --browser chrome|firefox --executable PATH --page PAGE.html
//        --wasm PROGRAM.wasm --recorded recorded.tsv --out DIR
//
// What the page must show comes from the table of recorded values (the two
// lines, the tableau's bits, the Qij cases, the root) and from the .wasm
// itself, run here in Node: every p the page shows is checked against a
// sweep through that .wasm's own Qij and exp.  Prints "SKIPPED:" where the
// browser, puppeteer-core or a recent enough browser is missing; exits 1
// on any failure.

import { existsSync, mkdirSync, readFileSync, rmSync, statSync } from "node:fs";
import { createServer } from "node:http";
import { pathToFileURL } from "node:url";
import { parseArgs } from "node:util";
import { CHROMIUM_ARGS } from "./browsers.mjs";
import { doublesIterated, fromBits, readRecorded, same, wasmSweep } from "./recorded.mjs";

const { values: opt } = parseArgs({
  options: Object.fromEntries(
    ["browser", "executable", "page", "wasm", "recorded", "out"].map((name) => [name, { type: "string" }]),
  ),
});
// The oldest browsers these tests were run in and passed: Debian 12's and
// 13's Chromium and Firefox ESR with their security updates.
const NEEDS = { chrome: 156, firefox: 153 };
let puppeteer, axeSource, fc;
try {
  puppeteer = (await import("puppeteer-core")).default;
  fc = (await import("fast-check")).default;
  axeSource = readFileSync(new URL("node_modules/axe-core/axe.min.js", import.meta.url), "utf8");
} catch (e) {
  console.log(
    `SKIPPED: no puppeteer-core, fast-check or axe-core beside this script (npm ci in its directory): ${e.message}`,
  );
  process.exit(0);
}
if (!existsSync(opt.executable)) {
  console.log(`SKIPPED: no browser at ${opt.executable} (Debian: chromium, firefox-esr)`);
  process.exit(0);
}

const recorded = readRecorded(opt.recorded);
const { exp: wasmExp, pOf } = wasmSweep(opt.wasm, recorded);
const programX = recorded.nodes.map((n) => n.x);

// --- the browser ---------------------------------------------------------------------
const failures = [];
const started = Date.now();
function check(ok, what) {
  if (!ok) failures.push(what);
  console.log(`${ok ? "ok  " : "FAIL"} [${((Date.now() - started) / 1000).toFixed(1)} s] ${what}`);
}
// the page's downloads go here, without asking
const downloads = `${opt.out}/downloads-${opt.browser}`;
rmSync(downloads, { recursive: true, force: true });
mkdirSync(downloads, { recursive: true });
const launch = (prefs) =>
  puppeteer.launch({
    browser: opt.browser,
    executablePath: opt.executable,
    headless: true,
    protocolTimeout: 300000,
    args: opt.browser === "chrome" ? CHROMIUM_ARGS : [],
    downloadBehavior: { policy: "allow", downloadPath: downloads },
    extraPrefsFirefox: {
      "browser.download.dir": downloads,
      "browser.download.folderList": 2,
      "browser.download.useDownloadDir": true,
      "browser.download.always_ask_before_handling_new_types": false,
      ...prefs,
    },
  });
const browser = await launch();
const version = await browser.version();
const major = Number(/\/(\d+)/.exec(version)?.[1]);
if (!(major >= NEEDS[opt.browser])) {
  await browser.close();
  console.log(
    `SKIPPED: ${version} is older than the ${opt.browser === "chrome" ? "Chromium" : "Firefox"} ${NEEDS[opt.browser]} these tests need`,
  );
  process.exit(0);
}
console.log(`browser: ${version}`);
const problems = [];
let darkFirefox = null; // Firefox is dark only by a preference, at launch
const server = createServer((req, res) => {
  served.push(req.url);
  if (req.url.split("?")[0] === "/page.html") {
    res.writeHead(200, { "content-type": "text/html; charset=utf-8" });
    res.end(readFileSync(opt.page));
  } else {
    res.writeHead(404);
    res.end();
  }
});
const served = [];
try {
  let page = await browser.newPage();
  const watch = (p) => {
    p.on("console", (m) => {
      if (m.type() === "error") problems.push(`console error: ${m.text()}`);
    });
    p.on("pageerror", (e) => problems.push(`uncaught: ${e.message ?? e}`));
    p.on("request", (r) => {
      if (!/^(file|data|blob):/.test(r.url()) && !r.url().startsWith("http://127.0.0.1"))
        problems.push(`network request: ${r.url()}`);
    });
  };
  watch(page);
  const url = pathToFileURL(opt.page).href;
  const text = (sel, p = page) => p.$eval(sel, (e) => e.textContent);
  // the program run, and a frame drawn after the first layout
  const ready = async (p = page) => {
    await p.waitForFunction(() => document.getElementById("exit-status").textContent !== "not run");
    await p.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
  };
  // a load of its own each time: a change of fragment alone is another path
  const open = async (hash, p = page) => {
    await p.goto("about:blank");
    await p.goto(`${url}#${hash}`);
    await ready(p);
  };
  // node k dragged dx pixels by the mouse, in steps as a hand moves
  const dragBy = async (p2, k, dx) => {
    const hdl = (await p2.$$("#figure .handle"))[k];
    await hdl.scrollIntoView();
    const box = await hdl.boundingBox(),
      [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
    await p2.mouse.move(x, y);
    await p2.mouse.down();
    for (let d = 5; d <= dx; d += 5) await p2.mouse.move(x + d, y);
    await p2.mouse.up();
  };
  const shownNodes = () => page.$eval("#nodes", (e) => e.value.split(",").map(Number));
  const pIs = async (xs, what) => {
    const shown = Number(await text("#p")),
      want = pOf(xs);
    check(same(shown, want), `${what}: p = ${shown}, a sweep through the .wasm gives ${want}`);
  };

  await page.setViewport({ width: 1280, height: 900 });
  await open("");
  check(statSync(opt.page).size <= 150 * 1024, `the page is ${statSync(opt.page).size} bytes, at most 150 KB`);
  check((await text("#program-output")) === recorded.lines, "the program's two lines, verbatim");
  check((await text("#exit-status")) === "0", "its exit status, 0");

  // A first visit walks through from the start; a link opens at its step, else at the end.
  const stepper = () =>
    page.evaluate(() => [
      document.getElementById("step-count").textContent,
      document.getElementById("step-forward").getAttribute("aria-disabled"),
      document.querySelectorAll("#tableau td.empty").length,
    ]);
  check(
    (await stepper()).join() === "0 of 6,false,6" && (await text("#step-rule")).startsWith("Column 0 holds the nodes"),
    `a first visit: ${(await stepper()).join(", ")}, Step ready`,
  );
  for (const [hash, want] of [
    ["nodes=0.3,0.4,0.5,0.6&step=2", "2 of 6,false,4"],
    ["nodes=0.3,0.4,0.5,0.6", "6 of 6,true,0"],
  ]) {
    await open(hash);
    check((await stepper()).join() === want, `#${hash}: ${(await stepper()).join(", ")}`);
  }
  await open("");
  await page.click("#step-last");

  // The tableau and the figures, against the table and the .wasm.
  await page.click("#show-bits");
  for (const { i, j, bits } of recorded.entries) {
    const shown = await text(`#q-${i}-${j} .bits`),
      num = await text(`#q-${i}-${j} .num`);
    check(shown === `0x${bits}` && num === String(fromBits(bits)), `Q[${i}][${j}] = ${num} ${shown}`);
  }
  const p = fromBits(recorded.entries.at(-1).bits),
    root = fromBits(recorded.root);
  const figures = {
    root: `0x${recorded.root}`,
    error: (p - root).toExponential(2),
    relative: ((p - root) / root).toExponential(1),
    slope: (-2 * root - 1).toFixed(3),
    residual: (wasmExp(-2.0 * p) - p).toExponential(2),
  };
  for (const [id, want] of Object.entries(figures))
    check((await text(`#${id}`)).includes(want), `#${id} shows ${want}`);
  // Each term explained where it first appears: its first mention on the
  // page is a link to its entry in the words used here.
  const terms = {
    "term-ulp": "\\bulps?\\b",
    "term-w2": "W\\(2\\)/2",
    "term-qij": "\\bQij\\b",
    "term-wasm": "WebAssembly",
    "term-extrapolation": "xtrapolat",
    "term-order": "orders? of convergence",
  };
  const firsts = await page.evaluate((terms) => {
    const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, (t) =>
        t.parentElement.closest("script") ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
      ),
      out = {};
    for (let t = walk.nextNode(); t; t = walk.nextNode()) {
      for (const [id, re] of Object.entries(terms)) {
        if (!(id in out) && new RegExp(re, "i").test(t.textContent)) {
          out[id] = t.parentElement.closest("a")?.getAttribute("href") ?? t.parentElement.outerHTML.slice(0, 80);
        }
      }
    }
    return {
      out,
      entries: Object.keys(terms).filter(
        (id) => document.getElementById(id)?.nextElementSibling?.textContent.length > 40,
      ),
    };
  }, terms);
  check(
    Object.keys(terms).every((id) => firsts.out[id] === `#${id}`) && firsts.entries.length === 6,
    `each term's first mention links to its explanation: ${JSON.stringify(firsts.out)}`,
  );

  // By keyboard: the skip link into the tableau, then its steps.
  await page.focus("#skip");
  await page.keyboard.press("Enter");
  check(
    (await page.evaluate(() => document.activeElement.id)) === "tableau-section",
    "the skip link puts the focus in the tableau's section",
  );
  const figureAtEnd = await page.$eval("#figure .plot", (g) => g.innerHTML);
  await page.keyboard.press("Home");
  check((await text("#announce")).startsWith("Start"), "Home: back to the start");
  for (const [k, { i, j, bits }] of recorded.entries.entries()) {
    await page.keyboard.press("ArrowRight");
    const said = await text("#announce"),
      marked = await page.$$eval("#tableau .reads, #tableau .new", (cs) =>
        cs
          .map((c) => c.id)
          .sort()
          .join(),
      );
    check(
      said.startsWith(`Step ${k + 1} of 6: Q[${i}][${j}] = ${fromBits(bits)},`) &&
        marked === [`q-${i - 1}-${j - 1}`, `q-${i}-${j - 1}`, `q-${i}-${j}`].sort().join(),
      `→ announces ${said}, marks ${marked}`,
    );
    if (k === 0) {
      const legend = await text("#legend"),
        plot = await page.$eval("#figure .plot", (g) => g.innerHTML);
      check(
        legend.includes("Q[1][1]") && legend.includes("secant") && plot !== figureAtEnd,
        "step 1: the figure draws Q[1][1]'s secant line, not the end's cubic",
      );
    }
  }
  check(
    (await page.$eval("#step-forward", (b) => b.getAttribute("aria-disabled"))) === "true",
    "the last step: no further step",
  );
  await page.focus("#tableau-scroll");
  await page.keyboard.press("ArrowLeft");
  check((await text("#step-count")) === "6 of 6", "← in the tableau's scrolling box scrolls it, and steps nothing");
  await page.focus("#step-back");
  for (let k = 5; k >= 0; k--) await page.keyboard.press("ArrowLeft");
  check(
    (await page.$$eval("#tableau td.empty", (cells) => cells.length)) === 6,
    "← six times: every entry empty again",
  );
  await page.keyboard.press("End");

  // One colour a role: the entry a step makes and the two it combines, alike
  // in the tableau, the curves and the line at y = 0; both panels in the
  // sense of x; the nodes named.
  await open("nodes=0.3,0.4,0.5,0.6&step=3");
  const roles = await page.evaluate(() => {
    const style = (sel) => getComputedStyle(document.querySelector(sel));
    const colours = (cell, curve, point) => [style(cell).outlineColor, style(curve).stroke, style(point).fill];
    const cx = (sel) => [...document.querySelectorAll(sel)].map((c) => c.getBoundingClientRect().x);
    return {
      cells: ["q-2-2", "q-2-1", "q-1-1"].map((id) => document.getElementById(id).className).join(),
      colours: [
        colours("#q-2-2", "#figure .poly", "#zoom circle.zoom-new"),
        colours("#q-2-1", "#figure .poly-hi", "#zoom circle.zoom-hi"),
        colours("#q-1-1", "#figure .poly-lo", "#zoom circle.zoom-lo"),
      ],
      labels: [...document.querySelectorAll("#zoom .zoom-label")]
        .map((t) => t.textContent)
        .sort()
        .join(),
      title: [...document.querySelectorAll("#zoom .title")].map((t) => t.textContent).join(" "),
      names: [...document.querySelectorAll("#figure .node-label")].map((t) => t.textContent).join(),
      handles: cx("#figure .handle .dot"),
      marks: cx("#figure .node-mark"),
    };
  });
  const rising = (xs) => xs.every((x, k) => k === 0 || x > xs[k - 1]);
  check(
    roles.cells === "new,reads role-hi,reads role-lo" &&
      roles.colours.every(([a, b, c]) => a === b && b === c) &&
      new Set(roles.colours.map(([a]) => a)).size === 3,
    `step 3: Q[2][2], Q[2][1], Q[1][1] in one colour each, in the tableau, the curves and at y = 0: ${roles.colours.map((c) => c[0]).join("; ")}`,
  );
  check(
    roles.labels === "Q[1][1],Q[2][1],Q[2][2]" && roles.title.endsWith("= 0.6532 · Q[2][1] + 0.3468 · Q[1][1]"),
    `the line at y = 0: ${roles.labels}, "${roles.title}"`,
  );
  check(
    roles.names === "x0,x1,x2,x3" && rising(roles.handles) && roles.marks.length === 3 && rising(roles.marks),
    `the nodes named ${roles.names}, left to right in both panels`,
  );

  // Nodes of one's own: the fragment and the field, good and bad.
  const experiments = [
    [0.3, 0.4],
    [0.2, 0.35, 0.5, 0.65, 0.8],
    [1, 0.5],
    [0, 1],
    [0.3, 0.3],
    [0.3, 0.4, 0.3],
    [0, 1e-20],
    [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8],
  ];
  const fragments = { "1e+0,0.5": [1, 0.5] };
  for (const xs of experiments) fragments[xs.join(",")] = xs;
  for (const [hash, xs] of Object.entries(fragments)) {
    await open(`nodes=${hash}`);
    await pIs(xs, `#nodes=${hash}`);
  }
  // What the other exponential would change: as many y as differ between
  // the .wasm's exp here and the browser's Math.exp, by bits.
  const spread = [0.05, 0.15, 0.25, 0.35, 0.384, 0.45, 0.55, 0.65];
  await open(`nodes=${spread.join(",")}`);
  const browserExp = await page.evaluate((xs) => xs.map((x) => Math.exp(-2.0 * x) - x), spread);
  const differ = spread.filter((x, k) => !same(wasmExp(-2.0 * x) - x, browserExp[k])).length;
  let effect = await text("#exp-effect");
  check(
    differ ? effect.includes(`different y for ${differ} of the 8 computed`) : effect.includes("the same 8 computed y"),
    `the other exponential: ${differ} of 8 y differ, and the page says "${effect.slice(0, 100)}…"`,
  );
  await page.click('input[name="exp"][value="browser"]');
  effect = await text("#exp-effect");
  check(
    (await text("#announce")).startsWith("Now the browser's Math.exp.") && effect.includes("the program's own exp"),
    `and chosen, it is said: "${(await text("#announce")).slice(0, 90)}…"`,
  );
  // A bad link: said by the field, which is marked, and the last good state kept.
  const bad = { abc: /“abc” is not a number/, "0.3,,0.4&step=1": /nothing between comma 1 and comma 2/ };
  await open("nodes=0.3,0.4");
  const good = await text("#p");
  for (const [hash, want] of Object.entries(bad)) {
    await page.evaluate((h) => {
      location.hash = h;
    }, `nodes=${hash}`);
    await page.waitForFunction(() => document.getElementById("nodes-error").textContent !== "");
    const message = await text("#nodes-error"),
      wide = await page.evaluate(() => document.documentElement.scrollWidth);
    check(
      want.test(message) &&
        message.endsWith("still shows the last good nodes.") &&
        message.length < 200 &&
        wide <= 1280 &&
        (await text("#p")) === good &&
        (await page.$eval("#nodes", (e) => e.getAttribute("aria-invalid"))) === "true",
      `#nodes=${hash.slice(0, 40)}: "${message}", the last good state kept`,
    );
    await page.evaluate(() => {
      location.hash = "nodes=0.3,0.4";
    });
    await page.waitForFunction(() => document.getElementById("nodes-error").textContent === "");
  }
  await open("nodes=abc"); // nothing good before it
  check(
    (await text("#nodes-error")).endsWith("The page shows the program's own nodes.") &&
      (await text("#p")) === String(p) &&
      (await text("#nodes-summary")).startsWith("This page's link could not be used: “abc” is not a number."),
    `a bad link on a fresh load: "${await text("#nodes-error")}"`,
  );

  // The controls: one render a submit, the field's text kept, the reset.
  const renders = () => page.evaluate(() => performance.getEntriesByName("inverse_neville:render").length);
  await page.click("#nodes", { count: 3 });
  await page.keyboard.type("0.3, 0.4, 0.5, 0.6");
  let before = await renders();
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.getElementById("nodes-error").textContent === "");
  check(
    (await text("#p")) === String(p) &&
      (await page.evaluate(() => location.hash)) === "#nodes=0.3,0.4,0.5,0.6" &&
      (await renders()) - before === 1,
    "typed into the field: the program's p, the link says so, drawn once",
  );
  check(
    (await text("#announce")).startsWith("Interpolated 4 nodes: p = 0.4263057326974982"),
    "and a screen reader hears it",
  );
  await page.click("#nodes", { count: 3 });
  await page.keyboard.type("abc");
  await page.keyboard.press("Enter");
  await page.click("#reset");
  check(
    (await text("#nodes-error")) === "" && (await page.$eval("#nodes", (e) => e.value)) === "0.3, 0.4, 0.5, 0.6",
    "The program's nodes, with the fragment already theirs: the error and the bad text go",
  );
  // Nodes typed and not submitted stay in the field whatever else changes.
  await page.click("#nodes", { count: 3 });
  await page.keyboard.type("0.2, 0.5");
  for (const [what, act] of [
    ["choosing the exponential", () => page.click('input[value="browser"]')],
    [
      "a key on a handle",
      async () => {
        await page.$eval("#figure .handle", (e) => e.focus());
        await page.keyboard.press("ArrowRight");
      },
    ],
    ["a pointer on a handle", () => dragBy(page, 0, 20)],
    ["a step", () => page.click("#step-back")],
    ["Iterate", () => page.click("#iterate")],
  ]) {
    const before = await page.evaluate(() => location.hash);
    await act();
    const value = await page.$eval("#nodes", (e) => e.value);
    check(
      value === "0.2, 0.5" && (await page.evaluate(() => location.hash)) !== before,
      `${what} keeps nodes typed but not submitted: "${value}"`,
    );
  }
  await page.click("#nodes", { count: 3 });
  await page.keyboard.type("0.3, 0.4");
  await page.keyboard.press("Enter");
  check(
    (await page.$eval("#nodes", (e) => e.value)) === "0.3, 0.4" &&
      (await page.evaluate(() => location.hash)) === "#nodes=0.3,0.4&exp=browser",
    "and submitted, the field shows the nodes",
  );
  await page.click('input[value="wasm"]');
  await page.click("#step-back");
  check(
    (await page.$eval("#nodes", (e) => e.value)) === "0.3, 0.4",
    "which it keeps showing, their own text, as the state changes",
  );

  // The whole state in the link: opened in a fresh tab, the same tableau,
  // iterations, step and p; what of a link cannot be used is said, and
  // the rest used.
  for (const [start, clicks] of [
    ["0,1", ["iterate", "iterate", "iterate", "iterate", "step-first"]],
    ["0.3,0.45,0.6", ["iterate", "iterate", "step-back", "step-back"]],
  ]) {
    await open(`nodes=${start}`);
    for (const id of clicks) await page.click(`#${id}`);
    const shown = (p2) =>
      p2.evaluate(() => ({
        count: document.getElementById("step-count").textContent,
        p: document.getElementById("p").textContent,
        tableau: document.getElementById("tableau").innerText,
        iterations: document.getElementById("iterations").innerText,
        rows: document.querySelectorAll("#iterations tbody tr").length,
        nodes: document.getElementById("nodes").value,
      }));
    const here = await shown(page),
      link = await page.evaluate(() => location.href);
    const fresh = await browser.newPage();
    watch(fresh);
    await fresh.goto(link);
    await ready(fresh);
    const there = await shown(fresh);
    await fresh.close();
    await page.bringToFront();
    const want = start === "0,1" ? { rows: 5, count: "0 of 1" } : { rows: 3, count: "1 of 3" };
    check(
      JSON.stringify(here) === JSON.stringify(there) && there.rows === want.rows && there.count === want.count,
      `#nodes=${start}, ${clicks.join(", ")}: ${link.split("#")[1]} in a fresh tab shows ${there.rows} iterates at ` +
        `"${there.count}", p = ${there.p}, the same tableau and table`,
    );
  }
  await open("nodes=0.3,0.4,0.5&iterates=1000&step=2&exp=foo");
  const refusedLink = await text("#link-error");
  check(
    /iterates, 1000, is more than the 50/.test(refusedLink) &&
      /exp, “foo”, is neither/.test(refusedLink) &&
      (await text("#step-count")) === "2 of 3" &&
      (await text("#nodes-error")) === "",
    `a link with fields that cannot be used: "${refusedLink}", and its step used`,
  );

  // Taken away: the tableau and the iterations as CSV and LaTeX files,
  // downloaded under the page's Content-Security-Policy, read back here
  // against the numbers the page shows.
  await open("nodes=0.3,0.4,0.5,0.6&iterates=2&step=4");
  const file = async (id, name) => {
    rmSync(`${downloads}/${name}`, { force: true });
    await page.click(`#${id}`);
    for (let k = 0; k < 100 && !existsSync(`${downloads}/${name}`); k++) await new Promise((r) => setTimeout(r, 100));
    await new Promise((r) => setTimeout(r, 200)); // written whole
    return existsSync(`${downloads}/${name}`) ? readFileSync(`${downloads}/${name}`, "utf8") : "";
  };
  const cells = (id) =>
    page.$$eval(`#${id} tbody tr`, (rows) =>
      rows.map((tr) =>
        [...tr.cells].map((c) => (c.querySelector(".num") ?? c).textContent.replace("not yet computed", "")),
      ),
    );
  const csvRows = (t) =>
    t
      .split("\r\n")
      .slice(1, -1)
      .map((line) => line.split(","));
  const tableau = await cells("tableau"),
    tableauCsv = csvRows(await file("take-tableau-csv", "inverse_neville-tableau.csv"));
  check(
    tableauCsv.length === 4 && JSON.stringify(tableauCsv) === JSON.stringify(tableau),
    `"${await text("#take-tableau-csv")}": the tableau at step 4 as shown, all digits, entries to come empty`,
  );
  const tableauTex = await file("take-tableau-latex", "inverse_neville-tableau.tex");
  check(
    tableauTex.includes("\\begin{tabular}{rrrrrr}") &&
      tableau.flat().every((c) => c === "" || tableauTex.includes(`$${c.replace(/e(.*)/, "\\times10^{$1}")}$`)),
    `"${await text("#take-tableau-latex")}": a tabular with each number shown`,
  );
  const iterations = await cells("iterations"),
    iterationsCsv = csvRows(await file("take-iterations-csv", "inverse_neville-iterations.csv"));
  const sci = (s) => (Number(s) === 0 ? s : Number(s).toExponential(2)); // 0 is shown as it is
  const asShown = ([k, p, e, ulps, digits, f, order, theory]) => [
    k,
    p,
    sci(e),
    ulps || "–",
    digits,
    sci(f),
    order ? Number(order).toFixed(3) : "–",
    Number(theory).toFixed(3),
  ];
  check(
    iterationsCsv.length === 3 && JSON.stringify(iterationsCsv.map(asShown)) === JSON.stringify(iterations),
    `"${await text("#take-iterations-csv")}": p_k as shown, each other number the one shown in all its digits`,
  );
  const iterationsTex = await file("take-iterations-latex", "inverse_neville-iterations.tex");
  check(
    iterationsTex.startsWith(`% inverse_neville's iterations: ${await page.evaluate(() => location.href)}\n`) &&
      iterations.every((row) => iterationsTex.includes(`$${row[1]}$`)),
    `"${await text("#take-iterations-latex")}": with the page's link, and each p_k`,
  );

  // The nodes in the figure: by mouse, by keys, added and removed (in a
  // tab of their own: a browser counts at most 50 history entries).
  const tab = page;
  page = await browser.newPage();
  watch(page);
  await page.setViewport({ width: 1280, height: 900 });
  await open("nodes=0.3,0.4,0.5,0.6");
  const history = () => page.evaluate(() => history.length);
  const handle = async (k) => (await page.$$("#figure .handle"))[k];
  const entries = await history();
  await dragBy(page, 1, 40);
  let xs = await shownNodes();
  check(
    xs[1] > 0.4 && xs[1] < 0.5 && (await history()) - entries === 1,
    `dragged by the mouse: x1 = ${xs[1]}, one history entry`,
  );
  await pIs(xs, "after the drag");
  await page.evaluate((e) => e.focus(), await handle(2));
  for (const [key, mod, want] of [
    ["ArrowRight", null, 0.51],
    ["ArrowLeft", "Shift", 0.509],
    ["PageUp", null, 0.609],
    ["ArrowDown", null, 0.599],
    ["Home", null, 0],
    ["End", null, 1],
  ]) {
    if (mod) await page.keyboard.down(mod);
    await page.keyboard.press(key);
    if (mod) await page.keyboard.up(mod);
    xs = await shownNodes();
    const now = Number(await page.$eval("#figure .handle:nth-child(3)", (e) => e.getAttribute("aria-valuenow")));
    const said = await text("#announce");
    check(
      xs[2] === want && now === want && said.startsWith(`Node 2 at x = ${want}: p = ${await text("#p")}`),
      `${mod ? mod + "+" : ""}${key} on node 2: x2 = ${xs[2]}, "${said}"`,
    );
    await pIs(xs, `  and p`);
  }
  await page.keyboard.press("ArrowRight");
  check(
    /must lie in \[0, 1\]/.test(await text("#figure-error")) &&
      (await shownNodes())[2] === 1 &&
      (await page.$eval("#nodes", (e) => !e.hasAttribute("aria-invalid"))),
    "→ at 1: refused beside the figure, the field left valid",
  );
  await page.keyboard.press("Delete");
  xs = await shownNodes();
  check(xs.length === 3 && (await page.$$eval("#figure .handle", (hs) => hs.length)) === 3, `Delete: ${xs.join(", ")}`);
  await pIs(xs, "  and p");
  await page.click("#add-node");
  xs = await shownNodes();
  check(xs.length === 4, `Add: ${xs.join(", ")}`);
  await pIs(xs, "  and p");
  await page.keyboard.press("ArrowUp"); // not on a handle: nothing moves
  check((await shownNodes()).join() === xs.join(), "keys elsewhere move no node");

  // By touch, on a phone: the list's Remove buttons, down to two nodes.
  await page.setViewport({ width: 390, height: 800, isMobile: true, hasTouch: true });
  await open("nodes=0.3,0.4,0.5,0.6");
  await page.evaluate(() => addEventListener("pointerdown", (e) => (window.pointerTypes ??= []).push(e.pointerType)));
  const removes = () => page.$$("#node-list button");
  for (const [k, left] of [
    [1, [0.3, 0.5, 0.6]],
    [2, [0.3, 0.5]],
  ]) {
    const button = (await removes())[k],
      name = await button.evaluate((b) => b.textContent),
      before = await shownNodes();
    await button.tap();
    xs = await shownNodes();
    check(
      name === `Remove x${k} = ${before[k]}` &&
        xs.join() === left.join() &&
        (await page.evaluate(() => window.pointerTypes.at(-1))) === "touch",
      `"${name}" tapped: ${xs.join(", ")}`,
    );
    await pIs(xs, "  and p");
  }
  const fewest = await page.$$eval("#node-list button", (bs) =>
    bs.map(
      (b) =>
        `${b.getAttribute("aria-disabled")}: ${document.getElementById(b.getAttribute("aria-describedby"))?.textContent}`,
    ),
  );
  await (await removes())[0].tap();
  check(
    fewest.every((f) => /^true: 2 nodes are the fewest/.test(f)) &&
      (await shownNodes()).join() === "0.3,0.5" &&
      /fewest there can be/.test(await text("#figure-error")),
    `at two nodes each Remove is marked as doing nothing, with why, and a tap is refused: ${fewest[0]}`,
  );

  await page.close();
  page = tab;
  await page.bringToFront();

  // Iterate, clicked: from the program's nodes, and to where doubles end
  // and a click is refused (the iterations themselves: the unit tests).
  for (const [start, clicks] of [
    [programX, 2],
    [[0.3, 0.4, 0.5], 9],
  ]) {
    await open(`nodes=${start.join(",")}`);
    let nodes = [...start],
      ok = true,
      last = "",
      rows = 1;
    for (let k = 1; k <= clicks; k++) {
      await page.click("#iterate");
      const next = [...nodes.slice(1), pOf(nodes)];
      if (Number.isFinite(pOf(next))) {
        nodes = next;
        rows++;
      } else ok &&= (await text("#announce")).startsWith("Iterate refused: ");
      const shown = Number(await text("#p"));
      ok &&=
        same(shown, pOf(nodes)) &&
        Number.isFinite(shown) &&
        (await page.$$eval("#iterations tbody tr", (r) => r.length)) === rows;
      last = await text("#p");
    }
    const note = await text("#iterate-note");
    check(ok, `Iterate ×${clicks} from ${start.join(", ")}: each p as the .wasm gives it, never NaN, last ${last}`);
    if (start === programX) check(last === String(root), `  two steps reach the double nearest the root, ${root}`);
    if (clicks === 9)
      check(
        /reached what double precision allows/.test(note),
        `  and the page says why it stops: "${note.slice(0, 70)}…"`,
      );
  }

  // The orders table, computed after the render that shows its nodes: for
  // four, three and two nodes, against precise.js run here and the doubles
  // iterated here through the .wasm; for equal nodes, why there is none.
  // precise.js is the page's own, tested by itself; these tests sit in
  // the sources' tests/ beside recorded.tsv, the core in web/core.
  const { converge } = await import(new URL("../web/core/precise.js", pathToFileURL(opt.recorded)).href);
  const ordersOf = async (xs) => {
    await page.waitForFunction(
      (want) => {
        const t = document.getElementById("orders");
        return t.getAttribute("aria-busy") === "false" && t.dataset.nodes === want;
      },
      {},
      xs.join(),
    );
    return page.evaluate(() => ({
      rows: [...document.querySelectorAll("#orders tbody tr")].map((tr) => ({
        cells: [...tr.children].map((c) => c.textContent),
        stop: tr.classList.contains("doubles-stop"),
      })),
      note: document.getElementById("orders-note").textContent,
      caption: document.getElementById("orders-caption").textContent,
      after:
        performance.getEntriesByName("inverse_neville:orders")[0]?.startTime >
        performance.getEntriesByName("inverse_neville:ready")[0]?.startTime,
    }));
  };
  const rootDouble = fromBits(recorded.root);
  for (const [hash, xs] of [
    ["", programX],
    ["nodes=0.3,0.4,0.5", [0.3, 0.4, 0.5]],
    ["nodes=0.3,0.4", [0.3, 0.4]],
  ]) {
    await open(hash);
    const got = await ordersOf(xs),
      want = converge(xs, { digits: 1100, tolerance: 0.005 }),
      doubles = doublesIterated(pOf, xs, rootDouble);
    const agree =
      got.rows.length === want.rows.length &&
      want.rows.every(
        (r, k) =>
          got.rows[k].cells[1] === r.error &&
          got.rows[k].cells[2] === (r.order === null ? "–" : r.order.toFixed(3)) &&
          got.rows[k].stop === (k === doubles.step),
      );
    check(
      agree && got.after && /not the program's/.test(got.caption) && got.note.includes(`stop at k = ${doubles.step}`),
      `#orders for ${xs.join(", ")}: ${got.rows.length} rows to order ${got.rows.at(-1)?.cells[2]}, the doubles ` +
        `marked at k = ${doubles.step}, computed after the page was ready`,
    );
  }
  // nodes changed before their table is done: the stale computation is dropped, not drawn over the new one's
  await page.evaluate(() => {
    for (const text of ["0.3, 0.4, 0.5", "0.3, 0.4"]) {
      document.getElementById("nodes").value = text;
      document.getElementById("experiment").requestSubmit();
    }
  });
  await ordersOf([0.3, 0.4]);
  await new Promise((r) => setTimeout(r, 300));
  const kept = await ordersOf([0.3, 0.4]),
    secant = converge([0.3, 0.4], { digits: 1100, tolerance: 0.005 });
  check(
    kept.rows.length === secant.rows.length && kept.rows.every((r, k) => r.cells[1] === secant.rows[k].error),
    `nodes changed twice at once: the table is the last nodes', ${kept.rows.length} rows`,
  );
  await open("nodes=0.3,0.3");
  const equal = await ordersOf([0.3, 0.3]);
  check(
    equal.rows.length === 0 && /^x0 and x1 are the same node.*nothing to iterate/.test(equal.note),
    `#orders for 0.3, 0.3: "${equal.note.slice(0, 60)}…"`,
  );

  // The figure through six Iterates: no curve turning back on itself (the
  // stripes of rounding), no axis multiplier above 10⁰, and rounding said
  // where p has reached the root.
  for (const start of [programX, [0, 1]]) {
    await open(`nodes=${start.join(",")}`);
    const seen = [];
    for (let k = 1; k <= 6; k++) {
      await page.click("#iterate");
      seen.push(
        await page.evaluate(
          (root) => {
            const turns = [...document.querySelectorAll("#figure .poly, #figure .poly-hi, #figure .poly-lo")].filter(
              (line) => {
                const xs = line
                  .getAttribute("points")
                  .split(" ")
                  .map((p) => Number(p.split(",")[0]));
                return xs.some((x, n) => n > 0 && x > xs[n - 1] + 1);
              },
            ).length;
            const text = [...document.querySelectorAll("#figure text")].map((t) => t.textContent).join(" ");
            return {
              turns,
              multiplier: /×10[¹²³⁴⁵⁶⁷⁸⁹]/.test(text),
              rounding: document.getElementById("p").textContent !== root || /rounding/i.test(text),
            };
          },
          String(fromBits(recorded.root)),
        ),
      );
    }
    check(
      seen.every((v) => v.turns === 0 && !v.multiplier && v.rounding),
      `six Iterates from ${start.join(", ")}: no curve turns back, no multiplier above 10⁰, rounding said at the root: ${JSON.stringify(seen.find((v) => v.turns || v.multiplier || !v.rounding) ?? "each")}`,
    );
  }

  // Axes from the data: at most ten labels an axis, none overlapping,
  // and a figure of the same size whatever the nodes.
  for (const width of [320, 1280]) {
    await page.setViewport({ width, height: 900 });
    for (const xs of [
      programX,
      [0, 1],
      [0.2, 0.35, 0.5],
      [0.3, 0.6],
      [0.1, 0.3, 0.5, 0.7, 0.9],
      [0.6, 0.7, 0.8],
      [0.3, 0.3],
      [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8],
    ]) {
      await open(`nodes=${xs.join(",")}`);
      const axes = await page.$$eval("#figure text.tick", (ts) => {
        const boxes = ts.map((t) => t.getBoundingClientRect()),
          panels = [...document.querySelectorAll("#figure .panel")];
        const groups = {}; // an axis: the labels of one panel with one anchor
        ts.forEach((t, k) => {
          (groups[panels.indexOf(t.closest(".panel")) + t.getAttribute("text-anchor")] ??= []).push(boxes[k]);
        });
        const overlap = boxes.some((a, k) =>
          boxes.some((b, m) => m > k && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom),
        );
        return {
          most: Math.max(...Object.values(groups).map((g) => g.length)),
          overlap,
          height: Math.min(...boxes.map((b) => b.height)),
          elements: document.querySelectorAll("#figure *").length,
          size: document.getElementById("figure").getBoundingClientRect().height,
        };
      });
      check(
        axes.most <= 10 && !axes.overlap && axes.height >= 10 && axes.elements < 400,
        `${width} px, nodes ${xs.join(",")}: ${axes.most} labels at most an axis, none overlapping, ${axes.height.toFixed(1)} px high, ${axes.elements} elements`,
      );
    }
  }
  // A lecture's screen, 1920 by 1080: at step 3, as the page opens, the
  // step controls, the tableau and the figure beside it all in view, the
  // figure's text at least 14 px; and the digits the reader chooses.
  await page.setViewport({ width: 1920, height: 1080 });
  await open("nodes=0.3,0.4,0.5,0.6&step=3");
  const lecture = await page.evaluate(() => ({
    boxes: Object.fromEntries(
      ["step-forward", "tableau", "figure"].map((id) => [
        id,
        document.getElementById(id).getBoundingClientRect().toJSON(),
      ]),
    ),
    font: Math.min(
      ...[...document.querySelectorAll("#figure text")].map((t) => parseFloat(getComputedStyle(t).fontSize)),
    ),
    scrolled: scrollY,
    count: document.getElementById("step-count").textContent,
  }));
  const { boxes } = lecture;
  check(
    lecture.scrolled === 0 &&
      lecture.count === "3 of 6" &&
      Object.values(boxes).every((b) => b.left >= 0 && b.top >= 0 && b.right <= 1920 && b.bottom <= 1080) &&
      boxes.figure.left >= boxes.tableau.right &&
      lecture.font >= 14,
    `1920×1080 at step 3: ${Object.entries(boxes)
      .map(
        ([id, b]) => `#${id} ${Math.round(b.left)},${Math.round(b.top)}–${Math.round(b.right)},${Math.round(b.bottom)}`,
      )
      .join(", ")}, all in view, the figure beside; its text ${lecture.font} px`,
  );
  // The layout in rem: with a reader's default font of 32 px the same
  // screen is too narrow for two columns, and the figure's text grows
  // with it (Chromium only: the default font is set over its own protocol).
  if (opt.browser === "chrome") {
    const cdp = await page.createCDPSession();
    await cdp.send("Page.setFontSizes", { fontSizes: { standard: 32 } });
    await open("nodes=0.3,0.4,0.5,0.6&step=3");
    const large = await page.evaluate(() => ({
      below:
        document.getElementById("figure").getBoundingClientRect().top >
        document.getElementById("tableau").getBoundingClientRect().bottom,
      font: parseFloat(getComputedStyle(document.querySelector("#figure text")).fontSize),
      wide: document.documentElement.scrollWidth,
    }));
    check(
      large.below && large.font >= 24 && large.wide <= 1920,
      `a default font of 32 px: the figure below the tableau, its text ${large.font} px, no sideways scrolling`,
    );
    await cdp.send("Page.setFontSizes", { fontSizes: { standard: 16 } });
    await cdp.detach();
    await open("nodes=0.3,0.4,0.5,0.6&step=3");
  }
  const q22 = fromBits(recorded.entries.find((e) => e.i === 2 && e.j === 2).bits);
  for (const [digits, want] of [
    ["4", String(Number(q22.toPrecision(4)))],
    ["6", String(Number(q22.toPrecision(6)))],
    ["0", String(q22)],
  ]) {
    await page.select("#digits", digits);
    const shown = await text("#q-2-2 .num");
    check(shown === want, `digits shown: ${digits === "0" ? "all" : digits}, Q[2][2] = ${shown}`);
  }

  // Where the tableau scrolls, the step's new cell is scrolled into view,
  // and no number lies half under the row headers that stay at the left.
  const scrolled = (id) =>
    page.$eval(id, (c) => {
      const box = document.getElementById("tableau-scroll").getBoundingClientRect(),
        r = c.getBoundingClientRect();
      const cut = [...document.querySelectorAll("#tableau tbody tr")].flatMap((row) => {
        const head = row.querySelector("th").getBoundingClientRect().right;
        return [...row.querySelectorAll("td")].filter((td) => {
          const t = td.getBoundingClientRect();
          return t.left < head - 1 && t.right > head + 1;
        });
      });
      return { shown: r.left >= box.left - 1 && r.right <= box.right + 1, cut: cut.map((td) => td.id) };
    });
  await page.setViewport({ width: 1280, height: 800 });
  await open("step=3");
  let seen = await scrolled("#q-2-2");
  check(seen.shown && seen.cut.length === 0, `1280 px, step 3: Q[2][2] in view, no cell cut: ${seen.cut.join(" ")}`);
  await page.setViewport({ width: 390, height: 800 });
  await open("nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8");
  await page.click("#step-first");
  for (let k = 0; k < 28; k++) await page.click("#step-forward");
  seen = await scrolled("#q-7-7");
  check(seen.shown, "390 px: the last step's cell is scrolled into the tableau's view");
  for (let k = 0; k < 3; k++) await page.click("#iterate");
  // and each table's caption and row headers stay within its scrolling box, wherever that is scrolled
  const cut = await page.$$eval("caption, tbody th", (cs) =>
    cs
      .filter((c) => {
        const box = c.closest(".scroll").getBoundingClientRect(),
          r = c.getBoundingClientRect();
        return !(r.width > 0 && r.left >= box.left - 1 && r.right <= box.right + 1);
      })
      .map((c) => c.id || c.closest("table").id),
  );
  check(
    cut.length === 0,
    `390 px: the tables' captions and row headers within their boxes${cut.length ? `, not in ${cut.join(", ")}` : ""}`,
  );

  // Contrast the protocol can show: the curves against each other, and
  // print in a dark scheme (Chromium only: no print emulation over BiDi).
  const luminance = (rgb) => {
    if (!/^rgba?\(/.test(rgb)) throw new Error(`not a colour this test reads: ${rgb}`);
    const c = rgb
      .match(/[\d.]+/g)
      .slice(0, 3)
      .map((v) => v / 255)
      .map((v) => (v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4));
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
  };
  const ratio = (a, b) => {
    const [x, y] = [luminance(a), luminance(b)].sort((m, n) => n - m);
    return (x + 0.05) / (y + 0.05);
  };
  const strokes = (p2) =>
    p2.evaluate(() =>
      Object.fromEntries(
        ["f", "poly"].map((c) => [c, getComputedStyle(document.querySelector(`#figure .${c}`)).stroke]),
      ),
    );

  // axe-core: WCAG 2.1 A and AA, light and dark, bits shown and hidden,
  // at 320 and 1280 px, on the program's nodes and on an experiment.
  const axe = async (p2, what) => {
    await p2.addScriptTag({ content: axeSource });
    const found = await p2.evaluate(async () =>
      (await window.axe.run(document, { runOnly: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] })).violations.map(
        (v) => `${v.id} (${v.nodes.length}): ${v.nodes[0]?.target}`,
      ),
    );
    check(found.length === 0, `axe, ${what}: ${found.length ? found.join("; ") : "no violation"}`);
  };
  for (const scheme of ["light", "dark"]) {
    let p2 = page;
    if (scheme === "dark" && opt.browser === "chrome")
      await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
    if (scheme === "dark" && opt.browser === "firefox") {
      darkFirefox = await launch({ "layout.css.prefers-color-scheme.content-override": 0 });
      p2 = await darkFirefox.newPage();
      watch(p2);
    }
    for (const width of [320, 1280]) {
      await p2.setViewport({ width, height: 900 });
      for (const hash of ["", "nodes=0.2,0.35,0.5,0.65,0.8"]) {
        await open(hash, p2);
        check(
          (await p2.evaluate(() => matchMedia("(prefers-color-scheme: dark)").matches)) === (scheme === "dark"),
          `${scheme} scheme in force`,
        );
        if (hash === "") {
          // a first visit opens at the start, where no polynomial is drawn yet
          await axe(p2, `${scheme}, ${width} px, the program's nodes at the start`);
          await p2.click("#step-last");
        }
        const s = await strokes(p2);
        check(
          ratio(s.f, s.poly) >= 3,
          `${scheme}: f (${s.f}) and P (${s.poly}) ${ratio(s.f, s.poly).toFixed(2)}:1 apart`,
        );
        for (const bits of [false, true]) {
          if (bits) await p2.click("#show-bits");
          await axe(p2, `${scheme}, ${width} px, ${hash || "the program's nodes"}, bits ${bits ? "shown" : "hidden"}`);
        }
      }
    }
  }
  if (opt.browser === "chrome") {
    await page.emulateMediaType("print");
    await page.evaluate(() => new Promise(requestAnimationFrame)); // the figure redrawn at the paper's width
    const colours = await page.evaluate(() =>
      [...document.querySelectorAll("#figure text, p, td, th, dt, dd, h1, h2, label, li")].map((e) =>
        e.tagName === "text" ? getComputedStyle(e).fill : getComputedStyle(e).color,
      ),
    );
    const worst = Math.min(...colours.map((c) => ratio(c, "rgb(255, 255, 255)")));
    check(worst >= 4.5, `printed in a dark scheme: the text is at least ${worst.toFixed(2)}:1 against the paper`);
    // and paper is not told to be dragged or keyed
    const told =
      (await page.evaluate(() => document.body.innerText)).match(/[^.:\n]*\b(drag|keys?|Tab)\b[^.\n]*/g) ?? [];
    check(told.length === 0, `printed: no word of dragging or keys${told.length ? `, but "${told[0].trim()}"` : ""}`);
    const href = await page.evaluate(() => location.href);
    check(
      (await page.evaluate(() => document.body.innerText)).includes(href),
      `printed: the page's link, ${href.split("/").pop()}`,
    );
    await page.emulateMediaType(null);
    await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "light" }]);
  }

  // Random input, in the fragment and in the field: never an uncaught
  // error, the program's lines untouched, and either the new nodes or the
  // last good ones, with a message.
  const pieces = [
    "0",
    "1",
    "0.3",
    ".5",
    "1e-3",
    "1e+0",
    "-0",
    "2",
    ",",
    ",,",
    " ",
    "e",
    "+",
    "-",
    "%",
    "%2C",
    "&",
    "=",
    "#",
    "exp=wasm",
    "nodes=",
    "NaN",
    "Infinity",
    "0x1",
    "1e-400",
    "١",
    "\u202e",
    "<b>",
    '"',
    "'",
    "\\",
  ];
  const input = fc.oneof(
    fc.array(fc.double({ min: 0, max: 1, noNaN: true }), { minLength: 0, maxLength: 10 }).map((v) => v.join(",")),
    fc.array(fc.constantFrom(...pieces), { maxLength: 14 }).map((v) => v.join("")),
    fc.string({ maxLength: 40 }),
  );
  const samples = fc.sample(fc.tuple(fc.constantFrom("fragment", "field"), input), 300);
  await open("nodes=0.3,0.4");
  const outcomes = await page.evaluate(async (cases) => {
    const out = [];
    for (const [where, value] of cases) {
      const before = document.getElementById("p").textContent;
      if (where === "fragment") {
        const changed = new Promise((r) => {
          addEventListener("hashchange", r, { once: true });
          setTimeout(r, 200);
        });
        location.hash = "nodes=" + value;
        await changed;
      } else {
        document.getElementById("nodes").value = value;
        document.getElementById("experiment").requestSubmit();
      }
      out.push({
        where,
        value,
        before,
        p: document.getElementById("p").textContent,
        nodes: document.getElementById("nodes").value,
        error: document.getElementById("nodes-error").textContent,
        output: document.getElementById("program-output").textContent,
      });
    }
    return out;
  }, samples);
  let wrong = outcomes.filter(
    (o) =>
      o.output !== recorded.lines ||
      (o.error ? o.p !== o.before : !same(Number(o.p), pOf(o.nodes.split(",").map(Number)))),
  );
  check(
    wrong.length === 0,
    `${outcomes.length} random inputs (${outcomes.filter((o) => o.error).length} refused): ` +
      (wrong.length ? JSON.stringify(wrong[0]) : "each gives the .wasm's p, or keeps the last good one with a message"),
  );

  // Over http, as any static server gives it: no request but the page's own.
  await new Promise((r) => server.listen(0, "127.0.0.1", r));
  const web = await browser.newPage();
  watch(web);
  await web.goto(`http://127.0.0.1:${server.address().port}/page.html`);
  await ready(web);
  await new Promise((r) => setTimeout(r, 300));
  check(served.join() === "/page.html", `served over http: the server saw ${served.join(", ")}`);
  await web.close();
  await page.bringToFront(); // a tab behind another draws no frames

  // At a phone's width and a desktop's, dark and printed: no page-wide
  // scrolling sideways; the screenshots go into the build tree.
  mkdirSync(opt.out, { recursive: true });
  const looks = [
    ["phone", 320],
    ["desktop", 1280],
  ];
  if (opt.browser === "chrome") looks.push(["dark", 1280, "dark"], ["print", 1280, "print"]);
  for (const [name, width, media] of looks) {
    await page.setViewport({ width, height: 800 });
    if (media === "dark") await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
    if (media === "print") await page.emulateMediaType("print");
    // a phone as a first visit finds it, the entries not yet computed among the cells
    await open(name === "phone" ? "" : "nodes=0.3,0.4,0.5,0.6");
    const wide = await page.evaluate(() => document.documentElement.scrollWidth);
    check(wide <= width, `${name}: ${wide} px wide in a ${width} px window`);
    await page.screenshot({ path: `${opt.out}/${opt.browser}-${name}.png`, fullPage: true });
  }
} finally {
  server.close();
  await darkFirefox?.close();
  await browser.close();
}
check(
  problems.length === 0,
  `no uncaught error, console error or network request${problems.length ? ": " + problems.join("; ") : ""}`,
);
console.log(failures.length ? `${failures.length} checks failed` : "all checks passed");
process.exit(failures.length ? 1 : 0);
