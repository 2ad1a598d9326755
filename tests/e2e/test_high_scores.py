"""The high scores on the real binary with the shipped data and no life in reserve: a game over
with a new high score opens the initials entry, the keys typed with xdotool (M among them, which
types a letter there instead of silencing the game) enter them, the table then shows the game
marked and the file keeps it; the next run reads the table without a word and shows it on the
title in its turn."""
import os
import re
import time

import playview as view
import pvtest
from pvtest import check

scene = view.scene
banner = view.box_of(next(e for e in scene.iter("fade") if e.get("sprite") == "new_high_score"))
heading = view.box_of(next(e for e in scene.iter("fade") if e.get("sprite") == "high_scores"))
# The first row of the table shown after a game: the initials to the end of the date.
after_game = [t for t in scene.iter("high_score_table")
              if t.find("trigger").get("in") == "PELLVANE_SCORES_SHOWN"][0]
row_top = int(float(after_game.get("y")))
FIRST_ROW = (int(float(after_game.get("x"))), row_top, view.WIDTH - 100, row_top + int(float(after_game.get("row_height"))))


def is_cyan(p):
    return p[2] > 180 and p[1] > 150 and p[0] < 150


def is_gold(p):
    # The row just entered, in its marked colour; the table's other rows are white.
    return p[0] > 200 and p[1] > 180 and p[2] < 150


def is_heading_gold(p):
    return p[0] > 200 and p[1] > 120 and p[2] < 100


work = pvtest.shipped_game_without_lives()
data_home = os.path.join(work, "data-home")
table_file = os.path.join(data_home, "pellvane", "high-scores")
best_file = os.path.join(data_home, "pellvane", "best-score")
sound, audio = pvtest.disk_audio(work)
game = pvtest.Game(work, sound)


def loudness_after(wait):
    return pvtest.loudness_after(audio, wait)


window = game.find_window()
check(window is not None, "the game opens with the shipped data")
entered = ""
if window:
    time.sleep(2)
    # Real pointer moves and clicks (the window sits at 0, 0).
    game.xdotool("mousemove", str((view.button[0] + view.button[2]) // 2), str((view.button[1] + view.button[3]) // 2))
    time.sleep(0.1)
    game.xdotool("click", "1")
    time.sleep(2.5)  # the loading delay
    game.xdotool("mousemove", "40", "300")  # the paddle goes to the far left
    time.sleep(1.0)
    game.xdotool("click", "1")
    # The best score is written at game over, as the entry opens.
    deadline = time.time() + 40
    while not os.path.exists(best_file) and time.time() < deadline and game.proc.poll() is None:
        time.sleep(0.2)
    score = open(best_file).read().strip() if os.path.exists(best_file) else ""
    check(re.fullmatch(r"[1-9][0-9]*", score) is not None, "the game ended with points (%r)" % score)
    shot, shown = view.poll(game, "entry.png", lambda s: len(view.matching(s, banner, is_cyan)) > 1000, 10)
    check(shown, "NEW HIGH SCORE asks for the initials (%d cyan pixels)" % len(view.matching(shot, banner, is_cyan)))
    # The field stays on screen, dimmed under the panels: its yellow blocks do not pass for the table.
    check(len(view.matching(shot, FIRST_ROW, is_gold)) < 50, "the table is not shown yet")
    check(loudness_after(0.6) > 200, "the music plays")
    for key in ("k", "e", "n", "Up", "BackSpace", "m"):
        game.key(key)
        time.sleep(0.15)
    check(loudness_after(0.8) > 200, "M typed an initial and left the sound on")
    game.key("Return")
    deadline = time.time() + 10
    while "KMO" not in entered and time.time() < deadline:
        time.sleep(0.2)
        entered = open(table_file).read() if os.path.exists(table_file) else ""
    check(re.search(r"\nKMO %s 1 \d{4}-\d\d-\d\d\n" % score, entered) is not None,
          "the initials typed, turned and typed over are kept with the score, level and date (%r)" % entered)
    shot, marked = view.poll(game, "table.png", lambda s: len(view.matching(s, FIRST_ROW, is_gold)) > 300, 10)
    check(marked, "the table shows the game entered, marked in gold (%d pixels)"
          % len(view.matching(shot, FIRST_ROW, is_gold)))
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "the run ends cleanly (status %r, output %r)" % (status, out))
check("high scores" not in err, "a missing table is no news (%r)" % err)
stored = sorted(os.path.relpath(os.path.join(d, f), data_home) for d, _, fs in os.walk(data_home) for f in fs)
check(stored == ["pellvane/best-score", "pellvane/best.rec", "pellvane/high-scores", "pellvane/last.rec"],
      "nothing else is written but the game's recording (%r)" % stored)

game = pvtest.Game(work)
window = game.find_window()
if window:
    # The logo's turn is eight seconds; then the table's.
    shot, turned = view.poll(game, "title.png",
                             lambda s: len(view.matching(s, heading, is_heading_gold)) > 1000, 16)
    check(turned, "the title shows the table in its turn (%d gold pixels)"
          % len(view.matching(shot, heading, is_heading_gold)))
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and err == "", "the next run reads the table without a word (status %r, %r)" % (status, err))
check(open(table_file).read() == entered, "and leaves it as it was")

pvtest.finish()
