# SPDX-License-Identifier: GPL-3.0-or-later
"""Pages and panels that carry words: welcome picture, main menu and its
highlights, options, player panels, inventory and charm panels, hint
bubbles, the instructions page and the Book of Jewels."""

import math
import os

import cairo
import numpy as np
from PIL import Image

from catalogue import MENU_HIGHLIGHTS
from common import (CREAM, GOLD, GREEN_GLOW, MOON, PURPLE_LIGHT, SERIF, TITLE_FONT, draw_text,
                    fill_and_outline, font, rgb, rounded_rect, save_picture, surface, text_block,
                    text_width, to_rgba, wrap)
from decor import (button, mini_spider, moon, night_fill, skull, speech_bubble, stars, web,
                   wood_frame)

TEXT_DARK = (0.05, 0.02, 0.08)
INK_BROWN = (0.22, 0.12, 0.06)

MENU_ENTRIES = ["Play", "Change Player", "Help and Instructions", "Game Options", "Exit"]
# Vertical centre of each entry on the screen: inside its click row and its highlight.
MENU_CENTRES = [321, 361, 420, 461, 498]
MENU_PAGE_X = 50


def title(ctx, s, cx, baseline, size, colour=GOLD, glow=(0.55, 0.25, 0.85)):
    font(ctx, TITLE_FONT, size)
    w = text_width(ctx, s)
    for k, a in ((14, 0.10), (9, 0.16), (5, 0.25)):
        ctx.move_to(cx - w / 2, baseline)
        ctx.text_path(s)
        rgb(ctx, glow, a)
        ctx.set_line_width(k)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.stroke()
    g = cairo.LinearGradient(0, baseline - size * 0.7, 0, baseline)
    g.add_color_stop_rgb(0, 1.0, 0.92, 0.55)
    g.add_color_stop_rgb(1, *colour)
    ctx.move_to(cx - w / 2, baseline)
    ctx.text_path(s)
    ctx.set_source(g)
    if size >= 50:
        fill_and_outline(ctx, (0.20, 0.08, 0.02), 1.2)
    else:
        ctx.fill()


def dark_page(ctx, w, h, seed, frame=14, star_count=None):
    night_fill(ctx, w, h)
    stars(ctx, w, h, int(w * h / 2500) if star_count is None else star_count, seed,
          ymax=h * 0.6)
    wood_frame(ctx, 0, 0, w, h, frame, seed, radius=16)


def hanging_spider(ctx, x, top, length, s):
    rgb(ctx, MOON, 0.6)
    ctx.set_line_width(1)
    ctx.move_to(x, top)
    ctx.line_to(x, top + length)
    ctx.stroke()
    mini_spider(ctx, x, top + length + s * 0.3, s, body=(0.42, 0.48, 0.38),
                leg=(0.34, 0.40, 0.30), angle=math.pi, width=7)


# ------------------------------------------------------------------ menu page


def menu_font_size(ctx):
    size = 32
    while size > 14:
        font(ctx, SERIF, size, bold=True)
        if all(text_width(ctx, e) <= MENU_HIGHLIGHTS[i + 5][1][0] - 10
               for i, e in enumerate(MENU_ENTRIES)):
            return size
        size -= 1
    return size


