#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes watchlist/data/initials.txt: the pinyin initials of the Chinese characters that the
watch-list search needs (every hanzi of GB 2312, of the directory and of today's listing),
from the Unicode Han database's Unihan_Readings.txt (Debian package unicode-data).

A character keeps every reading the database gives it, so that 行 is found by "h" and "x"
and 长 by "c" and "z". The output groups characters by their set of initials, one group a
line, so the table stays small and its changes read well in a diff.

    python3 scripts/make-initials.py [--unihan PATH] [--out PATH]
"""

import argparse
import bz2
import io
import pathlib
import sys
import unicodedata
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "watchlist" / "data"
CANDIDATES = [
    pathlib.Path("/usr/share/unicode/Unihan_Readings.txt"),
    pathlib.Path("/usr/share/unicode/Unihan_Readings.txt.bz2"),
    pathlib.Path("/usr/share/unicode/Unihan.zip"),
]
# Mandarin readings only. kMandarin alone gives one reading for most characters and misses
# common ones (长 cháng, 厦 xià); the dictionary fields add them.
FIELDS = {"kMandarin", "kHanyuPinyin", "kHanyuPinlu", "kXHC1983", "kTGHZ2013"}


def read_unihan(path):
    if path.suffix == ".zip":
        with zipfile.ZipFile(path) as archive:
            return archive.read("Unihan_Readings.txt").decode("utf-8")
    if path.suffix == ".bz2":
        return bz2.decompress(path.read_bytes()).decode("utf-8")
    return path.read_text(encoding="utf-8")


def reading_words(field, value):
    """The syllables of one field's value, without locations or frequencies."""
    words = []
    for item in value.split():
        if field in ("kHanyuPinyin", "kXHC1983", "kTGHZ2013"):
            item = item.split(":", 1)[-1]  # "10028.100:zhōng,zhòng"
        for word in item.split(","):
            words.append(word.split("(", 1)[0])  # kHanyuPinlu: "zhōng(1234)"
    return words


def initial(syllable):
    """The ASCII letter a syllable starts with: "zhōng" → z, "ǎi" → a, "ḿ" → m."""
    base = unicodedata.normalize("NFD", syllable)
    letter = base[:1].lower()
    if letter == "ü":
        letter = "v"
    return letter if "a" <= letter <= "z" else None


def initials_by_character(text):
    table = {}
    for line in io.StringIO(text):
        if line.startswith("#") or not line.strip():
            continue
        code, field, value = line.rstrip("\n").split("\t", 2)
        if field not in FIELDS:
            continue
        char = chr(int(code[2:], 16))
        for word in reading_words(field, value):
            letter = initial(word)
            if letter:
                table.setdefault(char, set()).add(letter)
    return table


def gb2312_hanzi():
    chars = []
    for row in range(0xB0, 0xF8):
        for cell in range(0xA1, 0xFF):
            try:
                chars.append(bytes([row, cell]).decode("gb2312"))
            except UnicodeDecodeError:
                pass  # the unassigned end of row 55
    return chars


def hanzi_of(*names):
    chars = set()
    for name in names:
        for char in (DATA / name).read_text(encoding="utf-8"):
            if unicodedata.name(char, "").startswith("CJK UNIFIED IDEOGRAPH"):
                chars.add(char)
    return chars


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--unihan", type=pathlib.Path, help="Unihan_Readings.txt (.bz2) or Unihan.zip")
    parser.add_argument("--out", type=pathlib.Path, default=DATA / "initials.txt")
    args = parser.parse_args()

    source = args.unihan or next((p for p in CANDIDATES if p.exists()), None)
    if source is None:
        sys.exit("Unihan_Readings.txt not found: install unicode-data or pass --unihan")
    text = read_unihan(source)
    version = next((l.split(":", 1)[1].strip() for l in text.splitlines()[:10]
                    if l.startswith("# Unicode version")), "unknown")
    table = initials_by_character(text)

    directory = hanzi_of("shanghai.txt", "shenzhen.txt")
    wanted = set(gb2312_hanzi()) | directory | hanzi_of("listing.txt")
    missing = sorted(c for c in wanted if c not in table)
    directory_missing = sorted(c for c in directory if c not in table)
    if directory_missing:
        sys.exit("no reading for directory characters: " + "".join(directory_missing))

    groups = {}
    for char in sorted(wanted - set(missing)):
        groups.setdefault("".join(sorted(table[char])), []).append(char)

    lines = [
        "# Pinyin initials of the Chinese characters the watch-list search needs: every hanzi of",
        "# GB 2312, of the directory and of today's listing. Made by scripts/make-initials.py",
        f"# from the Unicode Han database's Unihan_Readings.txt (Unicode {version}); do not edit",
        "# by hand.",
        "# Each line: the initials a character may be typed with, a space, the characters.",
    ]
    for letters in sorted(groups, key=lambda k: (len(k), k)):
        lines.append(letters + " " + "".join(groups[letters]))
    args.out.write_text("\n".join(lines) + "\n", encoding="utf-8")
    count = sum(len(g) for g in groups.values())
    print(f"{args.out}: {count} characters in {len(groups)} groups"
          + (f"; no reading for {len(missing)}: {''.join(missing)}" if missing else ""))


if __name__ == "__main__":
    main()
