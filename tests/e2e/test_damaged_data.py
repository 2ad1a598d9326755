"""The real binary on randomly damaged copies of the shipped data: each copy has one file cut
short, overwritten, padded with garbage, deleted, given an absurd number or a wrong element
name. The game and `--check` must end with a message or cleanly (status 0 or 1), never with a
signal or a sanitizer report.

Arguments after BINARY ROOT (or PELLVANE_DAMAGE_COUNT / _SEED / _ONLY): how many copies
(default 8), the seed, and one copy's index to run alone when reproducing a failure (the fixed
cases have negative indices)."""
import collections
import glob
import os
import random
import re
import shutil
import subprocess
import sys
import time

import pvtest
from pvtest import check


def setting(position, name, default):
    value = sys.argv[position] if len(sys.argv) > position else os.environ.get(name, default)
    return None if value is None else int(value)


COUNT = setting(3, "PELLVANE_DAMAGE_COUNT", 8)
SEED = setting(4, "PELLVANE_DAMAGE_SEED", 20240)
ONLY = setting(5, "PELLVANE_DAMAGE_ONLY", None)

DATA = os.path.join(pvtest.ROOT, "data")
TARGETS = sorted(["config.xml", "sprites.xml", "sounds.xml"] +
                 [os.path.relpath(p, DATA) for pattern in ("levels/*.xml", "textures/*.png", "sounds/*", "icons/*")
                  for p in glob.glob(os.path.join(DATA, pattern))])
ABSURD = ["-1e40", "1e40", "nan", "-5", "99999999"]


def damage(rng, data, name):
    """Damages `data` (a file named `name`): the new bytes, or None to delete it, and what was done."""
    kinds = ["truncate", "overwrite", "insert", "delete"]
    if name.endswith(".xml"):
        kinds += ["number", "element"] * 2
    kind = rng.choice(kinds)
    at = rng.randrange(len(data) + 1)
    if kind == "truncate":
        return data[:at], "cut at byte %d" % at
    if kind == "overwrite":
        # Half the changes fall in the first 64 bytes, where the formats keep their headers.
        spots = sorted(rng.randrange(max(min(len(data), rng.choice([64, len(data)])), 1))
                       for _ in range(rng.randint(1, 8)))
        out = bytearray(data)
        for spot in spots:
            if spot < len(out):
                out[spot] = rng.randrange(256) if rng.random() < 0.5 else out[spot] ^ (1 << rng.randrange(8))
        return bytes(out), "bytes changed at %s" % spots
    if kind == "insert":
        garbage = bytes(rng.randrange(256) for _ in range(rng.randint(1, 64)))
        return data[:at] + garbage + data[at:], "%d garbage bytes inserted at %d" % (len(garbage), at)
    if kind == "delete":
        return None, "deleted"
    text = data.decode("latin-1")
    if kind == "number":
        numbers = list(re.finditer(r'(\w+)="(-?[0-9.]+)"', text))
        if numbers:
            m = rng.choice(numbers)
            value = rng.choice(ABSURD)
            return (text[:m.start(2)] + value + text[m.end(2):]).encode("latin-1"), \
                "%s=%r at offset %d became %s" % (m.group(1), m.group(2), m.start(), value)
    names = sorted(set(re.findall(r"<([A-Za-z_]\w*)", text)))
    if len(names) < 2:
        return data[:at], "cut at byte %d" % at
    old, new = rng.sample(names, 2)
    text = re.sub(r"(</?)%s\b" % old, r"\g<1>" + new, text)
    return text.encode("latin-1"), "element <%s> renamed <%s>" % (old, new)


# Damage once found to crash, run every time: WAV format chunks whose channels or sample rate
# made SDL 1.2 overrun its conversion steps.
FIXED = [("sounds/red.wav", 22, b"\x00"), ("sounds/orange.wav", 25, b"\x00"), ("sounds/yellow.wav", 27, b"\x10")]


def damaged_copy(index):
    rng = random.Random("%d:%d" % (SEED, index))
    name = FIXED[index][0] if index < 0 else rng.choice(TARGETS)
    work = pvtest.make_workdir(copy_data=True)
    path = os.path.join(work, name)
    with open(path, "rb") as f:
        if index < 0:
            at, new = FIXED[index][1:]
            old = f.read()
            data, what = old[:at] + new + old[at + len(new):], "byte %d set to %r" % (at, new)
        else:
            data, what = damage(rng, f.read(), name)
    if data is None:
        os.remove(path)
    else:
        with open(path, "wb") as f:
            f.write(data)
    return work, "%s: %s" % (name, what)


# How each run ended, counted for the closing line: the evidence that no run ended on a signal.
statuses = collections.Counter()


def clean_exit(status, err):
    return status in (0, 1) and "Sanitizer" not in err


def run_copy(index):
    work, what = damaged_copy(index)
    label = "seed %d copy %d (%s)" % (SEED, index, what)
    game = pvtest.Game(work)
    if game.find_window(timeout=15):
        time.sleep(0.3)
        game.key("Escape")
    status, out, err = game.wait(timeout=30)
    statuses["game %s" % status] += 1
    # One message: the text on standard output is the one also logged on standard error.
    said = out.splitlines()[0] in err if out else status == 0
    ok = clean_exit(status, err) and said
    details = "" if ok else " (status %r, stdout %r, stderr tail %r)" % (status, out, err[-600:])
    check(ok, "%s: the game ends with a message or cleanly%s" % (label, details))
    try:
        status, out, err = pvtest.run_tool(["--check"], work, timeout=60)
    except subprocess.TimeoutExpired:
        status, err = "timeout", ""
    statuses["check %s" % status] += 1
    ok_check = clean_exit(status, err)
    details = "" if ok_check else " (status %r, stderr tail %r)" % (status, err[-600:])
    check(ok_check, "%s: --check ends with status 0 or 1%s" % (label, details))
    if ok and ok_check:
        shutil.rmtree(work, ignore_errors=True)
    else:
        print("  kept the damaged copy in", work, flush=True)


for i in ([ONLY] if ONLY is not None else list(range(-len(FIXED), 0)) + list(range(COUNT))):
    run_copy(i)
print("exit statuses:", ", ".join("%s: %d" % item for item in sorted(statuses.items())))
pvtest.finish()
