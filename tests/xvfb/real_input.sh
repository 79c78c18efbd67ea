#!/bin/bash
# Plays the real game with real input on a virtual X display and reads every
# result back from the screen:
#   real_input.sh ZORVANE_BINARY OUTDIR [x11|wayland]
# Run 1 presses Start with a mouse click on the button, walks the mage with
# W, A, S and D, casts fire with a left click, charges the special with the
# right button, selects ice with 2 (keypad 3 then changes nothing, 3 selects
# lightning), checks where the castle killers come in and that the clock
# runs, and closes the battlefield.  Run 2 presses Start with Enter.  Run 3
# plays on a small screen, where both windows open zoomed to fit it, and
# checks that the game plays as at full size.  Run 4 does run 1's first steps
# at QT_SCALE_FACTOR=2 and checks that every position doubles and that the
# pixel art stays crisp; run 5 plays at QT_SCALE_FACTOR=0.5.  Only run 3 has
# a window manager (openbox) on X11.
# With "wayland" (runs 1 to 3) the game is a Wayland client of a Weston compositor nested in
# the virtual display (lib.sh's start_session); the checks are the same, only
# finding and closing the windows differ: Qt draws their frames, and a window
# is closed with the close button of that frame.
# Keys and buttons go through XTEST (xdotool without --window), as a
# keyboard and a mouse would send them.  Every wait has a deadline; a failure
# ends the script with a non-zero status and says what was wrong.  OUTDIR gets
# a screenshot of each run.  Zoomed windows are compared with pictures
# scaled by the game's own scaling, the command zorvane-scale-down of the
# game's build (or ZORVANE_SCALE_DOWN).
set -u

[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: real_input.sh ZORVANE_BINARY OUTDIR [x11|wayland]" >&2; exit 1; }
PLATFORM=${3:-x11}
TEST_NAME="real_input ($PLATFORM)"
GAME=$1
OUT=$2
. "$(dirname "$0")/lib.sh"
[ -x "$GAME" ] || die "not an executable: $GAME"
[ "$PLATFORM" = wayland ] || command -v openbox >/dev/null || die "openbox is not installed"
mkdir -p "$OUT" || die "cannot create $OUT"
PICTURES=$(cd "$(dirname "$0")/../../assets/pictures" && pwd) || die "assets/pictures not found"
# The game's scaling of a zoomed window as a command, from the game's build.
SCALE_DOWN=${ZORVANE_SCALE_DOWN:-$(dirname "$GAME")/../../tools/scale_down/zorvane-scale-down}
[ -x "$SCALE_DOWN" ] || die "no zorvane-scale-down at $SCALE_DOWN (build it, or name it in ZORVANE_SCALE_DOWN)"
mkdir -p "$WORK/zoomed"

# The game's numbers (in logical pixels, 15 twips each).
TICK_MS=50                      # the movement timer
STEP_TWIPS=55                   # one straight step of the mage
HERO_X=440 HERO_Y=280           # picHero at Left 6600, Top 4200
HERO_W=45 HERO_H=49
TYPE_X=1464 TYPE_Y=40           # picProjectileType, 33 x 33, sunken edge of 2
FIELD_W=1608 FIELD_H=897
TITLE_W=1572 TITLE_H=870
BUTTON_TOP=536 BUTTON_W=185 BUTTON_H=105   # cmdStart: Top 8040, 2775 x 1575 twips
HAT=247,201,40                  # the yellow of the mage's hat and gloves
FIRE=255,0,0                    # the fire projectile
SPECIAL=64,0,64                 # the special projectile
CLOCK="632 24 57 25"            # lblTimer: 9480, 360, 855 x 375 twips
# (Below the castle's life bar, whose anti-aliased text is a blend of black
# and magenta.)
BELOW_BAR="0 40 $FIELD_W $((FIELD_H - 40))"

# QT_FACTOR is the QT_SCALE_FACTOR the game runs with, SCALE the screen
# pixels per design pixel of the window measured last: QT_FACTOR, or with
# ZOOMED=1 the zoom the window chose to fit the screen (such as 4/5). AREA is
# that window's client area: its screen position and its size in design
# pixels.
QT_FACTOR=1 SCALE=1 ZOOMED=0
AREA=
# probe COMMAND ARG...: reads the window measured last off the screen (see
# screen.py), in design pixels relative to its client area.
probe() {
    read_screen --scale "$SCALE" --area "$AREA" --pictures "$PICTURES" --scale-down "$SCALE_DOWN" \
        --cache "$WORK/zoomed" "$@"
}
now_ms() { date +%s%3N; }

# client_geometry ID: an X window's position on the screen and size: x y
# width height. (xdotool counts a window manager's frame twice.)
client_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { if (h != "") print x, y, w, h; else exit 1 }'
}

