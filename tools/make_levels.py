#!/usr/bin/env python3
"""Writes the shipped level files data/levels/NN_name.xml from the block maps below, checks that
every level can be played, and prints a table of what each level holds.

Each level is (name, grid, depicts, map). `depicts` says in a few words what the map's picture
shows, so that a reviewer of a new or redrawn level reads what it is meant to be beside the picture
(tools/make_level_pictures.py puts it in docs/levels.md) and can judge whether it could be read as
something else: no level may show a symbol of hate or an offensive figure.
Each map is a list of rows, one character per grid cell:
    '.'         an empty cell
    '1' .. '4'  a block of that health ("block_hard" at health 4, on either grid)
    'S'         unbreakable steel: never breaks, never counts towards clearing the level
    'X'         an explosive block of health 1: breaking it breaks every block touching it
    w n m s c l a block of health 1 that always releases a capsule: wide, narrow, multi, slow,
                sticky, life
Positions are relative to the top-left corner of the game area (736 x 536 in the shipped scene):
the grid is centred horizontally and starts TOP px below the area's top edge. The "normal" grid
has 64 x 24 cells (11 to a row), the "small" grid 48 x 20 (14 to a row), GAP px apart.

Each level's root also carries its difficulty, eased from the first level to the last: the ball's
speeds and the paddle's width as multiples of the scene's, and the chance that any broken block
releases a random capsule.

Before writing anything the script makes the checks that only a generator can make, from the
maps, and exits non-zero naming the level and the cell when one fails: every row of a map has the
same cells, the level has MIN_BREAKABLE to MAX_BREAKABLE blocks to break, every breakable block can
be reached, and the level's note of what it depicts is one line of at most MAX_NOTE characters.
Reachable means a 4-connected path of empty or breakable cells (steel blocks the way) from the open
space below the grid; the strip above the grid and the side margins count as open only where the
ball has ROOM to pass. At most MAX_HIDDEN blocks of a level may be hidden: out of every straight
path of the ball from the paddle's line, behind steel. Every level file must be in config.xml's
level list. Then the game's own data checker, `pellvane --check --strict`, checks a copy of the data
directory that holds the new level files, as it checks any data author's levels (blocks inside the
game area, apart, far enough above the paddle, ...); when it reports anything the script exits
non-zero with the checker's lines and writes nothing.
The table it prints counts, per level, the breakable blocks, the hits they take (bombs and capsule
blocks take one), steel, hidden blocks, bombs and capsule blocks, and the level's difficulty.

    python3 tools/make_levels.py [--data DIR] [PELLVANE]
        (defaults: data/ and build/pellvane of this repository; `./run.sh levels` runs it)
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
AREA_WIDTH = 736
TOP = 40
GAP = 2
# A margin or strip narrower than this is a wall to the ball: twice its 16 px side, as its
# flight stays at least 15 degrees off the vertical and it needs room to climb a lane.
ROOM = 32

# Per grid: cell size and the sprite of each kind of block.
GRIDS = {
    "normal": {"width": 64, "height": 24, "plain": "block", "hard": "block_hard",
               "steel": "block_steel", "bomb": "block_bomb"},
    "small": {"width": 48, "height": 20, "plain": "block_small", "hard": "block_hard",
              "steel": "block_steel_small", "bomb": "block_bomb_small"},
}
CAPSULES = {"w": "wide", "n": "narrow", "m": "multi", "s": "slow", "c": "sticky", "l": "life"}

# The difficulty eases from the first level's values to the last's.
FIRST = {"ball_speed": 1.0, "paddle_width": 1.1, "capsule_chance": 0.18}
LAST = {"ball_speed": 1.3, "paddle_width": 0.8, "capsule_chance": 0.08}

# A playable level holds this many breakable blocks: fewer is over in seconds, more drags on.
MIN_BREAKABLE = 20
MAX_BREAKABLE = 90

# The paddle's top edge below the area's top, where every return starts, and the ball's radius.
PADDLE_TOP = 496
BALL_RADIUS = 8
# Blocks that no straight path of the ball from the paddle's line can reach past the steel are
# found only by bounces: after a long flight the ball is turned straight at the nearest block,
# which for these means into the steel. In play-throughs, levels with many of them kept the ball
# flying for minutes without a hit.
MAX_HIDDEN = 4
# A note on what a map depicts is a phrase that fits beside its picture, not a paragraph.
MAX_NOTE = 100

LEVELS = [
    # A gentle start: one-hit blocks and a wide paddle waiting in the middle one.
    ("first_light", "normal", "a flat diamond of one-hit blocks under an orange brow", [
        "...........",
        "...........",
        "...........",
        "...22222...",
        "..1111111..",
        ".1111w1111.",
        "..1111111..",
        "...11111...",
    ]),
    ("step_pyramid", "small", "a stepped pyramid standing on its split lowest courses", [
        "..............",
        "..............",
        "......22......",
        ".....1111.....",
        "....112211....",
        "...111mm111...",
        "..1111111111..",
        ".111.1111.111.",
        "11..11..11..11",
    ]),
    ("butterfly", "small", "a butterfly with raised wings, its red wing tips in the top corners", [
        "3............3",
        "21..........12",
        ".211......112.",
        ".1111.11.1111.",
        "..111s11c111..",
        "...11.11.11...",
        "......11......",
        "..111....111..",
        "...11....11...",
    ]),
    # Bombs first: each one clears the blocks around it.
    ("fireworks", "small", "fireworks: a big burst and four small ones, a bomb at the heart of each", [
        "..............",
        "..1........1..",
        ".111......111.",
        "11X11....11X11",
        ".111......111.",
        "..1...22...1..",
        ".....2112.....",
        "....21XX12....",
        ".....2n12.....",
        "......22......",
        "..1........1..",
        ".1X1......1X1.",
        "..1........1..",
    ]),
    # Steel first: the way up is between the awnings.
    ("shelter", "normal", "two steel awnings with blocks sheltering under them, over a zigzag row", [
        "....333....",
        "SSSS...SSSS",
        "2222.2.2222",
        "1222.2.2221",
        "111w...1111",
        "...........",
        "..2.2.2.2..",
        ".2.2.2.2.2.",
    ]),
    ("islands", "small", "floating islands, two of them moored between steel posts", [
        "..............",
        ".222......222.",
        ".1111....1111.",
        "..............",
        "....S2222S....",
        "....11m111....",
        "..............",
        "..............",
        "222........222",
        "1111......1111",
        "..............",
        "....S2222S....",
        "....11XX11....",
    ]),
    ("heart", "small", "a heart between two sparkles", [
        "..............",
        "..............",
        "...222..222...",
        "..2112222112..",
        "..2111l11112..",
        "...21111112...",
        "....211112....",
        ".....2112.....",
        "......22......",
        "..............",
        "..1........1..",
        ".121......121.",
        "..1........1..",
    ]),
    ("chessboard", "normal", "a chessboard", [
        "...........",
        "2.2.2.2.2.2",
        ".1.1.1.1.1.",
        "2.2.2.2.2.2",
        ".1.1.1.1.1.",
        "2.2.2.2.2.2",
        ".1.1.1.1.1.",
        "3.3.3.3.3.3",
        ".2.2.2.2.2.",
    ]),
    # The gate's top is open, reached round its sides.
    ("gate", "normal", "a steel gate with a narrow door below it, between two walls", [
        ".11.111.11.",
        "22.22222.22",
        "...........",
        "..S.....S..",
        "..S33333S..",
        "..S.2s2.S..",
        "..S.111.S..",
        "..SS...SS..",
        "...........",
        "...........",
        "33.......33",
        "22.......22",
    ]),
    ("crab", "small", "a crab with feelers, bomb eyes and legs, its two pincers below", [
        "..............",
        "...1......1...",
        "....1....1....",
        "...21111112...",
        "..22X2222X22..",
        ".21111c111112.",
        ".2.21111112.2.",
        ".2.2......2.2.",
        "....11..11....",
        "..............",
        "..............",
        "..............",
        "..1111..1111..",
        "..1..1..1..1..",
    ]),
    ("chain_reaction", "small", "two square rings of bombs, each lit by a fuse hanging below it", [
        "..............",
        ".111111111111.",
        ".1XXXX22XXXX1.",
        ".1X22X22X22X1.",
        ".1X22X22X22X1.",
        ".1XXXX22XXXX1.",
        ".1111X22X1111.",
        ".....X..X.....",
        ".....X..X.....",
        "..............",
        "..............",
        "..1m..11..11..",
    ]),
    ("colonnade", "normal", "a colonnade: steel pillars with columns of blocks between them and above", [
        "22.22.22.22",
        "33.33.33.33",
        "22.22.22.22",
        "..S..S..S..",
        "33S33S33S33",
        "22S22S22S22",
        "11S11S11S11",
        "..S..S..S..",
        "...........",
        ".2.......2.",
        ".1.......1.",
    ]),
    ("lanterns", "small", "lanterns hanging from steel beams, a string of two in the middle", [
        ".SSS..SS..SSS.",
        "..1...11...1..",
        "..1...11...1..",
        ".222..11..222.",
        ".2c2..11..2s2.",
        ".222..11..222.",
        "..1..2222..1..",
        "..1..2112..1..",
        "..X..2112..X..",
        ".....2222.....",
        "......11......",
        "......11......",
        ".....2222.....",
        ".....2XX2.....",
        ".....2222.....",
    ]),
    # A breather.
    ("rain", "normal", "raindrops falling from two steel clouds", [
        "..SSS.SSS..",
        "..3.3.3.3..",
        "..1.1.1.1..",
        "1...3.3...1",
        "3..3...3..3",
        "...1.3.1...",
        ".3...1...3.",
        ".1.3...3.1.",
        "...1.3.1...",
        "3....1....3",
        "1.3.....3.1",
        "..1.3.3.1..",
        "....1.1....",
    ]),
    ("chambers", "small", "two chambers walled apart at the top, a small steel one below them", [
        "333333SS333333",
        "22m222SS222222",
        "222222SS222222",
        "..............",
        "..............",
        ".....SSSS.....",
        "22...S22S...22",
        "11...S2XS...11",
        ".....S11S.....",
        "..............",
        "..2222..2222..",
    ]),
    ("crown", "small", "a crown with bombs in its band, over a low arch", [
        "..............",
        ".3....33....3.",
        ".2...2222...2.",
        ".22.222222.22.",
        ".111111111111.",
        ".2X2S2222S2X2.",
        ".222222222222.",
        "..............",
        "..............",
        "...11111111...",
        "..1111111111..",
        "..11......11..",
        "..2........2..",
    ]),
    ("bunkers", "normal", "a steel bunker open underneath, hard blocks under two steel eaves, sandbags below", [
        "...........",
        "SSS.....SSS",
        "...........",
        "444.....444",
        "444.....444",
        "...........",
        "...SSSSS...",
        "...S444S...",
        "...S444S...",
        "...S...S...",
        "2.........2",
        "33.3...3.33",
        "33.3.3.3.33",
    ]),
    ("bullseye", "normal", "a target: rings round a steel pin, the outer one open at the bottom", [
        "...........",
        "..2222222..",
        ".2.......2.",
        "2..33333..2",
        "2.3.....3.2",
        "2.3.1w1.3.2",
        "2.3.1S1.3.2",
        "2.3.111.3.2",
        "2.3.....3.2",
        "2..33333..2",
        ".2.......2.",
        "..222.222..",
    ]),
    ("minefield", "normal", "a minefield: rows of mines with bombs at their cores", [
        "...........",
        "23332323332",
        "3X3.3X3.3X3",
        "23332323332",
        "...........",
        ".3332.2333.",
        ".3X3...3X3.",
        ".3332.2333.",
        "...........",
        "..2X2.2X2..",
        "...........",
        "S.........S",
    ]),
    ("owl", "small", "an owl whose eyes are bombs, with a hard beak", [
        "..............",
        "..2........2..",
        "..2222222222..",
        ".221112331122.",
        ".221X1331X122.",
        ".221112331122.",
        "..2222442222..",
        "..2111441112..",
        "...21111112...",
        "....222222....",
        "....3.33.3....",
    ]),
    # A breather with no steel; the pennant holds a life.
    ("sailboat", "small",
     "a sailboat: a jib and a mainsail on a mast with a pennant, a hull with portholes, over the waves", [
        "......3l......",
        "......32......",
        ".....1322.....",
        "....113222....",
        "....1132222...",
        "...11132222...",
        "...111322222..",
        "......3.......",
        "..2424224242..",
        "...22222222...",
        "..............",
        "11..11..11..11",
    ]),
    ("hourglass", "small", "an hourglass of hard blocks under a steel cap, on two steel feet", [
        "..............",
        "..SSSSSSSSSS..",
        "..4333333334..",
        "...42222224...",
        "....422224....",
        ".....4224.....",
        "......44......",
        ".....4114.....",
        "....41c114....",
        "...41111114...",
        "..4111111114..",
        "..S........S..",
    ]),
    ("vault", "normal", "a steel vault open underneath with a bomb at its heart, guards beside and below it", [
        "...........",
        "..SSSSSSS..",
        "..S.444.S..",
        "3.S43334S.3",
        "3.S43X34S.3",
        "3.S43334S.3",
        "..S44444S..",
        "..S.....S..",
        ".3.3.3.3.3.",
        "4.4.4.4.4.4",
    ]),
    ("circuit", "small", "chips on a board of steel traces, most of them hiding a bomb", [
        "SSSS..SS..SSSS",
        "S333..22..333S",
        "S3X3..22..3X3S",
        "S333..33..333S",
        "..............",
        "..............",
        "SS..S3333S..SS",
        "22..S3XX3S..22",
        "22..S3333S..22",
        "..............",
        "..2222..2222..",
        "..2X22..22X2..",
        "..22s2..2222..",
    ]),
    ("comb", "small", "a comb: short steel teeth split the top rows, hard blocks below them", [
        "S...S....S...S",
        "S222S2222S222S",
        ".333.3333.333.",
        ".444.4444.444.",
        ".222.2222.222.",
        "..............",
        "..............",
        "...22222222...",
    ]),
    ("citadel", "normal", "a walled keep open at the foot, and two towers with steel cores and bombs", [
        "SSSSSSSSSSS",
        "S444444444S",
        "S.4444444.S",
        "S..33333..S",
        "S...222...S",
        "...........",
        "...........",
        ".444...444.",
        ".4S4...4S4.",
        ".4X4...4X4.",
        "...........",
        "3.3.3.3.3.3",
    ]),
    ("cascade", "small", "a staircase of steel ledges, blocks hanging under each step", [
        "SSS...........",
        "444...........",
        "333SSS........",
        "333444........",
        "...333SSS.....",
        "...333444.....",
        "......333SSS..",
        "......333444..",
        ".........333..",
        ".........333..",
        "..............",
        "..22......22..",
        "33..........33",
        "44..........44",
    ]),
    ("lattice", "small", "a lattice of steel pins with a cluster of blocks in every gap", [
        ".............",
        "S..S..S..S..S",
        ".44.44.44.44.",
        ".44.44.44.44.",
        "S..S..S..S..S",
        ".33.33.33.33.",
        ".33.33.33.33.",
        "S..S..S..S..S",
        ".22.22.22.22.",
        ".22.22.22.22.",
        ".............",
        "..33m3.3333..",
    ]),
    ("reactor", "normal", "a reactor: a ring of bombs in hard blocks inside a steel shell, open at the bottom", [
        ".SSSSSSSSS.",
        ".S4444444S.",
        ".S4XXXXX4S.",
        ".S4X444X4S.",
        ".S4XXXXX4S.",
        ".S4444444S.",
        "3SS.....SS3",
        "3.........3",
        "33.......33",
        "22.33333.22",
        "...........",
        "33.33.33.33",
    ]),
    # Every passage is open to the field somewhere.
    ("labyrinth", "small", "a maze of steel walls and lintels", [
        ".444.4444.444.",
        "S444S.33.S444S",
        "S.33S.33.S33.S",
        "S.22SS..SS22.S",
        "..............",
        "SS..SS..SS..SS",
        "33..44..44..33",
        "22..33..33..22",
        "..............",
        ".33..2222..33.",
        ".22........22.",
    ]),
    ("colossus", "small", "a robot's head with steel eyes, and its two fists", [
        "....444444....",
        "...41111114...",
        "..4111111114..",
        "..4.S1111S.4..",
        "..4.X1111X.4..",
        "..4111111114..",
        "..4111111114..",
        "...42X22X24...",
        "....444444....",
        "..............",
        "..22......22..",
        ".22X2....2X22.",
        "..22......22..",
    ]),
    ("last_stand", "normal", "a fortress: hard blocks and bombs under a steel ceiling, steel towers below", [
        "SSSSSSSSSSS",
        "44444444444",
        "4X3333333X4",
        "44S44444S44",
        "44S.3X3.S44",
        "33S.....S33",
        "3.........3",
        "4...4.4...4",
        "4.S.....S.4",
        "...........",
        "..3.4.4.3..",
    ]),
]


def fail(title, message):
    sys.exit("make_levels: %s: %s" % (title, message))


def grid_left(grid, columns):
    """The x of the grid's first column, which centres the grid in the area."""
    span = columns * (GRIDS[grid]["width"] + GAP) - GAP
    return (AREA_WIDTH - span) // 2


