#!/usr/bin/env python3
"""Draws the program's icons and the finder cursor and writes them as .ico/.cur files.

The images are simple geometry rendered with 4x4 supersampling, at every size Windows asks for
from 100 % to 300 % scaling: 16, 20, 24 (the tray and small icons at 100, 125 and 150 %), 32 and
48 (the task switcher and dialogs), so no icon is ever scaled up from a smaller one. Run it again
after changing a design:
    python3 tools/draw_icons.py res/icons
"""
import math
import os
import struct
import sys

SAMPLES = 4
ICON_SIZES = (16, 20, 24, 32, 48)


def capsule(px, py, ax, ay, bx, by, r):
    """Inside a stroke of radius r from a to b."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy or 1)
    t = max(0.0, min(1.0, t))
    cx, cy = ax + t * dx, ay + t * dy
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def rounded_square(px, py, margin=0.03, radius=0.2):
    lo, hi = margin + radius, 1 - margin - radius
    cx, cy = min(max(px, lo), hi), min(max(py, lo), hi)
    return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius


def handset(px, py, tilt=0.0, lift=0.0):
    """A telephone handset: a bar with the ear and mouth pieces hanging from its ends."""
    c, s = math.cos(-tilt), math.sin(-tilt)
    x, y = px - 0.5, py - 0.5 + lift
    x, y = c * x - s * y + 0.5, s * x + c * y + 0.5
    bar = capsule(x, y, 0.30, 0.44, 0.70, 0.44, 0.07)
    ear = capsule(x, y, 0.27, 0.48, 0.20, 0.66, 0.1)
    mouth = capsule(x, y, 0.73, 0.48, 0.80, 0.66, 0.1)
    return bar or ear or mouth


def wave(px, py, cx, cy, radius, left):
    d = math.hypot(px - cx, py - cy)
    side = px < cx if left else px > cx
    return side and abs(d - radius) < 0.05 and py < cy


def render(shader, size):
    pixels = []
    for row in range(size):
        line = []
        for col in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = shader((col + (sx + 0.5) / SAMPLES) / size, (row + (sy + 0.5) / SAMPLES) / size)
                    if colour is None:
                        continue
                    r, g, b = colour
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += 1
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if acc[3]:
                line.append((int(acc[0] / acc[3]), int(acc[1] / acc[3]), int(acc[2] / acc[3]), int(a * 255 + 0.5)))
            else:
                line.append((0, 0, 0, 0))
        pixels.append(line)
    return pixels


def phone_shader(background, tilt=0.0, lift=0.0, badge=None, waves=()):
    white = (255, 255, 255)

    def shade(x, y):
        if badge and 0.58 <= x <= 0.97 and 0.58 <= y <= 0.97:
            inner = 0.64 <= x <= 0.91 and 0.64 <= y <= 0.91
            return badge if inner else white
        for cx, cy, radius, left in waves:
            if wave(x, y, cx, cy, radius, left):
                return white
        if handset(x, y, tilt, lift):
            return white
        if rounded_square(x, y):
            return background
        return None

    return shade


def finder_shader(x, y):
    d = math.hypot(x - 0.5, y - 0.5)
    if abs(d - 0.36) < 0.06:
        return (40, 40, 40)
    if (abs(x - 0.5) < 0.04 and (y < 0.3 or y > 0.7)) or (abs(y - 0.5) < 0.04 and (x < 0.3 or x > 0.7)):
        return (40, 40, 40)
    if d < 0.07:
        return (200, 30, 30)
    if d < 0.42:
        return (250, 250, 250)
    return None


def cursor_shader(x, y):
    on_line = (abs(x - 0.5) < 0.03 and 0.05 < y < 0.95) or (abs(y - 0.5) < 0.03 and 0.05 < x < 0.95)
    outline = (abs(x - 0.5) < 0.06 and 0.02 < y < 0.98) or (abs(y - 0.5) < 0.06 and 0.02 < x < 0.98)
    ring = abs(math.hypot(x - 0.5, y - 0.5) - 0.25) < 0.025
    ring_outline = abs(math.hypot(x - 0.5, y - 0.5) - 0.25) < 0.05
    if on_line or ring:
        return (0, 0, 0)
    if outline or ring_outline:
        return (255, 255, 255)
    return None


def dib(pixels):
    """One image of an .ico/.cur: a 32-bit DIB with its AND mask, bottom-up."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for col, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_icon(path, images, cursor_hotspot=None):
    kind = 2 if cursor_hotspot else 1
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for pixels in images:
        blob = dib(pixels)
        size = len(pixels)
        if cursor_hotspot:
            plane_or_x, bits_or_y = cursor_hotspot
        else:
            plane_or_x, bits_or_y = 1, 32
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, plane_or_x, bits_or_y, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "res/icons"
    os.makedirs(folder, exist_ok=True)
    blue, grey, amber, red = (33, 102, 172), (128, 128, 128), (235, 150, 0), (200, 40, 40)
    designs = {
        "normal.ico": phone_shader(blue),
        "stopped.ico": phone_shader(grey, badge=(200, 40, 40)),
        "ring_a.ico": phone_shader(amber, tilt=-0.35, lift=0.08),
        "ring_b.ico": phone_shader(red, tilt=0.35, lift=0.08, waves=((0.5, 0.30, 0.36, True), (0.5, 0.30, 0.36, False))),
        "finder.ico": finder_shader,
    }
    for name, shader in designs.items():
        write_icon(os.path.join(folder, name), [render(shader, size) for size in ICON_SIZES])
    write_icon(os.path.join(folder, "finder.cur"), [render(cursor_shader, 32)], cursor_hotspot=(16, 16))


if __name__ == "__main__":
    main()
