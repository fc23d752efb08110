#!/usr/bin/env bash
# The soak tests (about two minutes on two cores): memory and OpenGL names stay flat over
# thousands of frames and hundreds of windows.
set -euo pipefail
bash scripts/soak.sh
