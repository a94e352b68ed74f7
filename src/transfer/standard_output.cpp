#include "standard_output.h"

#include <string>

#include "output_encoding.h"
#include "scoped_handles.h"
#include "utf8_text.h"

namespace {

HANDLE RedirectedOutput() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  return output == INVALID_HANDLE_VALUE ? nullptr : output;
}

// The console of the command prompt that started us, if any.
HANDLE ParentConsole() { return AttachConsole(ATTACH_PARENT_PROCESS) ? OpenConsoleOutput() : nullptr; }

// The first bytes of the file the output goes to (none: a new file). Read
// through a handle of our own, since ours may be for writing only (cmd's
// `>>`); a file we cannot read is taken as not UTF-16.
std::string FirstBytes(HANDLE output) {
  LARGE_INTEGER size{};
  if (GetFileSizeEx(output, &size) && size.QuadPart == 0) return {};
  const ScopedFileHandle reader(
      ReOpenFile(output, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0));
  char bytes[2] = {};
  DWORD got = 0;
  if (!reader.Get() || !ReadFile(reader.Get(), bytes, sizeof bytes, &got, nullptr)) return "?";
  return std::string(bytes, got);
}

OutputEncoding EncodingFor(HANDLE output) {
  DWORD mode = 0;
  if (GetConsoleMode(output, &mode)) return ChooseOutputEncoding(OutputKind::Console, {});
  if (GetFileType(output) != FILE_TYPE_DISK) return ChooseOutputEncoding(OutputKind::Pipe, {});
  return ChooseOutputEncoding(OutputKind::DiskFile, FirstBytes(output));
}

void WriteBytes(HANDLE output, const void* bytes, std::size_t size) {
  DWORD written = 0;
  WriteFile(output, bytes, static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace

HANDLE OpenConsoleOutput() {
  // GetConsoleMode needs read access on Windows (Wine does not check): a
  // console opened for writing only is taken for a file, and every letter
  // beyond ASCII comes out in the OEM code page.
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  return console == INVALID_HANDLE_VALUE ? nullptr : console;
}

void WriteToStandardOutput(std::wstring_view text) {
  const std::wstring line = std::wstring(text) + L"\r\n";
  HANDLE output = RedirectedOutput();
  const ScopedFileHandle console(output ? nullptr : ParentConsole());
  if (!output) output = console.Get();
  if (!output) return;
  switch (EncodingFor(output)) {
    case OutputEncoding::Console: {
      DWORD written = 0;
      WriteConsoleW(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      return;
    }
    case OutputEncoding::Utf16WithMark: {
      const std::wstring marked = L"\xFEFF" + line;
      WriteBytes(output, marked.data(), marked.size() * sizeof(wchar_t));
      return;
    }
    case OutputEncoding::Utf16: WriteBytes(output, line.data(), line.size() * sizeof(wchar_t)); return;
    case OutputEncoding::Utf8: {
      const std::string bytes = WideToUtf8(line);
      WriteBytes(output, bytes.data(), bytes.size());
      return;
    }
  }
}
