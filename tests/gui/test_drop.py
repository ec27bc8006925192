# SPDX-License-Identifier: GPL-3.0-or-later
"""Files dragged from another program and dropped on the title list become titles."""
import os
import subprocess
import sys

from vantrel_gui import Vantrel, check, run, screenshot, wait_for


def says(status):
    with open(status) as f:
        return f.read()


def move(x, y):
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], check=True)


def drag(source, from_xy, to_xy):
    """Presses on the source, moves in small steps (so both sides see the motion) and drops
    once the drag has begun (the source holds the pointer) and reached the target."""
    move(*from_xy)
    subprocess.run(["xdotool", "mousedown", "1"], check=True)
    x, y = from_xy
    for step in range(1, 31):
        move(x + (to_xy[0] - x) * step // 30, y + (to_xy[1] - y) * step // 30)
    nudge = [0]

    def over_target():
        # A small move each time: the source tells the target where it is on pointer motion.
        nudge[0] = 1 - nudge[0]
        move(to_xy[0] + nudge[0], to_xy[1])
        return says(source) == "over the target"
    wait_for(over_target, message="the drag did not reach the list")
    subprocess.run(["xdotool", "mouseup", "1"], check=True)


def test(box):
    box.no_tips()
    clips = [box.make_clip(name, 2.5) for name in ("dropped one.mpg", "dropped two.mpg")]
    vantrel = Vantrel(box)
    status = os.path.join(box.root, "drag status")
    open(status, "w").close()
    source = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "drag_source.py"), status] +
                              clips, env=box.env)
    try:
        wait_for(lambda: says(status) == "ready", message="the drag source did not show")
        table = vantrel.main.child(roleName="table")
        (tx, ty), (tw, th) = table.position, table.size
        drag(status, (40, 40), (tx + tw // 2, ty + th // 2))
        rows = vantrel.rows(2)
        check([r[2] for r in rows] == ["dropped one.mpg", "dropped two.mpg"], "dropped titles %r" % rows)
        screenshot("drop", vantrel.main)
    finally:
        source.terminate()
        source.wait()
    check(vantrel.close() == 0, "exit status")


run(test, "drop")
