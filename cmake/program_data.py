#!/usr/bin/env python3
"""The program's own data, as src/inverse_neville.cpp writes it.

The value table y[4] and the nodes Q[k][0], each decimal with its IEEE bit
pattern in a comment beside it.  Every decimal must be the double its bit
pattern names, and the source must hold exactly that shape: four values,
each on a line of its own in the table, and the four nodes assigned once
each, in order.  Anything else fails, naming the source.

tests/verify_root.py imports read_data(); the learner's page's build runs

  python3 cmake/program_data.py src/inverse_neville.cpp [NAME=SYMBOL ...]

which prints the page's data: {"nodes":[{"x":"3FD3...","y":"3FCF..."},...],
"exports":{"Qij":"_Z3Qijddddd",...}}, the exports being the names the
WebAssembly build exports the program's functions under.
Python 3.9 or later, standard library only.
"""

import json
import pathlib
import re
import struct
import sys

DECIMAL = r"-?\d+\.\d+(?:e-?\d+)?"
BITS = r"0x([0-9A-F]{16})"
COUNT = 4


def bits(x):
    return struct.unpack(">Q", struct.pack(">d", x))[0]


def read_data(source):
    """The value table y[] and the nodes Q[k][0] as floats, (y, x)."""
    text = pathlib.Path(source).read_text(encoding="utf-8")

    def fail(what):
        raise SystemExit(f"{source}: {what}")

    tables = re.findall(r"^\tdouble const y\[(\d+)\] = \{\n(.*?)^\t\};$", text, re.S | re.M)
    if len(tables) != 1 or tables[0][0] != str(COUNT) or text.count("double const y[") != 1:
        fail(f"expected one value table 'double const y[{COUNT}] = {{ ... }};' with a line for each value")
    pairs = []
    for line in tables[0][1].splitlines():
        row = re.fullmatch(rf"\t\t({DECIMAL}), +/\* {BITS} \*/", line)
        if row is None:
            fail(f"a line of the value table is not 'decimal, /* 0x<16 hex digits> */': {line!r}")
        pairs.append(row.groups())
    if len(pairs) != COUNT:
        fail(f"the value table holds {len(pairs)} values, not {COUNT}")

    assigned = re.findall(r"^.*\bQ\[\d+\]\[0\] =.*$", text, re.M)
    nodes = [re.fullmatch(rf"\tQ\[{k}\]\[0\] = ({DECIMAL}); /\* {BITS} \*/", line)
             for k, line in enumerate(assigned)]
    if len(assigned) != COUNT or None in nodes:
        fail(f"expected the nodes Q[0][0] .. Q[{COUNT - 1}][0], once each, in order, "
             f"as 'Q[k][0] = decimal; /* 0x<16 hex digits> */'; found {assigned}")
    pairs += [node.groups() for node in nodes]

    for decimal, pattern in pairs:
        if bits(float(decimal)) != int(pattern, 16):
            fail(f"{decimal} is {bits(float(decimal)):016X}, not {pattern}")
    values = [float(decimal) for decimal, _ in pairs]
    return values[:COUNT], values[COUNT:]


def page_data(source, exports=()):
    """The page's data: each node's and value's bits, in the program's order,
    and the exported names of the program's functions (NAME=SYMBOL each)."""
    y, x = read_data(source)
    names = dict(e.split("=", 1) for e in exports)
    return {"nodes": [{"x": f"{bits(xk):016X}", "y": f"{bits(yk):016X}"} for xk, yk in zip(x, y)],
            "exports": names}


if __name__ == "__main__":
    if len(sys.argv) < 2 or not all("=" in e for e in sys.argv[2:]):
        raise SystemExit("usage: program_data.py SOURCE [NAME=SYMBOL ...]")
    print(json.dumps(page_data(sys.argv[1], sys.argv[2:]), separators=(",", ":")))
