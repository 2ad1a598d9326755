"""Reading the shipped game off screenshots: pixels of a screenshot, the ball, paddle, button and
digit tests, and where the shipped configuration puts the title, the button and the paddle."""
import os
import subprocess
import time
import xml.etree.ElementTree as ET

import pvtest

WIDTH, HEIGHT = 800, 600
# The counters sit in the band above the top rail; the field is inside the rails.
HUD_BAND = (0, 0, WIDTH, 46)
FIELD = (40, 64, 760, 556)


# No single screenshot or conversion may hold a run up for longer than this.
TOOL_TIMEOUT = 20


def load_pixels(path):
    """The screenshot as a flat RGB byte string, row by row; black when it cannot be read."""
    try:
        data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True,
                              timeout=TOOL_TIMEOUT).stdout
    except subprocess.TimeoutExpired:
        data = b""
    return data if len(data) == WIDTH * HEIGHT * 3 else bytes(WIDTH * HEIGHT * 3)


def shoot(game, name):
    """A screenshot of the game's window, read into pixels."""
    path = os.path.join(game.workdir, name)
    try:
        subprocess.run(["import", "-window", game.window, path], capture_output=True, timeout=TOOL_TIMEOUT)
    except subprocess.TimeoutExpired:
        return bytes(WIDTH * HEIGHT * 3)
    return load_pixels(path)


def poll(game, name, accept, timeout):
    """Screenshots until `accept(pixels)` gives a true value or the time is up; returns the last
    screenshot and the last value."""
    deadline = time.time() + timeout
    while True:
        shot = shoot(game, name)
        value = accept(shot)
        if value or time.time() >= deadline or game.proc.poll() is not None:
            return shot, value
        time.sleep(0.1)


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


def blobs(points):
    """The 4-connected groups of `points`, each a list of (x, y)."""
    points = set(points)
    while points:
        blob, todo = [], [points.pop()]
        while todo:
            x, y = todo.pop()
            blob.append((x, y))
            for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if n in points:
                    points.remove(n)
                    todo.append(n)
        yield blob


def ball_centre(shot, box=None):
    """The centre of the ball: the bright blob in the field (or in `box`) no larger than a ball.
    Bright text (the "CLICK TO LAUNCH" hint, "GET READY") mostly makes wider blobs and is left
    out; a single letter can pass, so where the ball is known to be near the paddle, look there."""
    best = None
    for blob in blobs(matching(shot, box or field, is_ball)):
        xs, ys = [p[0] for p in blob], [p[1] for p in blob]
        if max(xs) - min(xs) <= 24 and max(ys) - min(ys) <= 24 and (best is None or len(blob) > len(best)):
            best = blob
    return centre(best or [])


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
paused = box_of(next(e for e in config.find("scenes/pellvane_game/pause_overlay").iter("fade")
                     if e.get("sprite") == "paused"))
# The best score shows from the start at the right of the band; the game's counters come with a game.
best_label = box_of(next(e for e in scene.iter("sprite_entity") if e.get("sprite") == "label_best"))
GAME_HUD_BAND = (0, 0, best_label[0] - 4, HUD_BAND[3])
BEST_BAND = (best_label[0], 0, WIDTH, HUD_BAND[3])
button = box_of(scene.find("new_game_button"))
paddle = box_of(scene.find("paddle"))
paddle_band = (FIELD[0] - 8, paddle[1] + 2, FIELD[2] + 8, paddle[3] - 2)
field = (FIELD[0], FIELD[1], FIELD[2], paddle[1] - 4)
# Where a ball held on the paddle is: just above it, below any text of the field.
above_paddle = (FIELD[0], paddle[1] - 30, FIELD[2], paddle[1] - 4)
