// The settings store of a portable Chimewatch: chimewatch.ini beside the
// program, read once at start and written whole at each save. A save writes
// a new file beside the old one, flushes it to disk and puts it in the old
// one's place in one step, so that a kill or a power cut at any moment
// leaves the old file or the new one, never a mix. A file that cannot be
// read, is not understood, or lies where nothing can be written is never
// written: its alerts are read as far as they can be, and every save fails
// with the reason. A file with other names (Scoop keeps its copy in its
// "persist" folder as a hard link, which a replace would leave behind) is
// written over in place instead, through a complete copy "chimewatch.ini.new"
// that the next start finishes from when a kill came in between.
#pragma once

#include "ini_text.h"
#include "settings_store.h"

class IniFileSettings final : public SettingsStore {
 public:
  explicit IniFileSettings(std::wstring path);

  std::optional<std::wstring> ReadSetting(std::wstring_view application, std::wstring_view section,
                                          std::wstring_view key, std::wstring_view defaultText) override;
  bool WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                    std::wstring_view value) override;
  std::optional<std::wstring> WriteSection(std::wstring_view application, std::wstring_view section,
                                           std::span<const KeyText> values) override;
  std::wstring LastError() const override { return lastError_; }
  std::wstring Where() const override { return path_; }
  std::optional<std::wstring> WhyNotSaved() const override { return notSaved_; }

 private:
  // Writes `changed` as the whole file; keeps it when the file took it.
  bool Store(const IniDocument& changed);
  void RemoveLeftoverTemporaries() const;

  std::wstring path_;
  IniDocument document_;
  std::optional<std::wstring> notSaved_;
  std::wstring lastError_;
};
