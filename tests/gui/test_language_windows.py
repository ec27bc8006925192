# SPDX-License-Identifier: GPL-3.0-or-later
"""The windows a run passes through speak the locale's language and show every text whole:
the main window, the properties sheet (every page), the menu designer and its layout,
background and text dialogs (which open beside the designer's preview, not over it), the folder-burn dialog, the disc format dialog, the burn dialog
and the erase dialog, under an English locale and under a Chinese one. In each, no accessible
name holds a Chinese character under English, the program's own texts show under Chinese, and
no label, button, check box, radio button or tab is narrower (or a label lower) than its text.
Screenshots of both sets go to build/screens/lang-*.png."""
import os
import subprocess

from test_language import ENGLISH as MAIN_ENGLISH, CHINESE as MAIN_CHINESE, check_fit, check_language
from vantrel_gui import Vantrel, check, run, screenshot, wait_for


def check_window(box, window, t, name, expected):
    check_language(box, window, t["tag"] == "en", expected)
    screenshot("lang-%s-%s" % (t["tag"], name), window)
    # The folder-burn dialog's link is a flat button in a small font of its own.
    fonts = {t["image link"]: {"family-name": "Verdana", "size": "8", "padding": "0"}}
    check_fit(window, "%s (%s)" % (name, t["tag"]), t["picture buttons"], fonts)