# frame_extents ID: the frame a window manager put around an X window: left
# top right bottom (0 0 0 0 without one).
frame_extents() {
    local e
    e=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)$/\1 \3 \2 \4/p')
    echo "${e:-0 0 0 0}"
}

# mage_settled SECONDS: the mage's "x y name", once two readings agree.
mage_settled() {
    local deadline=$((SECONDS + $1)) last="" cur
    while [ $SECONDS -lt $deadline ]; do
        cur=$(probe mage $HAT)
        [ "$cur" != none ] && [ "$cur" = "$last" ] && { echo "$cur"; return 0; }
        last=$cur
        sleep 0.1
    done
    return 1
}

# wait_box RGB SECONDS [X Y W H]: the box of a colour once it shows.
wait_box() {
    local colour=$1 deadline=$((SECONDS + $2)) b
    shift 2
    while [ $SECONDS -lt $deadline ]; do
        b=$(probe box "$colour" "$@")
        [ "$b" != none ] && { echo "$b"; return 0; }
        sleep 0.05
    done
    return 1
}

# in_range VALUE LOW HIGH (integers)
in_range() { [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }

# near "A B ..." "C D ..." SLACK: each number within SLACK of its fellow.
near() {
    local -a a b
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    [ ${#a[@]} = ${#b[@]} ] || return 1
    for i in "${!a[@]}"; do in_range "${a[i]}" $((b[i] - $3)) $((b[i] + $3)) || return 1; done
}

# walk KEY DX DY: holds KEY for about 20 ticks, past the start of auto-repeat
# (660 ms in Xvfb, 400 ms in Weston), and checks that the mage moved
# in the direction (DX, DY) by as many steps as the hold lasted ticks, within
# four ticks, and that it faces the way a sideways walk turns it. (On a busy
# machine a press or a release can reach the game a few ticks after xdotool
# sent it; Weston adds its own frames to that.)
SLACK=4
walk() {
    local key=$1 dx=$2 dy=$3 before after t0 t1
    before=$(mage_settled 10) || die "$RUN: the mage cannot be found before $key"
    xdotool keydown "$key"
    t0=$(now_ms)
    sleep 1
    xdotool keyup "$key"
    t1=$(now_ms)
    after=$(mage_settled 10) || die "$RUN: the mage cannot be found after $key"
    read -r bx by _ _ <<<"$before"
    read -r ax ay face _ <<<"$after"
    local held=$((t1 - t0)) moved steps ticks
    # Straight steps are whole twips; a position in pixels is rounded.
    if [ "$dx" -ne 0 ]; then moved=$(((ax - bx) * dx)); else moved=$(((ay - by) * dy)); fi
    [ "$dx" -ne 0 ] && [ "$ay" != "$by" ] && die "$RUN: $key moved the mage up or down ($before -> $after)"
    [ "$dy" -ne 0 ] && [ "$ax" != "$bx" ] && die "$RUN: $key moved the mage sideways ($before -> $after)"
    steps=$(((moved * 15 + STEP_TWIPS / 2) / STEP_TWIPS))
    ticks=$(((held + TICK_MS / 2) / TICK_MS))
    in_range "$steps" 3 1000 || die "$RUN: holding $key for $held ms moved the mage $moved px the wrong way or too little ($before -> $after)"
    in_range "$steps" $((ticks - SLACK)) $((ticks + SLACK)) ||
        die "$RUN: holding $key for $held ms (~$ticks ticks) moved the mage $steps steps ($before -> $after)"
    case $key in
        d) [ "$face" = mage_right ] || die "$RUN: after D the mage shows $face, not mage_right" ;;
        a) [ "$face" = mage_left ] || die "$RUN: after A the mage shows $face, not mage_left" ;;
    esac
    say "$RUN: $key held $held ms (~$ticks ticks): $steps steps, from ${bx},${by} to ${ax},${ay}, $face"
}

# find_client NAME RGB W H SECONDS: waits until the window called NAME
# (title or field), whose client area is filled with RGB, shows with a client
# area of W x H design pixels; sets its id (X11), CX CY (screen position of
# the client area), CW CH and the frame around it, FL FT FR FB. With
# ZOOMED=1 the window may be zoomed, but must lie wholly on the screen, frame
# and all; SCALE becomes its zoom.
find_client() {
    local name=$1 rgb=$2 deadline=$((SECONDS + $5)) found id=
    while :; do
        kill -0 "$GAME_PID" 2>/dev/null || die "$RUN: the game ended (log: $(tr '\n' ' ' <"$WORK/game.log"))"
        found=none
        if [ "$PLATFORM" = x11 ]; then
            if [ "$name" = title ]; then id=$(find_window 1); else id=$(find_other_window 1 "$TITLE"); fi &&
                found="$(client_geometry "$id") $(frame_extents "$id")"
        else
            found=$(probe window "$rgb" "$BACKGROUND" "$SCREEN_W,$SCREEN_H")
        fi
        read -r CX CY CW CH FL FT FR FB <<<"$found"
        if [ "$ZOOMED" = 1 ]; then
            [ "$found" != none ] && zoom=$(probe zoom "$CW" "$CH" "$3" "$4") &&
                [ $((CX - FL)) -ge 0 ] && [ $((CY - FT)) -ge 0 ] &&
                [ $((CX + CW + FR)) -le "$SCREEN_W" ] && [ $((CY + CH + FB)) -le "$SCREEN_H" ] && SCALE=$zoom && break
        else
            [ "$CW" = $(($3 * SCALE)) ] && [ "$CH" = $(($4 * SCALE)) ] && break
        fi
        [ $SECONDS -lt $deadline ] ||
            die "$RUN: no $name window with a ${3}x${4} client area$([ "$ZOOMED" = 1 ] && echo ", zoomed, wholly on the ${SCREEN_W}x${SCREEN_H} screen,") within $5 s (last seen: $found)"
        sleep 0.2
    done
    [ "$name" = title ] && TITLE=$id
    [ "$name" = field ] && FIELD=$id
    AREA="$CX,$CY,$3,$4"
}

# point_at X Y: the pointer to a point of the client area, in design pixels.
# Weston hands the pointer to the window under it a moment after it moves
# there; a press before that goes to the window it came from.
point_at() {
    local x y
    read -r x y <<<"$(probe point "$1" "$2")"
    xdotool mousemove "$x" "$y"
    sleep 0.2
}

# open_battlefield HOW: starts the game and presses Start by "click" or
# "enter"; sets GAME_PID, TITLE, FIELD, AREA and the battlefield's CX..FB.
open_battlefield() {
    local how=$1
    env QT_QPA_PLATFORM=$QPA QT_SCALE_FACTOR=$QT_FACTOR "$GAME" >"$WORK/game.log" 2>&1 &
    GAME_PID=$!
    PIDS+=("$GAME_PID")
    # A loaded machine may take a while to start the first Qt program.
    find_client title 0,255,255 $TITLE_W $TITLE_H 60
    TITLE_SCALE=$SCALE
    [ "$ZOOMED" = 1 ] && say "$RUN: the title opened at zoom $SCALE: ${CW}x${CH} at $CX,$CY, frame $FL,$FT,$FR,$FB"
    if [ "$PLATFORM" = wayland ]; then
        # A Wayland client, not an X one through a compatibility server.
        [ -z "$(xdotool search --name '^Zorvane$' 2>/dev/null)" ] || die "$RUN: the game opened an X window"
        say "$RUN: title: client area ${CW}x${CH}, Qt's frame $FL,$FT,$FR,$FB (left, top, right, bottom)"
    fi
    # The outer width read at load is the client width on every platform: no
    # frame is known before the window shows. Form_Load puts the button's
    # Left at half of it less half the button, in twips.
    local left=$(((TITLE_W * 15 - 2775 + 15) / 30))   # lround((W/2 - 1387.5) / 15)
    local b deadline
    deadline=$((SECONDS + 10))
    # Below the texts only the button is not cyan, once the window has painted
    # (it maps black, and is painted a moment later).
    until b=$(probe other 0,255,255 0 $((BUTTON_TOP - 30)) $TITLE_W $((TITLE_H - BUTTON_TOP + 30))) &&
        near "$b" "$left $BUTTON_TOP $BUTTON_W $BUTTON_H" $((ZOOMED * 2)); do
        [ $SECONDS -lt $deadline ] ||
            die "$RUN: the Start button covers '$b' (x y width height), not '$left $BUTTON_TOP $BUTTON_W $BUTTON_H'"
        sleep 0.1
    done
    case $how in
        click)
            # A click in the middle of the button's design rectangle.
            point_at $((left + BUTTON_W / 2)) $((BUTTON_TOP + BUTTON_H / 2))
            xdotool mousedown 1
            sleep 0.1
            xdotool mouseup 1
            sleep 0.2
            park_pointer
            ;;
        enter)
            # Weston gives the keyboard to a new window by itself.
            [ "$PLATFORM" = x11 ] && { xdotool windowfocus --sync "$TITLE" 2>/dev/null || true; }
            xdotool keydown Return
            sleep 0.1
            xdotool keyup Return
            ;;
    esac
    find_client field 0,128,0 $FIELD_W $FIELD_H 15
    local start
    start=$(mage_settled 15) || die "$RUN: no mage on the battlefield"
    [ "$start" = "$HERO_X $HERO_Y mage_left 0" ] || die "$RUN: the mage starts at '$start', not '$HERO_X $HERO_Y mage_left 0'"
    # The title goes once the battlefield is up.
    deadline=$((SECONDS + 10))
    while if [ "$PLATFORM" = x11 ]; then
        xdotool search --onlyvisible --name '^Zorvane$' 2>/dev/null | grep -qx "$TITLE"
    else
        [ "$(probe window 0,255,255 "$BACKGROUND" "$SCREEN_W,$SCREEN_H")" != none ]
    fi; do
        [ $SECONDS -lt $deadline ] || die "$RUN: the title window is still shown"
        sleep 0.1
    done
    # (Measured again without the title's frame nearby.)
    find_client field 0,128,0 $FIELD_W $FIELD_H 5
    [ "$PLATFORM" = x11 ] && { xdotool windowfocus --sync "$FIELD" 2>/dev/null || true; }
    say "$RUN: Start ($how) opened the battlefield (client area ${CW}x${CH}$([ "$ZOOMED" = 1 ] && echo " at zoom $SCALE, at $CX,$CY"), frame $FL,$FT,$FR,$FB); the mage stands at $HERO_X,$HERO_Y"
}

