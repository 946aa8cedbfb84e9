#!/usr/bin/python3
"""The peer a user would write with numpy: the peak of the Hann-windowed
spectrum of the whole file (channels mixed), interpolated by a parabola
through the log magnitudes. Prints the frequency in Hz.

    fft_peak.py FILE.wav
"""
import struct
import sys

import numpy as np


def read_wave(path):
    data = open(path, "rb").read()
    at, fmt, samples = 12, None, None
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
            if fmt[0] == 0xFFFE:
                fmt = (struct.unpack("<H", body[24:26])[0],) + fmt[1:]
        elif tag == b"data":
            samples = body
        at += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    if tag == 3:
        x = np.frombuffer(samples, "<f4" if bits == 32 else "<f8").astype(float)
    elif bits == 8:
        x = (np.frombuffer(samples, np.uint8).astype(float) - 128) / 128
    elif bits == 24:
        b = np.frombuffer(samples[:len(samples) // 3 * 3], np.uint8).reshape(-1, 3).astype(np.int32)
        v = b[:, 0] | (b[:, 1] << 8) | (b[:, 2] << 16)
        x = np.where(v >= 1 << 23, v - (1 << 24), v) / float(1 << 23)
    else:
        x = np.frombuffer(samples, "<i%d" % (bits // 8)).astype(float) / 2 ** (bits - 1)
    x = x[:len(x) // channels * channels].reshape(-1, channels).mean(axis=1)
    return x, rate


def main():
    x, rate = read_wave(sys.argv[1])
    x = (x - x.mean()) * np.hanning(len(x))
    spectrum = np.abs(np.fft.rfft(x))
    low = int(70 * len(x) / rate) + 1
    k = low + int(np.argmax(spectrum[low:-1]))
    a, b, c = np.log(spectrum[k - 1:k + 2] + 1e-30)
    offset = 0.5 * (a - c) / (a - 2 * b + c) if a - 2 * b + c != 0 else 0.0
    print("%.4f" % ((k + offset) * rate / len(x)))


if __name__ == "__main__":
    main()
