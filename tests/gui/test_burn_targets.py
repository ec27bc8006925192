# SPDX-License-Identifier: GPL-3.0-or-later
"""The burn dialog's targets driven as a user does: a run written to an image-file recorder
and read back with independent readers, erasing it, a write cancelled half-way, a write
refused at its start handing over to the folder-burn dialog, and the folder-burn dialog writing the authored folder through the library's own window."""
import fcntl
import os
import stat
import subprocess
import threading

from dialogs_gui import (Host, answer, check, choose_target, click, control, descendants, gone, log_has, message_box,
                         log_lines, lsdvd_titles, record_gaps, screenshot, wait_for, wait_gone,
                         wait_window)


def image_readback(iso, label="NEW DISC"):
    info = subprocess.run(["isoinfo", "-d", "-i", iso], capture_output=True, text=True).stdout
    check(("Volume id: " + label) in info if label else "Volume id:" in info,
          "isoinfo reads the image's volume descriptor")
    check(lsdvd_titles(iso) == 2, "lsdvd reads two titles from the written image")


def write_image(host, burn, iso):
    start = control(burn, "push button", "开始")
    wait_for(lambda: start.sensitive, 10, "Start enabled for the image recorder")
    screenshot("burn-dialog")
    click(start)
    wait_for(lambda: log_has(burn, "写入光盘成功完成！"), 180, "the write to end")
    screenshot("burn-dialog-written")
    lines = log_lines(burn)
    for text in ("添加文件...", "写入光盘..."):
        check(any(l.endswith(text) for l in lines), "logged: " + text)
    check(not any(l.endswith("转换完成") for l in lines), "a recorder's run does not end at the folder")
    image_readback(iso)


def erase_image(host, burn, iso):
    click(control(burn, "push button", "擦除"))
    erase = wait_window(host, "擦除光盘")
    quick = control(erase, "check box", "快速擦除光盘")
    check(quick.checked, "quick erase starts checked")
    click(quick)
    question = answer(host, "否")
    check("使用整盘擦除吗" in question, "unchecking asks about the full erase")
    check(wait_for(lambda: quick.checked, 10, "quick erase checked again"), "answering No leaves quick erase checked")
    screenshot("erase-dialog")
    click(control(erase, "push button", "是"))
    wait_gone(host, "擦除光盘", 60)
    question = answer(host, "否")  # the list is read again after an erase
    check("无法检测兼容 DVD-RW 驱动器" in question, "the list read again asks again")
    wait_for(lambda: log_has(burn, "擦除光盘成功完成！"), 10, "the erase to be logged")
    check(os.path.getsize(iso) == 0, "the erased image holds nothing")
    # Erasing a blank medium only says so, in a bare box: no icon, the program's caption.
    click(control(burn, "push button", "擦除"))
    box = message_box(host)
    check(box.name == "Vantrel", "a box without an icon keeps its caption: %r" % box.name)
    check("光盘空白。" in answer(host, "确定"), "a blank medium is not erased")


def cancel_write(host, burn, fifo):
    choose_target(burn, 1)  # the pipe recorder
    start = control(burn, "push button", "开始")
    wait_for(lambda: start.sensitive, 10, "Start enabled for the pipe recorder")
    click(start)
    wait_for(lambda: descendants(burn, "push button", "取消刻录"), 120, "the write to start")
    # The write is held half-way: the pipe is read once, then not until the answer.
    fd = os.open(fifo, os.O_RDONLY)
    first = os.read(fd, 65536)
    check(len(first) > 0, "the write has begun sending the image")
    click(control(burn, "push button", "取消刻录"))
    question = answer(host, "否")
    check("取消写入将可能损坏您的光盘" in question, "Cancel asks first")
    check(descendants(burn, "push button", "取消刻录"), "answering No lets the write go on")
    click(control(burn, "push button", "取消刻录"))
    drained = []
    drain = threading.Thread(target=lambda: drained.append(sum(iter(lambda: len(os.read(fd, 65536)), 0))))
    answer(host, "是")
    drain.start()
    wait_for(lambda: descendants(burn, "push button", "开始"), 30, "Start back after the cancel")
    wait_for(lambda: log_has(burn, "写入光盘被取消！"), 60, "the cancel in the event log")
    drain.join(30)
    os.close(fd)
    screenshot("burn-dialog-cancelled")
    lines = log_lines(burn)
    check(not any(l.endswith("写入光盘成功完成！") for l in lines[-3:]), "the cancelled write is not reported as written")
    check(not any("写入光盘出错" in l for l in lines), "a cancelled write is not shown as an error: %r" % lines[-4:])
    check(any("The write was cancelled" in l for l in lines[-3:]), "the library's note of the cancel is logged")
    check(stat.S_ISFIFO(os.stat(fifo).st_mode), "the pipe the write went to is left alone")


