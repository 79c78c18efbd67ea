"""Reads the game's windows off the screen of a virtual display.

    python3 screen.py [--scale S] [--area X,Y,W,H] [--pictures DIR] [--scale-down TOOL --cache DIR]
                      COMMAND ARG...

Positions and sizes, in the arguments and in what is printed, are in design
pixels relative to the client area of the window measured (--area: its
top-left screen pixel and its size in design pixels). --scale is how many
screen pixels show one design pixel: 1, 2 (QT_SCALE_FACTOR=2), or the zoom
of a window zoomed to fit a small screen, such as 4/5, which the window's
size tells (the zoom command). A zoomed window is compared with pictures
scaled by the game's own scaling (--scale-down, the tool zorvane-scale-down).
Each command prints its answer; the checks also end with status 1 when what
they check does not hold. See COMMANDS at the end, and each command's own
words.
"""

import argparse
import hashlib
import math
import os
import subprocess
import sys
from fractions import Fraction

from PIL import Image, ImageChops, ImageGrab

GREEN = (0, 128, 0)  # the battlefield
MAGE_SIZE = (45, 49)
INVADER_SIZE = (55, 54)
# A found picture may differ from the one on file in this share of its pixels.
MISMATCH_SHARE = 0.05


def colour(text):
    """"r,g,b" as a tuple."""
    return tuple(int(v) for v in text.split(","))


def half_up(value):
    """A Fraction rounded to the nearest whole number, halves up."""
    return math.floor(value + Fraction(1, 2))


def mask(im, lowest, highest=None):
    """A picture that is 255 where every band of im is within lowest..highest
    (both included; by default exactly lowest), 0 elsewhere."""
    highest = highest or lowest
    bands = [b.point(lambda v, lo=lo, hi=hi: 255 if lo <= v <= hi else 0)
             for b, lo, hi in zip(im.split(), lowest, highest)]
    return ImageChops.multiply(ImageChops.multiply(bands[0], bands[1]), bands[2])


def mismatches(a, b):
    """How many pixels of two pictures of one size differ."""
    diff = ImageChops.difference(a, b).convert("L").point(lambda v: 255 if v else 0)
    return diff.histogram()[255]


def mismatches_at(seen, pic, left, top):
    """How many pixels of seen differ from pic with its top-left corner at
    (left, top) of seen."""
    return mismatches(seen.crop((left, top, left + pic.width, top + pic.height)), pic)


