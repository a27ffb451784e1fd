#!/usr/bin/env python3
"""Recompute inverse_neville's result from its own data, independently.

Reads the four nodes and function values from the program's source (through
cmake/program_data.py, which checks each decimal against the bit pattern
written beside it), and the values the tests record, tests/recorded.tsv;
then:

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
  * checks that the tableau in the source's header comment and every row
    of the recorded table are these: the nodes and values, the tableau, the
    two doubles next to exp(-2p), the double nearest the root and the two
    lines; and recomputes its Qij cases in exact rationals, rounded to
    double after each operation;
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
                               [--recorded tests/recorded.tsv]
"""

import argparse
import math
import pathlib
import re
import subprocess
import sys
from decimal import ROUND_DOWN, ROUND_HALF_EVEN, Decimal, localcontext
from fractions import Fraction

ROOT_DIR = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT_DIR / "cmake"))
from program_data import bits, read_data  # noqa: E402  (the one reader of the program's data)

DIGITS = 40


# The recorded table's kinds: the fields after the kind, and how many rows.
KINDS = {"line": (1, 2), "node": (3, 4), "entry": (3, 6), "qij": (6, None), "exp": (1, 2), "root": (1, 1)}
ORDER = [(i, j) for i in range(1, 4) for j in range(1, i + 1)]  # the program's sweep


def read_recorded(path):
    """tests/recorded.tsv, as its header describes it; any other row fails."""
    table = {kind: [] for kind in KINDS}

    def digit(field):
        if not re.fullmatch(r"[0-9]", field):
            raise ValueError(f"{field!r} is not one digit")
        return int(field)

    def pattern(field):
        if not re.fullmatch(r"[0-9A-F]{16}", field):
            raise ValueError(f"{field!r} is not 16 hexadecimal digits")
        return int(field, 16)

    def decimal(field):
        value = float(field) if re.fullmatch(r"[-+0-9.eE]+", field) else math.nan
        if not math.isfinite(value):
            raise ValueError(f"{field!r} is not a finite decimal number")
        return value

    for number, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
        line = line[:-1] if line.endswith("\r") else line
        if line == "" or line.startswith("#"):
            continue
        kind, *fields = line.split("\t")
        try:
            if kind not in KINDS:
                raise ValueError(f"no kind {kind!r} in the header")
            if len(fields) != KINDS[kind][0]:
                raise ValueError(f"a {kind} row has {KINDS[kind][0]} fields after its kind, not {len(fields)}")
            rows = table[kind]
            if kind == "line" and fields[0]:
                rows.append(fields[0])
            elif kind == "node" and digit(fields[0]) == len(rows):
                rows.append(tuple(pattern(f) for f in fields[1:]))
            elif kind == "entry" and len(rows) < len(ORDER) and (digit(fields[0]), digit(fields[1])) == ORDER[len(rows)]:
                rows.append(pattern(fields[2]))
            elif kind == "qij":
                rows.append(([decimal(f) for f in fields[:5]], pattern(fields[5])))
            elif kind in ("exp", "root"):
                rows.append(pattern(fields[0]))
            else:
                raise ValueError("an empty line, or a node or entry out of its order")
        except ValueError as e:
            raise SystemExit(f"{path}:{number}: {e}: {line!r}") from None
    for kind, (_, count) in KINDS.items():
        if len(table[kind]) != count and not (count is None and table[kind]):
            raise SystemExit(f"{path}: {len(table[kind])} {kind} rows, not {count or 'one or more'}")
    table["entry"] = dict(zip(ORDER, table["entry"]))
    return table


def derived_table(x):
    """y_k = exp(-2 x_k) - x_k: a correctly rounded exp, then one subtraction."""
    with localcontext() as ctx:
        ctx.prec = DIGITS + 10
        return [float((-2 * Decimal(v)).exp()) - v for v in x]


