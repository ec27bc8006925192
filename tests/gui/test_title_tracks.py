# SPDX-License-Identifier: GPL-3.0-or-later
"""A title's sound tracks, subtitles and chapters set through its properties sheet: a sound
file added beside the film's own sound (both given languages), an SRT file in GB18030
(detected, shown in Chinese in the cue list, previewed on the film's picture, marked to
show by default) and a chapter every minute. OK marks the project changed; the run makes a
disc whose title lsdvd reads with two sound tracks, one subtitle track and two chapters,
each with its language."""
import os
import re
import subprocess

from sheet_pages import combos, one, open_sheet, pick, pixels, showing, table_rows
from vantrel_gui import Vantrel, check, log_texts, press, run, screenshot, wait_for

CUES = [(2, 5, "你好，世界"), (40, 45, "第二句字幕"), (65, 68, "再见")]




def make_media(box):
    film = os.path.join(box.media, "film.mpg")  # DVD-ready: the run keeps its pictures
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=75",
                    "-f", "lavfi", "-i", "sine=frequency=440:duration=75", "-target", "pal-dvd", "-s", "352x288",
                    "-b:v", "800k", "-c:a", "ac3", "-b:a", "128k", film], check=True)
    dub = os.path.join(box.media, "dub.wav")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=660:duration=75",
                    "-ar", "48000", dub], check=True)
    srt = os.path.join(box.media, "字幕.srt")
    lines = []
    for n, (start, end, text) in enumerate(CUES, 1):
        lines += [str(n), "00:%02d:%02d,000 --> 00:%02d:%02d,000" % (start // 60, start % 60, end // 60, end % 60),
                  text, ""]
    with open(srt, "wb") as out:
        out.write("\r\n".join(lines).encode("gb18030"))
    return film, dub, srt








def choose_file(vantrel, title, path):
    """The file chooser, its location typed as a person would after Ctrl+L."""
    chooser = vantrel.window(title)
    wait_for(lambda: vantrel.focus(title), message="the chooser took no keyboard")
    subprocess.run(["xdotool", "key", "ctrl+l"], check=True)
    location = wait_for(lambda: [t for t in chooser.findChildren(lambda n: n.roleName == "text" and n.showing)][0],
                        message="the chooser's location field")
    location.queryEditableText().setTextContents(path)
    wait_for(lambda: location.queryText().getText(0, -1) == path, message="the path was not typed")
    vantrel.click(chooser, "Open")
    vantrel.wait_closed(title)






def sound_page(vantrel, sheet, dub):
    sheet.child(name="音轨", roleName="page tab").click()
    rows = wait_for(lambda: table_rows(sheet, 3), message="the film's own sound is not listed")
    check(len(rows) == 1 and rows[0][0].startswith("来源音轨 #") and "ac3" in rows[0][0], "own sound %r" % rows)
    check(rows[0][1] == "未指定", "an MPEG file tags no language: %r" % rows)
    vantrel.click(sheet, "添加声音文件...")
    choose_file(vantrel, "添加声音文件", dub)
    rows = wait_for(lambda: (lambda r: r if len(r) == 2 else None)(table_rows(sheet, 3)),
                    message="the sound file was not added")
    check(rows[1][0] == "dub.wav" and rows[1][2] == "0", "added file %r" % rows)
    # The new row is selected: its language is set, then the film's own track's.
    pick(combos(sheet)[1], "de 德语")
    wait_for(lambda: table_rows(sheet, 3)[1][1] == "de 德语", message="the file's language did not reach the list")
    cells = [c for c in showing(sheet, "table")[0].children if c.roleName == "table cell"]
    vantrel.select(cells[0])
    pick(combos(sheet)[1], "en 英语")
    wait_for(lambda: table_rows(sheet, 3)[0][1] == "en 英语", message="the film's language did not reach the list")
    # A moved row stays selected: down, then up again brings the film's own track back first.
    vantrel.click(sheet, "下移")
    wait_for(lambda: [r[0] for r in table_rows(sheet, 3)][0] == "dub.wav", message="下移 did not move the row")
    vantrel.click(sheet, "上移")
    wait_for(lambda: table_rows(sheet, 3)[0][1] == "en 英语", message="上移 did not move the moved row back")
    wait_for(lambda: not one(sheet, "push button", "上移").sensitive, message="上移 stays usable on the first row")
    check(one(sheet, "label", "音轨: 2 / 8"), "the count")
    screenshot("title-tracks-sound", sheet)


def subtitle_page(vantrel, sheet, srt):
    sheet.child(name="字幕", roleName="page tab").click()
    wait_for(lambda: one(sheet, "label", "字幕: 0 / 32"), message="the subtitle page did not show")
    vantrel.click(sheet, "添加字幕文件...")
    choose_file(vantrel, "添加字幕文件", srt)
    rows = wait_for(lambda: table_rows(sheet, 4), timeout=60, message="the subtitle file was not added")
    check(rows == [["字幕.srt", "未指定", "自动检测 (GB18030)", ""]], "the subtitle row %r" % rows)
    box = combos(sheet)
    pick(box[1], "zh 中文")
    wait_for(lambda: table_rows(sheet, 4)[0][1] == "zh 中文", message="the language did not reach the list")
    press(one(sheet, "check box", "默认显示"))
    wait_for(lambda: table_rows(sheet, 4)[0][3] == "是", message="the default mark did not reach the list")
    cues = combos(sheet)[3]
    entries = [c.name for c in cues.findChildren(lambda n: n.roleName == "menu item")]
    check(entries == ["00:00:02.000  你好，世界", "00:00:40.000  第二句字幕", "00:01:05.000  再见"],
          "the cues as decoded from GB18030: %r" % entries)
    pick(cues, entries[1])
    # The preview lies between the cue list and the count below it. Its picture's lower
    # middle shows the test pattern's colour bars and gradient, never a light or dark grey:
    # the cue's fill and outline are both there, over a picture (not an empty preview's grey).
    count = one(sheet, "label", "字幕: 1 / 32")

    def drawn():
        pixel = pixels(screenshot("title-tracks-subtitles", sheet))
        (sx, sy), (sw, _) = sheet.position, sheet.size
        top = cues.position[1] + cues.size[1] - sy
        bottom = count.position[1] - sy
        band = [pixel(x, y) for y in range(top + (bottom - top) * 7 // 10, bottom)
                for x in range(sw // 2 - 70, sw // 2 + 70)]
        # Scaled to the sheet, the letters' thin white strokes blend into their outline.
        neutral = [p for p in band if max(p) - min(p) < 12]
        white = sum(1 for p in neutral if min(p) > 150)
        black = sum(1 for p in neutral if max(p) < 40)
        upper = set(pixel(x, top + (bottom - top) // 3) for x in range(sw // 2 - 70, sw // 2 + 70, 4))
        return white > 20 and black > 20 and len(upper) > 3
    wait_for(drawn, message="the preview does not show the cue on the film's picture")


def chapter_page(vantrel, sheet):
    sheet.child(name="章节", roleName="page tab").click()
    press(one(sheet, "radio button", "每隔"))
    spin = one(sheet, "spin button", None) if False else wait_for(lambda: showing(sheet, "spin button")[0],
                                                                  message="no minutes box")
    spin.value = 1
    result = wait_for(lambda: [t for t in showing(sheet, "text") if t.text.startswith("0:00:00")][0],
                      message="the chapter times are not shown")
    wait_for(lambda: result.text == "0:00:00, 0:01:00",
             message="chapters every minute of a 75 s title: %r" % result.text)
    check(one(sheet, "label", "2 个章节"), "the chapter count")
    screenshot("title-tracks-chapters", sheet)


def test(box):
    box.no_tips()
    work = os.path.join(box.root, "work")
    box.write_settings({"dvd": {"temppath": work, "resolution": 0}, "menu": {"layout": 0}})
    film, dub, srt = make_media(box)
    vantrel = Vantrel(box, [film])
    vantrel.rows(1)
    vantrel.select(vantrel.cell(0, 2))
    sheet = open_sheet(vantrel, "音轨")
    sound_page(vantrel, sheet, dub)
    subtitle_page(vantrel, sheet, srt)
    chapter_page(vantrel, sheet)
    vantrel.click(sheet, "确定")
    wait_for(lambda: not vantrel.dialogs(), message="the sheet stayed open")
    wait_for(lambda: vantrel.main.name.startswith("*"), message="the project is not marked changed: %r" %
             vantrel.main.name)

    vantrel.click(vantrel.main, "运行")
    formats = vantrel.window("选择光盘格式 ")
    vantrel.click(formats, "确定")
    vantrel.click(vantrel.alert("无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？"), "否")
    burn = vantrel.window("刻录光盘")
    targets = burn.child(roleName="combo box", retry=False)
    entries = [c for c in targets.findChildren(lambda n: n.roleName == "menu item")]
    targets.querySelection().selectChild(len(entries) - 1)  # the work folder
    wait_for(lambda: any(t.endswith("选择驱动器 [%s]" % work) for t in log_texts(burn)),
             message="the work folder was not chosen")
    vantrel.click(burn, "开始")
    wait_for(lambda: any(t.endswith("转换完成") for t in log_texts(burn)), timeout=240,
             message="the run did not end with 转换完成: %r" % log_texts(burn)[-5:])
    screenshot("title-tracks-run", burn)
    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")

    out = subprocess.run(["lsdvd", "-a", "-s", "-c", os.path.join(work, "DVD", "VIDEO_TS")], capture_output=True,
                         text=True).stdout
    audio = re.findall(r"Audio: \d+, Language: (\w\w) ", out)
    check(audio == ["en", "de"], "lsdvd reads the sound tracks' languages in order: %r\n%s" % (audio, out))
    subtitles = re.findall(r"Subtitle: \d+, Language: (\w\w) ", out)
    check(subtitles == ["zh"], "lsdvd reads the Chinese subtitle track: %r\n%s" % (subtitles, out))
    chapters = re.findall(r"^Title: 01, Length: [\d:.]+ Chapters: (\d+)", out, re.M)
    check(chapters == ["02"], "two chapters: %r\n%s" % (chapters, out))
    check(vantrel.close(button="否") == 0, "exit status")


run(test, "title_tracks")
