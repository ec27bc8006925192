# SPDX-License-Identifier: GPL-3.0-or-later
"""The burn dialog stays modal after a disc write: clicks on the main window's buttons do
nothing while the dialog is open, its close box closes the dialog (not the program), and
the main window's close box then ends the program. The written image is read back."""
import os
import re
import subprocess

from vantrel_gui import Vantrel, check, log_texts, run, screenshot, send_close_request, wait_for


NO_RECORDER = "无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？"


def mouse_click(node):
    (x, y), (w, h) = node.position, node.size
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)


def refreshed(vantrel, burn):
    """A click on 刷新 with the mouse, waited for until the dialog has listed the recorders
    again: every input sent before it has been handled (or dropped) by then."""
    before = sum("查找驱动器" in t for t in log_texts(burn))
    mouse_click(vantrel.button(burn, "刷新"))
    # With image files and the work folder only, the list read again asks the no-recorder
    # question again.
    vantrel.answer(vantrel.alert(NO_RECORDER), "否")
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
    # Image files and the work folder only: the no-recorder question first.
    vantrel.answer(vantrel.alert(NO_RECORDER), "否")
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
    screenshot("burn-modal-after-write", burn)
    # The main window's close box while the dialog is open does nothing: the dialog's grab
    # holds it back. Every input sent before 刷新 has been handled by the time it is done.
    for xid in vantrel.window_ids("Vantrel"):
        send_close_request(xid)
    refreshed(vantrel, burn)
    check(vantrel.has_window("刻录光盘"), "the main window's close box leaves the dialog open")
    check(vantrel.proc.poll() is None, "the close box of the main window did not end the program")
    # The dialog's own close box closes it (nothing runs now).
    vantrel.close_window("刻录光盘")
    vantrel.wait_closed("刻录光盘")
    check(vantrel.proc.poll() is None, "the close box of the main window did not end the program")
    check(vantrel.main.showing, "the main window is back")
    code = vantrel.close()
    check(code == 0, "the program ends with its main window: exit code %r" % code)


run(test, "burn-modal")
