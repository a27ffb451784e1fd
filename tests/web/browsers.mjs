// How the page's tests and its bench start Chromium: headless as root, and
// with none of its own traffic, which this machine's closed network refuses.
export const CHROMIUM_ARGS = [
  "--no-sandbox",
  "--disable-gpu",
  "--disable-background-networking",
  "--disable-component-update",
  "--disable-sync",
  "--no-first-run",
];
