#!/usr/bin/python3
"""Reference picture of the 2-D histogram test, drawn by matplotlib's Agg renderer.

The test's data (8 x 6 bins over [-2, 2] x [-1.5, 1.5]; bin (i, j) holds (3 i + 5 j) % 7
points, all at its centre) is binned by numpy and shown with imshow in the frame zarvo
draws in an 800 x 600 window (the data area from x 74.2375 to 788.2375 and y 40.583333 to
590.583333 pixels from the bottom left), on black, through the grey map, empty bins
masked. The script prints what the test embeds: the pixel columns and rows where each bin
edge lies (the first pixel of the next bin along the middle row or column of the bins) and
the grey level at every bin's centre, linear (vmin 0, vmax the largest count) and
logarithmic (vmin 1). Run with /usr/bin/python3 (matplotlib 3.6); the test never runs it.
"""
import io

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
from matplotlib.colors import LogNorm, Normalize  # noqa: E402

NX, NY = 8, 6
X0, X1, Y0, Y1 = -2.0, 2.0, -1.5, 1.5
W, H = 800, 600
LEFT, RIGHT, BOTTOM, TOP = 74.2375, 788.2375, 40.583333, 590.583333

xs, ys = [], []
for j in range(NY):
    for i in range(NX):
        for _ in range((3 * i + 5 * j) % 7):
            xs.append(X0 + (i + 0.5) * (X1 - X0) / NX)
            ys.append(Y0 + (j + 0.5) * (Y1 - Y0) / NY)
counts, _, _ = np.histogram2d(xs, ys, bins=[NX, NY], range=[[X0, X1], [Y0, Y1]])
grid = np.ma.masked_equal(counts.T, 0)  # rows along y


def picture(norm):
    fig = plt.figure(figsize=(W / 100, H / 100), dpi=100, facecolor="black")
    ax = fig.add_axes([LEFT / W, BOTTOM / H, (RIGHT - LEFT) / W, (TOP - BOTTOM) / H])
    ax.set_facecolor("black")
    ax.set_axis_off()
    ax.imshow(grid, origin="lower", extent=[X0, X1, Y0, Y1], cmap="gray", norm=norm,
              interpolation="nearest", aspect="auto")
    ax.set_xlim(X0, X1)
    ax.set_ylim(Y0, Y1)
    buf = io.BytesIO()
    fig.savefig(buf, format="rgba", dpi=100, facecolor="black")
    plt.close(fig)
    img = np.frombuffer(buf.getvalue(), np.uint8).reshape(H, W, 4)
    return img[::-1, :, 0].astype(int)  # rows from the bottom, red channel (grey)


def centre(i, j):
    x = LEFT + (i + 0.5) * (RIGHT - LEFT) / NX
    y = BOTTOM + (j + 0.5) * (TOP - BOTTOM) / NY
    return int(x), int(y)


lin = picture(Normalize(vmin=0, vmax=counts.max()))
log = picture(LogNorm(vmin=1, vmax=counts.max()))

# Edges: along the pixel row through bin row 3's centre, the first pixel of each new bin
# column (the grey changes there: neighbouring bins differ by 3 points modulo 7).
row = centre(0, 3)[1]
xedges = [x for x in range(1, W) if lin[row, x] != lin[row, x - 1]]
col = centre(3, 0)[0]
yedges = [y for y in range(1, H) if lin[y, col] != lin[y - 1, col]]
print("xedges", xedges)
print("yedges", yedges)
for name, img in (("linear", lin), ("log", log)):
    print(name, [[int(img[centre(i, j)[1], centre(i, j)[0]]) for i in range(NX)]
                 for j in range(NY)])
