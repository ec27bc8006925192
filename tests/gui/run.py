#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs one GUI test script headless: its own X server (Xvfb -displayfd, so parallel runs
never collide), its own D-Bus session with the accessibility bus, then the script.

    run.py --app-dir BUILD/app --screens BUILD/screens SCRIPT [ARGS...]
"""
import argparse
import os
import signal
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def start_xvfb():
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    with os.fdopen(read_fd, "rb") as pipe:
        while not number.endswith(b"\n"):
            chunk = pipe.read(1)
            if not chunk:
                break
            number += chunk
    if not number.strip():
        xvfb.kill()
        sys.exit("run.py: Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--app-dir", required=True)
    parser.add_argument("--screens", required=True)
    parser.add_argument("--exec", dest="program", action="store_true",
                        help="SCRIPT is a program (a drawing test) run on the display, no session bus")
    parser.add_argument("script")
    parser.add_argument("args", nargs=argparse.REMAINDER)
    options = parser.parse_args()
    for tool in ("Xvfb", "dbus-run-session", "/usr/libexec/at-spi-bus-launcher"):
        if subprocess.run(["sh", "-c", "command -v " + tool], stdout=subprocess.DEVNULL).returncode:
            sys.exit("run.py: %s is missing (scripts/setup installs it)" % tool)
    xvfb, display = start_xvfb()
    env = dict(os.environ)
    env.update(DISPLAY=display, VANTREL_APP_BUILD_DIR=os.path.abspath(options.app_dir),
               VANTREL_SCREENS=os.path.abspath(options.screens), GDK_BACKEND="x11",
               PYTHONPATH=HERE + os.pathsep + env.get("PYTHONPATH", ""))
    env.pop("WAYLAND_DISPLAY", None)
    env.pop("NO_AT_BRIDGE", None)
    os.makedirs(options.screens, exist_ok=True)
    try:
        if options.program:
            sys.exit(subprocess.run([options.script] + options.args, env=env).returncode)
        result = subprocess.run(
            ["dbus-run-session", "--", "/usr/bin/python3", os.path.join(HERE, "session.py"),
             os.path.abspath(options.script)] + options.args, env=env)
        code = result.returncode
    finally:
        xvfb.send_signal(signal.SIGTERM)
        try:
            xvfb.wait(timeout=5)
        except subprocess.TimeoutExpired:
            xvfb.kill()
    sys.exit(code)


if __name__ == "__main__":
    main()
