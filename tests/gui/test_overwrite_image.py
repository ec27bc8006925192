# SPDX-License-Identifier: GPL-3.0-or-later
"""The desktop writes through the same checks as the command line: an image file that
already holds a disc is written over only after the user agrees. No leaves the old disc
byte for byte; Yes writes the new one, which lsdvd and isoinfo read back."""
import hashlib
import os
import re
import subprocess

from vantrel_gui import Vantrel, check, log_texts, run, screenshot, wait_for


NO_RECORDER = "无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？"
OVERWRITE = "DVD+RW 并非空白"


def overwrite_question(vantrel):
    def find():
        for box in vantrel.alerts():
            if box.findChild(lambda n: OVERWRITE in (n.name or ""), retry=False, requireResult=False):
                return box
        return None
    return wait_for(find, timeout=240, message="no question before overwriting the image")


def volume_id(image):
    info = subprocess.run(["isoinfo", "-d", "-i", image], capture_output=True, text=True).stdout
    found = re.search(r"^Volume id: (.*)$", info, re.M)
    return found.group(1).strip() if found else None


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def test(box):
    box.no_tips()
    work = os.path.join(box.root, "work")
    image = os.path.join(work, "vantrel.iso")  # the image-file recorder of the work folder
    box.write_settings({"dvd": {"temppath": work, "resolution": 0, "createmenu": 0}})
    box.make_clip("beach.mpg", 2)
    # The image already holds another disc.
    old = os.path.join(box.root, "old disc")
    os.makedirs(old)
    with open(os.path.join(old, "letter.txt"), "w") as f:
        f.write("kept\n")
    os.makedirs(work, exist_ok=True)
    subprocess.run(["genisoimage", "-quiet", "-V", "OLD_DISC", "-o", image, old], check=True)
    before = digest(image)
    check(volume_id(image) == "OLD_DISC", "the old disc is readable before the run")

    vantrel = Vantrel(box, ["beach.mpg"])
    vantrel.rows(1)
    vantrel.click(vantrel.main, "运行")
    vantrel.click(vantrel.window("选择光盘格式 "), "确定")
    vantrel.answer(vantrel.alert(NO_RECORDER), "否")
    burn = vantrel.window("刻录光盘")
    vantrel.click(burn, "开始")
    question = overwrite_question(vantrel)
    screenshot("overwrite-question")
    vantrel.answer(question, "否")
    wait_for(lambda: any(t.endswith("被用户取消") for t in log_texts(burn)), message="the decline in the event log")
    wait_for(lambda: vantrel.button(burn, "开始").sensitive, message="Start back after the decline")
    check(not any("写入光盘" in t for t in log_texts(burn)), "nothing was written after No: %r" % log_texts(burn)[-4:])
    check(digest(image) == before, "No leaves the old disc in the image untouched")
    screenshot("overwrite-declined", burn)

    vantrel.click(burn, "开始")
    vantrel.answer(overwrite_question(vantrel), "是")
    wait_for(lambda: any(t.endswith("写入光盘成功完成！") for t in log_texts(burn)), timeout=240,
             message="the write did not end")
    screenshot("overwrite-written", burn)
    check(volume_id(image) == "NEW DISC", "isoinfo reads the new disc: %r" % volume_id(image))
    out = subprocess.run(["lsdvd", image], capture_output=True, text=True).stdout
    check(len(re.findall(r"^Title: \d+", out, re.M)) == 1, "lsdvd reads the written image: %r" % out)
    vantrel.click(burn, "关闭")
    vantrel.wait_closed("刻录光盘")
    code = vantrel.close()
    check(code == 0, "the program ends with its main window: exit code %r" % code)


run(test, "overwrite-image")
