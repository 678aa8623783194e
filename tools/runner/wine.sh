#!/bin/sh
# Runs Windows programs under Wine in a throwaway prefix, with no display and
# no Wine debug output.
# Usage: wine.sh PREFIX up             create the prefix if needed, start its server
#        wine.sh PREFIX run PROGRAM ARG...
#        wine.sh PREFIX down           stop the prefix's server
set -eu
[ $# -ge 2 ] || { echo "usage: $0 PREFIX up|run PROGRAM ARG...|down" >&2; exit 2; }
mkdir -p "$(dirname "$1")"
WINEPREFIX=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
action=$2
shift 2
export WINEPREFIX
export WINEDEBUG=-all
# No Mono or Gecko: their installers would ask for a download. A caller's
# own overrides come after, such as dinput8=n,b for the stand-in dinput8.dll.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
unset DISPLAY WAYLAND_DISPLAY

case $action in
up)
    # A prefix is ready once its first boot has finished and it has Wine's
    # null graphics driver, with which a program can make windows without a
    # display (DirectInput's cooperative level takes one); a half-made one,
    # or one made before, is made again.
    # Its first boot has been seen to fail once and then work, with nothing
    # changed: it gets a second try.
    log=$WINEPREFIX.log
    for try in 1 2; do
        [ -f "$WINEPREFIX/.ready" ] && grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg" &&
            break
        [ ! -d "$WINEPREFIX" ] || wineserver --kill >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
        if wineboot --init >"$log" 2>&1 &&
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$log" 2>&1 &&
            wineserver --wait >>"$log" 2>&1; then
            touch "$WINEPREFIX/.ready"
        elif [ "$try" = 2 ]; then
            cat "$log" >&2
            echo "wine.sh: could not make the Wine prefix $WINEPREFIX" >&2
            exit 1
        else
            wineserver --kill >/dev/null 2>&1 || true
        fi
    done
    # A server that outlives each program, and the prefix's background
    # services started now, spare every later start its own. Their output goes
    # nowhere: anything that outlives a program and holds its caller's pipe
    # keeps the caller waiting for as long as it runs.
    # A server still up from an earlier run serves as well.
    wineserver --persistent=60 </dev/null >/dev/null 2>&1 || true
    wineboot </dev/null >/dev/null 2>&1
    ;;
run)
    [ $# -ge 1 ] || { echo "usage: $0 PREFIX run PROGRAM ARG..." >&2; exit 2; }
    exec wine "$@"
    ;;
down)
    # Waits for the server to go, so that an "up" right after starts afresh.
    wineserver --kill 2>/dev/null || true
    wineserver --wait 2>/dev/null || true
    ;;
*)
    echo "usage: $0 PREFIX up|run PROGRAM ARG...|down" >&2
    exit 2
    ;;
esac
