#include "transfer_operations.h"

#include <windows.h>

#include "alarm_store.h"
#include "alert_calendar.h"
#include "atomic_write.h"
#include "whole_file.h"
#include "system_error_text.h"
#include "version.h"
#include "windows_zones.h"
#include "zone_clock.h"
#include "text_table.h"

namespace {

std::wstring FileNameOf(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring NotReadText(std::wstring_view path, const FileBytes& file) {
  if (file.tooLarge) {
    return Text(TextId::TransferFileTooLarge, {path});
  }
  return Text(TextId::TransferCouldNotRead, {path, SystemErrorText(file.error)});
}

// The PC's zone and clock, which reading a calendar needs.
ImportContext ImportContextAt(const Clock& clock) {
  ImportContext context;
  context.localZone = LocalZoneRules();
  context.nowLocal = clock.Now();
  context.findWindowsZone = FindWindowsZone;
  return context;
}

}  // namespace

std::wstring AbsolutePath(std::wstring_view path) {
  const std::wstring relative(path);
  const DWORD length = GetFullPathNameW(relative.c_str(), 0, nullptr, nullptr);
  if (length == 0) return relative;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(relative.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return relative;
  full.resize(written);
  return full;
}

ExportResult MakeExport(const AlarmTable& table, const Clock& clock) {
  const ZoneRules zone = LocalZoneRules();
  return ExportAlerts(table, zone, LocalToUtc(zone, clock.Now()), CHIMEWATCH_VERSION_TEXT_W);
}

TransferOutcome WriteExport(const ExportResult& result, std::wstring_view path) {
  if (const auto problem = WriteFileAtomically(path, result.bytes)) {
    return {kExitNotWritten, Text(TextId::TransferCouldNotWrite, {path, *problem})};
  }
  return {kExitDone, ExportSummary(result, path)};
}

TransferOutcome ExportToFile(const AlarmTable& table, std::wstring_view path, const Clock& clock) {
  return WriteExport(MakeExport(table, clock), path);
}

ImportFile ReadImportFile(std::wstring_view path, const Clock& clock, std::function<bool()> cancelled) {
  ImportFile result;
  const FileBytes file = ReadWholeFile(path, kMaxCalendarBytes);
  if (!file.read) {
    result.failed = TransferOutcome{kExitNotReadable, NotReadText(path, file)};
    return result;
  }
  result.fileName = FileNameOf(path);
  ImportContext context = ImportContextAt(clock);
  context.cancelled = std::move(cancelled);
  result.reading = ReadCalendar(file.bytes, result.fileName, context);
  if (result.reading.status == ImportStatus::Cancelled) {
    result.failed = TransferOutcome{kExitBusy, Text(TextId::TransferEndedBeforeImport)};
  } else if (result.reading.status != ImportStatus::Done) {
    result.failed = TransferOutcome{kExitNotReadable, result.reading.problem};
  }
  return result;
}

TransferOutcome PlaceImport(const ImportFile& file, AlarmTable& table, SettingsStore& store,
                            std::optional<int> heldSlot) {
  if (file.failed) return *file.failed;
  const AlarmTable before = table;
  ImportContext context;
  context.heldSlot = heldSlot;
  const ImportResult placed = PlaceAlerts(file.reading, file.fileName, table, context);
  const std::vector<SlotNotSaved> notSaved = SaveSlots(table, store, placed.newSlots);
  if (notSaved.empty()) return {kExitDone, placed.summary};
  // Placed again on the table as it was, each refused slot failing as a
  // save of its own would: the same slots, the refused alerts left out and
  // named in the summary (no box here).
  table = before;
  context.saveSlot = [&](int slot) -> std::optional<std::wstring> {
    for (const SlotNotSaved& refused : notSaved) {
      if (refused.slot == slot) return SaveFailedMessage(slot, refused.key, refused.reason);
    }
    return std::nullopt;
  };
  return {kExitNotWritten, PlaceAlerts(file.reading, file.fileName, table, context).summary};
}
