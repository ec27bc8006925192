# SPDX-License-Identifier: GPL-3.0-or-later
"""Unsaved changes survive a crash: the program keeps them in the user's state folder (every
second here, every minute by default), is killed with SIGKILL, and the next start offers
them back; the restored project is the one before the kill, still marked as unsaved."""
import glob
import json
import os
import subprocess

from dialogs_gui import descendants
from vantrel_gui import MAIN, Vantrel, check, run, screenshot, wait_for


def titles_of(path):
    """A project file's titles with their sources as absolute paths."""
    project = json.load(open(path, encoding="utf-8"))
    folder = os.path.dirname(path)
    for title in project["titles"]:
        title["source"] = os.path.normpath(os.path.join(folder, title["source"]))
    return project


def test(box):
    box.no_tips()
    box.env["VANTREL_RECOVERY_SECONDS"] = "1"
    recovery = os.path.join(box.home, ".local", "state", "vantrel", "recovery")
    clips = [box.make_clip("alpha.mpg", 2), box.make_clip("beta.mpg", 3, colour="navy")]
    vantrel = Vantrel(box, clips)
    try:
        vantrel.rows(2)
        vantrel.select(vantrel.cell(0, 2))
        vantrel.click(vantrel.main, "移动选定的对象到下一位置")
        wait_for(lambda: vantrel.table_rows()[0][0][2] == "beta.mpg", message="the move did not happen")
        before = vantrel.table_rows()[0]
        copy = os.path.join(recovery, "unsaved-%d.vantrel" % vantrel.proc.pid)
        kept = wait_for(lambda: (lambda p: p if [t["source"] for t in p["titles"]] == clips[::-1] else None)(
            titles_of(copy)) if os.path.exists(copy) else None, timeout=30,
            message="the unsaved changes were not kept in the state folder")
        os.kill(vantrel.proc.pid, 9)
        vantrel.proc.wait()
    finally:
        vantrel.kill()
    check(os.path.exists(copy), "the copy outlives the killed program")

    vantrel = Vantrel(box)
    try:
        question = vantrel.alert("Vantrel 上次没有正常结束，项目“未命名”的未保存更改还在。要恢复吗？")
        screenshot("recovery-question", question)
        vantrel.answer(question, "是")
        rows = wait_for(lambda: (lambda r: r if len(r) == 2 else None)(vantrel.table_rows()[0]), timeout=60,
                        message="the restored titles did not come")
        check(rows == before, "the list as it was before the kill: %r, %r" % (rows, before))
        check(vantrel.main.name == "*未命名 - Vantrel", "restored changes are unsaved: %r" % vantrel.main.name)
        check(not os.path.exists(copy), "the restored copy is taken away")
        mine = os.path.join(recovery, "unsaved-%d.vantrel" % vantrel.proc.pid)
        check(os.path.exists(mine), "the restored changes are kept for a crash at once")
        check(titles_of(mine) == kept, "the restored project equals the one before the kill")
        screenshot("recovery-restored", vantrel.main)
        check(vantrel.close() == 0, "exit status")  # the question is answered with 否
    finally:
        vantrel.kill()
    check(not glob.glob(os.path.join(recovery, "unsaved-*")), "changes given up leave no copy behind")

    # The offer comes before the command line's files are added: once the file is a title,
    # no offer was made.
    vantrel = Vantrel(box, clips[:1])
    try:
        vantrel.rows(1)
        check(not vantrel.alerts(), "nothing to restore after a normal end")
        check(vantrel.close() == 0, "exit status")
    finally:
        vantrel.kill()


run(test, "project-recovery")
