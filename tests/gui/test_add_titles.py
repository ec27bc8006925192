# SPDX-License-Identifier: GPL-3.0-or-later
"""Adding three generated clips through the real file chooser: rows 1, 2, 3 with their
thumbnails and lengths, the gauge's total; then moving and removing rows."""
import os

from vantrel_gui import Vantrel, check, rawinput, run, screenshot, wait_for


def choose_files(vantrel):
    """The chooser opens in the folder the program was started from (the clips' folder);
    every clip in it is selected and opened."""
    chooser = vantrel.window("添加 mpeg 文件到影片列表")
    wait_for(lambda: chooser.findChild(lambda n: n.name == "alpha.mpg", retry=False),
             message="the chooser does not list the clips")
    wait_for(lambda: vantrel.focus("添加 mpeg 文件到影片列表"), message="the chooser took no keyboard")
    rawinput.keyCombo("<Control>a")
    import pyatspi
    wait_for(lambda: len([c for c in chooser.findChildren(lambda n: n.roleName == "table cell" and n.name.endswith(
        ".mpg")) if c.getState().contains(pyatspi.STATE_SELECTED)]) == 3, message="the clips were not all selected")
    screenshot("add-titles-chooser", chooser)
    vantrel.click(chooser, "Open")
    vantrel.wait_closed("添加 mpeg 文件到影片列表")


def test(box):
    box.no_tips()
    clips = [box.make_clip(name, seconds) for name, seconds in
             (("alpha.mpg", 2.5), ("beta.final.mpg", 3.5), ("gamma.mpg", 4.5))]
    vantrel = Vantrel(box)
    vantrel.click(vantrel.main, "添加")
    choose_files(vantrel)
    rows = wait_for(lambda: (lambda r: r if len(r) == 3 else None)(vantrel.table_rows()[0]), timeout=30,
                    message="three rows did not appear")
    check([r[0] for r in rows] == ["1", "2", "3"], "row numbers %r" % rows)
    check([r[2] for r in rows] == ["alpha.mpg", "beta.final.mpg", "gamma.mpg"], "titles %r" % rows)
    check([r[3] for r in rows] == ["00:00:02", "00:00:03", "00:00:04"], "lengths %r" % rows)
    # The scratch bitmaps of the thumbnails are gone once read (their names carry the process).
    left = [n for n in os.listdir(box.app_dir) if n.startswith("TEMPBITMAP")]
    check(not left, "scratch bitmaps left behind: %r" % left)
    labels = [n.name for n in vantrel.main.findChildren(lambda n: n.roleName == "label")]
    check(any(l.startswith("影片文件大小 - ") and l.endswith(" MB ") and l != "影片文件大小 - 0.00 MB " for l in labels),
          "movie size %r" % labels)
    path = screenshot("add-titles", vantrel.main)

    # Move the first title down, then remove the middle row.
    _, table = vantrel.table_rows()
    first = [c for c in table.children if c.name == "alpha.mpg"][0]
    vantrel.select(first)
    vantrel.click(vantrel.main, "移动选定的对象到下一位置")
    rows = wait_for(lambda: (lambda r: r if r[1][2] == "alpha.mpg" else None)(vantrel.table_rows()[0]),
                    message="move down did not happen")
    check([r[2] for r in rows] == ["beta.final.mpg", "alpha.mpg", "gamma.mpg"], "after move %r" % rows)
    vantrel.click(vantrel.main, "移除选定的对象")
    rows = wait_for(lambda: (lambda r: r if len(r) == 2 else None)(vantrel.table_rows()[0]),
                    message="remove did not happen")
    check([r[0] for r in rows] == ["1", "2"], "renumbered %r" % rows)
    check([r[2] for r in rows] == ["beta.final.mpg", "gamma.mpg"], "after remove %r" % rows)
    screenshot("add-titles-after-remove", vantrel.main)

    # The keyboard: Delete removes the selected title, Insert opens the chooser again.
    vantrel.select(vantrel.cell(0, 2))
    vantrel.press("Vantrel", "Delete")
    rows = wait_for(lambda: (lambda r: r if len(r) == 1 else None)(vantrel.table_rows()[0]),
                    message="Delete did not remove the title")
    check(rows[0][:3] == ["1", "", "gamma.mpg"], "after Delete %r" % rows)
    vantrel.focus("Vantrel")
    rawinput.pressKey("Insert")
    vantrel.window("添加 mpeg 文件到影片列表")
    vantrel.close_window("添加 mpeg 文件到影片列表")
    vantrel.wait_closed("添加 mpeg 文件到影片列表")
    check(len(vantrel.table_rows()[0]) == 1, "a cancelled chooser adds nothing")
    check(vantrel.close() == 0, "exit status")


run(test, "add-titles")