def breakable(cell):
    return cell in "1234X" or cell in CAPSULES


def blocks_of(title, grid, rows):
    """The level's blocks as (row, column, attributes) in map order: attributes are name/value
    pairs in the order the file writes them."""
    cells = GRIDS[grid]
    width, height = cells["width"], cells["height"]
    columns = len(rows[0])
    left = grid_left(grid, columns)
    blocks = []
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            if cell == ".":
                continue
            if cell in "1234":
                health = int(cell)
                extra = [("health", str(health))]
                sprite = cells["hard"] if health >= 4 else cells["plain"]
            elif cell == "S":
                sprite, extra = cells["steel"], [("unbreakable", "true")]
            elif cell == "X":
                sprite, extra = cells["bomb"], [("health", "1"), ("explosive", "true")]
            elif cell in CAPSULES:
                sprite, extra = cells["plain"], [("health", "1"), ("capsule", CAPSULES[cell])]
            else:
                fail(title, "row %d column %d: unknown map character %r" % (r, c, cell))
            x = left + c * (width + GAP)
            y = TOP + r * (height + GAP)
            attributes = [("sprite", sprite), ("x", str(x)), ("y", str(y)), ("width", str(width)),
                          ("height", str(height))] + extra
            blocks.append((r, c, attributes))
    return blocks


