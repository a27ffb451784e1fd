// The figure in pixels: its size, both panels' scales from data to pixels,
// and a text's width at its font.  Touches no DOM.

/** @typedef {{W: number, L: number, R: number, top: number[], bottom: number[], H: number}} Box */
/** @typedef {{px: (x: number) => number, py: (y: number) => number, top: number, bottom: number,
 *   xlim: number[], ylim: number[], box: Box}} Panel */

/** Margins, panels and height at a width and font; the margins hold the text around the panels, so grow with it.
 * @param {number} width @param {number} font @param {number} [room] the most height it may take @returns {Box} */
export function layout(width, font, room = Infinity) {
  const W = Math.round(Math.max(280, width));
  const L = Math.round(Math.max(62, 4.2 * font)),
    R = 26,
    top = Math.round(Math.max(30, font + 16)),
    // the upper panel's ticks and axis name, then the lower one's title
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
  const lower = top + topH + gap;
  return { W, L, R, top: [top, top + topH], bottom: [lower, lower + bottomH], H: lower + bottomH + foot };
}

/** @param {Box} box @param {number[]} xlim @param {number[]} ylim @param {number[]} span its top and bottom in pixels
 * @returns {Panel} */
export function panel(box, xlim, ylim, [top, bottom]) {
  const px = (/** @type {number} */ x) => box.L + ((x - xlim[0]) / (xlim[1] - xlim[0])) * (box.W - box.L - box.R);
  const py = (/** @type {number} */ y) => bottom - ((y - ylim[0]) / (ylim[1] - ylim[0])) * (bottom - top);
  return { px, py, top, bottom, xlim, ylim, box };
}

/** A pixel coordinate to a tenth, kept within reach of the figure (a clip path does the rest). */
export const at = (/** @type {number} */ v) => Math.max(-1e4, Math.min(1e4, v)).toFixed(1);

/** A text's width in pixels, at an average glyph's. */
export const textWidth = (/** @type {number} */ chars, /** @type {number} */ font) => chars * font * 0.62;

/** The x under a pointer in a panel's scale, to 0.001 and within the domain.
 * @param {{left: number, width: number}} rect the figure's box on the screen @param {{width: number, font: number}} drawn
 * @param {{xlim: number[]}} ranges the panel's @param {number} clientX @param {number[]} domain */
export function xAt(rect, { width, font }, { xlim }, clientX, domain) {
  const box = layout(width, font),
    scale = rect.width / box.W;
  const x = xlim[0] + (((clientX - rect.left) / scale - box.L) / (box.W - box.L - box.R)) * (xlim[1] - xlim[0]);
  return Math.round(Math.min(domain[1], Math.max(domain[0], x)) * 1000) / 1000;
}
