"""Writes the program icon (zol.ico), its look while the screen saver is paused (paused.ico) and the
hot-spot pointer (hotspot.cur)."""

import os
import struct

# The standard 16-colour Windows palette, by index.
VGA = [0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
       0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF]

# Icon legend: '.' is transparent, every other character is a palette index.
ICON_KEY = {"K": 0, "N": 4, "s": 7, "g": 8, "L": 10, "y": 11, "W": 15}

# A monitor whose dark screen shows a crescent moon and a few stars.
ICON_32 = [
    "................................",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
    ".KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.",
    ".KWssssssssssssssssssssssssssgK.",
    ".KWsgggggggggggggggggggggggssgK.",
    ".KWsgNNNNNNNNNNNNNNNNNNNNNNWsgK.",
    ".KWsgNNNNNyyyyNNNNNNNsNNNNNWsgK.",
    ".KWsgNNNyyyyNNNsNNNNNWNNNNNWsgK.",
    ".KWsgNNNyyyNNNNNNNNsWWWsNNNWsgK.",
    ".KWsgNNyyyyNNNNNNNNNNWNNNNNWsgK.",
    ".KWsgNNyyyyNNNNNNNNNNsNNNNNWsgK.",
    ".KWsgNNyyyyNNNNNNWNNNNNNNNNWsgK.",
    ".KWsgNNyyyyyNNNNNNNNNNNNWNNWsgK.",
    ".KWsgNNNyyyyyNNNNNNNNNNNNNNWsgK.",
    ".KWsgNNNyyyyyyyNNyNNNNNNNNNWsgK.",
    ".KWsgNNNNyyyyyyyyNNNNsNNNNNWsgK.",
    ".KWsgNNNNNNyyyyyNNNNNNNNNsNWsgK.",
    ".KWsgNNNNNNNNNNNNNNNNNNNNNNWsgK.",
    ".KWssWWWWWWWWWWWWWWWWWWWWWWWsgK.",
    ".KWssssssssssssssssssssssssssgK.",
    ".KWsssssssssssssssssssssLLsssgK.",
    ".KWgggggggggggggggggggggggggggK.",
    ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
    "............KggggggK............",
    "............KggggggK............",
    ".......KKKKKKKKKKKKKKKKKK.......",
    ".......KWWWWWWWWWWWWWWWWK.......",
    ".......KssssssssssssssssK.......",
    ".......KggggggggggggggggK.......",
    ".......KKKKKKKKKKKKKKKKKK.......",
    "................................",
    "................................",
]

ICON_16 = [
    "KKKKKKKKKKKKKKKK",
    "KWWWWWWWWWWWWWWK",
    "KWNNNNNNNNNNNNgK",
    "KWNNNyyNNNNsNNgK",
    "KWNNyyNNNNsWsNgK",
    "KWNyyyNNNNNsNNgK",
    "KWNyyyNNNNNNNNgK",
    "KWNyyyyNyNNNWNgK",
    "KWNNyyyyNNNNNNgK",
    "KWNNNNNNNNNNNNgK",
    "KWggggggggggLggK",
    "KKKKKKKKKKKKKKKK",
    "......KggK......",
    "...KKKKKKKKKK...",
    "...KssssssssK...",
    "...KKKKKKKKKK...",
]

# Pointer legend: '.' is transparent, every other character names a colour.
POINTER_KEY = {"K": 0x000000, "W": 0xFFFFFF, "o": 0x6B3A00,
               "1": 0xFFF8B0, "2": 0xFFE040, "3": 0xFFC000, "4": 0xE08800}
POINTER_HOTSPOT = (0, 0)  # x, y: the tip of the arrow

# An arrow with a golden star.
POINTER = [
    "K...............................",
    "KK..............................",
    "KWK.............................",
    "KWWK............................",
    "KWWWK...........................",
    "KWWWWK..........................",
    "KWWWWWK.........................",
    "KWWWWWWK........................",
    "KWWWWWWWK.......................",
    "KWWWWWWWWK......................",
    "KWWWWWWWWWK.....................",
    "KWWWWWWKKKKK.........o..........",
    "KWWWKWWK............o1o.........",
    "KWWK.KWWK...........o1o.........",
    "KWK..KWWK...........o1o.........",
    "KK....KWWK.........o111o........",
    "K.....KWWK........o11111o.......",
    ".......KK...oooooo1111122oooooo.",
    ".............o111111122222233o..",
    "..............o1111122222233o...",
    "...............o11222222333o....",
    "................o222223333o.....",
    ".................o2223333o......",
    "................o223333344o.....",
    "................o333334444o.....",
    "................o333ooo444o.....",
    "................o3oo...oo4o.....",
    "................oo.......oo.....",
    "................................",
    "................................",
    "................................",
    "................................",
]


def paused(art, screen, bars):
    """The icon with its screen dark but for the two white bars of a pause.

    screen: the rows and columns of the screen; bars: the columns of the bars, on the same rows.
    """
    rows, columns = screen
    out = [list(line) for line in art]
    for r in rows:
        for c in columns:
            out[r][c] = "W" if c in bars and r not in (rows[0], rows[-1]) else "N"
    return ["".join(line) for line in out]


PAUSED_32 = paused(ICON_32, (range(5, 18), range(5, 27)), (11, 12, 13, 18, 19, 20))
PAUSED_16 = paused(ICON_16, (range(2, 10), range(2, 14)), (5, 6, 9, 10))


def indices(art, key):
    """Turns an ASCII-art map into rows of indices, None where transparent."""
    assert all(len(line) == len(art) for line in art), "maps are square"
    return [[None if ch == "." else key[ch] for ch in line] for line in art]


def packed(rows, bpp):
    """Packs rows of small numbers bottom-up, each row padded to 4 bytes."""
    out = b""
    for row in reversed(rows):
        value, bits = 0, len(row) * bpp
        for number in row:
            value = value << bpp | number
        padded = -(-bits // 32) * 32
        out += (value << (padded - bits)).to_bytes(padded // 8, "big")
    return out


def bitmap(rows, bpp, palette):
    """A BMP image entry: header, palette, colour bitmap and AND mask."""
    size = len(rows)
    xor = packed([[i or 0 for i in row] for row in rows], bpp)
    mask = packed([[int(i is None) for i in row] for row in rows], 1)
    colours = palette + [0] * ((1 << bpp) - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    table = b"".join(struct.pack("<I", rgb) for rgb in colours)
    return header + table + xor + mask


def container(kind, entries):
    """An ICO (kind 1) or CUR (kind 2) file; entries are (size, colours, a, b, image)."""
    head = struct.pack("<HHH", 0, kind, len(entries))
    offset, table, data = 6 + 16 * len(entries), b"", b""
    for size, colours, a, b, image in entries:
        table += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, a, b,
                             len(image), offset + len(data))
        data += image
    return head + table + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    icons = {}
    for name, arts in (("zol.ico", (ICON_32, ICON_16)), ("paused.ico", (PAUSED_32, PAUSED_16))):
        vga = [indices(art, ICON_KEY) for art in arts]
        icons[name] = container(1, [(len(rows), 16, 1, 4, bitmap(rows, 4, VGA)) for rows in vga])
    names = list(POINTER_KEY)
    pointer = indices(POINTER, {ch: names.index(ch) for ch in names})
    image = bitmap(pointer, 8, [POINTER_KEY[ch] for ch in names])
    cursor = container(2, [(len(pointer), 0, *POINTER_HOTSPOT, image)])
    for name, data in (*icons.items(), ("hotspot.cur", cursor)):
        with open(os.path.join(here, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
