#include "settings_location.h"

#include <windows.h>

#include <string>

#include "ini_file_settings.h"
#include "program_path.h"
#include "registry_settings.h"

namespace {

constexpr wchar_t kPortableFile[] = L"chimewatch.ini";

}  // namespace

std::wstring PortableFilePath() {
  const std::wstring folder = ProgramFolder();
  if (folder.empty()) return {};
  const std::wstring ini = folder + kPortableFile;
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
