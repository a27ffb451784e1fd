// The reader's switches, as a link writes them: each key, 1 for on and 0 for off.

export const SWITCHES = /** @type {const} */ (["lecture", "predict", "deeper"]);
export const ON = "1";
export const OFF = "0";
