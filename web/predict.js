// Predict, then reveal: the box that asks for the step's entry (where it
// lies against its parents, then its value), what the last answer came
// to, the score, and the homework link that opens predicting at the start.

import { shownStep } from "./core/sweep.js";
import { hashOf } from "./core/fragment.js";
import { SCORED, scoreOf } from "./core/predict.js";
import { guessLabel, guessText, scoreText, whereQuestion } from "./core/sentences/predict.js";
import { $, input, set, text } from "./dom.js";
import { state } from "./state.js";

/** @param {import("./core/sweep.js").Result} r @param {boolean} hidden whether the step's entry waits for its guess */
export function drawPredict(r, hidden) {
  $("predict-box").hidden = !state.predict;
  const s = shownStep(r),
    asking = Boolean(s && hidden);
  $("guess-form").hidden = !asking;
  text($("where-legend"), s && asking ? whereQuestion(s.i, s.j) : "");
  text($("guess-label"), s && asking ? guessLabel(s.i, s.j) : "");
  const wrong = state.error && state.errorAt === "guess",
    last = state.lastGuess;
  text($("guess-result"), wrong ? state.error : last ? guessText(last) : "");
  set($("guess-result"), { "data-slip": !wrong && last?.slip ? last.slip : null });
  set(input("guess"), { "aria-invalid": wrong ? "true" : null });
  text($("guess-score"), scoreText(scoreOf(state.guesses), SCORED));
  // the answers go between questions, not under one
  $("answers").hidden = !state.guesses.length || asking;
  $("homework-link").hidden = !state.predict;
  // the same f, nodes, exponential and digits, predicting from the start, whatever is shown now
  set($("homework-link"), {
    href: hashOf({ ...state, nodes: state.start, iterates: 0, step: 0, lecture: false, deeper: false, predict: true }),
  });
}
