#!/usr/bin/env bash
# Frame costs of libzarvo against a hand-written OpenGL baseline drawing the same pictures.
#
#   scripts/bench.sh                 one table: median wall ms per frame (up to glFinish),
#                                    drawing-thread CPU ms, GL calls per frame, the ratios
#                                    library / baseline, and how much the two pictures differ
#                                    and, below it, the library's frame in a window of the X
#                                    server beside the same frame in a headless window (EGL,
#                                    no window system; BENCH_HEADLESS_WORKLOADS, default
#                                    gallery-2x2-captions,line-1e5,image-1920x1080-gray-u8)
#   scripts/bench.sh --callgrind     instructions per frame under callgrind (single-threaded
#                                    software rasteriser): (Ir(N2) - Ir(N1)) / (N2 - N1) in
#                                    total for both sides, and the library's own
#
#   scripts/bench.sh --ring          a stream of 10^6 points with 10^4 new a frame, drawn from a
#                                    ring buffer (only the new points uploaded) against the same
#                                    plot rewriting all its points every frame
#
#   scripts/bench.sh --peers         the library's frame beside matplotlib's (Agg) and VisPy's on
#                                    the same workloads and data, case by case in one run, with
#                                    the ratios library / peer and the target of each case; the
#                                    peer scripts are those of ../shared/peers (PEERS_DIR), their
#                                    Debian packages are installed when missing
#
# Environment: BUILD_DIR (default build-bench), BENCH_WORKLOADS (comma-separated names, see
# `zv_bench --list`; default all), BENCH_BUDGET (seconds of frames per side and workload in
# the default mode; default 2). --peers: PEERS_CASES (comma-separated case names, default
# all), PEERS_SECONDS (seconds of frames per side and case; default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

MODE=table
case "${1:-}" in
  "") ;;
  --callgrind) MODE=callgrind ;;
  --peers) MODE=peers ;;
  --ring) MODE=ring ;;
  *) echo "usage: $0 [--callgrind | --peers | --ring]" >&2; exit 2 ;;
esac

if [ "$MODE" = peers ]; then
  PEERS="${PEERS_DIR:-../shared/peers}"
  if [ ! -f "$PEERS/mpl_bench.py" ] || [ ! -f "$PEERS/vispy_bench.py" ]; then
    echo "the peer scripts (mpl_bench.py, vispy_bench.py) are not in $PEERS: set PEERS_DIR" >&2
    exit 2
  fi
  ZV_WITH_PEERS=1 bash scripts/install-deps.sh
else
  bash scripts/install-deps.sh
