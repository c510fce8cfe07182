# SPDX-License-Identifier: GPL-3.0-or-later
"""Jewels, rune tablets, pearls, the book, the sparkle, the item glow, the
explosion frames, the blood splat and the spiders' symbols."""

import math
import random

import cairo

from common import (SIGN_COLOURS, fill_and_outline, mix, rgb, rounded_rect, stone_texture, surface,
                    texture_surface)
from decor import mini_spider, skull, web
from signs import colour_sign

JEWEL_COLOURS = {1: (1.0, 0.55, 0.08), 2: (0.90, 0.08, 0.12), 3: (0.15, 0.80, 0.25),
                 4: (0.62, 0.22, 0.92)}


def sparkle():
    s, ctx = surface(20, 20)
    for k, a in ((9.5, 0.35), (7, 1.0)):
        ctx.new_path()
        for i in range(8):
            ang = -math.pi / 2 + i * math.pi / 4
            r = k if i % 2 == 0 else 1.6
            ctx.line_to(10 + r * math.cos(ang), 10 + r * math.sin(ang))
        ctx.close_path()
        rgb(ctx, (1, 1, 1), a)
        ctx.fill()
    g = cairo.RadialGradient(10, 10, 0, 10, 10, 5)
    g.add_color_stop_rgba(0, 1, 1, 1, 1)
    g.add_color_stop_rgba(1, 0.8, 0.85, 1, 0)
    ctx.set_source(g)
    ctx.arc(10, 10, 5, 0, 2 * math.pi)
    ctx.fill()
    return s


def jewel(colour, size=20):
    """A faceted cut stone seen from above."""
    s, ctx = surface(size, size)
    c = size / 2
    r = size / 2 - 1
    outer = [(c + r * math.cos(math.pi / 8 + i * math.pi / 4),
              c + r * math.sin(math.pi / 8 + i * math.pi / 4)) for i in range(8)]
    ri = r * 0.5
    inner = [(c + ri * math.cos(math.pi / 8 + i * math.pi / 4),
              c + ri * math.sin(math.pi / 8 + i * math.pi / 4)) for i in range(8)]
    # facets, lit from the top-left
    for i in range(8):
        a, b = outer[i], outer[(i + 1) % 8]
        ia, ib = inner[i], inner[(i + 1) % 8]
        mid = math.pi / 8 + (i + 0.5) * math.pi / 4
        light = 0.5 + 0.5 * math.cos(mid - math.radians(225))
        col = mix(mix(colour, (0.05, 0.0, 0.05), 0.55), mix(colour, (1, 1, 1), 0.35), light)
        ctx.move_to(*a)
        ctx.line_to(*b)
        ctx.line_to(*ib)
        ctx.line_to(*ia)
        ctx.close_path()
        rgb(ctx, col)
        ctx.fill()
    ctx.new_path()
    for p in inner:
        ctx.line_to(*p)
    ctx.close_path()
    g = cairo.LinearGradient(c - ri, c - ri, c + ri, c + ri)
    g.add_color_stop_rgb(0, *mix(colour, (1, 1, 1), 0.45))
    g.add_color_stop_rgb(1, *colour)
    ctx.set_source(g)
    ctx.fill()
    ctx.new_path()
    for p in outer:
        ctx.line_to(*p)
    ctx.close_path()
    rgb(ctx, mix(colour, (0.05, 0, 0.05), 0.7))
    ctx.set_line_width(1)
    ctx.stroke()
    rgb(ctx, (1, 1, 1), 0.9)
    ctx.arc(c - ri * 0.45, c - ri * 0.45, max(1.0, size * 0.07), 0, 2 * math.pi)
    ctx.fill()
    return s


