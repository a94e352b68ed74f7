#include "recurrence_words.h"

#include <bit>
#include <vector>

#include "date_format.h"
#include "number_text.h"
#include "text_table.h"

namespace {

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

std::wstring Number(int value) { return WideDecimalText(value); }
// A day of the month: day 1 as its language writes it ("1er", "1º").
std::wstring DayNumber(int day) { return day == 1 ? Text(TextId::RuleDayOne) : Number(day); }

constexpr TextId Offset(TextId first, int by) { return static_cast<TextId>(static_cast<int>(first) + by); }

// The texts found by offset stand in the table in this order.
static_assert(Offset(TextId::RuleListOrdinals, 2) == TextId::RuleListOrdinalsNeuter);
static_assert(Offset(TextId::RuleEveryDay, 7) == TextId::RuleEveryNYears);
static_assert(Offset(TextId::RuleOfEveryDay, 7) == TextId::RuleOfEveryNYears);

// "A", "A and B", "A, B and C": `lastJoin` is RuleAnd or RuleOr.
std::wstring Joined(const std::vector<std::wstring>& items, TextId lastJoin) {
  std::wstring text = items.empty() ? std::wstring() : items[0];
  for (std::size_t i = 1; i < items.size(); ++i) {
    text = Text(i + 1 < items.size() ? TextId::RuleComma : lastJoin, {text, items[i]});
  }
  return text;
}

// An ordinal in the gender of its noun: 1 to 5 and -1 ("last") as words,
// others numbered ("6th").
std::wstring Ordinal(int place, int gender) {
  const TextId words = Offset(TextId::RuleListOrdinals, gender);
  if (place == -1) return ListWord(words, 5);
  if (place <= 5) return ListWord(words, static_cast<std::size_t>(place - 1));
  const auto ending = static_cast<std::size_t>(OrdinalForm(place) + gender);
  return Text(TextId::RuleNumbered, {Number(place), ListWord(TextId::RuleEndingOfOrdinals, ending)});
}

// "first Monday", "last day", "second last Friday".
std::wstring AtPlace(int place, std::wstring_view noun, int gender) {
  if (place < -1) return Text(TextId::RuleAtPlaceFromEnd, {Ordinal(-place, gender), noun});
  return Text(TextId::RuleAtPlace, {Ordinal(place, gender), noun});
}

// The gender of a weekday (0 Sunday to 6 Saturday), of RuleDay (kDayNoun)
// or of RuleWeekday (kWeekdayNoun).
constexpr int kDayNoun = 7, kWeekdayNoun = 8;
int GenderOf(int noun) {
  const int gender = ListWord(TextId::RuleListGenders, static_cast<std::size_t>(noun))[0] - L'0';
  return gender >= 0 && gender <= 2 ? gender : 0;
}

// A sentence begins with a capital also where a language puts a word from
// a list first ("último viernes"): Latin-1 and Cyrillic letters.
void Capitalized(std::wstring& text) {
  if (text.empty()) return;
  wchar_t& first = text[0];
  const bool lower = (first >= L'a' && first <= L'z') || (first >= 0xE0 && first <= 0xFE && first != 0xF7) ||
                     (first >= 0x430 && first <= 0x44F);
  if (lower) first = static_cast<wchar_t>(first - 0x20);
}

// The words of a rule in the language in use: a sentence begun with one
// text and wrapped in further ones ("%1 on %2", "%1, until %2").
class RuleWords {
 public:
  explicit RuleWords(const RepeatRule& rule) : rule_(rule) {
    for (int at = 0; NextEntry(rule, at, entry_);) {
      if (entries_++ == 0) firstWeekday_ = entry_.weekday;
      weekdays_ |= 1U << entry_.weekday;
    }
  }

  std::wstring Text() {
    // A daily rule's set is one day: BYSETPOS 1 or -1 changes nothing.
    if (rule_.bySetPos && rule_.frequency != RuleFrequency::Daily) {
      SetPosition();
    } else if (HasPlaces(rule_)) {
      Places();
    } else {
      Every();
    }
    End();
    Capitalized(text_);
    return text_;
  }