def overlap(a, b):
    (ax, ay), (aw, ah) = a.position, a.size
    (bx, by), (bw, bh) = b.position, b.size
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def properties_sheet(vantrel, t):
    vantrel.select(vantrel.cell(0, 2))
    vantrel.click(vantrel.main, t["properties"])
    return wait_for(lambda: [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab" and n.name == t["menu tab"], retry=False, requireResult=False)],
        message="the properties sheet did not open")[0]


def walk(box, t):
    box.env.update(LANGUAGE="", LC_ALL=t["locale"])
    work = os.path.join(box.root, "work")
    os.makedirs(work, exist_ok=True)
    box.write_settings({"dvd": {"temppath": work, "resolution": 0}})
    # The image recorder of the work folder holds a disc, so that the erase dialog opens. The
    # clip lies in a folder of ASCII names: a locale this machine has not generated cannot
    # pass other names through argv.
    old = os.path.join(box.root, "old")
    os.makedirs(old, exist_ok=True)
    subprocess.run(["genisoimage", "-quiet", "-V", "OLD", "-o", os.path.join(work, "vantrel.iso"), old], check=True)
    clip = os.path.join(box.root, "clips", "beach.mpg")
    os.makedirs(os.path.dirname(clip), exist_ok=True)
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=720x576:rate=25",
                    "-t", "2", "-target", "pal-dvd", clip], check=True)
    vantrel = Vantrel(box, [clip])
    vantrel.rows(1)
    check_window(box, vantrel.main, t, "main-window-with-title", t["main"])

    sheet = properties_sheet(vantrel, t)
    check_window(box, sheet, t, "properties-facts", t["facts"])
    sheet.child(name=t["menu tab"], roleName="page tab").click()
    wait_for(lambda: sheet.findChild(lambda n: n.roleName == "slider" and n.showing, retry=False),
             message="the menu page did not show")
    check_window(box, sheet, t, "properties-menu", t["menu page"])
    for page in ("sound", "subtitles", "chapters"):
        sheet.child(name=t[page + " tab"], roleName="page tab").click()
        first = t[page + " page"][0]
        wait_for(lambda: sheet.findChild(lambda n: n.name == first and n.showing, retry=False, requireResult=False),
                 message="the %s page did not show" % page)
        check_window(box, sheet, t, "properties-" + page, t[page + " page"])
    vantrel.click(sheet, t["cancel"])
    wait_for(lambda: not [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab", retry=False, requireResult=False)], message="the sheet stayed open")

    vantrel.click(vantrel.main, t["menu"])
    designer = vantrel.window(t["designer"])
    check_window(box, designer, t, "designer", [t["layout"], t["background"], t["text"], t["exit"]])
    # The preview: the designer's largest panel short of its whole width (the banner and the
    # window's own panels span it), which its dialogs change and leave in sight.
    width = designer.size[0]
    panels = [n for n in designer.findChildren(lambda n: n.roleName == "panel" and n.showing)
              if 0 < n.size[0] < width - 40]
    preview = max(panels, key=lambda n: n.size[0] * n.size[1])
    for part in ("layout", "background", "text"):
        vantrel.click(designer, t[part])
        dialog = vantrel.window(t[part + " title"])
        check_window(box, dialog, t, "designer-" + part, [t["ok"], t["cancel"]])
        check(not overlap(dialog, preview), "the %s dialog covers the preview" % part)
        vantrel.click(dialog, t["cancel"])
        vantrel.wait_closed(t[part + " title"])
    vantrel.click(designer, t["exit"])
    vantrel.wait_closed(t["designer"])

    # The folder-burn dialog offers the folder a run built in the work folder, labels its
    # field and closes with its own button.
    built = os.path.join(work, "VIDEO_TS")
    os.makedirs(built, exist_ok=True)
    for name in ("VIDEO_TS.BUP", "VIDEO_TS.IFO", "VIDEO_TS.VOB", "VTS_01_0.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB"):
        open(os.path.join(built, name), "wb").close()
    vantrel.click(vantrel.main, t["burn"])
    folder_burn = vantrel.window(t["folder burn"])
    check_window(box, folder_burn, t, "folder-burn", [t["folder label"], t["close"]])
    fields = [n.text for n in folder_burn.findChildren(lambda n: n.roleName == "text")]
    check(fields == [built], "the folder built is offered: %r" % fields)
    vantrel.click(folder_burn, t["close"])
    vantrel.wait_closed(t["folder burn"])

    vantrel.click(vantrel.main, t["start"])
    formats = vantrel.window(t["formats"])
    check_window(box, formats, t, "disc-format", [t["ok"]])
    vantrel.click(formats, t["ok"])
    vantrel.answer(vantrel.alert(t["no recorder"]), t["no"])
    burn = vantrel.window(t["burn dialog"])
    wait_for(lambda: burn.findChild(lambda n: n.roleName == "push button" and n.name == t["begin"] and n.sensitive,
                                    retry=False, requireResult=False), message="Start is not offered")
    check_window(box, burn, t, "burn-dialog", [t["begin"], t["erase"], t["close"]])
    vantrel.click(burn, t["erase"])
    erase = vantrel.window(t["erase title"])
    check_window(box, erase, t, "erase", [t["quick erase"], t["yes"], t["no"]])
    vantrel.click(erase, t["no"])
    vantrel.wait_closed(t["erase title"])
    vantrel.click(burn, t["close"])
    vantrel.wait_closed(t["burn dialog"])
    check(vantrel.close(question=t["save question"], button=t["no"]) == 0, "exit status")


ENGLISH = {
    "tag": "en", "locale": "en_US.UTF-8",
    "picture buttons": MAIN_ENGLISH["picture buttons"],
    "main": ["Add", "Menu", "Start", "Properties"],
    "properties": "Properties", "menu tab": "Menu", "facts": ["File:", "Resolution:", "Frame rate:", "Duration:"],
    "menu page": ["Title:"], "cancel": "Cancel",
    "sound tab": "Sound tracks", "sound page": ["Add sound file...", "Add source sound", "Language:", "Offset (ms):"],
    "subtitles tab": "Subtitles",
    "subtitles page": ["Add subtitle file...", "Character encoding:", "Shown by default", "Preview:"],
    "chapters tab": "Chapters",
    "chapters page": ["Default (0, 15, 30, 45, 60 minutes)", "Every", "minutes", "At these times:", "Chapter times:"], "ok": "OK", "yes": "Yes", "no": "No", "close": "Close",
    "menu": "Menu", "designer": "Design the menu", "layout": "Layout", "background": "Background", "text": "Text",
    "exit": "Exit", "layout title": "Menu layout", "background title": "Menu background", "text title": "Text",
    "burn": "Burn", "folder burn": "Write a DVD", "start": "Start", "formats": "Choose the disc format ",
    "no recorder": "No compatible DVD-RW drive was found. Do you want to see how to reach a recorder?",
    "burn dialog": "Burn Disc", "begin": "Start", "erase": "Erase", "erase title": "Erase the disc",
    "quick erase": "Quick erase", "folder label": "VIDEO_TS folder", "save question": "has unsaved changes. Save them?", "image link": "What is an authored video DVD image?",
}
CHINESE = {
    "tag": "zh_CN", "locale": "zh_CN.UTF-8",
    "picture buttons": MAIN_CHINESE["picture buttons"],
    "main": ["添加", "菜单", "运行", "属性"],
    "properties": "属性", "menu tab": "菜单", "facts": ["文件:", "分辨率:", "帧率:", "持续时间:"],
    "menu page": ["标题:"], "cancel": "取消",
    "sound tab": "音轨", "sound page": ["添加声音文件...", "添加来源音轨", "语言:", "偏移 (毫秒):"],
    "subtitles tab": "字幕", "subtitles page": ["添加字幕文件...", "字符编码:", "默认显示", "预览:"],
    "chapters tab": "章节", "chapters page": ["默认 (0, 15, 30, 45, 60 分钟)", "每隔", "分钟", "指定时间:", "章节时间:"], "ok": "确定", "yes": "是", "no": "否", "close": "关闭",
    "menu": "菜单", "designer": "设计菜单", "layout": "版面", "background": "背景", "text": "文本",
    "exit": "退出", "layout title": "菜单版面", "background title": "菜单背景设置", "text title": "文本",
    "burn": "刻录", "folder burn": "刻录 DVD 光盘", "start": "运行", "formats": "选择光盘格式 ",
    "no recorder": "无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？",
    "burn dialog": "刻录光盘", "begin": "开始", "erase": "擦除", "erase title": "擦除光盘",
    "quick erase": "快速擦除光盘", "folder label": "VIDEO_TS 文件夹", "save question": "有未保存的更改。要保存吗？", "image link": "什么是已授权的视频 DVD 映象？",
}


def test(box):
    box.no_tips()
    walk(box, ENGLISH)
    walk(box, CHINESE)


if __name__ == "__main__":
    run(test, "language_windows")
