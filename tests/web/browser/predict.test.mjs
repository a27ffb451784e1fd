// Predict, then reveal (predict=1): through a whole tableau of the
// program's nodes and the tableaux of two Iterates, each entry and each p
// is nowhere in the page until it is answered, the root nowhere either;
// each entry asks where it lies against its parents before its number, and
// says how both went; a wrong number a common slip explains is named; an
// empty answer reveals nothing; the score counts each entry once; the
// answers go out as CSV; a homework link opens predicting at the start.

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
  test("predict=1, the program's tableau and two Iterates': before each answer no entry to come, p or the root is in the page, nor the step's polynomial; after it the entry shows, both answers said and counted once each, and p and the program's output once the last is revealed", async () => {
    // a predicting link opens at the start, whatever its step
    await s.open("nodes=0.3,0.4,0.5,0.6&step=6&predict=1");
    assert.equal(await s.text("#step-count"), "0 of 6");
    let xs = [...programX],
      asked = 0,
      sides = 0,
      values = 0;
    /** the p of each round: revealed, then a node of the next */
    const ps = [];
    for (let round = 0; round < 3; round++) {
      const Q = sweep.sweep(xs),
        n = xs.length,
        entries = Q.flatMap((row, i) => row.slice(1).map((value, m) => ({ i, j: m + 1, value })));
      const p = Q[n - 1][n - 1];
      // what the page may show: the nodes and their y, the p before and the entries revealed; not the root
      const shownAlways = [...xs, ...xs.map(sweep.yOf), ...ps];
      for (const [k, { i, j, value }] of entries.entries()) {
        const name = `round ${round}, Q[${i}][${j}]`;
        await s.activate("step-forward");
        assert.equal(await s.text("#step-count"), `${k + 1} of ${entries.length}`, name);
        const before = await s.page.evaluate(() => ({
          poly: document.querySelectorAll("#figure .poly").length,
          meets: document.querySelectorAll("#zoom .zoom-new, #zoom .zoom-root").length,
          p: document.getElementById("p")?.textContent ?? "",
          output: document.getElementById("program-output")?.textContent ?? "",
          toTheEnd: document.getElementById("step-last")?.getAttribute("aria-disabled"),
        }));
        const shown = [...shownAlways, ...entries.slice(0, k).map((e) => e.value)];
        const away = givenAway(
          await written(s.page),
          [
            ...entries.slice(k).map((e) => ({ name: `Q[${e.i}][${e.j}]`, value: e.value })),
            { name: "the root", value: programRoot.hi },
          ],
          shown,
        );
        assert.deepEqual(away, [], `${name}, before its answer: the entries to come, or the root, in the page`);
        assert.deepEqual(
          { ...before, p: /\d/.test(before.p), output: before.output === recorded.lines },
          { poly: 0, meets: 0, p: false, output: false, toTheEnd: "true" },
          `${name}, before its answer: its polynomial, where it or the root meet y = 0, p, the output, To the end`,
        );
        // the side, right and wrong in turn (between its parents where y = 0 lies between the end nodes' y); a
        // number d decimals right, 0.3 units of the d-th off, a decimal comma now and then
        const d = 1 + ((k + round) % 4),
          typed = (value + 3 * 10 ** -(d + 1)).toFixed(d + 1).replace(".", k % 2 ? "," : "."),
          right = k % 3 !== 2,
          side = sweep.yOf(xs[i - j]) * sweep.yOf(xs[i]) <= 0 ? "between" : "outside",
          other = side === "between" ? "outside" : "between";
        await s.page.click(`input[name="where"][value="${right ? side : other}"]`);
        await s.page.type("#guess", typed);
        await s.changed(() => s.page.keyboard.press("Enter"));
        asked++;
        if (right) sides++;
        if (d >= 3) values++;
        const after = await s.page.evaluate(
          (id) => ({
            entry: document.querySelector(`#${id} .num`)?.textContent ?? "",
            result: document.getElementById("guess-result")?.textContent ?? "",
            score: document.getElementById("guess-score")?.textContent ?? "",
            poly: document.querySelectorAll("#figure .poly").length,
          }),
          `q-${i}-${j}`,
        );
        assert.ok(same(Number(after.entry), value), `${name}: shown ${after.entry}, the .wasm's sweep gives ${value}`);
        assert.equal(after.poly, 1, `${name}: its polynomial drawn once answered`);
        if (!shown.some((v) => bitsOf(v) === bitsOf(value)))
          assert.notDeepEqual(givenAway(await written(s.page), [{ name, value }], shown), [], `${name}, once answered`);
        assert.match(
          after.result,
          new RegExp(
            `^Q\\[${i}\\]\\[${j}\\] = \\S+\\. You said ${right ? `${side}: right` : `${other}: it lies ${side} them`}\\. ` +
              `Your \\S+ has ${d} correct decimals?\\.$`,
          ),
          `${name}, “${typed}”`,
        );
        assert.equal(
          after.score,
          `Score so far: sides right in ${sides} of ${asked} ${asked === 1 ? "entry" : "entries"}; values right to 3 decimals in ${values}.`,
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

  test("an empty answer reveals nothing, Show it reveals without one, and a slip's number is named", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&predict=1");
    await s.activate("step-forward");
    await s.page.click("#reveal");
    assert.match(await s.text("#guess-result"), /^Choose a side and type a number first/);
    assert.equal(await s.page.evaluate(() => document.querySelector("#q-1-1 .num")), null, "nothing revealed");
    await s.changed(() => s.page.click("#skip-guess"));
    assert.match(await s.text("#guess-result"), /^Q\[1\]\[1\] = 0\.42472844564812995\. No number guessed\.$/);
    // at Q[2][2] (the third entry), each slip's number to six decimals, and the slip it is named by
    const Q = sweep.sweep(programX),
      [y0, , y2] = programX.map(sweep.yOf),
      [hi, lo] = [Q[2][1], Q[1][1]];
    /** @type {[slip: string, value: number][]} */
    const slips = [
      ["swapped", ((0 - y2) * hi - (0 - y0) * lo) / (y2 - y0)],
      ["sign", -Q[2][2]],
      ["average", (hi + lo) / 2],
    ];
    for (const [slip, value] of slips) {
      await s.open("nodes=0.3,0.4,0.5,0.6&predict=1");
      for (let k = 0; k < 3; k++) {
        await s.activate("step-forward");
        if (k < 2) await s.changed(() => s.page.click("#skip-guess"));
      }
      await s.page.type("#guess", value.toFixed(6));
      await s.changed(() => s.page.keyboard.press("Enter"));
      const said = await s.page.evaluate(() => ({
        slip: document.getElementById("guess-result")?.dataset.slip,
        text: document.getElementById("guess-result")?.textContent ?? "",
      }));
      assert.equal(said.slip, slip, said.text);
      assert.match(said.text, /That is /, said.text);
    }
  });

  test("the answers as CSV, with the page's link and the name given, if any; the homework link opens predicting at the start, nothing revealed", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&predict=1");
    await s.activate("step-forward");
    await s.page.click('input[name="where"][value="between"]');
    await s.page.type("#guess", "0.4247");
    await s.changed(() => s.page.keyboard.press("Enter"));
    await s.activate("step-forward");
    await s.changed(() => s.page.click("#skip-guess"));
    const unnamed = (await s.download("take-answers", "inverse_neville-answers.csv")).split("\r\n");
    assert.equal(unnamed[0], "f(x),exp(-2*x) - x");
    await s.page.type("#student", " Ada  Lovelace ");
    const [name, ...csv] = (await s.download("take-answers", "inverse_neville-answers-Ada-Lovelace.csv")).split("\r\n");
    assert.deepEqual([name, ...csv], ["name,Ada  Lovelace", ...unnamed]);
    assert.deepEqual(csv.slice(0, 2), ["f(x),exp(-2*x) - x", "nodes,0.3 0.4 0.5 0.6"]);
    assert.match(csv[2], /^link,"file:.*#nodes=0\.3,0\.4,0\.5,0\.6&predict=1"$/);
    assert.equal(csv[3], "entry,your side,its side,your value,the entry,your value - entry,correct decimals,slip");
    const [entry, side, its, guess, value, error, decimals, slip] = csv[4].split(",");
    // Q[1][1], from two nodes with y above 0, lies outside them
    assert.deepEqual([entry, side, its, guess, decimals, slip], ["Q[1][1]", "between", "outside", "0.4247", "4", ""]);
    assert.ok(same(Number(value), sweep.sweep(programX)[1][1]) && showsNumber(error, 0.4247 - Number(value)), csv[4]);
    assert.match(csv[5], /^Q\[2\]\[1\],,between,,0\.4271860533532304,,,$/);
    // the teacher went on to the end; the homework link says nothing of that
    for (let k = 0; k < 4; k++) {
      await s.activate("step-forward");
      await s.changed(() => s.page.click("#skip-guess"));
    }
    const link = await s.page.evaluate(() => document.getElementById("homework-link")?.getAttribute("href") ?? "");
    assert.equal(link, "#nodes=0.3,0.4,0.5,0.6&predict=1");
    const there = await s.inTab(async (fresh) => {
      await fresh.goto(`${s.page.url().split("#")[0]}${link}`);
      await fresh.waitForFunction(() => performance.getEntriesByName("inverse_neville:drawn").length > 0);
      return fresh.evaluate(() => ({
        count: document.getElementById("step-count")?.textContent,
        revealed: document.querySelectorAll("#tableau td .num").length,
      }));
    });
    // only column 0 and the y: the nodes' 4 and their 4 y
    assert.deepEqual(there, { count: "0 of 6", revealed: 8 });
    // Predict ticked again starts over at the first step, nothing revealed
    await s.changed(() => s.page.click("#predict"));
    await s.changed(() => s.page.click("#predict"));
    assert.deepEqual(await s.stepper(), { count: "0 of 6", stepDoesNothing: "false", empty: 6 });
  });

  test("on a phone, predicting: the question, the rule and the picture of the two parents within one screen", async () => {
    await s.open("nodes=0.3,0.4,0.5,0.6&predict=1", { width: 390, height: 844, touch: true });
    // at Q[2][2], the first entry with parents that are polynomials, not nodes
    for (let k = 0; k < 2; k++) {
      await s.activate("step-forward");
      await s.changed(() => s.activate("skip-guess"));
    }
    await s.activate("step-forward");
    const boxes = await s.page.evaluate(() => {
      document.getElementById("guess-form")?.scrollIntoView({ block: "start" });
      const box = (/** @type {string} */ sel) => {
        const b = document.querySelector(sel)?.getBoundingClientRect();
        return b ? { top: b.top, bottom: b.bottom } : { top: NaN, bottom: NaN, missing: sel };
      };
      const bar = document.getElementById("stepper")?.getBoundingClientRect().top ?? innerHeight;
      return { bar, parts: ["#step-rule", "#guess-form", "#figure .poly-hi", "#figure .poly-lo"].map(box) };
    });
    const top = Math.min(...boxes.parts.map((b) => b?.top ?? Infinity)),
      bottom = Math.max(...boxes.parts.map((b) => b?.bottom ?? Infinity));
    assert.ok(
      bottom - top <= boxes.bar,
      `${Math.round(bottom - top)} px tall above a bar at ${boxes.bar}: ${JSON.stringify(boxes)}`,
    );
  });
});
