#include "standard_output.h"

#include <windows.h>

#include <string>

#include "scoped_handles.h"
#include "utf8_text.h"

namespace {

HANDLE RedirectedOutput() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  return output == INVALID_HANDLE_VALUE ? nullptr : output;
}

// The console of the command prompt that started us, if any.
HANDLE ParentConsole() {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
  return CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool IsNewFile(HANDLE output) {
  LARGE_INTEGER size{};
  return GetFileType(output) == FILE_TYPE_DISK && GetFileSizeEx(output, &size) && size.QuadPart == 0;
}

}  // namespace

void WriteToStandardOutput(std::wstring_view text) {
  const std::wstring line = std::wstring(text) + L"\r\n";
  HANDLE output = RedirectedOutput();
  const ScopedFileHandle console(output ? nullptr : ParentConsole());
  if (!output) output = console.Get();
  if (!output) return;
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(output, &mode)) {
    WriteConsoleW(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  if (IsNewFile(output)) {
    // A new file (chimewatch.exe /export a.ics > log.txt) gets UTF-16 with
    // a byte order mark, which type, PowerShell and Notepad all read right.
    const std::wstring marked = L"\xFEFF" + line;
    WriteFile(output, marked.data(), static_cast<DWORD>(marked.size() * sizeof(wchar_t)), &written, nullptr);
    return;
  }
  // A pipe, or a file added to, gets UTF-8.
  const std::string bytes = WideToUtf8(line);
  WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
