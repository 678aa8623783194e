#!/bin/sh
# Choosing keys in the game with the real plug-in: each drive in a Wine process
# and a folder of its own, with its own copy of the plug-in and of CASE.ini as
# MTconfig.ini, and then the files it left there, byte for byte.
# Usage: bind.sh WINE_SH PREFIX DRIVE_EXE PLUGIN WORK_FOLDER HOLD_EXE (absolute paths)
set -eu
wine_sh=$1 prefix=$2 drive=$3 plugin=$4 hold_file=$6
cases=$(cd "$(dirname "$0")/bind" && pwd)
. "$(dirname "$0")/common.sh"
fresh_work "$5"
cd "$work"

# play CASE COMMAND...: the drive, once COMMAND has run in its folder, with
# CASE.ini (or $ini.ini) as MTconfig.ini; it leaves no temporary file.
play() {
    name=$1
    shift
    mkdir "$name"
    cp "$cases"/* "$name/"
    cp "$plugin" "$name/ManualGearbox.asi"
    cp "$name/${ini:-$name}.ini" "$name/MTconfig.ini"
    cd "$name"
    "$@"
    cd ..
    "$wine_sh" "$prefix" run "$drive" "$(pwd)/$name/ManualGearbox.asi" "$name/$name.drive" ||
        fail "$name.drive"
    ! ls "$name" | grep -q '\.tmp$' || fail "a temporary file left in $name"
}

# Saved: the other lines kept, the second clutch line dropped, reverse's
# added, the old file as the .bak, the log written anew.
play choose true
same choose/MTconfig.ini choose/choose.expected
same choose/MTconfig.ini.bak choose/choose.ini
[ "$(sed -n 3p choose/ManualGearbox.log)" = "Keys chosen in the game and saved." ] ||
    fail "choose/ManualGearbox.log doesn't say the keys were saved"

# A read-only file stays as it was, and a cancel writes nothing.
play readonly chmod a-w MTconfig.ini
same readonly/MTconfig.ini readonly/readonly.ini

# Not saved with a folder in the temporary file's place, nothing written on a
# restart, and a file changed on disk mid-choice rewritten as it is then.
play faults mkdir MTconfig.ini.tmp
same faults/restarted.ini faults/faults.ini
same faults/MTconfig.ini faults/changed.expected
same faults/MTconfig.ini.bak faults/changed.ini

# hold SHARING, in a case's folder: an older .bak beside MTconfig.ini, which
# another program then holds open, sharing it as hold_file does.
hold() {
    printf 'Clutch=17\r\n' >MTconfig.ini.bak
    cksum $(ls) >../before.sums
    "$wine_sh" "$prefix" run "$hold_file" MTconfig.ini "$1" held.marker &
    for _ in $(seq 100); do [ -e held.marker ] && break || sleep 0.1; done
}
# released CASE: once the program lets go, the folder holds what it held,
# byte for byte, and the log.
released() {
    rm -f "$1/held.marker"
    wait
    (cd "$1" && cksum $(ls | grep -vx ManualGearbox.log)) | cmp -s - before.sums ||
        fail "$1: the files beside MTconfig.ini changed"
}
play shared hold read
released shared
ini=shared play held hold none
released held
grep -q ': another program has it open, so it was not read.$' held/ManualGearbox.log ||
    fail "held/ManualGearbox.log doesn't say another program has the file open"

passed
echo "choosing keys: 5 drives and the files they left as expected"
