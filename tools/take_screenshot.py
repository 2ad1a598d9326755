#!/usr/bin/env python3
"""Takes the README's screenshot: starts the built game on the shipped data under a virtual X
server, presses the button, launches the ball, keeps the paddle under it for a few seconds and
saves the window as docs/screenshot.png.

    xvfb-run -a -s "-screen 0 1024x768x24" python3 tools/take_screenshot.py build/pellvane .
"""
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import pvtest  # noqa: E402  (reads the binary and the source root from argv)
import playview as support  # noqa: E402

PLAY_SECONDS = 12.0
# After the play time, wait at most this long for the ball to be in flight above the paddle.
FLIGHT_WAIT_SECONDS = 5.0

work = pvtest.make_workdir(copy_data=True)
game = pvtest.Game(work)
window = game.find_window()
if window is None:
    sys.exit("no window")
time.sleep(2.5)
button = support.button
game.xdotool("mousemove", "--window", window, str((button[0] + button[2]) // 2), str((button[1] + button[3]) // 2))
time.sleep(0.1)
game.xdotool("click", "1")
time.sleep(1.8)
game.key("space")
held = None
end = time.time() + PLAY_SECONDS
ball = None
while time.time() < end or (time.time() < end + FLIGHT_WAIT_SECONDS and not (ball and ball[1] < 420)):
    shot = support.load_pixels(game.screenshot("frame.png"))
    ball = support.ball_centre(shot)
    paddle = support.centre(support.matching(shot, support.paddle_band, support.is_paddle))
    wanted = None
    if ball and paddle:
        wanted = "Right" if ball[0] > paddle[0] + 20 else "Left" if ball[0] < paddle[0] - 20 else None
    if wanted != held:
        if held:
            game.keyup(held)
        if wanted:
            game.keydown(wanted)
        held = wanted
    if ball is None or ball[1] > 530:
        game.key("space")  # a lost ball waits on the paddle: launch it again
if held:
    game.keyup(held)
path = game.screenshot("final.png")
target = os.path.join(pvtest.ROOT, "docs", "screenshot.png")
shutil.copyfile(path, target)
game.key("Escape")
game.wait()
print("wrote", target)
