#include "calendar_file.h"

#include <windows.h>

#include "alert_calendar.h"
#include "scoped_handles.h"
#include "system_error_text.h"

namespace {

CalendarFile Problem(std::wstring text) {
  CalendarFile file;
  file.problem = std::move(text);
  return file;
}

CalendarFile NotRead(std::wstring_view path) {
  return Problem(L"Could not read " + std::wstring(path) + L": " + SystemErrorText(GetLastError()) +
                 L" Nothing was imported.");
}

}  // namespace

CalendarFile ReadCalendarFile(std::wstring_view path) {
  const std::wstring name(path);
  ScopedFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Get()) return NotRead(path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return NotRead(path);
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxCalendarBytes) {
    return Problem(name + L" is larger than 16 MiB, too large for a calendar of alerts. Nothing was imported.");
  }
  CalendarFile result;
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  if (!result.bytes.empty() &&
      (!ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &got, nullptr) ||
       got != result.bytes.size())) {
    return NotRead(path);
  }
  result.read = true;
  return result;
}