def failed_write_hand_over(host, burn, taken):
    """A write that fails at its start hands the authored folder over to the folder-burn
    dialog: here another program takes the image file between the choice and the write."""
    choose_target(burn, 2)  # the recorder whose image file does not exist yet
    start = control(burn, "push button", "开始")
    wait_for(lambda: start.sensitive, 30, "Start enabled for the third recorder")
    with open(taken, "w") as f:
        f.write("another program's image")
    holder = os.open(taken, os.O_RDONLY)
    fcntl.flock(holder, fcntl.LOCK_EX)
    try:
        click(start)
        notes = []

        def folder_dialog():
            windows = list(host.app.children)
            for w in windows:
                if w.name == "刻录 DVD 光盘":
                    return w
            for w in windows:
                if w.roleName in ("alert", "dialog") and w.name != "刻录光盘" and \
                        descendants(w, "push button", "确定"):
                    notes.append(" ".join(l.name for l in descendants(w, "label")))
                    click(control(w, "push button", "确定"))
                    wait_for(lambda: gone(w), 30, "the note to close")
            return None
        folder = wait_for(folder_dialog, 180, "the folder-burn dialog after the failed write")
        text = " ".join(notes)
        check("another program" in text, "the refusal names its reason: " + text)
        check("刻录光盘失败" in text, "the wrong-medium note is shown before the hand-over")
        edit = descendants(folder, "text")[0]
        check(edit.queryText().getText(0, -1).endswith("/DVD/VIDEO_TS"),
              "the folder-burn dialog holds the authored VIDEO_TS folder")
        screenshot("failed-write-hand-over")
        click(edit)
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        wait_gone(host, "刻录 DVD 光盘")
        wait_gone(host, "刻录光盘", 30)  # the burn dialog ends with the hand-over
    finally:
        os.close(holder)
    with open(taken) as f:
        check(f.read() == "another program's image", "the other program's file is untouched")


def folder_burn(host, iso):
    click(control(host.frame, "push button", "刻录"))
    dialog = wait_window(host, "刻录 DVD 光盘")
    # Preset with the folder holding VIDEO_TS, as a failed write hands it over.
    edit = descendants(dialog, "text")[0]
    screenshot("folder-burn-dialog")
    click(control(dialog, "push button", "刻录"))
    wait_for(lambda: edit.queryText().getText(0, -1).endswith("/DVD/VIDEO_TS"), 10,
             "the accepted VIDEO_TS subfolder shown")
    wait_for(lambda: [w for w in host.app.children if w.name == "刻录 DVD 光盘"][1:], 30,
             "the library's writing window")
    writer = [w for w in host.app.children if w.name == "刻录 DVD 光盘"][-1]
    wait_for(lambda: descendants(writer, "label", "写入光盘成功完成！"), 120, "the library window's write")
    screenshot("library-burn-window")
    click(control(writer, "push button", "关闭"))
    wait_for(lambda: len([w for w in host.app.children if w.name == "刻录 DVD 光盘"]) == 1, 30,
             "the library's writing window to close")
    image_readback(iso, label="")  # the folder burn keeps the library's own options
    click(edit)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    wait_gone(host, "刻录 DVD 光盘")


def main():
    host_dir_pipe = "/tmp/vantrel-gui-pipe-%d.iso" % os.getpid()
    os.mkfifo(host_dir_pipe)
    taken = "/tmp/vantrel-gui-taken-%d.iso" % os.getpid()
    host = Host(image_drives=host_dir_pipe + ";" + taken)
    try:
        iso = os.path.join(host.work, "vantrel.iso")
        click(control(host.frame, "push button", "运行"))
        question = answer(host, "否")  # image files only: no drive was found
        check("无法检测兼容 DVD-RW 驱动器" in question, "the no-recorder question comes first")
        burn = wait_window(host, "刻录光盘")
        write_image(host, burn, iso)
        erase_image(host, burn, iso)
        cancel_write(host, burn, host_dir_pipe)
        close = control(burn, "push button", "关闭")
        wait_for(lambda: close.sensitive, 30, "Close back once the cancelled write has ended")
        failed_write_hand_over(host, burn, taken)
        folder_burn(host, iso)
        report = host.close()
    finally:
        host.stop()
        os.unlink(host_dir_pipe)
        if os.path.exists(taken):
            os.unlink(taken)
    record_gaps("image recorder write, erase, cancel, folder burn", report)


if __name__ == "__main__":
    main()
