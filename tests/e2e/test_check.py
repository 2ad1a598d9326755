"""The data tools of the real binary: `--check` on a data directory seeded with twenty-four different
mistakes (each found once, at its exact line and column, in one run), on one that shows where each
kind of finding is placed, and `--shot` pictures of the shipped game. The shipped data's own clean
check is the CTest test check.shipped_data."""
import os
import shutil

import pvtest
from pvtest import check

FIXTURES = os.path.join(pvtest.ROOT, "tests", "fixtures")

# (place, severity, part of the message): one per mistake marked in the fixture's files.
EXPECTED = [
    ("config.xml:5:13", "warning", "no scene has the id 'main'"),
    ("config.xml:6:34", "warning", "'three' is not an integer: lives keeps its default"),
    ("config.xml:16:17", "warning", "paddle speed 0: the paddle cannot move"),
    ("config.xml:17:17", "warning", "faster than its max_speed 400"),
    ("config.xml:19:21", "warning", "unknown element <durration> in <fade> is ignored; did you mean 'duration'?"),
    ("config.xml:21:32", "error", 'Entity Exception: SpriteEntity: Sprite "ghost" not found in sprite manager!'),
    ("config.xml:22:47", "warning", "'False' is neither 'true' nor 'false': visible stays true"),
    ("config.xml:23:72", "error", "Sound Exception: zap.wav: No sound with that ID to play!"),
    ("config.xml:25:9", "warning", "unknown scene type 'menu_scene' is skipped"),
    ("sprites.xml:8:11", "warning", "another sprite with the id 'ball' comes first (sprites.xml:5)"),
    ("sprites.xml:9:3", "warning", "sprite 'spare' is never used"),
    ("sprites.xml:10:21", "error", "Resource Exception: textures/missing.png: File not found!"),
    ("sprites.xml:11:23", "error", "Resource Exception: textures/smudge.png: Decoding error!"),
    ("sounds.xml:6:5", "error", "Sound Exception: boom.wav: SDL_Mixer failed to load file!"),
    ("sounds.xml:7:5", "warning", "sound 'spare.wav' is never played"),
    ("sounds.xml:10:5", "warning", "music 'spare.ogg' is never played: the game plays only 'music.ogg' and the "
                                   "tracks its levels name"),
    ("config.xml:12:24", "error", "Sound Exception: nope.ogg: No music with that ID to play!"),
    ("levels/02_blocks.xml:3:39", "warning", "unknown attribute 'helth' on <block> is ignored; did you mean 'health'?"),
    ("levels/02_blocks.xml:4:5", "warning", "block overlaps the block at levels/02_blocks.xml:3:5"),
    ("levels/02_blocks.xml:5:5", "warning", "reaches outside the game area"),
    ("levels/02_blocks.xml:6:5", "warning", "unknown entity type 'blok' is skipped; did you mean 'block'?"),
    ("levels/03_broken.xml:4:1", "error",
     "Scene Exception: pellvane_game: Level file failed to load: levels/03_broken.xml"),
    ("levels/04_stuck.xml:2:1", "warning", "no block of this level can break"),
    ("textures/unused.png", "warning", "no sprite uses this image"),
]


