#!/usr/bin/env python3
"""Draws Chimewatch's icons and writes them into resources/icons/.

    python3 tools/make_icons.py           write the icons
    python3 tools/make_icons.py --check   verify the files on disk

Written files:
    app.ico              program icon: a stopwatch, 16x16 and 32x32, 256 colours
    tray_active.ico      tray icon while alarms are watched: a clock face, 32x32, 16 colours
    tray_not_active.ico  tray icon while watching is off: the clock face crossed out
    *.dib                each icon image on its own, exactly as stored inside the
                         .ico (BITMAPINFOHEADER, palette, XOR bits, AND mask); the
                         resource script embeds these, so that it can give every
                         image a fixed resource ID.

Only the standard library is used and nothing depends on time or on the host,
so running the script again writes byte-identical files.

The drawing is plain geometry sampled once per pixel, at the pixel's centre:
no anti-aliasing, so the edges stay crisp at 16 and 32 pixels.  Pixel (x, y)
covers [x, x+1) x [y, y+1) with y growing downwards; the rows are flipped to
the bottom-up order of a DIB only when the image is written.
"""

import math
import struct
import sys
from pathlib import Path

ICON_DIR = Path(__file__).resolve().parent.parent / "resources" / "icons"

BITMAPINFOHEADER_SIZE = 40


# --------------------------------------------------------------------------
# Drawing

