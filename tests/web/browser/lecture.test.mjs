// A lecture: the step's text large enough for the back of a room, the prose
// folded away, what a class watches (the step's entry and rule, the
// figure's upper panel, the line at y = 0) in the window at every step once
// the stepper is scrolled to its top, a presenter's clicker stepping, and
// the step's cells within the tableau's box beside the columns its rule
// quotes.

import assert from "node:assert/strict";
import { test } from "node:test";
import { browserSuite, frames, programX } from "./harness.mjs";

const eight = [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8];

browserSuite("lecture", (s) => {
  test("lecturing at 1920×1080 and 1280×720, every text of each step (the rule, the tableau, the figure, the line at y = 0), its subscripts too, at least 2.6 % of the window's height, and the prose folded away", async () => {
    for (const [width, height] of [
      [1920, 1080],
      [1280, 720],
    ]) {
      await s.open(`nodes=${programX.join(",")}&lecture=1&step=0`, { width, height });
      const folded = await s.page.evaluate(() =>
        ["header", "#recurrence", "#quality-section", "#iterate-section", "#glossary"].filter((sel) =>
          document.querySelector(sel)?.checkVisibility(),
        ),
      );
      assert.deepEqual(folded, [], `${width}×${height}: the prose folded away`);
      /** @type {{step: number, where: string, text: string, px: number, sub: boolean}[]} */
      const texts = [];
      for (let step = 1; step <= 6; step++) {
        await s.activate("step-forward");
        const seen = await s.page.evaluate(() =>
          ["#step-rule", "#tableau", "#figure", "#zoom"].flatMap((where) => {
            const root = document.querySelector(where);
            if (!root) throw new Error(`no ${where} in the page`);
            const walk = document.createTreeWalker(root, NodeFilter.SHOW_TEXT),
              out = [];
            for (let t = walk.nextNode(); t; t = walk.nextNode()) {
              const e = t.parentElement;
              if (!e || !t.textContent?.trim() || !e.checkVisibility() || e.closest(".visually-hidden")) continue;
              // an SVG's text as it is drawn, scaled
              const m = e instanceof SVGGraphicsElement ? e.getScreenCTM() : null;
              out.push({
                where,
                text: t.textContent.trim().slice(0, 30),
                px: parseFloat(getComputedStyle(e).fontSize) * (m ? Math.hypot(m.a, m.b) : 1),
                sub: !!e.closest("sub, sup"),
              });
            }
            return out;
          }),
        );
        texts.push(...seen.map((t) => ({ step, ...t })));
      }
      assert.equal(new Set(texts.map((t) => t.where)).size, 4);
      assert.ok(
        texts.some((t) => t.sub),
        "subscripts in the step's text",
      );
      const least = 0.026 * height,
        small = texts
          .filter((t) => t.px < least - 1e-6)
          .map((t) => `step ${t.step}, ${t.where}${t.sub ? ", a subscript" : ""}: “${t.text}” ${t.px.toFixed(2)} px`);
      assert.deepEqual(small, [], `${width}×${height}: at least ${least} px`);
    }
  });

  test("the step's entry (td.new), lecturing its parents and its rule too, the figure's upper panel and the line at y = 0 in the window at every step, the stepper scrolled to the top: 1920×1080 and 1280×720 lecturing; the entry and the figure at 1280×720, and at 960×540 with 6 digits the line at y = 0 whole", async () => {
    for (const { width, height, hash, rule } of [
      { width: 1920, height: 1080, hash: "lecture=1", rule: true },
      { width: 1280, height: 720, hash: "lecture=1", rule: true },
      { width: 1280, height: 720, hash: "", rule: false },
      { width: 960, height: 540, hash: "digits=6", rule: false },
    ]) {
      await s.open(`nodes=${programX.join(",")}&step=0${hash && `&${hash}`}`, { width, height });
      await s.page.evaluate(() => document.getElementById("stepper")?.scrollIntoView({ block: "start" }));
      for (let step = 1; step <= 6; step++) {
        await s.activate("step-forward");
        // the step's cell is scrolled into the tableau's box in the frame after the render
        await frames(s.page);
        const out = await s.page.evaluate((rule) => {
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
            // lecturing, the step's cells, its entry and its two parents, and its rule
            ...(rule
              ? {
                  "td.reads": box([...document.querySelectorAll("#tableau td.reads")]),
                  "#step-rule": box([...document.querySelectorAll("#step-rule")]),
                }
              : {}),
          };
          return Object.entries(watched)
            .filter(([, r]) => !(r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight))
            .map(([what, r]) => `${what} at ${[r.left, r.top, r.right, r.bottom].map(Math.round).join(", ")}`);
        }, rule);
        assert.deepEqual(out, [], `${width}×${height} ${hash}, step ${step}`);
      }
    }
  });

  test("with nothing focused, and just after ticking Lecture (which shows six digits), a presenter's Page Down and Page Up step, as → and ← do", async () => {
    await s.open(`nodes=${programX.join(",")}&lecture=1&digits=0&step=0`, { width: 1280, height: 720 });
    await s.changed(() => s.page.keyboard.press("PageDown"));
    assert.equal(await s.text("#step-count"), "1 of 6", "nothing focused");
    await s.changed(() => s.page.click("#lecture"));
    await s.changed(() => s.page.click("#lecture"));
    assert.equal(await s.page.evaluate(() => document.activeElement?.id), "lecture");
    // ticked, Lecture shows six digits where all were shown, as a lecture's link without digits= does
    assert.deepEqual(
      await s.page.evaluate(() => [
        /** @type {HTMLSelectElement} */ (document.getElementById("digits")).value,
        location.hash.includes("lecture=1"),
        location.hash.includes("digits="),
      ]),
      ["6", true, false],
    );
    const y = await s.page.evaluate(() => scrollY);
    for (const [key, count] of /** @type {const} */ ([
      ["PageDown", "2 of 6"],
      ["PageUp", "1 of 6"],
      ["ArrowRight", "2 of 6"],
    ])) {
      await s.changed(() => s.page.keyboard.press(key));
      assert.equal(await s.text("#step-count"), count, key);
    }
    assert.equal(await s.page.evaluate(() => scrollY), y, "the page itself did not scroll");
  });

  test("1366 by 900 at step 6 with all digits: the i and y columns the rule quotes in view beside the step's cells", async () => {
    await s.open(`nodes=${programX.join(",")}&step=6`, { width: 1366, height: 900 });
    await frames(s.page);
    const seen = await s.page.evaluate(() => {
      const box = document.getElementById("tableau-scroll")?.getBoundingClientRect();
      const inside = (/** @type {string} */ sel) =>
        [...document.querySelectorAll(sel)].every((c) => {
          const r = c.getBoundingClientRect();
          return !!box && r.left >= box.left - 1 && r.right <= box.right + 1;
        });
      return {
        heads: inside("#tableau tbody th"),
        y: inside("#tableau td[id^='y-']"),
        step: inside("td.new, td.reads"),
      };
    });
    assert.deepEqual(seen, { heads: true, y: true, step: true });
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
