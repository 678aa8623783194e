# Sourced by the build and test commands: installs what a fresh Debian machine
# lacks, or says what to install when it can't.

# need_packages PACKAGE...: Debian packages that must be present.
need_packages() {
    missing=""
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing="$missing $package"
        fi
    done
    [ -z "$missing" ] && return 0

    if ! command -v apt-get >/dev/null 2>&1; then
        echo "error: missing packages:$missing (this machine has no apt-get; install their equivalents)" >&2
        exit 2
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "error: missing packages:$missing" >&2
        echo "       install them with: sudo apt-get install$missing" >&2
        exit 2
    fi
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Packages of the Windows cross build.
windows_build_packages="cmake ninja-build g++-mingw-w64-x86-64"

# Wine runs the Windows build: wine64 is the loader, wine gives the wine command;
# bsdutils' script gives a program under Wine a console.
wine_packages="wine64 wine bsdutils"

# Packages of the native build and its tests.
native_test_packages="cmake ninja-build g++ libgtest-dev libbenchmark-dev clang-format"

# Packages of the fuzz run: clang with libFuzzer and the sanitizer runtimes.
fuzz_test_packages="cmake ninja-build clang libclang-rt-14-dev"
