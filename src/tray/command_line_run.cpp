#include "command_line_run.h"

#include <windows.h>

#include "alarm_store.h"
#include "hand_over.h"
#include "local_clock.h"
#include "settings_location.h"
#include "single_instance.h"

namespace {

// How long a command-line run waits for a running program or the lock.
constexpr ULONGLONG kCommandLineWaitMs = 10000;
constexpr DWORD kAskAgainMs = 50;
constexpr wchar_t kLostText[] =
    L"Chimewatch took the request but ended or stopped answering before it said how it went. "
    L"Look at the file or the list of alerts to see what was done.";
constexpr wchar_t kElevatedCommandText[] =
    L"Chimewatch is already running as administrator. Run the command from a command prompt run as "
    L"administrator. Nothing was done.";

// Until the deadline: the running program's outcome, or nothing once the
// lock is ours.
std::optional<TransferOutcome> HandOverOrTakeLock(SingleInstance& lock, const TransferRequest& request,
                                                  ULONGLONG deadline) {
  if (lock.HeldOutOfReach()) return TransferOutcome{kExitElevated, kElevatedCommandText};
  const wchar_t* busy = L"Another Chimewatch command kept the alerts for more than 10 seconds.";
  while (!lock.Owned() && GetTickCount64() < deadline) {
    HWND running = lock.WaitForWindowOrLock(deadline);
    if (!running) break;
    const HandOverReply reply = HandOverToRunningProgram(running, request, deadline);
    switch (reply.answer) {
      case HandOverAnswer::Done: return reply.outcome;
      case HandOverAnswer::NotAnswered: return TransferOutcome{kExitNoAnswer, kNoAnswerText};
      case HandOverAnswer::Lost: return TransferOutcome{kExitLost, kLostText};
      case HandOverAnswer::NotReady:
        busy = L"Chimewatch was busy (starting, or reading another file) for 10 seconds.";
        break;
      case HandOverAnswer::Ending: busy = L"Chimewatch was ending and kept the alerts for more than 10 seconds."; break;
    }
    Sleep(kAskAgainMs);
  }
  if (lock.Owned()) return std::nullopt;
  return TransferOutcome{kExitBusy, std::wstring(busy) + L" Nothing was done."};
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
