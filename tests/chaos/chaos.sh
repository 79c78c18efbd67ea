#!/bin/bash
# Random real input into the game on a virtual X display, from a seed:
#   chaos.sh ZORVANE_BINARY SECONDS SEED [SEED...]
# Each seed is one run of SECONDS on a fresh display, under openbox when the
# seed is odd (and openbox is installed), without a window manager otherwise. A run
# plays keys (the game's and Tab, Escape, F-keys, modifiers, the keypad and
# others, alone, held and in chords), buttons 1 to 3 alone and in chords,
# presses inside and outside the window, drags, resizes from 1 x 1 to very
# large, moves the focus to another window and back, answers the message
# boxes or leaves them open and closes a window now and then, starting a new
# game after each close. It fails when the game writes a sanitizer report,
# ends with a status other than 0, leaves a window unanswered for a second
# (the window manager's ping), outlives a close by 5 s or leaves a process
# behind. Build the game with the sanitizers to make the first check count.
# Keys and buttons go through XTEST, as a keyboard and a mouse send them.
set -u

TEST_NAME=chaos
. "$(dirname "$0")/../xvfb/lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)

[ $# -ge 3 ] || die "usage: chaos.sh ZORVANE_BINARY SECONDS SEED [SEED...]"
GAME=$1
RUN_SECONDS=$2
shift 2
[ -x "$GAME" ] || die "not an executable: $GAME"
case "$RUN_SECONDS" in '' | *[!0-9]*) die "SECONDS must be a whole number" ;; esac
command -v xev >/dev/null || die "xev is not installed"

export QT_QPA_PLATFORM=xcb

SCREEN_W=1920 SCREEN_H=1080
GAME_KEYS=(w a s d w d 1 2 3 space Return)
OTHER_KEYS=(Tab Escape F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12 Shift_L Shift_R Control_L Control_R Alt_L
    Alt_R Super_L Menu Caps_Lock Num_Lock KP_0 KP_1 KP_2 KP_5 KP_7 KP_9 KP_Add KP_Subtract KP_Multiply
    KP_Divide KP_Enter KP_Decimal Up Down Left Right Home End Prior Next Insert Delete BackSpace Pause
    Print q e x z p m grave minus equal bracketleft comma slash)
MODIFIERS=(shift ctrl alt super ctrl+shift ctrl+alt)

# Counters of one run and of all runs.
ACTIONS=0 GAMES=0 CLOSES=0 KEY_CLOSES=0 BOXES=0 PINGS=0 SLOWEST=0
TOTAL_ACTIONS=0 TOTAL_GAMES=0 TOTAL_CLOSES=0 TOTAL_BOXES=0 TOTAL_PINGS=0

GAME_PID="" MAIN="" BOX="" OTHER="" OTHER_PID="" WM=""

# pick N: sets R to a number in [0, N). (Never in a subshell: a subshell
# draws from a fresh seed, and the run would no longer follow its own.)
pick() {
    R=$(((RANDOM * 32768 + RANDOM) % $1))
}

note() {  # a line of the action log, shown when the run fails
    echo "$SECONDS $*" >>"$WORK/actions.log"
}

fail() {
    echo "chaos: last actions:" >&2
    tail -25 "$WORK/actions.log" >&2
    if [ -n "$GAME_PID" ] && [ -f "$WORK/game$GAMES.log" ]; then
        echo "chaos: the game's output:" >&2
        tail -40 "$WORK/game$GAMES.log" >&2
    fi
    die "seed $SEED ($WM): $*"
}

# A sanitizer report or a Qt fatal message in the game's output.
check_log() {
    local log=$WORK/game$GAMES.log
    if grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: .*Sanitizer|QFATAL|terminate called' "$log"; then
        fail "the game wrote a report"
    fi
}

start_game() {
    GAMES=$((GAMES + 1))
    # Its own session, so that anything it starts can be found afterwards.
    setsid "$GAME" >"$WORK/game$GAMES.log" 2>&1 &
    GAME_PID=$!
    note "start game $GAMES (pid $GAME_PID)"
    local deadline=$((SECONDS + 30))
    until find_windows && [ -n "$MAIN" ]; do
        kill -0 "$GAME_PID" 2>/dev/null || game_ended "start-up"
        [ $SECONDS -lt $deadline ] || fail "game $GAMES showed no window within 30 s"
        sleep 0.2
    done
}

