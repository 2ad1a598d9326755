"""Playing the shipped game with the real binary: the title and the button come up, a click on
the button starts a game (the counters appear), releasing space launches the ball, holding the
right arrow moves the paddle, and Escape ends the run with status 0 and nothing on standard
output. Positions are read from the shipped configuration and sprite set. Each step waits for
what it expects up to a deadline, so a slow machine only makes the run longer."""
import time

import playview as view
import pvtest
from pvtest import check

BUTTON_AREA = (view.button[2] - view.button[0]) * (view.button[3] - view.button[1])


def glass(shot):
    return len(view.matching(shot, view.button, view.is_button_glass))


def digits(shot, band=view.GAME_HUD_BAND):
    return len(view.matching(shot, band, view.is_digit))


def ball(shot):
    return view.ball_centre(shot)


def on_paddle(position):
    """A ball just above the paddle: the "GET READY" text, bright too, is higher up."""
    return position is not None and position[1] > view.paddle[1] - 40


def paddle(shot):
    return view.centre(view.matching(shot, view.paddle_band, view.is_paddle))


work = pvtest.make_workdir(copy_data=True)
game = pvtest.Game(work)
window = game.find_window()
check(window is not None, "a window named PELLVANE! opens with the shipped data")
if window:
    # The title fades in with the scene's start; the button follows after its delay.
    start_shot, shown = view.poll(game, "title.png", lambda s: glass(s) > BUTTON_AREA // 8, 30)
    check(shown, "the new-game button is shown (%d of %d pixels)" % (glass(start_shot), BUTTON_AREA))
    time.sleep(0.5)  # the title has finished its fade-in too
    start_shot = view.shoot(game, "title.png")
    check(digits(start_shot) < 20, "no game counters before the first game (%d bright pixels)" % digits(start_shot))
    check(digits(start_shot, view.BEST_BAND) > 300, "the best score shows from the start (%d bright pixels)" %
          digits(start_shot, view.BEST_BAND))

    # A real pointer click at the button's centre (the window sits at 0, 0).
    cx, cy = (view.button[0] + view.button[2]) // 2, (view.button[1] + view.button[3]) // 2
    game.xdotool("mousemove", "--window", window, str(cx), str(cy))
    time.sleep(0.1)
    game.xdotool("click", "1")
    play_shot, started = view.poll(game, "play.png", lambda s: digits(s) > 300, 15)
    check(started, "the click started a game: the counters appear (%d bright pixels)" % digits(play_shot))
    # The level's loading delay, and the "GET READY" fades away: wait for what it shows.
    play_shot, faded = view.poll(game, "play.png", lambda s: view.changed_fraction(start_shot, s, view.title) > 0.2
                                 and glass(s) < BUTTON_AREA // 20 and view.ball_centre(s, view.above_paddle), 15)
    gone = view.changed_fraction(start_shot, play_shot, view.title)
    check(gone > 0.2, "the title was shown and has faded out (%.0f%% of it changed)" % (gone * 100))
    check(glass(play_shot) < BUTTON_AREA // 20, "the button has faded out (%d pixels left)" % glass(play_shot))

    held = view.ball_centre(play_shot, view.above_paddle)
    check(on_paddle(held), "the ball waits on the paddle (%r)" % (held,))
    if on_paddle(held):
        # Space is taken once the level is in play; until then a release changes nothing, so it
        # is released again until the ball leaves, or the time is up.
        def launched(shot):
            moved = (b := ball(shot)) and view.distance(b, held) > 20 and b
            if not moved:
                game.key("space")
            return moved

        first_shot, first = view.poll(game, "flight1.png", launched, 10)
        check(first, "releasing space launched the ball (%r -> %r)" % (held, ball(first_shot)))
        if first:
            _, second = view.poll(game, "flight2.png",
                                  lambda s: (b := ball(s)) and view.distance(b, first) > 20 and b, 5)
            check(second, "the ball keeps moving (from %r)" % (first,))

    before = paddle(view.shoot(game, "left.png"))
    check(before is not None, "the paddle is on screen (%r)" % (before,))
    if before is not None:
        game.keydown("Right")
        right_shot, moved = view.poll(game, "right.png", lambda s: (p := paddle(s)) and p[0] > before[0] + 30, 5)
        game.keyup("Right")
        check(moved, "holding the right arrow moves the paddle right (%r -> %r)" % (before, paddle(right_shot)))
    game.key("Escape")
status, out, err = game.wait()
check(status == 0, "Escape ends the run with status 0 (got %r)" % status)
check(out == "", "nothing on standard output (got %r)" % out)

pvtest.finish()