# The battlefield's close button: on X11 the request a window manager sends
# for it, on Wayland a click on the button Qt draws at the right of its title
# bar.
# On a machine slow enough for a run to last some 100 s the castle falls
# first, and the two modal end-of-game boxes refuse the close until they are
# answered: on X11 they are closed as their close buttons would, on Wayland
# Return answers the one that holds the keyboard.
close_battlefield() {
    local try box
    for try in 1 2 3; do
        if [ "$PLATFORM" = x11 ]; then
            for box in $(xdotool search --pid "$GAME_PID" 2>/dev/null); do
                xprop -id "$box" WM_TRANSIENT_FOR 2>/dev/null | grep -q 'window id' && close_window "$box"
            done
            close_window "$FIELD" || die "$RUN: could not send the close request"
        else
            [ "$try" = 1 ] || xdotool key Return
            xdotool mousemove $((CX + CW + FR - 19)) $((CY - FT + 15))
            sleep 0.2
            xdotool click 1
        fi
        local deadline=$((SECONDS + 5))
        while kill -0 "$GAME_PID" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
        kill -0 "$GAME_PID" 2>/dev/null || break
        [ "$try" = 1 ] && say "$RUN: the battlefield is still open 5 s after the close; answering end-of-game boxes"
    done
    wait_exit "$GAME_PID" 5 "$WORK/game.log"
    say "$RUN: closing the battlefield ended the program with status 0"
}

