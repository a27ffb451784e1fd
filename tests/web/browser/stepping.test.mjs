// Stepping and keys: the tableau against the recorded table, the figures
// of p, the skip link, the steps by keyboard with what they announce and
// mark, one colour a role at a step, the line at y = 0, and the digits
// shown.

import assert from "node:assert/strict";
import { test } from "node:test";
import { fromBits, same, showsNumber } from "../recorded.mjs";
import { browserSuite, programP, recorded, rootDouble, sweep } from "./harness.mjs";

/** The entry Q[i][j] of the program's tableau, as recorded. */
function entry(/** @type {number} */ i, /** @type {number} */ j) {
  const e = recorded.entries.find((e) => e.i === i && e.j === j);
  assert.ok(e, `Q[${i}][${j}] is recorded`);
  return fromBits(e.bits);
}

browserSuite("stepping", (s) => {
  test("at the end, with bits shown, each entry's digits and bits are the recorded table's", async () => {
    await s.open("");
    await s.page.click("#step-last");
    await s.page.click("#going-deeper > summary");
    await s.page.click("#show-bits");
    const shown = await s.page.evaluate(() =>
      [...document.querySelectorAll("#tableau td[id^=q-]:not(.unused)")].map((c) => [
        c.id,
        c.querySelector(".num")?.textContent,
        c.querySelector(".bits")?.textContent,
      ]),
    );
    for (const { i, j, bits } of recorded.entries) {
      const [, num, hex] = shown.find(([id]) => id === `q-${i}-${j}`) ?? [];
      assert.ok(same(Number(num), fromBits(bits)), `Q[${i}][${j}] shown as ${num}, recorded ${fromBits(bits)}`);
      assert.equal(hex, `0x${bits}`, `Q[${i}][${j}]'s bits`);
    }
  });

  test("at the end, p's figures: the root to its bits, the error, relative error, slope and residual to the digits shown", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6");
    const [root, error, relative, slope, residual] = await Promise.all(
      ["#root", "#error", "#relative", "#slope", "#residual"].map((id) => s.text(id)),
    );
    // the root to 20 digits (W(2)/2 = 0.42630275100686274567 32…, mpmath), and its double
    const [digits, double] = /^(\S+)… \(the nearest double: (\S+)\)$/.exec(root)?.slice(1) ?? [];
    assert.equal(digits, "0.42630275100686274567", root);
    assert.ok(same(Number(double), rootDouble), root);
    const f = sweep.exp(-2.0 * programP) - programP,
      [fAll, fShort] = /^(\S+) \((\S+)\), computed in doubles$/.exec(residual)?.slice(1) ?? [];
    assert.ok(same(Number(fAll), f), `residual ${residual}, the .wasm's exp gives ${f}`);
    for (const { what, text, x } of [
      { what: "p − root", text: error, x: programP - rootDouble },
      { what: "the relative error", text: relative, x: (programP - rootDouble) / rootDouble },
      { what: "f′(root)", text: slope, x: -2.0 * rootDouble - 1.0 },
      { what: "the residual, short", text: fShort, x: f },
    ])
      assert.ok(showsNumber(text, x), `${what} shown as ${text}, is ${x}`);
  });

  test("the skip link puts the focus in the tableau's section", async () => {
    await s.open("");
    await s.page.focus("#skip");
    await s.page.keyboard.press("Enter");
    assert.equal(await s.page.evaluate(() => document.activeElement?.id), "tableau-section");
  });

  test("in the tableau's section, Home goes to the start and each → announces its entry and marks the two it combines", async () => {
    await s.open("step=6");
    await s.page.focus("#tableau-section");
    await s.page.keyboard.press("Home");
    assert.match(await s.text("#announce"), /^Start/);
    for (const [k, { i, j, bits }] of recorded.entries.entries()) {
      await s.page.keyboard.press("ArrowRight");
      const said = await s.text("#announce"),
        marked = await s.page.evaluate(() =>
          [...document.querySelectorAll("#tableau .reads, #tableau .new")].map((c) => c.id).sort(),
        );
      assert.ok(said.startsWith(`Step ${k + 1} of 6: Q[${i}][${j}] = ${fromBits(bits)},`), said);
      assert.deepEqual(marked, [`q-${i - 1}-${j - 1}`, `q-${i}-${j - 1}`, `q-${i}-${j}`].sort(), said);
    }
  });

  test("on a first visit, with nothing focused, → takes the first step and brings its entry into the window, and ← takes it back", async () => {
    for (const hash of ["", "lecture=1&step=0"]) {
      await s.open(hash, { width: 1920, height: 1080 });
      await s.page.keyboard.press("ArrowRight");
      const seen = await s.page.evaluate(() => {
        const r = document.getElementById("q-1-1")?.getBoundingClientRect();
        return {
          count: document.getElementById("step-count")?.textContent,
          inside: !!r && r.top >= 0 && r.bottom <= innerHeight,
        };
      });
      assert.deepEqual(seen, { count: "1 of 6", inside: true }, `#${hash}`);
      await s.page.keyboard.press("ArrowLeft");
      assert.equal(await s.text("#step-count"), "0 of 6", `#${hash}: ←`);
    }
  });

  test("at step 1 the figure draws Q[1][1]'s secant line, not the end's cubic", async () => {
    await s.open("step=6");
    const plot = () => s.page.evaluate(() => document.querySelector("#figure .plot")?.innerHTML);
    const cubic = await plot();
    await s.page.click("#step-first");
    await s.page.click("#step-forward");
    const legend = await s.text("#legend");
    assert.match(legend, /Q\[1\]\[1\]/);
    assert.match(legend, /secant/);
    assert.notEqual(await plot(), cubic);
  });

  test("at the last step, Step is marked as doing nothing, and → there steps no further", async () => {
    await s.open("step=5");
    await s.page.focus("#step-forward");
    await s.page.keyboard.press("ArrowRight");
    assert.deepEqual(await s.stepper(), { count: "6 of 6", stepDoesNothing: "true", empty: 0 });
    await s.page.keyboard.press("ArrowRight");
    assert.deepEqual(await s.stepper(), { count: "6 of 6", stepDoesNothing: "true", empty: 0 });
  });

  test("← in the tableau's scrolling box scrolls it, and steps nothing", async () => {
    await s.open("nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8", { width: 390 });
    const scrolled = () => s.page.evaluate(() => document.getElementById("tableau-scroll")?.scrollLeft ?? NaN);
    const before = await scrolled();
    assert.ok(before > 0, `at the end of 8 nodes, 390 px wide, the tableau is scrolled to its last column: ${before}`);
    await s.page.focus("#tableau-scroll");
    await s.page.keyboard.press("ArrowLeft");
    await s.page.waitForFunction((x) => (document.getElementById("tableau-scroll")?.scrollLeft ?? x) < x, {}, before);
    assert.equal(await s.text("#step-count"), "28 of 28");
  });

  test("from the end, ← six times on Back empties every entry", async () => {
    await s.open("step=6");
    await s.page.focus("#step-back");
    for (let k = 0; k < 6; k++) await s.page.keyboard.press("ArrowLeft");
    assert.deepEqual(await s.stepper(), { count: "0 of 6", stepDoesNothing: "false", empty: 6 });
  });

  test("at step 3, the entry made and the two it combines: one colour each, alike in the tableau, the curves and at y = 0", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&step=3");
    const roles = await s.page.evaluate(() => {
      const style = (/** @type {string} */ sel) => {
        const e = document.querySelector(sel);
        if (!e) throw new Error(`no ${sel} at step 3`);
        return getComputedStyle(e);
      };
      return [
        ["q-2-2", "#figure .poly", "#zoom circle.zoom-new"],
        ["q-2-1", "#figure .poly-hi", "#zoom circle.zoom-hi"],
        ["q-1-1", "#figure .poly-lo", "#zoom circle.zoom-lo"],
      ].map(([cell, curve, point]) => ({
        cell: document.getElementById(cell)?.className,
        colours: [style(`#${cell}`).outlineColor, style(curve).stroke, style(point).fill],
      }));
    });
    assert.deepEqual(
      roles.map((r) => r.cell),
      ["new", "reads role-hi", "reads role-lo"],
    );
    for (const { cell, colours } of roles) assert.equal(new Set(colours).size, 1, `${cell}: ${colours.join("; ")}`);
    assert.equal(new Set(roles.map((r) => r.colours[0])).size, 3, "three roles, three colours");
  });

  test("at step 3, the line at y = 0 labels the three entries and gives the step as weights", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&step=3");
    const { labels, title } = await s.page.evaluate(() => ({
      labels: [...document.querySelectorAll("#zoom .zoom-label")].map((t) => t.textContent).sort(),
      title: [...document.querySelectorAll("#zoom .title")].map((t) => t.textContent).join(" "),
    }));
    assert.deepEqual(labels, ["Q[1][1]", "Q[2][1]", "Q[2][2]"]);
    assert.match(title, /= 0\.6532 · Q\[2\]\[1\] \+ 0\.3468 · Q\[1\]\[1\]$/);
  });

  test("the digits shown as chosen: Q[2][2] to 4 and 6 significant digits, then all", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&step=3");
    const q22 = entry(2, 2);
    for (const digits of ["4", "6", "0"]) {
      await s.page.select("#digits", digits);
      const shown = await s.text("#q-2-2 .num");
      if (digits === "0") assert.ok(same(Number(shown), q22), `all digits: ${shown}, recorded ${q22}`);
      else {
        const significant = shown.replace(/^-?0\.0*|\.|e.*$/g, "").length;
        assert.ok(significant <= Number(digits) && showsNumber(shown, q22), `${digits} digits: ${shown} of ${q22}`);
      }
    }
  });
});
