#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A small window that offers files for dragging, as a file manager does (text/uri-list).
    drag_source.py FILE...   shows a window titled "drag source" at the screen's top left."""
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def main():
    uris = [GLib.filename_to_uri(path, None) for path in sys.argv[1:]]
    window = Gtk.Window(title="drag source")
    window.move(0, 0)
    box = Gtk.EventBox()
    box.add(Gtk.Label(label="%d files" % len(uris)))
    box.set_size_request(160, 80)
    box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    box.drag_source_add_uri_targets()
    box.connect("drag-data-get", lambda widget, context, data, info, time: data.set_uris(uris))
    window.add(box)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()


if __name__ == "__main__":
    main()
