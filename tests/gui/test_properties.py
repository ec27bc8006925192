# SPDX-License-Identifier: GPL-3.0-or-later
"""The title properties sheet: the facts page, then the menu page with the slider moved to
12.34 s and a new caption; OK regrabs the thumbnail (red at the start, blue after 10 s)."""
import time

from vantrel_gui import Vantrel, check, pixel, run, screenshot, wait_for


def thumbnail_colour(vantrel, name):
    cell = vantrel.cell(0, 1)
    path = screenshot(name, vantrel.main)
    (wx, wy), _ = vantrel.main.position, vantrel.main.size
    (cx, cy), (cw, ch) = cell.position, cell.size
    return pixel(path, cx - wx + cw // 2, cy - wy + ch // 2)


def test(box):
    box.no_tips()
    clip = box.make_two_colour_clip("holiday.mpg", "red", 10, "blue", 5.5)
    vantrel = Vantrel(box, [clip])
    vantrel.rows(1)
    r, g, b = thumbnail_colour(vantrel, "properties-before")
    check(r > 200 and g < 60 and b < 60, "the first thumbnail is red: %r" % ((r, g, b),))

    vantrel.cell(0, 2).click()
    vantrel.click(vantrel.main, "属性")
    sheet = wait_for(lambda: [d for d in vantrel.dialogs() if d.findChild(
        lambda n: n.roleName == "page tab" and n.name == "菜单", retry=False, requireResult=False)],
        message="the properties sheet did not open")[0]
    check(sheet.name in ("", "vantrel"), "the sheet has no caption of its own: %r" % sheet.name)
    texts = [t.text for t in sheet.findChildren(lambda n: n.roleName == "text" and n.showing)]
    check(clip in texts and "320x240" in texts and "PAL(25.00fps)" in texts and "00:00:15" in texts,
          "facts page %r" % texts)
    screenshot("properties-facts", sheet)

    sheet.child(name="菜单", roleName="page tab").click()
    slider = wait_for(lambda: sheet.findChild(lambda n: n.roleName == "slider" and n.showing, retry=False),
                      message="no slider on the menu page")
    check(1500 <= slider.maxValue <= 1560 and slider.minValue == 0, "slider range in hundredths: %r" % slider.maxValue)
    check(slider.value == 50, "slider at the thumbnail time: %r" % slider.value)
    slider.value = 1234
    caption = sheet.findChild(lambda n: n.roleName == "text" and n.showing and n.text == "holiday", retry=False)
    check(caption is not None, "the caption box holds the title")
    caption.text = "假期"
    time.sleep(0.5)
    screenshot("properties-menu", sheet)
    vantrel.click(sheet, "确定")
    wait_for(lambda: not vantrel.dialogs(), message="the sheet stayed open")

    rows = wait_for(lambda: (lambda r: r if r[0][2] == "假期" else None)(vantrel.table_rows()[0]),
                    message="the caption did not reach the list")
    r, g, b = wait_for(lambda: (lambda c: c if c[2] > 200 and c[0] < 60 else None)(
        thumbnail_colour(vantrel, "properties-after")), message="the thumbnail did not turn blue")
    check(vantrel.close() == 0, "exit status")


run(test, "properties")
