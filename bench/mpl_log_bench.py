#!/usr/bin/python3
"""matplotlib (Agg) peer for the libzarvo workloads, with a case on logarithmic axes.

A copy of ../shared/peers/mpl_bench.py (same jobs, same data, same measurement) with one job
added, `logline N`, which the shared script has not: scripts/bench.sh --peers runs it for
the library's `line-log-1e6`.

One frame = fig.canvas.draw() of an 800x600 figure (dpi 100) into the Agg
buffer, plus taking the buffer (buffer_rgba(), no copy, no file).  Data come
from a fixed 32-bit LCG (seed 12345, x = 1664525 x + 1013904223 mod 2^32;
see class Lcg), so every side of a comparison can draw the same points.

Workloads:
  frame        empty axes with tick labels and two axis titles
  line N       ax.plot(x, y) of N float32 points, line width 1 px
  line+mk N    same with 10-pixel ring markers ('o', hollow)
  stream N     a line of N points whose y values are new every frame: two y arrays made
               before timing (line_data, then the same x with the next N values of the
               generator), set_ydata() alternates between them before each draw
  scatter N    N 10-pixel ring markers, no line, at unordered points: x then y, each
               N values of the generator (scatter_data)
  logline N    the line's data on logarithmic axes: x = 10^(3 x) over [1, 1000], the same y,
               ax.set_xscale("log"), ax.set_yscale("log"), limits [1, 1000] x [0.1, 1]
  lissajous N  a 1-px line through N points in no order of x (lissajous_data):
               x = 0.5 + 0.45 sin(2 pi 13 t), y = 0.5 + 0.45 sin(2 pi 17 t + 0.5), t = i/(N-1)
  hist2d N     a 2-D histogram of N points into 256 x 256 bins over [0,1]^2, shown with
               imshow (viridis, nearest) in the chart's axes; every frame bins one of two
               point sets made before timing (np.histogram2d) and draws, as a stream would:
               x = (u1 + u2) / 2, y = (u3 + u4) / 2 from the generator, in that order
  hist B       ax.stairs(freq, fill=True): one filled step polygon of B bins
  hist_bar B   ax.bar(B bars): one Rectangle artist per bin (small B only)
  image WxH:fmt  imshow filling the figure (no axes), interpolation nearest,
               set_data(new array) before each draw;
               gray_u8 through a 256-entry colour map, rgba_f32 shown as RGBA
               (matplotlib has no per-channel colour-map lookup)

Usage: mpl_bench.py [--max-seconds=S] [--frames=N] job ...
  jobs: frame line=1000,10000 line+mk=... stream=... scatter=... lissajous=... hist2d=... hist=... hist_bar=...
        image=1920x1080:gray_u8,...
"""
import os
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

W, H, DPI = 800, 600, 100
MAX_SECONDS = 20.0
FRAMES = 300
WARMUP = 3
MIN_FRAMES = 3


