"""Kelpo's two GIF pictures: the animated banner and the about picture.

The banner (468 x 60, 128 frames) advertises the maker's development services
on a green ground; the about picture (220 x 170, one frame) is the background
of the about box. Both are drawn with the helpers of make_artwork.py and
encoded with gif_writer.py. Standard library only; the output is the same on
every run.
"""

import math

import gif_writer
from make_artwork import (AMBER, BROWN, BROWN_DARK, FONT, TEXT_BROWN, WHITE, Image,
                          draw_text, fill_disc, fill_thick_line, mix, text_width)
from web_address import WEB_ADDRESS


def text_sprite(text, scale=1, bold=False):
    """The pixels draw_text would set for text at (0, 0), as (dx, dy) pairs."""
    marker = (1, 2, 3)
    img = Image(text_width(text, scale, bold) + 2 * scale, 9 * scale)
    draw_text(img, 0, 0, text, marker, scale, bold)
    return [(x, y) for y in range(img.height) for x in range(img.width)
            if img.rows[y][x] == marker]


def draw_text_smooth(img, left, top, text, colour, sx, sy, levels=16):
    """Draws text with every font pixel stretched to sx x sy pixels (fractions
    allowed), antialiased by the area each pixel has inside the strokes; the
    coverage is rounded to the given number of levels."""
    cover = {}

    def add_rect(x0, y0, x1, y1):
        for py in range(int(math.floor(y0)), int(math.ceil(y1))):
            h = min(y1, py + 1) - max(y0, py)
            for px in range(int(math.floor(x0)), int(math.ceil(x1))):
                w = min(x1, px + 1) - max(x0, px)
                if w > 0 and h > 0:
                    cover[(px, py)] = cover.get((px, py), 0.0) + w * h

    column = 0
    for ch in text:
        glyph = FONT[ch]
        for row, bits in enumerate(glyph):
            for col, bit in enumerate(bits):
                if bit == "#":
                    add_rect(left + (column + col) * sx, top + row * sy,
                             left + (column + col + 1) * sx, top + (row + 1) * sy)
        column += len(glyph[0]) + 1
    for (px, py), alpha in sorted(cover.items()):
        img.blend(px, py, colour, min(1.0, round(alpha * levels) / levels))


def index_pictures(pictures, size, reserved):
    """Reduces pictures (lists of colour rows) to one palette of size entries
    whose entry reserved stays free for transparency.

    Returns the palette, an Indexer over the palette without the reserved
    entry (see shift_indices), and the numbers of palette colours and of
    distinct colours in the pictures. The colours are ordered by how often they
    occur, most frequent first; when there are too many, median cut merges
    them.
    """
    counts = {}
    for rows in pictures:
        for row in rows:
            for colour in row:
                counts[colour] = counts.get(colour, 0) + 1
    colours = gif_writer.median_cut(counts, size - 1)
    if len(colours) == len(counts):
        colours.sort(key=lambda c: (-counts[c], c))
    palette = colours + [(0, 0, 0)] * (size - 1 - len(colours))
    palette.insert(reserved, (0, 0, 0))
    indexer = gif_writer.Indexer(palette[:reserved] + palette[reserved + 1:])
    return palette, indexer, len(colours), len(counts)


def shift_indices(indices, reserved):
    """Moves indices at or above reserved up by one, leaving reserved unused."""
    return bytes(i + 1 if i >= reserved else i for i in indices)


# Banner -------------------------------------------------------------------

BANNER_WIDTH = 468
BANNER_HEIGHT = 60
BANNER_TRANSPARENT = 255

GROUND_TOP = (46, 156, 66)
GROUND_BOTTOM = (8, 92, 38)
GROUND_LIGHT = (128, 204, 128)
GROUND_DARK = (0, 58, 22)
SHADOW = GROUND_DARK
ORANGE = (255, 136, 0)
ORANGE_RIM = (170, 70, 0)
HEADLINE = (255, 222, 60)
SUBLINE = (226, 255, 226)
ADDRESS = WEB_ADDRESS

LOGO_X, LOGO_Y = 31.0, 30.0
MESSAGE_LEFT = 66   # the message lines are clipped here, right of the logo
LINE_LEFT = 74      # where the message lines come to rest
HEADLINE_TOP = 11   # the headline's cap top; it is drawn at twice the font size
SUBLINE_TOP = 37
ADDRESS_TOP = 47

