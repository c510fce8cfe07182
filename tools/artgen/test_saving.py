# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks of the picture saving rules that the engine's 16-bit colour key
depends on. Run from the repository root:
    /usr/bin/python3 -m unittest discover -s tools/artgen -p 'test_*.py'
"""

import os
import sys
import tempfile
import unittest

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from common import save_picture, to565  # noqa: E402


def rgba(pixels):
    return np.array(pixels, np.uint8)


class SavePicture(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def save_and_load(self, pic, **kw):
        path = os.path.join(self.dir.name, "p.png")
        save_picture(path, pic, **kw)
        img = Image.open(path)
        return img, np.array(img.convert("RGB"))

    def test_keyed_palette_keeps_exact_key_and_lifts_near_black(self):
        # transparent, near-black visible (vanishes in 16 bits), faint edge, bright
        pic = rgba([[[0, 0, 0, 0], [4, 2, 4, 255], [200, 50, 50, 60], [240, 200, 20, 255]]])
        img, rgb = self.save_and_load(pic)
        self.assertEqual(img.mode, "P")
        self.assertEqual(tuple(rgb[0, 0]), (0, 0, 0))
        self.assertEqual(tuple(rgb[0, 2]), (0, 0, 0), "faint edge pixels become key")
        self.assertNotEqual(int(to565(rgb[0, 1])), 0, "dark visible pixel must survive")
        self.assertNotEqual(int(to565(rgb[0, 3])), 0)
        self.assertEqual(img.getpalette()[:3], [0, 0, 0], "entry 0 is the key")

    def test_white_key_keeps_visible_near_white_off_the_key(self):
        pic = rgba([[[255, 255, 255, 0], [252, 254, 250, 255], [10, 10, 10, 255]]])
        _, rgb = self.save_and_load(pic, key=0xFFFFFF)
        self.assertEqual(tuple(rgb[0, 0]), (255, 255, 255))
        self.assertNotEqual(int(to565(rgb[0, 1])), 0xFFFF)
        self.assertEqual(tuple(rgb[0, 2]), (10, 10, 10))

    def test_opaque_pictures_keep_black_and_true_colour_stays_true_colour(self):
        pic = rgba([[[0, 0, 0, 255], [30, 60, 90, 255]]])
        img, rgb = self.save_and_load(pic, transparent=False)
        self.assertEqual(tuple(rgb[0, 0]), (0, 0, 0), "black is a colour when opaque")
        img, rgb = self.save_and_load(rgba([[[0, 0, 0, 0], [30, 60, 90, 255]]]), palette=False)
        self.assertEqual(img.mode, "RGB")
        self.assertEqual(tuple(rgb[0, 1]), (30, 60, 90))

    def test_many_colours_quantise_without_touching_the_key(self):
        rng = np.random.default_rng(1)
        pic = rng.integers(0, 256, (64, 64, 4), dtype=np.uint8)
        pic[:, :, 3] = np.where(rng.random((64, 64)) < 0.3, 0, 255)
        _, rgb = self.save_and_load(pic)
        hidden = pic[:, :, 3] == 0
        self.assertTrue(np.all(rgb[hidden] == 0))
        self.assertFalse(np.any(to565(rgb[~hidden]) == 0))


if __name__ == "__main__":
    unittest.main()
