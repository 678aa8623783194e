#!/bin/sh
# The release zip: one folder named after the package, holding exactly the
# player's five files and wheels/G29.ini; the plug-in and check-bindings
# byte-identical to the files the end-to-end tests run, the sample
# MTconfig.ini, the G29's and the LICENSE to their sources; ReadMe.txt plain
# ASCII with CRLF line ends only, at most 600 lines of 79 columns, naming the
# version.
# Usage: package.sh CMAKE ZIP FOLDER_NAME VERSION WORK_FOLDER PLUGIN CHECK_BINDINGS SAMPLE_INI LICENSE
#                   G29_INI
# Every path is absolute, as CTest gives them: the script changes folder.
set -u
cmake=$1
zip=$2
name=$3
version=$4
work=$5
plugin=$6
check_bindings=$7
sample=$8
license=$9
g29=${10}

. "$(dirname "$0")/common.sh"
fresh_work "$work"
cd "$work"
"$cmake" -E tar xf "$zip" || { echo "cannot unpack $zip"; exit 1; }

expected=$(printf '%s\n' "$name" "$name/LICENSE" "$name/MTconfig.ini" "$name/ManualGearbox.asi" \
    "$name/ReadMe.txt" "$name/check-bindings.exe" "$name/wheels" "$name/wheels/G29.ini" |
    LC_ALL=C sort)
listing=$(find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
if [ "$listing" != "$expected" ]; then
    fail "the zip holds:"
    echo "$listing"
    echo "expected:"
    echo "$expected"
fi
same "$name/ManualGearbox.asi" "$plugin"
same "$name/check-bindings.exe" "$check_bindings"
same "$name/MTconfig.ini" "$sample"
same "$name/LICENSE" "$license"
same "$name/wheels/G29.ini" "$g29"

readme=$name/ReadMe.txt
line_feeds=$(tr -cd '\n' <"$readme" | wc -c)
returns=$(tr -cd '\r' <"$readme" | wc -c)
crlf_lines=$(grep -c "$(printf '\r')\$" "$readme")
last=$(tail -c 1 "$readme" | od -An -c | tr -d ' ')
if [ "$line_feeds" -eq 0 ] || [ "$returns" -ne "$line_feeds" ] ||
    [ "$crlf_lines" -ne "$line_feeds" ] || [ "$last" != '\n' ]; then
    fail "ReadMe.txt: $line_feeds line feeds, $returns CRs, $crlf_lines lines ending in CR," \
        "last byte $last: expected CRLF line ends only"
fi
others=$(LC_ALL=C tr -d '\r\n -~' <"$readme" | wc -c)
if [ "$others" -ne 0 ]; then
    fail "ReadMe.txt: $others bytes that are neither printable ASCII nor line ends"
fi
long=$(tr -d '\r' <"$readme" | awk 'length > 79' | wc -l)
if [ "$line_feeds" -gt 600 ] || [ "$long" -ne 0 ]; then
    fail "ReadMe.txt: $line_feeds lines, $long longer than 79 columns: expected at most 600 of 79"
fi
if ! grep -qxF "Version $version$(printf '\r')" "$readme"; then
    fail "ReadMe.txt has no line \"Version $version\""
fi

passed
echo "$(basename "$zip"): $name/ with the five files and wheels/G29.ini, as built and tested"
