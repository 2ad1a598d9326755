"""Shared helpers for the end-to-end tests: start the real pellvane binary in a working
directory of our choosing under the virtual X server, find its window, send input with
xdotool, take screenshots with ImageMagick's import, and collect output and exit status."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

BINARY = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else None
ROOT = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
WINDOW_NAME = "PELLVANE!"

failures = []


def build_shim(name):
    """Compiles support/<name>.c into a preloadable library; None when no C compiler is at hand."""
    out_dir = tempfile.mkdtemp(prefix="pellvane-shim-")
    shim = os.path.join(out_dir, name + ".so")
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "support", name + ".c")
    built = subprocess.run(["cc", "-shared", "-fPIC", "-O2", "-o", shim, source, "-ldl"], capture_output=True)
    return shim if built.returncode == 0 else None


KEEP_LIBRARIES = build_shim("keep_libraries")


def check(condition, what):
    """Records a failed expectation without stopping the script."""
    if not condition:
        failures.append(what)
        print("FAIL:", what, flush=True)
    else:
        print("ok:", what, flush=True)


def finish():
    if failures:
        print("%d failed" % len(failures))
        sys.exit(1)
    print("all checks passed")


def make_workdir(files=None, copy_data=False):
    """A fresh working directory, optionally holding a copy of the shipped data and extra files."""
    work = tempfile.mkdtemp(prefix="pellvane-e2e-")
    if copy_data:
        shutil.copytree(os.path.join(ROOT, "data"), work, dirs_exist_ok=True)
    for name, contents in (files or {}).items():
        path = os.path.join(work, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        mode = "wb" if isinstance(contents, bytes) else "w"
        with open(path, mode) as out:
            out.write(contents)
    return work


def shipped_game_without_lives():
    """A working directory with the shipped data whose game has no ball in reserve: the first lost
    ball ends it."""
    work = make_workdir(copy_data=True)
    path = os.path.join(work, "config.xml")
    tree = ET.parse(path)
    tree.getroot().find("scenes/pellvane_game").set("lives", "0")
    tree.write(path)
    return work


# Where the binary keeps its best score when a test names no other place: never the real home.
DATA_HOME = tempfile.mkdtemp(prefix="pellvane-data-home-")


def environment(env=None):
    """The environment the binary runs in: the silent audio driver unless `env` says otherwise."""
    full_env = dict(os.environ)
    full_env.setdefault("SDL_AUDIODRIVER", "dummy")
    full_env["XDG_DATA_HOME"] = DATA_HOME
    # Sanitizer builds only: Mesa's driver is unloaded before LeakSanitizer reports its
    # exit-time memory, so its stacks would end in nameless modules no suppression matches.
    # The preloaded shim keeps every library loaded; full unwinding keeps their frames.
    full_env["ASAN_OPTIONS"] = (full_env.get("ASAN_OPTIONS", "") +
                                ":fast_unwind_on_malloc=0:verify_asan_link_order=0").lstrip(":")
    if KEEP_LIBRARIES:
        full_env["LD_PRELOAD"] = (full_env.get("LD_PRELOAD", "") + " " + KEEP_LIBRARIES).strip()
    full_env.update(env or {})
    # None removes a variable.
    return {name: value for name, value in full_env.items() if value is not None}


def run_tool(args, cwd, env=None, timeout=120):
    """Runs the binary with `args` to its end: (status, standard output, standard error)."""
    done = subprocess.run([BINARY] + args, cwd=cwd, env=environment(env), capture_output=True, text=True, errors="replace",
                          timeout=timeout)
    return done.returncode, done.stdout, done.stderr


# What the game says when the X server refuses it a connection, which a busy virtual server now
# and then does: such a start may be tried once more. A crash may not.
DISPLAY_REFUSED = "cannot open the display"


class Game:
    """The real binary (or `binary`) running in `workdir` with `args`."""

    def __init__(self, workdir, env=None, args=(), binary=None):
        self.workdir = workdir
        # A data home of the working directory's own, where a test can look for the best score.
        own = {"XDG_DATA_HOME": os.path.join(workdir, "data-home")}
        own.update(env or {})
        self.command = [binary or BINARY] + list(args)
        self.env = environment(own)
        self.retried = False
        self.ended = None
        self._start()
        self.window = None

    def _start(self):
        self.proc = subprocess.Popen(self.command, cwd=self.workdir, env=self.env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)

    def _retry_refused_start(self):
        """True when the game ended because the server refused it, and has been started again."""
        if self.retried or self.proc.poll() is None:
            return False
        out, err = self.proc.communicate()
        self.ended = (self.proc.returncode, out, err)
        if self.proc.returncode != 1 or DISPLAY_REFUSED.encode() not in out or not self.env.get("DISPLAY"):
            return False
        print("note: the X server refused the game once; starting it again", flush=True)
        self.retried = True
        self.ended = None
        self._start()
        return True

    def find_window(self, timeout=30):
        found = self._find_window(timeout)
        if found is None and self._retry_refused_start():
            found = self._find_window(timeout)
        return found

    def _find_window(self, timeout):
        deadline = time.time() + timeout
        while time.time() < deadline and self.proc.poll() is None:
            # Only our process's window: the unit tests, run in parallel on the same X server,
            # open windows with the same name. SDL sets _NET_WM_PID, which --pid matches; --all makes
            # xdotool require both conditions (its default is either).
            out = subprocess.run(["xdotool", "search", "--all", "--pid", str(self.proc.pid), "--name",
                                  "^" + WINDOW_NAME + "$"], capture_output=True, text=True)
            ids = [line for line in out.stdout.split() if line.strip()]
            for wid in ids:
                self.window = wid
            if self.window:
                return self.window
            time.sleep(0.1)
        return None

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), capture_output=True)

    def key(self, name):
        self.xdotool("key", "--window", self.window, name)

    def keydown(self, name):
        self.xdotool("keydown", "--window", self.window, name)

    def keyup(self, name):
        self.xdotool("keyup", "--window", self.window, name)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--window", self.window, str(x), str(y))
        time.sleep(0.05)
        self.xdotool("click", "--window", self.window, str(button))

    def screenshot(self, name="shot.png"):
        path = os.path.join(self.workdir, name)
        subprocess.run(["import", "-window", self.window, path], capture_output=True)
        return path

    def wait(self, timeout=30):
        if self.ended is not None:
            status, out, err = self.ended
            return status, out.decode(errors="replace"), err.decode(errors="replace")
        try:
            out, err = self.proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            out, err = self.proc.communicate()
        return self.proc.returncode, out.decode(errors="replace"), err.decode(errors="replace")


def disk_audio(workdir):
    """The environment in which SDL writes all the game's sound to a file of `workdir`, and the file."""
    audio = os.path.join(workdir, "audio.raw")
    return {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio, "SDL_DISKAUDIODELAY": "20"}, audio


