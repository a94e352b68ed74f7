// Times the calendar export of a full table (101 alerts) and the import of
// a generated 5,000-event calendar (about 2 MB) into an empty one, and
// reports the medians and the process's peak memory. With a shape, one
// import of a file of that shape near the 16 MiB limit instead, and the
// peak memory against the file's size.
//   calendar_benchmark [RUNS]
//   calendar_benchmark --shape events|overrides|observances|leapzones|parameters
// With --follow, the followed calendars: the reminders of a 16 MiB
// calendar worked out (a refresh, off the window thread in the program),
// and five calendars of 5,000 events: the memory their reminders hold and
// what the tip's look for the next one costs each second.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "alert_calendar.h"
#include "benchmark_support.h"
#include "calendar_reminders.h"
#include "calendar_test_support.h"
#include "followed_reminders.h"

namespace {

constexpr int kEvents = 5000;
constexpr std::size_t kShapeBytes = (std::size_t{16} << 20) - 4096;

AlarmTable FullTable() {
  AlarmTable table;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    AlarmRecord& alert = table[slot];
    alert.Exist = true;
    alert.Actief = slot % 5 != 0;
    alert.Naam = L"Alert number " + std::to_wstring(slot) + L", with a description of some length \u00e9\u20ac";
    alert.Tijd = 46400.0 + slot * 1.37;
    alert.Repeat = slot % 5;
  }
  return table;
}

// An export-like calendar as a big shared calendar would be: a zone, and
// events with a description, a location, an end and an alarm; some repeat.
std::string GeneratedCalendar(int events = kEvents) {
  std::string file =
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Benchmark//EN\r\n"
      "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
      "BEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
      "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
      "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
      "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
  const char* rules[] = {"", "RRULE:FREQ=DAILY\r\n", "RRULE:FREQ=WEEKLY;BYDAY=MO,WE\r\n", "", "RRULE:FREQ=YEARLY\r\n"};
  char line[1024];
  for (int i = 0; i < events; ++i) {
    const int month = 1 + i % 12;
    const int day = 1 + i % 28;
    const int hour = 6 + i % 14;
    std::snprintf(line, sizeof line,
                  "BEGIN:VEVENT\r\nUID:%08d-benchmark-event@example.org\r\nDTSTAMP:20261201T120000Z\r\n"
                  "DTSTART;TZID=Europe/Berlin:%04d%02d%02dT%02d%02d00\r\n"
                  "DTEND;TZID=Europe/Berlin:%04d%02d%02dT%02d%02d00\r\n"
                  "SUMMARY:Meeting %d about the quarterly numbers\\, room %d\r\n"
                  "DESCRIPTION:Agenda: review\\, planning\\; next steps. Please bring the printed report and "
                  "your notes.\\nDial-in details follow.\r\n"
                  "LOCATION:Building %d\\, floor %d\r\n%sBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                  "DESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n",
                  i, 2026 + i % 3, month, day, hour, (i * 5) % 60, 2026 + i % 3, month, day, hour + 1, (i * 5) % 60, i,
                  i % 40, i % 7, i % 9, rules[i % 5]);
    file += line;
  }
  return file + "END:VCALENDAR\r\n";
}