def check_shape(title, grid, rows):
    if grid not in GRIDS:
        fail(title, "unknown grid %r" % grid)
    columns = len(rows[0])
    for r, row in enumerate(rows):
        if len(row) != columns:
            fail(title, "row %d has %d cells, row 0 has %d" % (r, len(row), columns))


def check_reachable(title, grid, rows):
    """Flood fill from the open space below the grid through empty and breakable cells, never
    through steel; every breakable cell must be reached. The map is framed by one ring of cells:
    the row below is open, the strip above the grid and the side margins only if they are ROOM wide."""
    columns = len(rows[0])
    cells = GRIDS[grid]
    left = grid_left(grid, columns)
    right = AREA_WIDTH - left - (columns * (cells["width"] + GAP) - GAP)
    top_open = TOP >= ROOM
    left_open, right_open = left >= ROOM, right >= ROOM

    def is_open(r, c):
        """Whether the ball can be in framed cell (r, c): rows -1 and len(rows), columns -1 and
        `columns` are the frame."""
        if r == len(rows):
            return True
        if c == -1 and not left_open or c == columns and not right_open:
            return False
        if r == -1:
            return top_open
        if c == -1 or c == columns:
            return True
        return rows[r][c] != "S"

    start = [(len(rows), c) for c in range(-1, columns + 1)]
    seen = set(start)
    while start:
        r, c = start.pop()
        for nr, nc in ((r - 1, c), (r + 1, c), (r, c - 1), (r, c + 1)):
            if -1 <= nr <= len(rows) and -1 <= nc <= columns and (nr, nc) not in seen and is_open(nr, nc):
                seen.add((nr, nc))
                start.append((nr, nc))
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            if breakable(cell) and (r, c) not in seen:
                fail(title, "row %d column %d (%r) cannot be reached: steel shuts it in" % (r, c, cell))


