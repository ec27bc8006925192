# SPDX-License-Identifier: GPL-3.0-or-later
"""Files that cannot be titles are refused as they are added, each named with its reason,
and stay out of the list: an empty .avi, a text file named .mpg, a file with sound only.
A video the program reads but cannot decode gets the decoder notice, naming the file. The
usable file among them becomes the one title."""
import os
import subprocess

from vantrel_gui import Vantrel, check, run, screenshot, wait_for


def refusal(vantrel, path, reasons):
    """The note refusing `path`, answered; its reason must be one of `reasons`."""
    head, tail = "无法添加文件 %s: " % path, "\n该文件没有加入影片列表。"

    def find():
        for box in vantrel.alerts():
            for label in box.findChildren(lambda n: n.roleName == "label"):
                if label.name.startswith(head) and label.name.endswith(tail):
                    return box, label.name[len(head):-len(tail)]
        return None
    box, reason = wait_for(find, timeout=120, message="no note refusing %s" % path)
    check(reason in reasons, "%s refused: %s" % (os.path.basename(path), reason))
    screenshot("refused-" + os.path.basename(path).replace(" ", "-"), box)
    vantrel.answer(box)


def test(box):
    box.no_tips()
    empty = os.path.join(box.media, "empty.avi")
    open(empty, "w").close()
    text = os.path.join(box.media, "notes.mpg")
    with open(text, "w") as out:
        out.write("这不是视频，只是一些文字。\n" * 20)
    sound = os.path.join(box.media, "sound only.mpg")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=3",
                    "-c:a", "mp2", "-f", "mpeg", sound], check=True)
    # An MPEG-4 AVI whose codec tag no decoder knows: readable, with a video stream, undecodable.
    undecodable = os.path.join(box.media, "strange codec.avi")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=d=1:s=160x120:r=25",
                    "-c:v", "mpeg4", undecodable], check=True)
    with open(undecodable, "rb") as f:
        data = f.read()
    with open(undecodable, "wb") as f:
        f.write(data.replace(b"FMP4", b"ZZZZ"))
    good = box.make_clip("good.mpg", 2)

    vantrel = Vantrel(box, [empty, text, good, sound, undecodable])
    refusal(vantrel, empty, ["文件是空的"])
    refusal(vantrel, text, ["不是可以读取的视频文件", "文件中没有视频流"])
    refusal(vantrel, sound, ["文件中没有视频流"])
    notice = vantrel.window("下载解码器", timeout=120)
    labels = [n.name for n in notice.findChildren(lambda n: n.roleName == "label")]
    check("无法从视频文件中抓取菜单图片" in labels, "heading %r" % labels)
    def flat(text):  # the label wraps the long path at its blanks
        return "".join(text.split())
    check(flat("视频文件: " + undecodable) in [flat(l) for l in labels], "the notice names the file: %r" % labels)
    check(not any("DirectX" in l for l in labels), "the notice speaks of this system's decoders: %r" % labels)
    screenshot("decoder-notice", notice)
    vantrel.click(notice, "确定")
    vantrel.wait_closed("下载解码器")
    rows = vantrel.rows(1)
    check(rows[0][2] == "good.mpg" and rows[0][3] == "00:00:02", "only the usable file is listed: %r" % rows)
    check(vantrel.close() == 0, "exit status")


run(test, "decoder-notice")
