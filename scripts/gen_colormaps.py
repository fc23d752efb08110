#!/usr/bin/env python3
"""Computes the seven colour-map tables and writes src/colormap/cmap_tables.cpp.

    python3 scripts/gen_colormaps.py           rewrite the .cpp
    python3 scripts/gen_colormaps.py --check   exit 1 if the committed .cpp is stale

All arithmetic is exact (fractions.Fraction), so the output does not depend on the
platform's floating point. Before writing, every table is checked against its anchor
rows and its stated properties; a failed check stops the script.

Brightness, wherever a table has to rise or fall in it, is Rec.601 luma,
0.299 R + 0.587 G + 0.114 B, kept as the integer 299 R + 587 G + 114 B so that
"strictly" means strictly. (The plain sum R + G + B will not do for the mood map: it
falls between rows 64 and 119 while the luma rises.)
"""

import argparse
import math
import pathlib
import sys
from fractions import Fraction

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "src" / "colormap" / "cmap_tables.cpp"


def round_half_up(x):
    return math.floor(x + Fraction(1, 2))


def luma(rgb):
    r, g, b = rgb
    return 299 * r + 587 * g + 114 * b


# --------------------------------------------------------------------------------------
# cmap_default: row i is grey i / 255, rounded to four decimal places.
# Values are kept as integers in units of 1/10000 (the four-decimal tables) or 1/255
# (the 8-bit tables) until they are written out.

def default_map():
    rows = []
    for i in range(256):
        g = round_half_up(Fraction(i * 10000, 255))
        rows.append((g, g, g))
    return rows


# --------------------------------------------------------------------------------------
# cmap_red and cmap_blue: piecewise linear between key rows, in 8-bit steps.
# Each component is the line between the two surrounding key rows, rounded down or up
# (both lie within one 8-bit step of the line). Plain rounding to nearest does not quite
# keep the monotonic rules, so the choice is made by a small dynamic programme over the
# rows: among all floor/ceil choices that obey the table's step rule, take the one
# closest to the lines (sum of |k - line|, ties going to the fewest components that
# differ from rounding half up), which is plain rounding wherever that works.

RED_KEYS = {
    0: (255, 255, 255),
    50: (252, 236, 159),
    51: (252, 235, 155),
    100: (254, 179, 56),
    101: (254, 176, 50),
    151: (245, 109, 41),
    152: (245, 106, 41),
    201: (213, 35, 40),
    202: (211, 31, 40),
    252: (149, 21, 26),
    253: (146, 21, 25),
}

BLUE_KEYS = {
    0: (255, 255, 255),
    50: (217, 240, 249),
    51: (215, 239, 249),
    100: (160, 219, 247),
    101: (157, 218, 247),
    151: (90, 166, 217),
    152: (87, 164, 216),
    201: (39, 93, 170),
    202: (36, 89, 167),
    252: (27, 46, 101),
    253: (27, 44, 98),
}

# Red climbs from 252 (row 51) to 254 (row 100) in exactly two one-step rises. The line
# would put the second rise at row 88; it is held back to row 90 (rows 88 and 89 stay
# at 253, still within one step of the line).
RED_RISES = (64, 90)


def blue_step_ok(row, prev, cur):
    # No channel ever increases; the luma falls in every row.
    return all(c <= p for c, p in zip(cur, prev)) and luma(cur) < luma(prev)


def red_step_ok(row, prev, cur):
    # Green and blue never increase; red only rises, by one, at the rows in RED_RISES;
    # the luma falls in every row.
    if row in RED_RISES:
        red_ok = cur[0] == prev[0] + 1
    else:
        red_ok = cur[0] <= prev[0]
    return red_ok and cur[1] <= prev[1] and cur[2] <= prev[2] and luma(cur) < luma(prev)


def key_lines(keys, n):
    """The straight line between the surrounding key rows, per row and channel."""
    rows = sorted(keys)
    assert rows[0] == 0 and rows[-1] == n - 1
    lines = []
    for lo, hi in zip(rows, rows[1:]):
        for i in range(lo, hi):
            t = Fraction(i - lo, hi - lo)
            lines.append(tuple(a + (b - a) * t for a, b in zip(keys[lo], keys[hi])))
    lines.append(tuple(Fraction(c) for c in keys[rows[-1]]))
    return lines


