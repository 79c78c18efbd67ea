#!/bin/bash
# Plays the real game with real input on a virtual X display, without a
# window manager, and reads every result back from the screen:
#   real_input.sh ZORVANE_BINARY OUTDIR
# Run 1 presses Start with a mouse click on the button, walks the mage with
# W, A, S and D, casts fire with a left click, charges the special with the
# right button, selects ice with 2 and closes the battlefield.  Run 2 presses
# Start with Enter.  Run 3 does run 1's first steps at QT_SCALE_FACTOR=2 and
# checks that every position doubles and that the pixel art stays crisp.
# Keys and buttons go through XTEST (xdotool without --window), as a
# keyboard and a mouse would send them.  Every wait has a deadline; a failure
# ends the script with a non-zero status and says what was wrong.  OUTDIR gets
# a screenshot of each run.
set -u

TEST_NAME=real_input
. "$(dirname "$0")/lib.sh"

[ $# -eq 2 ] || die "usage: real_input.sh ZORVANE_BINARY OUTDIR"
GAME=$1
OUT=$2
[ -x "$GAME" ] || die "not an executable: $GAME"
mkdir -p "$OUT" || die "cannot create $OUT"
PICTURES=$(cd "$(dirname "$0")/../../assets/pictures" && pwd) || die "assets/pictures not found"

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

# The screen reader: grabs the window's area of the screen and measures it.
# Arguments and results are in logical pixels, relative to the window.
cat >"$WORK/probe.py" <<'PY'
import os, sys
from PIL import Image, ImageChops, ImageGrab

scale = int(os.environ["SCALE"])
x0, y0, w, h = (int(v) for v in os.environ["AREA"].split(","))
pictures = os.environ["PICTURES"]

def grab():
    return ImageGrab.grab(bbox=(x0, y0, x0 + w * scale, y0 + h * scale),
                          xdisplay=os.environ["DISPLAY"]).convert("RGB")

def mask(im, rgb):
    """A picture that is 255 exactly where im has the colour rgb."""
    bands = [b.point(lambda v, c=c: 255 if v == c else 0) for b, c in zip(im.split(), rgb)]
    return ImageChops.multiply(ImageChops.multiply(bands[0], bands[1]), bands[2])

def colour(text):
    return tuple(int(v) for v in text.split(","))

def picture(name, width, height, back=(0, 128, 0)):
    """The top-left width x height of a picture as a box of colour back shows it."""
    im = Image.open(os.path.join(pictures, name)).convert("RGBA")
    ground = Image.new("RGBA", im.size, back + (255,))
    im = Image.alpha_composite(ground, im).convert("RGB").crop((0, 0, width, height))
    return im.resize((width * scale, height * scale), Image.Resampling.NEAREST)

def mismatches(a, b):
    diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v else 0)
    return diff.histogram()[255]

def mage(args):
    """Where the mage stands and which way it faces: x y name mismatches."""
    hat = colour(args[0])
    shot = grab()
    box = mask(shot, hat).getbbox()
    if not box:
        return "none"
    best = None
    for name in ("mage_left.gif", "mage_right.gif"):
        pic = picture(name, 45, 49)
        pbox = mask(pic, hat).getbbox()
        left, top = box[0] - pbox[0], box[1] - pbox[1]
        seen = shot.crop((left, top, left + pic.width, top + pic.height))
        bad = mismatches(seen, pic)
        if best is None or bad < best[3]:
            best = (left / scale, top / scale, name.split(".")[0], bad)
    if best[3] > 0.05 * 45 * 49 * scale * scale:
        return "none"
    return "%g %g %s %d" % best

def box(args):
    """The bounding box of one exact colour, in the whole window or in the
    area x y width height: x y width height, or none."""
    x, y, width, height = (int(v) for v in args[1:5]) if len(args) > 1 else (0, 0, w, h)
    area = grab().crop((x * scale, y * scale, (x + width) * scale, (y + height) * scale))
    b = mask(area, colour(args[0])).getbbox()
    if not b:
        return "none"
    return "%g %g %g %g" % (x + b[0] / scale, y + b[1] / scale, (b[2] - b[0]) / scale, (b[3] - b[1]) / scale)