def menu_page(highlight=None):
    w, h = 700, 600
    s, ctx = surface(w, h)
    dark_page(ctx, w, h, seed=41, frame=16)
    moon(ctx, 585, 95, 38)
    web(ctx, 16, 16, 120, 0, math.pi / 2, spokes=6, rings=6)
    web(ctx, w - 16, 16, 100, math.pi / 2, math.pi, spokes=5, rings=5)
    # distant hills
    ctx.move_to(16, 560)
    for x in range(16, w - 15, 20):
        ctx.line_to(x, 520 + 18 * math.sin(x / 70.0) + 10 * math.sin(x / 23.0))
    ctx.line_to(w - 16, 584)
    ctx.line_to(16, 584)
    ctx.close_path()
    rgb(ctx, (0.07, 0.05, 0.13))
    ctx.fill()
    hanging_spider(ctx, 130, 16, 150, 46)
    title(ctx, "Morvane", 350, 215, 132)
    font(ctx, SERIF, 17, italic=True)
    draw_text(ctx, "a night of spiders, skulls and jewels", 350, 256, PURPLE_LIGHT, "centre")
    # stone tablet behind the entries
    tx, ty, tw, th = 200, 290, 300, 236
    g = cairo.LinearGradient(0, ty, 0, ty + th)
    g.add_color_stop_rgba(0, 0.20, 0.12, 0.30, 0.92)
    g.add_color_stop_rgba(1, 0.09, 0.05, 0.15, 0.92)
    ctx.set_source(g)
    rounded_rect(ctx, tx, ty, tw, th, 18)
    fill_and_outline(ctx, GOLD, 2, 0.55)
    rgb(ctx, GOLD, 0.25)
    ctx.move_to(tx + 40, 391)
    ctx.line_to(tx + tw - 40, 391)
    ctx.stroke()
    size = menu_font_size(ctx)
    for i, entry in enumerate(MENU_ENTRIES):
        font(ctx, SERIF, size, bold=True)
        ext = ctx.text_extents("Hx")
        base = MENU_CENTRES[i] + ext.height / 2 - 3
        cx = 350
        if highlight == i:
            tw_ = text_width(ctx, entry)
            for k, a in ((10, 0.12), (6, 0.2), (3, 0.35)):
                ctx.move_to(cx - tw_ / 2, base)
                ctx.text_path(entry)
                rgb(ctx, (1.0, 0.6, 0.2), a)
                ctx.set_line_width(k)
                ctx.set_line_join(cairo.LINE_JOIN_ROUND)
                ctx.stroke()
            draw_text(ctx, entry, cx, base, (1.0, 0.88, 0.40), "centre", outline=TEXT_DARK,
                      ow=2.5)
        else:
            draw_text(ctx, entry, cx, base, CREAM, "centre", outline=TEXT_DARK, ow=2.5)
    return to_rgba(s)


def menu_pieces(cat):
    cat.put("selectlist", 4, menu_page())
    for i in range(5):
        (sx, sy), (w, h) = MENU_HIGHLIGHTS[i + 5]
        page = menu_page(highlight=i)
        x = sx - MENU_PAGE_X
        cat.put("selectlist", i + 5, page[sy:sy + h, x:x + w].copy())


# --------------------------------------------------------------- options page

OPTIONS_AT = (75, 55)
OPTION_ROWS = [("Game Sounds", (447, 230), "ON"), ("Ambient Sounds", (447, 274), "ON"),
               ("Details", (447, 320), "ON"), ("Difficulty Level", (446, 361), "EASY")]


def options_page():
    w, h = 640, 480
    s, ctx = surface(w, h)
    dark_page(ctx, w, h, seed=57)
    web(ctx, w - 14, 14, 110, math.pi / 2, math.pi, spokes=5, rings=5)
    title(ctx, "Game Options", w / 2, 100, 66)
    rgb(ctx, GOLD, 0.4)
    ctx.set_line_width(1.5)
    ctx.move_to(120, 128)
    ctx.line_to(w - 120, 128)
    ctx.stroke()
    for label, (sx, sy), word in OPTION_ROWS:
        bx, by = sx - OPTIONS_AT[0], sy - OPTIONS_AT[1]
        cy = by + 17
        font(ctx, SERIF, 26, bold=True)
        draw_text(ctx, label, 70, cy + 9, CREAM, outline=TEXT_DARK, ow=2.5)
        lw = text_width(ctx, label)
        rgb(ctx, PURPLE_LIGHT, 0.5)
        x = 70 + lw + 12
        while x < bx - 12:
            ctx.arc(x, cy + 5, 1.5, 0, 2 * math.pi)
            ctx.fill()
            x += 9
        button(ctx, bx + 1, by + 1, 73, 32, word, size=20, colour=(0.55, 1.0, 0.55),
               glow=GREEN_GLOW, fill_top=(0.16, 0.30, 0.16), fill_bottom=(0.05, 0.14, 0.06))
    font(ctx, SERIF, 14, italic=True)
    draw_text(ctx, "Click a button to switch it on or off.", 460, 372, PURPLE_LIGHT, "centre")
    # Close: click area is screen x 148..220, y 420..470
    button(ctx, 148 - 75 + 3, 420 - 55 + 3, 66, 44, "Close", size=19)
    mini_spider(ctx, 560, 420, 60, body=(0.18, 0.12, 0.22), leg=(0.24, 0.16, 0.28), angle=0.3,
                phase=0.7)
    return to_rgba(s)


