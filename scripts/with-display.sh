#!/usr/bin/env bash
# Runs a command with an X display: the current one when it answers, otherwise a private
# Xvfb started for this command alone. Xvfb picks a free display number itself
# (-displayfd), so several of these can start at once without taking each other's display.
# -noreset: by default Xvfb resets whenever its last client leaves, and a test connecting in
# that moment (ctest -j runs them side by side) is refused the display.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
pid=$!
cleanup() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$dir/log" >&2; exit 1; }
    sleep 0.05
done
[ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; cat "$dir/log" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$dir/display")"
status=0
"$@" || status=$?
exit $status
