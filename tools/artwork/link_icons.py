"""The icons of the main window's links menu: eleven 16 x 16 masked icons,
stored as the image list of the layout (ImageList1), in the form the
framework's TImageList reads (framework/ImageList.h): a 28-byte header, the
icons as one 24-bit BMP four to a row, then the mask as a BMP of the same size,
white where an icon is transparent and black where it shows.

The icons are drawn crisp, without antialiasing, since a mask has no partial
pixels: a pixel shows when at least half of it lies inside the shape. Their
transparent pixels are black in the image, as in the system's image lists.

| Index | Icon |
|---|---|
| 0 | a door with a green arrow going out |
| 1 | a blue disc with a white question mark |
| 2 | a house |
| 3 | a lamp with a red question mark |
| 4 | a lined note |
| 5 | an insect |
| 6 | a green globe outline |
| 7 | a computer monitor |
| 8 | the product's logo: an amber disc with a white rim and a brown K |
| 9 | the maker's logo: an orange disc with a white ring |
| 10 | a green disc with the maker's initial |
"""

import struct

from make_artwork import AMBER, BROWN, BROWN_DARK, FONT, WHITE, Image, coverage

SIZE = 16
PER_ROW = 4

BLUE = (0, 84, 190)
BLUE_DARK = (0, 40, 120)
BLUE_SCREEN = (40, 120, 220)
GREEN = (0, 150, 60)
GREEN_DARK = (0, 90, 30)
RED = (210, 20, 20)
ORANGE = (255, 136, 0)
ORANGE_RIM = (170, 70, 0)
YELLOW = (255, 230, 80)
GREY = (150, 150, 150)
GREY_DARK = (80, 80, 80)
GREY_LIGHT = (210, 210, 210)
PAPER = (255, 255, 240)
WALL = (255, 236, 190)
WOOD = (176, 104, 40)


