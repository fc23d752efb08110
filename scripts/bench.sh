#!/usr/bin/env bash
# Frame costs of libzarvo against a hand-written OpenGL baseline drawing the same pictures.
#
#   scripts/bench.sh                 one table: median wall ms per frame (up to glFinish),
#                                    drawing-thread CPU ms, GL calls per frame, the ratios
#                                    library / baseline, and how much the two pictures differ
#   scripts/bench.sh --callgrind     instructions per frame under callgrind (single-threaded
#                                    software rasteriser): (Ir(N2) - Ir(N1)) / (N2 - N1) in
#                                    total for both sides, and the library's own
#
# Environment: BUILD_DIR (default build-bench), BENCH_WORKLOADS (comma-separated names, see
# `zv_bench --list`; default all), BENCH_BUDGET (seconds of frames per side and workload in
# the default mode; default 2).
set -euo pipefail
cd "$(dirname "$0")/.."

MODE=table
case "${1:-}" in
  "") ;;
  --callgrind) MODE=callgrind ;;
  *) echo "usage: $0 [--callgrind]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh
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
      sed -E 's/\s*\($//' | grep -vE '^gl(ErrorCheck|ForceErrorCheck|ew.*|fw.*)$' | sort -u) \
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

if [ "$MODE" = table ]; then
  echo "median per frame over interleaved blocks of frames; pix% = pixels differing between the two pictures"
  "$BENCH" --workload "${BENCH_WORKLOADS:-all}" --budget "${BENCH_BUDGET:-2}"
  exit 0
fi

# --callgrind: one process per workload and side, which draws a first frame, then N1 frames
# and N2 frames, each run of frames dumped on its own. The frame counts keep the slowest
# workloads (a million segments, markers or bars per frame, about 3 minutes each under
# callgrind) to one or two frames; the whole mode takes about half an hour.
frames() {
  case "$1" in
    line-markers-1e6|histogram-1e6) echo "0 1" ;;
    line-1e6|line-markers-1e5|scatter-1e5|histogram-1e4) echo "1 2" ;;
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
