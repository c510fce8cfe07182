# SPDX-License-Identifier: GPL-3.0-or-later
"""The sound list: voices spoken by festival with its HTS voice and shaped
with sox, effects synthesised with numpy. Every file is mono PCM in its list's
format."""

import os
import subprocess
import tempfile
import wave
from collections import namedtuple

import numpy as np

from catalogue import SOUND_FORMATS

# A role's character: pace (the HTS engine's speech rate, 1 = as recorded),
# the sox effects that set its pitch and room, and the loudness of its peak.
# The shaping stays light so every word stays clear; voicecheck.py measures it.
Role = namedtuple("Role", "pace effects peak")
# The narrator is played slower, which lowers pitch and formants together like a
# larger speaker; its quicker pace leaves it a little slower than recorded.
NARRATOR = Role(1.10, ["speed", "0.8", "bass", "+3", "reverb", "25", "50", "60", "100", "20", "-8"],
                0.80)
PRAISE = Role(1.05, ["pitch", "+60", "treble", "+3", "reverb", "15", "50", "30", "100", "0", "-8"],
              0.72)
GUIDE = Role(0.88, ["pitch", "-150", "treble", "+2", "reverb", "20", "50", "40", "100", "0", "-8"],
             0.70)
PLAIN = Role(1.0, [], 0.75)

FESTIVAL_VOICE = "voice_cmu_us_slt_arctic_hts"

VOICES = {
    1: ("Another mortal... come to play with my spiders.", NARRATOR),
    2: ("Very impressive!", PRAISE),
    3: ("Your inventory is full.", GUIDE),
    13: ("Excellent work!", PRAISE),
    14: ("Wonderful! The spiders love you.", PRAISE),
    15: ("The spiders have found a gift for you... the Spider Charm.", NARRATOR),
    17: ("Deeper into the night we go... the spiders are waiting.", NARRATOR),
    18: ("Good... the tiles are turning green.", GUIDE),
    19: ("A jewel! Click it to pick it up.", GUIDE),
    20: ("The voodoo box... fill it with skulls.", NARRATOR),
    21: ("Sleep well, mortal.", NARRATOR),
}


def write_wav(path, samples, rate, bits):
    samples = np.clip(samples, -1.0, 1.0)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setframerate(rate)
        if bits == 16:
            w.setsampwidth(2)
            w.writeframes((samples * 32767).round().astype("<i2").tobytes())
        else:
            w.setsampwidth(1)
            w.writeframes((samples * 127 + 128).round().astype(np.uint8).tobytes())


def read_wav(path):
    with wave.open(path, "rb") as w:
        n = w.getnframes()
        raw = w.readframes(n)
        if w.getsampwidth() == 2:
            return np.frombuffer(raw, "<i2").astype(np.float32) / 32768.0, w.getframerate()
        return (np.frombuffer(raw, np.uint8).astype(np.float32) - 128) / 128.0, w.getframerate()


