# SPDX-License-Identifier: GPL-3.0-or-later
"""Skins: the default Devior look, "无" from the skin menu (the platform's look), kept in
Settings.ini across a restart; then Kromo. The menu marks the skin in use."""
from vantrel_gui import Vantrel, check, pixel, run, screenshot, wait_for

DEVIOR = (0xDC, 0xE6, 0xF2)
KROMO = (0xEF, 0xE3, 0xCF)


def background(vantrel, name):
    """The colour of the window's own background, just right of the last big button."""
    path = screenshot(name, vantrel.main)
    button = vantrel.button(vantrel.main, "帮助")
    (bx, by), (bw, bh) = button.position, button.size
    (wx, wy) = vantrel.main.position
    return pixel(path, bx - wx + bw + 20, by - wy + bh // 2)


def choose_skin(vantrel, name, current):
    """Picks a skin from the skin menu, which marks the one in use (`current`) and no other."""
    vantrel.click(vantrel.main, "皮肤")
    items = wait_for(lambda: [n for n in vantrel.app.findChildren(
        lambda n: n.roleName == "radio menu item" and n.showing)], message="the skin menu did not open")
    names = [n.name for n in items]
    check(names == ["无", "Devior", "X-plus", "Kromo"], "the skins: %r" % names)
    marked = [n.name for n in items if n.checked]
    check(marked == [current], "the menu marks %r, not %r" % (marked, current))
    [n for n in items if n.name == name][0].doActionNamed("click")


def test(box):
    box.no_tips()
    vantrel = Vantrel(box)
    check(background(vantrel, "skin-devior") == DEVIOR, "Devior at first start")
    choose_skin(vantrel, "无", "Devior")
    plain = wait_for(lambda: (lambda c: c if c != DEVIOR else None)(background(vantrel, "skin-none")),
                     message="the skin did not come off")
    check(vantrel.close() == 0, "exit status")
    check(box.read_settings()["general"]["skin"] == "0", "skin 0 stored")

    vantrel = Vantrel(box)
    check(background(vantrel, "skin-none-restarted") == plain, "unskinned after the restart")
    choose_skin(vantrel, "Kromo", "无")
    wait_for(lambda: background(vantrel, "skin-kromo") == KROMO, message="Kromo did not apply")
    check(vantrel.close() == 0, "exit status")
    check(box.read_settings()["general"]["skin"] == "3", "skin 3 stored")


run(test, "skins")
