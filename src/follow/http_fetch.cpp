#include "http_fetch.h"

#include <windows.h>
#include <winhttp.h>

#include "alert_calendar.h"
#include "calendar_address.h"
#include "number_text.h"
#include "scoped_handles.h"
#include "text_convert.h"
#include "text_table.h"
#include "utf8_text.h"

#ifndef WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY
#define WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY 4
#endif

namespace {

constexpr int kResolveTimeoutMs = 10000;
constexpr int kConnectTimeoutMs = 10000;
constexpr int kSendTimeoutMs = 15000;
constexpr int kReceiveTimeoutMs = 20000;
constexpr ULONGLONG kWholeFetchMs = 60000;  // a server that trickles its answer
constexpr int kMaxRedirects = 5;
constexpr wchar_t kUserAgent[] = L"Chimewatch";

struct CloseInternet {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = ScopedHandle<HINTERNET, CloseInternet>;

std::wstring WinHttpErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     GetModuleHandleW(L"winhttp.dll"), error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring words = length != 0 ? std::wstring(text, length) : L"error " + WideDecimalText(error);
  LocalFree(text);
  while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L'.')) words.pop_back();
  return words;
}

FetchAnswer Failed(FetchProblem problem, int status = 0, std::wstring detail = {}) {
  FetchAnswer answer;
  answer.failure = {problem, status, std::move(detail)};
  return answer;
}

FetchAnswer FailedCall() {
  const DWORD error = GetLastError();
  if (error == ERROR_WINHTTP_TIMEOUT) return Failed(FetchProblem::TimedOut);
  // A synchronous request learns only that the certificate failed (12175);
  // the finer codes come from older Windows and from Wine.
  switch (error) {
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE: return Failed(FetchProblem::NotTrusted);
    default: break;
  }
  return Failed(FetchProblem::NoConnection, 0, WinHttpErrorText(error));
}

