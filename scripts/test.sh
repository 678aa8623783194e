#!/bin/sh
# Runs every test: native unit tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build's own tests, among them the
# end-to-end drives of the real plug-in under Wine, and 45 seconds of fuzzing
# the key-binding reader. Warnings are errors here. Exits non-zero when
# anything fails.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh

need_packages $native_test_packages $windows_build_packages $wine_packages $fuzz_test_packages

for preset in native sanitize windows fuzz; do
    echo "=== $preset"
    cmake --preset "$preset" -DMG_WARNINGS_AS_ERRORS=ON >/dev/null
    cmake --build --preset "$preset" --parallel 2
    ctest --preset "$preset"
done
echo
echo "All tests passed."
