"""Installing and starting the game like a player: the command line (--help, --version, a bad
option, --data, $PELLVANE_DATA, a start-up message shown once on a terminal), no display at all, and the Debian package built from this build
(lintian clean, a valid desktop entry), unpacked and started from / with no options: it finds its
installed data, shows the title screen the source tree's game shows, and quits on Escape."""
import os
import pty
import re
import shutil
import subprocess
import tempfile
import time

import pvtest
from pvtest import check

DATA = os.path.join(pvtest.ROOT, "data")
# Whatever the caller's environment says, the runs below choose their data themselves.
os.environ.pop("PELLVANE_DATA", None)
empty = pvtest.make_workdir()

# --help and --version print on standard output and exit 0.
status, out, err = pvtest.run_to_exit(empty, args=["--help"])
check(status == 0 and out.startswith("Usage: pellvane") and "--data DIR" in out and "Escape" in out,
      "--help prints the usage, the keys and the data lookup (got %r, %r)" % (status, out[:80]))
status, out, err = pvtest.run_to_exit(empty, args=["--version"])
check(status == 0 and re.fullmatch(r"pellvane \d+\.\d+\.\d+\n", out) is not None,
      "--version prints the version (got %r, %r)" % (status, out))

# A bad option or a missing value: the usage on standard error, status 2, nothing else happens.
for args, what in ((["--fast"], "unknown option --fast"), (["--data"], "option --data needs a directory"),
                   (["--shot", "x.png", "--time", ""], "option --time needs a number"),
                   (["--replay", "x.rec", "--shot", "x.png", "--time", "3"], "option --replay goes with --shot and --at")):
    status, out, err = pvtest.run_to_exit(empty, args=args)
    check(status == 2 and out == "" and what in err and "Usage: pellvane" in err,
          "%s: usage on standard error and status 2 (got %r, %r)" % (args, status, err[:60]))

# --data naming a directory that does not exist: it alone is tried and named.
missing = os.path.join(empty, "no-such-dir")
status, out, err = pvtest.run_to_exit(empty, args=["--data", missing])
check(status == 1 and missing + " (given with --data)" in out and "working directory" not in out,
      "--data of a missing directory is reported (got %r, %r)" % (status, out))

# On a terminal, where standard output and standard error are one screen, the message shows once
# and ends its line.
master, terminal = pty.openpty()
shown = subprocess.Popen([pvtest.BINARY, "--data", missing], env=pvtest.environment(), stdin=subprocess.DEVNULL,
                         stdout=terminal, stderr=terminal)
os.close(terminal)
screen = b""
while True:
    try:
        chunk = os.read(master, 4096)
    except OSError:  # the terminal closed once the game ended
        break
    if not chunk:
        break
    screen += chunk
os.close(master)
screen = screen.decode(errors="replace")
check(shown.wait(timeout=30) == 1 and screen.count("Failed to load config file.") == 1 and screen.endswith("\r\n"),
      "on a terminal the message shows once, as a whole line (got %r)" % screen)

# --data and $PELLVANE_DATA find the data from anywhere; the window opens.
for args, env in (([ "--data", DATA], {}), ([], {"PELLVANE_DATA": DATA})):
    game = pvtest.Game(empty, env=env, args=args)
    check(game.find_window() is not None, "the game starts from elsewhere with %r %r" % (args, env))
    if game.window:
        game.key("Escape")
    status, out, err = game.wait()
    check(status == 0 and out == "", "and quits with status 0 (got %r, %r)" % (status, out))

# No display and no video driver chosen: one clear line, the terminal untouched, status 1.
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "SDL_VIDEODRIVER")}
done = subprocess.run([pvtest.BINARY, "--data", DATA], env=env, capture_output=True, text=True, timeout=30)
check(done.returncode == 1 and done.stdout.startswith("Pellvane needs an X11 display with OpenGL"),
      "no display is reported (got %r, %r)" % (done.returncode, done.stdout))

# The package: built from this build with CPack, lintian clean, unpacked without installing.
build_dir = os.path.dirname(pvtest.BINARY)
out_dir = tempfile.mkdtemp(prefix="pellvane-deb-")
built = subprocess.run(["cpack", "-G", "DEB", "-B", out_dir], cwd=build_dir, capture_output=True, text=True)
debs = [name for name in os.listdir(out_dir) if re.fullmatch(r"pellvane_[\d.]+_\w+\.deb", name)]
check(built.returncode == 0 and len(debs) == 1, "cpack builds pellvane_<version>_<arch>.deb (%s)" % built.stderr[-300:])
if debs:
    deb = os.path.join(out_dir, debs[0])
    lint = subprocess.run(["lintian", "--fail-on", "error", deb], capture_output=True, text=True)
    check(lint.returncode == 0, "lintian finds no error:\n" + lint.stdout)
    root = os.path.join(out_dir, "root")
    subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    desktop = os.path.join(root, "usr/share/applications/pellvane.desktop")
    valid = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
    check(valid.returncode == 0 and valid.stdout == "", "the desktop entry is valid: " + valid.stdout)
    for size in (48, 64, 128, 256):
        check(os.path.isfile(os.path.join(root, "usr/share/icons/hicolor/%dx%d/apps/pellvane.png" % (size, size))),
              "an icon of %d px" % size)
    check(os.path.isfile(os.path.join(root, "usr/share/man/man6/pellvane.6.gz")), "a manual page")

    # Started from / with no options, as the desktop entry does: the installed data is found.
    # One after the other: both windows open at the same place and would cover each other.
    shots = []
    for start in (lambda: pvtest.Game("/", binary=os.path.join(root, "usr/games/pellvane")),
                  lambda: pvtest.Game(empty, args=["--data", DATA])):
        game = start()
        check(game.find_window() is not None, "the window opens")
        if game.window:
            time.sleep(2.0)
            shots.append(os.path.join(out_dir, "shot%d.png" % len(shots)))
            subprocess.run(["import", "-window", game.window, shots[-1]])
            game.key("Escape")
        status, out, err = game.wait()
        check(status == 0 and out == "", "quits on Escape with status 0 (got %r, %r)" % (status, out))
    if len(shots) == 2:
        # The title, button and particles animate; the rails, backdrop corners and title position
        # do not: compare the whole picture with a tolerance that a missing texture far exceeds.
        diff = subprocess.run(["compare", "-metric", "RMSE", shots[0], shots[1], "null:"], capture_output=True,
                              text=True)
        rmse = float(re.match(r"[\d.]+ \(([\d.]+)\)", diff.stderr).group(1)) if diff.stderr else 1.0
        check(rmse < 0.08, "the installed game shows the source tree's title screen (RMSE %.3f)" % rmse)
shutil.rmtree(out_dir, ignore_errors=True)

pvtest.finish()
