// Axes with scales, from a phone to a projector (320, 390, 1280, 1366 and
// 1920 px wide): each axis a [data-axis] group with at least three labelled
// ticks, no two of its labels on top of each other, at every step, after
// Iterates, and for eight nodes.

import assert from "node:assert/strict";
import { test } from "node:test";
import { browserSuite, programX } from "./harness.mjs";

const WIDTHS = [320, 390, 1280, 1366, 1920];

browserSuite("axes", (s) => {
  /**
   * Each [data-axis] group of the figure and the line at y = 0 as drawn
   * now: where it is (the figure's panel, or the line), its axis, how many
   * of its ticks are labelled, and which of its texts (the ticks' labels
   * and the axis's name) overlap.  A text is taken as its em box: as long
   * as it is measured, as deep as its font's size, across its line (the
   * box Firefox measures holds the font's line gap too, 18 px deep for
   * 13 px text, and would have labels a line apart overlap).
   */
  const axes = (groups = "#figure [data-axis], #zoom [data-axis]") =>
    s.page.evaluate(
      (groups) =>
        [...document.querySelectorAll(groups)].map((g) => {
          const texts = [...g.querySelectorAll("text")].filter((t) => t.textContent?.trim()),
            boxes = texts.map((t) => {
              const r = t.getBoundingClientRect(),
                m = t.getScreenCTM(),
                em = parseFloat(getComputedStyle(t).fontSize) * (m ? Math.hypot(m.a, m.b) : 1),
                // a text turned a quarter reads down the page: its depth runs across
                turned = !!m && Math.abs(m.b) > Math.abs(m.a),
                [x, y] = [r.left + r.width / 2, r.top + r.height / 2],
                [w, h] = turned ? [Math.min(em, r.width), r.height] : [r.width, Math.min(em, r.height)];
              return { left: x - w / 2, right: x + w / 2, top: y - h / 2, bottom: y + h / 2 };
            });
          return {
            where: `${g.closest("svg")?.id} ${g.closest(".panel")?.getAttribute("data-layer") ?? ""}`.trim(),
            axis: g.getAttribute("data-axis"),
            labels: texts.filter((t) => t.classList.contains("tick")).length,
            overlap: boxes.flatMap((a, k) =>
              boxes
                .slice(k + 1)
                .filter((b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                .map((_, m) => `${texts[k].textContent} on ${texts[k + 1 + m].textContent}`),
            ),
          };
        }),
      groups,
    );

  /**
   * The states a learner reaches, at each width, each handed to check:
   * the program's six steps, two Iterates on, and eight nodes at the end.
   * @param {(where: string) => Promise<void>} check
   */
  async function everyState(check) {
    for (const width of WIDTHS) {
      await s.open(`nodes=${programX.join(",")}&step=0`, { width });
      for (let step = 1; step <= 6; step++) {
        await s.activate("step-forward");
        await check(`${width} px, step ${step}`);
      }
      for (let k = 1; k <= 2; k++) {
        await s.activate("iterate");
        await check(`${width} px, Iterate ${k}`);
      }
      await s.changed(() => s.page.evaluate(() => (location.hash = "nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8")));
      await check(`${width} px, eight nodes`);
    }
  }

  test("at 320, 390, 1280, 1366 and 1920 px, each axis of the figure's two panels and of the line at y = 0 a [data-axis] group with at least 3 labelled ticks, none overlapping, at each step, after Iterates and for eight nodes", async () => {
    await everyState(async (where) => {
      const seen = await axes();
      assert.deepEqual(
        seen.map((a) => `${a.where} ${a.axis}`).sort(),
        ["figure lower x", "figure lower y", "figure upper x", "figure upper y", "zoom x"],
        `${where}: the axes`,
      );
      for (const a of seen) {
        assert.ok(a.labels >= 3, `${where}: ${a.where} ${a.axis} has ${a.labels} labelled ticks`);
        assert.deepEqual(a.overlap, [], `${where}: ${a.where} ${a.axis}'s labels overlapping`);
      }
    });
  });

  test("two nodes, and three whose y are all below 0, at 390 and 1280 px: no label over another in the figure's axes or the idea's picture", async () => {
    for (const width of [390, 1280])
      for (const nodes of ["0.3,0.6", "0.6,0.7,0.8"]) {
        await s.open(`nodes=${nodes}&step=0`, { width });
        for (let step = 0; step <= (nodes === "0.3,0.6" ? 1 : 3); step++) {
          if (step) await s.activate("step-forward");
          for (const a of await axes("#figure [data-axis], #swap .plot [data-layer=labels]"))
            assert.deepEqual(a.overlap, [], `${width} px, nodes ${nodes}, step ${step}: ${a.where} ${a.axis}`);
        }
      }
  });
});
