// When a repeat comes next: one place for the five modes and the rules.
#pragma once

#include <cstddef>
#include <optional>

#include "recurrence.h"

// The first occurrence strictly after `after` (compared to the second) of
// the series that starts at `seriesStart` (DTSTART); both are local
// wall-clock date values, and so is the answer: a change to or from summer
// time does not move the series, the caller turns wall-clock time into an
// instant. Nothing when the series has ended (COUNT, UNTIL, 31 December
// 9999), when RuleProblem rejects the rule, or when no occurrence comes in
// 400 years of periods (a rule that never matches, BYMONTH=2;BYMONTHDAY=30).
//
// A mode moves from the start as a fired alert does (MoveOnAfterFiring:
// 31 January, 3 March, 3 April ...); Once occurs only at the start. A rule
// occurs on its days at the start's time of day, and the start is one of
// them only when the rule matches it (RFC 5545 leaves an unmatched start
// undefined; so an alert never fires on a day its rule does not name).
// Left-out dates (EXDATE) still count toward COUNT.
//
// Work: whole periods are jumped over arithmetically, so a rule without
// COUNT, and a daily or weekly one with COUNT, costs the same for a start
// in 1900 as for one last week. A monthly or yearly rule with COUNT, or a
// daily one with BYMONTH or BYMONTHDAY, counts its months from the start
// (at most the 120,000 months from the year 100 on). `steps`, when given,
// grows by each period looked at and each move made.
std::optional<DateValue> NextOccurrenceAfter(const Recurrence& recurrence, DateValue seriesStart, DateValue after,
                                             std::size_t* steps = nullptr);

// The series' first occurrence: its start when the rule matches it, else
// the first occurrence after it.
std::optional<DateValue> FirstOccurrence(const Recurrence& recurrence, DateValue seriesStart);
