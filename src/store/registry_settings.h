// The settings store in the registry: HKEY_CURRENT_USER\Software\<application>
// with one key per section and one REG_SZ value per setting.
#pragma once

#include "settings_store.h"
#include "text_table.h"

class RegistrySettings final : public SettingsStore {
 public:
  std::optional<std::wstring> ReadSetting(std::wstring_view application, std::wstring_view section,
                                          std::wstring_view key, std::wstring_view defaultText) override;
  bool WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                    std::wstring_view value) override;
  std::wstring Where() const override { return Text(TextId::StoreRegistry); }
  std::wstring LastError() const override { return lastError_; }

 private:
  std::wstring lastError_;
};
