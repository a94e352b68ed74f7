#include "event_rules.h"

#include <cmath>
#include <cstdint>

#include "number_text.h"
#include "repeat_rules.h"
#include "utf8_text.h"

namespace {

constexpr std::size_t kMaxExcludedDates = 1000;

bool IsTimeComponent(const Component& component) { return component.name == "VEVENT" || component.name == "VTODO"; }

std::wstring UnreadableOn(int line) { return L"a value Chimewatch cannot read on line " + WideDecimalText(line); }

// TEXT to a description: escapes resolved, line breaks as Windows writes them.
std::wstring TextOf(const ContentLine& line) {
  const std::wstring text = Utf8ToWide(UnescapeText(line.value));
  std::wstring windows;
  windows.reserve(text.size());
  for (const wchar_t c : text) {
    if (c == L'\n') windows += L'\r';
    windows += c;
  }
  return windows;
}

// SUMMARY, else DESCRIPTION; empty when neither says anything.
std::wstring DescriptionOf(const Component& event) {
  for (const char* name : {"SUMMARY", "DESCRIPTION"}) {
    const ContentLine* text = event.Find(name);
    if (text != nullptr && !text->value.empty()) return TextOf(*text);
  }
  return {};
}

int FirstUnreadableLineWithin(const Component& component) {
  if (const int line = component.FirstUnreadableLine()) return line;
  for (const Component& child : component.children) {
    if (child.name != "VALARM") continue;
    if (const int line = child.FirstUnreadableLine()) return line;
  }
  return 0;
}

bool IsOwnEvent(const Component& event) {
  for (const ContentLine& property : event.properties) {
    if (property.name.rfind("X-CHIMEWATCH-", 0) == 0) return true;
  }
  return false;
}

std::string UpperValue(const ContentLine* line) { return line != nullptr ? ToUpperAscii(line->value) : std::string(); }

// A whole number within the 32 bits the store keeps for a repeat.
std::optional<std::int32_t> ReadInt32(std::string_view text) {
  const auto value = ReadWholeNumber(text, 10);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

// A wall-clock time of `zone` (null: local already) as local time. Where the
// two zones keep the same distance around it, the wall clock moves by that
// distance, so that a time in a skipped or doubled hour stays as written.
double ToLocal(const ZoneClock* zone, const ZoneClock& local, double wall) {
  if (zone == nullptr) return wall;
  const double utc = WallToUtc(*zone, wall);
  const int before = OffsetDistance(*zone, local, utc - 1.0);
  if (before == OffsetDistance(*zone, local, utc + 1.0)) return wall + before / kSecondsPerDay;
  return UtcToWall(local, utc);
}

// Reads one event. Each step either sets the outcome's reason and returns
// false, or goes on.
class EventReader {
 public:
  EventReader(const Component& event, const FileEvents& file, ZoneResolver& zones, const ImportContext& context)
      : event_(event),
        file_(file),
        zones_(zones),
        now_(ToTimeLine(context.nowLocal)),
        nowUtc_(WallToUtc(zones.Local(), now_)) {}

  EventOutcome Read() {
    description_ = DescriptionOf(event_);
    outcome_.name = description_.empty() ? L"(no description)" : description_;
    if (const int line = FirstUnreadableLineWithin(event_)) return LeftOut(UnreadableOn(line));
    if (IsOwnEvent(event_)) return ReadOwnAlert();
    return ReadOtherEvent();
  }

 private:
  bool IsTodo() const { return event_.name == "VTODO"; }

  EventOutcome LeftOut(std::wstring reason) {
    outcome_.reason = std::move(reason);
    outcome_.alert.reset();
    return outcome_;
  }

  // A time property and its zone; false with the reason set when unreadable.
  bool ReadTime(const ContentLine& line, CalendarTime& time, const ZoneClock*& zone) {
    auto read = ReadCalendarTime(line);
    if (!read) return Fail(UnreadableOn(line.lineNumber));
    time = std::move(*read);
    return ZoneOf(time, zone);
  }

  bool ZoneOf(const CalendarTime& time, const ZoneClock*& zone) {
    zone = nullptr;
    if (time.form == CalendarTime::Form::Utc) zone = &zones_.Utc();
    if (time.form != CalendarTime::Form::Zoned) return true;
    const ZoneResolver::Lookup lookup = zones_.Find(time.zone);
    if (lookup.unreadableLine != 0) return Fail(UnreadableOn(lookup.unreadableLine));
    zone = lookup.zone;
    return true;
  }

  bool LocalTimeOf(const ContentLine& line, double& local) {
    CalendarTime time;
    const ZoneClock* zone = nullptr;
    if (!ReadTime(line, time, zone)) return false;
    local = ToLocal(zone, zones_.Local(), time.wall);
    return true;
  }

  // An active alert with the event's description, as every import starts one.
  AlarmRecord NewAlert() const {
    AlarmRecord alert;
    alert.Exist = true;
    alert.Actief = true;
    alert.Naam = description_;
    return alert;
  }

  bool Fail(std::wstring reason) {
    outcome_.reason = std::move(reason);
    return false;
  }

  EventOutcome ReadOwnAlert() {
    AlarmRecord alert = NewAlert();
    for (const ContentLine& property : event_.properties) {
      const std::string value = ToUpperAscii(property.value);
      const bool isTrue = value == "TRUE";
      const bool isFlag = isTrue || value == "FALSE";
      if (property.name == "X-CHIMEWATCH-ACTIVE" || property.name == "X-CHIMEWATCH-SHOWN" ||
          property.name == "X-CHIMEWATCH-DELETE") {
        if (!isFlag) return LeftOut(UnreadableOn(property.lineNumber));
        (property.name == "X-CHIMEWATCH-ACTIVE"  ? alert.Actief
         : property.name == "X-CHIMEWATCH-SHOWN" ? alert.Getoond
                                                 : alert.Delete) = isTrue;
      } else if (property.name == "X-CHIMEWATCH-REPEAT") {
        const auto repeat = ReadInt32(property.value);
        if (!repeat) return LeftOut(UnreadableOn(property.lineNumber));
        alert.Repeat = *repeat;
      }
    }
    const ContentLine* start = event_.Find("DTSTART");
    if (start == nullptr) return LeftOut(L"has no start");
    double local = 0.0;
    if (!LocalTimeOf(*start, local)) return outcome_;
    alert.Tijd = FromTimeLine(local);
    if (!IsValidDate(alert.Tijd)) return LeftOut(UnreadableOn(start->lineNumber));
    outcome_.alert = std::move(alert);
    return outcome_;
  }

  EventOutcome ReadOtherEvent() {
    const std::string status = UpperValue(event_.Find("STATUS"));
    if (status == "CANCELLED") return LeftOut(L"cancelled");
    if (IsTodo() && (status == "COMPLETED" || event_.Find("COMPLETED") != nullptr)) return LeftOut(L"completed");
    const ContentLine* base = IsTodo() && event_.Find("DUE") != nullptr ? event_.Find("DUE") : event_.Find("DTSTART");
    if (base == nullptr) return LeftOut(L"has no start");
    CalendarTime start;
    const ZoneClock* zone = nullptr;
    if (!ReadTime(*base, start, zone)) return outcome_;
    if (!ReadRepeat(start)) return outcome_;

    double startLocal = 0.0;
    if (mode_ == Once) {
      startLocal = ToLocal(zone, zones_.Local(), start.wall);
    } else {
      const auto distance = zones_.SteadyDistance(zone, nowUtc_);
      if (!distance) return LeftOut(L"its time zone changes the clock on other days than this PC's");
      startLocal = start.wall + *distance / kSecondsPerDay;
    }
    baseLocal_ = ToLocal(zone, zones_.Local(), start.wall);
    double due = 0.0;
    if (!ReminderOf(start, startLocal, due)) return outcome_;

    if (mode_ == Once) {
      if (due < now_) return LeftOut(L"already past");
    } else {
      const DateParts startParts = SplitDate(FromTimeLine(start.wall));
      if (std::wstring problem = CalendarMoveProblem(mode_, startParts, SplitDate(FromTimeLine(due)));
          !problem.empty()) {
        return LeftOut(std::move(problem));
      }
      if (!NoFutureExceptions(due - startLocal)) return outcome_;
      const auto next = NextReminderAtOrAfter(due, mode_, now_);
      if (!next) return LeftOut(L"already past");
      due = *next;
    }
    AlarmRecord alert = NewAlert();
    alert.Tijd = FromTimeLine(due);
    alert.Repeat = mode_;
    if (!IsValidDate(alert.Tijd)) return LeftOut(UnreadableOn(base->lineNumber));
    outcome_.alert = std::move(alert);
    return outcome_;
  }

  bool ReadRepeat(const CalendarTime& start) {
    const ContentLine* rule = nullptr;
    for (const ContentLine& property : event_.properties) {
      if (property.name == "RDATE") return Fail(L"repeats on extra dates");
      if (property.name != "RRULE") continue;
      if (rule != nullptr) return Fail(L"repeats by several rules");
      rule = &property;
    }
    if (rule == nullptr) return true;
    const auto parsed = ReadRecurrenceRule(rule->value);
    if (!parsed) return Fail(UnreadableOn(rule->lineNumber));
    const RepeatReading reading = RepeatOfRule(*parsed, SplitDate(FromTimeLine(start.wall)));
    if (reading.unreadable) return Fail(UnreadableOn(rule->lineNumber));
    if (!reading.mode) return Fail(reading.reason);
    mode_ = *reading.mode;
    return true;
  }

  // The first alarm that shows or sounds, if any.
  const Component* ReminderAlarm() const {
    for (const Component& child : event_.children) {
      if (child.name != "VALARM") continue;
      const std::string action = UpperValue(child.Find("ACTION"));
      if (action == "DISPLAY" || action == "AUDIO") return &child;
    }
    return nullptr;
  }

  // When the event reminds, from its start in local time.
  bool ReminderOf(const CalendarTime& start, double startLocal, double& due) {
    due = startLocal;
    const Component* alarm = ReminderAlarm();
    if (alarm == nullptr) return true;
    const ContentLine* trigger = alarm->Find("TRIGGER");
    if (trigger == nullptr) return Fail(UnreadableOn(alarm->beginLine));
    const auto seconds = ReadDurationSeconds(trigger->value);
    // A fixed time says VALUE=DATE-TIME; some programs leave that out.
    if (ToUpperAscii(trigger->Parameter("VALUE").value_or("")) == "DATE-TIME" ||
        (!seconds && ReadCalendarTime(*trigger))) {
      if (mode_ != Once) return Fail(L"reminds once at a fixed time of a repeating event");
      return LocalTimeOf(*trigger, due);
    }
    if (!seconds) return Fail(UnreadableOn(trigger->lineNumber));
    const bool fromEnd = ToUpperAscii(trigger->Parameter("RELATED").value_or("")) == "END";
    double reference = 0.0;
    if (!(fromEnd ? EndOffset(start, reference) : StartOffset(reference))) return false;
    due = startLocal + reference + static_cast<double>(*seconds) / kSecondsPerDay;
    return true;
  }

  // Days from the base time (DTSTART, or a to-do's DUE) to the start an
  // alarm counts from: a to-do's DTSTART when it has both.
  bool StartOffset(double& offset) {
    offset = 0.0;
    const ContentLine* start = event_.Find("DTSTART");
    if (!IsTodo() || start == nullptr) return true;
    double local = 0.0;
    if (!LocalTimeOf(*start, local)) return false;
    offset = local - baseLocal_;
    return true;
  }

  // Days from the base time to the end: DTEND (a to-do's DUE), else the
  // start plus DURATION, else the start (the next day for an all-day event).
  bool EndOffset(const CalendarTime& base, double& offset) {
    const ContentLine* end = event_.Find(IsTodo() ? "DUE" : "DTEND");
    if (end != nullptr) {
      double local = 0.0;
      if (!LocalTimeOf(*end, local)) return false;
      offset = local - baseLocal_;
      return true;
    }
    if (const ContentLine* duration = event_.Find("DURATION")) {
      const auto seconds = ReadDurationSeconds(duration->value);
      if (!seconds) return Fail(UnreadableOn(duration->lineNumber));
      offset = static_cast<double>(*seconds) / kSecondsPerDay;
      return true;
    }
    offset = base.form == CalendarTime::Form::Date ? 1.0 : 0.0;
    return true;
  }

  // A repeat whose future occurrences other calendars change or leave out
  // (EXDATE, or an override by RECURRENCE-ID) is not kept; past ones do not
  // matter. `reminderOffset` is the reminder's distance from the start.
  bool NoFutureExceptions(double reminderOffset) {
    for (const ContentLine& property : event_.properties) {
      if (property.name != "EXDATE") continue;
      const auto times = ReadCalendarTimes(property, kMaxExcludedDates);
      if (!times) return Fail(UnreadableOn(property.lineNumber));
      for (const CalendarTime& time : *times) {
        const ZoneClock* zone = nullptr;
        if (!ZoneOf(time, zone)) return false;
        if (ToLocal(zone, zones_.Local(), time.wall) + reminderOffset >= now_) return Fail(L"leaves out a future date");
      }
    }
    const ContentLine* uid = event_.Find("UID");
    if (uid == nullptr) return true;
    const auto overrides = file_.overrides.find(uid->value);
    if (overrides == file_.overrides.end()) return true;
    for (const Component* changed : overrides->second) {
      double local = 0.0;
      if (!LocalTimeOf(*changed->Find("RECURRENCE-ID"), local)) return false;
      if (local + reminderOffset >= now_) return Fail(L"has a changed future occurrence");
    }
    return true;
  }

  const Component& event_;
  const FileEvents& file_;
  ZoneResolver& zones_;
  const double now_;
  const double nowUtc_;
  EventOutcome outcome_;
  std::wstring description_;
  RepeatMode mode_ = Once;
  double baseLocal_ = 0.0;
};

}  // namespace

FileEvents CollectEvents(const std::vector<Component>& calendars) {
  FileEvents file;
  for (const Component& calendar : calendars) {
    for (const Component& child : calendar.children) {
      if (!IsTimeComponent(child)) continue;
      const ContentLine* uid = child.Find("UID");
      if (child.Find("RECURRENCE-ID") != nullptr && uid != nullptr) {
        file.overrides[uid->value].push_back(&child);
      } else {
        file.events.push_back(&child);
      }
    }
  }
  return file;
}

EventOutcome ReadEvent(const Component& event, const FileEvents& file, ZoneResolver& zones,
                       const ImportContext& context) {
  return EventReader(event, file, zones, context).Read();
}
