#!/usr/bin/python3
"""Reference numbers for the bars test (tests/bars_gl_test.cpp).

Draws the test's bars with matplotlib's Agg renderer (bar and barh, no edges) in the same
800 x 600 picture and the same frame as a chart drawn over a whole 800 x 600 window (pixels
74.24 to 788.24 across, 40.58 to 590.58 up from the bottom), on black, and prints for each
bar the first and last column of a row through its middle, and the first and last row of a
column through its middle (bottom row 0), that its colour covers at least half (the run through the bar's
middle); and a flat colour. Run it with
/usr/bin/python3 (matplotlib 3.6) and paste the tables into the test; the test itself needs
no Python.
"""
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

W, H = 800, 600
LEFT, RIGHT, BOTTOM, TOP = 74.2375, 788.2375, 40.583333, 590.583333

# Vertical: A, then B stacked on A, side by side with C (two places of 0.4 in a group of 0.8).
A = [3.0, 1.5, 4.0, 2.0]
B = [1.0, 2.0, 0.5, 1.5]
C = [2.0, 3.5, 1.0, 2.5]
COLORS = {"A": (1.0, 0.2, 0.2), "B": (0.2, 0.8, 0.2), "C": (0.2, 0.4, 1.0)}
# Horizontal: D alone, group width 0.6.
D = [2.0, 3.0, 1.0]


def frame():
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100, facecolor="black")
    ax = fig.add_axes([LEFT / W, BOTTOM / H, (RIGHT - LEFT) / W, (TOP - BOTTOM) / H])
    ax.set_facecolor("black")
    ax.set_axis_off()
    return fig, ax


def grab(fig):
    fig.canvas.draw()
    rgba = np.asarray(fig.canvas.buffer_rgba())[::-1, :, :3].astype(float)  # row 0 at bottom
    plt.close(fig)
    return rgba


def to_px(ax_lim, lo_px, hi_px, v):
    a, b = ax_lim
    return lo_px + (v - a) / (b - a) * (hi_px - lo_px)


def extent(mask, at):
    """The run of covered pixels through `at`: its first and last index (-1, -1: none)."""
    if not mask[at]:
        return (-1, -1)
    lo = hi = at
    while lo > 0 and mask[lo - 1]:
        lo -= 1
    while hi + 1 < len(mask) and mask[hi + 1]:
        hi += 1
    return (lo, hi)


def covered(img, color):
    # The channel the colour has most of, at least half of its flat value, and the others
    # below half of full: the bar's own pixels, edges covered at least half.
    c = np.array(color) * 255
    k = int(np.argmax(c))
    others = [j for j in range(3) if j != k]
    return (img[:, :, k] >= 0.5 * c[k]) & (img[:, :, others[0]] < 128) & \
        (img[:, :, others[1]] < 128)


# Vertical grouped and stacked.
XLIM, YLIM = (-0.5, 3.5), (0.0, 6.0)
fig, ax = frame()
ax.set_xlim(*XLIM)
ax.set_ylim(*YLIM)
x = np.arange(4)
ax.bar(x - 0.2, A, width=0.4, color=COLORS["A"], linewidth=0)
ax.bar(x - 0.2, B, width=0.4, bottom=A, color=COLORS["B"], linewidth=0)
ax.bar(x + 0.2, C, width=0.4, color=COLORS["C"], linewidth=0)
img = grab(fig)
print("// vertical: series, category, first column, last column, first row, last row")
for name, centre_off, lo, hi in (("A", -0.2, [0] * 4, A),
                                 ("B", -0.2, A, [a + b for a, b in zip(A, B)]),
                                 ("C", 0.2, [0] * 4, C)):
    mask = covered(img, COLORS[name])
    for i in range(4):
        col = int(round(to_px(XLIM, LEFT, RIGHT, i + centre_off)))
        row = int(round(to_px(YLIM, BOTTOM, TOP, 0.5 * (lo[i] + hi[i]))))
        c0, c1 = extent(mask[row, :], col)
        r0, r1 = extent(mask[:, col], row)
        print(f"    {{'{name}', {i}, {c0}, {c1}, {r0}, {r1}}},")
print(f"// colour inside A 0: {img[100, int(round(to_px(XLIM, LEFT, RIGHT, -0.2)))]}")

# Horizontal.
XLIM, YLIM = (0.0, 4.0), (-0.5, 2.5)
fig, ax = frame()
ax.set_xlim(*XLIM)
ax.set_ylim(*YLIM)
ax.barh(np.arange(3), D, height=0.6, color=COLORS["C"], linewidth=0)
img = grab(fig)
mask = covered(img, COLORS["C"])
print("// horizontal: category, first column, last column, first row, last row")
for i in range(3):
    row = int(round(to_px(YLIM, BOTTOM, TOP, i + 0.15)))  # clear of the axis' tick at i
    col = int(round(to_px(XLIM, LEFT, RIGHT, 0.5 * D[i])))
    c0, c1 = extent(mask[row, :], col)
    r0, r1 = extent(mask[:, col], row)
    print(f"    {{{i}, {c0}, {c1}, {r0}, {r1}}},")
