// A learner on a phone, 390 by 844 and touch: every control a finger's
// size, and nodes typed as people write them (decimal commas, spaces, the
// typeset minus) taken or refused for what they are.

import assert from "node:assert/strict";
import { test } from "node:test";
import { browserSuite } from "./harness.mjs";

const phone = { width: 390, height: 844, touch: true };

browserSuite("phone", (s) => {
  test("at 390 by 844 by touch, every button and form control shown at least 44 by 44 px: a first visit, and predicting with Going deeper open and a learner's f", async () => {
    for (const hash of ["", "predict=1&step=2&deeper=1"]) {
      await s.open(hash, phone);
      if (hash) await s.changed(() => s.page.select("#function", "own"));
      const { count, small } = await s.page.evaluate(() => {
        const controls = [
          ...document.querySelectorAll("button, input, select, textarea, summary, [role=slider]"),
        ].filter((e) => e.checkVisibility());
        return {
          count: controls.length,
          small: controls.flatMap((e) => {
            const r = e.getBoundingClientRect();
            const name = `${e.tagName.toLowerCase()}#${e.id || e.getAttribute("name") || e.getAttribute("aria-label")}`;
            // to the thousandth of a pixel: Chromium measures a 44 px circle 43.99999 px wide (single precision)
            return r.width < 44 - 1e-3 || r.height < 44 - 1e-3 ? [`${name}: ${r.width}×${r.height}`] : [];
          }),
        };
      });
      // the stepper, the settings, the figure's handles, the field and its buttons at least
      assert.ok(count > 15, `#${hash}: ${count} controls shown`);
      assert.deepEqual(small, [], `#${hash}`);
    }
  });

  /** The field emptied and this typed into it by the phone's keyboard, then Interpolate tapped. */
  async function typed(/** @type {string} */ text) {
    await s.page.tap("#nodes");
    await s.page.evaluate(() => {
      const field = document.getElementById("nodes");
      // emptied as a learner empties it, so that a render meanwhile (an analysis arriving) keeps it empty
      if (field instanceof HTMLInputElement) {
        field.value = "";
        field.dispatchEvent(new Event("input"));
      }
    });
    await s.page.keyboard.type(text);
    await s.changed(() => s.page.tap("#experiment button[type=submit]"));
    return s.page.evaluate(() => ({
      error: document.getElementById("nodes-error")?.textContent ?? "",
      invalid: document.getElementById("nodes")?.getAttribute("aria-invalid") ?? "false",
      hash: location.hash,
    }));
  }

  test("on a phone, the nodes typed as “0,3; 0,4; 0,5”, “0,3 0,4 0,5” and “0.3 0.4 0.5” are 0.3, 0.4, 0.5, and p is the .wasm's for them", async () => {
    for (const text of ["0,3; 0,4; 0,5", "0,3 0,4 0,5", "0.3 0.4 0.5"]) {
      await s.open("nodes=0.3,0.6", phone);
      const seen = await typed(text);
      assert.deepEqual(seen, { error: "", invalid: "false", hash: "#nodes=0.3,0.4,0.5" }, text);
      await s.showsP([0.3, 0.4, 0.5]);
    }
  });

  test("on a phone, “−0.1” (the typeset minus) is refused only because it lies outside [0, 1]: said so, p kept, and taken where f's nodes may lie in [−2, 1]", async () => {
    await s.open("nodes=0.3,0.6", phone);
    const p = await s.text("#p");
    for (const text of ["−0.1", "−0.1, 0.3, 0.5"]) {
      const seen = await typed(text);
      // the words are the parser's (tests/web/unit/link.test.mjs): here, that the page says them
      assert.match(seen.error, /must lie in \[0, 1\]/, text);
      assert.deepEqual([seen.invalid, seen.hash, await s.text("#p")], ["true", "#nodes=0.3,0.6", p], text);
    }
    // the hump's nodes may lie in [−2, 1]: there the same text is three nodes
    await s.changed(() => s.page.select("#function", "hump"));
    const seen = await typed("−0.1, 0.3, 0.5");
    assert.deepEqual([seen.error, seen.invalid, await s.nodes()], ["", "false", [-0.1, 0.3, 0.5]]);
  });
});
