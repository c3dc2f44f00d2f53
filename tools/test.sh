#!/usr/bin/env bash
# Sets up what is missing, builds the three presets and runs every test: the core natively with
# the sanitizers, everything cross-compiled for Windows under Wine (the packages included), then
# the core's fuzz targets.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

zol_install_packages
zol_japanese_locale

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset windows
cmake --build --preset windows --target all package
zol_wine_environment "$ZOL_ROOT/build/windows"
# The tests' own drive Q: on a folder that does not exist. Wine reads its drives when it starts,
# so the prefix is made first.
zol_under_wine true
drives="$WINEPREFIX/dosdevices"
ln -sfn "$ZOL_ROOT/build/windows/no-such-folder" "$drives/q:"
# As root, two small disks for the file-fault tests: O: with room for a few files, P: read-only
# with a system.ini on it. They are unmounted when the tests end; without them those cases skip.
faults="$ZOL_ROOT/build/windows/fault-drives"
fault_disks() {
  local disk
  for disk in small read-only; do
    mountpoint -q "$faults/$disk" && umount "$faults/$disk"
    mkdir -p "$faults/$disk"
    mount -t tmpfs -o size=64k,mode=0777 "zol-$disk" "$faults/$disk" || return 1
  done
  printf '[boot]\r\nSCRNSAVE.EXE=a.scr\r\n' >"$faults/read-only/system.ini"
  mount -o remount,ro "$faults/read-only" &&
    ln -sfn "$faults/small" "$drives/o:" && ln -sfn "$faults/read-only" "$drives/p:"
}
if [ "$(id -u)" -eq 0 ]; then
  trap 'rm -f "$drives/o:" "$drives/p:"
    umount "$faults/small" "$faults/read-only" 2>/dev/null || true' EXIT
  fault_disks || echo "No fault disks here: the full-disk and read-only cases will be skipped."
fi
# The fuzz targets build on one core while the Wine tests, which mostly wait for windows, run.
(cmake --preset fuzz && cmake --build --preset fuzz -j 1) >"$ZOL_ROOT/build/fuzz-build.log" 2>&1 &
fuzz_build=$!
wine_result=0
zol_under_wine ctest --preset windows || wine_result=$?
fuzz_result=0
wait "$fuzz_build" || fuzz_result=$?
cat "$ZOL_ROOT/build/fuzz-build.log"
[ "$wine_result" -eq 0 ] || exit "$wine_result"
[ "$fuzz_result" -eq 0 ] || exit "$fuzz_result"

ctest --preset fuzz -j 2
# How many inputs each fuzz target ran.
awk '/^[0-9]+\/[0-9]+ Test: /{test=$3} /^Done [0-9]+ runs/{print test ": " $2 " inputs in " $5 " s"}' \
  build/fuzz/Testing/Temporary/LastTest.log
