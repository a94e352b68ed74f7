#include "hand_over.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "random_number.h"
#include "scoped_handles.h"
#include "window_handle_bits.h"

namespace {

constexpr ULONG_PTR kRequestTag = 0x43574834;  // "CWH4"
constexpr ULONG_PTR kResultTag = 0x43574835;   // "CWH5": the token, the exit code and the summary
// The handler's result: a mark, with the exit code for a request done. A
// window that does not know the message returns 0.
constexpr LRESULT kAnsweredMark = 0x43570000;
constexpr LRESULT kNotReadyMark = 0x43580000;
constexpr LRESULT kEndingMark = 0x43590000;
constexpr LRESULT kAcceptedMark = 0x435A0000;  // taken: the result follows as a message
constexpr LRESULT kMarkMask = 0x7FFF0000;
constexpr LRESULT kCodeMask = 0xFF;
// How much longer than its deadline the sender waits for the answer: the
// running program may have taken the request just before it.
constexpr ULONGLONG kAnswerGraceMs = 5000;
constexpr UINT kReplyTimeoutMs = 2000;
// While the work runs: how often the sender looks whether the running
// program still lives, and how long it may take no message before it counts
// as hung (a flush on a slow share takes a fraction of a second).
constexpr DWORD kLookEveryMs = 500;
constexpr UINT kStopsAnsweringMs = 30000;
constexpr wchar_t kReplyWindowClass[] = L"ChimewatchHandOverReply";

// Fixed layout, the same for 32- and 64-bit programs; the path follows as
// UTF-16 without a terminating NUL.
struct WireHeader {
  std::uint32_t kind;
  std::uint32_t replyWindow;  // window handles keep to 32 bits across processes
  std::uint64_t deadline;     // GetTickCount64 when the sender stops waiting
  std::uint64_t token;        // comes back with the result, which no one else can know
};
static_assert(sizeof(WireHeader) == 24);

// The result's first bytes.
struct ResultHeader {
  std::uint64_t token;
  std::uint32_t code;
  std::uint32_t unused;
};
static_assert(sizeof(ResultHeader) == 16);

// Any program may send to the reply window and name any window as the
// sender; only the running program has the request's random token.
std::uint64_t NewToken() { return RandomNumber(); }

std::uint32_t HandleBits(HWND window) { return WindowHandleBits(reinterpret_cast<std::uintptr_t>(window)); }

HWND WindowFromBits(std::uint32_t bits) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(WidenedWindowHandle(bits)));
}

// A process's integrity level (the last part of its token's mandatory
// label), or nothing when its token cannot be read.
std::optional<DWORD> IntegrityLevelOf(HANDLE process) {
  ScopedHandle<HANDLE, CloseKernelHandle> token;
  // The label's SID has a single part: a small buffer holds it.
  alignas(TOKEN_MANDATORY_LABEL) unsigned char buffer[64];
  DWORD size = 0;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.Receive()) ||
      !GetTokenInformation(token.Get(), TokenIntegrityLevel, buffer, sizeof buffer, &size)) {
    return std::nullopt;
  }
  PSID label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
  const UCHAR parts = *GetSidSubAuthorityCount(label);
  if (parts == 0) return std::nullopt;
  return *GetSidSubAuthority(label, parts - 1u);
}

// Windows drops a message from a lower integrity level (a running program
// started normally, answering a command run as administrator) unless the
// window lets it in; MSGFLT_ALLOW lets it in from every lower level, low
// integrity included, so only a command above the running program asks.
bool RunningProgramIsBelowUs(DWORD runningProcess) {
  const ScopedHandle<HANDLE, CloseKernelHandle> process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, runningProcess));
  const auto theirs = process.Get() ? IntegrityLevelOf(process.Get()) : std::nullopt;
  const auto ours = IntegrityLevelOf(GetCurrentProcess());
  return theirs && ours && *theirs < *ours;
}

