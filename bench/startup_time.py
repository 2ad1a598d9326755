"""Start-up time: process start to the first frame swapped for the shipped data, median of 10
runs, next to the same binary on a configuration that fails at once (the floor of SDL and GL
start-up). Run under a virtual X server: ./run.sh bench does it."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

binary, root = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
work = tempfile.mkdtemp(prefix="pellvane-startup-")
probe = os.path.join(work, "swap_probe.so")
subprocess.run(["cc", "-shared", "-fPIC", "-O2", "-o", probe, os.path.join(root, "bench", "startup", "swap_probe.c"),
                "-ldl"], check=True)
# The shipped data reads a best score: from a directory of this run, not the real home.
env = dict(os.environ, SDL_AUDIODRIVER="dummy", LD_PRELOAD=probe, XDG_DATA_HOME=os.path.join(work, "data-home"))

shipped = os.path.join(work, "shipped")
shutil.copytree(os.path.join(root, "data"), shipped)
failing = os.path.join(work, "failing")
os.makedirs(failing)
with open(os.path.join(failing, "config.xml"), "w") as out:
    out.write("<config/>")


def first_swap(cwd):
    start = time.monotonic()
    done = subprocess.run([binary], cwd=cwd, env=env, capture_output=True, text=True, timeout=60)
    for line in done.stderr.splitlines():
        if line.startswith("first-swap "):
            return float(line.split()[1]) - start
    raise SystemExit("no frame was swapped: " + done.stderr)


def until_exit(cwd):
    start = time.monotonic()
    subprocess.run([binary], cwd=cwd, env=env, capture_output=True, timeout=60)
    return time.monotonic() - start


runs = 10
game = statistics.median(first_swap(shipped) for _ in range(runs))
floor = statistics.median(until_exit(failing) for _ in range(runs))
print("start-up, shipped data to first frame swapped: %.1f ms (median of %d)" % (game * 1000, runs))
print("start-up, failing configuration to exit:       %.1f ms (median of %d)" % (floor * 1000, runs))
print("data loading and first frame cost:             %.1f ms" % ((game - floor) * 1000))
shutil.rmtree(work, ignore_errors=True)
