#include "language_file.h"

#include <memory>
#include <utility>
#include <vector>

#include "language_choice.h"
#include "program_path.h"

std::wstring LanguageFilePath(std::string_view tag) {
  return ProgramFolder() + L"languages\\" + std::wstring(tag.begin(), tag.end()) + L".dll";
}

LanguageFile::LanguageFile(const std::wstring& path) {
  // As an image resource: mapped as Windows maps a DLL, so that its
  // resources are found as in a program, yet nothing of it runs.
  module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

LanguageFile::~LanguageFile() {
  if (module_ != nullptr) FreeLibrary(module_);
}

std::optional<std::wstring_view> LanguageFile::Find(TextId id) const {
  // With no buffer, LoadStringW gives the text in place: read-only and
  // not ended by a NUL, its length the result.
  const wchar_t* text = nullptr;
  const int length = LoadStringW(module_, static_cast<UINT>(id) + 1, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::nullopt;
  return std::wstring_view(text, static_cast<std::size_t>(length));
}

std::wstring WindowsLanguage() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  const LCID language = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  return LCIDToLocaleName(language, name, LOCALE_NAME_MAX_LENGTH, 0) > 0 ? std::wstring(name) : std::wstring();
}

// A file once loaded stays loaded: a thread taking a text from it (an
// import being read) may still hold a pointer into it when the language
// changes, and FreeLibrary would unmap it. There are at most as many as
// languages, each some 20 KB mapped.
const LanguageFile* LoadedLanguageFile(std::string_view tag) {
  static std::vector<std::pair<std::string_view, std::unique_ptr<LanguageFile>>> loaded;
  for (const auto& [loadedTag, file] : loaded) {
    if (loadedTag == tag) return file.get();
  }
  auto file = std::make_unique<LanguageFile>(LanguageFilePath(tag));
  if (!file->Loaded()) return nullptr;  // tried again at the next change: the file may have come
  loaded.emplace_back(tag, std::move(file));
  return loaded.back().second.get();
}

void UseLanguageSetting(std::wstring_view setting) {
  const std::string_view tag = LanguageToUse(setting, WindowsLanguage());
  UseLanguage(tag == "en" ? nullptr : LoadedLanguageFile(tag), tag);
}
