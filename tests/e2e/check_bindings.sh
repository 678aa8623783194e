#!/bin/sh
# check-bindings.exe under Wine gives the native build's output and exit
# statuses; Windows' text-mode standard output only adds a CR before each LF.
# The stand-in dinput8.dll beside it attaches the G29 that g29.ini names, as
# CONTROLLERS_DRIVE plugs it in.
# Usage: check_bindings.sh WINE_SH PREFIX CHECK_BINDINGS_EXE DINPUT8_DLL CONTROLLERS_DRIVE
#                          CASES_FOLDER WORK_FOLDER
# Every path is absolute, as CTest gives them: the script changes folder.
set -u
wine_sh=$1
prefix=$2
dinput8=$4
work=$7

. "$(dirname "$0")/common.sh"
fresh_work "$work"
cp "$3" "$dinput8" "$work/"
exe=$work/$(basename "$3")
export MG_STAND_IN_DRIVE="$5" WINEDLLOVERRIDES=dinput8=n,b
cases=$6
cd "$cases" || exit 1

for case_and_status in good:0 crlf_bom:0 warnings:0 tricky:1 utf16:1 empty:1 sequential:0 \
    pad_only:0 g29:0 no-such-file:2; do
    name=${case_and_status%%:*}
    expected_status=${case_and_status##*:}
    "$wine_sh" "$prefix" run "$exe" "$name.ini" >"$work/$name.crlf" 2>"$work/$name.stderr"
    status=$?
    tr -d '\r' <"$work/$name.crlf" >"$work/$name.out"
    if [ "$status" -ne "$expected_status" ]; then
        fail "$name.ini: exit status $status, expected $expected_status"
    fi
    if [ "$expected_status" -eq 2 ]; then
        if [ -s "$work/$name.out" ] || ! grep -q '^check-bindings: ' "$work/$name.stderr"; then
            fail "$name.ini: expected only a message on standard error, got:"
            cat "$work/$name.out" "$work/$name.stderr"
        fi
    elif ! cmp -s "$name.out" "$work/$name.out"; then
        fail "$name.ini: output differs from the native build's $name.out:"
        diff "$name.out" "$work/$name.out"
    fi
done
# A path outside ASCII reaches the program as UTF-16 and is shown as given, in a
# file and on the console Wine gives a program on a terminal, drawn with escape
# sequences and some spaces as cursor moves. Wine reads arguments by the locale.
mkdir -p "$work/Jörg" && cp good.ini "$work/Jörg/keys.ini"
cd "$work" || exit 1
LC_ALL=C.UTF-8 "$wine_sh" "$prefix" run "$exe" 'Jörg\keys.ini' 2>&1 | tr -d '\r' >Jörg.out
if ! sed '1s|^good.ini:|Jörg\\keys.ini:|' "$cases/good.out" | cmp -s - Jörg.out; then
    fail "Jörg\\keys.ini: the output is not good.out's with the path shown:" && cat Jörg.out
fi
# A console of its own, as a double-click gives it, waits for Enter (a
# terminal's CR) before it closes; Wine's console drops what comes earlier.
enter_once_asked() {
    tries=0
    while ! grep -q 'Enter' console.raw 2>/dev/null && [ $tries -lt 200 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    printf '\r'
}
enter_once_asked | LC_ALL=C.UTF-8 timeout 30 \
    script -qec "'$wine_sh' '$prefix' run '$exe' 'Jörg\\keys.ini'" /dev/null >console.raw
status=$?
sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' console.raw | tr -d ' \r' | grep . >console.out
if [ "$(head -n 1 console.out)" != 'Jörg\keys.ini:6lines' ]; then
    fail "Jörg\\keys.ini on a console: the first line reads $(head -n 1 console.out)"
fi
if [ $status -ne 0 ] || [ "$(tail -n 1 console.out)" != 'PressEntertoclosethiswindow.' ]; then
    fail "on a console of its own: exit status $status, the last line $(tail -n 1 console.out)"
fi
passed
echo "check-bindings.exe under Wine: 9 files and Jörg\\keys.ini, as natively, and Enter awaited"