def loudness_after(audio, wait):
    """The peak of the samples the mixer writes to `audio` during the next `wait` seconds."""
    mark = os.path.getsize(audio) if os.path.exists(audio) else 0
    time.sleep(wait)
    with open(audio, "rb") as raw:
        raw.seek(mark)
        data = raw.read()
    samples = struct.unpack("<%dh" % (len(data) // 2), data[:len(data) // 2 * 2])
    return max((abs(s) for s in samples), default=-1)


def pixel(path, x, y):
    """The RGB of one pixel of an image file, read with ImageMagick."""
    out = subprocess.run(["convert", path, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
                         capture_output=True)
    data = out.stdout
    return tuple(data[:3]) if len(data) >= 3 else None


def run_to_exit(workdir, env=None, timeout=60, args=()):
    """Starts the binary and waits for it to end on its own."""
    result = Game(workdir, env, args).wait(timeout)
    if result[0] == 1 and DISPLAY_REFUSED in result[1] and "DISPLAY" not in (env or {}):
        print("note: the X server refused the game once; starting it again", flush=True)
        result = Game(workdir, env, args).wait(timeout)
    return result


MINIMAL_SPRITES = """<sprites>
  <sprite id="dot" texture="dot.png" x="0" y="0" width="4" height="4"/>
</sprites>"""
MINIMAL_SOUNDS = '<sounds directory="sounds"><sfx>red.wav</sfx><music>music.ogg</music></sounds>'
MINIMAL_SCENES = ('<scenes><base_scene id="main"><entities><sprite_entity sprite="dot" x="10" y="10"/>'
                  '</entities></base_scene></scenes>')


def png_bytes(width, height, colour="white"):
    """A solid RGBA PNG made by ImageMagick."""
    out = subprocess.run(["convert", "-size", "%dx%d" % (width, height), "xc:" + colour, "PNG32:-"],
                         capture_output=True, check=True)
    return out.stdout


def png_of_size(width, height):
    """A valid greyscale PNG of any size, zero included, which ImageMagick will not make."""
    import struct
    import zlib

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    rows = (b"\x00" + b"\x80" * width) * height
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def minimal_config(attributes='textures="textures" spriteset="sprites.xml" soundset="sounds.xml"',
                   children=MINIMAL_SCENES):
    return "<config %s>%s</config>" % (attributes, children)


def minimal_workdir(config, sprites=MINIMAL_SPRITES, sounds=MINIMAL_SOUNDS, extra=None):
    """A working directory with a 4x4 white texture, a sprite set, two shipped sounds, a sound set
    and the given config.xml (None: no config.xml at all)."""
    files = {"textures/dot.png": png_bytes(4, 4), "sprites.xml": sprites, "sounds.xml": sounds}
    if config is not None:
        files["config.xml"] = config
    files.update(extra or {})
    work = make_workdir(files)
    os.makedirs(os.path.join(work, "sounds"), exist_ok=True)
    for name in ("red.wav", "music.ogg"):
        shutil.copy(os.path.join(ROOT, "data", "sounds", name), os.path.join(work, "sounds", name))
    return work
