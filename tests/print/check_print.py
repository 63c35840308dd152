#!/usr/bin/env python3
"""Checks a printed help PDF with poppler's pdfinfo, pdffonts and pdftotext.

    check_print.py PDF TEXT PRINTED [BEGAN ENDED]

TEXT is help, three or empty; PRINTED holds the text that was printed.
The body must be in Liberation Mono bold (Courier) and the footers in
Liberation Sans (Arial), no other font. Every page must carry the footer
"page N" at x 40 and one and the same time and date at x 100 on the line
y = 720; the body must lie in the column 492 points wide from x 36, between
y 36 and 708; page 1 must begin with the text's first words; the footer's
time must lie between BEGAN and ENDED (seconds since the epoch, local
time); "three" must give three pages and "empty" one page with the footer
alone. The document's title, which cups-pdf takes from the job's name, must
be "Scrandle Help". Prints what it checked; exits 1 on the first fault.
"""
import re
import subprocess
import sys
import time
from html.parser import HTMLParser

TOL = 2.0  # points: the glyph boxes of pdftotext against the layout's lines


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


class Boxes(HTMLParser):
    """The words of pdftotext -bbox, page by page."""

    def __init__(self):
        super().__init__()
        self.pages = []
        self.word = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "page":
            self.pages.append([])
        elif tag == "word":
            self.word = [float(a["xmin"]), float(a["ymin"]), float(a["xmax"]), float(a["ymax"]), ""]

    def handle_data(self, data):
        if self.word is not None:
            self.word[4] += data

    def handle_endtag(self, tag):
        if tag == "word" and self.word is not None:
            self.pages[-1].append(tuple(self.word))
            self.word = None


def fail(message):
    print("check_print: " + message, file=sys.stderr)
    sys.exit(1)


def main():
    pdf, kind, printed_path = sys.argv[1:4]
    with open(printed_path, encoding="utf-8") as f:
        printed = f.read()

    info = run("pdfinfo", pdf)
    pages = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
    size = re.search(r"^Page size:\s+(.*)$", info, re.M).group(1)
    print(f"pdfinfo: {pages} page(s), {size}")
    # cups-pdf copies the PostScript title as it stands, parentheses and all.
    title = re.search(r"^Title:\s+(.*?)\s*$", info, re.M)
    title = title.group(1) if title else ""
    if title.startswith("(") and title.endswith(")"):
        title = title[1:-1]
    if title != "Scrandle Help":
        fail(f"the job's title is {title!r}, not 'Scrandle Help'")
    print(f"title: {title!r}")
    if kind == "three" and pages != 3:
        fail(f"{pages} pages, not 3")
    if kind == "empty" and pages != 1:
        fail(f"{pages} pages, not 1")

    # The footer line of every page, as pdftotext -layout sets it.
    footers = []
    for n in range(1, pages + 1):
        lines = [l for l in run("pdftotext", "-layout", "-f", str(n), "-l", str(n), pdf, "-").splitlines() if l.strip()]
        if not lines:
            fail(f"page {n} is blank")
        m = re.fullmatch(r"\s*page (\d+)\s+(\S.*?)\s*", lines[-1])
        if not m or int(m.group(1)) != n:
            fail(f"page {n}: the last line is not its footer: {lines[-1]!r}")
        footers.append(m.group(2))
        print(f"page {n} footer: {lines[-1].strip()!r}")
        if kind == "empty" and len(lines) != 1:
            fail(f"the empty text printed more than the footer: {lines!r}")
    if len(set(footers)) != 1:
        fail(f"the footers' time and date differ: {footers!r}")
    clock = re.match(r"(\d{1,2})[:.](\d{2})\b.*, .*\d", footers[0])
    if not clock:
        fail(f"the footer is not 'time, date': {footers[0]!r}")
    if len(sys.argv) > 5:
        # The minute of the footer, against the minutes the print ran in.
        def minute(t):
            return time.localtime(t).tm_hour * 60 + time.localtime(t).tm_min
        began, ended = minute(int(sys.argv[4])), minute(int(sys.argv[5]))
        hour = int(clock.group(1))
        half = re.search(r"\b([AaPp])\.?[Mm]\b", footers[0].split(",")[0])
        if half:
            hour = hour % 12 + (12 if half.group(1) in "Pp" else 0)
        shown = hour * 60 + int(clock.group(2))
        within = began <= shown <= ended if began <= ended else (shown >= began or shown <= ended)
        if not within:
            fail(f"the footer's time {footers[0]!r} is not the time the print ran")
        print(f"footer time {clock.group(0)!r} lies within the run")

    # The fonts: the body in Courier 10 bold, the footers in Arial, each as
    # its metric-compatible Liberation font (pdffonts names subsets
    # "ABCDEF+Name").
    fonts = set()
    for line in run("pdffonts", pdf).splitlines()[2:]:
        fonts.add(line.split()[0].split("+")[-1])
    want = {"LiberationSans"} if kind == "empty" else {"LiberationMono-Bold", "LiberationSans"}
    if fonts != want:
        fail(f"the fonts are {sorted(fonts)!r}, not {sorted(want)!r}")
    print(f"pdffonts: {', '.join(sorted(fonts))}")

    # Positions, from the word boxes.
    boxes = Boxes()
    boxes.feed(run("pdftotext", "-bbox", pdf, "-"))
    if len(boxes.pages) != pages:
        fail(f"pdftotext -bbox found {len(boxes.pages)} pages")
    for n, words in enumerate(boxes.pages, 1):
        foot = [w for w in words if w[1] > 708]
        body = [w for w in words if w[1] <= 708]
        if [w[4] for w in foot[:2]] != ["page", str(n)]:
            fail(f"page {n}: footer words {[w[4] for w in foot]!r}")
        if abs(foot[0][0] - 40) > TOL:
            fail(f"page {n}: 'page' begins at x {foot[0][0]}, not 40")
        if abs(foot[2][0] - 100) > TOL:
            fail(f"page {n}: the time begins at x {foot[2][0]}, not 100")
        for w in foot:
            # The baseline at 720: the glyphs stand above it, descenders a
            # little below.
            if not (w[1] < 720 < w[3] + 0.5 and w[3] < 720 + 4):
                fail(f"page {n}: footer word {w!r} is not on the line y 720")
        for w in body:
            if w[0] < 36 - TOL or w[2] > 36 + 492 + TOL or w[1] < 36 - TOL or w[3] > 708 + TOL:
                fail(f"page {n}: body word {w!r} lies outside the column (36, 36) to (528, 708)")
        if body:
            left = min(w[0] for w in body)
            right = max(w[2] for w in body)
            print(f"page {n}: {len(body)} body words, x {left:.1f} to {right:.1f}, "
                  f"y {min(w[1] for w in body):.1f} to {max(w[3] for w in body):.1f}")
        if kind == "empty" and body:
            fail(f"the empty text printed body words: {body[:5]!r}")

    if printed:
        first = printed.split()[:8]
        page1 = run("pdftotext", "-layout", "-f", "1", "-l", "1", pdf, "-").split()[: len(first)]
        if page1 != first:
            fail(f"page 1 begins {page1!r}, not {first!r}")
        print(f"page 1 begins: {' '.join(first)!r}")
    print(f"check_print: {kind}: all checks passed")


if __name__ == "__main__":
    main()
