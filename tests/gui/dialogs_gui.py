# SPDX-License-Identifier: GPL-3.0-or-later
"""Shared steps of the menu and burn dialog GUI tests: the host program started over a few
generated clips, finding windows and controls in the accessibility tree, clicks and drags
through the X server, waiting, and screenshots into build/screens/."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

os.environ.setdefault("DOGTAIL_DEBUG", "0")
from dogtail.config import config  # noqa: E402

config.searchCutoffCount = 20
config.searchBackoffDuration = 0.25
config.logDebugToStdOut = False
config.logDebugToFile = False
from dogtail import tree  # noqa: E402
import pyatspi  # noqa: E402
from screens import save_screen  # noqa: E402

# run.py names the application folder (BUILD/app) and the screenshot folder.
BUILD = os.path.dirname(os.environ["VANTREL_APP_BUILD_DIR"].rstrip("/"))
SCREENS = os.environ["VANTREL_SCREENS"]


def fail(message):
    print("FAIL: " + message)
    try:
        screenshot("failure-" + os.path.basename(sys.argv[0]).replace(".py", ""))
    except Exception:
        pass
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message)


def make_clips(folder, count=2, avi_seconds=30):
    """DVD-ready MPEG-2 clips, and from the second on MPEG-4 AVI clips the run converts
    (which takes a few seconds, so the clock and the event loop are watched at work)."""
    clips = []
    sources = ["testsrc", "smptebars", "rgbtestsrc"]
    for i in range(count):
        avi = i > 0
        path = os.path.join(folder, "clip%d.%s" % (i + 1, "avi" if avi else "mpg"))
        video = "%s=size=%s:rate=25" % (sources[i % 3], "640x480" if avi else "720x576")
        audio = "sine=frequency=%d:sample_rate=48000" % (440 + 110 * i)
        codec = ["-c:v", "mpeg4", "-c:a", "ac3"] if avi else ["-target", "pal-dvd", "-aspect", "4:3"]
        subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", video, "-f",
                        "lavfi", "-i", audio, "-t", str(avi_seconds) if avi else "2"] + codec + [path],
                       check=True)
        clips.append(path)
    return clips


class Host:
    """The dialog host program over its own work folder."""

    def __init__(self, clips=2, swatch="0AC81E", image_drives="", avi_seconds=30):
        self.temp = tempfile.mkdtemp(prefix="vantrel-gui-")
        self.work = os.path.join(self.temp, "work")
        os.makedirs(self.work)
        self.report = os.path.join(self.temp, "report.txt")
        env = dict(os.environ, VANTREL_APPDIR=os.path.join(BUILD, "app"),
                   VANTREL_REGISTRY_DIR=os.path.join(self.temp, "registry"),
                   XDG_CONFIG_HOME=os.path.join(self.temp, "config"),
                   XDG_CACHE_HOME=os.path.join(self.temp, "cache"))
        env.pop("VANTREL_IMAGE_DRIVES", None)
        if image_drives:
            env["VANTREL_IMAGE_DRIVES"] = image_drives
        self.clips = make_clips(self.temp, clips, avi_seconds)
        self.log = open(os.path.join(self.temp, "host.log"), "w")
        debugger = ["gdb", "-q", "-batch", "-ex", "run", "-ex", "thread apply all bt 12", "--args"] \
            if os.environ.get("VANTREL_HOST_GDB") else []
        self.process = subprocess.Popen(
            debugger + [os.path.join(BUILD, "tests", "vantrel_dialog_driver"), "--work", self.work,
             "--report", self.report, "--swatch", swatch,
             "--burn-folder", os.path.join(self.work, "DVD")] + self.clips,
            env=env, stdout=self.log, stderr=subprocess.STDOUT)
        self.app = wait_for(lambda: find_app("vantrel_dialog_driver"), 30, "the host program")
        self.frame = wait_for(lambda: window(self.app, "Vantrel 对话框测试"), 20, "the host window")

    def close(self):
        """Closes the host window (which writes the report) and returns the report."""
        if self.process.poll() is None:
            click(control(self.frame, "push button", "退出"))
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.terminate()
                self.process.wait(5)
        values = {}
        if os.path.exists(self.report):
            for line in open(self.report, encoding="utf-8"):
                key, _, value = line.rstrip("\n").partition("=")
                values[key] = value
        return values

    def stop(self):
        if self.process.poll() is not None and self.process.returncode != 0:
            print("the host program ended with status %d" % self.process.returncode)
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.temp, ignore_errors=True)


def find_app(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return tree.Node(app) if not isinstance(app, tree.Node) else app
    return None


def window(app, title):
    for child in app.children:
        if child.name == title and child.roleName in ("frame", "dialog", "window", "file chooser"):
            return child
    return None


# No wait is shorter than this: on a machine whose cores are busy with other builds the
# program may take that long to answer, and a wait ends as soon as its condition holds.
SHORTEST_TIMEOUT = 60


def wait_for(probe, seconds, what):
    end = time.time() + max(seconds, SHORTEST_TIMEOUT)
    while True:
        try:
            value = probe()
        except Exception:  # the tree changes under us while windows open and close
            value = None
        if value:
            return value
        if time.time() > end:
            fail("timed out waiting for " + what)
        time.sleep(0.1)


def wait_window(host, title, seconds=20):
    return wait_for(lambda: window(host.app, title), seconds, "window " + title)


def wait_gone(host, title, seconds=20):
    wait_for(lambda: window(host.app, title) is None, seconds, "window %s to close" % title)


def descendants(node, role=None, name=None):
    found = []

    def visit(n):
        for c in n.children:
            if (role is None or c.roleName == role) and (name is None or c.name == name):
                found.append(c)
            visit(c)

    visit(node)
    return found


def control(node, role, name):
    found = descendants(node, role, name)
    if not found:
        fail("no %s %r" % (role, name))
    return found[0]


def centre(node):
    (x, y), (w, h) = node.position, node.size
    return x + w // 2, y + h // 2


def xdotool(*args):
    subprocess.run(["xdotool"] + list(args), check=True)


def click_at(x, y):
    xdotool("mousemove", "--sync", str(x), str(y), "click", "1")


def click(node):
    """Clicks a control with the mouse once it is on screen and takes input."""
    wait_for(lambda: node.showing and node.sensitive, 30, "%s %r to take clicks" % (node.roleName, node.name))
    click_at(*centre(node))


def drag(start, end):
    """Presses at start, moves to end in steps the X server has carried out, lets go."""
    xdotool("mousemove", "--sync", str(start[0]), str(start[1]), "mousedown", "1")
    steps = 8
    for i in range(1, steps + 1):
        xdotool("mousemove", "--sync", str(start[0] + (end[0] - start[0]) * i // steps),
                str(start[1] + (end[1] - start[1]) * i // steps))
    xdotool("mouseup", "1")


def gone(node):
    """True once a window is closed: hidden, or no longer in the tree."""
    try:
        return not node.showing
    except Exception:
        return True


def popups(host):
    """The program's popup windows on screen (colour palettes, open drop-down lists)."""
    return [w for w in host.app.children if w.roleName == "window" and w.showing]


