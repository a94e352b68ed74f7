#include "program_path.h"

#include <windows.h>

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // cut short: a longer path
  }
  // Started through a short (8.3) name, the program is still the one store.
  std::wstring longPath(path.size() + MAX_PATH, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
  if (length == 0 || length >= longPath.size()) return path;
  longPath.resize(length);
  return longPath;
}

std::wstring ProgramFolder() {
  const std::wstring program = ProgramPath();
  const std::size_t slash = program.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1);
}
