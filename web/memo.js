// A function computed again only when its arguments change, each compared
// as it is (===), the last call's result kept in the function's closure.

/**
 * @template {unknown[]} A
 * @template R
 * @param {(...args: A) => R} f
 * @returns {(...args: A) => R}
 */
export function lastOf(f) {
  /** @type {{args: A, value: R} | null} */
  let last = null;
  return (...args) => {
    if (!last || args.length !== last.args.length || args.some((v, k) => v !== last?.args[k]))
      last = { args, value: f(...args) };
    return last.value;
  };
}
