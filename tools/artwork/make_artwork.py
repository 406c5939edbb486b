#!/usr/bin/env python3
"""Generates Kelpo's skin bitmaps, pressed button pictures and GIF pictures.

Writes 24-bit uncompressed BMP files:
  ui/artwork/  the skin of the main window, embedded into kelpo.exe
  ui/images/   the pressed button pictures and the tray menu header,
               shipped as files in the images folder beside kelpo.exe
and, with gif_pictures.py and gif_writer.py beside this script, the animated
banner and the about picture as GIF files into ui/artwork/.

Uses the Python standard library only. The output depends on nothing but this
script and its two sibling modules, so running it twice gives byte-identical
files.

Usage: python3 tools/artwork/make_artwork.py [repository-root]
"""

import os
import struct
import sys

from web_address import WEB_ADDRESS

# Palette shared by all pictures.
BROWN_DARK = (102, 34, 0)
BROWN = (153, 51, 0)
AMBER = (255, 204, 0)
FIELD = (255, 255, 221)  # the main window's labels carry exactly this colour
WHITE = (255, 255, 255)
TEXT_BROWN = (102, 34, 0)

# Button bevel and face colours: normal, and pressed (inverted bevel, darker face).
BUTTON_NORMAL = {
    "light": (255, 247, 204),
    "dark": (204, 122, 0),
    "face_top": (255, 232, 120),
    "face_bottom": (255, 200, 20),
}
BUTTON_PRESSED = {
    "light": (181, 92, 0),
    "dark": (255, 224, 128),
    "face_top": (230, 158, 0),
    "face_bottom": (245, 184, 0),
}

