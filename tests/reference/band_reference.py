#!/usr/bin/python3
"""Reference numbers for the band test (tests/band_gl_test.cpp).

Draws the test's bands with matplotlib's Agg renderer (fill_between, interpolated where the
edges cross) in the same 800 x 600 picture and the same frame as a chart drawn over a whole
800 x 600 window (pixels 74.24 to 788.24 across, 40.58 to 590.58 up from the bottom), on
black, and prints for a set of pixel columns the lowest and highest row (bottom row 0) the
fill covers at least half, and the colour of a pixel inside. Run it with /usr/bin/python3
(matplotlib 3.6) and paste the tables into the test; the test itself needs no Python.
"""
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

W, H = 800, 600
LEFT, RIGHT, BOTTOM, TOP = 74.2375, 788.2375, 40.583333, 590.583333
X = [0.0, 1.0, 2.0, 3.0, 4.0]
LOWER = [1.0, 2.0, 1.5, 3.0, 2.0]
UPPER = [2.0, 3.5, 1.0, 4.0, 4.5]
CURVE = [1.0, 3.0, 1.0, 4.0, 0.5]  # to the baseline
BASELINE = 2.0
XLIM = (-0.5, 4.5)
YLIM = (0.0, 5.0)
COLOR = (0.2, 0.6, 1.0)
OPACITY = 0.5
COLUMNS = [150, 200, 260, 300, 330, 380, 430, 500, 574, 640, 700]


def render(lower, upper):
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100, facecolor="black")
    ax = fig.add_axes([LEFT / W, BOTTOM / H, (RIGHT - LEFT) / W, (TOP - BOTTOM) / H])
    ax.set_facecolor("black")
    ax.set_axis_off()
    ax.set_xlim(*XLIM)
    ax.set_ylim(*YLIM)
    ax.fill_between(X, lower, upper, interpolate=True, color=COLOR, alpha=OPACITY,
                    linewidth=0)
    fig.canvas.draw()
    rgba = np.asarray(fig.canvas.buffer_rgba())[::-1, :, :3].astype(float)  # row 0 at bottom
    plt.close(fig)
    return rgba


for name, lower, upper in (("two curves", LOWER, UPPER),
                           ("to the baseline", CURVE, [BASELINE] * len(X))):
    img = render(lower, upper)
    flat = OPACITY * 255 * COLOR[2]
    print(f"// {name}: column, lowest row, highest row (-1: none)")
    for col in COLUMNS:
        rows = np.nonzero(img[:, col, 2] >= 0.5 * flat)[0]
        lo, hi = (int(rows.min()), int(rows.max())) if len(rows) else (-1, -1)
        print(f"    {{{col}, {lo}, {hi}}},")
    print(f"// {name}: colour at (150, 200): {img[200, 150]}")
