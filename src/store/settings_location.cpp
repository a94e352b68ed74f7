#include "settings_location.h"

#include <windows.h>

#include <string>

#include "ini_file_settings.h"
#include "registry_settings.h"

namespace {

constexpr wchar_t kPortableFile[] = L"chimewatch.ini";

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

}  // namespace

std::wstring PortableFilePath() {
  const std::wstring program = ProgramPath();
  const std::size_t slash = program.find_last_of(L'\\');
  if (slash == std::wstring::npos) return {};
  const std::wstring ini = program.substr(0, slash + 1) + kPortableFile;
  const DWORD attributes = GetFileAttributesW(ini.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return NewestCompleteCopy(ini).empty() ? std::wstring() : ini;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? std::wstring() : ini;
}

// Called under the store's lock: the copy is restored only here.
std::unique_ptr<SettingsStore> OpenSettingsStore() {
  const std::wstring ini = PortableFilePath();
  if (ini.empty()) return std::make_unique<RegistrySettings>();
  if (GetFileAttributesW(ini.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return std::make_unique<IniFileSettings>(ini, RestoreFromCompleteCopy(ini));
  }
  return std::make_unique<IniFileSettings>(ini);
}
