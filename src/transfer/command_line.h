// The command line: "chimewatch.exe /export FILE" and "/import FILE" (any
// case, "-" as well as "/"); nothing at all is a normal start. The switches
// only choose the operation: the menu and the command line reach the same
// export and import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a command-line run ends with.
enum ExitCode : int {
  kExitDone = 0,
  kExitNotReadable = 1,    // unreadable, not iCalendar, broken, or over 16 MiB: nothing imported
  kExitNotUnderstood = 2,  // unknown switch, missing or extra file name: nothing done
  kExitNotWritten = 3,     // the export file, or an imported alert, could not be written
  kExitNoAnswer = 4,       // the running Chimewatch did not take it in time: nothing done, then or later
  kExitBusy = 5,           // the alerts stayed taken (starting, ending, another command): nothing done
  kExitLost = 6,           // taken, but the running Chimewatch ended or hung before it said how it went
  kExitElevated = 7,       // another Chimewatch runs as administrator, out of reach: nothing done
};

// The numbers travel in the hand-over to a running program.
enum class TransferKind : std::uint32_t { Export = 1, Import = 2 };

struct TransferRequest {
  TransferKind kind = TransferKind::Export;
  std::wstring path;

  bool operator==(const TransferRequest&) const = default;
};

struct CommandLine {
  enum class Action { Start, Transfer, NotUnderstood };
  Action action = Action::Start;
  TransferRequest request;  // for Transfer
  std::wstring message;     // for NotUnderstood: what to tell the user
};

// `arguments` without the program's own name.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);
