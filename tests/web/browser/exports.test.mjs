// Exports, print, touch and layout: the tableau and the iterations taken
// away as CSV and LaTeX under the page's Content-Security-Policy and read
// back against what the page shows; the page printed (Chromium: no print
// emulation over WebDriver BiDi); the nodes removed by touch on a phone;
// the lecture's screen, a reader's larger font, the tableau's scrolling,
// and no page-wide scrolling sideways, with screenshots into the build tree.

import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { fromBits, same } from "../recorded.mjs";
import { browserSuite, chrome, contrast, frames, opt } from "./harness.mjs";
import { showsNumber } from "../recorded.mjs";

/**
 * The page's CSV as rows of cells: after what it is of (f, the nodes, the link: a record each), the table
 * without its head and its columns of bits, each of which must be the bits of the column before it.
 */
function csvRows(/** @type {string} */ text) {
  // fields quoted where they hold a comma or a quote, a quote in them doubled
  const records = text
    .split("\r\n")
    .slice(0, -1)
    .map((line) =>
      line
        .split(/,(?=(?:[^"]*"[^"]*")*[^"]*$)/)
        .map((f) => (/^".*"$/.test(f) ? f.slice(1, -1).replaceAll('""', '"') : f)),
    );
  assert.deepEqual(
    records.slice(0, 3).map((r) => r[0]),
    ["f(x)", "nodes", "link"],
  );
  const [heads, ...rows] = records.slice(3),
    bits = heads.flatMap((h, k) => (h.endsWith(", bits") ? [k] : []));
  for (const row of rows)
    for (const k of bits) assert.ok(row[k] === "" ? row[k - 1] === "" : same(fromBits(row[k]), Number(row[k - 1])));
  return rows.map((row) => row.filter((_, k) => !bits.includes(k)));
}
/** A LaTeX tabular's rows as the CSV's: "$1.5\times10^{-7}$" read as 1.5e-7, an empty cell as "". */
const latexRows = (/** @type {string} */ tex) =>
  tex
    .split("\n")
    .slice(4, -2)
    .map((line) =>
      line
        .replace(/ \\\\$/, "")
        .split(" & ")
        .map((c) => c.replace(/^\$(.*)\$$/, "$1").replace(/\\times10\^\{(-?\d+)\}/, "e$1")),
    );
/** Whether two tables hold the same numbers, cell by cell, empty where the other is. */
const sameNumbers = (/** @type {string[][]} */ a, /** @type {string[][]} */ b) =>
  a.length === b.length &&
  a.every(
    (row, i) =>
      row.length === b[i].length && row.every((c, j) => (c === "" ? b[i][j] === "" : same(Number(c), Number(b[i][j])))),
  );

browserSuite("exports", (s) => {
  describe("taken away at nodes=0.3,0.4,0.5,0.6&iterates=2&step=4", () => {
    before(() => s.open("nodes=0.3,0.4,0.5,0.6&iterates=2&step=4"));
    /** A table's body as shown: each cell's number (or word), an entry not yet computed empty. */
    const shown = (/** @type {string} */ id) =>
      s.page.evaluate(
        (id) =>
          [...document.querySelectorAll(`#${id} tbody tr`)].map((tr) =>
            [...tr.children].map((c) => (c.querySelector(".num") ?? c).textContent?.replace("not yet made", "") ?? ""),
          ),
        id,
      );

    test("the tableau as CSV and LaTeX: at step 4 as shown, all digits, the entries to come empty; the LaTeX names the link", async () => {
      const csv = csvRows(await s.download("take-tableau-csv", "inverse_neville-tableau.csv")),
        tex = await s.download("take-tableau-latex", "inverse_neville-tableau.tex"),
        table = await shown("tableau");
      assert.ok(
        csv.length === 4 && sameNumbers(csv, table),
        `the CSV ${JSON.stringify(csv)}, shown ${JSON.stringify(table)}`,
      );
      const href = await s.page.evaluate(() => location.href);
      assert.deepEqual(tex.split("\n").slice(0, 2), [
        `% inverse_neville's tableau at y = 0: ${href}`,
        "\\begin{tabular}{rrrrrr}",
      ]);
      assert.ok(sameNumbers(latexRows(tex), csv), `the LaTeX's rows ${JSON.stringify(latexRows(tex))}`);
    });

    test("the iterations as CSV and LaTeX: p_k as shown, each other number the one shown to all its digits; the LaTeX names the link", async () => {
      const csv = csvRows(await s.download("take-iterations-csv", "inverse_neville-iterations.csv")),
        tex = await s.download("take-iterations-latex", "inverse_neville-iterations.tex"),
        table = await shown("iterations");
      assert.equal(csv.length, 3, "p_0, p_1, p_2");
      csv.forEach((row, k) =>
        row.forEach((full, m) => {
          const cell = table[k][m];
          // p_k with all its digits; the others rounded, "–" where the CSV's cell is empty
          const agree =
            m === 1
              ? same(Number(cell), Number(full))
              : cell === full || (cell === "–" ? full === "" : showsNumber(cell, Number(full)));
          assert.ok(agree, `row ${k}, column ${m}: shown ${cell}, in the CSV ${full}`);
        }),
      );
      const href = await s.page.evaluate(() => location.href);
      assert.equal(tex.split("\n")[0], `% inverse_neville's iterations: ${href}`);
      // on paper, the columns an A4 page holds, each number as the page shows it, p_k to all its digits
      const paper = table.map((row) => [0, 1, 2, 3, 4, 5].map((m) => (row[m] === "–" ? "" : row[m])));
      assert.ok(sameNumbers(latexRows(tex), paper), `the LaTeX's rows ${JSON.stringify(latexRows(tex))}`);
    });
  });

  const phone = { width: 390, height: 800, touch: true };
  test("on a phone, a tap on a node's Remove removes it, down to two nodes, and p follows", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6", phone);
    await s.page.evaluate(() =>
      addEventListener("pointerdown", (e) => (document.documentElement.dataset.pointer = e.pointerType)),
    );
    for (const { k, left } of [
      { k: 1, left: [0.3, 0.5, 0.6] },
      { k: 2, left: [0.3, 0.5] },
    ]) {
      const button = (await s.page.$$("#node-list button"))[k],
        name = await button.evaluate((b) => b.getAttribute("aria-label") ?? ""),
        x = (await s.nodes())[k];
      assert.ok(name.startsWith(`Remove x${k} = `) && same(Number(name.split(" = ")[1]), x), `"${name}" for ${x}`);
      await button.tap();
      assert.deepEqual(await s.nodes(), left, `"${name}" tapped`);
      assert.equal(await s.page.evaluate(() => document.documentElement.dataset.pointer), "touch");
      await s.showsP(left);
    }
  });

  test("on a phone, at two nodes each Remove is marked as doing nothing, with why, and a tap is refused", async () => {
    await s.open("nodes=0.3,0.5", phone);
    const marked = await s.page.evaluate(() =>
      [...document.querySelectorAll("#node-list button")].map((b) => [
        b.getAttribute("aria-disabled"),
        document.getElementById(b.getAttribute("aria-describedby") ?? "")?.textContent,
      ]),
    );
    await (await s.page.$$("#node-list button"))[0].tap();
    for (const [disabled, why] of marked) {
      assert.equal(disabled, "true");
      assert.match(why ?? "", /^2 nodes are the fewest/);
    }
    assert.deepEqual(await s.nodes(), [0.3, 0.5]);
    assert.match(await s.text("#figure-error"), /fewest there can be/);
  });

  describe("printed in a dark scheme", { skip: chrome ? false : "no print emulation over WebDriver BiDi" }, () => {
    before(async () => {
      await s.page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
      await s.open("nodes=0.2,0.35,0.5,0.65,0.8");
      await s.page.emulateMediaType("print");
      await frames(s.page); // the figure drawn again at the paper's width
    });
    after(async () => {
      await s.page.emulateMediaType(undefined);
      await s.page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "light" }]);
    });

    test("printed in a dark scheme, all text is at least 4.5:1 against the paper", async () => {
      const colours = await s.page.evaluate(() =>
        [...document.querySelectorAll("#figure text, p, td, th, dt, dd, h1, h2, label, li")].map((e) =>
          e.tagName === "text" ? getComputedStyle(e).fill : getComputedStyle(e).color,
        ),
      );
      const worst = Math.min(...colours.map((c) => contrast(c, "rgb(255, 255, 255)")));
      assert.ok(worst >= 4.5, `the faintest text ${worst.toFixed(2)}:1`);
    });

    test("printed, no word tells the reader to drag or to press keys", async () => {
      const told = (await s.page.evaluate(() => document.body.innerText)).match(/[^.:\n]*\b(drag|keys?|Tab)\b[^.\n]*/g);
      assert.deepEqual(told, null);
    });

    test("printed, the page shows its own link", async () => {
      const href = await s.page.evaluate(() => location.href);
      assert.ok((await s.page.evaluate(() => document.body.innerText)).includes(href), href);
    });
  });

  test("a lecture's screen, 1920 by 1080, at step 3: Step, the step's cells and the figure beside them in view, the figure's text at least 28 px", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&step=3&lecture=1", { width: 1920, height: 1080 });
    await frames(s.page);
    const seen = await s.page.evaluate(() => ({
      boxes: [...document.querySelectorAll("#step-forward, #tableau td.new, #tableau td.reads, #figure")].map((e) =>
        e.getBoundingClientRect().toJSON(),
      ),
      font: Math.min(
        ...[...document.querySelectorAll("#figure text")].map((t) => parseFloat(getComputedStyle(t).fontSize)),
      ),
      scrolled: scrollY,
      count: document.getElementById("step-count")?.textContent,
    }));
    const figure = seen.boxes[seen.boxes.length - 1],
      cells = seen.boxes.slice(1, -1);
    const inView = seen.boxes.every((b) => b.left >= 0 && b.top >= 0 && b.right <= 1920 && b.bottom <= 1080);
    assert.deepEqual([seen.scrolled, seen.count, cells.length], [0, "3 of 6", 3]);
    assert.ok(inView && cells.every((c) => figure.left >= c.right), JSON.stringify(seen.boxes));
    assert.ok(seen.font >= 28, `the figure's text ${seen.font} px`);
  });

  test(
    "with a reader's default font of 32 px, the lecture's screen keeps the figure clear of the tableau, its text at least 24 px",
    { skip: chrome ? false : "the default font is set over Chromium's own protocol" },
    async () => {
      const cdp = await s.page.createCDPSession();
      try {
        await cdp.send("Page.setFontSizes", { fontSizes: { standard: 32 } });
        await s.open("nodes=0.3,0.4,0.5,0.6&step=3", { width: 1920, height: 1080 });
        const large = await s.page.evaluate(() => {
          const box = (/** @type {string} */ sel) => {
            const e = document.querySelector(sel);
            if (!e) throw new Error(`no ${sel}`);
            return e;
          };
          const figure = box("#figure").getBoundingClientRect(),
            tableau = box("#tableau").getBoundingClientRect();
          return {
            // below the tableau, or beside it
            clear: figure.top > tableau.bottom || figure.left > tableau.right,
            font: parseFloat(getComputedStyle(box("#figure text")).fontSize),
            wide: document.documentElement.scrollWidth,
          };
        });
        assert.ok(large.clear && large.font >= 24 && large.wide <= 1920, JSON.stringify(large));
      } finally {
        await cdp.send("Page.setFontSizes", { fontSizes: { standard: 16 } });
        await cdp.detach();
      }
    },
  );

  test("1280 px wide at step 3: Q[2][2] in the tableau's view, and no number half under the row headers", async () => {
    await s.open("step=3", { width: 1280, height: 800 });
    assert.deepEqual(await s.inTableau("q-2-2"), { shown: true, cut: [] });
  });

  test("390 px wide, eight nodes: To the end scrolls the last step's cell into the tableau's view", async () => {
    await s.open("nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8&step=0", { width: 390, height: 800 });
    await s.page.click("#step-last");
    assert.equal((await s.inTableau("q-7-7")).shown, true);
  });

  test("390 px wide, three Iterates on: each table's caption and row headers within its scrolling box", async () => {
    await s.open("nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8", { width: 390, height: 800 });
    for (let k = 0; k < 3; k++) await s.activate("iterate");
    const cut = await s.page.evaluate(() =>
      [...document.querySelectorAll("caption, tbody th")]
        .filter((c) => {
          const box = c.closest(".scroll")?.getBoundingClientRect(),
            r = c.getBoundingClientRect();
          return !(box && r.width > 0 && r.left >= box.left - 1 && r.right <= box.right + 1);
        })
        .map((c) => c.id || c.closest("table")?.id),
    );
    assert.deepEqual(cut, []);
  });

  test("How good is p?, 1366 and 320 px wide: each number whole on one line, the program's f and a learner's", async () => {
    /** @type {[string, number][]} */
    const looks = [
      ["", 1366],
      ["", 320],
      ["f=(x-0.45)%5E7&nodes=0.3,0.6", 1366],
    ];
    for (const [hash, width] of looks) {
      await s.open(hash, { width, height: 800 });
      // each number's first word (the number itself) and the lines it takes
      const broken = await s.page.evaluate(() =>
        [...document.querySelectorAll("dl.figures .num")].flatMap((e) => {
          const text = e.firstChild;
          if (!(text instanceof Text) || !text.data.trim()) return [];
          const range = document.createRange(),
            end = text.data.search(/\s|$/);
          range.setStart(text, 0);
          range.setEnd(text, end);
          const lines = new Set([...range.getClientRects()].map((r) => Math.round(r.top)));
          return lines.size > 1 ? [`#${e.id} ${text.data.slice(0, end)}`] : [];
        }),
      );
      assert.deepEqual(broken, [], `#${hash} at ${width} px`);
    }
  });

  test("no page-wide scrolling sideways at a phone's width and a desktop's, dark and printed; the screenshots kept", async () => {
    /** @type {[string, number, string][]} */
    const looks = [
      ["phone", 320, ""],
      ["desktop", 1280, ""],
    ];
    if (chrome) looks.push(["dark", 1280, "dark"], ["print", 1280, "print"]);
    try {
      for (const [name, width, media] of looks) {
        if (media === "dark") await s.page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "dark" }]);
        if (media === "print") await s.page.emulateMediaType("print");
        // a phone as a first visit finds it, the entries not yet computed among the cells
        await s.open(name === "phone" ? "" : "nodes=0.3,0.4,0.5,0.6", { width, height: 800 });
        const wide = await s.page.evaluate(() => document.documentElement.scrollWidth);
        await s.page.screenshot({ path: `${opt.out}/${opt.browser}-${name}.png`, fullPage: true });
        assert.ok(wide <= width, `${name}: ${wide} px wide in a ${width} px window`);
      }
    } finally {
      if (chrome) {
        await s.page.emulateMediaType(undefined);
        await s.page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "light" }]);
      }
    }
  });
});
