#!/usr/bin/env python3
"""Synthesises the program's six built-in sound clips.

Writes RIFF PCM waves at 22050 Hz, one channel, into resources/sounds/:
  sound_4408.wav  8-bit   a rocket's flight: a soft rising whoosh, long enough
                          for the longest flight (it is cut at the burst)
  sound_4409.wav  16-bit  a firework's burst: a low boom with a sparkle tail
  sound_4410.wav  8-bit   a short soft blip (spare)
  sound_4411.wav  8-bit   a short soft blip (spare)
  sound_4412.wav  8-bit   the camera's shutter click
  sound_4413.wav  8-bit   a short happy fanfare for a completed run

Everything is made from the parameters below with a fixed random seed, so a
run gives the same bytes every time. Levels are kept well below full scale:
the burst is mixed up to three times over itself (at full, half and quarter
level) and over other bursts, and must not clip badly; nothing is sharp or
loud, since the listeners are children.

Usage: python3 tools/make_sounds.py [output directory]
"""

import math
import os
import struct
import sys

RATE = 22050

# ---- Parameters -------------------------------------------------------------

ROCKET = dict(
    seconds=4.0,        # longer than any flight (most last 0.8 to 2 s)
    attack=0.12,        # fade-in of the whoosh
    peak=0.40,          # of full scale
    noise_low=500.0,    # band of the air noise, Hz
    noise_high=1800.0,
    whistle_from=700.0,  # a faint rising whistle under the noise, Hz
    whistle_to=1300.0,
    whistle_level=0.18,  # relative to the noise
    decay=1.6,          # seconds for the level to fall by e (slow)
)

BURST = dict(
    seconds=1.7,
    peak=0.42,          # three overlaid bursts (1 + 1/2 + 1/4) stay below 0.75
    boom_from=70.0,     # the thump glides down, Hz
    boom_to=38.0,
    boom_decay=0.16,
    rumble_cutoff=900.0,  # low-passed noise body
    rumble_decay=0.30,
    crackles=26,        # soft sparkles in the tail
    crackle_start=0.12,
    crackle_end=1.3,
    crackle_level=0.6,
    crackle_cutoff=5000.0,
)

BLIPS = [
    dict(freq=660.0, seconds=0.14, peak=0.30),
    dict(freq=880.0, seconds=0.14, peak=0.30),
]

CLICK = dict(
    seconds=0.16,
    peak=0.40,
    clicks=[(0.0, 1.0), (0.065, 0.7)],  # shutter opens, then closes: (time, level)
    click_decay=0.008,
    cutoff=3500.0,
    body_freq=1900.0,   # a little tone that makes it sound mechanical
)

FANFARE = dict(
    peak=0.42,
    # (start s, length s, frequencies Hz): a rising C major arpeggio, then the chord
    notes=[
        (0.00, 0.16, [523.25]),
        (0.15, 0.16, [659.25]),
        (0.30, 0.16, [783.99]),
        (0.45, 0.95, [523.25, 659.25, 783.99, 1046.50]),
    ],
    harmonics=[1.0, 0.35, 0.12],  # a soft, round timbre
    attack=0.015,
    release=0.25,
    vibrato_hz=5.0,
    vibrato_depth=0.003,
)

SEED = 20261206


# ---- Small tools ------------------------------------------------------------

