#include "language_file.h"

#include <memory>

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

void UseLanguageSetting(std::wstring_view setting) {
  static std::unique_ptr<LanguageFile> inUse;
  static std::string tagInUse;
  const std::string tag = LanguageToUse(setting, WindowsLanguage());
  // At start, the stored choice is most often Windows' language, which
  // the program already took before it opened the store.
  if (tag == tagInUse) return;
  tagInUse = tag;
  auto file = tag == "en" ? nullptr : std::make_unique<LanguageFile>(LanguageFilePath(tag));
  if (file && !file->Loaded()) file.reset();
  UseLanguage(file.get(), tag);
  inUse = std::move(file);  // the old file is freed once nothing reads it
}
