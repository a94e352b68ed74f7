#include "atomic_write.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "long_path.h"
#include "number_text.h"
#include "scoped_handles.h"
#include "system_error_text.h"

namespace {

constexpr int kNameTries = 16;
constexpr int kRenameTries = 20;
constexpr DWORD kRenameWaitMs = 50;

// A new file beside the target, under a name no one else has: made with
// CREATE_NEW, so that a name taken meanwhile is never shared. Its own name,
// not GetTempFileNameW's, which refuses a folder longer than MAX_PATH - 14.
HANDLE CreateTemporaryBeside(const std::wstring& target, std::wstring& name) {
  static std::atomic<unsigned> counter{0};  // an export's thread writes too
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    name = NameBeside(target, L"." + WideDecimalText(GetCurrentProcessId()) + L"-" +
                                  WideDecimalText(static_cast<std::int64_t>(GetTickCount64() % 100000)) + L"-" +
                                  WideDecimalText(++counter) + L".tmp");
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  DWORD written = 0;
  return (bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                            written == bytes.size())) &&
         FlushFileBuffers(file);
}

// Antivirus, indexers and sync services open a file just written, and
// another program may be reading the target: for a short while the rename
// meets a sharing violation (or, for a file that is open, access denied).
bool ReplaceByRename(const std::wstring& temporary, const std::wstring& target) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    if (attempt == kRenameTries || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) {
      return false;
    }
    Sleep(kRenameWaitMs);
  }
}

}  // namespace

std::optional<std::wstring> WriteFileAtomically(std::wstring_view path, std::string_view bytes) {
  const std::wstring target = LongPathForm(path);
  // Windows refuses to replace a read-only file; so does Chimewatch, under
  // Wine as well.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return SystemErrorText(ERROR_ACCESS_DENIED);
  }
  std::wstring temporary;
  ScopedFileHandle file(CreateTemporaryBeside(target, temporary));
  if (!file.Get()) return SystemErrorText(GetLastError());
  const bool written = WriteAll(file.Get(), bytes);
  file.Reset(nullptr);
  if (written && ReplaceByRename(temporary, target)) return std::nullopt;
  const DWORD error = GetLastError();
  DeleteFileW(temporary.c_str());
  return SystemErrorText(error);
}
