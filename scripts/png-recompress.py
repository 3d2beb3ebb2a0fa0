#!/usr/bin/env python3
"""png-recompress.py FILE.png...: writes each PNG's image data again, pixels
and every other chunk unchanged: every row filtered with None, Sub or Up
(whichever leaves the smallest differences), never Average or Paeth, and
compressed at zlib's highest level. The Windows programs carry their
pictures as PNG resources, and rsvg-convert writes at the default level:
this keeps HXP.exe and HXC.exe inside their size budget. Paeth rows cost
the decoder three times what the others do, and a window's first frame
waits for its picture: without them the files come out smaller as well.
Only 8-bit, non-interlaced RGB and RGBA files are refiltered; others are
only recompressed."""

import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif kind == 4:
                c = previous[i - bpp] if i >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return rows


def refilter(rows, bpp):
    out, previous = bytearray(), bytes(len(rows[0]))
    for line in rows:
        candidates = [
            bytes(line),
            bytes((line[i] - (line[i - bpp] if i >= bpp else 0)) & 0xFF for i in range(len(line))),
            bytes((line[i] - previous[i]) & 0xFF for i in range(len(line))),
        ]
        # The usual measure: the sum of the differences taken as signed bytes.
        costs = [sum(v if v < 128 else 256 - v for v in filtered) for filtered in candidates]
        kind = costs.index(min(costs))
        out.append(kind)
        out += candidates[kind]
        previous = line
    return bytes(out)


def recompress(path):
    with open(path, "rb") as source:
        png = source.read()
    chunks, pos = [], 8
    while pos < len(png):
        (length,) = struct.unpack(">I", png[pos:pos + 4])
        chunks.append((png[pos + 4:pos + 8], png[pos + 8:pos + 8 + length]))
        pos += 12 + length
    header = chunks[0][1]
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", header)
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    if depth == 8 and interlace == 0 and colour in (2, 6):
        raw = refilter(unfilter(raw, width, height, 3 if colour == 2 else 4), 3 if colour == 2 else 4)
    data = zlib.compress(raw, 9)
    out, written = png[:8], False
    for kind, body in chunks:
        if kind != b"IDAT":
            out += chunk(kind, body)
        elif not written:
            out += chunk(b"IDAT", data)
            written = True
    if out != png:
        with open(path, "wb") as target:
            target.write(out)


for name in sys.argv[1:]:
    recompress(name)
