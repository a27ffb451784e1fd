#!/usr/bin/env python3
"""Recompute inverse_neville's result from its own data, independently.

Reads the four nodes and function values from the program's source (and
checks each decimal against the bit pattern written beside it), then:

  * derives each function value from its node, exp(-2 x_k) exact in
    decimals and rounded to double, minus x_k in doubles, and requires the
    source's table to hold exactly that;
  * replays the Neville sweep in Python floats -- IEEE doubles, every
    operation rounded on its own, in the program's order -- to get p;
  * evaluates the same cubic at y = 0 in exact rationals and says how many
    ulps p is from that exact value;
  * finds the true root of exp(-2x) = x by Newton's method in 40-digit
    decimals, and the error p - root;
  * computes the exact residual exp(-2p) - p, and checks that both doubles
    next to exp(-2p) give the same printed residual line;
  * checks that the tableau in the source's header comment and the data
    and expected bits the unit tests keep of their own are these, and
    recomputes the unit tests' recorded Qij cases in exact rationals,
    rounded to double after each operation;
  * optionally runs the built program and checks its two lines byte for
    byte and its exit statuses (0, and 1 on a full disk), and checks that
    the README and the manual page show those lines and statuses, that the
    numbers the README's "How good is p?", tableau and table of the y_k,
    the manual page and the source's header comment quote are these
    figures, each in its place, and that the documents name one version.

Python 3.9 or later, standard library only.  Exit status 0 when every
check holds.

  python3 tests/verify_root.py [--program build/inverse_neville] [--readme README.md]
                               [--manpage docs/inverse_neville.1] [--version 1.0.0]
"""

import argparse
import math
import pathlib
import re
import struct
import subprocess
import sys
from decimal import ROUND_DOWN, Decimal, localcontext
from fractions import Fraction

ROOT_DIR = pathlib.Path(__file__).resolve().parent.parent
DIGITS = 40


def bits(x):
    return struct.unpack(">Q", struct.pack(">d", x))[0]


def read_data(source):
    """The value table y[] and the nodes Q[k][0] as written in the source."""
    text = source.read_text(encoding="utf-8")
    table = re.search(r"double const y\[4\] = \{(.*?)\};", text, re.S)
    if table is None:
        raise SystemExit(f"{source}: no value table y[4]")
    const = r"(-?\d+\.\d+(?:[eE][-+]?\d+)?)[,;]?\s*/\* 0x([0-9A-F]{16}) \*/"
    ys = re.findall(const, table.group(1))
    xs = re.findall(r"Q\[\d\]\[0\] = " + const, text)
    if len(ys) != 4 or len(xs) != 4:
        raise SystemExit(f"{source}: expected 4 values and 4 nodes, found {len(ys)} and {len(xs)}")
    for decimal, pattern in ys + xs:
        if bits(float(decimal)) != int(pattern, 16):
            raise SystemExit(f"{source}: {decimal} is {bits(float(decimal)):016X}, not {pattern}")
    return [float(d) for d, _ in ys], [float(d) for d, _ in xs]


def derived_table(x):
    """y_k = exp(-2 x_k) - x_k: a correctly rounded exp, then one subtraction."""
    with localcontext() as ctx:
        ctx.prec = DIGITS + 10
        return [float((-2 * Decimal(v)).exp()) - v for v in x]


def hex_list(text, name):
    """The 0x... constants that `name = ...;` or `name[N] = {...};` holds."""
    found = re.search(r"\b" + name + r"(?:\[\d*\])? = ([^;]*);", text)
    return [int(h, 16) for h in re.findall(r"0x([0-9A-F]{16})", found.group(1))] if found else []


