#!/usr/bin/env bash
# Each libFuzzer target for 60 seconds under AddressSanitizer and UBSan, side by side (about
# three minutes with the clang build).
set -euo pipefail
FUZZ_SECONDS=60 bash scripts/fuzz.sh
