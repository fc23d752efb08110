#!/usr/bin/env bash
# An outside project builds against the installed library, with CMake and with pkg-config.
set -euo pipefail
bash scripts/consumer.sh
