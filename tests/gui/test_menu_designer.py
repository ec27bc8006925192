# SPDX-License-Identifier: GPL-3.0-or-later
"""The menu designer driven as a user does: layout, background colour from the palette
grid, header text, size, font, and a header colour taken with the eyedropper from a window
of known colour; then a run to the hard disk whose rendered menu page shows them."""
import os
import subprocess
import time

from dialogs_gui import (Host, answer, centre, check, choose_target, click, click_at, control, descendants, drag, fail,
                         focus, log_lines, lsdvd_titles, pixel_at, popups, record_gaps, screenshot, select_entry,
                         wait_for, wait_gone, wait_window, window, xdotool)

# The swatch window's colour, which the eyedropper must read from the screen.
SWATCH = (0x0A, 0xC8, 0x1E)


def colour_value(r, g, b):
    return r | (g << 8) | (b << 16)


def solid_picture(path, width, height, colour):
    """A PNG of one colour, made with GdkPixbuf."""
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf
    pixbuf = GdkPixbuf.Pixbuf.new(GdkPixbuf.Colorspace.RGB, False, 8, width, height)
    r, g, b = colour
    pixbuf.fill((r << 24) | (g << 16) | (b << 8) | 0xFF)
    pixbuf.savev(path, "png", [], [])


def picture_pixel(path, x, y):
    """One pixel of a picture file (JPEG, PNG) as (r, g, b)."""
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf
    pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
    offset = y * pixbuf.get_rowstride() + x * pixbuf.get_n_channels()
    return tuple(pixbuf.get_pixels()[offset:offset + 3])


