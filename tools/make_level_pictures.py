#!/usr/bin/env python3
"""Regenerates docs/levels.md and a picture of every level of the shipped game (docs/levels/*.png),
each taken by the game itself with `pellvane --shot FILE.png --level N` from data/. Runs under a
virtual X server (xvfb-run) when there is no display. The pictures are the same bytes every time
the data is the same, so only a changed level shows up as a changed picture.

    python3 tools/make_level_pictures.py [path/to/pellvane]     (default: build/pellvane)
"""
import collections
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
OUT_DIR = os.path.join(ROOT, "docs", "levels")
PAGE = os.path.join(ROOT, "docs", "levels.md")


def level_files():
    """The level file names of the game scene, in playing order, as config.xml lists them."""
    config = ET.parse(os.path.join(DATA, "config.xml")).getroot()
    levels = config.find("scenes").find("pellvane_game").find("levels")
    directory = levels.get("directory")
    names = [level.text.strip() for level in levels.findall("level")]
    return [(name, os.path.join(directory, name) if directory is not None else name) for name in names]


def describe(path):
    """A line on the blocks of a level: how many, and how many of each health."""
    healths = collections.Counter(int(block.get("health", "1")) for block in ET.parse(path).getroot().iter("block"))
    parts = ", ".join("%d of health %d" % (healths[h], h) for h in sorted(healths, reverse=True))
    return "%d blocks: %s." % (sum(healths.values()), parts)


def main():
    binary = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "pellvane"))
    env = dict(os.environ, SDL_AUDIODRIVER="dummy")
    wrapper = [] if os.environ.get("DISPLAY") else ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24 -noreset"]
    os.makedirs(OUT_DIR, exist_ok=True)
    lines = ["# The levels", "",
             "Every level of the shipped game as it looks when it starts, taken by the game itself with",
             "`pellvane --shot FILE.png --level N` from `data/`. Regenerate this page and its pictures after",
             "changing a level (or `tools/make_levels.py`) with",
             "",
             "    python3 tools/make_level_pictures.py build/pellvane",
             "",
             "Block positions in a level file are relative to the game area's top-left corner; the data",
             "checker (`pellvane --check`, see [the data format](data-format.md#checking-the-data)) reports blocks",
             "that overlap or leave the area.", ""]
    for number, (name, relative) in enumerate(level_files(), start=1):
        picture = os.path.splitext(os.path.basename(name))[0] + ".png"
        subprocess.run(wrapper + [binary, "--shot", os.path.join(OUT_DIR, picture), "--level", str(number)],
                       cwd=DATA, env=env, check=True)
        lines += ["## Level %d: `%s`" % (number, relative), "", describe(os.path.join(DATA, relative)), "",
                  "![Level %d](levels/%s)" % (number, picture), ""]
    with open(PAGE, "w") as page:
        page.write("\n".join(lines))
    print("make_level_pictures: wrote %s and %d pictures in %s" % (PAGE, number, OUT_DIR), file=sys.stderr)


if __name__ == "__main__":
    main()
