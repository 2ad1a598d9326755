#!/usr/bin/env python3
"""Regenerates docs/levels.md and a picture of every level of the shipped game (docs/levels/*.png),
each taken by the game itself with `pellvane --shot FILE.png --level N` from data/, with the
figures of the level report: the autopilot plays every level as a new game started there and the
page gives its clear time, balls lost and capsules caught. Beside each picture stands the note of
what the level depicts that tools/make_levels.py keeps with its map, for a reviewer to hold the
picture against. It retakes the README's screenshot too: a level in play, several balls and a
capsule on the way, taken with `--play`. Runs under a virtual X server (xvfb-run) when there is no
display. The pictures and the figures are the same every time the data is the same (the autopilot
and the game are deterministic).

    python3 tools/make_level_pictures.py [path/to/pellvane] [path/to/pellvane_level_report]
        (defaults: build/pellvane, build/tests/pellvane_level_report; `./run.sh levels` runs it)
"""
import collections
import importlib.util
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
OUT_DIR = os.path.join(ROOT, "docs", "levels")
PAGE = os.path.join(ROOT, "docs", "levels.md")
# The README's picture: this level played this many seconds, when two extra balls are in flight,
# two capsules are falling and the sticky paddle's time runs under the counters.
SCREENSHOT = os.path.join(ROOT, "docs", "screenshot.png")
SCREENSHOT_LEVEL = 2
SCREENSHOT_PLAY_SECONDS = 16


def level_files():
    """The level file names of the game scene, in playing order, as config.xml lists them."""
    config = ET.parse(os.path.join(DATA, "config.xml")).getroot()
    levels = config.find("scenes").find("pellvane_game").find("levels")
    directory = levels.get("directory")
    names = [level.text.strip() for level in levels.findall("level")]
    return [(name, os.path.join(directory, name) if directory is not None else name) for name in names]


def notes():
    """What each generated level depicts, by its file name, from tools/make_levels.py's maps."""
    spec = importlib.util.spec_from_file_location("make_levels", os.path.join(ROOT, "tools", "make_levels.py"))
    maker = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(maker)
    return {"%02d_%s.xml" % (number, title): depicts
            for number, (title, _, depicts, _) in enumerate(maker.LEVELS, start=1)}


def describe(path):
    """Lines on a level: its settings, and its blocks by kind and health."""
    root = ET.parse(path).getroot()
    blocks = list(root.iter("block"))
    steel = sum(1 for b in blocks if b.get("unbreakable") == "true")
    bombs = sum(1 for b in blocks if b.get("explosive") == "true")
    capsules = sum(1 for b in blocks if b.get("capsule"))
    healths = collections.Counter(int(b.get("health", "1")) for b in blocks
                                  if b.get("unbreakable") != "true" and b.get("explosive") != "true")
    parts = ["%d of health %d" % (healths[h], h) for h in sorted(healths, reverse=True)]
    parts += ["%d %s" % (n, what) for n, what in ((bombs, "explosive"), (steel, "unbreakable")) if n]
    text = "%d blocks: %s." % (len(blocks), ", ".join(parts))
    if capsules:
        text += " %d %s a capsule." % (capsules, "holds" if capsules == 1 else "hold")
    settings = "Ball speed x%s, paddle width x%s, capsule chance %s." % (
        root.get("ball_speed", "1"), root.get("paddle_width", "1"), root.get("capsule_chance", "the scene's"))
    return text + " " + settings


def report(binary, env, wrapper):
    """The level report's rows: level number -> (cleared in, balls lost, capsules caught, longest flight)."""
    result = subprocess.run(wrapper + [binary, "900"], cwd=DATA, env=env, capture_output=True, text=True)
    rows = {}
    for line in result.stdout.splitlines():
        # The autopilot's table comes first; the sections after it have tables of their own.
        if line.startswith("## "):
            break
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) == 5 and cells[0].isdigit():
            rows[int(cells[0])] = tuple(cells[1:])
    return rows, result.stdout


