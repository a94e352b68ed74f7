// A command-line run that finds Chimewatch running hands its request over
// instead of working on the store itself: WM_COPYDATA to the running
// program's main window with the kind, the absolute path and a reply window
// of the new process. The running program answers at once whether it takes
// the request; once taken, it does the work on its own table, however long
// a slow disk makes it, and sends the exit code and the summary to the
// reply window (WM_COPYDATA again), which takes them from that window
// only. The payload holds only fixed-size numbers and the path, no pointer
// or pointer-sized field, so a 32-bit run can hand over to a 64-bit program
// and back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "command_line.h"
#include "transfer_operations.h"

enum class HandOverAnswer {
  Done,         // the running program did the work: `outcome` says how it went
  NotReady,     // it is still loading its alerts, or busy with a file: ask again
  Ending,       // it is ending (or its window went away): wait for the lock
  NotAnswered,  // it did not take the request in time, and will not do the work later
  Lost,         // it took the request, then ended or stopped answering before it said how it went
};

struct HandOverReply {
  HandOverAnswer answer = HandOverAnswer::NotAnswered;
  TransferOutcome outcome;  // for Done
};

// Sends the request, which carries `deadline` (GetTickCount64): the running
// program takes nothing after it. Once it has taken the request, waits for
// the result as long as the work runs, while the running program lives and
// answers.
HandOverReply HandOverToRunningProgram(HWND running, const TransferRequest& request, ULONGLONG deadline);

// In the running program: a hand-over, read from WM_COPYDATA.
struct ReceivedHandOver {
  TransferRequest request;
  HWND replyWindow = nullptr;
  ULONGLONG deadline = 0;   // GetTickCount64 after which nothing may be started
  std::uint64_t token = 0;  // sent back with the result
};

// The request, or nothing for a message that is no hand-over or is damaged.
std::optional<ReceivedHandOver> ReadHandOver(const COPYDATASTRUCT& data);

// What the WM_COPYDATA handler returns while the program cannot take a
// request: before its alerts are loaded, or once it is ending.
LRESULT RefuseHandOver(HandOverAnswer why);

// Sends the summary back and returns what the WM_COPYDATA handler returns:
// for a request answered at once without being taken (past its deadline).
LRESULT AnswerHandOver(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome);

// For a request taken: the handler returns AcceptHandOver(), and the
// result follows, when the work is done, as a message to the reply window.
LRESULT AcceptHandOver();
void SendHandOverResult(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome);
