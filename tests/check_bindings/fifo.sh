#!/bin/sh
# Makes a FIFO named fifo.ini in WORK_FOLDER, which no program ever writes to,
# then runs golden.sh there with the other arguments.
# Usage: fifo.sh WORK_FOLDER EXPECTED STATUS ACTUAL COMMAND [ARGUMENT...]
set -u
work=$1
shift
mkdir -p "$work" && rm -f "$work/fifo.ini" && mkfifo "$work/fifo.ini" || exit 1
exec sh "$(dirname "$0")/golden.sh" "$work" "$@"
