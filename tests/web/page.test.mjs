// The learner's page in a real browser, opened from file:// as a learner
// opens it, driven over the browser's own protocol by puppeteer-core:
//
//   node page.test.mjs --browser chrome|firefox --executable PATH --page PAGE.html
//        --wasm PROGRAM.wasm --readme README.md --unit-tests qij_test.cpp
//        --expected expected_output.cmake --out DIR
//
// What the page must show comes from where the rest of the suite keeps it:
// the program's two lines from tests/expected_output.cmake, the tableau's
// bits from the unit tests' sweep table, its decimals and the figures of
// "How good is p?" from the README.  Prints "SKIPPED:" where the browser
// or puppeteer-core is missing; exits 1 on any failure.

import { existsSync, mkdirSync, readFileSync, statSync } from "node:fs";
import { pathToFileURL } from "node:url";
import { parseArgs } from "node:util";

const { values: opt } = parseArgs({
  options: Object.fromEntries(["browser", "executable", "page", "wasm", "readme", "unit-tests", "expected", "out"]
    .map((name) => [name, { type: "string" }])),
});
let puppeteer;
try {
  puppeteer = (await import("puppeteer-core")).default;
} catch (e) {
  console.log(`SKIPPED: no puppeteer-core beside this script (npm ci in its directory): ${e.message}`);
  process.exit(0);
}
if (!existsSync(opt.executable)) {
  console.log(`SKIPPED: no browser at ${opt.executable} (Debian: chromium, firefox-esr)`);
  process.exit(0);
}

// --- what the page must show -------------------------------------------------------
const lines = /set\(expected_out\s+"([^"]*)"\)/.exec(readFileSync(opt.expected, "utf8"))[1].replaceAll("${nl}", "\n");
const sweepBits = [...readFileSync(opt["unit-tests"], "utf8").matchAll(/\{(\d), (\d), 0x([0-9A-F]{16})\}/g)]
  .map(([, i, j, bits]) => ({ i: +i, j: +j, bits }));
const readme = readFileSync(opt.readme, "utf8");
const readmeQ = Object.fromEntries([...readme.matchAll(/Q\[(\d)\]\[(\d)\] = (\d+\.\d+)/g)]
  .filter(([, , j]) => j !== "0").map(([, i, j, v]) => [`${i},${j}`, v]));
const figure = (re) => re.exec(readme)?.[1];
const readmeFigures = {
  error: figure(/p − root = `([^`]+)`/), relative: figure(/a relative error of `([^`]+)`/),
  slope: figure(/−2·root − 1 = `([^`]+)`/), residual: figure(/≈\s+`([^`]+)`: the second line/),
};

const scratch = new DataView(new ArrayBuffer(8));
const bitsOf = (x) => { scratch.setFloat64(0, x); return scratch.getBigUint64(0).toString(16).toUpperCase().padStart(16, "0"); };
const fromBits = (h) => { scratch.setBigUint64(0, BigInt("0x" + h)); return scratch.getFloat64(0); };
// An independent sweep: the combination rule in doubles, in the program's order.
function sweep(pts) {
  const Q = pts.map(([x]) => [x]);
  for (let i = 1; i < pts.length; i++) {
    for (let j = 1; j <= i; j++) {
      const u = (0 - pts[i - j][1]) * Q[i][j - 1], w = (0 - pts[i][1]) * Q[i - 1][j - 1];
      Q[i][j] = (u - w) / (pts[i][1] - pts[i - j][1]);
    }
  }
  return Q[pts.length - 1][pts.length - 1];
}
// The program's own exp, from the .wasm the page embeds.
const wasmExp = new WebAssembly.Instance(new WebAssembly.Module(readFileSync(opt.wasm)),
  { wasi_snapshot_preview1: new Proxy({}, { get: () => () => 52 }) }).exports.exp;