def swatch_colour(button):
    """The colour the colour button shows (left of its notch)."""
    (x, y), (w, h) = button.position, button.size
    return pixel_at(x + w // 3, y + h // 2)


def near(colour, wanted, slack=8):
    return all(abs(a - b) <= slack for a, b in zip(colour, wanted))


def toggle(box):
    before = box.checked
    click(box)
    wait_for(lambda: box.checked != before, 10, "%r to change" % box.name)


def design(host):
    click(control(host.frame, "push button", "菜单"))
    designer = wait_window(host, "设计菜单")
    screenshot("designer")

    click(control(designer, "push button", "版面"))
    layout = wait_window(host, "菜单版面")
    select_entry(control(layout, "combo box", None) if False else descendants(layout, "combo box")[0], 1)
    toggle(control(layout, "check box", "页脚线"))
    toggle(control(layout, "check box", "“全部播放”按钮"))
    screenshot("designer-layout")
    click(control(layout, "push button", "确定"))
    wait_gone(host, "菜单版面")

    click(control(designer, "push button", "背景"))
    background = wait_window(host, "菜单背景设置")
    colour_button = control(background, "push button", "背景颜色")
    click(colour_button)  # a plain click leaves the palette open
    wait_for(lambda: popups(host), 10, "the palette to open")
    screenshot("palette")
    (bx, by), (bw, bh) = colour_button.position, colour_button.size
    # The palette opens under the button; cell (6, 0) is pure green.
    click_at(bx + 6 * 10 + 4, by + bh - 1 + 4)
    wait_for(lambda: not popups(host) and near(swatch_colour(colour_button), (0, 255, 0)), 10,
             "the palette to close with green chosen")
    screenshot("designer-background")
    click(control(background, "push button", "确定"))
    wait_gone(host, "菜单背景设置")

    # A background picture: it shows instead of the colour, which stays stored.
    picture = os.path.join(host.temp, "sunset.png")
    solid_picture(picture, 64, 48, (0xC8, 0x1E, 0x0A))
    click(control(designer, "push button", "背景"))
    background = wait_window(host, "菜单背景设置")
    control(background, "push button", "选择背景图片").doActionNamed("click")
    chooser = wait_window(host, "选择背景图片")
    wait_for(lambda: focus(host, "选择背景图片"), 10, "the file chooser to take the keyboard")
    subprocess.run(["xdotool", "key", "ctrl+l"], check=True)
    location = wait_for(lambda: [t for t in descendants(chooser, "text") if t.showing][0], 10, "the location field")
    location.queryEditableText().setTextContents(picture)
    wait_for(lambda: location.queryText().getText(0, -1) == picture, 10, "the picture's path typed")
    open_button = control(chooser, "push button", "Open")
    wait_for(lambda: open_button.sensitive and open_button.doActionNamed("click"), 10, "Open to take the click")
    wait_gone(host, "选择背景图片")
    path = descendants(background, "text")[0]
    wait_for(lambda: path.queryText().getText(0, -1) == picture, 5, "the picture's path in the dialog")
    check(not control(background, "label", "背景颜色:").sensitive, "the colour label is disabled with a picture")
    click(control(background, "push button", "确定"))
    wait_gone(host, "菜单背景设置")

    click(control(designer, "push button", "文本"))
    text = wait_window(host, "文本")
    header = control(text, "panel", "页眉")
    edit = descendants(header, "text")[0]
    click(edit)
    wait_for(lambda: focus(host, "文本"), 10, "the text dialog to take the keyboard")
    subprocess.run(["xdotool", "key", "ctrl+a"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "20", "Holiday 2026"], check=True)
    wait_for(lambda: edit.queryText().getText(0, -1) == "Holiday 2026", 10, "the header text typed")
    combos = descendants(header, "combo box")
    size = [c for c in combos if c.name.isdigit()][0]
    select_entry(size, 17)  # 48
    font = control(header, "panel", "页眉字体")
    click(font)
    wait_for(lambda: popups(host), 10, "the font list to open")
    subprocess.run(["xdotool", "key", "Down", "Down", "Return"], check=True)
    wait_for(lambda: not popups(host), 10, "the font list to close")
    colour = control(header, "push button", "页眉颜色")
    # Press on the colour button, drag onto the swatch window and let go there: the press
    # opens the palette, which follows the pointer from then on.
    swatch = window(host.app, "取色样本")
    start, end = centre(colour), centre(swatch)

    def drag_eyedropper():
        xdotool("mousemove", "--sync", str(start[0]), str(start[1]), "mousedown", "1")
        wait_for(lambda: popups(host), 10, "the palette to open on the press")
        for i in range(1, 9):
            xdotool("mousemove", "--sync", str(start[0] + (end[0] - start[0]) * i // 8),
                    str(start[1] + (end[1] - start[1]) * i // 8))
        xdotool("mouseup", "1")
        deadline = time.time() + 10
        while time.time() < deadline:
            try:
                if not popups(host) and near(swatch_colour(colour), SWATCH):
                    return True
            except Exception:  # the tree changes under us while the palette closes
                pass
            time.sleep(0.1)
        if popups(host):
            xdotool("key", "Escape")
            wait_for(lambda: not popups(host), 10, "the palette to close")
        return False

    # One drag must pick: the colour is the one under the release, even when the toolkit
    # merged the drag's last moves and reported none on the swatch (the palette once kept
    # the colour of the last reported move, and about a third of these drags missed).
    check(drag_eyedropper(), "the eyedropper takes the swatch's colour")
    screenshot("designer-text")
    click(control(text, "push button", "确定"))
    wait_gone(host, "文本")
    screenshot("designer-after")
    # The buttons of the menu play their titles: the run makes the page a looping film.
    click(control(designer, "push button", "动态菜单"))
    motion = wait_window(host, "动态菜单")
    toggle(control(motion, "check box", "动态菜单"))
    screenshot("designer-motion")
    click(control(motion, "push button", "确定"))
    wait_gone(host, "动态菜单")
    click(control(designer, "push button", "退出"))
    wait_gone(host, "设计菜单")


def run_to_hard_disk(host):
    click(control(host.frame, "push button", "运行"))
    answer(host, "否")  # image files only: the no-recorder question
    burn = wait_window(host, "刻录光盘")
    targets = descendants(burn, "combo box")[0]
    choose_target(burn, len(descendants(targets, "menu item")) - 1)  # the work folder
    start = control(burn, "push button", "开始")
    wait_for(lambda: start.sensitive, 10, "Start enabled for the work folder")
    clock = [l for l in descendants(burn, "label") if l.name == ""][0]  # empty until a run
    click(start)
    clock_seen = set()
    end = time.time() + 240
    next_log_check = 0
    while time.time() < end:
        text = clock.name
        if text:
            clock_seen.add(text)
        if time.time() > next_log_check:
            next_log_check = time.time() + 1
            if any(line.endswith("转换完成") for line in log_lines(burn)):
                break
        time.sleep(0.05)
    else:
        fail("the run did not end with 转换完成")
    screenshot("burn-dialog-done")
    lines = log_lines(burn)
    check(any("选择驱动器 [" + host.work + "]" in l for l in lines), "the work folder choice is logged")
    # The menu check walked the play-all button too: two titles and play all on one page.
    check(any(l.endswith("菜单检查: 3 个按钮正确") for l in lines), "the menu check counts play all: %r" % lines[-6:])
    check(all(l[2] == ":" and l[8:10] == "  " for l in lines), "every log line has its time prefix")
    # The clock starts at 00:00:00 with the run; any later second read from it shows it
    # ticking (a fast build may end within a couple of seconds).
    check(any(t != "00:00:00" for t in clock_seen), "the elapsed-time clock ticked during the build %s" % sorted(clock_seen))
    check(clock.name == "", "the clock is cleared when the build is done")
    click(control(burn, "push button", "关闭"))
    wait_gone(host, "刻录光盘")


def main():
    # A repair of a minute keeps the build going for several of the clock's seconds, on an
    # idle machine as on a busy one.
    host = Host(avi_seconds=60)
    try:
        design(host)
        run_to_hard_disk(host)
        report = host.close()
        check_results(host, report)
    finally:
        host.stop()


def check_results(host, report):
    check(report.get("layout") == "1", "layout 8 thumbnails kept")
    check(report.get("footline") == "0", "footer line switched off")
    check(report.get("play_all") == "1", "the play-all button chosen in the layout dialog")
    check(report.get("background_colour") == str(colour_value(0, 255, 0)), "background from the grid cell")
    check(report.get("background_picture", "").endswith("sunset.png"), "background picture chosen")
    check(report.get("header_text") == "Holiday 2026", "header text taken on OK")
    check(report.get("header_height") == "48", "header size 48")
    check(report.get("header_face") not in ("", "Arial"), "header font chosen: " + report.get("header_face", ""))
    check(report.get("header_colour") == str(colour_value(*SWATCH)),
          "header colour read from the screen by the eyedropper (%s)" % report.get("header_colour"))
    record_gaps("design and hard-disk run", report)
    # The menu page of the run shows the chosen look, read back from the rendered picture.
    page = os.path.join(host.work, "TEMP", "menu_background01.jpg")
    check(os.path.exists(page), "menu page rendered")
    r, g, b = picture_pixel(page, 5, 300)
    check(abs(r - 0xC8) < 24 and abs(g - 0x1E) < 24 and abs(b - 0x0A) < 24,
          "menu page background is the picture chosen (%d,%d,%d)" % (r, g, b))
    check(lsdvd_titles(os.path.join(host.work, "DVD", "VIDEO_TS")) == 2,
          "lsdvd reads two titles from the authored folder")
    check(os.path.exists(os.path.join(host.work, "TEMP", "menu_layer01.png")), "the moving menu's page drawn for its film")
    with open(os.path.join(host.work, "TEMP", "dvd.xml"), encoding="utf-8") as script:
        check("<post>jump cell 1;</post>" in script.read(), "the moving menu loops")



if __name__ == "__main__":
    main()
