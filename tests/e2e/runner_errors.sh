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

rm -rf "$work"
mkdir -p "$work"
cd "$work"
printf '0 enter\n1 expect gear 1\n' >fine.drive
printf '# a typo on line 2\n0 entre\n' >typo.drive
printf '0 enter\n0.5 expect subtitle Manual Transmission ~r~Disabled~w~!\n' >fails.drive
printf '# nothing to play\n\n' >empty.drive
printf '0 enter\n1 speed 1000000000000000000000000000000000000000\n' >overflow.drive

failures=0
# check STATUS TEXT ARG...: drive.exe with these arguments exits with STATUS
# and prints TEXT.
check() {
    want_status=$1
    want_text=$2
    shift 2
    set +e
    output=$("$wine_sh" "$prefix" run "$drive" "$@" 2>&1)
    status=$?
    set -e
    if [ "$status" -ne "$want_status" ] || ! printf '%s\n' "$output" | grep -qF -- "$want_text"; then
        echo "FAILED: drive $* exited $status (wanted $want_status), printing:"
        printf '%s\n' "$output" | sed 's/^/    /'
        echo "    (wanted it to say: $want_text)"
        failures=$((failures + 1))
    else
        echo "ok: drive $* -> $status: $want_text"
    fi
}

check 2 "usage: drive [--svg FILE] [--record FILE] PLUGIN SCRIPT..."
check 2 "replay runs in the native build" replay some.drec
check 2 "usage: drive" "$plugin"
check 2 "usage: drive" --svg chart.svg "$plugin" fine.drive fine.drive
check 2 "cannot read the drive script nowhere.drive" "$plugin" nowhere.drive
check 2 "typo.drive:2: expected an action: down, up, control, hold, release, enter, leave, speed, class, focus, phone, menu, device, copy, delete, restart or expect, got 'entre'" \
    "$plugin" fine.drive typo.drive
check 2 "empty.drive: no events: a drive needs at least one line such as '0 enter'" \
    "$plugin" empty.drive
check 2 "overflow.drive:2: the speed '1000000000000000000000000000000000000000' is beyond" \
    "$plugin" overflow.drive
check 2 "cannot load the plug-in" "$work/nowhere.asi" fine.drive
check 2 "cannot load the plug-in" "$work/fine.drive" fine.drive
check 2 "registered no script with the hook" "$silent" fine.drive
check 2 "does not import GetAsyncKeyState from user32.dll" "$idle" fine.drive
check 1 "at 0.000 s the world saw a faulty call: scriptWait called outside the registered script" \
    "$stray" fine.drive
check 1 "at 0.000 s the world saw a faulty call: the registered script returned" "$stray" fine.drive
check 1 "at 0.000 s the world saw a faulty call: 0x2497C4717C8B881E called with 3 arguments, but void SET_VEHICLE_ENGINE_ON(Vehicle vehicle, BOOL value, BOOL instantly, BOOL disableAutoStart) reads 4" \
    "$stray" fine.drive
check 1 "the plug-in left its script registered with the hook when it was unloaded" \
    "$stray" fine.drive
check 1 "fails.drive:2: expected subtitle Manual Transmission ~r~Disabled~w~!, saw none at 0.512 s" \
    "$plugin" fine.drive fails.drive
check 0 "fine.drive: 1 expectations met, 0 failed" --svg chart.svg "$plugin" fine.drive
if [ ! -s chart.svg ]; then
    echo "FAILED: --svg chart.svg wrote no chart"
    failures=$((failures + 1))
fi

[ "$failures" -eq 0 ]
