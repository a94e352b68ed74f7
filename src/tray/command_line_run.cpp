#include "command_line_run.h"

#include <windows.h>

#include "alarm_store.h"
#include "hand_over.h"
#include "local_clock.h"
#include "settings_location.h"
#include "single_instance.h"
#include "text_table.h"

namespace {

// How long a command-line run waits for a running program or the lock.
constexpr ULONGLONG kCommandLineWaitMs = 10000;
constexpr DWORD kAskAgainMs = 50;

// Until the deadline: the running program's outcome, or nothing once the
// lock is ours.
std::optional<TransferOutcome> HandOverOrTakeLock(SingleInstance& lock, const TransferRequest& request,
                                                  ULONGLONG deadline) {
  if (lock.HeldOutOfReach()) return TransferOutcome{kExitElevated, Text(TextId::TransferElevatedCommand)};
  TextId busy = TextId::TransferOtherCommandBusy;
  while (!lock.Owned() && GetTickCount64() < deadline) {
    HWND running = lock.WaitForWindowOrLock(deadline);
    if (!running) break;
    const HandOverReply reply = HandOverToRunningProgram(running, request, deadline);
    switch (reply.answer) {
      case HandOverAnswer::Done: return reply.outcome;
      case HandOverAnswer::NotAnswered: return TransferOutcome{kExitNoAnswer, Text(TextId::TransferNoAnswer)};
      case HandOverAnswer::Lost: return TransferOutcome{kExitLost, Text(TextId::TransferLost)};
      case HandOverAnswer::NotReady: busy = TextId::TransferNotReadyBusy; break;
      case HandOverAnswer::Ending: busy = TextId::TransferEndingBusy; break;
    }
    Sleep(kAskAgainMs);
  }
  if (lock.Owned()) return std::nullopt;
  return TransferOutcome{kExitBusy, Text(busy)};
}

}  // namespace

TransferOutcome RunFromCommandLine(TransferRequest request) {
  request.path = AbsolutePath(request.path);
  LocalClock clock;
  const ProgramIdentity identity = ThisProgramsIdentity();
  // With no program running the file is read before the lock is taken. A
  // running program reads it itself; only when it ended meanwhile is the
  // file read here under the lock.
  std::optional<ImportFile> importFile;
  if (request.kind == TransferKind::Import && !RunningProgramWindow(identity)) {
    importFile = ReadImportFile(request.path, clock);
    if (importFile->failed) return *importFile->failed;
  }
  ExportResult exported;
  {
    SingleInstance lock(identity);
    if (auto outcome = HandOverOrTakeLock(lock, request, GetTickCount64() + kCommandLineWaitMs)) return *outcome;
    const auto store = OpenSettingsStore();
    LaadAlarmen(Alarms, *store);
    if (request.kind == TransferKind::Import) {
      if (!importFile) importFile = ReadImportFile(request.path, clock);
      return PlaceImport(*importFile, Alarms, *store, std::nullopt);
    }
    exported = MakeExport(Alarms, clock);
  }
  return WriteExport(exported, request.path);
}
