// One fetch of a followed calendar with WinHTTP, on the calling thread:
// asked only for a change (If-None-Match, If-Modified-Since), through the
// user's proxy, its redirects followed by hand (a permanent one reported,
// none from https to http), TLS certificates always checked, and given up
// after a time-out. The caller runs it off the window thread.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "calendar_state.h"

struct FetchRequest {
  std::wstring address;
  std::wstring user;  // empty: no one
  std::wstring password;
  std::string etag;          // of the copy, sent as If-None-Match
  std::string lastModified;  // of the copy, sent as If-Modified-Since
};

struct FetchAnswer {
  enum class Kind { Calendar, NotChanged, Failed };
  Kind kind = Kind::Failed;
  std::string body;  // for Calendar: at most 16 MiB, not yet read as a calendar
  std::string etag;
  std::string lastModified;
  std::optional<std::wstring> movedTo;  // every redirect was permanent: the new address
  FetchFailure failure;                 // for Failed
};

// `cancelled` is looked at between reads: the program is ending.
FetchAnswer FetchCalendar(const FetchRequest& request, const std::atomic<bool>& cancelled);
