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
zol_under_wine ctest --preset windows
