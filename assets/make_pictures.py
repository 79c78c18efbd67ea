#!/usr/bin/python3
"""Builds the game's twelve pictures and the contact sheet.

Run from the repository root:

    /usr/bin/python3 assets/make_pictures.py                 # pictures only
    /usr/bin/python3 assets/make_pictures.py --contact-sheet # also docs/pictures.png
    /usr/bin/python3 assets/make_pictures.py --icons         # also the desktop icons

The desktop icons are the mage icon on a transparent ground, enlarged or
reduced with nearest-neighbour sampling to the hicolor theme's sizes, in
packaging/icons/hicolor/<size>x<size>/apps/.

The pixel-art pictures come from the text maps in assets/src (one character
per pixel, with a colour legend at the top of each file).  The castle
photograph is painted here, from a fixed random seed.  The output is the same
byte for byte on every run: nothing depends on the clock, the machine or the
order of a directory listing.

Needs Pillow (Debian: python3-pil) and nothing else.
"""

from __future__ import annotations

import argparse
import io
import math
import random
import struct
import sys
from dataclasses import dataclass, field
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

ASSETS = Path(__file__).resolve().parent
SOURCES = ASSETS / "src"
PICTURES = ASSETS / "pictures"
CONTACT_SHEET = ASSETS.parent / "docs" / "pictures.png"
ICON_THEME = ASSETS.parent / "packaging" / "icons" / "hicolor"
APP_ID = "io.github.zorvane.Zorvane"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

FIELD_GREEN = (0, 128, 0)      # the battlefield, behind every mage and invader
BUTTON_FACE = (240, 240, 240)  # the magic-type indicator and its sources
WHITE = (255, 255, 255)


# --------------------------------------------------------------------------
# Text pixel maps

@dataclass
class Colour:
    char: str
    rgb: tuple[int, int, int]
    transparent: bool
    note: str


@dataclass
class PixelMap:
    """A picture as rows of legend characters."""

    name: str
    width: int
    height: int
    legend: list[Colour]
    rows: list[str]

    def index_of(self, char: str) -> int:
        for i, colour in enumerate(self.legend):
            if colour.char == char:
                return i
        raise ValueError(f"{self.name}: '{char}' is not in the legend")

    def transparent_index(self) -> int | None:
        found = [i for i, c in enumerate(self.legend) if c.transparent]
        if len(found) > 1:
            raise ValueError(f"{self.name}: more than one transparent colour")
        return found[0] if found else None

    def mirrored(self, name: str) -> "PixelMap":
        return PixelMap(name, self.width, self.height, list(self.legend),
                        [row[::-1] for row in self.rows])

    def patched(self, patch: list[tuple[int, int, str]]) -> "PixelMap":
        rows = [list(row) for row in self.rows]
        for x, y, char in patch:
            if not (0 <= x < self.width and 0 <= y < self.height):
                raise ValueError(f"{self.name}: patch pixel {x},{y} is outside")
            self.index_of(char)
            rows[y][x] = char
        return PixelMap(self.name, self.width, self.height, self.legend,
                        ["".join(row) for row in rows])

    def palette_image(self, table_size: int) -> Image.Image:
        """An indexed image whose palette has exactly table_size entries."""
        if len(self.legend) > table_size:
            raise ValueError(f"{self.name}: {len(self.legend)} colours do not "
                             f"fit a {table_size}-colour palette")
        lookup = {c.char: i for i, c in enumerate(self.legend)}
        im = Image.new("P", (self.width, self.height))
        im.putdata([lookup[ch] for row in self.rows for ch in row])
        palette = [v for c in self.legend for v in c.rgb]
        palette += [0, 0, 0] * (table_size - len(self.legend))
        im.putpalette(palette, "RGB")
        return im

    def rgb_image(self) -> Image.Image:
        lookup = {c.char: c.rgb for c in self.legend}
        im = Image.new("RGB", (self.width, self.height))
        im.putdata([lookup[ch] for row in self.rows for ch in row])
        return im


def _parse_rgb(text: str, where: str) -> tuple[int, int, int]:
    if len(text) != 6:
        raise ValueError(f"{where}: colour '{text}' is not RRGGBB")
    value = int(text, 16)
    return (value >> 16) & 255, (value >> 8) & 255, value & 255


