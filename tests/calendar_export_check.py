#!/usr/bin/python3
"""Reads Chimewatch's export with Debian's python3-icalendar and
python3-recurring-ical-events, parsers no one here wrote, and compares every
VEVENT with what the export program says it wrote: the SUMMARY, the local
start and its offset from UTC (both as the library reads the zone name and
as it reads our VTIMEZONE), the RRULE, the VALARMs, and the first
occurrences of each repeat against Chimewatch's own moves.

    calendar_export_check.py PATH/TO/calendar_export_sample
"""
import datetime
import json
import subprocess
import sys
import tempfile

import icalendar
import recurring_ical_events

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def moment(value):
    """A datetime as the program prints it: local wall time and UTC offset."""
    return [value.replace(tzinfo=None).isoformat(), int(value.utcoffset().total_seconds())]


def check_file(expected):
    with open(expected["path"], "rb") as f:
        data = f.read()
    check(not data.startswith(b"\xef\xbb\xbf"), "no byte order mark")
    lines = data.split(b"\r\n")
    check(lines[-1] == b"", "ends with CR LF")
    check(all(b"\n" not in line and len(line) <= 75 for line in lines), "lines of at most 75 octets, CR LF only")
    calendar = icalendar.Calendar.from_ical(data)
    check(str(calendar["VERSION"]) == "2.0", "VERSION")
    check(str(calendar["PRODID"]) == "-//Chimewatch//Chimewatch 4.2.0.5//EN", "PRODID")
    zones = calendar.walk("VTIMEZONE")
    check(len(zones) == 1 and str(zones[0]["TZID"]) == expected["zone"], "one VTIMEZONE named " + expected["zone"])
    own_zone = zones[0].to_tz()
    events = {}
    for event in calendar.walk("VEVENT"):
        slot = int(str(event["UID"]).split("-")[0])
        check(slot not in events, "UIDs differ")
        events[slot] = event
    check(sorted(events) == sorted(e["slot"] for e in expected["events"]), "one VEVENT per alert, no damaged slot")
    for want in expected["events"]:
        event = events.get(want["slot"])
        if event is None:
            continue
        name = "%s slot %d: " % (expected["zone"], want["slot"])
        check(str(event["SUMMARY"]) == want["summary"].replace("\r\n", "\n"), name + "SUMMARY")
        start = event["DTSTART"].dt
        check(moment(start) == want["start"], name + "DTSTART %s, expected %s" % (moment(start), want["start"]))
        wall = start.replace(tzinfo=None)
        offset = int(own_zone.localize(wall).utcoffset().total_seconds())
        check(offset == want["start"][1], name + "our VTIMEZONE gives offset %d" % offset)
        rule = event.get("RRULE")
        check((dict(rule) if rule else {}) == ({"FREQ": [want["rrule"]]} if want["rrule"] else {}),
              name + "RRULE %s" % (dict(rule) if rule else None))
        check(str(event["X-CHIMEWATCH-REPEAT"]) == str(want["repeat"]), name + "X-CHIMEWATCH-REPEAT")
        alarms = event.walk("VALARM")
        check(len(alarms) == (1 if want["alarm"] else 0), name + "%d VALARMs" % len(alarms))
        for alarm in alarms:
            check(str(alarm["ACTION"]) == "DISPLAY", name + "ACTION")
            check(alarm["TRIGGER"].dt == datetime.timedelta(0), name + "TRIGGER")
            check(str(alarm["DESCRIPTION"]) == want["summary"].replace("\r\n", "\n"), name + "alarm DESCRIPTION")
        if want["occurrences"]:
            first = datetime.datetime.fromisoformat(want["occurrences"][0][0])
            last = datetime.datetime.fromisoformat(want["occurrences"][-1][0])
            found = [moment(o["DTSTART"].dt) for o in recurring_ical_events.of(calendar).between(
                first - datetime.timedelta(days=1), last + datetime.timedelta(minutes=1))
                     if o["UID"] == event["UID"]]
            check(found == want["occurrences"], name + "occurrences %s, expected %s" % (found, want["occurrences"]))
            for wall_text, offset_seconds in want["occurrences"]:
                offset = own_zone.localize(datetime.datetime.fromisoformat(wall_text)).utcoffset()
                check(int(offset.total_seconds()) == offset_seconds, name + "our VTIMEZONE at " + wall_text)


def main():
    with tempfile.TemporaryDirectory() as folder:
        output = subprocess.run([sys.argv[1], folder], check=True, capture_output=True, text=True).stdout
        expected = json.loads(output)
        for file in expected:
            check_file(file)
        checked = sum(len(file["events"]) for file in expected)
    for failure in failures:
        print("FAILED:", failure)
    print("%d events in %d files checked, %d failures" % (checked, len(expected), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