def copies(source, tests):
    """The tableau as the source's header comment and the unit tests' sweep
    table write it, {(i, j): bits}; and the text of the unit tests."""
    header = re.findall(r"Q\[(\d)\]\[(\d)\] = \S+\s+0x([0-9A-F]{16})", source.read_text(encoding="utf-8"))
    text = tests.read_text(encoding="utf-8")
    sweep_rows = re.findall(r"\{(\d), (\d), 0x([0-9A-F]{16})\}", text)
    written = {"header comment": header, "unit test sweep table": sweep_rows}
    return {where: {(int(i), int(j)): int(h, 16) for i, j, h in rows} for where, rows in written.items()}, text


def recorded_qij_cases(text):
    """The unit tests' Qij cases {t, x_lo, x_hi, q_hi, q_lo, 0x...}."""
    number = r"(-?\d+\.\d+(?:e-?\d+)?)"
    rows = re.findall(r"\{" + ", ".join([number] * 5) + r", 0x([0-9A-F]{16})\}", text)
    return [([float(v) for v in row[:5]], int(row[5], 16)) for row in rows]


def rounded(value):
    """An exact rational rounded to the nearest double (ties to even)."""
    return Fraction(float(value))


def qij_exact(t, x_lo, x_hi, q_hi, q_lo):
    """Qij in exact rationals, rounded to double after each operation."""
    t, x_lo, x_hi, q_hi, q_lo = (Fraction(v) for v in (t, x_lo, x_hi, q_hi, q_lo))
    u = rounded(rounded(t - x_lo) * q_hi)
    w = rounded(rounded(t - x_hi) * q_lo)
    return float(rounded(u - w) / rounded(x_hi - x_lo))


def qij(t, x_lo, x_hi, q_hi, q_lo):
    """One Neville combination; works on floats and on Fractions alike."""
    u = (t - x_lo) * q_hi
    w = (t - x_hi) * q_lo
    return (u - w) / (x_hi - x_lo)


def sweep(t, y, x):
    """Fill the tableau row by row, (1,1) (2,1) (2,2) (3,1) (3,2) (3,3)."""
    q = [[None] * 4 for _ in range(4)]
    for k in range(4):
        q[k][0] = x[k]
    for i in range(1, 4):
        for j in range(1, i + 1):
            q[i][j] = qij(t, y[i - j], y[i], q[i][j - 1], q[i - 1][j - 1])
    return q


def true_root():
    """The root of exp(-2x) - x by Newton's method, to DIGITS digits."""
    with localcontext() as ctx:
        ctx.prec = DIGITS + 10
        x = Decimal("0.4")
        for _ in range(100):
            e = (-2 * x).exp()
            step = (e - x) / (-2 * e - 1)
            x -= step
            if abs(step) < Decimal(10) ** -(DIGITS + 5):
                return x
    raise SystemExit("Newton's method did not converge")


def cut(value, decimals):
    """A Decimal cut (not rounded) after so many decimals: the digits a
    document writes before an ellipsis."""
    with localcontext() as ctx:
        ctx.prec = DIGITS + 10
        return f"{value.quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_DOWN):f}"


def sci(value, digits):
    """Scientific notation as the documents write it: 2.98e-6."""
    mantissa, exponent = f"{value:.{digits}e}".split("e")
    return f"{mantissa}e{int(exponent)}"


NUMBER = re.compile(r"-?\d+\.\d+(?:e-?\d+)?")


def readme_numbers(path):
    """The numbers in the README's "How good is p?" and its tableau block."""
    text = path.read_text(encoding="utf-8").replace("\u2212", "-")
    section = re.search(r"^### How good is p\?$(.*?)^#", text, re.S | re.M)
    tableau = re.search(r"^```\nQ\[0\]\[0\].*?^```$", text, re.S | re.M)
    if section is None or tableau is None:
        raise SystemExit(f"{path}: no section \"How good is p?\" or no tableau block")
    return NUMBER.findall(section.group(1) + tableau.group(0))


def table_numbers(path):
    """The numbers in the README's table of the y_k."""
    text = path.read_text(encoding="utf-8").replace("\u2212", "-")
    rows = re.findall(r"^\| \d \| .*\|$", text, re.M)
    if len(rows) != 4:
        raise SystemExit(f"{path}: no table of the four y_k")
    return NUMBER.findall("\n".join(rows))