# Sets MAIN to the game's title or battlefield window and BOX to an open
# message box (transient for the battlefield), when there is one.
find_windows() {
    MAIN="" BOX=""
    local id
    for id in $(timeout 5 xdotool search --onlyvisible --pid "$GAME_PID" 2>/dev/null); do
        if timeout 5 xprop -id "$id" WM_TRANSIENT_FOR 2>/dev/null | grep -q 'window id'; then
            BOX=$id
        else
            MAIN=$id
        fi
    done
    [ -n "$MAIN" ] || [ -n "$BOX" ]
}

# Under the window manager, keys can iconify the game's windows or switch to
# another desktop; activating them brings them back, as the task bar would.
# (Windows the game has hidden itself are withdrawn and stay hidden.)
RESTORED=0
restore_windows() {
    [ "$WM" = openbox ] || return 0
    local id
    for id in $(timeout 5 xdotool search --pid "$GAME_PID" 2>/dev/null); do
        if timeout 5 xprop -id "$id" WM_STATE 2>/dev/null | grep -qE 'window state: (Normal|Iconic)'; then
            note "restore $id"
            RESTORED=$((RESTORED + 1))
            timeout 5 xdotool windowactivate --sync "$id" >/dev/null 2>&1
        fi
    done
    find_windows
}

# The game has ended (or must have): its status has to be 0, its output clean
# and nothing of it left running. WHY says what ended it.
game_ended() {
    local why=$1 status
    wait "$GAME_PID"
    status=$?
    note "game $GAMES ended ($why), status $status"
    check_log
    [ $status -eq 0 ] || fail "game $GAMES ended with status $status after $why"
    if pgrep -s "$GAME_PID" >/dev/null; then
        fail "game $GAMES left processes behind: $(pgrep -a -s "$GAME_PID" | tr '\n' ' ')"
    fi
    GAME_PID="" MAIN="" BOX=""
}

# Closes WINDOW as its close button would; a title or a battlefield without a
# message box in front must take the program with it within 5 s.
close() {
    local id=$1 expect_exit=$2
    note "close $id (exit expected: $expect_exit)"
    close_window "$id" 2>/dev/null
    [ "$expect_exit" = yes ] || return 0
    CLOSES=$((CLOSES + 1))
    local deadline=$((SECONDS + 5))
    while kill -0 "$GAME_PID" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || fail "game $GAMES still runs 5 s after its window was closed"
        sleep 0.1
    done
    game_ended "close"
}

# Every window of the game has to answer the ping within a second (asked
# about once a second).
LAST_PING=0
check_answers() {
    local id out status now=${EPOCHREALTIME/./}
    [ $((now - LAST_PING)) -ge 1000000 ] || return 0
    LAST_PING=$now
    for id in $MAIN $BOX; do
        out=$(timeout 10 "$PYTHON" "$HERE/ping.py" "$id" 1)
        status=$?
        case $status in
        0)
            PINGS=$((PINGS + 1))
            [ "$out" -gt "$SLOWEST" ] && SLOWEST=$out
            ;;
        2) ;;  # closed or hidden in the meantime
        *)
            kill -0 "$GAME_PID" 2>/dev/null || return 0
            fail "window $id of game $GAMES did not answer within a second"
            ;;
        esac
    done
}

start_other() {
    xev -geometry 320x200+1500+820 >/dev/null 2>&1 &
    OTHER_PID=$!
    PIDS+=("$OTHER_PID")
    # (As long as the game is given to show its first window: on a busy
    # machine a new X client can take many seconds to map one. It need not
    # be visible: keys may have moved the window manager to another desktop,
    # where a new window is kept unmapped until it is activated.)
    local deadline=$((SECONDS + 30))
    until OTHER=$(timeout 5 xdotool search --name "^Event Tester$" 2>/dev/null | head -1) &&
        [ -n "$OTHER" ]; do
        # It only lends the focus a place to go: without it the run goes on.
        [ $SECONDS -lt $deadline ] || { say "the other window did not appear within 30 s; the focus stays"; return 0; }
        sleep 0.1
    done
}

focus() {  # focus WINDOW: as a click on it or the window manager would
    if [ "$WM" = openbox ]; then
        timeout 5 xdotool windowactivate "$1" 2>/dev/null
    else
        timeout 5 xdotool windowfocus "$1" 2>/dev/null
    fi
}

geometry() {  # sets X Y WIDTH HEIGHT of the main window (the screen if none)
    X=0 Y=0 WIDTH=$SCREEN_W HEIGHT=$SCREEN_H
    [ -n "$MAIN" ] && eval "$(timeout 5 xdotool getwindowgeometry --shell "$MAIN" 2>/dev/null)"
}