def off_mark():
    # Drawn opaque over the ON buttons, so its corners show the page's own night sky at the
    # height of the middle rows rather than a key colour.
    s, ctx = surface(75, 34)
    rows_top = sum(y for _, (_, y), _ in OPTION_ROWS) / len(OPTION_ROWS) - OPTIONS_AT[1]
    ctx.save()
    ctx.translate(0, -rows_top)
    night_fill(ctx, 75, 480)
    ctx.restore()
    button(ctx, 1, 1, 73, 32, "OFF", size=20, colour=(1.0, 0.45, 0.40), glow=(1, 0.2, 0.1),
           fill_top=(0.34, 0.08, 0.08), fill_bottom=(0.14, 0.03, 0.04), border=(0.9, 0.3, 0.25))
    return to_rgba(s)


# ------------------------------------------------------------- player panels


def small_panel(ctx, w, h, heading, seed):
    night_fill(ctx, w, h, top=(0.14, 0.08, 0.24), bottom=(0.05, 0.03, 0.10))
    wood_frame(ctx, 0, 0, w, h, 10, seed, radius=12)
    web(ctx, 10, 10, 50, 0, math.pi / 2, spokes=4, rings=4, alpha=0.3)
    size = 28
    font(ctx, SERIF, size, bold=True)
    while text_width(ctx, heading) > w - 60:
        size -= 1
        font(ctx, SERIF, size, bold=True)
    draw_text(ctx, heading, w / 2, 46, GOLD, "centre", outline=TEXT_DARK, ow=3)


def inset(ctx, x, y, w, h):
    rgb(ctx, (0.02, 0.01, 0.04))
    rounded_rect(ctx, x, y, w, h, 4)
    fill_and_outline(ctx, PURPLE_LIGHT, 1.5, 0.6)


PANEL_AT = (255, 275)


def player_select_panel():
    w, h = 320, 240
    s, ctx = surface(w, h)
    small_panel(ctx, w, h, "Select a Game", seed=71)
    # names are written at screen x 330, y 350 + 12k, six lines
    inset(ctx, 330 - PANEL_AT[0] - 7, 350 - PANEL_AT[1] - 5, 196, 6 * 12 + 10)
    font(ctx, SERIF, 12, italic=True)
    draw_text(ctx, "Click a name", 40, 172, PURPLE_LIGHT, "centre")
    draw_text(ctx, "to play", 40, 186, PURPLE_LIGHT, "centre")
    # Cancel: click area screen x 430..590, y 450..500
    button(ctx, 430 - PANEL_AT[0] + 6, 450 - PANEL_AT[1] + 5, 130, 40, "Cancel", size=19)
    return to_rgba(s)


def name_entry_panel():
    w, h = 320, 240
    s, ctx = surface(w, h)
    small_panel(ctx, w, h, "Create a New Player", seed=73)
    font(ctx, SERIF, 17, bold=True)
    draw_text(ctx, "Enter Name:", 68, 122, CREAM, outline=TEXT_DARK, ow=2)
    # typed name is written at screen (330, 410)
    inset(ctx, 330 - PANEL_AT[0] - 7, 410 - PANEL_AT[1] - 5, 196, 24)
    # OK: click area screen x 330..390, y 450..500; Cancel x 430..590
    button(ctx, 330 - PANEL_AT[0] + 4, 450 - PANEL_AT[1] + 5, 52, 40, "OK", size=19)
    button(ctx, 430 - PANEL_AT[0] + 6, 450 - PANEL_AT[1] + 5, 130, 40, "Cancel", size=19)
    return to_rgba(s)


# ------------------------------------------------------------ inventory panel


