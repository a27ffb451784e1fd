// Predict, then reveal (predict=1): through a whole tableau of the
// program's nodes and the tableaux of two Iterates, each entry and each p
// is nowhere in the page until it is guessed, the figure draws no
// polynomial for the entry to predict, and each guess is scored in
// correct decimals; p and the program's output wait for the last entry.

import assert from "node:assert/strict";
import { test } from "node:test";
import { bitsOf, same, showsNumber } from "../recorded.mjs";
import { browserSuite, programX, recorded, sweep, programRoot } from "./harness.mjs";

/** How many significant digits a number as written has ("0.004250" has 4, "4.2e-3" 2). */
const significant = (/** @type {string} */ t) => t.replace(/e.*$/i, "").replace(/[-.]/g, "").replace(/^0+/, "").length;

/**
 * The numbers written in the page, anywhere: its markup (the text of
 * every element, its attributes, its scripts), its rendered text, its
 * fields' values and its link, the typeset minus read as a minus; and all
 * of that as one string, for the bits.
 */
const written = (/** @type {import("puppeteer-core").Page} */ p) =>
  p.evaluate(() => {
    const all = [
      document.documentElement.outerHTML,
      document.body.innerText,
      location.href,
      ...[...document.querySelectorAll("input, select, textarea")].map((e) =>
        e instanceof HTMLInputElement || e instanceof HTMLSelectElement || e instanceof HTMLTextAreaElement
          ? e.value
          : "",
      ),
    ].join("\n");
    const numbers = new Set(all.replaceAll("\u2212", "-").match(/-?\d+(?:\.\d+)?(?:e[-+]?\d+)?/gi));
    return { numbers: [...numbers], upper: all.toUpperCase() };
  });

/**
 * What of these values the page gives away: a number in it written to 6
 * or more significant digits that is one of them to the digits it shows
 * and is none of the values it may show, or the bits of one of them that
 * are none of those values' (an entry may equal one revealed before it).
 * @param {{numbers: string[], upper: string}} page
 * @param {{name: string, value: number}[]} hidden
 * @param {number[]} shown
 */
function givenAway(page, hidden, shown) {
  return hidden.flatMap(({ name, value }) => [
    ...page.numbers
      .filter((t) => significant(t) >= 6 && showsNumber(t, value) && !shown.some((v) => showsNumber(t, v)))
      .map((t) => `${name} = ${value} written as ${t}`),
    ...(page.upper.includes(bitsOf(value)) && !shown.some((v) => bitsOf(v) === bitsOf(value))
      ? [`${name}'s bits ${bitsOf(value)}`]
      : []),
  ]);
}

browserSuite("predict", (s) => {
  test("predict=1, the program's tableau and two Iterates': before each guess no entry to come, nor p, is in the page, nor the step's polynomial in the figure; after it the entry shows, scored in correct decimals, and p and the program's output once the last is revealed", async () => {
    // a link opens at its step, the entries before it revealed: at step 0, the whole tableau is to be predicted
    await s.open("predict=1&step=0");
    let xs = [...programX],
      guesses = 0,
      decimals = 0;
    /** the p of each round: revealed, then a node of the next */
    const ps = [];
    for (let round = 0; round < 3; round++) {
      const Q = sweep.sweep(xs),
        n = xs.length,
        entries = Q.flatMap((row, i) => row.slice(1).map((value, m) => ({ i, j: m + 1, value })));
      const p = Q[n - 1][n - 1];
      // what the page may show: the nodes and their y, the p before, the entries revealed, and the true root
      // (its glossary gives it to 14 digits, and p comes to it)
      const shownAlways = [...xs, ...xs.map(sweep.yOf), ...ps, programRoot.hi];
      for (const [k, { i, j, value }] of entries.entries()) {
        const name = `round ${round}, Q[${i}][${j}]`;
        await s.activate("step-forward");
        assert.equal(await s.text("#step-count"), `${k + 1} of ${entries.length}`, name);
        const before = await s.page.evaluate(() => ({
          poly: document.querySelectorAll("#figure .poly").length,
          meets: document.querySelectorAll("#zoom .zoom-new").length,
          p: document.getElementById("p")?.textContent ?? "",
          output: document.getElementById("program-output")?.textContent ?? "",
        }));
        const shown = [...shownAlways, ...entries.slice(0, k).map((e) => e.value)];
        const away = givenAway(
          await written(s.page),
          entries.slice(k).map((e) => ({ name: `Q[${e.i}][${e.j}]`, value: e.value })),
          shown,
        );
        assert.deepEqual(away, [], `${name}, before its guess: the entries to come in the page`);
        assert.deepEqual(
          { ...before, p: /\d/.test(before.p), output: before.output === recorded.lines },
          { poly: 0, meets: 0, p: false, output: false },
          `${name}, before its guess: its polynomial and where it meets y = 0, p, the program's output`,
        );
        // a guess d decimals right, d from 1 to 4, 0.3 units of the d-th decimal off; with a decimal comma now and then
        const d = 1 + ((k + round) % 4),
          typed = (value + 3 * 10 ** -(d + 1)).toFixed(d + 1).replace(".", k % 2 ? "," : ".");
        await s.page.type("#guess", typed);
        await s.changed(() => s.page.keyboard.press("Enter"));
        guesses++;
        decimals += d;
        const after = await s.page.evaluate(
          (id) => ({
            entry: document.querySelector(`#${id} .num`)?.textContent ?? "",
            result: document.getElementById("guess-result")?.textContent ?? "",
            poly: document.querySelectorAll("#figure .poly").length,
          }),
          `q-${i}-${j}`,
        );
        assert.ok(same(Number(after.entry), value), `${name}: shown ${after.entry}, the .wasm's sweep gives ${value}`);
        assert.equal(after.poly, 1, `${name}: its polynomial drawn once guessed`);
        // and the search above finds it now, where it can tell it from what was shown before
        if (!shown.some((v) => bitsOf(v) === bitsOf(value)))
          assert.notDeepEqual(givenAway(await written(s.page), [{ name, value }], shown), [], `${name}, once guessed`);
        const said =
          /your guess has (\d+) correct decimals? \(d correct decimals: [^)]*\)\. So far (\d+) guess(?:es)? in (\d+) entr(?:y|ies), (\d+) correct decimals? in all\.$/.exec(
            after.result,
          );
        assert.deepEqual(
          said?.slice(1).map(Number),
          [d, guesses, guesses, decimals],
          `${name}, “${typed}”: ${after.result}`,
        );
      }
      // the last entry revealed: p, the program's output, and p_round as Iterate's last row
      const whole = await s.page.evaluate(() => ({
        p: document.getElementById("p")?.textContent ?? "",
        output: document.getElementById("program-output")?.textContent ?? "",
        last: [...document.querySelectorAll("#iterations tbody tr")].map((tr) => tr.children[1]?.textContent).pop(),
      }));
      assert.ok(
        same(Number(whole.p), p) && same(Number(whole.last), p),
        `round ${round}: p ${whole.p}, p_k ${whole.last}`,
      );
      assert.equal(whole.output, recorded.lines, `round ${round}: the program's output`);
      ps.push(p);
      if (round < 2) {
        await s.activate("iterate");
        xs = [...xs.slice(1), p];
        assert.deepEqual(await s.nodes(), xs, `Iterate ${round + 1}: the nodes`);
      }
    }
  });
});
