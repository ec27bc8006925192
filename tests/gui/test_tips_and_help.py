# SPDX-License-Identifier: GPL-3.0-or-later
"""The tip of the day at start-up and from the help menu, with its profile; the about box
with a link that cannot be opened; the help pages."""
import os
import time

from vantrel_gui import Vantrel, check, run, screenshot, wait_for

TIPS = "每日提示"


def tip_text(window):
    tips = [line.rstrip("\n") for line in open(os.path.join(os.environ["VANTREL_APP_BUILD_DIR"], "tips.txt"))
            if line[:1] not in ("", "\t", "\n", " ", ";")]
    labels = [n.name for n in window.findChildren(lambda n: n.roleName == "label")]
    labels = [l.replace("\n", " ") for l in labels]  # the label wraps long tips
    found = [tips.index(l) for l in labels if l in tips]
    check(found, "no tip in %r" % labels)
    return found[0]


def help_item(vantrel, name):
    vantrel.click(vantrel.main, "帮助")
    item = wait_for(lambda: vantrel.app.findChild(lambda n: n.roleName == "menu item" and n.name == name and
                                                  n.showing, retry=False, requireResult=False),
                    message="the help menu did not open")
    item.doActionNamed("click")


def test(box):
    # Links go nowhere here: the desktop's opener fails and no program is registered for HTML.
    stand_ins = os.path.join(box.root, "bin")
    os.makedirs(stand_ins)
    for name, body in (("xdg-open", "exit 4"), ("xdg-mime", "exit 0")):
        path = os.path.join(stand_ins, name)
        with open(path, "w") as out:
            out.write("#!/bin/sh\n%s\n" % body)
        os.chmod(path, 0o755)
    box.env["PATH"] = stand_ins + os.pathsep + box.env["PATH"]

    vantrel = Vantrel(box)
    tips = vantrel.window(TIPS)
    time.sleep(0.3)
    check(tip_text(tips) == 0, "the first tip comes first")
    screenshot("tip-of-the-day", tips)
    next_button = tips.findChild(lambda n: n.roleName == "push button" and n.name.startswith("下一提示"))
    next_button.doActionNamed("click")
    wait_for(lambda: tip_text(tips) == 1, message="next tip")
    tips.findChild(lambda n: n.roleName == "check box" and n.name.startswith("启动时显示提示")).doActionNamed("click")
    time.sleep(0.2)
    tips.findChild(lambda n: n.roleName == "push button" and n.name.startswith("关闭")).doActionNamed("click")
    vantrel.wait_closed(TIPS)

    # About box: version from support.ini; its links fail with their reason.
    help_item(vantrel, "关于...")
    about = vantrel.window("关于")
    labels = [n.name for n in about.findChildren(lambda n: n.roleName == "label")]
    check("Vantrel 0.1" in labels, "version shown: %r" % labels)
    screenshot("about-box", about)
    vantrel.click(about, "主页")
    warning = vantrel.alert("无法打开超级链接:\n\nThere is no application associated\nwith the given filename extension.")
    screenshot("link-failure", warning)
    vantrel.answer(warning)
    vantrel.click(about, "确定")
    vantrel.wait_closed("关于")

    help_item(vantrel, "帮助目录")
    viewer = vantrel.window("Vantrel 帮助")
    time.sleep(0.5)
    screenshot("help-viewer", viewer)
    vantrel.close_window("Vantrel 帮助")
    check(vantrel.close() == 0, "exit status")

    text = open(box.profile_path()).read()
    check("StartUp=1" in text, "the unticked box is kept: %r" % text)
    check("FilePos=" in text and "FilePos=0" not in text, "read offset kept: %r" % text)

    vantrel = Vantrel(box)
    time.sleep(2)
    check(not vantrel.has_window(TIPS), "no tips at start-up once switched off")
    help_item(vantrel, "每日提示")
    tips = vantrel.window(TIPS)
    time.sleep(0.3)
    check(tip_text(tips) == 2, "reading goes on where it stopped")
    vantrel.close_window(TIPS)
    vantrel.wait_closed(TIPS)
    check(vantrel.close() == 0, "exit status")
    check("StartUp=1" in open(box.profile_path()).read(), "closing by the close box keeps the choice")


run(test, "tips-and-help")
