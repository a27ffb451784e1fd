#!/usr/bin/env python3
"""Draw docs/inverse_neville.svg: the method of inverse_neville in a picture.

Top: f(x) = exp(-2x) - x near its root, the four nodes, the inverse cubic
x = P(y) through them, and p = P(0) where it crosses y = 0.  Bottom: the
interpolation error P(y) - g(y) against the true inverse g, which vanishes
at the nodes and is p - root at y = 0.

The data come from the program's source, through tests/verify_root.py.
Python 3 standard library only:

  python3 docs/make_figure.py            # writes docs/inverse_neville.svg
  python3 docs/make_figure.py --check    # fails if the committed SVG is stale
"""

import argparse
import math
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests"))
from verify_root import read_data, sweep  # noqa: E402  (the program's data and sweep)

WIDTH, HEIGHT = 720, 620
LEFT, RIGHT = 80, 30
TOP_PANEL = (40, 330)  # pixel rows of the plotting areas
BOTTOM_PANEL = (420, 570)


def f(x):
    return math.exp(-2 * x) - x


def g(y):
    """The true inverse of f: the x with f(x) = y, by Newton's method."""
    x = 0.4
    for _ in range(60):
        x -= (f(x) - y) / (-2 * math.exp(-2 * x) - 1)
    return x


class Axes:
    """Maps data coordinates into one panel of the picture."""

    def __init__(self, xlim, ylim, rows):
        self.xlim, self.ylim, self.rows = xlim, ylim, rows

    def px(self, x):
        x0, x1 = self.xlim
        return LEFT + (x - x0) / (x1 - x0) * (WIDTH - LEFT - RIGHT)

    def py(self, y):
        y0, y1 = self.ylim
        top, bottom = self.rows
        return bottom - (y - y0) / (y1 - y0) * (bottom - top)

    def path(self, points, **style):
        d = " ".join(f"{self.px(a):.2f},{self.py(b):.2f}" for a, b in points)
        return f'<polyline points="{d}" {attrs(fill="none", **style)}/>'


def attrs(**kw):
    return " ".join(f'{k.replace("_", "-")}="{v}"' for k, v in kw.items())


def text(x, y, s, **kw):
    kw.setdefault("font_size", 13)
    return f'<text {attrs(x=f"{x:.1f}", y=f"{y:.1f}", **kw)}>{s}</text>'


def frame(ax, xticks, yticks, xfmt, yfmt, xlabel, ylabel):
    (top, bottom), out = ax.rows, []
    out.append(f'<rect {attrs(x=LEFT, y=top, width=WIDTH - LEFT - RIGHT, height=bottom - top, fill="none", stroke="#444")}/>')
    for t in xticks:
        out.append(f'<line {attrs(x1=f"{ax.px(t):.1f}", y1=top, x2=f"{ax.px(t):.1f}", y2=bottom, stroke="#e4e4e4")}/>')
        out.append(text(ax.px(t), bottom + 17, xfmt(t), text_anchor="middle"))
    for t in yticks:
        out.append(f'<line {attrs(x1=LEFT, y1=f"{ax.py(t):.1f}", x2=WIDTH - RIGHT, y2=f"{ax.py(t):.1f}", stroke="#e4e4e4")}/>')
        out.append(text(LEFT - 6, ax.py(t) + 4, yfmt(t), text_anchor="end"))
    out.append(text((LEFT + WIDTH - RIGHT) / 2, bottom + 36, xlabel, text_anchor="middle"))
    out.append(text(18, (top + bottom) / 2, ylabel, text_anchor="middle",
                    transform=f"rotate(-90 18 {(top + bottom) / 2:.1f})"))
    return out


