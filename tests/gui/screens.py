# SPDX-License-Identifier: GPL-3.0-or-later
"""Screenshots of the test display through GDK, so that no extra tool is needed."""
import os


def save_screen(path, area=None):
    """Saves the whole screen, or the rectangle area=(x, y, width, height), as a PNG at path."""
    import gi
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    root = Gdk.get_default_root_window()
    x, y, width, height = area if area else (0, 0, root.get_width(), root.get_height())
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    pixbuf = Gdk.pixbuf_get_from_window(root, x, y, width, height)
    pixbuf.savev(path, "png", [], [])
    return path
