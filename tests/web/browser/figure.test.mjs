// The figure, its handles and a drag: the nodes named in both panels, a
// node moved by the mouse and by keys, refused, removed and added, with p
// following each as the .wasm gives it; the curves through six Iterates;
// and the axes and the figure's size whatever the nodes.

import assert from "node:assert/strict";
import { test } from "node:test";
import { browserSuite, programX, renders, rootDouble } from "./harness.mjs";

browserSuite("figure", (s) => {
  test("the nodes are named x0 to x3, left to right in both panels", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&step=3");
    const seen = await s.page.evaluate(() => {
      const xs = (/** @type {string} */ sel) =>
        [...document.querySelectorAll(sel)].map((c) => c.getBoundingClientRect().x);
      return {
        names: [...document.querySelectorAll("#figure .node-label")].map((t) => t.textContent),
        handles: xs("#figure .handle .dot"),
        marks: xs("#figure .node-mark"),
      };
    });
    const rising = (/** @type {number[]} */ xs) => xs.every((x, k) => k === 0 || x > xs[k - 1]);
    assert.deepEqual(seen.names, ["x0", "x1", "x2", "x3"]);
    assert.ok(rising(seen.handles) && seen.handles.length === 4, `the handles at ${seen.handles}`);
    assert.ok(rising(seen.marks) && seen.marks.length === 3, `the marks below at ${seen.marks}`);
  });

  test("dragged by the mouse, x1 moves between its neighbours with one history entry, and p follows", async () => {
    // a tab of its own: a browser keeps at most 50 history entries
    await s.inTab(async (p) => {
      await s.open("nodes=0.3,0.4,0.5,0.6", { p });
      const history = () => p.evaluate(() => history.length);
      const entries = await history();
      await s.drag(1, 40, p);
      const xs = await s.nodes(p);
      assert.ok(xs[1] > 0.4 && xs[1] < 0.5, `x1 = ${xs[1]}`);
      assert.equal((await history()) - entries, 1, "history entries the drag made");
      await s.showsP(xs, p);
    });
  });

  test("a 40-step drag of x1 of eight nodes: no analysis ends while the pointer is down, one after, of the nodes let go", async () => {
    await s.inTab(async (p) => {
      await s.open("nodes=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8", { p });
      const analyses = () => p.evaluate(() => performance.getEntriesByName("inverse_neville:analysis").length);
      await p.waitForFunction(() => performance.getEntriesByName("inverse_neville:analysis").length > 0);
      const [x, y] = await p.evaluate(() => {
        const handle = document.querySelectorAll("#figure .handle")[1];
        handle.scrollIntoView({ block: "center" });
        const box = handle.getBoundingClientRect();
        return [box.x + box.width / 2, box.y + box.height / 2];
      });
      const before = await analyses();
      await p.mouse.move(x, y);
      await p.mouse.down();
      for (let d = 1; d <= 40; d++) {
        await p.mouse.move(x + d, y);
        await p.evaluate(() => new Promise((done) => requestAnimationFrame(() => done(null))));
      }
      const during = (await analyses()) - before;
      await p.mouse.up();
      await p.waitForFunction((n) => performance.getEntriesByName("inverse_neville:analysis").length > n, {}, before);
      const xs = await s.nodes(p);
      assert.equal(during, 0, "analyses ended while the pointer was down");
      assert.ok(xs[1] > 0.2 && xs[1] < 0.3, `x1 = ${xs[1]}`);
      // the bound drawn is of the nodes let go: its words name the product of their y
      assert.match(await p.$eval("#bound", (e) => e.textContent ?? ""), /\(0 − y7\)/);
    });
  });

  test("keys on a handle move its node, the handle and the live region say where, and p follows", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6");
    await s.focusHandle(2);
    /** @type {[import("puppeteer-core").KeyInput, boolean, number][]} */
    const keys = [
      ["ArrowRight", false, 0.51],
      ["ArrowLeft", true, 0.509],
      ["PageUp", false, 0.609],
      ["ArrowDown", false, 0.599],
      ["Home", false, 0],
      ["End", false, 1],
    ];
    for (const [key, shift, want] of keys) {
      if (shift) await s.page.keyboard.down("Shift");
      await s.page.keyboard.press(key);
      if (shift) await s.page.keyboard.up("Shift");
      const xs = await s.nodes(),
        now = await s.page.evaluate(() =>
          document.querySelectorAll("#figure .handle")[2]?.getAttribute("aria-valuenow"),
        );
      const what = `${shift ? "Shift+" : ""}${key}`;
      assert.deepEqual([xs[2], Number(now)], [want, want], `${what}: x2 in the field and on the handle`);
      assert.ok((await s.text("#announce")).startsWith(`Node 2 at x = ${want}: p = ${await s.text("#p")}`), what);
      await s.showsP(xs);
    }
  });

  test("→ on a node at 1 is refused beside the figure, and the field stays valid", async () => {
    await s.open("nodes=0.3,0.4,1,0.6");
    await s.focusHandle(2);
    await s.page.keyboard.press("ArrowRight");
    assert.match(await s.text("#figure-error"), /must lie in \[0, 1\]/);
    assert.deepEqual(await s.nodes(), [0.3, 0.4, 1, 0.6]);
    assert.equal(await s.page.evaluate(() => document.getElementById("nodes")?.hasAttribute("aria-invalid")), false);
  });

  test("Delete removes the focused node and Add puts one in the widest gap, p following each", async () => {
    await s.open("nodes=0.3,0.437,1,0.6");
    await s.focusHandle(2);
    await s.page.keyboard.press("Delete");
    let xs = await s.nodes();
    assert.deepEqual(xs, [0.3, 0.437, 0.6]);
    assert.equal(await s.page.evaluate(() => document.querySelectorAll("#figure .handle").length), 3);
    await s.showsP(xs);
    await s.page.click("#add-node");
    xs = await s.nodes();
    assert.deepEqual(xs, [0.3, 0.437, 0.6, 0.519]);
    await s.showsP(xs);
  });

  test("keys elsewhere move no node", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6");
    // the analyses render as they arrive: counted once both have
    await s.page.waitForFunction(() =>
      ["analysis", "orders"].every((m) => performance.getEntriesByName(`inverse_neville:${m}`).length > 0),
    );
    await s.page.focus("#add-node");
    const before = await renders(s.page);
    await s.page.keyboard.press("ArrowUp");
    assert.deepEqual(await s.nodes(), [0.3, 0.4, 0.5, 0.6]);
    assert.equal(await renders(s.page), before, "renders");
  });

  test("through six Iterates no curve turns back, no axis has a multiplier above 10⁰, and at the root the figure says how near p is", async () => {
    for (const start of [programX, [0, 1]]) {
      await s.open(`nodes=${start.join(",")}`);
      for (let k = 1; k <= 6; k++) {
        await s.activate("iterate");
        const seen = await s.page.evaluate((root) => {
          const turns = [...document.querySelectorAll("#figure .poly, #figure .poly-hi, #figure .poly-lo")].filter(
            (line) => {
              const xs = (line.getAttribute("points") ?? "").split(" ").map((p) => Number(p.split(",")[0]));
              return xs.some((x, n) => n > 0 && x > xs[n - 1] + 1);
            },
          ).length;
          const text = [...document.querySelectorAll("#figure text")].map((t) => t.textContent).join(" ");
          return {
            turns,
            multiplier: /×10[¹²³⁴⁵⁶⁷⁸⁹]/.test(text),
            rounding: document.getElementById("p")?.textContent !== root || /rounding|ulps of the root/i.test(text),
          };
        }, String(rootDouble));
        assert.deepEqual(seen, { turns: 0, multiplier: false, rounding: true }, `from ${start}, Iterate ${k}`);
      }
    }
  });

  test("the error panel's word on rounding lies clear of the nodes' marks, whichever half the zero line is in", async () => {
    // eight nodes as Add makes them, errors all below the zero line; two nodes close, errors around it
    for (const nodes of ["0.3,0.4,0.35,0.375,0.325,0.313,0.363,0.388", "0.42,0.4200000000000001,0.43"]) {
      await s.open(`nodes=${nodes}`, { width: 1366, height: 768 });
      const over = await s.page.evaluate(() => {
        const said = document.querySelector("#figure text.rounding")?.getBoundingClientRect();
        if (!said) return null;
        return [...document.querySelectorAll("#figure .node-mark")].filter((c) => {
          const m = c.getBoundingClientRect();
          return m.left < said.right && m.right > said.left && m.top < said.bottom && m.bottom > said.top;
        }).length;
      });
      assert.equal(over, 0, `nodes ${nodes}: marks under the word on rounding (null: no word)`);
    }
  });

  test("at 320 and 1280 px, whatever the nodes: one size of figure, at most ten labels an axis, none overlapping or under 10 px", async () => {
    const sets = [
      programX,
      [0, 1],
      [0.2, 0.35, 0.5],
      [0.3, 0.6],
      [0.1, 0.3, 0.5, 0.7, 0.9],
      [0.6, 0.7, 0.8],
      [0.3, 0.3],
      [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8],
    ];
    for (const width of [320, 1280]) {
      /** @type {number[][]} */
      const sizes = [];
      for (const [k, xs] of sets.entries()) {
        const hash = `nodes=${xs.join(",")}`;
        if (k === 0) await s.open(hash, { width });
        else await s.changed(() => s.page.evaluate((h) => (location.hash = h), hash));
        const axes = await s.page.evaluate(() => {
          const ts = [...document.querySelectorAll("#figure text.tick")],
            boxes = ts.map((t) => t.getBoundingClientRect()),
            panels = [...document.querySelectorAll("#figure .panel")];
          /** @type {Record<string, DOMRect[]>} */
          const groups = {}; // an axis: the labels of one panel with one anchor
          ts.forEach((t, k) => {
            const panel = t.closest(".panel");
            (groups[`${panel && panels.indexOf(panel)} ${t.getAttribute("text-anchor")}`] ??= []).push(boxes[k]);
          });
          const figure = document.getElementById("figure")?.getBoundingClientRect();
          return {
            most: Math.max(...Object.values(groups).map((g) => g.length)),
            overlap: boxes.some((a, k) =>
              boxes.some(
                (b, m) => m > k && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom,
              ),
            ),
            lowest: Math.min(...boxes.map((b) => b.height)),
            elements: document.querySelectorAll("#figure *").length,
            size: [figure?.width ?? NaN, figure?.height ?? NaN],
          };
        });
        const what = `${width} px, nodes ${xs}: ${JSON.stringify(axes)}`;
        assert.ok(axes.most <= 10 && !axes.overlap && axes.lowest >= 10 && axes.elements < 400, what);
        sizes.push(axes.size);
      }
      // the same to a hundredth of a pixel: Firefox lays a size out a few millionths apart
      const same = sizes.every(([w, h]) => Math.abs(w - sizes[0][0]) < 0.01 && Math.abs(h - sizes[0][1]) < 0.01);
      assert.ok(same, `${width} px: the figure's sizes ${sizes.map(([w, h]) => `${w}×${h}`).join(", ")}`);
    }
  });
});
