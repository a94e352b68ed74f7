#!/usr/bin/env python3
"""Writes a table of repeat rules and their occurrences, worked out by
Debian's python3-dateutil (rrule), an implementation of RFC 5545 that no one
here wrote. The native test (recurrence_table_test.cpp) reads each rule with
ParseRecurrenceRule and checks NextOccurrenceAfter against it.

Seeded, so every build writes the same table. One line per case, tab
separated:
  RRULE text | DTSTART | EXDATEs ("-" for none) | the first occurrences,
  with END when the series ends sooner | a time | the first occurrence
  after it, or END

All times are naive (wall-clock) datetimes on both sides: a change to or
from summer time moves no occurrence of a wall-clock series; the program
turns local time into an instant elsewhere.

Usage: recurrence_table.py OUTPUT
"""

import datetime
import random
import sys

from dateutil import rrule

SEED = 5545
CASES = 3000
FIRST = 6
DAYS = ["MO", "TU", "WE", "TH", "FR", "SA", "SU"]  # dateutil's order
FREQUENCIES = {"DAILY": rrule.DAILY, "WEEKLY": rrule.WEEKLY, "MONTHLY": rrule.MONTHLY, "YEARLY": rrule.YEARLY}
# How far a checked time may lie from the start: dateutil walks every
# period from the start, so daily rules get the shortest reach.
REACH_DAYS = {"DAILY": 2500, "WEEKLY": 8000, "MONTHLY": 40000, "YEARLY": 60000}


def stamp(moment):
    return moment.strftime("%Y%m%dT%H%M%S")


