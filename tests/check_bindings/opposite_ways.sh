#!/bin/sh
# Two wheel lines on one axis, a row each: check-bindings on the keys and the
# row's lines, and whether it warns that they press the axis opposite ways
# ("warned" and the warning's words) or not ("quiet").
# Usage: opposite_ways.sh WORK_FOLDER CHECK_BINDINGS
set -u
mkdir -p "$1" && cd "$1" || exit 1
check_bindings=$2
keys='Clutch=16\nFirstGear=49\nSecondGear=50\nThirdGear=51\nFourthGear=52\nReverse=82\n'
fail=0
row() { # warned|quiet LINES [WARNING]
    printf '%b' "$keys$2" >MTconfig.ini
    "$check_bindings" MTconfig.ini >printed
    if [ "$1" = warned ]; then
        grep -qxF -- "  - $3" printed || { echo "not warned: $3" && cat printed; fail=1; }
    elif grep -q 'opposite ways' printed; then
        echo "warned of:" && cat MTconfig.ini && cat printed
        fail=1
    fi
}
row warned 'LeftPedal=046D:C24F Slider0-\nThrottlePedal=046D:C24F Slider0+\n' \
    'clutchPedal (046D:C24F Slider0-) and throttlePedal (046D:C24F Slider0+) press one axis opposite ways: releasing one presses the other'
row warned 'ThrottlePedal=046D:C24F Y+\nBrakePedal=046D:C24F Y-\n' \
    'brakePedal (046D:C24F Y-) and throttlePedal (046D:C24F Y+) press one axis opposite ways: releasing one presses the other'
row warned 'Steering=046D:C24F X+\nLeftPedal=046D:C24F X-\nBrakePedal=046D:C24F X-\n' \
    'clutchPedal (046D:C24F X-), brakePedal (046D:C24F X-) and steeringAxis (046D:C24F X+) press one axis opposite ways: releasing one presses the other'
row quiet 'LeftPedal=046D:C24F Slider0-\nThrottlePedal=046D:C24F Slider0-\n'
row quiet 'LeftPedal=046D:C24F Slider0-\nThrottlePedal=044F:B660 Slider0+\n'
row quiet 'LeftPedal=046D:C24F Slider0-\nThrottlePedal=046D:C24F Slider1+\n'
row quiet 'LeftPedal=046D:C24F Button7\nThrottlePedal=046D:C24F X+\n'
[ $fail -eq 0 ] && echo "check-bindings: 7 pairs, opposite ways warned of and no others"
exit $fail
