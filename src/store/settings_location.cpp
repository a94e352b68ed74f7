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
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);  // cut short: a longer path
  }
}

}  // namespace

std::unique_ptr<SettingsStore> OpenSettingsStore() {
  const std::wstring program = ProgramPath();
  const std::size_t slash = program.find_last_of(L'\\');
  if (slash != std::wstring::npos) {
    const std::wstring ini = program.substr(0, slash + 1) + kPortableFile;
    const DWORD attributes = GetFileAttributesW(ini.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return std::make_unique<IniFileSettings>(ini);
    }
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      if (auto note = RestoreFromCompleteCopy(ini)) return std::make_unique<IniFileSettings>(ini, std::move(note));
    }
  }
  return std::make_unique<RegistrySettings>();
}
