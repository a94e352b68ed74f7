#include "long_path.h"

#include <algorithm>

namespace {

bool IsDriveLetterPath(std::wstring_view path) {
  return path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
         path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

// \\server\share\..., not \\?\ or \\.\ (already extended, or a device).
bool IsNetworkPath(std::wstring_view path) {
  return path.size() >= 3 && IsSlash(path[0]) && IsSlash(path[1]) && path[2] != L'?' && path[2] != L'.' &&
         !IsSlash(path[2]);
}

// The extended form takes the name as it is: only backslashes separate.
std::wstring WithBackslashes(std::wstring_view path) {
  std::wstring text(path);
  std::replace(text.begin(), text.end(), L'/', L'\\');
  return text;
}

}  // namespace

std::wstring LongPathForm(std::wstring_view fullPath) {
  if (fullPath.size() < kMaxPathCharacters) return std::wstring(fullPath);
  if (IsDriveLetterPath(fullPath)) return L"\\\\?\\" + WithBackslashes(fullPath);
  if (IsNetworkPath(fullPath)) return L"\\\\?\\UNC\\" + WithBackslashes(fullPath.substr(2));
  return std::wstring(fullPath);
}

std::wstring NameBeside(std::wstring_view fullTarget, std::wstring_view suffix) {
  std::wstring name(fullTarget);
  name += suffix;
  return LongPathForm(name);
}
