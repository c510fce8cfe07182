# SPDX-License-Identifier: GPL-3.0-or-later
"""Board tiles, round-puzzle tiles, voodoo box pieces and frame, and the small
Lost Stone tiles."""

import math

import cairo

from common import (GOLD, GREEN_GLOW, fill_and_outline, rgb, rounded_rect, stone_texture, surface,
                    texture_surface, wood_texture)
from decor import skull
from signs import OUTLINE, burst, colour_sign, drop, flame, spade, star, target, twin_flames

STONE = ((0.50, 0.47, 0.56), (0.24, 0.21, 0.30))
MOSS = ((0.30, 0.62, 0.30), (0.09, 0.28, 0.12))


def stone_block(ctx, x, y, w, h, seed, colours=STONE, radius=4):
    tex = texture_surface(stone_texture(int(w) + 2, int(h) + 2, seed, *colours))
    ctx.save()
    rounded_rect(ctx, x, y, w, h, radius)
    ctx.clip()
    ctx.set_source_surface(tex, x, y)
    ctx.paint()
    # bevel
    g = cairo.LinearGradient(x, y, x + w, y + h)
    g.add_color_stop_rgba(0, 1, 1, 1, 0.30)
    g.add_color_stop_rgba(0.45, 1, 1, 1, 0.0)
    g.add_color_stop_rgba(1, 0, 0, 0, 0.45)
    ctx.set_source(g)
    ctx.paint()
    ctx.restore()
    rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, radius)
    rgb(ctx, (0.08, 0.05, 0.10))
    ctx.set_line_width(1)
    ctx.stroke()
    rounded_rect(ctx, x + 1.5, y + 1.5, w - 3, h - 3, max(1, radius - 1))
    rgb(ctx, (1, 1, 1), 0.18)
    ctx.stroke()


def board_tile(code, converted):
    s, ctx = surface(25, 25)
    stone_block(ctx, 0, 0, 25, 25, 100 + code + (10 if converted else 0),
                MOSS if converted else STONE)
    colour_sign(ctx, code, 12.5, 12.8, 17 if code != 5 else 20)
    return s


def outline_frame(w=25, h=25):
    s, ctx = surface(w, h)
    for lw, a in ((3.2, 0.35), (1.6, 1.0)):
        rgb(ctx, GREEN_GLOW, a)
        ctx.set_line_width(lw)
        rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, 3)
        ctx.stroke()
    return s


def pyramid(w=25, h=25):
    s, ctx = surface(w, h)
    cx, cy = w / 2, h / 2
    corners = [(1, 1), (w - 1, 1), (w - 1, h - 1), (1, h - 1)]
    shades = [(0.92, 0.84, 0.62), (0.72, 0.62, 0.42), (0.45, 0.36, 0.24), (0.62, 0.52, 0.34)]
    for i in range(4):
        a, b = corners[i], corners[(i + 1) % 4]
        ctx.move_to(*a)
        ctx.line_to(*b)
        ctx.line_to(cx, cy)
        ctx.close_path()
        rgb(ctx, shades[i])
        fill_and_outline(ctx, (0.20, 0.14, 0.08), 0.8)
    rgb(ctx, (1, 0.95, 0.7))
    ctx.arc(cx, cy, 1.6, 0, 2 * math.pi)
    ctx.fill()
    return s


YELLOW = (1.0, 0.85, 0.20)


def round_sign(ctx, k, cx, cy, s):
    if k == 1:
        burst(ctx, cx, cy, s, YELLOW)
    elif k == 2:
        target(ctx, cx, cy, s, YELLOW)
    elif k == 3:
        twin_flames(ctx, cx, cy, s, YELLOW)
    else:
        spade(ctx, cx, cy, s, YELLOW)


def round_tile(k, splashed):
    s, ctx = surface(38, 25)
    stone_block(ctx, 0, 0, 38, 25, 200 + k, STONE)
    if splashed:
        rgb(ctx, (0.85, 0.08, 0.08), 0.75)
        for (x, y, r) in ((10, 9, 7), (27, 16, 8), (19, 6, 4), (6, 19, 4), (33, 5, 3)):
            ctx.arc(x, y, r, 0, 2 * math.pi)
            ctx.fill()
    round_sign(ctx, k, 19, 12.8, 17)
    return s


def skull_tile(green):
    s, ctx = surface(25, 25)
    stone_block(ctx, 0, 0, 25, 25, 105 + (10 if green else 0), MOSS if green else STONE)
    colour_sign(ctx, 5, 12.5, 12.8, 20)
    return s


def box_piece(mark):
    s, ctx = surface(25, 25)
    stone_block(ctx, 0, 0, 25, 25, 300 + mark, ((0.55, 0.50, 0.44), (0.28, 0.24, 0.22)))
    if mark:
        colour = (0.95, 0.25, 0.20) if mark == 1 else (0.70, 0.35, 0.95)
        skull(ctx, 12.5, 13.2, 19, colour=colour, bones=False)
    return s


