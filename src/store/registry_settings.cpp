#include "registry_settings.h"

#include <windows.h>

#include <vector>

#include "scoped_handles.h"
#include "system_error_text.h"

namespace {

std::wstring SectionPath(std::wstring_view application, std::wstring_view section) {
  return L"Software\\" + std::wstring(application) + L"\\" + std::wstring(section);
}

}  // namespace

std::optional<std::wstring> RegistrySettings::ReadSetting(std::wstring_view application, std::wstring_view section,
                                                          std::wstring_view key, std::wstring_view defaultText) {
  ScopedHKEY sectionKey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, KEY_QUERY_VALUE,
                    sectionKey.Receive()) != ERROR_SUCCESS) {
    return std::wstring(defaultText);
  }
  const std::wstring name(key);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
    return std::wstring(defaultText);
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  // Room for a value stored without its terminating NUL, and an odd size.
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
  DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(sectionKey.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(buffer.data(), size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

bool RegistrySettings::WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                                    std::wstring_view value) {
  ScopedHKEY sectionKey;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, sectionKey.Receive(), nullptr);
  if (status == ERROR_SUCCESS) {
    const std::wstring text(value);  // written with its terminating NUL
    status = RegSetValueExW(sectionKey.Get(), std::wstring(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  if (status != ERROR_SUCCESS) lastError_ = SystemErrorText(static_cast<DWORD>(status));
  return status == ERROR_SUCCESS;
}
