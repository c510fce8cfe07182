# SPDX-License-Identifier: GPL-3.0-or-later
"""Shared helpers for the art generator: cairo canvases, colours, text, and
saving pictures so that the engine's 16-bit colour key treats them right."""

import math
import os
import random

import cairo
import numpy as np
from PIL import Image

ASSETS = "assets"

# Night palette used across the whole catalogue.
INK = (0.06, 0.03, 0.10)  # purple-black
PURPLE = (0.36, 0.20, 0.56)
PURPLE_DEEP = (0.18, 0.09, 0.30)
PURPLE_LIGHT = (0.70, 0.55, 0.90)
BROWN = (0.40, 0.26, 0.16)
BROWN_DARK = (0.20, 0.12, 0.08)
BLUE = (0.16, 0.24, 0.48)
BLUE_NIGHT = (0.07, 0.10, 0.22)
MOON = (0.80, 0.86, 0.98)
CREAM = (0.96, 0.93, 0.86)
GOLD = (0.98, 0.78, 0.25)
GREEN_GLOW = (0.35, 0.95, 0.45)

# Colour-sign colours by tile colour code 1..4 (Y, R, G, P).
SIGN_COLOURS = {
    1: (1.00, 0.58, 0.10),  # orange flame
    2: (0.95, 0.16, 0.14),  # red star
    3: (0.25, 0.88, 0.30),  # green drop
    4: (0.72, 0.32, 0.98),  # purple burst
}

TITLE_FONT = "Z003"  # calligraphic display face
SERIF = "URW Bookman"
SANS = "DejaVu Sans"


def surface(w, h):
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    return s, cairo.Context(s)


def to_rgba(surf):
    """Cairo ARGB32 (premultiplied, BGRA in memory) to a straight RGBA array."""
    surf.flush()
    w, h = surf.get_width(), surf.get_height()
    stride = surf.get_stride()
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(h, stride)[:, : w * 4]
    bgra = buf.reshape(h, w, 4).astype(np.float32)
    a = bgra[:, :, 3:4]
    rgb = np.where(a > 0, bgra[:, :, [2, 1, 0]] * 255.0 / np.maximum(a, 1), 0)
    out = np.concatenate([rgb, a], axis=2)
    return np.clip(out + 0.5, 0, 255).astype(np.uint8)


def flatten(rgba, bg=(0, 0, 0)):
    """Composite an RGBA array over a solid colour; returns RGB uint8."""
    a = rgba[:, :, 3:4].astype(np.float32) / 255.0
    rgb = rgba[:, :, :3].astype(np.float32) * a + np.array(bg, np.float32) * (1 - a)
    return np.clip(rgb + 0.5, 0, 255).astype(np.uint8)


def to565(rgb):
    rgb = rgb.astype(np.uint32)
    return ((rgb[..., 0] >> 3) << 11) | ((rgb[..., 1] >> 2) << 5) | (rgb[..., 2] >> 3)


def key_rgb(key):
    """0xBBGGRR to an (r, g, b) tuple."""
    return (key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF)


def keep_off_key(rgb, key):
    """Nudge visible colours that would collide with the key after RGB565."""
    rgb = rgb.copy()
    k = to565(np.array(key_rgb(key), np.uint8))
    hit = to565(rgb) == k
    if hit.any():
        if key_rgb(key) == (0, 0, 0):
            rgb[hit] = np.maximum(rgb[hit], np.array([10, 4, 14], np.uint8))
        else:
            rgb[hit] = np.minimum(rgb[hit], np.array([236, 236, 240], np.uint8))
    return rgb


def _quantize(rgb, colors, dither=True):
    img = Image.fromarray(rgb, "RGB")
    d = Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE
    q = img.quantize(colors=colors, method=Image.Quantize.MEDIANCUT, dither=d)
    pal = np.array(q.getpalette()[: colors * 3], np.uint8).reshape(-1, 3)
    return np.array(q, np.uint8), pal


def save_picture(path, pic, transparent=True, key=0x000000, palette=True,
                 alpha_cut=0.4, dither=True):
    """Save a picture for the catalogue.

    pic is a cairo surface or an RGBA/RGB array. For keyed pictures, pixels
    whose coverage is below alpha_cut become exactly the key colour, the rest
    are composited over the key (dark fringes on black) and kept clear of the
    key after 16-bit conversion. Palette pictures reserve entry 0 for the key.
    """
    if isinstance(pic, cairo.ImageSurface):
        pic = to_rgba(pic)
    if pic.shape[2] == 4:
        rgba = pic
    else:
        rgba = np.concatenate([pic, np.full(pic.shape[:2] + (1,), 255, np.uint8)], axis=2)
    kc = key_rgb(key)
    if transparent:
        mask = rgba[:, :, 3] < int(alpha_cut * 255)
        rgb = flatten(rgba, kc)
        rgb = keep_off_key(rgb, key)
    else:
        mask = np.zeros(rgba.shape[:2], bool)
        rgb = flatten(rgba, (0, 0, 0))
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    if not palette:
        rgb2 = rgb.copy()
        rgb2[mask] = kc
        Image.fromarray(rgb2, "RGB").save(path, optimize=True)
        return
    if transparent and mask.any():
        fill = rgb.copy()
        if (~mask).any():
            fill[mask] = rgb[~mask][0]
        idx, pal = _quantize(fill, 255, dither)
        pal = keep_off_key(pal[None, :, :], key)[0]
        idx = idx + 1
        idx[mask] = 0
        pal = np.vstack([np.array([kc], np.uint8), pal])
    else:
        idx, pal = _quantize(rgb, 256, dither)
        if transparent:
            pal = keep_off_key(pal[None, :, :], key)[0]
    img = Image.fromarray(idx, "P")
    flat = pal.flatten().tolist()
    flat += [0] * (768 - len(flat))
    img.putpalette(flat)
    img.save(path, optimize=True)


