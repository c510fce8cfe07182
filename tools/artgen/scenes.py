# SPDX-License-Identifier: GPL-3.0-or-later
"""Large pictures: level backgrounds, the tally board, the porch intro with the
rocking figure, the beast, the ghost, the map scene and strip, smoke and
lightning, and the level-2 intro's glowing casket."""

import math
import random

import cairo
import numpy as np

from common import (GOLD, MOON, SERIF, draw_text, fill_and_outline, font, mix, noise, rgb,
                    rounded_rect, stone_texture, surface, texture_surface, to_rgba, wood_texture)
from decor import mini_spider, moon, night_fill, skull, stars, web

W, H = 800, 600


# ------------------------------------------------------------------ backgrounds


def planks(w, h, seed, light, dark, plank=64, vertical=True):
    tex = wood_texture(w, h, seed, light, dark, vertical=vertical)
    img = tex.astype(np.float32)
    rng = np.random.default_rng(seed)
    n = (w if vertical else h) // plank + 1
    for i in range(n):
        shade = rng.uniform(0.75, 1.1)
        a, b = i * plank, (i + 1) * plank
        if vertical:
            img[:, a:b] *= shade
            img[:, a:a + 2] *= 0.35
            img[:, a + 2:a + 3] *= 1.25
        else:
            img[a:b, :] *= shade
            img[a:a + 2, :] *= 0.35
            img[a + 2:a + 3, :] *= 1.25
    # nail pairs
    return np.clip(img, 0, 255).astype(np.uint8)


