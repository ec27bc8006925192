# SPDX-License-Identifier: GPL-3.0-or-later
"""The main window's "菜单", "运行" and "刻录" open the menu designer, the burn dialog (after
the disc format dialog) and the folder-burn dialog; a run to the work folder ends with
"转换完成" and a VIDEO_TS folder an independent reader takes."""
import os
import re
import subprocess

from vantrel_gui import Vantrel, check, log_texts, run, screenshot, wait_for


def test(box):
    box.no_tips()
    work = os.path.join(box.root, "work")
    box.write_settings({"dvd": {"temppath": work, "resolution": 0}, "menu": {"layout": 0}})
    box.make_clip("beach.mpg", 2)
    box.make_clip("city.mpg", 2, colour="navy")
    vantrel = Vantrel(box, ["beach.mpg", "city.mpg"])
    vantrel.rows(2)

    vantrel.click(vantrel.main, "菜单")
    designer = vantrel.window("设计菜单")
    screenshot("main-menu-designer", designer)
    vantrel.click(designer, "退出")
    vantrel.wait_closed("设计菜单")

    vantrel.click(vantrel.main, "运行")
    formats = vantrel.window("选择光盘格式 ")
    vantrel.click(formats, "确定")
    # Image files and the work folder only: the no-recorder question; Yes tells how Linux
    # reaches recorders.
    question = vantrel.alert("无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？")
    screenshot("no-recorder-question", question)
    vantrel.expect_box(question, "Vantrel", "Information", ["是", "否"], default="是")
    vantrel.click(question, "是")
    note = wait_for(lambda: [b for b in vantrel.alerts()
                             if b.findChild(lambda n: "/dev/sr0" in (n.name or ""), retry=False, requireResult=False)]
                    or None, message="the note on recorders after Yes")[0]
    vantrel.expect_box(note, "Vantrel", "Information", ["确定"])
    vantrel.answer(note, "确定")
    burn = vantrel.window("刻录光盘")
    targets = burn.child(roleName="combo box", retry=False)
    entries = [c for c in targets.findChildren(lambda n: n.roleName == "menu item")]
    targets.querySelection().selectChild(len(entries) - 1)  # the work folder
    wait_for(lambda: any(t.endswith("选择驱动器 [%s]" % work) for t in log_texts(burn)),
             message="the work folder was not chosen")
    vantrel.click(burn, "开始")
    wait_for(lambda: any(t.endswith("转换完成") for t in log_texts(burn)), timeout=90,
             message="the run did not end with 转换完成")
    screenshot("main-burn-dialog", burn)
    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")
    out = subprocess.run(["lsdvd", os.path.join(work, "DVD", "VIDEO_TS")], capture_output=True, text=True).stdout
    check(len(re.findall(r"^Title: \d+", out, re.M)) == 2, "lsdvd reads two titles: %r" % out)

    vantrel.click(vantrel.main, "刻录")
    folder = vantrel.window("刻录 DVD 光盘")
    screenshot("main-folder-burn", folder)
    vantrel.close_window("刻录 DVD 光盘")
    vantrel.wait_closed("刻录 DVD 光盘")
    check(vantrel.close() == 0, "exit status")


run(test, "menu-and-burn")
