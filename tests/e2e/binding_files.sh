#!/bin/sh
# The key-binding file as the real plug-in reads it from its working folder:
# LF and CRLF line ends, a Ctrl-Z, a byte-order mark and no file at all, each
# drive in a folder of its own, all in one Wine process.
# Usage: binding_files.sh WINE_SH PREFIX DRIVE_EXE PLUGIN WORK_FOLDER
# Every path is absolute, as CTest gives them: the script changes folder.
set -eu
wine_sh=$1
prefix=$2
drive=$3
plugin=$4
work=$5
drives=$(cd "$(dirname "$0")/bindings" && pwd)

. "$(dirname "$0")/common.sh"
fresh_work "$work"
for folder in lf crlf bom ctrlz missing; do
    mkdir "$work/$folder"
done
cp "$drives/bound.drive" "$work/lf/"
cp "$drives/bound.drive" "$work/crlf/"
cp "$drives/bound.drive" "$work/bom/"
cp "$drives/ctrlz.drive" "$work/ctrlz/"
cp "$drives/missing.drive" "$work/missing/"

# The last line ends without a line feed.
printf 'Clutch=162\nFirstGear=97\nSecondGear=98\nThirdGear=99\nFourthGear=100\nReverse=96' \
    >"$work/lf/MTconfig.ini"
printf 'Clutch=162\r\nFirstGear=97\r\nSecondGear=98\r\nThirdGear=99\r\nFourthGear=100\r\nReverse=96\r\n' \
    >"$work/crlf/MTconfig.ini"
printf '\357\273\277Clutch=162\nFirstGear=97\nSecondGear=98\nThirdGear=99\nFourthGear=100\nReverse=96\n' \
    >"$work/bom/MTconfig.ini"
printf 'Clutch=162\r\nFirstGear=97\r\nSecondGear=98\r\n\032ThirdGear=99\r\nFourthGear=100\r\nReverse=96\r\n' \
    >"$work/ctrlz/MTconfig.ini"

cd "$work"
exec "$wine_sh" "$prefix" run "$drive" "$plugin" lf/bound.drive crlf/bound.drive bom/bound.drive \
    ctrlz/ctrlz.drive missing/missing.drive