def tablet(size, seed, stone, sign, glow=None):
    """A square stone tablet with a carved sign; glow outlines a finished rune."""
    s, ctx = surface(size, size)
    tex = texture_surface(stone_texture(size, size, seed, *stone))
    m = 0.5
    ctx.save()
    rounded_rect(ctx, m, m, size - 2 * m, size - 2 * m, size * 0.12)
    ctx.clip()
    ctx.set_source_surface(tex, 0, 0)
    ctx.paint()
    g = cairo.LinearGradient(0, 0, size, size)
    g.add_color_stop_rgba(0, 1, 1, 1, 0.25)
    g.add_color_stop_rgba(0.5, 1, 1, 1, 0)
    g.add_color_stop_rgba(1, 0, 0, 0, 0.4)
    ctx.set_source(g)
    ctx.paint()
    # rune marks around the edge
    rgb(ctx, (0.05, 0.03, 0.06), 0.55)
    ctx.set_line_width(size * 0.025)
    rr = random.Random(seed)
    for i in range(12):
        t = i / 12.0
        edge = i % 4
        u = size * (0.2 + 0.6 * rr.random())
        d = size * 0.09
        x, y = [(u, d), (size - d, u), (u, size - d), (d, u)][edge]
        ctx.move_to(x - size * 0.03, y - size * 0.03)
        ctx.line_to(x + size * 0.03, y + size * 0.03)
        del t
    ctx.stroke()
    ctx.restore()
    sign(ctx, size / 2, size / 2, size)
    rounded_rect(ctx, m + 0.5, m + 0.5, size - 2 * m - 1, size - 2 * m - 1, size * 0.12)
    rgb(ctx, glow or (0.10, 0.06, 0.12))
    ctx.set_line_width(2 if glow else 1)
    ctx.stroke()
    return s


GROW_STONE = ((0.48, 0.52, 0.42), (0.22, 0.25, 0.20))
FREEZE_STONE = ((0.45, 0.58, 0.78), (0.16, 0.22, 0.38))


def grow_sign(ctx, cx, cy, size):
    skull(ctx, cx, cy + size * 0.02, size * 0.62, colour=(0.92, 0.95, 0.80))


def freeze_sign(ctx, cx, cy, size):
    r = size * 0.36
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for lw, col in ((size * 0.10, (0.05, 0.08, 0.18)), (size * 0.05, (0.97, 0.99, 1.0))):
        ctx.set_line_width(lw)
        rgb(ctx, col)
        for i in range(8):
            a = i * math.pi / 4
            ctx.move_to(cx, cy)
            ctx.line_to(cx + r * math.cos(a), cy + r * math.sin(a))
            for sgn in (-1, 1):
                bx, by = cx + r * 0.6 * math.cos(a), cy + r * 0.6 * math.sin(a)
                ctx.move_to(bx, by)
                ctx.line_to(bx + r * 0.28 * math.cos(a + sgn * 0.8),
                            by + r * 0.28 * math.sin(a + sgn * 0.8))
        ctx.stroke()
    g = cairo.RadialGradient(cx, cy, 0, cx, cy, r * 0.35)
    g.add_color_stop_rgba(0, 1, 1, 1, 1)
    g.add_color_stop_rgba(1, 0.7, 0.85, 1, 0.0)
    ctx.set_source(g)
    ctx.arc(cx, cy, r * 0.35, 0, 2 * math.pi)
    ctx.fill()


def quarters(big):
    """Cut a 40 x 40 picture into four 20 x 20 quarters, TL, TR, BL, BR."""
    from common import to_rgba
    a = to_rgba(big)
    return [a[0:20, 0:20], a[0:20, 20:40], a[20:40, 0:20], a[20:40, 20:40]]


def pearl(colour, glow):
    s, ctx = surface(45, 45)
    g = cairo.RadialGradient(22.5, 22.5, 8, 22.5, 22.5, 22)
    g.add_color_stop_rgba(0, *glow, 0.6)
    g.add_color_stop_rgba(1, *glow, 0.0)
    ctx.set_source(g)
    ctx.arc(22.5, 22.5, 22, 0, 2 * math.pi)
    ctx.fill()
    g = cairo.RadialGradient(17, 16, 1, 22.5, 22.5, 15)
    g.add_color_stop_rgb(0, 1, 1, 1)
    g.add_color_stop_rgb(0.35, *mix(colour, (1, 1, 1), 0.4))
    g.add_color_stop_rgb(1, *mix(colour, (0.05, 0.05, 0.15), 0.45))
    ctx.set_source(g)
    ctx.arc(22.5, 22.5, 14.5, 0, 2 * math.pi)
    fill_and_outline(ctx, mix(colour, (0, 0, 0.1), 0.7), 1)
    return s