fi
# Two 800 x 600 windows side by side need a screen wider than the default one. Without a
# display, a private Xvfb picks a free display number itself (-displayfd), so concurrent
# runs of other scripts never share or take its display.
if ! { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  xdir=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1680x700x24 -nolisten tcp 3>"$xdir/display" 2>"$xdir/log" &
  xpid=$!
  trap 'kill "$xpid" 2>/dev/null || true; wait "$xpid" 2>/dev/null || true; rm -rf "$xdir"' EXIT
  for _ in $(seq 200); do
    [ -s "$xdir/display" ] && break
    kill -0 "$xpid" 2>/dev/null || { cat "$xdir/log" >&2; exit 1; }
    sleep 0.05
  done
  [ -s "$xdir/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$xdir/display")"
fi

BUILD="${BUILD_DIR:-build-bench}"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_BENCH=ON \
  >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target zv_bench zv_bench_plain >/dev/null
BENCH="$BUILD/bench/zv_bench"
PLAIN="$BUILD/bench/zv_bench_plain"

# Every OpenGL entry point the library or the baseline calls must be counted.
missing=$(comm -23 \
  <(grep -rhoE '\bgl[A-Z][A-Za-z0-9_]*\s*\(' src bench --include='*.cpp' --include='*.hpp' |
      sed -E 's/\s*\($//' | grep -vE '^gl(ErrorCheck|ForceErrorCheck|ew.*|fw.*|Type)$' | sort -u) \
  <("$BENCH" --gl-names | sort -u))
if [ -n "$missing" ]; then
  echo "warning: GL calls not counted by bench/gl_count.cpp: $(echo $missing)" >&2
fi

renderer=$(glxinfo -B 2>/dev/null | sed -n 's/^ *OpenGL renderer string: //p' | head -1)
glversion=$(glxinfo -B 2>/dev/null | sed -n 's/^ *OpenGL core profile version string: //p' | head -1)
echo "libzarvo $(git rev-parse --short HEAD 2>/dev/null || echo "${ZV_BENCH_REV:-?}") on" \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
  "$(free -g | awk '/^Mem:/ {print $2}') GiB; ${renderer:-unknown renderer}, ${glversion:-?}"
echo "800 x 600 windows, 4x MSAA; $(date -u '+%Y-%m-%d %H:%M UTC')"

if [ "$MODE" = ring ]; then
  "$BENCH" --ring --budget "${BENCH_BUDGET:-2}"
  exit 0
fi

if [ "$MODE" = table ]; then
  echo "median per frame over interleaved blocks of frames; pix% = pixels differing between the two pictures"
  "$BENCH" --workload "${BENCH_WORKLOADS:-all}" --budget "${BENCH_BUDGET:-2}"
  echo
  echo "the library's frame under the X server and headless (median ms per frame, up to glFinish)"
  "$BENCH" --headless --budget "${BENCH_BUDGET:-2}" \
    --workload "${BENCH_HEADLESS_WORKLOADS:-gallery-2x2-captions,line-1e5,image-1920x1080-gray-u8}"
  exit 0
fi

if [ "$MODE" = peers ]; then
  # case | the library's workload | matplotlib's job | VisPy's job ("-": the peer has none).
  # matplotlib's logline job is in bench/mpl_log_bench.py, a copy of the peer script with
  # that case added (the peers' scripts have no logarithmic axes).
  CASES="empty-chart|frame|frame
line-1e3|line=1000|line=1000
line-1e5|line=100000|line=100000
line-1e6|line=1000000|line=1000000
line-1e7|line=10000000|line=10000000
line-markers-1e3|line+mk=1000|line+mk=1000
line-markers-1e5|line+mk=100000|line+mk=100000
stream-1e5|stream=100000|stream=100000
stream-1e6|stream=1000000|stream=1000000
scatter-1e5|scatter=100000|scatter=100000
scatter-1e6|scatter=1000000|scatter=1000000
lissajous-1e6|lissajous=1000000|lissajous=1000000
line-log-1e6|logline=1000000|-
histogram-100|hist=100|hist=100
histogram-1e4|hist=10000|hist=10000
histogram-1e6|hist=1000000|hist=1000000
image-512x512-gray-u8|image=512x512:gray_u8|image=512x512:gray_u8
image-512x512-rgba-f32|image=512x512:rgba_f32|image=512x512:rgba_f32
image-1920x1080-gray-u8|image=1920x1080:gray_u8|image=1920x1080:gray_u8
image-1920x1080-rgba-f32|image=1920x1080:rgba_f32|image=1920x1080:rgba_f32
hist2d-1e6|hist2d=1000000|-
hist2d-1e7|hist2d=10000000|-"
  echo "ms per frame, medians; libzarvo: draw, present and glFinish; matplotlib: Agg draw of the"
  echo "figure and its buffer; VisPy: draw, swap and glFinish (see each peer script's header)"
  OUT=$(mktemp "${TMPDIR:-/tmp}/zv-peers.XXXXXX")
  trap 'rm -f "$OUT"; [ -n "${xpid:-}" ] && { kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$xdir"; }; true' EXIT
  secs="${PEERS_SECONDS:-5}"
  # Qt wants a private runtime directory; without one it warns on every VisPy run.
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/zv-peers-runtime-$(id -u)"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  fi
  tagged() { sed -u "s/^\($1\) /\1 case=$2 /" | grep --line-buffered "^$1 " | tee -a "$OUT" || true; }
  while IFS='|' read -r case mpl vis; do
    if [ -n "${PEERS_CASES:-}" ] && ! echo ",$PEERS_CASES," | grep -q ",$case,"; then continue; fi
    "$BENCH" --library-only --workload "$case" --budget "$secs" | tagged libzarvo "$case"
    # A peer that fails shows as "-" in the table; its own message goes to stderr.
    mplScript="$PEERS/mpl_bench.py"
    case "$mpl" in logline=*) mplScript=bench/mpl_log_bench.py ;; esac
    /usr/bin/python3 "$mplScript" --max-seconds="$secs" "$mpl" |
      tagged matplotlib "$case" || true
    # One case per VisPy process (see the script's header).
    if [ "$vis" != "-" ]; then
      QT_LOGGING_RULES="*.debug=false" /usr/bin/python3 "$PEERS/vispy_bench.py" \
        --max-seconds="$secs" "$vis" | tagged vispy "$case" || true
    fi
  done <<<"$CASES"
  echo
  python3 bench/peers_summary.py "$OUT"
  exit 0
