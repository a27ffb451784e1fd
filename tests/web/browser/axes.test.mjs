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
   * Each [data-axis] group of an SVG as drawn now: its panel (the layer it
   * lies in), its axis, how many of its ticks are labelled, and which of its
   * texts (the ticks' labels and the axis's name) overlap.
   */
  const axesOf = (/** @type {string} */ svg) =>
    s.page.evaluate((svg) => {
      const root = document.querySelector(svg);
      if (!root) throw new Error(`no ${svg} in the page`);
      return [...root.querySelectorAll("[data-axis]")].map((g) => {
        const texts = [...g.querySelectorAll("text")].filter((t) => t.textContent?.trim()),
          boxes = texts.map((t) => t.getBoundingClientRect());
        return {
          panel: g.closest(".panel")?.getAttribute("data-layer") ?? "",
          axis: g.getAttribute("data-axis"),
          labels: texts.filter((t) => t.classList.contains("tick")).length,
          overlap: boxes.flatMap((a, k) =>
            boxes
              .slice(k + 1)
              .filter((b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
              .map((_, m) => `${texts[k].textContent} on ${texts[k + 1 + m].textContent}`),
          ),
        };
      });
    }, svg);

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

  /** Asserts that each axis has at least three labelled ticks and no texts on top of each other. */
  const scaled = (/** @type {Awaited<ReturnType<typeof axesOf>>} */ axes, /** @type {string} */ where) => {
    for (const a of axes) {
      assert.ok(a.labels >= 3, `${where}: ${a.panel} ${a.axis} has ${a.labels} labelled ticks`);
      assert.deepEqual(a.overlap, [], `${where}: ${a.panel} ${a.axis}'s labels overlapping`);
    }
  };

  test("at 320, 390, 1280, 1366 and 1920 px, the line at y = 0: its axis a [data-axis] group with at least 3 labelled ticks, none overlapping, at each step, after Iterates and for eight nodes", async () => {
    await everyState(async (where) => {
      const axes = await axesOf("#zoom");
      assert.deepEqual(
        axes.map((a) => a.axis),
        ["x"],
        `${where}: the line's axes`,
      );
      scaled(axes, where);
    });
  });

  test(
    "at 320, 390, 1280, 1366 and 1920 px, the figure: each panel's x and y axes [data-axis] groups with at least 3 labelled ticks, none overlapping, at each step, after Iterates and for eight nodes",
    {
      todo: "the figure's panels draw their ticks and axis names loose in a frame group (web/axes.js), with no [data-axis] group an axis",
    },
    async () => {
      await everyState(async (where) => {
        const axes = await axesOf("#figure");
        assert.deepEqual(
          axes.map((a) => `${a.panel} ${a.axis}`).sort(),
          ["lower x", "lower y", "upper x", "upper y"],
          `${where}: the figure's axes`,
        );
        scaled(axes, where);
      });
    },
  );
});