def web_sheet():
    s, ctx = surface(45, 45)
    rgb(ctx, (0.85, 0.86, 0.95), 0.25)
    rounded_rect(ctx, 2, 2, 41, 41, 6)
    ctx.fill()
    web(ctx, 22.5, 22.5, 21, 0, 2 * math.pi, spokes=9, rings=4, colour=(0.95, 0.95, 1.0),
        alpha=0.9, width=1.0)
    return s


def book():
    s, ctx = surface(48, 48)
    # pages visible at the side
    rgb(ctx, (0.90, 0.85, 0.70))
    rounded_rect(ctx, 9, 6, 36, 38, 3)
    ctx.fill()
    g = cairo.LinearGradient(0, 0, 48, 48)
    g.add_color_stop_rgb(0, 0.55, 0.24, 0.14)
    g.add_color_stop_rgb(1, 0.26, 0.09, 0.06)
    ctx.set_source(g)
    rounded_rect(ctx, 4, 3, 37, 41, 4)
    fill_and_outline(ctx, (0.12, 0.04, 0.03), 1.2)
    rgb(ctx, (0.20, 0.07, 0.04))
    ctx.rectangle(4, 3, 6, 41)
    ctx.fill()
    rgb(ctx, (0.95, 0.75, 0.30), 0.8)
    ctx.set_line_width(1)
    rounded_rect(ctx, 13, 7, 24, 33, 3)
    ctx.stroke()
    mini_spider(ctx, 25, 23, 26, body=(0.06, 0.03, 0.06), leg=(0.08, 0.04, 0.08), width=7,
                mark=(0.9, 0.1, 0.1))
    return s


def charm_shield(spider_rgba):
    s, ctx = surface(45, 45)
    ctx.move_to(22.5, 2)
    ctx.curve_to(38, 6, 43, 14, 42, 24)
    ctx.curve_to(40, 35, 30, 41, 22.5, 44)
    ctx.curve_to(15, 41, 5, 35, 3, 24)
    ctx.curve_to(2, 14, 7, 6, 22.5, 2)
    ctx.close_path()
    g = cairo.LinearGradient(0, 0, 45, 45)
    g.add_color_stop_rgb(0, 0.45, 0.70, 0.30)
    g.add_color_stop_rgb(1, 0.13, 0.32, 0.10)
    ctx.set_source(g)
    fill_and_outline(ctx, (0.95, 0.80, 0.35), 1.8)
    rgb(ctx, (0.10, 0.25, 0.08), 0.8)
    ctx.set_line_width(1)
    ctx.move_to(22.5, 5)
    ctx.line_to(22.5, 41)
    for k in range(4):
        y = 12 + k * 7
        ctx.move_to(22.5, y + 4)
        ctx.line_to(10, y)
        ctx.move_to(22.5, y + 4)
        ctx.line_to(35, y)
    ctx.stroke()
    mini_spider(ctx, 22.5, 22, 30, body=(0.05, 0.03, 0.05), leg=(0.07, 0.04, 0.07), width=7,
                mark=(0.9, 0.1, 0.1))
    return s


def explosion(k):
    """Frame k of 19: small orange sparks growing into a large blue-white burst."""
    s, ctx = surface(20, 20)
    t = (k - 1) / 18.0
    rr = random.Random(900 + k)
    hot = mix((1.0, 0.55, 0.10), (0.75, 0.88, 1.0), t)
    core = mix((1.0, 0.85, 0.35), (1.0, 1.0, 1.0), t)
    radius = 1.6 + 7.0 * t
    g = cairo.RadialGradient(10, 10, 0, 10, 10, radius)
    g.add_color_stop_rgba(0, *core, 1.0)
    g.add_color_stop_rgba(0.55, *hot, 0.9)
    g.add_color_stop_rgba(1, *hot, 0.0)
    ctx.set_source(g)
    ctx.arc(10, 10, radius, 0, 2 * math.pi)
    ctx.fill()
    n = 5 + int(9 * t)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for i in range(n):
        a = 2 * math.pi * i / n + rr.uniform(-0.25, 0.25)
        r0 = radius * 0.5
        r1 = min(9.6, radius * rr.uniform(1.25, 1.6) + 0.8)
        ctx.move_to(10 + r0 * math.cos(a), 10 + r0 * math.sin(a))
        ctx.line_to(10 + r1 * math.cos(a), 10 + r1 * math.sin(a))
        rgb(ctx, mix(hot, (1, 1, 1), 0.4))
        ctx.set_line_width(1.0 + 0.6 * t)
        ctx.stroke()
    return s


