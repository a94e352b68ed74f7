// The per-user settings store: texts addressed by application, section and
// key. The registry is the program's backend, an in-memory map the tests'.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr std::wstring_view kApplicationName = L"Chimewatch";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text, or defaultText when the section or key does not exist.
  // nullopt when a value exists but cannot be read as text (wrong type).
  virtual std::optional<std::wstring> ReadSetting(std::wstring_view application, std::wstring_view section,
                                                  std::wstring_view key, std::wstring_view defaultText) = 0;

  // Creates or replaces the key's text, creating the section when needed.
  // On failure returns false and leaves a description in LastError().
  virtual bool WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                            std::wstring_view value) = 0;

  virtual std::wstring LastError() const = 0;
};
