// A function computed again only when an argument changes (===).

/** @template {unknown[]} A @template R @param {(...args: A) => R} f @returns {(...args: A) => R} */
export function lastOf(f) {
  /** @type {{args: A, value: R} | null} */
  let last = null;
  return (...args) => {
    if (!last || args.length !== last.args.length || args.some((v, k) => v !== last?.args[k]))
      last = { args, value: f(...args) };
    return last.value;
  };
}
