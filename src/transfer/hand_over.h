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

// Waits for the answer until `deadline` (GetTickCount64); nothing when the
// running program did not answer by then.
std::optional<TransferOutcome> HandOverToRunningProgram(HWND running, const TransferRequest& request,
                                                        ULONGLONG deadline);

// In the running program: a hand-over, read from WM_COPYDATA.
struct ReceivedHandOver {
  TransferRequest request;
  HWND replyWindow = nullptr;
};

// The request, or nothing for a message that is no hand-over, is damaged,
// or came too late to be answered before the sender gives up.
std::optional<ReceivedHandOver> ReadHandOver(const COPYDATASTRUCT& data);

// Sends the summary back and returns what the WM_COPYDATA handler returns.
LRESULT AnswerHandOver(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome);
