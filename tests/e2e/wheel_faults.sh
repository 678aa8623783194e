#!/bin/sh
# A G29 that can't be read, through the stand-in dinput8.dll with the real
# plug-in, a row for each fault a drive injects into a step of DirectInput:
# the notice the row names is the latest by 3.5 s, the log has the row's
# line, the keyboard's clutch and third gear still drive, and the drive,
# recorded, replays identical both ways. A name with no end and a read that
# fails for a moment and then works again say nothing.
# Usage: wheel_faults.sh WINE_SH PREFIX DRIVE_EXE PLUGIN WORK_FOLDER NATIVE_DRIVE (absolute paths)
set -eu
wine_sh=$1 prefix=$2 drive=$3 plugin=$4 native_drive=$6
config=$(cd "$(dirname "$0")/wheel" && pwd)/MTconfig.ini
. "$(dirname "$0")/common.sh"
fresh_work "$5"
cd "$work"

rows=0
# row NAME FAULTS NOTICE LOG: FAULTS the drive's faults, each a time and a
# fault line's words, separated by "|"; NOTICE the latest notice's text
# after "Manual Gearbox: ", or none; LOG a part of a ManualGearbox.log line.
row() {
    rows=$((rows + 1))
    mkdir "$1"
    cp "$config" "$1/MTconfig.ini"
    cp "$plugin" "$1/ManualGearbox.asi"
    notice=$3
    [ "$notice" = none ] || notice="Manual Gearbox: $notice"
    {
        echo "0 plug 1 046D:C24F wheel Logitech G29 Driving Force"
        # Its clutch pedal at rest, which a pressed one, unmoved, would be told.
        echo "0 axis 1 Slider0 1"
        echo "$2" | tr '|' '\n' | sed 's/^\([^ ]*\) /\1 fault /'
        echo "0.1 enter"
        echo "3.5 expect notice $notice"
        printf '4 down Shift\n4.1 down 3\n4.15 up 3\n4.3 up Shift\n4.5 expect gear 3\n'
    } | sort -s -n -k1,1 >"$1/faults.drive"
    WINEDLLOVERRIDES=dinput8=n,b "$wine_sh" "$prefix" run "$drive" --record "$1.drec" \
        "$work/$1/ManualGearbox.asi" "$1/faults.drive" >"$1.out" 2>&1 || {
        cat "$1.out"
        fail "$1"
    }
    grep -qF -- "$4" "$1/ManualGearbox.log" || fail "$1: ManualGearbox.log doesn't say: $4"
    for way in "" --world; do
        "$native_drive" replay $way "$1.drec" >replayed.out 2>&1 || {
            cat replayed.out
            fail "$1: replay $way"
        }
    done
}

row start '0 DirectInput8Create E_FAIL' \
    "046D:C24F can't be read: DirectInput won't start. See ManualGearbox.log" \
    'none could be looked for: DirectInput8Create answered E_FAIL'
row no_object '0 DirectInput8Create null' \
    "046D:C24F can't be read: DirectInput won't start. See ManualGearbox.log" \
    'DirectInput8Create answered S_OK with no object'
row list '0 EnumDevices DIERR_NOTINITIALIZED' \
    "046D:C24F can't be looked for: Windows won't list game controllers; press F5." \
    'none could be looked for: EnumDevices answered DIERR_NOTINITIALIZED'
row gone '0 CreateDevice 1 DIERR_DEVICENOTREG' \
    "046D:C24F is attached but can't be opened; reconnect it and press F5." \
    "(can't be read: CreateDevice answered DIERR_DEVICENOTREG)"
row no_device '0 CreateDevice 1 null' \
    "046D:C24F is attached but can't be opened; reconnect it and press F5." \
    'CreateDevice answered S_OK with no object'
row format '0 SetDataFormat 1 E_INVALIDARG' \
    "046D:C24F is attached but its driver won't let it be read. See ManualGearbox.log" \
    'SetDataFormat answered E_INVALIDARG'
row share '0 SetCooperativeLevel 1 E_HANDLE' \
    "046D:C24F is attached but its driver won't let it be read. See ManualGearbox.log" \
    'SetCooperativeLevel answered E_HANDLE'
row held '0 Acquire 1 DIERR_OTHERAPPHASPRIO' \
    "046D:C24F is attached but can't be read: another program may hold it; close it." \
    'Acquire answered DIERR_OTHERAPPHASPRIO'
row not_acquired '0 GetDeviceState 1 DIERR_NOTACQUIRED' \
    "046D:C24F is attached but can't be read: another program may hold it; close it." \
    'GetDeviceState answered DIERR_NOTACQUIRED'
row lost '0 GetDeviceState 1 DIERR_INPUTLOST' \
    "046D:C24F was unplugged or lost; it is read again once plugged back in." \
    'GetDeviceState answered DIERR_INPUTLOST'
row poll '0 Poll 1 E_FAIL' \
    "046D:C24F is attached but its driver fails to read it; press F5 to open it again." \
    'Poll answered E_FAIL'
row pending '0 GetDeviceState 1 E_PENDING' \
    "046D:C24F is attached but its driver fails to read it; press F5 to open it again." \
    "(can't be read: GetDeviceState answered E_PENDING)"
# Failing from 1 s on, it is told once it has for 120 passes.
row later '1 GetDeviceState 1 E_PENDING' \
    "046D:C24F is attached but its driver fails to read it; press F5 to open it again." \
    'GetDeviceState answered E_PENDING, for 120 passes in a row'
row invalid '0 GetDeviceState 1 E_INVALIDARG' \
    "046D:C24F is attached but its driver fails to read it; press F5 to open it again." \
    'GetDeviceState answered E_INVALIDARG'
row unterminated '0 EnumDevices 1 unterminated' none '(read on every pass)'
# Failing for 0.7 s, 44 passes, it says nothing.
row hiccup '0.5 GetDeviceState 1 E_FAIL|1.2 GetDeviceState 1 none' none '(read on every pass)'
passed
echo "wheel faults: $rows rows, each told as it should be, replayed identical both ways"
