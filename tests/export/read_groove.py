"""Reads a groove file with an independent MIDI library and prints what a sequencer would see:
the tempo, then one line per note with its start tick, note number and length in ticks."""
import sys

import mido

midi = mido.MidiFile(sys.argv[1])
print(f"type {midi.type} tracks {len(midi.tracks)} division {midi.ticks_per_beat}")
for message in midi.tracks[0]:
    if message.type == "set_tempo":
        print(f"tempo {message.tempo}")
now = 0
started = {}
for message in midi.tracks[1]:
    now += message.time
    if message.type == "note_on" and message.velocity > 0:
        started[message.note] = now
    elif message.type in ("note_on", "note_off"):
        start = started.pop(message.note)
        print(f"note {message.note} at {start} for {now - start}")
