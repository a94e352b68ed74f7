// A command-line run that finds Chimewatch running hands its request over
// instead of working on the store itself: WM_COPYDATA to the running
// program's main window with the kind, the absolute path and a reply window
// of the new process. The running program does the work on its own table,
// sends the summary back to the reply window (WM_COPYDATA again) and returns
// the exit code. The payload holds only fixed-size numbers and the path, no
// pointer or pointer-sized field, so a 32-bit run can hand over to a 64-bit
// program and back.
#pragma once

#include <windows.h>

#include <optional>

#include "command_line.h"
#include "transfer_operations.h"

enum class HandOverAnswer {
  Done,         // the running program did the work: `outcome` says how it went
  NotReady,     // it is still loading its alerts: ask again
  Ending,       // it is ending (or its window went away): wait for the lock
  NotAnswered,  // it did not answer in time, and will not do the work later
};

struct HandOverReply {
  HandOverAnswer answer = HandOverAnswer::NotAnswered;
  TransferOutcome outcome;  // for Done
};

// Sends the request, which carries `deadline` (GetTickCount64): the running
// program starts nothing after it. Waits for the answer (and for a result
// that follows it, taking this thread's messages) a little longer, for work
// begun just before the deadline.
HandOverReply HandOverToRunningProgram(HWND running, const TransferRequest& request, ULONGLONG deadline);

// In the running program: a hand-over, read from WM_COPYDATA.
struct ReceivedHandOver {
  TransferRequest request;
  HWND replyWindow = nullptr;
  ULONGLONG deadline = 0;  // GetTickCount64 after which nothing may be started
};

// The request, or nothing for a message that is no hand-over or is damaged.
std::optional<ReceivedHandOver> ReadHandOver(const COPYDATASTRUCT& data);

// What the WM_COPYDATA handler returns while the program cannot take a
// request: before its alerts are loaded, or once it is ending.
LRESULT RefuseHandOver(HandOverAnswer why);

// Sends the summary back and returns what the WM_COPYDATA handler returns.
LRESULT AnswerHandOver(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome);

// For a request done later (an import, read on a thread of its own): the
// handler returns AcceptHandOver(), and the result follows, by the sender's
// deadline and a little after, as a message to the reply window.
LRESULT AcceptHandOver();
void SendHandOverResult(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome);