// Worst shapes for the import, each a little under 16 MiB.
std::string ShapedCalendar(const std::wstring& shape) {
  if (shape == L"events") return GeneratedCalendar(34000);
  std::string file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Benchmark//EN\r\n";
  const auto fill = [&](const std::function<std::string(int)>& piece) {
    for (int i = 0; file.size() < kShapeBytes; ++i) file += piece(i);
  };
  if (shape == L"overrides") {
    // Series and changed occurrences, all of one UID.
    fill([](int i) {
      return i % 2 == 0
                 ? "BEGIN:VEVENT\r\nUID:one\r\nSUMMARY:Series " + std::to_string(i) +
                       "\r\nDTSTART:20260101T090000\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n"
                 : "BEGIN:VEVENT\r\nUID:one\r\nSUMMARY:Changed\r\nRECURRENCE-ID:20260" + std::to_string(1 + i % 9) +
                       "01T090000\r\nDTSTART:20260" + std::to_string(1 + i % 9) + "01T100000\r\nEND:VEVENT\r\n";
    });
  } else if (shape == L"observances") {
    // Zones whose rules never match (30 February), from 1601, each used.
    fill([](int i) {
      const std::string zone = "Z" + std::to_string(i);
      std::string text = "BEGIN:VTIMEZONE\r\nTZID:" + zone + "\r\n";
      for (int k = 0; k < 8; ++k) {
        text +=
            "BEGIN:STANDARD\r\nDTSTART:16010101T000000\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0100\r\n"
            "RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=30\r\nEND:STANDARD\r\n";
      }
      return text + "END:VTIMEZONE\r\nBEGIN:VEVENT\r\nSUMMARY:E\r\nDTSTART;TZID=" + zone +
             ":20270101T120000\r\nRRULE:FREQ=DAILY\r\nEND:VEVENT\r\n";
    });
  } else if (shape == L"leapzones") {
    // 29 zones of 128 rules that match on 29 February only, from 1604 on,
    // and events in them, each in a year of its own.
    const char* rules[] = {"BYMONTH=2;BYMONTHDAY=29", "BYMONTH=2;BYDAY=5SU", "BYMONTH=2;BYMONTHDAY=29;BYDAY=MO"};
    char line[512];
    for (int zone = 0; zone < 29; ++zone) {
      file += "BEGIN:VTIMEZONE\r\nTZID:Leap" + std::to_string(zone) + "\r\n";
      for (int k = 0; k < 128; ++k) {
        int year = 1604 + 4 * ((k * 37 + zone) % 100);
        if (year % 100 == 0 && year % 400 != 0) year += 4;
        std::snprintf(line, sizeof line,
                      "BEGIN:STANDARD\r\nDTSTART:%04d0229T0%d0000\r\nTZOFFSETFROM:%+03d00\r\nTZOFFSETTO:%+03d00\r\n"
                      "RRULE:FREQ=YEARLY;%s\r\nEND:STANDARD\r\n",
                      year, k % 4, k % 13 - 6, (k + 1) % 13 - 6, rules[k % 3]);
        file += line;
      }
      file += "END:VTIMEZONE\r\n";
    }
    fill([&](int i) {
      std::snprintf(line, sizeof line,
                    "BEGIN:VEVENT\r\nSUMMARY:E%d\r\nDTSTART;TZID=Leap%d:%04d%02d%02dT120000\r\nEND:VEVENT\r\n", i,
                    i % 29, 1601 + (i * 7919) % 8399, 1 + i % 12, 1 + i % 28);
      return std::string(line);
    });
  } else {
    // Long lists of parameter values.
    std::string values = "1";
    for (int k = 0; k < 2000; ++k) values += ",1";
    fill([&](int i) {
      return "BEGIN:VEVENT\r\nSUMMARY;X-A=" + values + ";X-B=" + values + ":E" + std::to_string(i) +
             "\r\nDTSTART:20270101T120000\r\nEND:VEVENT\r\n";
    });
  }
  return file + "END:VCALENDAR\r\n";
}

void PrintPeakMemory(const wchar_t* stage) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::wprintf(L"  peak after %ls: working set %.1f MB, pagefile %.1f MB\n", stage,
               static_cast<double>(counters.PeakWorkingSetSize) / 1048576.0,
               static_cast<double>(counters.PeakPagefileUsage) / 1048576.0);
}

}  // namespace

ImportContext BenchmarkContext() {
  ImportContext context;
  context.localZone = WestEurope();
  context.nowLocal = 46364.5;  // 8 December 2026, noon
  context.saveSlot = [](int) -> std::optional<std::wstring> { return std::nullopt; };
  return context;
}

int ImportShape(const std::wstring& shape) {
  const std::string calendar = ShapedCalendar(shape);
  AlarmTable empty;
  const LARGE_INTEGER from = benchmark::Clock();
  const ImportResult result = ImportAlerts(calendar, L"shape.ics", empty, BenchmarkContext());
  const double ms = benchmark::Milliseconds(from, benchmark::Clock());
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  const double peak = static_cast<double>(std::max(counters.PeakWorkingSetSize, counters.PeakPagefileUsage));
  std::wprintf(L"Import of the shape \"%ls\" (%.2f MB): %.0f ms, peak memory %.1f MB (%.1fx the file)\n", shape.c_str(),
               static_cast<double>(calendar.size()) / 1048576.0, ms, peak / 1048576.0,
               peak / static_cast<double>(calendar.size()));
  std::wprintf(L"  %ls...\n", result.summary.substr(0, 100).c_str());
  return 0;
}

