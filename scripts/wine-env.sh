# Sourced by the scripts that run Windows programs: a Wine prefix of the project's own (never ~/.wine),
# a private Xvfb display, and a Wine server started so that it does not hold ctest's output pipe open.
# Defines wine_env_start and wine_env_stop; stops only what it started.

velstrand_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$velstrand_root/build/wine-prefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

_started_xvfb_pid=""
_started_wineserver=0

_free_display() {
    local n
    for n in $(seq 91 199); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

wine_env_start() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "==> Making the Wine prefix $WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1 || true
        wineserver -w
        # One desktop with frames that the program and the test drivers share.
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
        wineserver -k || true
        wineserver -w || true
    fi

    if [ -z "${VELSTRAND_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
        local display
        display=$(_free_display)
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        _started_xvfb_pid=$!
        export DISPLAY=":$display"
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$display" ] && break
            sleep 0.1
        done
    fi

    # Started detached, so that neither it nor Wine's service processes inherit ctest's pipes.
    wineserver -p </dev/null >/dev/null 2>&1 &
    _started_wineserver=1
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

wine_env_stop() {
    if [ "$_started_wineserver" = 1 ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        _started_wineserver=0
    fi
    if [ -n "$_started_xvfb_pid" ]; then
        kill "$_started_xvfb_pid" >/dev/null 2>&1 || true
        wait "$_started_xvfb_pid" 2>/dev/null || true
        _started_xvfb_pid=""
    fi
}
