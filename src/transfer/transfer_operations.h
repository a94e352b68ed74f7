// Export to a file and import from one: the two operations that the tray
// menu, the command line and a hand-over from the command line all reach.
// They show nothing; the caller shows or prints the outcome.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "alarm_table.h"
#include "command_line.h"
#include "date_value.h"
#include "settings_store.h"

struct TransferOutcome {
  ExitCode exitCode = kExitDone;
  std::wstring summary;
};

// The path against the current folder, as a running Chimewatch (whose
// current folder is its own) must get it.
std::wstring AbsolutePath(std::wstring_view path);

// Writes every alert to `path`; an old file there is replaced only by a
// complete new one.
TransferOutcome ExportToFile(const AlarmTable& table, std::wstring_view path, const Clock& clock);

// Adds the file's alerts to the lowest free slots, never `heldSlot` (the
// slot an open editor has chosen for a new alert), saving each at once.
TransferOutcome ImportFromFile(AlarmTable& table, SettingsStore& store, std::wstring_view path,
                               std::optional<int> heldSlot, const Clock& clock);

TransferOutcome RunTransfer(const TransferRequest& request, AlarmTable& table, SettingsStore& store,
                            std::optional<int> heldSlot, const Clock& clock);
