# SPDX-License-Identifier: GPL-3.0-or-later
"""Decorations shared by pages and panels: frames, buttons, webs, moons,
little spiders and skulls."""

import math
import random

import cairo

from common import (BLUE_NIGHT, BROWN, BROWN_DARK, CREAM, GOLD, INK, MOON, PURPLE, PURPLE_DEEP,
                    PURPLE_LIGHT, SERIF, draw_text, fill_and_outline, font, mix, rgb, rounded_rect,
                    texture_surface, wood_texture)


def night_fill(ctx, w, h, top=(0.10, 0.07, 0.22), bottom=(0.03, 0.02, 0.07)):
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0, *top)
    g.add_color_stop_rgb(1, *bottom)
    ctx.set_source(g)
    ctx.rectangle(0, 0, w, h)
    ctx.fill()


def stars(ctx, w, h, n, seed, ymax=None):
    r = random.Random(seed)
    for _ in range(n):
        x, y = r.uniform(0, w), r.uniform(0, ymax or h)
        s = r.uniform(0.4, 1.3)
        rgb(ctx, MOON, r.uniform(0.3, 0.9))
        ctx.arc(x, y, s, 0, 2 * math.pi)
        ctx.fill()


def moon(ctx, x, y, r):
    for k in range(6, 0, -1):
        rgb(ctx, (0.55, 0.55, 0.85), 0.05)
        ctx.arc(x, y, r + k * r * 0.25, 0, 2 * math.pi)
        ctx.fill()
    g = cairo.RadialGradient(x - r * 0.3, y - r * 0.3, r * 0.1, x, y, r)
    g.add_color_stop_rgb(0, 1.0, 0.98, 0.90)
    g.add_color_stop_rgb(1, 0.78, 0.80, 0.92)
    ctx.set_source(g)
    ctx.arc(x, y, r, 0, 2 * math.pi)
    ctx.fill()
    rgb(ctx, (0.62, 0.64, 0.78), 0.5)
    for dx, dy, rr in ((-0.3, 0.2, 0.18), (0.25, -0.2, 0.12), (0.1, 0.4, 0.1)):
        ctx.arc(x + dx * r, y + dy * r, rr * r, 0, 2 * math.pi)
        ctx.fill()


def web(ctx, cx, cy, radius, a0, a1, spokes=6, rings=5, colour=(0.85, 0.85, 0.95), alpha=0.35,
        width=1.0):
    """A corner cobweb fanning from (cx, cy) between angles a0 and a1."""
    rgb(ctx, colour, alpha)
    ctx.set_line_width(width)
    angles = [a0 + (a1 - a0) * i / (spokes - 1) for i in range(spokes)]
    for a in angles:
        ctx.move_to(cx, cy)
        ctx.line_to(cx + radius * math.cos(a), cy + radius * math.sin(a))
    ctx.stroke()
    for k in range(1, rings + 1):
        rr = radius * k / (rings + 0.5)
        for i in range(len(angles) - 1):
            p0 = (cx + rr * math.cos(angles[i]), cy + rr * math.sin(angles[i]))
            p1 = (cx + rr * math.cos(angles[i + 1]), cy + rr * math.sin(angles[i + 1]))
            am = (angles[i] + angles[i + 1]) / 2
            sag = rr * 0.82
            ctx.move_to(*p0)
            ctx.curve_to(cx + sag * math.cos(am), cy + sag * math.sin(am),
                         cx + sag * math.cos(am), cy + sag * math.sin(am), *p1)
    ctx.stroke()