def read_map(name: str) -> PixelMap:
    """Reads assets/src/NAME.txt.

    The file holds, in this order:
        size W H
        colour C RRGGBB [transparent] [what it is for]   (one per colour)
        pixels
        H rows of W characters
    Lines starting with '#' before 'pixels' are comments.
    """
    path = SOURCES / f"{name}.txt"
    lines = path.read_text(encoding="utf-8").splitlines()
    width = height = 0
    legend: list[Colour] = []
    rows: list[str] = []
    in_pixels = False
    for number, line in enumerate(lines, 1):
        where = f"{path.name}:{number}"
        if in_pixels:
            if line.strip():
                rows.append(line.rstrip("\n"))
            continue
        if not line.strip() or line.startswith("#"):
            continue
        words = line.split(None, 3)
        if words[0] == "size":
            width, height = int(words[1]), int(words[2])
        elif words[0] == "colour":
            char, rgb = words[1], _parse_rgb(words[2], where)
            rest = words[3] if len(words) > 3 else ""
            transparent = rest.split(None, 1)[:1] == ["transparent"]
            if len(char) != 1:
                raise ValueError(f"{where}: a colour key is one character")
            if any(c.char == char for c in legend):
                raise ValueError(f"{where}: '{char}' is defined twice")
            legend.append(Colour(char, rgb, transparent, rest))
        elif words[0] == "pixels":
            in_pixels = True
        else:
            raise ValueError(f"{where}: unknown line '{line}'")
    if len(rows) != height:
        raise ValueError(f"{path.name}: {len(rows)} rows, expected {height}")
    known = {c.char for c in legend}
    for y, row in enumerate(rows):
        if len(row) != width:
            raise ValueError(f"{path.name}: row {y} has {len(row)} pixels, "
                             f"expected {width}")
        stray = set(row) - known
        if stray:
            raise ValueError(f"{path.name}: row {y} uses {sorted(stray)}, "
                             "which the legend lacks")
    return PixelMap(name, width, height, legend, rows)


def read_mirror(name: str) -> PixelMap:
    """Reads a picture that is the mirror image of another one.

    The file holds 'mirror OTHER' and then any number of
    'patch X Y C' lines: pixels set after mirroring, in OTHER's legend.
    """
    path = SOURCES / f"{name}.txt"
    base: PixelMap | None = None
    patch: list[tuple[int, int, str]] = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        words = line.split()
        if words[0] == "mirror" and len(words) == 2:
            base = read_map(words[1])
        elif words[0] == "patch" and len(words) == 4:
            patch.append((int(words[1]), int(words[2]), words[3]))
        else:
            raise ValueError(f"{path.name}:{number}: unknown line '{line}'")
    if base is None:
        raise ValueError(f"{path.name}: no 'mirror' line")
    return base.mirrored(name).patched(patch)


# --------------------------------------------------------------------------
# Writers.  Pillow does the encoding; these only pick its options and then
# check that it wrote what the game's tests expect.

def gif_bytes(pixels: PixelMap, version: str, table_size: int,
              transparent: bool) -> bytes:
    im = pixels.palette_image(table_size)
    index = pixels.transparent_index()
    options: dict = {
        # Keep the palette as the legend gives it: Pillow would otherwise
        # drop unused entries and shrink the colour table.
        "optimize": False,
        "interlace": False,
    }
    if transparent:
        if index is None:
            raise ValueError(f"{pixels.name}: needs a transparent colour")
        if not any(pixels.legend[index].char in row for row in pixels.rows):
            raise ValueError(f"{pixels.name}: the transparent colour is unused")
        options["transparency"] = index
    elif index is not None:
        raise ValueError(f"{pixels.name}: must not have a transparent colour")
    # Pillow writes 87a unless the picture needs an 89a feature
    # (transparency here) or the image says it is 89a.
    if version == "89a":
        im.info["version"] = b"89a"
    buf = io.BytesIO()
    im.save(buf, "GIF", **options)
    data = buf.getvalue()

    if data[:6] != b"GIF" + version.encode():
        raise RuntimeError(f"{pixels.name}: Pillow wrote {data[:6]!r}")
    if 2 << (data[10] & 7) != table_size or not data[10] & 0x80:
        raise RuntimeError(f"{pixels.name}: wrong colour table size")
    if (b"\x21\xf9" in data[13 + 3 * table_size:][:2]) != transparent:
        raise RuntimeError(f"{pixels.name}: graphic control extension "
                           "present where it should not be, or missing")
    return data