def key_row_map(keys, n, step_ok):
    lines = key_lines(keys, n)
    # best[c] = (cost, previous row) of the cheapest rows 0..i ending in candidate c.
    best = {tuple(int(v) for v in lines[0]): ((Fraction(0), 0), None)}
    history = []
    for i in range(1, n):
        choices = [()]
        for v in lines[i]:
            choices = [c + (k,) for c in choices for k in sorted({math.floor(v), math.ceil(v)})]
        nxt = {}
        for cur in choices:
            dist = sum(abs(k - v) for k, v in zip(cur, lines[i]))
            moved = sum(k != round_half_up(v) for k, v in zip(cur, lines[i]))
            for prev, (cost, _) in best.items():
                if step_ok(i, prev, cur):
                    total = (cost[0] + dist, cost[1] + moved)
                    if cur not in nxt or total < nxt[cur][0]:
                        nxt[cur] = (total, prev)
        assert nxt, "no row %d satisfies the step rule" % i
        history.append(best)
        best = nxt
    # Walk back from the cheapest last row.
    row = min(best, key=lambda c: best[c][0])
    out = [row]
    prev = best[row][1]
    for layer in reversed(history):
        out.append(prev)
        prev = layer[prev][1]
    out.reverse()
    assert len(out) == n
    for i, rgb in enumerate(out):
        assert all(abs(k - v) < 1 for k, v in zip(rgb, lines[i])), i
    return out


# --------------------------------------------------------------------------------------
# cmap_spectrum and cmap_colors: 8-bit values, each channel linear between consecutive
# anchor rows, rounded to the nearest 8-bit value. An anchor without a row number is a
# waypoint: the colour passes through it, and the rows between the numbered anchors
# around it are spread at constant speed along the path (distance = sum of the
# channel differences).

SPECTRUM_ANCHORS = [
    (0, (1, 0, 1)),        # near black
    (24, (133, 0, 150)),   # purple
    (40, (1, 0, 175)),
    (50, (0, 0, 216)),     # blue
    (64, (0, 115, 221)),
    (75, (0, 146, 221)),
    (95, (0, 170, 155)),   # cyan turning green
    (116, (0, 156, 1)),    # green
    (128, (0, 187, 0)),
    (155, (32, 255, 0)),
    (180, (240, 232, 0)),  # yellow
    (192, (254, 201, 0)),
    (200, (255, 169, 0)),  # orange
    (217, (253, 0, 0)),    # red
    (239, (208, 0, 0)),
    (255, (203, 200, 200)),
    (256, (222, 222, 222)),  # light grey
]

# Rows 0..257 run once round the saturated hue circle: one channel stays at 250 or
# more and another at 10 or less while the third ramps. Row 0 sits just past red on
# the magenta side and row 12 just past it on the yellow side; blending those two
# straight would mix green and blue in together (row 9 would be (255, 11, 11)), so the
# path turns at pure red. The other corners (yellow, cyan, magenta) are crossed between
# anchors whose straight blend keeps the saturation, so they need no waypoint.
COLORS_ANCHORS = [
    (0, (255, 0, 42)),
    (None, (255, 0, 0)),
    (12, (255, 15, 0)),
    (57, (253, 250, 0)),
    (64, (215, 255, 0)),
    (105, (1, 255, 3)),
    (129, (0, 255, 130)),
    (153, (0, 251, 251)),
    (194, (0, 32, 255)),
    (200, (1, 1, 255)),
    (248, (251, 0, 251)),
    (257, (255, 0, 205)),
    (258, (255, 177, 240)),  # the one pink row after the circle
]


def path_map(anchors):
    # Give every waypoint a fractional row from its distance along the path.
    placed = []
    i = 0
    while i < len(anchors):
        row, rgb = anchors[i]
        if row is not None:
            placed.append((Fraction(row), rgb))
            i += 1
            continue
        j = i
        while anchors[j][0] is None:
            j += 1
        start_row, start = anchors[i - 1]
        pts = [start] + [a[1] for a in anchors[i:j + 1]]
        legs = [sum(abs(b - a) for a, b in zip(p, q)) for p, q in zip(pts, pts[1:])]
        walked = 0
        for k in range(j - i):
            walked += legs[k]
            placed.append((start_row + Fraction((anchors[j][0] - start_row) * walked, sum(legs)),
                           anchors[i + k][1]))
        i = j
    n = int(placed[-1][0]) + 1
    rows = []
    seg = 0
    for r in range(n):
        while placed[seg + 1][0] < r:
            seg += 1
        (r0, c0), (r1, c1) = placed[seg], placed[seg + 1]
        t = (r - r0) / (r1 - r0)
        rows.append(tuple(round_half_up(a + (b - a) * t) for a, b in zip(c0, c1)))
    return rows


