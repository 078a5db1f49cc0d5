#!/usr/bin/env python3
"""Writes the signal sound: a short two-note chime (16-bit mono PCM WAV).

Each note is a sine with a softer octave partial, a quick attack and an exponential decay.
Usage: tools/make_chime.py [OUTPUT]   (default resources/sound.wav)
"""
import math
import struct
import sys
import wave

RATE = 22050
NOTES = [  # (start in seconds, frequency in Hz)
    (0.00, 880.00),   # A5
    (0.16, 1318.51),  # E6
]
LENGTH = 0.9
DECAY = 6.0     # per second
ATTACK = 0.005  # seconds
VOLUME = 0.35


def sample(t):
    value = 0.0
    for start, frequency in NOTES:
        local = t - start
        if local < 0:
            continue
        envelope = min(1.0, local / ATTACK) * math.exp(-DECAY * local)
        value += envelope * (math.sin(2 * math.pi * frequency * local)
                             + 0.3 * math.sin(4 * math.pi * frequency * local))
    return value


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "resources/sound.wav"
    frames = int(RATE * LENGTH)
    peak = max(abs(sample(i / RATE)) for i in range(frames)) or 1.0
    data = bytearray()
    for i in range(frames):
        fade = min(1.0, (frames - i) / (0.05 * RATE))  # no click at the end
        data += struct.pack("<h", int(32767 * VOLUME * fade * sample(i / RATE) / peak))
    with wave.open(output, "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(RATE)
        wav.writeframes(bytes(data))


if __name__ == "__main__":
    main()
