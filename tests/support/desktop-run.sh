#!/bin/sh
# Runs one test program on a desktop of its own: an X server (Xvfb, 1024x768)
# with a window manager (openbox), so that windows are activated and get the
# keyboard as on the clerk's desktop. Both are started here and stopped when
# the program ends, whatever way it ends.
#
#   desktop-run.sh PROGRAM [ARGUMENTS...]
#
# The X server picks a free display itself (-displayfd) and holds it with its
# lock file, so tests run side by side (ctest -j) each get a display of their own.
set -u

state=$(mktemp -d "${TMPDIR:-/tmp}/lexordo-desktop.XXXXXX") || exit 1
xvfb=""
wm=""

stop() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null && wait "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$state"
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
    echo "desktop-run: $*" >&2
    [ -f "$state/xvfb.log" ] && cat "$state/xvfb.log" >&2
    [ -f "$state/openbox.log" ] && cat "$state/openbox.log" >&2
    exit 1
}

# Waits up to about ten seconds for a condition (a shell command) to hold.
await() {
    tries=0
    until eval "$1"; do
        tries=$((tries + 1))
        [ "$tries" -gt 200 ] && return 1
        sleep 0.05
    done
}

command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/install-deps.sh installs it)"
command -v openbox >/dev/null || fail "openbox is not installed (scripts/install-deps.sh installs it)"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$state/display" >"$state/xvfb.log" 2>&1 </dev/null &
xvfb=$!
await 'grep -qs "^[0-9][0-9]*$" "$state/display" || ! kill -0 $xvfb 2>/dev/null' ||
    fail "the X server did not start"
kill -0 "$xvfb" 2>/dev/null || { xvfb=""; fail "the X server did not start"; }
DISPLAY=":$(head -n 1 "$state/display")"
export DISPLAY

# openbox runs the start-up command once it manages the screen.
HOME="$state" openbox --sm-disable --startup "touch $state/managing" \
    >"$state/openbox.log" 2>&1 </dev/null &
wm=$!
await '[ -f "$state/managing" ] || ! kill -0 $wm 2>/dev/null' ||
    fail "the window manager did not start"
kill -0 "$wm" 2>/dev/null || { wm=""; fail "the window manager did not start"; }

QT_QPA_PLATFORM=xcb
export QT_QPA_PLATFORM
"$@"
status=$?
exit "$status"
