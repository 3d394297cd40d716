#!/usr/bin/env python3
"""Writes carrier.wav, the external carrier for the programs that vocode inputs 3-4:
a 16th-note sawtooth arpeggio over the chords of chords.mid (Am, F, C, G, Am at 90
beats per minute), a held bass note an octave below each chord's root, and short
noise ticks on the off-beats, mono, 22050 Hz, 16-bit, peaking at -3 dBFS (a carrier
as hot as a synthesizer track usually is).
Run it from this folder to regenerate the committed file."""

import math
import random
import struct
import wave

RATE = 22050
BEATS_PER_MINUTE = 90
CHORD_BEATS = 2
STEPS_PER_BEAT = 4
PEAK = 0.708

# The chords of make_chords.py: bass note, then the arpeggio's notes (C4 = 60).
CHORDS = [
    (33, [57, 60, 64, 69]),
    (29, [57, 60, 65, 69]),
    (36, [55, 60, 64, 67]),
    (31, [55, 59, 62, 67]),
    (33, [57, 60, 64, 69]),
]


def frequency(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def poly_blep(phase, step):
    """Correction that removes the aliasing of a sawtooth's jump at phase 0."""
    if phase < step:
        t = phase / step
        return t + t - t * t - 1.0
    if phase > 1.0 - step:
        t = (phase - 1.0) / step
        return t * t + t + t + 1.0
    return 0.0


class Saw:
    def __init__(self):
        self.phase = 0.0

    def next(self, hz):
        step = hz / RATE
        value = 2.0 * self.phase - 1.0 - poly_blep(self.phase, step)
        self.phase += step
        if self.phase >= 1.0:
            self.phase -= 1.0
        return value


def render():
    step_frames = int(RATE * 60 / BEATS_PER_MINUTE / STEPS_PER_BEAT)
    steps_per_chord = CHORD_BEATS * STEPS_PER_BEAT
    noise = random.Random(1)
    lead, bass = Saw(), Saw()
    samples = []
    for bass_note, notes in CHORDS:
        for step in range(steps_per_chord):
            hz = frequency(notes[step % len(notes)])
            for i in range(step_frames):
                t = i / step_frames
                pluck = 0.4 + 0.6 * math.exp(-3.0 * t)  # each arpeggio note decays within its step
                value = 0.55 * lead.next(hz) * pluck + 0.35 * bass.next(frequency(bass_note))
                if step % 2 == 1 and i < step_frames // 4:
                    value += 0.25 * (noise.random() * 2.0 - 1.0) * (1.0 - 4.0 * i / step_frames)
                samples.append(value)
    # A short fade-out, then the level set to the peak.
    fade = RATE // 20
    for i in range(fade):
        samples[-1 - i] *= i / fade
    gain = PEAK / max(abs(s) for s in samples)
    return [int(round(s * gain * 32767)) for s in samples]


def main():
    with wave.open("carrier.wav", "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(b"".join(struct.pack("<h", s) for s in render()))


if __name__ == "__main__":
    main()
