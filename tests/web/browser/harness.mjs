// What the page's browser tests share: where the browser, the page and the
// recorded values are, whether a file's tests can run here at all, the
// browser each file launches before its tests and closes after them, the
// page opened and waited for, what no page may do (write a console error,
// throw an uncaught error, ask the network for anything), and the helpers
// of pointer, downloads, numbers and colours.  Each file runs alone:
//
//   node FILE.test.mjs --browser chrome|firefox --executable PATH
//        --page PAGE.html --wasm PROGRAM.wasm --recorded recorded.tsv --out DIR --node-modules DIR
//
// or with the same from the environment: INVERSE_NEVILLE_BROWSER,
// INVERSE_NEVILLE_BROWSER_EXECUTABLE, INVERSE_NEVILLE_PAGE, INVERSE_NEVILLE_WASM,
// INVERSE_NEVILLE_RECORDED, INVERSE_NEVILLE_OUT, INVERSE_NEVILLE_NODE_MODULES (where
// npm ci put puppeteer-core, fast-check and axe-core).  A file whose browser,
// packages or browser version are missing prints "SKIPPED:" and skips.

import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { after, before, describe, test } from "node:test";
import { pathToFileURL } from "node:url";
import { parseArgs } from "node:util";
import { CHROMIUM_ARGS } from "../browsers.mjs";
import { contrast as wcagContrast, triple } from "../colour.mjs";
import { fromBits, readRecorded, same, wasmSweep } from "../recorded.mjs";
import { presetTable } from "../../../web/core/functions.js";
import { PRECISE, steps } from "../../../web/core/precise.js";

/** @typedef {import("puppeteer-core").Browser} Browser */
/** @typedef {import("puppeteer-core").Page} Page */

const { values } = parseArgs({
  options: {
    browser: { type: "string" },
    executable: { type: "string" },
    page: { type: "string" },
    wasm: { type: "string" },
    recorded: { type: "string" },
    out: { type: "string" },
    "node-modules": { type: "string" },
  },
});
const ENV = {
  browser: "INVERSE_NEVILLE_BROWSER",
  executable: "INVERSE_NEVILLE_BROWSER_EXECUTABLE",
  page: "INVERSE_NEVILLE_PAGE",
  wasm: "INVERSE_NEVILLE_WASM",
  recorded: "INVERSE_NEVILLE_RECORDED",
  out: "INVERSE_NEVILLE_OUT",
  "node-modules": "INVERSE_NEVILLE_NODE_MODULES",
};
/** An option from the command line, else from the environment. */
function option(/** @type {keyof typeof ENV} */ name) {
  const value = values[name] ?? process.env[ENV[name]];
  if (!value) throw new Error(`no --${name} and no ${ENV[name]}: see the top of tests/web/browser/harness.mjs`);
  return value;
}
const browserName = option("browser"),
  which = browserName === "chrome" || browserName === "firefox" ? browserName : undefined;
if (!which) throw new Error(`--browser ${browserName}: chrome or firefox`);
/** @type {{browser: "chrome" | "firefox", executable: string, page: string, out: string, nodeModules: string}} */
export const opt = {
  browser: which,
  executable: option("executable"),
  page: resolve(option("page")),
  out: resolve(option("out")),
  nodeModules: resolve(option("node-modules")),
};
export const chrome = opt.browser === "chrome";
/** The page as a learner opens it. */
export const pageUrl = pathToFileURL(opt.page).href;

// What the page must show: the table of recorded values, and the .wasm run
// here as a sweep through its own Qij and exp.
export const recorded = readRecorded(option("recorded"));
export const sweep = wasmSweep(option("wasm"), recorded);
export const programX = recorded.nodes.map((n) => n.x);
/** The program's p, and the double nearest the root. */
export const programP = fromBits(recorded.entries[recorded.entries.length - 1].bits);
export const rootDouble = fromBits(recorded.root);
/** The functions the page offers, the program's first, as the page's core makes them. */
export const presets = presetTable(programX);
/** The program's true root, a double-double. */
export const programRoot = presets[0].root;
/**
 * The errors of the many-digit iteration from these nodes, for the program's f, as the page's core makes them.
 * @param {number[]} xs
 */
export function manyDigitErrors(xs) {
  const run = steps(xs, { ...PRECISE, fn: presets[0] }),
    errors = [];
  for (let next = run.next(); !next.done; next = run.next()) errors.push(next.value.error);
  return errors;
}

