"""A player with nothing but the keyboard, on the real binary with the shipped data and no ball in
reserve: Space starts a game from the title, M silences it and shows the mute sign, P pauses and
goes on, the arrows steer, Space launches, the game ends, the initials are typed and Space (a
second after the entry opened, as a launch meant for the lost ball must not) enters them without
starting a game, and Space starts the next game from the table. One game serves every check; the pointer is
never moved or clicked."""
import os
import re
import time

import playview as view
import pvtest
from pvtest import check

scene = view.scene
banner = view.box_of(next(e for e in scene.iter("fade") if e.get("sprite") == "new_high_score"))
mute_sign = view.box_of(next(scene.iter("mute_sign")))
after_game = [t for t in scene.iter("high_score_table")
              if t.find("trigger").get("in") == "PELLVANE_SCORES_SHOWN"][0]
row_top = int(float(after_game.get("y")))
FIRST_ROW = (int(float(after_game.get("x"))), row_top, view.WIDTH - 100,
             row_top + int(float(after_game.get("row_height"))))
PAUSED_AREA = (view.paused[2] - view.paused[0]) * (view.paused[3] - view.paused[1])


def is_cyan(p):
    return p[2] > 180 and p[1] > 150 and p[0] < 150


def is_gold(p):
    return p[0] > 200 and p[1] > 180 and p[2] < 150


def is_cross_red(p):
    return p[0] > 170 and p[1] < 110 and p[2] < 110


def counted(shot, box, test):
    return len(view.matching(shot, box, test))


def paddle_x(shot):
    p = view.centre(view.matching(shot, view.paddle_band, view.is_paddle))
    return p[0] if p else None


work = pvtest.shipped_game_without_lives()
data_home = os.path.join(work, "data-home")
table_file = os.path.join(data_home, "pellvane", "high-scores")
game = pvtest.Game(work)

window = game.find_window()
check(window is not None, "the game opens with the shipped data")
if window:
    time.sleep(2)  # NEW GAME fades in
    check(counted(view.shoot(game, "title.png"), mute_sign, is_cross_red) < 5, "no mute sign while there is sound")
    game.key("space")
    shot, started = view.poll(game, "started.png",
                              lambda s: counted(s, view.GAME_HUD_BAND, view.is_digit) > 300, 10)
    check(started, "Space on the title starts a game")
    game.key("m")
    shot, shown = view.poll(game, "muted.png", lambda s: counted(s, mute_sign, is_cross_red) > 20, 5)
    check(shown, "M shows the mute sign (%d red pixels)" % counted(shot, mute_sign, is_cross_red))
    game.key("m")
    shot, gone = view.poll(game, "unmuted.png", lambda s: counted(s, mute_sign, is_cross_red) < 5, 5)
    check(gone, "M again takes it away")

    _, held = view.poll(game, "held.png", lambda s: view.ball_centre(s, view.above_paddle), 15)
    check(held, "the ball waits on the paddle")
    time.sleep(1.2)  # the keys work once the level's loading delay is over
    game.key("p")
    shot, paused = view.poll(game, "paused.png",
                             lambda s: counted(s, view.paused, view.is_button_glass) > PAUSED_AREA // 10, 5)
    check(paused, "P pauses")
    game.key("p")
    shot, resumed = view.poll(game, "resumed.png", lambda s: counted(s, view.paused, view.is_button_glass) < 20, 5)
    check(resumed, "P goes on")
    start = paddle_x(shot)
    game.keydown("Left")
    time.sleep(1.5)
    game.keyup("Left")
    shot = view.shoot(game, "left.png")
    check(start and paddle_x(shot) and paddle_x(shot) < start - 100 and paddle_x(shot) < 150,
          "Left steers the paddle to the left wall (%r -> %r)" % (start, paddle_x(shot)))
    held = view.ball_centre(shot, view.above_paddle)
    game.key("space")
    shot, flying = view.poll(game, "launch.png",
                             lambda s: (b := view.ball_centre(s)) and held and view.distance(b, held) > 20, 5)
    check(flying, "Space launches the ball")

    # The paddle stays at the wall: the ball is lost before long, and the game with it.
    shot, asked = view.poll(game, "entry.png", lambda s: counted(s, banner, is_cyan) > 1000, 45)
    check(asked, "the game ends and NEW HIGH SCORE asks for the initials")
    for key in ("k", "b", "d"):
        game.key(key)
        time.sleep(0.15)
    time.sleep(1.0)  # the entry's click_delay
    game.key("space")
    entered = ""
    deadline = time.time() + 10
    while "KBD" not in entered and time.time() < deadline:
        time.sleep(0.2)
        entered = open(table_file).read() if os.path.exists(table_file) else ""
    check(re.search(r"\nKBD [1-9][0-9]* 1 ", entered) is not None, "Space enters the typed initials (%r)" % entered)
    shot, marked = view.poll(game, "table.png", lambda s: counted(s, FIRST_ROW, is_gold) > 300, 10)
    check(marked, "the table shows the game entered")
    time.sleep(2.5)  # NEW GAME fades in again
    check(counted(view.shoot(game, "still_table.png"), FIRST_ROW, is_gold) > 300,
          "the Space that entered the initials started no game")
    game.key("space")
    shot, next_game = view.poll(game, "next.png", lambda s: counted(s, FIRST_ROW, is_gold) < 50, 10)
    check(next_game, "Space after the table starts the next game")
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "the run ends cleanly (status %r, output %r)" % (status, out))

pvtest.finish()
