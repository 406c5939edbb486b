"""A small GIF encoder for Kelpo's artwork generator.

Writes GIF files from pictures that are already reduced to colour indices:
a global colour table, an optional NETSCAPE2.0 looping extension, and per
frame an optional graphic control extension (disposal method, delay,
transparent index) and an image whose LZW-compressed rows are stored in
normal or interlaced order. Also offers a median-cut colour reduction for
pictures with more colours than a table holds.

Uses the Python standard library only; the output depends on nothing but the
arguments.
"""

import struct

MAX_CODES = 4096  # LZW codes are at most 12 bits wide


class Frame:
    """One image of a GIF file.

    pixels holds width x height colour indices, row by row from the top,
    as bytes. delay is in hundredths of a second. transparent is a colour
    index or None. The graphic control extension carrying delay, disposal
    and transparency is written unless control is false, which is allowed
    only when all three are unset.
    """

    def __init__(self, width, height, pixels, left=0, top=0, delay=0, disposal=0,
                 transparent=None, interlaced=False, control=True):
        if len(pixels) != width * height:
            raise ValueError("pixel count does not match the frame size")
        if not 0 <= disposal <= 7:
            raise ValueError("disposal method out of range")
        if not 0 <= delay <= 0xFFFF:
            raise ValueError("delay out of range")
        self.width = width
        self.height = height
        self.pixels = bytes(pixels)
        self.left = left
        self.top = top
        self.delay = delay
        self.disposal = disposal
        self.transparent = transparent
        self.interlaced = interlaced
        if not control and (delay or disposal or transparent is not None):
            raise ValueError("delay, disposal and transparency need a graphic control extension")
        if transparent is not None and not 0 <= transparent <= 255:
            raise ValueError("transparent index out of range")
        self.control = control


def interlaced_row_order(height):
    """Row numbers in the order of the four interlace passes: every 8th row
    from row 0, every 8th from row 4, every 4th from row 2, every 2nd from row 1."""
    order = []
    for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)):
        order.extend(range(start, height, step))
    return order


def stored_pixels(frame):
    """The frame's indices in the order they are compressed."""
    if not frame.interlaced:
        return frame.pixels
    w = frame.width
    return b"".join(frame.pixels[y * w:(y + 1) * w] for y in interlaced_row_order(frame.height))


class _BitWriter:
    """Packs codes of varying width, least significant bit first."""

    def __init__(self):
        self.out = bytearray()
        self.accumulator = 0
        self.bits = 0

    def write(self, code, width):
        self.accumulator |= code << self.bits
        self.bits += width
        while self.bits >= 8:
            self.out.append(self.accumulator & 0xFF)
            self.accumulator >>= 8
            self.bits -= 8

    def finish(self):
        if self.bits:
            self.out.append(self.accumulator & 0xFF)
        self.accumulator = 0
        self.bits = 0
        return bytes(self.out)


def lzw_compress(pixels, min_code_size):
    """Compresses colour indices with GIF's LZW variant.

    Starts with a clear code, widens the codes as the table grows, and when
    all 4096 codes are taken sends a clear code and starts a new table.
    Ends with the end-of-information code. Returns the packed code bytes,
    not yet cut into sub-blocks.
    """
    if not 2 <= min_code_size <= 8:
        raise ValueError("minimum code size must be 2..8")
    clear = 1 << min_code_size
    end = clear + 1
    limit = clear  # indices must be below this
    writer = _BitWriter()

    width = min_code_size + 1
    next_code = end + 1
    table = {}
    writer.write(clear, width)
    if not pixels:
        writer.write(end, width)
        return writer.finish()

    prefix = pixels[0]
    if prefix >= limit:
        raise ValueError("colour index too large for the code size")
    for k in pixels[1:]:
        if k >= limit:
            raise ValueError("colour index too large for the code size")
        key = (prefix << 8) | k
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        writer.write(prefix, width)
        if next_code < MAX_CODES:
            table[key] = next_code
            next_code += 1
            # The decoder adds each entry one code later than the encoder, so
            # it widens when reading the code after this one: widen now.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            writer.write(clear, width)
            table = {}
            width = min_code_size + 1
            next_code = end + 1
        prefix = k
    writer.write(prefix, width)
    writer.write(end, width)
    return writer.finish()


def sub_blocks(data):
    """Cuts data into sub-blocks of at most 255 bytes, with the terminator."""
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def table_size_bits(count):
    """The size field n of a colour table of count entries (2^(n+1) >= count)."""
    n = 0
    while (2 << n) < count:
        n += 1
    if n > 7:
        raise ValueError("a colour table holds at most 256 entries")
    return n


