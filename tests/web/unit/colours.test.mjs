// The page's colours as its style sheet sets them, read with a CSS parser
// (PostCSS) for the light scheme, the dark one and paper: the step's three
// roles (--poly, the entry made; --hi and --lo, the two it combines) told
// apart by eyes without one kind of cone, and each of them and f's curve
// (--f) at least 3:1 against the background, the captions' grey (--muted)
// 7:1.  The colour math is checked
// first against published values.
//
//   INVERSE_NEVILLE_NODE_MODULES=out/wasi/tests/web/node_modules node --test tests/web/unit/colours.test.mjs

import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { resolve } from "node:path";
import { test } from "node:test";
import { KINDS, ciede2000, contrast, fromHex, lab, simulate, triple } from "../colour.mjs";

/** @typedef {import("../colour.mjs").RGB} RGB */

/**
 * PostCSS, from where npm ci put it (INVERSE_NEVILLE_NODE_MODULES, which
 * web.unit sets); without that, why the style sheet cannot be read.
 */
/** @type {typeof import("postcss") | string} */
const postcss = process.env.INVERSE_NEVILLE_NODE_MODULES
  ? createRequire(`${resolve(process.env.INVERSE_NEVILLE_NODE_MODULES)}/`)("postcss")
  : "no INVERSE_NEVILLE_NODE_MODULES naming where npm ci put PostCSS: the style sheet is not read";

/**
 * The media a scheme is seen in, as the style sheet's @media rules name them.
 * @type {Record<string, string[]>}
 */
const SCHEMES = {
  light: [],
  dark: ["(prefers-color-scheme: dark)"],
  print: ["print"],
  "print from a dark screen": ["(prefers-color-scheme: dark)", "print"],
};
const ROLES = ["poly", "hi", "lo"];

/**
 * Each scheme's custom properties of :root, in the cascade's order (later
 * rules of the same selector win), from the style sheet parsed by PostCSS.
 * @param {typeof import("postcss")} css
 */
function schemes(css) {
  const root = css.parse(readFileSync(new URL("../../../web/style.css", import.meta.url), "utf8"));
  /** @type {{media: string[], props: Map<string, string>}[]} */
  const rules = [];
  root.walkRules((rule) => {
    if (!rule.selectors.includes(":root")) return;
    /** @type {string[]} */
    const media = [];
    for (let up = rule.parent; up && up.type !== "root"; up = up.parent) {
      if (!(up instanceof css.AtRule) || up.name !== "media") throw new Error(`:root inside ${up.type}`);
      media.push(up.params.trim());
    }
    const props = new Map();
    rule.walkDecls((d) => {
      if (d.prop.startsWith("--")) props.set(d.prop.slice(2), d.value);
    });
    rules.push({ media, props });
  });
  return {
    rules,
    of: Object.fromEntries(
      Object.entries(SCHEMES).map(([name, active]) => {
        /** @type {Map<string, string>} */
        const props = new Map();
        for (const r of rules)
          if (r.media.every((m) => active.includes(m))) for (const [k, v] of r.props) props.set(k, v);
        return [name, props];
      }),
    ),
  };
}

test("the colour math against published values: CIEDE2000 on Sharma, Wu and Dalal's pairs, sRGB red in CIELAB, white on black 21:1, white kept white by each deficiency", () => {
  // L1 a1 b1, L2 a2 b2, and ΔE00, from Table 1 of Sharma, Wu and Dalal (2005): pairs 1-3, 7, 13-20, 25, 26, 33, 34
  const pairs = [
    [50, 2.6772, -79.7751, 50, 0, -82.7485, 2.0425],
    [50, 3.1571, -77.2803, 50, 0, -82.7485, 2.8615],
    [50, 2.8361, -74.02, 50, 0, -82.7485, 3.4412],
    [50, 0, 0, 50, -1, 2, 2.3669],
    [50, 2.49, -0.001, 50, -2.49, 0.0009, 7.1792],
    [50, 2.49, -0.001, 50, -2.49, 0.001, 7.1792],
    [50, 2.49, -0.001, 50, -2.49, 0.0011, 7.2195],
    [50, 2.49, -0.001, 50, -2.49, 0.0012, 7.2195],
    [50, -0.001, 2.49, 50, 0.0009, -2.49, 4.8045],
    [50, -0.001, 2.49, 50, 0.0011, -2.49, 4.7461],
    [50, 2.5, 0, 50, 0, -2.5, 4.3065],
    [50, 2.5, 0, 73, 25, -18, 27.1492],
    [50, 2.5, 0, 56, -27, -3, 31.903],
    [60.2574, -34.0099, 36.2677, 60.4626, -34.1751, 39.4387, 1.2644],
    [63.0109, -31.0961, -5.8663, 62.8187, -29.7946, -4.0864, 1.263],
    [6.7747, -0.2908, -2.4247, 5.8714, -0.0985, -2.2286, 0.6377],
    [2.0776, 0.0795, -1.135, 0.9033, -0.0636, -0.5514, 0.9082],
  ];
  for (const [L1, a1, b1, L2, a2, b2, dE] of pairs) {
    for (const [x, y] of [
      [
        [L1, a1, b1],
        [L2, a2, b2],
      ],
      [
        [L2, a2, b2],
        [L1, a1, b1],
      ],
    ])
      assert.ok(Math.abs(ciede2000(x, y) - dE) < 5e-5, `${x} to ${y}: ${ciede2000(x, y)}, published ${dE}`);
  }
  // sRGB red, (53.2408, 80.0925, 67.2032) under D65
  lab(fromHex("#f00")).forEach((v, k) => assert.ok(Math.abs(v - [53.2408, 80.0925, 67.2032][k]) < 2e-3, `red: ${v}`));
  assert.equal(contrast(fromHex("#fff"), fromHex("#000000")), 21);
  for (const kind of KINDS)
    assert.ok(ciede2000(lab(simulate(fromHex("#ffffff"), kind)), lab(fromHex("#fff"))) < 0.1, kind);
  assert.throws(() => fromHex("rgb(1, 2, 3)"), /not a hex colour/);
});

