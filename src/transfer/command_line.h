// The command line: "chimewatch.exe /export FILE", "/import FILE",
// "/follow ADDRESS [/name NAME] [/lead MINUTES] [/user NAME]", "/unfollow
// NAME", "/refresh" and "/agenda [DAYS]" (any case, "-" as well as "/");
// nothing at all is a normal start. The switches only choose the
// operation: the menu and the command line reach the same work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
  kExitNotReached = 8,     // a calendar's server could not be reached, refused the user, or sent no calendar
};

// How a command went: its exit code and what it prints or shows.
struct TransferOutcome {
  ExitCode exitCode = kExitDone;
  std::wstring summary;
};

// The numbers travel in the hand-over to a running program.
enum class TransferKind : std::uint32_t { Export = 1, Import = 2, Follow = 3, Unfollow = 4, Refresh = 5, Agenda = 6 };

// What /follow asks for; it travels packed in the request's path.
struct FollowArguments {
  std::wstring address;  // as typed: the follower makes it the address fetched
  std::wstring name;     // empty: the calendar's own
  std::wstring user;
  std::optional<std::optional<int>> lead;  // not given; or given, as minutes or "none"
  std::optional<int> refreshMinutes;       // Add...'s; the command line keeps the default
  bool operator==(const FollowArguments&) const = default;
};
std::wstring PackFollowArguments(const FollowArguments& arguments);
// A lead as /lead and Add... take it: minutes from 0 to 10080; "none" or
// nothing for none. Not a lead: nothing at all.
std::optional<std::optional<int>> ReadLeadMinutes(std::wstring_view text);
// The minutes between two fetches, 5 to 1440; nothing for anything else.
std::optional<int> ReadRefreshMinutes(std::wstring_view text);
std::optional<FollowArguments> UnpackFollowArguments(std::wstring_view packed);

inline constexpr int kDefaultAgendaDays = 14;
inline constexpr int kMaxAgendaDays = 366;

struct TransferRequest {
  TransferKind kind = TransferKind::Export;
  // The file; for /follow its packed arguments, for /unfollow the name, for
  // /agenda the days.
  std::wstring path;

  bool operator==(const TransferRequest&) const = default;
};

struct CommandLine {
  // FollowLink: a webcal:// link opened with Chimewatch, followed once the
  // user says yes.
  enum class Action { Start, Transfer, FollowLink, NotUnderstood };
  Action action = Action::Start;
  TransferRequest request;  // for Transfer
  std::wstring message;     // for NotUnderstood: what to tell the user
};

// `arguments` without the program's own name. A single argument that is a
// webcal:// or webcals:// address is a link the shell opened with Chimewatch.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);
