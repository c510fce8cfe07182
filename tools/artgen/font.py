# SPDX-License-Identifier: GPL-3.0-or-later
"""The bitmap font: capitals A-Z and digits 1-9, 0, 28 pixels high, each
drawn to fill its advance so words set by the game sit evenly."""

import cairo

from catalogue import FONT_ADVANCE, FONT_CHARS
from common import surface

FACE = "DejaVu Serif"
HEIGHT = 28
TOP, BOTTOM = 3.0, 25.0  # cap top and baseline inside the glyph picture


def glyph(ch, width):
    s, ctx = surface(width, HEIGHT)
    ctx.select_font_face(FACE, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(40)
    ctx.new_path()
    ctx.move_to(0, 0)
    ctx.text_path(ch)
    path = ctx.copy_path()
    x0, y0, x1, y1 = ctx.fill_extents()
    ctx.new_path()
    ink_w = FONT_ADVANCE[ch] - 2.5  # leaves a little air before the next glyph
    sx = (ink_w - 2.4) / (x1 - x0)
    sy = (BOTTOM - TOP) / (y1 - y0)
    ctx.save()
    ctx.translate(1.2 - x0 * sx, TOP - y0 * sy)
    ctx.scale(sx, sy)
    ctx.append_path(path)
    ctx.restore()
    path2 = ctx.copy_path()
    # drop shadow, outline, gradient fill
    ctx.save()
    ctx.translate(1, 1.5)
    ctx.append_path(path2)
    ctx.set_source_rgba(0.10, 0.03, 0.12, 0.9)
    ctx.set_line_width(2.4)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()
    ctx.restore()
    ctx.append_path(path2)
    ctx.set_source_rgb(0.16, 0.05, 0.18)
    ctx.set_line_width(2.4)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke_preserve()
    g = cairo.LinearGradient(0, TOP, 0, BOTTOM)
    g.add_color_stop_rgb(0, 1.0, 0.96, 0.70)
    g.add_color_stop_rgb(0.45, 1.0, 0.80, 0.30)
    g.add_color_stop_rgb(1, 0.92, 0.45, 0.12)
    ctx.set_source(g)
    ctx.fill()
    return s


def build(cat):
    from catalogue import ITEMS
    for i, ch in enumerate(FONT_CHARS, start=1):
        w = ITEMS[("fontlist1", i)][0][0]
        cat.put("fontlist1", i, glyph(ch, w))
