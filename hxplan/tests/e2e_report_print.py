#!/usr/bin/env python3
"""The project report printed by a real browser, on A4 and on Letter.

    e2e_report_print.py <hxplan> <source dir> <chromium> <pdfinfo> <pdftotext>

hxplan writes the reports of the example projects and of a project of
awkward rooms (a long name, a narrow hall, a deep one, one too full to draw
its loudspeakers); headless Chromium prints each to PDF on A4 and on Letter
(a copy of the report with an @page size rule added: the report itself names
no paper), and poppler's tools read the pages back. Each print must have one
page for the summary and one per room, every word inside the page's margins,
and on each room's page, top to bottom, the room's heading, its figures and
its whole plan down to the plan's last text (the legend or the title
block), and no word of another room. A plan cut across pages, pushed onto a
page of its own or wider than the paper fails one of these; the test proves
it by printing one report with its plans made too tall, which must fail.

Exits 77 (skipped) when a tool is missing.
"""

import html.parser
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

SKIPPED = 77
PAPERS = {"A4": (595.3, 841.9), "letter": (612.0, 792.0)}
MARGIN = 12 / 25.4 * 72  # the report's @page margin, 12 mm, in points
SLACK = 1.0  # points: glyph boxes reach a little beyond their text's box

AWKWARD = """room,length,width,ear_level,ceiling,spl,deviation,model,zone
{long},60,36,4,10,88,2,JR2A,A zone of a name long enough to wrap in its table cell and in the plan's title block
Narrow hall,300,6,5,9,86,3,NV40,Halls
Deep store,20,160,5,14,85,3,MW3018K,Halls
Arena floor,1000,1000,5,7,90,3,NV40,Halls
""".format(long="Lecture theatre " + "with a very long name " * 6)


class Sections(html.parser.HTMLParser):
    """The summary's heading and table cells; per room section its heading, its paragraphs and the texts of
    its plan."""

    def __init__(self):
        super().__init__()
        self.summary = []
        self.rooms = []
        self.within = None  # the element whose text is being gathered
        self.text = ""

    def handle_starttag(self, tag, attrs):
        if tag == "section" and ("class", "room") in attrs:
            self.rooms.append({"heading": "", "figures": [], "plan": []})
        elif self.within is None and (tag in ("h2", "p", "text") if self.rooms else tag in ("h1", "td")):
            self.within, self.text = tag, ""

    def handle_endtag(self, tag):
        if tag != self.within:
            return
        text = " ".join(self.text.split())
        self.within = None
        if not self.rooms:
            self.summary.append(text)
            return
        room = self.rooms[-1]
        if tag == "h2":
            room["heading"] = text
        elif tag == "p":
            room["figures"].append(text)
        elif text:
            room["plan"].append(text)

    def handle_data(self, data):
        if self.within is not None:
            self.text += data


def pages_of(pdftotext, pdf):
    """Each page's size and its words as (text, x0, y0, x1, y1), in the order drawn."""
    out = subprocess.run([pdftotext, "-bbox", pdf, "-"], check=True, capture_output=True, text=True).stdout
    # The XHTML names a namespace; the words are all that is read.
    root = ElementTree.fromstring(re.sub(r'\sxmlns="[^"]+"', "", out, count=1))
    pages = []
    for page in root.iter("page"):
        words = [(w.text or "", float(w.get("xMin")), float(w.get("yMin")), float(w.get("xMax")), float(w.get("yMax")))
                 for w in page.iter("word")]
        pages.append(((float(page.get("width")), float(page.get("height"))), words))
    return pages


def find(words, phrase, start=0):
    """Where the words of a phrase follow one another from `start` on, or -1."""
    wanted = phrase.split()
    texts = [w[0] for w in words]
    for i in range(start, len(texts) - len(wanted) + 1):
        if texts[i:i + len(wanted)] == wanted:
            return i
    return -1


def check_print(pages, paper, summary, rooms, problems):
    """What a print must be: a summary page, then a page per room, nothing cut or spilled."""
    width, height = PAPERS[paper]
    if len(pages) != 1 + len(rooms):
        problems.append("%d pages for 1 summary page and %d rooms" % (len(pages), len(rooms)))
    for number, (size, words) in enumerate(pages, 1):
        if abs(size[0] - width) > 1 or abs(size[1] - height) > 1:
            problems.append("page %d is %.1f x %.1f pt, not %s" % (number, size[0], size[1], paper))
        for text, x0, y0, x1, y1 in words:
            inside = (MARGIN - SLACK <= x0 and MARGIN - SLACK <= y0 and x1 <= width - MARGIN + SLACK
                      and y1 <= height - MARGIN + SLACK)
            if not inside:
                problems.append("page %d: '%s' at %.1f, %.1f to %.1f, %.1f is outside the margins"
                                % (number, text, x0, y0, x1, y1))
                break
    # The summary whole on its page: its heading first, its last cell last.
    if pages and not (0 <= find(pages[0][1], summary[0]) <= find(pages[0][1], summary[-1])):
        problems.append("page 1 lacks '%s' or '%s' of the summary" % (summary[0], summary[-1]))
    for index, room in enumerate(rooms):
        number = index + 2
        if number > len(pages):
            break
        words = pages[number - 1][1]
        # Top to bottom: heading, figures, the plan's first and last texts.
        at = 0
        for part in [room["heading"]] + room["figures"] + [room["plan"][0], room["plan"][-1]]:
            found = find(words, part, at)
            if found < 0:
                where = [n for n, (_, other) in enumerate(pages, 1) if find(other, part) >= 0]
                problems.append("page %d lacks '%s' of %s (found on pages %s)" % (number, part, room["heading"], where))
                break
            at = found
        for other in rooms:
            if other is not room and find(words, other["heading"]) >= 0 and other["heading"] not in room["heading"]:
                problems.append("page %d holds the heading of %s as well" % (number, other["heading"]))


