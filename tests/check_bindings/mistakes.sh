#!/bin/sh
# A player's typical mistakes, a row each: check-bindings on a key-binding
# file of the row's lines, its exit status, and the ends of lines it must
# print ("|" marks where a line ends).
# Usage: mistakes.sh WORK_FOLDER CHECK_BINDINGS
set -u
mkdir -p "$1" && cd "$1" || exit 1
check_bindings=$2
rest='SecondGear=50\nThirdGear=51\nFourthGear=52\nReverse=82\n'
keys="Clutch=16\nFirstGear=49\n$rest"
gates='LeftPedal=046D:C24F Slider0-\nGate2=046D:C24F Button14\nGate3=046D:C24F Button15
Gate4=046D:C24F Button16\nGateR=046D:C24F Button19\nGate1=Button13\n'
fail=0
row() { # STATUS LINES EXPECTED...
    printf '%b' "$2" >MTconfig.ini
    "$check_bindings" MTconfig.ini >printed
    status=$?
    sed 's/$/|/' printed >out
    [ "$status" -eq "$1" ] || { echo "exit status $status, expected $1, of:" && cat MTconfig.ini; fail=1; }
    shift 2
    for expected; do
        grep -qF -- "$expected" out || { echo "no line ends in: $expected"; fail=1; }
    done
}
row 0 "${keys}ThrotlePedal=046D:C24F Y-\n" \
    'nothing: unknown name, did you mean "ThrottlePedal"?|'
row 1 "Clutch=16\nFristGear=49\n$rest" \
    'nothing: unknown name, did you mean "FirstGear"?|'
row 0 "${keys}Throttle=046D:C24F Y-\n" 'did you mean "ThrottlePedal"?|'
row 0 "${keys}Gate7=046D:C24F Button20\n" 'Gate7=046D:C24F Button20  nothing: unknown name|'
row 0 "${keys}; PadHold=68\n" \
    'line 7 begins with ";" but binds padHoldControl: the file has no comments, so delete the line to unbind it|'
row 0 "${keys}// Bind=119\n" 'line 7 begins with "//" but binds bindKey'
row 0 "${keys}$gates" "the stick can't reach first gear|" \
    "the stick can't reach first gear: firstGearGate is not bound|" \
    "Result: the clutch and every gear's key are bound, but the stick can't reach first gear.|"
row 1 "Clutch=16\n$gates" "firstGearGate is not bound: first gear can't be selected|" \
    "firstGearGate unchanged: the value doesn't begin with a game controller's id, such as 046D:C24F|"
[ $fail -eq 0 ] && echo "check-bindings: 8 mistakes, each told"
exit $fail
