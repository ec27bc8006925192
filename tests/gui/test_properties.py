# SPDX-License-Identifier: GPL-3.0-or-later
"""The title properties sheet: the facts page, then the menu page with the slider moved to
12.34 s and a new caption; OK regrabs the thumbnail (red at the start, blue after 10 s).
The caption stays with its title when the titles are moved. A title that opens on black
gets its thumbnail, and its sheet's slider, at the first moment that shows something."""
import os
import subprocess

from vantrel_gui import Vantrel, check, pixel, run, screenshot, wait_for


def thumbnail_colour(vantrel, name):
    cell = vantrel.cell(0, 1)
    path = screenshot(name, vantrel.main)
    (wx, wy), _ = vantrel.main.position, vantrel.main.size
    (cx, cy), (cw, ch) = cell.position, cell.size
    return pixel(path, cx - wx + cw // 2, cy - wy + ch // 2)


def time_shown(sheet, text):
    """The time beside the slider."""
    wait_for(lambda: sheet.findChild(lambda n: n.roleName == "label" and n.name == text and n.showing,
                                     retry=False, requireResult=False),
             message="the slider's time %r is not shown" % text)


def test(box):
    box.no_tips()
    clip = box.make_two_colour_clip("holiday.mpg", "red", 10, "blue", 5.5)
    other = os.path.join(box.media, "fade in.avi")  # black for 1.3 s, then a test pattern
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "color=c=black:s=320x240:r=25:d=1.3",
                    "-f", "lavfi", "-i", "testsrc=s=320x240:r=25:d=3", "-filter_complex",
                    "[0][1]concat=n=2:v=1:a=0", "-c:v", "mpeg4", other], check=True)
    vantrel = Vantrel(box, [clip, other])
    vantrel.rows(2)
    r, g, b = thumbnail_colour(vantrel, "properties-before")
    check(r > 200 and g < 60 and b < 60, "the first thumbnail is red: %r" % ((r, g, b),))

    vantrel.select(vantrel.cell(0, 2))
    vantrel.click(vantrel.main, "属性")
    sheet = wait_for(lambda: [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab" and n.name == "菜单", retry=False, requireResult=False)],
        message="the properties sheet did not open")[0]
    check(sheet.name in ("", "vantrel"), "the sheet has no caption of its own: %r" % sheet.name)
    texts = [t.text for t in sheet.findChildren(lambda n: n.roleName == "text" and n.showing)]
    check(clip in texts and "320x240" in texts and "PAL(25.00fps)" in texts and "00:00:15" in texts,
          "facts page %r" % texts)
    # The file's coding, shape and sound, read from the file itself.
    check("mpeg" in texts and "MPEG-1 video, 4:3" in texts, "container and video facts %r" % texts)
    check("无声音" in texts, "a silent film says so: %r" % texts)
    check(any(t.endswith(" MB") for t in texts), "file size %r" % texts)
    screenshot("properties-facts", sheet)

    sheet.child(name="菜单", roleName="page tab").click()
    slider = wait_for(lambda: sheet.findChild(lambda n: n.roleName == "slider" and n.showing, retry=False),
                      message="no slider on the menu page")
    check(1500 <= slider.maxValue <= 1560 and slider.minValue == 0, "slider range in hundredths: %r" % slider.maxValue)
    check(slider.value == 50, "slider at the thumbnail time: %r" % slider.value)
    time_shown(sheet, "00:00:00.50")
    slider.value = 1234
    time_shown(sheet, "00:00:12.34")
    caption = sheet.findChild(lambda n: n.roleName == "text" and n.showing and n.text == "holiday", retry=False)
    check(caption is not None, "the caption box holds the title")
    caption.text = "假期"
    wait_for(lambda: caption.text == "假期", message="the caption was not typed")
    screenshot("properties-menu", sheet)
    vantrel.click(sheet, "确定")
    wait_for(lambda: not vantrel.dialogs(), message="the sheet stayed open")

    rows = wait_for(lambda: (lambda r: r if r[0][2] == "假期" else None)(vantrel.table_rows()[0]),
                    message="the caption did not reach the list")
    r, g, b = wait_for(lambda: (lambda c: c if c[2] > 200 and c[0] < 60 else None)(
        thumbnail_colour(vantrel, "properties-after")), message="the thumbnail did not turn blue")
    # Row 2 moved up with its button: the caption of row 1 goes down with its title.
    vantrel.select(vantrel.cell(1, 2))
    vantrel.click(vantrel.main, "移动选定的对象到上一位置")
    rows = wait_for(lambda: (lambda r: r if r[0][2] == "fade in.avi" else None)(vantrel.table_rows()[0]),
                    message="the move did not happen")
    check(rows[1][2] == "假期", "the caption moved with its title: %r" % rows)
    path = screenshot("properties-caption-moved", vantrel.main)
    (wx, wy) = vantrel.main.position
    (cx, cy), (cw, ch) = vantrel.cell(0, 1).position, vantrel.cell(0, 1).size
    shades = [pixel(path, cx - wx + cw * i // 8, cy - wy + ch // 2) for i in range(1, 8)]
    check(max(max(p) for p in shades) > 100 and len(set(shades)) > 2,
          "the fading title's thumbnail shows its picture, not black: %r" % shades)

    vantrel.click(vantrel.main, "属性")
    sheet = wait_for(lambda: [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab" and n.name == "菜单", retry=False, requireResult=False)],
        message="the properties sheet did not open")[0]
    sheet.child(name="菜单", roleName="page tab").click()
    slider = wait_for(lambda: sheet.findChild(lambda n: n.roleName == "slider" and n.showing, retry=False),
                      message="no slider on the menu page")
    check(slider.value == 200, "the slider opens at the thumbnail's moment, 2 s: %r" % slider.value)
    time_shown(sheet, "00:00:02.00")
    vantrel.click(sheet, "取消")
    wait_for(lambda: not vantrel.dialogs(), message="the sheet stayed open")
    check(vantrel.close() == 0, "exit status")
    # Twice opened and closed, the sheet left no complaint of the toolkit behind.
    with open(os.path.join(box.root, "vantrel.log"), errors="replace") as f:
        complaints = [l for l in f if "Gtk-CRITICAL" in l or "Gtk-WARNING" in l]
    check(not complaints, "the toolkit complained: %r" % complaints)


run(test, "properties")
