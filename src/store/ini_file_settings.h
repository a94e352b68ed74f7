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
// that the next start finishes from only when a kill or a power cut left
// the file cut short of it; a failed save removes it. Each file
// ends with a trailer line, so that a complete copy can be told from one cut
// short. Other Chimewatch programs may share the file (one PC, two PCs on a
// network share, or two copies a sync service keeps alike): each save takes
// a lock beside it, reads it again when it changed, and changes only its
// own sections.
#pragma once

#include "ini_text.h"
#include "settings_store.h"

// The last line of every file Chimewatch writes.
inline constexpr wchar_t kIniTrailer[] = L"\r\n; End of the alerts.\r\n";

class IniFileSettings final : public SettingsStore {
 public:
  // `startNote`: what was mended before the file was opened, for the user.
  explicit IniFileSettings(std::wstring path, std::optional<std::wstring> startNote = std::nullopt);

  std::optional<std::wstring> ReadSetting(std::wstring_view application, std::wstring_view section,
                                          std::wstring_view key, std::wstring_view defaultText) override;
  bool WriteSetting(std::wstring_view application, std::wstring_view section, std::wstring_view key,
                    std::wstring_view value) override;
  std::optional<std::wstring> WriteSection(std::wstring_view application, std::wstring_view section,
                                           std::span<const KeyText> values) override;
  std::vector<SectionNotWritten> WriteSections(std::wstring_view application,
                                               std::span<const Section> sections) override;
  std::vector<SectionNotWritten> Update(std::wstring_view application, const Change& change) override;
  bool ReadAgainIfChanged() override;
  std::vector<ConflictCopy> ConflictCopies() override;
  std::optional<std::wstring> SetCopyAside(const std::wstring& name) override;
  std::wstring LastError() const override { return lastError_; }
  std::wstring Where() const override { return path_; }
  std::optional<std::wstring> WhyNotSaved() const override { return notSaved_; }
  std::optional<std::wstring> StartNote() const override { return startNote_; }

 private:
  bool ReadAgain(bool evenWithTheSameStamp);
  // Takes the file's bytes as the document, or says why it cannot be saved.
  void Take(std::string bytes);
  // Writes `changed` as the whole file; keeps it when the file took it.
  bool Store(const IniDocument& changed);
  void RemoveLeftoverTemporaries() const;

  struct Stamp {
    unsigned long long size = 0, writeTime = 0;
    bool operator==(const Stamp&) const = default;
  };
  Stamp CurrentStamp() const;

  std::wstring path_;
  IniDocument document_;
  std::string bytes_;  // the file as last read or written
  Stamp stamp_;
  std::optional<std::wstring> notSaved_;
  std::optional<std::wstring> startNote_;
  std::wstring lastError_;
};

// When `path` is missing but a complete copy a save wrote beside it is there
// (a replacing rename on FAT or exFAT, as most USB sticks are, deletes the
// file first: a power cut between the two steps leaves only the copy), the
// newest such copy becomes the file again. Returns what to tell the user.
std::optional<std::wstring> RestoreFromCompleteCopy(const std::wstring& path);
// The copy RestoreFromCompleteCopy would take, by its full name, or empty.
std::wstring NewestCompleteCopy(const std::wstring& path);
