#!/usr/bin/env python3
"""Draws the demo's picture attachments (small PNG files) with nothing but
the standard library, so that they can be made again exactly:

    python3 samples/demo/make_images.py

writes swallows-over-the-paddock.png, meadow-in-june.png and fly-agaric.png
into samples/demo/attachments/. The pictures are simple paintings: a sky
and a paddock with swallows, a meadow of flowers, a toadstool in leaf litter.
"""
import math
import os
import struct
import zlib

W, H = 192, 144


class Random:
    """A small linear congruential generator: the same pictures every run."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return self.state

    def uniform(self, lo, hi):
        return lo + (hi - lo) * (self.next() / 0x7FFFFFFF)


class Picture:
    def __init__(self, colour):
        self.px = [[list(colour) for _ in range(W)] for _ in range(H)]

    def put(self, x, y, colour):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = list(colour)

    def rows(self, y0, y1, colour_of_row):
        for y in range(max(0, y0), min(H, y1)):
            c = colour_of_row(y)
            for x in range(W):
                self.px[y][x] = list(c)

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            for x in range(int(cx - rx), int(cx + rx) + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.put(x, y, colour)

    def polygon(self, points, colour):
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            xs = []
            for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
                if (y0 <= y < y1) or (y1 <= y < y0):
                    xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(int(math.ceil(a)), int(b) + 1):
                    self.put(x, y, colour)

    def grain(self, rnd, amount):
        """A little texture, as paint on paper has."""
        for row in self.px:
            for p in row:
                d = int(rnd.uniform(-amount, amount))
                for i in range(3):
                    p[i] = max(0, min(255, p[i] + d))

    def png(self):
        raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def swallow(p, x, y, s):
    # Swept wings and a forked tail, seen from below.
    body = [(x - 6 * s, y), (x + 6 * s, y - 1 * s), (x + 7 * s, y + 1 * s), (x - 5 * s, y + 2 * s)]
    left = [(x, y), (x - 4 * s, y - 9 * s), (x - 9 * s, y - 12 * s), (x - 2 * s, y - 2 * s)]
    right = [(x + 1 * s, y + 1 * s), (x - 3 * s, y + 10 * s), (x - 8 * s, y + 13 * s), (x - 1 * s, y + 3 * s)]
    tail1 = [(x + 5 * s, y), (x + 12 * s, y - 3 * s), (x + 6 * s, y + 1 * s)]
    tail2 = [(x + 5 * s, y + 1 * s), (x + 12 * s, y + 4 * s), (x + 6 * s, y + 2 * s)]
    for shape in (body, left, right, tail1, tail2):
        p.polygon(shape, (22, 24, 48))
    p.ellipse(x - 5 * s, y + 1 * s, 1.6 * s, 1.2 * s, (150, 40, 30))  # the red throat


def swallows():
    rnd = Random(4051)
    p = Picture((0, 0, 0))
    p.rows(0, 100, lambda y: mix((96, 150, 215), (205, 225, 240), y / 100))
    p.rows(100, H, lambda y: mix((110, 160, 70), (70, 120, 45), (y - 100) / 44))
    p.ellipse(150, 32, 40, 9, (235, 240, 248))  # thin high cloud
    p.ellipse(120, 38, 30, 6, (228, 236, 246))
    p.rows(96, 101, lambda y: (120, 140, 110))  # the far hedge
    for x in range(0, W, 7):
        p.ellipse(x + rnd.uniform(0, 4), 96, rnd.uniform(3, 6), rnd.uniform(3, 5), (60, 95, 50))
    p.polygon([(20, 122), (70, 122), (66, 132), (24, 132)], (150, 150, 155))  # the trough
    p.rows(0, 0, lambda y: (0, 0, 0))
    swallow(p, 60, 50, 2)
    swallow(p, 125, 72, 1.5)
    p.grain(rnd, 1)
    return p


def meadow():
    rnd = Random(1997)
    p = Picture((0, 0, 0))
    p.rows(0, 40, lambda y: mix((150, 190, 230), (215, 230, 235), y / 40))
    p.rows(40, H, lambda y: mix((120, 165, 80), (60, 110, 40), (y - 40) / 104))
    flowers = [((205, 35, 30), 3.0), ((70, 100, 210), 2.2), ((245, 245, 235), 2.6),
               ((240, 200, 40), 2.0), ((160, 90, 170), 2.0)]
    for _ in range(260):
        y = rnd.uniform(42, H + 4)
        x = rnd.uniform(-4, W + 4)
        depth = (y - 40) / 104  # nearer flowers are larger
        colour, size = flowers[rnd.next() % len(flowers)]
        r = size * (0.5 + depth)
        for k in range(int(6 * depth) + 2):  # a stalk
            p.put(int(x), int(y + r + k), (50, 95, 35))
        p.ellipse(x, y, r, r * 0.8, colour)
        if colour == (245, 245, 235):
            p.ellipse(x, y, r * 0.35, r * 0.3, (235, 185, 30))  # ox-eye daisy centre
    p.grain(rnd, 1)
    return p


def fly_agaric():
    rnd = Random(2023)
    p = Picture((0, 0, 0))
    p.rows(0, H, lambda y: mix((95, 70, 45), (60, 42, 25), y / H))
    for _ in range(180):  # fallen leaves
        x, y = rnd.uniform(0, W), rnd.uniform(0, H)
        shade = mix((170, 110, 45), (120, 75, 35), rnd.uniform(0, 1))
        p.ellipse(x, y, rnd.uniform(3, 7), rnd.uniform(2, 4), shade)
    p.polygon([(88, 70), (104, 70), (108, 128), (84, 128)], (240, 236, 222))  # the stem
    p.ellipse(96, 126, 16, 5, (225, 220, 205))
    p.ellipse(96, 84, 16, 3, (230, 226, 210))  # the ring
    p.ellipse(96, 66, 50, 26, (200, 25, 20))   # the cap
    p.rows(0, 0, lambda y: (0, 0, 0))
    for y in range(66, 96):  # the cap's underside is hidden below its rim
        for x in range(40, 153):
            if ((x - 96) / 50) ** 2 + ((y - 66) / 26) ** 2 <= 1.0 and y > 70:
                p.put(x, y, (250, 244, 230) if y < 74 else p.px[y][x])
    for _ in range(22):  # white warts
        a, d = rnd.uniform(math.pi, 2 * math.pi), rnd.uniform(0.1, 0.85)
        p.ellipse(96 + 50 * d * math.cos(a), 66 + 26 * d * math.sin(a), 3, 2.2, (250, 248, 240))
    p.grain(rnd, 1)
    return p


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "attachments")
    for name, draw in (("swallows-over-the-paddock.png", swallows), ("meadow-in-june.png", meadow),
                       ("fly-agaric.png", fly_agaric)):
        data = draw().png()
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(name, len(data), "bytes")


if __name__ == "__main__":
    main()
