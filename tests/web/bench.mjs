// What the learner's page costs a learner, in each browser, beside an empty
// page loaded the same way in the same run: a measurement for the
// documentation, not a test.  Run from the build tree's tests/web, after its
// npm ci:
//
//   node bench.mjs [--loads N] [--keys N] [--timeout S] [--viewport WxH] PAGE.html [OTHER.html ...]
//
// Several pages (an older build beside this one, say) are measured in the
// same run, their loads interleaved, so that they meet the same machine.
// Each load reads the performance mark "inverse_neville:ready" (the page
// sets it when its first screen is in place; the empty page at once), in
// milliseconds from the start of navigation; the first round only warms up.
// A page as many bytes as the first but one HTML comment with the mark after
// it shows what the bytes alone cost.  Then, for each page, each from a
// load of its own that has settled (its marks "ready", "drawn", "analysis"
// and "orders" set, a frame drawn after them):
//
// - a key: one of 60 (or --keys) ArrowRight and ArrowLeft on the fourth
//   node's handle of 8 nodes, each from a settled frame: the page's own
//   "inverse_neville:render" measure, the handler whole (what a keydown
//   listener takes), and the handler with the style and layout it forces;
// - a drag: node x1 of 8 nodes taken 60 px to the right by the mouse in 40
//   moves, one sent each 16 ms whether or not the page has answered the
//   last: the long tasks meanwhile (over 50 ms, from the press until the
//   page reports the analysis again, or the time given; Chromium's
//   PerformanceObserver "longtask", which Firefox has not) and in both
//   browsers the longest gap between two animation frames and how many
//   gaps were over 50 ms; how many moves the page saw, and over how long
//   (Chromium joins those of one frame; Firefox, over WebDriver BiDi, gets
//   each, one after another, the further apart the busier the page); how
//   many "inverse_neville:analysis" marks the page set during the drag, and
//   how long after its end it set one again;
// - a learner's own f: "your own f(x)…" chosen in #function, abs(x - 0.45)
//   typed into #f-text and used with Enter: how long after that the page
//   runs a script task and handles a key again, and the long tasks and
//   frame gaps from the choice until it has set its analysis and orders for
//   that f.
//
// Nothing waits for ever: what a page has not done within --timeout
// seconds (30 by default) is reported as "over S s", and a browser whose
// page does not answer then is closed and started again.  The loads wait
// for their marks for a minute at most.  The run exits 1 when a figure it
// prints is missing or not a number (a page without a mark it reads, an
// element gone), never for how long something took.