def check_note(title, depicts):
    if not depicts.strip():
        fail(title, "no note of what the map depicts")
    if "\n" in depicts or len(depicts) > MAX_NOTE:
        fail(title, "the note of what the map depicts is not one line of at most %d characters" % MAX_NOTE)


def check_count(title, rows):
    found = sum(1 for row in rows for cell in row if breakable(cell))
    if not MIN_BREAKABLE <= found <= MAX_BREAKABLE:
        fail(title, "%d breakable blocks, not between %d and %d" % (found, MIN_BREAKABLE, MAX_BREAKABLE))


def crosses(x0, y0, x1, y1, box):
    """Whether the segment from (x0, y0) to (x1, y1) passes through the inside of `box` (left,
    top, right, bottom): Liang-Barsky clipping of the segment's parameter to each slab."""
    dx, dy = x1 - x0, y1 - y0
    low, high = 0.0, 1.0
    for p, q in ((-dx, x0 - box[0]), (dx, box[2] - x0), (-dy, y0 - box[1]), (dy, box[3] - y0)):
        if p == 0:
            if q <= 0:
                return False
            continue
        t = q / p
        if p < 0:
            low = max(low, t)
        else:
            high = min(high, t)
        if low >= high:
            return False
    return True


def hidden_cells(grid, rows):
    """The breakable cells that the ball's centre cannot reach in a straight line from any point of
    the paddle's line without touching steel: the path ends where the ball meets the block's bottom
    edge, and each steel box is grown by the ball's radius."""
    cells = GRIDS[grid]
    width, height = cells["width"], cells["height"]
    left = grid_left(grid, len(rows[0]))
    steel, targets = [], []
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            x, y = left + c * (width + GAP), TOP + r * (height + GAP)
            if cell == "S":
                steel.append((x - BALL_RADIUS, y - BALL_RADIUS, x + width + BALL_RADIUS, y + height + BALL_RADIUS))
            elif breakable(cell):
                targets.append((r, c, x + width / 2, y + height + BALL_RADIUS - 1))
    starts = range(BALL_RADIUS, AREA_WIDTH - BALL_RADIUS + 1, BALL_RADIUS)
    return [(r, c) for r, c, x, y in targets
            if not any(not any(crosses(start, PADDLE_TOP, x, y, box) for box in steel) for start in starts)]