def wood_frame(ctx, x, y, w, h, t, seed, radius=14):
    """A wooden frame of thickness t around the rectangle, with a gold inner line."""
    tex = texture_surface(wood_texture(int(w) + 2, int(h) + 2, seed))
    ctx.save()
    rounded_rect(ctx, x, y, w, h, radius)
    rounded_rect(ctx, x + t, y + t, w - 2 * t, h - 2 * t, max(2, radius - t))
    ctx.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
    ctx.clip()
    ctx.set_source_surface(tex, x, y)
    ctx.paint()
    # bevel light on top-left, shade on bottom-right
    g = cairo.LinearGradient(x, y, x + w, y + h)
    g.add_color_stop_rgba(0, 1, 0.9, 0.7, 0.18)
    g.add_color_stop_rgba(0.5, 0, 0, 0, 0)
    g.add_color_stop_rgba(1, 0, 0, 0, 0.35)
    ctx.set_source(g)
    ctx.paint()
    ctx.restore()
    ctx.set_line_width(1.5)
    rgb(ctx, GOLD, 0.65)
    rounded_rect(ctx, x + t - 1, y + t - 1, w - 2 * t + 2, h - 2 * t + 2, max(2, radius - t))
    ctx.stroke()
    rgb(ctx, (0.08, 0.04, 0.04), 0.9)
    ctx.set_line_width(1.2)
    rounded_rect(ctx, x + 0.6, y + 0.6, w - 1.2, h - 1.2, radius)
    ctx.stroke()
    # nail heads in the corners
    for nx, ny in ((x + t / 2, y + t / 2), (x + w - t / 2, y + t / 2),
                   (x + t / 2, y + h - t / 2), (x + w - t / 2, y + h - t / 2)):
        rgb(ctx, (0.15, 0.10, 0.08))
        ctx.arc(nx, ny, max(1.5, t * 0.22), 0, 2 * math.pi)
        ctx.fill()
        rgb(ctx, (0.75, 0.62, 0.40), 0.7)
        ctx.arc(nx - 0.6, ny - 0.6, max(0.8, t * 0.1), 0, 2 * math.pi)
        ctx.fill()


def button(ctx, x, y, w, h, label, size=20, colour=CREAM, face=SERIF, glow=None,
           fill_top=(0.30, 0.17, 0.45), fill_bottom=(0.13, 0.06, 0.22), border=GOLD):
    """A stone-and-gold button with its label centred."""
    rgb(ctx, (0, 0, 0), 0.5)
    rounded_rect(ctx, x + 2, y + 3, w, h, 7)
    ctx.fill()
    g = cairo.LinearGradient(x, y, x, y + h)
    g.add_color_stop_rgb(0, *fill_top)
    g.add_color_stop_rgb(1, *fill_bottom)
    ctx.set_source(g)
    rounded_rect(ctx, x, y, w, h, 7)
    fill_and_outline(ctx, border, 2, 0.95)
    rgb(ctx, (1, 1, 1), 0.12)
    rounded_rect(ctx, x + 3, y + 3, w - 6, h * 0.42, 5)
    ctx.fill()
    font(ctx, face, size, bold=True)
    ext = ctx.text_extents(label)
    tx = x + w / 2
    ty = y + h / 2 + ext.height / 2 - 1
    if glow:
        for k in (6, 4, 2):
            ctx.move_to(tx - ext.x_advance / 2, ty)
            ctx.text_path(label)
            rgb(ctx, glow, 0.18)
            ctx.set_line_width(k)
            ctx.stroke()
    draw_text(ctx, label, tx, ty, colour, "centre", outline=(0.05, 0.02, 0.08), ow=3)


def skull(ctx, cx, cy, s, colour=(0.93, 0.90, 0.82), eye=(0.08, 0.03, 0.08), bones=True,
          outline=(0.08, 0.03, 0.08)):
    """A skull (with crossed bones) centred on (cx, cy), s is its rough height."""
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(s / 100.0, s / 100.0)
    if bones:
        for a in (math.radians(35), math.radians(-35)):
            ctx.save()
            ctx.rotate(a)
            ctx.rectangle(-52, -7, 104, 14)
            for ex in (-52, 52):
                for ey in (-8, 8):
                    ctx.new_sub_path()
                    ctx.arc(ex, ey, 10, 0, 2 * math.pi)
            rgb(ctx, colour)
            fill_and_outline(ctx, outline, 4)
            ctx.restore()
        # refill bone centres so outlines do not cross the bone bodies
        for a in (math.radians(35), math.radians(-35)):
            ctx.save()
            ctx.rotate(a)
            ctx.rectangle(-50, -5, 100, 10)
            rgb(ctx, colour)
            ctx.fill()
            ctx.restore()
    # cranium and jaw
    ctx.new_path()
    ctx.arc(0, -12, 34, math.radians(150), math.radians(30))
    ctx.curve_to(30, 12, 24, 18, 20, 22)
    ctx.line_to(20, 36)
    ctx.line_to(-20, 36)
    ctx.line_to(-20, 22)
    ctx.curve_to(-24, 18, -30, 12, -29.4, 5)
    ctx.close_path()
    rgb(ctx, colour)
    fill_and_outline(ctx, outline, 4)
    rgb(ctx, eye)
    for ex in (-13, 13):
        ctx.save()
        ctx.translate(ex, -6)
        ctx.scale(1.0, 1.15)
        ctx.arc(0, 0, 9.5, 0, 2 * math.pi)
        ctx.restore()
        ctx.fill()
    ctx.move_to(0, 6)
    ctx.line_to(-5, 15)
    ctx.line_to(5, 15)
    ctx.close_path()
    ctx.fill()
    ctx.set_line_width(3)
    for tx in (-10, 0, 10):
        ctx.move_to(tx, 25)
        ctx.line_to(tx, 36)
    ctx.stroke()
    ctx.restore()


