// A slot's repeat rule as the store keeps it: one text, the RRULE value
// (RFC 5545) followed by the series start and the left-out dates in the
// stored time form, so that an older Chimewatch, which reads only Repeat
// (the nearest of the five modes), passes it by:
// "FREQ=WEEKLY;BYDAY=MO,TH;DTSTART=09:00 2026/12/07;EXDATE=09:00 2026/12/14".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "alarm_table.h"
#include "recurrence.h"

struct AlarmRule {
  RepeatRule rule;
  DateValue start = 0.0;  // DTSTART, which COUNT and INTERVAL count from
};

// Nothing when the text is not a rule this program follows or has no start.
std::optional<AlarmRule> ReadAlarmRule(std::wstring_view text);
std::wstring AlarmRuleText(const AlarmRule& rule);

// Gives the alert the rule; Repeat becomes its nearest mode.
void SetRule(AlarmRecord& alarm, const AlarmRule& rule);
