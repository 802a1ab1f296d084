"""The table converter on a small sample of GeoNames' cities file."""
import gzip
import json
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "tools", "make_places.py")
SAMPLE = os.path.join(HERE, "cities500_sample.txt")


class MakePlaces(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.iso = os.path.join(self.dir.name, "iso")
        os.mkdir(self.iso)
        with open(os.path.join(self.iso, "iso_3166-1.json"), "w", encoding="utf-8") as f:
            json.dump({"3166-1": [
                {"alpha_2": "US", "name": "United States"},
                {"alpha_2": "FR", "name": "France"},
                {"alpha_2": "AU", "name": "Australia"},
                {"alpha_2": "NO", "name": "Norway"},
                {"alpha_2": "KR", "name": "Korea, Republic of", "common_name": "South Korea"}]}, f)
        with open(os.path.join(self.iso, "iso_3166-2.json"), "w", encoding="utf-8") as f:
            json.dump({"3166-2": [
                {"code": "US-FL", "name": "Florida"},
                {"code": "FR-53", "name": "Wrong department"},  # numeric: never matched
                {"code": "AU-WA", "name": "Western Australia"}]}, f)
        self.extra = os.path.join(self.dir.name, "extra.tsv")
        with open(self.extra, "w", encoding="utf-8") as f:
            f.write("# hand-added\nBremer Bay\t\tAU\t08\t-34.38333\t119.38333\t"
                    "Australia/Perth\t250\n")

    def tearDown(self):
        self.dir.cleanup()

    def convert(self, source=SAMPLE, out_name="out.tsv.gz", extra=None):
        out = os.path.join(self.dir.name, out_name)
        run = subprocess.run([sys.executable, SCRIPT, source, out, "--iso-codes", self.iso,
                              "--extra", extra if extra is not None else self.extra,
                              "--source", "test sample"],
                             capture_output=True, text=True)
        return run, out

    def lines(self, out):
        with gzip.open(out, "rt", encoding="utf-8") as f:
            return f.read().split("\n")

    def test_table_layout_names_and_order(self):
        run, out = self.convert()
        self.assertEqual(run.returncode, 0, run.stderr)
        lines = self.lines(out)
        self.assertEqual(lines[0], "# Moonbite places 1")
        self.assertIn("# Source: test sample", lines)
        self.assertTrue(any("GeoNames (geonames.org), CC BY 4.0" in l for l in lines[:4]))
        self.assertIn("C\tUS\tUnited States", lines)
        self.assertIn("C\tXK\tKosovo", lines, "a code ISO does not list keeps a name")
        self.assertIn("R\tUS\tFL\tFlorida", lines)
        self.assertIn("R\tAU\t08\tWestern Australia", lines, "the hand table names AU 08")
        self.assertIn("R\tNO\t54\tTroms og Finnmark", lines)
        self.assertFalse(any(l.startswith("R\tFR\t53") for l in lines),
                         "a numeric code must not take an ISO name of another scheme")
        places = [l.split("\t") for l in lines
                  if l and not l.startswith(("#", "C\t", "R\t"))]
        self.assertTrue(all(len(p) == 8 for p in places))
        names = [p[0] for p in places]
        self.assertNotIn("Nowhere Zone", names, "a place without a zone is left out")
        self.assertIn("Bremer Bay", names, "hand-added places are included")
        # Grouped by country and region, larger first within a region.
        self.assertLess(names.index("Key West"), names.index("Islamorada"))
        self.assertEqual([p[2] for p in places], sorted(p[2] for p in places))
        key_west = places[names.index("Key West")]
        self.assertEqual(key_west, ["Key West", "", "US", "FL", "24.5552", "-81.7816",
                                    "America/New_York", "25755"])
        tromso = places[names.index("Tromsø")]
        self.assertEqual(tromso[1], "Tromso", "the ASCII name is kept when it differs")
        self.assertEqual(tromso[5], "18.9551")

    def test_same_input_gives_the_same_bytes(self):
        _, first = self.convert(out_name="a.tsv.gz")
        _, second = self.convert(out_name="b.tsv.gz")
        with open(first, "rb") as a, open(second, "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_damaged_input_is_refused_and_nothing_written(self):
        bad = os.path.join(self.dir.name, "bad.txt")
        with open(SAMPLE, encoding="utf-8") as f:
            good = f.read()
        with open(bad, "w", encoding="utf-8") as f:
            f.write(good + "123\tShort row\n")
        run, out = self.convert(source=bad)
        self.assertNotEqual(run.returncode, 0)
        self.assertIn(":8:", run.stderr, "the message names the line")
        self.assertFalse(os.path.exists(out))
        with open(bad, "w", encoding="utf-8") as f:
            f.write(good.replace("24.55524", "north"))
        run, out = self.convert(source=bad)
        self.assertNotEqual(run.returncode, 0)
        self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    unittest.main()
