# SPDX-License-Identifier: GPL-3.0-or-later
"""Without any display the program says so on standard error and ends with status 2,
leaving Settings.ini alone."""
import os
import subprocess

from vantrel_gui import APP_BUILD_DIR, check, run


def test(box):
    env = dict(box.env)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    result = subprocess.run([os.path.join(APP_BUILD_DIR, "vantrel")], env=env, capture_output=True,
                            text=True, timeout=30)
    check(result.returncode == 2, "exit status %r" % result.returncode)
    check("无法打开图形显示" in result.stderr and "DISPLAY" in result.stderr, "message: %r" % result.stderr)
    check(not os.path.exists(box.settings_ini), "no Settings.ini written")


run(test, "no-display")