point() {  # sets PX PY: mostly inside the main window's visible part, else anywhere
    geometry
    pick 10
    local inside=$R
    pick $SCREEN_W
    PX=$R
    pick $SCREEN_H
    PY=$R
    if [ $inside -lt 7 ] && [ "$WIDTH" -gt 0 ] && [ "$HEIGHT" -gt 0 ]; then
        pick "$WIDTH"
        [ $((X + R)) -ge 0 ] && [ $((X + R)) -lt $SCREEN_W ] && PX=$((X + R))
        pick "$HEIGHT"
        [ $((Y + R)) -ge 0 ] && [ $((Y + R)) -lt $SCREEN_H ] && PY=$((Y + R))
    fi
}

any_key() {
    pick 3
    if [ $R -lt 2 ]; then
        pick ${#GAME_KEYS[@]}
        KEY=${GAME_KEYS[R]}
    else
        pick ${#OTHER_KEYS[@]}
        KEY=${OTHER_KEYS[R]}
    fi
}

xdo() {  # xdotool with a deadline; the window may be gone, which is fine
    note "xdotool $*"
    timeout 10 xdotool "$@" >/dev/null 2>&1
}

resize() {
    local kind w h
    pick 10
    kind=$R
    pick 64
    w=$((1 + R))
    pick 64
    h=$((1 + R))
    case $kind in
    0) w=1 h=1 ;;
    1 | 2) ;;
    3 | 4 | 5) w=$((w * 30)) h=$((h * 17)) ;;
    6) w=32767 ;;
    7) h=32767 ;;
    # Very large, yet at most about 10,000 x 10,000: the window's backing
    # store is a real image of that many pixels.
    *) w=$((2000 + w * 125)) h=$((1100 + h * 140)) ;;
    esac
    xdo windowsize "$MAIN" "$w" "$h"
    pick 3
    if [ $R -eq 0 ]; then
        pick 2400
        w=$((R - 400))
        pick 1400
        xdo windowmove "$MAIN" "$w" $((R - 300))
    fi
}

# One random action; each leaves no key or button held.
act() {
    ACTIONS=$((ACTIONS + 1))
    local b c n i
    pick 100
    if [ $R -lt 25 ]; then
        any_key
        xdo key --delay 20 "$KEY"
    elif [ $R -lt 38 ]; then  # held, sometimes with a second key
        any_key
        local first=$KEY
        xdo keydown "$first"
        pick 2
        if [ $R -eq 0 ]; then
            any_key
            xdo keydown "$KEY"
            sleep 0.$((RANDOM % 10))
            xdo keyup "$KEY"
        fi
        sleep 0.$((RANDOM % 10))
        xdo keyup "$first"
    elif [ $R -lt 44 ]; then  # a modifier chord
        pick ${#MODIFIERS[@]}
        local mod=${MODIFIERS[R]}
        any_key
        xdo key "$mod+$KEY"
    elif [ $R -lt 60 ]; then  # a click, a double click or a chord of buttons
        point
        b=$((1 + RANDOM % 3))
        pick 4
        case $R in
        0) xdo mousemove "$PX" "$PY" click --repeat 2 "$b" ;;
        1)
            c=$((1 + RANDOM % 3))
            xdo mousemove "$PX" "$PY" mousedown "$b" mousedown "$c" sleep 0.1 mouseup "$c" mouseup "$b"
            ;;
        *) xdo mousemove "$PX" "$PY" click "$b" ;;
        esac
    elif [ $R -lt 68 ]; then  # a drag, with a key held now and then
        point
        b=$((1 + RANDOM % 3))
        local path=(mousemove "$PX" "$PY" mousedown "$b")
        n=$((2 + RANDOM % 6))
        for ((i = 0; i < n; i++)); do
            point
            path+=(mousemove "$PX" "$PY" sleep 0.05)
        done
        pick 3
        if [ $R -eq 0 ]; then
            any_key
            path=(keydown "$KEY" "${path[@]}" mouseup "$b" keyup "$KEY")
        else
            path+=(mouseup "$b")
        fi
        xdo "${path[@]}"
    elif [ $R -lt 74 ]; then
        [ -n "$MAIN" ] && resize
    elif [ $R -lt 79 ]; then  # the focus to the other window and back
        note "focus away"
        focus "$OTHER"
        pick 3
        [ $R -eq 0 ] && { any_key; xdo key "$KEY"; }
        sleep 0.$((RANDOM % 5))
        [ -n "$MAIN" ] && focus "$MAIN"
    elif [ $R -lt 84 ]; then
        sleep 0.$((RANDOM % 10))
    elif [ $R -lt 90 ]; then
        if [ -n "$BOX" ]; then  # answer it, one way or another, or leave it open
            pick 5
            case $R in
            0) focus "$BOX"; xdo key Return ;;
            1) focus "$BOX"; xdo key space ;;
            2) focus "$BOX"; xdo key Escape ;;
            3) close "$BOX" no ;;
            4) note "leave the box open" ;;
            esac
        elif [ -n "$MAIN" ]; then
            # Straight up into the castle killers' path: lives go, and in the
            # end the game is lost and its message boxes come up.
            focus "$MAIN"
            xdo keydown w sleep $((5 + RANDOM % 8)) keyup w
        fi
    elif [ $R -lt 97 ]; then  # Start: Enter on the title's button
        [ -n "$MAIN" ] && { focus "$MAIN"; xdo key Return; }
    elif [ $((RANDOM % 6)) -eq 0 ] && [ -n "$MAIN" ]; then
        if [ -n "$BOX" ]; then
            close "$MAIN" no  # a modal box in front: the close is refused
        else
            close "$MAIN" yes
        fi
    fi
}

