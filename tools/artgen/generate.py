#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate every picture and sound of the game into assets/, with the
manifest, and write a labelled contact sheet for review.

Run from the repository root:  /usr/bin/python3 tools/artgen/generate.py
Options: --sheet PATH (default /tmp/morvane_contact_sheet.png),
         --no-sounds, --only LIST[,LIST...] (pictures of those lists only).
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import numpy as np  # noqa: E402
from PIL import Image, ImageDraw, ImageFont  # noqa: E402

import catalogue  # noqa: E402
from catalogue import COUNTS, LISTS, ITEMS, Catalogue  # noqa: E402
from common import key_rgb  # noqa: E402


class Memory(Catalogue):
    """Keeps each generated picture in memory so later families can reuse it."""

    def __init__(self, root):
        super().__init__(root)
        self.arrays = {}

    def put(self, lst, idx, pic, **kw):
        import cairo
        from common import to_rgba
        if isinstance(pic, cairo.ImageSurface):
            pic = to_rgba(pic)
        if pic.shape[2] == 3:
            pic = np.concatenate([pic, np.full(pic.shape[:2] + (1,), 255, np.uint8)], axis=2)
        self.arrays[(lst, idx)] = pic
        super().put(lst, idx, pic, **kw)

    def rgba(self, lst, idx):
        return self.arrays[(lst, idx)]


def contact_sheet(root, path, scale_big=0.25):
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 11)
    cell_w, cell_h = 210, 170
    cols = 9
    entries = [(l, i) for l in LISTS for i in range(COUNTS[l])] + [("welcome", 0)]
    rows = (len(entries) + cols - 1) // cols
    sheet = Image.new("RGB", (cols * cell_w, rows * cell_h), (40, 40, 46))
    d = ImageDraw.Draw(sheet)
    checker = np.indices((600, 800)).sum(axis=0) // 6 % 2
    for n, (lst, i) in enumerate(entries):
        x0, y0 = (n % cols) * cell_w, (n // cols) * cell_h
        d.text((x0 + 4, y0 + 2), f"{lst} {i}", fill=(230, 230, 120), font=font)
        if lst == "welcome":
            file, transparent, key = "welcome.png", False, 0
        else:
            size, transparent, key = ITEMS[(lst, i)]
            if size is None:
                d.text((x0 + 60, y0 + 70), "(no picture)", fill=(150, 150, 150), font=font)
                continue
            file = f"{lst}/{i:02d}.png"
        img = Image.open(os.path.join(root, file)).convert("RGB")
        w, h = img.size
        scale = min((cell_w - 10) / w, (cell_h - 22) / h, 4.0)
        if scale >= 1:
            scale = int(scale)
        tw, th = max(1, int(w * scale)), max(1, int(h * scale))
        arr = np.array(img)
        if transparent:
            k = np.array(key_rgb(key), np.uint8)
            mask = np.all(arr == k, axis=2)
            chk = np.where(checker[:h, :w, None] == 1, [255, 0, 200], [90, 0, 80]).astype(np.uint8)
            arr = np.where(mask[:, :, None], chk, arr)
        thumb = Image.fromarray(arr.astype(np.uint8)).resize(
            (tw, th), Image.NEAREST if scale >= 1 else Image.LANCZOS)
        sheet.paste(thumb, (x0 + 5, y0 + 18))
    sheet.save(path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--sheet", default="/tmp/morvane_contact_sheet.png")
    ap.add_argument("--no-sounds", action="store_true")
    args = ap.parse_args()
    if not os.path.isdir("tools/artgen"):
        sys.exit("run from the repository root")
    t0 = time.time()
    cat = Memory(catalogue.ASSETS)
    import font
    import gems
    import icon
    import panels
    import scenes
    import sounds
    import spiders
    import tiles

    charm = spiders.build(cat)
    tiles.build(cat)
    gems.build(cat, charm)
    font.build(cat)
    scenes.build(cat)
    panels.build(cat, charm)
    cat.check_complete()
    cat.write_manifest()
    icon.build()
    t1 = time.time()
    if not args.no_sounds:
        sounds.build(cat.root)
    t2 = time.time()
    contact_sheet(cat.root, args.sheet)
    print(f"pictures {t1 - t0:.1f} s, sounds {t2 - t1:.1f} s, sheet {time.time() - t2:.1f} s")
    print(f"contact sheet: {args.sheet}")


if __name__ == "__main__":
    main()
