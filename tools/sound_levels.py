#!/usr/bin/env python3
"""Prints how loud each effect of a sound directory is where a player hears it: its first 100 ms
(a shorter effect counts as padded with silence, as the ear takes it), as plain RMS and as
K-weighted RMS (the loudness meters' weighting: low rumble counts less, presence more), both in dB
of full scale, and the effect's peak. Needs sox.
    tools/sound_levels.py [DIRECTORY (default data/sounds)]"""
import math
import os
import subprocess
import sys

WINDOW = 0.1
# The K weighting as sox filters: the meters' high-pass near 38 Hz and a +4 dB shelf above 1.7 kHz.
K_WEIGHTING = ["highpass", "38", "0.5q", "treble", "4", "1681", "0.71q"]


def rms_db(path, filters=()):
    """The RMS of the first WINDOW seconds of `path` (padded with silence), after `filters`."""
    done = subprocess.run(["sox", path, "-n", "pad", "0", str(WINDOW), "trim", "0", str(WINDOW)] + list(filters) +
                          ["stat"], capture_output=True, text=True)
    for line in done.stderr.splitlines():
        if line.startswith("RMS     amplitude"):
            value = float(line.split()[-1])
            return 20 * math.log10(value) if value > 0 else -120.0
    raise SystemExit("sox could not measure %s: %s" % (path, done.stderr.strip()))


def peak_db(path):
    done = subprocess.run(["sox", path, "-n", "stat"], capture_output=True, text=True)
    peak = 1e-6
    for line in done.stderr.splitlines():
        if line.startswith(("Maximum amplitude", "Minimum amplitude")):
            peak = max(peak, abs(float(line.split()[-1])))
    return 20 * math.log10(peak)


def levels(directory):
    """(name, RMS dB, K-weighted dB, peak dB) for every WAV file of `directory`, by name."""
    names = sorted(n for n in os.listdir(directory) if n.endswith(".wav"))
    return [(n, rms_db(os.path.join(directory, n)), rms_db(os.path.join(directory, n), K_WEIGHTING),
             peak_db(os.path.join(directory, n))) for n in names]


if __name__ == "__main__":
    directory = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data", "sounds")
    print("%-22s %8s %8s %8s" % ("effect", "RMS", "K RMS", "peak"))
    for name, rms, weighted, peak in levels(directory):
        print("%-22s %8.1f %8.1f %8.1f" % (name, rms, weighted, peak))
