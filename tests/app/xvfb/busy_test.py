#!/usr/bin/python3
"""The program under Xvfb while it works, driven as a user would.

  busy_test.py MODE STATE_PROGRAM PROGRAM XPROBE

STATE_PROGRAM is the program with a window onto its state (state_main.cpp),
PROGRAM the program itself, XPROBE the helper that reads the X server
(xprobe.cpp). Runs inside xvfb-run, except for nodisplay. Modes:

  scramble   a large text loaded, Scramble is clicked, and at once Scramble,
             Unscramble, Try Me 1 and Load File three times each, the right
             area, and some keys (Ctrl+Q among them): afterwards the three
             areas, the flags and the windows are as that one Scramble left
             them, and the timer still re-enables the button
  load       the same clicks and keys while a large file is loaded: the file
             is in the left area, nothing else changed, no dialog is open
  cursor     the wait cursor (read from the server) shows while a large
             file is loaded and while a long line without blanks is taken in
             and laid out, from the start up to the moment the window
             answers, and not after
  argv       the program started with -reverse -qwindowtitle X -style fusion
             looks as it does without them: title, menu bar, buttons
  nodisplay  without a display, and with one that cannot be reached: status
             1 and one line on standard error naming the display tried

Exit status 0 when all holds.
"""
import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

MODE, STATE_PROGRAM, PROGRAM, XPROBE = sys.argv[1:5]
WORK = tempfile.mkdtemp(prefix="scrandle-busy-test-")
RUNNING = []


def fail(message):
    print("busy_test " + MODE + ": " + message, file=sys.stderr)
    cleanup()
    sys.exit(1)


def cleanup():
    for p in RUNNING:
        if p.poll() is None:
            p.kill()
            p.wait()
    shutil.rmtree(WORK, ignore_errors=True)


def xdotool(*args, check=True):
    r = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=60)
    if check and r.returncode != 0:
        fail("xdotool " + " ".join(map(str, args)) + " failed: " + r.stderr.strip())
    return r.stdout.strip()


def find_window(title, timeout=20):
    r = subprocess.run(["timeout", str(timeout), "xdotool", "search", "--sync", "--onlyvisible", "--name", title],
                       capture_output=True, text=True)
    ids = r.stdout.split()
    return ids[0] if ids else None


def visible_windows(title):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title], capture_output=True, text=True)
    return r.stdout.split()


def geometry(window):
    out = xdotool("getwindowgeometry", window)
    m = re.search(r"Geometry: (\d+)x(\d+)", out)
    return int(m.group(1)), int(m.group(2))


def cursor_theme():
    """A cursor theme of one-image cursors: Qt names the cursors it loads from
    a theme, so the server can tell the wait cursor by its name."""
    folder = os.path.join(WORK, "icons", "scrandle-test", "cursors")
    os.makedirs(folder)
    size = 24
    for name in ("left_ptr", "wait", "watch", "xterm", "ibeam", "pointing_hand", "hand2"):
        pixels = b"".join(struct.pack("<I", 0xFF000000 | (hash(name) & 0xFFFFFF)) for _ in range(size * size))
        header = struct.pack("<4sIII", b"Xcur", 16, 0x10000, 1)
        toc = struct.pack("<III", 0xFFFD0002, size, 16 + 12)
        chunk = struct.pack("<IIIIIIIII", 36, 0xFFFD0002, size, 1, size, size, 0, 0, 0)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(header + toc + chunk + pixels)
    return os.path.join(WORK, "icons")


