# SPDX-License-Identifier: GPL-3.0-or-later
"""The burn dialog stays modal after a disc write: clicks on the main window's buttons and
its close box do nothing while the dialog is open, and closing the dialog comes back to the
main window, whose close box then ends the program. The written image is read back."""
import os
import re
import subprocess

from vantrel_gui import Vantrel, check, run, screenshot, send_close_request, wait_for


def log_texts(dialog):
    table = dialog.child(roleName="table", retry=False)
    return [c.name for c in table.children if c.roleName == "table cell"]


def mouse_click(node):
    (x, y), (w, h) = node.position, node.size
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)


def refreshed(vantrel, burn):
    """A click on 刷新 with the mouse, waited for until the dialog has listed the recorders
    again: every input sent before it has been handled (or dropped) by then."""
    before = sum("查找驱动器" in t for t in log_texts(burn))
    mouse_click(vantrel.button(burn, "刷新"))
    wait_for(lambda: sum("查找驱动器" in t for t in log_texts(burn)) > before, message="刷新 was not handled")


def test(box):
    box.no_tips()
    work = os.path.join(box.root, "work")
    image = os.path.join(work, "vantrel.iso")  # the image-file recorder of the work folder
    box.write_settings({"dvd": {"temppath": work, "resolution": 0, "createmenu": 0}})
    box.make_clip("beach.mpg", 2)
    vantrel = Vantrel(box, ["beach.mpg"])
    vantrel.rows(1)
    vantrel.click(vantrel.main, "运行")
    vantrel.click(vantrel.window("选择光盘格式 "), "确定")
    burn = vantrel.window("刻录光盘")
    targets = burn.child(roleName="combo box", retry=False)
    name = [c.name for c in targets.findChildren(lambda n: n.roleName == "menu item")][0]
    check(name.endswith("vantrel.iso)"), "the image recorder comes first: %r" % name)
    vantrel.click(burn, "开始")
    wait_for(lambda: any(t.endswith("写入光盘成功完成！") for t in log_texts(burn)), timeout=240,
             message="the write did not end")
    out = subprocess.run(["lsdvd", image], capture_output=True, text=True).stdout
    check(len(re.findall(r"^Title: \d+", out, re.M)) == 1, "lsdvd reads the written image: %r" % out)

    # The main window takes no clicks and no close while the dialog is open (添加 stands
    # clear of the dialog, which opens over the middle of the main window).
    mouse_click(vantrel.button(vantrel.main, "添加"))
    refreshed(vantrel, burn)
    check(not vantrel.has_window("添加 mpeg 文件到影片列表"), "a click on 添加 behind the dialog opens nothing")
    for xid in vantrel.window_ids("Vantrel"):
        send_close_request(xid)
    refreshed(vantrel, burn)
    check(vantrel.main.showing and vantrel.proc.poll() is None, "the main window's close box does nothing")
    screenshot("burn-modal-after-write", burn)

    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")
    check(vantrel.main.showing, "the main window is back")
    check(vantrel.close() == 0, "the program ends with its main window")


run(test, "burn-modal")
