// The page's own script, carried gzipped (so the one file stays small) in
// the page's template, unpacked by the browser's DecompressionStream and
// run as the page's script: the bundle of main.js and the modules it
// imports.  Nothing is fetched.  This is the one script the page runs as
// it is.

const packed = /** @type {HTMLElement} */ (document.getElementById("page-script")).textContent?.trim() ?? "";
const bin = atob(packed),
  bytes = new Uint8Array(bin.length);
for (let k = 0; k < bin.length; k++) bytes[k] = bin.charCodeAt(k);
new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"))).text().then((text) => {
  const script = document.createElement("script");
  script.textContent = text;
  document.body.append(script);
});
