#include "recurrence_words.h"

#include <array>
#include <bit>

#include "date_format.h"
#include "number_text.h"

namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonthNames = {"January",   "February", "March",    "April",
                                                          "May",       "June",     "July",     "August",
                                                          "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 5> kPlaceNames = {"first", "second", "third", "fourth", "fifth"};
constexpr std::array<std::string_view, 4> kPeriods = {"day", "week", "month", "year"};
constexpr unsigned kMondayToFriday = 0x3Eu;

// One BYDAY entry: its weekday, and its place (0 for none).
struct DayEntry {
  int weekday = 0;
  int ordinal = 0;
};

// BYDAY's entries in the order the writer has them: Monday first, then by
// place. `at` walks 7 weekdays of 129 slots: 64 from the start, 64 from
// the end, one without a number.
bool NextEntry(const RepeatRule& rule, int& at, DayEntry& entry) {
  for (; at < 7 * 129; ++at) {
    const int weekday = (at / 129 + 1) % 7;
    const int slot = at % 129;
    const WeekdayPlaces& places = rule.byPlace[static_cast<std::size_t>(weekday)];
    const bool set = slot < 64    ? (places.fromStart >> slot & 1U) != 0
                     : slot < 128 ? (places.fromEnd >> (slot - 64) & 1U) != 0
                                  : (rule.byWeekday >> weekday & 1U) != 0;
    if (set) {
      entry = {weekday, slot < 64 ? slot + 1 : slot < 128 ? 63 - slot : 0};
      ++at;
      return true;
    }
  }
  return false;
}

// The English words of a rule, built in ASCII.
class RuleWords {
 public:
  explicit RuleWords(const RepeatRule& rule) : rule_(rule) {
    for (int at = 0; NextEntry(rule, at, entry_);) {
      ++entries_;
      weekdays_ |= 1U << entry_.weekday;
    }
  }

  std::string Text() {
    // A daily rule's set is one day: BYSETPOS 1 or -1 changes nothing.
    if (rule_.bySetPos && rule_.frequency != RuleFrequency::Daily) {
      SetPosition();
    } else if (HasPlaces(rule_)) {
      Places();
    } else {
      Every();
    }
    End();
    return text_;
  }

 private:
  void Add(std::string_view words) { text_ += words; }
  void Number(int value) { text_ += DecimalText(value); }

  // Before item `i` of `count`: "A", "A and B", "A, B and C".
  void Separator(int i, int count, std::string_view lastJoin) {
    if (i == 0) return;
    if (i + 1 < count) return Add(", ");
    Add(" ");
    Add(lastJoin);
    Add(" ");
  }

  // "first" .. "fifth", "6th", "21st", "last", "second last".
  void Place(int ordinal) {
    if (ordinal == -1) return Add("last");
    if (ordinal < 0) {
      Place(-ordinal);
      return Add(" last");
    }
    if (ordinal <= 5) return Add(kPlaceNames[static_cast<std::size_t>(ordinal - 1)]);
    const int lastTwo = ordinal % 100;
    const int last = ordinal % 10;
    const bool teen = lastTwo >= 11 && lastTwo <= 13;
    Number(ordinal);
    Add(teen ? "th" : last == 1 ? "st" : last == 2 ? "nd" : last == 3 ? "rd" : "th");
  }

  void Period() {
    if (rule_.interval != 1) {
      Number(rule_.interval);
      Add(" ");
    }
    Add(kPeriods[static_cast<std::size_t>(rule_.frequency)]);
    if (rule_.interval != 1) Add("s");
  }

  // Each entry's weekday, Monday first; with its place if `places`.
  void Entries(std::string_view lastJoin, bool places = false) {
    DayEntry entry;
    for (int at = 0, i = 0; NextEntry(rule_, at, entry); ++i) {
      Separator(i, entries_, lastJoin);
      if (places) {
        Place(entry.ordinal);
        Add(" ");
      }
      Add(kDayNames[static_cast<std::size_t>(entry.weekday)]);
    }
  }

  // "day 15", "days 1 and 15", "the last day", "day 1 and the last day".
  void MonthDays() {
    const int fromStart = std::popcount(rule_.byMonthDay & 0x7FFFFFFFULL);
    const int parts = (fromStart > 0 ? 1 : 0) + std::popcount(rule_.byMonthDay >> 31);
    int part = 0;
    if (fromStart > 0) {
      Add(fromStart == 1 ? "day " : "days ");
      for (int bit = 0, i = 0; bit < 31; ++bit) {
        if ((rule_.byMonthDay >> bit & 1U) == 0) continue;
        Separator(i++, fromStart, "and");
        Number(bit + 1);
      }
      ++part;
    }
    for (int bit = 31; bit < 62; ++bit) {
      if ((rule_.byMonthDay >> bit & 1U) == 0) continue;
      Separator(part++, parts, "and");
      Add("the ");
      Place(30 - bit);
      Add(" day");
    }
  }

  void Months() {
    const int count = std::popcount(rule_.byMonth);
    for (int month = 0, i = 0; month < 12; ++month) {
      if ((rule_.byMonth >> month & 1U) == 0) continue;
      Separator(i++, count, "and");
      Add(kMonthNames[static_cast<std::size_t>(month)]);
    }
  }

  void InMonths() {
    if (rule_.byMonth == 0) return;
    Add(" in ");
    Months();
  }

  void End() {
    const RuleEnd& end = rule_.end;
    switch (end.kind) {
      case RuleEnding::Forever: break;
      case RuleEnding::Count:
        if (end.count == 1) return Add(", once");
        Add(", ");
        Number(end.count);
        Add(" times");
        break;
      case RuleEnding::Until: {
        Add(", until ");
        const std::wstring date = FormatDate(end.last, kRuleEndDatePattern);
        text_.append(date.begin(), date.end());  // digits and dashes
        break;
      }
    }
  }

  // "The last Friday of every month", "The first Monday and last Friday of
  // March every 2 years".
  void Places() {
    Add("The ");
    Entries("and", true);
    Add(" of ");
    if (rule_.frequency == RuleFrequency::Yearly && rule_.byMonth != 0) {
      Months();
      Add(" every ");
      Period();
    } else {
      Add("every ");
      Period();
      InMonths();
    }
    if (rule_.byMonthDay != 0) {
      Add(", on ");
      MonthDays();
    }
  }

  // "The last weekday of every month", "The second Saturday or Sunday of
  // every month".
  void SetPosition() {
    Add("The ");
    Place(*rule_.bySetPos);
    Add(" ");
    if (weekdays_ == kMondayToFriday) {
      Add("weekday");
    } else {
      Entries("or");
    }
    if (rule_.byMonthDay != 0) {
      Add(entries_ == 0 ? "of " : " on ");
      MonthDays();
    }
    Add(" of every ");
    Period();
    InMonths();
  }

  // "Every weekday", "Every Monday and Thursday", "Every 3 days", "Every 2
  // weeks on Monday and Thursday", "Every month on day 13 if a Friday",
  // "Every year on 25 December".
  void Every() {
    const bool inWeek = rule_.frequency == RuleFrequency::Daily || rule_.frequency == RuleFrequency::Weekly;
    const bool weekdays = weekdays_ == kMondayToFriday;
    bool daysSaid = true;
    Add("Every ");
    if (inWeek && rule_.interval == 1 && weekdays) {
      Add("weekday");
    } else if (rule_.frequency == RuleFrequency::Daily && rule_.interval == 1 && entries_ > 0) {
      Entries("and");
    } else {
      Period();
      daysSaid = false;
    }
    const bool oneDate = rule_.frequency == RuleFrequency::Yearly && std::popcount(rule_.byMonth) == 1 &&
                         std::popcount(rule_.byMonthDay) == 1 && rule_.byMonthDay < (1ULL << 31) && entries_ == 0;
    if (oneDate) {
      Add(" on ");
      Number(std::countr_zero(rule_.byMonthDay) + 1);
      Add(" ");
      return Months();
    }
    if (rule_.byMonthDay != 0) {
      Add(" on ");
      MonthDays();
      if (entries_ > 0) {
        Add(" if a ");
        Entries("or");
      }
    } else if (!daysSaid && entries_ > 0) {
      if (inWeek && weekdays) {
        Add(" on weekdays");
      } else {
        Add(inWeek ? " on " : " on every ");
        Entries("and");
      }
    }
    InMonths();
  }

  const RepeatRule& rule_;
  DayEntry entry_;
  int entries_ = 0;
  unsigned weekdays_ = 0;
  std::string text_;
};

}  // namespace

std::wstring TextInWords(const Recurrence& recurrence) {
  return std::visit(Overloaded{
                        [](RepeatMode mode) { return std::wstring(ModeText(mode)); },
                        [](const RepeatRule& rule) {
                          // English words in ASCII: narrow while built, wide once.
                          const std::string words =
                              *RuleProblemText(rule) == '\0' ? RuleWords(rule).Text() : std::string();
                          return std::wstring(words.begin(), words.end());
                        },
                    },
                    recurrence);
}