class View:
    """A window's client area on the screen and the screen pixels per design pixel."""

    def __init__(self, scale, area, pictures, scale_down="", cache=""):
        self.scale = Fraction(scale)
        self.zoomed = self.scale.denominator != 1
        if not self.zoomed:
            self.scale = int(self.scale)
        self.x0, self.y0, self.w, self.h = (int(v) for v in (area or "0,0,0,0").split(","))
        self.pictures = pictures
        self.scale_down, self.cache = scale_down, cache

    def grab(self):
        """The client area as the screen shows it."""
        return ImageGrab.grab(bbox=(self.x0, self.y0, self.x0 + math.ceil(self.w * self.scale),
                                    self.y0 + math.ceil(self.h * self.scale)),
                              xdisplay=os.environ["DISPLAY"]).convert("RGB")

    def on_screen(self, x, y, width, height):
        """The screen pixels, relative to the window, that show a design area."""
        s = self.scale
        return (math.floor(x * s), math.floor(y * s), math.ceil((x + width) * s), math.ceil((y + height) * s))

    def inside(self, x, y, width, height):
        """The screen pixels, relative to the window, wholly inside a design area."""
        s = self.scale
        return (math.ceil(x * s), math.ceil(y * s), math.floor((x + width) * s), math.floor((y + height) * s))

    def to_screen(self, at):
        """A design coordinate as the nearest screen pixel of the window."""
        return half_up(Fraction(at) * self.scale)

    def to_design(self, at):
        """A screen pixel of the window in whole design pixels, as the game
        reads a press there."""
        return half_up(Fraction(at) / self.scale)

    def in_design(self, b, x=0, y=0):
        """A box of screen pixels relative to (x, y) in design pixels: x y
        width height (zoomed, in whole design pixels)."""
        if not self.zoomed:
            s = self.scale
            return "%g %g %g %g" % (x + b[0] / s, y + b[1] / s, (b[2] - b[0]) / s, (b[3] - b[1]) / s)
        dx, dy = self.on_screen(x, y, 0, 0)[:2]
        left, top = self.to_design(dx + b[0]), self.to_design(dy + b[1])
        return "%d %d %d %d" % (left, top, self.to_design(dx + b[2]) - left, self.to_design(dy + b[3]) - top)

    def picture(self, name, size, back=GREEN, scaled=True):
        """The top-left part of a picture on file, of size (width, height), as
        a box of colour back shows it: at a whole-number scale, or at full size."""
        im = Image.open(os.path.join(self.pictures, name)).convert("RGBA")
        ground = Image.new("RGBA", im.size, back + (255,))
        im = Image.alpha_composite(ground, im).convert("RGB").crop((0, 0) + size)
        if not scaled or self.scale == 1:
            return im
        return im.resize((size[0] * int(self.scale), size[1] * int(self.scale)), Image.Resampling.NEAREST)

    # Zoomed pictures, as the game scales them -------------------------------

    def zoomed_pictures(self, name, size, phases):
        """For each phase (px, py), the zoomed pixels wholly inside a box that
        shows the picture on file name (its top-left part of size, on the
        battlefield's green) at design (px, py): the picture they make and its
        top-left zoomed pixel. They come from the game's own scaling
        (--scale-down), kept in --cache from one reading to the next."""
        num, den = self.scale.numerator, self.scale.denominator
        pic = self.picture(name, size, scaled=False)
        result, jobs = {}, []
        for px, py in sorted(set(phases)):
            left, top, right, bottom = self.inside(px, py, pic.width, pic.height)
            out = os.path.join(self.cache, "%s-%dx%d-%d-%d-at-%d-%d.png" % ((name,) + size + (num, den, px, py)))
            result[(px, py)] = (out, left, top)
            if not os.path.exists(out):
                full = out + ".full.png"
                canvas = Image.new("RGB", (px + pic.width, py + pic.height), GREEN)
                canvas.paste(pic, (px, py))
                canvas.save(full)
                jobs.append((full, "%d %d %d %d %d %d" % (num, den, left, top, right - left, bottom - top), out))
        if jobs:
            # (Written under other names first: a reading cut short leaves no
            # half-written picture in the cache.)
            lines = "".join("%s %s %s.part\n" % job for job in jobs)
            subprocess.run([self.scale_down], input=lines, text=True, check=True)
            for _, _, out in jobs:
                os.replace(out + ".part", out)
        return {phase: (Image.open(out).convert("RGB"), left, top) for phase, (out, left, top) in result.items()}

    def find_zoomed(self, shot, name, size, gx, gy, reach):
        """Where a picture on file shows in a zoomed shot of the window near
        design (gx, gy): the design position whose zoomed pixels match best,
        how many of them differ and how many there are: mismatches x y pixels."""
        q = self.scale.denominator
        spots = [(x, y) for y in range(gy - reach, gy + reach + 1) for x in range(gx - reach, gx + reach + 1)]
        refs = self.zoomed_pictures(name, size, [(x % q, y % q) for x, y in spots])
        best = None
        for x, y in spots:
            ref, left, top = refs[(x % q, y % q)]
            left += int((x - x % q) * self.scale)
            top += int((y - y % q) * self.scale)
            bad = mismatches(shot.crop((left, top, left + ref.width, top + ref.height)), ref)
            if best is None or bad < best[0]:
                best = (bad, x, y, ref.width * ref.height)
        return best


# Commands on the window --------------------------------------------------------


