// ExportAlerts: the strict writer. Every line it writes is RFC 5545 as
// other calendars expect it; Chimewatch's own state rides along in
// X-CHIMEWATCH- properties so that its import restores every field.
#include <cstdint>

#include "alarm_rule.h"
#include "alert_sound.h"
#include "alert_calendar.h"
#include "calendar_values.h"
#include "content_lines.h"
#include "number_text.h"
#include "recurrence_next.h"
#include "recurrence_text.h"
#include "utf8_text.h"
#include "zone_clock.h"
#include "text_table.h"

namespace {

// The first year of Windows' calendar: a zone's rules hold for every year
// from it, as Windows applies them, also in other readers. Every onset
// written is real: its DTSTART falls where its rule puts it.
constexpr int kOnsetYear = 1601;

class CalendarText {
 public:
  void Line(std::string_view line) { text_ += FoldContentLine(line); }
  void Property(std::string_view name, std::string_view value) {
    std::string line(name);
    line += ':';
    line += value;
    Line(line);
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// A parameter value: quoted when it holds a separator; quotes and control
// characters cannot be written in one at all.
std::string ParameterValue(std::string_view text) {
  std::string value;
  for (const char c : text) {
    if (c != '"' && static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) value += c;
  }
  return value.find_first_of(":;,") == std::string::npos ? value : '"' + value + '"';
}

// Windows' name for the zone; a PC that gives none still needs a TZID, or
// other calendars would read the times as UTC.
std::string ZoneId(const ZoneRules& zone) {
  std::string id = WideToUtf8(zone.name);
  for (const char c : id) {
    if (c != ' ') return id;
  }
  return "Chimewatch local time";
}

std::string RuleOfChange(const ZoneChange& change) {
  const int ordinal = change.week >= 5 ? -1 : change.week;
  const std::size_t weekday =
      static_cast<std::size_t>(change.dayOfWeek >= 0 && change.dayOfWeek < 7 ? change.dayOfWeek : 0);
  return "FREQ=YEARLY;BYMONTH=" + DecimalText(change.month) + ";BYDAY=" + DecimalText(ordinal) +
         std::string(kWeekdayCodes[weekday]);
}

// One STANDARD or DAYLIGHT block: the onset `change` moving the clock from
// `offsetFrom` to `offsetTo`.
void WriteObservance(CalendarText& out, std::string_view kind, const ZoneChange& change, int offsetFrom, int offsetTo) {
  const bool fixedDate = change.year != 0;
  const int year = fixedDate ? change.year : kOnsetYear;
  const int day = fixedDate
                      ? change.day
                      : NthWeekdayOfMonth(year, change.month, change.dayOfWeek, change.week >= 5 ? -1 : change.week);
  const auto onset = TimeLineOf(year, change.month, day, change.hour * 3600 + change.minute * 60 + change.second);
  out.Property("BEGIN", kind);
  out.Property("DTSTART", DateTimeText(onset.value_or(*TimeLineOf(kOnsetYear, 1, 1, 0))));
  out.Property("TZOFFSETFROM", UtcOffsetText(offsetFrom));
  out.Property("TZOFFSETTO", UtcOffsetText(offsetTo));
  if (!fixedDate) out.Property("RRULE", RuleOfChange(change));
  out.Property("END", kind);
}

void WriteTimeZone(CalendarText& out, const ZoneRules& zone) {
  const int standard = -(zone.biasMinutes + zone.standardBiasMinutes) * 60;
  const int daylight = -(zone.biasMinutes + zone.daylightBiasMinutes) * 60;
  out.Property("BEGIN", "VTIMEZONE");
  out.Property("TZID", EscapeText(ZoneId(zone)));
  if (HasSummerTime(zone)) {
    WriteObservance(out, "STANDARD", zone.standardDate, daylight, standard);
    WriteObservance(out, "DAYLIGHT", zone.daylightDate, standard, daylight);
  } else {
    WriteObservance(out, "STANDARD", ZoneChange{kOnsetYear, 1, 0, 0, 1, 0, 0, 0}, standard, standard);
  }
  out.Property("END", "VTIMEZONE");
}

// FNV-1a: the same description and repeat give the same UID in every export.
std::uint64_t Fingerprint(std::string_view description, std::int32_t repeat) {
  std::uint64_t hash = 14695981039346656037ull;
  auto add = [&hash](unsigned char byte) {
    hash ^= byte;
    hash *= 1099511628211ull;
  };
  for (const char c : description) add(static_cast<unsigned char>(c));
  add(0);
  for (int shift = 0; shift < 32; shift += 8)
    add(static_cast<unsigned char>(static_cast<std::uint32_t>(repeat) >> shift));
  return hash;
}

std::string UidOf(int slot, std::string_view description, std::int32_t repeat) {
  return DecimalText(slot) + "-" + HexText(Fingerprint(description, repeat), 16) + "@chimewatch";
}

std::string HexBytes(std::string_view bytes) {
  std::string hex;
  for (const char c : bytes) hex += HexText(static_cast<unsigned char>(c), 2);
  return hex;
}

std::string_view Flag(bool value) { return value ? "TRUE" : "FALSE"; }

// A file's path as a file: URI (RFC 8089): "C:\\My sounds\\a.wav" is
// "file:///C:/My%20sounds/a.wav", each byte of its UTF-8 but the
// unreserved ones and the separators percent-encoded.
std::string FileUri(const std::wstring& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:///";
  for (const char byte : WideToUtf8(path)) {
    const auto c = static_cast<unsigned char>(byte);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_' || c == '~' || c == ':';
    if (c == '\\' || c == '/') {
      uri += '/';
    } else if (plain) {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

// A display alarm at the due time, and for a sound file an audio alarm
// beside it, as RFC 5545 writes one. The exact choice rides along.
void WriteAlarms(CalendarText& out, const AlarmRecord& alert, const std::string& description) {
  const AlertSound sound = ReadAlertSound(alert.Sound);
  if (sound.kind != SoundKind::Reminder) out.Property("X-CHIMEWATCH-SOUND", EscapeText(WideToUtf8(alert.Sound)));
  if (alert.SoundUntilAnswered) out.Property("X-CHIMEWATCH-SOUND-UNTIL-ANSWERED", Flag(true));
  if (!alert.Actief || alert.Getoond) return;
  out.Property("BEGIN", "VALARM");
  out.Property("ACTION", "DISPLAY");
  out.Property("DESCRIPTION", EscapeText(description));
  out.Property("TRIGGER", "PT0S");
  out.Property("END", "VALARM");
  if (sound.kind != SoundKind::File) return;
  out.Property("BEGIN", "VALARM");
  out.Property("ACTION", "AUDIO");
  out.Property("ATTACH;FMTTYPE=audio/wav", FileUri(sound.file));
  out.Property("TRIGGER", "PT0S");
  out.Property("END", "VALARM");
}

// Whether SUMMARY, read back, gives the description exactly: TEXT has line
// breaks only as CR LF reads them back, and no other control character;
// UTF-8 has no lone surrogate.
bool SummaryIsExact(std::wstring_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<char32_t>(text[i]);
    if (c == U'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      ++i;
      continue;
    }
    if ((c < 0x20 && c != U'\t') || c == 0x7F) return false;
    if (c >= 0xD800 && c <= 0xDFFF) {
      const bool pair =
          sizeof(wchar_t) == 2 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      if (!pair) return false;
      ++i;
    }
  }
  return true;
}

// A rule's RRULE with UNTIL in UTC, as RFC 5545 asks beside a DTSTART
// with a zone; a date alone ends with its last second.
std::string RuleInUtc(RepeatRule rule, const ZoneClock& clock) {
  const RuleEnd end = rule.end;
  if (end.kind == RuleEnding::Until) rule.end = RuleEnd{};
  std::string text = Rfc5545Text(rule);
  if (end.kind == RuleEnding::Until) {
    const double last = ToTimeLine(end.last) + (end.wholeDay ? 86399.0 / kSecondsPerDay : 0.0);
    text += ";UNTIL=" + DateTimeText(WallToUtc(clock, last)) + "Z";
  }
  return text;
}

// The series from its start, so that COUNT and INTERVAL count as here; a
// start that is no occurrence here is left out, as other readers may count
// it. The alert's own due time rides along for Chimewatch's import.
void WriteRule(CalendarText& out, const AlarmRecord& alert, const AlarmRule& rule, const std::string& zone,
               const ZoneClock& clock) {
  out.Property("RRULE", RuleInUtc(rule.rule, clock));
  std::vector<DateValue> leftOut = rule.rule.leftOut;
  const auto first = FirstOccurrence(rule.rule, rule.start);
  if (first != rule.start) leftOut.insert(leftOut.begin(), rule.start);
  std::string dates;
  for (const DateValue date : leftOut) dates += (dates.empty() ? "" : ",") + DateTimeText(ToTimeLine(date));
  if (!dates.empty()) out.Property("EXDATE;TZID=" + zone, dates);
  out.Property("X-CHIMEWATCH-DUE;TZID=" + zone, DateTimeText(ToTimeLine(alert.Tijd)));
  out.Property("X-CHIMEWATCH-RULE", EscapeText(WideToUtf8(alert.Rule)));
}

void WriteEvent(CalendarText& out, int slot, const AlarmRecord& alert, const std::string& zoneParameter,
                const ZoneClock& clock, const std::string& stamp) {
  const std::string description = WideToUtf8(alert.Naam);
  const auto rule = alert.Rule.empty() ? std::nullopt : ReadAlarmRule(alert.Rule);
  out.Property("BEGIN", "VEVENT");
  out.Property("UID", UidOf(slot, description, alert.Repeat));
  out.Property("DTSTAMP", stamp);
  out.Property("DTSTART;TZID=" + zoneParameter, DateTimeText(ToTimeLine(rule ? rule->start : alert.Tijd)));
  out.Property("SUMMARY", EscapeText(description));
  if (rule) {
    WriteRule(out, alert, *rule, zoneParameter, clock);
  } else if (const std::string mode = Rfc5545Text(static_cast<RepeatMode>(alert.Repeat)); !mode.empty()) {
    out.Property("RRULE", mode);
  }
  out.Property("TRANSP", "TRANSPARENT");
  out.Property("X-CHIMEWATCH-ACTIVE", Flag(alert.Actief));
  out.Property("X-CHIMEWATCH-SHOWN", Flag(alert.Getoond));
  out.Property("X-CHIMEWATCH-DELETE", Flag(alert.Delete));
  out.Property("X-CHIMEWATCH-REPEAT", DecimalText(alert.Repeat));
  // Where SUMMARY cannot carry it, the description's UTF-16 in hex.
  if (!SummaryIsExact(alert.Naam)) out.Property("X-CHIMEWATCH-TEXT", HexBytes(WideToUtf16Le(alert.Naam)));
  WriteAlarms(out, alert, description);
  out.Property("END", "VEVENT");
}

std::wstring SlotList(const std::vector<int>& slots) {
  std::wstring list;
  for (const int slot : slots) list += (list.empty() ? L"" : L", ") + WideDecimalText(slot);
  return list;
}

}  // namespace

ExportResult ExportAlerts(const AlarmTable& table, const ZoneRules& localZone, DateValue nowUtc,
                          std::wstring_view programVersion) {
  ExportResult result;
  CalendarText out;
  out.Property("BEGIN", "VCALENDAR");
  out.Property("VERSION", "2.0");
  out.Property("PRODID", "-//Chimewatch//Chimewatch " + EscapeText(WideToUtf8(programVersion)) + "//EN");
  out.Property("CALSCALE", "GREGORIAN");
  out.Property("METHOD", "PUBLISH");
  WriteTimeZone(out, localZone);
  const std::string zoneParameter = ParameterValue(ZoneId(localZone));
  const std::string stamp = DateTimeText(ToTimeLine(nowUtc)) + "Z";
  const RulesClock clock(localZone);
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    const AlarmRecord& alert = table[slot];
    if (table.IsReserved(slot) || (alert.Exist && !IsValidDate(alert.Tijd))) {
      result.damagedSlots.push_back(slot);
      continue;
    }
    if (!alert.Exist) continue;
    WriteEvent(out, slot, alert, zoneParameter, clock, stamp);
    ++result.exported;
  }
  out.Property("END", "VCALENDAR");
  result.bytes = out.Take();
  return result;
}

std::wstring ExportSummary(const ExportResult& result, std::wstring_view path) {
  std::wstring summary = CountText(TextId::TransferExported, result.exported, {WideDecimalText(result.exported), path});
  if (!result.damagedSlots.empty()) {
    summary +=
        Text(result.damagedSlots.size() == 1 ? TextId::TransferDamagedSlotLeftOut : TextId::TransferDamagedSlotsLeftOut,
             {SlotList(result.damagedSlots)});
  }
  return summary;
}