// The oldest browsers these tests were run in and passed: Debian 12's and
// 13's Chromium and Firefox ESR with their security updates.
const NEEDS = { chrome: 156, firefox: 153 };
const fromNodeModules = createRequire(join(opt.nodeModules, "/"));
/** @type {import("puppeteer-core").PuppeteerNode | undefined} */
let puppeteer;
/** @type {typeof import("fast-check") | undefined} */
let fastCheck;
let axeSource = "";
/** Why this file's tests cannot run here, if they cannot. */
/** @type {string | undefined} */
let cannot;
try {
  puppeteer = (await import(pathToFileURL(fromNodeModules.resolve("puppeteer-core")).href)).default;
  fastCheck = fromNodeModules("fast-check");
  axeSource = readFileSync(fromNodeModules.resolve("axe-core/axe.min.js"), "utf8");
} catch (e) {
  cannot = `no puppeteer-core, fast-check or axe-core in ${opt.nodeModules} (npm ci there): ${e}`;
}
if (!cannot && !existsSync(opt.executable)) cannot = `no browser at ${opt.executable} (Debian: chromium, firefox-esr)`;
if (!cannot) {
  const version = execFileSync(opt.executable, ["--version"], {
    encoding: "utf8",
    stdio: ["ignore", "pipe", "ignore"],
    timeout: 60000,
  }).trim();
  const major = Number(/ (\d+)\./.exec(version)?.[1]);
  if (!(major >= NEEDS[opt.browser])) {
    cannot = `${version} is older than the ${chrome ? "Chromium" : "Firefox"} ${NEEDS[opt.browser]} these tests need`;
  } else console.log(`browser: ${version}`);
}
if (cannot) console.log(`SKIPPED: ${cannot}`);

/** fast-check, where the file runs. */
export function fc() {
  assert.ok(fastCheck, "fast-check is loaded");
  return fastCheck;
}
export { axeSource };

/**
 * The browser, launched with any Firefox preferences given, and its
 * downloads going into a directory without asking, where one is given.
 * @param {Record<string, unknown>} [prefs]
 * @param {string} [downloads]
 */
export async function launch(prefs = {}, downloads) {
  assert.ok(puppeteer, "puppeteer-core is loaded");
  const into = downloads && {
    "browser.download.dir": downloads,
    "browser.download.folderList": 2,
    "browser.download.useDownloadDir": true,
    "browser.download.always_ask_before_handling_new_types": false,
  };
  return puppeteer.launch({
    browser: opt.browser,
    executablePath: opt.executable,
    headless: true,
    // two browsers on two cores at once answer slowly: five minutes before a command counts as lost
    protocolTimeout: 300000,
    args: chrome ? CHROMIUM_ARGS : [],
    downloadBehavior: downloads ? { policy: "allow", downloadPath: downloads } : undefined,
    extraPrefsFirefox: { ...into, ...prefs },
  });
}

/**
 * Resolves as the second frame from now begins: the page's ResizeObserver
 * has measured the figure in the first, and any render it asked for is done.
 */
export const frames = (/** @type {Page} */ p) =>
  p.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
/** Resolves once the page has its ready mark and its script's drawn mark (a first
 * screen made at build time can be ready before the script runs), and frames after. */
export async function ready(/** @type {Page} */ p) {
  await p.waitForFunction(() =>
    ["ready", "drawn"].every((mark) => performance.getEntriesByName(`inverse_neville:${mark}`).length > 0),
  );
  await frames(p);
}
/** How many renders the page has made: its "inverse_neville:render" measures. */
export const renders = (/** @type {Page} */ p) =>
  p.evaluate(() => performance.getEntriesByName("inverse_neville:render").length);

/**
 * One browser for one file's tests, and the tab they share: made in the
 * suite's `before`, closed in its `after`.
 */
export class Visit {
  /** @type {Browser | undefined} */
  #browser;
  /** @type {Page | undefined} */
  #page;
  /**
   * What no page may do, as seen: console errors, uncaught errors, requests to the network.
   * @type {string[]}
   */
  problems = [];
  /** the loads so far, each with a query of its own */
  loads = 0;

  /** where the browser puts what the page hands it to download, a directory of the file's own */
  downloads = "";