def speak(text, pace, path):
    """festival reads the text with the HTS voice at the given pace into a WAV."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt") as f:
        f.write(text)
        f.flush()
        subprocess.run(["text2wave", "-eval", f"({FESTIVAL_VOICE})", "-eval",
                        f'(set! hts_engine_params (cons (list "-r" {pace}) hts_engine_params))',
                        "-o", path, f.name], check=True, stdout=subprocess.DEVNULL)


def voice(path, text, role, rate, bits):
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.wav")
        speak(text, role.pace, raw)
        shaped = os.path.join(tmp, "shaped.wav")
        subprocess.run(["sox", "-D", raw, "-r", str(rate), "-b", "16", "-c", "1", shaped]
                       + ["gain", "-8"] + role.effects + ["rate", str(rate)], check=True)
        x, _ = read_wav(shaped)
    x = x - np.mean(x)
    # gentle fades and a normalised peak, so no voice clips or jumps out
    fade = min(len(x) // 4, int(0.01 * rate))
    x[:fade] *= np.linspace(0, 1, fade)
    x[-fade:] *= np.linspace(1, 0, fade)
    x = x / max(1e-6, np.max(np.abs(x))) * role.peak
    write_wav(path, x, rate, bits)


def build_voices(root, plain=False):
    """Writes the spoken lines into root/DXWaveList; plain leaves them unshaped."""
    for i, (text, role) in VOICES.items():
        rate, bits = SOUND_FORMATS[i]
        voice(os.path.join(root, "DXWaveList", f"{i:02d}.wav"), text, PLAIN if plain else role,
              rate, bits)


# ------------------------------------------------------------------ effects


def env(n, attack, rate, decay):
    t = np.arange(n) / rate
    a = np.clip(t / max(attack, 1e-4), 0, 1)
    return a * np.exp(-t / decay)


def lowpass(x, alpha):
    y = np.empty_like(x)
    acc = 0.0
    for i, v in enumerate(x):
        acc += alpha * (v - acc)
        y[i] = acc
    return y


def lp(x, cutoff, rate):
    """One-pole low-pass, vectorised by chunks through scipy-free recursion."""
    import math
    a = 1 - math.exp(-2 * math.pi * cutoff / rate)
    return lowpass(x.astype(np.float64), a).astype(np.float32)


def norm(x, peak):
    return (x / max(1e-6, np.max(np.abs(x))) * peak).astype(np.float32)


def creek(rate, rng):
    """Night ambience: crickets, a soft wind and an old board creaking; loops."""
    seconds = 6.0
    n = int(seconds * rate)
    xf = int(0.5 * rate)
    total = n + xf
    t = np.arange(total) / rate
    wind = lp(rng.standard_normal(total), 400, rate)
    wind *= 0.5 + 0.5 * np.sin(2 * np.pi * t / 3.0 + 1.0) ** 2
    out = 0.6 * norm(wind, 1.0)
    # crickets: bursts of a 4.3 kHz tone
    for start in np.arange(0.1, seconds + 0.4, 0.9):
        for k in range(3):
            s0 = int((start + k * 0.06 + rng.uniform(0, 0.01)) * rate)
            m = int(0.035 * rate)
            if s0 + m >= total:
                continue
            tt = np.arange(m) / rate
            chirp = np.sin(2 * np.pi * 4300 * tt) * np.sin(np.pi * tt / tt[-1]) ** 2
            out[s0:s0 + m] += 0.16 * chirp
    # a second, farther cricket
    for start in np.arange(0.5, seconds + 0.4, 1.3):
        s0 = int(start * rate)
        m = int(0.05 * rate)
        if s0 + m < total:
            tt = np.arange(m) / rate
            out[s0:s0 + m] += 0.07 * np.sin(2 * np.pi * 3700 * tt) * np.sin(np.pi * tt / tt[-1])
    # a creak: a slow, rough saw sweep
    for start, dur in ((2.2, 0.9), (4.6, 0.6)):
        s0, m = int(start * rate), int(dur * rate)
        tt = np.arange(m) / rate
        f = 70 + 50 * np.sin(np.pi * tt / dur)
        ph = np.cumsum(f) / rate
        saw = 2 * (ph % 1.0) - 1
        creak_ = saw * (0.6 + 0.4 * np.sign(np.sin(2 * np.pi * 23 * tt))) * np.sin(np.pi * tt / dur)
        out[s0:s0 + m] += 0.25 * lp(creak_, 900, rate)
    # crossfade the tail into the head so the loop point is seamless
    head = out[:xf].copy()
    tail = out[n:n + xf]
    ramp = np.linspace(0, 1, xf)
    out = out[:n]
    out[:xf] = head * ramp + tail * (1 - ramp)
    return norm(out, 0.38)


def rustle(rate, rng):
    n = int(0.45 * rate)
    x = rng.standard_normal(n)
    x = x - lp(x, 1500, rate)
    e = np.zeros(n)
    for s0 in (0.0, 0.09, 0.17, 0.26):
        i = int(s0 * rate)
        e[i:] += env(n - i, 0.01, rate, 0.06)
    return norm(x * e, 0.45)


def squish(rate, rng):
    n = int(0.35 * rate)
    t = np.arange(n) / rate
    f = 300 * np.exp(-t * 7) + 60
    tone = np.sin(2 * np.pi * np.cumsum(f) / rate)
    wet = lp(rng.standard_normal(n), 1200, rate)
    x = (0.6 * tone + 0.8 * norm(wet, 1)) * env(n, 0.005, rate, 0.09)
    return norm(x, 0.6)


def clink(rate, rng):
    n = int(0.5 * rate)
    t = np.arange(n) / rate
    x = np.zeros(n)
    for f, a, d in ((2350, 1.0, 0.12), (3710, 0.6, 0.08), (5260, 0.35, 0.05), (1180, 0.3, 0.15)):
        x += a * np.sin(2 * np.pi * f * t) * np.exp(-t / d)
    x *= np.clip(t / 0.002, 0, 1)
    return norm(x, 0.5)


def click(rate, rng, f=1800, dur=0.05):
    n = int(dur * rate)
    t = np.arange(n) / rate
    x = np.sin(2 * np.pi * f * t) * np.exp(-t / (dur / 5))
    x += 0.3 * rng.standard_normal(n) * np.exp(-t / 0.003)
    return norm(x, 0.5)


def scare(rate, rng):
    n = int(1.6 * rate)
    t = np.arange(n) / rate
    x = np.zeros(n)
    for f in (110, 116.5, 155.6, 233, 246.9):
        ph = 2 * np.pi * f * t * (1 + 0.003 * np.sin(2 * np.pi * 5 * t))
        x += np.sign(np.sin(ph)) * 0.3 + np.sin(ph)
    x = lp(x, 2500, rate)
    growl = lp(rng.standard_normal(n), 300, rate) * (1 + np.sin(2 * np.pi * 31 * t))
    x = norm(x, 1) + 0.8 * norm(growl, 1)
    x *= env(n, 0.01, rate, 0.5)
    return norm(x, 0.7)


def whoosh(rate, rng):
    n = int(0.45 * rate)
    t = np.arange(n) / rate
    x = rng.standard_normal(n)
    sweep = 300 + 2500 * np.sin(np.pi * t / t[-1])
    y = np.empty(n)
    acc = 0.0
    for i in range(n):
        a = 1 - np.exp(-2 * np.pi * sweep[i] / rate)
        acc += a * (x[i] - acc)
        y[i] = acc
    y *= np.sin(np.pi * t / t[-1]) ** 2
    return norm(y, 0.45)


def pop(rate, rng):
    n = int(0.28 * rate)
    t = np.arange(n) / rate
    f = 900 * np.exp(-t * 14) + 120
    x = np.sin(2 * np.pi * np.cumsum(f) / rate) * env(n, 0.002, rate, 0.06)
    x += 0.5 * lp(rng.standard_normal(n), 2500, rate) * env(n, 0.001, rate, 0.03)
    return norm(x, 0.55)


def buzz(rate, rng):
    n = int(0.4 * rate)
    t = np.arange(n) / rate
    x = np.sign(np.sin(2 * np.pi * 140 * t)) * 0.5 + np.sign(np.sin(2 * np.pi * 147 * t)) * 0.5
    x = lp(x, 1800, rate)
    e = np.clip(t / 0.01, 0, 1) * np.clip((t[-1] - t) / 0.03, 0, 1)
    e *= (np.sin(2 * np.pi * 12 * t) > -0.6)
    return norm(x * e, 0.28)


def wail(rate, rng):
    n = int(2.2 * rate)
    t = np.arange(n) / rate
    f = 420 + 160 * np.sin(np.pi * t / t[-1]) + 18 * np.sin(2 * np.pi * 5.5 * t)
    ph = 2 * np.pi * np.cumsum(f) / rate
    x = np.sin(ph) + 0.4 * np.sin(2 * ph) + 0.2 * np.sin(3.01 * ph)
    x += 0.25 * lp(rng.standard_normal(n), 3000, rate)
    x *= np.sin(np.pi * t / t[-1]) ** 1.5
    # a hollow echo
    d = int(0.23 * rate)
    x[d:] += 0.4 * x[:-d]
    return norm(x, 0.4)


def thunder(rate, rng):
    n = int(1.8 * rate)
    t = np.arange(n) / rate
    crack = rng.standard_normal(n) * np.exp(-t / 0.05)
    rumble = lp(rng.standard_normal(n), 180, rate) * env(n, 0.04, rate, 0.6)
    rumble *= 1 + 0.5 * np.sin(2 * np.pi * 3 * t)
    x = 0.7 * norm(crack, 1) + norm(rumble, 1)
    return norm(x, 0.7)


EFFECTS = {0: creek, 4: rustle, 5: squish, 6: clink, 7: lambda r, g: click(r, g, 1500, 0.06),
           8: scare, 9: whoosh, 10: pop, 11: lambda r, g: click(r, g, 2200, 0.04), 12: buzz,
           16: wail, 22: thunder}


def build(root):
    build_voices(root)
    for i, make in EFFECTS.items():
        rate, bits = SOUND_FORMATS[i]
        rng = np.random.default_rng(1000 + i)
        write_wav(os.path.join(root, "DXWaveList", f"{i:02d}.wav"), make(rate, rng), rate, bits)
