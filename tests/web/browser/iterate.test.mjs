// Iterate and the orders: each Iterate clicked shows the p a sweep through
// the .wasm gives, to where doubles end; the orders table is computed after
// the page is ready, for the nodes shown, and a computation whose nodes are
// gone is dropped.  What the iterations and the orders are, number by
// number, the unit tests check against the .wasm and Python's decimal.

import assert from "node:assert/strict";
import { test } from "node:test";
import { doublesIterated, same } from "../recorded.mjs";
import { browserSuite, programX, rootDouble, sweep, manyDigitErrors } from "./harness.mjs";

browserSuite("iterate", (s) => {
  /**
   * Iterate clicked, each p checked against the .wasm's sweep of the nodes
   * the page should now hold: the oldest node replaced by p while Iterate is
   * not marked as done, nothing changed once it is.  Returns whether it was.
   * @param {number[]} start
   * @param {number} clicks
   */
  async function iterate(start, clicks) {
    await s.open(`nodes=${start.join(",")}`);
    let nodes = [...start],
      rows = 1,
      done = false;
    for (let k = 1; k <= clicks; k++) {
      const disabled = await s.page.evaluate(() => document.getElementById("iterate")?.getAttribute("aria-disabled"));
      done ||= disabled === "true";
      await s.activate("iterate");
      if (!done) {
        nodes = [...nodes.slice(1), sweep.pOf(nodes)];
        rows++;
      }
      const shown = await s.text("#p"),
        count = await s.page.evaluate(() => document.querySelectorAll("#iterations tbody tr").length);
      assert.ok(
        same(Number(shown), sweep.pOf(nodes)),
        `Iterate ${k}: p = ${shown}, the .wasm gives ${sweep.pOf(nodes)}`,
      );
      assert.equal(count, rows, `Iterate ${k}: the rows of the iterations`);
    }
    return done;
  }

  test("Iterate twice from the program's nodes: each p as the .wasm gives it, a row each", async () => {
    assert.equal(await iterate(programX, 2), false);
  });

  test("Iterate nine times from 0.3, 0.4, 0.5 and from 0.4, 0.5: each p as the .wasm gives it; at the root's double, or where the next step would divide by zero, Iterate does nothing and says why", async () => {
    for (const [start, why] of /** @type {[number[], RegExp][]} */ ([
      [[0.3, 0.4, 0.5], /^p3 is the double nearest the root/],
      [[0.4, 0.5], /reached what doubles allow\.$/],
    ])) {
      assert.equal(await iterate(start, 9), true, `${start}: Iterate is marked as done`);
      assert.match(await s.text("#iterate-note"), why);
    }
  });

  /** The orders table once computed for these nodes: its rows, the row marked, and when it was made. */
  async function ordersOf(/** @type {number[]} */ xs) {
    await s.page.waitForFunction(
      (want) => {
        const t = document.getElementById("orders");
        return t?.getAttribute("aria-busy") === "false" && t.dataset.nodes === want;
      },
      {},
      xs.join(),
    );
    return s.page.evaluate(() => {
      const mark = (/** @type {string} */ name) => performance.getEntriesByName(`inverse_neville:${name}`);
      const rows = [...document.querySelectorAll("#orders tbody tr")];
      return {
        errors: rows.map((tr) => tr.children[1]?.textContent),
        marked: rows.flatMap((tr, k) => (tr.classList.contains("doubles-stop") ? [k] : [])),
        note: document.getElementById("orders-note")?.textContent ?? "",
        afterReady: mark("orders")[0]?.startTime > mark("ready")[0]?.startTime,
        drawn: mark("orders").length,
      };
    });
  }
  test("the orders table for 4, 3 and 2 nodes: computed after the page is ready, the many digits' errors, the doubles' stop marked", async () => {
    for (const xs of [programX, [0.3, 0.4, 0.5], [0.3, 0.4]]) {
      await s.open(`nodes=${xs.join(",")}`);
      const got = await ordersOf(xs);
      assert.deepEqual(
        { errors: got.errors, marked: got.marked, afterReady: got.afterReady },
        {
          errors: manyDigitErrors(xs),
          marked: [doublesIterated(sweep.pOf, xs, rootDouble).step],
          afterReady: true,
        },
        `nodes ${xs}`,
      );
    }
  });

  test("nodes changed twice at once: the first computation is dropped, the table drawn once, the last nodes'", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6");
    const { drawn } = await ordersOf(programX);
    await s.page.$eval("input#nodes", (field) => {
      for (const text of ["0.3, 0.4, 0.5", "0.3, 0.4"]) {
        field.value = text;
        field.form?.requestSubmit();
      }
    });
    await ordersOf([0.3, 0.4]);
    // The page computes a row a timer task: a computation for 0.3, 0.4, 0.5 that went on would draw
    // within its ten tasks.  Forty tasks more of the page's own event loop, and then the table.
    await s.page.evaluate(
      () =>
        new Promise((done) => {
          let n = 0;
          const next = () => (++n < 40 ? setTimeout(next, 0) : done(null));
          setTimeout(next, 0);
        }),
    );
    const kept = await ordersOf([0.3, 0.4]);
    assert.equal(kept.drawn, drawn + 1, "tables drawn since the two changes");
    assert.deepEqual(kept.errors, manyDigitErrors([0.3, 0.4]));
  });

  test("equal nodes: no row in the orders table, and the note says why", async () => {
    await s.open("nodes=0.3,0.3");
    const equal = await ordersOf([0.3, 0.3]);
    assert.deepEqual(equal.errors, []);
    assert.match(
      equal.note,
      /^x0 and x1 have the same y: the sweep would divide by zero\. The doubles have nothing to iterate/,
    );
  });
});
