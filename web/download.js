// A file made in the page, downloaded through a Blob behind an <a download>.

import { h } from "./dom.js";

export function download(/** @type {string} */ name, /** @type {string} */ type, /** @type {string} */ text) {
  const url = URL.createObjectURL(new Blob([text], { type: `${type};charset=utf-8` })),
    a = h("a", { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  // the download has its own copy once started
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}
