// Export to a file and import from one: the two operations that the tray
// menu, the command line and a hand-over from the command line all reach.
// They show nothing; the caller shows or prints the outcome.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "alarm_table.h"
#include "alert_calendar.h"
#include "command_line.h"
#include "date_value.h"
#include "settings_store.h"

// The path against the current folder, as a running Chimewatch (whose
// current folder is its own) must get it.
std::wstring AbsolutePath(std::wstring_view path);

// Export: the file made from the table (under the lock), then written
// (outside it); an old file there is replaced only by a complete new one.
ExportResult MakeExport(const AlarmTable& table, const Clock& clock);
TransferOutcome WriteExport(const ExportResult& result, std::wstring_view path);
TransferOutcome ExportToFile(const AlarmTable& table, std::wstring_view path, const Clock& clock);

// Import: the file read and judged (without the lock), then placed in the
// lowest free slots, never `heldSlot` (the slot an open editor has chosen
// for a new alert), and saved in one write of the store (under the lock):
// chimewatch.ini on a slow stick is flushed once, not once per alert.
struct ImportFile {
  std::optional<TransferOutcome> failed;  // unreadable: nothing to place
  std::wstring fileName;
  CalendarReading reading;
};
// `cancelled` (may be empty) stops a long reading when the program ends.
ImportFile ReadImportFile(std::wstring_view path, const Clock& clock, std::function<bool()> cancelled = {});
TransferOutcome PlaceImport(const ImportFile& file, AlarmTable& table, SettingsStore& store,
                            std::optional<int> heldSlot);

// What a command-line run says when the running program did not answer in time.
// What a command hears when the running program ended before it imported.
