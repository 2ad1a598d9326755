"""What a player expects, on the real binary with the shipped data: the pointer steers the paddle
and a right click launches; P and a lost focus pause (the PAUSED overlay shows, the field stands
still) and P or a click resume; M silences all sound (read back from SDL's disk audio driver); F11
switches to full screen, the picture scaled to the screen with every texture drawn and the pointer
mapped to match, and back. A second run, started in full screen with
no life in reserve and a frame cap of 20, plays to game over: the best score file is written once,
with nothing beside it but the high-score table and the game's recording, which replays to the same
end at 60 and 144 frames a second; the next run reads them without a word."""
import os
import re
import struct
import subprocess
import time
import xml.etree.ElementTree as ET

import playview as view
import pvtest
from pvtest import check

BUTTON_CENTRE = ((view.button[0] + view.button[2]) // 2, (view.button[1] + view.button[3]) // 2)
PAUSED_AREA = (view.paused[2] - view.paused[0]) * (view.paused[3] - view.paused[1])
# Field strips left and right of the pause texts, which pulse while everything else stands still.
STILL_STRIPS = [(view.FIELD[0], view.FIELD[1], view.paused[0] - 8, view.FIELD[3]),
                (view.paused[2] + 8, view.FIELD[1], view.FIELD[2], view.FIELD[3])]
# Full screen takes the 1024 x 768 virtual screen, of the view's shape: the picture fills it, 1.28
# times its size.
FULL_SCREEN_CHILD = "1024x768+0+0"
SCALE = 1024 / view.WIDTH


def paused_text(shot):
    return len(view.matching(shot, view.paused, view.is_button_glass))


def paddle_x(shot):
    p = view.centre(view.matching(shot, view.paddle_band, view.is_paddle))
    return p[0] if p else None


def ball(shot):
    return view.ball_centre(shot)


def still(a, b):
    return max(view.changed_fraction(a, b, strip) for strip in STILL_STRIPS)


def window_tree():
    """The lines of the game's windows in the server's window tree, with their geometry."""
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    return "\n".join(line for line in tree.splitlines() if pvtest.WINDOW_NAME in line)


def screen_shot(game, name):
    """The whole screen brought back to the view's size, read into pixels."""
    path = os.path.join(game.workdir, name)
    subprocess.run(["import", "-window", "root", path], capture_output=True, timeout=view.TOOL_TIMEOUT)
    subprocess.run(["convert", path, "-resize", "%dx%d!" % (view.WIDTH, view.HEIGHT), path], capture_output=True,
                   timeout=view.TOOL_TIMEOUT)
    return view.load_pixels(path)


def start_game(game, scale=1.0):
    """Clicks the new-game button with the real pointer, the view drawn `scale` times its size."""
    game.xdotool("mousemove", str(round(BUTTON_CENTRE[0] * scale)), str(round(BUTTON_CENTRE[1] * scale)))
    time.sleep(0.1)
    game.xdotool("click", "1")


def configured(work, **attributes):
    """Sets attributes of config (plain names) and of the game scene (scene_ names) in work's copy."""
    path = os.path.join(work, "config.xml")
    tree = ET.parse(path)
    for name, value in attributes.items():
        element = tree.getroot().find("scenes/pellvane_game") if name.startswith("scene_") else tree.getroot()
        element.set(name.replace("scene_", ""), value)
    tree.write(path)


# ---- Run A: pointer, pause, focus, mute, full screen ------------------------------------------
work = pvtest.make_workdir(copy_data=True)
data_home = os.path.join(work, "data-home")
os.makedirs(os.path.join(data_home, "pellvane"))
with open(os.path.join(data_home, "pellvane", "best-score"), "w") as corrupt:
    corrupt.write("lots\n")
sound, audio = pvtest.disk_audio(work)
game = pvtest.Game(work, sound)


def loudness_after(wait):
    return pvtest.loudness_after(audio, wait)


window = game.find_window()
check(window is not None, "the game opens with the shipped data")
if window:
    time.sleep(2.5)  # the music's fade-in
    check(loudness_after(0.6) > 200, "the music plays")
    game.key("m")
    time.sleep(0.3)
    check(loudness_after(0.6) == 0, "M silences everything")
    game.key("m")
    time.sleep(0.3)
    check(loudness_after(0.6) > 200, "M again brings the sound back")
    game.key("p")
    time.sleep(0.6)
    check(paused_text(view.shoot(game, "title.png")) < 20, "P does not pause the title screen")

    start_game(game)
    _, started = view.poll(game, "started.png",
                           lambda s: len(view.matching(s, view.GAME_HUD_BAND, view.is_digit)) > 300, 15)
    check(started, "a click on the button starts a game")
    # The level's loading delay: the ball waits on the paddle once it is over.
    _, held = view.poll(game, "held.png", lambda s: view.ball_centre(s, view.above_paddle), 15)
    subprocess.run(["xdotool", "windowunmap", "--sync", window], capture_output=True)
    subprocess.run(["xdotool", "windowmap", "--sync", window], capture_output=True)
    shot, shown = view.poll(game, "unfocused.png", lambda s: paused_text(s) > PAUSED_AREA // 10, 5)
    check(shown, "hiding the window pauses the game (%d pixels)" % paused_text(shot))
    game.xdotool("click", "1")
    shot, gone = view.poll(game, "clicked.png", lambda s: paused_text(s) < 20, 5)
    check(gone, "a click resumes (%d pixels)" % paused_text(shot))
    time.sleep(0.3)
    now = view.ball_centre(view.shoot(game, "still_held.png"), view.above_paddle)
    check(held and now and view.distance(held, now) < 4, "that click launched nothing (%r, %r)" % (held, now))
    for target in (150, 650):
        # The pointer steers once the level is in play; until then a move changes nothing, so the
        # pointer is moved again until the paddle is there, or the time is up.
        def steered(shot):
            x = paddle_x(shot)
            if x and abs(x - target) < 12:
                return x
            game.xdotool("mousemove", "--window", window, str(target + 1), "300")
            game.xdotool("mousemove", "--window", window, str(target), "300")
            return None

        shot, x = view.poll(game, "steer.png", steered, 6)
        check(x, "the paddle follows the pointer to x %d (at %r)" % (target, paddle_x(shot)))
    held = view.ball_centre(view.shoot(game, "held.png"), view.above_paddle)
    game.xdotool("click", "3")
    shot, flying = view.poll(game, "launch.png", lambda s: (b := ball(s)) and held and view.distance(b, held) > 20, 5)
    check(flying, "a right click launches the ball (%r -> %r)" % (held, ball(shot)))

    game.key("p")
    shot, shown = view.poll(game, "paused.png", lambda s: paused_text(s) > PAUSED_AREA // 10, 5)
    check(shown, "P pauses: PAUSED shows (%d pixels)" % paused_text(shot))
    time.sleep(0.4)
    first = view.shoot(game, "paused1.png")
    time.sleep(0.6)
    change = still(first, view.shoot(game, "paused2.png"))
    check(change == 0.0, "nothing moves while paused (%.4f of the field changed)" % change)
    game.key("p")
    shot, gone = view.poll(game, "resumed.png", lambda s: paused_text(s) < 20, 5)
    check(gone, "P again resumes: PAUSED goes (%d pixels)" % paused_text(shot))
    time.sleep(1.0)
    change = still(shot, view.shoot(game, "running.png"))
    check(change > 0.0, "the field moves again (%.4f changed; drawing is exact, so still is 0)" % change)


    game.key("F11")
    time.sleep(1.0)
    check(FULL_SCREEN_CHILD in window_tree(), "F11 shows the game on the whole screen (%r)" % window_tree())
    shot = screen_shot(game, "root.png")
    lit = len(view.matching(shot, view.GAME_HUD_BAND, view.is_digit))
    check(lit > 300, "the counters are drawn where the scaled view puts them: no texture was lost (%d pixels)" % lit)

    # The pointer at the screen's x 192 is at the view's 150: the paddle goes there.
    def steered_full(shot):
        x = paddle_x(shot)
        if x and abs(x - 150) < 12:
            return x
        game.xdotool("mousemove", str(round(151 * SCALE)), "384")
        game.xdotool("mousemove", str(round(150 * SCALE)), "384")
        return None

    deadline = time.time() + 6
    x = None
    while not x and time.time() < deadline:
        shot = screen_shot(game, "root.png")
        x = steered_full(shot)
    check(x, "full screen, the paddle goes under the pointer (at %r of the view)" % paddle_x(shot))
    game.key("F11")
    time.sleep(1.0)
    check("800x600" in window_tree() and FULL_SCREEN_CHILD not in window_tree(), "F11 again returns to the window")
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "Escape ends the run cleanly (status %r, output %r)" % (status, out))
# (SDL's disk driver announces itself on standard error too.)
lines = [line for line in err.splitlines() if line.startswith("pellvane:")]
check(len(lines) == 1 and "best-score" in lines[0] and "counted as 0" in lines[0],
      "a corrupt best score file gives one line on standard error (%r)" % err)

# ---- Run B: full screen from the start, a frame cap, game over with the best score ---------------
work = pvtest.make_workdir(copy_data=True)
configured(work, max_fps="20", fullscreen="true", scene_lives="0")
counter = os.path.join(work, "swaps")
shim = pvtest.build_shim("count_swaps")
preload = " ".join(p for p in (shim, pvtest.KEEP_LIBRARIES) if p)
game = pvtest.Game(work, {"LD_PRELOAD": preload, "PELLVANE_SWAP_COUNT": counter})
data_home = os.path.join(work, "data-home")
best_file = os.path.join(data_home, "pellvane", "best-score")


def frames():
    try:
        with open(counter, "rb") as counted:
            return struct.unpack("q", counted.read(8))[0]
    except (OSError, struct.error):
        return 0


window = game.find_window()
check(window is not None, "the game opens in full screen")
if window:
    time.sleep(2)
    check(FULL_SCREEN_CHILD in window_tree(), "fullscreen=\"true\" starts full screen")
    before = frames()
    time.sleep(2)
    drawn = frames() - before
    check(0 < drawn <= 2 * 20 + 3, "max_fps 20 holds the frame rate (%d frames in 2 s)" % drawn)
    start_game(game, SCALE)
    time.sleep(2.5)  # the loading delay at 20 frames a second
    game.xdotool("mousemove", str(round(40 * SCALE)), "384")  # the paddle goes to the far left
    time.sleep(1.5)
    game.xdotool("click", "1")
    deadline = time.time() + 25
    while not os.path.exists(best_file) and time.time() < deadline and game.proc.poll() is None:
        time.sleep(0.2)
    written = open(best_file).read() if os.path.exists(best_file) else ""
    check(re.fullmatch(r"[1-9][0-9]*\n", written) is not None,
          "game over writes the score that beat the empty best (%r)" % written)
    game.key("Escape")  # quitting during the initials entry keeps the game in the table
    status, out, err = game.wait()
    stored = sorted(os.path.relpath(os.path.join(d, f), data_home) for d, _, fs in os.walk(data_home) for f in fs)
    check(stored == ["pellvane/best-score", "pellvane/best.rec", "pellvane/high-scores", "pellvane/last.rec"],
          "nothing else is written beside the table and the game's recording, as the last and the best (%r)"
          % stored)
    # The game played with the mouse at 20 frames a second plays back the same at other caps.
    recording = os.path.join(data_home, "pellvane", "last.rec")
    for cap in ("60", "144"):
        replayed = pvtest.run_tool(["--replay", recording, "--max-fps", cap], work, timeout=90)
        check(replayed[0] == 0 and "ended as recorded" in replayed[2],
              "the recorded game replays to the recorded end at %s frames a second (%r)" % (cap, replayed))
else:
    status, out, err = game.wait()
check(status == 0, "the full-screen run ends cleanly (status %r)" % status)
check("none yet" in err and err.count("\n") == 1, "a first run says once that there is no best yet (%r)" % err)

# ---- Run C: the score written above is read back without a word ---------------------------------
game = pvtest.Game(work)
window = game.find_window()
if window:
    time.sleep(1)
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and err == "", "a good best score file is read silently (status %r, %r)" % (status, err))
check(open(best_file).read() == written, "and left as it was")

pvtest.finish()
