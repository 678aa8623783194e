#!/bin/sh
# The release zip: one folder named after the package, holding exactly the
# player's five files; the plug-in and check-bindings byte-identical to the
# files the end-to-end tests run, the sample MTconfig.ini and the LICENSE to
# their sources; ReadMe.txt plain ASCII with CRLF line ends only, naming the
# version.
# Usage: package.sh CMAKE ZIP FOLDER_NAME VERSION WORK_FOLDER PLUGIN CHECK_BINDINGS SAMPLE_INI LICENSE
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

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
"$cmake" -E tar xf "$zip" || { echo "cannot unpack $zip"; exit 1; }

fail=0
expected=$(printf '%s\n' "$name" "$name/LICENSE" "$name/MTconfig.ini" "$name/ManualGearbox.asi" \
    "$name/ReadMe.txt" "$name/check-bindings.exe" | LC_ALL=C sort)
listing=$(find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
if [ "$listing" != "$expected" ]; then
    echo "the zip holds:"
    echo "$listing"
    echo "expected:"
    echo "$expected"
    fail=1
fi

same() {
    if ! cmp -s "$1" "$2"; then
        echo "$1 differs from $2"
        fail=1
    fi
}
same "$name/ManualGearbox.asi" "$plugin"
same "$name/check-bindings.exe" "$check_bindings"
same "$name/MTconfig.ini" "$sample"
same "$name/LICENSE" "$license"

readme=$name/ReadMe.txt
line_feeds=$(tr -cd '\n' <"$readme" | wc -c)
returns=$(tr -cd '\r' <"$readme" | wc -c)
crlf_lines=$(grep -c "$(printf '\r')\$" "$readme")
last=$(tail -c 1 "$readme" | od -An -c | tr -d ' ')
if [ "$line_feeds" -eq 0 ] || [ "$returns" -ne "$line_feeds" ] ||
    [ "$crlf_lines" -ne "$line_feeds" ] || [ "$last" != '\n' ]; then
    printf 'ReadMe.txt: %s line feeds, %s CRs, %s lines ending in CR, last byte %s:' \
        "$line_feeds" "$returns" "$crlf_lines" "$last"
    echo " expected CRLF line ends only"
    fail=1
fi
others=$(LC_ALL=C tr -d '\r\n -~' <"$readme" | wc -c)
if [ "$others" -ne 0 ]; then
    echo "ReadMe.txt: $others bytes that are neither printable ASCII nor line ends"
    fail=1
fi
if ! grep -qxF "Version $version$(printf '\r')" "$readme"; then
    echo "ReadMe.txt has no line \"Version $version\""
    fail=1
fi

[ $fail -eq 0 ] && echo "$(basename "$zip"): $name/ with the five files, as built and tested"
exit $fail
