// The page printed for a class, at A4's width (210 mm less 10 mm margins
// each side, 718 CSS px): nothing runs past the paper's edge, and no
// control is printed, whatever the state.  Chromium only: WebDriver BiDi,
// which drives Firefox, has no print emulation.

import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import { browserSuite, chrome, frames } from "./harness.mjs";

/** A4 less its margins, in CSS pixels (96 a 25.4 mm). */
const A4 = Math.floor((190 / 25.4) * 96);
/** Each test skipped, and counted so, where the browser cannot print. */
const skip = chrome ? false : "no print emulation over WebDriver BiDi";

browserSuite("print", (s) => {
  describe("printed at A4's width", () => {
    before(async () => {
      if (chrome) await s.page.emulateMediaType("print");
    });
    after(async () => {
      if (chrome) await s.page.emulateMediaType(undefined);
    });

    /** The page in print at A4's width with this link, drawn at the paper's width. */
    async function printed(/** @type {string} */ hash) {
      await s.open(hash, { width: A4, height: 1000 });
      await frames(s.page);
      return s.page.evaluate(() => {
        const paper = document.documentElement.clientWidth;
        // every box but those within a drawing (an SVG clips what it holds to its own box)
        const wide = [...document.body.querySelectorAll("*")]
          .filter((e) => !(e.parentElement instanceof SVGElement) && e.checkVisibility())
          .filter((e) => {
            const r = e.getBoundingClientRect();
            return r.width > 0 && (r.left < -0.5 || r.right > paper + 0.5);
          })
          .map((e) => {
            const r = e.getBoundingClientRect();
            return `${e.tagName.toLowerCase()}#${e.id}.${e.getAttribute("class")}: ${Math.round(r.left)} to ${Math.round(r.right)}`;
          });
        const controls = [...document.querySelectorAll("button, input, select, textarea")]
          .filter((e) => e.checkVisibility({ visibilityProperty: true, opacityProperty: true }))
          .map((e) => `${e.tagName.toLowerCase()}#${e.id}[name=${e.getAttribute("name")}]`);
        return { paper, scrolls: document.documentElement.scrollWidth, wide, controls };
      });
    }

    test(
      `printed at ${A4} px: nothing wider than the page, at a first visit, the program's nodes' end, five nodes two Iterates on, eight nodes, and a lecture's (paper has its own type)`,
      { skip },
      async () => {
        for (const hash of [
          "",
          "nodes=0.3,0.4,0.5,0.6",
          "nodes=0.2,0.35,0.5,0.65,0.8&iterates=2&deeper=1",
          "nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8",
          "nodes=0.3,0.4,0.5,0.6&iterates=3&lecture=1",
        ]) {
          const seen = await printed(hash);
          assert.deepEqual(
            { paper: seen.paper, scrolls: seen.scrolls, wide: seen.wide },
            { paper: A4, scrolls: A4, wide: [] },
            `#${hash}`,
          );
        }
      },
    );

    test(
      `printed at ${A4} px, no form control shown, and Going deeper only where open: a first visit, predicting, a learner's f, and Going deeper open`,
      { skip },
      async () => {
        for (const hash of ["", "predict=1&step=2", "f=cos(x)%20-%20x&nodes=0.6,0.7,0.8,0.9", "deeper=1"]) {
          assert.deepEqual((await printed(hash)).controls, [], `#${hash}`);
          // Going deeper, kept closed, is not on paper at all, its heading with it
          const heading = await s.page.evaluate(() => document.getElementById("deeper-heading")?.checkVisibility());
          assert.equal(heading, hash === "deeper=1", `#${hash}: Going deeper's heading printed`);
        }
      },
    );

    test(
      "a handout of the whole tableau (#step=6) on A4: the idea, the rule, the tableau, the figure and p, in at most 4 pages and no text under 9 pt",
      { skip },
      async () => {
        await printed("nodes=0.3,0.4,0.5,0.6&step=6");
        const seen = await s.page.evaluate(() => {
          const shown = (/** @type {string} */ sel) => !!document.querySelector(sel)?.checkVisibility();
          // each text's size as printed, an SVG's scaled as it is drawn
          const sizes = [...document.querySelectorAll("body *")]
            .filter(
              (e) => [...e.childNodes].some((n) => n.nodeType === 3 && n.textContent?.trim()) && e.checkVisibility(),
            )
            .map((e) => {
              const m = e instanceof SVGGraphicsElement ? e.getScreenCTM() : null;
              return {
                text: (e.textContent ?? "").trim().slice(0, 20),
                px: parseFloat(getComputedStyle(e).fontSize) * (m ? Math.hypot(m.a, m.b) : 1),
              };
            });
          return {
            parts: ["#idea-heading", "#recurrence", "#tableau", "#step-rule", "#figure", "#zoom", "#p"].filter(
              (sel) => !shown(sel),
            ),
            small: sizes.filter((t) => t.px < 12 - 1e-6).map((t) => `“${t.text}” ${t.px.toFixed(1)} px`),
          };
        });
        assert.deepEqual(seen, { parts: [], small: [] });
        const pdf = Buffer.from(
          await s.page.pdf({ format: "a4", margin: { top: "10mm", bottom: "10mm", left: "10mm", right: "10mm" } }),
        );
        const pages = (pdf.toString("latin1").match(/\/Type\s*\/Page\b/g) ?? []).length;
        assert.ok(pages >= 1 && pages <= 4, `${pages} pages`);
      },
    );
  });
});
