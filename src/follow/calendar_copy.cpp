#include "calendar_copy.h"

#include <windows.h>
#include <shlobj.h>

#include "alert_calendar.h"
#include "atomic_write.h"
#include "number_text.h"
#include "settings_location.h"
#include "utf8_text.h"
#include "whole_file.h"

namespace {

constexpr wchar_t kPortableFolder[] = L"Chimewatch calendars";
constexpr wchar_t kInstalledFolder[] = L"\\Chimewatch\\Calendars";
constexpr unsigned long long kMaxTagsBytes = 16384;

std::wstring CopiesFolder() {
  const std::wstring portable = PortableFilePath();
  if (!portable.empty()) return portable.substr(0, portable.find_last_of(L"\\/") + 1) + kPortableFolder;
  wchar_t* local = nullptr;
  std::wstring folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &local))) {
    folder = std::wstring(local) + kInstalledFolder;
  }
  CoTaskMemFree(local);
  return folder;
}

// Each level that is missing, made.
bool MakeFolder(const std::wstring& folder) {
  for (std::size_t slash = folder.find_first_of(L"\\/", 3);; slash = folder.find_first_of(L"\\/", slash + 1)) {
    const std::wstring part = folder.substr(0, slash);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    if (slash == std::wstring::npos) return true;
  }
}

// The address's own file name, the same for every program that follows it.
std::wstring CopyPath(std::wstring_view address, const wchar_t* extension) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char c : WideToUtf8(address)) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  const std::string name = HexText(hash, 16);
  return CopiesFolder() + L"\\" + std::wstring(name.begin(), name.end()) + extension;
}

}  // namespace

std::optional<CalendarCopy> ReadCalendarCopy(std::wstring_view address) {
  const FileBytes body = ReadWholeFile(CopyPath(address, L".ics"), kMaxCalendarBytes);
  if (!body.read) return std::nullopt;
  CalendarCopy copy;
  copy.body = body.bytes;
  const FileBytes tags = ReadWholeFile(CopyPath(address, L".tags"), kMaxTagsBytes);
  if (tags.read) {
    const std::size_t end = tags.bytes.find('\n');
    copy.etag = tags.bytes.substr(0, end);
    if (end != std::string::npos) copy.lastModified = tags.bytes.substr(end + 1);
    while (!copy.lastModified.empty() && (copy.lastModified.back() == '\n' || copy.lastModified.back() == '\r')) {
      copy.lastModified.pop_back();
    }
  }
  return copy;
}

std::optional<std::wstring> WriteCalendarCopy(std::wstring_view address, const CalendarCopy& copy) {
  const std::wstring folder = CopiesFolder();
  if (folder.empty() || !MakeFolder(folder)) return folder;
  if (auto failed = WriteFileAtomically(CopyPath(address, L".ics"), copy.body)) return failed;
  return WriteFileAtomically(CopyPath(address, L".tags"), copy.etag + "\n" + copy.lastModified + "\n");
}

void DeleteCalendarCopy(std::wstring_view address) {
  DeleteFileW(CopyPath(address, L".ics").c_str());
  DeleteFileW(CopyPath(address, L".tags").c_str());
}
