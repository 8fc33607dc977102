#!/usr/bin/env python3
"""Draws Zorvo's pictures: the main window's background and the icons.

Re-run after changing a drawing:

    python3 resources/draw_resources.py

It writes, next to itself:
    background.bmp        387 x 251, 24-bit: the main window's background
    zorvo.ico             the window and program icon, 16/24/32/48 px, 32-bit with alpha
    task_shutdown.ico     16 x 16 notification-area icons of the running task
    task_wait.ico
    task_reboot.ico
    task_alarm.ico

Standard library only. Every shape is a signed distance function; each pixel
is sampled on a 4 x 4 grid, each sample takes its coverage from the distance,
and the samples are averaged, so edges come out smooth at 16 px. The output is
deterministic: the same script always writes the same bytes.
"""

import math
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- geometry


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


def sd_circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def sd_segment(x, y, ax, ay, bx, by, width):
    """A stroke of the given width with round ends (a capsule)."""
    px, py = x - ax, y - ay
    dx, dy = bx - ax, by - ay
    h = clamp((px * dx + py * dy) / (dx * dx + dy * dy))
    return math.hypot(px - dx * h, py - dy * h) - width / 2


def sd_box(x, y, cx, cy, hw, hh, radius=0.0):
    qx = abs(x - cx) - hw + radius
    qy = abs(y - cy) - hh + radius
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def sd_polygon(x, y, pts):
    """Exact distance to a simple polygon, negative inside."""
    d = (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2
    sign = 1.0
    j = len(pts) - 1
    for i in range(len(pts)):
        vix, viy = pts[i]
        vjx, vjy = pts[j]
        ex, ey = vjx - vix, vjy - viy
        wx, wy = x - vix, y - viy
        h = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
        bx, by = wx - ex * h, wy - ey * h
        d = min(d, bx * bx + by * by)
        c1 = y >= viy
        c2 = y < vjy
        c3 = ex * wy > ey * wx
        if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
            sign = -sign
        j = i
    return sign * math.sqrt(d)


def polar(cx, cy, r, degrees):
    """A point on a circle; angles grow clockwise on screen, 0 = 3 o'clock."""
    a = math.radians(degrees)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def sd_arc(x, y, cx, cy, r, width, mid, half):
    """A round-capped stroke along a circle, covering mid +- half degrees."""
    a = math.degrees(math.atan2(y - cy, x - cx))
    off = (a - mid + 180.0) % 360.0 - 180.0
    if abs(off) <= half:
        return abs(math.hypot(x - cx, y - cy) - r) - width / 2
    ax, ay = polar(cx, cy, r, mid - half)
    bx, by = polar(cx, cy, r, mid + half)
    return min(math.hypot(x - ax, y - ay), math.hypot(x - bx, y - by)) - width / 2


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def subtract(f, g):
    return lambda x, y: max(f(x, y), -g(x, y))


def dilate(f, amount):
    return lambda x, y: f(x, y) - amount


# ---------------------------------------------------------------- icon raster

# Icons are drawn in a 16 x 16 unit space and scaled to each size.
UNIT = 16.0
SUPERSAMPLE = 4
OUTLINE = (14, 16, 26)


def vertical(top, bottom, y0=0.0, y1=UNIT):
    """A fill whose colour runs from `top` at y0 to `bottom` at y1."""
    return lambda x, y: mix(top, bottom, clamp((y - y0) / (y1 - y0)))


def solid(colour):
    return lambda x, y: colour


def render_icon(size, layers):
    """Composites (distance, fill, opacity) layers; returns straight RGBA rows."""
    scale = size / UNIT
    step = 1.0 / (scale * SUPERSAMPLE)  # units between two samples
    n = SUPERSAMPLE * SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SUPERSAMPLE):
                y = (py + (sy + 0.5) / SUPERSAMPLE) / scale
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / scale
                    r = g = b = a = 0.0
                    for dist, fill, opacity in layers:
                        cov = clamp(0.5 - dist(x, y) / step) * opacity
                        if cov <= 0.0:
                            continue
                        cr, cg, cb = fill(x, y)
                        keep = 1.0 - cov
                        r = cr * cov + r * keep
                        g = cg * cov + g * keep
                        b = cb * cov + b * keep
                        a = cov + a * keep
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            alpha = acc[3] / n
            if alpha <= 0.0:
                row.append((0, 0, 0, 0))
                continue
            row.append(
                tuple(int(round(clamp(c / acc[3], 0.0, 255.0))) for c in acc[:3])
                + (int(round(alpha * 255.0)),)
            )
        rows.append(row)
    return rows


