// The one script the page runs as it is: unpacks the page's script, carried
// gzipped in the template, and runs it.  Nothing is fetched.

const packed = /** @type {HTMLElement} */ (document.getElementById("page-script")).textContent?.trim() ?? "";
const bin = atob(packed),
  bytes = new Uint8Array(bin.length);
for (let k = 0; k < bin.length; k++) bytes[k] = bin.charCodeAt(k);
new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"))).text().then((text) => {
  const script = document.createElement("script");
  script.textContent = text;
  document.body.append(script);
});