def other(args):
    """The bounding box of everything but one colour in an area: x y width height."""
    x, y, width, height = (int(v) for v in args[1:5])
    area = grab().crop((x * scale, y * scale, (x + width) * scale, (y + height) * scale))
    b = ImageChops.invert(mask(area, colour(args[0]))).getbbox()
    if not b:
        return "none"
    return "%g %g %g %g" % (x + b[0] / scale, y + b[1] / scale, (b[2] - b[0]) / scale, (b[3] - b[1]) / scale)

def same(args):
    """How many screen pixels differ from a picture drawn at x, y on colour back."""
    x, y, width, height = (int(v) for v in args[:4])
    pic = picture(args[4], width, height, colour(args[5]))
    shot = grab().crop((x * scale, y * scale, (x + width) * scale, (y + height) * scale))
    return str(mismatches(shot, pic))

def crisp(args):
    """For the scale x scale cells of an area: cells, cells of more than one colour."""
    x, y, width, height = (int(v) for v in args)
    shot = grab().crop((x * scale, y * scale, (x + width) * scale, (y + height) * scale))
    mixed = 0
    for cy in range(height):
        for cx in range(width):
            cell = shot.crop((cx * scale, cy * scale, (cx + 1) * scale, (cy + 1) * scale))
            if len(set(cell.getdata())) > 1:
                mixed += 1
    return "%d %d" % (width * height, mixed)

def shot(args):
    grab().save(args[0])
    return args[0]

print({"mage": mage, "box": box, "other": other, "same": same, "crisp": crisp, "shot": shot}[sys.argv[1]](sys.argv[2:]))
PY

SCALE=1
AREA=
probe() { SCALE=$SCALE AREA=$AREA PICTURES=$PICTURES "$PYTHON" "$WORK/probe.py" "$@"; }
now_ms() { date +%s%3N; }

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

# walk KEY DX DY: holds KEY for about 12 ticks and checks that the mage moved
# in the direction (DX, DY) by as many steps as the hold lasted ticks, within
# two ticks, and that it faces the way a sideways walk turns it.
walk() {
    local key=$1 dx=$2 dy=$3 before after t0 t1
    before=$(mage_settled 10) || die "$RUN: the mage cannot be found before $key"
    xdotool keydown "$key"
    t0=$(now_ms)
    sleep 0.6
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
    in_range "$steps" $((ticks - 2)) $((ticks + 2)) ||
        die "$RUN: holding $key for $held ms (~$ticks ticks) moved the mage $steps steps ($before -> $after)"
    case $key in
        d) [ "$face" = mage_right ] || die "$RUN: after D the mage shows $face, not mage_right" ;;
        a) [ "$face" = mage_left ] || die "$RUN: after A the mage shows $face, not mage_left" ;;
    esac
    say "$RUN: $key held $held ms (~$ticks ticks): $steps steps, from ${bx},${by} to ${ax},${ay}, $face"
}

