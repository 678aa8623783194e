#!/bin/sh
# Builds the Windows plug-in into dist/ (ManualGearbox.asi, a sample MTconfig.ini,
# check-bindings.exe, ReadMe.txt and LICENSE) and packs the same files into
# dist/ManualGearbox-<version>.zip, then drives the plug-in under Wine along the
# demo drive, the pad drive and the gear feel's drive, up through the gears and
# back down by engine braking: the timelines on standard output, the charts in
# dist/demo-drive.svg, dist/pad-drive.svg and dist/feel-drive.svg.
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
tools/runner/wine.sh "$prefix" up
trap 'tools/runner/wine.sh "$prefix" down' EXIT
echo
# The build tree's plug-in, byte for byte the one in dist/: beside it is no
# MTconfig.ini, so each drive reads the one in its own folder, and its log
# stays out of dist/.
tools/runner/wine.sh "$prefix" run build/windows/drive/drive.exe --svg dist/demo-drive.svg \
    build/windows/src/ManualGearbox.asi examples/demo.drive
echo
tools/runner/wine.sh "$prefix" run build/windows/drive/drive.exe --svg dist/pad-drive.svg \
    build/windows/src/ManualGearbox.asi examples/pad/pad.drive
echo
tools/runner/wine.sh "$prefix" run build/windows/drive/drive.exe --svg dist/feel-drive.svg \
    build/windows/src/ManualGearbox.asi examples/feel.drive
echo
echo "Built: $(pwd)/dist/ManualGearbox.asi, $(pwd)/dist/MTconfig.ini and $(pwd)/dist/check-bindings.exe"
echo "Release package: $(pwd)/$(ls -t dist/ManualGearbox-*.zip | head -n 1)"
echo "Drive charts: $(pwd)/dist/demo-drive.svg, $(pwd)/dist/pad-drive.svg and $(pwd)/dist/feel-drive.svg"
