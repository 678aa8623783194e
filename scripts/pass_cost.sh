#!/bin/sh
# Measures the plug-in's own instructions per pass with callgrind: a steady
# pass (in a car, driving, the three labels drawn), a pass with the clutch held,
# a recording pass, a pass while the player chooses keys (every key asked
# for, the line drawn), a steady pass with a wheel's clutch pedal and gates
# (each read once), first engaged by its stick, one with the wheel driving too
# (its steering and throttle fed), the same with the wheel the last of 16
# controllers, driving with the wheel's force feedback, a steady pass with
# the wheel's lines and no wheel attached (watched for: a look every 60
# passes), and a steady pass with the gear feel and its rev bar, of which
# benchmarks/pass_cost.cpp runs 640 after a
# warm-up, and callgrind collects only those (measuredRun); then the passes
# that save a ten-minute recording, one at a time (measuredPass, a profile
# each): the Record key's pass, which stops it, and those up to the one that
# posts its notice. Of what it collected, runFramePass's inclusive cost is the
# plug-in's pass, and from it the inclusive cost of the hook's and Windows'
# entry points (the stand-in's side of every native call, key query, focus
# check, game controller's read and force feedback's effect set) is taken
# out: what is left is the
# plug-in's code, with the library code it calls itself. callgrind_annotate
# lists the cost of each function by source file, so each function's lines
# are summed.
# FORWARD_GEARS picks the box, as a ForwardGears line does.
# Usage: scripts/pass_cost.sh [BUILD_FOLDER [FORWARD_GEARS]]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/bench}
gears=${2:-}
. scripts/setup.sh
need_packages $native_test_packages valgrind

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset bench >/dev/null
fi
cmake --build "$build" --target pass_cost >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
src="$(pwd)/src/"

# own PROFILE PASSES: the plug-in's own instructions per pass.
own() {
    callgrind_annotate --auto=no --threshold=100 "$1" | awk -v src="$src" -v passes="$2" '
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
            printf "%.0f", total / passes
        }'
}

# with_library PROFILE PASSES: the same with the library code it calls.
with_library() {
    # Each entry of a function here holds its whole inclusive cost.
    callgrind_annotate --auto=no --inclusive=yes --threshold=100 "$1" | awk -v passes="$2" '
        function cost(field) { gsub(",", "", field); return field + 0 }
        match($0, /:(runFramePass\(\)|nativeInit|nativePush64|nativeCall|GetAsyncKeyState|GetForegroundWindow|GetWindowThreadProcessId|GetCurrentProcessId|readSystemController\(unsigned long, ControllerInput&\)|setSystemForce\(ForceEffect, ForceParameters const&\))( \[|$)/) {
            name = substr($0, RSTART + 1, RLENGTH - 1)
            sub(/ \[$/, "", name)
            if (cost($1) > most[name]) most[name] = cost($1)
        }
        END {
            for (name in most) if (name != "runFramePass()") hook += most[name]
            printf "%.0f", (most["runFramePass()"] - hook) / passes
        }'
}

printf '%-16s %10s %10s\n' pass own "+ library"
for kind in steady clutch recording choosing wheel driving crowded forces missing feel; do
    valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*measuredRun*' \
        --callgrind-out-file="$out/$kind.out" "$build/benchmarks/pass_cost" "$kind" $gears \
        >"$out/$kind.log" 2>&1 || { cat "$out/$kind.log"; exit 1; }
    (cd "$out" && printf '%-16s %10s %10s\n' "$kind" "$(own $kind.out 640)" \
        "$(with_library $kind.out 640)")
done

valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*measuredPass*' \
    --dump-after='*measuredPass()' --callgrind-out-file="$out/saving.out" \
    "$build/benchmarks/pass_cost" saving $gears >"$out/saving.log" 2>&1 || { cat "$out/saving.log"; exit 1; }
passes=$(sed -n 's/^\([0-9]*\) passes$/\1/p' "$out/saving.log")
cd "$out"
printf '%-16s %10s %10s\n' stop "$(own saving.out.1 1)" "$(with_library saving.out.1 1)"
most=0 most_library=0 total=0
pass=2
while [ "$pass" -le "$passes" ]; do
    cost=$(own "saving.out.$pass" 1)
    library=$(with_library "saving.out.$pass" 1)
    total=$((total + cost))
    [ "$cost" -gt "$most" ] && most=$cost
    [ "$library" -gt "$most_library" ] && most_library=$library
    pass=$((pass + 1))
done
printf '%-16s %10s %10s\n' "largest saving" "$most" "$most_library"
printf '%s passes after the stop save it, %s instructions of its own in all\n' \
    $((passes - 1)) "$total"
