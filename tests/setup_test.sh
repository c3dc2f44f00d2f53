#!/usr/bin/env bash
# Runs the end-to-end test of the setup program (setup_test.cpp) in a Wine prefix made afresh
# for it, so that the other tests' prefix never sees an installation. The prefix is removed
# when the test passes. Arguments: setup_tests.exe, the setup program, the Wine loader, the
# prefix.
set -euo pipefail
tests=$1 setup=$(realpath "$2") wine=$3
export WINEPREFIX=$4 WINEDEBUG=-all
# No Mono or Gecko prompt, and no menu entries on the host for the Start-menu shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$setup" ]; then
  echo "No setup program: cmake --build --preset windows --target package" >&2
  exit 1
fi
wineserver=$(dirname "$wine")/wineserver
# A server left by an interrupted run would outlive its prefix: stop it before the prefix goes.
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
# As in tools/common.sh: a persistent server and a booted prefix, their output detached.
"$wineserver" -p >/dev/null 2>&1 </dev/null
trap '{ "$wineserver" -k && "$wineserver" -w; } 2>/dev/null || true' EXIT
"$wine" wineboot -i >/dev/null 2>&1 </dev/null
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "${ZOL_MANAGED:-N}" /f \
  >/dev/null 2>&1 </dev/null
ZOL_SETUP="Z:${setup//\//\\}" "$wine" "$tests"
"$wineserver" -k && "$wineserver" -w
trap - EXIT
rm -rf "$WINEPREFIX"
