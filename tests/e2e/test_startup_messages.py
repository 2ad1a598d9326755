"""Every start-up message of the data formats, from the real binary: one working directory per
message; each prints exactly its message as one line on standard output, the same line on standard error,
and exits with status 1, with no sanitizer report on standard error (under the sanitizer build a
leak adds a report but leaves a status of 1 as it is). Then the
shipped data starts, also on an audio driver that cannot open, and quits on Escape with 0."""
import os
import shutil

import pvtest
from pvtest import check

SPRITES = pvtest.MINIMAL_SPRITES
workdir = pvtest.minimal_workdir
config = pvtest.minimal_config


CASES = [
    ("malformed config.xml", workdir("<config><scenes></config>"), "Failed to load config file."),
    ("no config element", workdir("<settings/>"), "No config element found in config file."),
    ("no sprites", workdir(config('textures="textures" soundset="sounds.xml"')), "No sprites or spriteset file defined"),
    ("no sound set", workdir(config('textures="textures" spriteset="sprites.xml"')), "No sound set defined!"),
    ("no scenes", workdir(config(children="")), "No scenes defined"),
    ("no valid scenes", workdir(config(children="<scenes><castle/></scenes>")), "No valid scenes created!"),
    ("missing texture", workdir(config(), sprites=SPRITES.replace("dot.png", "gone.png")),
     "Resource Exception: textures/gone.png: File not found!"),
    ("texture that does not decode", workdir(config(), extra={"textures/dot.png": b"\x89PNG\r\n\x1a\nbroken"}),
     "Resource Exception: textures/dot.png: Decoding error!"),
    ("bad region", workdir(config(), sprites=SPRITES.replace('width="4"', 'width="5"')),
     "Exception: TextureRegion supplied with invalid dimensions!"),
    ("sprite set message", workdir(config(), sprites='<s><sprite id="dot" x="0"/></s>'),
     "Sprite Exception: dot: No texture name specified!"),
    ("sound set message", workdir(config(), sounds='<sounds directory="sounds"><sfx>red.wav</sfx>'
                                                   '<sfx>red.wav</sfx></sounds>'),
     "Sound Exception: red.wav: Sfx file defined twice!"),
    ("no music.ogg", workdir(config(), sounds='<sounds directory="sounds"><sfx>red.wav</sfx></sounds>'),
     "Sound Exception: music.ogg: No music with that ID to play!"),
    ("scene without id", workdir(config(children='<scenes><base_scene><entities/></base_scene></scenes>')),
     "Scene Exception: No ID: No id attribute found"),
    ("entity message", workdir(config(children='<scenes><base_scene id="m"><entities><box/></entities>'
                                               '</base_scene></scenes>')),
     "Entity Exception: SpriteEntity: No sprite specified!"),
]

for what, work, message in CASES:
    status, out, err = pvtest.run_to_exit(work)
    check(out == message + "\n", "%s: standard output is exactly the line %r (got %r)" % (what, message, out))
    check(message + "\n" in err, "%s: the same line on standard error" % what)
    check(status == 1, "%s: exit status 1 (got %r)" % (what, status))
    check("Sanitizer" not in err, "%s: no sanitizer report" % what)
    shutil.rmtree(work, ignore_errors=True)

# A working minimal configuration starts and draws its sprite.
work = workdir(config())
game = pvtest.Game(work)
check(game.find_window() is not None, "a valid configuration opens the window")
if game.window:
    import time
    time.sleep(0.7)
    shot = game.screenshot()
    check(pvtest.pixel(shot, 11, 11) == (255, 255, 255), "the sprite is drawn where the scene puts it")
    check(pvtest.pixel(shot, 300, 300) == (102, 102, 178), "the rest is the clear colour")
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "Escape quits with status 0 and nothing on standard output (%r, %r)" % (status, out))

# An audio driver that cannot open and a window icon of 64x0 pixels (a valid PNG, which no window
# system takes as an icon): the game still starts, silently, with the default icon, and says both
# on stderr, one line each. The checker warns about the icon, naming its file.
work2 = workdir(config(), extra={"icons/pellvane-64.png": pvtest.png_of_size(64, 0)})
game = pvtest.Game(work2, env={"SDL_AUDIODRIVER": "no-such-driver"})
check(game.find_window() is not None, "starts when the audio device cannot open and the icon is empty")
if game.window:
    game.key("Escape")
status, out, err = game.wait()
check(status == 0 and out == "", "quits cleanly after the audio and icon fallbacks (%r, %r)" % (status, out))
check("dummy" in err and err.count("\n") >= 2, "one line on standard error names the audio fallback (%r)" % err)
check(len([line for line in err.splitlines() if "icons/pellvane-64.png" in line]) == 1,
      "one line on standard error names the unusable icon (%r)" % err)
status, out, _ = pvtest.run_tool(["--check"], work2)
check(status == 0 and "icons/pellvane-64.png: warning:" in out and "64x0" in out,
      "--check warns about the empty icon, naming its file (%r, %r)" % (status, out))

pvtest.finish()
