#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Voice check: lets the pocketsphinx recogniser listen to the spoken lines and
prints, per line and in total, the word error rate against the line's text. A
figure to compare voices by, not a pass/fail test.

Run from the repository root:
    /usr/bin/python3 tools/artgen/voicecheck.py            # the shipped files
    /usr/bin/python3 tools/artgen/voicecheck.py DIR        # DIR/DXWaveList/NN.wav
    /usr/bin/python3 tools/artgen/voicecheck.py --plain    # the voice unshaped
Needs pocketsphinx and pocketsphinx-en-us (and festival for --plain).
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import sounds  # noqa: E402
from common import ASSETS  # noqa: E402


def words(text):
    return re.findall(r"[a-z']+", text.lower())


def edit_distance(ref, hyp):
    """Word substitutions, deletions and insertions that turn ref into hyp."""
    row = list(range(len(hyp) + 1))
    for i, r in enumerate(ref, 1):
        prev, row[0] = row[0], i
        for j, h in enumerate(hyp, 1):
            prev, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, prev + (r != h))
    return row[-1]


def recognise(path):
    """What pocketsphinx hears in a WAV file, resampled to its 16 kHz model and set
    in a little silence, which the recogniser needs to find where speech starts."""
    with tempfile.NamedTemporaryFile(suffix=".wav") as f:
        subprocess.run(["sox", "-D", path, "-r", "16000", "-b", "16", "-c", "1", f.name,
                        "pad", "0.5", "0.5"], check=True)
        out = subprocess.run(["pocketsphinx_continuous", "-infile", f.name, "-logfn",
                              os.devnull], check=True, capture_output=True, text=True).stdout
    return " ".join(out.split())


def check(root):
    """Prints one row per line and the total; returns the total rate."""
    errors = total = 0
    print(f"{'sound':>5}  {'WER':>5}  heard / said")
    for i, (text, _) in sounds.VOICES.items():
        heard = recognise(os.path.join(root, "DXWaveList", f"{i:02d}.wav"))
        ref = words(text)
        e = edit_distance(ref, words(heard))
        errors, total = errors + e, total + len(ref)
        print(f"{i:>5}  {100 * e / len(ref):4.0f}%  \"{heard}\" / \"{text}\"")
    print(f"total  {100 * errors / total:4.0f}%  ({errors} errors in {total} words)")
    return errors / total


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("root", nargs="?", default=ASSETS, help="folder holding DXWaveList/")
    ap.add_argument("--plain", action="store_true", help="check the voice without role shaping")
    args = ap.parse_args()
    if args.plain:
        with tempfile.TemporaryDirectory() as tmp:
            sounds.build_voices(tmp, plain=True)
            check(tmp)
    else:
        check(args.root)


if __name__ == "__main__":
    main()
