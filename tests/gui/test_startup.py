"""Start-up without tips, the main window's buttons and texts; closing writes Settings.ini."""
from vantrel_gui import Vantrel, check, run, screenshot


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
    check(vantrel.close() == 0, "exit status")
    settings = box.read_settings()
    check(settings.sections() == ["general", "menu", "dvd"] or set(settings.sections()) == {"general", "menu", "dvd"},
          "sections %r" % settings.sections())
    check(settings["general"]["skin"] == "1", "skin default")
    check(len(settings["dvd"]) == 12 and len(settings["menu"]) == 3, "all sixteen keys written (disccapacity too)")


run(test, "startup")