class Noise:
    """A fixed linear congruential generator of values in [-1, 1)."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state / 2147483648.0 - 1.0


def one_pole(cutoff):
    """Coefficient of a one-pole low-pass filter."""
    return 1.0 - math.exp(-2.0 * math.pi * cutoff / RATE)


def normalise(samples, peak):
    top = max(abs(s) for s in samples) or 1.0
    return [s * peak / top for s in samples]


def fade_ends(samples, fade_in=0.003, fade_out=0.01):
    """Short ramps so that no clip starts or ends with a click."""
    n = len(samples)
    a = int(fade_in * RATE)
    b = int(fade_out * RATE)
    for i in range(min(a, n)):
        samples[i] *= i / a
    for i in range(min(b, n)):
        samples[n - 1 - i] *= i / b
    return samples


def write_wave(path, samples, bits):
    if bits == 8:
        data = bytes(max(0, min(255, int(round(128 + s * 127)))) for s in samples)
    else:
        data = b"".join(struct.pack("<h", max(-32768, min(32767, int(round(s * 32767))))) for s in samples)
    block = bits // 8
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    if len(data) % 2:
        body += b"\0"
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


# ---- The sounds -------------------------------------------------------------

def rocket(p, noise):
    n = int(p["seconds"] * RATE)
    lo = one_pole(p["noise_high"])
    hi = one_pole(p["noise_low"])
    a1 = a2 = a3 = b1 = b2 = 0.0
    phase = 0.0
    out = []
    for i in range(n):
        t = i / RATE
        x = noise.next()
        # three poles below the upper edge keep the hiss away
        a1 += lo * (x - a1)
        a2 += lo * (a1 - a2)
        a3 += lo * (a2 - a3)
        # minus what lies below the lower edge (two poles)
        b1 += hi * (a3 - b1)
        b2 += hi * (b1 - b2)
        band = a3 - b2
        rise = min(1.0, t / 1.5)
        freq = p["whistle_from"] + (p["whistle_to"] - p["whistle_from"]) * rise
        phase += 2 * math.pi * freq / RATE
        whistle = math.sin(phase) * p["whistle_level"]
        level = min(1.0, t / p["attack"]) * math.exp(-t / p["decay"] * 0.5)
        # a gentle flutter, as a rocket's flame does
        flutter = 1.0 + 0.15 * math.sin(2 * math.pi * 7.0 * t)
        out.append((band * 3.0 + whistle) * level * flutter)
    return fade_ends(normalise(out, p["peak"]), 0.02, 0.05)


def burst(p, noise):
    n = int(p["seconds"] * RATE)
    rumble = [0.0] * n
    c = one_pole(p["rumble_cutoff"])
    y = y2 = 0.0
    phase = 0.0
    for i in range(n):
        t = i / RATE
        y += c * (noise.next() - y)
        y2 += c * (y - y2)
        glide = p["boom_to"] + (p["boom_from"] - p["boom_to"]) * math.exp(-t / 0.25)
        phase += 2 * math.pi * glide / RATE
        boom = math.sin(phase) * math.exp(-t / p["boom_decay"])
        body = y2 * 4.0 * math.exp(-t / p["rumble_decay"])
        attack = min(1.0, t / 0.004)
        rumble[i] = (boom * 0.9 + body) * attack
    # Sparkles: short, softened noise pops scattered over the tail, fading.
    cc = one_pole(p["crackle_cutoff"])
    for k in range(p["crackles"]):
        start = p["crackle_start"] + (p["crackle_end"] - p["crackle_start"]) * ((noise.next() + 1) / 2)
        level = p["crackle_level"] * (0.4 + 0.6 * (noise.next() + 1) / 2) * math.exp(-(start - p["crackle_start"]) / 0.8)
        s = int(start * RATE)
        length = int(0.018 * RATE)
        z = 0.0
        for j in range(length):
            if s + j >= n:
                break
            z += cc * (noise.next() - z)
            rumble[s + j] += z * level * math.exp(-j / (0.004 * RATE)) * 3.0
    return fade_ends(normalise(rumble, p["peak"]), 0.001, 0.08)


def blip(p):
    n = int(p["seconds"] * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / 0.01) * math.exp(-t / (p["seconds"] / 3))
        out.append(math.sin(2 * math.pi * p["freq"] * t) * env)
    return fade_ends(normalise(out, p["peak"]))


def click(p, noise):
    n = int(p["seconds"] * RATE)
    out = [0.0] * n
    c = one_pole(p["cutoff"])
    for start, level in p["clicks"]:
        s = int(start * RATE)
        z = 0.0
        for j in range(n - s):
            t = j / RATE
            z += c * (noise.next() - z)
            env = math.exp(-t / p["click_decay"])
            tone = math.sin(2 * math.pi * p["body_freq"] * t) * 0.5
            out[s + j] += (z * 2.0 + tone) * env * level
    return fade_ends(normalise(out, p["peak"]), 0.0005, 0.01)


def fanfare(p):
    end = max(start + length for start, length, _ in p["notes"]) + p["release"]
    n = int(end * RATE)
    out = [0.0] * n
    for start, length, freqs in p["notes"]:
        s = int(start * RATE)
        total = int((length + p["release"]) * RATE)
        for j in range(min(total, n - s)):
            t = j / RATE
            if t < p["attack"]:
                env = t / p["attack"]
            elif t < length:
                env = 1.0 - 0.25 * (t - p["attack"]) / length
            else:
                env = 0.75 * math.exp(-(t - length) / (p["release"] / 4))
            # frequency f x (1 + depth sin(2 pi rate t)), integrated into time
            w = 2 * math.pi * p["vibrato_hz"]
            warped = t + p["vibrato_depth"] * (1.0 - math.cos(w * t)) / w
            v = 0.0
            for f in freqs:
                for h, amp in enumerate(p["harmonics"], start=1):
                    v += amp * math.sin(2 * math.pi * f * h * warped)
            out[s + j] += v * env / len(freqs)
    return fade_ends(normalise(out, p["peak"]))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "sounds")
    os.makedirs(target, exist_ok=True)
    noise = Noise(SEED)
    clips = [
        (4408, rocket(ROCKET, noise), 8),
        (4409, burst(BURST, noise), 16),
        (4410, blip(BLIPS[0]), 8),
        (4411, blip(BLIPS[1]), 8),
        (4412, click(CLICK, noise), 8),
        (4413, fanfare(FANFARE), 8),
    ]
    for ident, samples, bits in clips:
        path = os.path.join(target, "sound_%d.wav" % ident)
        write_wave(path, samples, bits)
        print("%s: %d frames, %d bits, %.2f s" % (path, len(samples), bits, len(samples) / RATE))


if __name__ == "__main__":
    main()
