// The reader's switches, as a link writes them: each key, 1 for on and 0
// for off.  Read here on their own too, by the page's first script, which
// runs before the rest of the page is parsed.

export const SWITCHES = /** @type {const} */ (["lecture", "predict", "deeper"]);
export const ON = "1";
export const OFF = "0";

/**
 * Whether a fragment turns a switch on.
 * @param {string} hash
 * @param {(typeof SWITCHES)[number]} key
 */
export const switchedOn = (hash, key) => hash.replace(/^#/, "").split("&").includes(`${key}=${ON}`);
