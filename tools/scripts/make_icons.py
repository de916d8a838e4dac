#!/usr/bin/env python3
"""Draws the tools' icons and writes them as .ico files (32-bit BGRA with AND mask).

Run from the repository root: python3 tools/scripts/make_icons.py
Writes tools/prunell/prunell.ico, prunell_small.ico, tools/vaultsweep/vaultsweep.ico and
vaultsweep_small.ico. The large icons hold a 32x32 and a 16x16 image, the small ones 16x16.
"""
import math
import pathlib
import struct

TRANSPARENT = (0, 0, 0, 0)


def prunell_pixel(x, y):
    """A green sprig cut by a steel blade."""
    cx, cy = x - 0.5, y - 0.5
    blade = abs((cx + cy) / math.sqrt(2)) < 0.06 and abs(cx - cy) < 0.85
    if blade:
        return (90, 90, 100, 255)
    if cx * cx / 0.16 + cy * cy / 0.10 <= 1.0 and cx - cy > -0.05:
        return (40, 150, 50, 255)
    if cx * cx / 0.16 + cy * cy / 0.10 <= 1.0:
        return (120, 200, 110, 255)
    return TRANSPARENT


def vaultsweep_pixel(x, y):
    """A blue vault door swept by a yellow broom stroke."""
    cx, cy = x - 0.5, y - 0.5
    stroke = abs(cx + cy - 0.35) < 0.08 and cx > -0.2
    if stroke:
        return (230, 190, 40, 255)
    if max(abs(cx), abs(cy)) <= 0.42:
        if (cx * cx + cy * cy) <= 0.04:
            return (200, 210, 230, 255)
        return (40, 70, 160, 255)
    return TRANSPARENT


def image(draw, size):
    """BITMAPINFOHEADER, bottom-up BGRA rows and the AND mask for one icon image."""
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in range(size - 1, -1, -1):
        mask_row = bytearray(mask_stride)
        for col in range(size):
            r, g, b, a = draw((col + 0.5) / size, (row + 0.5) / size)
            pixels += bytes((b, g, r, a))
            if a == 0:
                mask_row[col // 8] |= 0x80 >> (col % 8)
        mask += mask_row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def icon_file(draw, sizes):
    images = [image(draw, size) for size in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main():
    tools = pathlib.Path(__file__).resolve().parent.parent
    for name, draw in (("prunell", prunell_pixel), ("vaultsweep", vaultsweep_pixel)):
        (tools / name / f"{name}.ico").write_bytes(icon_file(draw, (32, 16)))
        (tools / name / f"{name}_small.ico").write_bytes(icon_file(draw, (16,)))


if __name__ == "__main__":
    main()
