// Feeds arbitrary texts to the reader of a stored repeat rule (a slot's
// Rule value) and to the reader of RRULE values under it. A rule it takes
// is written so that it reads back to the same text, and can be said in
// words.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "alarm_rule.h"
#include "recurrence_text.h"
#include "recurrence_words.h"
#include "utf8_text.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring text = Utf8ToWide(bytes);
  if (const auto rule = ReadAlarmRule(text)) {
    const std::wstring written = AlarmRuleText(*rule);
    const auto again = ReadAlarmRule(written);
    Check(again.has_value());
    Check(AlarmRuleText(*again) == written);
    (void)TextInWords(Recurrence(again->rule));
  }
  (void)ParseRecurrenceRule(bytes);
  return 0;
}
