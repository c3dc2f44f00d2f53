#!/usr/bin/env bash
# Builds a benchmark and runs it in the build's own Wine prefix.
#
# "tools/benchmark.sh": the switch benchmark. zolswap and a bare one-button program, started in
# turn, each switched with one click. Prints the medians, their ratio and the peak working sets.
# "tools/benchmark.sh 50" runs 50 pairs instead of 20.
#
# "tools/benchmark.sh preview": the preview benchmark. zolset's preview follows picks in the file
# list, alternately between two screen savers that end when their picture goes and then between
# two that keep running. Prints the time from a pick to the new screen saver's start and the
# longest time the window does not answer, each as median and maximum. "tools/benchmark.sh
# preview 50" makes 50 picks of each kind instead of 20.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

benchmark=switch_benchmark
if [ "${1:-}" = preview ]; then
  benchmark=preview_benchmark
  shift
fi
zol_install_packages
zol_japanese_locale
cmake --preset windows >/dev/null
cmake --build --preset windows --target "$benchmark" >/dev/null
zol_wine_environment "$ZOL_ROOT/build/windows"
zol_under_wine "$ZOL_WINE" "$ZOL_ROOT/build/windows/benchmarks/$benchmark.exe" "$@"