# tests/fixtures/check_places: errors at the attribute, frame, child or element at fault.
PLACES = [
    ("config.xml:4:1", "error", "No sound set defined!"),
    ("config.xml:4:9", "error", "Exception: Invalid batchsize 0: it must be from 1 to 16384!"),
    ("config.xml:4:23", "error", "Exception: Invalid max_fps -5: it must be 0 (no cap) or more!"),
    ("config.xml:5:41", "warning", "make a single frame only when all four are given"),
    ("config.xml:9:9", "warning", "the <frame> elements are ignored"),
    ("config.xml:13:22", "error", "Sprite Exception: frames: Attribute query failed on y on frame: 1"),
    ("config.xml:17:9", "error", "Exception: TextureRegion supplied with invalid dimensions!"),
    ("config.xml:20:32", "error", "Scene Exception: empty: No entities element or entities defined!"),
    ("config.xml:23:17", "error", "Scene Exception: pellvane_game: Level element has no file name!"),
    ("config.xml:24:17", "error", "Level file had no root level elementlevels/empty.xml"),
    ("config.xml:28:17", "error", "Entity Exception: PellvanePaddleEntity: No ball found in scene!"),
    ("config.xml:28:39", "warning", "'abc' is not a number: ball_height keeps its default"),
    ("config.xml:28:57", "error", "PellvanePaddleEntity: speed 1e40 is out of range: it must be from 0 to 100000!"),
    ("config.xml:29:17", "error", "Entity Exception: NumberCounterEntity: Number sprite not defined!"),
    ("config.xml:31:26", "error", 'Sprite "zz" not found in sprite manager!'),
    ("config.xml:32:41", "error", "either RGB or RGBA:fff"),
    ("config.xml:35:30", "warning", "no event 'PELLVANE_GAME_STARTD' is ever raised on a scene; did you mean "
                                    "'PELLVANE_GAME_STARTED'?"),
    ("config.xml:37:21", "warning", "only the first <pulse> in <fade> is read; this one is ignored"),
    ("config.xml:39:46", "error", "SpriteEntity: x 1e999 is out of range: it must be from -100000 to 100000!"),
    ("config.xml:39:56", "error", "layer 99999999999 is out of range: it must be from -1000000 to 1000000!"),
    ("config.xml:39:76", "warning", "colour '12zz56' is not all hexadecimal digits: only '12' is read"),
    ("config.xml:40:42", "error", "box height -2: a colliding box cannot have a negative size"),
    ("config.xml:41:17", "error", "GradientEntity: Gradient stop rows must increase from 0 to the height less 1 (3): "
                                  "row 1 after row 2!"),
    ("config.xml:43:24", "warning", "'many' is not an integer: max_balls keeps its default"),
    ("config.xml:43:41", "error", 'Scene Exception: pellvane_game: Sprite "away" not found in sprite manager!'),
    ("config.xml:44:17", "error", 'Unknown power-up kind "huge" (wide, narrow, multi, slow, sticky, life or laser)!'),
    ("config.xml:45:39", "error", 'Scene Exception: pellvane_game: Sprite "gone" not found in sprite manager!'),
    ("config.xml:46:17", "error", 'Scene Exception: pellvane_game: No shot_sprite for the power-up "laser"!'),
    ("levels/sizes.xml:1:8", "warning", "'fast' is not a number: ball_speed keeps its default"),
    ("levels/sizes.xml:1:26", "error",
     "Level file levels/sizes.xml: paddle_width 0 is out of range: it must be from 0.05 to 10!"),
    ("levels/sizes.xml:4:5", "error", 'PellvaneBlockEntity: Unknown power-up kind "giant"'),
    ("levels/sizes.xml:5:34", "warning", "'yes' is neither 'true' nor 'false': unbreakable stays false"),
    ("levels/sizes.xml:2:33", "error", "block width -4: a colliding box cannot have a negative size"),
    ("levels/sizes.xml:3:34", "warning", "block height 0: the box is drawn as nothing but still collides"),
]

run = pvtest.run_tool


def check_findings(work, expected, what):
    """Runs --check in `work`: status 1, and exactly the expected findings besides notes."""
    status, out, err = run(["--check"], work)
    findings = [line for line in out.splitlines() if ": note: " not in line]
    check(status == 1, "%s: errors give status 1 (got %r)" % (what, status))
    check(len(findings) == len(expected), "%s: %d findings, %d expected:\n%s" % (what, len(findings), len(expected),
                                                                                 out))
    for place, severity, text in expected:
        prefix = "%s: %s: " % (place, severity)
        check(any(line.startswith(prefix) and text in line for line in findings), "%s: %s%s" % (what, prefix, text))
    return out, err

# The seeded directory: the fixture's XML, two generated images, one that is no image, and copies
# of shipped sounds.
work = pvtest.make_workdir({"textures/pieces.png": pvtest.png_bytes(64, 64),
                           "textures/unused.png": pvtest.png_bytes(4, 4, "red"),
                           "textures/smudge.png": b"not a PNG"})
shutil.copytree(os.path.join(FIXTURES, "check_mistakes"), work, dirs_exist_ok=True)
os.makedirs(os.path.join(work, "sounds"))
for name, copy in (("red.wav", "red.wav"), ("orange.wav", "orange.wav"), ("yellow.wav", "yellow.wav"),
                   ("music.ogg", "music.ogg"), ("red.wav", "spare.wav"),
                   ("music.ogg", "deep.ogg"), ("music.ogg", "spare.ogg")):
    shutil.copy(os.path.join(pvtest.ROOT, "data", "sounds", name), os.path.join(work, "sounds", copy))

out, err = check_findings(work, EXPECTED, "twenty-four mistakes")
check("levels/03_broken.xml:4:1: note: TinyXML: " in out, "a file that does not parse has TinyXML's reason")
check("7 errors, 17 warnings" in err, "the totals on standard error (%r)" % err)
shutil.rmtree(work, ignore_errors=True)

work = pvtest.make_workdir({"tex.png": pvtest.png_bytes(64, 64)})
shutil.copytree(os.path.join(FIXTURES, "check_places"), work, dirs_exist_ok=True)
check_findings(work, PLACES, "places")
shutil.rmtree(work, ignore_errors=True)

# Warnings alone pass, unless --strict.
work = pvtest.make_workdir()
shutil.copytree(os.path.join(pvtest.ROOT, "data"), work, dirs_exist_ok=True)
with open(os.path.join(work, "levels", "01_first_light.xml")) as level:
    text = level.read()
