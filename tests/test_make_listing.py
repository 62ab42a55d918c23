#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""scripts/make-listing.py against small input files."""

import pathlib
import subprocess
import sys
import tempfile
import unittest

SCRIPT = pathlib.Path(__file__).resolve().parent.parent / "scripts" / "make-listing.py"
HEADER = "code,name,listed,status\n"


def run(csv_text):
    """The script's exit code, what it wrote (None: nothing) and what it said."""
    with tempfile.TemporaryDirectory() as tmp:
        source, out = pathlib.Path(tmp, "in.csv"), pathlib.Path(tmp, "listing.txt")
        source.write_text(csv_text, encoding="utf-8")
        done = subprocess.run([sys.executable, str(SCRIPT), str(source), "--out", str(out)],
                              capture_output=True, text=True)
        return done.returncode, out.read_text(encoding="utf-8") if out.exists() else None, \
            done.stdout + done.stderr


class MakeListing(unittest.TestCase):
    def test_listed_stocks_by_market_then_code(self):
        code, text, said = run(HEADER +
                               "bj920000,安徽凤凰,2020-12-23,L\n"
                               "sz300750,宁德时代,2018-06-11,L\n"
                               "sh688981,中芯国际,2020-07-16,L\n"
                               "sz000002,万  科Ａ,1991-01-29,L\n"
                               "sh600000,浦发银行,1999-11-10,L\n"
                               "bj832317,观典防务(退),2020-07-27,D\n"
                               "sz000003,PT金田Ａ,1991-07-03,D\n")
        self.assertEqual(code, 0, said)
        self.assertEqual(text, "浦发银行(sh600000)\n中芯国际(sh688981)\n万科Ａ(sz000002)\n"
                               "宁德时代(sz300750)\n安徽凤凰(bj920000)\n")
        self.assertIn("5 stocks (2 sh, 2 sz, 1 bj)", said)

    def test_faults_stop_the_script_without_output(self):
        faults = {
            "wrong columns": "code,name,status\nsz300750,宁德时代,L\n",
            "no market": HEADER + "300750,宁德时代,2018-06-11,L\n",
            "parenthesis": HEADER + "sz300750,宁德(时代),2018-06-11,L\n",
            "blank name": HEADER + "sz300750, \u3000 ,2018-06-11,L\n",
            "not GBK": HEADER + "sz300750,宁德\U00020000,2018-06-11,L\n",
            "code twice": HEADER + "sz300750,宁德时代,2018-06-11,L\nsz300750,宁德,2018-06-11,L\n",
        }
        for fault, csv_text in faults.items():
            with self.subTest(fault):
                code, text, said = run(csv_text)
                self.assertNotEqual(code, 0, said)
                self.assertIsNone(text)


if __name__ == "__main__":
    unittest.main()
