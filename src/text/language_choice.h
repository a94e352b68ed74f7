#pragma once

#include <array>
#include <string>
#include <string_view>

// A language Chimewatch speaks: its tag (its language file's name) and its
// name in itself, as the Language menu lists it.
struct Language {
  std::string_view tag;
  std::wstring_view ownName;
};

inline constexpr std::array<Language, 11> kLanguages = {{
    {"en", L"English"},
    {"de", L"Deutsch"},
    {"fr", L"Fran\u00E7ais"},
    {"nl", L"Nederlands"},
    {"es", L"Espa\u00F1ol"},
    {"it", L"Italiano"},
    {"pt-BR", L"Portugu\u00EAs (Brasil)"},
    {"pl", L"Polski"},
    {"ru", L"\u0420\u0443\u0441\u0441\u043A\u0438\u0439"},
    {"ja", L"\u65E5\u672C\u8A9E"},
    {"zh-CN", L"\u4E2D\u6587 (\u7B80\u4F53)"},
}};

// The pseudo-language the end-to-end tests show: English made longer and
// marked, to find a text that does not come from the table.
inline constexpr std::string_view kPseudoLanguage = "qps-ploc";

// The language to show, as one of the tags above (which never change).
// `setting` is the stored choice: empty for Windows' language, "en" for
// English, or a listed tag; any other text counts as empty, so that a
// hand-edited value never names another file (nor a device: "COM1").
// Windows' language (`windowsLanguage`, e.g. "pt-BR") gives the language
// with that tag, else the one with its language without region, else
// English.
std::string_view LanguageToUse(std::wstring_view setting, std::wstring_view windowsLanguage);

// A language's own name, e.g. L"Deutsch"; English's for a tag not listed.
std::wstring_view OwnName(std::string_view tag);

// Whether a tag names the same language as `other`, in any case.
bool SameTag(std::string_view tag, std::wstring_view other);
