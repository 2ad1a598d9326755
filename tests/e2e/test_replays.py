"""Recordings on the real binary with the shipped data. A recording that cannot be played here
(missing, cut short, not a recording, a byte or a header line changed, made on other data) is refused with one line naming the file
and the reason, and status 1. --replay --shot --at writes the picture of that moment of the demo.
Left alone on the title for 20 s, the game plays its demo with DEMO shown; a key gives the title
back at once, and nothing of the demo is kept."""
import os
import shutil

import playview as view
import pvtest
from pvtest import check

# The DEMO label, pink, centred at the top of the field where no level has blocks.
LABEL = (300, 64, 500, 84)


def is_label(p):
    return p[0] > 200 and p[2] > 180 and p[1] < 190


def refused(work, recording, reason):
    status, out, err = pvtest.run_tool(["--replay", recording], work, timeout=30)
    said = [line for line in err.splitlines() if "cannot be replayed" in line]
    check(status == 1 and out == "" and len(said) == 1 and recording in said[0] and reason in said[0],
          "%s is refused: %r (status %r, %r)" % (os.path.basename(recording), reason, status, err))


work = pvtest.make_workdir(copy_data=True)
demo = os.path.join(work, "demo.rec")
with open(demo, "rb") as whole:
    recorded = whole.read()
files = {"cut.rec": recorded[: len(recorded) - 40], "garbage.rec": b"\x00not a recording\n" * 8,
         "damaged.rec": recorded[:-1] + bytes([recorded[-1] ^ 1]),
         "edited.rec": recorded.replace(b"\nscore ", b"\nscore 9", 1)}
for name, contents in files.items():
    with open(os.path.join(work, name), "wb") as out:
        out.write(contents)
refused(work, os.path.join(work, "missing.rec"), "no such file")
refused(work, os.path.join(work, "cut.rec"), "cut short")
refused(work, os.path.join(work, "garbage.rec"), "not a Pellvane recording")
refused(work, os.path.join(work, "damaged.rec"), "damaged")
refused(work, os.path.join(work, "edited.rec"), "damaged")
# The same recording on data with one level changed.
other = pvtest.make_workdir(copy_data=True)
first_level = sorted(os.listdir(os.path.join(other, "levels")))[0]
with open(os.path.join(other, "levels", first_level), "a") as level:
    level.write("\n")
refused(other, demo, "other data")
shutil.rmtree(other, ignore_errors=True)

# A picture of the demo 30 s in: a game in play, the title gone.
status, out, err = pvtest.run_tool(["--replay", demo, "--shot", "at30.png", "--at", "30"], work)
shot = view.load_pixels(os.path.join(work, "at30.png"))
check(status == 0 and len(view.matching(shot, view.paddle_band, view.is_paddle)) > 50 and
      not view.matching(shot, view.button, view.is_button_glass),
      "--replay --shot --at pictures the game in play (status %r, %r)" % (status, err))

# The attract mode.
game = pvtest.Game(work)
if game.find_window():
    shot, label = view.poll(game, "demo.png", lambda s: len(view.matching(s, LABEL, is_label)) > 40, 30)
    check(label, "after 20 idle seconds the demo plays with DEMO shown")
    check(not view.matching(shot, view.button, view.is_button_glass), "the title is gone while the demo plays")
    game.key("x")
    shot, button = view.poll(game, "title.png",
                             lambda s: len(view.matching(s, view.button, view.is_button_glass)) > 200, 5)
    check(button and not view.matching(shot, LABEL, is_label), "a key gives the title back at once")
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and err.count("none yet") == 1,
      "the run ends cleanly, having said once that there is no best score yet (status %r, %r)" % (status, err))
home = os.path.join(work, "data-home", "pellvane")
kept = sorted(os.listdir(home)) if os.path.isdir(home) else []
check(not any(name.endswith(".rec") for name in kept), "nothing of the demo is kept (%r)" % kept)
pvtest.finish()
