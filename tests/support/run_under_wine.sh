#!/usr/bin/env bash
# ctest's way into Wine: runs one Windows test program as `wine <program> <arguments>` would, in the tests' own Wine
# prefix with the settings of scripts/wine-env.sh, whatever the environment says. A ctest typed by hand, with no
# scripts/wine-env.sh started before it, gets the same: the prefix is made if it is missing and the Wine server
# started detached, so that it does not hold ctest's output open (it ends 10 s after the last test). What it does not
# get is a display: without one, the tests that open windows fail, and say why (scripts/test.sh brings its own).
#
# Now and then Wine fails a start at once, without a word, before the program has run: once in CI a test "failed"
# in 0.02 s with no output, where Wine alone takes 0.1 s to start anything. A GoogleTest program prints a line
# before it tests anything, so no output at all and a failure mean that nothing was tested. Such a start is tried
# again, at most twice, and said so on stderr. A run that printed anything is the verdict, whatever it says.
set -u

wine=$1
shift

# shellcheck source=scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
wine_env_make_prefix || exit 1
wine_env_ensure_server || {
    echo "run_under_wine: the Wine server did not start for $WINEPREFIX" >&2
    exit 1
}

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
if [ "$status" != 0 ] && [ -z "${DISPLAY:-}" ]; then
    echo "run_under_wine: there is no DISPLAY, and a test that opens a window fails without one;" \
        "bash scripts/test.sh runs the tests on a display of their own" >&2
fi
exit "$status"
