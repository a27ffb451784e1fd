// The functions a class is shown (#function): each preset's p as the
// .wasm's Qij gives it over the preset's nodes, its error against the
// preset's own root as the page says it, and what the hump says of x and
// y; a learner's own f that tries to reach JavaScript, refused where it
// is typed; one that overflows, drawn without an error; and a preset's f
// typed out otherwise than the preset writes it, shown as read while it is
// typed and taken as that preset.

import assert from "node:assert/strict";
import { test } from "node:test";
import { same, showsNumber } from "../recorded.mjs";
import { browserSuite, sweep, presets } from "./harness.mjs";

/**
 * Each preset's f as Node computes it, for a sweep outside the page: the
 * program's own y (its table, its exp) for the program's f, the rest
 * written out here in JavaScript's doubles, each operation in the order
 * the preset's text gives it.
 * @type {Record<string, (x: number) => number>}
 */
const F = {
  program: sweep.yOf,
  cos: (x) => Math.cos(x) - x,
  newton: (x) => x ** 3 - 2 * x - 5,
  triple: (x) => (x - 0.5) ** 3,
  hump: (x) => x ** 3 - x + 1,
  beyond: sweep.yOf,
};

/** p by Neville's sweep at y = 0 through the .wasm's own Qij, over the nodes' y from f. */
function pOf(/** @type {number[]} */ xs, /** @type {(x: number) => number} */ f) {
  const ys = xs.map(f),
    Q = xs.map((x) => [x]);
  for (let i = 1; i < xs.length; i++)
    for (let j = 1; j <= i; j++) Q[i][j] = sweep.Qij(0.0, ys[i - j], ys[i], Q[i][j - 1], Q[i - 1][j - 1]);
  return Q[xs.length - 1][xs.length - 1];
}