def pixel_at(x, y):
    """The colour of one screen pixel, as (r, g, b)."""
    import gi
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    data = Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), x, y, 1, 1).get_pixels()
    return tuple(data[:3])


def focus(host, title):
    """Gives a window the keyboard, as a window manager would on a click (none runs here)."""
    ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(host.process.pid), "--name",
                          "^%s$" % title], capture_output=True, text=True).stdout.split()
    for wid in ids:
        subprocess.run(["xdotool", "windowfocus", "--sync", wid], capture_output=True)
    return bool(ids)


def select_entry(combo, index):
    """Chooses an entry of a drop-down list as a user's pick does; returns its text once the
    list shows it."""
    name = descendants(combo, "menu item")[index].name
    try:
        combo.querySelection().selectChild(index)
    except Exception:  # the pick was made; its answer came too late for the accessibility bus
        pass
    wait_for(lambda: combo.name == name, 30, "the list to show %r" % name)
    return name


def choose_target(dialog, index):
    """Chooses a target of the burn dialog and waits until the dialog has taken the choice
    (its log names it once more); returns the target's name."""
    targets = descendants(dialog, "combo box")[0]
    name = descendants(targets, "menu item")[index].name
    line = "选择驱动器 [%s]" % name
    before = sum(l.endswith(line) for l in log_lines(dialog))
    select_entry(targets, index)
    wait_for(lambda: sum(l.endswith(line) for l in log_lines(dialog)) > before, 30, "the choice of " + name)
    return name


def screenshot(name):
    save_screen(os.path.join(SCREENS, name + ".png"))


def log_lines(dialog):
    """The texts of the burn dialog's event log."""
    table = control(dialog, "table", None) if descendants(dialog, "table") else None
    if table is None:
        return []
    return [c.name for c in descendants(table, "table cell")]


def lsdvd_titles(path):
    """The number of titles the independent reader finds."""
    out = subprocess.run(["lsdvd", path], capture_output=True, text=True).stdout
    return len(re.findall(r"^Title: \d+", out, re.M))


def record_gaps(what, report, limit_ms=None):
    """Notes the longest event-loop gaps the host measured, for the report: "own" leaves out
    the time the loop's thread waited for a core that other programs held, and the time the
    X server waited for one while the loop's thread waited for its answer. With `limit_ms`
    an own gap during a run above it fails the test."""
    line = "%s: longest event-loop gap %s ms (own %s ms) during runs and writes, %s ms in the whole session" % (
        what, report.get("run_max_gap_ms"), report.get("run_max_own_gap_ms"), report.get("max_gap_ms"))
    print(line)
    print("display server pid %s; gaps over 80 ms: %s" % (report.get("display_server_pid"), report.get("long_gaps", "")))
    os.makedirs(SCREENS, exist_ok=True)
    with open(os.path.join(SCREENS, "event-loop-gaps.txt"), "a") as f:
        f.write(line + "\n")
    if limit_ms is not None:
        own = float(report.get("run_max_own_gap_ms") or "inf")
        check(own <= limit_ms, "%s: the burn dialog's event loop was never held over %d ms: %.1f ms" % (
            what, limit_ms, own))


def message_box(host, seconds=20):
    """The message box that is open (a question or a note)."""
    def find():
        for child in host.app.children:
            if child.roleName in ("alert", "dialog") and child.showing and \
                    descendants(child, "push button", "确定") + \
                    descendants(child, "push button", "是"):
                return child
        return None
    return wait_for(find, seconds, "a message box")


def answer(host, button):
    """Answers the open message box and waits until it is gone; returns its text."""
    box = message_box(host)
    text = " ".join(l.name for l in descendants(box, "label"))
    click(control(box, "push button", button))
    wait_for(lambda: gone(box), 30, "the message box to close")
    return text


def log_has(dialog, text):
    return any(line.endswith(text) for line in log_lines(dialog))
