// The per-user settings store: texts addressed by application, section and
// key. The registry is the program's backend, or chimewatch.ini beside a
// portable program (chosen once, at start); an in-memory map the tests'.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

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

  using KeyText = std::pair<std::wstring_view, std::wstring>;
  // Writes the keys of one section in their order; returns the key whose
  // write failed, or nullopt. A store that saves a whole file does it once.
  virtual std::optional<std::wstring> WriteSection(std::wstring_view application, std::wstring_view section,
                                                   std::span<const KeyText> values) {
    for (const auto& [key, text] : values) {
      if (!WriteSetting(application, section, key, text)) return std::wstring(key);
    }
    return std::nullopt;
  }

  struct Section {
    std::wstring name;
    std::vector<KeyText> values;
  };
  struct SectionNotWritten {
    std::wstring section;
    std::wstring key;     // the first key not written
    std::wstring reason;  // LastError() of that write
  };
  // Writes many sections, each as WriteSection does; returns those not
  // written. A store that saves a whole file writes it once for all, so an
  // import of 101 alerts costs one flush, not 101.
  virtual std::vector<SectionNotWritten> WriteSections(std::wstring_view application,
                                                       std::span<const Section> sections) {
    std::vector<SectionNotWritten> notWritten;
    for (const Section& section : sections) {
      if (auto key = WriteSection(application, section.name, section.values)) {
        notWritten.push_back({section.name, std::move(*key), LastError()});
      }
    }
    return notWritten;
  }

  // Runs `change` on the store as it is now and writes the sections it
  // returns. A file that other programs share is read again first and kept
  // from them until written, so that a change lands on the latest copy, not
  // on the one read at start; `change` is told whether it was changed
  // elsewhere since this program last read or wrote it.
  using Change = std::function<std::vector<Section>(bool changedElsewhere)>;
  virtual std::vector<SectionNotWritten> Update(std::wstring_view application, const Change& change) {
    return WriteSections(application, change(false));
  }
  // Reads the store again when another program changed it since this one
  // last read or wrote it; true when it did.
  virtual bool ReadAgainIfChanged() { return false; }

  // A copy a sync service left beside the store when two PCs changed it at
  // once, readable as a store of its own.
  struct ConflictCopy {
    std::wstring name;
    std::unique_ptr<SettingsStore> contents;
  };
  virtual std::vector<ConflictCopy> ConflictCopies() { return {}; }
  // Renames a copy whose alerts were taken in, so that it is not taken in
  // again; returns its new name, or nothing when it could not be renamed.
  virtual std::optional<std::wstring> SetCopyAside(const std::wstring& /*name*/) { return std::nullopt; }

  // Where the alerts are kept, for the user: "the registry (...)" or a path.
  virtual std::wstring Where() const = 0;
  // Why no change can be kept there, when that is known at start.
  virtual std::optional<std::wstring> WhyNotSaved() const { return std::nullopt; }
  // What the store mended at start, for the user to know.
  virtual std::optional<std::wstring> StartNote() const { return std::nullopt; }
};