# (headline, line below it, hold time in hundredths of a second)
SCENES = [
    ("Orvanex Software", "Development services for your business", 250),
    ("Custom software development", "From the first idea to the finished product", 300),
    ("Windows desktop tools", "Small, fast and reliable utilities", 300),
    ("Web applications", "Sites, shops and online services", 300),
    (ADDRESS, "Ask us for a free quote today!", 700),
]
STEP = 14            # hundredths of a second per animation frame
INTRO_HOLD = 100
ENTER_FRAMES = 7     # the headline slides in from the right
TYPE_FRAMES = 5      # the line below is typed in
SHINE_FRAMES = 8     # a highlight sweeps over the headline
EXIT_STEPS = [0.08, 0.3, 0.65, 1.0]  # both lines slide out to the left
BANNER_FRAMES = 128


def headline_bold(headline):
    """Headlines are bold, except the web address, whose w's run together
    when bold."""
    return headline != ADDRESS


def banner_ground():
    """Green ground in 3-row bands, light top edge, dark bottom edge."""
    img = Image(BANNER_WIDTH, BANNER_HEIGHT)
    for y in range(BANNER_HEIGHT):
        if y == 0:
            colour = GROUND_LIGHT
        elif y == BANNER_HEIGHT - 1:
            colour = GROUND_DARK
        else:
            colour = mix(GROUND_TOP, GROUND_BOTTOM, ((y - 1) // 3) / 19.0)
        img.rows[y] = [colour] * BANNER_WIDTH
    return img


def banner_base():
    """Everything that stays: ground, the maker's logo (an orange disc with a
    white ring), a groove right of it, and the web address at the lower right."""
    img = banner_ground()
    fill_disc(img, LOGO_X, LOGO_Y, 24, ORANGE_RIM)
    fill_disc(img, LOGO_X, LOGO_Y, 23, ORANGE)
    fill_disc(img, LOGO_X, LOGO_Y, 14, WHITE)
    fill_disc(img, LOGO_X, LOGO_Y, 8.5, ORANGE)
    img.fill_rect(MESSAGE_LEFT - 4, 4, MESSAGE_LEFT - 3, BANNER_HEIGHT - 4, GROUND_DARK)
    img.fill_rect(MESSAGE_LEFT - 3, 4, MESSAGE_LEFT - 2, BANNER_HEIGHT - 4, GROUND_LIGHT)
    left = BANNER_WIDTH - 8 - text_width(ADDRESS)
    draw_text(img, left + 1, ADDRESS_TOP + 1, ADDRESS, SHADOW)
    draw_text(img, left, ADDRESS_TOP, ADDRESS, AMBER)
    return img


def draw_sparkle(img, size):
    """A small four-pointed glint on the logo disc."""
    cx, cy = LOGO_X - 15, LOGO_Y - 13
    fill_thick_line(img, cx - size, cy, cx + size, cy, 0.7, WHITE)
    fill_thick_line(img, cx, cy - size, cx, cy + size, 0.7, WHITE)
    fill_disc(img, cx, cy, 1.6, WHITE)


def shine_colour(dx, dy, centre):
    """The headline's colour at sprite pixel (dx, dy) with the highlight band,
    slanted, at column centre (None: no highlight)."""
    if centre is None:
        return HEADLINE
    distance = abs(dx + dy * 0.5 - centre)
    if distance < 4:
        return WHITE
    if distance < 8:
        return mix(HEADLINE, WHITE, 0.66)
    if distance < 12:
        return mix(HEADLINE, WHITE, 0.33)
    return HEADLINE


def put_clipped(img, x, y, colour):
    if MESSAGE_LEFT <= x < BANNER_WIDTH and 0 <= y < BANNER_HEIGHT:
        img.rows[y][x] = colour


class BannerFrame:
    """What one frame shows, and for how long (hundredths of a second)."""

    def __init__(self, delay, scene=None, headline_x=None, typed=0, cursor=False,
                 shine=None, sparkle=0):
        self.delay = delay
        self.scene = scene
        self.headline_x = headline_x
        self.typed = typed
        self.cursor = cursor
        self.shine = shine
        self.sparkle = sparkle


def banner_timeline():
    frames = [BannerFrame(INTRO_HOLD), BannerFrame(STEP, sparkle=3), BannerFrame(STEP, sparkle=6)]
    for number, (headline, subline, hold) in enumerate(SCENES):
        for i in range(ENTER_FRAMES):
            t = (i + 1) / ENTER_FRAMES
            x = LINE_LEFT + int(round((BANNER_WIDTH - LINE_LEFT) * (1 - t) ** 3))
            frames.append(BannerFrame(STEP, number, x))
        for i in range(TYPE_FRAMES):
            typed = -(-len(subline) * (i + 1) // TYPE_FRAMES)
            frames.append(BannerFrame(STEP, number, LINE_LEFT, typed, cursor=True))
        width = text_width(headline, 2, headline_bold(headline))
        for i in range(SHINE_FRAMES):
            # From just inside the left end to just inside the right end, so
            # that every one of these frames shows the band.
            centre = -6 + (width + 12) * i / (SHINE_FRAMES - 1)
            frames.append(BannerFrame(STEP, number, LINE_LEFT, len(subline), shine=centre))
        frames.append(BannerFrame(hold, number, LINE_LEFT, len(subline)))
        # The distance that takes the last pixel of both lines (shadows
        # included) behind the clipping edge.
        distance = LINE_LEFT + max(width + 2, text_width(subline) + 1) - MESSAGE_LEFT
        for step in EXIT_STEPS:
            offset = int(round(distance * step))
            frames.append(BannerFrame(STEP, number, LINE_LEFT - offset, len(subline)))
    assert len(frames) == BANNER_FRAMES, len(frames)
    return frames


def render_banner_frame(base, frame, sprites):
    img = Image(BANNER_WIDTH, BANNER_HEIGHT)
    img.rows = [list(row) for row in base.rows]
    if frame.sparkle:
        draw_sparkle(img, frame.sparkle)
    if frame.scene is None:
        return img
    headline, subline, _ = SCENES[frame.scene]
    x = frame.headline_x
    big = sprites[headline]
    for dx, dy in big:
        put_clipped(img, x + dx + 2, HEADLINE_TOP + dy + 2, SHADOW)
    for dx, dy in big:
        put_clipped(img, x + dx, HEADLINE_TOP + dy, shine_colour(dx, dy, frame.shine))
    if frame.typed:
        typed = subline[:frame.typed]
        small = text_sprite(typed)
        for dx, dy in small:
            put_clipped(img, x + dx + 1, SUBLINE_TOP + dy + 1, SHADOW)
        for dx, dy in small:
            put_clipped(img, x + dx, SUBLINE_TOP + dy, SUBLINE)
        if frame.cursor:
            cx = x + text_width(typed) + 2
            for cy in range(SUBLINE_TOP, SUBLINE_TOP + 7):
                put_clipped(img, cx, cy, SUBLINE)
                put_clipped(img, cx + 1, cy, SUBLINE)
    return img


def make_banner():
    """The banner as GIF bytes, with a summary of its frames.

    Frame 1 is the whole picture; every later frame is full-size too but
    marks the pixels that did not change with the transparent index, so that
    with disposal 1 (leave in place) it only paints what moved.
    """
    base = banner_base()
    timeline = banner_timeline()
    sprites = {headline: text_sprite(headline, 2, headline_bold(headline))
               for headline, _, _ in SCENES}
    renders = [render_banner_frame(base, f, sprites).rows for f in timeline]
    palette, indexer, used, distinct = index_pictures(renders, 256, BANNER_TRANSPARENT)
    # The transparent entry carries the ground's colour, for readers that
    # ignore transparency.
    palette[BANNER_TRANSPARENT] = mix(GROUND_TOP, GROUND_BOTTOM, 0.5)
    frames = []
    previous = None
    for f, rows in zip(timeline, renders):
        indices = shift_indices(indexer.indices(rows), BANNER_TRANSPARENT)
        if previous is None:
            pixels = indices
        else:
            pixels = bytes(BANNER_TRANSPARENT if a == b else b for a, b in zip(previous, indices))
            assert previous != indices, "a frame that changes nothing"
        previous = indices
        frames.append(gif_writer.Frame(BANNER_WIDTH, BANNER_HEIGHT, pixels, delay=f.delay,
                                       disposal=1, transparent=BANNER_TRANSPARENT,
                                       interlaced=True))
    data = gif_writer.encode(BANNER_WIDTH, BANNER_HEIGHT, palette, frames, version="87a",
                             loop_count=0)
    return data, {"frames": len(frames), "colours": used, "distinct": distinct}


# About picture ------------------------------------------------------------

ABOUT_WIDTH = 220
ABOUT_HEIGHT = 170
ABOUT_TRANSPARENT = 127
NAME_SHADOW = (214, 142, 0)
NOTICE = "Copyright Orvanex Software"
VERSION_LEFT = 84       # the version line spans x 84..130, y 152..161
VERSION_RIGHT = 130
VERSION_TOP = 152
VERSION_BOTTOM = 161
VERSION_LABEL_LEFT = 105  # the about box's version label covers the number from here
VERSION_NUMBER = "2.5"


def make_about_image():
    """Amber field with a brown outline; the web address at the upper right;
    "Kelpo" large, brown with a soft gradient and a darker amber shadow, in
    the middle; the maker's notice below it; "Ver 2.5" at the bottom.

    The about box puts its own labels over the picture ("Close" at the upper
    left, the address link at y 127..139 and the running version from x 105
    in the version line), on amber, so those places are left plain amber."""
    img = Image(ABOUT_WIDTH, ABOUT_HEIGHT, AMBER)
    img.fill_rect(0, 0, ABOUT_WIDTH, 1, BROWN)
    img.fill_rect(0, ABOUT_HEIGHT - 1, ABOUT_WIDTH, ABOUT_HEIGHT, BROWN)
    img.fill_rect(0, 0, 1, ABOUT_HEIGHT, BROWN)
    img.fill_rect(ABOUT_WIDTH - 1, 0, ABOUT_WIDTH, ABOUT_HEIGHT, BROWN)

    draw_text(img, ABOUT_WIDTH - 9 - text_width(ADDRESS), 9, ADDRESS, BROWN)

    scale = 5
    name = text_sprite("Kelpo", scale, True)
    left = (ABOUT_WIDTH - text_width("Kelpo", scale, True)) // 2
    top = 44
    for dx, dy in name:
        img.set(left + dx + 3, top + dy + 3, NAME_SHADOW)
    full = 9 * scale - 1
    for dx, dy in name:
        img.set(left + dx, top + dy, mix(BROWN_DARK, BROWN, dy / full))

    draw_text(img, (ABOUT_WIDTH - text_width(NOTICE)) // 2, 102, NOTICE, TEXT_BROWN)

    # "Ver" ends just left of the version label; the number, which the label
    # covers in the running program, ends at the line's right edge.
    sy = (VERSION_BOTTOM + 1 - VERSION_TOP) / 7.0
    sx = (VERSION_LABEL_LEFT - 1 - VERSION_LEFT) / text_width("Ver")
    draw_text_smooth(img, VERSION_LEFT, VERSION_TOP, "Ver", TEXT_BROWN, sx, sy)
    number_left = VERSION_RIGHT + 1 - text_width(VERSION_NUMBER) * sx
    draw_text_smooth(img, number_left, VERSION_TOP, VERSION_NUMBER, TEXT_BROWN, sx, sy)
    return img


def make_about():
    """The about picture as GIF bytes, with a summary."""
    img = make_about_image()
    palette, indexer, used, distinct = index_pictures([img.rows], 128, ABOUT_TRANSPARENT)
    palette[ABOUT_TRANSPARENT] = AMBER
    pixels = shift_indices(indexer.indices(img.rows), ABOUT_TRANSPARENT)
    frame = gif_writer.Frame(ABOUT_WIDTH, ABOUT_HEIGHT, pixels, transparent=ABOUT_TRANSPARENT)
    data = gif_writer.encode(ABOUT_WIDTH, ABOUT_HEIGHT, palette, [frame], version="89a")
    return data, {"frames": 1, "colours": used, "distinct": distinct}


def gif_pictures():
    """Every GIF picture, as (folder, file name, width, height, maker)."""
    return [
        ("ui/artwork", "Banner.gif", BANNER_WIDTH, BANNER_HEIGHT, make_banner),
        ("ui/artwork", "About.gif", ABOUT_WIDTH, ABOUT_HEIGHT, make_about),
    ]
