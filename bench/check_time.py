"""Data checker time against the number of findings: the shipped data with a first level that
holds N unknown elements (each one warning), for N doubling up to 100,000. A checker that grows as
n log n roughly doubles its time with each doubling of N. Needs no display: ./run.sh bench runs it."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

binary, root = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
work = tempfile.mkdtemp(prefix="pellvane-check-time-")
data = os.path.join(work, "data")
shutil.copytree(os.path.join(root, "data"), data)
level = os.path.join(data, "levels", "01_first_light.xml")
with open(level) as original:
    shipped = original.read()
env = dict(os.environ, SDL_AUDIODRIVER="dummy")

previous = None
for count in (12500, 25000, 50000, 100000):
    with open(level, "w") as out:
        out.write(shipped.replace("</level>", '<blok x="1"/>\n' * count + "</level>"))
    start = time.monotonic()
    done = subprocess.run([binary, "--check"], cwd=data, env=env, capture_output=True, text=True, timeout=600)
    seconds = time.monotonic() - start
    findings = done.stdout.count("\n")
    growth = "" if previous is None else "  (x%.2f for twice the findings)" % (seconds / previous)
    print("--check, %6d unknown elements: %6d findings in %6.2f s%s" % (count, findings, seconds, growth))
    previous = seconds
shutil.rmtree(work, ignore_errors=True)