def outlined(size, shapes, extra=()):
    """A dark rim around the union of the fills, so the icon reads on light and dark."""
    width = max(1.0, 0.75 * size / UNIT) * UNIT / size  # in units: 1 px at 16 px
    rim = dilate(union(*(s for s, _ in shapes)), width)
    layers = [(rim, solid(OUTLINE), 1.0)]
    layers += [(s, fill, 1.0) for s, fill in shapes]
    layers += list(extra)
    return layers


# ---------------------------------------------------------------- the icons


def power_symbol(cx, cy, r, width, stem_top, stem_bottom, gap_half=48.0):
    ring = lambda x, y: sd_arc(x, y, cx, cy, r, width, 90.0, 180.0 - gap_half)
    stem = lambda x, y: sd_segment(x, y, cx, stem_top, cx, stem_bottom, width)
    return union(ring, stem)


def zorvo_icon(size):
    """A stopwatch whose face carries a power symbol."""
    cx, cy, radius = 8.0, 9.1, 6.0
    steel = vertical((222, 244, 252), (78, 122, 158), 1.0, 15.0)
    crown = lambda x, y: sd_box(x, y, 8.0, 1.75, 1.9, 0.85, 0.5)
    stem = lambda x, y: sd_box(x, y, 8.0, 2.9, 0.75, 0.8)
    bx0, by0 = polar(cx, cy, radius + 0.1, -45.0)
    bx1, by1 = polar(cx, cy, radius + 1.3, -45.0)
    button = lambda x, y: sd_segment(x, y, bx0, by0, bx1, by1, 1.3)
    body = lambda x, y: sd_circle(x, y, cx, cy, radius)
    face = lambda x, y: sd_circle(x, y, cx, cy, radius - 1.2)
    navy = vertical((34, 62, 120), (8, 16, 46), 3.0, 15.0)
    shapes = [(stem, steel), (crown, steel), (button, steel), (body, steel)]
    layers = outlined(size, shapes)
    layers.append((face, navy, 1.0))
    if size >= 32:  # hour marks only where there is room for them
        for hour in range(12):
            x0, y0 = polar(cx, cy, radius - 1.95, hour * 30.0)
            x1, y1 = polar(cx, cy, radius - 1.55, hour * 30.0)
            tick = lambda x, y, a=(x0, y0, x1, y1): sd_segment(x, y, *a, 0.28)
            layers.append((tick, solid((150, 220, 240)), 0.7))
    glyph = power_symbol(cx, cy, 2.7, 1.15, cy - 3.6, cy - 0.9)
    layers.append((glyph, vertical((210, 255, 255), (110, 230, 255), 4.0, 12.0), 1.0))
    return render_icon(size, layers)


def shutdown_icon():
    glyph = power_symbol(8.0, 8.7, 5.1, 2.0, 2.0, 8.0, gap_half=42.0)
    red = vertical((255, 112, 92), (200, 28, 28), 2.0, 14.0)
    return render_icon(16, outlined(16, [(glyph, red)]))


def wait_icon():
    """Standby: a crescent moon."""
    disc = lambda x, y: sd_circle(x, y, 7.6, 8.4, 6.2)
    bite = lambda x, y: sd_circle(x, y, 10.9, 5.6, 5.0)
    moon = subtract(disc, bite)
    gold = vertical((255, 244, 170), (232, 176, 40), 2.0, 14.5)
    star_pts = []
    for k in range(8):  # a four-pointed twinkle in the moon's hollow
        radius = 2.3 if k % 2 == 0 else 0.65
        star_pts.append(polar(12.6, 3.4, radius, k * 45.0 - 90.0))
    star = lambda x, y: sd_polygon(x, y, star_pts)
    return render_icon(16, outlined(16, [(moon, gold), (star, gold)]))


def reboot_icon():
    """A circular arrow turning clockwise."""
    cx, cy, r, width = 8.0, 9.0, 4.7, 2.0
    gap_mid, gap_half = -55.0, 38.0
    mid, half = gap_mid + 180.0, 180.0 - gap_half
    arc = lambda x, y: sd_arc(x, y, cx, cy, r, width, mid, half - 6.0)
    end = mid + half  # the end that carries the arrow head
    ex, ey = polar(cx, cy, r, end)
    tx, ty = -math.sin(math.radians(end)), math.cos(math.radians(end))  # clockwise
    nx, ny = math.cos(math.radians(end)), math.sin(math.radians(end))
    head_pts = [
        (ex + tx * 2.9, ey + ty * 2.9),
        (ex - tx * 0.7 + nx * 3.0, ey - ty * 0.7 + ny * 3.0),
        (ex - tx * 0.7 - nx * 3.0, ey - ty * 0.7 - ny * 3.0),
    ]
    head = lambda x, y: sd_polygon(x, y, head_pts)
    green = vertical((150, 255, 140), (28, 170, 60), 1.5, 14.5)
    return render_icon(16, outlined(16, [(arc, green), (head, green)]))