def ico_bytes(im: Image.Image) -> bytes:
    """An icon file holding the one 24-bit image im.

    Pillow's own icon writer packs the AND mask of a bitmap entry into whole
    bytes per row, where icons need every row padded to four bytes, so a
    24-pixel-wide icon comes out short.  Pillow writes the bitmap itself
    (header and 24-bit rows), and the icon directory around it (6 bytes of
    header and one 16-byte entry) is put together here.
    """
    if im.mode != "RGB":
        raise ValueError("icons are stored as 24-bit RGB")
    width, height = im.size
    buf = io.BytesIO()
    im.save(buf, "DIB")
    dib = bytearray(buf.getvalue())
    if struct.unpack_from("<IiiHH", dib, 0) != (40, width, height, 1, 24):
        raise RuntimeError("Pillow's bitmap header is not a 24-bit one")
    # In an icon the bitmap's height counts the colour rows and the mask rows.
    struct.pack_into("<i", dib, 8, 2 * height)
    mask_row = (width + 31) // 32 * 4
    dib += bytes(mask_row * height)  # all zero: every pixel opaque
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0,
                        1, 24, len(dib), 6 + 16)
    return header + entry + bytes(dib)


def jpeg_bytes(im: Image.Image) -> bytes:
    buf = io.BytesIO()
    # Baseline, with the JFIF header libjpeg writes for YCbCr; no EXIF.
    im.save(buf, "JPEG", quality=90, subsampling=0, optimize=False,
            progressive=False)
    data = buf.getvalue()
    if data[:4] != b"\xff\xd8\xff\xe0" or data[6:11] != b"JFIF\x00":
        raise RuntimeError("the castle photograph lacks its JFIF header")
    return data


# --------------------------------------------------------------------------
# The castle photograph

CASTLE_SIZE = (598, 382)
WATERLINE = 214   # where the castle meets the moat
SCALE = 2         # painted at twice the size, then reduced: softer edges


class Painter:
    """Turns picture coordinates into those of the canvas, SCALE times larger."""

    @staticmethod
    def box(x0, y0, x1, y1):
        return [x0 * SCALE, y0 * SCALE, x1 * SCALE - 1, y1 * SCALE - 1]

    @staticmethod
    def points(pts):
        return [(x * SCALE, y * SCALE) for x, y in pts]


