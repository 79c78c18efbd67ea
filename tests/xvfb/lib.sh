# Shared helpers of the tests that play the real game on a virtual X display.
# Source it after setting TEST_NAME (the prefix of every message):
#   TEST_NAME=smoke; . "$(dirname "$0")/lib.sh"
# It checks for the tools, makes a scratch folder $WORK and arranges for every
# process recorded in PIDS to be stopped, newest first, when the script ends.
# PLATFORM picks the window system the game is played on: x11 (the default),
# or wayland, a Weston compositor nested in the virtual X display (see
# start_session).

die() {
    echo "$TEST_NAME: FAIL: $*" >&2
    exit 1
}

say() {
    echo "$TEST_NAME: $*"
}

PLATFORM=${PLATFORM:-x11}
case $PLATFORM in
    x11) QPA=xcb ;;
    wayland) QPA=wayland ;;
    *) die "unknown platform '$PLATFORM' (x11 or wayland)" ;;
esac
for tool in Xvfb xdotool import xdpyinfo $([ "$PLATFORM" = wayland ] && echo weston); do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done
PYTHON=/usr/bin/python3
"$PYTHON" -c 'import PIL' 2>/dev/null || die "python3-pil is not installed"
# The helpers in Python sit beside this file.
XVFB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# read_screen [OPTIONS] COMMAND ARG...: reads the screen (see screen.py).
read_screen() { "$PYTHON" "$XVFB_DIR/screen.py" "$@"; }

# A game built with the sanitizers reports what they find and fails; the
# leaks the system's libraries leave at exit are suppressed by the rules in
# tests/lsan.supp, whose stacks are only whole when unwound slowly. (The asan
# test preset sets the same file; these defaults hold when a script is run by
# hand.)
LSAN_SUPPRESSIONS=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/lsan.supp
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}:fast_unwind_on_malloc=0
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$LSAN_SUPPRESSIONS}
# Without a session bus the toolkit does not try one.
export DBUS_SESSION_BUS_ADDRESS=${DBUS_SESSION_BUS_ADDRESS:-disabled:}

WORK=$(mktemp -d)
PIDS=()
stop_all() {
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null; done
    wait 2>/dev/null
    PIDS=()
}
cleanup() {
    stop_all
    rm -rf "$WORK"
}
trap cleanup EXIT

# start_display WIDTH HEIGHT: a fresh Xvfb on a free display number, which
# becomes $DISPLAY once it answers (within 10 s).
start_display() {
    : >"$WORK/display"
    # -noreset: by default the server resets when its last client leaves, and a
    # client that connects during the reset (the game, right after the probe
    # below) is refused.
    Xvfb -displayfd 3 -screen 0 "$1x$2x24" -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
    PIDS+=("$!")
    local deadline=$((SECONDS + 10))
    until [ -s "$WORK/display" ]; do
        [ $SECONDS -lt $deadline ] || die "Xvfb did not start ($(tr '\n' ' ' <"$WORK/xvfb.log"))"
        sleep 0.1
    done
    export DISPLAY=":$(head -1 "$WORK/display")"
    until xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || die "display $DISPLAY does not answer"
        sleep 0.1
    done
}

# start_session WIDTH HEIGHT: start_display, and on Wayland a Weston
# compositor filling it: its output is what screenshots of the X root show,
# and the XTEST input that reaches its X window is handed to its clients as
# real key codes and pointer events. The desktop behind the windows is one
# flat colour, BACKGROUND, with no panel, so a window's frame can be told
# from it, and no animation fades a window in or out. Weston places a new window at random, so tests find the windows
# by their colours on the screen, and a client never learns its position.
BACKGROUND=48,48,48
start_session() {
    SCREEN_W=$1 SCREEN_H=$2
    if [ "$PLATFORM" = x11 ]; then
        start_display "$1" "$2"
        return 0
    fi
    # Weston follows the pointer by how far it moved since it entered its
    # window, so the pointer must enter it once: the display is a row taller
    # than Weston's window, and the pointer waits in that row until the
    # window is there.
    start_display "$1" $(($2 + 1))
    xdotool mousemove 0 "$2"
    local runtime
    runtime=$(mktemp -d "$WORK/runtime.XXXXXX") || die "cannot create a runtime folder"  # mode 0700
    cat >"$WORK/weston.ini" <<'INI'
[shell]
background-image=
background-color=0xff303030
panel-position=none
animation=none
close-animation=none
startup-animation=none
focus-animation=none
INI
    XDG_RUNTIME_DIR="$runtime" weston --backend=x11-backend.so --use-pixman --width="$1" --height="$2" \
        --socket=zorvane-test --idle-time=0 --config="$WORK/weston.ini" >"$WORK/weston.log" 2>&1 &
    PIDS+=("$!")
    wait_pixel $(($1 / 2)) $(($2 / 2)) "$BACKGROUND" 20 "$WORK/desktop.png" ||
        die "Weston did not show its desktop within 20 s (centre: $(rgb $(($1 / 2)) $(($2 / 2)) "$WORK/desktop.png" 2>&1)) ($(tail -3 "$WORK/weston.log" | tr '\n' ' '))"
    export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=zorvane-test
    park_pointer
}

# start_wm: openbox on the display, once it manages the screen (it then
# names itself on the root window).
start_wm() {
    openbox >"$WORK/openbox.log" 2>&1 &
    PIDS+=("$!")
    local deadline=$((SECONDS + 20))
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        [ $SECONDS -lt $deadline ] || die "openbox did not start within 20 s ($(tail -3 "$WORK/openbox.log" | tr '\n' ' '))"
        sleep 0.1
    done
}

# park_pointer: the pointer to the bottom-right corner of the screen, out of
# the way (Weston paints its pointer into its output, and so into every
# screenshot). A window never covers the corner's last pixel, and the few
# pixels of the pointer's tip there are left out when windows are measured.
park_pointer() {
    xdotool mousemove $((SCREEN_W - 1)) $((SCREEN_H - 1))
}

# rgb X Y FILE: the colour of one pixel as "r,g,b".
rgb() { read_screen pixel "$3" "$1" "$2"; }

# close_window ID: what the close button does, a WM_DELETE_WINDOW message.
close_window() { "$PYTHON" "$XVFB_DIR/close_window.py" "$1"; }

# find_window SECONDS: the id of the visible window titled exactly "Zorvane".
find_window() {
    local deadline=$((SECONDS + $1)) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(timeout 5 xdotool search --onlyvisible --name '^Zorvane$' 2>/dev/null | tail -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

# find_other_window SECONDS ID: a visible "Zorvane" window other than ID.
find_other_window() {
    local deadline=$((SECONDS + $1)) id
    while [ $SECONDS -lt $deadline ]; do
        id=$(find_window 1) && [ "$id" != "$2" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# wait_pixel X Y RGB SECONDS FILE: screenshots until the root pixel has the colour.
wait_pixel() {
    local deadline=$((SECONDS + $4))
    while [ $SECONDS -lt $deadline ]; do
        timeout 10 import -window root "$5" 2>/dev/null && [ "$(rgb "$1" "$2" "$5")" = "$3" ] && return 0
        sleep 0.2
    done
    return 1
}

# wait_exit PID SECONDS LOG: waits for the game to end by itself and fails
# unless it ends in time with status 0.
wait_exit() {
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || die "the program still runs $2 s after its window was closed"
        sleep 0.1
    done
    wait "$1"
    local status=$?
    [ $status -eq 0 ] || die "the program ended with status $status (log: $(tr '\n' ' ' <"$3"))"
}