def minus(s):
    return s.replace("-", "\u2212")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--output", type=pathlib.Path, default=HERE / "inverse_neville.svg")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail if the output file is not what this script draws")
    args = parser.parse_args()
    ys, xs = read_data(HERE.parent / "src" / "inverse_neville.cpp")
    p = sweep(0.0, ys, xs)[3][3]
    root = g(0.0)
    svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
           f'viewBox="0 0 {WIDTH} {HEIGHT}" font-family="DejaVu Sans, Arial, sans-serif">',
           f'<rect width="{WIDTH}" height="{HEIGHT}" fill="white"/>']

    # Top: f and the inverse cubic in the (x, y) plane.
    top = Axes((0.25, 0.65), (-0.40, 0.35), TOP_PANEL)
    svg += frame(top, [0.3, 0.4, 0.5, 0.6], [-0.3, -0.2, -0.1, 0.0, 0.1, 0.2, 0.3],
                 lambda t: f"{t:.1f}", lambda t: minus(f"{t:.1f}"), "x", "y = f(x) = e\u207b\u00b2\u02e3 \u2212 x")
    svg.append(f'<line {attrs(x1=LEFT, y1=f"{top.py(0):.1f}", x2=WIDTH - RIGHT, y2=f"{top.py(0):.1f}", stroke="#888")}/>')
    n = 200
    svg.append(top.path([(0.25 + 0.4 * k / n, f(0.25 + 0.4 * k / n)) for k in range(n + 1)],
                        stroke="#1f77b4", stroke_width=2.5))
    y_lo, y_hi = -0.37, 0.33
    cubic = [(sweep(y, ys, xs)[3][3], y) for y in (y_lo + (y_hi - y_lo) * k / n for k in range(n + 1))]
    svg.append(top.path(cubic, stroke="#ff7f0e", stroke_width=2, stroke_dasharray="7,5"))
    for x, y in zip(xs, ys):
        svg.append(f'<circle {attrs(cx=f"{top.px(x):.1f}", cy=f"{top.py(y):.1f}", r=5, fill="#1f77b4", stroke="white")}/>')
        if x == xs[-1]:
            label = dict(x=top.px(x) - 9, y=top.py(y) + 17, text_anchor="end")
        else:
            label = dict(x=top.px(x) + 9, y=top.py(y) - 7)
        svg.append(text(label.pop("x"), label.pop("y"), minus(f"(x={x}, y={y:.4f})"), font_size=11, **label))
    svg.append(f'<circle {attrs(cx=f"{top.px(p):.1f}", cy=f"{top.py(0):.1f}", r=6, fill="none", stroke="#d62728", stroke_width=2.5)}/>')
    svg.append(text(top.px(p) + 12, top.py(0) - 10, f"p = P(0) = {p:.15f}", fill="#d62728"))
    legend_y = TOP_PANEL[0] + 24
    svg.append(f'<line {attrs(x1=WIDTH - 300, y1=legend_y, x2=WIDTH - 270, y2=legend_y, stroke="#1f77b4", stroke_width=2.5)}/>')
    svg.append(text(WIDTH - 262, legend_y + 4, "f(x)"))
    svg.append(f'<line {attrs(x1=WIDTH - 300, y1=legend_y + 20, x2=WIDTH - 270, y2=legend_y + 20, stroke="#ff7f0e", stroke_width=2, stroke_dasharray="7,5")}/>')
    svg.append(text(WIDTH - 262, legend_y + 24, "x = P(y), the inverse cubic"))
    svg.append(text(LEFT, 26, "Inverse interpolation: the cubic through (y\u2096, x\u2096), evaluated at y = 0",
                    font_size=15, font_weight="bold"))

    # Bottom: the interpolation error, in units of 1e-6.
    span = (ys[3] - 0.02, ys[0] + 0.02)
    err = [(y, (sweep(y, ys, xs)[3][3] - g(y)) * 1e6)
           for y in (span[0] + (span[1] - span[0]) * k / n for k in range(n + 1))]
    lo = 2 * math.floor(min(e for _, e in err) / 2 - 0.5)
    hi = 2 * math.ceil(max(e for _, e in err) / 2 + 0.5)
    bottom = Axes(span, (lo, hi), BOTTOM_PANEL)
    svg += frame(bottom, [-0.3, -0.2, -0.1, 0.0, 0.1, 0.2], list(range(lo, hi + 1, 2)),
                 lambda t: minus(f"{t:.1f}"), lambda t: minus(str(t)),
                 "y", "P(y) \u2212 g(y)  [10\u207b\u2076]")
    svg.append(f'<line {attrs(x1=LEFT, y1=f"{bottom.py(0):.1f}", x2=WIDTH - RIGHT, y2=f"{bottom.py(0):.1f}", stroke="#888")}/>')
    svg.append(bottom.path(err, stroke="#2ca02c", stroke_width=2))
    for y in ys:
        svg.append(f'<circle {attrs(cx=f"{bottom.px(y):.1f}", cy=f"{bottom.py(0):.1f}", r=4, fill="#1f77b4")}/>')
    e0 = (p - root) * 1e6
    svg.append(f'<circle {attrs(cx=f"{bottom.px(0):.1f}", cy=f"{bottom.py(e0):.1f}", r=5, fill="none", stroke="#d62728", stroke_width=2.5)}/>')
    svg.append(text(bottom.px(0) + 10, bottom.py(e0) - 8, f"p \u2212 root = {e0:.2f}\u00d710\u207b\u2076", fill="#d62728"))
    svg.append(text(LEFT, BOTTOM_PANEL[0] - 14, "Interpolation error against the true inverse g: zero at the nodes",
                    font_size=15, font_weight="bold"))
    svg.append("</svg>")

    drawn = "\n".join(svg) + "\n"
    if args.check:
        current = args.output.read_text(encoding="utf-8") if args.output.exists() else ""
        if current != drawn:
            print(f"{args.output} is out of date: run python3 docs/make_figure.py", file=sys.stderr)
            return 1
        print(f"{args.output} is up to date")
        return 0
    args.output.write_text(drawn, encoding="utf-8")
    print(f"wrote {args.output}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
