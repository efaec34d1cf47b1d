#!/usr/bin/env python3
"""Checks a Scripture the companion showed against the book file the server serves.

Usage: passage_in_book.py CONTENT_DIR TRANSLATION_CODE REFERENCE TEXT_FILE

True (exit 0) when the text lies within the verses the reference names ("1 John 3:16" or
"Psalms 23:1-3"), starts at the start of a sentence there, and ends a sentence.
"""
import json
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from derive_chapter_table import BOOKS  # noqa: E402

CLOSING = re.escape("\"')]\u2019\u201d")
SENTENCE_END = re.compile(f"\\.[{CLOSING}]*$")
AFTER_SENTENCE = re.compile(f"[.!?][{CLOSING}]*[\\s\u00b6]+$")


def main():
    content, code, reference, text_file = sys.argv[1:5]
    with open(text_file, encoding="utf-8") as f:
        text = f.read()
    match = re.fullmatch(r"(.+) (\d+):(\d+)(?:-(\d+))?", reference)
    if not match:
        sys.exit(f"not a reference: {reference!r}")
    name, chapter, first, last = match.group(1), match.group(2), int(match.group(3)), match.group(4)
    last = int(last) if last else first
    book = next((b[0] for b in BOOKS if b[1] == name), None)
    if book is None:
        sys.exit(f"no such book: {name!r}")
    with open(os.path.join(content, "bible", "v1", code, book + ".json"), encoding="utf-8") as f:
        verses = dict(json.load(f)[chapter])
    span = " ".join(verses[v] for v in range(first, last + 1) if v in verses)
    at = span.find(text)
    problems = []
    if at < 0:
        problems.append(f"the text is not within {reference} ({code})")
    elif at > 0 and not AFTER_SENTENCE.search(span[:at]):
        problems.append("the text does not start a sentence")
    if not SENTENCE_END.search(text):
        problems.append("the text does not end a sentence")
    if problems:
        sys.exit("; ".join(problems) + f"\ntext: {text!r}\nverses: {span!r}")
    print(f"{reference} ({code}): {len(text)} characters within its verses")


if __name__ == "__main__":
    main()
