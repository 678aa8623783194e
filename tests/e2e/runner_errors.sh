#!/bin/sh
# drive.exe's answers to what it can't use: each case exits with its status
# and says what was wrong.
# Usage: runner_errors.sh WINE_SH PREFIX DRIVE_EXE PLUGIN SILENT_PLUGIN IDLE_PLUGIN STRAY_PLUGIN
#                          WORK_FOLDER
# Every path is absolute, as CTest gives them: the script changes folder.
set -eu
wine_sh=$1
prefix=$2
drive=$3
plugin=$4
silent=$5
idle=$6
stray=$7
work=$8
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/../exit_check.sh"

fresh_work "$work"
cd "$work"
printf '0 enter\n1 expect gear 1\n' >fine.drive
printf '# a typo on line 2\n0 entre\n' >typo.drive
printf '0 enter\n0.5 expect subtitle Manual Transmission ~r~Disabled~w~!\n' >fails.drive
printf '# nothing to play\n\n' >empty.drive
printf '0 enter\n1 speed 1000000000000000000000000000000000000000\n' >overflow.drive

# drive.exe, under Wine.
drive_exe() {
    "$wine_sh" "$prefix" run "$drive" "$@"
}

check 2 "usage: drive [--svg FILE] [--record FILE] PLUGIN SCRIPT..." drive_exe
check 2 "replay runs in the native build" drive_exe replay some.drec
check 2 "usage: drive" drive_exe "$plugin"
check 2 "usage: drive" drive_exe --svg chart.svg "$plugin" fine.drive fine.drive
check 2 "cannot read the drive script nowhere.drive" drive_exe "$plugin" nowhere.drive
check 2 "typo.drive:2: expected an action: down, up, control, hold, release, enter, leave, speed, top, class, focus, phone, menu, device, copy, delete, plug, unplug, axis, button, fault, restart, exclusive, slide, air, crash or expect, got 'entre'" \
    drive_exe "$plugin" fine.drive typo.drive
check 2 "empty.drive: no events: a drive needs at least one line such as '0 enter'" \
    drive_exe "$plugin" empty.drive
check 2 "overflow.drive:2: the speed '1000000000000000000000000000000000000000' is beyond" \
    drive_exe "$plugin" overflow.drive
check 2 "cannot load the plug-in" drive_exe "$work/nowhere.asi" fine.drive
check 2 "cannot load the plug-in" drive_exe "$work/fine.drive" fine.drive
check 2 "registered no script with the hook" drive_exe "$silent" fine.drive
check 2 "does not import GetAsyncKeyState from user32.dll" drive_exe "$idle" fine.drive
check 1 "at 0.000 s the world saw a faulty call: scriptWait called outside the registered script" \
    drive_exe "$stray" fine.drive
check 1 "at 0.000 s the world saw a faulty call: the registered script returned" drive_exe "$stray" fine.drive
check 1 "at 0.000 s the world saw a faulty call: 0x2497C4717C8B881E called with 3 arguments, but void SET_VEHICLE_ENGINE_ON(Vehicle vehicle, BOOL value, BOOL instantly, BOOL disableAutoStart) reads 4" \
    drive_exe "$stray" fine.drive
check 1 "the plug-in left its script registered with the hook when it was unloaded" \
    drive_exe "$stray" fine.drive
check 1 "fails.drive:2: expected subtitle Manual Transmission ~r~Disabled~w~!, saw none at 0.512 s" \
    drive_exe "$plugin" fine.drive fails.drive
check 0 "fine.drive: 1 expectations met, 0 failed" drive_exe --svg chart.svg "$plugin" fine.drive
[ -s chart.svg ] || fail "--svg chart.svg wrote no chart"

passed
