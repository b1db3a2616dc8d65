#!/usr/bin/env bash
# Lints the C++ sources: clang-format (with .clang-format) over every tracked source and header, then clang-tidy
# (with .clang-tidy) over the project's own translation units in both presets' compile databases. Any finding fails
# it. Needs only configured build folders, not a build: it configures a preset when its database is missing or
# older than the build files.
#
# The Windows code (src/platform/win32, src/app, tests/**/win32, tests/app, demo, bench's disk benchmark) is parsed
# as mingw-w64 compiles it: clang's x86_64-w64-mingw32 target with mingw-w64's headers and the C++ headers of the
# posix g++ the windows preset uses. A unit that both presets compile is checked once, with the native database.
#
# VELSTRAND_LINT_BUILD_DIR and VELSTRAND_LINT_WINDOWS_BUILD_DIR pick other build folders for the databases (default
# build/native and build/windows); VELSTRAND_LINT_JOBS how many clang-tidy processes run at once (default 2, the
# cores of our machines).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
started=${EPOCHREALTIME/[.,]/}

build_dir=${VELSTRAND_LINT_BUILD_DIR:-build/native}
windows_build_dir=${VELSTRAND_LINT_WINDOWS_BUILD_DIR:-build/windows}
mingw_cxx=x86_64-w64-mingw32-g++-posix
jobs=${VELSTRAND_LINT_JOBS:-2}

# The root as a regular expression: a checkout's folder may hold characters that mean something in one.
root_re=$(printf '%s' "$root" | sed 's/[][\\.*^$|+?(){}]/\\&/g')
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

elapsed() {
    local tenths=$(((${EPOCHREALTIME/[.,]/} - started) / 100000))
    echo "$((tenths / 10)).$((tenths % 10)) s"
}

for tool in clang-format clang-tidy "$mingw_cxx"; do
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

echo "==> clang-tidy ($(clang-tidy --version | grep -o 'version [0-9.]*'), $jobs at once," \
    "databases $build_dir and $windows_build_dir)"
# A database older than the build files may miss sources added since: configure again then, as a build would.
database_stale() { # database_stale <build folder>
    local file
    [ -f "$1/compile_commands.json" ] || return 0
    while read -r file; do
        [ "$file" -nt "$1/compile_commands.json" ] && return 0
    done < <(git ls-files -- CMakePresets.json '*CMakeLists.txt' '*.cmake')
    return 1
}
for preset_dir in "native $build_dir" "windows $windows_build_dir"; do
    read -r preset dir <<<"$preset_dir"
    if database_stale "$dir"; then
        echo "    configuring the $preset preset in $dir for its compile database"
        if ! cmake --preset "$preset" -B "$dir" >"$work/configure.log" 2>&1; then
            cat "$work/configure.log"
            echo "lint: configuring $dir failed, so clang-tidy could not run (took $(elapsed))" >&2
            exit 1
        fi
    fi
done

# The project's own translation units in a database, not googletest's: CMake writes each entry's "file" on a line
# of its own.
project_units() { # project_units <build folder>
    grep -oE '"file": *"[^"]+"' "$1/compile_commands.json" | sed -E 's/^"file": *"(.*)"$/\1/' |
        grep -E "^$root_re/(src|tests|bench|demo)/.*\.cpp$" | awk '!seen[$0]++' |
        while read -r f; do [ -f "$f" ] && echo "$f"; done
}
project_units "$build_dir" >"$work/native.units"
project_units "$windows_build_dir" | grep -vxF -f "$work/native.units" >"$work/windows.units"
# Each unit goes with the database it is checked in: "native<tab>unit" or "windows<tab>unit". The heaviest (the
# tests, which parse all of googletest) go first, so the last job to end is a short one.
mapfile -t units < <({ sed 's/^/native\t/' "$work/native.units"; sed 's/^/windows\t/' "$work/windows.units"; } |
    awk -v r="$root/" '{ w = index($0, r "tests/") ? 0 : index($0, r "bench/") ? 1 : 2; print w "\t" $0 }' |
    sort -s -k1,1n | cut -f2-)
