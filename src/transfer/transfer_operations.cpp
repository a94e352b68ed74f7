#include "transfer_operations.h"

#include <windows.h>

#include "alarm_store.h"
#include "alert_calendar.h"
#include "atomic_write.h"
#include "calendar_file.h"
#include "version.h"
#include "windows_zones.h"

namespace {

std::wstring FileNameOf(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
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

TransferOutcome ExportToFile(const AlarmTable& table, std::wstring_view path, const Clock& clock) {
  const ZoneRules zone = LocalZoneRules();
  const ExportResult result = ExportAlerts(table, zone, LocalToUtc(zone, clock.Now()), CHIMEWATCH_VERSION_TEXT_W);
  if (const auto problem = WriteFileAtomically(path, result.bytes)) {
    return {kExitNotWritten, L"Could not write " + std::wstring(path) + L": " + *problem + L" Nothing was exported."};
  }
  return {kExitDone, ExportSummary(result, path)};
}

TransferOutcome ImportFromFile(AlarmTable& table, SettingsStore& store, std::wstring_view path,
                               std::optional<int> heldSlot, const Clock& clock) {
  const CalendarFile file = ReadCalendarFile(path);
  if (!file.read) return {kExitNotReadable, file.problem};
  ImportContext context;
  context.localZone = LocalZoneRules();
  context.nowLocal = clock.Now();
  context.findWindowsZone = FindWindowsZone;
  context.heldSlot = heldSlot;
  // No box here: a failed save is named in the summary.
  context.saveSlot = [&](int slot) -> std::optional<std::wstring> {
    if (const auto failedKey = Save(table, store, slot)) return SaveFailedMessage(slot, *failedKey, store.LastError());
    return std::nullopt;
  };
  const ImportResult result = ImportAlerts(file.bytes, FileNameOf(path), table, context);
  return {result.status == ImportStatus::Done ? kExitDone : kExitNotReadable, result.summary};
}

TransferOutcome RunTransfer(const TransferRequest& request, AlarmTable& table, SettingsStore& store,
                            std::optional<int> heldSlot, const Clock& clock) {
  if (request.kind == TransferKind::Export) return ExportToFile(table, request.path, clock);
  return ImportFromFile(table, store, request.path, heldSlot, clock);
}
