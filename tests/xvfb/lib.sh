# Shared helpers of the tests that play the real game on a virtual X display.
# Source it after setting TEST_NAME (the prefix of every message):
#   TEST_NAME=smoke; . "$(dirname "$0")/lib.sh"
# It checks for the tools, makes a scratch folder $WORK and arranges for every
# process recorded in PIDS to be stopped, newest first, when the script ends.

die() {
    echo "$TEST_NAME: FAIL: $*" >&2
    exit 1
}

say() {
    echo "$TEST_NAME: $*"
}

for tool in Xvfb xdotool import xdpyinfo; do
    command -v "$tool" >/dev/null || die "$tool is not installed"
done
PYTHON=/usr/bin/python3
"$PYTHON" -c 'import PIL' 2>/dev/null || die "python3-pil is not installed"

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

# rgb X Y FILE: the colour of one pixel as "r,g,b".
rgb() {
    "$PYTHON" -c 'import sys; from PIL import Image
print("%d,%d,%d" % Image.open(sys.argv[3]).convert("RGB").getpixel((int(sys.argv[1]), int(sys.argv[2]))))' "$@"
}

# close_window ID: what the close button does, a WM_DELETE_WINDOW message.
close_window() {
    "$PYTHON" - "$1" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]
d = x.XOpenDisplay(None)
win = int(sys.argv[1])
ev = ClientMessage(type=33, display=d, window=win, format=32)
ev.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
ev.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XSendEvent(d, win, 0, 0, ctypes.byref(ev))
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XSync(d, 0)
PY
}

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