def item_glow():
    s, ctx = surface(40, 40)
    g = cairo.RadialGradient(20, 20, 0, 20, 20, 19.5)
    g.add_color_stop_rgba(0, 1.0, 0.95, 0.75, 1.0)
    g.add_color_stop_rgba(0.35, 0.95, 0.75, 0.40, 0.9)
    g.add_color_stop_rgba(0.75, 0.55, 0.30, 0.80, 0.6)
    g.add_color_stop_rgba(1, 0.30, 0.15, 0.50, 0.0)
    ctx.set_source(g)
    ctx.arc(20, 20, 19.5, 0, 2 * math.pi)
    ctx.fill()
    return s


def blood_splat():
    s, ctx = surface(50, 50)
    rr = random.Random(77)
    rgb(ctx, (0.70, 0.04, 0.06))
    ctx.new_path()
    n = 18
    for i in range(n + 1):
        a = 2 * math.pi * i / n
        r = rr.uniform(11, 17) if i % 2 else rr.uniform(15, 20)
        ctx.line_to(25 + r * math.cos(a), 25 + r * math.sin(a))
    ctx.close_path()
    ctx.fill()
    for _ in range(9):
        a = rr.uniform(0, 2 * math.pi)
        d = rr.uniform(18, 23)
        ctx.arc(25 + d * math.cos(a), 25 + d * math.sin(a), rr.uniform(1.2, 2.5), 0, 2 * math.pi)
        ctx.fill()
    rgb(ctx, (0.92, 0.20, 0.20), 0.6)
    ctx.arc(21, 21, 5, 0, 2 * math.pi)
    ctx.fill()
    return s


def symbol(code):
    """The sign a spider carries, small in the middle of a 100 x 100 square."""
    s, ctx = surface(100, 100)
    colour_sign(ctx, code, 50, 63, 22)
    return s


def grown_symbol(code):
    s, ctx = surface(100, 100)
    colour = mix(SIGN_COLOURS[code], (1, 1, 1), 0.15)
    if code == 1:
        colour = (1.0, 0.85, 0.15)
    skull(ctx, 50, 60, 40, colour=colour)
    return s


def build(cat, spider_picture):
    cat.put("gemlist", 0, sparkle())
    for k, c in JEWEL_COLOURS.items():
        cat.put("gemlist", k, jewel(c))
    grow = tablet(40, 11, GROW_STONE, grow_sign)
    for i, q in enumerate(quarters(grow)):
        cat.put("gemlist", 5 + i, q.copy())
    cat.put("gemlist", 9, tablet(45, 11, GROW_STONE, grow_sign, glow=(0.55, 1.0, 0.45)))
    cat.put("gemlist", 10, web_sheet())
    cat.put("gemlist", 12, book())
    freeze = tablet(40, 13, FREEZE_STONE, freeze_sign)
    for i, q in enumerate(quarters(freeze)):
        cat.put("gemlist", 17 + i, q.copy())
    cat.put("gemlist", 21, tablet(45, 13, FREEZE_STONE, freeze_sign, glow=(0.6, 0.9, 1.0)))
    cat.put("gemlist", 22, pearl((0.20, 0.40, 0.95), (0.30, 0.50, 1.0)))
    cat.put("gemlist", 23, pearl((0.75, 0.88, 0.98), (0.75, 0.90, 1.0)))
    cat.put("gemlist", 24, charm_shield(spider_picture))
    for k in range(1, 20):
        cat.put("explist", k, explosion(k))
    cat.put("selectlist", 1, item_glow(), palette=False, alpha_cut=0.08)
    cat.put("symbollist", 0, blood_splat())
    for code in range(1, 5):
        cat.put("symbollist", code, symbol(code))
        cat.put("symbollist", code + 4, grown_symbol(code))
