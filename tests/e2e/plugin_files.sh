#!/bin/sh
# The files around the real plug-in: where it looks for MTconfig.ini, the log
# it writes beside itself, the notice when gears can't be changed, and reading
# the file again in the game. Each case has its own copy of the plug-in, so
# its own folder and log, and one Wine process.
# Usage: plugin_files.sh WINE_SH PREFIX DRIVE_EXE CHECK_BINDINGS_EXE PLUGIN VERSION WORK_FOLDER
# Every path is absolute, as CTest gives them: the script changes folder.
set -eu
wine_sh=$1
prefix=$2
drive=$3
checker=$4
plugin=$5
version=$6
work=$7
cases=$(cd "$(dirname "$0")/plugin_files" && pwd)
. "$(dirname "$0")/common.sh"

# Wine names folders by the path it is given: give it real paths only.
fresh_work "$work"

# case_folder CASE PLUGIN_FOLDER: a folder with its drive, and the plug-in in
# it (.) or in a subfolder of it.
case_folder() {
    mkdir -p "$work/$1/$2"
    cp "$cases/$1.drive" "$work/$1/"
    cp "$plugin" "$work/$1/$2/ManualGearbox.asi"
}
case_folder missing plugin
case_folder bad .
cp "$cases/bad.ini" "$work/bad/MTconfig.ini"
case_folder reload .
cp "$cases/good.ini" "$work/reload/MTconfig.ini"
cp "$cases/edited.ini" "$work/reload/"
case_folder unwritable .
cp "$cases/good.ini" "$work/unwritable/MTconfig.ini"
cp "$cases/good.ini" "$cases/bad.ini" "$work/unwritable/"
mkdir "$work/unwritable/ManualGearbox.log"
case_folder late .
cp "$cases/good.ini" "$work/late/"
case_folder early .
cp "$cases/good.ini" "$work/early/"
case_folder subfolder plugin
cp "$cases/good.ini" "$work/subfolder/MTconfig.ini"
cp "$cases/edited.ini" "$work/subfolder/plugin/MTconfig.ini"

cd "$work"

# The path as the plug-in writes it: Wine's drive Z: is the root folder.
windows_path() {
    printf 'Z:%s\n' "$1" | sed 's|/|\\|g'
}

# play CASE PLUGIN_FOLDER: plays CASE.drive with the plug-in in PLUGIN_FOLDER;
# the drive itself counts the notifications posted.
play() {
    if ! "$wine_sh" "$prefix" run "$drive" "$work/$1/$2/ManualGearbox.asi" "$1/$1.drive" \
        >"$1.out" 2>&1; then
        fail "$1.drive did not drive as expected"
    fi
    cat "$1.out"
}

# line FILE N: line N of FILE, or nothing.
line() {
    sed -n "$2p" "$1"
}

# lines FILE FIRST LINE...: FILE has these lines from line FIRST on.
lines() {
    file=$1
    first=$2
    shift 2
    if [ ! -f "$file" ]; then
        fail "no $file"
        return
    fi
    printf '%s\n' "$@" >expected.lines
    sed -n "$first,$((first + $# - 1))p" "$file" >seen.lines
    if ! cmp -s expected.lines seen.lines; then
        fail "$file, from line $first:"
        diff expected.lines seen.lines || true
    fi
}

# The log's head: the version, a blank line, and line feeds only. A missing
# log is for the lines that follow to report.
check_log_head() {
    [ -f "$1" ] || return 0
    [ "$(line "$1" 1)" = "Manual Gearbox $version" ] || fail "$1: line 1 is '$(line "$1" 1)'"
    [ -z "$(line "$1" 2)" ] || fail "$1: line 2 is not blank"
    ! grep -q "$(printf '\r')" "$1" || fail "$1 has a CR"
}

# 1. No file anywhere: both places tried, the plug-in's own folder first, and
# the log next to the plug-in, not in the working folder.
play missing plugin
log=missing/plugin/ManualGearbox.log
check_log_head "$log"
lines "$log" 3 "MTconfig.ini not found; looked in:" \
    "  $(windows_path "$work/missing/plugin/MTconfig.ini")" \
    "  $(windows_path "$work/missing/MTconfig.ini")" \
    "It is looked for again when you next get in a vehicle." "No key is bound."
[ ! -e missing/ManualGearbox.log ] || fail "a log in the working folder of the missing case"

# 2. A bad file: after the path, the log's report is check-bindings' word for
# word (but for the CR before each line feed of Windows' standard output).
play bad .
log=bad/ManualGearbox.log
check_log_head "$log"
lines "$log" 3 "$(windows_path "$work/bad/MTconfig.ini"): 7 lines"
set +e
(cd bad && "$wine_sh" "$prefix" run "$checker" MTconfig.ini) >bad.crlf 2>bad.stderr
status=$?
set -e
[ "$status" -eq 1 ] || fail "check-bindings.exe on bad.ini exited $status, expected 1"
tr -d '\r' <bad.crlf | tail -n +2 >bad.expected
if ! tail -n +4 "$log" | cmp -s - bad.expected; then
    fail "$log differs from check-bindings.exe's report:"
    tail -n +4 "$log" | diff bad.expected - || true
fi

# 3 to 5. A good file, edited and read again, then deleted and read again.
play reload .
log=reload/reloaded.log
check_log_head "$log"
lines "$log" 3 "Read again in the game." "" \
    "$(windows_path "$work/reload/MTconfig.ini"): 7 lines" "" "Line  As written      What it does" "   1  Clutch=162      clutchKey = 162 (LeftCtrl)"
log=reload/ManualGearbox.log
check_log_head "$log"
lines "$log" 3 "MTconfig.ini not found; looked in:" "  $(windows_path "$work/reload/MTconfig.ini")" \
    "The keys read before stay bound." "" "Bindings" "  clutchKey       162  LeftCtrl"

# 6. A folder where the log would go: the drive is as usual, the folder stays,
# and each new log written beside it is removed again.
play unwritable .
if [ ! -d unwritable/ManualGearbox.log ] || [ -n "$(ls -A unwritable/ManualGearbox.log)" ]; then
    fail "unwritable/ManualGearbox.log is no longer an empty folder"
fi
[ ! -e unwritable/ManualGearbox.log.tmp ] || fail "the new log that couldn't take its place stayed"

# 7. A file put in place after the game started, read when the player next
# gets in.
play late .
log=late/ManualGearbox.log
check_log_head "$log"
lines "$log" 3 "Found when you got in a vehicle, after the game started." "" \
    "$(windows_path "$work/late/MTconfig.ini"): 7 lines"

# 8. A file put in place after the plug-in loaded but before its first frame:
# the plug-in looks for nothing while it loads, so the first frame finds it.
play early .
log=early/first.log
check_log_head "$log"
lines "$log" 3 "$(windows_path "$work/early/MTconfig.ini"): 7 lines"

# 9. The plug-in in a subfolder with its own file reads that one.
play subfolder plugin
log=subfolder/plugin/ManualGearbox.log
check_log_head "$log"
lines "$log" 3 "$(windows_path "$work/subfolder/plugin/MTconfig.ini"): 7 lines"
[ ! -e subfolder/ManualGearbox.log ] || fail "a log in the working folder of the subfolder case"

passed
echo "plug-in files: 7 drives, their notices and logs as expected"
