# SPDX-License-Identifier: GPL-3.0-or-later
"""The settings dialog: Cancel keeps every setting, OK stores the choices (Settings.ini at
exit); the disc format dialog opens preset with the settings and stores its choice."""
import os
import time

from vantrel_gui import Vantrel, check, rawinput, run, screenshot, wait_for

TITLE = "设置..."


def open_settings(vantrel):
    vantrel.click(vantrel.main, "设置")
    dialog = vantrel.window(TITLE)
    time.sleep(0.3)
    return dialog


def checkbox(dialog, name):
    return dialog.child(name=name, roleName="check box")


def test(box):
    box.no_tips()
    box.write_settings({"general": {"skin": 0}, "dvd": {"filesystem": 0, "resolution": 0, "audiocodec": 1,
                                                        "zoom": 1, "temppath": box.home}})
    clip = box.make_clip("a.mpg", 2.5)
    vantrel = Vantrel(box, [clip])
    vantrel.rows(1)

    dialog = open_settings(vantrel)
    labels = [n.name for n in dialog.findChildren(lambda n: n.roleName == "label")]
    check(box.home in labels, "the folder is shown: %r" % labels)
    check(any(l.endswith("MB") and " 的可用磁盘空间是 " in l for l in labels), "free space text %r" % labels)
    check(checkbox(dialog, "创建视频 DVD 菜单").checked, "create menu is on by default")
    screenshot("settings-dialog", dialog)
    checkbox(dialog, "授权之前转换/修复视频文件").doActionNamed("click")
    vantrel.click(dialog, "取消")
    vantrel.wait_closed(TITLE)

    dialog = open_settings(vantrel)
    check(not checkbox(dialog, "授权之前转换/修复视频文件").checked, "Cancel kept convert-before off")

    # "浏览": the folder chooser; the choice is shown, measured and remembered as LastDir.
    work = os.path.join(box.root, "work 目录")
    os.makedirs(work)
    vantrel.click(dialog, "浏览")
    chooser = vantrel.window("选择一个存储图片的文件夹")
    time.sleep(0.5)
    vantrel.focus("选择一个存储图片的文件夹")
    rawinput.keyCombo("<Control>l")
    rawinput.typeText(work + "/")
    time.sleep(0.3)
    screenshot("settings-folder-chooser", chooser)
    rawinput.pressKey("Return")
    vantrel.wait_closed("选择一个存储图片的文件夹")
    wait_for(lambda: dialog.findChild(lambda n: n.roleName == "label" and n.name == work, retry=False,
                                      requireResult=False), message="the chosen folder is not shown")
    hives = "".join(open(os.path.join(box.root, "registry", name), encoding="utf-8").read()
                    for name in os.listdir(os.path.join(box.root, "registry")))
    check("quorvane" in hives and "LastDir" in hives and "work 目录" in hives, "LastDir stored: %r" % hives)
    checkbox(dialog, "授权之前转换/修复视频文件").doActionNamed("click")
    checkbox(dialog, "删除临时文件(VIDEO_TS,AUDIO_TS 目录)").doActionNamed("click")
    combo = dialog.child(roleName="combo box")
    combo.child(name="MPEG AC3", roleName="menu item").doActionNamed("click")
    dialog.child(name="4:3 标准电视", roleName="radio button").doActionNamed("click")
    time.sleep(0.3)
    vantrel.click(dialog, "确定")
    vantrel.wait_closed(TITLE)

    # "运行": the disc format dialog shows the stored choices; OK stores the new ones.
    vantrel.click(vantrel.main, "运行")
    formats = vantrel.window("选择光盘格式 ")
    time.sleep(0.3)
    check(formats.child(name="ISO9660", roleName="radio button").checked, "ISO9660 preset")
    check(formats.child(name="PAL", roleName="radio button").checked, "PAL preset")
    check(formats.child(name="DVD-5 (4.7 GB)", roleName="radio button").checked, "DVD-5 preset")
    screenshot("disc-format-dialog", formats)
    formats.child(name="UDF", roleName="radio button").doActionNamed("click")
    formats.child(name="NTSC", roleName="radio button").doActionNamed("click")
    formats.child(name="DVD-9 (8.5 GB)", roleName="radio button").doActionNamed("click")
    time.sleep(0.3)
    vantrel.click(formats, "确定")
    vantrel.wait_closed("选择光盘格式 ")
    # Then the burn dialog (or a note that it is not part of this build) opens: close it.
    after = wait_for(lambda: vantrel.dialogs(), message="nothing opened after the disc format dialog")[0]
    screenshot("after-disc-format", after)
    if after.roleName == "alert":
        vantrel.answer(after)
    else:
        vantrel.close_window(after.name)
    wait_for(lambda: not vantrel.dialogs(), message="the window after the disc format dialog stayed open")

    check(vantrel.close() == 0, "exit status")
    dvd = box.read_settings()["dvd"]
    check(dvd["convertbefore"] == "1" and dvd["deletetemp"] == "1", "check boxes stored: %r" % dict(dvd))
    check(dvd["createmenu"] == "1", "create menu unchanged")
    check(dvd["audiocodec"] == "3" and dvd["zoom"] == "0", "codec and zoom stored: %r" % dict(dvd))
    check(dvd["filesystem"] == "1" and dvd["resolution"] == "1", "disc format stored: %r" % dict(dvd))
    check(dvd["disccapacity"] == "1", "disc capacity stored: %r" % dict(dvd))
    check(dvd["temppath"] == work, "chosen folder stored: %r" % dvd["temppath"])


run(test, "settings-dialogs")
