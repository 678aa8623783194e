# Sourced by the scripts that check what a program says when it exits.
# check STATUS TEXT COMMAND...: COMMAND exits with STATUS and prints TEXT;
# with check_whole_line=yes, TEXT is a whole line of what it prints. Each
# failure counts in failures.
failures=0
check() {
    want_status=$1
    want_text=$2
    shift 2
    set +e
    output=$("$@" 2>&1)
    status=$?
    set -e
    match=-qF
    [ "${check_whole_line:-no}" = yes ] && match=-qxF
    if [ "$status" -ne "$want_status" ] || ! printf '%s\n' "$output" | grep "$match" -- "$want_text"; then
        echo "FAILED: $* exited $status (wanted $want_status), printing:"
        printf '%s\n' "$output" | sed 's/^/    /'
        echo "    (wanted it to say: $want_text)"
        failures=$((failures + 1))
    else
        echo "ok: $* -> $status: $want_text"
    fi
}
