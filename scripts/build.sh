#!/bin/sh
# Builds the Windows plug-in into dist/ (ManualGearbox.asi, a sample MTconfig.ini,
# check-bindings.exe, ReadMe.txt and LICENSE) and packs the same files into
# dist/ManualGearbox-<version>.zip, then drives the plug-in under Wine along the
# demo drive: the timeline on standard output, the chart in dist/demo-drive.svg.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh

need_packages $windows_build_packages $wine_packages

cmake --preset windows
cmake --build --preset windows
# Already stripped when linked: the installed files are the files the tests ran.
cmake --install build/windows
cpack --preset windows

prefix=build/windows/wine-prefix
echo
echo "Starting Wine (the first time, it makes its prefix: about a quarter of a minute)"
tools/drive/wine.sh "$prefix" up
trap 'tools/drive/wine.sh "$prefix" down' EXIT
echo
tools/drive/wine.sh "$prefix" run build/windows/drive/drive.exe --svg dist/demo-drive.svg \
    dist/ManualGearbox.asi examples/demo.drive
echo
echo "Built: $(pwd)/dist/ManualGearbox.asi, $(pwd)/dist/MTconfig.ini and $(pwd)/dist/check-bindings.exe"
echo "Release package: $(pwd)/$(ls -t dist/ManualGearbox-*.zip | head -n 1)"
echo "Demo drive chart: $(pwd)/dist/demo-drive.svg"