def header_tableau(source):
    """The tableau as the source's header comment writes it, {(i, j): bits}."""
    rows = re.findall(r"Q\[(\d)\]\[(\d)\] = \S+\s+0x([0-9A-F]{16})", source.read_text(encoding="utf-8"))
    return {(int(i), int(j)): int(h, 16) for i, j, h in rows}


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
    parser.add_argument("--recorded", type=pathlib.Path, default=ROOT_DIR / "tests" / "recorded.tsv",
                        help="the values the tests record, each checked here")
    parser.add_argument("--program", help="the built program, whose output is checked")
    parser.add_argument("--readme", type=pathlib.Path, help="a README that must quote these figures")
    parser.add_argument("--manpage", type=pathlib.Path, help="a manual page that must quote these figures")
    parser.add_argument("--version", help="the version the build carries, which the documents must name")
    args = parser.parse_args()
    failures = []

    y, x = read_data(args.source)
    recorded = read_recorded(args.recorded)
    if recorded["node"] != [(bits(xk), bits(yk)) for xk, yk in zip(x, y)]:
        failures.append(f"{args.recorded}: the node rows are not the source's nodes and values")
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
    written = {"source's header comment": header_tableau(args.source), f"{args.recorded}": recorded["entry"]}
    for where, table in written.items():
        if table != computed:
            shown = {f"Q[{i}][{j}]": f"{v:016X}" for (i, j), v in table.items()}
            failures.append(f"the {where} does not hold the tableau: {shown}")
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
    if recorded["exp"] != [bits(e) for e in neighbours(e2p)]:
        failures.append(f"{args.recorded}: the exp rows are not the two doubles next to exp(-2p)")
    if recorded["root"] != [bits(float(root))]:
        failures.append(f"{args.recorded}: the root row is not {bits(float(root)):016X}, the double nearest the root")
    print(f"residual line from either neighbour of exp(-2p): {sorted(set(lines))}")
    if len(set(lines)) != 1:
        failures.append("the residual line depends on how exp rounds")
    nearest = float(e2p)
    expected = f"p={p:.15f} is the approximated root\n" + f"exp(-2*p)-p={nearest - p:.15f}\n"
    recorded_lines = "".join(line + "\n" for line in recorded["line"])
    if recorded_lines != expected:
        failures.append(f"{args.recorded}: the line rows are {recorded['line']}, not {expected!r}")

    for inputs, want in recorded["qij"]:
        got = qij_exact(*inputs)
        if bits(got) != want:
            failures.append(f"{args.recorded}: Qij{tuple(inputs)} is {bits(got):016X}, the table records {want:016X}")
    print(f"{args.recorded}: checked " + ", ".join(f"{len(rows)} {kind}" for kind, rows in recorded.items()) + " rows")

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
    # Correct to d decimals: |p - root| within half a unit of the d-th.  The
    # README says p is correct to as many decimals as it shares with the
    # root, and yet rounds to another d-decimal number, being past their
    # midpoint; both are checked here, as the figures it quotes are.
    correct = 0
    while abs(Decimal(p) - root) <= Decimal(5).scaleb(-(correct + 2)):
        correct += 1
    unit = Decimal(1).scaleb(-correct)
    p_rounded, root_rounded = (v.quantize(unit, rounding=ROUND_HALF_EVEN) for v in (Decimal(p), root))
    if correct != agree or p_rounded == root_rounded:
        failures.append(f"p is correct to {correct} decimals and shares {agree} with the root, rounding to "
                        f"{p_rounded} against the root's {root_rounded}: the README's words no longer hold")
    cubic = Decimal(cubic_at_0.numerator) / Decimal(cubic_at_0.denominator)
    fig = {
        "half unit": f"{unit / 2:f}", "p rounded": f"{p_rounded:f}", "root rounded": f"{root_rounded:f}",
        "midpoint": f"{Decimal(cut(root, correct)) + unit / 2:f}",
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
        "readme": ["root 22", "error", "relative", "agree", "half unit", "p rounded", "root rounded", "midpoint",
                   "cubic", "ulps", "error", "error", "slope", "slope",
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

    # The two lines, as the documents show them, against the recorded ones
    # (which are those computed here), and the exit statuses the manual page
    # gives, against the program's own.
    if args.readme:
        block = re.search(r"^Its output.*?^```\n(.*?)^```$", args.readme.read_text(encoding="utf-8"), re.S | re.M)
        if block is None or block.group(1) != recorded_lines:
            failures.append(f"{args.readme}: the output block is {block and block.group(1)!r}, "
                            f"not {recorded_lines!r}")
    if args.manpage:
        page = args.manpage.read_text(encoding="utf-8")
        shown = [b.replace("\\-", "-").replace("$ inverse_neville\n", "")
                 for b in re.findall(r"^\.EX\n(.*?)^\.EE$", page, re.S | re.M)[:2]]
        if shown != [recorded_lines, recorded_lines]:
            failures.append(f"{args.manpage}: the output and example blocks show {shown}, not {recorded_lines!r}")
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
