# The one place that says how the project runs Windows programs under Wine. Sourced by the scripts that run them
# and by ctest's way into Wine (tests/support/run_under_wine.sh):
#
#   source scripts/wine-env.sh
#
# sets the Wine prefix (build/wine-prefix, the tests'; never ~/.wine, whatever WINEPREFIX held before), the Wine
# settings every run shares and the size of the desktop, and defines
#   wine_env_use_prefix DIR  another prefix of the project's own instead (the demo's)
#   wine_env_make_prefix     makes the prefix if it is missing: Wine's own set-up, one virtual desktop of the shared
#                            size that the program and the test drivers share, and the caption buttons' font; and
#                            puts Wine's own taskkill.exe back in its system32 if a test left a stand-in there
#   wine_env_desktop on|off  whether the programs open on that virtual desktop (on) or as windows of their own;
#                            it ends the prefix's Wine server, so it comes before wine_env_start
#   wine_env_ensure_server   starts the Wine server detached from the caller's output unless one runs already
#   wine_env_start           all of that plus a private Xvfb display; fails, saying why, when Xvfb does not start
#   wine_env_stop            stops what wine_env_start started, and nothing else
#
# CMakePresets.json's windows test preset repeats the prefix, WINEDEBUG and WINEDLLOVERRIDES for what ctest runs
# outside run_under_wine.sh (CMake scripts that call wine): keep them in step.
#
# A Wine server that a program under ctest starts inherits ctest's output pipe, and so do Wine's service processes:
# ctest then waits for them after every test, or for ever. So the server is started here, detached, and one
# throwaway Wine call brings the services up detached too.

velstrand_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=$velstrand_root/build/wine-prefix
# Wine's err: lines only, which say why Wine ended a program before it ran (-all alone hides them). Written this way
# rather than as fixme-all, which means the same to Wine: Debian's wine wrapper prints a hint about wine32 on every
# start unless WINEDEBUG begins with -all, and run_under_wine.sh must see a start that failed without a word.
export WINEDEBUG=-all,err+all
# No prompts to install Mono or Gecko when a prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# The virtual desktop, and the Xvfb screen that holds it.
wine_env_desktop_size=1024x768

_started_xvfb_pid=""
_started_wineserver=0
_server_started_here=0

wine_env_use_prefix() { export WINEPREFIX=$1; }

# Wine's programs get no terminal, no output to hold open and not the lock below (fd 9), which a server that
# forked into the background would otherwise keep for as long as it runs.
_wine_quietly() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

# Runs a command holding the prefix's lock: ctest may start several test programs at once, and each makes sure of
# the prefix and the server first.
_wine_env_locked() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    {
        flock 9 && "$@"
    } 9>"$WINEPREFIX.lock"
}

wine_env_desktop() { # wine_env_desktop on|off; takes effect when the Wine server starts again, so it ends it
    local key='HKCU\Software\Wine\Explorer'
    if [ "$1" = on ]; then
        _wine_quietly wine reg add "$key\\Desktops" /v Default /d "$wine_env_desktop_size" /f &&
            _wine_quietly wine reg add "$key" /v Desktop /d Default /f || return 1
    else
        _wine_quietly wine reg delete "$key" /v Desktop /f || true
    fi
    _wine_quietly wineserver -k || true
    _wine_quietly wineserver -w || true
}

wine_env_make_prefix() { _wine_env_locked _make_prefix; }
_make_prefix() {
    _set_up_prefix && _put_back_wines_taskkill
}

_set_up_prefix() {
    # Set up once the marker is there; a set-up cut short is done again.
    local ready=$WINEPREFIX/velstrand-prefix-ready
    [ -f "$ready" ] && return 0
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "==> Making the Wine prefix $WINEPREFIX" >&2
        _wine_quietly wineboot -i || true
        _wine_quietly wineserver -w || true
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "wine-env: wineboot could not make the Wine prefix $WINEPREFIX" >&2
            return 1
        fi
    fi
    # The caption buttons are glyphs of Marlett, which Debian's fonts-wine installs where this Wine does not look.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
    wine_env_desktop on || {
        echo "wine-env: could not set up the virtual desktop in $WINEPREFIX" >&2
        return 1
    }
    touch "$ready"
}

