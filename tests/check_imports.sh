#!/bin/sh
# Fails unless a DLL imports only from the script hook and Windows system DLLs,
# not DirectInput, which it loads only when asked to read a game controller,
# imports the hook's six entry points by their decorated names, and imports
# the key-state and focus queries from user32 by name, where a runner can
# redirect them.
# Usage: check_imports.sh OBJDUMP DLL
set -eu
objdump=$1
dll=$2

dump=$("$objdump" -p "$dll") || { echo "cannot read the import table of $dll" >&2; exit 1; }

status=0
dlls=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$dlls" ] || { echo "$dll: no imports found" >&2; exit 1; }
for name in $dlls; do
    case $(printf '%s' "$name" | tr '[:lower:]' '[:upper:]') in
        SCRIPTHOOKV.DLL | KERNEL32.DLL | USER32.DLL | MSVCRT.DLL | API-MS-WIN-CRT-*.DLL) ;;
        DINPUT8.DLL)
            echo "$dll imports from $name, which it must load only when a game controller is looked for" >&2
            status=1
            ;;
        *) echo "$dll imports from $name, which a game folder doesn't have" >&2; status=1 ;;
    esac
done

hook_imports=$(printf '%s\n' "$dump" | awk '
    /DLL Name:/ { inHook = ($3 == "ScriptHookV.dll") ; next }
    inHook && NF >= 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }')
for symbol in '?scriptRegister@@YAXPEAUHINSTANCE__@@P6AXXZ@Z' \
    '?scriptUnregister@@YAXPEAUHINSTANCE__@@@Z' '?scriptWait@@YAXK@Z' \
    '?nativeInit@@YAX_K@Z' '?nativePush64@@YAX_K@Z' '?nativeCall@@YAPEA_KXZ'; do
    if ! printf '%s\n' "$hook_imports" | grep -qxF "$symbol"; then
        echo "$dll does not import $symbol from ScriptHookV.dll" >&2
        status=1
    fi
done

user32_imports=$(printf '%s\n' "$dump" | awk '
    /DLL Name:/ { inUser32 = (toupper($3) == "USER32.DLL") ; next }
    inUser32 && NF >= 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }')
for symbol in GetAsyncKeyState GetForegroundWindow GetWindowThreadProcessId; do
    if ! printf '%s\n' "$user32_imports" | grep -qxF "$symbol"; then
        echo "$dll does not import $symbol from user32.dll by name" >&2
        status=1
    fi
done

[ $status -eq 0 ] && echo "$dll: imports only from $(echo $dlls | tr ' ' ','); all six hook entry points and the three user32 queries present"
exit $status
