"""Playing the shipped game with the real binary: the title and the button come up, a click on
the button starts a game (the counters appear), releasing space launches the ball, holding the
right arrow moves the paddle, and Escape ends the run with status 0 and nothing on standard
output. Positions are read from the shipped configuration and sprite set."""
import os
import subprocess
import time
import xml.etree.ElementTree as ET

import pvtest
from pvtest import check

WIDTH, HEIGHT = 800, 600
# The counters sit in the band above the top rail; the field is inside the rails.
HUD_BAND = (0, 0, WIDTH, 46)
FIELD = (40, 64, 760, 556)


def load_pixels(path):
    """The screenshot as a flat RGB byte string, row by row."""
    return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True).stdout


def rgb(data, x, y):
    i = (y * WIDTH + x) * 3
    return data[i], data[i + 1], data[i + 2]


def matching(data, box, test):
    x0, y0, x1, y1 = box
    return [(x, y) for y in range(y0, y1) for x in range(x0, x1) if test(rgb(data, x, y))]


def centre(points):
    if len(points) < 10:
        return None
    return (sum(p[0] for p in points) / len(points), sum(p[1] for p in points) / len(points))


def distance(a, b):
    return ((a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2) ** 0.5


def changed_fraction(a, b, box):
    x0, y0, x1, y1 = box
    total = (x1 - x0) * (y1 - y0)
    changed = sum(1 for y in range(y0, y1) for x in range(x0, x1)
                  if max(abs(p - q) for p, q in zip(rgb(a, x, y), rgb(b, x, y))) > 40)
    return changed / total


# Bright, unsaturated pixels: the ball's highlight in any of its tints. The particles (at most
# the brightness of their start colour) and the tinted blocks never pass.
def is_ball(p):
    return sum(p) > 560 and min(p) > 100


def is_digit(p):
    return sum(p) > 450


def is_button_glass(p):
    return p[2] > 180 and p[1] > 120 and p[0] < 150


def is_paddle(p):
    return sum(p) > 520


data_dir = os.path.join(pvtest.ROOT, "data")
config = ET.parse(os.path.join(data_dir, "config.xml")).getroot()
sprites = {s.get("id"): s for s in ET.parse(os.path.join(data_dir, "sprites.xml")).getroot().iter("sprite")}
scene = config.find("scenes/pellvane_game/entities")


def box_of(element):
    sprite = sprites[element.get("sprite")]
    x, y = int(float(element.get("x"))), int(float(element.get("y")))
    return (x, y, x + int(sprite.get("width")), y + int(sprite.get("height")))


title = box_of(next(e for e in scene.iter("fade") if e.get("sprite") == "title"))
button = box_of(scene.find("new_game_button"))
paddle = box_of(scene.find("paddle"))
paddle_band = (FIELD[0] - 8, paddle[1] + 2, FIELD[2] + 8, paddle[3] - 2)
field = (FIELD[0], FIELD[1], FIELD[2], paddle[1] - 4)

work = pvtest.make_workdir(copy_data=True)
game = pvtest.Game(work)
window = game.find_window()
check(window is not None, "a window named PELLVANE! opens with the shipped data")
if window:
    time.sleep(2.5)  # the title and the button have faded in
    start_shot = load_pixels(game.screenshot("title.png"))
    button_area = (button[2] - button[0]) * (button[3] - button[1])
    glass = len(matching(start_shot, button, is_button_glass))
    check(glass > button_area // 8, "the new-game button is shown (%d of %d pixels)" % (glass, button_area))
    digits = len(matching(start_shot, HUD_BAND, is_digit))
    check(digits < 20, "no counters before the first game (%d bright pixels)" % digits)

    # The click is a real pointer event at the button's centre (the window sits at 0, 0).
    cx, cy = (button[0] + button[2]) // 2, (button[1] + button[3]) // 2
    game.xdotool("mousemove", "--window", window, str(cx), str(cy))
    time.sleep(0.1)
    game.xdotool("click", "1")
    time.sleep(1.8)  # past the level's loading delay and the "GET READY"
    play_shot = load_pixels(game.screenshot("play.png"))
    digits = len(matching(play_shot, HUD_BAND, is_digit))
    check(digits > 300, "the click started a game: the counters appear (%d bright pixels)" % digits)
    gone = changed_fraction(start_shot, play_shot, title)
    check(gone > 0.2, "the title was shown and has faded out (%.0f%% of it changed)" % (gone * 100))
    glass = len(matching(play_shot, button, is_button_glass))
    check(glass < button_area // 20, "the button has faded out (%d pixels left)" % glass)

    held = centre(matching(play_shot, field, is_ball))
    check(held is not None, "the ball waits on the paddle (%r)" % (held,))

    game.key("space")
    time.sleep(0.3)
    first = centre(matching(load_pixels(game.screenshot("flight1.png")), field, is_ball))
    time.sleep(0.25)
    second_shot = load_pixels(game.screenshot("flight2.png"))
    second = centre(matching(second_shot, field, is_ball))
    check(held is not None and first is not None and distance(held, first) > 20,
          "releasing space launched the ball (%r -> %r)" % (held, first))
    check(first is not None and second is not None and distance(first, second) > 20,
          "the ball keeps moving (%r -> %r)" % (first, second))

    before = centre(matching(second_shot, paddle_band, is_paddle))
    game.keydown("Right")
    time.sleep(0.4)
    after = centre(matching(load_pixels(game.screenshot("right.png")), paddle_band, is_paddle))
    game.keyup("Right")
    check(before is not None and after is not None and after[0] > before[0] + 30,
          "holding the right arrow moves the paddle right (%r -> %r)" % (before, after))
    game.key("Escape")
status, out, err = game.wait()
check(status == 0, "Escape ends the run with status 0 (got %r)" % status)
check(out == "", "nothing on standard output (got %r)" % out)

pvtest.finish()
