// Loading and the link: the program run as the page opens, the state a
// link opens at and brings back, what of a link or the field cannot be
// used, the field's own text, the exponential for other nodes, and the
// page over http.

import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createServer } from "node:http";
import { test } from "node:test";
import { same } from "../recorded.mjs";
import { browserSuite, opt, programP, ready, recorded, renders, sweep } from "./harness.mjs";

browserSuite("loading", (s) => {
  test("a first load shows the program's two lines, verbatim, and its exit status, 0", async () => {
    await s.open("");
    assert.deepEqual([await s.text("#program-output"), await s.text("#exit-status")], [recorded.lines, "0"]);
  });

  test("a first visit opens at 0 of 6 with Step ready and column 0's rule, as do an anchor and a link without nodes; a link at its step, else at the end", async () => {
    for (const { hash, want } of [
      { hash: "", want: { count: "0 of 6", stepDoesNothing: "false", empty: 6 } },
      { hash: "tableau-section", want: { count: "0 of 6", stepDoesNothing: "false", empty: 6 } },
      { hash: "lecture=1", want: { count: "0 of 6", stepDoesNothing: "false", empty: 6 } },
      { hash: "nodes=0.3,0.4,0.5,0.6&step=2", want: { count: "2 of 6", stepDoesNothing: "false", empty: 4 } },
      { hash: "nodes=0.3,0.4,0.5,0.6", want: { count: "6 of 6", stepDoesNothing: "true", empty: 0 } },
    ]) {
      await s.open(hash);
      assert.deepEqual(await s.stepper(), want, `#${hash}`);
      if (hash === "")
        assert.match(await s.text("#step-rule"), /^Q\[i\]\[0\] = xi, the nodes\. Step to make the first entry\.$/);
    }
  });

  test("a link's nodes give the p a sweep through the .wasm gives, shown to the last bit, NaN and -Infinity too", async () => {
    for (const { hash, xs } of [
      { hash: "1e+0,0.5", xs: [1, 0.5] },
      { hash: "0.3,0.3", xs: [0.3, 0.3] },
      { hash: "0,1e-20", xs: [0, 1e-20] },
    ]) {
      await s.open(`nodes=${hash}`);
      await s.showsP(xs);
    }
  });

  test("each term's first mention on the page, if it has one before the words used here, links to its entry there", async () => {
    const terms = {
      "term-ulp": "\\bulps?\\b",
      "term-wasm": "WebAssembly",
      "term-extrapolation": "xtrapolat",
      "term-order": "orders? of convergence",
    };
    await s.open("");
    const seen = await s.page.evaluate((terms) => {
      const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT, (t) =>
        t.parentElement?.closest("script, #glossary") ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT,
      );
      /** @type {Record<string, string>} */
      const first = {};
      for (let t = walk.nextNode(); t; t = walk.nextNode()) {
        for (const [id, re] of Object.entries(terms)) {
          if (!(id in first) && new RegExp(re, "i").test(t.textContent ?? "")) {
            const at = t.parentElement;
            first[id] = at?.closest("a")?.getAttribute("href") ?? at?.outerHTML.slice(0, 80) ?? "";
          }
        }
      }
      const explained = Object.keys(terms).filter(
        (id) => (document.getElementById(id)?.nextElementSibling?.textContent?.length ?? 0) > 40,
      );
      return { first, explained };
    }, terms);
    const ids = Object.keys(terms);
    assert.deepEqual(seen, {
      first: Object.fromEntries(Object.keys(seen.first).map((id) => [id, `#${id}`])),
      explained: ids,
    });
  });

  test("a link's fields that cannot be used are said, and its step is used", async () => {
    await s.open("nodes=0.3,0.4,0.5&iterates=1000&step=2&exp=foo");
    const said = await s.text("#link-error");
    assert.match(said, /iterates, 1000, is more than the 100/);
    assert.match(said, /exp, “foo”, is neither/);
    assert.deepEqual([await s.text("#step-count"), await s.text("#nodes-error")], ["2 of 3", ""]);
  });

  test("the link holds the whole state: a fresh tab shows the same tableau, iterates, step, p and field", async () => {
    const shown = (/** @type {import("puppeteer-core").Page} */ p) =>
      p.evaluate(() => ({
        count: document.getElementById("step-count")?.textContent,
        p: document.getElementById("p")?.textContent,
        tableau: document.getElementById("tableau")?.innerText,
        iterations: document.getElementById("iterations")?.innerText,
        rows: document.querySelectorAll("#iterations tbody tr").length,
      }));
    for (const { start, clicks, rows, count } of [
      { start: "0,1", clicks: ["iterate", "iterate", "iterate", "iterate", "step-first"], rows: 5, count: "0 of 1" },
      { start: "0.3,0.45,0.6", clicks: ["iterate", "iterate", "step-back", "step-back"], rows: 3, count: "1 of 3" },
    ]) {
      await s.open(`nodes=${start}`);
      for (const id of clicks) await s.activate(id);
      // the orders of both come from the many-digit table, which the page computes after it is ready
      const orders = (/** @type {import("puppeteer-core").Page} */ p) =>
        p.waitForFunction(() => performance.getEntriesByName("inverse_neville:orders").length > 0);
      await orders(s.page);
      const here = { ...(await shown(s.page)), field: await s.field() },
        link = s.page.url();
      const there = await s.inTab(async (fresh) => {
        await fresh.goto(link);
        await ready(fresh);
        await orders(fresh);
        return { ...(await shown(fresh)), field: await s.field(fresh) };
      });
      assert.deepEqual(there, here, `${link.split("#")[1]} in a fresh tab`);
      assert.deepEqual([there.rows, there.count], [rows, count], `#nodes=${start}, then ${clicks.join(", ")}`);
    }
  });

  test("a bad link after a good one is said by the field, marked invalid, and the last good p kept", async () => {
    await s.open("nodes=0.3,0.4");
    const good = await s.text("#p");
    for (const { hash, want } of [
      { hash: "abc", want: /^“abc” is not a number\./ },
      { hash: "0.3,,0.4&step=1", want: /^There is nothing between comma 1 and comma 2\./ },
    ]) {
      await s.page.evaluate((h) => (location.hash = h), `nodes=${hash}`);
      await s.page.waitForFunction(() => document.getElementById("nodes-error")?.textContent !== "");
      const seen = await s.page.evaluate(() => ({
        invalid: document.getElementById("nodes")?.getAttribute("aria-invalid"),
        p: document.getElementById("p")?.textContent,
        wide: document.documentElement.scrollWidth,
      }));
      const said = await s.text("#nodes-error");
      assert.match(said, want);
      assert.match(said, /The page still shows the last good nodes\.$/);
      assert.deepEqual([seen.invalid, seen.p], ["true", good], `#nodes=${hash}: the field marked, p kept`);
      assert.ok(seen.wide <= 1280, `#nodes=${hash}: the page ${seen.wide} px wide in a 1280 px window`);
      await s.page.evaluate(() => (location.hash = "nodes=0.3,0.4"));
      await s.page.waitForFunction(() => document.getElementById("nodes-error")?.textContent === "");
    }
  });

  test("a bad link on a fresh load is said, and the page shows the program's nodes", async () => {
    await s.open("nodes=abc");
    assert.match(await s.text("#nodes-error"), /^“abc” is not a number\. The page shows the first nodes\.$/);
    assert.match(await s.text("#nodes-summary"), /^This page's link could not be used: “abc” is not a number\./);
    assert.ok(same(Number(await s.text("#p")), programP), await s.text("#p"));
  });

  test("typed into the field and submitted: the program's p, the link says so, drawn once, and said", async () => {
    await s.open("nodes=abc");
    await s.page.click("#nodes", { count: 3 });
    await s.page.keyboard.type("0.3, 0.4, 0.5, 0.6");
    const before = await renders(s.page);
    await s.changed(() => s.page.keyboard.press("Enter"));
    await ready(s.page); // and a frame more, in which a second render would come
    assert.deepEqual(
      {
        p: Number(await s.text("#p")),
        hash: await s.page.evaluate(() => location.hash),
        renders: await renders(s.page),
      },
      { p: programP, hash: "#nodes=0.3,0.4,0.5,0.6", renders: before + 1 },
    );
    assert.match(await s.text("#announce"), /^4 nodes: p = 0\.4263057326974982/);
    // and beside the field, where the learner is
    assert.match(await s.text("#experiment-result"), /^p = 0\.4263057326974982, 2\.98e-6 from the root\.$/);
  });

  test("the program's nodes, with the fragment already theirs: the field's error and bad text go", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6");
    await s.page.click("#nodes", { count: 3 });
    await s.page.keyboard.type("abc");
    await s.page.keyboard.press("Enter");
    assert.notEqual(await s.text("#nodes-error"), "");
    await s.page.click("#reset");
    assert.deepEqual([await s.text("#nodes-error"), await s.field()], ["", "0.3, 0.4, 0.5, 0.6"]);
  });

  test("nodes typed and not submitted stay in the field whatever else changes the link", async () => {
    // the exponential is chosen in "Going deeper"
    await s.open("nodes=0.3,0.4,0.5,0.6&deeper=1");
    await s.page.click("#nodes", { count: 3 });
    await s.page.keyboard.type("0.2, 0.5");
    const key = async () => {
      await s.focusHandle(0);
      await s.page.keyboard.press("ArrowRight");
    };
    for (const { what, act } of [
      { what: "choosing the exponential", act: () => s.page.click('input[value="browser"]') },
      { what: "a key on a handle", act: key },
      { what: "a pointer on a handle", act: () => s.drag(0, 20) },
      { what: "a step", act: () => s.page.click("#step-back") },
      { what: "Iterate", act: () => s.page.click("#iterate") },
    ]) {
      const before = await s.page.evaluate(() => location.hash);
      await act();
      const after = { field: await s.field(), hash: await s.page.evaluate(() => location.hash) };
      assert.equal(after.field, "0.2, 0.5", what);
      assert.notEqual(after.hash, before, `${what} changes the link`);
    }
  });

  test("submitted, the field shows the nodes, and keeps their own text as the state changes", async () => {
    await s.open("exp=browser&deeper=1");
    await s.page.click("#nodes", { count: 3 });
    await s.page.keyboard.type("0.3, 0.4");
    await s.page.keyboard.press("Enter");
    assert.deepEqual(
      [await s.field(), await s.page.evaluate(() => location.hash)],
      ["0.3, 0.4", "#nodes=0.3,0.4&exp=browser&deeper=1"],
    );
    await s.page.click('input[value="wasm"]');
    await s.page.click("#step-back");
    assert.equal(await s.field(), "0.3, 0.4");
  });

  test("the other exponential: the page counts the y the browser's Math.exp makes differ, and says it when chosen", async () => {
    const spread = [0.05, 0.15, 0.25, 0.35, 0.384, 0.45, 0.55, 0.65];
    await s.open(`nodes=${spread.join(",")}&deeper=1`);
    const browserY = await s.page.evaluate((xs) => xs.map((x) => Math.exp(-2.0 * x) - x), spread);
    const differ = spread.filter((x, k) => !same(sweep.exp(-2.0 * x) - x, browserY[k])).length;
    assert.match(
      await s.text("#exp-effect"),
      differ ? new RegExp(`would change ${differ} of the 8 computed y`) : /gives the same y/,
    );
    await s.page.click('input[name="exp"][value="browser"]');
    assert.match(await s.text("#announce"), /^Now the browser's Math\.exp\./);
    assert.match(await s.text("#exp-effect"), /the program's own exp/);
  });

  test("over http, as any static server gives it, the server sees one request: the page's own", async () => {
    /** @type {string[]} */
    const served = [];
    const server = createServer((req, res) => {
      served.push(req.url ?? "");
      const page = req.url === "/page.html";
      res.writeHead(page ? 200 : 404, page ? { "content-type": "text/html; charset=utf-8" } : {});
      res.end(page ? readFileSync(opt.page) : "");
    });
    await new Promise((r) => server.listen(0, "127.0.0.1", () => r(null)));
    try {
      const address = server.address();
      assert.ok(address && typeof address === "object");
      await s.inTab(async (p) => {
        await p.goto(`http://127.0.0.1:${address.port}/page.html`);
        await ready(p);
      });
    } finally {
      server.close();
    }
    assert.deepEqual(served, ["/page.html"]);
  });
});
