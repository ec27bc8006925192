# SPDX-License-Identifier: GPL-3.0-or-later
"""Skins: the default Devior look, "无" from the skin menu (the platform's look), kept in
Settings.ini across a restart; then Kromo."""
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


def choose_skin(vantrel, name):
    vantrel.click(vantrel.main, "皮肤")
    item = wait_for(lambda: vantrel.app.findChild(lambda n: n.roleName == "menu item" and n.name == name and
                                                  n.showing, retry=False, requireResult=False),
                    message="the skin menu did not open")
    item.doActionNamed("click")


def test(box):
    box.no_tips()
    vantrel = Vantrel(box)
    check(background(vantrel, "skin-devior") == DEVIOR, "Devior at first start")
    choose_skin(vantrel, "无")
    plain = wait_for(lambda: (lambda c: c if c != DEVIOR else None)(background(vantrel, "skin-none")),
                     message="the skin did not come off")
    check(vantrel.close() == 0, "exit status")
    check(box.read_settings()["general"]["skin"] == "0", "skin 0 stored")

    vantrel = Vantrel(box)
    check(background(vantrel, "skin-none-restarted") == plain, "unskinned after the restart")
    choose_skin(vantrel, "Kromo")
    wait_for(lambda: background(vantrel, "skin-kromo") == KROMO, message="Kromo did not apply")
    check(vantrel.close() == 0, "exit status")
    check(box.read_settings()["general"]["skin"] == "3", "skin 3 stored")


run(test, "skins")