def alarm_icon():
    """A bell."""
    dome = lambda x, y: sd_circle(x, y, 8.0, 6.6, 4.1)
    skirt = lambda x, y: sd_polygon(x, y, [(3.9, 6.6), (12.1, 6.6), (13.2, 11.6), (2.8, 11.6)])
    rim = lambda x, y: sd_box(x, y, 8.0, 11.9, 6.2, 1.0, 0.8)
    knob = lambda x, y: sd_circle(x, y, 8.0, 2.3, 1.1)
    clapper = lambda x, y: sd_circle(x, y, 8.0, 13.7, 1.35)
    bell = union(dome, skirt, rim)
    gold = vertical((255, 236, 130), (214, 140, 20), 2.0, 13.0)
    shine = lambda x, y: sd_segment(x, y, 5.6, 5.6, 4.9, 9.6, 0.9)
    extra = [(shine, solid((255, 250, 220)), 0.8)]
    return render_icon(16, outlined(16, [(knob, gold), (clapper, gold), (bell, gold)], extra))


def ico_bytes(images):
    """An .ico holding 32-bit BGRA images with alpha, each with its AND mask."""
    header = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    blobs = b""
    offset = 6 + 16 * len(images)
    for rows in images:
        size = len(rows)
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = bytearray()
        mask = bytearray()
        mask_stride = ((size + 31) // 32) * 4
        for row in reversed(rows):  # bottom-up
            bits = bytearray(mask_stride)
            for x, (r, g, b, a) in enumerate(row):
                pixels += bytes((b, g, r, a)) if a else b"\0\0\0\0"
                if a < 64:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        blob = info + bytes(pixels) + bytes(mask)
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return header + entries + blobs


def bmp_bytes(rows):
    """A bottom-up 24-bit .bmp."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + bytes(data)


# ---------------------------------------------------------------- background

BG_WIDTH, BG_HEIGHT = 387, 251
DIAL_X, DIAL_Y, DIAL_R = 193.0, 121.0, 60.0

# Where the window's labels and the minutes box sit, in pixels (x0, y0, x1, y1):
# nothing but the smooth gradient goes behind them.
LABEL_AREAS = [
    (19, 10, 373, 35),  # status line
    (105, 26, 283, 51),  # logging note
    (24, 96, 71, 137),  # minutes box and hours
    (296, 96, 361, 113),  # "в минутах"
    (0, 200, 97, 225),  # date
    (304, 200, 385, 217),  # time
    (150, 217, 247, 251),  # activate / reset
]

BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def near_label(x, y, margin):
    return any(
        x0 - margin <= x <= x1 + margin and y0 - margin <= y <= y1 + margin
        for x0, y0, x1, y1 in LABEL_AREAS
    )


def make_stars():
    rng = random.Random(1305)
    stars = []
    while len(stars) < 46:
        x = rng.uniform(4, BG_WIDTH - 4)
        y = rng.uniform(4, 190)
        if near_label(x, y, 8) or math.hypot(x - DIAL_X, y - DIAL_Y) < DIAL_R + 14:
            continue
        stars.append((x, y, rng.uniform(0.5, 1.0) ** 2 * 0.55, rng.uniform(0.45, 0.9)))
    return stars


def dial_marks():
    """The faint clock face: strokes as (distance function, colour, opacity)."""
    cyan = (140, 210, 235)
    marks = [
        (lambda x, y: abs(sd_circle(x, y, DIAL_X, DIAL_Y, DIAL_R)) - 0.6, cyan, 0.20),
        (lambda x, y: abs(sd_circle(x, y, DIAL_X, DIAL_Y, DIAL_R - 5.0)) - 0.35, cyan, 0.09),
    ]
    for minute in range(60):
        angle = minute * 6.0 - 90.0
        if minute % 5 == 0:
            inner = DIAL_R - (13.0 if minute % 15 == 0 else 10.0)
            a = polar(DIAL_X, DIAL_Y, inner, angle) + polar(DIAL_X, DIAL_Y, DIAL_R - 5.0, angle)
            marks.append((lambda x, y, a=a: sd_segment(x, y, *a, 1.7), cyan, 0.26))
        else:
            px, py = polar(DIAL_X, DIAL_Y, DIAL_R - 5.0, angle)
            marks.append((lambda x, y, p=(px, py): sd_circle(x, y, *p, 0.75), cyan, 0.12))
    # Five minutes to midnight, and the countdown's sweep from there to twelve.
    hand_h = (DIAL_X, DIAL_Y) + polar(DIAL_X, DIAL_Y, 30.0, 357.5 - 90.0)
    hand_m = (DIAL_X, DIAL_Y) + polar(DIAL_X, DIAL_Y, 44.0, 330.0 - 90.0)
    marks.append((lambda x, y: sd_segment(x, y, *hand_h, 3.2), cyan, 0.13))
    marks.append((lambda x, y: sd_segment(x, y, *hand_m, 2.0), cyan, 0.13))
    marks.append((lambda x, y: sd_circle(x, y, DIAL_X, DIAL_Y, 3.2), cyan, 0.22))
    sweep = lambda x, y: sd_arc(x, y, DIAL_X, DIAL_Y, DIAL_R + 5.0, 2.2, -105.0, 15.0)
    marks.append((sweep, (120, 255, 230), 0.30))
    return marks


def separator(x, y, row, x0, x1, strength):
    """A hairline that fades out towards both ends."""
    if abs(y - row) > 1.5 or not x0 <= x <= x1:
        return 0.0
    t = (x - x0) / (x1 - x0)
    return clamp(1.0 - abs(y - row) / 0.9) * math.sin(math.pi * t) ** 2 * strength


def background():
    top, middle, bottom = (16, 24, 50), (7, 11, 28), (1, 1, 4)
    glow = (10, 34, 52)
    marks = dial_marks()
    stars = make_stars()
    rows = []
    for py in range(BG_HEIGHT):
        y = py + 0.5
        t = y / BG_HEIGHT
        base = mix(top, middle, t / 0.55) if t < 0.55 else mix(middle, bottom, (t - 0.55) / 0.45)
        row = []
        for px in range(BG_WIDTH):
            x = px + 0.5
            c = list(base)
            # A soft glow around the dial.
            d = math.hypot(x - DIAL_X, y - DIAL_Y) / (DIAL_R * 1.9)
            if d < 1.0:
                k = (1.0 - d * d) ** 2 * 0.55
                c = [ci + gi * k for ci, gi in zip(c, glow)]
            # Darker corners.
            vx, vy = (x / BG_WIDTH - 0.5) * 2.0, (y / BG_HEIGHT - 0.5) * 2.0
            v = 1.0 - 0.28 * clamp((vx * vx + vy * vy) / 2.0)
            c = [ci * v for ci in c]
            if abs(x - DIAL_X) < DIAL_R + 9 and abs(y - DIAL_Y) < DIAL_R + 9:
                for dist, colour, opacity in marks:
                    cov = clamp(0.5 - dist(x, y)) * opacity
                    if cov > 0.0:
                        c = [lerp(ci, oi, cov) for ci, oi in zip(c, colour)]
            for row_y, strength in ((64.0, 0.16), (192.0, 0.12)):
                k = separator(x, y, row_y, 34.0, BG_WIDTH - 34.0, strength)
                if k > 0.0:
                    c = [lerp(ci, oi, k) for ci, oi in zip(c, (120, 200, 230))]
            for sx, sy, strength, radius in stars:
                dd = (x - sx) ** 2 + (y - sy) ** 2
                if dd < 9.0:
                    k = math.exp(-dd / (2.0 * radius * radius)) * strength
                    c = [lerp(ci, 235.0, k) for ci in c]
            dither = (BAYER4[py % 4][px % 4] + 0.5) / 16.0
            row.append(tuple(int(clamp(ci + dither, 0.0, 255.0)) for ci in c))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- main


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
    print(f"wrote {name} ({len(data)} bytes)")


def main():
    write("background.bmp", bmp_bytes(background()))
    write("zorvo.ico", ico_bytes([zorvo_icon(s) for s in (16, 24, 32, 48)]))
    write("task_shutdown.ico", ico_bytes([shutdown_icon()]))
    write("task_wait.ico", ico_bytes([wait_icon()]))
    write("task_reboot.ico", ico_bytes([reboot_icon()]))
    write("task_alarm.ico", ico_bytes([alarm_icon()]))


if __name__ == "__main__":
    main()
