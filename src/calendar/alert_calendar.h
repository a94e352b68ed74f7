// Export of the alarm table as an iCalendar file (RFC 5545) and import of
// one into it: the two operations behind the tray menu's "Export alerts..."
// and "Import alerts..." and the command line's /export and /import. The
// caller reads and writes the file; these take and give its bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm_table.h"
#include "zone_rules.h"

// Larger files are refused unread.
inline constexpr std::size_t kMaxCalendarBytes = std::size_t{16} << 20;

struct ExportResult {
  std::string bytes;              // the file: UTF-8 without BOM, CR LF
  int exported = 0;               // VEVENTs written
  std::vector<int> damagedSlots;  // reserved slots (unreadable stored values), left out
};

// Every existing alert as one VEVENT, times in `localZone` (the PC's zone,
// written as a VTIMEZONE), DTSTAMP `nowUtc`, PRODID naming `programVersion`.
ExportResult ExportAlerts(const AlarmTable& table, const ZoneRules& localZone, DateValue nowUtc,
                          std::wstring_view programVersion);

// "Exported 12 alerts to C:\...\Chimewatch alerts.ics." and the damaged
// slots left out, if any.
std::wstring ExportSummary(const ExportResult& result, std::wstring_view path);

struct ImportContext {
  ZoneRules localZone;  // the PC's zone
  DateValue nowLocal = 0.0;
  // Windows' rules for a zone name written in a TZID (Outlook and Exchange
  // write Windows names), when Windows knows it.
  std::function<std::optional<ZoneRules>(std::wstring_view name)> findWindowsZone;
  // The slot an open editor has chosen for a new alert: never taken.
  std::optional<int> heldSlot;
  // Saves one slot at once; returns an error text, or nullopt when saved.
  std::function<std::optional<std::wstring>(int slot)> saveSlot;
  // Asked before each event is read: true when the program is ending, so
  // that a long reading stops at once and nothing is imported.
  std::function<bool()> cancelled;
};

enum class ImportStatus {
  Done,         // the file was read; some events may have been left out
  NotReadable,  // not iCalendar, broken in its structure, or too large: nothing imported
  Cancelled     // the reading was stopped (the program is ending): nothing imported
};

// What one event of a file becomes: an alert kept exactly, or the reason
// it is left out.
struct EventOutcome {
  std::optional<AlarmRecord> alert;
  std::wstring name;    // for the summary: the description, or "(no description)"
  std::wstring reason;  // why it was left out
};

// A calendar read and judged, not yet placed: what each event becomes.
// Made without the table, so that the file work needs no lock on it.
struct CalendarReading {
  ImportStatus status = ImportStatus::Done;
  std::wstring problem;  // when NotReadable: the summary
  std::vector<EventOutcome> events;
  std::vector<std::string> unknownZones;  // zone names read as local time
  // The inner steps the reading took (an event read, a changed occurrence
  // looked at, a zone rule's onset in a year worked out): they must grow in
  // step with the file, never faster.
  std::size_t steps = 0;
};

struct ImportResult {
  ImportStatus status = ImportStatus::Done;
  int imported = 0;
  int notSaved = 0;           // alerts the store refused: named in the summary
  std::vector<int> newSlots;  // the slots the new alerts took
  std::wstring summary;       // for the box or standard output
};

// Reads the calendar and judges each event against the context's clock and
// zones. `fileName` (without folder) names the file in a problem. Never
// throws, whatever the bytes.
CalendarReading ReadCalendar(std::string_view bytes, std::wstring_view fileName, const ImportContext& context);

// Adds what the reading keeps to the lowest free slots, saving each at once.
ImportResult PlaceAlerts(const CalendarReading& reading, std::wstring_view fileName, AlarmTable& table,
                         const ImportContext& context);

// Both in one.
ImportResult ImportAlerts(std::string_view bytes, std::wstring_view fileName, AlarmTable& table,
                          const ImportContext& context);
