#include "calendar_reminders.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "calendar_values.h"
#include "recurrence_next.h"
#include "recurrence_text.h"
#include "repeat_rules.h"
#include "utf8_text.h"
#include "zone_resolver.h"

namespace {

constexpr double kSecond = 1.0 / kSecondsPerDay;
constexpr std::size_t kMaxListedDates = 1000;

std::string UpperValue(const ContentLine* line) { return line != nullptr ? ToUpperAscii(line->value) : std::string(); }

double InDays(const CalendarDuration& duration) {
  return static_cast<double>(duration.days) + static_cast<double>(duration.seconds) * kSecond;
}

// SUMMARY, else DESCRIPTION, on one line.
std::wstring DescriptionOf(const Component& event) {
  for (const char* name : {"SUMMARY", "DESCRIPTION"}) {
    const ContentLine* text = event.Find(name);
    if (text == nullptr || text->value.empty()) continue;
    std::wstring description = Utf8ToWide(UnescapeText(text->value));
    std::replace_if(
        description.begin(), description.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
    return description;
  }
  return {};
}

// An instant as a key: to the second, so that a changed occurrence's
// RECURRENCE-ID and an EXDATE meet the occurrence they name.
long long SecondOf(double utc) { return std::llround(utc * kSecondsPerDay); }

// One event, a series or a changed occurrence of one, turned into reminders.
class EventReminders {
 public:
  EventReminders(const Component& event, ZoneResolver& zones, const ReminderSpan& span, double fromUtc, double toUtc,
                 std::vector<std::unique_ptr<const std::wstring>>& texts)
      : event_(event), zones_(zones), span_(span), fromUtc_(fromUtc), toUtc_(toUtc), texts_(texts) {}

  // False when the event's times or its rule cannot be read.
  bool Add(const std::map<long long, const Component*>* changed, std::vector<CalendarReminder>& out) {
    if (UpperValue(event_.Find("STATUS")) == "CANCELLED") return true;
    const ContentLine* startLine = event_.Find("DTSTART");
    if (startLine == nullptr || !ReadTime(*startLine, start_, zone_)) return false;
    if (!ReadLength() || !ReadReminder()) return false;
    if (!offset_ && !fixed_) return true;
    firstUtc_ = WallToUtc(Clock(), start_.wall);
    std::vector<double> starts;
    if (!Occurrences(starts)) return false;
    for (const double wall : starts) {
      const double utc = WallToUtc(Clock(), wall);
      if (changed != nullptr && changed->count(SecondOf(utc)) != 0) continue;  // read on its own
      AddOccurrence(utc, out);
    }
    return true;
  }

 private:
  const ZoneClock& Clock() const { return zone_ != nullptr ? *zone_ : zones_.Local(); }

  bool ReadTime(const ContentLine& line, CalendarTime& time, const ZoneClock*& zone) {
    const auto read = ReadCalendarTime(line);
    if (!read) return false;
    time = *read;
    zone = nullptr;
    if (time.form == CalendarTime::Form::Utc) zone = &zones_.Utc();
    if (time.form != CalendarTime::Form::Zoned) return true;
    const ZoneResolver::Lookup lookup = zones_.Find(time.zone);
    zone = lookup.zone;  // an unknown zone is read as the PC's
    return lookup.unreadableLine == 0;
  }

  // From the start to the end in exact days: DTEND, else DURATION, else
  // none (a whole day for an all-day event).
  bool ReadLength() {
    length_ = start_.form == CalendarTime::Form::Date ? 1.0 : 0.0;
    const double startUtc = WallToUtc(Clock(), start_.wall);
    if (const ContentLine* end = event_.Find("DTEND")) {
      CalendarTime time;
      const ZoneClock* zone = nullptr;
      if (!ReadTime(*end, time, zone)) return false;
      length_ = std::max(0.0, WallToUtc(zone != nullptr ? *zone : zones_.Local(), time.wall) - startUtc);
    } else if (const ContentLine* duration = event_.Find("DURATION")) {
      const auto read = ReadDuration(duration->value);
      if (!read) return false;
      length_ = std::max(0.0, InDays(*read));
    }
    return true;
  }

  // The earliest alarm that shows or sounds, as a distance from the start
  // (or a fixed instant); else the calendar's lead before a timed event.
  bool ReadReminder() {
    bool hasAlarm = false;
    for (const Component& alarm : event_.children) {
      const std::string action = UpperValue(alarm.Find("ACTION"));
      if (alarm.name != "VALARM" || (action != "DISPLAY" && action != "AUDIO")) continue;
      const ContentLine* trigger = alarm.Find("TRIGGER");
      if (trigger == nullptr) return false;
      hasAlarm = true;
      if (const auto duration = ReadDuration(trigger->value)) {
        const bool fromEnd = ToUpperAscii(trigger->Parameter("RELATED").value_or("")) == "END";
        const double offset = InDays(*duration) + (fromEnd ? length_ : 0.0);
        if (!offset_ || offset < *offset_) offset_ = offset;
        continue;
      }
      const auto fixed = ReadCalendarTime(*trigger);
      if (!fixed || fixed->form != CalendarTime::Form::Utc) return false;
      if (!fixed_ || fixed->wall < *fixed_) fixed_ = fixed->wall;
    }
    if (!hasAlarm && span_.leadMinutes && start_.form != CalendarTime::Form::Date) {
      offset_ = -*span_.leadMinutes / 1440.0;
    }
    return true;
  }

  // The starts, on the event's clock, of the occurrences whose reminder
  // may fall in the span: the rule's and the extra dates, less those left out.
  bool Occurrences(std::vector<double>& starts) {
    const double earliest = UtcToWall(Clock(), fromUtc_ - offset_.value_or(0.0)) - 1.0;
    const double latest = UtcToWall(Clock(), toUtc_ - offset_.value_or(0.0)) + 1.0;
    std::optional<Recurrence> series;
    for (const ContentLine& property : event_.properties) {
      if (property.name == "RRULE") {
        if (series) return false;  // two rules: RFC 5545 deprecates it, Chimewatch does not guess
        const ClockUntilZone untilZone(Clock());
        const RuleReading reading =
            ParseRecurrenceRule(WithoutRestatedTime(property.value, SplitDate(FromTimeLine(start_.wall))), &untilZone);
        if (!reading.rule) return false;
        series = *reading.rule;
      } else if (property.name == "RDATE" && !ListedStarts(property, starts)) {
        return false;
      }
    }
    if (!series) {
      starts.push_back(start_.wall);
    } else {
      auto next = OccurrenceAtOrAfter(*series, start_.wall, std::max(start_.wall, earliest));
      for (std::size_t count = 0; next && *next <= latest && count < kMaxOccurrencesInSpan; ++count) {
        starts.push_back(*next);
        next = OccurrenceAtOrAfter(*series, start_.wall, *next + kSecond);
      }
    }
    return LeaveOut(starts);
  }

  bool ListedStarts(const ContentLine& property, std::vector<double>& starts) {
    const auto times = ReadCalendarTimes(property, kMaxListedDates);
    if (!times) return false;
    for (const CalendarTime& time : *times) {
      const ZoneClock* zone = nullptr;
      CalendarTime read = time;
      if (time.form == CalendarTime::Form::Utc) zone = &zones_.Utc();
      if (time.form == CalendarTime::Form::Zoned) zone = zones_.Find(time.zone).zone;
      // On the event's own clock, as its rule's starts are.
      const double utc = WallToUtc(zone != nullptr ? *zone : zones_.Local(), read.wall);
      starts.push_back(UtcToWall(Clock(), utc));
    }
    return true;
  }

  bool LeaveOut(std::vector<double>& starts) {
    std::vector<long long> leftOut;
    for (const ContentLine& property : event_.properties) {
      if (property.name != "EXDATE") continue;
      const auto times = ReadCalendarTimes(property, kMaxListedDates);
      if (!times) return false;
      for (const CalendarTime& time : *times) {
        const ZoneClock* zone = time.form == CalendarTime::Form::Utc     ? &zones_.Utc()
                                : time.form == CalendarTime::Form::Zoned ? zones_.Find(time.zone).zone
                                                                         : zone_;
        // A date alone leaves out that day's occurrence, whatever its time.
        const double wall =
            time.form == CalendarTime::Form::Date ? time.wall + (start_.wall - std::floor(start_.wall)) : time.wall;
        leftOut.push_back(SecondOf(WallToUtc(zone != nullptr ? *zone : zones_.Local(), wall)));
      }
    }
    std::erase_if(starts, [&](double wall) {
      return std::find(leftOut.begin(), leftOut.end(), SecondOf(WallToUtc(Clock(), wall))) != leftOut.end();
    });
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return true;
  }

  // A fixed alarm (TRIGGER;VALUE=DATE-TIME) reminds of the event's first
  // occurrence only, as RFC 5545 has it.
  void AddOccurrence(double startUtc, std::vector<CalendarReminder>& out) {
    std::optional<double> dueUtc;
    if (offset_) dueUtc = startUtc + *offset_;
    if (fixed_ && SecondOf(startUtc) == SecondOf(firstUtc_) && (!dueUtc || *fixed_ < *dueUtc)) dueUtc = fixed_;
    if (!dueUtc || *dueUtc < fromUtc_ || *dueUtc >= toUtc_) return;
    CalendarReminder reminder;
    reminder.due = FromTimeLine(UtcToWall(zones_.Local(), *dueUtc));
    reminder.eventEnd = FromTimeLine(UtcToWall(zones_.Local(), startUtc + length_));
    if (description_ == nullptr) {  // kept only for an event that reminds in the span
      texts_.push_back(std::make_unique<const std::wstring>(DescriptionOf(event_)));
      description_ = texts_.back().get();
    }
    reminder.description = description_;
    out.push_back(std::move(reminder));
  }

  const Component& event_;
  ZoneResolver& zones_;
  const ReminderSpan& span_;
  const double fromUtc_;
  const double toUtc_;
  CalendarTime start_;
  const ZoneClock* zone_ = nullptr;
  double length_ = 0.0;
  std::optional<double> offset_;  // the reminder's distance from each start
  std::optional<double> fixed_;   // a fixed alarm's instant
  double firstUtc_ = 0.0;
  std::vector<std::unique_ptr<const std::wstring>>& texts_;
  const std::wstring* description_ = nullptr;
};

// The changed occurrences of each series, by UID and the instant each replaces.
using ChangedOccurrences = std::map<std::string, std::map<long long, const Component*>>;

ChangedOccurrences CollectChanged(const std::vector<Component>& calendars, ZoneResolver& zones) {
  ChangedOccurrences changed;
  for (const Component& calendar : calendars) {
    for (const Component& event : calendar.children) {
      const ContentLine* id = event.Find("RECURRENCE-ID");
      const ContentLine* uid = event.Find("UID");
      if (event.name != "VEVENT" || id == nullptr || uid == nullptr) continue;
      const auto time = ReadCalendarTime(*id);
      if (!time) continue;
      const ZoneClock* zone = time->form == CalendarTime::Form::Utc     ? &zones.Utc()
                              : time->form == CalendarTime::Form::Zoned ? zones.Find(time->zone).zone
                                                                        : nullptr;
      changed[uid->value][SecondOf(WallToUtc(zone != nullptr ? *zone : zones.Local(), time->wall))] = &event;
    }
  }
  return changed;
}

}  // namespace

const std::wstring& CalendarReminder::Description() const {
  static const std::wstring none;
  return description ? *description : none;
}

CalendarReminders RemindersOf(std::string_view bytes, const ReminderSpan& span) {
  CalendarReminders result;
  const CalendarFile file = ReadCalendarFile(bytes);
  if (file.problem != CalendarProblem::None) {
    result.problem = CalendarFileProblem(file, span.name);
    return result;
  }
  result.readable = true;
  ImportContext context;
  context.localZone = span.localZone;
  context.findWindowsZone = span.findWindowsZone;
  ZoneResolver zones(file.calendars, context);
  const double fromUtc = WallToUtc(zones.Local(), ToTimeLine(span.from));
  const double toUtc = WallToUtc(zones.Local(), ToTimeLine(span.to));
  const ChangedOccurrences changed = CollectChanged(file.calendars, zones);
  for (const Component& calendar : file.calendars) {
    if (const ContentLine* name = calendar.Find("X-WR-CALNAME"); name != nullptr && result.name.empty()) {
      result.name = Utf8ToWide(UnescapeText(name->value));
    }
    for (const Component& event : calendar.children) {
      if (event.name != "VEVENT") continue;
      if (span.cancelled && span.cancelled()) return {};
      const ContentLine* uid = event.Find("UID");
      const bool isChange = event.Find("RECURRENCE-ID") != nullptr;
      const auto ownChanges = uid != nullptr && !isChange ? changed.find(uid->value) : changed.end();
      EventReminders reminders(event, zones, span, fromUtc, toUtc, result.texts);
      if (!reminders.Add(ownChanges != changed.end() ? &ownChanges->second : nullptr, result.reminders)) {
        ++result.eventsNotFollowed;
      }
    }
  }
  std::sort(result.reminders.begin(), result.reminders.end(), [](const CalendarReminder& a, const CalendarReminder& b) {
    return std::tie(a.due, a.Description()) < std::tie(b.due, b.Description());
  });
  if (result.reminders.size() > kMaxCalendarReminders) result.reminders.resize(kMaxCalendarReminders);
  return result;
}
