"""The mix keeps its headroom in the loudest play there is: the real binary plays the shipped game,
music and all, with every block holding a "multi" capsule and a paddle as wide as the field, so
that balls multiply and none is lost; SDL's disk audio driver records everything the mixer puts
out, and no 50 ms span of it may reach full scale. Also a tool: a third argument gives the seconds
to record (20 by default), and the figures are printed for the record.
    test_mix_headroom.py BINARY ROOT [SECONDS]"""
import array
import math
import os
import re
import subprocess
import sys
import time

import playview as view
import pvtest
from pvtest import check

SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 20.0
RATE = 44100
# A span is clipped when any sample in it sits at full scale: the mixer saturates there.
SPAN_FRAMES = RATE * 50 // 1000
FULL_SCALE = 32767
# Wide enough to cover the field (the paddle's picture is 112 pixels).
PADDLE_WIDTH = "6.5"


def multi_ball_data(work):
    """Every block of every level holds a "multi" capsule, and every paddle spans the field."""
    levels = os.path.join(work, "levels")
    for name in os.listdir(levels):
        path = os.path.join(levels, name)
        with open(path) as f:
            text = f.read()
        text = re.sub(r' capsule="[a-z]+"', "", text)
        text = text.replace("<block ", '<block capsule="multi" ')
        text = re.sub(r' paddle_width="[0-9.]+"', "", text).replace("<level ", '<level paddle_width="%s" ' %
                                                                   PADDLE_WIDTH)
        with open(path, "w") as f:
            f.write(text)


def spans(audio):
    """The recording's 50 ms spans of interleaved stereo samples: (peak, RMS in dB of full scale)."""
    samples = array.array("h")
    with open(audio, "rb") as raw:
        data = raw.read()
    samples.frombytes(data[:len(data) // 2 * 2])
    if sys.byteorder != "little":
        samples.byteswap()
    step = SPAN_FRAMES * 2
    found = []
    for start in range(0, len(samples) - step + 1, step):
        span = samples[start:start + step]
        peak = max(max(span), -min(span))
        rms = math.sqrt(sum(s * s for s in span[::8]) / (step // 8)) / 32768.0
        found.append((peak, 20 * math.log10(rms) if rms > 0 else -120.0))
    return found


def balls(shot):
    """How many balls the field shows: round, filled bright blobs of a ball's size (a capsule's
    letter is as bright, but hollow; its highlight is a flat bar)."""
    count = 0
    for blob in view.blobs(view.matching(shot, view.field, view.is_ball)):
        width = max(p[0] for p in blob) - min(p[0] for p in blob) + 1
        height = max(p[1] for p in blob) - min(p[1] for p in blob) + 1
        count += 1 if 6 <= width <= 24 and abs(width - height) <= 3 and len(blob) >= 0.7 * width * height else 0
    return count


work = pvtest.make_workdir(copy_data=True)
multi_ball_data(work)
sound, audio = pvtest.disk_audio(work)
# One buffer of 1024 frames lasts 23 ms: the recording keeps pace with the game.
sound["SDL_DISKAUDIODELAY"] = "23"
game = pvtest.Game(work, sound)
window = game.find_window()
check(window is not None, "the game opens with every block holding a multi-ball capsule")
most_balls = 0
if window:
    view.poll(game, "title.png", lambda s: len(view.matching(s, view.button, view.is_button_glass)) > 400, 30)
    cx, cy = (view.button[0] + view.button[2]) // 2, (view.button[1] + view.button[3]) // 2
    game.xdotool("mousemove", str(cx), str(cy))
    time.sleep(0.1)
    game.xdotool("click", "1")
    time.sleep(0.5)
    # The pointer stays mid-field, where the paddle spans everything; a click now and then launches a
    # ball waiting on it (or catches one, which the next click launches).
    game.xdotool("mousemove", "400", "450")
    end = time.time() + SECONDS
    next_shot = time.time() + 3
    while time.time() < end and game.proc.poll() is None:
        game.xdotool("click", "1")
        time.sleep(0.7)
        if time.time() >= next_shot:
            most_balls = max(most_balls, balls(view.shoot(game, "play.png")))
            next_shot = time.time() + 3
    game.key("Escape")
    status, out, err = game.wait()
    check(status == 0, "the game ends with status 0 (%r)" % status)

    found = spans(audio)
    clipped = sum(1 for peak, _ in found if peak >= FULL_SCALE)
    loud = sorted(found)[-1] if found else (0, -120.0)
    busiest = max((rms for _, rms in found), default=-120.0)
    print("recorded %.1f s in %d spans of 50 ms: %d clipped, peak %d (%.2f dB), loudest span %.1f dB RMS, "
          "most balls seen %d" % (len(found) * 0.05, len(found), clipped, loud[0],
                                  20 * math.log10(max(loud[0], 1) / 32768.0), busiest, most_balls), flush=True)
    check(len(found) * 0.05 > SECONDS * 0.8, "the mix was recorded throughout (%.1f s)" % (len(found) * 0.05))
    check(most_balls >= 3, "several balls were in play at once (%d seen)" % most_balls)
    check(busiest > -30.0, "the play was heard: the loudest span is %.1f dB RMS" % busiest)
    check(clipped == 0, "no 50 ms span reaches full scale (%d do)" % clipped)
pvtest.finish()
