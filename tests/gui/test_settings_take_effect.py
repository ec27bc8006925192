# SPDX-License-Identifier: GPL-3.0-or-later
"""The settings a user picks change the disc: the audio encoder picks the sound of repaired
titles (MPEG Layer II for the two MPEG choices a DVD cannot carry, as the note beside the
choice says), and "删除临时文件" removes the run's VIDEO_TS and AUDIO_TS folders after a write
to a recorder. The ISO9660 choice says beside it that a video DVD keeps its UDF (players
find the files through UDF only): both choices give an image with UDF and ISO9660. Each
written image is read back: isoinfo and lsdvd for the disc, its own volume descriptors for
UDF, ffprobe for the sound of the title taken out of it."""
import json
import os
import re
import subprocess

from vantrel_gui import Vantrel, check, log_texts, press, run, screenshot, wait_for

NO_RECORDER = "无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？"
STAND_IN = "DVD不能承载此声音，修复的标题使用MPEGLAYER2"
UDF_ALWAYS = "视频DVD需要UDF：光盘总是同时带有UDF和ISO9660，播放机才能读取"
DELETE_TEMP = "删除临时文件(VIDEO_TS,AUDIO_TS 目录)"


def labels(dialog):
    """The dialog's label texts, without the blanks and line breaks of their wrapping."""
    return ["".join(n.name.split()) for n in dialog.findChildren(lambda n: n.roleName == "label")]


def set_settings(vantrel, codec, delete_temp):
    vantrel.click(vantrel.main, "设置")
    dialog = vantrel.window("设置...")
    combo = dialog.child(roleName="combo box")
    press(combo.child(name=codec, roleName="menu item"), shown=False)
    wait_for(lambda: combo.name == codec, message="the encoder was not chosen: %r" % combo.name)
    if codec in ("MPEG LAYER1", "MPEG LAYER3"):
        wait_for(lambda: STAND_IN in labels(dialog), message="no note beside %s: %r" % (codec, labels(dialog)))
        screenshot("settings-codec-note", dialog)
    else:
        wait_for(lambda: STAND_IN not in labels(dialog), message="the note stays beside %s" % codec)
    box = dialog.child(name=DELETE_TEMP, roleName="check box")
    if box.checked != delete_temp:
        press(box)
        wait_for(lambda: box.checked == delete_temp, message="the delete box did not change")
    vantrel.click(dialog, "确定")
    vantrel.wait_closed("设置...")


def write_disc(vantrel, file_system, overwrite, removal=False):
    """Runs a disc to the image recorder; with `removal` the run's folders are removed
    after the write, which the log says after the write's own last line."""
    vantrel.click(vantrel.main, "运行")
    formats = vantrel.window("选择光盘格式 ")
    button = formats.child(name=file_system, roleName="radio button")
    press(button)
    wait_for(lambda: button.checked, message="%s was not chosen" % file_system)
    if file_system == "ISO9660":
        wait_for(lambda: UDF_ALWAYS in labels(formats), message="no note beside ISO9660: %r" % labels(formats))
        screenshot("disc-format-iso-note", formats)
    else:
        wait_for(lambda: UDF_ALWAYS not in labels(formats), message="the note stays beside UDF")
    vantrel.click(formats, "确定")
    vantrel.answer(vantrel.alert(NO_RECORDER), "否")
    burn = vantrel.window("刻录光盘")
    vantrel.click(burn, "开始")
    if overwrite:  # the image holds the first disc
        def question():
            for box in vantrel.alerts():
                if box.findChild(lambda n: "并非空白" in (n.name or ""), retry=False, requireResult=False):
                    return box
            return None
        vantrel.answer(wait_for(question, timeout=240, message="no overwrite question"), "是")
    wait_for(lambda: any(t.endswith("写入光盘成功完成！") for t in log_texts(burn)), timeout=240,
             message="the write did not end")
    if removal:
        wait_for(lambda: any("已删除临时文件夹" in t for t in log_texts(burn)),
                 message="the removal of the run's folders is not logged")
    lines = log_texts(burn)
    screenshot("settings-written-" + file_system, burn)
    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")
    return lines


def has_udf(image):
    """True when the image's volume recognition sequence names a UDF descriptor."""
    with open(image, "rb") as f:
        f.seek(16 * 2048)
        area = f.read(16 * 2048)
    return any(area[i * 2048 + 1:i * 2048 + 6] in (b"NSR02", b"NSR03") for i in range(16))


def sound_codec(image, scratch):
    vob = os.path.join(scratch, "title.vob")
    with open(vob, "wb") as out:
        subprocess.run(["isoinfo", "-i", image, "-x", "/VIDEO_TS/VTS_01_1.VOB;1"], stdout=out, check=True)
    probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "a", "-show_entries",
                            "stream=codec_name", "-of", "json", vob], capture_output=True, text=True)
    streams = json.loads(probe.stdout or "{}").get("streams", [])
    return [s["codec_name"] for s in streams]


def read_back(image, scratch):
    info = subprocess.run(["isoinfo", "-d", "-i", image], capture_output=True, text=True).stdout
    check("Volume id: NEW DISC" in info, "isoinfo reads the disc: %r" % info[:200])
    out = subprocess.run(["lsdvd", image], capture_output=True, text=True).stdout
    check(len(re.findall(r"^Title: \d+", out, re.M)) == 1, "lsdvd reads one title: %r" % out)
    return has_udf(image), sound_codec(image, scratch)


def test(box):
    box.no_tips()
    work = os.path.join(box.root, "work")
    image = os.path.join(work, "vantrel.iso")
    box.write_settings({"dvd": {"temppath": work, "resolution": 0, "createmenu": 0, "audiocodec": 3,
                                "filesystem": 1, "deletetemp": 0}})
    box.make_clip("clip.avi", 2)  # an AVI is always repaired
    vantrel = Vantrel(box, ["clip.avi"])
    vantrel.rows(1)

    # MPEG Layer III: the note says what repairs get; the disc carries Layer II. ISO9660
    # only; the run's folders go after the write.
    set_settings(vantrel, "MPEG LAYER3", True)
    lines = write_disc(vantrel, "ISO9660", False, removal=True)
    udf, codecs = read_back(image, box.root)
    check(udf, "ISO9660 chosen: the video DVD keeps its UDF, as the note says")
    check(codecs == ["mp2"], "the repaired title carries MPEG Layer II: %r" % codecs)
    check(not os.path.exists(os.path.join(work, "DVD", "VIDEO_TS")), "VIDEO_TS removed after the write")
    check(not os.path.exists(os.path.join(work, "DVD", "AUDIO_TS")), "AUDIO_TS removed after the write")
    check(any("已删除临时文件夹" in l for l in lines), "the removal is logged: %r" % lines[-3:])
    check(os.path.exists(os.path.join(box.media, "clip.avi")), "the user's file is kept")

    # AC-3 and UDF, the run's folders kept.
    set_settings(vantrel, "MPEG AC3", False)
    lines = write_disc(vantrel, "UDF", True)
    udf, codecs = read_back(image, box.root)
    check(udf, "UDF chosen: the image carries UDF")
    check(codecs == ["ac3"], "the repaired title carries AC-3: %r" % codecs)
    check(os.path.isdir(os.path.join(work, "DVD", "VIDEO_TS")), "VIDEO_TS kept without the delete setting")
    check(vantrel.close() == 0, "exit status")


run(test, "settings-take-effect")