import { mkdtempSync, rmSync, statSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { once } from "node:events";
import { basename, join } from "node:path";
import { setTimeout as sleep } from "node:timers/promises";
import { pathToFileURL } from "node:url";
import { parseArgs } from "node:util";
import puppeteer from "puppeteer-core";
import { CHROMIUM_ARGS } from "./browsers.mjs";

const usage = "usage: node bench.mjs [--loads N] [--keys N] [--timeout S] [--viewport WxH] PAGE.html [OTHER.html ...]";
const { values, positionals: pages } = parseArgs({
  options: {
    loads: { type: "string", default: "20" },
    keys: { type: "string", default: "60" },
    timeout: { type: "string", default: "30" },
    viewport: { type: "string" },
  },
  allowPositionals: true,
});
const loads = Number(values.loads),
  keyCount = Number(values.keys),
  limit = Number(values.timeout) * 1000,
  viewport = values.viewport?.match(/^(\d+)x(\d+)$/);
if (!pages.length || !(loads >= 1 && keyCount >= 1 && limit > 0) || (values.viewport && !viewport))
  throw new Error(usage);
/** How long a load may take to set its marks. */
const LOAD = 60000;
/** The 8 nodes of the key and the drag. */
const EIGHT = "#nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8";
const OWN_F = "abs(x - 0.45)";

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

/** What had not happened when the time given ran out: it takes over `ms`. */
class Over {
  constructor(/** @type {number} */ ms) {
    this.ms = ms;
  }
}
/**
 * The promise's value, or Over where it has not settled within ms.  One that
 * loses the race may fail later, when its browser is closed: unseen.
 * @template T
 * @param {Promise<T>} promise
 * @returns {Promise<T | Over>}
 */
async function within(promise, ms = limit) {
  /** @type {NodeJS.Timeout | undefined} */
  let timer;
  const over = new Promise((resolve) => (timer = setTimeout(() => resolve(new Over(ms)), ms)));
  try {
    return await Promise.race([promise, over]);
  } finally {
    clearTimeout(timer);
    promise.catch(() => {});
  }
}
/** @typedef {number | Over} Time milliseconds, or more than a time */
const late = (/** @type {unknown} */ v) => (v instanceof Over ? Infinity : Number(v));
/** The middle value (the upper one of an even count), Over counting as longer than any time. */
const median = (/** @type {Time[]} */ v) => [...v].sort((a, b) => late(a) - late(b))[Math.floor(v.length / 2)];
const longest = (/** @type {number[]} */ v) => (v.length ? Math.max(...v) : 0);

/** The figures that came out missing or not numbers, by name. */
/** @type {string[]} */
const missing = [];
/**
 * How one page's figures are printed, each checked: "12.3 ms", "over 30 s",
 * "0.45x"; one that is not a number is printed as such and noted.
 * @param {string} who the browser and the page, to name a missing figure
 */
function figures(who) {
  const number = (/** @type {string} */ what, /** @type {unknown} */ v) => {
    if (typeof v === "number" && Number.isFinite(v)) return true;
    missing.push(`${who}: ${what} (${v === undefined ? "none" : String(v)})`);
    return false;
  };
  return {
    /** a time */
    ms: (/** @type {string} */ what, /** @type {unknown} */ v) =>
      v instanceof Over ? `over ${v.ms / 1000} s` : number(what, v) ? `${Number(v).toFixed(1)} ms` : "(missing)",
    /** a time as a multiple of another */
    times: (/** @type {string} */ what, /** @type {unknown} */ v, /** @type {number} */ of) =>
      v instanceof Over
        ? `over ${(v.ms / of).toFixed(2)}x`
        : number(what, v) && number(`${what}: the empty page's`, of)
          ? `${(Number(v) / of).toFixed(2)}x`
          : "(missing)",
    /** a count */
    count: (/** @type {string} */ what, /** @type {unknown} */ v) =>
      number(what, v) && Number.isInteger(v) ? String(v) : "(missing)",
  };
}

/**
 * A browser with one tab, the window as --viewport asks.
 * @param {"chrome" | "firefox"} name
 * @param {string} executablePath
 * @param {string[]} args
 */
async function launch(name, executablePath, args) {
  // a profile of its own in the run's directory, removed with it, whether the browser closed or was killed
  const userDataDir = mkdtempSync(join(dir, `${name}-`));
  const browser = await puppeteer.launch({ browser: name, executablePath, headless: true, args, userDataDir });
  const tab = await browser.newPage();
  tab.setDefaultTimeout(LOAD);
  tab.setDefaultNavigationTimeout(LOAD);
  if (viewport) await tab.setViewport({ width: Number(viewport[1]), height: Number(viewport[2]) });
  return { browser, tab };
}
/** Whether the page runs a script within ms (a second). */
async function answering(/** @type {import("puppeteer-core").Page} */ tab, ms = 1000) {
  const answer = await within(
    tab.evaluate(() => true),
    ms,
  );
  return !(answer instanceof Over);
}
/**
 * A browser closed; killed where its page runs no script (the browser
 * would wait for it), or where it does not close.
 * @param {import("puppeteer-core").Browser} browser
 * @param {import("puppeteer-core").Page} tab
 * @param {boolean} stopped whether the page is known to have stopped answering
 */
async function close(browser, tab, stopped = false) {
  if (!stopped && (await answering(tab)) && !((await within(browser.close(), 10000)) instanceof Over)) return;
  const proc = browser.process();
  if (proc && proc.exitCode === null && proc.signalCode === null) {
    const exited = once(proc, "exit");
    proc.kill("SIGKILL");
    await within(exited, 10000);
  }
}

/**
 * The promise's value, waited for while the page keeps answering a script
 * within the time given (a minute at most): what the browser's driver does
 * slowly (Firefox's input over WebDriver BiDi, say) is no page that stopped
 * answering.  Over where the page stopped answering.
 * @template T
 * @param {import("puppeteer-core").Page} tab
 * @param {Promise<T>} promise
 * @returns {Promise<T | Over>}
 */
async function whileAnswering(tab, promise) {
  const end = Date.now() + LOAD;
  for (;;) {
    const v = await within(promise);
    if (!(v instanceof Over) || Date.now() > end || !(await answering(tab, limit))) return v;
  }
}

/**
 * A file opened, once the page has set these marks (a minute at most, else
 * it fails, naming what it waited for), and settled: a frame drawn, and the
 * tasks it queued run.
 * @param {import("puppeteer-core").Page} tab
 * @param {string} file
 * @param {string[]} marks
 */
async function open(tab, file, marks, hash = "", settle = true) {
  await tab.goto(`${pathToFileURL(file).href}${hash}`);
  try {
    await tab.waitForFunction(
      (marks) => marks.every((m) => performance.getEntriesByName(`inverse_neville:${m}`).length > 0),
      { timeout: LOAD },
      marks,
    );
  } catch (e) {
    const set = await within(tab.evaluate(() => performance.getEntriesByType("mark").map((m) => m.name)));
    throw new Error(
      `${basename(file)}${hash}: not every mark of ${marks.map((m) => `inverse_neville:${m}`).join(", ")} ` +
        `${LOAD / 1000} s after its load (set: ${set instanceof Over ? "the page answers nothing" : set.join(", ") || "none"})`,
      { cause: e },
    );
  }
  if (settle) await tab.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0))));
}
const SETTLED = ["ready", "drawn", "analysis", "orders"];

