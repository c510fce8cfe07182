#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compose a few 800 x 600 screens from the generated assets the way the game
places them, with the click areas outlined in red, for checking that buttons
sit where the clicks land. Writes /tmp/morvane_preview_*.png.

Run from the repository root:  /usr/bin/python3 tools/artgen/preview.py
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = "assets"
MANIFEST = {}
for line in open(os.path.join(ROOT, "manifest.txt")):
    if line.startswith("#") or not line.strip():
        continue
    f = line.split()
    if f[0] != "DXWaveList":
        MANIFEST[(f[0], int(f[1]))] = (f[2], f[3] == "1", int(f[4], 16))

ADV = {"I": 10, "J": 12, "L": 13, "1": 15, "E": 16, "F": 16, "7": 16, "M": 22, "W": 27}
FONT = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)


def img(lst, idx):
    file, transparent, key = MANIFEST[(lst, idx)]
    a = np.array(Image.open(os.path.join(ROOT, file)).convert("RGB"))
    if transparent:
        k = np.array([key & 255, (key >> 8) & 255, key >> 16])
        a565 = (a[..., 0] >> 3, a[..., 1] >> 2, a[..., 2] >> 3)
        k565 = (k[0] >> 3, k[1] >> 2, k[2] >> 3)
        mask = (a565[0] == k565[0]) & (a565[1] == k565[1]) & (a565[2] == k565[2])
    else:
        mask = np.zeros(a.shape[:2], bool)
    return a, mask


def draw(screen, lst, idx, x, y, size=None, alpha=1.0):
    a, mask = img(lst, idx)
    if size:
        im = Image.fromarray(a).resize(size, Image.NEAREST)
        mk = Image.fromarray(mask.astype(np.uint8) * 255).resize(size, Image.NEAREST)
        a, mask = np.array(im), np.array(mk) > 0
    h, w = a.shape[:2]
    x0, y0 = max(0, x), max(0, y)
    x1, y1 = min(800, x + w), min(600, y + h)
    if x0 >= x1 or y0 >= y1:
        return
    sub = a[y0 - y:y1 - y, x0 - x:x1 - x].astype(np.float32)
    m = ~mask[y0 - y:y1 - y, x0 - x:x1 - x]
    dst = screen[y0:y1, x0:x1]
    dst[m] = (dst[m] * (1 - alpha) + sub[m] * alpha).astype(np.uint8)


def text2(screen, x, y, s):
    spacing = 30
    for ch in s.upper():
        if ch.isalpha():
            idx = ord(ch) - 64
            spacing = ADV.get(ch, 18) - 10
        elif ch.isdigit():
            idx = 36 if ch == "0" else 26 + int(ch)
            spacing = ADV.get(ch, 18) - 10
        elif ch == " ":
            idx, spacing = None, 18
        else:
            idx = None
        if idx:
            draw(screen, "fontlist1", idx, x, y)
        x += spacing + 10


def canvas(screen, x, y, s, colour=(255, 255, 255)):
    im = Image.fromarray(screen)
    ImageDraw.Draw(im).text((x, y), s, fill=colour, font=FONT)
    screen[:] = np.array(im)


def rects(screen, rs):
    im = Image.fromarray(screen)
    d = ImageDraw.Draw(im)
    for r in rs:
        d.rectangle(r, outline=(255, 40, 40))
    screen[:] = np.array(im)


def blank():
    return np.zeros((600, 800, 3), np.uint8)


def save(name, screen):
    Image.fromarray(screen).save(f"/tmp/morvane_preview_{name}.png")


