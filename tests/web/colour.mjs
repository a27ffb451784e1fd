// Colour as the page's tests measure it: sRGB from a hex colour, WCAG's
// contrast, CIELAB under D65, the CIEDE2000 difference, and the colour-vision
// deficiencies simulated in linear RGB.  Shared by the unit tests of the
// page's colours and the browser tests' contrast of computed colours.

/** @typedef {[number, number, number]} RGB red, green and blue, each 0 to 1 */

/**
 * Three numbers as a colour's three components.
 * @param {number[]} v
 * @returns {RGB}
 */
export function triple([a, b, c]) {
  return [a, b, c];
}

/** "#rgb" or "#rrggbb" as sRGB; anything else throws. */
export function fromHex(/** @type {string} */ text) {
  const digits = text.trim().toLowerCase().slice(1),
    full = digits.length === 3 ? [...digits].map((d) => d + d).join("") : digits;
  if (!text.trim().startsWith("#") || full.length !== 6 || [...full].some((d) => !"0123456789abcdef".includes(d)))
    throw new Error(`not a hex colour: ${text}`);
  return triple([0, 2, 4].map((k) => parseInt(full.slice(k, k + 2), 16) / 255));
}

/**
 * An sRGB component made linear (IEC 61966-2-1).  WCAG 2's text gives
 * 0.03928 for the break, sRGB's standard 0.04045: no 8-bit value lies
 * between them (10/255 = 0.0392, 11/255 = 0.0431), so both agree here.
 */
const toLinear = (/** @type {number} */ c) => (c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4);
const fromLinear = (/** @type {number} */ c) => (c <= 0.0031308 ? 12.92 * c : 1.055 * c ** (1 / 2.4) - 0.055);

/** WCAG 2's relative luminance of an sRGB colour. */
export const luminance = (/** @type {RGB} */ rgb) => {
  const [r, g, b] = rgb.map(toLinear);
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
};
/** WCAG 2's contrast ratio of two sRGB colours, 1 to 21. */
export function contrast(/** @type {RGB} */ a, /** @type {RGB} */ b) {
  const [x, y] = [luminance(a), luminance(b)].sort((m, n) => n - m);
  return (x + 0.05) / (y + 0.05);
}

/**
 * Machado, Oliveira and Fernandes, "A Physiologically-based Model for
 * Simulation of Color Vision Deficiency", IEEE Transactions on
 * Visualization and Computer Graphics 15(6), 2009, 1291-1298: the
 * matrices of severity 1.0 from the authors' table of matrices for each
 * severity (their supplementary material), to be applied to linear RGB.
 */
export const DEFICIENCIES = {
  protanopia: [
    [0.152286, 1.052583, -0.204868],
    [0.114503, 0.786281, 0.099216],
    [-0.003882, -0.048116, 1.051998],
  ],
  deuteranopia: [
    [0.367322, 0.860646, -0.227968],
    [0.280085, 0.672501, 0.047413],
    [-0.01182, 0.04294, 0.968881],
  ],
  tritanopia: [
    [1.255528, -0.076749, -0.178779],
    [-0.078411, 0.930809, 0.147602],
    [0.004733, 0.691367, 0.3039],
  ],
};
/** @typedef {keyof typeof DEFICIENCIES} Deficiency */
/** @type {Deficiency[]} the deficiencies, each once */
export const KINDS = ["protanopia", "deuteranopia", "tritanopia"];

/** An sRGB colour as seen with a deficiency: its linear RGB through the matrix, clipped to the gamut. */
export function simulate(/** @type {RGB} */ rgb, /** @type {keyof typeof DEFICIENCIES} */ kind) {
  const lin = rgb.map(toLinear);
  return triple(
    DEFICIENCIES[kind].map((row) =>
      fromLinear(Math.min(1, Math.max(0, row[0] * lin[0] + row[1] * lin[1] + row[2] * lin[2]))),
    ),
  );
}

/** CIELAB (D65 white) of an sRGB colour, through CIE XYZ by sRGB's matrix. */
export function lab(/** @type {RGB} */ rgb) {
  const [r, g, b] = rgb.map(toLinear);
  const xyz = [
    (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047,
    0.2126729 * r + 0.7151522 * g + 0.072175 * b,
    (0.0193339 * r + 0.119192 * g + 0.9503041 * b) / 1.08883,
  ];
  const f = (/** @type {number} */ t) => (t > (6 / 29) ** 3 ? Math.cbrt(t) : t / (3 * (6 / 29) ** 2) + 4 / 29);
  const [fx, fy, fz] = xyz.map(f);
  return triple([116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)]);
}

/**
 * The CIEDE2000 colour difference of two CIELAB colours, as Sharma, Wu and
 * Dalal write it out ("The CIEDE2000 Color-Difference Formula:
 * Implementation Notes, Supplementary Test Data, and Mathematical
 * Observations", Color Research and Application 30(1), 2005, 21-30), with
 * kL = kC = kH = 1.
 */
export function ciede2000(/** @type {number[]} */ [L1, a1, b1], /** @type {number[]} */ [L2, a2, b2]) {
  const rad = Math.PI / 180,
    p7 = (/** @type {number} */ c) => Math.sqrt(c ** 7 / (c ** 7 + 25 ** 7));
  const G = 0.5 * (1 - p7((Math.hypot(a1, b1) + Math.hypot(a2, b2)) / 2));
  const [A1, A2] = [(1 + G) * a1, (1 + G) * a2],
    [C1, C2] = [Math.hypot(A1, b1), Math.hypot(A2, b2)];
  const hue = (/** @type {number} */ b, /** @type {number} */ a) =>
    b === 0 && a === 0 ? 0 : (Math.atan2(b, a) / rad + 360) % 360;
  const [h1, h2] = [hue(b1, A1), hue(b2, A2)];
  let dh = 0;
  if (C1 * C2 !== 0) dh = Math.abs(h2 - h1) <= 180 ? h2 - h1 : h2 - h1 > 180 ? h2 - h1 - 360 : h2 - h1 + 360;
  const dL = L2 - L1,
    dC = C2 - C1,
    dH = 2 * Math.sqrt(C1 * C2) * Math.sin((dh / 2) * rad);
  const L = (L1 + L2) / 2,
    C = (C1 + C2) / 2;
  let h = h1 + h2;
  if (C1 * C2 !== 0)
    h = Math.abs(h1 - h2) <= 180 ? (h1 + h2) / 2 : h1 + h2 < 360 ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2;
  const T =
    1 -
    0.17 * Math.cos((h - 30) * rad) +
    0.24 * Math.cos(2 * h * rad) +
    0.32 * Math.cos((3 * h + 6) * rad) -
    0.2 * Math.cos((4 * h - 63) * rad);
  const SL = 1 + (0.015 * (L - 50) ** 2) / Math.sqrt(20 + (L - 50) ** 2),
    SC = 1 + 0.045 * C,
    SH = 1 + 0.015 * C * T,
    RT = -Math.sin(2 * 30 * Math.exp(-(((h - 275) / 25) ** 2)) * rad) * 2 * p7(C);
  return Math.sqrt((dL / SL) ** 2 + (dC / SC) ** 2 + (dH / SH) ** 2 + RT * (dC / SC) * (dH / SH));
}
