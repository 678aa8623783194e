#!/bin/sh
# Runs every test: native unit tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build's own tests, among them the
# end-to-end drives of the real plug-in under Wine and the release zip, and 45
# seconds each of fuzzing the key-binding reader and the recording reader
# with both replays. Each is one workflow preset; warnings are errors here.
# Exits non-zero when anything fails.
set -eu
cd "$(dirname "$0")/.."
. scripts/setup.sh

need_packages $native_test_packages $windows_build_packages $wine_packages $fuzz_test_packages

# The presets read this from the environment.
export MG_WARNINGS_AS_ERRORS=ON
export CMAKE_BUILD_PARALLEL_LEVEL=2
for preset in native sanitize windows fuzz; do
    echo "=== $preset"
    cmake --workflow --preset "$preset"
done
echo
echo "All tests passed."
