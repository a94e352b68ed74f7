// Feeds arbitrary bytes to the calendar import, and checks that whatever
// it makes of them leaves the table sound: nothing changed when the file
// could not be read, only free slots taken, valid dates, and an export of
// the result that reads back; and the same bytes as a followed calendar:
// its reminders within the span, in time order, at most the bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "alert_calendar.h"
#include "calendar_components.h"
#include "calendar_reminders.h"
#include "calendar_test_support.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckReminders(std::string_view bytes) {
  ReminderSpan span;
  span.localZone = WestEurope();
  span.from = 46364.5;
  span.to = span.from + 14;
  const CalendarReminders read = RemindersOf(bytes, span);
  Check(read.readable || (read.reminders.empty() && !read.problem.empty()));
  Check(read.reminders.size() <= kMaxCalendarReminders);
  for (std::size_t i = 0; i < read.reminders.size(); ++i) {
    // An hour of slack: the span is compared in UTC, a reminder read on the local clock.
    Check(read.reminders[i].due >= span.from - 1.0 / 24 && read.reminders[i].due < span.to + 1.0 / 24);
    Check(i == 0 || read.reminders[i - 1].due <= read.reminders[i].due);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  CheckReminders(bytes);
  AlarmTable table;
  table[0].Exist = true;
  table[0].Naam = L"Kept";
  table[0].Tijd = 46000.5;
  table.Reserve(1);
  const AlarmTable before = table;
  int saves = 0;
  ImportContext context;
  context.localZone = WestEurope();
  context.nowLocal = 46364.5;  // 8 December 2026, noon
  context.heldSlot = 2;
  context.findWindowsZone = [](std::wstring_view name) -> std::optional<ZoneRules> {
    if (name.size() % 2 == 0) return std::nullopt;
    return WestEurope();
  };
  context.saveSlot = [&saves](int slot) -> std::optional<std::wstring> {
    ++saves;
    if (slot == 7) return std::wstring(L"full disk");
    return std::nullopt;
  };
  const ImportResult result = ImportAlerts(bytes, L"fuzz.ics", table, context);
  Check(!result.summary.empty());
  if (result.status == ImportStatus::NotReadable) {
    Check(saves == 0 && result.newSlots.empty());
    for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) Check(table[slot] == before[slot]);
    return 0;
  }
  Check(static_cast<std::size_t>(result.imported) == result.newSlots.size());
  for (const int slot : result.newSlots) {
    Check(slot != 1 && slot != 2 && slot != 7 && !before[slot].Exist);
    Check(table[slot].Exist && IsValidDate(table[slot].Tijd));
  }
  const ExportResult exported = ExportAlerts(table, context.localZone, 46364.5, L"fuzz");
  Check(exported.exported == 1 + result.imported);
  Check(ReadCalendarFile(exported.bytes).problem == CalendarProblem::None);
  return 0;
}