# open_battlefield HOW: starts the game and presses Start by "click" or
# "enter"; sets GAME_PID, TITLE, FIELD and AREA.
open_battlefield() {
    local how=$1
    env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$SCALE "$GAME" >"$WORK/game.log" 2>&1 &
    GAME_PID=$!
    PIDS+=("$GAME_PID")
    # A loaded machine may take a while to start the first Qt program.
    local deadline=$((SECONDS + 60))
    until TITLE=$(find_window 1); do
        kill -0 "$GAME_PID" 2>/dev/null || die "$RUN: the game ended before its window showed (log: $(tr '\n' ' ' <"$WORK/game.log"))"
        [ $SECONDS -lt $deadline ] || die "$RUN: no window named Zorvane within 60 s (log: $(tr '\n' ' ' <"$WORK/game.log"))"
    done
    eval "$(xdotool getwindowgeometry --shell "$TITLE")"
    [ "$WIDTH" = $((TITLE_W * SCALE)) ] && [ "$HEIGHT" = $((TITLE_H * SCALE)) ] ||
        die "$RUN: the title's client area is ${WIDTH}x${HEIGHT}, not $((TITLE_W * SCALE))x$((TITLE_H * SCALE))"
    AREA="$X,$Y,$TITLE_W,$TITLE_H"
    # Without a frame the outer width is the client width; Form_Load puts
    # the button's Left at half of it less half the button, in twips.
    local left=$(((TITLE_W * 15 - 2775 + 15) / 30))   # lround((W/2 - 1387.5) / 15)
    local b
    deadline=$((SECONDS + 10))
    # Below the texts only the button is not cyan: wait until it is painted.
    while :; do
        b=$(probe other 0,255,255 0 $((BUTTON_TOP - 30)) $TITLE_W $((TITLE_H - BUTTON_TOP + 30)))
        [ "$b" != none ] && break
        [ $SECONDS -lt $deadline ] || die "$RUN: the Start button was never painted"
        sleep 0.1
    done
    read -r bx by bw bh <<<"$b"
    [ "$b" = "$left $BUTTON_TOP $BUTTON_W $BUTTON_H" ] ||
        die "$RUN: the Start button covers '$b' (x y width height), not '$left $BUTTON_TOP $BUTTON_W $BUTTON_H'"
    case $how in
        click)
            # A click in the middle of the button's design rectangle.
            xdotool mousemove --window "$TITLE" $(((left + BUTTON_W / 2) * SCALE)) $(((BUTTON_TOP + BUTTON_H / 2) * SCALE))
            xdotool mousedown 1
            sleep 0.1
            xdotool mouseup 1
            ;;
        enter)
            xdotool windowfocus --sync "$TITLE" 2>/dev/null || true
            xdotool keydown Return
            sleep 0.1
            xdotool keyup Return
            ;;
    esac
    FIELD=$(find_other_window 15 "$TITLE") || die "$RUN: pressing Start ($how) did not open the battlefield"
    eval "$(xdotool getwindowgeometry --shell "$FIELD")"
    [ "$WIDTH" = $((FIELD_W * SCALE)) ] && [ "$HEIGHT" = $((FIELD_H * SCALE)) ] ||
        die "$RUN: the battlefield's client area is ${WIDTH}x${HEIGHT}"
    AREA="$X,$Y,$FIELD_W,$FIELD_H"
    local start
    start=$(mage_settled 15) || die "$RUN: no mage on the battlefield"
    [ "$start" = "$HERO_X $HERO_Y mage_left 0" ] || die "$RUN: the mage starts at '$start', not '$HERO_X $HERO_Y mage_left 0'"
    # The title goes once the battlefield is up.
    deadline=$((SECONDS + 10))
    while xdotool search --onlyvisible --name '^Zorvane$' 2>/dev/null | grep -qx "$TITLE"; do
        [ $SECONDS -lt $deadline ] || die "$RUN: the title window is still shown"
        sleep 0.1
    done
    xdotool windowfocus --sync "$FIELD" 2>/dev/null || true
    say "$RUN: Start ($how) opened the battlefield; the mage stands at $HERO_X,$HERO_Y"
}

close_battlefield() {
    close_window "$FIELD" || die "$RUN: could not send the close request"
    wait_exit "$GAME_PID" 10 "$WORK/game.log"
    say "$RUN: closing the battlefield ended the program with status 0"
}

# Run 1 ---------------------------------------------------------------------
RUN="click start"
start_display 1920 1080
open_battlefield click

walk d 1 0
walk s 0 1
walk a -1 0
walk w 0 -1
read -r mx my _ _ <<<"$(mage_settled 10)" || die "$RUN: the mage is lost"

