# SPDX-License-Identifier: GPL-3.0-or-later
"""A disc project round trip: titles, a caption and a thumbnail frame from the properties
sheet, a menu designed with a header text and a background colour; saved with Ctrl+S,
the program restarted on the project file, every value found again (Save As writes the
same project), a run to the work folder; then the command line authors the same file and
its disc equals the desktop's: the same titles and lengths (lsdvd) and the same menu page."""
import json
import os
import re
import subprocess

from dialogs_gui import click_at, control, descendants, popups
from vantrel_gui import (APP_BUILD_DIR, MAIN, Vantrel, check, pixel, rawinput, run, screenshot,
                         wait_for)


def title_lengths(video_ts):
    out = subprocess.run(["lsdvd", video_ts], capture_output=True, text=True).stdout
    return re.findall(r"^Title: (\d+), Length: (\S+)", out, re.M)


def picture(path):
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf
    pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
    return pixbuf.get_width(), pixbuf.get_height(), pixbuf.get_pixels()


def properties(vantrel, row, stem, caption, hundredths):
    vantrel.select(vantrel.cell(row, 2))
    vantrel.click(vantrel.main, "属性")
    sheet = wait_for(lambda: [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab" and n.name == "菜单", retry=False, requireResult=False)],
        message="the properties sheet did not open")[0]
    sheet.child(name="菜单", roleName="page tab").click()
    slider = wait_for(lambda: sheet.findChild(lambda n: n.roleName == "slider" and n.showing, retry=False),
                      message="no slider on the menu page")
    slider.value = hundredths
    box = wait_for(lambda: sheet.findChild(lambda n: n.roleName == "text" and n.showing and n.text == stem,
                                           retry=False), message="the caption box holds the title")
    box.text = caption
    wait_for(lambda: box.text == caption, message="the caption was not typed")
    vantrel.click(sheet, "确定")
    wait_for(lambda: not vantrel.dialogs(), message="the sheet stayed open")
    wait_for(lambda: vantrel.table_rows()[0][row][2] == caption, message="the caption did not reach the list")


def design(vantrel):
    vantrel.click(vantrel.main, "菜单")
    designer = vantrel.window("设计菜单")
    vantrel.click(designer, "背景")
    background = vantrel.window("菜单背景设置")
    colour = control(background, "push button", "背景颜色")
    vantrel.point_at(colour)
    (bx, by), (bw, bh) = colour.position, colour.size
    click_at(bx + bw // 2, by + bh // 2)
    wait_for(lambda: popups(vantrel), message="the palette did not open")
    click_at(bx + 6 * 10 + 4, by + bh - 1 + 4)  # cell (6, 0) of the palette: pure green
    wait_for(lambda: not popups(vantrel), message="the palette stayed open")
    vantrel.click(background, "确定")
    vantrel.wait_closed("菜单背景设置")

    vantrel.click(designer, "文本")
    text = vantrel.window("文本")
    edit = descendants(control(text, "panel", "页眉"), "text")[0]
    vantrel.point_at(edit)
    (ex, ey), (ew, eh) = edit.position, edit.size
    click_at(ex + ew // 2, ey + eh // 2)
    wait_for(lambda: vantrel.focus("文本"), message="the text dialog took no keyboard")
    subprocess.run(["xdotool", "key", "ctrl+a"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "20", "Holiday 2026"], check=True)
    wait_for(lambda: edit.queryText().getText(0, -1) == "Holiday 2026", message="the header text was not typed")
    vantrel.click(text, "确定")
    vantrel.wait_closed("文本")
    screenshot("project-designer", designer)
    vantrel.click(designer, "退出")
    vantrel.wait_closed("设计菜单")


def save_as(vantrel, keys, path):
    vantrel.select(vantrel.cell(0, 2))  # the keyboard in the list, as after a click
    vantrel.focus(MAIN)
    subprocess.run(["xdotool", "key", keys], check=True)
    chooser = vantrel.window("保存项目")
    name = wait_for(lambda: [t for t in descendants(chooser, "text") if t.showing][0],
                    message="the chooser's name field")
    name.queryEditableText().setTextContents(path)
    wait_for(lambda: name.queryText().getText(0, -1) == path, message="the project's name typed")
    vantrel.click(chooser, "Save")
    vantrel.wait_closed("保存项目")
    stem = os.path.splitext(os.path.basename(path))[0]
    wait_for(lambda: vantrel.main.name == stem + " - Vantrel",
             message="the title bar does not name the saved project: %r" % vantrel.main.name)


def project_menu(vantrel, project):
    """The project menu right of the contract's buttons: its commands with their keys, and
    the recent projects, the one just opened first."""
    vantrel.click(vantrel.main, "项目")
    menu = wait_for(lambda: popups(vantrel), message="the project menu did not open")[0]
    items = wait_for(lambda: [i.name for i in descendants(menu) if i.roleName in ("menu item", "menu")],
                     message="the menu's items")
    screenshot("project-menu")
    for wanted in ("新建", "打开...", "保存", "另存为...", "最近的项目"):
        check(any(i == wanted or i.startswith(wanted + "\t") or i.startswith(wanted + " ") for i in items),
              "the project menu holds %s: %r" % (wanted, items))
    recent = [i for i in items if i.endswith(project)]
    check(recent and recent[0].startswith("1 "), "the opened project leads the recent ones: %r" % items)
    subprocess.run(["xdotool", "key", "Escape"], check=True)
    wait_for(lambda: not popups(vantrel), message="the project menu stayed open")


def run_to_work_folder(vantrel, work):
    vantrel.click(vantrel.main, "运行")
    vantrel.click(vantrel.window("选择光盘格式 "), "确定")
    vantrel.answer(vantrel.alert("无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？"), "否")
    burn = vantrel.window("刻录光盘")
    targets = burn.child(roleName="combo box", retry=False)
    entries = targets.findChildren(lambda n: n.roleName == "menu item")
    targets.querySelection().selectChild(len(entries) - 1)  # the work folder

    def log():
        table = burn.child(roleName="table", retry=False)
        return [c.name for c in table.children if c.roleName == "table cell"]

    wait_for(lambda: any(t.endswith("选择驱动器 [%s]" % work) for t in log()), message="the work folder was not chosen")
    vantrel.click(burn, "开始")
    wait_for(lambda: any(t.endswith("转换完成") for t in log()), timeout=240, message="the run did not end with 转换完成")
    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")


def test(box):
    box.no_tips()
    desktop_work = os.path.join(box.root, "desktop")
    box.write_settings({"dvd": {"temppath": desktop_work, "resolution": 0}, "menu": {"layout": 0}})
    beach = box.make_two_colour_clip("beach.mpg", "red", 2, "blue", 2)
    city = box.make_clip("city.mpg", 3)
    project = os.path.join(box.media, "holiday.vantrel")
    vantrel = Vantrel(box, [beach, city])
    try:
        vantrel.rows(2)
        wait_for(lambda: vantrel.main.name == "*未命名 - Vantrel",
                 message="titles added: the title bar shows the changes (%r)" % vantrel.main.name)
        properties(vantrel, 0, "beach", "海边", 300)  # the thumbnail at 3 s: blue
        design(vantrel)
        save_as(vantrel, "ctrl+s", project)
        saved = json.load(open(project, encoding="utf-8"))
        check([t["source"] for t in saved["titles"]] == ["beach.mpg", "city.mpg"],
              "titles beside the project are stored relative to it: %r" % saved["titles"])
        check(saved["titles"][0]["caption"] == "海边" and saved["titles"][0]["thumbnailShownAt"] == 3.0,
              "caption and thumbnail frame saved: %r" % saved["titles"][0])
        check(saved["menu"]["header"]["text"] == "Holiday 2026", "header text saved: %r" % saved["menu"]["header"])
        check(saved["menu"]["background"]["colour"] == "#00ff00", "background colour saved: %r" % saved["menu"])
        check(saved["menu"]["layout"] == 0 and saved["disc"]["standard"] == "PAL", "choices saved")
        screenshot("project-saved", vantrel.main)
        before = vantrel.table_rows()[0]
        check(vantrel.close() == 0, "a saved project closes without a question")
    finally:
        vantrel.kill()

    vantrel = Vantrel(box, [project])
    try:
        rows = wait_for(lambda: (lambda r: r if len(r) == 2 else None)(vantrel.table_rows()[0]), timeout=60,
                        message="the project's two titles did not come back")
        check([r[2] for r in rows] == ["海边", "city.mpg"], "captions back: %r" % rows)
        check(rows == before, "the list as it was saved: %r, %r" % (rows, before))
        wait_for(lambda: vantrel.main.name == "holiday - Vantrel",
                 message="an opened project is unchanged: %r" % vantrel.main.name)
        path = screenshot("project-reopened", vantrel.main)
        (wx, wy) = vantrel.main.position
        (cx, cy), (cw, ch) = vantrel.cell(0, 1).position, vantrel.cell(0, 1).size
        r, g, b = pixel(path, cx - wx + cw // 2, cy - wy + ch // 2)
        check(b > 200 and r < 60, "the thumbnail shows the saved frame (blue): %r" % ((r, g, b),))
        project_menu(vantrel, project)
        again = os.path.join(box.media, "again.vantrel")
        save_as(vantrel, "ctrl+shift+s", again)
        check(json.load(open(again, encoding="utf-8")) == saved, "the reopened project holds every saved value")
        run_to_work_folder(vantrel, desktop_work)
        check(vantrel.close() == 0, "exit status")
    finally:
        vantrel.kill()

    cli_work = os.path.join(box.root, "command line")
    done = subprocess.run([os.path.join(APP_BUILD_DIR, "vantrel-author"), "author", "--work", cli_work, "--yes",
                           project], env=box.env, cwd=box.root, capture_output=True, text=True, timeout=300)
    check(done.returncode == 0, "the command line authors the project: %s" % done.stderr[-2000:])
    desktop_titles = title_lengths(os.path.join(desktop_work, "DVD", "VIDEO_TS"))
    cli_titles = title_lengths(os.path.join(cli_work, "DVD", "VIDEO_TS"))
    check(len(desktop_titles) == 2 and desktop_titles == cli_titles,
          "the same titles and lengths: %r and %r" % (desktop_titles, cli_titles))
    pages = [os.path.join(w, "TEMP", "menu_background01.jpg") for w in (desktop_work, cli_work)]
    (w1, h1, a), (w2, h2, b) = picture(pages[0]), picture(pages[1])
    check((w1, h1) == (w2, h2) and max(abs(x - y) for x, y in zip(a, b)) <= 2,
          "the menu pages of both runs are the same pixels")
    r, g, b_ = pixel(pages[0], 5, 300)
    check(g > 200 and r < 60 and b_ < 60, "the page's background is the designed green: %r" % ((r, g, b_),))

    # A title that moved away: the opening lists it; without a folder to look in, the
    # project opens without it, marked as changed, and the file stays as it was.
    os.rename(city, os.path.join(box.root, "city.mpg"))
    text = open(project, encoding="utf-8").read()
    vantrel = Vantrel(box, [project])
    try:
        def missing_question():
            for box_ in vantrel.alerts():
                texts = [n.name or "" for n in descendants(box_, "label")]
                if any("项目“holiday”中有 1 个标题的文件不在原来的位置" in t for t in texts):
                    return box_, texts
            return None
        question, texts = wait_for(missing_question, message="the missing title was not listed")
        check(any(city in t for t in texts), "the question names the missing file: %r" % texts)
        screenshot("project-missing-title", question)
        vantrel.answer(question, "否")
        rows = vantrel.rows(1)
        check(rows[0][2] == "海边", "the title still there is opened: %r" % rows)
        wait_for(lambda: vantrel.main.name == "*holiday - Vantrel",
                 message="a title left out is a change: %r" % vantrel.main.name)
        check(vantrel.close() == 0, "exit status")
    finally:
        vantrel.kill()
    check(open(project, encoding="utf-8").read() == text, "the project file is not touched")


run(test, "project")
