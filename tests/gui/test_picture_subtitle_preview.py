# SPDX-License-Identifier: GPL-3.0-or-later
"""A film with DVD subtitles inside (pictures made by spumux, carried in an MKV): on the
properties sheet's 字幕 page its subtitle stream is added, its two pictures are listed by
time and size, and the chosen one shows in the preview on the film's picture, where it lies
in the frame."""
import os
import subprocess

from sheet_pages import combos, one, open_sheet, pick, pixels, table_rows
from vantrel_gui import Vantrel, check, run, screenshot, wait_for

# (x, y, w, h, frame colour, inside colour, start, end) in the 720 x 576 frame.
BOXES = [(260, 440, 200, 60, "black", "white", "00:00:01.00", "00:00:02.00"),
         (80, 60, 240, 120, "black", "white", "00:00:03.00", "00:00:04.00")]
FILM = (0x30, 0x40, 0x80)


def is_film(p):
    return all(abs(a - b) < 24 for a, b in zip(p, FILM))


def ffmpeg(*arguments):
    subprocess.run(["ffmpeg", "-v", "error", "-y"] + list(arguments), check=True)


def make_film(box):
    spus = ""
    for n, (x, y, w, h, frame, inside, start, end) in enumerate(BOXES):
        png = os.path.join(box.media, "box%d.png" % n)
        ffmpeg("-f", "lavfi", "-i", "color=c=%s:size=%dx%d" % (frame, w, h), "-vf",
               "drawbox=x=4:y=4:w=%d:h=%d:color=%s:t=fill" % (w - 8, h - 8, inside), "-frames:v", "1",
               "-pix_fmt", "rgb24", png)
        spus += '<spu start="%s" end="%s" xoffset="%d" yoffset="%d" image="%s"/>' % (start, end, x, y, png)
    film = os.path.join(box.media, "film.mpg")
    ffmpeg("-f", "lavfi", "-i", "color=c=0x%02X%02X%02X:size=720x576:rate=25" % FILM, "-f", "lavfi", "-i",
           "sine=frequency=440:sample_rate=48000", "-t", "5", "-target", "pal-dvd", film)
    script = os.path.join(box.media, "spu.xml")
    with open(script, "w") as out:
        out.write("<subpictures><stream>%s</stream></subpictures>" % spus)
    muxed = os.path.join(box.media, "muxed.mpg")
    with open(film, "rb") as source, open(muxed, "wb") as sink:
        subprocess.run(["spumux", "-s", "0", script], stdin=source, stdout=sink, stderr=subprocess.DEVNULL,
                       env=dict(os.environ, VIDEO_FORMAT="PAL"), check=True)
    mkv = os.path.join(box.media, "subtitled.mkv")
    ffmpeg("-fflags", "+genpts", "-i", muxed, "-map", "0:v", "-map", "0:a", "-map", "0:s", "-c", "copy", mkv)
    return mkv


def test(box):
    box.no_tips()
    box.write_settings({"dvd": {"resolution": 0}})  # a PAL disc: the pictures keep their size
    vantrel = Vantrel(box, [make_film(box)])
    vantrel.rows(1)
    vantrel.select(vantrel.cell(0, 2))
    sheet = open_sheet(vantrel, "字幕")
    wait_for(lambda: one(sheet, "label", "字幕: 0 / 32"), message="the subtitle page did not show")
    offered = [c.name for c in combos(sheet)[0].findChildren(lambda n: n.roleName == "menu item")]
    check(len(offered) == 1 and offered[0].startswith("来源字幕 #") and "dvd_subtitle" in offered[0],
          "the film's picture subtitles as offered: %r" % offered)
    vantrel.click(sheet, "添加来源字幕")
    wait_for(lambda: len(table_rows(sheet, 4)) == 1, message="the stream was not added")
    cues = combos(sheet)[3]
    entries = wait_for(lambda: [c.name for c in cues.findChildren(lambda n: n.roleName == "menu item")] or None,
                       message="no pictures listed")
    # The film has square pixels, a shape no DVD frame has: the run encodes it into the 4:3
    # frame between narrow bars (x 22 to 697), and its pictures are squeezed with it.
    shown_width = BOXES[1][2] * 676 / 720
    size = entries[1].rsplit("图片 ", 1)[-1].split(" x ") if len(entries) == 2 else []
    check(len(entries) == 2 and entries[0].startswith("00:00:01.") and entries[1].startswith("00:00:03.")
          and len(size) == 2 and abs(int(size[0]) - shown_width) <= 1 and size[1] == "120",
          "the pictures as listed: %r" % entries)
    pick(cues, entries[1])
    count = one(sheet, "label", "字幕: 1 / 32")

    # The preview lies between the cue list and the count: the film's blue fills it but for
    # the second picture's box, high on the left; nothing shows low in the middle, where the
    # first picture would be.
    def shown():
        pixel = pixels(screenshot("picture-subtitle-preview", sheet))
        (sx, sy), (sw, _) = sheet.position, sheet.size
        top, bottom = cues.position[1] + cues.size[1] - sy, count.position[1] - sy
        film = [(x, y) for y in range(top, bottom, 2) for x in range(0, sw, 2) if is_film(pixel(x, y))]
        if len(film) < 1000:
            return False
        left, right = min(x for x, _ in film), max(x for x, _ in film)
        upper, lower = min(y for _, y in film), max(y for _, y in film)

        def at(fx, fy):  # a point of the 720 x 576 frame, on the screenshot
            return pixel(left + fx * (right - left) // 720, upper + fy * (lower - upper) // 576)
        x, y, w, h = BOXES[1][:4]
        first = BOXES[0]
        return (min(at(x + w // 2, y + h // 2)) > 200 and is_film(at(600, y + h // 2)) and is_film(at(first[0] + first[2] // 2, first[1] + first[3] // 2)))
    wait_for(shown, message="the preview does not show the chosen picture on the film")
    vantrel.click(sheet, "取消")
    wait_for(lambda: not vantrel.dialogs(), message="the sheet stayed open")
    check(vantrel.close() == 0, "exit status")


run(test, "picture_subtitle_preview")