def _vertical_gradient(size, stops):
    """stops: (fraction, rgb) pairs from the top down."""
    w, h = size
    column = Image.new("RGB", (1, h))
    for y in range(h):
        t = y / max(h - 1, 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                f = (t - t0) / (t1 - t0) if t1 > t0 else 0
                column.putpixel((0, y), tuple(round(a + (b - a) * f)
                                              for a, b in zip(c0, c1)))
                break
    return column.resize((w, h))


def _noise(size, rng: random.Random, spread: int) -> Image.Image:
    """Grey noise around 128, as a picture to add with ImageChops."""
    w, h = size
    values = bytes(128 + rng.randint(-spread, spread) for _ in range(w * h))
    return Image.frombytes("L", size, values)


def _brick_wall(size, rng: random.Random) -> Image.Image:
    """Red brick in running bond, each brick its own shade, grey mortar."""
    w, h = size
    wall = Image.new("RGB", size, (150, 132, 118))  # mortar
    draw = ImageDraw.Draw(wall)
    brick_w, brick_h, mortar = 9 * SCALE, 4 * SCALE, SCALE
    for row, y in enumerate(range(0, h, brick_h)):
        offset = -(brick_w // 2) if row % 2 else 0
        for x in range(offset, w, brick_w):
            base = rng.choice([(160, 52, 38), (142, 44, 32), (172, 64, 44),
                               (128, 40, 30), (152, 58, 42), (118, 46, 36)])
            jitter = rng.randint(-10, 10)
            colour = tuple(max(0, min(255, c + jitter)) for c in base)
            draw.rectangle([x, y, x + brick_w - mortar - 1,
                            y + brick_h - mortar - 1], fill=colour)
            # a lighter top edge where the sun catches the brick
            draw.line([x, y, x + brick_w - mortar - 1, y],
                      fill=tuple(min(255, c + 22) for c in colour))
    grain = _noise(size, rng, 14).convert("RGB")
    return ImageChops.add(wall, grain, 1.0, -128)


def _castle_shapes():
    """The castle as a list of (kind, box) parts, in picture coordinates."""
    parts = []

    def tower(x0, x1, top, merlon_w, overhang):
        parts.append(("wall", (x0, top + 8, x1, WATERLINE)))
        # a corbelled parapet, a little wider than the tower
        parts.append(("wall", (x0 - overhang, top, x1 + overhang, top + 8)))
        parts.append(("shadow", (x0, top + 8, x1, top + 11)))
        x = x0 - overhang
        n = max(3, round((x1 - x0 + 2 * overhang) / (2 * merlon_w)))
        step = (x1 - x0 + 2 * overhang - merlon_w) / (n - 1) if n > 1 else 0
        for i in range(n):
            left = round(x + i * step)
            parts.append(("wall", (left, top - 9, left + merlon_w, top)))

    # the curtain wall between the towers, with its own battlements
    parts.append(("wall", (170, 122, 430, WATERLINE)))
    for left in range(172, 428, 16):
        parts.append(("wall", (left, 113, left + 9, 122)))
    tower(118, 178, 70, 9, 4)     # left tower
    tower(422, 482, 70, 9, 4)     # right tower
    tower(262, 336, 40, 10, 4)    # the keep in the middle
    return parts


def paint_castle() -> Image.Image:
    rng = random.Random(20240611)
    w, h = CASTLE_SIZE
    big = (w * SCALE, h * SCALE)

    # Sky: deep blue overhead, paler toward the horizon.
    scene = _vertical_gradient(big, [(0.0, (38, 96, 196)),
                                     (0.35, (78, 142, 222)),
                                     (0.56, (168, 206, 242)),
                                     (1.0, (190, 220, 246))])

    # Far shore: a band of trees and grass behind the castle.
    shore = ImageDraw.Draw(scene)
    tree_rng = random.Random(7)
    for x in range(-20, w + 20, 7):
        top = WATERLINE - 16 - tree_rng.randint(0, 12)
        r = tree_rng.randint(6, 11)
        shade = tree_rng.randint(-14, 14)
        shore.ellipse(Painter.box(x - r, top, x + r, WATERLINE + 4),
                      fill=(46 + shade, 104 + shade, 44 + shade // 2))
    shore.rectangle(Painter.box(0, WATERLINE - 5, w, WATERLINE + 1),
                    fill=(74, 136, 58))

    # The castle: a brick texture cut out by the castle's outline.
    mask = Image.new("L", big, 0)
    shadow = Image.new("L", big, 0)
    mdraw, sdraw = ImageDraw.Draw(mask), ImageDraw.Draw(shadow)
    for kind, box in _castle_shapes():
        (mdraw if kind == "wall" else sdraw).rectangle(Painter.box(*box), fill=255)
    bricks = _brick_wall(big, rng)

    # Light from the upper left.  Each tower is shaded like a drum, bright on
    # the left and falling off to the right; the curtain wall sits back in
    # half shade, and the keep and the towers cast a shadow to their right.
    light = Image.new("L", big, 210)
    ldraw = ImageDraw.Draw(light)
    ldraw.rectangle(Painter.box(170, 122, 430, WATERLINE), fill=176)
    for x0, x1 in ((336, 352), (178, 190)):
        ldraw.rectangle(Painter.box(x0, 122, x1, WATERLINE), fill=122)
    for x0, x1, top in ((118, 178, 61), (422, 482, 61), (262, 336, 31)):
        span = (x1 - x0 + 8) * SCALE
        for i in range(span):
            t = i / span
            level = round(255 - 150 * t ** 1.5 - 30 * (1 - 2 * t) ** 2)
            x = (x0 - 4) * SCALE + i
            ldraw.line([x, top * SCALE, x, WATERLINE * SCALE], fill=level)
    bricks = bricks.point(lambda v: min(255, v * 6 // 5))
    bricks = ImageChops.multiply(bricks, Image.merge("RGB", [light] * 3))

    # Windows, the gate and the stone plinth.
    detail = ImageDraw.Draw(bricks)
    dark = (26, 18, 20)

    def arch_window(cx, top, width, height, fill=dark):
        x0, x1 = cx - width / 2, cx + width / 2
        detail.rectangle(Painter.box(x0, top + width / 2, x1, top + height), fill=fill)
        detail.ellipse(Painter.box(x0, top, x1, top + width), fill=fill)
        # a pale stone sill
        detail.rectangle(Painter.box(x0 - 1, top + height, x1 + 1, top + height + 2),
                         fill=(196, 180, 160))

    for cx in (148, 452):
        arch_window(cx, 92, 8, 18)
        arch_window(cx, 140, 8, 18)
    for cx in (284, 314):
        arch_window(cx, 66, 8, 20)
    arch_window(299, 110, 10, 22)
    for cx in (200, 232, 368, 400):
        arch_window(cx, 140, 6, 14)
    # the gate: a round arch with an iron portcullis
    detail.rectangle(Painter.box(282, 172, 316, WATERLINE), fill=(20, 14, 14))
    detail.ellipse(Painter.box(282, 155, 316, 189), fill=(20, 14, 14))
    for x in range(285, 316, 5):
        detail.line(Painter.points([(x, 160), (x, WATERLINE)]),
                    fill=(70, 66, 64), width=SCALE)
    for y in range(166, WATERLINE, 6):
        detail.line(Painter.points([(283, y), (315, y)]),
                    fill=(70, 66, 64), width=SCALE)
    # the arch's stone voussoirs
    detail.arc(Painter.box(279, 152, 319, 192), 180, 360,
               fill=(200, 184, 164), width=3 * SCALE)
    detail.rectangle(Painter.box(110, WATERLINE - 8, 490, WATERLINE),
                     fill=(122, 112, 104))
    plinth_grain = _noise(big, rng, 10).convert("RGB")
    bricks = ImageChops.add(bricks, plinth_grain, 1.0, -128)

    scene.paste(bricks, (0, 0), mask)
    scene.paste((0, 0, 0), (0, 0), shadow.point(lambda v: v * 60 // 255))

    # Flagpole and flag on the keep.
    fdraw = ImageDraw.Draw(scene)
    fdraw.rectangle(Painter.box(298, 4, 300, 31), fill=(60, 56, 52))
    fdraw.ellipse(Painter.box(297, 2, 301, 6), fill=(214, 180, 60))
    flag_top = []
    flag_bottom = []
    for i in range(0, 37):
        x = 300 + i
        wave = 2.2 * math.sin(i / 6.0) * (i / 36)
        flag_top.append((x, 7 + wave + i * 0.05))
        flag_bottom.append((x, 25 + wave - i * 0.1))
    fdraw.polygon(Painter.points(flag_top + flag_bottom[::-1]), fill=(238, 196, 34))
    # a red stripe and the shade in the folds
    stripe = [(x, y + 7.5) for x, y in flag_top] + \
             [(x, y - 7.5) for x, y in flag_bottom[::-1]]
    fdraw.polygon(Painter.points(stripe), fill=(196, 40, 30))
    for i in range(4, 37, 9):
        x = 300 + i
        fdraw.line(Painter.points([(x, flag_top[i][1] + 1), (x, flag_bottom[i][1] - 1)]),
                   fill=(190, 150, 20), width=SCALE)

    # The moat: the scene above the waterline, flipped, rippled and tinted.
    line = WATERLINE * SCALE
    water_h = big[1] - line
    above = scene.crop((0, max(0, line - water_h), big[0], line))
    flipped = above.transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    if flipped.size[1] < water_h:
        pad = Image.new("RGB", (big[0], water_h), (40, 70, 90))
        pad.paste(flipped, (0, 0))
        flipped = pad
    rippled = Image.new("RGB", flipped.size)
    for y in range(water_h):
        depth = y / water_h
        wobble = math.sin(y * 0.21) + 0.5 * math.sin(y * 0.53 + 1.3)
        shift = round((1.0 + 7 * depth) * (wobble + rng.uniform(-0.25, 0.25)) * SCALE)
        row = flipped.crop((0, y, big[0], y + 1))
        rippled.paste(row, (shift, y))
        if shift > 0:
            rippled.paste(row.crop((0, 0, shift, 1)), (0, y))
        elif shift < 0:
            rippled.paste(row.crop((big[0] + shift, 0, big[0], 1)), (big[0] + shift, y))
    water = _vertical_gradient((big[0], water_h), [(0.0, (46, 92, 110)),
                                                   (1.0, (18, 44, 62))])
    reflection = Image.blend(rippled, water, 0.5)
    rdraw = ImageDraw.Draw(reflection)
    for _ in range(260):
        y = rng.randint(0, water_h - 1)
        x = rng.randint(-40, big[0])
        length = rng.randint(10, 60) * SCALE // 2
        bright = rng.random() < 0.55
        colour = (150, 190, 214) if bright else (14, 34, 50)
        base = reflection.getpixel((max(0, min(big[0] - 1, x)), y))
        mixed = tuple((a + b) // 2 for a, b in zip(base, colour))
        rdraw.line([x, y, x + length, y], fill=mixed, width=1)
    reflection = reflection.filter(ImageFilter.GaussianBlur(1.3))
    scene.paste(reflection, (0, line))
    # a thin bright line where the wall meets the water
    ImageDraw.Draw(scene).line([0, line, big[0], line], fill=(120, 150, 160), width=1)

    # Camera: a touch of blur, film grain and a soft vignette.
    scene = scene.filter(ImageFilter.GaussianBlur(0.6))
    scene = scene.resize(CASTLE_SIZE, Image.Resampling.LANCZOS)
    scene = ImageChops.add(scene, _noise(CASTLE_SIZE, rng, 5).convert("RGB"), 1.0, -128)
    vignette = Image.new("L", CASTLE_SIZE, 0)
    vdraw = ImageDraw.Draw(vignette)
    for i in range(40):
        vdraw.rectangle([i, i, w - 1 - i, h - 1 - i], outline=215 + i)
    vdraw.rectangle([40, 40, w - 41, h - 41], fill=255)
    vignette = vignette.filter(ImageFilter.GaussianBlur(16))
    scene = ImageChops.multiply(scene, Image.merge("RGB", [vignette] * 3))
    return scene


# --------------------------------------------------------------------------
# The twelve pictures

@dataclass
class Picture:
    file: str
    build: object          # () -> PixelMap | Image
    kind: str              # "gif", "ico" or "jpeg"
    version: str = ""      # GIF header version
    colours: int = 0       # GIF colour table entries
    transparent: bool = False
    backdrop: tuple = WHITE        # what the game shows behind it
    caption: str = ""
    data: bytes = field(default=b"", repr=False)


def _map(name):
    return lambda: read_map(name)


TABLE = [
    Picture("mage_left.gif", _map("mage_left"), "gif", "89a", 256, True,
            FIELD_GREEN, "mage, facing left"),
    Picture("mage_right.gif", lambda: read_map("mage_left").mirrored("mage_right"),
            "gif", "89a", 256, True, FIELD_GREEN, "mage, facing right"),
    Picture("mage_fire_left.gif", _map("mage_fire_left"), "gif", "89a", 16, True,
            FIELD_GREEN, "fire, to the left"),
    Picture("mage_fire_right.gif", lambda: read_mirror("mage_fire_right"),
            "gif", "89a", 16, True, FIELD_GREEN, "fire, to the right"),
    Picture("mage_lightning.gif", _map("mage_lightning"), "gif", "87a", 256, False,
            FIELD_GREEN, "lightning"),
    Picture("invader.gif", _map("invader"), "gif", "89a", 32, True,
            FIELD_GREEN, "invader"),
    Picture("icon_fire.gif", _map("icon_fire"), "gif", "89a", 256, True,
            BUTTON_FACE, "fire icon"),
    Picture("icon_ice.gif", _map("icon_ice"), "gif", "89a", 256, False,
            BUTTON_FACE, "ice icon"),
    Picture("icon_lightning.gif", _map("icon_lightning"), "gif", "89a", 256, True,
            BUTTON_FACE, "lightning icon"),
    Picture("life_hat.ico", _map("life_hat"), "ico", backdrop=WHITE, caption="life"),
    Picture("castle.jpg", paint_castle, "jpeg", caption="castle"),
    Picture("mage_icon.ico", _map("mage_icon"), "ico", backdrop=WHITE,
            caption="window icon"),
]


def encode(picture: Picture) -> bytes:
    made = picture.build()
    if picture.kind == "gif":
        return gif_bytes(made, picture.version, picture.colours, picture.transparent)
    if picture.kind == "ico":
        if made.transparent_index() is not None:
            raise ValueError(f"{made.name}: icons here have no transparency")
        return ico_bytes(made.rgb_image())
    if picture.kind == "jpeg":
        return jpeg_bytes(made)
    raise ValueError(picture.kind)


# --------------------------------------------------------------------------
# Contact sheet: every picture as the game shows it, four times enlarged.

def contact_sheet(pictures: list[Picture]) -> Image.Image:
    font = ImageFont.load_default()
    zoom, pad, line_h = 4, 12, 12
    tiles = []
    for picture in pictures:
        im = Image.open(io.BytesIO(picture.data))
        im.load()
        im = im.convert("RGBA")
        factor = 1 if picture.kind == "jpeg" else zoom
        big = im.resize((im.width * factor, im.height * factor),
                        Image.Resampling.NEAREST)
        lines = [picture.file, f"{picture.caption}, {im.width} x {im.height}"
                 + ("" if factor == 1 else f", shown {factor}x")]
        text_w = max(round(font.getlength(line)) for line in lines) + 8
        panel = Image.new("RGB", (big.width + 2 * pad, big.height + 2 * pad),
                          picture.backdrop)
        panel.paste(big, (pad, pad), big)
        tile = Image.new("RGB", (max(panel.width, text_w),
                                 panel.height + 6 + line_h * len(lines)), (64, 64, 64))
        tile.paste(panel, ((tile.width - panel.width) // 2, 0))
        draw = ImageDraw.Draw(tile)
        for i, line in enumerate(lines):
            draw.text((4, panel.height + 3 + i * line_h), line, font=font,
                      fill=(235, 235, 235))
        tiles.append(tile)

    rows = [tiles[0:5], tiles[5:9] + [tiles[9], tiles[11]], [tiles[10]]]
    gap = 10
    width = max(sum(t.width for t in row) + gap * (len(row) + 1) for row in rows)
    height = sum(max(t.height for t in row) for row in rows) + gap * (len(rows) + 1)
    sheet = Image.new("RGB", (width, height), (40, 40, 40))
    y = gap
    for row in rows:
        x = gap
        for tile in row:
            sheet.paste(tile, (x, y))
            x += tile.width + gap
        y += max(t.height for t in row) + gap
    return sheet


# --------------------------------------------------------------------------
# Desktop icons: the mage icon for menus, docks and software centres.

def desktop_icon(size: int) -> bytes:
    """The mage icon at size x size pixels, as a PNG.

    The white ground of the title-bar icon becomes transparent, so that the
    mage stands on whatever the desktop puts behind it.  Nearest-neighbour
    sampling keeps every pixel one flat colour: at 64, 128 and 256 each
    pixel of the map becomes an even square, and at the other sizes whole
    rows and columns are repeated or dropped, never blended.
    """
    pixels = read_map("mage_icon")
    ground = pixels.legend[pixels.index_of("_")].rgb
    im = pixels.rgb_image().convert("RGBA")
    im.putdata([(r, g, b, 0) if (r, g, b) == ground else (r, g, b, 255)
                for r, g, b, _ in im.getdata()])
    if im.size != (size, size):
        im = im.resize((size, size), Image.Resampling.NEAREST)
    buf = io.BytesIO()
    # No text chunks and no time stamp: the file depends on the pixels only.
    im.save(buf, "PNG", optimize=False, compress_level=9)
    return buf.getvalue()


def write_icons() -> None:
    for size in ICON_SIZES:
        path = ICON_THEME / f"{size}x{size}" / "apps" / f"{APP_ID}.png"
        path.parent.mkdir(parents=True, exist_ok=True)
        data = desktop_icon(size)
        path.write_bytes(data)
        print(f"wrote {path.relative_to(ASSETS.parent)} ({len(data)} bytes)")


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--contact-sheet", action="store_true",
                        help="also write docs/pictures.png")
    parser.add_argument("--icons", action="store_true",
                        help="also write the desktop icons in packaging/icons")
    args = parser.parse_args(argv)

    PICTURES.mkdir(exist_ok=True)
    for picture in TABLE:
        picture.data = encode(picture)
        (PICTURES / picture.file).write_bytes(picture.data)
        print(f"wrote assets/pictures/{picture.file} ({len(picture.data)} bytes)")
    if args.contact_sheet:
        CONTACT_SHEET.parent.mkdir(exist_ok=True)
        buf = io.BytesIO()
        contact_sheet(TABLE).save(buf, "PNG", optimize=False)
        CONTACT_SHEET.write_bytes(buf.getvalue())
        print("wrote docs/pictures.png")
    if args.icons:
        write_icons()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
