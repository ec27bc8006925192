# SPDX-License-Identifier: GPL-3.0-or-later
"""Screenshots of the test display through GDK, so that no extra tool is needed."""
import os
import time


def _grab(area):
    import gi
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    root = Gdk.get_default_root_window()
    x, y, width, height = area if area else (0, 0, root.get_width(), root.get_height())
    return Gdk.pixbuf_get_from_window(root, x, y, width, height)


def settled_picture(area=None, timeout=10.0):
    """The picture of `area` once two grabs in a row are the same, that is once the windows
    there have finished painting; the last grab when it keeps changing (a clock, a bar)."""
    last = None
    end = time.time() + timeout
    while True:
        pixbuf = _grab(area)
        data = pixbuf.get_pixels()
        if data == last or time.time() > end:
            return pixbuf
        last = data
        time.sleep(0.1)


def save_screen(path, area=None):
    """Saves the whole screen, or the rectangle area=(x, y, width, height), as a PNG at path,
    once it has finished painting."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    settled_picture(area).savev(path, "png", [], [])
    return path
