// The language files beside the program: languages\<tag>.dll, resource-only
// DLLs loaded as data (no code of theirs runs), whose string tables hold
// the texts numbered as TextId + 1.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "text_table.h"

class LanguageFile final : public LanguageTexts {
 public:
  // Nothing loaded when the file is missing or not a DLL: English then.
  explicit LanguageFile(const std::wstring& path);
  ~LanguageFile() override;
  LanguageFile(const LanguageFile&) = delete;
  LanguageFile& operator=(const LanguageFile&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  std::optional<std::wstring_view> Find(TextId id) const override;

 private:
  HMODULE module_ = nullptr;
};

// languages\<tag>.dll in the program's folder.
std::wstring LanguageFilePath(std::string_view tag);

// Windows' display language for this user as a tag, e.g. "de-DE".
std::wstring WindowsLanguage();

// Shows the program in the language `setting` chooses (language_choice.h),
// from here on; English where its file is missing, damaged or lacks a text.
void UseLanguageSetting(std::wstring_view setting);
