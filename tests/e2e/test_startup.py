"""The real binary: window caption, Escape ends the run, the clear colour on screen, a missing
config.xml reported on both outputs with status 1, no display reported clearly, an empty
SDL_VIDEODRIVER taken as unset, and --shot refusing a file name it cannot place."""
import os
import subprocess
import time

import pvtest
from pvtest import check

CLEAR = (102, 102, 178)  # 0.4, 0.4, 0.7

# A working directory with a valid configuration: the window opens and stays until Escape.
work = pvtest.minimal_workdir(pvtest.minimal_config())
game = pvtest.Game(work)
window = game.find_window()
check(window is not None, "a window named PELLVANE! opens")
if window:
    time.sleep(0.5)
    shot = game.screenshot()
    check(pvtest.pixel(shot, 400, 300) == CLEAR, "the window is cleared with the clear colour")
    game.key("Escape")
status, out, err = game.wait()
check(status == 0, "Escape release ends the run with status 0 (got %r)" % status)
check(out == "", "nothing on standard output on a normal run (got %r)" % out)

# Started in an empty directory, with no data installed beside the binary: every place looked in
# is named, on both outputs, and the status is 1.
empty = pvtest.make_workdir()
status, out, err = pvtest.run_to_exit(empty)
check(out.startswith("Failed to load config file. There is no config.xml in") and empty in out,
      "missing data named with the working directory (got %r)" % out)
check(out in err, "the same message on standard error")
check(status == 1, "a start-up failure exits with status 1 (got %r)" % status)

# Malformed XML: the loader's own message.
bad = pvtest.make_workdir({"config.xml": "<config><scenes></config>"})
status, out, err = pvtest.run_to_exit(bad)
check(out == "Failed to load config file.\n" and status == 1, "malformed config.xml reported (got %r, %r)" % (out, status))

# No X display, or one that no server answers: one line naming the display, status 1, no
# signal, and the terminal left alone (SDL 1.2's text-mode fallback would write escape
# sequences). Nothing touches SDL video after it failed to start.
for what, env in (("no display with the x11 driver", {"DISPLAY": "", "SDL_VIDEODRIVER": "x11"}),
                  ("an unreachable display with the x11 driver", {"DISPLAY": ":93", "SDL_VIDEODRIVER": "x11"}),
                  ("an unreachable display, no driver chosen", {"DISPLAY": ":93", "SDL_VIDEODRIVER": ""})):
    env = dict(env)
    if not env["SDL_VIDEODRIVER"]:
        env["SDL_VIDEODRIVER"] = None
    game = pvtest.Game(pvtest.minimal_workdir(pvtest.minimal_config()), env=env)
    status, out, err = game.wait()
    check(status == 1, "%s: exit status 1, not a signal (got %r)" % (what, status))
    check(out.startswith('Pellvane needs an X11 display with OpenGL, and cannot open the display "%s" ('
                         % env["DISPLAY"]) and out.count("\n") == 1 and out.endswith("\n") and "\x1b" not in out,
          "%s: one line naming the display (got %r)" % (what, out))

# SDL_VIDEODRIVER set but empty chooses no driver: the window opens as if it were unset.
game = pvtest.Game(pvtest.minimal_workdir(pvtest.minimal_config()), env={"SDL_VIDEODRIVER": ""})
check(game.find_window() is not None, "an empty SDL_VIDEODRIVER opens the window as if unset")
if game.window:
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "and quits on Escape with status 0 (got %r, %r)" % (status, out))

# --shot with a relative file name from a working directory that was deleted: the name cannot be
# placed, so the run stops with status 2 and writes nothing, least of all into the data.
data = pvtest.minimal_workdir(pvtest.minimal_config())


def snapshot(directory):
    return {os.path.relpath(os.path.join(d, f), directory): open(os.path.join(d, f), "rb").read()
            for d, _, files in os.walk(directory) for f in files}


before = snapshot(data)
gone = pvtest.make_workdir()
done = subprocess.run(["sh", "-c", 'cd "$1" && rmdir "$1" && exec "$2" --data "$3" --shot config.xml', "sh", gone,
                       pvtest.BINARY, data], env=pvtest.environment(), capture_output=True, text=True, timeout=120)
check(done.returncode == 2 and "--shot config.xml" in done.stderr and done.stdout == "",
      "--shot from a deleted working directory says why and exits 2 (got %r, %r, %r)"
      % (done.returncode, done.stdout, done.stderr))
check(snapshot(data) == before, "and touches nothing in the data directory")

# The shipped data starts, draws its scene over much of the window, and quits on Escape.
shipped = pvtest.make_workdir(copy_data=True)
game = pvtest.Game(shipped)
check(game.find_window() is not None, "the shipped data opens the window")
if game.window:
    time.sleep(1.0)
    shot = game.screenshot()
    histogram = subprocess.run(["convert", shot, "-crop", "800x600+0+0", "-depth", "8", "rgb:-"],
                               capture_output=True).stdout
    pixels = [tuple(histogram[i:i + 3]) for i in range(0, len(histogram) - 2, 3)]
    drawn = sum(1 for p in pixels if p != CLEAR)
    check(len(pixels) == 800 * 600 and drawn > len(pixels) // 2,
          "the shipped scene covers the window with drawing (%d of %d pixels)" % (drawn, len(pixels)))
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "the shipped data quits on Escape with status 0 (%r, %r)" % (status, out))

pvtest.finish()
