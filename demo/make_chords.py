#!/usr/bin/env python3
"""Writes chords.mid, the demo's carrier part: a type 1 Standard MIDI File with a
tempo track (90 beats per minute) and one track of two-beat chords on channel 1.
Run it from this folder to regenerate the committed file."""

import struct

TICKS_PER_BEAT = 480
BEATS_PER_MINUTE = 90
CHORD_BEATS = 2
VELOCITY = 100

# Am, F, C, G, Am in close voicing around the third octave (C4 = 60).
CHORDS = [
    [45, 57, 60, 64],
    [41, 57, 60, 65],
    [48, 55, 60, 64],
    [43, 55, 59, 62],
    [45, 57, 60, 64],
]


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def track(events):
    body = b"".join(variable_length(delta) + data for delta, data in events)
    body += variable_length(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


def main():
    tempo = 60_000_000 // BEATS_PER_MINUTE
    tempo_track = track([(0, b"\xff\x51\x03" + tempo.to_bytes(3, "big"))])
    events = []
    length = CHORD_BEATS * TICKS_PER_BEAT
    for chord in CHORDS:
        for note in chord:
            events.append((0, bytes([0x90, note, VELOCITY])))
        for i, note in enumerate(chord):
            events.append((length if i == 0 else 0, bytes([0x80, note, 0])))
    header = b"MThd" + struct.pack(">IHHH", 6, 1, 2, TICKS_PER_BEAT)
    with open("chords.mid", "wb") as f:
        f.write(header + tempo_track + track(events))


if __name__ == "__main__":
    main()