# cast_fire X Y: a left click at X, Y, away from the mage, casts fire: a red
# box leaves the mage and flies towards the point under the cursor. (Zoomed,
# the game reads that point in whole design pixels, and the red is measured
# by its pixels that are wholly red: within two design pixels.)
cast_fire() {
    local tx=$1 ty=$2 mx my first fx fy fw fh later lx ly t0 t1 ticks deadline slack=$((2 + 2 * ZOOMED))
    read -r mx my _ _ <<<"$(mage_settled 10)" || die "$RUN: the mage is lost"
    point_at $tx $ty
    t0=$(now_ms)
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
    first=$(wait_box $FIRE 10 $BELOW_BAR) || die "$RUN: a left click cast no fire"
    t1=$(now_ms)
    read -r fx fy fw fh <<<"$first"
    near "$fw $fh" "31 31" $((2 * ZOOMED)) || die "$RUN: the fire's red is ${fw}x${fh}, not 31x31 inside its frame"
    # It starts on the mage (top-left corners together), 13.3 px a tick; the
    # first sighting comes as many ticks into the flight as the press and the
    # reading took (two ticks more for the timer's phase and rounding).
    ticks=$(((t1 - t0) / TICK_MS + 2))
    [ $(((fx - mx) * (fx - mx) + (fy - my) * (fy - my))) -le $((ticks * 14 * ticks * 14)) ] ||
        die "$RUN: the fire first shows at $fx,$fy, more than $ticks ticks' flight from the mage at $mx,$my"
    deadline=$((SECONDS + 10))
    while :; do
        later=$(probe box $FIRE $BELOW_BAR)
        [ "$later" != none ] || die "$RUN: the fire vanished before it had flown 100 px"
        read -r lx ly _ _ <<<"$later"
        [ $(((lx - fx) * (lx - fx) + (ly - fy) * (ly - fy))) -ge 10000 ] && break
        [ $SECONDS -lt $deadline ] || die "$RUN: the fire stays near $fx,$fy"
        sleep 0.05
    done
    # The flight is aimed with the box's top-left corner at the cursor: both
    # sightings lie on the line from the mage's corner towards the cursor.
    local gx gy line
    read -r gx gy <<<"$(probe design-point "$tx" "$ty")"
    line=$(probe along "$fx" "$fy" "$lx" "$ly" "$((mx + 1))" "$((my + 1))" "$((gx + 1))" "$((gy + 1))" "$slack") ||
        die "$RUN: the fire flies from $fx,$fy to $lx,$ly, not from the mage at $mx,$my towards the cursor at $gx,$gy ($line)"
    say "$RUN: a left click at $tx,$ty ($gx,$gy as the game reads it) cast fire; it flew from $fx,$fy to $lx,$ly"
}

