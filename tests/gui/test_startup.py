# SPDX-License-Identifier: GPL-3.0-or-later
"""Start-up without tips, the main window's buttons and texts; closing writes Settings.ini."""
import subprocess

from vantrel_gui import Vantrel, check, run, screenshot, wait_for


def test(box):
    box.no_tips()
    vantrel = Vantrel(box)
    main = vantrel.main
    for caption in ("添加", "菜单", "运行", "设置", "刻录", "皮肤", "主页", "帮助"):
        vantrel.button(main, caption)
    for name in ("移动选定的对象到上一位置", "移动选定的对象到下一位置", "移除选定的对象", "属性"):
        vantrel.button(main, name)
    labels = [n.name for n in main.findChildren(lambda n: n.roleName == "label")]
    check("菜单样式 - 12 缩略图" in labels, "menu style text missing: %r" % labels)
    check("影片文件大小 - 0 MB" in labels, "movie size text missing: %r" % labels)
    check(any(l.startswith("临时目录: ") and l.endswith("vantrel_dvd") for l in labels), "temp folder text: %r" % labels)
    screenshot("main-window", main)

    # The window may be resized; the list grows with it.
    table = main.child(roleName="table")
    (width, height) = table.size
    for xid in vantrel.window_ids("Vantrel"):
        subprocess.run(["xdotool", "windowsize", "--sync", str(xid), "1100", "800"], check=True)
    wait_for(lambda: table.size[0] > width + 200 and table.size[1] > height + 150,
             message="the list did not grow with the window: %r" % (table.size,))
    screenshot("main-window-large", main)
    check(vantrel.close() == 0, "exit status")
    settings = box.read_settings()
    check(settings.sections() == ["general", "menu", "dvd"] or set(settings.sections()) == {"general", "menu", "dvd"},
          "sections %r" % settings.sections())
    check(settings["general"]["skin"] == "1", "skin default")
    keys = {"general": ["skin"], "menu": ["layout", "headline", "footline"],
            "dvd": ["temppath", "burnproof", "cachimage", "dvdhigh", "deletetemp", "createmenu", "audiocodec",
                    "convertbefore", "zoom", "filesystem", "resolution"]}
    for section, names in keys.items():
        for name in names:
            check(name in settings[section], "%s/%s written though nothing changed" % (section, name))


run(test, "startup")