# --------------------------------------------------------------------------------------
# cmap_mood and cmap_heat: four-decimal values through their anchor rows by monotone
# piecewise-cubic (Fritsch-Carlson / PCHIP) interpolation per channel. It is smooth, it
# never overshoots an anchor (a channel that is flat, rising or falling between two
# anchors stays so, and a local peak such as mood's bluest row stays the peak), and
# rounding to four places keeps every non-decreasing run non-decreasing.

MOOD_ANCHORS = [
    (0, (0.5151, 0.0482, 0.6697)),    # violet
    (51, (0.4297, 0.3855, 0.9921)),   # the bluest row
    (64, (0.3994, 0.4577, 0.9829)),
    (119, (0.2210, 0.7123, 0.7258)),  # teal
    (128, (0.2310, 0.7391, 0.6732)),
    (187, (0.3602, 0.8896, 0.2919)),
    (192, (0.3816, 0.8980, 0.2931)),
    (221, (0.6033, 0.9255, 0.3295)),  # green reaches its top here and stays
    (255, (0.8000, 0.9255, 0.3529)),  # yellow-green
]

HEAT_ANCHORS = [
    (0, (0, 0, 0)),                   # black
    (3, (0, 0, 0.3081)),
    (8, (0.1967, 0, 0.6516)),         # blue-violet
    (14, (0.4863, 0, 0.8823)),        # the blue peak
    (16, (0.5785, 0, 0.8115)),
    (23, (0.7458, 0, 0.4028)),
    (31, (0.9253, 0.2801, 0.0039)),   # red
    (32, (0.9492, 0.3238, 0)),        # blue is gone
    (36, (1, 0.4723, 0)),             # orange
    (48, (1, 0.8179, 0)),
    (51, (1, 0.9053, 0)),             # yellow; blue starts again
    (56, (1, 1, 0.4640)),
    (62, (1, 1, 1)),                  # white
    (63, (1, 1, 1)),
]


def pchip(xs, ys, x):
    h = [b - a for a, b in zip(xs, xs[1:])]
    d = [(b - a) / hk for a, b, hk in zip(ys, ys[1:], h)]
    # Slopes at the anchors: zero at a peak, a trough or next to a flat run, otherwise
    # the weighted harmonic mean of the two neighbouring secants; one-sided at the ends.
    m = [d[0]]
    for k in range(1, len(xs) - 1):
        if d[k - 1] * d[k] <= 0:
            m.append(Fraction(0))
        else:
            w1, w2 = 2 * h[k] + h[k - 1], h[k] + 2 * h[k - 1]
            m.append((w1 + w2) / (w1 / d[k - 1] + w2 / d[k]))
    m.append(d[-1])
    k = max(i for i in range(len(xs) - 1) if xs[i] <= x)
    t = Fraction(x - xs[k], h[k])
    h00 = 2 * t**3 - 3 * t**2 + 1
    h10 = t**3 - 2 * t**2 + t
    h01 = -2 * t**3 + 3 * t**2
    h11 = t**3 - t**2
    return h00 * ys[k] + h10 * h[k] * m[k] + h01 * ys[k + 1] + h11 * h[k] * m[k + 1]


def smooth_map(anchors):
    xs = [row for row, _ in anchors]
    n = xs[-1] + 1
    channels = []
    for c in range(3):
        ys = [Fraction(str(rgb[c])) * 10000 for _, rgb in anchors]
        channels.append([round_half_up(pchip(xs, ys, x)) for x in range(n)])
    return list(zip(*channels))


# --------------------------------------------------------------------------------------
# Checks, run on every generation.

def check_anchors(name, rows, anchors, scale):
    for row, rgb in anchors:
        if row is None:
            continue
        want = tuple(round_half_up(Fraction(str(v)) * scale) for v in rgb)
        assert rows[row] == want, "%s row %d is %s, not %s" % (name, row, rows[row], want)


def nondecreasing(seq):
    return all(b >= a for a, b in zip(seq, seq[1:]))


def nonincreasing(seq):
    return all(b <= a for a, b in zip(seq, seq[1:]))


