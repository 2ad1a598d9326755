#!/usr/bin/env python3
"""Writes the shipped level files data/levels/NN_name.xml from the block maps below, checks that
every level can be played, and prints a table of what each level holds.

Each map is a list of rows, one character per grid cell:
    '.'         an empty cell
    '1' .. '4'  a block of that health ("block_hard" at health 4, as on the normal grid)
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

Before writing anything the script checks every level and exits non-zero naming the level and the
cell when one fails: blocks stay inside the area and above LOWEST (room for the ball over the
paddle), never overlap, the level has something to break, and every breakable block can be
reached. Reachable means a 4-connected path of empty or breakable cells (steel blocks the way)
from the open space below the grid; the strip above the grid and the side margins count as open
only where the ball has ROOM to pass.
Run from the repository root:  python3 tools/make_levels.py
"""
import os
import sys

AREA_WIDTH = 736
AREA_HEIGHT = 536
TOP = 40
GAP = 2
# No block may reach lower than this: the paddle's top is about 496 px down and the ball needs
# room to turn above it.
LOWEST = 400
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

LEVELS = [
    # A gentle start: one-hit blocks and a wide paddle waiting in the middle one.
    ("first_light", "normal", [
        "...........",
        "...........",
        "...........",
        "...22222...",
        "..1111111..",
        ".1111w1111.",
        "..1111111..",
        "...11111...",
    ]),
    ("step_pyramid", "small", [
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
    # The red wing tips sit in the top corners.
    ("butterfly", "small", [
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
    ("fireworks", "small", [
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
    # Steel first: a roof with two doors over the blocks at the top.
    ("shelter", "normal", [
        "..2222222..",
        ".111111111.",
        "...........",
        "S...SSS...S",
        ".1111w1111.",
        ".122222221.",
        ".111111111.",
        "...........",
        "..2.2.2.2..",
        ".1.1.1.1.1.",
    ]),
    # Islands on steel rafts, reached from the side.
    ("islands", "small", [
        "..............",
        ".222......222.",
        ".1111....1111.",
        "..............",
        ".....2222.....",
        "....11m111....",
        "......SS......",
        "..............",
        "222........222",
        "1111......1111",
        "S............S",
        ".....2222.....",
        "....11XX11....",
        "......SS......",
    ]),
    ("heart", "small", [
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
    ("chessboard", "normal", [
        "...........",
        "2.2.2.2.2.2",
        ".1.1.1.1.1.",
        "2.2.2.2.2.2",
        ".1.1.1.1.1.",
        "2.2.2.2.2.2",
        ".1.1.1.1.1.",
        "S.3.3.3.3.S",
        ".2.2.2.2.2.",
    ]),
    # A steel cup open at the top: go round it through the side lanes.
    ("gate", "normal", [
        ".111111111.",
        "22222222222",
        "...........",
        ".S.......S.",
        ".S.33333.S.",
        ".S.22s22.S.",
        ".S.11111.S.",
        ".SSS...SSS.",
        "...........",
        "...........",
        "33.......33",
        "11.......11",
    ]),
    ("crab", "small", [
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
    # Two rings of bombs, each lit by a fuse hanging below it.
    ("chain_reaction", "small", [
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
    # Steel shelves with a door at alternate ends: the ball climbs from shelf to shelf.
    ("ledges", "normal", [
        "22222222222",
        "11111111111",
        "...........",
        "SSS.....SSS",
        "333.....333",
        "222.2.2.222",
        "...........",
        "...SSSSS...",
        "...33333...",
        "...22222...",
        "...........",
        "22.......22",
    ]),
    # Lanterns hanging from a steel beam.
    ("lanterns", "small", [
        "SSSSSSSSSSSSSS",
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
    # A breather: drops falling from two steel clouds.
    ("rain", "normal", [
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
    # Chambers of steel, each with a door below.
    ("chambers", "small", [
        "..............",
        ".S3333SS3333S.",
        ".S2222SS2222S.",
        ".S11m1SS1111S.",
        ".S..........S.",
        "..............",
        "11.SSS..SSS.11",
        "22.S222222S.22",
        "11.S2X11X2S.11",
        "22.S222222S.22",
        "11.SS....SS.11",
    ]),
    ("crown", "small", [
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
    # Bunkers open to one side only.
    ("bunkers", "normal", [
        "...........",
        "SSS.....SSS",
        "44S.333.S44",
        "33S.222.S33",
        "22.......22",
        "...........",
        "...SSSSS...",
        "...S444S...",
        "...S222S...",
        "...S...S...",
        "...........",
        "22.......22",
        "11.1.1.1.11",
    ]),
    # Rings around a steel pin, the outer one open at the bottom.
    ("bullseye", "normal", [
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
    ("minefield", "normal", [
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
    # An owl whose eyes are bombs.
    ("owl", "small", [
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
    # A breather: four arms round a steel hub.
    ("pinwheel", "small", [
        "..............",
        "......222222..",
        ".22...22......",
        ".22...22......",
        ".22...22......",
        ".22...22......",
        ".22222SS2222..",
        ".22222SS2222..",
        "......22..22..",
        "......22..2l..",
        "......22..22..",
        "......22..22..",
        "..222222......",
    ]),
    # Sand in a steel hourglass, open at both ends and at the neck.
    ("hourglass", "small", [
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
    # A steel vault open only at the top.
    ("vault", "normal", [
        "33.......33",
        "22SSSSSSS22",
        "..S44444S..",
        "2.S43334S.2",
        "2.S43X34S.2",
        "2.S43334S.2",
        "..S44444S..",
        "..S.....S..",
        "...........",
        "3.3.3.3.3.3",
        "...........",
        ".2.2.2.2.2.",
    ]),
    # Chips on a board of steel traces, each chip hiding a bomb.
    ("circuit", "small", [
        "..............",
        "SSSS..SS..SSSS",
        ".333..22..333.",
        ".3X3..22..3X3.",
        ".333..22..333.",
        "......SS......",
        "..S........S..",
        "SSSS.3333.SSSS",
        ".22..3XX3..22.",
        ".22..3333..22.",
        "..............",
        "...SS....SS...",
        "..2222..2222..",
        "..2X22..22X2..",
        "..22s2..2222..",
    ]),
    # Steel teeth: the blocks between them are reached from below, the top through the middle.
    ("comb", "small", [
        "SSSSSSSSSSSSSS",
        "S444S4444S444S",
        "S333S3333S333S",
        "S333S3333S333S",
        ".222.2222.222.",
        ".222.2222.222.",
        "..............",
        "..............",
        "..............",
        "...22222222...",
    ]),
    # Walls with a gate above and below, and two outworks.
    ("citadel", "normal", [
        "SSSSSSSSSSS",
        "S444444444S",
        "S.3333333.S",
        "S..22222..S",
        "S...111...S",
        "...........",
        "...........",
        ".333...333.",
        ".3S3...3S3.",
        ".3X3...3X3.",
        "...........",
        "2.2.2.2.2.2",
    ]),
    # Ledges stepping down towards the middle.
    ("cascade", "small", [
        "SSS...........",
        "444...........",
        "333SSS........",
        "222444........",
        "...333SSS.....",
        "...222444.....",
        "......333SSS..",
        "......222444..",
        ".........333..",
        ".........222..",
        "..............",
        "..............",
        "22..........22",
        "33..........33",
    ]),
    # A steel lattice: every cell has one way in, some through a neighbour.
    ("lattice", "small", [
        ".............",
        "S..S..S..S..S",
        ".44.44.44.44.",
        ".33.33.33.33.",
        "S..S..S..S..S",
        ".33.33.33.33.",
        ".22.22.22.22.",
        "S..S..S..S..S",
        ".22.22.22.22.",
        ".11.11.11.11.",
        ".............",
        "..33m3.3333..",
    ]),
    # A core of bombs inside hard blocks inside steel.
    ("reactor", "normal", [
        ".SSSSSSSSS.",
        ".S4444444S.",
        ".S4XXXXX4S.",
        ".S4X444X4S.",
        ".S4XXXXX4S.",
        ".S4444444S.",
        "3SSS...SSS3",
        "3.........3",
        "33.......33",
        "22.33333.22",
        "...........",
        "33.33.33.33",
    ]),
    # Corridors behind steel walls whose doors alternate from side to middle.
    ("labyrinth", "small", [
        "33333S44S33333",
        "22222S33S22222",
        "SSS..S33S..SSS",
        "11...S22S...11",
        "11...S22S...11",
        "...SSS..SSS...",
        "..222....222..",
        "..111....111..",
        "S.....SS.....S",
        "S.....33.....S",
        "SS....22....SS",
    ]),
    # A robot's head with steel eyes, and its fists.
    ("colossus", "small", [
        "....444444....",
        "...41111114...",
        "..4111111114..",
        "..4SS2222SS4..",
        "..4SX2222XS4..",
        "..4111111114..",
        "..4222222224..",
        "...42X22X24...",
        "....444444....",
        "..............",
        "..22......22..",
        ".22X2....2X22.",
        "..22......22..",
    ]),
    # The last stand: battlements, a bomb-lined keep and a guarded gate.
    ("last_stand", "normal", [
        "SSSSSSSSSSS",
        "44444444444",
        "4X3333333X4",
        "43S33333S34",
        "33S.2X2.S33",
        "22S.....S22",
        "...........",
        "3.S.4.4.S.3",
        "3.S.....S.3",
        "...........",
        "..2.3.3.2..",
        "...........",
        "S.S.....S.S",
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
    if grid_left(grid, columns) < 0:
        fail(title, "%d columns do not fit across the area" % columns)


def check_placement(title, blocks):
    """Every block inside the area and above LOWEST, and no two overlapping."""
    boxes = []
    for r, c, attributes in blocks:
        values = dict(attributes)
        x, y, w, h = (int(values[k]) for k in ("x", "y", "width", "height"))
        if x < 0 or y < 0 or x + w > AREA_WIDTH or y + h > AREA_HEIGHT:
            fail(title, "row %d column %d: block at (%d, %d) leaves the area" % (r, c, x, y))
        if y + h > LOWEST:
            fail(title, "row %d column %d: block reaches %d px down, below the %d px limit" % (r, c, y + h, LOWEST))
        for other_r, other_c, ox, oy, ow, oh in boxes:
            if x < ox + ow and ox < x + w and y < oy + oh and oy < y + h:
                fail(title, "row %d column %d overlaps row %d column %d" % (r, c, other_r, other_c))
        boxes.append((r, c, x, y, w, h))


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
    found = 0
    for r, row in enumerate(rows):
        for c, cell in enumerate(row):
            if breakable(cell):
                found += 1
                if (r, c) not in seen:
                    fail(title, "row %d column %d (%r) cannot be reached: steel shuts it in" % (r, c, cell))
    if found == 0:
        fail(title, "nothing to break")
    if not MIN_BREAKABLE <= found <= MAX_BREAKABLE:
        fail(title, "%d breakable blocks, not between %d and %d" % (found, MIN_BREAKABLE, MAX_BREAKABLE))


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


def main():
    titles = [title for title, _, _ in LEVELS]
    if len(set(titles)) != len(titles):
        sys.exit("make_levels: two levels share a name")
    files = []
    for number, (title, grid, rows) in enumerate(LEVELS, start=1):
        check_shape(title, grid, rows)
        blocks = blocks_of(title, grid, rows)
        check_placement(title, blocks)
        check_reachable(title, grid, rows)
        name = "%02d_%s.xml" % (number, title)
        files.append((name, level_xml(title, blocks, difficulty(number, len(LEVELS)))))

    out = os.path.join("data", "levels")
    os.makedirs(out, exist_ok=True)
    # Level files this script wrote before under names it no longer uses go.
    for old in sorted(os.listdir(out)):
        path = os.path.join(out, old)
        if old.endswith(".xml") and old not in dict(files):
            with open(path) as f:
                if "generated by tools/make_levels.py" in f.read():
                    os.remove(path)
    for name, text in files:
        with open(os.path.join(out, name), "w") as f:
            f.write(text)

    print("%-3s %-16s %-6s %6s %6s %5s %5s %8s %5s %5s %6s" % ("#", "name", "grid", "blocks", "hits", "steel",
                                                               "bombs", "capsules", "speed", "width", "chance"))
    for number, (title, grid, rows) in enumerate(LEVELS, start=1):
        count, hits, steel, bombs, capsules = summary(rows)
        root = dict(difficulty(number, len(LEVELS)))
        print("%-3d %-16s %-6s %6d %6d %5d %5d %8d %5s %5s %6s" % (
            number, title, grid, count, hits, steel, bombs, capsules, root["ball_speed"], root["paddle_width"],
            root["capsule_chance"]))


if __name__ == "__main__":
    main()