// A message-only window of the sending process that collects the result,
// from the running program's window only.
class ReplyWindow {
 public:
  explicit ReplyWindow(HWND running) : running_(running), token_(NewToken()) {
    GetWindowThreadProcessId(running, &runningProcess_);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kReplyWindowClass;
    RegisterClassExW(&windowClass);
    hwnd_ =
        CreateWindowExW(0, kReplyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, this);
    if (hwnd_ && RunningProgramIsBelowUs(runningProcess_)) {
      ChangeWindowMessageFilterEx(hwnd_, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
    }
  }
  ~ReplyWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  ReplyWindow(const ReplyWindow&) = delete;
  ReplyWindow& operator=(const ReplyWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  std::uint64_t Token() const { return token_; }
  const std::wstring& Summary() const { return summary_; }
  std::optional<ExitCode> Result() const { return result_; }

  // Takes this thread's messages until the result came, however long the
  // work runs; false once the running program can no longer send it: its
  // process ended, its window went away, or it took no message for
  // kStopsAnsweringMs.
  bool WaitForResultWhileRunning() {
    const ScopedHandle<HANDLE, CloseKernelHandle> process(OpenProcess(SYNCHRONIZE, FALSE, runningProcess_));
    HANDLE handles[] = {process.Get()};
    while (!result_) {
      const DWORD waited = MsgWaitForMultipleObjects(process.Get() ? 1 : 0, handles, FALSE, kLookEveryMs, QS_ALLINPUT);
      TakeMessages();
      if (result_) break;
      if ((process.Get() && waited == WAIT_OBJECT_0) || !IsWindow(running_)) return false;
      // The result, a sent message, is taken while this waits.
      DWORD_PTR ignored = 0;
      if (!SendMessageTimeoutW(running_, WM_NULL, 0, 0, SMTO_NORMAL, kStopsAnsweringMs, &ignored)) {
        TakeMessages();
        return result_.has_value();
      }
    }
    return true;
  }

 private:
  static void TakeMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }

  // Any program may send to this window; wParam names the sender's window,
  // which must be the one the request went to, in its process.
  bool FromRunningProgram(WPARAM sender) const {
    DWORD senderProcess = 0;
    return SameWindowHandle(sender, reinterpret_cast<std::uintptr_t>(running_)) &&
           GetWindowThreadProcessId(WindowFromBits(WindowHandleBits(sender)), &senderProcess) != 0 &&
           senderProcess == runningProcess_;
  }

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* window = reinterpret_cast<ReplyWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_COPYDATA && window) {
      const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data.dwData != kResultTag || data.cbData < sizeof(ResultHeader) || !window->FromRunningProgram(wParam) ||
          window->result_) {
        return FALSE;
      }
      const auto* bytes = static_cast<const unsigned char*>(data.lpData);
      ResultHeader header;
      std::memcpy(&header, bytes, sizeof header);
      if (header.token != window->token_) return FALSE;
      window->result_ = static_cast<ExitCode>(header.code);
      window->summary_.resize((data.cbData - sizeof header) / sizeof(wchar_t));
      std::memcpy(window->summary_.data(), bytes + sizeof header, window->summary_.size() * sizeof(wchar_t));
      return TRUE;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND running_;
  std::uint64_t token_;
  DWORD runningProcess_ = 0;
  HWND hwnd_ = nullptr;
  std::wstring summary_;
  std::optional<ExitCode> result_;
};

}  // namespace