def curve(rows):
    """A line per quarter of the game: the mean clear time and the balls lost over its levels."""
    numbers = sorted(rows)
    if not numbers:
        return []
    quarter = max(1, (len(numbers) + 3) // 4)
    lines = ["| Levels | Mean time to clear | Balls lost |", "|---|---|---|"]
    for start in range(0, len(numbers), quarter):
        part = numbers[start:start + quarter]
        seconds = [float(rows[n][0].split()[-2 if rows[n][0].startswith("not") else 0]) for n in part]
        lost = sum(int(rows[n][1]) for n in part)
        lines.append("| %d to %d | %.0f s | %d |" % (part[0], part[-1], sum(seconds) / len(seconds), lost))
    return lines


def main():
    binary = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "pellvane"))
    reporter = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else
                               os.path.join(ROOT, "build", "tests", "pellvane_level_report"))
    # A best score of nobody's: the pictures must not show the score of whoever runs this.
    env = dict(os.environ, SDL_AUDIODRIVER="dummy", XDG_DATA_HOME=tempfile.mkdtemp(prefix="pellvane-pictures-"))
    wrapper = [] if os.environ.get("DISPLAY") else ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset"]
    os.makedirs(OUT_DIR, exist_ok=True)
    rows, table = report(reporter, env, wrapper)
    depicted = notes()
    lines = ["# The levels", "",
             "Every level of the shipped game as it looks when it starts, taken by the game itself with",
             "`pellvane --shot FILE.png --level N` from `data/`, and what the level report's autopilot (the",
             "swinging player of the soak, at 60 frames a second) needed to clear it as a new game started",
             "there. The report goes on with every level as the still, aiming and following players and",
             "the modelled person play it, and whole games as the person plays them: the balance of the",
             "game is judged by those. Each level says what it depicts (the note `tools/make_levels.py` keeps beside its",
             "map): hold the picture against it, as no level may show a symbol of hate or an offensive",
             "figure. Regenerate this page, its pictures and figures after changing a level (or",
             "`tools/make_levels.py`) with",
             "",
             "    ./run.sh levels",
             "",
             "Block positions in a level file are relative to the game area's top-left corner; the data",
             "checker (`pellvane --check`, see [the data format](data-format.md#checking-the-data)) reports blocks",
             "that overlap or leave the area.", "", "## The curve", ""] + curve(rows) + ["", table.strip(), ""]
    files = level_files()
    pictures = [os.path.splitext(os.path.basename(name))[0] + ".png" for name, _ in files]
    for number, ((name, relative), picture) in enumerate(zip(files, pictures), start=1):
        subprocess.run(wrapper + [binary, "--shot", os.path.join(OUT_DIR, picture), "--level", str(number)],
                       cwd=DATA, env=env, check=True)
        figures = ""
        if number in rows:
            cleared, lost, caught, flight = rows[number]
            figures = " The autopilot: cleared in %s, %s balls lost, %s capsules caught, longest flight without a " \
                      "hit %s." % (cleared, lost, caught, flight)
        lines += ["## Level %d: `%s`" % (number, relative), ""]
        if os.path.basename(name) in depicted:
            lines += ["Depicts %s." % depicted[os.path.basename(name)], ""]
        lines += [describe(os.path.join(DATA, relative)) + figures, "",
                  "![Level %d](levels/%s)" % (number, picture), ""]
    # Pictures of levels the game no longer has (renamed or gone) go: the folder is this script's.
    for old in sorted(os.listdir(OUT_DIR)):
        if old.endswith(".png") and old not in pictures:
            os.remove(os.path.join(OUT_DIR, old))
    with open(PAGE, "w") as page:
        page.write("\n".join(lines))
    subprocess.run(wrapper + [binary, "--shot", SCREENSHOT, "--level", str(SCREENSHOT_LEVEL), "--play",
                              str(SCREENSHOT_PLAY_SECONDS)], cwd=DATA, env=env, check=True)
    print("make_level_pictures: wrote %s, %d pictures in %s and %s" % (PAGE, number, OUT_DIR, SCREENSHOT),
          file=sys.stderr)


if __name__ == "__main__":
    main()