def mini_spider(ctx, cx, cy, s, body=(0.10, 0.06, 0.12), leg=(0.10, 0.06, 0.12), angle=0.0,
                mark=None, phase=0.0, width=None):
    """A little spider seen from above, s is its span."""
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(angle)
    ctx.scale(s / 100.0, s / 100.0)
    rgb(ctx, leg)
    ctx.set_line_width(width or 6)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    for side in (-1, 1):
        for k, base in enumerate((-40, -15, 15, 40)):
            sw = math.sin(phase + k * math.pi / 2 + (0 if side > 0 else math.pi)) * 10
            a = math.radians(base + sw)
            ctx.move_to(side * 8, -2 + k * 4)
            kx, ky = side * 30 * math.cos(a), -30 * math.sin(a) - 8
            ctx.line_to(kx, ky)
            ctx.line_to(side * 48 * math.cos(a * 1.1), -44 * math.sin(a * 1.1) + 14)
    ctx.stroke()
    rgb(ctx, body)
    ctx.save()
    ctx.scale(1, 1.25)
    ctx.arc(0, 14, 18, 0, 2 * math.pi)
    ctx.restore()
    ctx.fill()
    ctx.arc(0, -14, 11, 0, 2 * math.pi)
    ctx.fill()
    if mark:
        rgb(ctx, mark)
        ctx.move_to(0, 6)
        ctx.line_to(-7, 14)
        ctx.line_to(0, 22)
        ctx.line_to(7, 14)
        ctx.close_path()
        ctx.move_to(0, 22)
        ctx.line_to(-7, 30)
        ctx.line_to(7, 30)
        ctx.close_path()
        ctx.fill()
    ctx.restore()


def speech_bubble(ctx, w, h, tail=None, pad=3, fill_top=(0.42, 0.22, 0.62),
                  fill_bottom=(0.24, 0.10, 0.40)):
    """A purple speech bubble filling a w x h picture; tail is (x, y) of its tip
    on the picture's edge. Returns the inner text box (x, y, w, h)."""
    bx, by, bw, bh = pad, pad, w - 2 * pad, h - 2 * pad
    if tail:
        tx, ty = tail
        if ty >= h - 2:
            bh -= 16
        elif ty <= 2:
            by += 16
            bh -= 16
        elif tx >= w - 2:
            bw -= 16
        elif tx <= 2:
            bx += 16
            bw -= 16
    path = []

    def outline():
        rounded_rect(ctx, bx, by, bw, bh, 18)
        if tail:
            tx, ty = tail
            ctx.new_sub_path()
            if ty >= h - 2 or ty <= 2:
                base_y = by + bh - 4 if ty >= h - 2 else by + 4
                bxm = min(max(tx - 10, bx + 24), bx + bw - 46)
                ctx.move_to(bxm, base_y)
                ctx.line_to(tx, ty)
                ctx.line_to(bxm + 22, base_y)
            else:
                base_x = bx + bw - 4 if tx >= w - 2 else bx + 4
                bym = min(max(ty - 10, by + 20), by + bh - 40)
                ctx.move_to(base_x, bym)
                ctx.line_to(tx, ty)
                ctx.line_to(base_x, bym + 20)
            ctx.close_path()

    del path
    ctx.set_fill_rule(cairo.FILL_RULE_WINDING)
    outline()
    g = cairo.LinearGradient(0, by, 0, by + bh)
    g.add_color_stop_rgb(0, *fill_top)
    g.add_color_stop_rgb(1, *fill_bottom)
    ctx.set_source(g)
    ctx.fill()
    # rim
    outline()
    rgb(ctx, PURPLE_LIGHT, 0.95)
    ctx.set_line_width(2.5)
    ctx.stroke()
    rgb(ctx, (1, 1, 1), 0.10)
    rounded_rect(ctx, bx + 6, by + 5, bw - 12, bh * 0.35, 12)
    ctx.fill()
    return bx + 12, by + 8, bw - 24, bh - 16


__all__ = ["night_fill", "stars", "moon", "web", "wood_frame", "button", "skull", "mini_spider",
           "speech_bubble", "mix", "INK", "BROWN", "BROWN_DARK", "PURPLE", "PURPLE_DEEP",
           "BLUE_NIGHT"]
