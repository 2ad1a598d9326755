#!/usr/bin/env python3
"""The level generator, tools/make_levels.py: the shipped level files are exactly what it writes
from its maps (so a hand edit or a change to the generator that was not rerun shows here), the
levels' page docs/levels.md shows beside each level's picture the note of what its map depicts, and
each of the generator's checks refuses the broken map it exists for, naming the level and the cell.

    test_level_generator.py [pellvane] ROOT    (the binary is not used)
"""
import importlib.util
import os
import sys

ROOT = os.path.abspath(sys.argv[-1])
spec = importlib.util.spec_from_file_location("make_levels", os.path.join(ROOT, "tools", "make_levels.py"))
levels = importlib.util.module_from_spec(spec)
spec.loader.exec_module(levels)

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


# The shipped files, one per map, in order, each as the generator would write it.
written = sorted(name for name in os.listdir(os.path.join(ROOT, "data", "levels")) if name.endswith(".xml"))
expect(len(written) == len(levels.LEVELS), "%d level files for %d maps" % (len(written), len(levels.LEVELS)))
page = open(os.path.join(ROOT, "docs", "levels.md")).read()
for number, (title, grid, depicts, rows) in enumerate(levels.LEVELS, start=1):
    name = "%02d_%s.xml" % (number, title)
    path = os.path.join(ROOT, "data", "levels", name)
    text = levels.level_xml(title, levels.blocks_of(title, grid, rows), levels.difficulty(number, len(levels.LEVELS)))
    expect(os.path.exists(path) and open(path).read() == text, "%s is not what make_levels.py writes" % name)
    # The note stands under the level's heading, before its picture.
    section = "## Level %d: `levels/%s`\n\nDepicts %s.\n" % (number, name, depicts)
    picture = "![Level %d](levels/%02d_%s.png)" % (number, number, title)
    expect(section in page and page.index(section) < page.find(picture),
           "docs/levels.md does not show what level %d (%s) depicts beside its picture" % (number, title))


def refusal(check, *arguments):
    """The message a check exits with, or None when it passes."""
    try:
        check(*arguments)
    except SystemExit as stop:
        return str(stop.code)
    return None


row = "." * 11
plenty = ["22222222222"] * 3  # 33 blocks to break, out in the open
cases = [
    # A block walled in by steel on every side the ball could come from.
    (levels.check_reachable, ("shut", "normal", ["..SSS......", "..S1S......", "..SSS......"] + plenty),
     "shut: row 1 column 3 ('1') cannot be reached"),
    # The same block with its cell below opened is reachable.
    (levels.check_reachable, ("open", "normal", ["..SSS......", "..S1S......", "..S.S......"] + plenty), None),
    (levels.check_count, ("few", ["1111111111."]), "few: 10 breakable blocks, not between 20 and 90"),
    (levels.check_note, ("blank", " "), "blank: no note of what the map depicts"),
    (levels.check_note, ("essay", "a shape " * 20), "essay: the note of what the map depicts is not one line"),
    (levels.check_note, ("noted", "a sailboat"), None),
    (levels.check_shape, ("ragged", "normal", [row, row[:-1]]), "ragged: row 1 has 10 cells, row 0 has 11"),
    (levels.check_shape, ("wide", "normal", ["1" * 12]), "wide: 12 columns do not fit across the area"),
    # 14 rows of 26 px reach past 400 px from a top of 40 px.
    (levels.check_placement, ("low", levels.blocks_of("low", "normal", [row] * 13 + ["1" + row[1:]])),
     "low: row 13 column 0: block reaches 402 px down, below the 400 px limit"),
    # A row of blocks with steel all along beneath it: from the paddle's line every one is out of sight.
    (levels.check_hidden, ("hidden", "normal", ["...........", "11111111111", "SSSSSSSSSSS"]),
     "hidden: 11 blocks are hidden behind steel"),
]
for check, arguments, message in cases:
    got = refusal(check, *arguments)
    if message is None:
        expect(got is None, "%s refused a good map: %s" % (check.__name__, got))
    else:
        expect(got is not None and message in got, "%s: %r is not %r" % (check.__name__, got, message))

# Two blocks placed over each other.
attributes = [("x", "10"), ("y", "10"), ("width", "64"), ("height", "24")]
moved = [("x", "40"), ("y", "20"), ("width", "64"), ("height", "24")]
got = refusal(levels.check_placement, "overlap", [(0, 0, attributes), (0, 1, moved)])
expect(got is not None and "row 0 column 1 overlaps row 0 column 0" in got, "overlap: %r" % got)

# The sight test: through a box, touching its edge only, parallel to it, and stopping short of it.
box = (10, 10, 20, 20)
for segment, inside in [((0, 15, 30, 15), True), ((0, 10, 30, 10), False), ((15, 0, 15, 9), False),
                        ((0, 0, 30, 30), True), ((20, 0, 20, 30), False), ((5, 25, 25, 5), True)]:
    expect(levels.crosses(*segment, box) == inside, "crosses%r is not %s" % (segment, inside))

# The difficulty runs from the first level's values to the last's.
expect(dict(levels.difficulty(1, 32))["ball_speed"] == "%.2f" % levels.FIRST["ball_speed"], "first level's speed")
expect(dict(levels.difficulty(32, 32))["paddle_width"] == "%.2f" % levels.LAST["paddle_width"], "last level's width")

for failure in failures:
    print("FAIL:", failure, file=sys.stderr)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
