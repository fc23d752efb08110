#!/usr/bin/python3
"""Reference numbers for the marks test (tests/annotations_gl_test.cpp).

Draws the test's reference lines (axvline, axhline), spans (axvspan, axhspan) and text
(ax.text, left and baseline aligned, DejaVu Sans) with matplotlib's Agg renderer in the same
800 x 600 picture and the same frame as a chart drawn over a whole 800 x 600 window (pixels
74.24 to 788.24 across, 40.58 to 590.58 up from the bottom), on black, and prints where
each lands: the columns or rows its colour covers at least half along a line through it,
the flat colour of each span, and the ink box of the text. Run it with /usr/bin/python3
(matplotlib 3.6) and paste the numbers into the test; the test itself needs no Python.
"""
import numpy as np
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

W, H = 800, 600
LEFT, RIGHT, BOTTOM, TOP = 74.2375, 788.2375, 40.583333, 590.583333
XLIM, YLIM = (0.0, 4.0), (0.0, 5.0)
PX = 72.0 / 100.0  # points per pixel at 100 dpi

fig = plt.figure(figsize=(W / 100, H / 100), dpi=100, facecolor="black")
ax = fig.add_axes([LEFT / W, BOTTOM / H, (RIGHT - LEFT) / W, (TOP - BOTTOM) / H])
ax.set_facecolor("black")
ax.set_axis_off()
ax.set_xlim(*XLIM)
ax.set_ylim(*YLIM)
ax.axvspan(2.5, 3.25, color=(0.2, 0.4, 1.0), alpha=0.5, linewidth=0)
ax.axhspan(0.5, 1.0, color=(0.2, 1.0, 0.2), alpha=0.5, linewidth=0)
ax.axvline(1.5, color=(1.0, 0.2, 0.2), linewidth=2 * PX)
ax.axhline(4.5, color=(1.0, 0.2, 0.2), linewidth=3 * PX)
ax.text(0.25, 3.0, "HELLO", color="white", fontsize=15 * PX, family="DejaVu Sans",
        ha="left", va="baseline")
fig.canvas.draw()
img = np.asarray(fig.canvas.buffer_rgba())[::-1, :, :3].astype(float)  # row 0 at bottom


def run(mask):
    idx = np.nonzero(mask)[0]
    return (int(idx.min()), int(idx.max())) if len(idx) else (-1, -1)


red = (img[:, :, 0] >= 128) & (img[:, :, 1] < 128)
print("vertical line, row 300: columns", run(red[300, 100:700]) and
      tuple(c + 100 for c in run(red[300, 100:700])))
print("horizontal line, column 200: rows", run(red[:, 200]))
blue = img[:, :, 2] >= 0.5 * 0.5 * 255
print("x span, row 400: columns", run(blue[400, :]), "colour", img[400, 600])
green = (img[:, :, 1] >= 0.5 * 0.5 * 255) & (img[:, :, 2] < 200)
print("y span, column 100: rows", run(green[:, 100]), "colour", img[100, 100])
white = (img[:, :, 0] >= 128) & (img[:, :, 1] >= 128) & (img[:, :, 2] >= 128)
box = white[300:400, 100:400]
rows, cols = np.nonzero(box)
print("text ink: columns", cols.min() + 100, cols.max() + 100, "rows", rows.min() + 300,
      rows.max() + 300)
