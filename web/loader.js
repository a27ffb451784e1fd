// The one script the page runs as it is: unpacks the page's script, carried
// gzipped in the template, and runs it.  Nothing is fetched.

const packed = /** @type {HTMLElement} */ (document.getElementById("page-script")).textContent?.trim() ?? "";
const bytes = Uint8Array.from(atob(packed), (c) => c.charCodeAt(0));
new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"))).text().then((text) => {
  const script = document.createElement("script");
  script.textContent = text;
  document.body.append(script);
});
