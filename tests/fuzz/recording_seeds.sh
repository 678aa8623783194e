#!/bin/sh
# The recordings' seeds replayed by the native drive: each line of the table,
# "SEED WAY STATUS LINE", replays SEED (exact or world with the drive, faulty
# or faulty-world with the plug-in that makes a faulty call) and expects the
# exit status STATUS and LINE as a whole line of what it says. Every seed
# has a line. make_recording_seeds writes the seeds and their table.
# Usage: recording_seeds.sh DRIVE FAULTY_DRIVE SEED_FOLDER TABLE
set -eu
drive=$1
faulty=$2
seeds=$3
table=$4
. "$(dirname "$0")/../exit_check.sh"

check_whole_line=yes
cd "$seeds"
while read -r seed way status line; do
    case $seed in '' | '#'*) continue ;; esac
    case $way in
    exact) check "$status" "$line" "$drive" replay "$seed" ;;
    world) check "$status" "$line" "$drive" replay --world "$seed" ;;
    faulty) check "$status" "$line" "$faulty" replay "$seed" ;;
    faulty-world) check "$status" "$line" "$faulty" replay --world "$seed" ;;
    *)
        echo "FAILED: $table: no way $way"
        failures=$((failures + 1))
        ;;
    esac
done <"$table"
for seed in *; do
    if ! grep -q "^$seed " "$table"; then
        echo "FAILED: $seed has no line in $table"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ]
