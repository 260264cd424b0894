"""A desk for the window tests: torvane on its own X display (Xvfb) with a light window
manager, the demonstration company served by torvane-fiera on loopback, real input sent
through the display server (xdotool), pictures of the screen (ImageMagick import) read back
by pixels or by OCR (tesseract)."""

import os
import shutil
import subprocess
import tempfile
import time

TOOLS = ("Xvfb", "openbox", "xdotool", "import", "convert", "tesseract")


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


class Desk:
    def __init__(self, build, source, size=(1920, 1080)):
        self.build = build
        self.source = source
        self.folder = tempfile.mkdtemp(prefix="torvane-window-")
        self.data = os.path.join(self.folder, "dati")
        self.processes = []
        self.app = None
        self.window = None
        self._start_display(size)
        self._serve_demo()

    # ---- the machinery ----

    def _spawn(self, args, **kw):
        with open(os.path.join(self.folder, os.path.basename(args[0]) + ".log"), "ab") as log:
            process = subprocess.Popen(args, stdout=kw.pop("stdout", log), stderr=log, env=kw.pop("env", self.env), **kw)
        self.processes.append(process)
        return process

    def _start_display(self, size):
        # The server picks a free display number and writes it on the pipe.
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % size,
                                 "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb non e' partito")
        self.env = dict(os.environ, DISPLAY=":" + number)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "TORVANE_HOME"):
            self.env.pop(name, None)
        self._spawn(["openbox", "--sm-disable"])
        time.sleep(0.5)

    def _serve_demo(self):
        site = os.path.join(self.folder, "sito")
        shutil.copytree(os.path.join(self.source, "resources", "demo", "sito"), site)
        profiles = os.path.join(self.folder, "profili.json")
        shutil.copy(os.path.join(self.source, "resources", "demo", "profili.json"), profiles)
        fiera = self._spawn([os.path.join(self.build, "server", "torvane-fiera"), "--dir", site, "--port", "0",
                             "--profili", profiles], stdout=subprocess.PIPE)
        banner = fiera.stdout.readline().decode().strip()
        if not banner.startswith("in ascolto su "):
            raise RuntimeError("torvane-fiera non e' partito: " + banner)
        base = banner[len("in ascolto su "):] + "/"
        with open(profiles) as f:
            text = f.read().replace("http://127.0.0.1:8080/", base)
        with open(profiles, "w") as f:
            f.write(text)
        for key, value, kind in (("pref_AAASERVER", base + "ios/userProfile", None),
                                 ("pref_FIERAHTTPSERVER", base, None),
                                 ("pref_FOTOURL", base.rstrip("/"), None),
                                 ("pref_MODALITAFIERAENABLED", "YES", "bool"),
                                 ("pref_INVIOMAILENABLED", "YES", "bool")):
            self.cli(["defaults", "write", key, value] + (["--type", kind] if kind else []))

    def cli(self, words, stdin=None):
        return subprocess.run([os.path.join(self.build, "cli", "torvane-cli"), "--data-dir", self.data] + words,
                              input=stdin, capture_output=True, text=True, env=self.env, timeout=120)

    def torvane(self, *options):
        """Starts the application on the demonstration's data folder; waits for its window."""
        self.app = self._spawn([os.path.join(self.build, "gui", "torvane"), "--data-dir", self.data] + list(options))
        deadline = time.time() + 30
        while time.time() < deadline:
            found = self.xdotool(["search", "--onlyvisible", "--pid", str(self.app.pid), "--name", "^Torvane$"],
                                 check=False).split()
            if found:
                self.window = found[0]
                self.xdotool(["windowmove", self.window, "0", "0"])
                self.settle(1.0)
                return
            time.sleep(0.2)
        raise RuntimeError("la finestra di torvane non e' comparsa")

    def stop_torvane(self):
        """Ends the application as a person closing it would (its data stays)."""
        self.app.terminate()
        self.app.wait(timeout=30)

    def windows(self):
        """The application's windows on screen: the main one and any dialog."""
        return self.xdotool(["search", "--onlyvisible", "--pid", str(self.app.pid), "--name", "."],
                            check=False).split()

    def close(self):
        for process in reversed(self.processes):
            if process.stdout:
                process.stdout.close()
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    # ---- input through the display server ----

    def xdotool(self, words, check=True):
        result = subprocess.run(["xdotool"] + words, capture_output=True, text=True, env=self.env, timeout=60)
        if check and result.returncode != 0:
            raise RuntimeError("xdotool %s: %s" % (words, result.stderr))
        return result.stdout

    def settle(self, seconds=0.4):
        time.sleep(seconds)

    def window_geometry(self):
        out = self.xdotool(["getwindowgeometry", "--shell", self.window])
        values = dict(line.split("=") for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def click(self, x, y, button=1):
        self.xdotool(["mousemove", "--sync", str(x), str(y), "click", str(button)])
        self.settle()

    def park_mouse(self):
        """Out of the way of what a picture must show (no hover highlight)."""
        self.xdotool(["mousemove", "--sync", "1", "1"])

    def wheel(self, x, y, steps, pause=0.05):
        """Wheel steps at a point: positive down, negative up."""
        self.xdotool(["mousemove", "--sync", str(x), str(y), "click", "--repeat", str(abs(steps)), "--delay",
                      str(int(pause * 1000)), "5" if steps > 0 else "4"])
        self.settle()

    def drag(self, start, end, steps=10):
        self.xdotool(["mousemove", "--sync", str(start[0]), str(start[1]), "mousedown", "1"])
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.xdotool(["mousemove", "--sync", str(x), str(y)])
            time.sleep(0.02)
        self.xdotool(["mouseup", "1"])
        self.settle()

    def type(self, text, delay_ms=150):
        """Typed into the window that has the focus, one key every `delay_ms`."""
        self.xdotool(["type", "--delay", str(delay_ms), text])
        self.settle()

    def scan(self, code):
        """A scanner in keyboard mode: a key every 5 ms and Enter, in one burst (capitals with
        Shift, as the scanner presses it)."""
        self.xdotool(["key", "--delay", "5"] + list(code) + ["Return"])
        self.settle(1.0)

    def key(self, *names):
        self.xdotool(["key", "--delay", "100"] + list(names))
        self.settle()

    def close_dialog(self):
        """The window manager's close (what its close button does) on the newest dialog, made
        the window in front first: on the main window it would end the application."""
        dialogs = [w for w in self.windows() if w != self.window]
        if not dialogs:
            raise AssertionError("nessun dialogo da chiudere")
        self.xdotool(["windowactivate", "--sync", dialogs[-1], "key", "alt+F4"])
        self.settle()

    def resize(self, width, height):
        self.xdotool(["windowsize", "--sync", self.window, str(width), str(height)])
        self.settle(1.0)

    # ---- pictures ----

    def shot(self, name, crop=None):
        """A picture of the whole screen (or a part: x, y, width, height) as a PNG file."""
        path = os.path.join(self.folder, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=60)
        if crop:
            subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage",
                            path], check=True, timeout=60)
        return path

    def same_pixels(self, first, second):
        """Whether two pictures are the same, pixel for pixel."""
        result = subprocess.run(["compare", "-metric", "AE", first, second, "null:"], capture_output=True, text=True,
                                timeout=60)
        return result.stderr.strip().split()[0] == "0"

    def thumb(self, picture, x, top, bottom):
        """The scroll bar's thumb as the fraction of its track above it (0 at the top, 1 at the
        foot), read from the lighter pixels of the column `x` between the track's ends."""
        result = subprocess.run(["convert", picture, "-crop", "1x%d+%d+%d" % (bottom - top, x, top), "+repage",
                                 "-colorspace", "Gray", "-depth", "8", "txt:-"], capture_output=True, text=True,
                                check=True, timeout=60)
        light = [int(line.split(":")[0].split(",")[1]) for line in result.stdout.splitlines()[1:]
                 if int(line.split("(")[1].split(")")[0].split(",")[0].split(".")[0]) > 240]
        if not light:
            raise AssertionError("barra di scorrimento senza cursore: " + picture)
        first, last = min(light), max(light)
        room = (bottom - top) - (last - first + 1)
        return first / room if room > 0 else 0.0

    def text(self, picture, one_line=False):
        """The text of a picture, line by line, as OCR reads it (enlarged first: small UI text
        reads better at twice its size)."""
        big = picture[:-4] + "-x2.png"
        subprocess.run(["convert", picture, "-resize", "200%", "-colorspace", "Gray", big], check=True, timeout=60)
        result = subprocess.run(["tesseract", big, "-", "--psm", "7" if one_line else "6"], capture_output=True,
                                text=True, timeout=120)
        return [line.strip() for line in result.stdout.splitlines() if line.strip()]

    def locate(self, word, within=None):
        """The centre on screen of the first word OCR reads as `word` (within x, y, w, h); none
        when it is not there."""
        picture = self.shot("locate", within)
        big = picture[:-4] + "-x2.png"
        subprocess.run(["convert", picture, "-resize", "200%", "-colorspace", "Gray", big], check=True, timeout=60)
        result = subprocess.run(["tesseract", big, "-", "--psm", "11", "tsv"], capture_output=True, text=True,
                                timeout=120)
        left, top = (within[0], within[1]) if within else (0, 0)
        for line in result.stdout.splitlines()[1:]:
            cells = line.split("\t")
            if len(cells) == 12 and cells[11].strip() == word:
                x, y, w, h = (int(cells[i]) for i in (6, 7, 8, 9))
                return left + (x + w // 2) // 2, top + (y + h // 2) // 2
        return None

    def click_word(self, word, within=None):
        at = self.locate(word, within)
        if at is None:
            raise AssertionError("'%s' non si vede sullo schermo" % word)
        self.click(*at)