def print_pdf(chromium, html_file, pdf, profile):
    command = [chromium, "--headless", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--disable-dev-shm-usage",  # a clean root may have no /dev/shm
               "--user-data-dir=" + profile, "--no-pdf-header-footer", "--print-to-pdf=" + pdf,
               "file://" + os.path.abspath(html_file)]
    if os.geteuid() == 0:
        command.insert(1, "--no-sandbox")  # Chromium refuses to run as root with its sandbox
    env = dict(os.environ, HOME=profile, XDG_CONFIG_HOME=profile, XDG_CACHE_HOME=profile)
    result = subprocess.run(command, capture_output=True, text=True, timeout=180, env=env)
    if result.returncode != 0 or not os.path.exists(pdf):
        raise RuntimeError("Chromium did not print %s: %s" % (html_file, result.stderr[-2000:]))


def with_style(report, style, copy):
    """A copy of the report with a rule added after its own."""
    with open(report, encoding="utf-8") as source:
        text = source.read()
    with open(copy, "w", encoding="utf-8") as target:
        target.write(text.replace("</head>", "<style>" + style + "</style>\n</head>", 1))


def main():
    hxplan, source, chromium, pdfinfo, pdftotext = sys.argv[1:6]
    missing = [name for name, path in (("chromium", chromium), ("pdfinfo", pdfinfo), ("pdftotext", pdftotext))
               if not path or not shutil.which(path)]
    if missing:
        print("skipped: missing " + ", ".join(missing))
        return SKIPPED
    docs = os.path.join(source, "docs")
    folder = tempfile.mkdtemp(prefix="hxplan-print-")
    try:
        awkward = os.path.join(folder, "awkward.csv")
        with open(awkward, "w", encoding="utf-8") as file:
            file.write(AWKWARD)
        projects = {
            "example": ["--project", os.path.join(docs, "example-project.csv"), "--coverage"],
            "library": ["--library", os.path.join(docs, "example-library.csv"),
                        "--project", os.path.join(docs, "example-library-project.csv"), "--metric", "--coverage"],
            "awkward": ["--project", awkward, "--coverage"],
        }
        failures = []
        checked = 0
        for name, arguments in projects.items():
            report = os.path.join(folder, name + ".html")
            result = subprocess.run([hxplan] + arguments + ["--report", report], capture_output=True, text=True)
            if not os.path.exists(report):
                failures.append("%s: no report (%s)" % (name, result.stderr.strip()))
                continue
            sections = Sections()
            with open(report, encoding="utf-8") as file:
                sections.feed(file.read())
            rooms = sections.rooms
            if len(sections.summary) < 2 or not rooms or not all(room["plan"] for room in rooms):
                failures.append("%s: the report holds %d rooms, some without a plan" % (name, len(rooms)))
                continue
            for paper in PAPERS:
                copy = os.path.join(folder, "%s-%s.html" % (name, paper))
                pdf = copy[:-5] + ".pdf"
                with_style(report, "@page { size: %s; }" % paper, copy)
                print_pdf(chromium, copy, pdf, os.path.join(folder, "profile"))
                info = subprocess.run([pdfinfo, pdf], check=True, capture_output=True, text=True).stdout
                pages = pages_of(pdftotext, pdf)
                stated = re.search(r"^Pages:\s+(\d+)", info, re.M)
                if not stated or int(stated.group(1)) != len(pages):
                    failures.append("%s on %s: pdfinfo and pdftotext disagree on the pages" % (name, paper))
                problems = []
                check_print(pages, paper, sections.summary, rooms, problems)
                failures += ["%s on %s: %s" % (name, paper, problem) for problem in problems]
                print("%s on %s: %d pages, %d rooms, %s" % (name, paper, len(pages), len(rooms),
                                                           "fine" if not problems else "%d problems" % len(problems)))
                checked += 1
        # The check itself: plans taller than a page must not pass.
        report = os.path.join(folder, "example.html")
        if os.path.exists(report):
            copy = os.path.join(folder, "too-tall.html")
            with_style(report, ".plan svg { max-height: none; height: 250mm; }", copy)
            pdf = os.path.join(folder, "too-tall.pdf")
            print_pdf(chromium, copy, pdf, os.path.join(folder, "profile"))
            sections = Sections()
            with open(report, encoding="utf-8") as file:
                sections.feed(file.read())
            problems = []
            check_print(pages_of(pdftotext, pdf), "letter", sections.summary, sections.rooms, problems)
            if not problems:
                failures.append("plans too tall for the page passed the check")
            else:
                print("plans too tall for the page: caught (%s)" % problems[0])
        for failure in failures:
            print("FAIL " + failure)
        if failures or checked == 0:
            return 1
        print("%d prints checked" % checked)
        return 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
