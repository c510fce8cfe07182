# SPDX-License-Identifier: GPL-3.0-or-later
"""The walking spider in eleven poses, the small dark spider, and the sixteen
copper tiles that together show the black spider with its hourglass."""

import math

import cairo
import numpy as np

from common import fill_and_outline, mix, rgb, rounded_rect, surface, to_rgba
from decor import mini_spider

BODY = (0.50, 0.58, 0.44)
BODY_DARK = (0.20, 0.25, 0.17)
LEG = (0.36, 0.42, 0.31)
OUTLINE = (0.06, 0.07, 0.05)

# Direction of each foot from the thorax, pair 0 at the front, in degrees
# from straight ahead; the stride swings them forward and back.
FOOT_ANGLES = [34, 74, 114, 152]
FOOT_REACH = [46, 44, 43, 46]
SWING = 13


def spider_pose(k):
    """Pose k of 0..10; 0 and 10 are the two extremes of the stride, so the
    poses played 0..10..0 swing the legs smoothly back and forth."""
    s, ctx = surface(100, 100)
    draw_spider(ctx, k)
    return s


def draw_spider(ctx, k):
    """Draws pose k into the 100 x 100 box at the origin of `ctx`."""
    u = (k / 10.0) * 2 - 1
    cx, cy = 50, 45
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    legs = []
    for side in (-1, 1):
        for i, base in enumerate(FOOT_ANGLES):
            # alternating gait: legs 0 and 2 of one side move with 1 and 3 of the other
            group = (i + (0 if side < 0 else 1)) % 2
            swing = SWING * u * (1 if group == 0 else -1)
            a = math.radians(base + swing)
            hip = (cx + side * 5, cy - 5 + i * 3.5)
            reach = FOOT_REACH[i]
            foot = (cx + side * reach * math.sin(a), cy - reach * math.cos(a) + 2)
            # the knee stands out sideways, above the line from hip to foot
            ka = math.radians(base + swing * 0.6)
            kr = reach * 0.62
            knee = (cx + side * (kr * math.sin(ka) + 7), cy - kr * math.cos(ka) - 3)
            legs.append((hip, knee, foot))
    for width, col in ((5.0, OUTLINE), (2.8, LEG)):
        rgb(ctx, col)
        ctx.set_line_width(width)
        for hip, knee, foot in legs:
            ctx.move_to(*hip)
            ctx.line_to(*knee)
            ctx.line_to(*foot)
            ctx.stroke()
    rgb(ctx, mix(LEG, (1, 1, 1), 0.45))
    for hip, knee, foot in legs:
        ctx.arc(knee[0], knee[1], 1.3, 0, 2 * math.pi)
        ctx.fill()
    # abdomen, swaying a little with the stride
    ax, ay = cx + u * 0.8, cy + 19
    g = cairo.RadialGradient(ax - 5, ay - 6, 2, ax, ay, 18)
    g.add_color_stop_rgb(0, *mix(BODY, (1, 1, 1), 0.35))
    g.add_color_stop_rgb(0.7, *BODY)
    g.add_color_stop_rgb(1, *BODY_DARK)
    ctx.save()
    ctx.translate(ax, ay)
    ctx.scale(1.0, 1.12)
    ctx.arc(0, 0, 14.5, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source(g)
    fill_and_outline(ctx, OUTLINE, 1.6)
    # chevrons on the abdomen
    rgb(ctx, BODY_DARK, 0.75)
    ctx.set_line_width(2.2)
    for j in range(3):
        y = ay - 4 + j * 6.5
        ctx.move_to(ax - 8 + j * 1.8, y - 2.5)
        ctx.line_to(ax, y + 1.5)
        ctx.line_to(ax + 8 - j * 1.8, y - 2.5)
    ctx.stroke()
    # head and thorax
    g = cairo.RadialGradient(cx - 3, cy - 6, 1, cx, cy - 2, 12)
    g.add_color_stop_rgb(0, *mix(BODY, (1, 1, 1), 0.3))
    g.add_color_stop_rgb(1, *BODY_DARK)
    ctx.set_source(g)
    ctx.save()
    ctx.translate(cx, cy - 2)
    ctx.scale(1.0, 1.15)
    ctx.arc(0, 0, 9.5, 0, 2 * math.pi)
    ctx.restore()
    fill_and_outline(ctx, OUTLINE, 1.5)
    # fangs and eyes
    rgb(ctx, OUTLINE)
    ctx.set_line_width(2)
    for sgn in (-1, 1):
        ctx.move_to(cx + sgn * 3, cy - 13)
        ctx.line_to(cx + sgn * 2, cy - 17.5)
    ctx.stroke()
    for ex, ey, r in ((-3.5, -9, 1.9), (3.5, -9, 1.9), (-1.5, -11.5, 1.3), (1.5, -11.5, 1.3)):
        rgb(ctx, (0.95, 0.15, 0.10))
        ctx.arc(cx + ex, cy + ey, r, 0, 2 * math.pi)
        ctx.fill()


def small_spider():
    s, ctx = surface(50, 50)
    mini_spider(ctx, 25, 25, 44, body=(0.16, 0.12, 0.18), leg=(0.20, 0.15, 0.22), width=6.5)
    rgb(ctx, (0.9, 0.2, 0.15))
    for ex in (-1.6, 1.6):
        ctx.arc(25 + ex, 18.5, 0.9, 0, 2 * math.pi)
        ctx.fill()
    return s


def copper_picture(size=80):
    """The finished charm: copper plate with a black spider and red hourglass."""
    s, ctx = surface(size, size)
    g = cairo.LinearGradient(0, 0, size, size)
    g.add_color_stop_rgb(0, 0.86, 0.52, 0.28)
    g.add_color_stop_rgb(0.5, 0.66, 0.34, 0.16)
    g.add_color_stop_rgb(1, 0.46, 0.22, 0.10)
    ctx.set_source(g)
    ctx.rectangle(0, 0, size, size)
    ctx.fill()
    rng = np.random.default_rng(5)
    for _ in range(220):
        x, y = rng.uniform(0, size, 2)
        rgb(ctx, (0.35, 0.55, 0.45) if rng.random() < 0.15 else (1.0, 0.75, 0.5),
            rng.uniform(0.05, 0.2))
        ctx.arc(x, y, rng.uniform(0.5, 2.0), 0, 2 * math.pi)
        ctx.fill()
    mini_spider(ctx, size / 2, size / 2 - 3, size * 1.0, body=(0.05, 0.03, 0.05),
                leg=(0.07, 0.04, 0.07), width=5.5, mark=(0.92, 0.08, 0.06))
    # a glint on the body
    rgb(ctx, (1, 1, 1), 0.35)
    ctx.arc(size / 2 - 4, size / 2 + 2, 2.2, 0, 2 * math.pi)
    ctx.fill()
    return to_rgba(s)


def copper_tiles(pic):
    tiles = []
    for r in range(4):
        for c in range(4):
            t = pic[r * 20:(r + 1) * 20, c * 20:(c + 1) * 20].copy()
            s = cairo.ImageSurface(cairo.FORMAT_ARGB32, 20, 20)
            ctx = cairo.Context(s)
            tiles.append((t, s, ctx))
    out = []
    for t, s, ctx in tiles:
        # bevel each tile so it reads as one piece of the set
        over = np.zeros((20, 20, 4), np.float32)
        a = t.astype(np.float32)
        ys, xs = np.mgrid[0:20, 0:20]
        edge_light = ((xs == 0) | (ys == 0)).astype(np.float32)
        edge_dark = ((xs == 19) | (ys == 19)).astype(np.float32)
        a[:, :, :3] = a[:, :, :3] * (1 - 0.35 * edge_dark[:, :, None])
        a[:, :, :3] = a[:, :, :3] + (255 - a[:, :, :3]) * 0.3 * edge_light[:, :, None]
        a[:, :, 3] = 255
        del over, s, ctx
        out.append(np.clip(a, 0, 255).astype(np.uint8))
    return out


def build(cat):
    for k in range(11):
        cat.put("spiderlist", k, spider_pose(k))
    cat.put("spiderlist", 12, small_spider())
    pic = copper_picture()
    for i, t in enumerate(copper_tiles(pic)):
        cat.put("gemlist", 25 + i, t)
    return pic


__all__ = ["build", "rounded_rect"]