def check_all(t):
    assert len(t["cmap_default"]) == 256
    check_anchors("cmap_red", t["cmap_red"], RED_KEYS.items(), 1)
    check_anchors("cmap_blue", t["cmap_blue"], BLUE_KEYS.items(), 1)
    check_anchors("cmap_spectrum", t["cmap_spectrum"], SPECTRUM_ANCHORS, 1)
    check_anchors("cmap_colors", t["cmap_colors"], COLORS_ANCHORS, 1)
    check_anchors("cmap_mood", t["cmap_mood"], MOOD_ANCHORS, 10000)
    check_anchors("cmap_heat", t["cmap_heat"], HEAT_ANCHORS, 10000)

    red, blue = t["cmap_red"], t["cmap_blue"]
    for i in range(1, len(red)):
        assert red_step_ok(i, red[i - 1], red[i]), "cmap_red row %d" % i
        assert blue_step_ok(i, blue[i - 1], blue[i]), "cmap_blue row %d" % i
    assert [red[i][0] for i in (63, 64, 89, 90)] == [252, 253, 253, 254]

    colors = t["cmap_colors"]
    for i, rgb in enumerate(colors[:258]):
        assert max(rgb) >= 250 and min(rgb) <= 10, "cmap_colors row %d: %s" % (i, rgb)

    mood = t["cmap_mood"]
    assert nondecreasing([g for _, g, _ in mood])
    assert all(luma(b) > luma(a) for a, b in zip(mood, mood[1:])), "cmap_mood luma"
    assert all(g == 9255 for _, g, _ in mood[221:])
    assert max(range(256), key=lambda i: mood[i][2]) == 51

    heat = t["cmap_heat"]
    r, g, b = ([row[c] for row in heat] for c in range(3))
    assert nondecreasing(r) and nondecreasing(g)
    assert max(range(32), key=lambda i: b[i]) == 14
    assert nondecreasing(b[:15]) and nonincreasing(b[14:33]) and nondecreasing(b[32:])
    assert b[32] == 0 and b[63] == 10000


# --------------------------------------------------------------------------------------
# Output. 8-bit tables are written as k / 255.0f, a correctly rounded float division,
# so the float is the nearest one to k / 255 and k stays readable; four-decimal tables
# as their decimal literals, which the compiler rounds to the nearest float.

TABLES = [
    # name, row constant, unit, character
    ("cmap_default", "CMAP_DEFAULT_ROWS", 10000, "grey ramp, black to white"),
    ("cmap_spectrum", "CMAP_SPECTRUM_ROWS", 255,
     "near black, purple, blue, cyan, green, yellow, orange, red, then to light grey"),
    ("cmap_colors", "CMAP_COLORS_ROWS", 255,
     "saturated hue circle from red back to red, then one pink row"),
    ("cmap_red", "CMAP_RED_ROWS", 255, "white through yellow and orange to dark red"),
    ("cmap_mood", "CMAP_MOOD_ROWS", 10000, "violet through blue and teal to yellow-green"),
    ("cmap_heat", "CMAP_HEAT_ROWS", 10000,
     "black through blue-violet, red, orange and yellow to white"),
    ("cmap_blue", "CMAP_BLUE_ROWS", 255, "white through light blue to dark navy"),
]


def literal(v, unit):
    if unit == 255:
        return "%3d / 255.0f" % v
    return "%d.%04df" % divmod(v, 10000)


def render(tables):
    out = [
        "// generated by scripts/gen_colormaps.py; do not edit",
        "// Rows are red, green, blue, alpha; row 0 is the colour for the lowest value.",
        "",
        '#include "colormap/cmap_tables.hpp"',
        "",
        "namespace internal {",
    ]
    for name, rows_const, unit, character in TABLES:
        out += ["", "// %s" % character, "const float %s[%s][4] = {" % (name, rows_const)]
        for i, rgb in enumerate(tables[name]):
            cells = ", ".join(literal(v, unit) for v in rgb)
            out.append("    {%s, 1.0f},  // %d" % (cells, i))
        out.append("};")
    out += ["", "}  // namespace internal", ""]
    return "\n".join(out)


def build():
    tables = {
        "cmap_default": default_map(),
        "cmap_spectrum": path_map(SPECTRUM_ANCHORS),
        "cmap_colors": path_map(COLORS_ANCHORS),
        "cmap_red": key_row_map(RED_KEYS, 254, red_step_ok),
        "cmap_mood": smooth_map(MOOD_ANCHORS),
        "cmap_heat": smooth_map(HEAT_ANCHORS),
        "cmap_blue": key_row_map(BLUE_KEYS, 254, blue_step_ok),
    }
    expected = {"cmap_default": 256, "cmap_spectrum": 257, "cmap_colors": 259, "cmap_red": 254,
                "cmap_mood": 256, "cmap_heat": 64, "cmap_blue": 254}
    for name, n in expected.items():
        assert len(tables[name]) == n, name
    check_all(tables)
    return render(tables)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed file instead of writing it")
    args = parser.parse_args()
    text = build()
    if args.check:
        current = OUTPUT.read_text() if OUTPUT.exists() else None
        if current != text:
            print("%s is out of date; run scripts/gen_colormaps.py" % OUTPUT, file=sys.stderr)
            return 1
        return 0
    OUTPUT.write_text(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
