#!/usr/bin/python3
"""Reference numbers for the scatter and error-bar tests (tests/scatter_gl_test.cpp).

Draws the tests' data with matplotlib's Agg renderer in the same 800 x 600 picture and the
same frame as a chart drawn over a whole 800 x 600 window (pixels 74.24 to 788.24 across,
40.58 to 590.58 up from the bottom), on black, and prints what the tests compare:

- scatter: discs whose diameter is 0.6 of each point's marker size in pixels, coloured by
  value through the grey map (256 rows, black to white, as the window's default map) over
  the value range; for each point the centroid of the pixels at least half as bright as
  the disc's centre, their count, and the grey level at the centre.
- error bars: white bars 1 pixel wide with caps 6 pixels across; for each point the column
  of its y bar and the rows it spans, and the row of its x bar and the columns it spans
  (pixels at least half lit), and the width of the cap at the top of its y bar.

Run it with /usr/bin/python3 (matplotlib 3.6) and paste the tables into the test; the test
itself needs no Python.
"""
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

W, H = 800, 600
LEFT, RIGHT, BOTTOM, TOP = 74.2375, 788.2375, 40.583333, 590.583333
XLIM = (0.0, 10.0)
YLIM = (0.0, 10.0)
PT = 72.0 / 100.0  # points per pixel at 100 dpi

SX = [1.0, 2.5, 4.0, 5.5, 7.0, 8.5]
SY = [2.0, 7.0, 4.5, 8.0, 3.0, 6.0]
SV = [0.1, 0.3, 0.5, 0.7, 0.9, 1.2]  # the last beyond the range: the map's last row
SS = [20.0, 30.0, 40.0, 24.0, 36.0, 28.0]  # marker sides in pixels
VRANGE = (-0.2, 1.0)

EX = [1.5, 3.5, 5.5, 7.5]
EY = [3.0, 6.0, 4.0, 7.0]
ELO = [1.0, 2.0, 0.5, 1.5]  # below
EHI = [2.0, 1.0, 1.5, 2.0]  # above
EXERR = [0.5, 0.8, 0.3, 1.0]
CAP = 6  # pixels across


def figure():
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100, facecolor="black")
    ax = fig.add_axes([LEFT / W, BOTTOM / H, (RIGHT - LEFT) / W, (TOP - BOTTOM) / H])
    ax.set_facecolor("black")
    ax.set_axis_off()
    ax.set_xlim(*XLIM)
    ax.set_ylim(*YLIM)
    return fig, ax


def pixels(fig):
    fig.canvas.draw()
    rgba = np.asarray(fig.canvas.buffer_rgba())[::-1, :, :3].astype(float)  # row 0 at bottom
    plt.close(fig)
    return rgba


def run(lit, at):
    """The contiguous run of lit places through `at`."""
    lo = hi = at
    while lo > 0 and lit[lo - 1]:
        lo -= 1
    while hi + 1 < len(lit) and lit[hi + 1]:
        hi += 1
    return lo, hi


def to_pixels(x, y):
    return (LEFT + (x - XLIM[0]) / (XLIM[1] - XLIM[0]) * (RIGHT - LEFT),
            BOTTOM + (y - YLIM[0]) / (YLIM[1] - YLIM[0]) * (TOP - BOTTOM))


fig, ax = figure()
diam_pt = [0.6 * s * PT for s in SS]
ax.scatter(SX, SY, c=SV, s=[d * d for d in diam_pt], marker="o", cmap="gray",
           vmin=VRANGE[0], vmax=VRANGE[1], linewidths=0)
img = pixels(fig)
print("// scatter: centroid x, centroid y, pixels, grey at the centre")
for x, y in zip(SX, SY):
    px, py = to_pixels(x, y)
    c = img[int(py), int(px), 0]
    x0, x1, y0, y1 = int(px) - 20, int(px) + 21, int(py) - 20, int(py) + 21
    box = img[y0:y1, x0:x1, 0]
    ys, xs = np.nonzero(box >= 0.5 * c)
    print(f"    {{{xs.mean() + x0 + 0.5:.2f}, {ys.mean() + y0 + 0.5:.2f}, {len(xs)}, {int(round(c))}}},")

fig, ax = figure()
ax.errorbar(EX, EY, yerr=[ELO, EHI], xerr=EXERR, fmt="none", ecolor="white",
            elinewidth=PT, capsize=CAP / 2 * PT, capthick=PT)  # capsize: half the cap
img = pixels(fig)
print("// error bars: y bar column, lowest row, highest row; x bar row, first column, last"
      " column; top cap width")
for x, y in zip(EX, EY):
    px, py = to_pixels(x, y)
    lit = img[:, :, 0] >= 128
    # The y bar: the lit column nearest the point, over the rows just above the x bar.
    col = int(px) - 3 + int(np.argmax(img[int(py) + 5, int(px) - 3:int(px) + 4, 0]))
    low, top = run(lit[:, col], int(py) + 5)
    row = int(py) - 3 + int(np.argmax(img[int(py) - 3:int(py) + 4, int(px) + 12, 0]))
    first, last = run(lit[row, :], int(px) + 12)
    cap = run(lit[top, :], col)
    print(f"    {{{col}, {low}, {top}, {row}, {first}, {last}, {cap[1] - cap[0] + 1}}},")
