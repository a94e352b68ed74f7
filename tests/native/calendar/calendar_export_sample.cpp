// Writes exports of a table holding every kind of alert, in Central Europe
// and in Sydney, into the folder given, and prints as JSON what each VEVENT
// must say and when its first reminders fall by Chimewatch's own moves.
// tests/calendar_export_check.py reads the files with a parser no one here
// wrote and compares.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "after_firing.h"
#include "calendar_test_support.h"
#include "test_support.h"
#include "utf8_text.h"
#include "zone_clock.h"

namespace {

constexpr int kOccurrences = 14;
// The checker's zone tables end with 2037 (pytz): later years are not compared.
constexpr int kLastComparedYear = 2037;

std::string Json(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string IsoLocal(DateValue value) {
  const DateParts p = SplitDate(value);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute, p.second);
  return text;
}

long long OffsetSeconds(const ZoneRules& zone, DateValue local) {
  return std::llround((local - LocalToUtc(zone, local)) * 86400.0);
}

std::string Moment(const ZoneRules& zone, DateValue local) {
  return "[" + Json(IsoLocal(local)) + ", " + std::to_string(OffsetSeconds(zone, local)) + "]";
}

AlarmTable EveryKindOfAlert() {
  AlarmTable table;
  table[0] = ActiveAlarm(L"Once, in winter", At(2027, 1, 12, 8, 15));
  table[1] = ActiveAlarm(L"Once, in summer; delete when over", At(2027, 7, 3, 18, 0, 30), Once, true);
  table[2] = ActiveAlarm(L"Shown already", At(2026, 11, 30, 9, 0));
  table[2].Getoond = true;
  table[3] = InactiveAlarm(L"Switched off", At(2027, 2, 1, 7, 0));
  table[4] = ActiveAlarm(L"Daily pills", At(2027, 3, 25, 21, 0), EachDay);    // across the spring change
  table[5] = ActiveAlarm(L"Weekly bins", At(2027, 10, 19, 6, 45), EachWeek);  // across the autumn change
  table[6] = ActiveAlarm(L"Rent, the 1st", At(2027, 1, 1, 10, 0), EachMonth);
  table[7] = ActiveAlarm(L"Report, the 28th", At(2027, 1, 28, 16, 30), EachMonth);
  table[8] = ActiveAlarm(L"Birthday", At(2027, 5, 17, 9, 0), EachYear);
  table[9] = ActiveAlarm(L"Hand-edited repeat", At(2027, 4, 4, 4, 4), 7);
  table[10] = ActiveAlarm(
      L"Quotes \"\", commas, semicolons; a \\ and\r\nsecond line \u00e9\u20ac\U0001F600 " + std::wstring(40, L'\u00fc'),
      At(2027, 6, 6, 6, 6));
  table.Reserve(11);
  return table;
}

std::string EventsJson(const AlarmTable& table, const ZoneRules& zone) {
  std::string events;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    const AlarmRecord& alert = table[slot];
    if (!alert.Exist || table.IsReserved(slot)) continue;
    const char* frequencies[] = {"", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
    const bool repeats = alert.Repeat >= EachDay && alert.Repeat <= EachYear;
    std::string occurrences;
    AlarmRecord moving = alert;
    for (int i = 0; repeats && i < kOccurrences && Year(moving.Tijd) <= kLastComparedYear; ++i) {
      occurrences += (i == 0 ? "" : ", ") + Moment(zone, moving.Tijd);
      MoveOnAfterFiring(moving, moving.Tijd);
    }
    events += std::string(events.empty() ? "" : ",\n") + "    {\"slot\": " + std::to_string(slot) +
              ", \"summary\": " + Json(WideToUtf8(alert.Naam)) + ", \"start\": " + Moment(zone, alert.Tijd) +
              ", \"rrule\": " + Json(repeats ? frequencies[alert.Repeat] : "") +
              ", \"repeat\": " + std::to_string(alert.Repeat) +
              ", \"alarm\": " + (alert.Actief && !alert.Getoond ? "true" : "false") + ", \"occurrences\": [" +
              occurrences + "]}";
  }
  return events;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: calendar_export_sample FOLDER\n");
    return 2;
  }
  const AlarmTable table = EveryKindOfAlert();
  const DateValue nowUtc = At(2026, 12, 8, 11, 0);
  std::string json = "[\n";
  const std::pair<const char*, ZoneRules> zones[] = {{"europe.ics", WestEurope()}, {"sydney.ics", AusEastern()}};
  for (const auto& [name, zone] : zones) {
    const std::string path = std::string(argv[1]) + "/" + name;
    std::ofstream(path, std::ios::binary) << ExportAlerts(table, zone, nowUtc, L"4.2.0.5").bytes;
    json += std::string(json.size() > 2 ? ",\n" : "") + "  {\"path\": " + Json(path) +
            ", \"zone\": " + Json(WideToUtf8(zone.name)) + ", \"events\": [\n" + EventsJson(table, zone) + "]}";
  }
  std::printf("%s\n]\n", json.c_str());
  return 0;
}
