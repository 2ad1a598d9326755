"""An error that escapes a frame once play is under way is reported like a start-up error: the
message exactly, as a line, on standard output, the same line on standard error, and exit status 1; under
the sanitizer build standard error must hold no sanitizer report (a leak on the way out of the
frame would not change the status, only add a report). The trigger is data alone: a
sound set without the block's hit sound "yellow.wav". Without a paddle the ball flies from the
first frame, straight up into a block, and the block's hit asks for the missing sound."""
import pvtest
from pvtest import check

LEVEL = '<level><block sprite="dot" x="168" y="40" width="400" height="20"/></level>'
SCENES = ('<scenes><pellvane_game id="game"><levels><level>one.xml</level></levels><entities>'
          '<ball sprite="dot" x="398" y="400" start_velocity_x="0" start_velocity_y="-150" min_speed="100"'
          ' max_speed="200"/></entities></pellvane_game></scenes>')
MESSAGE = "Sound Exception: yellow.wav: No sound with that ID to play!"

# The minimal sound set holds red.wav and music.ogg only.
work = pvtest.minimal_workdir(pvtest.minimal_config(children=SCENES), extra={"one.xml": LEVEL})
game = pvtest.Game(work)
check(game.find_window() is not None, "the game starts and plays before the ball reaches the block")
status, out, err = game.wait(timeout=60)
check(out == MESSAGE + "\n", "the message exactly, as a line, on standard output (got %r)" % out)
check(MESSAGE + "\n" in err, "the same line on standard error (got %r)" % err)
check("Sanitizer" not in err, "no sanitizer report: nothing leaks or is misused on the way out")
check(status == 1, "exit status 1 (got %r)" % status)

pvtest.finish()