# A test puts a slow taskkill stand-in at the prefix's system32\taskkill.exe (the tool starts the copy beside it only
# when it holds the same bytes) and puts Wine's own back when it ends; a test killed by its timeout does not. So
# Wine's own goes back before every test program, from a copy kept the first time a prefix is seen with it.
_put_back_wines_taskkill() {
    local system=$WINEPREFIX/drive_c/windows/system32/taskkill.exe
    local kept=$WINEPREFIX/velstrand-wine-taskkill.exe
    if [ ! -f "$kept" ]; then
        local original=$system
        if ! _is_wine_builtin "$original"; then
            # A prefix made before copies were kept, that a killed test left with the stand-in: Wine's own file is
            # where Wine keeps its built-in programs.
            original=$(_wine_builtin_file taskkill.exe) || {
                echo "wine-env: $system is not Wine's own taskkill.exe and Wine's could not be found;" \
                    "remove $WINEPREFIX to have the prefix made again" >&2
                return 1
            }
        fi
        cp "$original" "$kept.partial" && mv "$kept.partial" "$kept" || return 1
    fi
    cmp -s "$kept" "$system" || cp "$kept" "$system"
}

# Wine marks its built-in programs and the placeholders that stand for them in a prefix after their DOS header.
_is_wine_builtin() {
    [ -f "$1" ] && head -c 84 "$1" | tail -c 20 | tr -d '\0' | grep -qE '^Wine (builtin|placeholder) DLL$'
}

_wine_builtin_file() {
    local wine_binary folder
    wine_binary=$(readlink -f "$(command -v wine64 || command -v wine)") || return 1
    for folder in "$(dirname "$wine_binary")/../lib/x86_64-linux-gnu/wine/x86_64-windows" \
        "$(dirname "$wine_binary")/../lib64/wine/x86_64-windows" "$(dirname "$wine_binary")/../lib/wine/x86_64-windows" \
        "$(dirname "$wine_binary")/../x86_64-windows"; do
        if _is_wine_builtin "$folder/$1"; then
            echo "$folder/$1"
            return 0
        fi
    done
    return 1
}

wine_env_ensure_server() { _wine_env_locked _ensure_server "$@"; }
_ensure_server() {
    # wineserver forks into the background and exits 0, or exits 2 at once when this prefix has a server already.
    # A server of its own ends 10 s after its last program; wine_env_start's lives until wine_env_stop.
    local status=0
    _wine_quietly wineserver "${1:--p10}" || status=$?
    [ "$status" = 2 ] && return 0
    [ "$status" = 0 ] || return 1
    _server_started_here=1
    _wine_quietly wine cmd /c exit || true
}

_start_xvfb() {
    local display_file log status
    display_file=$(mktemp)
    log=$(mktemp)
    # Xvfb picks a free display itself and writes its number once it takes connections: no race with another
    # Xvfb for the same number.
    Xvfb -displayfd 3 -screen 0 "${wine_env_desktop_size}x24" -nolisten tcp 3>"$display_file" </dev/null \
        >"$log" 2>&1 &
    _started_xvfb_pid=$!
    for _ in $(seq 1 100); do
        if [ -s "$display_file" ] || ! kill -0 "$_started_xvfb_pid" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    local display
    display=$(tr -dc 0-9 <"$display_file")
    if [ -z "$display" ]; then
        if kill -0 "$_started_xvfb_pid" 2>/dev/null; then
            echo "wine-env: Xvfb did not take connections within 10 s" >&2
            kill "$_started_xvfb_pid" 2>/dev/null || true
        fi
        status=0
        wait "$_started_xvfb_pid" 2>/dev/null || status=$?
        echo "wine-env: Xvfb did not start (exit status $status); what it said:" >&2
        sed 's/^/    /' "$log" >&2
        _started_xvfb_pid=""
        rm -f "$display_file" "$log"
        return 1
    fi
    rm -f "$display_file" "$log"
    export DISPLAY=":$display"
}

wine_env_start() {
    wine_env_make_prefix || return 1
    if [ -z "${VELSTRAND_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        _start_xvfb || return 1
    fi
    _server_started_here=0
    wine_env_ensure_server -p || {
        echo "wine-env: the Wine server did not start for $WINEPREFIX" >&2
        return 1
    }
    _started_wineserver=$_server_started_here
}

wine_env_stop() {
    if [ "$_started_wineserver" = 1 ]; then
        _wine_quietly wineserver -k || true
        _wine_quietly wineserver -w || true
        _started_wineserver=0
    fi
    if [ -n "$_started_xvfb_pid" ]; then
        kill "$_started_xvfb_pid" >/dev/null 2>&1 || true
        wait "$_started_xvfb_pid" 2>/dev/null || true
        _started_xvfb_pid=""
    fi
}
