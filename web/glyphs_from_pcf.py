#!/usr/bin/env python3
"""Writes the 8 by 13 bitmap font as a C++ table, read at build time from the
X fixed font that Debian's xfonts-base installs (a gzipped PCF file).

Usage: glyphs_from_pcf.py FONT.pcf.gz OUTPUT.inc

Each of the 256 codes becomes 13 bytes, bottom row first, leftmost pixel in
the top bit: the order in which glBitmap reads a bitmap. Codes the font lacks
stay blank. The PCF layout follows the X.Org font library's description of
the format (table of contents, then metrics, bitmaps and encodings tables).
"""
import gzip
import struct
import sys

PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_COMPRESSED_METRICS = 0x100
CELL_WIDTH, CELL_HEIGHT, CELL_DESCENT = 8, 13, 2


def tables(data):
    if data[:4] != b"\x01fcp":
        sys.exit("not a PCF font")
    (count,) = struct.unpack_from("<i", data, 4)
    entries = {}
    for i in range(count):
        kind, _fmt, _size, offset = struct.unpack_from("<4i", data, 8 + 16 * i)
        entries[kind] = offset
    return entries


class Reader:
    """A table body: its own format word says the byte order of the rest."""

    def __init__(self, data, offset):
        (self.format,) = struct.unpack_from("<i", data, offset)
        self.order = ">" if self.format & 4 else "<"
        self.data, self.pos = data, offset + 4

    def read(self, code, n=1):
        values = struct.unpack_from(self.order + code * n, self.data, self.pos)
        self.pos += struct.calcsize(self.order + code * n)
        return values


def metrics(data, offset):
    r = Reader(data, offset)
    if r.format & PCF_COMPRESSED_METRICS:
        (count,) = r.read("h")
        raw = [tuple(v - 0x80 for v in r.read("B", 5)) for _ in range(count)]
    else:
        (count,) = r.read("i")
        raw = [r.read("h", 6)[:5] for _ in range(count)]
    # left bearing, right bearing, width, ascent, descent
    return raw


def bitmaps(data, offset):
    r = Reader(data, offset)
    (count,) = r.read("i")
    offsets = r.read("i", count)
    sizes = r.read("i", 4)
    pad = r.format & 3
    blob = data[r.pos:r.pos + sizes[pad]]
    msb_bits = bool(r.format & 8)
    return [(blob, start) for start in offsets], 1 << pad, msb_bits


def encodings(data, offset):
    r = Reader(data, offset)
    first_col, last_col, first_row, last_row, _default = r.read("h", 5)
    width = last_col - first_col + 1
    glyph_of = {}
    for row in range(first_row, last_row + 1):
        indices = r.read("H", width)
        for col, index in enumerate(indices):
            code = (row << 8) | (first_col + col)
            if index != 0xFFFF and code < 256:
                glyph_of[code] = index
    return glyph_of


def main():
    font_path, out_path = sys.argv[1], sys.argv[2]
    with gzip.open(font_path, "rb") as f:
        data = f.read()
    toc = tables(data)
    glyph_metrics = metrics(data, toc[PCF_METRICS])
    glyph_bits, row_bytes, msb_bits = bitmaps(data, toc[PCF_BITMAPS])
    glyph_of = encodings(data, toc[PCF_BDF_ENCODINGS])

    cells = []
    for code in range(256):
        rows = [0] * CELL_HEIGHT  # top row first while filling
        if code in glyph_of:
            index = glyph_of[code]
            left, right, width, ascent, descent = glyph_metrics[index]
            if width != CELL_WIDTH or ascent + CELL_DESCENT > CELL_HEIGHT:
                sys.exit("glyph %d does not fit an 8 by 13 cell" % code)
            blob, start = glyph_bits[index]
            stride = -(-(right - left) // (8 * row_bytes)) * row_bytes
            for y in range(ascent + descent):
                cell_row = (CELL_HEIGHT - CELL_DESCENT) - ascent + y
                for x in range(right - left):
                    byte = blob[start + y * stride + x // 8]
                    bit = (byte >> (7 - x % 8)) if msb_bits else (byte >> (x % 8))
                    if bit & 1 and 0 <= cell_row < CELL_HEIGHT and 0 <= left + x < 8:
                        rows[cell_row] |= 0x80 >> (left + x)
        cells.append(rows[::-1])

    with open(out_path, "w") as out:
        out.write("// Generated from %s by glyphs_from_pcf.py.\n" % font_path)
        for rows in cells:
            out.write("{" + ",".join("0x%02x" % v for v in rows) + "},\n")


if __name__ == "__main__":
    main()
