#!/bin/bash
# Plays the real game as a user would, on a virtual X display:
#   smoke.sh ZORVANE_BINARY SCREENSHOT.png
# Waits for the title window, takes a screenshot, presses Start with Enter,
# checks that the battlefield appears, holds D and checks that the mage walks
# right, then closes the window and checks that the program ends by itself.
# Runs once without a window manager and, if openbox is installed, once more
# under it (its screenshot gets "-openbox" before the extension).
# Needs Xvfb, xdotool, imagemagick (import) and python3 with PIL.
set -u

TEST_NAME=smoke
. "$(dirname "$0")/lib.sh"

[ $# -eq 2 ] || die "usage: smoke.sh ZORVANE_BINARY SCREENSHOT.png"
GAME=$1
SHOT=$2
[ -x "$GAME" ] || die "not an executable: $GAME"

# mage_x X0 Y0 FILE: the mean column of the non-green pixels where the mage
# walks, right of the castle (window origin X0, Y0), or -1.
mage_x() {
    local column
    column=$(read_screen mean-column "$3" $(($1 + 443)) $(($2 + 284)) 557 46 0,128,0)
    [ "$column" = none ] && echo -1 || echo $((column + 443))
}

run() {  # run NAME WM SCREENSHOT
    local name=$1 wm=$2 shot=$3
    echo "smoke: $name"
    start_display 1920 1080
    [ "$wm" = openbox ] && start_wm

    QT_QPA_PLATFORM=xcb "$GAME" >"$WORK/game.log" 2>&1 &
    local game=$!
    PIDS+=("$game")

    local title
    title=$(find_window 15) || die "$name: no window named Zorvane within 15 s"
    # A window maps black and is painted a moment later (and a window manager
    # may move it when it frames it).
    local deadline=$((SECONDS + 10))
    until eval "$(xdotool getwindowgeometry --shell "$title")" && timeout 10 import -window root "$shot" &&
        [ "$(rgb $((X + 10)) $((Y + 10)) "$shot")" = "0,255,255" ]; do
        [ $SECONDS -lt $deadline ] || die "$name: the title window is not cyan"
        sleep 0.2
    done
    [ "$WIDTH" = 1572 ] && [ "$HEIGHT" = 870 ] || die "$name: title client area is ${WIDTH}x${HEIGHT}, not 1572x870"

    # Start holds the focus; Enter presses it.
    xdotool windowfocus --sync "$title" 2>/dev/null || true
    sleep 0.2
    xdotool key Return
    local field
    deadline=$((SECONDS + 10))
    while :; do
        field=$(find_window 1) && [ "$field" != "$title" ] && break
        [ $SECONDS -lt $deadline ] || die "$name: Enter on Start did not open the battlefield"
    done
    eval "$(xdotool getwindowgeometry --shell "$field")"
    [ "$WIDTH" = 1608 ] && [ "$HEIGHT" = 897 ] || die "$name: battlefield client area is ${WIDTH}x${HEIGHT}"
    wait_pixel $((X + 800)) $((Y + 600)) "0,128,0" 10 "$WORK/field.png" || die "$name: no green field"
    [ "$(rgb $((X + 5)) $((Y + 5)) "$WORK/field.png")" = "192,0,192" ] || die "$name: no magenta life bar"

    # Hold D for half a second: about ten movement ticks of 3.7 pixels.
    xdotool windowfocus --sync "$field" 2>/dev/null || true
    timeout 10 import -window root "$WORK/before.png" || die "$name: screenshot failed"
    local before after
    before=$(mage_x "$X" "$Y" "$WORK/before.png")
    [ "$before" -ge 0 ] || die "$name: the mage is not where it should be"
    xdotool keydown d
    sleep 0.5
    xdotool keyup d
    # Until the steps taken are painted.
    deadline=$((SECONDS + 10))
    while :; do
        timeout 10 import -window root "$WORK/after.png" || die "$name: screenshot failed"
        after=$(mage_x "$X" "$Y" "$WORK/after.png")
        [ $((after - before)) -ge 15 ] && break
        [ $SECONDS -lt $deadline ] || die "$name: holding D moved the mage from x=$before to x=$after only"
        sleep 0.2
    done
    echo "smoke: $name: the mage walked from x=$before to x=$after"

    # Close the battlefield as its close button would: the program must end.
    if [ "$wm" = openbox ]; then
        xdotool key alt+F4
    else
        close_window "$field" || die "$name: could not send the close request"
    fi
    deadline=$((SECONDS + 5))
    while kill -0 "$game" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || die "$name: the program still runs 5 s after its window was closed"
        sleep 0.1
    done
    wait "$game"
    local status=$?
    [ $status -eq 0 ] || die "$name: the program ended with status $status (log: $(tr '\n' ' ' <"$WORK/game.log"))"

    stop_all
}

run "no window manager" none "$SHOT"
if command -v openbox >/dev/null; then
    run "openbox" openbox "${SHOT%.png}-openbox.png"
else
    echo "smoke: openbox is not installed; skipped the run under a window manager"
fi
echo "smoke: PASS"
