#include "memory_settings.h"

std::optional<std::wstring> MemorySettings::ReadSetting(std::wstring_view application, std::wstring_view section,
                                                        std::wstring_view key, std::wstring_view defaultText) {
  const auto found = values_.find({std::wstring(application), std::wstring(section), std::wstring(key)});
  if (found == values_.end()) return std::wstring(defaultText);
  return found->second;
}

bool MemorySettings::WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                                  std::wstring_view value) {
  if (failWrites_) return false;
  values_[{std::wstring(application), std::wstring(section), std::wstring(key)}] = std::wstring(value);
  writes_.push_back({std::wstring(section), std::wstring(key), std::wstring(value)});
  return true;
}

void MemorySettings::PutUnreadable(std::wstring_view section, std::wstring_view key) {
  values_[{std::wstring(kApplicationName), std::wstring(section), std::wstring(key)}] = std::nullopt;
}
