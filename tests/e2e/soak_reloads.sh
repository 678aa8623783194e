#!/bin/bash
# Makes COUNT recordings under Wine with the real plug-in's own recorder, each
# through random reloads (F5) of an edited, a deleted and a UTF-16 key-binding
# file, after about half of which keys are chosen (F8) and saved, and replays
# each natively, exactly and through the world; prints how many replay
# identical each way and fails unless all do.
# Usage: soak_reloads.sh WINE_SH PREFIX DRIVE_EXE PLUGIN NATIVE_DRIVE EXAMPLES_FOLDER WORK_FOLDER COUNT [SEED]
set -eu
wine_sh=$1
prefix=$2
drive=$3
plugin=$4
native_drive=$5
examples=$6
work=$7
count=$8
RANDOM=${9:-1}

. "$(dirname "$0")/common.sh"
fresh_work "$work"
cd "$work"
identical=0 exactly=0 throughWorld=0 choosings=0
# Six keys in a row from these are six different keys, none the plug-in's own.
keys=(Numpad0 Numpad1 Numpad2 Numpad3 Numpad4 Numpad5 Numpad6 Numpad7 Numpad8 Numpad9 Q E R T Y U)
for ((n = 1; n <= count; ++n)); do
    folder=$(printf 'drive%03d' "$n")
    mkdir "$folder"
    cp "$plugin" "$folder/ManualGearbox.asi"
    { cat "$examples/MTconfig.ini"; printf '\nRecord=120\nReload=116\n'; } >"$folder/MTconfig.ini"
    printf '\377\376R\000=\0001\000\n\000' >"$folder/utf16.ini"
    script="$folder/soak.drive"
    printf '0 enter\n0.2 down F9\n0.3 up F9\n0.5 down W\n' >"$script"
    present=1
    time=600
    for ((edit = 1; edit <= 1 + RANDOM % 5; ++edit)); do
        at=$(printf '%d.%03d' $((time / 1000)) $((time % 1000)))
        case $((present == 0 ? RANDOM % 2 * 2 : RANDOM % 3)) in
        0)
            # Edited: other gear keys, and now and then no Reload line.
            sed -e "s/^FirstGear=.*/FirstGear=$((48 + RANDOM % 10))/" \
                -e "s/^Clutch=.*/Clutch=$((16 + RANDOM % 3))/" "$folder/MTconfig.ini" |
                { if ((RANDOM % 4 == 0)); then grep -v '^Reload='; else cat; fi; } \
                    >"$folder/edit$edit.ini"
            echo "$at copy edit$edit.ini MTconfig.ini" >>"$script"
            present=1
            ;;
        1)
            echo "$at delete MTconfig.ini" >>"$script"
            present=0
            ;;
        2)
            echo "$at copy utf16.ini MTconfig.ini" >>"$script"
            present=1
            ;;
        esac
        echo "+0.1 down F5" >>"$script"
        echo "+0.1 up F5" >>"$script"
        if ((RANDOM % 2 == 0)); then
            for key in F8 "${keys[@]:RANDOM % 11:6}"; do
                printf '+0.1 down %s\n+0.05 up %s\n' "$key" "$key" >>"$script"
            done
            time=$((time + 1050))
            choosings=$((choosings + 1))
        fi
        time=$((time + 300 + RANDOM % 700))
    done
    at=$(printf '%d.%03d' $((time / 1000)) $((time % 1000)))
    printf '%s down F9\n+0.1 up F9\n+0.5 up W\n' "$at" >>"$script"
    "$wine_sh" "$prefix" run "$drive" "$folder/ManualGearbox.asi" "$script" >"$folder.out" 2>&1 || {
        echo "FAILED: $folder under Wine: $(tail -n 3 "$folder.out")"
        continue
    }
    recordings=("$folder"/ManualGearbox-*.drec)
    exact=$("$native_drive" replay "${recordings[0]}" 2>&1) || true
    world=$("$native_drive" replay --world "${recordings[0]}" 2>&1) || true
    [[ $exact =~ ^[0-9]+\ passes\ replayed,\ identical$ ]] && exactly=$((exactly + 1))
    [[ $world == *"it answered as the game did" ]] && throughWorld=$((throughWorld + 1))
    if [[ $exact =~ ^[0-9]+\ passes\ replayed,\ identical$ && $world == *"it answered as the game did" ]]; then
        identical=$((identical + 1))
    else
        echo "FAILED: ${recordings[0]}: $exact / $world"
    fi
done
echo "$count recordings through reloads and $choosings key choosings: $exactly replay identical" \
    "exactly, $throughWorld through the world, $identical both"
[ "$identical" -eq "$count" ]
