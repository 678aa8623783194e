#!/bin/sh
# The real plug-in's hold on its key-binding file, probed by another program
# in the same folder.
# Usage: file_sharing.sh WINE_SH PREFIX SHARE_PROBE_EXE HOOK_FOLDER PLUGIN SAMPLE_INI WORK_FOLDER
# Every path is absolute, as CTest gives them: the script changes folder.
set -eu
wine_sh=$1
prefix=$2
probe=$3
hook_folder=$4
plugin=$5
sample=$6
work=$7

. "$(dirname "$0")/common.sh"
fresh_work "$work"
cp "$sample" "$work/MTconfig.ini"
cd "$work"
exec "$wine_sh" "$prefix" run "$probe" "$hook_folder" "$plugin"
