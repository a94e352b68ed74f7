#include "whole_file.h"

#include "scoped_handles.h"

namespace {

FileBytes Failed() {
  FileBytes file;
  file.error = GetLastError();
  return file;
}

}  // namespace

FileBytes ReadWholeFile(std::wstring_view path, unsigned long long maxBytes) {
  const std::wstring name(path);
  // FILE_SHARE_DELETE: another program may replace the file by a rename
  // while it is read here (the read then goes on in the old file).
  ScopedFileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Get()) return Failed();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return Failed();
  FileBytes result;
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    result.tooLarge = true;
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD got = 0;
  if (!result.bytes.empty() &&
      (!ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &got, nullptr) ||
       got != result.bytes.size())) {
    return Failed();
  }
  result.read = true;
  return result;
}
