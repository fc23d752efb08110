#!/usr/bin/env bash
# The folders of src/ stand on each other without a cycle, and the OpenGL layer on nothing
# of the library.
set -euo pipefail
bash scripts/check-floors.sh