fi

# --callgrind: one process per workload and side, which draws a first frame, then N1 frames
# and N2 frames, each run of frames dumped on its own. The frame counts keep the slowest
# workloads (markers and bars drawn one by one, about 3 minutes a frame under callgrind) to
# one or two frames; the whole mode takes about half an hour.
frames() {
  case "$1" in
    line-markers-1e6) echo "0 1" ;;
    line-markers-1e5|histogram-1e4|lissajous-1e6) echo "1 2" ;;
    # Reduced per column, dense lines and histograms cost little; the software rasteriser
    # compiles more shader variants in their first frames, which N1 >= 2 (lines: 4) leaves
    # out: with 2 the line's run of 2 frames cost more than its run of 4.
    line-1e6|line-1e7|line-log-1e6) echo "4 8" ;;
    histogram-1e6) echo "2 4" ;;
    # Every frame bins all the points on the software rasteriser: a frame or two is plenty.
    hist2d-1e6|hist2d-1e7) echo "1 2" ;;
    *) echo "2 6" ;;
  esac
}
if ! command -v python3 >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends python3
fi
OUT=$(mktemp -d "${TMPDIR:-/tmp}/zv-callgrind.XXXXXX")
trap 'rm -rf "$OUT"; [ -n "${xpid:-}" ] && { kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; rm -rf "$xdir"; }; true' EXIT
export LP_NUM_THREADS=0
if [ -n "${BENCH_WORKLOADS:-}" ]; then
  echo "$BENCH_WORKLOADS" | tr ',' '\n' >"$OUT/workloads"
else
  "$PLAIN" --list >"$OUT/workloads"
fi
echo "callgrind, LP_NUM_THREADS=0; per frame = (Ir(N2 frames) - Ir(N1 frames)) / (N2 - N1)"
while read -r w; do
  read -r n1 n2 <<<"$(frames "$w")"
  for side in lib base; do
    # The first run, natively, fills the shader cache.
    "$PLAIN" --callgrind "0,1" --side "$side" --workload "$w" >/dev/null
    valgrind --tool=callgrind --instr-atstart=no --dump-instr=no \
      --callgrind-out-file="$OUT/$w.$side.$n1.$n2.out" \
      "$PLAIN" --callgrind "$n1,$n2" --side "$side" --workload "$w" >/dev/null 2>"$OUT/$w.$side.log" ||
      { echo "callgrind failed for $w ($side):" >&2; tail -5 "$OUT/$w.$side.log" >&2; exit 1; }
  done
done <"$OUT/workloads"
python3 bench/callgrind_summary.py "$OUT"