if [ ! -s "$work/native.units" ] || [ ! -s "$work/windows.units" ]; then
    echo "lint: no project sources in $build_dir/compile_commands.json or $windows_build_dir/compile_commands.json" >&2
    exit 1
fi

# What makes clang parse a Windows unit as mingw-w64 compiles it, one argument a line. Clang cannot find the posix
# g++'s C++ headers by itself (their folder is named 12-posix, not a version) and would take Linux's /usr/include:
# so no standard folder at all, but in g++'s order its C++ headers, clang's own (intrinsics, stddef.h; those of
# GCC's own folder are GCC's) and mingw-w64's. clang's own lie where clang-tidy's binary expects them.
tidy_resource_include=$(echo "$(dirname "$(readlink -f "$(command -v clang-tidy)")")"/../lib/clang/*/include)
mingw_includes=$("$mingw_cxx" -E -x c++ - -v </dev/null 2>&1 |
    sed -n '/^#include <...> search starts here:$/,/^End of search list\.$/p' | sed -n 's/^ //p')
{
    echo "--extra-arg=--target=x86_64-w64-mingw32"
    echo "--extra-arg=-nostdinc"
    while read -r dir; do
        dir=$(readlink -f "$dir")
        case $dir in
        */c++ | */c++/*) echo "--extra-arg=-isystem$dir" ;;
        /usr/lib/gcc/*) ;; # GCC's own builtin headers: clang brings its own
        *) mingw_include=$dir ;;
        esac
    done <<<"$mingw_includes"
    echo "--extra-arg=-isystem$tidy_resource_include"
    echo "--extra-arg=-isystem${mingw_include:-}"
} >"$work/windows.args"
if [ ! -f "$tidy_resource_include/stddef.h" ] || [ ! -f "${mingw_include:-}/windows.h" ] ||
    ! grep -q '/c++' "$work/windows.args"; then
    echo "lint: the headers for the Windows code are missing (clang's $tidy_resource_include, mingw-w64's" \
        "${mingw_include:-(not found)} or $mingw_cxx's C++ headers)" >&2
    exit 1
fi

# clang-tidy reads a broken .clang-tidy as no file at all and goes on with its default checks: stop here instead.
# A test's unit reads both the tests' .clang-tidy and the one it builds on.
if ! checks=$(clang-tidy -p "$build_dir" --list-checks "$(grep -m1 -F "$root/tests/" "$work/native.units" ||
    head -n1 "$work/native.units")" 2>&1) ||
    grep -q 'Error parsing' <<<"$checks"; then
    grep -vE '^ |^Enabled checks:' <<<"$checks"
    echo "lint: clang-tidy could not read .clang-tidy (took $(elapsed))" >&2
    exit 1
fi
echo "    $(grep -cE '^ +[a-z]' <<<"$checks") checks"

# shellcheck disable=SC2317 # run by xargs through bash -c, which shellcheck cannot follow
# tidy_one <native|windows><tab><unit>: its output goes to <log>, and <log>.failed marks a unit that did not pass.
tidy_one() {
    local kind=${1%%$'\t'*} unit=${1#*$'\t'} log
    local -a args=(-p "$build_dir")
    if [ "$kind" = windows ]; then
        mapfile -t args < <(echo "-p"; echo "$windows_build_dir"; cat "$work/windows.args")
    fi
    log=$work/tidy/$(echo "${unit#"$root"/}" | tr / _).log
    clang-tidy "${args[@]}" --quiet --warnings-as-errors='*' "$unit" >"$log" 2>&1 || echo "$?" >"$log.failed"
}
export -f tidy_one
export work root build_dir windows_build_dir
mkdir -p "$work/tidy"
# shellcheck disable=SC2016 # $1 is the inner shell's
printf '%s\0' "${units[@]}" | xargs -0 -n1 -P "$jobs" bash -c 'tidy_one "$1"' _

failed_units=()
for entry in "${units[@]}"; do
    unit=${entry#*$'\t'}
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
