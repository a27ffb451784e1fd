// Axe and the fuzz: axe-core's WCAG 2.1 A and AA rules in a light and a
// dark scheme (Firefox is dark only by a preference, at launch: a second
// Firefox for it), at 320 and 1280 px, on the program's nodes at the start
// and at the end and on an experiment, bits hidden and shown, with the
// curves f and P told apart; then random input in the link and the field.

import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { same } from "../recorded.mjs";
import { axeSource, browserSuite, chrome, contrast, fc, launch, recorded, sweep } from "./harness.mjs";

/** @typedef {import("puppeteer-core").Page} Page */

/** axe's violations of WCAG 2.1 A and AA on the page as it is now, axe put into it first. */
async function violations(/** @type {Page} */ p) {
  if (!(await p.evaluate(() => "axe" in window))) await p.addScriptTag({ content: axeSource });
  return p.evaluate(async () =>
    (await window.axe.run(document, { runOnly: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"] })).violations.map(
      (v) => `${v.id} (${v.nodes.length}): ${v.nodes[0]?.target}`,
    ),
  );
}

browserSuite("axe", (s) => {
  for (const scheme of ["light", "dark"]) {
    describe(`in a ${scheme} scheme`, () => {
      /** @type {Page | undefined} */
      let tab;
      /** @type {import("puppeteer-core").Browser | undefined} */
      let darkFirefox;
      before(async () => {
        tab = s.page;
        if (scheme === "dark" && chrome)
          await tab.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
        if (scheme === "dark" && !chrome) {
          darkFirefox = await launch({ "layout.css.prefers-color-scheme.content-override": 0 });
          tab = await s.tab(darkFirefox);
        }
      });
      after(async () => {
        if (scheme === "dark" && chrome)
          await s.page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: "light" }]);
        await darkFirefox?.close();
      });

      for (const width of [320, 1280]) {
        test(`${scheme}, ${width} px: in force; no axe violation at the start, nor at the end with bits hidden or shown; f and P at least 3:1 apart`, async () => {
          assert.ok(tab, "the scheme's tab");
          for (const hash of ["", "nodes=0.2,0.35,0.5,0.65,0.8"]) {
            const where = hash || "the program's nodes";
            await s.open(hash, { p: tab, width });
            assert.equal(
              await tab.evaluate(() => matchMedia("(prefers-color-scheme: dark)").matches),
              scheme === "dark",
            );
            if (hash === "") {
              // a first visit opens at the start, where no polynomial is drawn yet
              assert.deepEqual(await violations(tab), [], `${where}, at the start`);
              await tab.click("#step-last");
            }
            const [f, poly] = await tab.evaluate(() =>
              ["#figure .f", "#figure .poly"].map((sel) => {
                const line = document.querySelector(sel);
                if (!line) throw new Error(`no ${sel} at the end`);
                return getComputedStyle(line).stroke;
              }),
            );
            assert.ok(
              contrast(f, poly) >= 3,
              `${where}: f (${f}) and P (${poly}) ${contrast(f, poly).toFixed(2)}:1 apart`,
            );
            assert.deepEqual(await violations(tab), [], `${where}, bits hidden`);
            // the bits are shown from "Going deeper", opened as a reader opens it
            await tab.click("#going-deeper > summary");
            await tab.click("#show-bits");
            assert.deepEqual(await violations(tab), [], `${where}, bits shown`);
          }
        });
      }
    });
  }

  test("300 random inputs in the link and the field: each gives the .wasm's p, or keeps the last good one and says why", async () => {
    const f = fc();
    // what random text is made of: numbers and their pieces, the link's own words, and worse
    const pieces = [
      " ",
      ..."0 1 0.3 .5 1e-3 1e+0 -0 2 , ,, e + - % %2C & = # exp=wasm nodes= NaN Infinity 0x1 1e-400 ١ \u202e <b> \" ' \\".split(
        " ",
      ),
    ];
    const input = f.oneof(
      f.array(f.double({ min: 0, max: 1, noNaN: true }), { minLength: 0, maxLength: 10 }).map((v) => v.join(",")),
      f.array(f.constantFrom(...pieces), { maxLength: 14 }).map((v) => v.join("")),
      f.string({ maxLength: 40 }),
    );
    const cases = f.sample(f.tuple(f.constantFrom("fragment", "field"), input), 300);
    await s.open("nodes=0.3,0.4");
    const outcomes = await s.page.$eval(
      "input#nodes",
      async (field, cases) => {
        const read = (/** @type {string} */ id) => document.getElementById(id)?.textContent ?? "";
        const out = [];
        for (const [where, value] of cases) {
          const before = read("p"),
            old = location.hash;
          if (where === "fragment") {
            location.hash = "nodes=" + value;
            // a fragment that is another one is read on its hashchange, which comes as a task of its own
            if (location.hash !== old) await new Promise((r) => addEventListener("hashchange", r, { once: true }));
          } else {
            field.value = value;
            field.form?.requestSubmit();
          }
          out.push({
            where,
            value,
            before,
            p: read("p"),
            nodes: field.value,
            error: read("nodes-error"),
            output: read("program-output"),
          });
        }
        return out;
      },
      cases,
    );
    const wrong = outcomes.filter(
      (o) =>
        o.output !== recorded.lines ||
        (o.error ? o.p !== o.before : !same(Number(o.p), sweep.pOf(o.nodes.split(",").map(Number)))),
    );
    assert.deepEqual(wrong, [], `of ${outcomes.length} inputs, ${outcomes.filter((o) => o.error).length} refused`);
  });
});