# A left click away from the mage casts fire: a red box leaves the mage and
# flies towards the cursor.
tx=1300 ty=760
xdotool mousemove --window "$FIELD" $tx $ty
xdotool mousedown 1
sleep 0.1
xdotool mouseup 1
# (Below the castle's life bar, whose anti-aliased text is a blend of black
# and magenta.)
BELOW_BAR="0 40 $FIELD_W $((FIELD_H - 40))"
first=$(wait_box $FIRE 10 $BELOW_BAR) || die "$RUN: a left click cast no fire"
read -r fx fy fw fh <<<"$first"
[ "$fw" = 31 ] && [ "$fh" = 31 ] || die "$RUN: the fire's red is ${fw}x${fh}, not 31x31 inside its frame"
# It starts on the mage (top-left corners together), 13.3 px a tick; the
# first sighting may come a few ticks into the flight.
[ $(((fx - mx) * (fx - mx) + (fy - my) * (fy - my))) -le $((15 * 14 * 15 * 14)) ] ||
    die "$RUN: the fire first shows at $fx,$fy, more than 15 ticks' flight from the mage at $mx,$my"
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
"$PYTHON" - "$fx" "$fy" "$lx" "$ly" "$((mx + 1))" "$((my + 1))" "$((tx + 1))" "$((ty + 1))" <<'PY' || die "$RUN: the fire flies from $fx,$fy to $lx,$ly, not from the mage at $mx,$my towards the cursor at $tx,$ty"
import math, sys
fx, fy, lx, ly, sx, sy, tx, ty = map(float, sys.argv[1:])
ux, uy = tx - sx, ty - sy
n = math.hypot(ux, uy)
def off_line(x, y):  # distance from the line, and how far along it
    return abs((x - sx) * uy - (y - sy) * ux) / n, ((x - sx) * ux + (y - sy) * uy) / n
d1, a1 = off_line(fx, fy)
d2, a2 = off_line(lx, ly)
sys.exit(0 if d1 <= 2 and d2 <= 2 and a2 > a1 >= -1 else 1)
PY
say "$RUN: a left click at $tx,$ty cast fire; it flew from $fx,$fy to $lx,$ly"

# Holding the right button shows the special above the mage, growing.
xdotool mousemove --window "$FIELD" 1300 150
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
ice() { probe same $((TYPE_X + 2)) $((TYPE_Y + 2)) 29 29 icon_ice.gif 239,239,239; }
[ "$(ice)" != 0 ] || die "$RUN: the indicator shows ice before 2 was pressed"
xdotool keydown 2
sleep 0.2
xdotool keyup 2
deadline=$((SECONDS + 10))
until [ "$(ice)" = 0 ]; do
    [ $SECONDS -lt $deadline ] || die "$RUN: after 2 the indicator does not show the ice icon ($(ice) pixels differ)"
    sleep 0.1
done
say "$RUN: key 2 put the ice icon in the indicator"
probe shot "$OUT/real-input-click.png" >/dev/null
close_battlefield
stop_all

# Run 2 ---------------------------------------------------------------------
RUN="enter start"
start_display 1920 1080
open_battlefield enter
walk d 1 0
probe shot "$OUT/real-input-enter.png" >/dev/null
close_battlefield
stop_all

# Run 3 ---------------------------------------------------------------------
RUN="scale 2"
SCALE=2
start_display 3300 1900
open_battlefield click
# Crisp pixel art: every 2 x 2 cell of the mage and of the indicator's icon
# is one colour.
read -r cells mixed <<<"$(probe crisp $HERO_X $HERO_Y $HERO_W $HERO_H)"
[ "$mixed" = 0 ] || die "$RUN: $mixed of the mage's $cells cells are blended"
read -r cells mixed <<<"$(probe crisp $((TYPE_X + 2)) $((TYPE_Y + 2)) 29 29)"
[ "$mixed" = 0 ] || die "$RUN: $mixed of the indicator's $cells cells are blended"
[ "$(probe same $((TYPE_X + 2)) $((TYPE_Y + 2)) 29 29 icon_fire.gif 239,239,239)" = 0 ] ||
    die "$RUN: the fire icon is not at $((2 * TYPE_X + 4)),$((2 * TYPE_Y + 4)) doubled"
walk d 1 0
read -r _ _ cw ch <<<"$(probe box 192,0,192)"
[ "$cw" = 441 ] || die "$RUN: the castle's life bar is $cw px wide, not 441 (882 at scale 2)"
say "$RUN: the mage at $((2 * HERO_X)),$((2 * HERO_Y)), the fire icon at $((2 * TYPE_X + 4)),$((2 * TYPE_Y + 4)) and the life bar $((2 * cw)) px wide, all doubled; no blended 2x2 cells"
probe shot "$OUT/real-input-2x.png" >/dev/null
close_battlefield
stop_all

say "PASS"
