#!/usr/bin/env python3
"""Lays out the help project in a staging folder and compiles it with chmcmd.

  build-help.py <help sources> <screenshots folder> <staging folder> <output .chm>

Topics show pictures through markers of the form
  <!--picture src="login.png" alt="..." caption="..."-->
A marker whose screenshot exists becomes the picture with its caption, and the
screenshot is copied in and listed with the project's files; a marker whose
screenshot is not there yet is dropped, so the topic reads as plain text.
"""
import html
import os
import re
import shutil
import subprocess
import sys

MARKER = re.compile(r'<!--picture\s+src="([^"]+)"\s+alt="([^"]*)"\s+caption="([^"]*)"\s*-->')
PROJECT = "WordPressOutput.hhp"


def main():
    sources, shots, stage, output = sys.argv[1:5]
    if os.path.isdir(stage):
        shutil.rmtree(stage)
    os.makedirs(stage)
    project = open(os.path.join(sources, PROJECT), encoding="utf-8").read()
    files = project.split("[FILES]", 1)[1].split()
    pictures = []

    def picture(match):
        src, alt, caption = match.groups()
        if not os.path.isfile(os.path.join(shots, src)):
            return ""
        if src not in pictures:
            pictures.append(src)
        return (f'<div class="picture"><img src="{html.escape(src)}" alt="{alt}">'
                f'<div class="caption">{caption}</div></div>')

    for name in files:
        text = open(os.path.join(sources, name), encoding="utf-8").read()
        if name.endswith(".htm"):
            text = MARKER.sub(picture, text)
        with open(os.path.join(stage, name), "w", encoding="utf-8", newline="\r\n") as out:
            out.write(text)
    for name in ("WordPressOutput.hhc", "WordPressOutput.hhk"):
        shutil.copyfile(os.path.join(sources, name), os.path.join(stage, name))
    for src in pictures:
        shutil.copyfile(os.path.join(shots, src), os.path.join(stage, src))
    with open(os.path.join(stage, PROJECT), "w", encoding="utf-8", newline="\r\n") as out:
        out.write(project.rstrip("\n") + "\n" + "".join(p + "\n" for p in pictures))

    result = subprocess.run(["chmcmd", "--no-html-scan", "--verbosity", "1", PROJECT], cwd=stage,
                            capture_output=True, text=True)
    compiled = os.path.join(stage, "WordPressOutput.chm")
    if result.returncode != 0 or not os.path.isfile(compiled):
        sys.stderr.write(result.stdout + result.stderr)
        return 1
    shutil.copyfile(compiled, output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
