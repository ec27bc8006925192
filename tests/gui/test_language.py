# SPDX-License-Identifier: GPL-3.0-or-later
"""The windows speak the locale's language: under an English locale no accessible name or
label of the main window, the tip of the day, the settings, the about box and the help
viewer holds a Chinese character, and no text of theirs is cut by its widget; under a Chinese locale they carry the
program's own texts. English chosen in the settings under a Chinese locale shows English from the next start.
Screenshots of both sets go to build/screens/lang-*.png."""
import re

from text_fit import clipped_texts
from vantrel_gui import Vantrel, check, run, screenshot, wait_for

HAN = re.compile("[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")


def texts(box, node):
    """Every accessible name under the node, the sandbox's own (Chinese) folder names left out."""
    names = [node.name] + [n.name for n in node.findChildren(lambda n: bool(n.name))]
    # A path too long for its label shows only its end, which may hold only the folder name.
    return [name.replace(box.home, "HOME").replace(box.root, "ROOT").replace("home 家", "HOME")
            .replace("media 视频", "MEDIA") for name in names]


def check_language(box, node, english, expected):
    names = texts(box, node)
    if english:
        chinese = [name for name in names if HAN.search(name)]
        check(not chinese, "%r: Chinese under an English locale: %r" % (node.name, chinese))
    for text in expected:  # a button's mnemonic may follow its caption
        check(any(name == text or name.startswith(text) for name in names),
              "%r: %r missing from %r" % (node.name, text, names))


def check_fit(window, name, picture_buttons=(), fonts=None):
    """Every text of the window fits its widget (picture-only buttons have names, no captions)."""
    problems = clipped_texts(window, skip=lambda n: n.roleName == "push button" and n.name in picture_buttons,
                             fonts=fonts)
    check(not problems, "%s: texts that do not fit: %r" % (name, problems))


def help_item(vantrel, help_caption, name):
    vantrel.click(vantrel.main, help_caption)
    item = wait_for(lambda: vantrel.app.findChild(lambda n: n.roleName == "menu item" and n.name == name and
                                                  n.showing, retry=False, requireResult=False),
                    message="the help menu did not open")
    item.doActionNamed("click")


def walk(box, locale, t):
    english = locale.startswith("en")
    box.env.update(LANGUAGE="", LC_ALL=locale)
    box.write_profile("")  # the tip of the day shows at start-up
    # No files on the command line: the sandbox's folders have Chinese names, which a locale
    # this machine has not generated (en_US, zh_CN) cannot pass through argv.
    vantrel = Vantrel(box)
    tips = vantrel.window(t["tips"])
    wait_for(lambda: any(n.roleName == "label" and len(n.name) > 20 for n in tips.findChildren(lambda n: True)),
             message="no tip shown")
    check_language(box, tips, english, [t["next tip"]])
    screenshot("lang-%s-tip-of-the-day" % t["tag"], tips)
    check_fit(tips, "tip of the day")
    tips.findChild(lambda n: n.roleName == "push button" and n.name.startswith(t["close"])).doActionNamed("click")
    vantrel.wait_closed(t["tips"])

    check_language(box, vantrel.main, english, t["main"])
    screenshot("lang-%s-main-window" % t["tag"], vantrel.main)
    check_fit(vantrel.main, "main window", t["picture buttons"])

    vantrel.click(vantrel.main, t["settings button"])
    settings = vantrel.window(t["settings"])
    # The window is there before all of its pages are: wait until each of its texts is.
    wait_for(lambda: all(any(name == text or name.startswith(text) for name in texts(box, settings))
                         for text in t["settings texts"]), message="the settings window's texts")
    check_language(box, settings, english, t["settings texts"])
    screenshot("lang-%s-settings" % t["tag"], settings)
    check_fit(settings, "settings")
    if english:
        vantrel.click(settings, t["cancel"])
    else:  # the language chosen in the settings wins over the locale from the next start
        settings.child(name="English", roleName="radio button").doActionNamed("click")
        vantrel.click(settings, t["ok"])
    vantrel.wait_closed(t["settings"])

    help_item(vantrel, t["help"], t["about item"])
    about = vantrel.window(t["about"])
    check_language(box, about, english, [t["ok"]])
    screenshot("lang-%s-about" % t["tag"], about)
    # The links are flat buttons: their captions have no frame around them.
    check_fit(about, "about", fonts={name: {"padding": "0"} for name in t["links"]})
    vantrel.click(about, t["ok"])
    vantrel.wait_closed(t["about"])

    help_item(vantrel, t["help"], t["help item"])
    viewer = vantrel.window(t["help viewer"])
    # The page itself is not in the accessibility tree: its language shows in the screenshot.
    screenshot("lang-%s-help" % t["tag"], viewer)
    check_language(box, viewer, english, [])
    check_fit(viewer, "help viewer")
    check(vantrel.close() == 0, "exit status")
    if not english:
        check(box.read_settings()["general"]["language"] == "2", "the choice is kept")
        box.no_tips()
        vantrel = Vantrel(box)
        check_language(box, vantrel.main, True, ENGLISH["main"])
        check(vantrel.close() == 0, "exit status")


ENGLISH = {
    "tag": "en", "tips": "Tip of the day",
    "picture buttons": ("Move the selected title up", "Move the selected title down", "Remove the selected title",
                        "Properties"), "next tip": "Next tip", "close": "Close",
    "main": ["Add", "Menu", "Start", "Settings", "Burn", "Skin", "Home page", "Help", "Menu style - 12 thumbnails"],
    "settings button": "Settings", "settings": "Settings...", "cancel": "Cancel",
    "settings texts": ["Create a video DVD menu", "Convert/repair video files before authoring", "OK",
                       "Language:", "Follow the system", "Chinese", "English"],
    "help": "Help", "about item": "About...", "links": ("Home page", "Support"), "about": "About", "ok": "OK",
    "help item": "Help contents", "help viewer": "Vantrel Help",
}
CHINESE = {
    "tag": "zh_CN", "tips": "每日提示",
    "picture buttons": ("移动选定的对象到上一位置", "移动选定的对象到下一位置", "删除选定的对象", "属性"), "next tip": "下一提示", "close": "关闭",
    "main": ["添加", "菜单", "运行", "设置", "刻录", "皮肤", "主页", "帮助", "菜单样式 - 12 缩略图"],
    "settings button": "设置", "settings": "设置...", "cancel": "取消",
    "settings texts": ["创建视频 DVD 菜单", "授权之前转换/修复视频文件", "确定", "界面语言:", "跟随系统", "中文", "English"],
    "help": "帮助", "about item": "关于...", "links": ("主页", "技术支持"), "about": "关于", "ok": "确定",
    "help item": "帮助目录", "help viewer": "Vantrel 帮助",
}


def test(box):
    walk(box, "en_US.UTF-8", ENGLISH)
    walk(box, "zh_CN.UTF-8", CHINESE)


if __name__ == "__main__":
    run(test, "language")
