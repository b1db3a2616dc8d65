#!/usr/bin/env bash
# Lints the C++ sources: clang-format (with .clang-format) over every tracked source and header, then clang-tidy
# (with .clang-tidy) over the project's own files in the native preset's compile database. Any finding fails it.
# Needs only a configured build folder, not a build: it configures the native preset when its database is missing
# or older than the build files.
#
# clang-tidy sees only what the native preset compiles. The Windows-only code (src/platform/win32, src/app but
# form_layout.cpp, tests/**/win32, tests/app but form_layout_tests.cpp) builds with mingw-w64 against <windows.h>
# and is in no native compile database, so only clang-format checks it.
#
# VELSTRAND_LINT_BUILD_DIR picks another build folder for the database (default build/native);
# VELSTRAND_LINT_JOBS how many clang-tidy processes run at once (default 2, the cores of our machines).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
started=${EPOCHREALTIME/[.,]/}

build_dir=${VELSTRAND_LINT_BUILD_DIR:-build/native}
jobs=${VELSTRAND_LINT_JOBS:-2}

# The root as a regular expression: a checkout's folder may hold characters that mean something in one.
root_re=$(printf '%s' "$root" | sed 's/[][\\.*^$|+?(){}]/\\&/g')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

elapsed() {
    local tenths=$(((${EPOCHREALTIME/[.,]/} - started) / 100000))
    echo "$((tenths / 10)).$((tenths % 10)) s"
}

for tool in clang-format clang-tidy; do
    if ! command -v "$tool" >/dev/null; then
        echo "lint: $tool is missing (bash scripts/install-deps.sh installs it)" >&2
        exit 1
    fi
done

format_failed=0
tidy_failed=0

echo "==> clang-format ($(clang-format --version | grep -o 'version [0-9.]*'))"
# Files deleted in the work tree but still tracked are skipped rather than reported as unreadable.
mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' | while read -r f; do [ -f "$f" ] && echo "$f"; done)
clang-format --dry-run -Werror "${sources[@]}" >"$work/format.log" 2>&1 || format_failed=1
mapfile -t misformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error:' "$work/format.log" | cut -d: -f1 | sort -u)
if [ "$format_failed" = 1 ]; then
    cat "$work/format.log"
    if [ ${#misformatted[@]} -eq 0 ]; then
        misformatted=("(clang-format failed, see above)")
    fi
fi
echo "    ${#sources[@]} files, ${#misformatted[@]} not formatted"

echo "==> clang-tidy ($(clang-tidy --version | grep -o 'version [0-9.]*'), $jobs at once, database $build_dir)"
# A database older than the build files may miss sources added since: configure again then, as a build would.
database=$build_dir/compile_commands.json
database_stale() {
    local file
    [ -f "$database" ] || return 0
    while read -r file; do
        [ "$file" -nt "$database" ] && return 0
    done < <(git ls-files -- CMakePresets.json '*CMakeLists.txt' '*.cmake')
    return 1
}
if database_stale; then
    echo "    configuring the native preset in $build_dir for its compile database"
    if ! cmake --preset native -B "$build_dir" >"$work/configure.log" 2>&1; then
        cat "$work/configure.log"
        echo "lint: configuring $build_dir failed, so clang-tidy could not run (took $(elapsed))" >&2
        exit 1
    fi
fi

# The project's own translation units, not googletest's: CMake writes each entry's "file" on a line of its own.
# The heaviest (the tests, which parse all of googletest) go first, so the last job to end is a short one.
mapfile -t units < <(grep -oE '"file": *"[^"]+"' "$database" | sed -E 's/^"file": *"(.*)"$/\1/' |
    grep -E "^$root_re/(src|tests|bench)/.*\.cpp$" | awk '!seen[$0]++' |
    while read -r f; do [ -f "$f" ] && echo "$f"; done |
    awk -v r="$root/" '{ w = index($0, r "tests/") ? 0 : index($0, r "bench/") ? 1 : 2; print w "\t" $0 }' |
    sort -s -k1,1n | cut -f2-)
if [ ${#units[@]} -eq 0 ]; then
    echo "lint: no project sources in $database" >&2
    exit 1
fi

# clang-tidy reads a broken .clang-tidy as no file at all and goes on with its default checks: stop here instead.
if ! checks=$(clang-tidy -p "$build_dir" --list-checks "${units[0]}" 2>&1) || grep -q 'Error parsing' <<<"$checks"; then
    grep -vE '^ |^Enabled checks:' <<<"$checks"
    echo "lint: clang-tidy could not read .clang-tidy (took $(elapsed))" >&2
    exit 1
fi
echo "    $(grep -cE '^ +[a-z]' <<<"$checks") checks"

# shellcheck disable=SC2317 # run by xargs through bash -c, which shellcheck cannot follow
tidy_one() { # tidy_one <unit>: its output goes to <log>, and <log>.failed marks a unit that did not pass
    local log
    log=$work/tidy/$(echo "${1#"$root"/}" | tr / _).log
    clang-tidy -p "$build_dir" --quiet --warnings-as-errors='*' "$1" >"$log" 2>&1 || echo "$?" >"$log.failed"
}
export -f tidy_one
export work root build_dir
mkdir -p "$work/tidy"
# shellcheck disable=SC2016 # $1 is the inner shell's
printf '%s\0' "${units[@]}" | xargs -0 -n1 -P "$jobs" bash -c 'tidy_one "$1"' _

failed_units=()
for unit in "${units[@]}"; do
    log=$work/tidy/$(echo "${unit#"$root"/}" | tr / _).log
    if [ -f "$log.failed" ]; then
        failed_units+=("${unit#"$root"/}")
        tidy_failed=1
        echo "--- ${unit#"$root"/} (exit $(cat "$log.failed"))"
        # Its counts of warnings, which say nothing that the findings themselves do not.
        grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^[0-9]+ errors? generated\.$' "$log"
    fi
done
# A header's finding shows once for every unit that includes it: the summary lists it once.
cat "$work"/tidy/*.log | grep -E '^/.*:[0-9]+:[0-9]+: (warning|(fatal )?error): .*\]$' |
    sed -E -e "s|^$root_re/||" -e 's/,-warnings-as-errors\]$/]/' \
        -e 's/^([^:]+:[0-9]+):[0-9]+: (warning|(fatal )?error): (.*) \[([^]]+)\]$/\1  \5  \4/' |
    sort -u >"$work/findings"
echo "    ${#units[@]} files, ${#failed_units[@]} with findings"

echo "==> Lint summary"
status=0
if [ "$format_failed" = 1 ]; then
    status=1
    echo "clang-format: not formatted (clang-format -i FILE fixes it):"
    printf '    %s\n' "${misformatted[@]}"
fi
if [ "$tidy_failed" = 1 ]; then
    status=1
    echo "clang-tidy: $(wc -l <"$work/findings") findings (file:line  check  message):"
    sed 's/^/    /' "$work/findings"
    # A unit that failed without a finding: clang-tidy itself broke on it.
    for unit in "${failed_units[@]}"; do
        grep -qE '^/.*:[0-9]+:[0-9]+: (warning|(fatal )?error): ' "$work/tidy/$(echo "$unit" | tr / _).log" ||
            echo "    $unit: clang-tidy failed without a finding (see its output above)"
    done
fi
if [ "$status" = 0 ]; then
    echo "lint passed: ${#sources[@]} files formatted, ${#units[@]} files clean under clang-tidy (took $(elapsed))"
else
    echo "lint FAILED (took $(elapsed))"
fi
exit $status