// --- the browser ---------------------------------------------------------------------
const failures = [];
function check(ok, what) {
  if (!ok) failures.push(what);
  console.log(`${ok ? "ok  " : "FAIL"} ${what}`);
}
const browser = await puppeteer.launch({
  browser: opt.browser, executablePath: opt.executable, headless: true,
  args: opt.browser === "chrome" ? ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
    "--disable-component-update", "--disable-sync", "--no-first-run"] : [],
});
const problems = [];
try {
  const page = await browser.newPage();
  page.on("console", (m) => { if (m.type() === "error") problems.push(`console error: ${m.text()}`); });
  page.on("pageerror", (e) => problems.push(`uncaught: ${e.message ?? e}`));
  page.on("request", (r) => { if (!/^(file|data|blob):/.test(r.url())) problems.push(`network request: ${r.url()}`); });
  const url = pathToFileURL(opt.page).href;
  const text = (sel) => page.$eval(sel, (e) => e.textContent);
  const open = async (hash) => {
    await page.goto(`${url}#${hash}`);
    await page.waitForFunction(() => document.getElementById("exit-status").textContent !== "not run");
  };

  await page.setViewport({ width: 1280, height: 900 });
  await page.goto(url);
  await page.waitForFunction(() => document.getElementById("exit-status").textContent !== "not run");
  check(statSync(opt.page).size <= 150 * 1024, `the page is ${statSync(opt.page).size} bytes, at most 150 KB`);
  check(await text("#program-output") === lines, "the program's two lines, verbatim");
  check(await text("#exit-status") === "0", "its exit status, 0");

  await page.click("#show-bits");
  for (const { i, j, bits } of sweepBits) {
    const shown = await text(`#q-${i}-${j} .bits`), num = await text(`#q-${i}-${j} .num`);
    check(shown === `0x${bits}` && num === readmeQ[`${i},${j}`], `Q[${i}][${j}] = ${num} ${shown}, as the README prints it`);
  }
  for (const [id, want] of Object.entries(readmeFigures)) {
    check(want !== undefined && (await text(`#${id}`)).includes(want), `${id} shows ${want}, as the README's "How good is p?"`);
  }

  // By keyboard: back to the start, through all six steps in the program's
  // order, each announced, and back again.
  await page.focus("#step-forward");
  await page.keyboard.press("Home");
  check((await text("#step-announce")).startsWith("Start"), "Home: back to the start");
  for (const [k, { i, j }] of sweepBits.entries()) {
    await page.keyboard.press("ArrowRight");
    const said = await text("#step-announce");
    check(said.startsWith(`Step ${k + 1} of 6: Q[${i}][${j}] = ${readmeQ[`${i},${j}`]},`), `→ announces ${said}`);
  }
  check(await page.$eval("#step-forward", (b) => b.getAttribute("aria-disabled")) === "true", "the last step: no further step");
  for (let k = 5; k >= 0; k--) await page.keyboard.press("ArrowLeft");
  check(await page.$$eval("#tableau td.empty", (cells) => cells.length) === 6, "← six times: every entry empty again");
  await page.keyboard.press("End");
  check(await text("#q-3-3 .num") === readmeQ["3,3"], "End: the whole tableau");

  // The experiment, through the fragment and through the form.
  await open("nodes=0.3,0.4");
  check(await text("#p") === readmeQ["1,1"], "#nodes=0.3,0.4 gives the secant step, Q[1][1]");
  const five = [0.2, 0.35, 0.5, 0.65, 0.8];
  await open(`nodes=${five.join(",")}`);
  const ys = await page.$$eval("#tableau tbody tr", (rows) => rows.map((r) => Number(r.cells[1].querySelector(".num").textContent)));
  const own = [0.5]; // a node of the program's own keeps its y
  check(ys.every((y, k) => own.includes(five[k]) || bitsOf(y) === bitsOf(wasmExp(-2.0 * five[k]) - five[k])),
    "five nodes: each y from the program's exp, or from its table");
  const p5 = sweep(five.map((x, k) => [x, ys[k]]));
  check(bitsOf(Number(await text("#p"))) === bitsOf(p5), `five nodes: p = ${await text("#p")}, an independent sweep gives ${p5}`);
  await open("nodes=0.3,0.4,0.5,0.6&exp=browser");
  check(await text("#p") === readmeQ["3,3"], "the program's nodes with Math.exp chosen: still its table, its p");
  await open("nodes=0.3,0.3");
  check(await text("#p") === "NaN", "equal nodes: 0/0 is NaN, as Qij returns it");
  await open("nodes=0.3,0.4,0.3");
  check(await text("#p") === String(sweep([[0.3, fromBits("3FCFD90F47F1AD26")], [0.4, fromBits("3FA941A55F420F70")],
    [0.3, fromBits("3FCFD90F47F1AD26")]])), `0.3, 0.4, 0.3: ${await text("#p")}, as IEEE arithmetic gives it`);
  await open("nodes=0.6,0.7");
  check((await text("#quality-note")).includes("Extrapolation"), "nodes whose y do not straddle 0: extrapolation");

  await open("nodes=0.3,0.4");
  for (const bad of ["abc", "0.3", "0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9", "0.3,1.5", "0.3,,0.4"]) {
    await page.evaluate((h) => { location.hash = h; }, `nodes=${bad}`);
    await page.waitForFunction(() => document.getElementById("nodes-error").textContent !== "");
    const message = await text("#nodes-error");
    check(await text("#p") === readmeQ["1,1"] && await page.$eval("#nodes", (e) => e.getAttribute("aria-invalid")) === "true",
      `#nodes=${bad}: "${message}", the last good state kept`);
  }
  await page.click("#nodes", { count: 3 });
  await page.keyboard.type("0.3, 0.4, 0.5, 0.6");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.getElementById("nodes-error").textContent === "");
  check(await text("#p") === readmeQ["3,3"] && (await page.evaluate(() => location.hash)) === "#nodes=0.3,0.4,0.5,0.6",
    "typed into the field: the program's p, and the link says so");

  // At a phone's width and a desktop's, and dark (where the protocol can
  // ask for it: not Firefox's WebDriver BiDi): readable, no page-wide
  // scrolling sideways; the screenshots go into the build tree.
  mkdirSync(opt.out, { recursive: true });
  const looks = [["phone", 320], ["desktop", 1280]];
  if (opt.browser === "chrome") looks.push(["dark", 1280, "dark"], ["print", 1280, "print"]);
  for (const [name, width, media] of looks) {
    await page.setViewport({ width, height: 800 });
    if (media === "dark") await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
    if (media === "print") await page.emulateMediaType("print");
    await open("nodes=0.3,0.4,0.5,0.6");
    const wide = await page.evaluate(() => document.documentElement.scrollWidth);
    check(wide <= width, `${name}: ${wide} px wide in a ${width} px window`);
    await page.screenshot({ path: `${opt.out}/${opt.browser}-${name}.png`, fullPage: true });
  }
} finally {
  await browser.close();
}
check(problems.length === 0, `no uncaught error, console error or network request${problems.length ? ": " + problems.join("; ") : ""}`);
console.log(failures.length ? `${failures.length} checks failed` : "all checks passed");
process.exit(failures.length ? 1 : 0);