def mage(view, hat):
    """Where the mage stands and which way it faces: x y name mismatches, or
    none. It is found by the yellow of its hat and gloves."""
    hat = colour(hat)
    seen = view.grab()
    if view.zoomed:
        return mage_zoomed(view, seen)
    yellow = mask(seen, hat).getbbox()
    if not yellow:
        return "none"
    best = None
    for name in ("mage_left", "mage_right"):
        pic = view.picture(name + ".gif", MAGE_SIZE)
        pbox = mask(pic, hat).getbbox()
        left, top = yellow[0] - pbox[0], yellow[1] - pbox[1]
        bad = mismatches_at(seen, pic, left, top)
        if best is None or bad < best[3]:
            best = (left / view.scale, top / view.scale, name, bad)
    if best[3] > MISMATCH_SHARE * MAGE_SIZE[0] * MAGE_SIZE[1] * view.scale * view.scale:
        return "none"
    return "%g %g %s %d" % best


def mage_zoomed(view, seen):
    """Zoomed, no pixel keeps the hat's exact colour: the mage is looked for
    where the most yellow is, but not in the castle, whose flag is as yellow,
    and is then matched in every design position near there."""
    yellow = mask(seen, (191, 131, 0), (255, 255, 89))
    yellow.paste(0, view.on_screen(0, 0, 441, 281))
    cells = yellow.reduce(8)
    counts = list(cells.getdata())
    at = max(range(len(counts)), key=counts.__getitem__)
    if not counts[at]:
        return "none"
    # The hat's middle is some 24, 15 pixels into the picture.
    gx = view.to_design((at % cells.width) * 8 + 4) - 24
    gy = view.to_design((at // cells.width) * 8 + 4) - 15
    best = None
    for name in ("mage_left", "mage_right"):
        bad, x, y, size = view.find_zoomed(seen, name + ".gif", MAGE_SIZE, gx, gy, half_up(6 / view.scale) + 4)
        if best is None or bad < best[3]:
            best = (x, y, name, bad)
    if best[3] > MISMATCH_SHARE * size:
        return "none"
    return "%d %d %s %d" % best


def area_of(view, args):
    """x y width height from the arguments, by default the whole window."""
    return tuple(int(v) for v in args[:4]) if args else (0, 0, view.w, view.h)


def box(view, rgb, *area):
    """The bounding box of one exact colour, in the whole window or in the
    area x y width height: x y width height, or none. (Zoomed, only the pixels
    wholly of that colour keep it: the box is whole pixels, within one.)"""
    x, y, width, height = area_of(view, area)
    b = mask(view.grab().crop(view.on_screen(x, y, width, height)), colour(rgb)).getbbox()
    return view.in_design(b, x, y) if b else "none"


def other(view, rgb, *area):
    """The bounding box of everything but one colour in an area: x y width
    height, or none."""
    x, y, width, height = area_of(view, area)
    b = ImageChops.invert(mask(view.grab().crop(view.on_screen(x, y, width, height)), colour(rgb))).getbbox()
    return view.in_design(b, x, y) if b else "none"


def digest(view, *area):
    """A digest of what an area x y width height shows."""
    return hashlib.sha1(view.grab().crop(view.on_screen(*area_of(view, area))).tobytes()).hexdigest()


def same(view, x, y, width, height, name, back):
    """How many screen pixels of an area differ from the picture on file
    name, drawn at its top-left corner on colour back."""
    x, y, width, height = (int(v) for v in (x, y, width, height))
    pic = view.picture(name, (width, height), colour(back))
    return str(mismatches(view.grab().crop(view.on_screen(x, y, width, height)), pic))


def crisp(view, *area):
    """For the scale x scale cells of an area (one a design pixel): cells,
    cells of more than one colour."""
    x, y, width, height = area_of(view, area)
    seen, s = view.grab().crop(view.on_screen(x, y, width, height)), view.scale
    mixed = 0
    for cy in range(height):
        for cx in range(width):
            if len(set(seen.crop((cx * s, cy * s, (cx + 1) * s, (cy + 1) * s)).getdata())) > 1:
                mixed += 1
    return "%d %d" % (width * height, mixed)


def shot(view, path):
    """Saves what the window shows as a picture file."""
    view.grab().save(path)
    return path


def killers(view, grey):
    """The top-left corners of the castle killers in the lower right quarter,
    right to left: x,y ..., or none. Each is found by the light grey of its
    armour and kept only if the whole picture is there."""
    grey = colour(grey)
    x, y = view.w // 2, view.h // 2
    whole = view.grab()
    quarter = view.on_screen(x, y, view.w - x, view.h - y)
    seen = whole.crop(quarter)
    pic = view.picture("invader.gif", INVADER_SIZE, scaled=not view.zoomed)
    pbox = mask(pic, grey).getbbox()
    # Zoomed, only the armour's lightest parts stay nearly as light.
    m = mask(seen, (226, 226, 226), (255, 255, 255)) if view.zoomed else mask(seen, grey)
    cols = [c for c in range(m.width) if m.crop((c, 0, c + 1, m.height)).getbbox()]
    groups = []
    for c in cols:  # killers on one track are far apart, so columns separate them
        if groups and c - groups[-1][1] <= 2:
            groups[-1][1] = c
        else:
            groups.append([c, c])
    found = []
    for c0, c1 in groups:
        b = m.crop((c0, 0, c1 + 1, m.height)).getbbox()
        if view.zoomed:
            # (The search is in the window's design pixels.)
            gx = view.to_design(quarter[0] + c0 + b[0]) - pbox[0]
            gy = view.to_design(quarter[1] + b[1]) - pbox[1]
            reach = half_up(3 / view.scale) + 2
            bad, kx, ky, size = view.find_zoomed(whole, "invader.gif", INVADER_SIZE, gx, gy, reach)
            if bad <= MISMATCH_SHARE * size:
                found.append("%d,%d" % (kx, ky))
            continue
        left, top = c0 + b[0] - pbox[0], b[1] - pbox[1]
        if mismatches_at(seen, pic, left, top) <= MISMATCH_SHARE * pic.width * pic.height:
            found.append("%g,%g" % (x + left / view.scale, y + top / view.scale))
    return " ".join(reversed(found)) or "none"


def point(view, x, y):
    """The screen pixel that shows a design point of the window: x y."""
    return "%d %d" % (view.x0 + view.to_screen(int(x)), view.y0 + view.to_screen(int(y)))


def design_point(view, x, y):
    """The design point of the window the game reads for a press at the
    screen pixel nearest design point x y (whole pixels when zoomed)."""
    return "%d %d" % (view.to_design(view.to_screen(int(x))), view.to_design(view.to_screen(int(y))))


# Commands on the whole screen --------------------------------------------------


def window(view, rgb, desktop, screen):
    """A window found on the whole screen by the colour that fills its client
    area: x y width height of that area, then the frame around it, left top
    right bottom: how far what is not the desktop's colour reaches beyond it,
    or none. The screen is W,H; the corner where the pointer is parked
    counts as desktop."""
    width, height = (int(v) for v in screen.split(","))
    grabbed = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB").crop((0, 0, width, height))
    grabbed.paste(colour(desktop), (width - 8, height - 8, width, height))
    b = mask(grabbed, colour(rgb)).getbbox()
    if not b:
        return "none"
    near = (max(b[0] - 80, 0), max(b[1] - 80, 0), min(b[2] + 80, width), min(b[3] + 80, height))
    o = ImageChops.invert(mask(grabbed.crop(near), colour(desktop))).getbbox()
    outer = (near[0] + o[0], near[1] + o[1], near[0] + o[2], near[1] + o[3])
    return "%d %d %d %d %d %d %d %d" % (b[0], b[1], b[2] - b[0], b[3] - b[1], b[0] - outer[0], b[1] - outer[1],
                                        outer[2] - b[2], outer[3] - b[3])


# Commands on picture files -----------------------------------------------------


def pixel(view, path, x, y):
    """The colour of one pixel of a picture file: r,g,b."""
    return "%d,%d,%d" % Image.open(path).convert("RGB").getpixel((int(x), int(y)))


def mean_column(view, path, x, y, width, height, rgb):
    """The mean column, relative to x and truncated, of the pixels of an area
    of a picture file that are not of one colour, or none."""
    x, y, width, height = (int(v) for v in (x, y, width, height))
    im, rgb = Image.open(path).convert("RGB"), colour(rgb)
    px = im.load()
    xs = [c for r in range(y, y + height) for c in range(x, x + width) if px[c, r] != rgb]
    return str(int(sum(xs) / len(xs)) - x) if xs else "none"


# Checks of numbers the screen gave -----------------------------------------------


class Failed(Exception):
    """A check that does not hold; its message is what is printed."""


def zoom(view, client_w, client_h, design_w, design_h):
    """The zoom a window chose, read off its size: the num/den (den at most
    8) that makes a design_w x design_h client area client_w x client_h
    pixels, as the game rounds a length (1 at full size); fails if none does."""
    cw, ch, w, h = (int(v) for v in (client_w, client_h, design_w, design_h))
    for den in range(1, 9):
        for num in range(1, den + 1):
            z = Fraction(num, den)
            if half_up(w * z) == cw and half_up(h * z) == ch:
                return str(z if z.denominator > 1 else 1)
    raise Failed("none")


def off_track(view, outer_w, outer_h, x, y, limit=None):
    """How far a castle killer at x, y is below the line on which killers
    walk from where they come in for the outer size outer_w x outer_h: 1000
    twips in from the right and the bottom, 55 twips left and 30 up a tick.
    With limit, fails when it is more than that off either way."""
    w, h, x, y = (float(v) for v in (outer_w, outer_h, x, y))
    off = y - (h - 1000 / 15) + 30 / 55 * (w - 1000 / 15 - x)
    if limit is not None and abs(off) > float(limit):
        raise Failed("%.1f" % off)
    return "%.1f" % off


def along(view, fx, fy, lx, ly, sx, sy, tx, ty, slack):
    """Whether a first sighting (fx, fy) and a later one (lx, ly) both lie
    within slack of the line from (sx, sy) towards (tx, ty), the first at
    least 1 - slack along it and the later farther."""
    fx, fy, lx, ly, sx, sy, tx, ty, slack = (float(v) for v in (fx, fy, lx, ly, sx, sy, tx, ty, slack))
    ux, uy = tx - sx, ty - sy
    n = math.hypot(ux, uy)

    def off_line(x, y):  # distance from the line, and how far along it
        return abs((x - sx) * uy - (y - sy) * ux) / n, ((x - sx) * ux + (y - sy) * uy) / n

    d1, a1 = off_line(fx, fy)
    d2, a2 = off_line(lx, ly)
    if not (d1 <= slack and d2 <= slack and a2 > a1 >= 1 - slack):
        raise Failed("%.1f off at %.1f, %.1f off at %.1f" % (d1, a1, d2, a2))
    return "%.1f off at %.1f, %.1f off at %.1f" % (d1, a1, d2, a2)


COMMANDS = {
    "mage": mage,
    "box": box,
    "other": other,
    "digest": digest,
    "same": same,
    "crisp": crisp,
    "shot": shot,
    "killers": killers,
    "point": point,
    "design-point": design_point,
    "window": window,
    "pixel": pixel,
    "mean-column": mean_column,
    "zoom": zoom,
    "off-track": off_track,
    "along": along,
}


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scale", default="1", help="screen pixels per design pixel: 1, 2, 4/5 ...")
    parser.add_argument("--area", default="", help="the client area: X,Y (screen) and W,H (design)")
    parser.add_argument("--pictures", default="", help="the folder of the game's pictures")
    parser.add_argument("--scale-down", default="", help="the game's scaling as a command (zorvane-scale-down)")
    parser.add_argument("--cache", default="", help="a folder where zoomed pictures are kept")
    parser.add_argument("command", choices=sorted(COMMANDS))
    parser.add_argument("args", nargs="*")
    options = parser.parse_args(argv)
    view = View(options.scale, options.area, options.pictures, options.scale_down, options.cache)
    try:
        print(COMMANDS[options.command](view, *options.args))
    except Failed as failed:
        print(failed)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
