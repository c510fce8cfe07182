# SPDX-License-Identifier: GPL-3.0-or-later
"""The colour signs: flame, star, drop, burst and skull, plus the round
puzzle's target, spade and flames. Each is drawn centred on (cx, cy) with
size s (its rough height), filled and outlined dark so it reads when tiny."""

import math

import cairo

from common import SIGN_COLOURS, mix, rgb
from decor import skull

OUTLINE = (0.07, 0.03, 0.07)


def _finish(ctx, colour, lw, light=None, cx=0, cy=0, s=1):
    if light is None:
        light = mix(colour, (1, 1, 0.9), 0.55)
    g = cairo.RadialGradient(cx - s * 0.15, cy - s * 0.2, s * 0.05, cx, cy, s * 0.6)
    g.add_color_stop_rgb(0, *light)
    g.add_color_stop_rgb(1, *colour)
    ctx.set_source(g)
    ctx.fill_preserve()
    rgb(ctx, OUTLINE)
    ctx.set_line_width(lw)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()


def flame(ctx, cx, cy, s, colour=SIGN_COLOURS[1], lw=None):
    lw = lw or max(1.0, s * 0.09)
    h = s / 2
    ctx.new_path()
    ctx.move_to(cx, cy + h)
    ctx.curve_to(cx - h * 0.95, cy + h, cx - h * 0.95, cy + h * 0.05, cx - h * 0.55, cy - h * 0.35)
    ctx.line_to(cx - h * 0.35, cy + h * 0.05)
    ctx.curve_to(cx - h * 0.3, cy - h * 0.4, cx - h * 0.1, cy - h * 0.7, cx, cy - h)
    ctx.curve_to(cx + h * 0.15, cy - h * 0.55, cx + h * 0.3, cy - h * 0.35, cx + h * 0.3, cy)
    ctx.line_to(cx + h * 0.6, cy - h * 0.45)
    ctx.curve_to(cx + h * 1.0, cy - h * 0.05, cx + h * 0.95, cy + h, cx, cy + h)
    ctx.close_path()
    _finish(ctx, colour, lw, (1.0, 0.95, 0.5), cx, cy + h * 0.4, s)
    # inner core
    ctx.new_path()
    ctx.move_to(cx, cy + h * 0.75)
    ctx.curve_to(cx - h * 0.4, cy + h * 0.75, cx - h * 0.35, cy + h * 0.1, cx, cy - h * 0.2)
    ctx.curve_to(cx + h * 0.35, cy + h * 0.1, cx + h * 0.4, cy + h * 0.75, cx, cy + h * 0.75)
    rgb(ctx, (1.0, 0.92, 0.45), 0.9)
    ctx.fill()


def star(ctx, cx, cy, s, colour=SIGN_COLOURS[2], lw=None, points=5, inner=0.45):
    lw = lw or max(1.0, s * 0.09)
    r = s / 2
    ctx.new_path()
    for i in range(points * 2):
        a = -math.pi / 2 + i * math.pi / points
        rr = r if i % 2 == 0 else r * inner
        ctx.line_to(cx + rr * math.cos(a), cy + rr * math.sin(a) + r * 0.06)
    ctx.close_path()
    _finish(ctx, colour, lw, None, cx, cy, s)


def drop(ctx, cx, cy, s, colour=SIGN_COLOURS[3], lw=None):
    lw = lw or max(1.0, s * 0.09)
    h = s / 2
    r = h * 0.62
    ctx.new_path()
    ctx.move_to(cx, cy - h)
    ctx.curve_to(cx + r * 0.4, cy - h * 0.5, cx + r, cy - h * 0.05, cx + r, cy + h - r)
    ctx.arc(cx, cy + h - r, r, 0, math.pi)
    ctx.curve_to(cx - r, cy - h * 0.05, cx - r * 0.4, cy - h * 0.5, cx, cy - h)
    ctx.close_path()
    _finish(ctx, colour, lw, None, cx, cy + h * 0.2, s)
    rgb(ctx, (1, 1, 1), 0.75)
    ctx.arc(cx - r * 0.4, cy + h * 0.25, max(0.8, r * 0.2), 0, 2 * math.pi)
    ctx.fill()


def burst(ctx, cx, cy, s, colour=SIGN_COLOURS[4], lw=None):
    star(ctx, cx, cy - s * 0.03, s * 1.05, colour, lw, points=8, inner=0.42)
    rgb(ctx, mix(colour, (1, 1, 1), 0.6))
    ctx.arc(cx, cy, s * 0.11, 0, 2 * math.pi)
    ctx.fill()


def skull_sign(ctx, cx, cy, s, colour=(0.93, 0.90, 0.82)):
    skull(ctx, cx, cy + s * 0.04, s * 0.9, colour=colour, bones=False)


def target(ctx, cx, cy, s, colour, lw=None):
    lw = lw or max(1.0, s * 0.09)
    for k, c in ((0.5, colour), (0.32, OUTLINE), (0.2, colour)):
        ctx.arc(cx, cy, s * k, 0, 2 * math.pi)
        rgb(ctx, c)
        ctx.fill()
    ctx.arc(cx, cy, s * 0.5, 0, 2 * math.pi)
    rgb(ctx, OUTLINE)
    ctx.set_line_width(lw)
    ctx.stroke()


def spade(ctx, cx, cy, s, colour, lw=None):
    lw = lw or max(1.0, s * 0.09)
    h = s / 2
    ctx.new_path()
    ctx.move_to(cx, cy - h)
    ctx.curve_to(cx + h * 0.3, cy - h * 0.5, cx + h * 1.0, cy - h * 0.1, cx + h * 0.8, cy + h * 0.35)
    ctx.curve_to(cx + h * 0.6, cy + h * 0.7, cx + h * 0.2, cy + h * 0.55, cx + h * 0.1, cy + h * 0.35)
    ctx.line_to(cx + h * 0.35, cy + h)
    ctx.line_to(cx - h * 0.35, cy + h)
    ctx.line_to(cx - h * 0.1, cy + h * 0.35)
    ctx.curve_to(cx - h * 0.2, cy + h * 0.55, cx - h * 0.6, cy + h * 0.7, cx - h * 0.8, cy + h * 0.35)
    ctx.curve_to(cx - h * 1.0, cy - h * 0.1, cx - h * 0.3, cy - h * 0.5, cx, cy - h)
    ctx.close_path()
    _finish(ctx, colour, lw, None, cx, cy, s)


def twin_flames(ctx, cx, cy, s, colour):
    flame(ctx, cx - s * 0.22, cy + s * 0.06, s * 0.8, colour)
    flame(ctx, cx + s * 0.22, cy - s * 0.04, s * 0.9, colour)


def colour_sign(ctx, code, cx, cy, s):
    """Sign of tile colour code 1..5."""
    if code == 1:
        flame(ctx, cx, cy, s)
    elif code == 2:
        star(ctx, cx, cy, s * 1.08)
    elif code == 3:
        drop(ctx, cx, cy, s)
    elif code == 4:
        burst(ctx, cx, cy, s * 1.05)
    else:
        skull_sign(ctx, cx, cy, s)
