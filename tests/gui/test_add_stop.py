# SPDX-License-Identifier: GPL-3.0-or-later
"""Adding many files: a loading window counts the files while the program's own loop runs
on; 取消 stops after the file in hand and keeps, in order, the titles loaded so far. A file
that cannot be a title is named in a message over the loading window while the others load."""
import os

from vantrel_gui import Vantrel, check, run, screenshot, wait_for

LOADING = "正在载入文件"


def test(box):
    box.no_tips()
    # Black pictures make every file slow to load: each candidate moment for the thumbnail
    # is decoded in turn before the first is taken. The files are links to one clip.
    # Large pictures and many files keep the loading going well past the click on an idle
    # machine too.
    clip = box.make_clip("clip.mpg", 20, size="1920x1080", colour="black")
    names = []
    for k in range(200):
        name = os.path.join(box.media, "copy%03d.mpg" % k)
        os.link(clip, name)
        names.append(name)

    # Stopped while the first files load.
    vantrel = Vantrel(box, args=names)
    window = vantrel.window(LOADING)
    screenshot("add-stop-loading", window)
    vantrel.click(window, "取消")
    vantrel.wait_closed(LOADING)
    rows = vantrel.table_rows()[0]
    print("titles listed when the stop took effect: %d of 200" % len(rows))
    check(len(rows) < 200, "all %d titles came in spite of the stop" % len(rows))
    check([r[2] for r in rows] == ["copy%03d.mpg" % k for k in range(len(rows))], "titles %r" % rows)
    check(vantrel.close() == 0, "exit status")

    # A refused file among others: its message comes over the loading window, and the
    # files after it are still added.
    notes = os.path.join(box.media, "notes.mpg")
    with open(notes, "w") as f:
        f.write("not a film\n")
    vantrel = Vantrel(box, args=[names[0], notes, names[1]])
    head = "无法添加文件 %s: " % notes

    def refusal_box():
        for box_ in vantrel.alerts():
            if box_.findChild(lambda n: (n.name or "").startswith(head), retry=False, requireResult=False):
                return box_
        return None
    refusal = wait_for(refusal_box, message="no message names the refused file")
    check(vantrel.has_window(LOADING), "the loading window went before the message was answered")
    screenshot("add-stop-refused", refusal)
    vantrel.answer(refusal)
    vantrel.wait_closed(LOADING)
    rows = wait_for(lambda: (lambda r: r if len(r) == 2 else None)(vantrel.table_rows()[0]),
                    message="the two films were not both added")
    check([r[2] for r in rows] == ["copy000.mpg", "copy001.mpg"], "titles %r" % rows)
    check(vantrel.close() == 0, "exit status")


run(test, "add-stop")
