// A settings store held in memory.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "settings_store.h"
#include "text_table.h"

class MemorySettings final : public SettingsStore {
 public:
  struct Write {
    std::wstring section;
    std::wstring key;
    std::wstring value;
  };

  std::optional<std::wstring> ReadSetting(std::wstring_view application, std::wstring_view section,
                                          std::wstring_view key, std::wstring_view defaultText) override;
  bool WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                    std::wstring_view value) override;
  std::wstring Where() const override { return Text(TextId::StoreRegistry); }
  std::wstring LastError() const override { return L"The store refused the write."; }

  // Marks a value as unreadable, as a registry value of the wrong type is.
  void PutUnreadable(std::wstring_view section, std::wstring_view key);
  // The next Update and ReadAgainIfChanged tell of a change made elsewhere,
  // as a file another program wrote.
  void ChangeElsewhere() { changedElsewhere_ = true; }
  std::vector<SectionNotWritten> Update(std::wstring_view application, const Change& change) override {
    return WriteSections(application, change(ReadAgainIfChanged()));
  }
  bool ReadAgainIfChanged() override { return std::exchange(changedElsewhere_, false); }

  // Makes every later write fail.
  void FailWrites() { failWrites_ = true; }

  const std::vector<Write>& Writes() const { return writes_; }
  void ClearWrites() { writes_.clear(); }

 private:
  using Address = std::tuple<std::wstring, std::wstring, std::wstring>;
  std::map<Address, std::optional<std::wstring>> values_;
  std::vector<Write> writes_;
  bool failWrites_ = false;
  bool changedElsewhere_ = false;
};