class Program:
    """A program started on the display, its main window found and moved to
    the top left corner (there is no window manager)."""

    def __init__(self, binary, args=()):
        self.state_dir = tempfile.mkdtemp(dir=WORK)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", SCRANDLE_STATE_DIR=self.state_dir,
                   XCURSOR_PATH=THEMES, XCURSOR_THEME="scrandle-test")
        env.setdefault("XDG_RUNTIME_DIR", os.path.join(WORK, "runtime"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.proc = subprocess.Popen([binary, *args], env=env)
        RUNNING.append(self.proc)
        self.window = find_window(r"^Scrandle\?$")
        if not self.window:
            fail("the main window 'Scrandle?' did not appear")
        xdotool("windowmove", "--sync", self.window, 0, 0)
        width, height = geometry(self.window)
        self.bar = height - 500
        if width != 700 or self.bar <= 0:
            fail(f"the main window is {width} x {height}")

    def at(self, x, y):
        """Screen coordinates of a point of the window's content."""
        return x, y + self.bar

    def click(self, x, y):
        sx, sy = self.at(x, y)
        xdotool("mousemove", "--sync", sx, sy, "click", "1")

    def state(self, timeout=120):
        """Asks for the program's state; it answers from its event loop."""
        path = os.path.join(self.state_dir, "state")
        if os.path.exists(path):
            os.remove(path)
        if self.proc.poll() is not None:
            fail(f"the program has ended (status {self.proc.returncode})")
        self.proc.send_signal(signal.SIGUSR1)
        end = time.monotonic() + timeout
        while not os.path.exists(path):
            if self.proc.poll() is not None:
                fail(f"the program ended (status {self.proc.returncode}) instead of answering")
            if time.monotonic() > end:
                fail("the program did not answer")
            time.sleep(0.02)
        state = {"Window": []}
        with open(path) as f:
            for line in f:
                name, _, value = line.rstrip("\n").partition(" ")
                if name == "Window":
                    state["Window"].append(value)
                else:
                    state[name] = value
        for area in ("EditField1", "EditField2", "EditField3"):
            with open(os.path.join(self.state_dir, area + ".txt"), "rb") as f:
                state[area] = f.read()
        return state

    def quit(self):
        xdotool("windowfocus", "--sync", self.window)
        xdotool("key", "ctrl+q")
        try:
            status = self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            fail("the program did not quit")
        if status != 0:
            fail(f"the program ended with status {status}")


# Where the controls are in the window's content (their middles).
LOAD_FILE_1 = (79, 438)
SCRAMBLE = (350, 438)
UNSCRAMBLE = (348, 470)
TRY_ME_1 = (348, 79)
RIGHT_AREA = (545, 240)
LEFT_AREA = (155, 240)


def barrage(p, first=None):
    """One xdotool run: the optional first click, then three times Scramble,
    Unscramble, Try Me 1 and Load File, a click into the right area, and
    keys, Ctrl+Q among them. Fails unless the program was still at work when
    the server had them all (xdotool syncs with it as it closes): the wait
    cursor is on screen then."""
    args = []
    clicks = ([first] if first else []) + [SCRAMBLE, UNSCRAMBLE, TRY_ME_1, LOAD_FILE_1] * 3 + [RIGHT_AREA]
    for x, y in clicks:
        sx, sy = p.at(x, y)
        args += ["mousemove", sx, sy, "click", "--delay", "1", "1"]
    args += ["key", "--delay", "1", "x", "y", "Return", "space", "ctrl+a", "Delete", "ctrl+q"]
    xdotool(*args)
    # The first click's work may not have shown its cursor yet.
    end = time.monotonic() + 3
    while cursor_now() != "wait" and time.monotonic() < end:
        time.sleep(0.02)
    if cursor_now() != "wait":
        fail("the work was over before the clicks and keys had been sent: nothing was tested "
             "(the machine is too fast for the text's size)")
    return time.monotonic()


def prose(path, size, seed):
    """English-like text of that many bytes: words, apostrophes, hyphens,
    sentences and line ends."""
    rng = random.Random(seed)
    words = ["garden", "a", "the", "of", "winter", "rivers", "brightly", "nation's", "well-known", "I",
             "considerable", "and", "houses", "to", "mountain", "quietly", "station", "in", "yesterday"]
    parts, total = [], 0
    while total < size:
        s = " ".join(rng.choice(words) for _ in range(rng.randint(4, 16))) + "."
        s = s[0].upper() + s[1:] + ("\n" if rng.random() < 0.2 else "  ")
        parts.append(s)
        total += len(s)
    data = "".join(parts)[:size].encode()
    with open(path, "wb") as f:
        f.write(data)
    return data


def open_file_dialog(p, area_button):
    p.click(*area_button)
    dialog = find_window(r"^Select a Text file$")
    if not dialog:
        fail("Load File opened no dialog")
    # Beside the main window, so that nothing meant for one lands on the other.
    xdotool("windowmove", "--sync", dialog, 720, 0)
    xdotool("windowfocus", "--sync", dialog)
    return dialog


def load(p, path, expected):
    open_file_dialog(p, LOAD_FILE_1)
    xdotool("type", "--delay", "5", path)
    xdotool("key", "Return")
    st = p.state()
    if st["EditField1"] != expected:
        fail(f"the file was not loaded: the left area holds {len(st['EditField1'])} bytes")
    return st


def settled_state(p, sent, what):
    """The state once the work is over and a second later: input kept for
    later would have been acted on by then."""
    p.state()
    print(f"busy_test {MODE}: {what} went on for {time.monotonic() - sent:.2f} s after the clicks and keys")
    time.sleep(1)
    st = p.state()
    if visible_windows(r"^Select a Text file$"):
        fail(f"a file dialog opened after {what}")
    if st["Window"] != ["Scrandle?"]:
        fail(f"after {what} these windows show: {st['Window']}")
    return st


def mode_scramble():
    text = prose(os.path.join(WORK, "big.txt"), 60 * 1000 * 1000, 1)
    p = Program(STATE_PROGRAM)
    load(p, os.path.join(WORK, "big.txt"), text)
    # The load is over once the window answers again; a Scramble clicked
    # before that would be dropped.
    end = time.monotonic() + 30
    while cursor_now() == "wait":
        if time.monotonic() > end:
            fail("the window did not answer again after the load")
        time.sleep(0.05)
    sent = barrage(p, first=SCRAMBLE)
    st = settled_state(p, sent, "Scramble")
    kept = text.replace(b"'", b"").replace(b"-", b"")
    if st["EditField3"] != text:
        fail(f"the kept plain message is not the text that was scrambled ({len(st['EditField3'])} bytes)")
    if st["EditField1"] != b"":
        fail(f"the left area holds {len(st['EditField1'])} bytes, not nothing")
    if len(st["EditField2"]) != len(kept) or st["EditField2"] == kept:
        fail(f"the right area does not hold the scrambled text ({len(st['EditField2'])} bytes)")
    if (st["NewScrambledMessageFlag"], st["TryMeFlag"]) != ("1", "0"):
        fail(f"the flags are {st['NewScrambledMessageFlag']} {st['TryMeFlag']}, not 1 0 as a scramble leaves them")
    if st["UnscrambleCaption"] != "<< Unscramble" or st["UnscrambleEnabled"] != "1":
        fail("the Unscramble button is not as before")
    # Timers go on: the pause after the scramble still ends.
    time.sleep(2.5)
    if p.state()["ScrambleEnabled"] != "1":
        fail("the Scramble button was not enabled again 2 s after the scramble")
    p.quit()


def mode_load():
    text = prose(os.path.join(WORK, "big.txt"), 80 * 1000 * 1000, 2)
    p = Program(STATE_PROGRAM)
    before = p.state()
    dialog = open_file_dialog(p, LOAD_FILE_1)
    xdotool("type", "--delay", "5", os.path.join(WORK, "big.txt"))
    xdotool("key", "Return")
    end = time.monotonic() + 20
    while dialog in visible_windows(r"^Select a Text file$"):
        if time.monotonic() > end:
            fail("the file dialog did not close")
        time.sleep(0.005)
    sent = barrage(p)
    st = settled_state(p, sent, "the load")
    if st["EditField1"] != text:
        fail(f"the left area does not hold the file ({len(st['EditField1'])} bytes)")
    for name in ("EditField2", "EditField3", "NewScrambledMessageFlag", "TryMeFlag", "ScrambleEnabled",
                 "UnscrambleCaption"):
        if st[name] != before[name]:
            fail(f"{name} changed during the load")
    p.quit()


def watch_cursor(seconds):
    return subprocess.Popen([XPROBE, "watch", str(seconds)], stdout=subprocess.PIPE, text=True)


def cursor_now():
    return subprocess.run([XPROBE, "cursor"], capture_output=True, text=True, check=True).stdout.strip()


def check_wait_cursor(p, what, path, expected):
    """Loads the file through the dialog and checks the cursor on screen
    from then on: the wait cursor within half a second, and from then on
    until the window answers again; not after."""
    open_file_dialog(p, LOAD_FILE_1)
    # The pointer over the left area, where the cursor is otherwise the text one.
    sx, sy = p.at(*LEFT_AREA)
    xdotool("mousemove", "--sync", sx, sy)
    watcher = watch_cursor(120)
    xdotool("type", "--delay", "5", path)
    time.sleep(0.3)
    started = time.monotonic()
    xdotool("key", "Return")
    st = p.state()
    time.sleep(0.3)
    after = cursor_now()
    watcher.kill()
    samples = [(int(t) / 1000.0, name) for t, name in (line.split() for line in watcher.stdout.read().splitlines())]
    if st["EditField1"] != expected:
        fail(f"{what}: the file was not loaded")
    ended = int(st["LastEndedMs"]) / 1000.0
    if ended - started < 0.6:
        fail(f"{what} took {ended - started:.2f} s, too short a time to watch the cursor")

    def shown_at(t):
        """The cursor on screen at that moment: the last one before it."""
        name = None
        for when, n in samples:
            if when <= t:
                name = n
        return name

    waits = [t for t, n in samples if n == "wait" and started <= t <= ended]
    if not waits:
        fail(f"{what}: the wait cursor never showed ({samples})")
    if waits[0] - started > 0.5:
        fail(f"{what}: the wait cursor showed only {waits[0] - started:.2f} s after the work began")
    t = waits[0]
    while t < ended - 0.05:
        if shown_at(t) != "wait":
            fail(f"{what}: the cursor was '{shown_at(t)}' {t - started:.2f} s after the start, before the window "
                 f"answered ({ended - started:.2f} s)")
        t += 0.02
    if after == "wait":
        fail(f"{what}: the wait cursor still shows after the window answered")
    print(f"busy_test {MODE}: {what}: the wait cursor showed {waits[0] - started:.2f} s after the start and "
          f"stayed until the window answered, {ended - started:.2f} s after it")


def mode_cursor():
    p = Program(STATE_PROGRAM)

    big = prose(os.path.join(WORK, "big.txt"), 100 * 1000 * 1000, 3)
    check_wait_cursor(p, "loading a large file", os.path.join(WORK, "big.txt"), big)

    letters = bytes(97 + i % 26 for i in range(256))
    line = random.Random(4).randbytes(60 * 1000 * 1000).translate(letters)
    with open(os.path.join(WORK, "line.txt"), "wb") as f:
        f.write(line)
    check_wait_cursor(p, "taking in and laying out a long line", os.path.join(WORK, "line.txt"), line)
    p.quit()


def mode_argv():
    def looks(args):
        p = Program(PROGRAM, args)
        title = xdotool("getwindowname", p.window)
        time.sleep(0.5)
        regions = {
            "menu bar": (0, 0, 700, p.bar),
            "buttons below the areas": (0, p.bar + 420, 700, 80),
            "Try Me column": (298, p.bar + 60, 104, 360),
            "labels above the areas": (0, p.bar, 700, 60),
        }
        digests = {name: subprocess.run([XPROBE, "pixels", p.window, *map(str, r)], capture_output=True, text=True,
                                        check=True).stdout.strip() for name, r in regions.items()}
        p.quit()
        return title, p.bar, digests

    plain = looks(())
    given = looks(("-reverse", "-qwindowtitle", "X", "-style", "fusion"))
    if given[0] != plain[0]:
        fail(f"the title is '{given[0]}', not '{plain[0]}'")
    if given[1] != plain[1]:
        fail("the menu bar's height changed")
    for name in plain[2]:
        if given[2][name] != plain[2][name]:
            fail(f"the {name} looks different with the arguments")


def mode_nodisplay():
    def run(env):
        base = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")}
        r = subprocess.run([PROGRAM], env={**base, **env}, capture_output=True, text=True, timeout=60)
        return r.returncode, r.stderr.splitlines()

    free = next(n for n in range(55, 200)
                if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"))
    for env, names in (({}, ("DISPLAY", "WAYLAND_DISPLAY")), ({"DISPLAY": f":{free}"}, (f'":{free}"',))):
        status, lines = run(env)
        if status != 1 or len(lines) != 1:
            fail(f"with {env or 'no display'}: status {status}, standard error {lines}")
        if "needs a display" not in lines[0] or not all(n in lines[0] for n in names):
            fail(f"with {env or 'no display'}: the line does not say what is missing: {lines[0]}")
        print(f"busy_test nodisplay: {lines[0]}")


THEMES = cursor_theme()
try:
    {"scramble": mode_scramble, "load": mode_load, "cursor": mode_cursor, "argv": mode_argv,
     "nodisplay": mode_nodisplay}[MODE]()
finally:
    cleanup()
print(f"busy_test {MODE}: passed")
