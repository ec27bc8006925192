# SPDX-License-Identifier: GPL-3.0-or-later
"""The help viewer opens beside the main window, which runs modally, and closes as a user
closes any window: its close box, Esc and Ctrl+W. Each close leaves the program and its
main window running and taking clicks; the program then ends with its main window."""
from dogtail import rawinput

from vantrel_gui import Vantrel, check, press, run, screenshot, wait_for

VIEWER = "Vantrel 帮助"


def open_viewer(vantrel):
    vantrel.click(vantrel.main, "帮助")
    item = wait_for(lambda: vantrel.app.findChild(lambda n: n.roleName == "menu item" and n.name == "帮助目录" and
                                                  n.showing, retry=False, requireResult=False),
                    message="the help menu did not open")
    press(item)
    return vantrel.window(VIEWER)


def still_running(vantrel, how):
    vantrel.wait_closed(VIEWER)
    check(vantrel.proc.poll() is None, "closing the help viewer by %s ended the program" % how)
    check(vantrel.main.showing, "the main window is still shown after %s" % how)
    # The main window still takes clicks: its settings dialog opens and closes.
    vantrel.click(vantrel.main, "设置")
    settings = vantrel.window("设置...")
    vantrel.click(settings, "取消")
    vantrel.wait_closed("设置...")


def test(box):
    box.no_tips()
    vantrel = Vantrel(box)

    viewer = open_viewer(vantrel)
    screenshot("help-viewer-open", viewer)
    vantrel.close_window(VIEWER)
    still_running(vantrel, "its close box")

    open_viewer(vantrel)
    vantrel.press(VIEWER, "Escape")
    still_running(vantrel, "Esc")

    open_viewer(vantrel)
    vantrel.focus(VIEWER)
    rawinput.keyCombo("<Control>w")
    still_running(vantrel, "Ctrl+W")
    screenshot("help-viewer-closed")

    check(vantrel.close() == 0, "the program ends with its main window")


run(test, "help-viewer")
