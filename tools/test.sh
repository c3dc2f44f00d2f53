#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every test: the core natively with the
# sanitizers, then everything cross-compiled for Windows under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$ZOL_ROOT"

zol_install_packages
zol_japanese_locale

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset windows
cmake --build --preset windows
zol_wine_environment "$ZOL_ROOT/build/windows"
# The tests' own drives in the prefix: R: on an empty folder with a marker file, Q: on a folder
# that does not exist. Wine reads its drives when it starts, so the prefix is made first.
zol_under_wine true
drives="$WINEPREFIX/dosdevices" root="$ZOL_ROOT/build/windows/test-drive"
rm -rf "$root" && mkdir -p "$root" && touch "$root/.zol-test-drive"
ln -sfn "$root" "$drives/r:"
ln -sfn "$ZOL_ROOT/build/windows/no-such-folder" "$drives/q:"
zol_under_wine ctest --preset windows
