// ESLint's recommended rules over the page's modules and these tests, run
// from the source tree with this file from the build tree, where npm ci
// put its packages:  eslint --config BUILD/tests/web/eslint.config.mjs
// The core may use only what JavaScript, Node and browsers share: a name
// of the DOM there is an undefined name.
import js from "@eslint/js";
import globals from "globals";

export default [
  js.configs.recommended,
  { files: ["web/core/**/*.js"], languageOptions: { globals: globals["shared-node-browser"] } },
  { files: ["web/*.js"], languageOptions: { globals: globals.browser } },
  // the tests run in Node, and hand functions to the browser's page
  { files: ["tests/web/**/*.mjs"], languageOptions: { globals: { ...globals.node, ...globals.browser } } },
  // the page's build runs this in Node
  { files: ["cmake/*.mjs"], languageOptions: { globals: globals.node } },
];