def check_hidden(title, grid, rows):
    hidden = hidden_cells(grid, rows)
    if len(hidden) > MAX_HIDDEN:
        fail(title, "%d blocks are hidden behind steel from the whole paddle line (at most %d), the first at row %d "
                    "column %d" % (len(hidden), MAX_HIDDEN, hidden[0][0], hidden[0][1]))
    return len(hidden)


def difficulty(number, count):
    """The root's attributes for level `number` (from 1) of `count`, eased in a straight line."""
    t = (number - 1) / (count - 1) if count > 1 else 0.0
    return [(name, "%.2f" % (FIRST[name] + (LAST[name] - FIRST[name]) * t))
            for name in ("ball_speed", "paddle_width", "capsule_chance")]


def level_xml(title, blocks, root):
    lines = ['<?xml version="1.0"?>',
             "<!-- %s: generated by tools/make_levels.py; edit the map there, not this file. -->" % title,
             "<level %s>" % " ".join('%s="%s"' % pair for pair in root)]
    for _, _, attributes in blocks:
        lines.append("    <block %s/>" % " ".join('%s="%s"' % pair for pair in attributes))
    lines.append("</level>")
    return "\n".join(lines) + "\n"


def summary(rows):
    """Counts of a map: breakable blocks, total hits, steel, bombs, capsules."""
    cells = "".join(rows)
    hits = sum(int(cell) if cell in "1234" else 1 for cell in cells if breakable(cell))
    return (sum(1 for cell in cells if breakable(cell)), hits, cells.count("S"), cells.count("X"),
            sum(1 for cell in cells if cell in CAPSULES))


