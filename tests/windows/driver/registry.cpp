// The program's settings in the test's own prefix: HKCU\Software\Chimewatch.
#include "driver.h"

namespace driver {
namespace {

constexpr wchar_t kRoot[] = L"Software\\Chimewatch";

std::wstring KeyPath(std::wstring_view section) { return std::wstring(kRoot) + L"\\" + std::wstring(section); }

bool WriteValue(std::wstring_view section, std::wstring_view key, DWORD type, const void* data, DWORD size) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring name(key);
  const LSTATUS status = RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

}  // namespace

bool WriteSettingText(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  const std::wstring text(value);
  return WriteValue(section, key, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> ReadSettingText(std::wstring_view section, std::wstring_view key) {
  const std::wstring path = KeyPath(section), name(key);
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

void DeleteAllSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }

}  // namespace driver
