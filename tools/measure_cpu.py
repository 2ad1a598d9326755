#!/usr/bin/env python3
"""CPU use of the game on the title screen and in play: starts the binary on a copy of data/
under the current X display (run it under xvfb-run), reads the process's user + system time from
/proc/<pid>/stat over a window of seconds on each screen, and prints it as a share of one core,
with the frames drawn meanwhile (counted by a small preloaded shim around SDL_GL_SwapBuffers)
and the CPU time per frame. CPU time, not wall-clock throughput, so other work on the machine
skews the figures less; the frame rate still depends on it wherever the cap is not reached.

    xvfb-run -a -s "-screen 0 1024x768x24" tools/measure_cpu.py build/pellvane [seconds [max_fps]]

A max_fps given here replaces the shipped configuration's for the run.

The best score goes to a temporary directory, never to the real home."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

binary = os.path.abspath(sys.argv[1])
seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
work = tempfile.mkdtemp(prefix="pellvane-cpu-")
shutil.copytree(os.path.join(root, "data"), work, dirs_exist_ok=True)
if len(sys.argv) > 3:
    config_path = os.path.join(work, "config.xml")
    tree = ET.parse(config_path)
    tree.getroot().set("max_fps", sys.argv[3])
    tree.write(config_path)
# The end-to-end tests' swap counter: eight bytes at the start of a file, the count so far.
shim = os.path.join(work, "count_swaps.so")
subprocess.run(["cc", "-shared", "-fPIC", "-O2", "-o", shim,
                os.path.join(root, "tests", "e2e", "support", "count_swaps.c"), "-ldl"], check=True)
count_file = os.path.join(work, "swaps")
env = dict(os.environ, SDL_AUDIODRIVER="dummy", XDG_DATA_HOME=os.path.join(work, "xdg"), LD_PRELOAD=shim,
           PELLVANE_SWAP_COUNT=count_file)
ticks = os.sysconf("SC_CLK_TCK")


def frames():
    try:
        with open(count_file, "rb") as counted:
            return struct.unpack("q", counted.read(8))[0]
    except (OSError, struct.error):
        return 0


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / ticks  # utime and stime, all threads


def measure(pid, what):
    start_cpu, start, start_frames = cpu_seconds(pid), time.monotonic(), frames()
    time.sleep(seconds)
    used, elapsed, drawn = cpu_seconds(pid) - start_cpu, time.monotonic() - start, frames() - start_frames
    print("%-12s %5.1f%% of one core, %5.1f frames/s, %.2f ms CPU a frame (%.2f s CPU in %.1f s)" %
          (what, 100.0 * used / elapsed, drawn / elapsed, 1000.0 * used / max(drawn, 1), used, elapsed))


def xdotool(*args):
    return subprocess.run(["xdotool"] + list(args), capture_output=True, text=True).stdout


game = subprocess.Popen([binary], cwd=work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    window = None
    for _ in range(300):
        found = xdotool("search", "--all", "--pid", str(game.pid), "--name", "^PELLVANE!$").split()
        if found:
            window = found[0]
            break
        time.sleep(0.1)
    if window is None:
        sys.exit("measure_cpu: the game's window did not open")
    time.sleep(3)  # the title's fade-in
    measure(game.pid, "title screen")
    button = ET.parse(os.path.join(work, "config.xml")).getroot().find(".//new_game_button")
    x, y = int(float(button.get("x"))) + 100, int(float(button.get("y"))) + 25
    xdotool("mousemove", "--window", window, str(x), str(y))
    time.sleep(0.2)
    xdotool("click", "1")
    time.sleep(2)  # the level's loading delay
    xdotool("key", "--window", window, "space")
    time.sleep(0.5)
    measure(game.pid, "in play")
finally:
    game.terminate()
    game.wait()
    shutil.rmtree(work, ignore_errors=True)
