#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Inside the test's D-Bus session: starts the accessibility bus, switches toolkit
accessibility on, then runs the test script and ends the bus again."""
import os
import runpy
import subprocess
import sys
import time


def accessibility_ready():
    """True once the accessibility bus is announced on the session bus and its registry
    answers there, the point from which a program started now shows in the tree."""
    import gi
    gi.require_version("Gio", "2.0")
    from gi.repository import Gio, GLib
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def call(connection, name, path, interface, method, args, reply):
        return connection.call_sync(name, path, interface, method, args, GLib.VariantType(reply),
                                    Gio.DBusCallFlags.NONE, 5000, None).unpack()

    try:
        owned, = call(session, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)), "(b)")
        if not owned:
            return False
        address, = call(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, "(s)")
        bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)
        call(bus, "org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root", "org.freedesktop.DBus.Properties",
             "Get", GLib.Variant("(ss)", ("org.a11y.atspi.Accessible", "ChildCount")), "(v)")
        bus.close_sync(None)
        return True
    except GLib.Error:
        return False


def wait_for_accessibility(launcher, timeout=120):
    end = time.time() + timeout
    while not accessibility_ready():
        if launcher.poll() is not None:
            sys.exit("session.py: at-spi-bus-launcher ended with status %d" % launcher.returncode)
        if time.time() > end:
            sys.exit("session.py: the accessibility bus did not come up")
        time.sleep(0.1)


def main():
    script = sys.argv[1]
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["gsettings", "set", "org.gnome.desktop.interface", "toolkit-accessibility", "true"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait_for_accessibility(launcher)
    sys.argv = [script] + sys.argv[2:]
    code = 0
    try:
        runpy.run_path(script, run_name="__main__")
    except SystemExit as done:
        code = done.code if isinstance(done.code, int) else (0 if done.code is None else 1)
    except Exception:
        import traceback
        traceback.print_exc()
        code = 1
    finally:
        launcher.terminate()
        try:
            launcher.wait(timeout=5)
        except subprocess.TimeoutExpired:
            launcher.kill()
    sys.exit(code)


if __name__ == "__main__":
    main()
