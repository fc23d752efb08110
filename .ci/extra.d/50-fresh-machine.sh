#!/usr/bin/env bash
# The README's two set-up commands, run as a newcomer would: in a new minimal Debian 12 root,
# on a clone of the committed main, with nothing installed beforehand, first scripts/demo.sh
# and then scripts/test.sh, in the README's order. A CI machine on which packages were once
# installed by hand cannot hide a missing install step this way. The two share one build
# directory, so the tests must compile none of the library's or the examples' objects again:
# any of those newer than the end of the demo fails the check. (The other order, tests first
# and then the demo on the same build, is .ci/run's own: scripts/test.sh, then 20-demo.sh.)
# The tool lives beside the project in the team's shared folder; a clone elsewhere skips this.
set -euo pipefail
cd "$(dirname "$0")/../.."

tool="../shared/tools/fresh-machine.sh"
if [ ! -f "$tool" ]; then
    echo "fresh-machine check skipped: $tool is not here (a clone outside the team)"
    exit 0
fi
echo "-- scripts/demo.sh, then scripts/test.sh, on a fresh Debian 12 machine"
start=$(date +%s)
# shellcheck disable=SC2016
bash "$tool" . bash -c '
set -euo pipefail
start=$(date +%s)
bash scripts/demo.sh
echo "-- scripts/demo.sh passed in $(( $(date +%s) - start )) s"
touch build/.demo-built
sleep 1
start=$(date +%s)
bash scripts/test.sh
echo "-- scripts/test.sh passed in $(( $(date +%s) - start )) s"
again=$(find build/CMakeFiles/zarvo_obj.dir build/examples -name "*.o" -newer build/.demo-built)
if [ -n "$again" ]; then
    echo "scripts/test.sh compiled again what scripts/demo.sh had built:"
    echo "$again"
    exit 1
fi
echo "-- scripts/test.sh compiled none of the objects scripts/demo.sh had built"
'
echo "-- both passed on a fresh machine in $(( $(date +%s) - start )) s"