def header_numbers(path):
    """The numbers in the source's header comment."""
    header = re.match(r"/\*.*?\*/", path.read_text(encoding="utf-8"), re.S)
    return NUMBER.findall(header.group(0)) if header else []


def manpage_numbers(path):
    """The numbers in the manual page's text (not in its title line)."""
    lines = path.read_text(encoding="utf-8").splitlines()
    text = "\n".join(line for line in lines if not line.startswith(".TH"))
    text = text.replace("\\-", "-").replace("\\|", "").replace("\\&", "")
    return NUMBER.findall(text)


def neighbours(value):
    """The two doubles on either side of a Decimal that is not a double."""
    lo = float(value)
    if Decimal(lo) > value:
        lo = math.nextafter(lo, -math.inf)
    return lo, math.nextafter(lo, math.inf)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", type=pathlib.Path, default=ROOT_DIR / "src" / "inverse_neville.cpp")
    parser.add_argument("--tests", type=pathlib.Path, default=ROOT_DIR / "tests" / "qij_test.cpp")
    parser.add_argument("--program", help="the built program, whose output is checked")
    parser.add_argument("--readme", type=pathlib.Path, help="a README that must quote these figures")
    parser.add_argument("--manpage", type=pathlib.Path, help="a manual page that must quote these figures")
    parser.add_argument("--version", help="the version the build carries, which the documents must name")
    args = parser.parse_args()
    failures = []

    y, x = read_data(args.source)
    if not all(y[k] > y[k + 1] for k in range(3)):
        failures.append("the function values do not fall strictly")
    derived = derived_table(x)
    for k in range(4):
        print(f"y_{k} = exp(-2*{x[k]!r}) - {x[k]!r} = {derived[k]!r}  ({bits(derived[k]):016X})")
        if derived[k] != y[k]:
            failures.append(f"the source's y_{k} is {bits(y[k]):016X}, the node gives {bits(derived[k]):016X}")

    # The program's arithmetic, replayed in doubles, and the same four
    # points in exact rationals.
    q = sweep(0.0, y, x)
    p = q[3][3]
    exact = sweep(Fraction(0), [Fraction(v) for v in y], [Fraction(v) for v in x])
    cubic_at_0 = exact[3][3]
    ulps = (Fraction(p) - cubic_at_0) / Fraction(math.ulp(p))
    correctly_rounded = float(cubic_at_0) == p  # float(Fraction) rounds correctly

    print("Neville tableau at y = 0 (doubles; exact value of each entry beside it):")
    for i in range(1, 4):
        for j in range(1, i + 1):
            off = (Fraction(q[i][j]) - exact[i][j]) / Fraction(math.ulp(q[i][j]))
            print(f"  Q[{i}][{j}] = {q[i][j]!r:<22} {bits(q[i][j]):016X}  "
                  f"nodes {i - j}..{i}, {float(off):+.3f} ulp from exact")
    print(f"p = {p!r}  ({bits(p):016X})")
    computed = {(i, j): bits(q[i][j]) for i in range(1, 4) for j in range(1, i + 1)}
    written, test_text = copies(args.source, args.tests)
    for where, table in written.items():
        if table != computed:
            shown = {f"Q[{i}][{j}]": f"{v:016X}" for (i, j), v in table.items()}
            failures.append(f"the {where} does not hold the tableau: {shown}")
    test_data = {"y_bits": [bits(v) for v in derived], "x_bits": [bits(v) for v in x], "p_bits": [bits(p)]}
    for name, want in test_data.items():
        got = hex_list(test_text, name)
        if got != want:
            failures.append(f"{args.tests}: {name} is {[f'{v:016X}' for v in got]}")
    print(f"exact cubic at y = 0: {Decimal(cubic_at_0.numerator) / Decimal(cubic_at_0.denominator):.25f}")
    print(f"p - exact cubic = {float(ulps):+.4f} ulp"
          + ("  (p is the correctly rounded value)" if correctly_rounded else ""))
    if abs(ulps) >= Fraction(1, 2) or not correctly_rounded:
        failures.append(f"p is {float(ulps):+.4f} ulp from the exact cubic: not correctly rounded")

    with localcontext() as ctx:
        ctx.prec = DIGITS + 10
        root = true_root()
        error = Decimal(p) - root
        e2p = (-2 * Decimal(p)).exp()
        residual = e2p - Decimal(p)
        slope = -2 * root - 1  # f'(root) = -2 exp(-2 root) - 1, and exp(-2 root) = root
        print(f"true root W(2)/2 = {root:.{DIGITS}f}")
        print(f"p - root = {error:.6e}")
        print(f"f'(root) = {slope:.6f}; f'(root) * (p - root) = {slope * error:.6e}")
        print(f"exact residual exp(-2p) - p = {residual:.10e}")

    # The printed residual: exp is allowed an ulp of error, so both
    # doubles around exp(-2p) must print the same; p - exp(-2p) is then
    # exact (Sterbenz), so nothing else can move it.
    lines = []
    for e in neighbours(e2p):
        lines.append(f"exp(-2*p)-p={e - p:.15f}\n")
    if hex_list(test_text, "exp_bits") != [bits(e) for e in neighbours(e2p)]:
        failures.append(f"{args.tests}: exp_bits are not the two doubles next to exp(-2p)")
    print(f"residual line from either neighbour of exp(-2p): {sorted(set(lines))}")
    if len(set(lines)) != 1:
        failures.append("the residual line depends on how exp rounds")
    nearest = float(e2p)
    expected = f"p={p:.15f} is the approximated root\n" + f"exp(-2*p)-p={nearest - p:.15f}\n"

    for inputs, want in recorded_qij_cases(test_text):
        got = qij_exact(*inputs)
        if bits(got) != want:
            failures.append(f"{args.tests}: Qij{tuple(inputs)} is {bits(got):016X}, the test records {want:016X}")

    statuses = []
    if args.program:
        run = subprocess.run([args.program], stdin=subprocess.DEVNULL, capture_output=True, check=False)
        got = run.stdout.decode("ascii", "replace")
        print(f"program printed: {got!r}, exit {run.returncode}")
        if run.returncode != 0 or run.stderr or got != expected:
            failures.append(f"program output {got!r} (exit {run.returncode}), expected {expected!r}")
        statuses.append(run.returncode)
        if pathlib.Path("/dev/full").exists():
            with open("/dev/full", "wb") as full:
                statuses.append(subprocess.run([args.program], stdout=full, stderr=subprocess.DEVNULL,
                                               check=False).returncode)
        print(f"exit statuses: {statuses} (plain, then on a full disk)")

    # Every number the documents quote about the result, in the order they
    # quote it: a figure computed here or an input.  A changed digit, or two
    # figures swapped, fails.
    ratio = error / root
    agree = 0
    while cut(Decimal(p), agree + 1) == cut(root, agree + 1):
        agree += 1
    cubic = Decimal(cubic_at_0.numerator) / Decimal(cubic_at_0.denominator)
    fig = {
        "p": f"{p!r}", "root 22": cut(root, 22), "root 14": f"{root:.14f}", "root cut 14": cut(root, 14),
        "error": sci(error, 2), "relative": sci(ratio, 1), "agree": cut(Decimal(p), agree),
        "cubic": cut(cubic, 20), "ulps": f"{float(ulps):.2f}", "slope": f"{slope:.3f}",
        "residual": sci(residual, 2), "p printed": f"{p:.15f}", "r printed": f"{nearest - p:.15f}",
    }
    fig.update({f"Q{i}{j}": f"{q[i][j]!r}" for i in range(1, 4) for j in range(1, i + 1)})
    fig.update({f"x{k}": f"{v!r}" for k, v in enumerate(x)})
    fig.update({f"y{k}": f"{v!r}" for k, v in enumerate(derived)})
    nodes = ["x0", "x1", "x2", "x3"]
    quoted = {
        "readme": ["root 22", "error", "relative", "agree", "cubic", "ulps", "error", "error", "slope", "slope",
                   "error", "residual", "r printed",
                   "x0", "x1", "Q11", "x2", "Q21", "Q22", "x3", "Q31", "Q32", "Q33"],
        "table": ["x0", "y0", "x1", "y1", "x2", "y2", "x3", "y3"],
        "man": nodes + ["root 14", "error", "relative", "p printed", "r printed", "p printed", "r printed",
                        "p printed"],
        "source": nodes + ["p", "error", "root cut 14", "residual", "slope", "Q11", "Q21", "Q22", "Q31", "Q32",
                           "Q33"],
    }
    print(f"p and the root agree to {agree} decimals; relative error {sci(ratio, 1)}")
    documents = {"readme": (args.readme, readme_numbers), "table": (args.readme, table_numbers),
                 "man": (args.manpage, manpage_numbers), "source": (args.source, header_numbers)}
    for doc, (path, reader) in documents.items():
        if path is None:
            continue
        found = reader(path)
        wanted = [fig[name] for name in quoted[doc]]
        print(f"{path}: {len(found)} numbers quoted, {len(wanted)} expected")
        if found != wanted:
            wrong = [f"{i}: {a} for {b}" for i, (a, b) in enumerate(zip(found, wanted)) if a != b]
            failures.append(f"{path} ({doc}) quotes {found}, expected {wanted}; first differences {wrong[:3]}")

    # The two lines, as the documents show them, and the exit statuses the
    # manual page gives, against the program's own.
    if args.readme:
        block = re.search(r"^Its output.*?^```\n(.*?)^```$", args.readme.read_text(encoding="utf-8"), re.S | re.M)
        if block is None or block.group(1) != expected:
            failures.append(f"{args.readme}: the output block is {block and block.group(1)!r}, not {expected!r}")
    if args.manpage:
        page = args.manpage.read_text(encoding="utf-8")
        shown = [b.replace("\\-", "-").replace("$ inverse_neville\n", "")
                 for b in re.findall(r"^\.EX\n(.*?)^\.EE$", page, re.S | re.M)[:2]]
        if shown != [expected, expected]:
            failures.append(f"{args.manpage}: the output and example blocks show {shown}, not {expected!r}")
        documented = [int(n) for n in re.findall(r"^\.TP\n\.B (\d+)$", page.split(".SH EXIT STATUS")[-1].split(".SH")[0], re.M)]
        if statuses and documented != sorted(set(statuses)):
            failures.append(f"{args.manpage}: exit statuses {documented}, the program gives {statuses}")
        if args.version and f'"inverse_neville {args.version}"' not in page.split("\n", 1)[0]:
            failures.append(f"{args.manpage}: its title line does not name version {args.version}")

    # One version: the build's, in every document that names one.
    if args.version:
        changelog = (ROOT_DIR / "docs" / "changelog").read_text(encoding="utf-8")
        if not changelog.startswith(f"inverse-neville ({args.version}) "):
            failures.append(f"docs/changelog: the newest entry is not {args.version}")
        for path in [args.readme, ROOT_DIR / "docs" / "reproducibility.md", ROOT_DIR / "CONTRIBUTING.md"]:
            if path is None:
                continue
            named = set(re.findall(r"inverse[-_]neville[-_](\d+\.\d+\.\d+)", path.read_text(encoding="utf-8")))
            if named - {args.version}:
                failures.append(f"{path} names version {sorted(named)}, the build is {args.version}")

    for f in failures:
        print(f"FAILED: {f}", file=sys.stderr)
    print("verification " + ("failed" if failures else "passed"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
