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
#
# "tools/benchmark.sh resident": the resident benchmark. "zolswap /tray" and a bare program that
# only waits for messages, left at rest for a minute. Prints the CPU time of each over that minute,
# its working set and peak working set, and its context switches where Wine shows /proc.
# "tools/benchmark.sh resident 10" rests for 10 seconds instead of 60.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

benchmark=switch_benchmark
case "${1:-}" in
  preview | resident)
    benchmark=$1_benchmark
    shift
    ;;
esac
zol_install_packages
zol_japanese_locale
cmake --preset windows >/dev/null
cmake --build --preset windows --target "$benchmark" >/dev/null
zol_wine_environment "$ZOL_ROOT/build/windows"
zol_under_wine "$ZOL_WINE" "$ZOL_ROOT/build/windows/benchmarks/$benchmark.exe" "$@"
