# SPDX-License-Identifier: GPL-3.0-or-later
"""The catalogue's shape: every list, its item count, sizes, transparency and
key colour. The generator refuses to write a picture that does not fit it."""

import os

import numpy as np

from common import ASSETS, save_picture

BLACK = 0x000000
WHITE = 0xFFFFFF

# Menu highlight pieces: screen position and the size we give them.
MENU_HIGHLIGHTS = {
    5: ((363, 305), (74, 32)),
    6: ((304, 347), (192, 30)),
    7: ((258, 389), (284, 52)),
    8: ((305, 432), (190, 46)),
    9: ((357, 478), (86, 40)),
}

# Advance of each bitmap-font glyph; the picture is a little wider than the
# advance minus the 10-pixel gap, within 15..28 pixels.
FONT_ADVANCE = {}
for ch in "ABCDGHKNOPQRSTUVXYZ234568 90".replace(" ", ""):
    FONT_ADVANCE[ch] = 18
FONT_ADVANCE.update({"I": 10, "J": 12, "L": 13, "1": 15, "E": 16, "F": 16, "7": 16,
                     "M": 22, "W": 27})
FONT_CHARS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890"


def glyph_width(ch):
    return min(28, max(15, FONT_ADVANCE[ch] + 1))


def _items():
    """(list, index) -> (size or None, transparent, key)."""
    s = {}

    def items(lst, idxs, size, transparent=True, key=BLACK):
        for i in idxs:
            s[(lst, i)] = (size, transparent, key)

    items("spiderlist", range(0, 11), (100, 100))
    items("spiderlist", [11], None)
    items("spiderlist", [12], (50, 50))

    items("symbollist", [0], (50, 50))
    items("symbollist", range(1, 9), (100, 100))

    items("selectlist", [0], (40, 40))
    items("selectlist", [1], (40, 40))
    items("selectlist", [2], (245, 396))
    items("selectlist", [3], (64, 64))
    items("selectlist", [4], (700, 600), False)
    for i, (_, size) in MENU_HIGHLIGHTS.items():
        items("selectlist", [i], size, False)
    items("selectlist", [10], (640, 480))
    items("selectlist", [11], (640, 480), False)
    items("selectlist", [12], (75, 34), False)
    items("selectlist", [13, 14], (320, 240), False)
    items("selectlist", [15], (265, 265))
    items("selectlist", [16], (43, 19), False)
    items("selectlist", [17], (1, 1), False)

    items("gemlist", list(range(0, 9)) + list(range(17, 21)) + list(range(25, 41)), (20, 20))
    items("gemlist", [9, 10, 21, 22, 23, 24], (45, 45))
    items("gemlist", [11], None)
    items("gemlist", [12], (48, 48))
    items("gemlist", range(13, 17), (21, 20))
    for i in [13] + list(range(26, 41)):
        size = s[("gemlist", i)][0]
        s[("gemlist", i)] = (size, False, BLACK)

    items("explist", [0], None)
    items("explist", range(1, 20), (20, 20))

    items("booklist", [0], (56, 56))
    items("booklist", [1], (800, 450))

    items("fontlist1", [0], None)
    for i, ch in enumerate(FONT_CHARS, start=1):
        items("fontlist1", [i], (glyph_width(ch), 28))

    items("levellist", [0], (800, 450))
    items("levellist", range(1, 6), (800, 600))

    items("tilelist", range(0, 15), (25, 25))
    items("tilelist", [11, 14], None)

    items("helplist", [0], None)
    items("helplist", [1, 2, 3, 4, 5, 7, 8, 9, 11], (344, 131))
    items("helplist", [6], (325, 163))
    items("helplist", [12], (344, 183))
    items("helplist", [10], (640, 480), False)

    items("animationList", [0], None)
    items("animationList", range(1, 15), (800, 450))
    items("animationList", [15], (800, 600), True, WHITE)
    items("animationList", [16], (800, 450), False)
    items("animationList", [17], (50, 50))
    items("animationList", [18], (576, 48))
    items("animationList", [19], (10, 40))
    items("animationList", [20], (28, 50))
    items("animationList", range(21, 27), (50, 300))

    items("puzzlelist", range(0, 3), (25, 25))
    items("puzzlelist", [3], (225, 221))
    items("puzzlelist", [4], (100, 100))

    items("roundtilelist", [0, 5, 10, 12, 13], (25, 25))
    items("roundtilelist", [1, 2, 3, 4, 6, 7, 8, 9], (38, 25))
    items("roundtilelist", [11, 14], None)
    return s


