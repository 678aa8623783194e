#!/bin/sh
# Choosing keys in the game with the real plug-in: each drive in a Wine process
# and a folder of its own, with its own copy of the plug-in and of CASE.ini as
# MTconfig.ini, and then the files it left there, byte for byte.
# Usage: bind.sh WINE_SH PREFIX DRIVE_EXE PLUGIN WORK_FOLDER (absolute paths)
set -eu
wine_sh=$1 prefix=$2 drive=$3 plugin=$4
cases=$(cd "$(dirname "$0")/bind" && pwd)
rm -rf "$5"
mkdir -p "$5"
# Wine names the working folder by its real path.
cd "$(cd "$5" && pwd -P)"
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
same() {
    cmp -s "$1" "$2" || fail "$1 is not $2"
}

# play CASE COMMAND...: the drive, once COMMAND has run in its folder; it
# leaves no temporary file.
play() {
    mkdir "$1"
    cp "$cases"/* "$1/"
    cp "$plugin" "$1/ManualGearbox.asi"
    cp "$1/$1.ini" "$1/MTconfig.ini"
    (cd "$1" && shift && "$@")
    "$wine_sh" "$prefix" run "$drive" "$(pwd)/$1/ManualGearbox.asi" "$1/$1.drive" ||
        fail "$1.drive"
    ! ls "$1" | grep -q '\.tmp$' || fail "a temporary file left in $1"
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

[ $failures -eq 0 ] || exit 1
echo "choosing keys: 3 drives and the files they left as expected"
