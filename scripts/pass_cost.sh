#!/bin/sh
# Measures the plug-in's own instructions per pass with callgrind: a steady
# pass (in a car, driving, the three labels drawn), a pass with the clutch held
# and a recording pass. benchmarks/pass_cost.cpp runs 640 such passes after a
# warm-up, and callgrind collects only those (measuredRun). Of what it
# collected, runFramePass's inclusive cost is the plug-in's pass, and from it
# the inclusive cost of the hook's and Windows' entry points (the stand-in's
# side of every native call, key query and focus check) is taken out: what is
# left is the plug-in's code, with the library code it calls itself.
# callgrind_annotate lists the cost of each function by source file, so each
# function's lines are summed. Usage: scripts/pass_cost.sh [BUILD_FOLDER]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/native}
. scripts/setup.sh
need_packages $native_test_packages valgrind

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset native >/dev/null
fi
cmake --build "$build" --target pass_cost >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

src="$(pwd)/src/"
printf '%-10s %10s %10s\n' pass own "+ library"
for kind in steady clutch recording; do
    valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*measuredRun*' \
        --callgrind-out-file="$out/$kind.out" "$build/benchmarks/pass_cost" "$kind" \
        >"$out/$kind.log" 2>&1 || { cat "$out/$kind.log"; exit 1; }
    own=$(cd "$out" && callgrind_annotate --auto=no --threshold=100 "$kind.out" |
        awk -v src="$src" '
            function cost(field) { gsub(",", "", field); return field + 0 }
            # "COST (PERCENT)  FILE:FUNCTION [OBJECT]", once for each source
            # file that contributed lines to the function.
            $2 ~ /^\(/ && index($0, ":") {
                entry = $0
                sub(/^ *[0-9,]+ +\( *[0-9.]+%\) +/, "", entry)
                sub(/ \[[^]]*\]$/, "", entry)
                file = substr(entry, 1, index(entry, ":") - 1)
                name = substr(entry, index(entry, ":") + 1)
                costs[++n] = cost($1); names[n] = name
                if (index(file, src) == 1 && name !~ /^sim::/) own[name] = 1
            }
            END {
                for (i = 1; i <= n; ++i) if (names[i] in own) total += costs[i]
                printf "%.0f", total / 640
            }')
    # Each entry of a function here holds its whole inclusive cost.
    with=$(cd "$out" && callgrind_annotate --auto=no --inclusive=yes --threshold=100 "$kind.out" |
        awk '
            function cost(field) { gsub(",", "", field); return field + 0 }
            match($0, /:(runFramePass\(\)|nativeInit|nativePush64|nativeCall|GetAsyncKeyState|GetForegroundWindow|GetWindowThreadProcessId|GetCurrentProcessId)( \[|$)/) {
                name = substr($0, RSTART + 1, RLENGTH - 1)
                sub(/ \[$/, "", name)
                if (cost($1) > most[name]) most[name] = cost($1)
            }
            END {
                for (name in most) if (name != "runFramePass()") hook += most[name]
                printf "%.0f", (most["runFramePass()"] - hook) / 640
            }')
    printf '%-10s %10s %10s\n' "$kind" "$own" "$with"
done
