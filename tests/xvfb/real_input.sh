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
# a screenshot of each run.
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

# The screen reader: grabs the window's area of the screen and measures it.
# Arguments and results are in logical pixels, relative to the window.
cat >"$WORK/probe.py" <<'PY'
import hashlib, math, os, sys
from fractions import Fraction
from PIL import Image, ImageChops, ImageGrab

# Screen pixels per design pixel: 1, 2 (QT_SCALE_FACTOR=2), or the zoom of a
# window zoomed to fit a small screen, such as 4/5.
scale = Fraction(os.environ["SCALE"])
zoomed = scale.denominator != 1
if not zoomed:
    scale = int(scale)
# (The window command searches the whole screen: it needs no area.)
x0, y0, w, h = (int(v) for v in (os.environ["AREA"] or "0,0,0,0").split(","))
pictures = os.environ["PICTURES"]

def grab():
    return ImageGrab.grab(bbox=(x0, y0, x0 + math.ceil(w * scale), y0 + math.ceil(h * scale)),
                          xdisplay=os.environ["DISPLAY"]).convert("RGB")

def on_screen(x, y, width, height):
    """The screen pixels, relative to the window, that show a design area."""
    return (math.floor(x * scale), math.floor(y * scale), math.ceil((x + width) * scale),
            math.ceil((y + height) * scale))

def in_design(b, x=0, y=0):
    """A box of screen pixels relative to (x, y) in design pixels: x y width height."""
    if not zoomed:
        return "%g %g %g %g" % (x + b[0] / scale, y + b[1] / scale, (b[2] - b[0]) / scale, (b[3] - b[1]) / scale)
    left, top = round(x + b[0] / scale), round(y + b[1] / scale)
    return "%d %d %d %d" % (left, top, round(x + b[2] / scale) - left, round(y + b[3] / scale) - top)

def mask(im, rgb):
    """A picture that is 255 exactly where im has the colour rgb."""
    bands = [b.point(lambda v, c=c: 255 if v == c else 0) for b, c in zip(im.split(), rgb)]
    return ImageChops.multiply(ImageChops.multiply(bands[0], bands[1]), bands[2])

def colour(text):
    return tuple(int(v) for v in text.split(","))

def picture(name, width, height, back=(0, 128, 0), scaled=True):
    """The top-left width x height of a picture as a box of colour back shows
    it, at a whole-number scale (or at full size)."""
    im = Image.open(os.path.join(pictures, name)).convert("RGBA")
    ground = Image.new("RGBA", im.size, back + (255,))
    im = Image.alpha_composite(ground, im).convert("RGB").crop((0, 0, width, height))
    if not scaled or scale == 1:
        return im
    return im.resize((width * int(scale), height * int(scale)), Image.Resampling.NEAREST)

def mismatches(a, b):
    diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v else 0)
    return diff.histogram()[255]

