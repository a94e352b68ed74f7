#include "atomic_write.h"

#include <windows.h>

#include "scoped_handles.h"
#include "system_error_text.h"

namespace {

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}

bool WriteAll(const wchar_t* path, std::string_view bytes) {
  ScopedFileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Get()) return false;
  DWORD written = 0;
  return (bytes.empty() || (WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                            written == bytes.size())) &&
         FlushFileBuffers(file.Get());
}

}  // namespace

std::optional<std::wstring> WriteFileAtomically(std::wstring_view path, std::string_view bytes) {
  const std::wstring target(path);
  // Windows refuses to replace a read-only file; so does Chimewatch, under
  // Wine as well.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return SystemErrorText(ERROR_ACCESS_DENIED);
  }
  // GetTempFileNameW makes the file, so that no other writer can take the name.
  wchar_t temporary[MAX_PATH + 1] = {};
  if (!GetTempFileNameW(FolderOf(target).c_str(), L"cw", 0, temporary)) return SystemErrorText(GetLastError());
  if (WriteAll(temporary, bytes) &&
      MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return std::nullopt;
  }
  const DWORD error = GetLastError();
  DeleteFileW(temporary);
  return SystemErrorText(error);
}