 private:
  // The sentence so far becomes %1 of `id`, with `more` as %2 and %3.
  void Wrap(TextId id, std::wstring_view more = {}, std::wstring_view last = {}) {
    text_ = ::Text(id, {text_, more, last});
  }

  int Frequency() const { return static_cast<int>(rule_.frequency); }

  // "Every 2 weeks" to begin a sentence (RuleEveryDay), "every month"
  // after "of" (RuleOfEveryDay).
  std::wstring Period(TextId everyDay) const {
    if (rule_.interval == 1) return ::Text(Offset(everyDay, Frequency()));
    return CountText(Offset(everyDay, 4 + Frequency()), rule_.interval, {Number(rule_.interval)});
  }

  // Each entry's weekday from `names`, Monday first; with its place if `places`.
  std::wstring Entries(TextId names, TextId lastJoin, bool places = false) const {
    std::vector<std::wstring> items;
    DayEntry entry;
    for (int at = 0; NextEntry(rule_, at, entry);) {
      std::wstring name = ListWord(names, static_cast<std::size_t>(entry.weekday));
      items.push_back(places ? AtPlace(entry.ordinal, name, GenderOf(entry.weekday)) : std::move(name));
    }
    return Joined(items, lastJoin);
  }

  // "day 15", "days 1 and 15", "the last day", "day 1 and the last day".
  std::wstring MonthDays() const {
    std::vector<std::wstring> numbers, parts;
    for (int bit = 0; bit < 31; ++bit) {
      if ((rule_.byMonthDay >> bit & 1U) != 0) numbers.push_back(DayNumber(bit + 1));
    }
    if (!numbers.empty()) {
      parts.push_back(CountText(TextId::RuleMonthDays, static_cast<std::int64_t>(numbers.size()),
                                {Joined(numbers, TextId::RuleAnd)}));
    }
    for (int bit = 31; bit < 62; ++bit) {
      if ((rule_.byMonthDay >> bit & 1U) == 0) continue;
      parts.push_back(
          ::Text(TextId::RuleTheDayFromEnd, {AtPlace(30 - bit, ::Text(TextId::RuleDay), GenderOf(kDayNoun))}));
    }
    return Joined(parts, TextId::RuleAnd);
  }

  std::wstring Months(TextId names) const {
    std::vector<std::wstring> items;
    for (int month = 0; month < 12; ++month) {
      if ((rule_.byMonth >> month & 1U) != 0) items.push_back(ListWord(names, static_cast<std::size_t>(month)));
    }
    return Joined(items, TextId::RuleAnd);
  }

  void InMonths() {
    if (rule_.byMonth != 0) Wrap(TextId::RuleInMonths, Months(TextId::RuleListMonthsIn));
  }

  void End() {
    const RuleEnd& end = rule_.end;
    switch (end.kind) {
      case RuleEnding::Forever: break;
      case RuleEnding::Count:
        if (end.count == 1) return Wrap(TextId::RuleOnce);
        text_ = CountText(TextId::RuleTimes, end.count, {text_, Number(end.count)});
        break;
      case RuleEnding::Until: Wrap(TextId::RuleUntil, FormatDate(end.last, kRuleEndDatePattern)); break;
    }
  }

  // "The last Friday of every month", "The first Monday and last Friday of
  // March every 2 years".
  void Places() {
    text_ = ::Text(TextId::RuleThe, {Entries(TextId::RuleListWeekdays, TextId::RuleAnd, true)});
    if (rule_.frequency == RuleFrequency::Yearly && rule_.byMonth != 0) {
      Wrap(TextId::RuleOfMonths, Months(TextId::RuleListMonths));
      Wrap(TextId::RuleThenPeriod, Period(TextId::RuleOfEveryDay));
    } else {
      Wrap(TextId::RuleOfPeriod, Period(TextId::RuleOfEveryDay));
      InMonths();
    }
    if (rule_.byMonthDay != 0) Wrap(TextId::RuleAlsoOnMonthDays, MonthDays());
  }

