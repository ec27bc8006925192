# SPDX-License-Identifier: GPL-3.0-or-later
"""One bar for the whole run: over a build of four titles (three of them repaired) the burn
dialog's bar, read through the accessibility tree all along, never goes back, passes through
many values on its way and ends full; the line below it names the step, title k of n and the
time left, and at the end says the run is done. The dialog's event loop is watched meanwhile."""
import re
import time

from dialogs_gui import (Host, answer, check, choose_target, click, control, descendants, log_has,
                         record_gaps, screenshot, wait_for, wait_gone, wait_window)


def fraction(bar):
    value = bar.queryValue()
    return value.currentValue / value.maximumValue if value.maximumValue else 0.0


def progress_label(burn):
    """The line below the bar, found once it shows a step (the dialog's tree is large)."""
    for label in descendants(burn, "label"):
        if label.name.startswith("步骤 "):
            return label
    return None


def main():
    # Repairs long enough that the time left can be told on an idle machine too: it is
    # guessed only after three seconds of the run.
    host = Host(clips=4, avi_seconds=60)
    try:
        click(control(host.frame, "push button", "运行"))
        answer(host, "否")  # image files only: the no-recorder question
        burn = wait_window(host, "刻录光盘")
        targets = descendants(burn, "combo box")[0]
        choose_target(burn, len(descendants(targets, "menu item")) - 1)  # the work folder
        bar = descendants(burn, "progress bar")[0]
        click(control(burn, "push button", "开始"))

        values, lines = [], []
        label = wait_for(lambda: progress_label(burn), 30, "the progress line")
        end = time.time() + 240
        last_log_check = 0.0
        while time.time() < end:
            values.append(fraction(bar))
            line = label.name
            if line and (not lines or lines[-1] != line):
                lines.append(line)
            # The event log is a large tree: it is read once a second, the bar far more often.
            if time.time() - last_log_check > 1.0:
                last_log_check = time.time()
                if log_has(burn, "转换完成"):
                    break
            time.sleep(0.05)
        check(log_has(burn, "转换完成"), "the run ended with 转换完成")
        wait_for(lambda: fraction(bar) >= 0.999, 30, "the bar to end full")
        values.append(fraction(bar))
        wait_for(lambda: "已完成" in label.name, 30, "the line to say the run is done")
        lines.append(label.name)
        screenshot("job-progress-done")

        backwards = [(i, values[i - 1], values[i]) for i in range(1, len(values)) if values[i] < values[i - 1] - 1e-9]
        check(not backwards, "the bar never goes back: %r" % backwards[:5])
        distinct = sorted(set(round(v, 3) for v in values))
        check(len(distinct) >= 8, "the bar moves through the run, not per title or at the end: %r" % distinct)
        check(values[-1] >= 0.999, "the bar ends full: %r" % values[-1])
        print("progress lines: %r" % lines)
        check(any(re.match(r"步骤 1/4: ", l) for l in lines) or any(re.match(r"步骤 2/4: ", l) for l in lines),
              "the line names the step of four: %r" % lines)
        titles = sorted(set(int(m.group(1)) for l in lines for m in [re.search(r"标题 (\d)/4", l)] if m))
        check(titles and titles[-1] >= 2, "title k of 4 counts up: %r" % titles)
        check(any("剩余 " in l for l in lines), "the time left is shown once it can be told: %r" % lines)
        check(lines[-1].startswith("步骤 4/4: ") and lines[-1].endswith("已完成"), "the last line: %r" % lines[-1])
        click(control(burn, "push button", "关闭"))
        wait_gone(host, "刻录光盘")
        report = host.close()
    finally:
        host.stop()
    # The event log is read once a second here (a large tree the loop's thread serves to the
    # accessibility bus), so the loop's own holds are the program's.
    record_gaps("a run of four titles with its whole-job bar", report, limit_ms=100)


if __name__ == "__main__":
    main()
