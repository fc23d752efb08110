#!/usr/bin/env bash
# The README's two set-up commands, run as a newcomer would: each in a new minimal Debian 12
# root, on a clone of the committed main, with nothing installed beforehand. A CI machine on
# which packages were once installed by hand cannot hide a missing install step this way.
# The tool lives beside the project in the team's shared folder; a clone elsewhere skips this.
set -euo pipefail
cd "$(dirname "$0")/../.."

tool="../shared/tools/fresh-machine.sh"
if [ ! -f "$tool" ]; then
    echo "fresh-machine check skipped: $tool is not here (a clone outside the team)"
    exit 0
fi
for cmd in scripts/test.sh scripts/demo.sh; do
    echo "-- $cmd on a fresh Debian 12 machine"
    start=$(date +%s)
    bash "$tool" . bash "$cmd"
    echo "-- $cmd passed on a fresh machine in $(( $(date +%s) - start )) s"
done
