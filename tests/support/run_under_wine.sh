#!/usr/bin/env bash
# ctest's way into Wine: runs one Windows test program as `wine <program> <arguments>` would.
#
# Now and then Wine fails a start at once, without a word, before the program has run: once in CI a test "failed"
# in 0.02 s with no output, where Wine alone takes 0.1 s to start anything. A GoogleTest program prints a line
# before it tests anything, so no output at all and a failure mean that nothing was tested. Such a start is tried
# again, at most twice, and said so on stderr. A run that printed anything is the verdict, whatever it says.
set -u

wine=$1
shift

stdout_file=$(mktemp)
stderr_file=$(mktemp)
trap 'rm -f "$stdout_file" "$stderr_file"' EXIT

for attempt in 1 2 3; do
    "$wine" "$@" >"$stdout_file" 2>"$stderr_file"
    status=$?
    if [ "$status" = 0 ] || [ -s "$stdout_file" ] || [ -s "$stderr_file" ] || [ "$attempt" = 3 ]; then
        break
    fi
    echo "run_under_wine: Wine ended $1 silently with status $status before it ran; starting it again" >&2
done

cat "$stdout_file"
cat "$stderr_file" >&2
exit "$status"
