#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes watchlist/data/listing.txt: today's listed stocks, which the watch-list search
offers when the built-in directory finds nothing, from a list of the exchanges' stocks with
the columns code,name,listed,status (UTF-8, code with its market prefix, such as
AFAN-LIFE/macropage's export of Tushare's stock_basic).

Only listed stocks (status L) are kept. A name loses the spaces the exchanges pad short
names with and otherwise stays as written, full-width letters included (the search reads
them as ASCII). Each line is a watch-list entry, "宁德时代(sz300750)": Shanghai, then
Shenzhen, then Beijing, each in code order, so that a newer file's changes read well in a
diff.

    python3 scripts/make-listing.py CSV [--out PATH] [--initials PATH]
"""

import argparse
import csv
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "watchlist" / "data"
COLUMNS = ["code", "name", "listed", "status"]
MARKETS = ["sh", "sz", "bj"]
CODE = re.compile(r"^(sh|sz|bj)[0-9]{6}$")
PADDING = " \t\u3000"
LONGEST_NAME = 16  # what the quote service's names are held to as well


def entry_fault(code, name):
    """Why code and name make no watch-list entry that reads back, or None."""
    if not CODE.match(code):
        return "not a code with its market"
    if not name:
        return "no name"
    if len(name) > LONGEST_NAME:
        return "a name longer than %d characters" % LONGEST_NAME
    if any(c in "()" or ord(c) < 0x20 or 0x7F <= ord(c) <= 0x9F for c in name):
        return "a parenthesis or control character in the name"
    try:
        name.encode("gbk")  # the watch-list file's encoding
    except UnicodeEncodeError:
        return "a name that GBK cannot hold"
    return None


def read_listing(path):
    """The listed stocks of a CSV file as (code, name) pairs, or exits saying what is wrong."""
    with open(path, encoding="utf-8-sig", newline="") as source:
        reader = csv.DictReader(source)
        if reader.fieldnames is None or [f.strip() for f in reader.fieldnames] != COLUMNS:
            sys.exit(f"{path}: the columns must be {','.join(COLUMNS)}")
        stocks, faults, seen = [], [], set()
        for line, row in enumerate(reader, start=2):
            if row["status"].strip() != "L":
                continue
            code = row["code"].strip()
            name = "".join(c for c in row["name"] if c not in PADDING)
            fault = entry_fault(code, name) or ("the code again" if code in seen else None)
            if fault:
                faults.append(f"{path}:{line}: {fault}: {row['code']},{row['name']}")
                continue
            seen.add(code)
            stocks.append((code, name))
    if faults:
        sys.exit("\n".join(faults))
    return stocks


def characters_without_initials(stocks, initials):
    """The hanzi of the names that the initials table cannot type."""
    known = set()
    for line in initials.read_text(encoding="utf-8").splitlines():
        if not line.startswith("#") and " " in line:
            known.update(line.split(" ", 1)[1])
    return sorted({c for _, name in stocks for c in name if "\u3400" <= c <= "\u9fff"} - known)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("csv", type=pathlib.Path)
    parser.add_argument("--out", type=pathlib.Path, default=DATA / "listing.txt")
    parser.add_argument("--initials", type=pathlib.Path, default=DATA / "initials.txt")
    args = parser.parse_args()

    stocks = read_listing(args.csv)
    stocks.sort(key=lambda stock: (MARKETS.index(stock[0][:2]), stock[0]))
    args.out.write_text("".join(f"{name}({code})\n" for code, name in stocks), encoding="utf-8")

    counts = ", ".join(f"{sum(c.startswith(m) for c, _ in stocks)} {m}" for m in MARKETS)
    print(f"{args.out}: {len(stocks)} stocks ({counts})")
    missing = characters_without_initials(stocks, args.initials) if args.initials.exists() else []
    if missing:
        print(f"no initials for {''.join(missing)}: run scripts/make-initials.py")


if __name__ == "__main__":
    main()
