#!/usr/bin/env python3
"""png-recompress.py FILE.png...: compresses each PNG's image data again at
zlib's highest level, pixels and every other chunk unchanged. The Windows
programs carry their pictures as PNG resources, and rsvg-convert writes at
the default level: this keeps HXP.exe and HXC.exe inside their size budget."""

import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def recompress(path):
    with open(path, "rb") as source:
        png = source.read()
    chunks, pos = [], 8
    while pos < len(png):
        (length,) = struct.unpack(">I", png[pos:pos + 4])
        chunks.append((png[pos + 4:pos + 8], png[pos + 8:pos + 8 + length]))
        pos += 12 + length
    data = b"".join(body for kind, body in chunks if kind == b"IDAT")
    smaller = zlib.compress(zlib.decompress(data), 9)
    if len(smaller) >= len(data):
        return
    out, written = png[:8], False
    for kind, body in chunks:
        if kind != b"IDAT":
            out += chunk(kind, body)
        elif not written:
            out += chunk(b"IDAT", smaller)
            written = True
    with open(path, "wb") as target:
        target.write(out)


for name in sys.argv[1:]:
    recompress(name)
