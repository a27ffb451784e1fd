// A lecture: the step's text large enough for the back of a room on a
// 1920 px projector, what a class watches (the step's entry, the figure's
// upper panel, the line at y = 0) in the window at every step once the
// stepper is scrolled to its top, on a projector's, a laptop's and a small
// screen, and the step's cells within the tableau's box at 1366 by 768.

import assert from "node:assert/strict";
import { test } from "node:test";
import { browserSuite, frames, programX } from "./harness.mjs";

const eight = [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8];

browserSuite("lecture", (s) => {
  test("at 1920 by 1080 with lecture=1, every text of each step (the rule box, the tableau, the triangle, the figure, the line at y = 0) and of the idea's picture, its subscripts too, at least 20 px", async () => {
    await s.open(`nodes=${programX.join(",")}&lecture=1&step=0`, { width: 1920, height: 1080 });
    assert.equal(await s.page.evaluate(() => document.documentElement.classList.contains("lecture")), true);
    /** @type {{step: number, where: string, text: string, px: number, sub: boolean}[]} */
    const texts = [];
    for (let step = 1; step <= 6; step++) {
      await s.activate("step-forward");
      const seen = await s.page.evaluate(() => {
        // the rule box, the tableau and its caption, the triangle, the figure with its legend, the line at y = 0
        // with what is said of it, and the idea's picture: each text shown, and its size in CSS pixels (an SVG's font scaled as it is drawn)
        const roots = [
          "#step-rule",
          "#tableau",
          "#tableau-caption",
          "#triangle",
          "#figure",
          "#legend",
          "#zoom",
          "#zoom-desc",
          "#swap",
        ];
        return roots.flatMap((where) => {
          const root = document.querySelector(where);
          if (!root) throw new Error(`no ${where} in the page`);
          const walk = document.createTreeWalker(root, NodeFilter.SHOW_TEXT),
            out = [];
          for (let t = walk.nextNode(); t; t = walk.nextNode()) {
            const e = t.parentElement;
            if (!e || !t.textContent?.trim() || !e.checkVisibility() || e.closest(".visually-hidden")) continue;
            const m = e instanceof SVGGraphicsElement ? e.getScreenCTM() : null;
            out.push({
              where,
              text: t.textContent.trim().slice(0, 30),
              px: parseFloat(getComputedStyle(e).fontSize) * (m ? Math.hypot(m.a, m.b) : 1),
              sub: !!e.closest("sub, sup"),
            });
          }
          return out;
        });
      });
      texts.push(...seen.map((t) => ({ step, ...t })));
    }
    // every part of the step holds text to read, the rule's y₀, y₁ … and the legend's xₖ, yₖ among it
    const where = new Set(texts.map((t) => t.where));
    assert.equal(where.size, 9, [...where].join(", "));
    assert.ok(
      texts.some((t) => t.sub),
      "subscripts in the step's text",
    );
    const small = texts
      .filter((t) => t.px < 20 - 1e-6)
      .map((t) => `step ${t.step}, ${t.where}${t.sub ? ", a subscript" : ""}: “${t.text}” ${t.px.toFixed(2)} px`);
    assert.deepEqual(small, []);
  });

  test("the step's entry (td.new), the figure's upper panel and the line at y = 0 in the window at every step, the stepper scrolled to the top: 1920×1080 and 1280×720 lecturing, 1280×720, 960×540 with 6 digits; at 1920 the tableau whole and the worked rule in view", async () => {
    for (const { width, height, hash } of [
      { width: 1920, height: 1080, hash: "lecture=1" },
      { width: 1280, height: 720, hash: "lecture=1" },
      { width: 1280, height: 720, hash: "" },
      { width: 960, height: 540, hash: "digits=6" },
    ]) {
      await s.open(`nodes=${programX.join(",")}&step=0${hash && `&${hash}`}`, { width, height });
      await s.page.evaluate(() => document.getElementById("stepper")?.scrollIntoView({ block: "start" }));
      for (let step = 1; step <= 6; step++) {
        await s.activate("step-forward");
        // the step's cell is scrolled into the tableau's box in the frame after the render
        await frames(s.page);
        const out = await s.page.evaluate((projector) => {
          const box = (/** @type {Element[]} */ es) => {
            if (!es.length) throw new Error("nothing to measure");
            const rs = es.map((e) => e.getBoundingClientRect());
            return {
              left: Math.min(...rs.map((r) => r.left)),
              top: Math.min(...rs.map((r) => r.top)),
              right: Math.max(...rs.map((r) => r.right)),
              bottom: Math.max(...rs.map((r) => r.bottom)),
            };
          };
          // the upper panel as seen: its frame and its texts (its curves run on, clipped to the frame)
          const watched = {
            "td.new": box([...document.querySelectorAll("#tableau td.new")]),
            "the upper panel": box([...document.querySelectorAll("#figure [data-layer=upper] :is(rect.frame, text)")]),
            "#zoom": box([...document.querySelectorAll("#zoom")]),
            // on the projector, the step worked with its numbers too
            ...(projector ? { "#step-rule": box([...document.querySelectorAll("#step-rule")]) } : {}),
          };
          return Object.entries(watched)
            .filter(([, r]) => !(r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight))
            .map(([what, r]) => `${what} at ${[r.left, r.top, r.right, r.bottom].map(Math.round).join(", ")}`);
        }, width === 1920);
        assert.deepEqual(out, [], `${width}×${height} ${hash}, step ${step}`);
        // on the projector the tableau of four nodes is whole beside the figure: nothing scrolled out of sight
        if (width === 1920)
          assert.equal(await s.page.evaluate(() => document.getElementById("tableau-scroll")?.scrollLeft), 0);
      }
    }
  });

  /** The step's cells (its entry and the two it combines), those not within the tableau's box, and the cells cut under the row headers. */
  async function stepCells() {
    const cells = await s.page.evaluate(() =>
      [...document.querySelectorAll("#tableau td.new, #tableau td.reads")].map((td) => td.id),
    );
    const seen = await Promise.all(cells.map((id) => s.inTableau(id)));
    return { cells: cells.length, out: cells.filter((_, k) => !seen[k].shown), cut: seen[0]?.cut ?? [] };
  }

  test("1366 by 768, eight nodes, after an Iterate and then from Start, the y column left cut, through each of the 28 steps: the step's entry and the two it combines within the tableau's box, no number cut under the row headers", async () => {
    await s.open(`nodes=${eight.join(",")}`, { width: 1366, height: 768 });
    await s.activate("iterate");
    await frames(s.page);
    assert.deepEqual(await stepCells(), { cells: 3, out: [], cut: [] }, "after the Iterate, at the end");
    await s.activate("step-first");
    await frames(s.page);
    // a scroll that cuts the y column in two, as a hand or the browser's clamping can leave it
    await s.page.evaluate(() => {
      const box = document.getElementById("tableau-scroll"),
        y = document.getElementById("y-0");
      if (box && y) box.scrollLeft = y.offsetWidth / 2;
    });
    /** @type {string[]} */
    const wrong = [];
    for (let step = 1; step <= 28; step++) {
      await s.activate("step-forward");
      await frames(s.page);
      const { cells, out, cut } = await stepCells();
      if (cells !== 3 || out.length || cut.length)
        wrong.push(`step ${step}: ${cells} cells, outside the box ${out.join(" ")}; cut ${cut.join(" ")}`);
    }
    assert.deepEqual(wrong, []);
  });
});
