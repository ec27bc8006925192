# SPDX-License-Identifier: GPL-3.0-or-later
"""A build can be stopped at any moment: the Stop button and the close box each ask first
(No lets the build go on), Yes stops it with "运行已取消。" in the event log, and after the
close box the dialog closes once the build has stopped; the disc made before is put back
whole and no tool or part file is left."""
import glob
import os
import subprocess

from dialogs_gui import (Host, answer, check, choose_target, click, control, descendants, log_has,
                         log_lines, lsdvd_titles, record_gaps, screenshot, wait_for, wait_gone,
                         wait_window)

STOP_QUESTION = "DVD 还没有建好。您想要停止这次运行吗？"
TOOLS = ("dvdauthor", "spumux", "jpeg2yuv", "mpeg2enc", "mplex")


def disc_files(work):
    folder = os.path.join(work, "DVD", "VIDEO_TS")
    return {name: os.path.getsize(os.path.join(folder, name)) for name in sorted(os.listdir(folder))}


def tools_running(pid):
    """The authoring tools still running under the host program."""
    out = subprocess.run(["ps", "-e", "-o", "pid=,ppid=,comm="], capture_output=True, text=True).stdout
    children, names = {}, {}
    for line in out.splitlines():
        p, pp, name = line.split(None, 2)
        children.setdefault(int(pp), []).append(int(p))
        names[int(p)] = name
    found, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            todo.append(child)
            if names[child] in TOOLS:
                found.append(names[child])
    return found


def press_stop(burn):
    """Clicks 停止 while the build runs (the button is Start again once it has ended)."""
    stop = control(burn, "push button", "停止")
    check(stop.name == "停止" and stop.doActionNamed("click"), "停止 clicked while the build runs")


def start_and_reach_repair(host, burn):
    """Starts a build and waits until it repairs the AVI title (the long step). The AVI is
    touched first, so that the run repairs it anew instead of using the last repair."""
    os.utime(host.clips[1], None)
    before = sum("fixing clip2.avi" in l for l in log_lines(burn))
    click(control(burn, "push button", "开始"))
    wait_for(lambda: sum("fixing clip2.avi" in l for l in log_lines(burn)) > before, 120,
             "the build to reach the repair")


def check_left_as_before(host, disc):
    check(disc_files(host.work) == disc, "the disc made before is back whole")
    check(lsdvd_titles(os.path.join(host.work, "DVD", "VIDEO_TS")) == 2, "lsdvd reads the earlier disc")
    parts = glob.glob(os.path.join(host.work, "**", "*.part-*"), recursive=True)
    check(not parts, "no part file left: %r" % parts)
    check(wait_for(lambda: not tools_running(host.process.pid), 30, "the tools to end"), "no tool left running")


def main():
    host = Host(avi_seconds=120)  # a repair long enough to be stopped half-way
    try:
        click(control(host.frame, "push button", "运行"))
        answer(host, "否")  # image files only: the no-recorder question
        burn = wait_window(host, "刻录光盘")
        targets = descendants(burn, "combo box")[0]
        choose_target(burn, len(descendants(targets, "menu item")) - 1)  # the work folder
        click(control(burn, "push button", "开始"))
        wait_for(lambda: log_has(burn, "转换完成"), 240, "the first disc")
        disc = disc_files(host.work)

        # The Stop button: No lets the build go on, Yes stops it.
        start_and_reach_repair(host, burn)
        check(not control(burn, "push button", "关闭").sensitive, "Close is greyed during the build")
        press_stop(burn)
        question = answer(host, "否")
        check(STOP_QUESTION in question, "Stop asks first: %r" % question)
        check(descendants(burn, "push button", "停止") and not log_has(burn, "运行已取消。"),
              "answering No lets the build go on")
        # Yes stops it. The repair may end while the questions are up on a fast machine:
        # that build is done, not stopped, and Yes is tried again on a new one.
        for attempt in range(3):
            if not descendants(burn, "push button", "停止"):
                wait_for(lambda: descendants(burn, "push button", "开始"), 60, "the ended build's Start")
                disc = disc_files(host.work)
                start_and_reach_repair(host, burn)
            finished = sum(line.endswith("转换完成") for line in log_lines(burn))
            press_stop(burn)
            answer(host, "是")
            wait_for(lambda: log_has(burn, "运行已取消。") or
                     sum(line.endswith("转换完成") for line in log_lines(burn)) > finished, 60,
                     "the stop in the event log")
            if log_has(burn, "运行已取消。"):
                break
            print("note: the build ended before Yes reached it; stopping a new one")
        check(log_has(burn, "运行已取消。"), "Yes stops the build")
        start = wait_for(lambda: descendants(burn, "push button", "开始"), 60, "Start back")[0]
        wait_for(lambda: start.sensitive, 30, "Start enabled again")
        screenshot("stop-run-stopped")
        check(not log_lines(burn)[-1].endswith("转换完成"), "a stopped build is not reported as done")
        check_left_as_before(host, disc)

        # The close box: No keeps the dialog and the build; Yes the second time: it closes stopped.
        start_and_reach_repair(host, burn)
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(host.process.pid), "--name",
                              "^刻录光盘$"], capture_output=True, text=True).stdout.split()
        from vantrel_gui import send_close_request
        for xid in ids:
            send_close_request(int(xid))
        question = answer(host, "否")
        check(STOP_QUESTION in question, "the close box asks first: %r" % question)
        check(descendants(burn, "push button", "停止"), "answering No keeps the build and the dialog")
        for xid in ids:
            send_close_request(int(xid))
        question = answer(host, "是")
        check(STOP_QUESTION in question, "the close box asks again: %r" % question)
        wait_gone(host, "刻录光盘", 120)
        check_left_as_before(host, disc)
        report = host.close()
    finally:
        host.stop()
    record_gaps("builds stopped by Stop, the close box and Esc", report)


if __name__ == "__main__":
    main()