with open(os.path.join(work, "levels", "01_first_light.xml"), "w") as level:
    level.write(text.replace('health="', 'helth="', 1))
status, out, _ = run(["--check"], work)
check(status == 0 and "did you mean 'health'?" in out, "a warning alone passes (%r, %r)" % (status, out))
status, _, _ = run(["--data", work, "--check", "--strict"], pvtest.ROOT)
check(status == 1, "with --strict a warning fails, data found with --data (%r)" % status)
status, _, err = run(["--check", "--shot", "x.png"], work)
check(status == 2 and "do not go together" in err, "a bad combination of options exits 2 (%r, %r)" % (status, err))
shutil.rmtree(work, ignore_errors=True)

# A picture of level 3 of the shipped game: its first block, in the colour of its health, and the
# HUD. A relative file name is the caller's, not the data directory's.
import re
config_text = open(os.path.join(pvtest.ROOT, "data", "config.xml")).read()
level_names = re.findall(r"<level(?: [^>]*)?>([^<]+)</level>", config_text)
third = open(os.path.join(pvtest.ROOT, "data", "levels", level_names[2])).read()
first_block = re.search(r'<block sprite="block[^"]*" x="(\d+)" y="(\d+)" width="(\d+)" height="(\d+)" health="(\d)"',
                        third)
bx, by, bw, bh, health = (int(v) for v in first_block.groups())
block_x, block_y = 32 + bx + bw // 2, 64 + by + bh // 2
shots = pvtest.make_workdir()
picture = os.path.join(shots, "level3.png")
data_before = sorted(os.listdir(os.path.join(pvtest.ROOT, "data")))
status, out, err = run(["--data", os.path.join(pvtest.ROOT, "data"), "--shot", "level3.png", "--level", "3"], shots)
check(status == 0 and out == "", "--shot --level 3 succeeds quietly (%r, %r, %r)" % (status, out, err))
check(os.path.isfile(picture) and sorted(os.listdir(os.path.join(pvtest.ROOT, "data"))) == data_before,
      "the picture is written where the command was run, nothing in the data")
tint = pvtest.pixel(picture, block_x, block_y)
# Health 1 to 4: yellow, orange, red, purple.
looks = {1: lambda c: c[0] > 180 and c[1] > 180 and c[2] < 100, 2: lambda c: c[0] > 180 and 60 < c[1] < 180 and c[2] < 80,
         3: lambda c: c[0] > 180 and c[1] < 80 and c[2] < 80, 4: lambda c: c[2] > 150 and c[1] < 150}
check(tint is not None and looks[health](tint), "the first block has its health's colour (%r, %r)" % (health, tint))
check(pvtest.pixel(picture, 400, 300) != tint, "the picture is not one colour")
status, _, err = run(["--shot", picture, "--level", "99"], os.path.join(pvtest.ROOT, "data"))
check(status == 2 and ("the game has %d levels" % len(level_names)) in err, "a level the game does not have exits 2 (%r, %r)" % (status, err))

# The last level cleared: the block just hit is gone, the lap's end is up (its gold banner where
# the configuration puts it) and nothing is written but the picture.
cleared = os.path.join(shots, "cleared.png")
status, out, err = run(["--shot", cleared, "--level", str(len(level_names)), "--clear", "--after", "3"],
                       os.path.join(pvtest.ROOT, "data"))
banner = re.search(r'<fade sprite="all_cleared" x="(\d+)" y="(\d+)"', config_text)
gold = [pvtest.pixel(cleared, int(banner.group(1)) + dx, int(banner.group(2)) + 30) for dx in range(60, 300, 4)]
check(status == 0 and out == "" and sum(1 for c in gold if c and c[0] > 200 and c[1] > 150 and c[2] < 120) > 5,
      "--clear on the last level pictures ALL CLEARED (%r, %r)" % (status, err))
status, _, err = run(["--shot", cleared, "--clear", "--game-over", "10"], os.path.join(pvtest.ROOT, "data"))
check(status == 2 and "do not go together" in err, "--clear and --game-over exit 2 (%r, %r)" % (status, err))

# A level in play: the same picture every time (the capsules too), and only with a game to play.
played = [os.path.join(shots, "played%d.png" % n) for n in (1, 2)]
for path in played:
    status, out, err = run(["--shot", path, "--level", "2", "--play", "3"], os.path.join(pvtest.ROOT, "data"))
    check(status == 0 and out == "", "--shot --play succeeds quietly (%r, %r)" % (status, err))
check(open(played[0], "rb").read() == open(played[1], "rb").read(), "--play pictures the same play every time")
status, _, err = run(["--shot", cleared, "--play", "2", "--clear"], os.path.join(pvtest.ROOT, "data"))
check(status == 2 and "--play goes with neither" in err, "--play and --clear exit 2 (%r, %r)" % (status, err))
shutil.rmtree(shots, ignore_errors=True)

pvtest.finish()
