#!/bin/sh
# Drive recordings natively: the demo drive recorded by the stand-in replays
# identical, and identical through the stand-in's own world; the plug-in with
# first gear capped at 22 m/s differs at the first cap it sets; a recording
# cut short, damaged, of another version or no recording at all is refused.
# Usage: recordings.sh DRIVE VARIANT_DRIVE EXAMPLES_FOLDER WORK_FOLDER
set -eu
drive=$1
variant=$2
examples=$3
work=$4
. "$(dirname "$0")/exit_check.sh"

rm -rf "$work"
mkdir -p "$work"
cd "$work"
check_whole_line=yes
"$drive" --record demo.drec "$examples/demo.drive" >/dev/null
check 0 "2189 passes replayed, identical" "$drive" replay demo.drec
check 0 "2189 passes replayed through the stand-in's world: it answered as the game did" \
    "$drive" replay --world demo.drec
check 1 "pass 1, call 46: recorded SET_ENTITY_MAX_SPEED(0x00000A01, 21.00), replayed SET_ENTITY_MAX_SPEED(0x00000A01, 22.00)" \
    "$variant" replay demo.drec

size=$(wc -c <demo.drec)
head -c 1000 demo.drec >truncated.drec
check 2 "drive: truncated.drec: truncated: 1000 bytes of the $size its header announces" \
    "$drive" replay truncated.drec
cp demo.drec damaged.drec
printf 'DAMAGE' | dd of=damaged.drec bs=1 seek=5000 conv=notrunc 2>/dev/null
check 2 "drive: damaged.drec: damaged: its checksum doesn't match its contents" \
    "$drive" replay damaged.drec
cp demo.drec version.drec
printf '\007' | dd of=version.drec bs=1 seek=8 conv=notrunc 2>/dev/null
check 2 "drive: version.drec: format version 7, which this drive doesn't know; it reads version 1" \
    "$drive" replay version.drec
cp "$examples/MTconfig.ini" other.drec
check 2 "drive: other.drec: not a Manual Gearbox drive recording: it doesn't begin with MGBXDREC" \
    "$drive" replay other.drec

[ "$failures" -eq 0 ]