  // "The last weekday of every month", "The second Saturday or Sunday of
  // every month", "The last of days 1 and 15 of every month".
  void SetPosition() {
    const int place = *rule_.bySetPos;
    if (entries_ == 0) {
      std::wstring ordinal = AtPlace(place, L"", 0);
      while (!ordinal.empty() && ordinal.back() == L' ') ordinal.pop_back();
      text_ = ::Text(TextId::RuleTheNthOf, {ordinal, MonthDays()});
    } else {
      const bool weekdays = weekdays_ == kMondayToFriday;
      const std::wstring days =
          weekdays ? ::Text(TextId::RuleWeekday) : Entries(TextId::RuleListWeekdays, TextId::RuleOr);
      text_ = ::Text(TextId::RuleThe, {AtPlace(place, days, GenderOf(weekdays ? kWeekdayNoun : firstWeekday_))});
      if (rule_.byMonthDay != 0) Wrap(TextId::RuleOnMonthDays, MonthDays());
    }
    Wrap(TextId::RuleOfPeriod, Period(TextId::RuleOfEveryDay));
    InMonths();
  }

  // "Every weekday", "Every Monday and Thursday", "Every 3 days", "Every 2
  // weeks on Monday and Thursday", "Every month on day 13 if a Friday",
  // "Every year on 25 December".
  void Every() {
    const bool inWeek = rule_.frequency == RuleFrequency::Daily || rule_.frequency == RuleFrequency::Weekly;
    const bool weekdays = weekdays_ == kMondayToFriday;
    bool daysSaid = true;
    if (inWeek && rule_.interval == 1 && weekdays) {
      Wrap(TextId::RuleEveryWeekday);
    } else if (rule_.frequency == RuleFrequency::Daily && rule_.interval == 1 && entries_ > 0) {
      text_ = Entries(TextId::RuleListWeekdaysOn, TextId::RuleAnd);
      Wrap(TextId::RuleEveryDays);
    } else {
      text_ = Period(TextId::RuleEveryDay);
      daysSaid = false;
    }
    const bool oneDate = rule_.frequency == RuleFrequency::Yearly && std::popcount(rule_.byMonth) == 1 &&
                         std::popcount(rule_.byMonthDay) == 1 && rule_.byMonthDay < (1ULL << 31) && entries_ == 0;
    if (oneDate) {
      return Wrap(TextId::RuleOnDate, DayNumber(std::countr_zero(rule_.byMonthDay) + 1),
                  Months(TextId::RuleListMonths));
    }
    if (rule_.byMonthDay != 0) {
      Wrap(TextId::RuleOnMonthDays, MonthDays());
      if (entries_ > 0) Wrap(TextId::RuleIfWeekday, Entries(TextId::RuleListWeekdays, TextId::RuleOr));
    } else if (!daysSaid && entries_ > 0) {
      if (inWeek && weekdays) {
        Wrap(TextId::RuleOnWeekdays);
      } else {
        Wrap(inWeek ? TextId::RuleOnDays : TextId::RuleOnEveryDay,
             Entries(TextId::RuleListWeekdaysOn, TextId::RuleAnd));
      }
    }
    InMonths();
  }

  const RepeatRule& rule_;
  DayEntry entry_;
  int entries_ = 0;
  int firstWeekday_ = 0;
  unsigned weekdays_ = 0;
  std::wstring text_;
};

}  // namespace

std::wstring TextInWords(const Recurrence& recurrence) {
  return std::visit(Overloaded{
                        [](RepeatMode mode) { return std::wstring(ModeText(mode)); },
                        [](const RepeatRule& rule) {
                          return RuleProblemId(rule) == kNoText ? RuleWords(rule).Text() : std::wstring();
                        },
                    },
                    recurrence);
}