std::size_t WorkingSet() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.WorkingSetSize;
}

int FollowedCalendars() {
  ReminderSpan span;
  span.localZone = WestEurope();
  span.from = 46364.5;  // 8 December 2026, noon
  span.to = span.from + 14;
  const std::string huge = GeneratedCalendar(34000);
  std::vector<double> times;
  std::size_t reminders = 0;
  for (int run = 0; run < 5; ++run) {
    const LARGE_INTEGER from = benchmark::Clock();
    reminders = RemindersOf(huge, span).reminders.size();
    times.push_back(benchmark::Milliseconds(from, benchmark::Clock()));
  }
  std::wprintf(L"Reminders of a %.2f MB calendar of 34,000 events: median %.0f ms, %zu reminders in 14 days\n",
               static_cast<double>(huge.size()) / 1048576.0, benchmark::Median(times), reminders);

  const std::string calendar = GeneratedCalendar();
  const std::size_t before = WorkingSet();
  std::vector<CalendarFollowing> followed(5);
  for (CalendarFollowing& following : followed) {
    CalendarReminders read = RemindersOf(calendar, span);
    following.reminders = std::move(read.reminders);
    following.texts = std::move(read.texts);
  }
  const std::size_t after = WorkingSet();
  // What the reminders themselves hold: the parse's own memory is freed,
  // though the heap may keep it in the working set.
  std::size_t held = 0;
  for (const CalendarFollowing& following : followed) {
    held += following.reminders.capacity() * sizeof(CalendarReminder) +
            following.texts.capacity() * sizeof(following.texts[0]);
    for (const auto& text : following.texts) held += sizeof(std::wstring) + (text->capacity() + 1) * sizeof(wchar_t);
  }
  constexpr int kTicks = 10000;
  const LARGE_INTEGER from = benchmark::Clock();
  DateValue next = 0.0;
  for (int tick = 0; tick < kTicks; ++tick) next += NextReminderTime(followed, span.from + tick / 86400.0, 73051.0);
  const double tickMs = benchmark::Milliseconds(from, benchmark::Clock());
  std::wprintf(
      L"Five calendars of %d events: %zu reminders holding %.2f MB (the working set grew %.2f MB); "
      L"the tip's look for the next: %.2f us (%g)\n",
      kEvents, followed[0].reminders.size() * 5, static_cast<double>(held) / 1048576.0,
      static_cast<double>(after - before) / 1048576.0, 1000.0 * tickMs / kTicks, next > 0 ? 1.0 : 0.0);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc > 2 && std::wstring(argv[1]) == L"--shape") return ImportShape(argv[2]);
  if (argc > 1 && std::wstring(argv[1]) == L"--follow") return FollowedCalendars();
  const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 11;
  PrintPeakMemory(L"start");

  const AlarmTable full = FullTable();
  std::vector<double> exportTimes;
  std::size_t exportBytes = 0;
  for (int run = 0; run < runs; ++run) {
    const LARGE_INTEGER from = benchmark::Clock();
    const ExportResult result = ExportAlerts(full, WestEurope(), 46364.5, L"4.2.0.5");
    exportTimes.push_back(benchmark::Milliseconds(from, benchmark::Clock()));
    exportBytes = result.bytes.size();
  }
  std::wprintf(L"Export of %d alerts (%zu bytes): median %.2f ms over %d runs\n", kSlotCount, exportBytes,
               benchmark::Median(exportTimes), runs);
  PrintPeakMemory(L"export");

  const std::string calendar = GeneratedCalendar();
  const ImportContext context = BenchmarkContext();
  std::vector<double> importTimes;
  std::wstring summary;
  for (int run = 0; run < runs; ++run) {
    AlarmTable empty;
    const LARGE_INTEGER from = benchmark::Clock();
    const ImportResult result = ImportAlerts(calendar, L"generated.ics", empty, context);
    importTimes.push_back(benchmark::Milliseconds(from, benchmark::Clock()));
    summary = result.summary.substr(0, 120);
  }
  std::wprintf(L"Import of %d events (%.2f MB) into an empty table: median %.1f ms over %d runs\n", kEvents,
               static_cast<double>(calendar.size()) / 1048576.0, benchmark::Median(importTimes), runs);
  std::wprintf(L"  %ls...\n", summary.c_str());
  PrintPeakMemory(L"import");
  return 0;
}
