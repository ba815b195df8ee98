#!/usr/bin/env python3
"""Checks the compiled help file from its own contents, as a CHM reader sees it.

  check_help.py --chm WordPressOutput.chm --sources help/ --screenshots docs/screenshots
                [--render OUTDIR]

Every topic of the sources must be inside, every table-of-contents and index
entry and every link between topics must resolve, every picture a topic shows
must be there, and every screenshot a topic asks for that exists must be shown.
With --render, the contents page and the Blog Editor topic are drawn from the
unpacked file by headless Chromium.
"""
import argparse
import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import urllib.parse

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED: " + message, flush=True)
    return condition


class Page(html.parser.HTMLParser):
    """Links, pictures, style sheets, sitemap entries and the title of one page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links, self.pictures, self.styles, self.entries, self.title = [], [], [], [], ""
        self._in_title, self._object = False, None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "a" and "href" in a:
            self.links.append(a["href"])
        elif tag == "img":
            self.pictures.append(a.get("src", ""))
        elif tag == "link" and a.get("rel") == "stylesheet":
            self.styles.append(a.get("href", ""))
        elif tag == "title":
            self._in_title = True
        elif tag == "object" and a.get("type") == "text/sitemap":
            self._object = []
        elif tag == "param" and self._object is not None:
            self._object.append((a.get("name", "").lower(), a.get("value", "")))

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False
        elif tag == "object" and self._object is not None:
            self.entries.append(self._object)
            self._object = None

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def parse(path):
    page = Page()
    page.feed(open(path, encoding="utf-8", errors="replace").read())
    return page


def unpack(chm, into):
    if shutil.which("extract_chmLib"):
        subprocess.run(["extract_chmLib", chm, into], check=True, capture_output=True)
    else:
        subprocess.run(["7z", "x", "-y", "-o" + into, chm], check=True, capture_output=True)


def system_records(path):
    """The compiled project options: code -> text."""
    data = open(path, "rb").read()
    records, at = {}, 4  # after the version number
    while at + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, at)
        records[code] = data[at + 4:at + 4 + length].split(b"\0")[0].decode("latin-1")
        at += 4 + length
    return records


def local_target(href):
    """The file inside the help file that a link names, or None for an outside address."""
    parts = urllib.parse.urlsplit(href)
    if parts.scheme or parts.netloc or not parts.path:
        return None
    return urllib.parse.unquote(parts.path)


def check_contents(root, sources, shots):
    topics = sorted(f for f in os.listdir(sources) if f.endswith(".htm"))
    inside = set(os.listdir(root))
    for topic in topics:
        check(topic in inside, f"topic {topic} is not in the help file")

    options = system_records(os.path.join(root, "#SYSTEM"))
    check(options.get(2) == "index.htm", f"default topic is {options.get(2)!r}, not index.htm")
    check(options.get(0) == "WordPressOutput.hhc", f"contents file is {options.get(0)!r}")
    check(options.get(1) == "WordPressOutput.hhk", f"index file is {options.get(1)!r}")
    check(bool(options.get(3)), "the help file has no title")

    # The table of contents reaches every topic and names only topics that are inside.
    toc = parse(os.path.join(root, "WordPressOutput.hhc"))
    toc_targets = []
    for entry in toc.entries:
        values = dict(entry)
        check(values.get("name"), f"a contents entry has no name: {entry}")
        target = local_target(values.get("local", ""))
        check(target in inside, f"contents entry {values.get('name')!r} names {values.get('local')!r}, not inside")
        toc_targets.append(target)
    for topic in topics:
        check(topic in toc_targets, f"topic {topic} cannot be reached from the table of contents")
    index = parse(os.path.join(root, "WordPressOutput.hhk"))
    check(len(index.entries) >= len(topics), f"the index has {len(index.entries)} keywords only")
    for entry in index.entries:
        for name, value in entry:
            if name == "local":
                check(local_target(value) in inside, f"index entry {entry[0][1]!r} names {value!r}, not inside")

    # The contents page lists what the table of contents lists, in its order.
    contents_links = [local_target(h) for h in parse(os.path.join(root, "index.htm")).links]
    listed = [t for t in toc_targets if t != "index.htm"]
    check([t for t in contents_links if t in listed][:len(listed)] == listed,
          f"the contents page does not list the topics as the table of contents does: {contents_links}")

    for topic in topics:
        if topic not in inside:
            continue
        page = parse(os.path.join(root, topic))
        check(page.title.strip(), f"{topic} has no title")
        for href in page.links:
            target = local_target(href)
            if target is not None:
                check(target in inside, f"{topic} links to {href}, which is not inside")
        for src in page.pictures + page.styles:
            check(local_target(src) in inside, f"{topic} shows {src}, which is not inside")
        # A screenshot that a topic asks for is shown once it exists.
        text = open(os.path.join(sources, topic), encoding="utf-8").read()
        for wanted in re.findall(r'<!--picture\s+src="([^"]+)"', text):
            # (The tests shoot some of these anew, so the file's copy may be the
            # previous shot: what counts is that the picture is there.)
            if os.path.isfile(os.path.join(shots, wanted)):
                check(wanted in page.pictures, f"{topic} does not show {wanted}, although it exists")
        check("<!--picture" not in open(os.path.join(root, topic), encoding="utf-8").read(),
              f"{topic} still holds a picture marker")
    print(f"{len(topics)} topics, {len(toc.entries)} contents entries, {len(index.entries)} index keywords", flush=True)


def render(root, out_dir):
    """The contents page and the Blog Editor topic as PNG pictures."""
    os.makedirs(out_dir, exist_ok=True)
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if not check(browser, "no Chromium to draw the help topics with"):
        return
    for topic, name in (("index.htm", "help-contents.png"), ("editor.htm", "help-editor.png")):
        with tempfile.TemporaryDirectory() as profile:
            raw = os.path.join(profile, "raw.png")
            subprocess.run([browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                            "--disable-background-networking", "--disable-component-update", "--disable-sync",
                            "--hide-scrollbars", "--user-data-dir=" + profile, "--window-size=860,3200",
                            "--screenshot=" + raw, "file://" + os.path.join(root, topic)],
                           capture_output=True, timeout=120)
            if not check(os.path.isfile(raw), f"Chromium drew nothing for {topic}"):
                continue
            # The page is drawn on a tall canvas; keep the page and a white margin.
            subprocess.run(["convert", raw, "-trim", "+repage", "-bordercolor", "white", "-border", "18",
                            os.path.join(out_dir, name)], check=True)
            print("rendered " + os.path.join(out_dir, name), flush=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--chm", required=True)
    ap.add_argument("--sources", required=True)
    ap.add_argument("--screenshots", required=True)
    ap.add_argument("--render")
    args = ap.parse_args()
    with tempfile.TemporaryDirectory() as root:
        unpack(args.chm, root)
        check_contents(root, args.sources, args.screenshots)
        if args.render and not failures:
            render(root, args.render)
    print("help file: " + ("FAILED" if failures else "passed"), flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
