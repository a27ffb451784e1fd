// The figure in pixels: its size and both panels at the width it is drawn,
// each panel's scales from data to pixels, a coordinate kept within reach
// of the panel, and how wide a text is at the figure's font.  Touches no
// DOM: the drawing modules draw with these.

/** @typedef {{W: number, L: number, R: number, top: number[], bottom: number[], H: number}} Box */
/**
 * A panel's scales: data to pixels.
 * @typedef {object} Panel
 * @property {(x: number) => number} px
 * @property {(y: number) => number} py
 * @property {number} top
 * @property {number} bottom
 * @property {number[]} xlim
 * @property {number[]} ylim
 * @property {Box} box
 */

/**
 * The figure's frame at a width and font size in CSS pixels: margins, both
 * panels' heights and the whole height.  The margins hold the text around
 * the panels (ticks, axis labels, titles), so they grow with the font.
 * @param {number} width
 * @param {number} font
 * @param {number} [room] the most height it may take: where it is held in view beside the steps, what the
 *   window leaves beside the line at y = 0 and its tools
 * @returns {Box}
 */
export function layout(width, font, room = Infinity) {
  const W = Math.round(Math.max(280, width));
  const L = Math.round(Math.max(62, 4.2 * font)),
    R = 26,
    top = Math.round(Math.max(30, font + 16)),
    // between the panels: the upper one's ticks and axis label, then the lower one's title; and below the lower
    gap = Math.round(Math.max(86, 3.4 * font + 30)),
    foot = Math.round(Math.max(52, 2.4 * font + 22));
  let topH = Math.round(Math.min(300, Math.max(190, W * 0.42))),
    bottomH = Math.round(Math.min(170, Math.max(120, W * 0.24)));
  // a short window: both panels lower, in proportion, as far as they stay readable
  const over = top + topH + gap + bottomH + foot - room;
  if (over > 0) {
    const k = Math.max(0, 1 - over / (topH + bottomH));
    [topH, bottomH] = [Math.max(110, Math.round(topH * k)), Math.max(70, Math.round(bottomH * k))];
  }
  return {
    W,
    L,
    R,
    top: [top, top + topH],
    bottom: [top + topH + gap, top + topH + gap + bottomH],
    H: top + topH + gap + bottomH + foot,
  };
}
/**
 * @param {Box} box
 * @param {number[]} xlim
 * @param {number[]} ylim
 * @param {number[]} span the panel's top and bottom in pixels
 * @returns {Panel}
 */
export function panel(box, xlim, ylim, [top, bottom]) {
  const px = (/** @type {number} */ x) => box.L + ((x - xlim[0]) / (xlim[1] - xlim[0])) * (box.W - box.L - box.R);
  const py = (/** @type {number} */ y) => bottom - ((y - ylim[0]) / (ylim[1] - ylim[0])) * (bottom - top);
  return { px, py, top, bottom, xlim, ylim, box };
}
/** A pixel coordinate, kept within reach of the figure (a clip path does the rest), to a tenth. */
export const at = (/** @type {number} */ v) => Math.max(-1e4, Math.min(1e4, v)).toFixed(1);

/** The width of a text of this many characters at a font size, in pixels (an average glyph). */
export const textWidth = (/** @type {number} */ chars, /** @type {number} */ font) => chars * font * 0.62;

/**
 * The x under a pointer at clientX, in a panel's scale (beyond its edges
 * too), to 0.001 and within the domain, the figure's box on the screen
 * being `rect` and drawn at `width`.
 * @param {{left: number, width: number}} rect
 * @param {{width: number, font: number}} drawn the width and font the figure is drawn at
 * @param {{xlim: number[]}} ranges the panel's
 * @param {number} clientX
 * @param {number[]} domain
 */
export function xAt(rect, { width, font }, { xlim }, clientX, domain) {
  const box = layout(width, font),
    scale = rect.width / box.W;
  const x = xlim[0] + (((clientX - rect.left) / scale - box.L) / (box.W - box.L - box.R)) * (xlim[1] - xlim[0]);
  return Math.round(Math.min(domain[1], Math.max(domain[0], x)) * 1000) / 1000;
}
