// A repeat in words, for the editor and the list of alerts.
#pragma once

#include <string>
#include <string_view>

#include "recurrence.h"

// The date of an UNTIL in words.
inline constexpr std::wstring_view kRuleEndDatePattern = L"dd-mm-yyyy";

// A mode by the editor's name for it ("Each day"); a rule in the
// language in use, in English:
// "Every weekday", "Every 2 weeks on Monday and Thursday, until 31-12-2027",
// "The last Friday of every month", "Every 3 months on day 15, 10 times".
// The left-out dates are not named; a rule RuleProblem rejects has no words.
std::wstring TextInWords(const Recurrence& recurrence);