HandOverReply HandOverToRunningProgram(HWND running, const TransferRequest& request, ULONGLONG deadline) {
  ReplyWindow reply(running);
  const ULONGLONG now = GetTickCount64();
  if (!reply.Handle()) return {};
  // Time is up before anything was sent: nothing was done, and it may not
  // be sent any more.
  if (now >= deadline) return {HandOverAnswer::NotReady, {}};

  const WireHeader header{static_cast<std::uint32_t>(request.kind), HandleBits(reply.Handle()), deadline,
                          reply.Token()};
  const std::size_t pathBytes = request.path.size() * sizeof(wchar_t);
  std::string payload(reinterpret_cast<const char*>(&header), sizeof header);
  payload.append(reinterpret_cast<const char*>(request.path.data()), pathBytes);
  COPYDATASTRUCT data{kRequestTag, static_cast<DWORD>(payload.size()), payload.data()};

  // While it waits, this thread takes the sent reply.
  DWORD_PTR result = 0;
  SetLastError(ERROR_SUCCESS);
  if (!SendMessageTimeoutW(running, WM_COPYDATA, reinterpret_cast<WPARAM>(reply.Handle()),
                           reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                           static_cast<UINT>(deadline - now + kAnswerGraceMs), &result)) {
    const DWORD error = GetLastError();
    // A window gone meanwhile belonged to a program that has ended.
    return {error == ERROR_TIMEOUT || error == ERROR_SUCCESS ? HandOverAnswer::NotAnswered : HandOverAnswer::Ending,
            {}};
  }
  const auto answer = static_cast<LRESULT>(result);
  switch (answer & kMarkMask) {
    case kAnsweredMark: return {HandOverAnswer::Done, {static_cast<ExitCode>(answer & kCodeMask), reply.Summary()}};
    case kEndingMark: return {HandOverAnswer::Ending, {}};
    case kAcceptedMark:
      if (!reply.WaitForResultWhileRunning()) return {HandOverAnswer::Lost, {}};
      return {HandOverAnswer::Done, {*reply.Result(), reply.Summary()}};
    // Also a window that does not know the request: one of ours still
    // starting answers so before it has a handler for it.
    default: return {HandOverAnswer::NotReady, {}};
  }
}

std::optional<ReceivedHandOver> ReadHandOver(const COPYDATASTRUCT& data) {
  // An empty path is /refresh's.
  if (data.dwData != kRequestTag || data.cbData < sizeof(WireHeader) || !data.lpData ||
      (data.cbData - sizeof(WireHeader)) % sizeof(wchar_t) != 0) {
    return std::nullopt;
  }
  WireHeader header;
  std::memcpy(&header, data.lpData, sizeof header);
  const auto kind = static_cast<TransferKind>(header.kind);
  if (header.kind < static_cast<std::uint32_t>(TransferKind::Export) ||
      header.kind > static_cast<std::uint32_t>(TransferKind::Agenda)) {
    return std::nullopt;
  }
  ReceivedHandOver handOver;
  handOver.request.kind = kind;
  handOver.request.path.resize((data.cbData - sizeof header) / sizeof(wchar_t));
  std::memcpy(handOver.request.path.data(), static_cast<const unsigned char*>(data.lpData) + sizeof header,
              handOver.request.path.size() * sizeof(wchar_t));
  handOver.replyWindow = WindowFromBits(header.replyWindow);
  handOver.deadline = header.deadline;
  handOver.token = header.token;
  if (handOver.request.path.find(L'\0') != std::wstring::npos || !IsWindow(handOver.replyWindow)) return std::nullopt;
  return handOver;
}

LRESULT RefuseHandOver(HandOverAnswer why) { return why == HandOverAnswer::Ending ? kEndingMark : kNotReadyMark; }

void SendHandOverResult(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome) {
  const ResultHeader header{handOver.token, static_cast<std::uint32_t>(outcome.exitCode), 0};
  std::string payload(reinterpret_cast<const char*>(&header), sizeof header);
  payload.append(reinterpret_cast<const char*>(outcome.summary.data()), outcome.summary.size() * sizeof(wchar_t));
  COPYDATASTRUCT data{kResultTag, static_cast<DWORD>(payload.size()), payload.data()};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(handOver.replyWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored);
}

LRESULT AnswerHandOver(HWND self, const ReceivedHandOver& handOver, const TransferOutcome& outcome) {
  SendHandOverResult(self, handOver, outcome);
  return kAnsweredMark | outcome.exitCode;
}

LRESULT AcceptHandOver() { return kAcceptedMark; }