  async start() {
    mkdirSync(opt.out, { recursive: true });
    this.downloads = mkdtempSync(join(tmpdir(), `inverse_neville-downloads-${opt.browser}-`));
    this.#browser = await launch({}, this.downloads);
    // the tab the browser opens with
    const [first] = await this.#browser.pages();
    this.#page = await this.tab(this.#browser, first);
  }
  async stop() {
    await this.#browser?.close();
    if (this.downloads) rmSync(this.downloads, { recursive: true, force: true });
  }
  get browser() {
    assert.ok(this.#browser, "the browser is launched");
    return this.#browser;
  }
  /** The tab the file's tests share. */
  get page() {
    assert.ok(this.#page, "the browser is launched");
    return this.#page;
  }
  /**
   * A tab (a new one unless given), 1280 by 900 px, whose console, errors and requests are watched.
   * @param {Page} [given]
   */
  async tab(browser = this.browser, given) {
    const p = given ?? (await browser.newPage());
    p.setDefaultTimeout(120000);
    p.on("console", (m) => {
      if (m.type() === "error") this.problems.push(`console error: ${m.text()}`);
    });
    p.on("pageerror", (e) => this.problems.push(`uncaught: ${e}`));
    p.on("request", (r) => {
      if (!/^(file|data|blob):/.test(r.url()) && !r.url().startsWith("http://127.0.0.1"))
        this.problems.push(`network request: ${r.url()}`);
    });
    await p.setViewport({ width: 1280, height: 900 });
    return p;
  }
  /**
   * What a fresh tab shows, the tab then closed, and the shared tab in front
   * again (a tab behind another draws no frames).
   * @template T
   * @param {(p: Page) => Promise<T>} use
   */
  async inTab(use) {
    const p = await this.tab();
    try {
      return await use(p);
    } finally {
      await p.close();
      await this.page.bringToFront();
    }
  }
  /**
   * The page loaded afresh with this fragment in a window of this size, 1280
   * by 900 px unless said, and ready.  Each load has a query of its own,
   * which the page does not read: a change of fragment alone is another
   * path, the page's hashchange, and a reload would bring the form's last
   * values back.
   * @param {string} hash
   * @param {{p?: Page, width?: number, height?: number, touch?: boolean}} [how] touch: a phone's
   */
  async open(hash, { p = this.page, width = 1280, height = 900, touch = false } = {}) {
    const now = p.viewport();
    if (now?.width !== width || now.height !== height || Boolean(now.hasTouch) !== touch)
      await p.setViewport({ width, height, isMobile: touch, hasTouch: touch });
    await p.goto(`${pageUrl}?load=${++this.loads}#${hash}`);
    await ready(p);
  }
  // (evaluate, not $eval: a handle an element costs Firefox a round trip of its own)
  /** The text of the first element a selector finds. */
  text(/** @type {string} */ selector, p = this.page) {
    return p.evaluate((sel) => {
      const e = document.querySelector(sel);
      if (!e) throw new Error(`no ${sel} in the page`);
      return e.textContent ?? "";
    }, selector);
  }
  /**
   * Whether cell #id lies within the tableau's scrolling box, and the
   * cells that the cells held at the box's left edge cut in two.
   */
  inTableau(/** @type {string} */ id, p = this.page) {
    return p.evaluate((id) => {
      const box = document.getElementById("tableau-scroll")?.getBoundingClientRect(),
        r = document.getElementById(id)?.getBoundingClientRect();
      if (!r) throw new Error(`no #${id} in the tableau`);
      // the cells held at the box's left edge: the row's header, and on a wide screen its y
      const held = (/** @type {Element} */ c) => getComputedStyle(c).position === "sticky";
      const cut = [...document.querySelectorAll("#tableau tbody tr")].flatMap((row) => {
        const head = Math.max(0, ...[...row.children].filter(held).map((c) => c.getBoundingClientRect().right));
        return [...row.querySelectorAll("td")]
          .filter((td) => !held(td))
          .filter((td) => {
            const t = td.getBoundingClientRect();
            return t.left < head - 1 && t.right > head + 1;
          });
      });
      return { shown: !!box && r.left >= box.left - 1 && r.right <= box.right + 1, cut: cut.map((td) => td.id) };
    }, id);
  }
  /** The text in the field of nodes. */
  field(p = this.page) {
    return p.evaluate(() => {
      const e = document.getElementById("nodes");
      if (!(e instanceof HTMLInputElement)) throw new Error("no field #nodes in the page");
      return e.value;
    });
  }
  /** The nodes in the field, as numbers. */
  async nodes(p = this.page) {
    return (await this.field(p)).split(",").map(Number);
  }
  /** Asserts that the page shows the p a sweep of these nodes through the .wasm gives, bit for bit. */
  async showsP(/** @type {number[]} */ xs, p = this.page) {
    const shown = await this.text("#p", p),
      want = sweep.pOf(xs);
    assert.ok(same(Number(shown), want), `nodes ${xs.join(", ")}: p shown ${shown}, the .wasm's sweep gives ${want}`);
  }
  /** The stepper as shown: "k of n", whether Step does nothing, how many entries are empty. */
  stepper(p = this.page) {
    return p.evaluate(() => ({
      count: document.getElementById("step-count")?.textContent,
      stepDoesNothing: document.getElementById("step-forward")?.getAttribute("aria-disabled"),
      empty: document.querySelectorAll("#tableau td.empty").length,
    }));
  }
  /**
   * Does what changes the state, and resolves once the page has rendered since.
   * @param {() => Promise<unknown>} act
   */
  async changed(act, p = this.page) {
    const before = await renders(p);
    await act();
    await p.waitForFunction((n) => performance.getEntriesByName("inverse_neville:render").length > n, {}, before);
  }
  /**
   * Button #id clicked as a script clicks it: the same click event as the
   * mouse's, without its round trips, for a button pressed many times over.
   */
  async activate(/** @type {string} */ id, p = this.page) {
    await p.evaluate((id) => {
      const b = document.getElementById(id);
      if (!(b instanceof HTMLButtonElement)) throw new Error(`no button #${id} in the page`);
      b.click();
    }, id);
  }
  /** The focus on node k's handle, where its keys go. */
  focusHandle(/** @type {number} */ k, p = this.page) {
    return p.evaluate((k) => {
      const handle = document.querySelectorAll("#figure .handle")[k];
      if (!(handle instanceof SVGElement)) throw new Error(`no handle ${k} in the figure`);
      handle.focus();
    }, k);
  }
  /** Node k's handle dragged dx pixels to the right by the mouse, in steps as a hand moves. */
  async drag(/** @type {number} */ k, /** @type {number} */ dx, p = this.page) {
    const [x, y] = await p.evaluate((k) => {
      const handle = document.querySelectorAll("#figure .handle")[k];
      if (!handle) throw new Error(`no handle ${k} in the figure`);
      handle.scrollIntoView({ block: "center" });
      const box = handle.getBoundingClientRect();
      return [box.x + box.width / 2, box.y + box.height / 2];
    }, k);
    await p.mouse.move(x, y);
    await p.mouse.down();
    for (let d = 5; d <= dx; d += 5) await p.mouse.move(x + d, y);
    await this.changed(() => p.mouse.up(), p);
  }
  /**
   * The file a button downloads, read once the browser has written it whole:
   * its name there, and no partial file beside it (Chromium writes
   * .crdownload, Firefox .part, and each renames it when done).
   */
  async download(/** @type {string} */ button, /** @type {string} */ name, p = this.page) {
    const path = join(this.downloads, name);
    rmSync(path, { force: true });
    await p.click(`#${button}`);
    const whole = () =>
      existsSync(path) &&
      readFileSync(path).length > 0 &&
      !readdirSync(this.downloads).some((f) => /\.(crdownload|part)$/.test(f));
    for (const end = Date.now() + 60000; !whole();) {
      assert.ok(Date.now() < end, `${name} downloaded within a minute: ${readdirSync(this.downloads).join(", ")}`);
      await new Promise((r) => setTimeout(r, 50)); // the next look at the directory
    }
    return readFileSync(path, "utf8");
  }
}

/**
 * One file's tests in one browser: launched before them, its pages watched,
 * a last test that no page did what none may, and the browser closed after.
 * @param {string} name the file's concern
 * @param {(s: Visit) => void} body the tests, which reach the browser through s once `before` has run
 */
export function browserSuite(name, body) {
  const s = new Visit();
  describe(`${name}, in ${chrome ? "Chromium" : "Firefox"}`, { skip: cannot }, () => {
    before(() => s.start());
    after(() => s.stop());
    body(s);
    test("no page wrote a console error, threw an uncaught error or asked the network for anything", () => {
      assert.deepEqual(s.problems, []);
    });
  });
}

/** WCAG's contrast ratio of two computed colours, rgb() or rgba(). */
export function contrast(/** @type {string} */ a, /** @type {string} */ b) {
  const rgb = (/** @type {string} */ computed) => {
    const parts = /^rgba?\(([\d.]+), ([\d.]+), ([\d.]+)/.exec(computed);
    assert.ok(parts, `a colour these tests read: ${computed}`);
    return triple(parts.slice(1).map((v) => Number(v) / 255));
  };
  return wcagContrast(rgb(a), rgb(b));
}
