# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks of the voice check's word counting, which its error rates rest on.
Run from the repository root:
    /usr/bin/python3 -m unittest discover -s tools/artgen -p 'test_*.py'
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from voicecheck import edit_distance, words  # noqa: E402


class WordErrors(unittest.TestCase):
    def test_words_ignore_case_pauses_and_punctuation(self):
        self.assertEqual(words("Good... the tiles, don't!"), ["good", "the", "tiles", "don't"])
        self.assertEqual(words(""), [])

    def test_each_substitution_deletion_and_insertion_counts_once(self):
        ref = words("sleep well mortal")
        self.assertEqual(edit_distance(ref, ref), 0)
        self.assertEqual(edit_distance(ref, words("sleep well more toll")), 2)
        self.assertEqual(edit_distance(ref, words("sleep mortal")), 1)
        self.assertEqual(edit_distance(ref, words("well sleep mortal")), 2)
        self.assertEqual(edit_distance(ref, []), 3)
        self.assertEqual(edit_distance([], words("the it")), 2)


if __name__ == "__main__":
    unittest.main()
