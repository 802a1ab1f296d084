#!/usr/bin/env python3
"""Reads an iCalendar file with python3-icalendar, a parser independent of
libical, and prints one line per event for the test to compare with what
libical read:  UID|SUMMARY|start|end|CATEGORIES
start and end are UTC as YYYYMMDDTHHMMSSZ, or YYYYMMDD for all-day events;
end is empty for an event without one.

Also checks the framing the standard asks for and that a parser can forgive:
every line ends with CR LF and holds at most 75 octets. Exits 1 with a
message on stderr when the file breaks either, or does not parse."""
import datetime
import sys

import icalendar


def when(prop):
    if prop is None:
        return ""
    value = prop.dt
    if isinstance(value, datetime.datetime):
        if value.tzinfo is None or value.utcoffset() != datetime.timedelta(0):
            raise ValueError(f"time {value!r} is not in UTC")
        return value.strftime("%Y%m%dT%H%M%SZ")
    return value.strftime("%Y%m%d")


def categories(prop):
    if prop is None:
        return ""
    return ",".join(str(c) for c in prop.cats)


def main(path):
    data = open(path, "rb").read()
    lines = data.split(b"\r\n")
    if lines[-1] != b"":
        print("the file does not end with CR LF", file=sys.stderr)
        return 1
    for number, line in enumerate(lines[:-1], 1):
        if b"\n" in line or b"\r" in line:
            print(f"line {number} has a bare LF or CR", file=sys.stderr)
            return 1
        if len(line) > 75:
            print(f"line {number} has {len(line)} octets", file=sys.stderr)
            return 1
    calendar = icalendar.Calendar.from_ical(data)
    if str(calendar.get("VERSION")) != "2.0" or not str(calendar.get("PRODID", "")):
        print("VERSION 2.0 or PRODID missing", file=sys.stderr)
        return 1
    for event in calendar.walk("VEVENT"):
        print("|".join([str(event.get("UID")), str(event.get("SUMMARY")),
                        when(event.get("DTSTART")), when(event.get("DTEND")),
                        categories(event.get("CATEGORIES"))]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
