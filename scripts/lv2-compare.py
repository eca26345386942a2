#!/usr/bin/python3
"""Compares a recording of a looped note sequence with one render of that sequence.

Usage: lv2-compare.py RECORDING.wav [RENDER.wav PERIOD_FRAMES]

The render plays the sequence once and rings out; the host played it over and over from a moment
nobody chose. The render folded onto one period is what each period of the recording must hold:
the script finds the recording's offset in that period and prints the correlation there. Exit
status 1 when it is below 0.999 or the recording is silent; without a render, only silence fails.
"""
import struct
import sys

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


def main():
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
