# SPDX-License-Identifier: GPL-3.0-or-later
"""章节菜单 ticked in the layout dialog for a project whose titles have chapters: a run to
the work folder builds a chapter page per title, the menu check walks their buttons, lsdvd
reads the titles' chapters back, and the saved project keeps the choice."""
import json
import os
import re
import subprocess

from vantrel_gui import Vantrel, check, log_texts, press, run, screenshot, wait_for


def write_project(box):
    box.make_two_colour_clip("sea.mpg", "red", 2, "blue", 3)
    box.make_clip("town.mpg", 5)
    path = os.path.join(box.media, "chapters.vantrel")
    project = {
        "format": "vantrel-project", "version": 1,
        "titles": [
            {"source": "sea.mpg", "caption": "sea", "chapters": {"mode": "times", "everyMinutes": 0, "times": [2]}},
            {"source": "town.mpg", "caption": "town",
             "chapters": {"mode": "times", "everyMinutes": 0, "times": [1, 2, 3]}},
        ],
        "menu": {"layout": 0},
        "disc": {"standard": "PAL", "menu": True},
    }
    with open(path, "w", encoding="utf-8") as out:
        json.dump(project, out)
    return path


def tick_chapter_menus(vantrel):
    vantrel.click(vantrel.main, "菜单")
    designer = vantrel.window("设计菜单")
    vantrel.click(designer, "版面")
    layout = vantrel.window("菜单版面")
    box = layout.child(name="章节菜单", roleName="check box")
    check(not box.checked, "chapter menus are off in a project without them")
    press(box)
    wait_for(lambda: box.checked, message="the chapter menus box did not tick")
    screenshot("layout-chapter-menus", layout)
    vantrel.click(layout, "确定")
    vantrel.wait_closed("菜单版面")
    vantrel.click(designer, "退出")
    vantrel.wait_closed("设计菜单")


def run_to_work_folder(vantrel, work):
    vantrel.click(vantrel.main, "运行")
    vantrel.click(vantrel.window("选择光盘格式 "), "确定")
    # Image files and the work folder only: the no-recorder question.
    vantrel.answer(vantrel.alert("无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？"), "否")
    burn = vantrel.window("刻录光盘")
    targets = burn.child(roleName="combo box", retry=False)
    entries = [c for c in targets.findChildren(lambda n: n.roleName == "menu item")]
    targets.querySelection().selectChild(len(entries) - 1)  # the work folder
    wait_for(lambda: any(t.endswith("选择驱动器 [%s]" % work) for t in log_texts(burn)),
             message="the work folder was not chosen")
    vantrel.click(burn, "开始")
    wait_for(lambda: any(t.endswith("转换完成") or "失败" in t for t in log_texts(burn)), timeout=120,
             message="the run did not end")
    screenshot("chapter-menus-run", burn)
    lines = log_texts(burn)
    check(any(t.endswith("转换完成") for t in lines), "the run ended with 转换完成: %r" % lines[-6:])
    # Page 1: two titles; sea's page: 2 chapters and 返回; town's page: 4 chapters and 返回.
    check(any(t.endswith("菜单检查: 10 个按钮正确") for t in lines),
          "the menu check walked every chapter button: %r" % lines[-6:])
    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")


def test(box):
    box.no_tips()
    work = os.path.join(box.root, "work")
    box.write_settings({"dvd": {"temppath": work, "resolution": 0}, "menu": {"layout": 0}})
    project = write_project(box)
    vantrel = Vantrel(box, [project])
    try:
        vantrel.rows(2)
        tick_chapter_menus(vantrel)
        run_to_work_folder(vantrel, work)
        out = subprocess.run(["lsdvd", "-c", os.path.join(work, "DVD", "VIDEO_TS")],
                             capture_output=True, text=True).stdout
        chapters = [int(n) for n in re.findall(r"^Title: \d+, .*Chapters: (\d+)", out, re.M)]
        check(chapters == [2, 4], "lsdvd reads the two titles with 2 and 4 chapters: %r" % out)
        check(os.path.exists(os.path.join(work, "TEMP", "menu_background03.jpg")),
              "a chapter page was drawn for each title")
        check(vantrel.close(button="是") == 0, "exit status after saving the project")
    finally:
        vantrel.kill()
    saved = json.load(open(project, encoding="utf-8"))
    check(saved["menu"].get("chapterMenus") is True, "the project keeps the chapter menus: %r" % saved["menu"])


run(test, "chapter-menus")