def main():
    if not os.path.isdir(ROOT):
        sys.exit("run from the repository root")
    s = blank()
    draw(s, "selectlist", 4, 50, 0)
    draw(s, "selectlist", 7, 258, 389)
    canvas(s, 340, 540, "[ Current Player is ANNA ]", (0, 255, 0))
    rects(s, [(250, 300, 550, 340), (250, 340, 550, 380), (250, 400, 550, 450),
              (250, 450, 550, 478), (250, 478, 550, 520)])
    save("menu", s)

    s = blank()
    draw(s, "selectlist", 11, 75, 55)
    draw(s, "selectlist", 12, 447, 274)
    draw(s, "selectlist", 12, 446, 361)
    rects(s, [(447, 230, 560, 260), (447, 275, 560, 310), (447, 320, 560, 350),
              (447, 360, 560, 390), (148, 420, 220, 470)])
    save("options", s)

    s = blank()
    draw(s, "selectlist", 4, 50, 0)
    draw(s, "selectlist", 13, 255, 275)
    for k, n in enumerate(["[ Create New Name ]", "ANNA", "BOB", "", "", ""]):
        canvas(s, 330, 350 + 12 * k, n)
    rects(s, [(430, 450, 590, 500), (330, 350, 450, 422)])
    save("select", s)

    s = blank()
    draw(s, "selectlist", 4, 50, 0)
    draw(s, "selectlist", 14, 255, 275)
    canvas(s, 330, 410, "ANNA_")
    rects(s, [(330, 450, 390, 500), (430, 450, 590, 500)])
    save("name", s)

    s = blank()
    draw(s, "levellist", 1, 0, 0)
    rng = np.random.default_rng(3)
    for c in range(1, 15):
        for r in range(1, 15):
            t = int(rng.integers(1, 6)) + (5 if (c + r) % 4 == 0 else 0)
            draw(s, "tilelist", t, 48 + 28 * (c - 1), 48 + 28 * (r - 1))
    draw(s, "tilelist", 0, 48 + 28 * 3, 48 + 28 * 4)
    draw(s, "tilelist", 12, 48 + 28 * 6, 48 + 28 * 2, alpha=0.5)
    for k, (x, y) in enumerate([(480, 300), (520, 460), (300, 480), (120, 500)]):
        draw(s, "spiderlist", k * 3, x - 22, y - 22, size=(44, 44))
        draw(s, "symbollist", 1 + k, x - 22, y - 22, size=(44, 44))
    for k, kind in enumerate([1, 2, 3, 4, 22, 9]):
        draw(s, "gemlist", kind, 430 + 30 * k, 540)
    draw(s, "selectlist", 2, 570, 150)
    for k, kind in enumerate([12, 1, 5, 6, 7, 8, 25, 26]):
        c, r = (k % 4) + 1, (k // 4) * 2 + 4
        draw(s, "gemlist", kind, 570 + 43 + 23 * (c - 1), 150 + 26 + 23 * (r - 1))
    text2(s, 10, 12, "12340")
    text2(s, 372, 12, "487")
    text2(s, 463, 12, "12")
    text2(s, 372, 40, "BONUS X 35")
    draw(s, "helplist", 1, 200, 140)
    rects(s, [(620, 500, 700, 540), (780, 100, 800, 170)])
    save("play", s)

    s = blank()
    draw(s, "levellist", 3, 0, 0)
    draw(s, "helplist", 7, 200, 200)
    draw(s, "helplist", 11, 420, 65)
    rects(s, [(240, 240, 307, 289), (450, 240, 520, 289)])
    save("gameover", s)

    s = blank()
    draw(s, "helplist", 10, 75, 55)
    save("help", s)

    s = blank()
    draw(s, "levellist", 0, 0, 75)
    text2(s, 250, 100, "LEVEL 7 COMPLETE")
    for y, label, v in ((160, "JEWELS FOUND", 12), (190, "JEWELS CONVERTED", 9),
                        (220, "SPIDERS KILLED", 2), (250, "TIME COMPLETED", 0),
                        (310, "BONUS", 1230), (340, "SCORE", 45210)):
        text2(s, 220, y, label)
        text2(s, 520, y, str(v))
    text2(s, 100, 380, "GOAL REACHED WITH 14 SPIDERS")
    canvas(s, 350, 490, "[Click to continue]")
    save("tally", s)

    s = blank()
    draw(s, "animationList", 16, 0, 75)
    a, _ = img("animationList", 18)
    s[107:155, 90:666] = a
    x = 90
    for _ in range(40):
        draw(s, "animationList", 19, x, 110)
        x += 5
    draw(s, "animationList", 18, 90, 107)
    draw(s, "animationList", 20, x - 9, 74)
    canvas(s, x - 1, 81, "40")
    draw(s, "animationList", 17, 440, 440)
    save("map", s)

    s = blank()
    draw(s, "animationList", 5, 0, 75)
    draw(s, "selectlist", 16, 513, 349)
    for k in range(5):
        draw(s, "selectlist", 17, 513 + 9 * k, 329 + 7 * k)
    save("intro2", s)

    s = blank()
    draw(s, "booklist", 1, 0, 75)
    canvas(s, 400, 300, "[Click to Stop Reading Book]")
    save("book", s)

    s = blank()
    draw(s, "levellist", 4, 0, 0)
    draw(s, "puzzlelist", 3, 210, 165)
    for c in range(6):
        for r in range(6):
            draw(s, "puzzlelist", 0, 250 + 25 * c, 200 + 25 * r, alpha=0.4)
    for k, m in enumerate([1, 2, 0, 1]):
        draw(s, "puzzlelist", m, 250 + 25 * k, 225)
    draw(s, "helplist", 12, 350, 50)
    draw(s, "selectlist", 15, 303, 197)
    draw(s, "animationList", 22, 600, 250)
    draw(s, "animationList", 25, 660, 250)
    save("voodoo", s)
    print("wrote /tmp/morvane_preview_*.png")


if __name__ == "__main__":
    main()