def inventory_panel():
    w, h = 245, 396
    s, ctx = surface(w, h)
    # body
    rounded_rect(ctx, 1, 1, w - 1, h - 2, 14)
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0, 0.16, 0.09, 0.22)
    g.add_color_stop_rgb(1, 0.07, 0.04, 0.11)
    ctx.set_source(g)
    ctx.fill()
    wood_frame(ctx, 1, 1, w - 1, h - 2, 8, 91, radius=14)
    # tab with the panel's name, visible when the panel is closed
    rgb(ctx, (0.26, 0.14, 0.36))
    rounded_rect(ctx, 9, 18, 28, 212, 6)
    fill_and_outline(ctx, GOLD, 1.5, 0.7)
    ctx.save()
    ctx.translate(29, 215)
    ctx.rotate(-math.pi / 2)
    font(ctx, SERIF, 17, bold=True)
    draw_text(ctx, "INVENTORY", 98, 0, GOLD, "centre", outline=TEXT_DARK, ow=2)
    ctx.restore()
    # 8 x 14 cells from (43, 26), 23 apart
    for c in range(8):
        for r in range(14):
            x, y = 43 + 23 * c, 26 + 23 * r
            rgb(ctx, (0.03, 0.02, 0.06))
            rounded_rect(ctx, x - 1, y - 1, 23, 23, 3)
            ctx.fill()
            rgb(ctx, (0.45, 0.30, 0.60), 0.45)
            ctx.set_line_width(1)
            rounded_rect(ctx, x - 0.5, y - 0.5, 22, 22, 3)
            ctx.stroke()
    # Close: click area screen x 620..700, y 500..540 with the panel at (570, 150)
    button(ctx, 53, 353, 74, 34, "Close", size=16)
    mini_spider(ctx, 185, 370, 34, body=(0.20, 0.13, 0.24), leg=(0.26, 0.17, 0.30), phase=1.1,
                angle=-0.4)
    return to_rgba(s)


def charm_panel(spider_rgba):
    w, h = 265, 265
    s, ctx = surface(w, h)
    cx, cy = 127, 128
    g = cairo.RadialGradient(cx, cy, 10, cx, cy, 130)
    g.add_color_stop_rgb(0, 0.32, 0.20, 0.12)
    g.add_color_stop_rgb(0.75, 0.20, 0.12, 0.08)
    g.add_color_stop_rgb(1, 0.10, 0.06, 0.05)
    ctx.set_source(g)
    ctx.arc(cx, cy, 128, 0, 2 * math.pi)
    ctx.fill()
    rgb(ctx, (0.85, 0.55, 0.30), 0.9)
    ctx.set_line_width(3)
    ctx.arc(cx, cy, 125, 0, 2 * math.pi)
    ctx.stroke()
    rgb(ctx, GOLD, 0.5)
    ctx.set_line_width(1.2)
    ctx.arc(cx, cy, 116, 0, 2 * math.pi)
    ctx.stroke()
    web(ctx, cx, cy, 112, 0, 2 * math.pi, spokes=13, rings=6, colour=(0.95, 0.8, 0.6),
        alpha=0.18)
    font(ctx, SERIF, 19, bold=True)
    draw_text(ctx, "Spider Charm", cx, 48, GOLD, "centre", outline=TEXT_DARK, ow=3)
    font(ctx, SERIF, 11, italic=True)
    draw_text(ctx, "Place the sixteen", cx, 198, CREAM, "centre", outline=TEXT_DARK, ow=2)
    draw_text(ctx, "Morvane Rune Pieces", cx, 211, CREAM, "centre", outline=TEXT_DARK, ow=2)
    # 4 x 4 cells at (81, 80), 23 apart, with a faint picture of the finished charm
    rgb(ctx, (0.04, 0.03, 0.04))
    rounded_rect(ctx, 78, 77, 97, 97, 4)
    ctx.fill()
    ghost = np.array(Image.fromarray(spider_rgba).resize((92, 92), Image.LANCZOS))
    ghost = ghost.astype(np.float32)
    ghost[:, :, 3] *= 0.28
    gs = cairo.ImageSurface(cairo.FORMAT_ARGB32, 92, 92)
    buf = np.frombuffer(gs.get_data(), np.uint8).reshape(92, gs.get_stride())[:, :368]
    a = ghost[:, :, 3:4] / 255.0
    px = np.concatenate([ghost[:, :, [2, 1, 0]] * a, ghost[:, :, 3:4]], axis=2)
    buf[:] = np.clip(px, 0, 255).astype(np.uint8).reshape(92, 368)
    gs.mark_dirty()
    ctx.set_source_surface(gs, 81, 80)
    ctx.paint()
    for c in range(4):
        for r in range(4):
            x, y = 81 + 23 * c, 80 + 23 * r
            rgb(ctx, (0.85, 0.55, 0.30), 0.55)
            ctx.set_line_width(1)
            rounded_rect(ctx, x - 0.5, y - 0.5, 22, 22, 2)
            ctx.stroke()
    return to_rgba(s)


