// expression.test.mjs's own expression trees, as it prints and walks them: ["num", v], ["x"], ["pi"], ["e"],
// ["neg", t], [op, l, r], ["call", name, t].  Declared here, not by @typedef, because a JSDoc typedef cannot
// name itself inside a tuple.  Read-only, as fast-check's constantFrom gives its constants.
import type { FnName, OpName } from "../../../web/core/expression.js";

export type TestTree =
  | readonly ["num", number]
  | readonly ["x"]
  | readonly ["pi"]
  | readonly ["e"]
  | readonly ["neg", TestTree]
  | readonly [OpName, TestTree, TestTree]
  | readonly ["call", FnName, TestTree];
