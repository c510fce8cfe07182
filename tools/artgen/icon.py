# SPDX-License-Identifier: GPL-3.0-or-later
"""The program's icon for desktop menus: the walking spider over a row of
three tiles of one colour on a night-purple plate with the moon, drawn as
vectors at each size of the hicolor icon theme."""

import math
import os

import cairo
from PIL import Image

from common import BLUE_NIGHT, INK, MOON, PURPLE, PURPLE_DEEP, SIGN_COLOURS
from common import fill_and_outline, mix, rgb, rounded_rect, surface, to_rgba
from spiders import draw_spider

ICONS = "dist/icons/hicolor"
SIZES = (16, 24, 32, 48, 64, 128, 256)


def plate(ctx):
    rounded_rect(ctx, 10, 10, 236, 236, 46)
    g = cairo.LinearGradient(0, 10, 0, 246)
    g.add_color_stop_rgb(0, *PURPLE)
    g.add_color_stop_rgb(0.55, *PURPLE_DEEP)
    g.add_color_stop_rgb(1, *BLUE_NIGHT)
    ctx.set_source(g)
    fill_and_outline(ctx, INK, 8)


def moon(ctx):
    g = cairo.RadialGradient(196, 60, 10, 196, 60, 46)
    g.add_color_stop_rgba(0, *MOON, 0.45)
    g.add_color_stop_rgba(1, *MOON, 0.0)
    ctx.set_source(g)
    ctx.arc(196, 60, 46, 0, 2 * math.pi)
    ctx.fill()
    rgb(ctx, MOON)
    ctx.arc(196, 60, 22, 0, 2 * math.pi)
    ctx.fill()


def tile_row(ctx):
    """Three green tiles in a row: a run about to burst."""
    colour = SIGN_COLOURS[3]
    for i in range(3):
        x = 36 + i * 64
        rounded_rect(ctx, x, 176, 56, 50, 10)
        g = cairo.LinearGradient(0, 176, 0, 226)
        g.add_color_stop_rgb(0, *mix(colour, (1, 1, 1), 0.35))
        g.add_color_stop_rgb(1, *mix(colour, INK, 0.45))
        ctx.set_source(g)
        fill_and_outline(ctx, INK, 4)


def draw(size):
    s, ctx = surface(size, size)
    ctx.scale(size / 256.0, size / 256.0)
    plate(ctx)
    moon(ctx)
    tile_row(ctx)
    ctx.save()
    ctx.translate(28, 14)
    ctx.scale(1.9, 1.9)
    draw_spider(ctx, 5)
    ctx.restore()
    return s


def build(root=ICONS):
    for size in SIZES:
        folder = os.path.join(root, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        Image.fromarray(to_rgba(draw(size)), "RGBA").save(os.path.join(folder, "morvane.png"),
                                                          optimize=True)


if __name__ == "__main__":
    build()