class Canvas:
    """A palette image; None marks a transparent pixel."""

    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def plot(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.pixels[y][x] = colour

    def fill(self, inside, colour):
        """Sets every pixel whose centre satisfies inside(px, py)."""
        for y in range(self.size):
            for x in range(self.size):
                if inside(x + 0.5, y + 0.5):
                    self.pixels[y][x] = colour

    def disc(self, cx, cy, r, colour):
        self.fill(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        """A straight stroke with flat ends, width measured across it."""
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy

        def inside(px, py):
            t = ((px - x0) * dx + (py - y0) * dy) / length2
            if t < 0.0 or t > 1.0:
                return False
            qx, qy = x0 + t * dx - px, y0 + t * dy - py
            return qx * qx + qy * qy <= (width / 2.0) ** 2

        self.fill(inside, colour)

    def rect(self, x0, y0, x1, y1, colour):
        """Pixels x0..x1-1, y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.plot(x, y, colour)


def clock_point(cx, cy, hours, radius):
    """Point at `radius` from the centre in the direction of a dial hour."""
    a = math.radians(hours * 30.0)
    return cx + radius * math.sin(a), cy - radius * math.cos(a)


def hand(canvas, cx, cy, hours, length, width, colour, tail=0.0):
    x0, y0 = clock_point(cx, cy, hours + 6.0, tail) if tail else (cx, cy)
    x1, y1 = clock_point(cx, cy, hours, length)
    canvas.line(x0, y0, x1, y1, width, colour)


# --------------------------------------------------------------------------
# The pictures.  Colour names map to palette indices through each icon's
# palette; index 0 is black and is also the value of every transparent pixel,
# so the masked-out area leaves the screen untouched.

APP_PALETTE = [
    ("black", (0, 0, 0)),
    ("white", (255, 255, 255)),
    ("red", (220, 0, 0)),
    ("steel", (168, 176, 188)),
    ("shadow", (96, 104, 116)),
]

TRAY_PALETTE = [
    ("black", (0, 0, 0)),
    ("cream", (255, 246, 214)),
    ("red", (214, 0, 0)),
    ("rim", (52, 52, 72)),
    ("cross", (230, 0, 0)),
]


def draw_stopwatch_32():
    c = Canvas(32)
    cx, cy = 16.0, 18.5
    # Side buttons, at ten past and ten to the hour, under the case.
    for hours in (-1.5, 1.5):
        x0, y0 = clock_point(cx, cy, hours, 11.0)
        x1, y1 = clock_point(cx, cy, hours, 16.0)
        c.line(x0, y0, x1, y1, 6.0, "black")
        x1, y1 = clock_point(cx, cy, hours, 15.0)
        c.line(x0, y0, x1, y1, 4.0, "steel")
    # Crown: stem and cap on top.
    c.rect(13, 2, 19, 7, "black")
    c.rect(14, 3, 18, 7, "steel")
    c.rect(11, 0, 21, 4, "black")
    c.rect(12, 1, 20, 3, "steel")
    # Case and dial.
    c.disc(cx, cy, 13.0, "black")
    c.disc(cx, cy, 12.0, "steel")
    c.disc(cx, cy, 10.6, "shadow")
    c.disc(cx, cy, 10.0, "white")
    # Hour dots.
    for h in range(12):
        x, y = clock_point(cx, cy, h, 8.0)
        # A 2x2 block on the pixel corner nearest to the mark.
        gx, gy = math.floor(x + 0.5), math.floor(y + 0.5)
        c.rect(gx - 1, gy - 1, gx + 1, gy + 1, "red")
    # Hands at ten past ten, the second hand sweeping past seven.
    hand(c, cx, cy, 10.2, 5.0, 2.2, "black")
    hand(c, cx, cy, 2.0, 7.5, 1.6, "black")
    hand(c, cx, cy, 7.0, 8.0, 1.0, "red", tail=2.5)
    c.disc(cx, cy, 1.2, "red")
    return c


# At 16 pixels geometry leaves too little room, so the small stopwatch is
# placed by hand: K black, W white, R red, S steel, . transparent.  The dial
# is centred on pixel (7, 9), which gives the hands a pixel to start from.
STOPWATCH_16 = """
.....KKKKK......
.....KSSSK......
..K...KSK...K...
.KSK.KKKKK.KSK..
..KKKWWWWWKKK...
..KKWWWRWWWKK...
..KWWWWWWWKWK...
.KWWWWWWWKWWWK..
.KWWWKKWKWWWWK..
.KWRWWWKWWWRWK..
.KWWWWWWRWWWWK..
.KWWWWWWWRWWWK..
..KWWWWWWWRWK...
..KKWWWRWWWKK...
...KKWWWWWKK....
.....KKKKK......
"""

PIXEL_ART_COLOURS = {"K": "black", "W": "white", "R": "red", "S": "steel", ".": None}


def from_pixel_art(art):
    rows = art.strip().splitlines()
    c = Canvas(len(rows))
    for y, row in enumerate(rows):
        assert len(row) == c.size, f"pixel art row {y} is {len(row)} wide"
        for x, ch in enumerate(row):
            c.pixels[y][x] = PIXEL_ART_COLOURS[ch]
    return c


def draw_stopwatch_16():
    return from_pixel_art(STOPWATCH_16)


def draw_clock_face():
    c = Canvas(32)
    cx, cy = 16.0, 16.0
    c.disc(cx, cy, 16.0, "rim")
    c.disc(cx, cy, 14.0, "cream")
    for h in range(12):
        if h % 3 == 0:
            x0, y0 = clock_point(cx, cy, h, 9.5)
            x1, y1 = clock_point(cx, cy, h, 13.0)
            c.line(x0, y0, x1, y1, 2.0, "red")
        else:
            x, y = clock_point(cx, cy, h, 11.5)
            c.disc(x, y, 1.0, "red")
    hand(c, cx, cy, 10.0, 7.0, 2.6, "black")
    hand(c, cx, cy, 2.0, 10.5, 2.0, "black")
    c.disc(cx, cy, 1.6, "black")
    return c


def draw_clock_face_crossed():
    c = draw_clock_face()
    for (x0, y0, x1, y1) in ((0, 0, 32, 32), (32, 0, 0, 32)):
        c.line(x0, y0, x1, y1, 4.4, "cross")
    return c


# --------------------------------------------------------------------------
# Encoding

def row_stride(width, bits):
    """Bytes in one DIB row: rows are padded to a multiple of 4 bytes."""
    return (width * bits + 31) // 32 * 4


def encode_image(canvas, palette, bits):
    """The packed DIB of one icon image: header, palette, XOR bits, AND mask."""
    size = canvas.size
    index = {name: i for i, (name, _) in enumerate(palette)}
    colours = [rgb for _, rgb in palette]
    colours += [(0, 0, 0)] * ((1 << bits) - len(colours))
    assert len(colours) == 1 << bits

    xor_stride = row_stride(size, bits)
    and_stride = row_stride(size, 1)
    xor_bits = bytearray()
    and_bits = bytearray()
    for y in reversed(range(size)):  # bottom-up
        row = canvas.pixels[y]
        values = [0 if p is None else index[p] for p in row]
        packed = bytearray(xor_stride)
        per_byte = 8 // bits
        for x, v in enumerate(values):
            shift = 8 - bits * (x % per_byte + 1)
            packed[x // per_byte] |= v << shift
        xor_bits += packed
        mask = bytearray(and_stride)
        for x, p in enumerate(row):
            if p is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_bits += mask

    header = struct.pack(
        "<IiiHHIIiiII",
        BITMAPINFOHEADER_SIZE,
        size,
        size * 2,  # XOR image and AND mask, one above the other
        1,
        bits,
        0,  # BI_RGB
        len(xor_bits) + len(and_bits),
        0,
        0,
        0,
        0,
    )
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    return header + table + bytes(xor_bits) + bytes(and_bits)


def encode_ico(images):
    """images: list of (size, bits, packed DIB)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colour_count = 0 if bits >= 8 else 1 << bits
        out += struct.pack(
            "<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bits, len(data), offset
        )
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


def expected_image_size(size, bits):
    return (
        BITMAPINFOHEADER_SIZE
        + 4 * (1 << bits)
        + row_stride(size, bits) * size
        + row_stride(size, 1) * size
    )


# --------------------------------------------------------------------------
# The icon set

def build():
    """Returns {file name: bytes} for every file this script owns."""
    app16 = encode_image(draw_stopwatch_16(), APP_PALETTE, 8)
    app32 = encode_image(draw_stopwatch_32(), APP_PALETTE, 8)
    active = encode_image(draw_clock_face(), TRAY_PALETTE, 4)
    not_active = encode_image(draw_clock_face_crossed(), TRAY_PALETTE, 4)
    return {
        "app.ico": encode_ico([(16, 8, app16), (32, 8, app32)]),
        "tray_active.ico": encode_ico([(32, 4, active)]),
        "tray_not_active.ico": encode_ico([(32, 4, not_active)]),
        "app_16.dib": app16,
        "app_32.dib": app32,
        "tray_active.dib": active,
        "tray_not_active.dib": not_active,
    }


# What each .ico must hold: (size, bits per pixel, bytes of the image).
EXPECTED = {
    "app.ico": [(16, 8, 1384), (32, 8, 2216)],
    "tray_active.ico": [(32, 4, 744)],
    "tray_not_active.ico": [(32, 4, 744)],
}

# The loose image files and the .ico image they must equal.
LOOSE_IMAGES = {
    "app_16.dib": ("app.ico", 0),
    "app_32.dib": ("app.ico", 1),
    "tray_active.dib": ("tray_active.ico", 0),
    "tray_not_active.dib": ("tray_not_active.ico", 0),
}


def parse_ico(data):
    """Returns a list of dicts describing the images; asserts the layout."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert reserved == 0 and kind == 1, "not an icon file"
    images = []
    end = 6 + 16 * count
    for i in range(count):
        w, h, colours, res, planes, bits, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i
        )
        assert res == 0 and planes == 1, f"entry {i}: reserved {res}, planes {planes}"
        assert offset == end, f"entry {i}: image at {offset}, expected {end}"
        end += length
        dib = data[offset:offset + length]
        assert len(dib) == length, f"entry {i}: image cut short"
        (hsize, bw, bh, bplanes, bbits, compression, image_size,
         _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", dib, 0)
        size = w or 256
        assert hsize == BITMAPINFOHEADER_SIZE
        assert (bw, bh) == (size, 2 * size), f"entry {i}: DIB {bw}x{bh}"
        assert w == h, f"entry {i}: not square"
        assert bplanes == 1 and bbits == bits and compression == 0 and used == 0
        assert colours == (0 if bits >= 8 else 1 << bits), f"entry {i}: colour count {colours}"
        assert length == expected_image_size(size, bits), f"entry {i}: {length} bytes"
        assert image_size == length - BITMAPINFOHEADER_SIZE - 4 * (1 << bits)
        images.append({"size": size, "bits": bits, "dib": dib})
    assert end == len(data), "trailing bytes after the last image"
    return images


def pixels_of(image):
    """Decodes (index, transparent) per pixel, top row first."""
    size, bits, dib = image["size"], image["bits"], image["dib"]
    xor_at = BITMAPINFOHEADER_SIZE + 4 * (1 << bits)
    xor_stride = row_stride(size, bits)
    and_at = xor_at + xor_stride * size
    and_stride = row_stride(size, 1)
    rows = []
    for y in range(size):
        src = size - 1 - y
        row = []
        for x in range(size):
            byte = dib[xor_at + src * xor_stride + x * bits // 8]
            shift = 8 - bits * (x % (8 // bits) + 1)
            value = (byte >> shift) & ((1 << bits) - 1)
            clear = dib[and_at + src * and_stride + x // 8] & (0x80 >> (x % 8))
            row.append((value, bool(clear)))
        rows.append(row)
    return rows


def check():
    failures = []
    wanted = build()
    for name, data in wanted.items():
        path = ICON_DIR / name
        if not path.is_file():
            failures.append(f"{name}: missing")
        elif path.read_bytes() != data:
            failures.append(f"{name}: differs from what this script draws")
    parsed = {}
    for name, expected in EXPECTED.items():
        path = ICON_DIR / name
        if not path.is_file():
            continue
        try:
            images = parse_ico(path.read_bytes())
            got = [(im["size"], im["bits"], len(im["dib"])) for im in images]
            assert got == expected, f"images {got}, expected {expected}"
            for im in images:
                for row in pixels_of(im):
                    for value, clear in row:
                        assert not clear or value == 0, "masked pixel is not 0"
            parsed[name] = images
        except AssertionError as e:
            failures.append(f"{name}: {e}")
    for name, (ico, index) in LOOSE_IMAGES.items():
        path = ICON_DIR / name
        if ico in parsed and path.is_file() and path.read_bytes() != parsed[ico][index]["dib"]:
            failures.append(f"{name}: not the same as image {index} of {ico}")
    # The tray icons: round and transparent in the corners when active,
    # the cross reaching into every corner when not.
    if "tray_active.ico" in parsed and "tray_not_active.ico" in parsed:
        active = pixels_of(parsed["tray_active.ico"][0])
        crossed = pixels_of(parsed["tray_not_active.ico"][0])
        for x, y in ((0, 0), (31, 0), (0, 31), (31, 31)):
            if not active[y][x][1]:
                failures.append(f"tray_active.ico: corner {x},{y} not transparent")
            if crossed[y][x][1]:
                failures.append(f"tray_not_active.ico: corner {x},{y} transparent")
        if active[16][16][1] or active[16][2][1]:
            failures.append("tray_active.ico: clock face not opaque")
    for f in failures:
        print("make_icons: " + f, file=sys.stderr)
    if not failures:
        print("make_icons: all icon files are present and correct")
    return 1 if failures else 0


def main(argv):
    if argv[1:] == ["--check"]:
        return check()
    if argv[1:]:
        print("usage: make_icons.py [--check]", file=sys.stderr)
        return 2
    ICON_DIR.mkdir(parents=True, exist_ok=True)
    for name, data in build().items():
        (ICON_DIR / name).write_bytes(data)
    return check()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