def random_start(rnd):
    # Month ends, 29 February and century years (1900 and 2100 are not leap
    # years, 2000 and 2400 are) are where calendars go wrong.
    year = rnd.choice([rnd.randint(1899, 2101)] * 6 + [1600, 1700, 1900, 2000, 2100, 2400, rnd.randint(1583, 2999)])
    month = rnd.randint(1, 12)
    last = (datetime.date(year + month // 12, month % 12 + 1, 1) - datetime.timedelta(days=1)).day
    day = rnd.choice([rnd.randint(1, last), last, last - 1, min(last, 31), 1, 28 if month == 2 else last])
    second = rnd.choice([0, 0, 0, rnd.randint(0, 59)])
    return datetime.datetime(year, month, day, rnd.randint(0, 23), rnd.randint(0, 59), second)


def weekday_set(rnd):
    if rnd.random() < 0.25:
        return [0, 1, 2, 3, 4]
    return sorted(rnd.sample(range(7), rnd.randint(1, 4)))


def random_rule(rnd, frequency):
    """The rule's parts as text and as dateutil's keywords."""
    parts = {"FREQ": frequency}
    keywords = {"freq": FREQUENCIES[frequency]}
    interval = rnd.choice([1, 1, 1, 2, 2, 3, 4, rnd.randint(5, 13)])
    if interval != 1 or rnd.random() < 0.1:
        parts["INTERVAL"] = str(interval)
    keywords["interval"] = interval
    ordinals = frequency in ("MONTHLY", "YEARLY") and rnd.random() < 0.45
    if rnd.random() < 0.25:
        months = sorted(rnd.sample(range(1, 13), rnd.randint(1, 3)))
        parts["BYMONTH"] = ",".join(map(str, months))
        keywords["bymonth"] = months
    if frequency != "WEEKLY" and not ordinals and rnd.random() < 0.35:
        pool = [1, 2, 13, 15, 28, 29, 30, 31, -1, -2, -7, rnd.randint(1, 31), -rnd.randint(1, 31)]
        monthdays = sorted(set(rnd.sample(pool, rnd.randint(1, 3))))
        parts["BYMONTHDAY"] = ",".join(map(str, monthdays))
        keywords["bymonthday"] = monthdays
    if ordinals:
        yearly_places = frequency == "YEARLY" and "BYMONTH" not in parts
        pool = [1, 2, 3, 4, 5, -1, -2, -5] + ([10, 20, 52, 53, -10, -53] if yearly_places else [])
        entries = [(rnd.choice(pool), rnd.randrange(7)) for _ in range(rnd.randint(1, 2))]
        parts["BYDAY"] = ",".join(f"{n}{DAYS[d]}" for n, d in entries)
        keywords["byweekday"] = [rrule.weekday(d, n) for n, d in entries]
    elif rnd.random() < (0.6 if frequency in ("DAILY", "WEEKLY") else 0.3):
        days = weekday_set(rnd)
        parts["BYDAY"] = ",".join(DAYS[d] for d in days)
        keywords["byweekday"] = days
    if ("BYDAY" in parts or "BYMONTHDAY" in parts) and rnd.random() < 0.25:
        # A daily period is one day, and a few numbered weekdays are a short
        # set: places past them never match.
        short = frequency == "DAILY" or ordinals or ("BYDAY" not in parts and "," not in parts["BYMONTHDAY"])
        short = short or (frequency == "WEEKLY" and "," not in parts["BYDAY"])
        position = rnd.choice([1, -1] if short else [1, 2, -1, -2])
        parts["BYSETPOS"] = str(position)
        keywords["bysetpos"] = position
    if rnd.random() < 0.3:
        start = rnd.randrange(7)
        parts["WKST"] = DAYS[start]
        keywords["wkst"] = start
    return parts, keywords


def add_end(rnd, parts, keywords, start):
    choice = rnd.random()
    if choice < 0.3:
        count = rnd.choice([1, 2, 5, 10, rnd.randint(1, 40)])
        parts["COUNT"] = str(count)
        keywords["count"] = count
    elif choice < 0.6:
        last = start + datetime.timedelta(days=rnd.randint(0, 3000), minutes=rnd.randint(-600, 600))
        if rnd.random() < 0.4:  # a date alone: the whole day
            parts["UNTIL"] = last.strftime("%Y%m%d")
            keywords["until"] = datetime.datetime(last.year, last.month, last.day, 23, 59, 59)
        else:
            parts["UNTIL"] = stamp(last)
            keywords["until"] = last


def rule_text(rnd, parts):
    # The reader takes the parts in any order and any case.
    names = list(parts)
    if rnd.random() < 0.3:
        rnd.shuffle(names)
    text = ";".join(f"{name}={parts[name]}" for name in names)
    return text.lower() if rnd.random() < 0.1 else text


def first_occurrence_soon(keywords, start):
    """dateutil walks period by period without end, slowly: leave out the
    rules that have no occurrence within a few dozen periods (the native
    tests have rows of their own for rules that match rarely or never)."""
    probe = dict(keywords)
    probe.pop("count", None)
    years = {rrule.DAILY: 2, rrule.WEEKLY: 2, rrule.MONTHLY: 5, rrule.YEARLY: 40}[keywords["freq"]]
    soon = start + datetime.timedelta(days=years * 366)
    probe["until"] = min(keywords.get("until", datetime.datetime.max), soon)
    return next(iter(rrule.rrule(dtstart=start, **probe)), None) is not None


def one_case(rnd):
    frequency = rnd.choice(list(FREQUENCIES))
    start = random_start(rnd)
    parts, keywords = random_rule(rnd, frequency)
    if frequency == "WEEKLY" and "BYSETPOS" in parts:
        # dateutil's first week runs from the start, not from WKST, so its
        # BYSETPOS counts in a shorter set there; RFC 5545 counts in the
        # whole week (a row of the native tests). Start on a week's first day.
        start -= datetime.timedelta(days=(start.weekday() - keywords.get("wkst", 0)) % 7)
    add_end(rnd, parts, keywords, start)
    if not first_occurrence_soon(keywords, start):
        return None
    series = rrule.rruleset()
    series.rrule(rrule.rrule(dtstart=start, **keywords))
    left_out = []
    if rnd.random() < 0.25:
        plain = list(rrule.rrule(dtstart=start, **keywords)[:3])
        left_out = sorted(set(plain[1:2] + [start + datetime.timedelta(days=rnd.randint(1, 40))]))
        for moment in left_out:
            series.exdate(moment)
    first = []
    for moment in series:
        first.append(stamp(moment))
        if len(first) == FIRST + 1:
            break
    first = first[:FIRST] if len(first) > FIRST else first + ["END"]
    reach = REACH_DAYS[frequency]
    probe = start + datetime.timedelta(days=rnd.randint(-30, reach), minutes=rnd.randint(0, 1439))
    after = series.after(probe)
    return "\t".join([
        rule_text(rnd, parts), stamp(start), ",".join(map(stamp, left_out)) or "-", ",".join(first), stamp(probe),
        stamp(after) if after else "END"
    ])


def main():
    rnd = random.Random(SEED)
    lines = []
    while len(lines) < CASES:
        line = one_case(rnd)
        if line:
            lines.append(line)
    with open(sys.argv[1], "w", encoding="ascii") as table:
        table.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
