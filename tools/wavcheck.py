#!/usr/bin/env python3
"""Checks a capture WAV file (stereo 16-bit) of the player for the sound tests.

wavcheck.py FILE START_MS END_MS CONDITION
CONDITION: silent | sound | right-louder | left-louder | balanced | left-only | right-only |
           freq=HZ (the louder channel's pitch, by zero crossings, within 10 %)
Prints the left and right levels (RMS, 0..1) of the window and exits 1 when the condition fails.
"""
import math
import struct
import sys
import wave

SILENT = 0.002   # below this a channel counts as silent
SOUND = 0.01     # above this a channel counts as sounding


def levels(path, start_ms, end_ms):
    with wave.open(path, "rb") as w:
        if w.getnchannels() != 2 or w.getsampwidth() != 2:
            sys.exit(f"{path}: not a stereo 16-bit WAV file")
        rate = w.getframerate()
        first = int(start_ms * rate / 1000)
        last = min(int(end_ms * rate / 1000), w.getnframes())
        if last <= first:
            sys.exit(f"{path}: window {start_ms}..{end_ms} ms lies beyond the capture "
                     f"({w.getnframes() * 1000 // rate} ms)")
        w.setpos(first)
        data = w.readframes(last - first)
    values = struct.unpack(f"<{(last - first) * 2}h", data)
    return values[0::2], values[1::2], rate


def rms(channel):
    return math.sqrt(sum(v * v for v in channel) / len(channel)) / 32768.0


def pitch(channel, rate):
    crossings = sum(1 for a, b in zip(channel, channel[1:]) if (a < 0) != (b < 0))
    return crossings / 2.0 * rate / len(channel)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    path, start, end, cond = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4]
    lch, rch, rate = levels(path, start, end)
    left, right = rms(lch), rms(rch)
    hz = pitch(lch if left >= right else rch, rate)
    print(f"{path} {start:g}..{end:g} ms: left {left:.4f} right {right:.4f} pitch {hz:.0f} Hz")
    loud = max(left, right)
    if cond.startswith("freq="):
        want = float(cond[5:])
        ok = loud > SOUND and abs(hz - want) < 0.1 * want
        if not ok:
            print(f"expected {cond}")
            sys.exit(1)
        return
    ok = {
        "silent": loud < SILENT,
        "sound": loud > SOUND,
        "right-louder": right > SOUND and right > 1.5 * left,
        "left-louder": left > SOUND and left > 1.5 * right,
        "balanced": loud > SOUND and abs(left - right) < 0.1 * loud,
        "left-only": left > SOUND and right < SILENT,
        "right-only": right > SOUND and left < SILENT,
    }.get(cond)
    if ok is None:
        sys.exit(f"unknown condition {cond}")
    if not ok:
        print(f"expected {cond}")
        sys.exit(1)


main()
