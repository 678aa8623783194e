# Sourced by the end-to-end scripts: the work folder each makes afresh, and
# checks that count their failures, so that one run shows every failure.

# fresh_work FOLDER: the folder, emptied or made, as $work by its real path:
# Wine names the working folder by its real path.
fresh_work() {
    rm -rf "$1"
    mkdir -p "$1"
    work=$(cd "$1" && pwd -P)
}

failures=0
# fail MESSAGE...: one failed check; the script goes on.
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# same FILE EXPECTED: the two files are the same byte for byte.
same() {
    cmp -s "$1" "$2" || fail "$1 is not $2"
}

# passed: exits with 1, saying how many checks failed, when any did.
passed() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures checks failed"
        exit 1
    fi
}
