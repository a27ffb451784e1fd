// Runs as soon as the built first screen is parsed: the page is ready here
// where the tableau, which the script draws, lies below the window.

const tableau = document.getElementById("tableau-section");
if (tableau && tableau.getBoundingClientRect().top >= innerHeight) performance.mark("inverse_neville:ready");