/**
 * In the page: from now on, each long task (where the browser reports them)
 * and each gap over 50 ms between two animation frames, the longest gap so
 * far, and each pointer press and release, submit and key, as marks
 * "bench:..." that the bench reads back.
 */
function watch() {
  if (PerformanceObserver.supportedEntryTypes.includes("longtask"))
    new PerformanceObserver((list) => {
      for (const e of list.getEntries())
        performance.mark("bench:longtask", { startTime: e.startTime, detail: e.duration });
    }).observe({ type: "longtask" });
  let last = performance.now(),
    most = 0;
  const frame = (/** @type {number} */ t) => {
    const gap = t - last;
    last = t;
    if (gap > 50) performance.mark("bench:gap", { startTime: t, detail: gap });
    if (gap > most) {
      most = gap;
      performance.clearMarks("bench:longest-gap");
      performance.mark("bench:longest-gap", { detail: most });
    }
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
  for (const [type, name] of [
    ["pointerdown", "down"],
    ["pointermove", "move"],
    ["pointerup", "up"],
    ["submit", "submit"],
    ["keydown", "key"],
  ])
    addEventListener(type, () => performance.mark(`bench:${name}`), { capture: true });
  return performance.now();
}
/**
 * In the page: what watch() saw since `from`: the long tasks' durations
 * (null where the browser reports none), the gaps over 50 ms, the longest gap.
 */
function watched(/** @type {number} */ from) {
  const detail = (/** @type {string} */ name) =>
    performance
      .getEntriesByName(name)
      .filter((e) => e.startTime >= from)
      .map((e) => Number(/** @type {PerformanceMark} */ (e).detail));
  return {
    long: PerformanceObserver.supportedEntryTypes.includes("longtask") ? detail("bench:longtask") : null,
    gaps: detail("bench:gap"),
    most: Number(
      /** @type {PerformanceMark | undefined} */ (performance.getEntriesByName("bench:longest-gap")[0])?.detail,
    ),
  };
}
/** @typedef {ReturnType<typeof watched>} Watched */

/**
 * Long tasks and frame gaps as printed: Chromium's long tasks, the longest
 * gap between frames and how many were over 50 ms, or that a task went on
 * past the time given.
 * @param {ReturnType<typeof figures>} f
 * @param {string} what
 * @param {Watched | Over} w
 */
function tasks(f, what, w) {
  if (w instanceof Over) return `a task over ${w.ms / 1000} s`;
  const long = !w.long
    ? ""
    : w.long.length
      ? `${f.count(`${what}: long tasks`, w.long.length)} long tasks, the longest ${f.ms(`${what}: the longest task`, longest(w.long))}; `
      : "no long task; ";
  return `${long}frames at most ${f.ms(`${what}: the longest gap between frames`, w.most)} apart, ${f.count(`${what}: gaps`, w.gaps.length)} gaps over 50 ms`;
}

/**
 * A key on node 3's handle of 8, count times: the page's render measure, the
 * handler, and the handler with the style and layout it forces.
 * @param {import("puppeteer-core").Page} tab
 */
function keys(tab) {
  return tab.evaluate(async (count) => {
    /** @type {{render: number[], handler: number[], forced: number[]}} */
    const out = { render: [], handler: [], forced: [] };
    const settled = () => new Promise((r) => requestAnimationFrame(() => setTimeout(r, 0)));
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
  }, keyCount);
}

/**
 * Node x1 of 8 dragged 60 px right by the mouse, a move each 16 ms: what the
 * page did meanwhile, the analyses during the drag, and how long after its
 * end the analysis came again; Over where the page stopped answering.
 * @param {import("puppeteer-core").Page} tab
 */
async function drag(tab) {
  const [x, y] = await tab.evaluate(() => {
    const handle = document.querySelectorAll("#figure .handle")[1];
    if (!handle) throw new Error("no handle 1 in the figure");
    handle.scrollIntoView({ block: "center" });
    const box = handle.getBoundingClientRect();
    return [box.x + box.width / 2, box.y + box.height / 2];
  });
  const from = await tab.evaluate(watch);
  await tab.mouse.move(x, y);
  await tab.mouse.down();
  const start = Date.now();
  /** @type {Promise<void>[]} */
  const moves = [];
  for (let k = 1; k <= 40; k++) {
    await sleep(Math.max(0, start + 16 * k - Date.now()));
    moves.push(tab.mouse.move(x + 1.5 * k, y));
  }
  const ended = await whileAnswering(
    tab,
    Promise.all(moves).then(() => tab.mouse.up()),
  );
  if (ended instanceof Over)
    return { during: ended, analyses: ended, again: ended, before: NaN, moves: NaN, span: NaN };
  // the first analysis after the drag's end; where none comes, how long before its end the last came
  const after = await within(
    tab
      .waitForFunction(
        () => {
          const up = performance.getEntriesByName("bench:up")[0]?.startTime ?? Infinity;
          return performance.getEntriesByName("inverse_neville:analysis").some((m) => m.startTime > up);
        },
        { timeout: 0 },
      )
      .then(() => true),
  );
  const seen = await within(
    tab.evaluate(() => {
      const at = (/** @type {string} */ name) => performance.getEntriesByName(`bench:${name}`)[0]?.startTime ?? NaN;
      const down = at("down"),
        up = at("up"),
        marks = performance.getEntriesByName("inverse_neville:analysis").map((m) => m.startTime);
      const moves = performance.getEntriesByName("bench:move").filter((m) => m.startTime > down && m.startTime < up);
      return {
        moves: moves.length,
        span: moves.length ? moves[moves.length - 1].startTime - moves[0].startTime : NaN,
        analyses: Number.isNaN(down + up) ? NaN : marks.filter((t) => t > down && t <= up).length,
        again: (marks.find((t) => t > up) ?? NaN) - up,
        before: up - (marks.filter((t) => t <= up).pop() ?? NaN),
      };
    }),
  );
  const during = await within(tab.evaluate(watched, from));
  if (seen instanceof Over) return { during, analyses: seen, again: seen, before: NaN, moves: NaN, span: NaN };
  return { ...seen, during, again: after instanceof Over ? after : seen.again };
}

/**
 * A learner's own f chosen, typed and used with Enter, then a key: how long
 * after the submit the page ran a script task and handled the key, and what
 * it did from the choice until its analysis and orders for that f were
 * done (settled: Over where they were not within the time given).
 * @param {import("puppeteer-core").Page} tab
 */
async function ownF(tab) {
  const from = await tab.evaluate(watch);
  const typed = await whileAnswering(
    tab,
    tab.select("#function", "own").then(() => tab.type("#f-text", OWN_F)),
  );
  if (typed instanceof Over) return { script: typed, key: typed, during: typed, settled: typed };
  // the keys answered or not, their promises fail unseen when the browser is closed
  const enter = tab.keyboard.press("Enter"),
    key = tab.keyboard.press("Shift");
  for (const sent of [enter, key]) sent.catch(() => {});
  const script = await within(tab.evaluate(() => performance.now()));
  if (script instanceof Over) return { script, key: script, during: script, settled: script };
  await whileAnswering(tab, Promise.all([enter, key]));
  const settled = await within(
    tab
      .waitForFunction(
        () => {
          const submit = performance.getEntriesByName("bench:submit")[0]?.startTime ?? Infinity;
          return ["analysis", "orders"].every((m) =>
            performance.getEntriesByName(`inverse_neville:${m}`).some((e) => e.startTime > submit),
          );
        },
        { timeout: 0 },
      )
      .then(() => true),
  );
  const times = await within(
    tab.evaluate((script) => {
      const submit = performance.getEntriesByName("bench:submit")[0]?.startTime ?? NaN;
      const key = performance.getEntriesByName("bench:key").find((e) => e.startTime > submit)?.startTime ?? NaN;
      return { script: script - submit, key: key - submit };
    }, script),
  );
  const during = await within(tab.evaluate(watched, from));
  if (times instanceof Over) return { script: times, key: times, during, settled };
  return { ...times, during, settled };
}

/**
 * One browser's figures, printed; the browser closed whatever happens.
 * @param {"chrome" | "firefox"} name
 * @param {string} executablePath
 * @param {string[]} args
 */
async function measure(name, executablePath, args) {
  let { browser, tab } = await launch(name, executablePath, args),
    stopped = false;
  // the browser started again where its page has stopped answering
  const again = async () => {
    if (!stopped && (await answering(tab))) return;
    await close(browser, tab, true);
    ({ browser, tab } = await launch(name, executablePath, args));
    stopped = false;
  };
  try {
    const files = [...pages, empty, bytes];
    /** @type {Map<string, number[]>} */
    const times = new Map(files.map((f) => [f, []]));
    for (let k = 0; k <= loads; k++)
      for (const file of files) {
        await open(tab, file, ["ready"], "", false);
        const ready = await tab.evaluate(() => performance.getEntriesByName("inverse_neville:ready")[0].startTime);
        if (k > 0) times.get(file)?.push(ready);
      }
    const f = figures(name),
      e = median(times.get(empty) ?? []);
    console.log(
      `${name}: an empty page ready after ${f.ms("the empty page's ready", e)}; ` +
        `a comment of the page's size ${f.times("the comment's ready", median(times.get(bytes) ?? []), late(e))}`,
    );
    for (const page of pages) {
      const g = figures(`${name}, ${basename(page)}`),
        p = median(times.get(page) ?? []);
      await open(tab, page, SETTLED, EIGHT);
      const k = await whileAnswering(tab, keys(tab));
      await again();
      const key = k instanceof Over ? { render: [k], handler: [k], forced: [k] } : k,
        forced = median(key.forced);
      console.log(
        `  ${basename(page)}: ready after ${g.ms("ready", p)} (median of ${loads}), ${g.times("ready", p, late(e))} the empty page's; ` +
          `a key: render ${g.ms("a key's render", median(key.render))}, handler ${g.ms("a key's handler", median(key.handler))}, ` +
          `with its style and layout ${g.ms("a key with its style and layout", forced)} ` +
          `(medians of ${keyCount}, slowest ${g.ms("the slowest key", k instanceof Over ? k : longest(k.forced))}), ` +
          `${g.times("a key", forced, late(e))} the empty page's load`,
      );
      await open(tab, page, SETTLED, EIGHT);
      const d = await drag(tab);
      await again();
      const marks =
        d.analyses instanceof Over
          ? `the page answering nothing within ${d.analyses.ms / 1000} s`
          : `the page saw ${g.count("moves the page saw", d.moves)} of them over ${g.ms("the moves' span", d.span)}, ` +
            `${g.count("analyses during the drag", d.analyses)} analysis marks during it, ` +
            (d.again instanceof Over
              ? `none within ${d.again.ms / 1000} s after its end (the last ${g.ms("the last analysis before the drag's end", d.before)} before it)`
              : `the next ${g.ms("the analysis after the drag", d.again)} after its end`);
      console.log(
        `    a drag of x1 of 8 nodes, 40 moves sent 16 ms apart: ${tasks(g, "the drag", d.during)}; ${marks}`,
      );
      await open(tab, page, SETTLED);
      const o = await ownF(tab);
      stopped = o.script instanceof Over;
      if (page !== pages[pages.length - 1]) await again();
      const settled =
        o.settled instanceof Over ? `; its analysis and orders not done within ${o.settled.ms / 1000} s` : "";
      console.log(
        `    your own f ${OWN_F}, used: a script runs ${g.ms("a script after the own f", o.script)} after, ` +
          `a key ${g.ms("a key after the own f", o.key)} after; ${tasks(g, "the own f", o.during)}${settled}`,
      );
    }
  } finally {
    await close(browser, tab, stopped);
  }
}

try {
  for (const [name, executablePath, args] of browsers) await measure(name, executablePath, args);
  if (missing.length) {
    console.error(`figures missing or not numbers:\n  ${missing.join("\n  ")}`);
    process.exitCode = 1;
  }
} catch (e) {
  console.error(e instanceof Error ? e.message : e);
  process.exitCode = 1;
} finally {
  rmSync(dir, { recursive: true, force: true });
}
