# SPDX-License-Identifier: GPL-3.0-or-later
"""Files on the command line become titles at start-up ("Open with"); with an empty list,
"菜单" and "运行" only tell the user to add videos first."""
from vantrel_gui import Vantrel, check, pixel, run, screenshot, wait_for

NO_TITLES = '没有视频文件，请先单击 "添加" 按钮选择视频文件。'


def expect_no_titles_message(vantrel, button):
    vantrel.click(vantrel.main, button)
    box = vantrel.alert(NO_TITLES)
    vantrel.expect_box(box, "Vantrel", "Information", ["确定"], default="确定")
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
    long_clip = box.make_clip("long.avi", 1200.5, size="160x120", rate=1)  # twenty minutes (and the codec's 2 s)
    vantrel = Vantrel(box, ["first clip.mpg", avi, long_clip])  # a relative name and full paths
    rows = vantrel.rows(3)
    check([r[2] for r in rows] == ["first clip.mpg", "second.avi", "long.avi"], "titles %r" % rows)
    check([r[3] for r in rows] == ["00:00:02", "00:00:03", "00:20:02"], "lengths %r" % rows)
    path = screenshot("command-line", vantrel.main)

    # The gauge fills up to twenty minutes, ten ticks of 2 minutes from its left edge.
    label = vantrel.main.child(roleName="label", name="菜单样式 - 12 缩略图")
    (wx, wy), (lx, ly) = vantrel.main.position, label.position
    gauge_row = ly - wy - 32  # inside the fill band of the gauge above the texts
    filled = [pixel(path, x, gauge_row) for x in range(lx - wx + 4, lx - wx + 60, 8)]
    check(all(b > 150 and r < 120 for r, g, b in filled), "gauge filled: %r" % filled)
    beyond = pixel(path, lx - wx + 6 + 12 * 15, gauge_row)
    check(not (beyond[2] > 150 and beyond[0] < 120), "gauge not filled past the total: %r" % (beyond,))
    check(vantrel.close() == 0, "exit status")


run(test, "command-line")