# A 5x7 pixel font. Rows 0..6 hold capitals, digits and ascenders; the
# baseline is under row 6; letters with descenders add rows 7 and 8.
# Glyphs may be narrower than 5 columns.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "J": ["..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "Q": [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "b": ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####."],
    "c": [".....", ".....", ".###.", "#....", "#....", "#...#", ".###."],
    "d": ["....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "f": ["..##", ".#..", ".#..", "###.", ".#..", ".#..", ".#.."],
    "g": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "h": ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "j": ["...#", "....", "..##", "...#", "...#", "...#", "...#", "#..#", ".##."],
    "k": ["#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#...#"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "q": [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#..", ".#..", "###.", ".#..", ".#..", ".#..", "..##"],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "w": [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "y": [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    "z": [".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    ".": [".", ".", ".", ".", ".", ".", "#"],
    ",": ["..", "..", "..", "..", "..", ".#", ".#", "#."],
    "!": ["#", "#", "#", "#", "#", ".", "#"],
    "?": [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."],
    "-": ["....", "....", "....", "####", "....", "....", "...."],
    "/": ["....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#...."],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}

CAP_HEIGHT = 7


class Image:
    """A 24-bit picture held as rows of (r, g, b) tuples, row 0 at the top."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width = width
        self.height = height
        self.rows = [[colour] * width for _ in range(height)]

    def get(self, x, y):
        return self.rows[y][x]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def blend(self, x, y, colour, alpha):
        """Paints colour over the pixel with coverage alpha (0..1)."""
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        if alpha >= 1:
            self.rows[y][x] = colour
            return
        self.rows[y][x] = mix(self.rows[y][x], colour, alpha)

    def fill_rect(self, x0, y0, x1, y1, colour):
        """Fills the pixels x0 <= x < x1, y0 <= y < y1."""
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.rows[y][x] = colour

    def paste(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.set(left + x, top + y, other.rows[y][x])

    def to_bmp(self):
        """Encodes the picture as an uncompressed bottom-up 24-bit BMP."""
        stride = (self.width * 3 + 3) & ~3
        padding = b"\0" * (stride - self.width * 3)
        pixels = bytearray()
        for row in reversed(self.rows):
            for r, g, b in row:
                pixels += bytes((b, g, r))
            pixels += padding
        header_size = 14 + 40
        file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
        # 3780 pixels per metre is 96 pixels per inch.
        info_header = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0,
                                  len(pixels), 3780, 3780, 0, 0)
        return file_header + info_header + bytes(pixels)


def mix(a, b, t):
    """The colour a fraction t of the way from a to b, rounded."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# Shapes are antialiased by sampling each pixel on a 4x4 grid.
SAMPLES = [(i + 0.5) / 4 for i in range(4)]


def coverage(x, y, inside):
    hits = sum(1 for sy in SAMPLES for sx in SAMPLES if inside(x + sx, y + sy))
    return hits / 16.0


def fill_shape(img, x0, y0, x1, y1, inside, colour_at):
    """Paints the shape given by inside(px, py) within the box, antialiased.

    colour_at(x, y) gives the colour of each pixel, so shapes can carry gradients.
    """
    for y in range(max(0, int(y0)), min(img.height, int(y1) + 1)):
        for x in range(max(0, int(x0)), min(img.width, int(x1) + 1)):
            alpha = coverage(x, y, inside)
            if alpha > 0:
                img.blend(x, y, colour_at(x, y), alpha)


def fill_disc(img, cx, cy, radius, colour):
    def inside(px, py):
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius
    fill_shape(img, cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1,
               inside, lambda x, y: colour)


def rounded_rect(x0, y0, x1, y1, radius):
    """Membership test of the rectangle x0..x1, y0..y1 with rounded corners."""
    def inside(px, py):
        if not (x0 <= px <= x1 and y0 <= py <= y1):
            return False
        cx = min(max(px, x0 + radius), x1 - radius)
        cy = min(max(py, y0 + radius), y1 - radius)
        return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius
    return inside


def fill_rounded_rect(img, x0, y0, x1, y1, radius, colour_at):
    fill_shape(img, x0, y0, x1, y1, rounded_rect(x0, y0, x1, y1, radius), colour_at)


def fill_thick_line(img, ax, ay, bx, by, half_width, colour):
    """Paints a line segment with round ends, half_width pixels either side."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(px, py):
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
        qx, qy = ax + t * dx - px, ay + t * dy - py
        return qx * qx + qy * qy <= half_width * half_width
    fill_shape(img, min(ax, bx) - half_width - 1, min(ay, by) - half_width - 1,
               max(ax, bx) + half_width + 1, max(ay, by) + half_width + 1,
               inside, lambda x, y: colour)


def text_width(text, scale=1, bold=False):
    width = sum(len(FONT[ch][0]) + 1 for ch in text) - 1 if text else 0
    return (width + (1 if bold else 0)) * scale


def draw_text(img, left, top, text, colour, scale=1, bold=False):
    """Draws text with the cap height's top at top; each font pixel becomes
    a scale x scale block; bold doubles every stroke one font pixel to the right."""
    x = left
    for ch in text:
        glyph = FONT[ch]
        for row, bits in enumerate(glyph):
            for col, bit in enumerate(bits):
                if bit != "#":
                    continue
                for extra in ((0, 1) if bold else (0,)):
                    img.fill_rect(x + (col + extra) * scale, top + row * scale,
                                  x + (col + extra + 1) * scale, top + (row + 1) * scale,
                                  colour)
        x += (len(glyph[0]) + 1) * scale
    return x


# Title strip --------------------------------------------------------------

TITLE_WIDTH = 478
TITLE_HEIGHT = 23


def title_colour(x):
    """The title strip's gradient: dark brown at the left, white at the right.
    The curve keeps the left part dark, where the white writing sits."""
    t = x / (TITLE_WIDTH - 1)
    return mix(BROWN_DARK, WHITE, t ** 1.7)


def title_strip_background(width, offset):
    """A strip of the title gradient, starting at the strip's column offset."""
    img = Image(width, TITLE_HEIGHT)
    for x in range(width):
        colour = title_colour(offset + x)
        for y in range(TITLE_HEIGHT):
            img.rows[y][x] = colour
    return img


def draw_logo(img, cx, cy, radius):
    """The product's disc logo: an amber disc with a white rim and a brown K;
    larger discs get a doubled, bold K."""
    fill_disc(img, cx, cy, radius, WHITE)
    fill_disc(img, cx, cy, radius - 1.2, AMBER)
    if radius >= 12:
        draw_text(img, int(cx - 6), int(cy - 7), "K", BROWN_DARK, scale=2, bold=True)
    else:
        draw_text(img, int(cx - 2.5), int(cy - 3.5), "K", BROWN_DARK)


def make_title_strip():
    img = title_strip_background(TITLE_WIDTH, 0)
    draw_logo(img, 11.5, 11.5, 8.5)
    x = draw_text(img, 25, 8, "Kelpo", WHITE, bold=True)
    draw_text(img, x + 10, 8, WEB_ADDRESS, WHITE)
    return img


# The title buttons sit at these columns of the window, over the end of the
# title strip, so their backgrounds continue its gradient.
MINIMIZE_LEFT = 432
CLOSE_LEFT = 456


def make_title_button(width, left, glyph):
    img = title_strip_background(width, left)
    cx, cy = width / 2.0, TITLE_HEIGHT / 2.0
    fill_disc(img, cx, cy, 8.5, BROWN_DARK)
    fill_disc(img, cx, cy, 7.5, BROWN)
    if glyph == "minimize":
        img.fill_rect(int(cx) - 4, int(cy), int(cx) + 4, int(cy) + 2, WHITE)
    else:
        fill_thick_line(img, cx - 3.5, cy - 3.5, cx + 3.5, cy + 3.5, 1.0, WHITE)
        fill_thick_line(img, cx - 3.5, cy + 3.5, cx + 3.5, cy - 3.5, 1.0, WHITE)
    return img


# Body background ----------------------------------------------------------

BAND_ROWS = 89


def make_background():
    img = Image(478, 290, FIELD)
    img.fill_rect(0, 0, img.width, BAND_ROWS, AMBER)
    # A brown rule under the band.
    img.fill_rect(0, BAND_ROWS, img.width, BAND_ROWS + 1, BROWN)
    # The product name with a soft shadow, large, at the band's upper left.
    draw_text(img, 17, 13, "Kelpo", (230, 150, 0), scale=3, bold=True)
    draw_text(img, 15, 11, "Kelpo", TEXT_BROWN, scale=3, bold=True)
    # The outline around the whole bitmap.
    img.fill_rect(0, 0, img.width, 1, BROWN)
    img.fill_rect(0, img.height - 1, img.width, img.height, BROWN)
    img.fill_rect(0, 0, 1, img.height, BROWN)
    img.fill_rect(img.width - 1, 0, img.width, img.height, BROWN)
    return img


# Buttons ------------------------------------------------------------------

def draw_play(img, left, top, colour):
    """A right-pointing triangle, 7 rows high."""
    for row in range(7):
        reach = 3 - abs(row - 3)
        img.fill_rect(left, top + row, left + reach + 1, top + row + 1, colour)


def draw_square(img, left, top, colour):
    img.fill_rect(left, top + 1, left + 5, top + 6, colour)


def draw_question_disc(img, left, top, pressed):
    """A brown disc, 13 pixels across, with a white question mark."""
    fill_disc(img, left + 6.5, top + 6.5, 6.5, BROWN_DARK if pressed else BROWN)
    draw_text(img, left + 4, top + 3, "?", WHITE)


def make_button(width, height, label, pressed, icon=None, face_width=None):
    """An amber button face on the amber band: a rounded brown outline, a
    bevel (light top-left, dark bottom-right; swapped when pressed), a face
    with a soft vertical gradient and the label in brown, centred.

    Pressed, the face is darker and the label moves one pixel right and down.
    A face_width narrower than the bitmap leaves plain amber at the right.
    """
    colours = BUTTON_PRESSED if pressed else BUTTON_NORMAL
    img = Image(width, height, AMBER)
    width = face_width or width
    fill_rounded_rect(img, 0, 0, width, height, 4, lambda x, y: BROWN)
    fill_rounded_rect(img, 1, 1, width - 1, height - 1, 3, lambda x, y: colours["dark"])
    fill_rounded_rect(img, 1, 1, width - 2, height - 2, 3, lambda x, y: colours["light"])

    def face(x, y):
        return mix(colours["face_top"], colours["face_bottom"], (y - 2) / max(1, height - 5))
    fill_rounded_rect(img, 2, 2, width - 2, height - 2, 2, face)

    icon_width = {None: 0, "play": 4, "stop": 5, "help": 13}[icon]
    gap = 4 if icon else 0
    content = icon_width + gap + text_width(label)
    shift = 1 if pressed else 0
    left = (width - content) // 2 + shift
    top = (height - CAP_HEIGHT) // 2 + shift
    if icon == "play":
        draw_play(img, left, top, TEXT_BROWN)
    elif icon == "stop":
        draw_square(img, left, top, TEXT_BROWN)
    elif icon == "help":
        draw_question_disc(img, left, top - 3, pressed)
    draw_text(img, left + icon_width + gap, top, label, TEXT_BROWN)
    return img


# Tray menu header ---------------------------------------------------------

def make_tray_header():
    """The tray menu's header. The menu gives the header 190 x 100 pixels and
    draws the picture at (1, 1), so 188 x 98 fills it."""
    width, height = 188, 98
    img = Image(width, height)
    for y in range(height):
        for x in range(width):
            # Diagonal gradient, brown at the top left to amber at the bottom right.
            t = (x / (width - 1)) * 0.45 + (y / (height - 1)) * 0.55
            img.rows[y][x] = mix(BROWN_DARK, AMBER, t)
    draw_logo(img, 27.5, 39.5, 15.5)
    draw_text(img, 54, 31, "Kelpo", (61, 20, 0), scale=3, bold=True)
    draw_text(img, 52, 29, "Kelpo", WHITE, scale=3, bold=True)
    address = WEB_ADDRESS
    draw_text(img, (width - text_width(address)) // 2, 78, address, BROWN_DARK)
    return img


# Icons --------------------------------------------------------------------

# The 16 colours of a 16-colour icon: the standard Windows palette.
ICON_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
GLOBE_RED, GLOBE_GREY, GLOBE_WHITE = 1, 8, 15


def make_globe(size):
    """The globe emblem, size pixels square, as rows of palette indices
    (None: transparent): a dark red disc with white meridians and parallels,
    a grey rim, and nothing outside the circle."""
    width = size // 16  # the lines' width in pixels grows with the icon
    # Lines of an odd width sit on pixel centres, so the globe's centre does
    # too and it spans one pixel less than the icon; lines of an even width
    # sit between pixels, and the globe fills the icon.
    c = size / 2.0 - 0.5 if width % 2 else size / 2.0
    radius = c if width % 2 else c - 0.5
    rim = float(width)
    half_line = width / 2.0
    line_centre = c
    parallel = round(radius * 0.45 / width) * width

    def classify(px, py):
        dx, dy = px - c, py - c
        if dx * dx + dy * dy > radius * radius:
            return None
        if dx * dx + dy * dy > (radius - rim) ** 2:
            return GLOBE_GREY
        lx, ly = px - line_centre, py - line_centre
        # The equator and a parallel on either side of it.
        if any(abs(ly - k * parallel) <= half_line for k in (-1, 0, 1)):
            return GLOBE_WHITE
        # The central meridian and two ellipses through the poles.
        if abs(lx) <= half_line:
            return GLOBE_WHITE
        if abs(ly) < radius:
            ellipse_x = radius * 0.55 * (1 - (ly / radius) ** 2) ** 0.5
            if abs(abs(lx) - ellipse_x) <= half_line:
                return GLOBE_WHITE
        return GLOBE_RED

    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            # The rim wins where it covers a third of the pixel; otherwise
            # the most frequent class of the 4x4 samples, red before white.
            counts = {}
            for sy in SAMPLES:
                for sx in SAMPLES:
                    key = classify(x + sx, y + sy)
                    counts[key] = counts.get(key, 0) + 1
            if counts.get(None, 0) >= 8:
                row.append(None)
                continue
            counts.pop(None, None)
            if counts.get(GLOBE_GREY, 0) >= 5:
                row.append(GLOBE_GREY)
                continue
            order = [GLOBE_RED, GLOBE_WHITE, GLOBE_GREY]
            best = max(order, key=lambda k: (counts.get(k, 0), -order.index(k)))
            row.append(best)
        rows.append(row)
    return rows


def icon_image(rows):
    """One 16-colour picture of an icon file: the bitmap header (height
    doubled for the mask), the palette, the 4-bit colour rows and the AND
    mask rows, both bottom-up with rows padded to 4 bytes."""
    size = len(rows)
    colour_stride = (size * 4 + 31) // 32 * 4
    mask_stride = (size + 31) // 32 * 4
    colours = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, index in enumerate(row):
            if index is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0  # transparent pixels are black, so the mask alone shows through
            line[x // 2] |= index << (0 if x % 2 else 4)
        colours += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colours) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in ICON_PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def icon_file(pictures):
    """An icon file: the 6-byte directory, a 16-byte entry per picture, the pictures."""
    images = [icon_image(rows) for rows in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, image in zip(pictures, images):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def icons():
    """Every icon file, as (folder, file name, sizes, bytes)."""
    artwork = "ui/artwork"
    return [
        # The tray icon: 22 bytes of directory and 296 of picture.
        (artwork, "TrayIcon.ico", [16], icon_file([make_globe(16)])),
        # The program's icon, for Explorer and the taskbar.
        (artwork, "Kelpo.ico", [16, 32, 48], icon_file([make_globe(n) for n in (16, 32, 48)])),
    ]


# Output -------------------------------------------------------------------

def pictures():
    """Every picture, as (folder, file name, image)."""
    artwork, images = "ui/artwork", "ui/images"
    return [
        (artwork, "TitleStrip.bmp", make_title_strip()),
        (artwork, "Background.bmp", make_background()),
        (artwork, "Minimize.bmp", make_title_button(24, MINIMIZE_LEFT, "minimize")),
        (artwork, "Close.bmp", make_title_button(22, CLOSE_LEFT, "close")),
        (artwork, "Start.bmp", make_button(58, 25, "Start", False, "play")),
        # The stop button's image control is 57 wide, one less than its
        # bitmap: the face keeps to those 57 columns so it shows whole.
        (artwork, "Stop.bmp", make_button(58, 25, "Stop", False, "stop", face_width=57)),
        (artwork, "Apply.bmp", make_button(153, 22, "Apply Changes", False)),
        (artwork, "WashNow.bmp", make_button(80, 25, "Wash Now", False)),
        (artwork, "Help.bmp", make_button(55, 25, "Help", False, "help")),
        (images, "pstart.bmp", make_button(58, 25, "Start", True, "play")),
        (images, "pstop.bmp", make_button(57, 25, "Stop", True, "stop")),
        (images, "apply.bmp", make_button(153, 22, "Apply Changes", True)),
        (images, "washnow.bmp", make_button(80, 25, "Wash Now", True)),
        (images, "help.bmp", make_button(55, 25, "Help", True, "help")),
        (images, "kelpo3.bmp", make_tray_header()),
    ]


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.normpath(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
    for folder, name, img in pictures():
        directory = os.path.join(root, folder)
        os.makedirs(directory, exist_ok=True)
        path = os.path.join(directory, name)
        with open(path, "wb") as out:
            out.write(img.to_bmp())
        print(f"{folder}/{name}: {img.width}x{img.height}")
    for folder, name, sizes, data in icons():
        directory = os.path.join(root, folder)
        os.makedirs(directory, exist_ok=True)
        with open(os.path.join(directory, name), "wb") as out:
            out.write(data)
        print(f"{folder}/{name}: {', '.join(f'{n}x{n}' for n in sizes)}, 16 colours, {len(data)} bytes")
    # The GIF pictures are drawn with this script's helpers.
    import gif_pictures
    for folder, name, width, height, make in gif_pictures.gif_pictures():
        data, summary = make()
        directory = os.path.join(root, folder)
        os.makedirs(directory, exist_ok=True)
        with open(os.path.join(directory, name), "wb") as out:
            out.write(data)
        print(f"{folder}/{name}: {width}x{height}, {summary['frames']} frame(s), "
              f"{summary['colours']} colours, {len(data)} bytes")
    import link_icons
    for folder, name, make in link_icons.files():
        data, summary = make()
        with open(os.path.join(root, folder, name), "wb") as out:
            out.write(data)
        print(f"{folder}/{name}: {summary['images']} icons in {summary['width']}x{summary['height']}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
