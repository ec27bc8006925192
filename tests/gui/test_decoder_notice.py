# SPDX-License-Identifier: GPL-3.0-or-later
"""A file without pictures still becomes a title, after the decoder notice (dialog 205)
with its two links has been closed."""
import subprocess
import os

from vantrel_gui import Vantrel, check, run, screenshot, wait_for


def test(box):
    box.no_tips()
    sound = os.path.join(box.media, "sound only.mpg")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "sine=frequency=440:duration=3",
                    "-c:a", "mp2", "-f", "mpeg", sound], check=True)
    vantrel = Vantrel(box, [sound])
    notice = vantrel.window("下载解码器", timeout=30)
    labels = [n.name for n in notice.findChildren(lambda n: n.roleName == "label")]
    check("无法从视频文件中抓取菜单图片" in labels, "heading %r" % labels)
    vantrel.button(notice, "安装 MPEG-2 解码器")
    vantrel.button(notice, "安装 DirectX9.0")
    screenshot("decoder-notice", notice)
    vantrel.click(notice, "确定")
    vantrel.wait_closed("下载解码器")
    rows = vantrel.rows(1)
    check(rows[0][2] == "sound only.mpg", "the title is there: %r" % rows)
    check(vantrel.close() == 0, "exit status")


run(test, "decoder-notice")
