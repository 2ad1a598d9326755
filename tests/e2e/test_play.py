"""Playing the shipped game with the real binary: the title and the button come up, a click on
the button starts a game (the counters appear), releasing space launches the ball, holding the
right arrow moves the paddle, and Escape ends the run with status 0 and nothing on standard
output. Positions are read from the shipped configuration and sprite set."""
import time

import pvtest
import playview as view
from pvtest import check

work = pvtest.make_workdir(copy_data=True)
game = pvtest.Game(work)
window = game.find_window()
check(window is not None, "a window named PELLVANE! opens with the shipped data")
if window:
    time.sleep(2.5)  # the title and the button have faded in
    start_shot = view.load_pixels(game.screenshot("title.png"))
    button_area = (view.button[2] - view.button[0]) * (view.button[3] - view.button[1])
    glass = len(view.matching(start_shot, view.button, view.is_button_glass))
    check(glass > button_area // 8, "the new-game button is shown (%d of %d pixels)" % (glass, button_area))
    digits = len(view.matching(start_shot, view.HUD_BAND, view.is_digit))
    check(digits < 20, "no counters before the first game (%d bright pixels)" % digits)

    # The click is a real pointer event at the button's centre (the window sits at 0, 0).
    cx, cy = (view.button[0] + view.button[2]) // 2, (view.button[1] + view.button[3]) // 2
    game.xdotool("mousemove", "--window", window, str(cx), str(cy))
    time.sleep(0.1)
    game.xdotool("click", "1")
    time.sleep(1.8)  # past the level's loading delay and the "GET READY"
    play_shot = view.load_pixels(game.screenshot("play.png"))
    digits = len(view.matching(play_shot, view.HUD_BAND, view.is_digit))
    check(digits > 300, "the click started a game: the counters appear (%d bright pixels)" % digits)
    gone = view.changed_fraction(start_shot, play_shot, view.title)
    check(gone > 0.2, "the title was shown and has faded out (%.0f%% of it changed)" % (gone * 100))
    glass = len(view.matching(play_shot, view.button, view.is_button_glass))
    check(glass < button_area // 20, "the button has faded out (%d pixels left)" % glass)

    held = view.centre(view.matching(play_shot, view.field, view.is_ball))
    check(held is not None, "the ball waits on the paddle (%r)" % (held,))

    game.key("space")
    time.sleep(0.3)
    first = view.centre(view.matching(view.load_pixels(game.screenshot("flight1.png")), view.field, view.is_ball))
    time.sleep(0.25)
    second_shot = view.load_pixels(game.screenshot("flight2.png"))
    second = view.centre(view.matching(second_shot, view.field, view.is_ball))
    check(held is not None and first is not None and view.distance(held, first) > 20,
          "releasing space launched the ball (%r -> %r)" % (held, first))
    check(first is not None and second is not None and view.distance(first, second) > 20,
          "the ball keeps moving (%r -> %r)" % (first, second))

    before = view.centre(view.matching(second_shot, view.paddle_band, view.is_paddle))
    game.keydown("Right")
    time.sleep(0.4)
    after = view.centre(view.matching(view.load_pixels(game.screenshot("right.png")), view.paddle_band, view.is_paddle))
    game.keyup("Right")
    check(before is not None and after is not None and after[0] > before[0] + 30,
          "holding the right arrow moves the paddle right (%r -> %r)" % (before, after))
    game.key("Escape")
status, out, err = game.wait()
check(status == 0, "Escape ends the run with status 0 (got %r)" % status)
check(out == "", "nothing on standard output (got %r)" % out)

pvtest.finish()
