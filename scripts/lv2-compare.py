#!/usr/bin/python3
"""Compares a recording of a looped note sequence with one render of that sequence.

Usage: lv2-compare.py RECORDING.wav [RENDER.wav PERIOD_FRAMES]
       lv2-compare.py --sequence BUILD_DIR WORK_DIR STEP HELD

The sequence is notes 36..43 at 44.1 kHz, one every STEP frames, each held HELD frames, played on a
loop of eight tones one STEP long each (220 Hz up in steps of 55 Hz, a slice each). --sequence
writes into WORK_DIR the loop (tones.rex), the notes once as a Standard MIDI File at 120 bpm
(notes.mid) and brevatone-render playing them (render.wav).

The render plays the sequence once and rings out; the host played it over and over from a moment
nobody chose. The render folded onto one period is what each period of the recording must hold:
the script finds the recording's offset in that period and prints the correlation there. Exit
status 1 when it is below 0.999 or the recording is silent; without a render, only silence fails.
"""
import os
import struct
import subprocess
import sys
import wave

import numpy


def read_wav(path):
    """The first channel of a PCM (16, 24, 32 bit) or float WAV file, as floats."""
    data = open(path, "rb").read()
    position, fmt, samples = 12, None, None
    while position + 8 <= len(data):
        tag, size = data[position:position + 4], struct.unpack("<I", data[position + 4:position + 8])[0]
        body = data[position + 8:position + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif tag == b"data":
            samples = body
        position += 8 + size + (size & 1)
    code, channels, _, _, _, bits = fmt
    if code == 0xFFFE:
        code = struct.unpack("<H", data[data.index(b"fmt ") + 8 + 24:data.index(b"fmt ") + 8 + 26])[0]
    if code == 3:
        values = numpy.frombuffer(samples, dtype="<f4" if bits == 32 else "<f8").astype(numpy.float64)
    elif bits == 24:
        raw = numpy.frombuffer(samples, dtype=numpy.uint8).reshape(-1, 3).astype(numpy.int32)
        values = ((raw[:, 0] | (raw[:, 1] << 8) | (raw[:, 2] << 16)) << 8 >> 8) / float(1 << 23)
    else:
        values = numpy.frombuffer(samples, dtype={16: "<i2", 32: "<i4"}[bits]) / float(1 << (bits - 1))
    return values[::channels]


def write_sequence(build, work, step, held):
    import mido

    tones_path, notes_path = os.path.join(work, "tones.wav"), os.path.join(work, "notes.mid")

    time = numpy.arange(step) / 44100.0
    fade_in, fade_out = numpy.minimum(time / 0.002, 1), numpy.minimum((time[-1] - time) / 0.2, 1)
    envelope = numpy.sin(numpy.pi / 2 * fade_in) * numpy.sin(numpy.pi / 2 * fade_out)
    tones = numpy.concatenate([numpy.sin(2 * numpy.pi * (220 + 55 * i) * time) * envelope for i in range(8)])
    with wave.open(tones_path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(44100)
        out.writeframes((tones * 32767).astype("<i2").tobytes())

    ticks = lambda frames: frames * 960 * 2 // 44100  # 120 bpm: 960 ticks per half second
    track = mido.MidiTrack([mido.MetaMessage("set_tempo", tempo=500000, time=0)])
    now = 0
    for i in range(8):
        for at, message in ((i * step, "note_on"), (i * step + held, "note_off")):
            track.append(mido.Message(message, note=36 + i, velocity=100, time=ticks(at) - now))
            now = ticks(at)
    mido.MidiFile(ticks_per_beat=960, tracks=[track]).save(notes_path)

    loop, quiet = os.path.join(work, "tones.rex"), {"stdout": subprocess.DEVNULL, "check": True}
    slices = ",".join(str(i * step) for i in range(8))
    subprocess.run([os.path.join(build, "bin", "brevatone-rex"), "make", tones_path, loop, "--bars", "1", "--tempo",
                    "120", "--slices", slices], **quiet)
    subprocess.run([os.path.join(build, "bin", "brevatone-render"), "--loop", loop, "--midi", notes_path, "--output",
                    os.path.join(work, "render.wav")], **quiet)


def main():
    if sys.argv[1] == "--sequence":
        write_sequence(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
        return 0
    recording = read_wav(sys.argv[1])
    if len(sys.argv) < 4:
        print("peak %.4f" % numpy.max(numpy.abs(recording)))
        return 0 if numpy.max(numpy.abs(recording)) >= 1e-3 else 1
    render, period = read_wav(sys.argv[2]), int(sys.argv[3])
    folded = numpy.zeros(period)
    for start in range(0, len(render), period):
        piece = render[start:start + period]
        folded[:len(piece)] += piece
    # One whole period of the recording, taken after its first period so the host has settled.
    if len(recording) < 2 * period or numpy.max(numpy.abs(recording)) < 1e-3:
        print("the recording is silent or shorter than two periods")
        return 1
    taken = recording[period:2 * period]
    spectrum = numpy.fft.rfft(taken) * numpy.conj(numpy.fft.rfft(folded))
    lag = int(numpy.argmax(numpy.fft.irfft(spectrum, period)))
    aligned = numpy.roll(folded, lag)
    correlation = float(numpy.corrcoef(taken, aligned)[0, 1])
    print("correlation %.6f at an offset of %d frames" % (correlation, lag))
    return 0 if correlation >= 0.999 else 1


if __name__ == "__main__":
    sys.exit(main())