# check_killers: castle killers come in at the outer size the game read, less
# 1000 twips, and walk 55 twips left and 30 up a tick: the rightmost whole one
# lies on the line from there. The outer size is the client area (in design
# pixels, zoomed or not) with the frame the window manager (X11) or the
# program itself (Wayland under Weston) puts around it.
check_killers() {
    local outer_w=$((FIELD_W + FL + FR)) outer_h=$((FIELD_H + FT + FB)) deadline=$((SECONDS + 10)) seen kx ky off
    until seen=$(probe killers 246,248,252) && [ "$seen" != none ]; do
        [ $SECONDS -lt $deadline ] || die "$RUN: no castle killer came in"
        sleep 0.2
    done
    read -r kx ky <<<"$(tr ',' ' ' <<<"${seen%% *}")"
    off=$(probe off-track $outer_w $outer_h "$kx" "$ky" 1.5) ||
        die "$RUN: the castle killer at $kx,$ky is $off px off the track from the outer size ${outer_w}x${outer_h}"
    say "$RUN: a castle killer at $kx,$ky is $off px off the track of the outer size ${outer_w}x${outer_h}, $(probe off-track $FIELD_W $FIELD_H "$kx" "$ky") px off the one of the client size"
}

# clock_ticks: the clock shows a new time twice within 5 s: the window
# repaints it as the seconds go.
clock_ticks() {
    local deadline=$((SECONDS + 5)) last seen changes=0
    last=$(probe digest $CLOCK)
    while [ $changes -lt 2 ]; do
        [ $SECONDS -lt $deadline ] || die "$RUN: the clock showed a new time $changes times in 5 s, not 2"
        sleep 0.2
        seen=$(probe digest $CLOCK)
        [ "$seen" != "$last" ] && changes=$((changes + 1)) last=$seen
    done
    say "$RUN: the clock shows the seconds go"
}

