#!/bin/sh
# Builds the Windows plug-in into dist/: ManualGearbox.asi and a sample MTconfig.ini.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh

need_packages $windows_build_packages

cmake --preset windows
cmake --build --preset windows
cmake --install build/windows --strip
echo
echo "Built: $(pwd)/dist/ManualGearbox.asi and $(pwd)/dist/MTconfig.ini"
