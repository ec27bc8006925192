# SPDX-License-Identifier: GPL-3.0-or-later
"""Files dragged from another program and dropped on the title list become titles."""
import os
import subprocess
import sys
import time

from vantrel_gui import Vantrel, check, rawinput, run, screenshot, wait_for


def drag(from_xy, to_xy):
    """Presses on the source, moves in small steps (so both sides see the motion) and drops."""
    rawinput.absoluteMotion(*from_xy)
    time.sleep(0.2)
    rawinput.press(*from_xy)
    x, y = from_xy
    for step in range(1, 31):
        rawinput.absoluteMotion(x + (to_xy[0] - x) * step // 30, y + (to_xy[1] - y) * step // 30)
        time.sleep(0.03)
    time.sleep(0.5)
    rawinput.release(*to_xy)


def test(box):
    box.no_tips()
    clips = [box.make_clip(name, 2.5) for name in ("dropped one.mpg", "dropped two.mpg")]
    vantrel = Vantrel(box)
    source = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "drag_source.py")] + clips,
                              env=box.env)
    try:
        time.sleep(1.5)
        table = vantrel.main.child(roleName="table")
        (tx, ty), (tw, th) = table.position, table.size
        drag((40, 40), (tx + tw // 2, ty + th // 2))
        rows = vantrel.rows(2)
        check([r[2] for r in rows] == ["dropped one.mpg", "dropped two.mpg"], "dropped titles %r" % rows)
        screenshot("drop", vantrel.main)
    finally:
        source.terminate()
        source.wait()
    check(vantrel.close() == 0, "exit status")


run(test, "drop")