# Run 1 ---------------------------------------------------------------------
RUN="click start"
start_session 1920 1080
open_battlefield click

# The mage starts on the castle killers' track, where the first of them
# arrives some 15 s after Start and a hit puts the mage back at 432,432: it
# goes well below the track first (on Wayland the frame moves the track down
# by 33 px), so that on a slow machine no check of its position meets a
# killer.
walk s 0 1
walk s 0 1
walk d 1 0
walk s 0 1
walk a -1 0
walk w 0 -1
read -r mx my _ _ <<<"$(mage_settled 10)" || die "$RUN: the mage is lost"

cast_fire 1300 760

# Holding the right button shows the special above the mage, growing.
point_at 1300 150
xdotool mousedown 3
first=$(wait_box $SPECIAL 10 $BELOW_BAR) || { xdotool mouseup 3; die "$RUN: holding the right button showed no special"; }
t0=$(now_ms)
sleep 1.5
last=$(probe box $SPECIAL $BELOW_BAR)
t1=$(now_ms)
xdotool mouseup 3
read -r sx sy sw sh <<<"$first"
[ "$last" != none ] || die "$RUN: the special vanished while the button was held"
read -r lx ly lw lh <<<"$last"
# 3 twips wider per tick: 0.2 px per tick.
ticks=$(((t1 - t0) / TICK_MS))
grown=$((lw - sw))
in_range "$grown" $(((ticks - 6) / 5 > 1 ? (ticks - 6) / 5 : 1)) $(((ticks + 6) / 5 + 1)) ||
    die "$RUN: in ~$ticks ticks the special grew from ${sw} to ${lw} px wide"
# It sits on the mage's head, centred over it (the frame is one pixel).
in_range $((ly + lh + 1)) $((my - 2)) $((my + 1)) || die "$RUN: the special ends at y=$((ly + lh)), not above the mage at y=$my"
in_range $((2 * lx + lw)) $((2 * mx + HERO_W - 4)) $((2 * mx + HERO_W + 4)) ||
    die "$RUN: the special at x=$lx..$((lx + lw)) is not centred over the mage at $mx..$((mx + HERO_W))"
say "$RUN: the right button held ~$ticks ticks grew the special from $sw to $lw px, above the mage"

# Key 2 selects ice: the indicator shows the ice icon in its sunken frame.
# How many pixels of the indicator differ from icon_$1.gif:
indicator() { probe same $((TYPE_X + 2)) $((TYPE_Y + 2)) 29 29 "icon_$1.gif" 239,239,239; }
tap() {
    xdotool keydown "$1"
    sleep 0.2
    xdotool keyup "$1"
}
wait_indicator() {  # wait_indicator ICON WHAT: up to 10 s for the indicator to show ICON
    local deadline=$((SECONDS + 10))
    until [ "$(indicator "$1")" = 0 ]; do
        [ $SECONDS -lt $deadline ] || die "$RUN: $2 ($(indicator "$1") pixels differ)"
        sleep 0.1
    done
}
[ "$(indicator ice)" != 0 ] || die "$RUN: the indicator shows ice before 2 was pressed"
tap 2
wait_indicator ice "after 2 the indicator does not show the ice icon"
say "$RUN: key 2 put the ice icon in the indicator"
# The magic is chosen with the digit row only: keypad 3 is another key (on
# Wayland Qt does not mark keypad keys, only their scan codes tell).
# A step to the right after it shows when the game has taken keypad 3: any
# change of the indicator it made is painted by then. (Since the cast the
# mage shows its casting picture, which the reader does not know: "none".)
before=$(probe mage $HAT)
tap KP_3
tap d
deadline=$((SECONDS + 10))
until after=$(mage_settled 10) && [ "$after" != "$before" ]; do
    [ $SECONDS -lt $deadline ] || die "$RUN: a tap on D after keypad 3 did not move the mage ($before)"
done
[ "$(indicator ice)" = 0 ] || die "$RUN: keypad 3 changed the magic ($(indicator ice) pixels differ from the ice icon)"
tap 3
wait_indicator lightning "after 3 the indicator does not show the lightning icon"
say "$RUN: keypad 3 left the ice selected; key 3 put the lightning icon in the indicator"