ITEMS = _items()
LISTS = ["spiderlist", "symbollist", "selectlist", "gemlist", "explist", "booklist",
         "fontlist1", "levellist", "tilelist", "helplist", "animationList", "puzzlelist",
         "roundtilelist"]
COUNTS = {"spiderlist": 13, "symbollist": 9, "selectlist": 18, "gemlist": 41, "explist": 20,
          "booklist": 2, "fontlist1": 37, "levellist": 6, "tilelist": 15, "helplist": 13,
          "animationList": 27, "puzzlelist": 5, "roundtilelist": 15}

# Sound formats by index: (rate, bits).
SOUND_FORMATS = {i: (22050, 16) for i in range(23)}
SOUND_FORMATS.update({10: (11025, 8), 11: (11025, 8), 19: (16000, 16), 20: (16000, 16),
                      21: (16000, 16), 22: (12000, 16)})

for _l in LISTS:
    assert sum(1 for (l, _) in ITEMS if l == _l) == COUNTS[_l], _l


class Catalogue:
    """Collects generated pictures, writes them and the manifest."""

    def __init__(self, root=ASSETS):
        self.root = root
        self.pictures = {}  # (list, index) -> RGBA/RGB array as saved (for the sheet)

    def path(self, lst, idx):
        return f"{lst}/{idx:02d}.png"

    def put(self, lst, idx, pic, palette=True, dither=True, alpha_cut=0.4):
        size, transparent, key = ITEMS[(lst, idx)]
        if size is None:
            raise ValueError(f"{lst} {idx} has no picture")
        import cairo
        from common import to_rgba
        if isinstance(pic, cairo.ImageSurface):
            pic = to_rgba(pic)
        h, w = pic.shape[:2]
        if (w, h) != size:
            raise ValueError(f"{lst} {idx}: {w}x{h}, want {size[0]}x{size[1]}")
        full = os.path.join(self.root, self.path(lst, idx))
        save_picture(full, pic, transparent, key, palette, alpha_cut, dither)
        self.pictures[(lst, idx)] = full

    def check_complete(self):
        missing = [k for k, v in ITEMS.items() if v[0] is not None and k not in self.pictures]
        if missing:
            raise SystemExit(f"missing pictures: {sorted(missing)}")

    def write_manifest(self):
        lines = ["# Morvane asset catalogue, generated by tools/artgen/generate.py.",
                 "# image lines: <list> <index> <file|-> <transparent 0|1> <key 0xBBGGRR>",
                 "# sound lines: DXWaveList <index> <file>"]
        for lst in LISTS:
            lines.append(f"# {lst}")
            for i in range(COUNTS[lst]):
                size, transparent, key = ITEMS[(lst, i)]
                f = self.path(lst, i) if size is not None else "-"
                lines.append(f"{lst} {i} {f} {1 if transparent else 0} 0x{key:06X}")
        lines.append("welcome 0 welcome.png 0 0x000000")
        lines.append("# DXWaveList")
        for i in range(23):
            lines.append(f"DXWaveList {i} DXWaveList/{i:02d}.wav")
        with open(os.path.join(self.root, "manifest.txt"), "w") as fh:
            fh.write("\n".join(lines) + "\n")