def check_listed(data, files):
    """Every level file is in the level list of config.xml: the game would not play one that is
    not, nor would the checker look at it."""
    listed = set()
    for levels in ET.parse(os.path.join(data, "config.xml")).getroot().iter("levels"):
        directory = levels.get("directory") or ""
        listed.update(os.path.normpath(os.path.join(directory, (level.text or "").strip()))
                      for level in levels.iter("level"))
    for name, _ in files:
        if os.path.join("levels", name) not in listed:
            sys.exit("make_levels: levels/%s is not in the level list of %s: add it there"
                     % (name, os.path.join(data, "config.xml")))


def write_levels(out, files):
    """Writes the level files into `out`, removing the ones this script wrote before under names it
    no longer uses."""
    os.makedirs(out, exist_ok=True)
    for old in sorted(os.listdir(out)):
        path = os.path.join(out, old)
        if old.endswith(".xml") and old not in dict(files):
            with open(path) as f:
                if "generated by tools/make_levels.py" in f.read():
                    os.remove(path)
    for name, text in files:
        with open(os.path.join(out, name), "w") as f:
            f.write(text)


def check_data(pellvane, data, files):
    """Runs `pellvane --check --strict` on a copy of `data` holding the new level files; exits with
    the checker's lines when it reports anything."""
    if not os.access(pellvane, os.X_OK):
        sys.exit("make_levels: no pellvane binary at %s to check the levels with: build the game first "
                 "(./run.sh levels does) or give its path" % pellvane)
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "data")
        shutil.copytree(data, copy)
        write_levels(os.path.join(copy, "levels"), files)
        done = subprocess.run([pellvane, "--data", copy, "--check", "--strict"], capture_output=True, text=True)
    if done.returncode != 0 or done.stdout.strip():
        sys.exit("make_levels: pellvane --check --strict refuses the levels; nothing is written:\n%s%s"
                 % (done.stdout, done.stderr.rstrip()))