def encode(width, height, palette, frames, version="89a", loop_count=None, background=0):
    """Builds a complete GIF file.

    palette: the global colour table, a list of (r, g, b); padded with black
    to the next power of two (at least 2). loop_count: when not None, a
    NETSCAPE2.0 application extension with that count (0 = endless) follows
    the header. version is written as given ("87a" or "89a").
    """
    if version not in ("87a", "89a"):
        raise ValueError("version must be 87a or 89a")
    bits = table_size_bits(len(palette))
    entries = 2 << bits
    colours = list(palette) + [(0, 0, 0)] * (entries - len(palette))
    min_code_size = max(2, bits + 1)

    out = bytearray(b"GIF" + version.encode("ascii"))
    # Logical screen: global table present, 8 bits per primary, unsorted.
    out += struct.pack("<HHBBB", width, height, 0x80 | (7 << 4) | bits, background, 0)
    for r, g, b in colours:
        out += bytes((r, g, b))

    if loop_count is not None:
        out += b"\x21\xFF\x0BNETSCAPE2.0"
        out += struct.pack("<BBHB", 3, 1, loop_count, 0)

    for frame in frames:
        if frame.left + frame.width > 0xFFFF or frame.top + frame.height > 0xFFFF:
            raise ValueError("frame outside the 16-bit coordinate range")
        if frame.control:
            flags = (frame.disposal << 2) | (1 if frame.transparent is not None else 0)
            out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, frame.delay,
                               frame.transparent or 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, frame.left, frame.top, frame.width, frame.height,
                           0x40 if frame.interlaced else 0)
        out.append(min_code_size)
        out += sub_blocks(lzw_compress(stored_pixels(frame), min_code_size))

    out.append(0x3B)
    return bytes(out)


# Colour reduction ---------------------------------------------------------

def median_cut(counts, size):
    """Reduces a histogram {(r, g, b): count} to at most size colours.

    Repeatedly splits the box with the widest channel range (ties: the box
    with more pixels, then the earlier box) at the weighted median of that
    channel; each box becomes the weighted mean of its colours. When there
    are no more colours than size, they are returned unchanged. The result
    is sorted and does not depend on the order of counts.
    """
    colours = sorted(counts)
    if len(colours) <= size:
        return colours
    boxes = [colours]

    def spread(box):
        ranges = [max(c[i] for c in box) - min(c[i] for c in box) for i in range(3)]
        channel = max(range(3), key=lambda i: (ranges[i], -i))
        return ranges[channel], channel

    while len(boxes) < size:
        best = None
        for number, box in enumerate(boxes):
            if len(box) < 2:
                continue
            extent, channel = spread(box)
            weight = sum(counts[c] for c in box)
            key = (extent, weight, -number)
            if best is None or key > best[0]:
                best = (key, number, channel)
        if best is None:
            break
        _, number, channel = best
        box = sorted(boxes[number], key=lambda c: (c[channel], c))
        total = sum(counts[c] for c in box)
        running = 0
        cut = 1
        for i, c in enumerate(box[:-1]):
            running += counts[c]
            cut = i + 1
            if running * 2 >= total:
                break
        boxes[number:number + 1] = [box[:cut], box[cut:]]

    result = set()
    for box in boxes:
        weight = sum(counts[c] for c in box)
        result.add(tuple(int(round(sum(c[i] * counts[c] for c in box) / weight))
                         for i in range(3)))
    return sorted(result)


def nearest_index(palette, colour):
    """The index of the palette colour closest to colour (first on ties)."""
    best, best_distance = 0, None
    for index, p in enumerate(palette):
        d = (p[0] - colour[0]) ** 2 + (p[1] - colour[1]) ** 2 + (p[2] - colour[2]) ** 2
        if best_distance is None or d < best_distance:
            best, best_distance = index, d
    return best


class Indexer:
    """Maps (r, g, b) colours to indices of a fixed palette, remembering answers."""

    def __init__(self, palette):
        self.palette = list(palette)
        self.cache = {c: i for i, c in reversed(list(enumerate(self.palette)))}

    def index(self, colour):
        i = self.cache.get(colour)
        if i is None:
            i = nearest_index(self.palette, colour)
            self.cache[colour] = i
        return i

    def indices(self, rows):
        """The picture given as rows of colours, as bytes of indices."""
        return bytes(self.index(c) for row in rows for c in row)