# ---------------------------------------------------------------- drawing aids


def rgb(ctx, c, a=1.0):
    ctx.set_source_rgba(c[0], c[1], c[2], a)


def fill_and_outline(ctx, outline, width, a=1.0):
    """Fills the current path with the current source, then strokes its outline."""
    ctx.fill_preserve()
    rgb(ctx, outline, a)
    ctx.set_line_width(width)
    ctx.stroke()


def mix(c1, c2, t):
    return tuple(c1[i] * (1 - t) + c2[i] * t for i in range(3))


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def vgrad(ctx, x, y, w, h, top, bottom):
    g = cairo.LinearGradient(x, y, x, y + h)
    g.add_color_stop_rgb(0, *top)
    g.add_color_stop_rgb(1, *bottom)
    ctx.set_source(g)
    ctx.rectangle(x, y, w, h)
    ctx.fill()


def font(ctx, face, size, bold=False, italic=False):
    ctx.select_font_face(
        face,
        cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
        cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL,
    )
    ctx.set_font_size(size)
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    fo.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    ctx.set_font_options(fo)


def text_width(ctx, s):
    return ctx.text_extents(s).x_advance


def draw_text(ctx, s, x, y, colour=CREAM, align="left", outline=None, ow=3.0, shadow=None):
    """Draw s with its baseline at y. align: left, centre or right of x."""
    w = text_width(ctx, s)
    if align == "centre":
        x -= w / 2
    elif align == "right":
        x -= w
    if shadow:
        ctx.move_to(x + 2, y + 2)
        ctx.text_path(s)
        rgb(ctx, shadow[:3], shadow[3] if len(shadow) > 3 else 0.7)
        ctx.fill()
    if outline:
        ctx.move_to(x, y)
        ctx.text_path(s)
        rgb(ctx, outline)
        ctx.set_line_width(ow)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.stroke()
    ctx.move_to(x, y)
    ctx.text_path(s)
    rgb(ctx, colour)
    ctx.fill()
    return w


def wrap(ctx, s, width):
    words = s.split()
    lines, cur = [], ""
    for wd in words:
        t = (cur + " " + wd).strip()
        if text_width(ctx, t) <= width or not cur:
            cur = t
        else:
            lines.append(cur)
            cur = wd
    if cur:
        lines.append(cur)
    return lines


def text_block(ctx, s, x, y, width, leading, colour=CREAM, align="left", outline=None,
               ow=3.0):
    """Wrap and draw a paragraph; y is the first baseline. Returns next baseline."""
    for line in wrap(ctx, s, width):
        if align == "centre":
            draw_text(ctx, line, x + width / 2, y, colour, "centre", outline, ow)
        else:
            draw_text(ctx, line, x, y, colour, "left", outline, ow)
        y += leading
    return y


def noise(h, w, seed, scale=8, octaves=4):
    """Smooth value noise in [0, 1], shape (h, w)."""
    rng = np.random.default_rng(seed)
    out = np.zeros((h, w), np.float32)
    amp, total = 1.0, 0.0
    s = scale
    for _ in range(octaves):
        gh, gw = max(2, h // s + 2), max(2, w // s + 2)
        grid = rng.random((gh, gw)).astype(np.float32)
        img = Image.fromarray((grid * 255).astype(np.uint8), "L").resize(
            (gw * s, gh * s), Image.BICUBIC)
        out += amp * (np.asarray(img, np.float32)[:h, :w] / 255.0)
        total += amp
        amp *= 0.5
        s = max(1, s // 2)
    return out / total


def texture_surface(rgb_arr):
    """An opaque cairo surface from an RGB uint8 array (to paint as a source)."""
    h, w = rgb_arr.shape[:2]
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    stride = s.get_stride()
    buf = np.frombuffer(s.get_data(), dtype=np.uint8).reshape(h, stride)
    px = buf[:, : w * 4].reshape(h, w, 4)
    px[:, :, 0] = rgb_arr[:, :, 2]
    px[:, :, 1] = rgb_arr[:, :, 1]
    px[:, :, 2] = rgb_arr[:, :, 0]
    px[:, :, 3] = 255
    s.mark_dirty()
    return s


def colour_field(noise_arr, c_lo, c_hi):
    a = noise_arr[:, :, None]
    lo = np.array(c_lo, np.float32) * 255
    hi = np.array(c_hi, np.float32) * 255
    return np.clip(lo * (1 - a) + hi * a, 0, 255).astype(np.uint8)


def stone_texture(w, h, seed, base=(0.42, 0.40, 0.46), dark=(0.22, 0.20, 0.27)):
    n = noise(h, w, seed, scale=6, octaves=3)
    return colour_field(n, dark, base)


def wood_texture(w, h, seed, light=(0.42, 0.27, 0.17), dark=(0.18, 0.10, 0.07), vertical=False):
    """Planks' grain running along x (or along y when vertical)."""
    if vertical:
        return wood_texture(h, w, seed, light, dark).transpose(1, 0, 2).copy()
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float32)
    n = noise(h, w, seed, scale=32, octaves=3)
    grain = 0.5 + 0.5 * np.sin(ys * 0.9 + 7.0 * n + 0.002 * xs)
    v = 0.55 * grain + 0.45 * noise(h, w, seed + 1, scale=4, octaves=2)
    return colour_field(v.astype(np.float32), dark, light)


def rng_for(name):
    return random.Random(hash_name(name))


def hash_name(name):
    h = 2166136261
    for ch in name.encode():
        h = ((h ^ ch) * 16777619) & 0xFFFFFFFF
    return h
