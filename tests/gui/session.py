#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Inside the test's D-Bus session: starts the accessibility bus, switches toolkit
accessibility on, then runs the test script and ends the bus again."""
import os
import runpy
import subprocess
import sys
import time


def main():
    script = sys.argv[1]
    launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["gsettings", "set", "org.gnome.desktop.interface", "toolkit-accessibility", "true"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(0.5)
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