class Icon:
    """A 16 x 16 picture whose pixels are a colour or None (transparent)."""

    def __init__(self):
        self.pixels = [[None] * SIZE for _ in range(SIZE)]

    def put(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def shape(self, inside, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                if coverage(x, y, inside) >= 0.5:
                    self.pixels[y][x] = colour

    def disc(self, cx, cy, radius, colour):
        self.shape(lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius, colour)

    def ring(self, cx, cy, outer, inner, colour):
        self.shape(lambda px, py: inner * inner < (px - cx) ** 2 + (py - cy) ** 2 <= outer * outer, colour)

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the pixels x0 <= x < x1, y0 <= y < y1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0 + 1, colour)
        self.rect(x0, y1 - 1, x1, y1, colour)
        self.rect(x0, y0, x0 + 1, y1, colour)
        self.rect(x1 - 1, y0, x1, y1, colour)

    def line(self, ax, ay, bx, by, half_width, colour):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy

        def inside(px, py):
            t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
            qx, qy = ax + t * dx - px, ay + t * dy - py
            return qx * qx + qy * qy <= half_width * half_width
        self.shape(inside, colour)

    def glyph(self, left, top, ch, colour):
        for row, bits in enumerate(FONT[ch]):
            for column, bit in enumerate(bits):
                if bit == "#":
                    self.put(left + column, top + row, colour)


def door():
    icon = Icon()
    icon.rect(2, 1, 10, 15, WOOD)
    icon.frame(2, 1, 10, 15, BROWN_DARK)
    icon.rect(4, 3, 8, 7, (200, 130, 60))
    icon.put(8, 8, YELLOW)
    icon.rect(0, 15, 12, 16, GREY_DARK)
    # The arrow leaves through the door to the right.
    icon.rect(8, 9, 13, 11, GREEN)
    for step in range(4):
        icon.rect(12 + step, 6 + step, 13 + step, 14 - step, GREEN)
    return icon


def help_disc():
    icon = Icon()
    icon.disc(7.5, 7.5, 7.6, BLUE_DARK)
    icon.disc(7.5, 7.5, 6.6, BLUE)
    icon.glyph(5, 4, "?", WHITE)
    icon.rect(6, 5, 7, 6, WHITE)
    return icon


def house():
    icon = Icon()
    icon.rect(3, 8, 13, 15, WALL)
    icon.frame(3, 8, 13, 15, BROWN_DARK)
    icon.rect(7, 10, 10, 15, WOOD)
    icon.rect(11, 2, 13, 6, GREY_DARK)  # the chimney
    for row in range(7):
        icon.rect(7 - row, 1 + row, 9 + row, 2 + row, RED)
    icon.rect(0, 8, 16, 9, BROWN_DARK)
    icon.rect(1, 7, 15, 8, RED)
    return icon


def lamp():
    icon = Icon()
    icon.disc(7.5, 6.0, 5.8, BROWN_DARK)
    icon.disc(7.5, 6.0, 4.9, YELLOW)
    icon.rect(5, 10, 11, 12, YELLOW)
    icon.rect(5, 12, 11, 13, GREY_DARK)
    icon.rect(5, 13, 11, 14, GREY)
    icon.rect(6, 14, 10, 15, GREY_DARK)
    icon.glyph(5, 2, "?", RED)
    return icon


def note():
    icon = Icon()
    icon.rect(2, 1, 14, 15, PAPER)
    icon.frame(2, 1, 14, 15, GREY_DARK)
    for y in (4, 6, 8, 10, 12):
        icon.rect(4, y, 12, y + 1, BLUE)
    # A dog-ear at the upper right: the corner cut off along the diagonal, folded over.
    for y in range(1, 5):
        for x in range(10, 14):
            if x - 10 > y - 1:
                icon.put(x, y, None)
            elif x - 10 == y - 1 or x == 10 or y == 4:
                icon.put(x, y, GREY_DARK)
    return icon


def insect():
    icon = Icon()
    for side in (-1, 1):
        for ax, ay, bx, by in ((7.5, 8.0, 7.5 + 6 * side, 6.0), (7.5, 10.0, 7.5 + 6.5 * side, 10.5),
                               (7.5, 12.0, 7.5 + 5.5 * side, 15.0), (7.5, 4.0, 7.5 + 3.5 * side, 0.5)):
            icon.line(ax, ay, bx, by, 0.5, GREY_DARK)
    icon.shape(lambda px, py: ((px - 8.0) / 3.6) ** 2 + ((py - 10.0) / 5.0) ** 2 <= 1, (40, 110, 20))
    icon.rect(7, 6, 9, 15, (20, 60, 10))
    icon.disc(8.0, 4.5, 2.4, GREY_DARK)
    return icon


def globe():
    icon = Icon()
    cx = cy = 7.5

    def within(px, py):
        return (px - cx) ** 2 + (py - cy) ** 2 <= 6.5 * 6.5
    icon.ring(cx, cy, 7.6, 6.5, GREEN)
    icon.shape(lambda px, py: 0.55 < ((px - cx) / 3.6) ** 2 + ((py - cy) / 7.0) ** 2 <= 1 and within(px, py), GREEN)
    icon.shape(lambda px, py: abs(py - cy) <= 0.5 and within(px, py), GREEN)
    icon.shape(lambda px, py: abs(px - cx) <= 0.5 and within(px, py), GREEN)
    for latitude in (3.5, 11.5):
        icon.shape(lambda px, py, y=latitude: abs(py - y) <= 0.5 and within(px, py), GREEN_DARK)
    return icon


def monitor():
    icon = Icon()
    icon.rect(0, 1, 16, 12, GREY_LIGHT)
    icon.frame(0, 1, 16, 12, GREY_DARK)
    icon.rect(2, 3, 14, 10, BLUE_SCREEN)
    icon.rect(3, 4, 7, 5, WHITE)
    icon.rect(6, 12, 10, 14, GREY)
    icon.rect(3, 14, 13, 15, GREY_DARK)
    return icon


def product_logo():
    icon = Icon()
    icon.disc(7.5, 7.5, 7.6, WHITE)
    icon.disc(7.5, 7.5, 6.5, AMBER)
    icon.glyph(5, 4, "K", BROWN_DARK)
    icon.glyph(6, 4, "K", BROWN_DARK)
    return icon


def maker_logo():
    icon = Icon()
    icon.disc(7.5, 7.5, 7.6, ORANGE_RIM)
    icon.disc(7.5, 7.5, 6.6, ORANGE)
    icon.ring(7.5, 7.5, 4.6, 3.0, WHITE)
    return icon


def initial_disc():
    icon = Icon()
    icon.disc(7.5, 7.5, 7.6, GREEN_DARK)
    icon.disc(7.5, 7.5, 6.6, GREEN)
    icon.glyph(5, 4, "O", WHITE)
    icon.glyph(6, 4, "O", WHITE)
    return icon


ICONS = [door, help_disc, house, lamp, note, insect, globe, monitor, product_logo, maker_logo, initial_disc]


def image_list():
    """The icons in the image list's stored form, with a summary."""
    icons = [make() for make in ICONS]
    rows = (len(icons) + PER_ROW - 1) // PER_ROW
    capacity = rows * PER_ROW
    picture = Image(PER_ROW * SIZE, rows * SIZE, (0, 0, 0))
    mask = Image(PER_ROW * SIZE, rows * SIZE, WHITE)
    for index, icon in enumerate(icons):
        left, top = (index % PER_ROW) * SIZE, (index // PER_ROW) * SIZE
        for y in range(SIZE):
            for x in range(SIZE):
                colour = icon.pixels[y][x]
                if colour is not None:
                    picture.set(left + x, top + y, colour)
                    mask.set(left + x, top + y, (0, 0, 0))
    masked_24_bits = 0x0001 | 0x0018
    header = struct.pack("<2sHHHHHHIH4h", b"IL", 0x0101, len(icons), capacity, PER_ROW, SIZE, SIZE,
                         0xFFFFFFFF, masked_24_bits, -1, -1, -1, -1)
    data = header + picture.to_bmp() + mask.to_bmp()
    return data, {"images": len(icons), "width": picture.width, "height": picture.height}


def files():
    """Every file of this module, as (folder, file name, maker)."""
    return [("ui/artwork", "LinkIcons.il", image_list)]
