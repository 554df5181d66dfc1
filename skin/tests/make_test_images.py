#!/usr/bin/env python3
"""Writes the tiny solid-colour images of the skin tests (run once; the output is committed).

Every colour is exact and distinct so that a test can tell from one pixel which image,
state or cell was drawn."""
import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")


def png(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a)."""
    rows = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def bmp(name, width, height, pixel):
    """24-bit bottom-up BMP; pixel(x, y) -> (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    body = b""
    for y in reversed(range(height)):
        row = b"".join(bytes(reversed(pixel(x, y))) for x in range(width))
        body += row + b"\0" * (stride - len(row))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + body)


def solid(rgb, alpha=255):
    return lambda x, y: (*rgb, alpha)


STATE_COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]  # normal, hover, pressed, disabled
FEATURE_COLOURS = [(128, 0, 0), (0, 128, 0), (0, 0, 128), (128, 128, 0)]

if __name__ == "__main__":
    os.makedirs(HERE, exist_ok=True)
    for i, c in enumerate(STATE_COLOURS):
        png("button_%d.png" % (i + 1), 55, 24, solid(c))
    # Feature states: transparent left half, so the background region shows there.
    for i, c in enumerate(FEATURE_COLOURS):
        png("feature_%d.png" % (i + 1), 40, 20, lambda x, y, c=c: (*c, 255) if x >= 20 else (0, 0, 0, 0))
    # Background: cyan in the region (100, 0)-(200, 100), grey elsewhere.
    png("background.png", 200, 100, lambda x, y: (0, 255, 255, 255) if x >= 100 else (90, 90, 90, 255))
    # An image whose last column and row are magenta: they must not be sampled.
    png("edge.png", 55, 24, lambda x, y: (255, 0, 255, 255) if x == 54 or y == 23 else (255, 0, 0, 255))
    png("check_ticked.png", 17, 17, solid((0, 200, 0)))
    png("check_unticked.png", 17, 17, solid((200, 0, 0)))
    png("check_strip.png", 48, 16, lambda x, y: [(200, 0, 0, 255), (0, 200, 0, 255), (0, 0, 200, 255)][x // 16])
    png("host_frame.png", 60, 40, solid((40, 80, 120)))
    png("child_background.png", 50, 30, solid((10, 20, 30)))
    # Scroll-bar skin: 9 columns x 3 rows of 13-pixel cells, each an exact colour.
    bmp("scroll_skin.bmp", 117, 39, lambda x, y: (20 + 25 * (x // 13), 40 + 80 * (y // 13), 200))