def main(arguments=None):
    parser = argparse.ArgumentParser(description="Writes the shipped level files from their maps.")
    parser.add_argument("--data", default=os.path.join(ROOT, "data"), help="the data directory (default: data/)")
    parser.add_argument("pellvane", nargs="?", default=os.path.join(ROOT, "build", "pellvane"),
                        help="the game binary whose --check checks the levels (default: build/pellvane)")
    options = parser.parse_args(arguments)

    titles = [level[0] for level in LEVELS]
    if len(set(titles)) != len(titles):
        sys.exit("make_levels: two levels share a name")
    files = []
    hidden = {}
    for number, (title, grid, depicts, rows) in enumerate(LEVELS, start=1):
        check_note(title, depicts)
        check_shape(title, grid, rows)
        blocks = blocks_of(title, grid, rows)
        check_reachable(title, grid, rows)
        check_count(title, rows)
        hidden[title] = check_hidden(title, grid, rows)
        name = "%02d_%s.xml" % (number, title)
        files.append((name, level_xml(title, blocks, difficulty(number, len(LEVELS)))))
    check_listed(options.data, files)
    check_data(options.pellvane, options.data, files)
    write_levels(os.path.join(options.data, "levels"), files)

    print("%-3s %-16s %-6s %6s %6s %5s %6s %5s %8s %5s %5s %6s" % (
        "#", "name", "grid", "blocks", "hits", "steel", "hidden", "bombs", "capsules", "speed", "width", "chance"))
    for number, (title, grid, _, rows) in enumerate(LEVELS, start=1):
        count, hits, steel, bombs, capsules = summary(rows)
        root = dict(difficulty(number, len(LEVELS)))
        print("%-3d %-16s %-6s %6d %6d %5d %6d %5d %8d %5s %5s %6s" % (
            number, title, grid, count, hits, steel, hidden[title], bombs, capsules, root["ball_speed"],
            root["paddle_width"], root["capsule_chance"]))


if __name__ == "__main__":
    main()