# ----------------------------------------------------------------- hint panels

HINTS = {
    1: ("Select two stones next to each other to swap them. Try to form three or more "
        "in a row!", (230, 130)),
    2: ("Make rows of FOUR or more matching tiles to resurrect spiders!", None),
    3: ("Careful! Three or more skulls in a row kill one of your resurrected spiders!",
        None),
    4: ("Spiders drop items. Take them and build more valuable runes!", None),
    5: ("Beware! When no more spiders are alive, the game is over.", None),
    8: ("The tiles turn green with each successful row. Turn ALL tiles green to end the "
        "level!", None),
    9: ("Drop a Freeze Rune on the bonus timer to stop the clock!", None),
    11: ("This is your inventory! Right-click deletes an item. Arrange rune pieces to build "
         "powerful runes. Swap Lost Stones into the board to help complete rows. When the "
         "inventory is full, all items are converted.", (343, 112)),
}


def hint_text(ctx, box, s, max_size=19, min_size=11, colour=CREAM, face=SERIF):
    bx, by, bw, bh = box
    size = max_size
    while size > min_size:
        font(ctx, face, size, bold=True)
        lines = wrap(ctx, s, bw)
        if len(lines) * size * 1.22 <= bh:
            break
        size -= 0.5
    font(ctx, face, size, bold=True)
    lines = wrap(ctx, s, bw)
    lead = size * 1.22
    y = by + (bh - len(lines) * lead) / 2 + size * 0.95
    for line in lines:
        draw_text(ctx, line, bx + bw / 2, y, colour, "centre", outline=TEXT_DARK, ow=3)
        y += lead


