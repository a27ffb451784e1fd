// The page as a lesson: what a first visit sees (the idea's picture in the
// first screen, no word a beginner does not know yet outside "Going
// deeper" and the glossary), Neville's triangle following the tableau at
// every step, and the many-digit table beside Iterate's rows, k for k.

import assert from "node:assert/strict";
import { test } from "node:test";
import { showsNumber } from "../recorded.mjs";
import { browserSuite, programX, programRoot } from "./harness.mjs";

/** The words a beginner meets only in "Going deeper" and the glossary. */
const JARGON = [/\bulps?\b/i, /WebAssembly/i, /\bwasm\b/i, /\bwasi\b/i, /hexadecimal/i, /IEEE/i, /BigInt/i, /\b1100\b/];

/** The entries of a tableau of n nodes in the order the steps make them: row by row, Q[i][1] to Q[i][i]. */
const entriesOf = (/** @type {number} */ n) =>
  Array.from({ length: n - 1 }, (_, r) => Array.from({ length: r + 1 }, (_, c) => `${r + 1},${c + 1}`)).flat();

browserSuite("lesson", (s) => {
  test("a first visit at 1280 by 720: the idea's picture drawn and wholly in view, Going deeper closed (open from deeper=1)", async () => {
    await s.open("", { width: 1280, height: 720 });
    const swap = await s.page.evaluate(() => {
      const svg = document.getElementById("swap");
      if (!svg) throw new Error("no #swap in the page");
      const box = svg.getBoundingClientRect(),
        count = (/** @type {string} */ sel) => svg.querySelectorAll(sel).length;
      return {
        inView: box.width > 0 && box.left >= 0 && box.top >= 0 && box.right <= innerWidth && box.bottom <= innerHeight,
        // f's graph and g's, a mark for each node in each, the root ringed in each, the nodes named
        curves: [count("path.f"), count("path.g")],
        nodes: count("circle.node"),
        rings: count("circle.root"),
        names: [...svg.querySelectorAll("text.node-label")].map((t) => t.textContent),
        deeper: document.querySelector("details#going-deeper")?.hasAttribute("open"),
      };
    });
    assert.deepEqual(swap, {
      inView: true,
      curves: [1, 1],
      nodes: 2 * programX.length,
      rings: 2,
      names: programX.map((_, k) => `x${k}`),
      deeper: false,
    });
    await s.open("deeper=1", { width: 1280, height: 720 });
    assert.equal(
      await s.page.evaluate(() => document.querySelector("details#going-deeper")?.hasAttribute("open")),
      true,
    );
  });

  test("a first visit, opened and stepped to the end: at most 744 words and 3 mentions of the program, and none of ulp, WebAssembly, wasm, wasi, hexadecimal, IEEE, BigInt, 1100 in the text shown outside Going deeper and the glossary", async () => {
    await s.open("", { width: 1280, height: 720 });
    /** The rendered text of the body (innerText) but for "Going deeper" and the glossary, and the words found in it. */
    const jargon = () =>
      s.page.evaluate(
        (sources) => {
          /** @type {Element[]} */
          const left = [...document.querySelectorAll("#going-deeper, #glossary")];
          if (left.length !== 2) throw new Error("no #going-deeper or #glossary in the page");
          /** @returns {string} */
          const shown = (/** @type {Element} */ e) =>
            !e.checkVisibility() || left.includes(e)
              ? ""
              : left.some((l) => e.contains(l))
                ? [...e.children].map(shown).join("\n")
                : e instanceof HTMLElement
                  ? e.innerText
                  : (e.textContent ?? "");
          const text = shown(document.body);
          return {
            length: text.length,
            words: text.split(/\s+/).filter(Boolean).length,
            programs: (text.match(/\bprogram/gi) ?? []).length,
            found: sources.flatMap((source) => {
              const m = new RegExp(source.source, source.flags).exec(text);
              return m ? [`${m[0]} in “…${text.slice(Math.max(0, m.index - 60), m.index + 30)}…”`] : [];
            }),
          };
        },
        JARGON.map((re) => ({ source: re.source, flags: re.flags })),
      );
    const first = await jargon();
    await s.page.click("#step-last");
    const end = await jargon();
    // the text read is the page's: the idea, the rule, the tableau and the figure's words
    assert.ok(first.length > 2000 && end.length > first.length, `${first.length} and ${end.length} characters read`);
    assert.deepEqual([first.found, end.found], [[], []]);
    // written for a learner, not about the program: a first visit's words at most 60 % of the 1,241 it had
    assert.ok(first.words <= 744 && first.programs <= 3, `${first.words} words, "program" ${first.programs} times`);
  });

  test("Neville's triangle at every step of 2, 4 and 8 nodes: each entry drawn from (i, j−1) and (i−1, j−1), those made so far marked made, the step's two arrows current, naming the tableau's td.new and its two td.reads", async () => {
    for (const xs of [[0.3, 0.6], programX, [0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8]]) {
      const entries = entriesOf(xs.length);
      await s.open(`nodes=${xs.join(",")}&step=0`);
      for (let k = 0; k <= entries.length; k++) {
        if (k > 0) await s.activate("step-forward");
        const seen = await s.page.evaluate(() => {
          const role = (/** @type {Element} */ e) => [...e.classList].find((c) => c.startsWith("role-")) ?? "";
          return {
            count: document.getElementById("step-count")?.textContent,
            arrows: [...document.querySelectorAll("#triangle line.arrow")].map((a) => ({
              from: a.getAttribute("data-from") ?? "",
              to: a.getAttribute("data-to") ?? "",
              made: a.classList.contains("made"),
              current: a.classList.contains("current"),
              role: role(a),
            })),
            made: [...document.querySelectorAll("#tableau td.new")].map((td) => td.id),
            reads: [...document.querySelectorAll("#tableau td.reads")].map((td) => `${td.id} ${role(td)}`).sort(),
          };
        });
        const where = `${xs.length} nodes, ${seen.count}`;
        assert.equal(seen.count, `${k} of ${entries.length}`, where);
        // Neville's rule: two arrows into each entry, from the entry left of it and the one above that
        const into = (/** @type {string} */ to) => seen.arrows.filter((a) => a.to === to);
        for (const to of entries) {
          const [i, j] = to.split(",").map(Number);
          assert.deepEqual(
            into(to)
              .map((a) => a.from)
              .sort(),
            [`${i - 1},${j - 1}`, `${i},${j - 1}`].sort(),
            `${where}: into ${to}`,
          );
        }
        assert.equal(seen.arrows.length, 2 * entries.length, `${where}: arrows into no entry`);
        // made: the arrows into the entries of steps 1 … k, and no other
        const made = seen.arrows.filter((a) => a.made).map((a) => a.to);
        assert.deepEqual([...new Set(made)].sort(), entries.slice(0, k).sort(), `${where}: arrows marked made`);
        assert.equal(made.length, 2 * k, `${where}: arrows marked made`);
        // the step's entry: its two arrows, the tableau's entry made and the two it reads, role for role
        const current = seen.arrows.filter((a) => a.current);
        const cell = (/** @type {string} */ e) => `q-${e.replace(",", "-")}`;
        if (k === 0) assert.deepEqual([current, seen.made, seen.reads], [[], [], []], where);
        else {
          assert.deepEqual(
            { to: current.map((a) => a.to), made: seen.made },
            { to: [entries[k - 1], entries[k - 1]], made: [cell(entries[k - 1])] },
            where,
          );
          assert.deepEqual(
            current.map((a) => `${cell(a.from)} ${a.role}`).sort(),
            seen.reads,
            `${where}: the two read`,
          );
        }
      }
    }
  });

  test("the many-digit table beside Iterate after 0, 1 and 2 Iterates (the last where p is the double nearest the root) from the program's nodes: its k is Iterate's k, its doubles' column |p_k − root| of Iterate's p_k", async () => {
    await s.open("deeper=1");
    const start = programX.join();
    let pressed = 0;
    for (const iterates of [0, 1, 2]) {
      for (; pressed < iterates; pressed++) await s.activate("iterate");
      await s.page.waitForFunction(
        (nodes) => {
          const t = document.getElementById("orders");
          return t?.getAttribute("aria-busy") === "false" && t.dataset.nodes === nodes;
        },
        {},
        start,
      );
      const rows = (/** @type {string} */ id) =>
        s.page.evaluate(
          (id) =>
            [...document.querySelectorAll(`#${id} tbody tr`)].map((tr) =>
              [...tr.children].map((c) => c.textContent ?? ""),
            ),
          id,
        );
      const [iterations, orders] = [await rows("iterations"), await rows("orders")];
      const where = `after ${iterates} Iterates`;
      assert.equal(iterations.length, iterates + 1, `${where}: the rows of Iterate`);
      for (const [k, [kIterate, pk]] of iterations.entries()) {
        const row = orders[k];
        assert.ok(row, `${where}: a row k = ${kIterate} in the many-digit table`);
        const error = Math.abs(Number(pk) - programRoot.hi - programRoot.lo),
          doubles = row[3].split(",")[0];
        assert.equal(row[0], kIterate, `${where}: row ${k}'s k`);
        assert.ok(
          showsNumber(doubles, error),
          `${where}, k = ${kIterate}: the doubles' ${row[3]}, |p_k − root| ${error}`,
        );
      }
    }
  });
});
