// The first screen, as the page's build made it: the title, the idea and
// its picture, and the rule, which need no script.  This runs as soon as
// they are parsed, and marks the page ready where the tableau, which the
// script draws, lies below the window.

const tableau = document.getElementById("tableau-section");
if (tableau && tableau.getBoundingClientRect().top >= innerHeight) performance.mark("inverse_neville:ready");