def hint_panel(idx, gem):
    text, tail = HINTS[idx]
    w, h = 344, 131
    s, ctx = surface(w, h)
    box = speech_bubble(ctx, w, h, tail)
    bx, by, bw, bh = box
    if idx == 3:
        skull(ctx, bx + 26, by + bh / 2, 50, colour=(0.95, 0.92, 0.84))
        box = (bx + 56, by, bw - 56, bh)
    if idx == 4:
        # a row of finds: jewels, four rune pieces as a square, and the rune they make
        y0 = by + bh - 44
        paste(ctx, gem(1), bx + 40, y0 + 12)
        paste(ctx, gem(4), bx + 64, y0 + 12)
        for q in range(4):
            paste(ctx, gem(5 + q), bx + 104 + 21 * (q % 2), y0 + 1 + 21 * (q // 2))
        font(ctx, SERIF, 26, bold=True)
        draw_text(ctx, "=", bx + 164, y0 + 32, GOLD, "centre", outline=TEXT_DARK, ow=2)
        paste(ctx, gem(9), bx + 182, y0 - 1)
        paste(ctx, gem(21), bx + 232, y0 - 1)
        box = (bx, by - 2, bw, bh - 46)
    if idx == 8:
        paste(ctx, gem(-2), bx + 2, by + bh / 2 - 30)
        font(ctx, SERIF, 16, bold=True)
        draw_text(ctx, "\u2193", bx + 14, by + bh / 2 + 8, GOLD, "centre", outline=TEXT_DARK, ow=2)
        paste(ctx, gem(-1), bx + 2, by + bh / 2 + 12)
        box = (bx + 34, by, bw - 34, bh)
    hint_text(ctx, box, text, face="DejaVu Sans Condensed" if len(text) > 150 else SERIF)
    return to_rgba(s)


def paste(ctx, rgba, x, y, scale=1.0):
    h, w = rgba.shape[:2]
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    buf = np.frombuffer(surf.get_data(), np.uint8).reshape(h, surf.get_stride())[:, : w * 4]
    a = rgba[:, :, 3:4].astype(np.float32) / 255.0
    px = np.concatenate([rgba[:, :, [2, 1, 0]] * a, rgba[:, :, 3:4]], axis=2)
    buf[:] = np.clip(px, 0, 255).astype(np.uint8).reshape(h, w * 4)
    surf.mark_dirty()
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(scale, scale)
    ctx.set_source_surface(surf, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_GOOD)
    ctx.paint()
    ctx.restore()


def game_over_panel():
    w, h = 344, 131
    s, ctx = surface(w, h)
    speech_bubble(ctx, w, h, None, fill_top=(0.45, 0.14, 0.30), fill_bottom=(0.22, 0.05, 0.16))
    font(ctx, SERIF, 18, bold=True)
    draw_text(ctx, "All your spiders are dead!", w / 2, 30, CREAM, "centre", outline=TEXT_DARK)
    # YES click area: panel at (200, 200), screen x 240..307, y 240..289
    button(ctx, 44, 44, 60, 42, "YES", size=19, colour=(0.6, 1.0, 0.6), glow=GREEN_GLOW)
    button(ctx, 254, 44, 62, 42, "NO", size=19, colour=(1.0, 0.6, 0.55), glow=(1, 0.3, 0.2))
    font(ctx, SERIF, 17, bold=True)
    draw_text(ctx, "Restart", w / 2, 61, GOLD, "centre", outline=TEXT_DARK)
    draw_text(ctx, "this level?", w / 2, 81, GOLD, "centre", outline=TEXT_DARK)
    font(ctx, SERIF, 12, italic=True)
    draw_text(ctx, "YES plays it again, NO returns to the menu", w / 2, 110, PURPLE_LIGHT,
              "centre")
    return to_rgba(s)


def charm_hint_panel():
    w, h = 325, 163
    s, ctx = surface(w, h)
    box = speech_bubble(ctx, w, h, None)
    hint_text(ctx, box, "The Spider Charm: right-click it to open it, then place the sixteen "
              "Morvane Rune Pieces, each in its own cell, to put the Morvane together!")
    return to_rgba(s)


def voodoo_hint_panel():
    w, h = 344, 183
    s, ctx = surface(w, h)
    bx, by, bw, bh = speech_bubble(ctx, w, h, None)
    font(ctx, TITLE_FONT, 34)
    title(ctx, "Voodoo Box Bonus", w / 2, by + 32, 34)
    hint_text(ctx, (bx, by + 40, bw, bh - 40),
              "Drag the pieces into the box. RIGHT-click turns a piece. When the box is "
              "full, all rows of three skulls or more are counted!", max_size=17)
    return to_rgba(s)


# ------------------------------------------------------------ instructions page

RULES = [
    "Swap two neighbouring stones to form rows of three or more, across or down.",
    "Every successful row turns its tiles green. The level is over when all tiles are "
    "green; finish faster for more points from the bonus timer.",
    "Four or more in a row resurrect spiders.",
    "Three or more skull tiles kill one of your spiders. The level is over when none is left.",
    "While the bonus timer runs, spiders spawn gems and rune pieces.",
    "Click runes and gems to put them into the inventory; right-click to delete them.",
    "Arrange pieces to form full runes that do magic, such as freezing the clock.",
    "When the inventory is completely full, all items are converted into points, so use "
    "full runes first.",
    "Points are taken from the score when a spider is killed, more on each level.",
]


def instructions_page():
    w, h = 640, 480
    s, ctx = surface(w, h)
    dark_page(ctx, w, h, seed=63, star_count=0)
    web(ctx, 14, 14, 80, 0, math.pi / 2, spokes=5, rings=5)
    title(ctx, "Help", w / 2, 66, 60)
    size = 18
    x0, x1 = 62, w - 36
    while True:
        font(ctx, SERIF, size)
        lines = [wrap(ctx, r, x1 - x0) for r in RULES]
        total = sum(len(l) for l in lines) * size * 1.2 + len(RULES) * 6
        if total <= 312 or size <= 11:
            break
        size -= 0.5
    y = 98 + size
    lead = size * 1.2
    for n, rl in enumerate(lines, start=1):
        font(ctx, SERIF, size, bold=True)
        draw_text(ctx, f"{n}.", x0 - 8, y, GOLD, "right", outline=TEXT_DARK, ow=2)
        font(ctx, SERIF, size)
        for line in rl:
            draw_text(ctx, line, x0, y, CREAM, outline=TEXT_DARK, ow=2)
            y += lead
        y += 6
    button(ctx, 22, 422, 86, 40, "Close", size=19)
    font(ctx, SERIF, 13, italic=True)
    draw_text(ctx, "Click anywhere to return to the menu", w - 30, 448, PURPLE_LIGHT, "right")
    return to_rgba(s)


def blank_page():
    w, h = 640, 480
    s, ctx = surface(w, h)
    dark_page(ctx, w, h, seed=67)
    web(ctx, 14, h - 14, 90, -math.pi / 2, 0, spokes=5, rings=5)
    return to_rgba(s)


# ---------------------------------------------------------------- book of jewels

BOOK_LEFT = [
    ([1, 2, 3, 4], "Jewels",
     "Sun Diamond, Blood Stone, Crystal de Verde and Purple Saphire. Spiders find them "
     "where they meet. A flawless jewel is worth $100 more than a cracked one."),
    ([5, 6, 7, 8], "Rune Pieces",
     "Lay the four pieces out as a square in the inventory to make a Grow Rune."),
    ([9], "Grow Rune", "Drop it on a spider to make it grow 20 to 29% bigger."),
    ([17, 18, 19, 20], "Rune Pieces [Freeze]",
     "Four pieces laid out as a square make a Freeze Rune."),
    ([21], "Freeze Rune",
     "Drop it on the bonus timer to FREEZE the clock for 100 to 199 seconds."),
]
BOOK_RIGHT = [
    ([13, 14, 15, 16], "Lost Stones",
     "Drop onto any tile to swap it to the stone's colour: green, red, purple or gold."),
    ([22, 23], "Blue Pearl and Crystal Pearl",
     "Rare pearls, worth a jewel's value plus $1000 or $1500."),
    ([12], "Book of Jewels", "This book. Right-click it in the inventory to read it."),
    ([24], "Spider Charm", "Given on level 2. Right-click it to open it."),
    ([25, 26, 27, 28], "Morvane Rune Pieces",
     "Place all sixteen into the Spider Charm, each in its own cell, to put the Morvane "
     "together for a mega bonus."),
]


def book_page(gem):
    w, h = 800, 450
    s, ctx = surface(w, h)
    # leather cover
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0, 0.30, 0.12, 0.10)
    g.add_color_stop_rgb(1, 0.16, 0.06, 0.06)
    ctx.set_source(g)
    ctx.paint()
    rgb(ctx, GOLD, 0.5)
    ctx.set_line_width(2)
    rounded_rect(ctx, 8, 8, w - 16, h - 16, 12)
    ctx.stroke()
    # two pages
    for px in (18, w / 2 + 2):
        g = cairo.LinearGradient(px, 0, px + w / 2 - 20, 0)
        if px < w / 2:
            g.add_color_stop_rgb(0, 0.86, 0.78, 0.60)
            g.add_color_stop_rgb(0.85, 0.93, 0.87, 0.72)
            g.add_color_stop_rgb(1, 0.70, 0.60, 0.44)
        else:
            g.add_color_stop_rgb(0, 0.70, 0.60, 0.44)
            g.add_color_stop_rgb(0.15, 0.93, 0.87, 0.72)
            g.add_color_stop_rgb(1, 0.86, 0.78, 0.60)
        ctx.set_source(g)
        rounded_rect(ctx, px, 16, w / 2 - 20, h - 32, 6)
        ctx.fill()
    rgb(ctx, (0.35, 0.22, 0.12), 0.6)
    ctx.set_line_width(2)
    ctx.move_to(w / 2, 16)
    ctx.line_to(w / 2, h - 16)
    ctx.stroke()
    font(ctx, TITLE_FONT, 34)
    draw_text(ctx, "The Book of Jewels", 210, 56, (0.45, 0.10, 0.30), "centre")
    font(ctx, TITLE_FONT, 24)
    draw_text(ctx, "and what they do", 600, 52, (0.45, 0.10, 0.30), "centre")

    def icon(kinds, x, y):
        """Item pictures for an entry, inside a 70 x 46 box at (x, y)."""
        if len(kinds) == 4 and kinds[0] in (5, 17):
            for q, k in enumerate(kinds):
                paste(ctx, gem(k), x + 14 + 21 * (q % 2), y + 21 * (q // 2))
        elif kinds[0] == 25:
            for q in range(16):
                paste(ctx, gem(25 + q), x + 13 + 11 * (q % 4), y + 11 * (q // 4), 0.55)
        elif len(kinds) == 1:
            pic = gem(kinds[0])
            paste(ctx, pic, x + 35 - pic.shape[1] * 0.45, y + 22 - pic.shape[0] * 0.45, 0.9)
        elif len(kinds) == 2:
            for q, k in enumerate(kinds):
                paste(ctx, gem(k), x + 2 + 34 * q, y + 6, 0.72)
        else:
            for q, k in enumerate(kinds):
                pic = gem(k)
                paste(ctx, pic, x + 14 + 21 * (q % 2), y + 21 * (q // 2))

    def column(x, y, entries, width):
        for kinds, name, text in entries:
            icon(kinds, x, y)
            tx = x + 78
            font(ctx, SERIF, 14, bold=True)
            draw_text(ctx, name, tx, y + 11, (0.40, 0.08, 0.10))
            font(ctx, SERIF, 12.5)
            yy = text_block(ctx, text, tx, y + 27, width, 14.5, INK_BROWN)
            y = max(yy - 8, y + 48) + 10
        return y

    column(30, 72, BOOK_LEFT, 280)
    y = column(w / 2 + 16, 72, BOOK_RIGHT, 282)
    font(ctx, SERIF, 11.5, italic=True)
    text_block(ctx, "Right-click any other item in the inventory to throw it away. When every "
               "cell is full, the items turn into points.", w / 2 + 18, max(y + 6, 402), 360,
               13, (0.30, 0.18, 0.10))
    return to_rgba(s)


def book_icon(gem):
    s, ctx = surface(56, 56)
    paste(ctx, gem(12), 4, 4)
    return to_rgba(s)


# ------------------------------------------------------------------- welcome


def welcome():
    w, h = 400, 300
    s, ctx = surface(w, h)
    night_fill(ctx, w, h, top=(0.12, 0.07, 0.24), bottom=(0.02, 0.01, 0.05))
    stars(ctx, w, h, 70, 5, ymax=200)
    moon(ctx, 330, 62, 28)
    web(ctx, 0, 0, 90, 0, math.pi / 2, spokes=5, rings=5)
    ctx.move_to(0, 300)
    for x in range(0, 401, 10):
        ctx.line_to(x, 268 + 10 * math.sin(x / 40.0) + 5 * math.sin(x / 13.0))
    ctx.line_to(400, 300)
    ctx.close_path()
    rgb(ctx, (0.06, 0.04, 0.10))
    ctx.fill()
    hanging_spider(ctx, 72, 0, 62, 30)
    title(ctx, "Morvane", w / 2, 150, 96)
    font(ctx, SERIF, 26, bold=True)
    draw_text(ctx, "Click to Start", w / 2, 212, CREAM, "centre", outline=TEXT_DARK, ow=3)
    # the version label is written at (44, 247): keep it clear and dark
    rgb(ctx, (0.03, 0.02, 0.06), 0.85)
    rounded_rect(ctx, 38, 242, 96, 20, 5)
    ctx.fill()
    return to_rgba(s)


def build(cat, charm_picture):
    def gem(kind):
        if kind < 0:
            return cat.rgba("tilelist", 8 if kind == -1 else 3)
        return cat.rgba("gemlist", kind)

    menu_pieces(cat)
    cat.put("selectlist", 10, blank_page())
    cat.put("selectlist", 11, options_page())
    cat.put("selectlist", 12, off_mark())
    cat.put("selectlist", 13, player_select_panel())
    cat.put("selectlist", 14, name_entry_panel())
    cat.put("selectlist", 2, inventory_panel())
    cat.put("selectlist", 15, charm_panel(charm_picture))
    for i in HINTS:
        cat.put("helplist", i, hint_panel(i, gem))
    cat.put("helplist", 7, game_over_panel())
    cat.put("helplist", 6, charm_hint_panel())
    cat.put("helplist", 12, voodoo_hint_panel())
    cat.put("helplist", 10, instructions_page())
    cat.put("booklist", 1, book_page(gem))
    cat.put("booklist", 0, book_icon(gem))
    wl = welcome()
    save_picture(os.path.join(cat.root, "welcome.png"), wl, transparent=False)
    cat.pictures[("welcome", 0)] = os.path.join(cat.root, "welcome.png")
