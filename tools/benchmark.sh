#!/usr/bin/env bash
# Builds the switch benchmark and runs it in the build's own Wine prefix: zolswap and a bare
# one-button program, started in turn, each switched with one click. Prints the medians, their
# ratio and the peak working sets. "tools/benchmark.sh 50" runs 50 pairs instead of 20.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

zol_install_packages
zol_japanese_locale
cmake --preset windows >/dev/null
cmake --build --preset windows --target switch_benchmark >/dev/null
zol_wine_environment "$ZOL_ROOT/build/windows"
zol_under_wine "$ZOL_WINE" "$ZOL_ROOT/build/windows/benchmarks/switch_benchmark.exe" "$@"