// The session: the proxy as Windows 8.1 and later find it for the user,
// else (Windows 7) the user's proxy as Internet Explorer sets it.
void OpenSession(InternetHandle& session, std::wstring& proxy) {
  session.Reset(
      WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session.Get()) {
    session.Reset(
        WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
    if (WinHttpGetIEProxyConfigForCurrentUser(&config)) {
      if (config.lpszProxy != nullptr) proxy = config.lpszProxy;
      for (wchar_t* text : {config.lpszAutoConfigUrl, config.lpszProxy, config.lpszProxyBypass}) GlobalFree(text);
    }
  }
  if (session.Get()) {
    WinHttpSetTimeouts(session.Get(), kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs, kReceiveTimeoutMs);
  }
}

std::optional<std::wstring> Header(HINTERNET request, DWORD which) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return std::nullopt;
  std::wstring value(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  value.resize(size / sizeof(wchar_t));
  return value;
}

std::string Narrow(const std::optional<std::wstring>& text) {
  std::string narrow;
  if (text) {
    for (const wchar_t c : *text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return narrow;
}

// A Location header against the address it came from.
std::wstring Resolved(const std::wstring& location, const std::wstring& from) {
  if (location.find(L"://") != std::wstring::npos) return location;
  const std::size_t hostStart = from.find(L"://") + 3;
  const std::size_t pathStart = std::min(from.find(L'/', hostStart), from.size());
  if (location.rfind(L"//", 0) == 0) return from.substr(0, hostStart - 2) + location;
  if (!location.empty() && location[0] == L'/') return from.substr(0, pathStart) + location;
  const std::size_t lastSlash = from.rfind(L'/');
  return (lastSlash >= pathStart && lastSlash != std::wstring::npos ? from.substr(0, lastSlash + 1) : from + L"/") +
         location;
}

// One request, answered: its status, or a failure.
class Exchange {
 public:
  Exchange(HINTERNET session, const std::wstring& proxy, const FetchRequest& fetch)
      : session_(session), proxy_(proxy), fetch_(fetch) {}

  // False with `failure` set when no answer came.
  bool Send(const std::wstring& address, FetchAnswer& failure) {
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(address.c_str(), 0, 0, &parts)) return (failure = FailedCall(), false);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    connection_.Reset(WinHttpConnect(session_, host.c_str(), parts.nPort, 0));
    if (!connection_.Get()) return (failure = FailedCall(), false);
    const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    request_.Reset(WinHttpOpenRequest(connection_.Get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, secure));
    if (!request_.Get()) return (failure = FailedCall(), false);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(request_.Get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);
    if (!proxy_.empty()) {
      WINHTTP_PROXY_INFO info = {WINHTTP_ACCESS_TYPE_NAMED_PROXY, const_cast<wchar_t*>(proxy_.c_str()), nullptr};
      WinHttpSetOption(request_.Get(), WINHTTP_OPTION_PROXY, &info, sizeof info);
    }
    std::wstring headers = L"Accept: text/calendar, */*;q=0.5\r\n";
    if (!fetch_.etag.empty()) headers += L"If-None-Match: " + Utf8ToWide(fetch_.etag) + L"\r\n";
    if (!fetch_.lastModified.empty()) headers += L"If-Modified-Since: " + Utf8ToWide(fetch_.lastModified) + L"\r\n";
    if (!SendAndReceive(headers)) return (failure = FailedCall(), false);
    if (status_ == HTTP_STATUS_DENIED && !fetch_.user.empty() && AnswerChallenge()) {
      if (!SendAndReceive(headers)) return (failure = FailedCall(), false);
    }
    return true;
  }

  DWORD Status() const { return status_; }
  HINTERNET Request() const { return request_.Get(); }

 private:
  bool SendAndReceive(const std::wstring& headers) {
    if (!WinHttpSendRequest(request_.Get(), headers.c_str(), static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0, 0,
                            0) ||
        !WinHttpReceiveResponse(request_.Get(), nullptr)) {
      return false;
    }
    DWORD size = sizeof status_;
    return WinHttpQueryHeaders(request_.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status_, &size, WINHTTP_NO_HEADER_INDEX) != FALSE;
  }

  // The strongest scheme the server offers that WinHTTP speaks.
  bool AnswerChallenge() {
    DWORD schemes = 0;
    DWORD first = 0;
    DWORD target = 0;
    if (!WinHttpQueryAuthSchemes(request_.Get(), &schemes, &first, &target)) return false;
    static constexpr DWORD kStrongestFirst[] = {WINHTTP_AUTH_SCHEME_NEGOTIATE, WINHTTP_AUTH_SCHEME_NTLM,
                                                WINHTTP_AUTH_SCHEME_DIGEST, WINHTTP_AUTH_SCHEME_BASIC};
    for (const DWORD scheme : kStrongestFirst) {
      if ((schemes & scheme) == 0) continue;
      return WinHttpSetCredentials(request_.Get(), target, scheme, fetch_.user.c_str(), fetch_.password.c_str(),
                                   nullptr) != FALSE;
    }
    return false;
  }

  HINTERNET session_;
  const std::wstring& proxy_;
  const FetchRequest& fetch_;
  InternetHandle connection_;
  InternetHandle request_;
  DWORD status_ = 0;
};

// The body, up to the size a calendar may have.
FetchAnswer ReadBody(HINTERNET request, const std::atomic<bool>& cancelled, ULONGLONG deadline) {
  FetchAnswer answer;
  answer.kind = FetchAnswer::Kind::Calendar;
  char buffer[65536];
  for (;;) {
    if (cancelled.load()) return Failed(FetchProblem::TimedOut);
    if (GetTickCount64() > deadline) return Failed(FetchProblem::TimedOut);
    DWORD read = 0;
    if (!WinHttpReadData(request, buffer, sizeof buffer, &read)) return FailedCall();
    if (read == 0) break;
    if (answer.body.size() + read > kMaxCalendarBytes) {
      return Failed(FetchProblem::NotCalendar, 0, Text(TextId::FollowLargerThan16MiB));
    }
    answer.body.append(buffer, read);
  }
  answer.etag = Narrow(Header(request, WINHTTP_QUERY_ETAG));
  answer.lastModified = Narrow(Header(request, WINHTTP_QUERY_LAST_MODIFIED));
  return answer;
}

}  // namespace

FetchAnswer FetchCalendar(const FetchRequest& fetch, const std::atomic<bool>& cancelled) {
  const ULONGLONG deadline = GetTickCount64() + kWholeFetchMs;
  std::wstring proxy;
  InternetHandle session;
  OpenSession(session, proxy);
  if (!session.Get()) return FailedCall();
  std::wstring address = fetch.address;
  bool allPermanent = true;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    if (cancelled.load()) return Failed(FetchProblem::TimedOut);
    Exchange exchange(session.Get(), proxy, fetch);
    FetchAnswer failure;
    if (!exchange.Send(address, failure)) return failure;
    const DWORD status = exchange.Status();
    switch (status) {
      case HTTP_STATUS_MOVED:                 // 301
      case HTTP_STATUS_REDIRECT:              // 302
      case HTTP_STATUS_REDIRECT_METHOD:       // 303
      case HTTP_STATUS_REDIRECT_KEEP_VERB:    // 307
      case HTTP_STATUS_PERMANENT_REDIRECT: {  // 308
        const auto location = Header(exchange.Request(), WINHTTP_QUERY_LOCATION);
        if (!location) return Failed(FetchProblem::ServerAnswered, static_cast<int>(status));
        const auto next = FetchedAddress(Resolved(*location, address));
        if (!next) return Failed(FetchProblem::ServerAnswered, static_cast<int>(status));
        if (!IsPlainHttp(address) && IsPlainHttp(*next)) return Failed(FetchProblem::InsecureRedirect);
        allPermanent = allPermanent && (status == HTTP_STATUS_MOVED || status == HTTP_STATUS_PERMANENT_REDIRECT);
        address = *next;
        continue;
      }
      case HTTP_STATUS_NOT_MODIFIED: {
        FetchAnswer answer;
        answer.kind = FetchAnswer::Kind::NotChanged;
        answer.etag = fetch.etag;
        answer.lastModified = fetch.lastModified;
        if (allPermanent && address != fetch.address) answer.movedTo = address;
        return answer;
      }
      case HTTP_STATUS_OK: {
        FetchAnswer answer = ReadBody(exchange.Request(), cancelled, deadline);
        if (allPermanent && address != fetch.address) answer.movedTo = address;
        return answer;
      }
      case HTTP_STATUS_DENIED:
      case HTTP_STATUS_FORBIDDEN:
        if (fetch.user.empty() && status == HTTP_STATUS_DENIED) return Failed(FetchProblem::NeedsUser);
        return Failed(fetch.user.empty() ? FetchProblem::ServerAnswered : FetchProblem::NotAllowed,
                      static_cast<int>(status));
      default: return Failed(FetchProblem::ServerAnswered, static_cast<int>(status));
    }
  }
  return Failed(FetchProblem::TooManyRedirects);
}
