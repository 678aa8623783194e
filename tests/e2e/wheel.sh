#!/bin/sh
# A wheel's clutch pedal and H-shifter with the real plug-in, each drive with
# its own copy of the plug-in: through the stand-in dinput8.dll, every gate
# of a six-speed box with neutral and a refused gate, the wheel alone
# driving the car, its force feedback, and the wheel plugged in during a
# drive, found without the reload key, each recorded and replayed natively
# both ways; force feedback refused while another program holds the wheel,
# which still drives; choosing the wheel's parts in the game, alone and
# across a focus loss and a replug, and the files they leave, byte for byte;
# a clutch pedal bound the other way told; and with Wine's own dinput8,
# which finds no game controller here, the keyboard driving on and the log
# saying so.
# Usage: wheel.sh WINE_SH PREFIX DRIVE_EXE PLUGIN WORK_FOLDER NATIVE_DRIVE (absolute paths)
set -eu
wine_sh=$1 prefix=$2 drive=$3 plugin=$4 native_drive=$6
cases=$(cd "$(dirname "$0")/wheel" && pwd)
. "$(dirname "$0")/common.sh"
fresh_work "$5"
cd "$work"

# play CASE DINPUT8 DRIVE [OPTION...]: the drive in a folder of its own, with
# CASE.ini (or the folder's MTconfig.ini) as MTconfig.ini, and the files of
# the folder CASE, if there is one, over them; DINPUT8 "n,b" for the stand-in
# beside drive.exe or "b" for Wine's own.
play() {
    name=$1 dinput8=$2 script=$3
    shift 3
    mkdir "$name"
    cp "$cases"/*.* "$name/"
    [ ! -d "$cases/$name" ] || cp "$cases/$name"/* "$name/"
    cp "$plugin" "$name/ManualGearbox.asi"
    [ ! -f "$name/$name.ini" ] || cp "$name/$name.ini" "$name/MTconfig.ini"
    WINEDLLOVERRIDES=dinput8=$dinput8 "$wine_sh" "$prefix" run "$drive" "$@" \
        "$(pwd)/$name/ManualGearbox.asi" "$name/$script" || fail "$name/$script"
}

play shifter n,b shifter.drive --record shifter.drec
play driving n,b driving.drive --record driving.drec
play forces n,b forces.drive --record forces.drec
play late n,b late.drive --record late.drec
for replay in shifter.drec "--world shifter.drec" driving.drec "--world driving.drec" \
    forces.drec "--world forces.drec" late.drec "--world late.drec"; do
    "$native_drive" replay $replay >replayed.out 2>&1 || {
        cat replayed.out
        fail "replay $replay"
    }
done

for case in choose lost; do
    play $case n,b $case.drive
    same $case/MTconfig.ini $case/$case.expected
    same $case/MTconfig.ini.bak $case/choose.ini
done
play reversed n,b reversed.drive

play taken n,b taken.drive

play unplugged b unplugged.drive
grep -q '^046D:C24F is not attached: ' unplugged/ManualGearbox.log ||
    fail "unplugged/ManualGearbox.log doesn't say 046D:C24F is not attached"

passed
echo "wheel: 9 drives, four recordings replayed both ways and the files they left as expected"
