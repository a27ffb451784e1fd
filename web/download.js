// A file made in the page, downloaded: a Blob behind an <a download>, no
// request to anywhere.

import { h } from "./dom.js";

/**
 * Hands the browser this text as a file of this name and type.
 * @param {string} name
 * @param {string} type
 * @param {string} text
 */
export function download(name, type, text) {
  const url = URL.createObjectURL(new Blob([text], { type: `${type};charset=utf-8` })),
    a = h("a", { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  // the download has its own copy once started; the URL can go a while later
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}