def taps(start, count):
    """For zoomed pixels start.. of a zoomed window, the design pixels each
    covers and how much of each (in 1/num of a pixel; they add up to den):
    a zoomed pixel shows their mean, as the game scales its picture."""
    p, q = scale.numerator, scale.denominator
    result = []
    for i in range(start, start + count):
        lo, hi = i * q, i * q + q
        result.append([(j, min(hi, (j + 1) * p) - max(lo, j * p)) for j in range(lo // p, (hi + p - 1) // p)])
    return result

def zoomed_inside(pic, rx, ry):
    """The zoomed pixels wholly inside a box that shows pic at design (rx, ry):
    the picture they make and its top-left zoomed pixel."""
    left, top = math.ceil(rx * scale), math.ceil(ry * scale)
    right, bottom = math.floor((rx + pic.width) * scale), math.floor((ry + pic.height) * scale)
    xs, ys = taps(left, right - left), taps(top, bottom - top)
    src, area = pic.load(), scale.denominator ** 2
    out = Image.new("RGB", (right - left, bottom - top))
    for oy, ty in enumerate(ys):
        for ox, tx in enumerate(xs):
            sums = [0, 0, 0]
            for j, wy in ty:
                for i, wx in tx:
                    c = src[i - rx, j - ry]
                    for k in range(3):
                        sums[k] += c[k] * wx * wy
            out.putpixel((ox, oy), tuple((v + area // 2) // area for v in sums))
    return out, left, top

def find_zoomed(shot, pic, gx, gy, reach):
    """Where pic shows in a zoomed shot near design (gx, gy): the
    design position whose zoomed pixels match best, and how many differ."""
    q = scale.denominator
    refs, best = {}, None
    for y in range(gy - reach, gy + reach + 1):
        for x in range(gx - reach, gx + reach + 1):
            phase = (x % q, y % q)
            if phase not in refs:
                refs[phase] = zoomed_inside(pic, *phase)
            ref, left, top = refs[phase]
            left += (x - phase[0]) * scale
            top += (y - phase[1]) * scale
            bad = mismatches(shot.crop((left, top, left + ref.width, top + ref.height)), ref)
            if best is None or bad < best[0]:
                best = (bad, x, y, ref.width * ref.height)
    return best

def mage(args):
    """Where the mage stands and which way it faces: x y name mismatches."""
    hat = colour(args[0])
    shot = grab()
    if zoomed:
        return mage_zoomed(shot, hat)
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

def mage_zoomed(shot, hat):
    """Zoomed, no pixel keeps the hat's exact colour: the mage is looked for
    where the most yellow is, but not in the castle, whose flag is as yellow,
    and is then matched in every design position near there."""
    r, g, b = shot.split()
    yellow = ImageChops.multiply(ImageChops.multiply(r.point(lambda v: 255 if v > 190 else 0),
                                                     g.point(lambda v: 255 if v > 130 else 0)),
                                 b.point(lambda v: 255 if v < 90 else 0))
    yellow.paste(0, on_screen(0, 0, 441, 281))
    cells = yellow.reduce(8)
    counts = list(cells.getdata())
    at = max(range(len(counts)), key=counts.__getitem__)
    if not counts[at]:
        return "none"
    # The hat's middle is some 24, 15 pixels into the picture.
    gx = round(((at % cells.width) * 8 + 4) / scale) - 24
    gy = round(((at // cells.width) * 8 + 4) / scale) - 15
    best = None
    for name in ("mage_left", "mage_right"):
        bad, x, y, size = find_zoomed(shot, picture(name + ".gif", 45, 49, scaled=False), gx, gy,
                                      round(6 / scale) + 4)
        if best is None or bad < best[3]:
            best = (x, y, name, bad)
    if best[3] > 0.05 * size:
        return "none"
    return "%d %d %s %d" % best

def box(args):
    """The bounding box of one exact colour, in the whole window or in the
    area x y width height: x y width height, or none. (Zoomed, only the pixels
    wholly of that colour keep it: the box is whole pixels, within one.)"""
    x, y, width, height = (int(v) for v in args[1:5]) if len(args) > 1 else (0, 0, w, h)
    area = grab().crop(on_screen(x, y, width, height))
    b = mask(area, colour(args[0])).getbbox()
    if not b:
        return "none"
    return in_design(b, x, y)

def other(args):
    """The bounding box of everything but one colour in an area: x y width height."""
    x, y, width, height = (int(v) for v in args[1:5])
    area = grab().crop(on_screen(x, y, width, height))
    b = ImageChops.invert(mask(area, colour(args[0]))).getbbox()
    if not b:
        return "none"
    return in_design(b, x, y)

def digest(args):
    """A digest of what an area x y width height shows."""
    return hashlib.sha1(grab().crop(on_screen(*(int(v) for v in args))).tobytes()).hexdigest()

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

def window(args):
    """A window found on the whole screen by the colour that fills its client
    area: x y width height of that area, then the frame around it, left top
    right bottom: how far what is not the desktop's colour reaches beyond it.
    The corner where the pointer is parked counts as desktop."""
    width, height = (int(v) for v in os.environ["SCREEN"].split(","))
    screen = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB").crop((0, 0, width, height))
    screen.paste(colour(args[1]), (width - 8, height - 8, width, height))
    b = mask(screen, colour(args[0])).getbbox()
    if not b:
        return "none"
    near = (max(b[0] - 80, 0), max(b[1] - 80, 0), min(b[2] + 80, screen.width), min(b[3] + 80, screen.height))
    o = ImageChops.invert(mask(screen.crop(near), colour(args[1]))).getbbox()
    outer = (near[0] + o[0], near[1] + o[1], near[0] + o[2], near[1] + o[3])
    return "%d %d %d %d %d %d %d %d" % (b[0], b[1], b[2] - b[0], b[3] - b[1],
                                        b[0] - outer[0], b[1] - outer[1], outer[2] - b[2], outer[3] - b[3])

def killers(args):
    """The top-left corners of the castle killers in the lower right quarter,
    right to left: x,y ... Each is found by the light grey of its armour and
    kept only if the whole picture is there."""
    grey = colour(args[0])
    x, y = w // 2, h // 2
    whole = grab()
    shot = whole.crop(on_screen(x, y, w - x, h - y))
    pic = picture("invader.gif", 55, 54, scaled=not zoomed)
    pbox = mask(pic, grey).getbbox()
    if zoomed:
        # Only the armour's lightest parts stay nearly as light.
        r, g, b = shot.split()
        m = ImageChops.multiply(ImageChops.multiply(r.point(lambda v: 255 if v > 225 else 0),
                                                    g.point(lambda v: 255 if v > 225 else 0)),
                                b.point(lambda v: 255 if v > 225 else 0))
    else:
        m = mask(shot, grey)
    found = []
    cols = [c for c in range(m.width) if m.crop((c, 0, c + 1, m.height)).getbbox()]
    groups = []
    for c in cols:  # killers on one track are far apart, so columns separate them
        if groups and c - groups[-1][1] <= 2:
            groups[-1][1] = c
        else:
            groups.append([c, c])
    for c0, c1 in groups:
        b = m.crop((c0, 0, c1 + 1, m.height)).getbbox()
        if zoomed:
            # (The killer's position relative to the quarter, which starts
            # on a zoomed pixel: the search is in the window's design pixels.)
            gx = round((on_screen(x, y, 0, 0)[0] + c0 + b[0]) / scale) - pbox[0]
            gy = round((on_screen(x, y, 0, 0)[1] + b[1]) / scale) - pbox[1]
            bad, kx, ky, size = find_zoomed(whole, pic, gx, gy, round(3 / scale) + 2)
            if bad <= 0.05 * size:
                found.append("%d,%d" % (kx, ky))
            continue
        left, top = c0 + b[0] - pbox[0], b[1] - pbox[1]
        seen = shot.crop((left, top, left + pic.width, top + pic.height))
        if mismatches(seen, pic) <= 0.05 * pic.width * pic.height:
            found.append("%g,%g" % (x + left / scale, y + top / scale))
    return " ".join(reversed(found)) or "none"

print({"mage": mage, "box": box, "other": other, "same": same, "crisp": crisp, "shot": shot, "window": window,
       "killers": killers, "digest": digest}[sys.argv[1]](sys.argv[2:]))
PY

# QT_FACTOR is the QT_SCALE_FACTOR the game runs with, SCALE the screen
# pixels per design pixel of the window measured last: QT_FACTOR, or with
# ZOOMED=1 the zoom the window chose to fit the screen (such as 4/5).
QT_FACTOR=1 SCALE=1 ZOOMED=0
AREA=
probe() { SCALE=$SCALE AREA=$AREA SCREEN="$SCREEN_W,$SCREEN_H" PICTURES=$PICTURES "$PYTHON" "$WORK/probe.py" "$@"; }
now_ms() { date +%s%3N; }

# design_of PIXELS: screen pixels of the window as design pixels, rounded, as
# the game reads a press.
design_of() {
    local num=${SCALE%/*} den=1
    [[ $SCALE == */* ]] && den=${SCALE#*/}
    echo $(((2 * $1 * den + num) / (2 * num)))
}

# at PIXELS: design pixels as screen pixels of the window, rounded.
at() {
    local num=${SCALE%/*} den=1
    [[ $SCALE == */* ]] && den=${SCALE#*/}
    echo $(((2 * $1 * num + den) / (2 * den)))
}

# zoom_of CW CH W H: the zoom (num/den, den at most 8) that makes a W x H
# client area CW x CH pixels, as the game rounds it; fails if none does.
zoom_of() {
    "$PYTHON" - "$@" <<'PY'
import sys
from fractions import Fraction
cw, ch, w, h = map(int, sys.argv[1:])
for den in range(1, 9):
    for num in range(1, den + 1):
        z = Fraction(num, den)
        if int(w * z + Fraction(1, 2)) == cw and int(h * z + Fraction(1, 2)) == ch:
            sys.exit(print(z if z.denominator > 1 else 1))
sys.exit(1)
PY
}

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
            found=$(probe window "$rgb" "$BACKGROUND")
        fi
        read -r CX CY CW CH FL FT FR FB <<<"$found"
        if [ "$ZOOMED" = 1 ]; then
            [ "$found" != none ] && zoom=$(zoom_of "$CW" "$CH" "$3" "$4") &&
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
    xdotool mousemove $((CX + $(at "$1"))) $((CY + $(at "$2")))
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
        [ "$(probe window 0,255,255 "$BACKGROUND")" != none ]
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
    local gx gy
    gx=$(design_of "$(at $tx)") gy=$(design_of "$(at $ty)")
    "$PYTHON" - "$fx" "$fy" "$lx" "$ly" "$((mx + 1))" "$((my + 1))" "$((gx + 1))" "$((gy + 1))" "$slack" <<'PY' || die "$RUN: the fire flies from $fx,$fy to $lx,$ly, not from the mage at $mx,$my towards the cursor at $gx,$gy"
import math, sys
fx, fy, lx, ly, sx, sy, tx, ty, slack = map(float, sys.argv[1:])
ux, uy = tx - sx, ty - sy
n = math.hypot(ux, uy)
def off_line(x, y):  # distance from the line, and how far along it
    return abs((x - sx) * uy - (y - sy) * ux) / n, ((x - sx) * ux + (y - sy) * uy) / n
d1, a1 = off_line(fx, fy)
d2, a2 = off_line(lx, ly)
sys.exit(0 if d1 <= slack and d2 <= slack and a2 > a1 >= 1 - slack else 1)
PY
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
    off=$(off_track $outer_w $outer_h "$kx" "$ky")
    "$PYTHON" -c 'import sys; sys.exit(abs(float(sys.argv[1])) > 1.5)' "$off" ||
        die "$RUN: the castle killer at $kx,$ky is $off px off the track from the outer size ${outer_w}x${outer_h}"
    say "$RUN: a castle killer at $kx,$ky is $off px off the track of the outer size ${outer_w}x${outer_h}, $(off_track $FIELD_W $FIELD_H "$kx" "$ky") px off the one of the client size"
}
# How far the killer is below the line from the spawn point of an outer size.
off_track() { "$PYTHON" -c 'import sys; w, h, x, y = map(float, sys.argv[1:])
print("%.1f" % (y - (h - 1000 / 15) + 30 / 55 * (w - 1000 / 15 - x)))' "$@"; }

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