def stone_wall(w, h, seed, base, dark, bw=96, bh=48):
    tex = stone_texture(w, h, seed, base, dark).astype(np.float32)
    rng = np.random.default_rng(seed)
    for row in range(h // bh + 1):
        off = (bw // 2) * (row % 2)
        y0 = row * bh
        for col in range(-1, w // bw + 2):
            x0 = col * bw + off
            shade = rng.uniform(0.72, 1.12)
            xa, xb = max(0, x0), min(w, x0 + bw)
            ya, yb = y0, min(h, y0 + bh)
            if xa >= xb or ya >= yb:
                continue
            tex[ya:yb, xa:xb] *= shade
            tex[ya:min(yb, ya + 3), xa:xb] *= 0.4
            tex[ya:yb, xa:min(xb, xa + 3)] *= 0.4
            tex[min(yb - 1, ya + 3), xa:xb] *= 1.25
    return np.clip(tex, 0, 255).astype(np.uint8)


def vignette(img, strength=0.55, cx=0.45, cy=0.45):
    h, w = img.shape[:2]
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((xs / w - cx) / 0.75) ** 2 + ((ys / h - cy) / 0.75) ** 2)
    f = 1 - strength * np.clip(d, 0, 1) ** 1.6
    return np.clip(img.astype(np.float32) * f[:, :, None], 0, 255).astype(np.uint8)


def hud_bar(ctx):
    """The strip behind the score, clock and spider count."""
    g = cairo.LinearGradient(0, 0, 0, 46)
    g.add_color_stop_rgba(0, 0.04, 0.02, 0.07, 0.85)
    g.add_color_stop_rgba(1, 0.04, 0.02, 0.07, 0.0)
    ctx.set_source(g)
    ctx.rectangle(0, 0, W, 46)
    ctx.fill()
    # hourglass before the clock at (372, 12)
    x, y = 346, 12
    rgb(ctx, GOLD, 0.9)
    ctx.set_line_width(1.5)
    ctx.move_to(x, y)
    ctx.line_to(x + 18, y)
    ctx.line_to(x + 10.5, y + 13)
    ctx.line_to(x + 18, y + 26)
    ctx.line_to(x, y + 26)
    ctx.line_to(x + 7.5, y + 13)
    ctx.close_path()
    ctx.stroke()
    rgb(ctx, (0.95, 0.85, 0.55), 0.8)
    ctx.move_to(x + 3, y + 24)
    ctx.line_to(x + 15, y + 24)
    ctx.line_to(x + 9, y + 17)
    ctx.close_path()
    ctx.fill()
    # a spider after the spider count at (463, 12)
    mini_spider(ctx, 530, 26, 30, body=(0.55, 0.62, 0.48), leg=(0.45, 0.52, 0.40), width=7)
    # the menu tab at the right edge, above the inventory panel
    rgb(ctx, (0.26, 0.14, 0.36), 0.95)
    rounded_rect(ctx, 782, 102, 24, 46, 5)
    fill_and_outline(ctx, GOLD, 1.2, 0.8)
    ctx.save()
    ctx.translate(796, 147)
    ctx.rotate(-math.pi / 2)
    font(ctx, SERIF, 11, bold=True)
    draw_text(ctx, "MENU", 22, 0, GOLD, "centre")
    ctx.restore()


BACKGROUNDS = {
    1: ("planks", (0.36, 0.22, 0.36), (0.10, 0.05, 0.12)),   # purple-stained planks
    2: ("stone", (0.30, 0.34, 0.50), (0.08, 0.09, 0.18)),    # blue stone wall
    3: ("hplanks", (0.42, 0.27, 0.16), (0.12, 0.07, 0.05)),  # brown floorboards
    4: ("stone", (0.36, 0.26, 0.44), (0.10, 0.06, 0.14)),    # purple flagstones
    5: ("planks", (0.24, 0.28, 0.42), (0.06, 0.07, 0.13)),   # blue-grey boards
}


def background(k):
    kind, light, dark = BACKGROUNDS[k]
    if kind == "planks":
        img = planks(W, H, 600 + k, light, dark, plank=70)
    elif kind == "hplanks":
        img = planks(W, H, 600 + k, light, dark, plank=54, vertical=False)
    else:
        img = stone_wall(W, H, 600 + k, light, dark, bw=110 if k == 2 else 80,
                         bh=55 if k == 2 else 80)
    img = vignette(img, 0.6)
    s = texture_surface(img)
    ctx = cairo.Context(s)
    r = random.Random(k)
    if kind == "stone":
        # pale moonlight falling in from the upper left
        for j in range(3):
            x0 = 120 + j * 150
            ctx.move_to(x0, 0)
            ctx.line_to(x0 + 70, 0)
            ctx.line_to(x0 + 330, H)
            ctx.line_to(x0 + 200, H)
            ctx.close_path()
            g = cairo.LinearGradient(0, 0, 0, H)
            g.add_color_stop_rgba(0, 0.6, 0.7, 1.0, 0.07)
            g.add_color_stop_rgba(1, 0.6, 0.7, 1.0, 0.0)
            ctx.set_source(g)
            ctx.fill()
    else:
        # nail heads where the boards meet their cross beams
        step = 70 if kind == "planks" else 54
        for a in range(0, (W if kind == "planks" else H), step):
            for b in (90, 510) if kind == "planks" else (40, 760):
                x, y = (a + 8, b) if kind == "planks" else (b, a + 8)
                for dx in (0, step - 16):
                    nx, ny = (x + dx, y) if kind == "planks" else (x, y + dx)
                    rgb(ctx, (0.05, 0.03, 0.04), 0.8)
                    ctx.arc(nx, ny, 2.4, 0, 2 * math.pi)
                    ctx.fill()
                    rgb(ctx, (0.8, 0.7, 0.6), 0.35)
                    ctx.arc(nx - 0.7, ny - 0.7, 1.0, 0, 2 * math.pi)
                    ctx.fill()
    # cobwebs in a couple of corners, a skull or two and a candle near the edges
    web(ctx, W, H, 150, math.pi, 1.5 * math.pi, spokes=6, rings=6, alpha=0.22)
    if k % 2:
        web(ctx, 0, H, 120, 1.5 * math.pi, 2 * math.pi, spokes=5, rings=5, alpha=0.2)
    else:
        web(ctx, 0, 46, 110, 0, 0.5 * math.pi, spokes=5, rings=5, alpha=0.18)
    for _ in range(2):
        skull(ctx, r.uniform(600, 740), r.uniform(440, 560), 26, colour=(0.55, 0.50, 0.45))
    candle(ctx, 40 if k % 2 == 0 else 740, 585, 34 + 6 * (k % 3))
    hud_bar(ctx)
    return to_rgba(s)


def candle(ctx, x, base, height):
    g = cairo.RadialGradient(x, base - height - 8, 3, x, base - height - 8, 170)
    g.add_color_stop_rgba(0, 1.0, 0.75, 0.35, 0.35)
    g.add_color_stop_rgba(1, 1.0, 0.7, 0.3, 0.0)
    ctx.set_source(g)
    ctx.arc(x, base - height - 8, 170, 0, 2 * math.pi)
    ctx.fill()
    g = cairo.LinearGradient(x - 7, 0, x + 7, 0)
    g.add_color_stop_rgb(0, 0.75, 0.70, 0.60)
    g.add_color_stop_rgb(0.4, 0.98, 0.95, 0.86)
    g.add_color_stop_rgb(1, 0.55, 0.50, 0.42)
    ctx.set_source(g)
    rounded_rect(ctx, x - 7, base - height, 14, height, 3)
    ctx.fill()
    rgb(ctx, (0.95, 0.92, 0.82))
    ctx.arc(x + 4, base - height + 6, 2.5, 0, math.pi)
    ctx.fill()
    rgb(ctx, (0.15, 0.1, 0.08))
    ctx.set_line_width(1.2)
    ctx.move_to(x, base - height)
    ctx.line_to(x, base - height - 4)
    ctx.stroke()
    ctx.move_to(x, base - height - 18)
    ctx.curve_to(x + 5, base - height - 10, x + 4, base - height - 3, x, base - height - 3)
    ctx.curve_to(x - 4, base - height - 3, x - 5, base - height - 10, x, base - height - 18)
    rgb(ctx, (1.0, 0.85, 0.40))
    ctx.fill()


def tally_board():
    w, h = 800, 450
    img = planks(w, h, 650, (0.30, 0.18, 0.30), (0.08, 0.04, 0.09), plank=80)
    s = texture_surface(vignette(img, 0.5))
    ctx = cairo.Context(s)
    rgb(ctx, (0.03, 0.02, 0.05), 0.72)
    rounded_rect(ctx, 70, 12, 660, 330, 18)
    fill_and_outline(ctx, GOLD, 2, 0.5)
    web(ctx, 0, 0, 110, 0, math.pi / 2, spokes=5, rings=5, alpha=0.3)
    web(ctx, w, 0, 110, math.pi / 2, math.pi, spokes=5, rings=5, alpha=0.3)
    rgb(ctx, MOON, 0.6)
    ctx.set_line_width(1)
    ctx.move_to(745, 0)
    ctx.line_to(745, 190)
    ctx.stroke()
    mini_spider(ctx, 745, 205, 44, body=(0.5, 0.58, 0.44), leg=(0.40, 0.47, 0.35), angle=math.pi)
    for x in (110, 690):
        skull(ctx, x, 395, 40, colour=(0.70, 0.64, 0.56))
    return to_rgba(s)


# ------------------------------------------------------------------ porch intro

CASKET = (513, 274, 43, 19)  # where the level-2 casket sits on the porch pictures


def porch_base(ctx, seed=3):
    w, h = 800, 450
    night_fill(ctx, w, h, top=(0.10, 0.09, 0.26), bottom=(0.05, 0.03, 0.12))
    stars(ctx, w, h, 160, seed, ymax=260)
    moon(ctx, 640, 110, 44)
    # far trees
    r = random.Random(seed)
    rgb(ctx, (0.05, 0.04, 0.10))
    ctx.move_to(0, 300)
    x = 0
    while x <= w:
        ctx.line_to(x, 250 - r.uniform(0, 60))
        x += r.uniform(8, 22)
        ctx.line_to(x, 262 - r.uniform(0, 20))
        x += r.uniform(4, 12)
    ctx.line_to(w, 300)
    ctx.close_path()
    ctx.fill()
    # porch floor
    tex = texture_surface(planks(w, 130, 31, (0.40, 0.26, 0.17), (0.12, 0.07, 0.05), plank=26,
                                 vertical=False))
    ctx.set_source_surface(tex, 0, 320)
    ctx.rectangle(0, 320, w, 130)
    ctx.fill()
    g = cairo.LinearGradient(0, 320, 0, 450)
    g.add_color_stop_rgba(0, 0, 0, 0, 0.1)
    g.add_color_stop_rgba(1, 0, 0, 0, 0.6)
    ctx.set_source(g)
    ctx.rectangle(0, 320, w, 130)
    ctx.fill()
    # railing in the back
    rgb(ctx, (0.16, 0.10, 0.08))
    ctx.rectangle(0, 262, w, 8)
    ctx.fill()
    for x in range(8, w, 26):
        ctx.rectangle(x, 270, 7, 50)
    ctx.fill()
    # roof beam and posts
    tex2 = texture_surface(wood_texture(w, 40, 33, (0.30, 0.19, 0.12), (0.10, 0.06, 0.04)))
    ctx.set_source_surface(tex2, 0, 0)
    ctx.rectangle(0, 0, w, 34)
    ctx.fill()
    for px in (40, 740):
        tex3 = texture_surface(wood_texture(30, 330, 35 + px, (0.32, 0.20, 0.13),
                                            (0.10, 0.06, 0.04), vertical=True))
        ctx.set_source_surface(tex3, px, 0)
        ctx.rectangle(px, 0, 30, 330)
        ctx.fill()
    web(ctx, 70, 34, 110, 0, math.pi / 2, spokes=6, rings=6, alpha=0.35)
    web(ctx, 740, 34, 90, math.pi / 2, math.pi, spokes=5, rings=5, alpha=0.3)
    # lantern hanging from the beam
    rgb(ctx, (0.1, 0.08, 0.06))
    ctx.set_line_width(2)
    ctx.move_to(420, 34)
    ctx.line_to(420, 70)
    ctx.stroke()
    g = cairo.RadialGradient(420, 85, 2, 420, 85, 140)
    g.add_color_stop_rgba(0, 1.0, 0.75, 0.35, 0.45)
    g.add_color_stop_rgba(1, 1.0, 0.75, 0.35, 0.0)
    ctx.set_source(g)
    ctx.arc(420, 85, 140, 0, 2 * math.pi)
    ctx.fill()
    rgb(ctx, (1.0, 0.85, 0.45))
    rounded_rect(ctx, 412, 70, 16, 26, 4)
    ctx.fill()
    rgb(ctx, (0.12, 0.08, 0.06))
    ctx.set_line_width(2)
    rounded_rect(ctx, 412, 70, 16, 26, 4)
    ctx.stroke()
    # table on the right; the casket sits on it
    x, y, cw, ch = CASKET
    rgb(ctx, (0.22, 0.13, 0.08))
    rounded_rect(ctx, 470, y + ch - 1, 140, 12, 3)
    ctx.fill()
    for lx in (482, 592):
        ctx.rectangle(lx, y + ch + 10, 8, 95)
    ctx.fill()
    rgb(ctx, (0.40, 0.26, 0.16))
    ctx.rectangle(470, y + ch - 1, 140, 3)
    ctx.fill()
    # a candle and a jar on the table
    rgb(ctx, (0.85, 0.82, 0.70))
    ctx.rectangle(582, y - 6, 8, 24)
    ctx.fill()
    g = cairo.RadialGradient(586, y - 12, 1, 586, y - 12, 30)
    g.add_color_stop_rgba(0, 1, 0.85, 0.4, 0.7)
    g.add_color_stop_rgba(1, 1, 0.85, 0.4, 0)
    ctx.set_source(g)
    ctx.arc(586, y - 12, 30, 0, 2 * math.pi)
    ctx.fill()
    rgb(ctx, (1, 0.9, 0.5))
    ctx.arc(586, y - 11, 2.5, 0, 2 * math.pi)
    ctx.fill()


def casket(ctx, lit):
    x, y, cw, ch = CASKET
    rgb(ctx, (0.30, 0.16, 0.10))
    rounded_rect(ctx, x + 2, y + 3, cw - 4, ch - 4, 3)
    ctx.fill()
    rgb(ctx, GOLD, 0.8)
    ctx.set_line_width(1)
    rounded_rect(ctx, x + 2.5, y + 3.5, cw - 5, ch - 5, 3)
    ctx.stroke()
    if lit:
        g = cairo.RadialGradient(x + cw / 2, y + ch / 2, 1, x + cw / 2, y + ch / 2, 22)
        g.add_color_stop_rgba(0, 1.0, 1.0, 0.8, 0.95)
        g.add_color_stop_rgba(0.4, 0.6, 1.0, 0.5, 0.55)
        g.add_color_stop_rgba(1, 0.4, 0.9, 0.4, 0.0)
        ctx.set_source(g)
        ctx.rectangle(x, y, cw, ch)
        ctx.fill()
    mini_spider(ctx, x + cw / 2, y + ch / 2 + 1, 14, body=(0.05, 0.03, 0.05),
                leg=(0.05, 0.03, 0.05), width=10, mark=(0.9, 0.1, 0.1))


def rocker(ctx, angle_deg, figure=True):
    """The rocking chair (and its dark sitter) pivoting on its rockers."""
    px, py = 290, 395
    ctx.save()
    ctx.translate(px, py)
    ctx.rotate(math.radians(angle_deg))
    wood = (0.34, 0.21, 0.13)
    rgb(ctx, wood)
    ctx.set_line_width(7)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.arc_negative(0, -420, 420, math.radians(102), math.radians(78))
    ctx.stroke()
    for lx in (-60, 55):
        ctx.move_to(lx, -3)
        ctx.line_to(lx + 4, -70)
        ctx.stroke()
    ctx.move_to(-75, -72)
    ctx.line_to(70, -72)
    ctx.stroke()
    # back rest
    ctx.move_to(-70, -72)
    ctx.line_to(-95, -230)
    ctx.move_to(-30, -72)
    ctx.line_to(-55, -235)
    ctx.stroke()
    ctx.set_line_width(4)
    for k in range(4):
        t = 0.25 + k * 0.2
        ctx.move_to(-70 - 25 * t, -72 - 158 * t)
        ctx.line_to(-30 - 25 * t, -72 - 163 * t)
    ctx.stroke()
    if figure:
        sil = (0.03, 0.02, 0.05)
        rgb(ctx, sil)
        # body and hood
        ctx.move_to(-80, -80)
        ctx.curve_to(-90, -160, -75, -210, -50, -225)
        ctx.curve_to(-25, -240, 5, -225, 5, -195)
        ctx.curve_to(8, -170, -10, -160, -15, -140)
        ctx.curve_to(10, -120, 40, -100, 50, -80)
        ctx.close_path()
        fill_and_outline(ctx, (0.45, 0.50, 0.85), 2.5, 0.55)
        rgb(ctx, sil)
        # legs to the floor
        ctx.move_to(30, -90)
        ctx.curve_to(60, -90, 75, -80, 80, -60)
        ctx.line_to(85, -5)
        ctx.line_to(65, -5)
        ctx.line_to(60, -55)
        ctx.curve_to(40, -65, 20, -65, 10, -75)
        ctx.close_path()
        ctx.fill()
        # a tall crooked hat over the hood
        rgb(ctx, sil)
        ctx.move_to(-78, -214)
        ctx.curve_to(-60, -232, -20, -236, 14, -222)
        ctx.curve_to(-8, -240, -22, -262, -10, -300)
        ctx.curve_to(-40, -280, -52, -250, -56, -228)
        ctx.close_path()
        fill_and_outline(ctx, (0.45, 0.50, 0.85), 2, 0.55)
        rgb(ctx, (0.35, 0.18, 0.45))
        ctx.move_to(-60, -228)
        ctx.curve_to(-40, -236, -10, -236, 4, -228)
        ctx.set_line_width(5)
        ctx.stroke()
        # pipe glow and two eyes in the hood
        rgb(ctx, (1.0, 0.5, 0.15))
        ctx.arc(12, -170, 3, 0, 2 * math.pi)
        ctx.fill()
        for ex in (-30, -18):
            rgb(ctx, (0.95, 0.85, 0.35))
            ctx.arc(ex, -200, 2.2, 0, 2 * math.pi)
            ctx.fill()
    ctx.restore()


def porch_frame(k):
    """Frames 1..10: the chair rocks from one side to the other."""
    s, ctx = surface(800, 450)
    porch_base(ctx)
    casket(ctx, False)
    t = (k - 1) / 9.0
    rocker(ctx, 6.0 * math.sin(math.pi * (t - 0.5)))
    return s


def porch_still():
    s, ctx = surface(800, 450)
    porch_base(ctx, seed=4)
    casket(ctx, False)
    rocker(ctx, 2.0, figure=False)
    rgb(ctx, (0.85, 0.80, 0.70))
    font(ctx, SERIF, 15, italic=True)
    return s


def casket_glow():
    s, ctx = surface(800, 450)
    porch_base(ctx)
    casket(ctx, True)
    a = to_rgba(s)
    x, y, w, h = CASKET
    return a[y:y + h, x:x + w].copy()


def beast(k):
    """Frames 11..13: a snarling face rushing closer, jaws opening."""
    s, ctx = surface(800, 450)
    night_fill(ctx, 800, 450, top=(0.10, 0.02, 0.06), bottom=(0.02, 0.0, 0.02))
    t = (k - 11) / 2.0
    sc = 1.0 + 0.35 * t
    ctx.translate(400, 240)
    ctx.scale(sc, sc)
    fur = (0.16, 0.10, 0.12)
    # ears and head
    rgb(ctx, fur)
    for sx in (-1, 1):
        ctx.move_to(sx * 90, -110)
        ctx.line_to(sx * 175, -230)
        ctx.line_to(sx * 170, -60)
        ctx.close_path()
        ctx.fill()
    r = random.Random(9)
    ctx.move_to(-220, 0)
    for i in range(41):
        a = math.pi + i * math.pi / 40
        rr = 210 + r.uniform(-12, 18)
        ctx.line_to(rr * math.cos(a), rr * math.sin(a) * 0.8 + 10)
    ctx.curve_to(230, 120, 120, 200, 0, 210)
    ctx.curve_to(-120, 200, -230, 120, -220, 0)
    ctx.close_path()
    g = cairo.RadialGradient(0, -20, 20, 0, 0, 240)
    g.add_color_stop_rgb(0, 0.30, 0.20, 0.22)
    g.add_color_stop_rgb(1, 0.08, 0.04, 0.06)
    ctx.set_source(g)
    ctx.fill()
    # brow and glowing eyes
    for sx in (-1, 1):
        g = cairo.RadialGradient(sx * 75, -55, 2, sx * 75, -55, 40)
        g.add_color_stop_rgba(0, 1.0, 0.9, 0.3, 1)
        g.add_color_stop_rgba(0.3, 1.0, 0.25, 0.05, 0.9)
        g.add_color_stop_rgba(1, 1.0, 0.1, 0.0, 0)
        ctx.set_source(g)
        ctx.arc(sx * 75, -55, 40, 0, 2 * math.pi)
        ctx.fill()
        rgb(ctx, (0.05, 0.02, 0.03))
        ctx.move_to(sx * 30, -80)
        ctx.line_to(sx * 125, -95)
        ctx.line_to(sx * 120, -72)
        ctx.close_path()
        ctx.fill()
    # snout
    rgb(ctx, (0.05, 0.02, 0.03))
    ctx.save()
    ctx.scale(1.4, 1)
    ctx.arc(0, 15, 20, 0, 2 * math.pi)
    ctx.restore()
    ctx.fill()
    # jaws
    open_ = 40 + 50 * t
    ctx.move_to(-120, 60)
    ctx.curve_to(-60, 60 + open_ * 0.3, 60, 60 + open_ * 0.3, 120, 60)
    ctx.curve_to(90, 60 + open_ * 1.6, -90, 60 + open_ * 1.6, -120, 60)
    ctx.close_path()
    rgb(ctx, (0.30, 0.02, 0.05))
    ctx.fill()
    rgb(ctx, (0.95, 0.92, 0.80))
    for i in range(9):
        x = -100 + i * 25
        ctx.move_to(x - 9, 60)
        ctx.line_to(x, 60 + (34 if i in (1, 7) else 18) + open_ * 0.1)
        ctx.line_to(x + 9, 60)
        ctx.close_path()
        y2 = 60 + open_ * 1.2
        ctx.move_to(x - 8, y2 + 8)
        ctx.line_to(x, y2 - (26 if i in (2, 6) else 14))
        ctx.line_to(x + 8, y2 + 8)
        ctx.close_path()
    ctx.fill()
    return s


# ------------------------------------------------------------------ map

STRIP_AT = (90, 107)  # screen position of the strip; the map scene is at (0, 75)


def trail_centre(x):
    return 23 + 10 * math.sin(x / 46.0) + 4 * math.sin(x / 17.0 + 1)


def map_scene():
    s, ctx = surface(800, 450)
    night_fill(ctx, 800, 450, top=(0.07, 0.08, 0.20), bottom=(0.04, 0.06, 0.10))
    stars(ctx, 800, 450, 90, 21, ymax=150)
    moon(ctx, 720, 40, 22)
    # rolling hills
    for j, col in enumerate(((0.10, 0.10, 0.22), (0.08, 0.12, 0.14), (0.05, 0.08, 0.08))):
        base = 180 + j * 70
        ctx.move_to(0, 450)
        for x in range(0, 801, 10):
            ctx.line_to(x, base + 25 * math.sin(x / (90.0 + 30 * j) + j) +
                        12 * math.sin(x / 31.0 + 2 * j))
        ctx.line_to(800, 450)
        ctx.close_path()
        rgb(ctx, col)
        ctx.fill()
    # winding river
    ctx.move_to(0, 330)
    ctx.curve_to(200, 280, 300, 420, 520, 360)
    ctx.curve_to(650, 330, 700, 400, 800, 380)
    rgb(ctx, (0.25, 0.35, 0.65), 0.55)
    ctx.set_line_width(12)
    ctx.stroke()
    # pine trees
    r = random.Random(8)
    for _ in range(40):
        x, y = r.uniform(0, 800), r.uniform(220, 440)
        hgt = r.uniform(16, 36)
        rgb(ctx, (0.03, 0.07, 0.06))
        ctx.move_to(x, y - hgt)
        ctx.line_to(x - hgt * 0.35, y)
        ctx.line_to(x + hgt * 0.35, y)
        ctx.close_path()
        ctx.fill()
    # cottage; its chimney smokes at screen (450, 465)
    cx, cy = 450, 390
    rgb(ctx, (0.20, 0.12, 0.10))
    ctx.rectangle(cx - 40, cy + 8, 80, 46)
    ctx.fill()
    rgb(ctx, (0.12, 0.06, 0.08))
    ctx.move_to(cx - 50, cy + 10)
    ctx.line_to(cx, cy - 22)
    ctx.line_to(cx + 50, cy + 10)
    ctx.close_path()
    ctx.fill()
    rgb(ctx, (0.16, 0.10, 0.09))
    ctx.rectangle(cx - 6, cy - 8, 12, 14)
    ctx.fill()
    rgb(ctx, (1.0, 0.8, 0.35))
    ctx.rectangle(cx - 28, cy + 20, 12, 12)
    ctx.rectangle(cx + 16, cy + 20, 12, 12)
    ctx.fill()
    font(ctx, "Z003", 34)
    draw_text(ctx, "The road so far...", 400, 140, (0.85, 0.80, 0.95), "centre",
              outline=(0.05, 0.03, 0.08), ow=3)
    return s


def map_strip():
    w, h = 576, 48
    s, ctx = surface(w, h)
    n = noise(h, w, 81, scale=12, octaves=3)
    paper = np.zeros((h, w, 4), np.uint8)
    base = np.array([0.86, 0.76, 0.55]) * 255
    dark = np.array([0.60, 0.46, 0.28]) * 255
    paper[:, :, :3] = (base * (1 - n[:, :, None] * 0.8) + dark * n[:, :, None] * 0.8).astype(
        np.uint8)
    paper[:, :, 3] = 255
    ys, xs = np.mgrid[0:h, 0:w]
    # the trail is left open (key colour) so the footsteps show through it
    centre = np.array([trail_centre(x) for x in range(w)])
    hole = np.abs(ys - centre[None, :]) < 4.5
    edge = (np.abs(ys - centre[None, :]) < 6.5) & ~hole
    paper[edge, :3] = (paper[edge, :3] * 0.45).astype(np.uint8)
    paper[hole] = 0
    # darken the strip's rim
    rim = (ys < 2) | (ys > h - 3) | (xs < 2) | (xs > w - 3)
    paper[rim & ~hole, :3] = (paper[rim & ~hole, :3] * 0.5).astype(np.uint8)
    return paper


def footstep():
    s, ctx = surface(10, 40)
    rgb(ctx, (0.80, 0.10, 0.08))
    ctx.rectangle(0, 0, 10, 40)
    ctx.fill()
    rgb(ctx, (0.55, 0.04, 0.04))
    for y in (6, 22):
        ctx.save()
        ctx.translate(5, y + 5)
        ctx.scale(0.7, 1.0)
        ctx.arc(0, 0, 4, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill()
    return s


def marker():
    s, ctx = surface(28, 50)
    # a yellow pin; the level number is written on its dark face at (8, 7)
    ctx.move_to(14, 49)
    ctx.curve_to(10, 38, 1, 28, 1, 14)
    ctx.arc(14, 14, 13, math.pi, 2 * math.pi)
    ctx.curve_to(27, 28, 18, 38, 14, 49)
    ctx.close_path()
    g = cairo.LinearGradient(0, 0, 28, 0)
    g.add_color_stop_rgb(0, 1.0, 0.90, 0.30)
    g.add_color_stop_rgb(1, 0.85, 0.60, 0.08)
    ctx.set_source(g)
    fill_and_outline(ctx, (0.30, 0.18, 0.02), 1.2)
    rgb(ctx, (0.18, 0.08, 0.22))
    rounded_rect(ctx, 3, 5, 24, 16, 5)
    ctx.fill()
    return s


def smoke_puff():
    s, ctx = surface(50, 50)
    r = random.Random(17)
    for _ in range(9):
        x, y, rad = r.uniform(16, 34), r.uniform(16, 34), r.uniform(7, 12)
        g = cairo.RadialGradient(x, y, 0, x, y, rad)
        g.add_color_stop_rgba(0, 0.95, 0.95, 0.97, 0.55)
        g.add_color_stop_rgba(1, 0.85, 0.85, 0.90, 0.0)
        ctx.set_source(g)
        ctx.arc(x, y, rad, 0, 2 * math.pi)
        ctx.fill()
    return s


def lightning(seed, colour):
    s, ctx = surface(50, 300)
    r = random.Random(seed)
    pts = [(25, 0)]
    y = 0
    while y < 300:
        y += r.uniform(12, 28)
        pts.append((min(45, max(5, pts[-1][0] + r.uniform(-14, 14))), min(300, y)))
    branches = []
    for i in range(2, len(pts) - 2, 4):
        bx, by = pts[i]
        branches.append([(bx, by), (bx + r.choice((-1, 1)) * r.uniform(8, 16), by + r.uniform(20, 35))])
    for lw, a in ((9, 0.18), (5, 0.35), (2.2, 1.0)):
        col = colour if lw > 3 else mix(colour, (1, 1, 1), 0.7)
        rgb(ctx, col, a)
        ctx.set_line_width(lw)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.move_to(*pts[0])
        for p in pts[1:]:
            ctx.line_to(*p)
        ctx.stroke()
        for b in branches:
            ctx.move_to(*b[0])
            ctx.line_to(*b[1])
        ctx.set_line_width(lw * 0.6)
        ctx.stroke()
    return s


def ghost():
    """A black shadow of spikes on white; white is the key."""
    s, ctx = surface(800, 600)
    r = random.Random(15)
    cx, cy = 400, 280
    ctx.new_path()
    n = 46
    for i in range(n + 1):
        a = 2 * math.pi * i / n
        rr = (150 if i % 2 else 260 + r.uniform(-60, 60)) * (1.0 + 0.25 * max(0, math.sin(a)))
        ctx.line_to(cx + rr * math.cos(a), cy + rr * math.sin(a) * 0.85)
    ctx.close_path()
    rgb(ctx, (0.05, 0.02, 0.07))
    ctx.fill()
    # tattered tail
    for i in range(7):
        x = cx - 150 + i * 50
        ctx.move_to(x - 25, cy + 150)
        ctx.line_to(x + r.uniform(-20, 20), cy + 280 + r.uniform(0, 40))
        ctx.line_to(x + 25, cy + 150)
        ctx.close_path()
    ctx.fill()
    # hollow eyes let the screen show through
    ctx.set_operator(cairo.OPERATOR_CLEAR)
    for ex in (-55, 55):
        ctx.save()
        ctx.translate(cx + ex, cy - 30)
        ctx.scale(1.0, 1.4)
        ctx.arc(0, 0, 22, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill()
    ctx.save()
    ctx.translate(cx, cy + 50)
    ctx.scale(1.6, 1.0)
    ctx.arc(0, 0, 22, 0, 2 * math.pi)
    ctx.restore()
    ctx.fill()
    return s


def spider_icon():
    s, ctx = surface(40, 40)
    mini_spider(ctx, 20, 20, 34, body=(0.50, 0.58, 0.44), leg=(0.40, 0.47, 0.35), width=7)
    return s


def moon_icon():
    s, ctx = surface(64, 64)
    moon(ctx, 32, 32, 20)
    return s


def build(cat):
    for k in range(1, 6):
        cat.put("levellist", k, background(k))
    cat.put("levellist", 0, tally_board())
    for k in range(1, 11):
        cat.put("animationList", k, porch_frame(k))
    for k in (11, 12, 13):
        cat.put("animationList", k, beast(k))
    cat.put("animationList", 14, porch_still())
    cat.put("animationList", 15, ghost(), alpha_cut=0.5)
    cat.put("animationList", 16, map_scene())
    cat.put("animationList", 17, smoke_puff(), alpha_cut=0.12)
    cat.put("animationList", 18, map_strip())
    cat.put("animationList", 19, footstep())
    cat.put("animationList", 20, marker())
    for i in range(3):
        cat.put("animationList", 21 + i, lightning(40 + i, (0.75, 0.85, 1.0)))
        cat.put("animationList", 24 + i, lightning(50 + i, (1.0, 0.15, 0.10)))
    cat.put("selectlist", 16, casket_glow())
    s17 = np.array([[[255, 240, 160, 255]]], np.uint8)
    cat.put("selectlist", 17, s17)
    cat.put("selectlist", 0, spider_icon())
    cat.put("selectlist", 3, moon_icon())
