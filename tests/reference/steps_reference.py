#!/usr/bin/python3
"""Reference numbers for the stepped-line test (tests/plot_gl_test.cpp, StepsGLTest).

Draws the test's data with matplotlib's Agg renderer in the same 800 x 600 picture and the
same frame (the data area of a chart drawn over a whole 800 x 600 window: pixels 74.24 to
788.24 across, 40.58 to 590.58 up from the bottom, as tests/plot_gl_test.cpp has them), a 4-pixel line in the test's colour on black, one
picture per step mode, and prints, for every horizontal and vertical piece of the steps, the
centre of the line's ink across it at a probe midway along it, and the number of inked
pixels. Run it with /usr/bin/python3 (matplotlib 3.6) and paste the table into the test; the
test itself needs no Python.
"""
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

W, H = 800, 600
LEFT, RIGHT, BOTTOM, TOP = 74.2375, 788.2375, 40.583333, 590.583333
X = [0.0, 1.0, 2.0, 3.0, 4.0]
Y = [1.0, 3.0, 2.0, 4.0, 0.5]
XLIM = (-0.5, 4.5)
YLIM = (0.0, 5.0)
COLOR = (1.0, 0.5, 0.0)
MODES = {1: "steps-pre", 2: "steps-post", 3: "steps-mid"}


def px(x):
    return LEFT + (x - XLIM[0]) / (XLIM[1] - XLIM[0]) * (RIGHT - LEFT)


def py(y):
    return BOTTOM + (y - YLIM[0]) / (YLIM[1] - YLIM[0]) * (TOP - BOTTOM)


def pieces(mode):
    """Horizontal ('h', y, x0, x1) and vertical ('v', x, y0, y1) pieces, in data units."""
    out = []
    for i in range(len(X) - 1):
        a, b = (X[i], Y[i]), (X[i + 1], Y[i + 1])
        if mode == 1:
            out += [("v", a[0], a[1], b[1]), ("h", b[1], a[0], b[0])]
        elif mode == 2:
            out += [("h", a[1], a[0], b[0]), ("v", b[0], a[1], b[1])]
        else:
            m = 0.5 * (a[0] + b[0])
            out += [("h", a[1], a[0], m), ("v", m, a[1], b[1]), ("h", b[1], m, b[0])]
    return out


def render(mode):
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100, facecolor="black")
    ax = fig.add_axes([LEFT / W, BOTTOM / H, (RIGHT - LEFT) / W, (TOP - BOTTOM) / H])
    ax.set_facecolor("black")
    ax.set_axis_off()
    ax.set_xlim(*XLIM)
    ax.set_ylim(*YLIM)
    ax.plot(X, Y, drawstyle=MODES[mode], color=COLOR, linewidth=4 * 72 / 100,
            solid_capstyle="projecting", solid_joinstyle="miter")
    fig.canvas.draw()
    rgba = np.asarray(fig.canvas.buffer_rgba())[::-1, :, :3].astype(float)  # row 0 at bottom
    plt.close(fig)
    return rgba


def centroid(values, start):
    w = values.sum()
    return start + (values * np.arange(len(values))).sum() / w


for mode in MODES:
    img = render(mode)
    ink = img[:, :, 0] / 255.0  # the red channel: full in the line's colour, 0 on black
    print(f"// mode {mode}: {int((ink > 0.5).sum())} pixels inked")
    for kind, at, lo, hi in pieces(mode):
        if kind == "h":
            col = int(round(0.5 * (px(lo) + px(hi))))
            c = int(round(py(at)))
            centre = centroid(ink[c - 6:c + 7, col], c - 6)
            print(f"    {{{mode}, 'h', {col}, {centre:.2f}f}},")
        else:
            row = int(round(0.5 * (py(lo) + py(hi))))
            c = int(round(px(at)))
            centre = centroid(ink[row, c - 6:c + 7], c - 6)
            print(f"    {{{mode}, 'v', {row}, {centre:.2f}f}},")
    # The colour of the line's middle, a flat area.
    kind, at, lo, hi = pieces(mode)[1]
    print(f"// centre colour: {img[int(round(0.5 * (py(lo) + py(hi)))), int(round(px(at)))]}"
          if kind == "v" else f"// centre colour: {img[int(round(py(at))), int(round(0.5 * (px(lo) + px(hi))))]}")