check_killers
clock_ticks
park_pointer
probe shot "$OUT/real-input-click.png" >/dev/null
close_battlefield
stop_all

# Run 2 ---------------------------------------------------------------------
RUN="enter start"
start_session 1920 1080
open_battlefield enter
# (Down, off the castle killers' track: see run 1.)
walk s 0 1
park_pointer
probe shot "$OUT/real-input-enter.png" >/dev/null
close_battlefield
stop_all

# Run 3 ---------------------------------------------------------------------
# A small screen: 1366 x 768 with a window manager's frames on X11, a
# 1280 x 720 output on Wayland. Each window opens zoomed to fit it, wholly on
# the screen, and the game plays as at full size: the mage walks its steps, a
# click casts towards the point under the cursor, the killers come in at the
# outer size the game reads, and the clock runs.
RUN="small screen"
ZOOMED=1
if [ "$PLATFORM" = x11 ]; then
    start_session 1366 768
    start_wm
else
    start_session 1280 720
fi
open_battlefield click
walk s 0 1
walk s 0 1
walk d 1 0
cast_fire 1301 757
clock_ticks
check_killers
park_pointer
probe shot "$OUT/real-input-small-screen.png" >/dev/null
close_battlefield
stop_all
ZOOMED=0 SCALE=1

# Run 4 ---------------------------------------------------------------------
# A Wayland desktop scales by its outputs' scale, not by QT_SCALE_FACTOR, and
# the scaling itself is Qt's own on both: runs 4 and 5 are for X11.
if [ "$PLATFORM" = wayland ]; then
    say "PASS"
    exit 0
fi
RUN="scale 2"
QT_FACTOR=2 SCALE=2
start_session 3300 1900
open_battlefield click
# Off the castle killers' track first: reading the doubled screen is slow,
# and a slow machine may still be at it when the first killer arrives.
walk s 0 1
read -r mage_x mage_y _ <<<"$(mage_settled 10)"
# Crisp pixel art: every 2 x 2 cell of the mage and of the indicator's icon
# is one colour.
read -r cells mixed <<<"$(probe crisp "$mage_x" "$mage_y" $HERO_W $HERO_H)"
[ "$mixed" = 0 ] || die "$RUN: $mixed of the mage's $cells cells are blended"
read -r cells mixed <<<"$(probe crisp $((TYPE_X + 2)) $((TYPE_Y + 2)) 29 29)"
[ "$mixed" = 0 ] || die "$RUN: $mixed of the indicator's $cells cells are blended"
[ "$(probe same $((TYPE_X + 2)) $((TYPE_Y + 2)) 29 29 icon_fire.gif 239,239,239)" = 0 ] ||
    die "$RUN: the fire icon is not at $((2 * TYPE_X + 4)),$((2 * TYPE_Y + 4)) doubled"
# The castle's life bar shows its magenta 32 px high at the top-left corner
# (a line of its edge below); its width, 441 px at the start, shrinks once
# the killers reach the castle, some 20 s after Start, which a slow machine
# may reach here.
read -r bx by cw ch <<<"$(probe box 192,0,192)"
[ "$bx $by $ch" = "0 0 32" ] && in_range "${cw%.*}" 1 441 ||
    die "$RUN: the castle's life bar covers $bx,$by ${cw}x${ch}, not 0,0 and 32 high (64 at scale 2), at most 441 wide"
say "$RUN: the mage at $((2 * mage_x)),$((2 * mage_y)), the fire icon at $((2 * TYPE_X + 4)),$((2 * TYPE_Y + 4)) and the life bar $((2 * ch)) px high, all doubled; no blended 2x2 cells"
probe shot "$OUT/real-input-2x.png" >/dev/null
close_battlefield
stop_all

# Run 5 ---------------------------------------------------------------------
# A scale factor below 1, which Qt paints at full size into smaller windows,
# becomes the game's own zoom: both windows open at half size and the game
# plays and repaints as at full size.
RUN="scale 0.5"
QT_FACTOR=0.5 ZOOMED=1
start_session 1920 1080
open_battlefield enter
[ "$TITLE_SCALE $SCALE" = "1/2 1/2" ] || die "$RUN: the title opened at zoom $TITLE_SCALE, the battlefield at $SCALE, not 1/2"
walk s 0 1
clock_ticks
close_battlefield
stop_all

say "PASS"