def xvfb_cpu_s():
    """CPU seconds used so far by Xvfb (it presents our frames; not foreign)."""
    total = 0.0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/stat") as f:
                s = f.read()
        except OSError:
            continue
        if s[s.find("(") + 1:s.rfind(")")] == "Xvfb":
            fields = s[s.rfind(")") + 2:].split()
            total += (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    return total


def machine_busy_s():
    """Busy CPU seconds of the whole machine (all cores), from /proc/stat."""
    with open("/proc/stat") as f:
        v = [int(x) for x in f.readline().split()[1:9]]
    import os
    return (sum(v) - v[3] - v[4]) / os.sysconf("SC_CLK_TCK")


def wait_idle():
    """The machine is shared: wait (up to 180 s) until other processes have
    used < 5% of one core for 3 consecutive seconds."""
    quiet, t0 = 0, time.time()
    while quiet < 3 and time.time() - t0 < 180:
        b0, p0, x0 = machine_busy_s(), time.process_time(), xvfb_cpu_s()
        time.sleep(1.0)
        other = machine_busy_s() - b0 - (time.process_time() - p0) - (xvfb_cpu_s() - x0)
        quiet = quiet + 1 if other < 0.05 else 0


def measure(draw):
    wait_idle()
    w0 = time.perf_counter()
    for i in range(WARMUP):
        if i >= 1 and time.perf_counter() - w0 > 3.0:
            break
        draw()
    wall, cpu = [], []
    start = time.perf_counter()
    mb0, pc0, xv0 = machine_busy_s(), time.process_time(), xvfb_cpu_s()
    for i in range(FRAMES):
        if i >= MIN_FRAMES and time.perf_counter() - start > MAX_SECONDS:
            break
        t0, c0 = time.perf_counter(), time.process_time()
        draw()
        t1, c1 = time.perf_counter(), time.process_time()
        wall.append((t1 - t0) * 1e3)
        cpu.append((c1 - c0) * 1e3)
    wall_s = time.perf_counter() - start
    xv = xvfb_cpu_s() - xv0
    foreign = 100 * max(0.0, machine_busy_s() - mb0 - (time.process_time() - pc0) - xv) / wall_s
    return float(np.median(wall)), float(np.median(cpu)), len(wall), float(np.percentile(wall, 10)), float(
        np.percentile(wall, 90)), foreign


def report(workload, size, res, extra=""):
    med, cpu, n, p10, p90, foreign = res
    print(f"matplotlib workload={workload} size={size} win={W}x{H} frames={n} draw_ms={med:.3f} "
          f"proc_cpu_ms={cpu:.3f} draw_p10={p10:.3f} draw_p90={p90:.3f} foreign_pct={foreign:.1f}{extra}", flush=True)


def new_fig():
    return plt.figure(figsize=(W / DPI, H / DPI), dpi=DPI, facecolor="black")


def chart_axes(fig):
    ax = fig.add_subplot(1, 1, 1)
    ax.set_facecolor("black")
    for s in ax.spines.values():
        s.set_color("white")
    ax.tick_params(colors="white", labelsize=10)
    ax.set_xlim(0, 1)
    ax.set_ylim(0, 1)
    ax.set_xlabel("time", color="white")
    ax.set_ylabel("amplitude", color="white")
    return ax


def frame_draw(fig):
    def draw():
        fig.canvas.draw()
        fig.canvas.buffer_rgba()

    return draw


class Lcg:
    """The shared data generator, vectorised (same recurrence, same seed)."""

    def __init__(self):
        self.state = 12345

    def rand(self, n):
        # Generate in chunks with numpy uint32 arithmetic (wraps modulo 2^32).
        out = np.empty(n, dtype=np.float32)
        a, c = np.uint32(1664525), np.uint32(1013904223)
        s = np.uint32(self.state)
        # sequential recurrence; vectorised by jumping: x_{k+1} = a x_k + c
        chunk = 1 << 16
        # powers for a block jump
        A = np.empty(chunk, dtype=np.uint32)
        C = np.empty(chunk, dtype=np.uint32)
        A[0], C[0] = a, c
        with np.errstate(over="ignore"):
            for k in range(1, chunk):
                A[k] = A[k - 1] * a
                C[k] = C[k - 1] * a + c
            i = 0
            while i < n:
                m = min(chunk, n - i)
                block = A[:m] * s + C[:m]
                out[i:i + m] = (block >> np.uint32(8)).astype(np.float32) * np.float32(1.0 / 16777216.0)
                s = block[m - 1]
                i += m
        self.state = int(s)
        return out


def line_data(n, rng):
    x = (np.arange(n, dtype=np.float32) / np.float32(max(n - 1, 1))) if n > 1 else np.array([0.5], np.float32)
    y = np.float32(0.5) + np.float32(0.35) * np.sin(np.float32(6.2831853 * 5) * x) + np.float32(0.02) * (
        rng.rand(n) - np.float32(0.5))
    return x, y.astype(np.float32)


def run_frame():
    fig = new_fig()
    chart_axes(fig)
    report("frame", "-", measure(frame_draw(fig)))
    plt.close(fig)


def scatter_data(n, rng):
    x = rng.rand(n)
    y = rng.rand(n)
    return x.astype(np.float32), y.astype(np.float32)


def lissajous_data(n):
    t = (np.arange(n, dtype=np.float64) / max(n - 1, 1))
    x = 0.5 + 0.45 * np.sin(2 * np.pi * 13 * t)
    y = 0.5 + 0.45 * np.sin(2 * np.pi * 17 * t + 0.5)
    return x.astype(np.float32), y.astype(np.float32)


def run_line(n, markers, rng):
    x, y = line_data(n, rng)
    fig = new_fig()
    ax = chart_axes(fig)
    kw = dict(color=(1.0, 0.6, 0.1), linewidth=0.72)  # 1 px at dpi 100
    if markers:
        kw.update(marker="o", markersize=7.2, markerfacecolor="none", markeredgewidth=0.72)
    ax.plot(x, y, **kw)
    try:
        res = measure(frame_draw(fig))
        report("line+markers" if markers else "line", str(n), res)
    except Exception as e:  # e.g. Agg cell-block overflow
        print(f"matplotlib workload={'line+markers' if markers else 'line'} size={n} error={type(e).__name__}:{e}",
              flush=True)
    plt.close(fig)



def run_stream(n, rng):
    x, y0 = line_data(n, rng)
    _, y1 = line_data(n, rng)
    fig = new_fig()
    ax = chart_axes(fig)
    (line,) = ax.plot(x, y0, color=(1.0, 0.6, 0.1), linewidth=0.72)
    ys, k = [y0, y1], [0]
    draw = frame_draw(fig)

    def one():
        k[0] ^= 1
        line.set_ydata(ys[k[0]])
        draw()

    report("stream", str(n), measure(one))
    plt.close(fig)


def run_scatter(n, rng):
    x, y = scatter_data(n, rng)
    fig = new_fig()
    ax = chart_axes(fig)
    ax.plot(x, y, linestyle="none", color=(1.0, 0.6, 0.1), marker="o", markersize=7.2, markerfacecolor="none",
            markeredgewidth=0.72)
    report("scatter", str(n), measure(frame_draw(fig)))
    plt.close(fig)


def run_logline(n, rng):
    x, y = line_data(n, rng)
    x = np.power(np.float32(10.0), np.float32(3.0) * x).astype(np.float32)
    fig = new_fig()
    ax = chart_axes(fig)
    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlim(1, 1000)
    ax.set_ylim(0.1, 1)
    ax.plot(x, y, color=(1.0, 0.6, 0.1), linewidth=0.72)
    report("logline", str(n), measure(frame_draw(fig)))
    plt.close(fig)


def run_lissajous(n):
    x, y = lissajous_data(n)
    fig = new_fig()
    ax = chart_axes(fig)
    ax.plot(x, y, color=(1.0, 0.6, 0.1), linewidth=0.72)
    report("lissajous", str(n), measure(frame_draw(fig)))
    plt.close(fig)



def hist2d_data(n, rng):
    u = [rng.rand(n) for _ in range(4)]
    x = (u[0] + u[1]) * np.float32(0.5)
    y = (u[2] + u[3]) * np.float32(0.5)
    return x.astype(np.float32), y.astype(np.float32)


def run_hist2d(n, rng):
    sets = [hist2d_data(n, rng), hist2d_data(n, rng)]
    fig = new_fig()
    ax = chart_axes(fig)
    counts, _, _ = np.histogram2d(sets[0][0], sets[0][1], bins=256, range=[[0, 1], [0, 1]])
    im = ax.imshow(counts.T, origin="lower", extent=(0, 1, 0, 1), cmap="viridis", interpolation="nearest",
                   aspect="auto")
    draw = frame_draw(fig)
    k = [0]

    def one():
        k[0] ^= 1
        x, y = sets[k[0]]
        c, _, _ = np.histogram2d(x, y, bins=256, range=[[0, 1], [0, 1]])
        im.set_data(c.T)
        im.set_clim(0, c.max())
        draw()

    report("hist2d", str(n), measure(one))
    plt.close(fig)


def run_hist(b, rng, bars):
    f = np.float32(0.1) + np.float32(0.8) * rng.rand(b)
    fig = new_fig()
    ax = chart_axes(fig)
    edges = np.linspace(0, 1, b + 1, dtype=np.float32)
    if bars:
        ax.bar(edges[:-1], f, width=1.0 / b, align="edge", color=(0.3, 0.6, 1.0), linewidth=0)
    else:
        ax.stairs(f, edges, fill=True, color=(0.3, 0.6, 1.0))
    report("hist_bar" if bars else "hist", str(b), measure(frame_draw(fig)))
    plt.close(fig)


def run_image(w, h, fmt, rng):
    fig = new_fig()
    ax = fig.add_axes([0, 0, 1, 1])
    ax.set_axis_off()
    if fmt == "gray_u8":
        data = (rng.rand(w * h) * np.float32(255.99)).astype(np.uint8).reshape(h, w)
        im = ax.imshow(data, cmap="viridis", vmin=0, vmax=255, interpolation="nearest", aspect="auto")
    elif fmt == "rgba_f32":
        data = rng.rand(w * h * 4).reshape(h, w, 4)
        im = ax.imshow(data, interpolation="nearest", aspect="auto")
    else:
        raise SystemExit(f"unknown format {fmt}")

    frames = [data, data.copy()]  # alternate two arrays: new pixels every frame
    k = [0]

    def draw():
        k[0] ^= 1
        im.set_data(frames[k[0]])
        fig.canvas.draw()
        fig.canvas.buffer_rgba()

    report("image", f"{w}x{h}:{fmt}", measure(draw), f" bytes={data.nbytes}")
    plt.close(fig)


def main(argv):
    global MAX_SECONDS, FRAMES
    jobs = []
    for a in argv[1:]:
        if a.startswith("--max-seconds="):
            MAX_SECONDS = float(a.split("=", 1)[1])
        elif a.startswith("--frames="):
            FRAMES = int(a.split("=", 1)[1])
        else:
            jobs.append(a)
    if not jobs:
        print(__doc__)
        return 1
    print(f"# matplotlib {matplotlib.__version__} numpy {np.__version__} backend {matplotlib.get_backend()}",
          flush=True)
    for j in jobs:
        k, _, v = j.partition("=")
        rng = Lcg()
        if k == "frame":
            run_frame()
        elif k in ("line", "line+mk"):
            for n in v.split(","):
                run_line(int(n), k == "line+mk", rng)
        elif k == "stream":
            for n in v.split(","):
                run_stream(int(n), Lcg())
        elif k == "scatter":
            for n in v.split(","):
                run_scatter(int(n), Lcg())
        elif k == "logline":
            for n in v.split(","):
                run_logline(int(n), Lcg())
        elif k == "lissajous":
            for n in v.split(","):
                run_lissajous(int(n))
        elif k == "hist2d":
            for n in v.split(","):
                run_hist2d(int(n), Lcg())
        elif k in ("hist", "hist_bar"):
            for b in v.split(","):
                run_hist(int(b), rng, k == "hist_bar")
        elif k == "image":
            for item in v.split(","):
                size, fmt = item.split(":")
                w, h = (int(t) for t in size.split("x"))
                run_image(w, h, fmt, rng)
        else:
            print(f"unknown job {j}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
