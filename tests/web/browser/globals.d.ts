// What the tests put into the page: axe-core, by its script.
interface Window {
  axe: typeof import("axe-core");
}