test("the style sheet's :root rules, read with PostCSS: each in no media, the dark scheme's or print's, each scheme setting --poly, --hi, --lo, --f and --bg", (t) => {
  if (typeof postcss === "string") return t.skip(postcss);
  const { rules, of } = schemes(postcss);
  assert.deepEqual(
    rules.map((r) => r.media.join(" and ")),
    ["", "(prefers-color-scheme: dark)", "print"],
  );
  for (const [name, props] of Object.entries(of))
    for (const role of [...ROLES, "f", "bg"])
      assert.doesNotThrow(() => fromHex(props.get(role) ?? ""), `${name}: --${role}`);
});

test("in the light, dark and print schemes, --poly, --hi and --lo pairwise at least 20 apart in CIEDE2000 as protanopia, deuteranopia and tritanopia see them (Machado et al. 2009, severity 1)", (t) => {
  if (typeof postcss === "string") return t.skip(postcss);
  /** @type {string[]} */
  const close = [];
  for (const [name, props] of Object.entries(schemes(postcss).of)) {
    const [poly, hi, lo] = ROLES.map((r) => fromHex(props.get(r) ?? ""));
    for (const kind of KINDS) {
      /** @type {[string, RGB, RGB][]} */
      const pairs = [
        ["--poly and --hi", poly, hi],
        ["--poly and --lo", poly, lo],
        ["--hi and --lo", hi, lo],
      ];
      for (const [which, a, b] of pairs) {
        const d = ciede2000(lab(simulate(a, kind)), lab(simulate(b, kind)));
        if (d < 20) close.push(`${name}, ${kind}: ${which} ${d.toFixed(1)} apart`);
      }
    }
  }
  assert.deepEqual(close, []);
});

test("in the light, dark and print schemes, --poly, --hi, --lo and --f each at least 3:1 against --bg, and the captions' and hints' --muted 7:1 (WCAG)", (t) => {
  if (typeof postcss === "string") return t.skip(postcss);
  /** @type {[string, number][]} */
  const least = [
    ["poly", 3],
    ["hi", 3],
    ["lo", 3],
    ["f", 3],
    ["muted", 7],
  ];
  /** @type {string[]} */
  const faint = [];
  for (const [name, props] of Object.entries(schemes(postcss).of)) {
    const bg = fromHex(props.get("bg") ?? "");
    for (const [role, ratio] of least) {
      const got = contrast(fromHex(props.get(role) ?? ""), bg);
      if (got < ratio) faint.push(`${name}: --${role} ${props.get(role)} on ${props.get("bg")}, ${got.toFixed(2)}:1`);
    }
  }
  assert.deepEqual(faint, []);
});

test("under achromatopsia, as a browser's emulation greys a colour (0.299, 0.587, 0.114 on linear RGB), the ring where P meets y = 0 (--poly) at least 3:1 against --bg in every scheme", (t) => {
  if (typeof postcss === "string") return t.skip(postcss);
  const lin = (/** @type {number} */ c) => (c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4),
    srgb = (/** @type {number} */ c) => (c <= 0.0031308 ? 12.92 * c : 1.055 * c ** (1 / 2.4) - 0.055);
  const grey = (/** @type {RGB} */ [r, g, b]) => {
    const v = srgb(0.299 * lin(r) + 0.587 * lin(g) + 0.114 * lin(b));
    return triple([v, v, v]);
  };
  /** @type {string[]} */
  const faint = [];
  for (const [name, props] of Object.entries(schemes(postcss).of)) {
    const bg = fromHex(props.get("bg") ?? ""),
      ring = fromHex(props.get("poly") ?? "");
    const got = contrast(grey(ring), grey(bg));
    if (got < 3) faint.push(`${name}: ${got.toFixed(2)}:1`);
  }
  assert.deepEqual(faint, []);
});
