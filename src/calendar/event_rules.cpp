#include "event_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>

#include "alarm_rule.h"
#include "alert_sound.h"
#include "number_text.h"
#include "recurrence_text.h"
#include "repeat_rules.h"
#include "utf8_text.h"
#include "text_table.h"

namespace {

constexpr std::size_t kMaxExcludedDates = 1000;

bool IsTimeComponent(const Component& component) { return component.name == "VEVENT" || component.name == "VTODO"; }

double InDays(const CalendarDuration& duration) {
  return static_cast<double>(duration.days) + static_cast<double>(duration.seconds) / kSecondsPerDay;
}

std::wstring UnreadableOn(int line) { return Text(TextId::LeftOutUnreadable, {WideDecimalText(line)}); }

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

// The sound an imported alert keeps: no sound, or a sound file on this
// PC's drives; anything else plays the reminder sound.
std::wstring KeptSound(const std::wstring& stored) {
  const AlertSound sound = ReadAlertSound(stored);
  if (sound.kind == SoundKind::None || (sound.kind == SoundKind::File && IsLocalWaveFile(sound.file))) {
    return StoredSoundText(sound);
  }
  return {};
}

std::string UpperValue(const ContentLine* line) { return line != nullptr ? ToUpperAscii(line->value) : std::string(); }

// The exact description Chimewatch writes beside SUMMARY when that cannot
// carry it: UTF-16 LE bytes in hex.
std::optional<std::wstring> FromHexUtf16(std::string_view hex) {
  const auto digit = [](char c) {
    const char upper = static_cast<char>(c & ~0x20);
    return c >= '0' && c <= '9' ? c - '0' : upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
  };
  if (hex.size() % 4 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = digit(hex[i]);
    const int low = digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return Utf16LeToWide(bytes);
}

std::wstring CannotKeepOn(int line) { return Text(TextId::LeftOutCannotKeep, {WideDecimalText(line)}); }

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
    outcome_.name = description_.empty() ? Text(TextId::LeftOutNoDescription) : description_;
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
          property.name == "X-CHIMEWATCH-DELETE" || property.name == "X-CHIMEWATCH-SOUND-UNTIL-ANSWERED") {
        if (!isFlag) return LeftOut(UnreadableOn(property.lineNumber));
        (property.name == "X-CHIMEWATCH-ACTIVE"   ? alert.Actief
         : property.name == "X-CHIMEWATCH-SHOWN"  ? alert.Getoond
         : property.name == "X-CHIMEWATCH-DELETE" ? alert.Delete
                                                  : alert.SoundUntilAnswered) = isTrue;
      } else if (property.name == "X-CHIMEWATCH-SOUND") {
        alert.Sound = KeptSound(Utf8ToWide(UnescapeText(property.value)));
      } else if (property.name == "X-CHIMEWATCH-TEXT") {
        const auto exact = FromHexUtf16(property.value);
        if (!exact) return LeftOut(UnreadableOn(property.lineNumber));
        alert.Naam = *exact;
      } else if (property.name == "X-CHIMEWATCH-REPEAT") {
        const auto repeat = ReadWholeNumber(property.value, 10);
        if (!repeat) return LeftOut(UnreadableOn(property.lineNumber));
        // The store keeps a repeat in 16 bits.
        if (*repeat < INT16_MIN || *repeat > INT16_MAX) return LeftOut(CannotKeepOn(property.lineNumber));
        alert.Repeat = static_cast<std::int32_t>(*repeat);
      } else if (property.name == "X-CHIMEWATCH-RULE") {
        alert.Rule = Utf8ToWide(UnescapeText(property.value));
        if (!ReadAlarmRule(alert.Rule)) return LeftOut(UnreadableOn(property.lineNumber));
      }
    }
    // A rule's event starts with its series; the alert is due at its own time.
    const ContentLine* start = event_.Find(alert.Rule.empty() ? "DTSTART" : "X-CHIMEWATCH-DUE");
    if (start == nullptr) return LeftOut(Text(TextId::LeftOutNoStart));
    double local = 0.0;
    if (!LocalTimeOf(*start, local)) return outcome_;
    alert.Tijd = FromTimeLine(local);
    if (!IsValidDate(alert.Tijd)) return LeftOut(CannotKeepOn(start->lineNumber));
    outcome_.alert = std::move(alert);
    return outcome_;
  }

  EventOutcome ReadOtherEvent() {
    const std::string status = UpperValue(event_.Find("STATUS"));
    if (status == "CANCELLED") return LeftOut(Text(TextId::LeftOutCancelled));
    if (IsTodo() && (status == "COMPLETED" || event_.Find("COMPLETED") != nullptr))
      return LeftOut(Text(TextId::LeftOutCompleted));
    const ContentLine* base = IsTodo() && event_.Find("DUE") != nullptr ? event_.Find("DUE") : event_.Find("DTSTART");
    if (base == nullptr) return LeftOut(Text(TextId::LeftOutNoStart));
    CalendarTime start;
    const ZoneClock* zone = nullptr;
    if (!ReadTime(*base, start, zone)) return outcome_;
    if (!ReadRepeat(start, zone)) return outcome_;

    double startLocal = 0.0;
    if (!series_) {
      startLocal = ToLocal(zone, zones_.Local(), start.wall);
    } else {
      const double nowWall = zone != nullptr ? UtcToWall(*zone, nowUtc_) : now_;
      const auto first = OccurrenceAtOrAfter(*series_, start.wall, nowWall);
      const auto distance = zones_.SteadyDistance(zone, *series_, start.wall, first.value_or(start.wall), nowUtc_);
      if (!distance) return LeftOut(Text(TextId::LeftOutOtherTimeOfDay));
      startLocal = start.wall + *distance / kSecondsPerDay;
    }
    baseLocal_ = ToLocal(zone, zones_.Local(), start.wall);
    double due = 0.0;
    if (!ReminderOf(start, zone, startLocal, due)) return outcome_;

    AlarmRecord alert = NewAlert();
    if (!series_) {
      if (due < now_) return LeftOut(Text(TextId::LeftOutAlreadyPast));
    } else {
      if (!NoFutureChanges(due - startLocal)) return outcome_;
      const DateParts startParts = SplitDate(FromTimeLine(start.wall));
      if (const auto* mode = std::get_if<RepeatMode>(&*series_);
          mode != nullptr && !CalendarMoveProblem(*mode, startParts, SplitDate(FromTimeLine(due))).empty()) {
        series_ = rule_;  // the rule's own meaning, where the mode would move otherwise
      }
      if (auto* rule = std::get_if<RepeatRule>(&*series_);
          rule != nullptr && !MoveRule(*rule, due - start.wall, start.wall)) {
        return outcome_;
      }
      const auto next = OccurrenceAtOrAfter(*series_, due, now_);
      if (!next) return LeftOut(Text(TextId::LeftOutAlreadyPast));
      std::visit(Overloaded{
                     [&](RepeatMode mode) { alert.Repeat = mode; },
                     [&](const RepeatRule& rule) {
                       SetRule(alert, AlarmRule{rule, FromTimeLine(due)});
                     },
                 },
                 *series_);
      due = *next;
    }
    alert.Tijd = FromTimeLine(due);
    if (!IsValidDate(alert.Tijd)) return LeftOut(CannotKeepOn(base->lineNumber));
    outcome_.alert = std::move(alert);
    return outcome_;
  }

  // The series: one of the five modes when the rule is exactly one, else
  // the rule; none for an event that happens once. `rule_` keeps the rule.
  bool ReadRepeat(const CalendarTime& start, const ZoneClock* zone) {
    const ContentLine* line = nullptr;
    for (const ContentLine& property : event_.properties) {
      if (property.name == "RDATE") return Fail(Text(TextId::LeftOutExtraDates));
      if (property.name != "RRULE") continue;
      if (line != nullptr) return Fail(Text(TextId::LeftOutSeveralRules));
      line = &property;
    }
    if (line == nullptr) return true;
    const ClockUntilZone untilZone(zone != nullptr ? *zone : zones_.Local());
    const DateParts startParts = SplitDate(FromTimeLine(start.wall));
    RuleReading reading = ParseRecurrenceRule(WithoutRestatedTime(line->value, startParts), &untilZone);
    if (!reading.rule) return Fail(Text(TextId::LeftOutRuleNotFollowed, {reading.reason}));
    rule_ = std::move(*reading.rule);
    const auto mode = ExactMode(rule_, startParts);
    series_ = mode ? Recurrence(*mode) : Recurrence(rule_);
    return true;
  }

  // Moves the rule from the event's clock to the reminders on this PC's:
  // `shift` days later. Its weekdays turn with the date; days of a month
  // cannot, so such a rule must keep its reminders on its events' dates.
  bool MoveRule(RepeatRule& rule, double shift, double startWall) {
    const int days = static_cast<int>(std::floor(startWall + shift) - std::floor(startWall));
    if (days != 0) {
      const bool byDate = rule.frequency == RuleFrequency::Monthly || rule.frequency == RuleFrequency::Yearly ||
                          rule.byMonth != 0 || rule.byMonthDay != 0 || HasPlaces(rule);
      if (byDate) return Fail(Text(TextId::LeftOutOtherDayByMonthDays));
      const int turn = (days % 7 + 7) % 7;
      rule.byWeekday = static_cast<WeekdaySet>(((rule.byWeekday << turn) | (rule.byWeekday >> (7 - turn))) & 0x7F);
      rule.weekStart = (rule.weekStart + turn) % 7;
    }
    if (rule.end.kind == RuleEnding::Until) {
      if (rule.end.wholeDay) rule.end.last = CombineDateTime(rule.end.last, 86399.0 / kSecondsPerDay);
      rule.end.wholeDay = false;
      rule.end.last = FromTimeLine(ToTimeLine(rule.end.last) + shift);
    }
    rule.leftOut = std::move(leftOut_);
    return true;
  }

  // When the event reminds, in local time: at the earliest of its alarms
  // that show or sound, as the calendar would, else at its start.
  bool ReminderOf(const CalendarTime& start, const ZoneClock* zone, double startLocal, double& due) {
    due = startLocal;
    bool reminded = false;
    for (const Component& alarm : event_.children) {
      const std::string action = UpperValue(alarm.Find("ACTION"));
      if (alarm.name != "VALARM" || (action != "DISPLAY" && action != "AUDIO")) continue;
      double alarmDue = 0.0;
      if (!AlarmDue(alarm, start, zone, startLocal, alarmDue)) return false;
      if (!reminded || alarmDue < due) due = alarmDue;
      reminded = true;
    }
    return true;
  }

  bool AlarmDue(const Component& alarm, const CalendarTime& start, const ZoneClock* zone, double startLocal,
                double& due) {
    const ContentLine* trigger = alarm.Find("TRIGGER");
    if (trigger == nullptr) return Fail(UnreadableOn(alarm.beginLine));
    const auto duration = ReadDuration(trigger->value);
    // A fixed time says VALUE=DATE-TIME; some programs leave that out.
    if (ToUpperAscii(trigger->Parameter("VALUE").value_or("")) == "DATE-TIME" ||
        (!duration && ReadCalendarTime(*trigger))) {
      if (series_) return Fail(Text(TextId::LeftOutFixedTimeOfSeries));
      return LocalTimeOf(*trigger, due);
    }
    if (!duration) return Fail(UnreadableOn(trigger->lineNumber));
    const bool fromEnd = ToUpperAscii(trigger->Parameter("RELATED").value_or("")) == "END";
    if (!series_) return ExactReminder(start, zone, fromEnd, *duration, due);
    double reference = 0.0;
    if (!(fromEnd ? EndOffset(start, zone, reference) : StartOffset(reference))) return false;
    due = startLocal + reference + InDays(*duration);
    return true;
  }

  // A one-time event's reminder to the second: the trigger's days are added
  // to the date in the zone of the time it counts from, its hours, minutes
  // and seconds to the instant; the result is read on this PC's clock.
  bool ExactReminder(const CalendarTime& base, const ZoneClock* baseZone, bool fromEnd, CalendarDuration trigger,
                     double& due) {
    CalendarTime from = base;
    const ZoneClock* zone = baseZone;
    long long exactSeconds = trigger.seconds;
    if (fromEnd) {
      if (!EndOf(from, zone, exactSeconds)) return false;
    } else if (const ContentLine* start = IsTodo() ? event_.Find("DTSTART") : nullptr) {
      if (!ReadTime(*start, from, zone)) return false;
    }
    const ZoneClock& clock = zone != nullptr ? *zone : zones_.Local();  // floating: this PC's
    const double utc = WallToUtc(clock, from.wall + static_cast<double>(trigger.days)) +
                       static_cast<double>(exactSeconds) / kSecondsPerDay;
    due = UtcToWall(zones_.Local(), utc);
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

  // The end, from the base time `time` on `zone`'s clock: DTEND (a to-do's
  // DUE), else the start plus DURATION (its days on the wall clock, its
  // hours, minutes and seconds added to `exactSeconds`), else the start
  // (the next day for an all-day event).
  bool EndOf(CalendarTime& time, const ZoneClock*& zone, long long& exactSeconds) {
    if (const ContentLine* end = event_.Find(IsTodo() ? "DUE" : "DTEND")) return ReadTime(*end, time, zone);
    if (const ContentLine* length = event_.Find("DURATION")) {
      const auto duration = ReadDuration(length->value);
      if (!duration) return Fail(UnreadableOn(length->lineNumber));
      time.wall += static_cast<double>(duration->days);
      exactSeconds += duration->seconds;
    } else if (time.form == CalendarTime::Form::Date) {
      time.wall += 1.0;
    }
    return true;
  }

  // Days from the base time to the end, on this PC's clock.
  bool EndOffset(const CalendarTime& base, const ZoneClock* baseZone, double& offset) {
    CalendarTime end = base;
    const ZoneClock* zone = baseZone;
    long long exactSeconds = 0;
    if (!EndOf(end, zone, exactSeconds)) return false;
    offset = ToLocal(zone, zones_.Local(), end.wall) + static_cast<double>(exactSeconds) / kSecondsPerDay - baseLocal_;
    return true;
  }

  // Future dates the series leaves out (EXDATE) are kept, as reminder times
  // here; a repeat whose future occurrences other calendars change (an
  // override by RECURRENCE-ID) is not kept; past ones do not matter.
  // `reminderOffset` is the reminder's distance from the start.
  bool NoFutureChanges(double reminderOffset) {
    for (const ContentLine& property : event_.properties) {
      if (property.name != "EXDATE") continue;
      const auto times = ReadCalendarTimes(property, kMaxExcludedDates);
      if (!times) return Fail(UnreadableOn(property.lineNumber));
      for (const CalendarTime& time : *times) {
        const ZoneClock* zone = nullptr;
        if (!ZoneOf(time, zone)) return false;
        const double reminder = ToLocal(zone, zones_.Local(), time.wall) + reminderOffset;
        if (reminder >= now_ && leftOut_.size() < kMaxExcludedDates) leftOut_.push_back(FromTimeLine(reminder));
      }
    }
    if (!leftOut_.empty() && std::holds_alternative<RepeatMode>(*series_)) series_ = rule_;
    const ContentLine* uid = event_.Find("UID");
    if (uid == nullptr) return true;
    const auto changes = ChangesOf(uid->value);
    if (!changes) return true;
    if (changes->failure) return Fail(*changes->failure);
    if (changes->thisAndFuture || changes->latestLocal + reminderOffset >= now_) {
      return Fail(Text(TextId::LeftOutChangedDateAhead));
    }
    return true;
  }

  // The changed occurrences of a UID, summed up once for every series that
  // has it: the latest date one moves from or to, and whether one changes
  // all that follow it (RANGE=THISANDFUTURE).
  const FileEvents::Changes* ChangesOf(const std::string& uid) {
    const auto overrides = file_.overrides.find(uid);
    if (overrides == file_.overrides.end()) return nullptr;
    auto [known, isNew] = file_.changes.try_emplace(uid);
    if (!isNew) return &known->second;
    FileEvents::Changes& changes = known->second;
    changes.latestLocal = -std::numeric_limits<double>::infinity();
    const std::wstring reason = outcome_.reason;
    for (const Component* changed : overrides->second) {
      ++file_.changesRead;
      const ContentLine* recurrence = changed->Find("RECURRENCE-ID");
      if (ToUpperAscii(recurrence->Parameter("RANGE").value_or("")) == "THISANDFUTURE") changes.thisAndFuture = true;
      for (const ContentLine* time : {recurrence, changed->Find("DTSTART")}) {
        double local = 0.0;
        if (time == nullptr) continue;
        if (!LocalTimeOf(*time, local)) {
          changes.failure = outcome_.reason;
          outcome_.reason = reason;
          return &changes;
        }
        changes.latestLocal = std::max(changes.latestLocal, local);
      }
    }
    return &changes;
  }

  const Component& event_;
  const FileEvents& file_;
  ZoneResolver& zones_;
  const double now_;
  const double nowUtc_;
  EventOutcome outcome_;
  std::wstring description_;
  std::optional<Recurrence> series_;
  RepeatRule rule_;
  std::vector<DateValue> leftOut_;
  double baseLocal_ = 0.0;
};

}  // namespace

FileEvents CollectEvents(const std::vector<Component>& calendars) {
  FileEvents file;
  std::set<std::string> seriesUids;
  std::vector<const Component*> changed;
  for (const Component& calendar : calendars) {
    for (const Component& child : calendar.children) {
      if (!IsTimeComponent(child)) continue;
      const ContentLine* uid = child.Find("UID");
      if (child.Find("RECURRENCE-ID") != nullptr && uid != nullptr) {
        changed.push_back(&child);
      } else {
        if (uid != nullptr) seriesUids.insert(uid->value);
        file.events.push_back(&child);
      }
    }
  }
  // A changed occurrence whose series is not in the file (a meeting update
  // sent alone) is an event of its own, at its own start.
  for (const Component* occurrence : changed) {
    const std::string& uid = occurrence->Find("UID")->value;
    if (seriesUids.count(uid) != 0) {
      file.overrides[uid].push_back(occurrence);
    } else {
      file.events.push_back(occurrence);
    }
  }
  return file;
}

EventOutcome ReadEvent(const Component& event, const FileEvents& file, ZoneResolver& zones,
                       const ImportContext& context) {
  return EventReader(event, file, zones, context).Read();
}