browserSuite("functions", (s) => {
  test("at 1366 by 900, the function menu at the top of the window: a preset chosen there draws its figure beside it, and p is said by the fields", async () => {
    await s.open("", { width: 1366, height: 900 });
    await s.page.evaluate(() => document.getElementById("function")?.scrollIntoView({ block: "start" }));
    await s.changed(() => s.page.select("#function", "cos"));
    const seen = await s.page.evaluate(() => {
      const frame = document.querySelector("#figure [data-layer=upper] rect.frame")?.getBoundingClientRect();
      return {
        figure: !!frame && frame.top >= 0 && frame.bottom <= innerHeight,
        said: document.getElementById("experiment-result")?.textContent ?? "",
      };
    });
    assert.equal(seen.figure, true, "the figure's upper panel in the window");
    assert.match(seen.said, /^p = 0\.739\d+, 5\.71e-6 from the root\.$/);
  });

  test("each preset chosen in #function: its nodes, p as the .wasm's Qij gives it over f's y, and p − root against the preset's root as the page shows it; its lesson, for the hump alone, that x is not a function of y", async () => {
    assert.deepEqual(Object.keys(F), [...presets.map((p) => p.id)], "a sweep here for each preset");
    await s.open("");
    for (const preset of presets) {
      await s.changed(() => s.page.select("#function", preset.id));
      const [p, error, lesson] = await Promise.all(["#p", "#error", "#function-lesson"].map((id) => s.text(id)));
      const want = pOf(preset.nodes, F[preset.id]);
      assert.deepEqual(await s.nodes(), preset.nodes, `${preset.id}: the nodes`);
      // the program's y are the .wasm's to the bit; the browser's Math may round a last bit apart from Node's
      const agree = preset.program
        ? same(Number(p), want)
        : Math.abs(Number(p) - want) <= 1e-12 * Math.max(1, Math.abs(want));
      assert.ok(agree, `${preset.id}: p shown ${p}, the .wasm's Qij over f's y gives ${want}`);
      const off = Number(p) - preset.root.hi - preset.root.lo;
      assert.ok(showsNumber(error, off), `${preset.id}: p − root shown ${error}, is ${off}`);
      assert.equal(/x is not a function of y/.test(lesson), preset.id === "hump", `${preset.id}: ${lesson}`);
    }
  });

  test("a learner's f that reaches for JavaScript is refused in #f-error with where it goes wrong, no console error, and the page's f and p kept", async () => {
    await s.open("");
    await s.changed(() => s.page.select("#function", "own"));
    const p = await s.text("#p"),
      problems = s.problems.length;
    for (const { text, at } of [
      { text: 'constructor.constructor("x")()', at: 1 },
      { text: "__proto__", at: 1 },
      { text: "this", at: 1 },
      { text: "x.constructor", at: 2 },
    ]) {
      await s.page.click("#f-text", { count: 3 });
      await s.page.keyboard.press("Backspace");
      await s.page.type("#f-text", text);
      await s.changed(() => s.page.keyboard.press("Enter"));
      const seen = await s.page.evaluate(() => ({
        error: document.getElementById("f-error")?.textContent ?? "",
        p: document.getElementById("p")?.textContent,
        hash: location.hash,
        // nothing of the text ran: the objects it names are as JavaScript made them
        untouched: {}.constructor === Object && Object.getPrototypeOf({}) === Object.prototype && !("x" in window),
      }));
      assert.match(
        seen.error,
        new RegExp(`^This f cannot be read: .* at ${at}\\. The page keeps the function it shows\\.$`),
        text,
      );
      assert.deepEqual([seen.p, seen.hash, seen.untouched], [p, "", true], text);
    }
    assert.deepEqual(s.problems.slice(problems), [], "console errors, uncaught errors, requests");
  });

  test("a learner's f that overflows at every node: every step, back from the end, drawn without a console error; no estimate, and no heading for one", async () => {
    await s.open("nodes=1.9,2,2.1,2.2&f=exp(1000*x)%20-%201");
    const problems = s.problems.length;
    for (let k = 0; k < 6; k++) await s.activate("step-back");
    assert.equal(await s.text("#step-count"), "0 of 6");
    assert.deepEqual(
      await s.page.$eval("#estimate-heading", (h) => [
        h instanceof HTMLElement && h.hidden,
        h.nextElementSibling?.textContent,
      ]),
      [true, ""],
    );
    assert.deepEqual(s.problems.slice(problems), [], "console errors, uncaught errors, requests");
  });

  test("a preset's f typed out as x^3 - 2x - 5 is shown as read while typed, then is that preset: outside its interval the nodes are its own, inside they stay", async () => {
    const newton = presets.find((p) => p.id === "newton");
    assert.ok(newton, "the cubic among the presets");
    /** @type {[string, number[]][]} */
    const cases = [
      ["", newton.nodes],
      ["nodes=1.6,1.8,2.4&f=x%5E2%20-%203", [1.6, 1.8, 2.4]],
    ];
    for (const [from, nodes] of cases) {
      await s.open(from);
      await s.changed(() => s.page.select("#function", "own"));
      await s.page.click("#f-text", { count: 3 });
      await s.page.keyboard.press("Backspace");
      await s.page.type("#f-text", "x^3 - 2x - 5");
      // as read, typeset in MathML: x to the 3, 2 times x
      const read = await s.page.evaluate(() => {
        const math = document.querySelector("#f-read math");
        return { space: math?.namespaceURI, text: math?.textContent, power: math?.querySelector("msup")?.textContent };
      });
      assert.deepEqual(
        read,
        { space: "http://www.w3.org/1998/Math/MathML", text: "f(x)=x3−2\u2062x−5", power: "x3" },
        `from #${from}: f as read`,
      );
      await s.changed(() => s.page.keyboard.press("Enter"));
      assert.deepEqual(await s.nodes(), nodes, `from #${from}: the nodes`);
      assert.equal(
        await s.page.evaluate(() => {
          const e = document.getElementById("function");
          return e instanceof HTMLSelectElement ? e.value : null;
        }),
        "newton",
      );
    }
  });
});