run() {
    SEED=$1 WM=$2
    RANDOM=$SEED
    ACTIONS=0 GAMES=0 CLOSES=0 BOXES=0 PINGS=0 SLOWEST=0 RESTORED=0
    : >"$WORK/actions.log"
    start_display $SCREEN_W $SCREEN_H
    [ "$WM" = openbox ] && start_wm
    start_other
    start_game
    local end=$((SECONDS + RUN_SECONDS)) seen_box=""
    while [ $SECONDS -lt $end ]; do
        act
        if [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null; then
            # Alt+F4 under the window manager, for one.
            KEY_CLOSES=$((KEY_CLOSES + 1))
            game_ended "input"
        fi
        [ -n "$GAME_PID" ] || start_game
        find_windows || restore_windows
        if [ -n "$BOX" ] && [ "$BOX" != "$seen_box" ]; then
            BOXES=$((BOXES + 1))
            seen_box=$BOX
        fi
        check_answers
        check_log
        kill -0 "$OTHER_PID" 2>/dev/null || start_other
    done
    # The end of the run: boxes answered, the window closed.
    find_windows || restore_windows
    local deadline=$((SECONDS + 20))
    while find_windows && [ -n "$BOX" ]; do
        [ $SECONDS -lt $deadline ] || fail "the message boxes do not go away"
        close "$BOX" no
        sleep 0.3
    done
    if [ -n "$MAIN" ]; then
        close "$MAIN" yes
    elif [ -n "$GAME_PID" ]; then
        fail "game $GAMES has no window left"
    fi
    say "seed $SEED, $WM: $RUN_SECONDS s, $ACTIONS actions, $GAMES games, $CLOSES closed by the close button," \
        "$KEY_CLOSES by keys, $BOXES message boxes, $RESTORED windows brought back, $PINGS pings answered (slowest $SLOWEST ms)"
    TOTAL_ACTIONS=$((TOTAL_ACTIONS + ACTIONS)) TOTAL_GAMES=$((TOTAL_GAMES + GAMES))
    TOTAL_CLOSES=$((TOTAL_CLOSES + CLOSES + KEY_CLOSES)) TOTAL_BOXES=$((TOTAL_BOXES + BOXES))
    TOTAL_PINGS=$((TOTAL_PINGS + PINGS))
    KEY_CLOSES=0
    stop_all
    # Nothing of the run may be left: not the game, not the display.
    local pid
    for pid in $GAME_PID $OTHER_PID; do
        kill -0 "$pid" 2>/dev/null && fail "process $pid is still running"
    done
    GAME_PID=""
}

turn=0
for seed in "$@"; do
    case "$seed" in '' | *[!0-9]*) die "a seed is a whole number, not '$seed'" ;; esac
    wm=none
    if [ $((seed % 2)) -eq 1 ] && command -v openbox >/dev/null; then wm=openbox; fi
    run "$seed" $wm
    turn=$((turn + 1))
done
say "PASS: $turn runs, $TOTAL_ACTIONS actions, $TOTAL_GAMES games, $TOTAL_CLOSES closes," \
    "$TOTAL_BOXES message boxes, $TOTAL_PINGS pings"
