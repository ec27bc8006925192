"""Files on the command line become titles at start-up ("Open with"); with an empty list,
"菜单" and "运行" only tell the user to add videos first."""
from vantrel_gui import Vantrel, check, run, screenshot, wait_for

NO_TITLES = '没有视频文件，请先单击 "添加" 按钮选择视频文件。'


def expect_no_titles_message(vantrel, button):
    vantrel.click(vantrel.main, button)
    box = vantrel.alert(NO_TITLES)
    screenshot("no-titles-" + ("menu" if button == "菜单" else "run"), box)
    vantrel.answer(box)


def test(box):
    box.no_tips()
    vantrel = Vantrel(box)
    expect_no_titles_message(vantrel, "菜单")
    expect_no_titles_message(vantrel, "运行")
    check(vantrel.close() == 0, "exit status")

    mpg = box.make_clip("first clip.mpg", 2.5)
    avi = box.make_clip("second.avi", 3.5)
    vantrel = Vantrel(box, ["first clip.mpg", avi])  # a relative name and a full path
    rows = wait_for(lambda: (lambda r: r if len(r) == 2 else None)(vantrel.table_rows()[0]), timeout=30,
                    message="the two files did not become titles")
    check([r[2] for r in rows] == ["first clip.mpg", "second.avi"], "titles %r" % rows)
    check([r[3] for r in rows] == ["00:00:02", "00:00:03"], "lengths %r" % rows)
    screenshot("command-line", vantrel.main)
    check(vantrel.close() == 0, "exit status")


run(test, "command-line")
