#!/bin/sh
# check-bindings.exe --controllers under Wine. With the stand-in dinput8.dll
# beside it, playing controllers/check_bindings.drive: the controllers listed
# and what moved, as controllers/check_bindings.out, until the Ctrl+C that
# Wine makes of SIGINT. With Wine's own dinput8 and no device: that none is
# attached. A wheel's line with a wrong id, with each.
# Usage: check_bindings_controllers.sh WINE_SH PREFIX CHECK_BINDINGS_EXE DINPUT8_DLL CASES WORK
# Every path is absolute, as CTest gives them: the script changes folder.
set -u
wine_sh=$1
prefix=$2
exe=$3
dinput8=$4
cases=$5
work=$6

rm -rf "$work"
mkdir -p "$work"
cp "$exe" "$dinput8" "$work/"
cd "$work" || exit 1
fail=0

MG_STAND_IN_DRIVE="$cases/check_bindings.drive" WINEDLLOVERRIDES=dinput8=n,b \
    "$wine_sh" "$prefix" run ./check-bindings.exe --controllers >live.crlf 2>live.stderr &
program=$!
# Its last line, then Ctrl+C; at most 20 seconds.
tries=0
while ! grep -q 'button 19 down' live.crlf && [ $tries -lt 200 ]; do
    sleep 0.1
    tries=$((tries + 1))
done
kill -INT $program
wait $program
status=$?
tr -d '\r' <live.crlf >live.out
if [ $status -ne 0 ] || ! cmp -s "$cases/check_bindings.out" live.out || [ -s live.stderr ]; then
    echo "--controllers with the stand-in: exit status $status, expected 0; output:"
    diff "$cases/check_bindings.out" live.out
    cat live.stderr
    fail=1
fi

"$wine_sh" "$prefix" run ./check-bindings.exe --controllers >none.crlf 2>none.stderr
status=$?
if [ $status -ne 1 ] || ! head -n 1 none.crlf | grep -q '^No game controller is attached'; then
    echo "--controllers with Wine's dinput8: exit status $status, expected 1; output:"
    cat none.crlf none.stderr
    fail=1
fi
# A wheel's line naming a controller not attached: those attached are named.
printf 'Clutch=16\nLeftPedal=046D:C42F Slider0-\n' >wrong_id.ini
wrong_id="  - clutchPedal names 046D:C42F, which is not attached;"
g29="046D:C24F (Logitech G29 Driving Force Racing Wheel)"
for overrides in dinput8=n,b ''; do
    attached=${overrides:+"attached: $g29 and 044F:B660 (T500 RS Gear Shift)"}
    MG_STAND_IN_DRIVE="$cases/check_bindings.drive" WINEDLLOVERRIDES=$overrides \
        "$wine_sh" "$prefix" run ./check-bindings.exe wrong_id.ini >wrong_id.crlf
    status=$?
    expected="$wrong_id ${attached:-no game controller is attached}"
    if [ $status -ne 1 ] || ! tr -d '\r' <wrong_id.crlf | grep -qxF -- "$expected"; then
        echo "a wrong id, overrides '$overrides': exit status $status, expected 1 and $expected:"
        cat wrong_id.crlf
        fail=1
    fi
done
[ $fail -eq 0 ] && echo "check-bindings.exe --controllers: the stand-in's controllers live, and none with Wine's; a wrong id names them"
exit $fail
