#!/bin/sh
# Drive recordings natively: the demo drive recorded by the stand-in replays
# identical, and identical through the stand-in's own world, as does reverse
# at speed while the pause menu is open; the plug-in with
# first gear capped at 22 m/s differs at the first cap it sets; a recording
# cut short, damaged, of another version or no recording at all is refused,
# and so are a folder, a FIFO and a device before they are opened. A file
# of 1 GiB that claims 4 GiB is refused without being read, and one of
# 3 GiB that doesn't fit in the memory allowed says so, but under the
# sanitizers, whose shadow memory needs more than that limit allows.
# Usage: recordings.sh DRIVE VARIANT_DRIVE EXAMPLES_FOLDER WORK_FOLDER SANITIZED
set -eu
drive=$1
variant=$2
examples=$3
work=$4
sanitized=$5
. "$(dirname "$0")/exit_check.sh"

rm -rf "$work"
mkdir -p "$work"
cd "$work"
check_whole_line=yes
"$drive" --record demo.drec "$examples/demo.drive" >/dev/null
check 0 "2189 passes replayed, identical" "$drive" replay demo.drec
check 0 "2189 passes replayed through the stand-in's world: it answered as the game did" \
    "$drive" replay --world demo.drec
# Reverse at 30 m/s while the pause menu holds the vehicles still, which the
# plug-in doesn't ask about: the world replay sees it in the game's speeds.
"$drive" --record reverse.drec "$(dirname "$0")/e2e/drives/reverse_paused.drive" >/dev/null
check 0 "51 passes replayed, identical" "$drive" replay reverse.drec
check 0 "51 passes replayed through the stand-in's world: it answered as the game did" \
    "$drive" replay --world reverse.drec
check 1 "pass 1, call 48: recorded SET_ENTITY_MAX_SPEED(0x00000A01, 21.00), replayed SET_ENTITY_MAX_SPEED(0x00000A01, 22.00)" \
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
check 2 "drive: version.drec: format version 7, which this drive doesn't know; it reads versions 1 to 3" \
    "$drive" replay version.drec
cp "$examples/MTconfig.ini" other.drec
check 2 "drive: other.drec: not a Manual Gearbox drive recording: it doesn't begin with MGBXDREC" \
    "$drive" replay other.drec

mkdir folder.drec
check 2 "drive: cannot read folder.drec: it is a folder" "$drive" replay folder.drec
mkfifo fifo.drec
check 2 "drive: cannot read fifo.drec: it is not a regular file" "$drive" replay fifo.drec
check 2 "drive: cannot read /dev/null: it is not a regular file" "$drive" replay /dev/null
check 2 "drive: cannot read none.drec: no such file" "$drive" replay none.drec

# The demo drive with the length after its version set: 0xFFFFFFFF, then
# 0xBFFFFFEE for 3 GiB less the lead and the checksum, each grown to a
# sparse file of 1 GiB and of 3 GiB, its header whole however long it is.
cp demo.drec huge.drec
printf '\377\377\377\377' | dd of=huge.drec bs=1 seek=10 conv=notrunc 2>/dev/null
truncate -s 1G huge.drec
cp demo.drec large.drec
printf '\356\377\377\277' | dd of=large.drec bs=1 seek=10 conv=notrunc 2>/dev/null
truncate -s 3G large.drec
if [ "$sanitized" = 1 ]; then
    check 2 "drive: huge.drec: truncated: 1073741824 bytes of the 4294967313 its header announces" \
        "$drive" replay huge.drec
else
    check 2 "drive: huge.drec: truncated: 1073741824 bytes of the 4294967313 its header announces" \
        sh -c 'ulimit -v 200000 && exec "$0" replay huge.drec' "$drive"
    check 2 "drive: cannot read large.drec: its 3221225472 bytes don't fit in memory" \
        sh -c 'ulimit -v 2000000 && exec "$0" replay large.drec' "$drive"
fi
rm huge.drec large.drec

[ "$failures" -eq 0 ]
