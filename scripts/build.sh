#!/bin/sh
# Builds the Windows plug-in into dist/: ManualGearbox.asi, a sample MTconfig.ini
# and check-bindings.exe.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh

need_packages $windows_build_packages

cmake --preset windows
cmake --build --preset windows
cmake --install build/windows --strip
echo
echo "Built: $(pwd)/dist/ManualGearbox.asi, $(pwd)/dist/MTconfig.ini and $(pwd)/dist/check-bindings.exe"