def box_frame():
    w, h = 225, 221
    s, ctx = surface(w, h)
    ix, iy = 40, 35  # board cell (1, 1) lies here; the board is 150 x 150
    tex = texture_surface(wood_texture(w, h, 401, light=(0.48, 0.30, 0.18),
                                       dark=(0.20, 0.11, 0.07)))
    ctx.save()
    rounded_rect(ctx, 4, 4, w - 8, h - 8, 14)
    ctx.clip()
    ctx.set_source_surface(tex, 0, 0)
    ctx.paint()
    ctx.restore()
    # inner floor of the box
    g = cairo.LinearGradient(0, iy, 0, iy + 150)
    g.add_color_stop_rgb(0, 0.13, 0.07, 0.05)
    g.add_color_stop_rgb(1, 0.07, 0.04, 0.04)
    ctx.set_source(g)
    ctx.rectangle(ix - 4, iy - 4, 158, 158)
    ctx.fill()
    rgb(ctx, (0.35, 0.22, 0.14), 0.7)
    ctx.set_line_width(1)
    for k in range(7):
        ctx.move_to(ix + 25 * k, iy)
        ctx.line_to(ix + 25 * k, iy + 150)
        ctx.move_to(ix, iy + 25 * k)
        ctx.line_to(ix + 150, iy + 25 * k)
    ctx.stroke()
    rgb(ctx, GOLD, 0.7)
    ctx.set_line_width(2)
    ctx.rectangle(ix - 5, iy - 5, 160, 160)
    ctx.stroke()
    rgb(ctx, (0.05, 0.02, 0.02))
    ctx.set_line_width(2)
    rounded_rect(ctx, 5, 5, w - 10, h - 10, 14)
    ctx.stroke()
    # carved skulls on the rim
    for (x, y) in ((20, 18), (w - 20, 18), (20, h - 18), (w - 20, h - 18)):
        skull(ctx, x, y, 22, colour=(0.80, 0.70, 0.50), bones=False)
    for (x, y) in ((w / 2, 16), (w / 2, h - 16)):
        skull(ctx, x, y, 20, colour=(0.80, 0.70, 0.50))
    return s


def cracked_skull():
    s, ctx = surface(100, 100)
    skull(ctx, 50, 52, 82, colour=(0.96, 0.94, 0.88))
    rgb(ctx, (0.10, 0.04, 0.08))
    ctx.set_line_width(2.2)
    ctx.move_to(44, 12)
    ctx.line_to(49, 22)
    ctx.line_to(43, 30)
    ctx.line_to(50, 38)
    ctx.move_to(49, 22)
    ctx.line_to(58, 26)
    ctx.stroke()
    return s


def lost_stone(code):
    s, ctx = surface(21, 20)
    rgb(ctx, (0.10, 0.06, 0.12))
    ctx.rectangle(0, 0, 21, 20)
    ctx.fill()
    stone_block(ctx, 0, 0, 21, 20, 500 + code, STONE, radius=3)
    sign = {3: drop, 2: star, 4: burst, 1: flame}[code]
    colour = {1: (1.0, 0.80, 0.20)}.get(code)
    if colour:
        sign(ctx, 10.5, 10.2, 14.5, colour)
    else:
        sign(ctx, 10.5, 10.2, 14.5)
    return s


def build(cat):
    for code in range(1, 6):
        cat.put("tilelist", code, board_tile(code, False))
        cat.put("tilelist", code + 5, board_tile(code, True))
    cat.put("tilelist", 0, outline_frame())
    cat.put("tilelist", 13, outline_frame())
    cat.put("tilelist", 12, pyramid())
    for k in range(1, 5):
        cat.put("roundtilelist", k, round_tile(k, False))
        cat.put("roundtilelist", k + 5, round_tile(k, True))
    cat.put("roundtilelist", 5, skull_tile(False))
    cat.put("roundtilelist", 10, skull_tile(True))
    cat.put("roundtilelist", 0, outline_frame())
    cat.put("roundtilelist", 13, outline_frame())
    cat.put("roundtilelist", 12, pyramid())
    for m in range(3):
        cat.put("puzzlelist", m, box_piece(m))
    cat.put("puzzlelist", 3, box_frame())
    cat.put("puzzlelist", 4, cracked_skull())
    # Lost Stones: kinds 13..16 show green drop, red star, purple burst, gold flame
    for kind, code in ((13, 3), (14, 2), (15, 4), (16, 1)):
        cat.put("gemlist", kind, lost_stone(code))


__all__ = ["build", "stone_block", "OUTLINE", "star"]
