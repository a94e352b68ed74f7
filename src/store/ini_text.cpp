#include "ini_text.h"

#include <algorithm>

#include "utf8_text.h"

namespace {

constexpr char kUtf16Mark[] = "\xFF\xFE";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// Section and key names are the program's own, ASCII: compared as Windows
// compares them, without regard to case. Two names are the same when their
// folded forms are equal.
std::wstring Folded(std::wstring_view name) {
  std::wstring folded(name);
  for (wchar_t& c : folded) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c | 0x20);
  }
  return folded;
}

std::wstring_view Trimmed(std::wstring_view text) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// ---- Bytes and text ------------------------------------------------------

// The text, or nothing when the bytes are no text in any encoding read: a
// character is never replaced without a word.
std::optional<std::wstring> DecodeFile(std::string_view bytes, AnsiDecoding ansi) {
  if (bytes.starts_with(kUtf16Mark)) return Utf16LeToWide(bytes.substr(2));
  if (bytes.starts_with(kUtf8Mark)) return Utf8ToWide(bytes.substr(3));
  if (IsUtf8(bytes)) return Utf8ToWide(bytes);
  return ansi(bytes);
}

// ---- Values --------------------------------------------------------------

bool NeedsQuotes(std::wstring_view value) {
  if (value.empty()) return false;
  const auto control = [](wchar_t c) { return c < 0x20 || c == 0x7F; };
  return value.front() == L'"' || value.front() == L' ' || value.front() == L'\t' || value.back() == L' ' ||
         value.back() == L'\t' || std::any_of(value.begin(), value.end(), control);
}

std::wstring HexUnit(unsigned value) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text = L"\\u";
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

std::wstring Quoted(std::wstring_view value) {
  std::wstring text = L"\"";
  for (const wchar_t c : value) {
    switch (c) {
      case L'\\': text += L"\\\\"; break;
      case L'"': text += L"\\\""; break;
      case L'\r': text += L"\\r"; break;
      case L'\n': text += L"\\n"; break;
      case L'\t': text += L"\\t"; break;
      default: text += (c < 0x20 || c == 0x7F) ? HexUnit(static_cast<unsigned>(c)) : std::wstring(1, c);
    }
  }
  return text + L"\"";
}

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

// A quoted value with nothing after its closing quote, or nothing.
std::optional<std::wstring> Unquoted(std::wstring_view text) {
  std::wstring value;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'"') return i + 1 == text.size() ? std::optional(value) : std::nullopt;
    if (c != L'\\') {
      value += c;
      continue;
    }
    if (++i == text.size()) return std::nullopt;
    switch (text[i]) {
      case L'\\': value += L'\\'; break;
      case L'"': value += L'"'; break;
      case L'r': value += L'\r'; break;
      case L'n': value += L'\n'; break;
      case L't': value += L'\t'; break;
      case L'u': {
        if (i + 4 >= text.size()) return std::nullopt;
        unsigned unit = 0;
        for (std::size_t k = 1; k <= 4; ++k) {
          const int digit = HexDigit(text[i + k]);
          if (digit < 0) return std::nullopt;
          unit = unit * 16 + static_cast<unsigned>(digit);
        }
        value += static_cast<wchar_t>(unit);
        i += 4;
        break;
      }
      default: return std::nullopt;
    }
  }
  return std::nullopt;  // no closing quote
}

}  // namespace

IniDocument::Reading IniDocument::Parse(std::string_view bytes, AnsiDecoding ansi) {
  Reading reading;
  const std::optional<std::wstring> decoded = DecodeFile(bytes, ansi);
  reading.notText = !decoded;
  // What can be read is still shown; the file is never written then.
  const std::wstring text = decoded ? *decoded : Utf8ToWide(bytes);
  Section* section = nullptr;
  std::size_t lineNumber = 0;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring_view line(text.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    const std::wstring_view trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed.front() == L';' || trimmed.front() == L'#') continue;
    // "[]" too: a blank name ("[ ]") is written back so.
    if (trimmed.front() == L'[' && trimmed.back() == L']' && trimmed.size() >= 2) {
      section = &reading.document.FindOrAddSection(Trimmed(trimmed.substr(1, trimmed.size() - 2)));
      continue;
    }
    const std::size_t equals = trimmed.find(L'=');
    const std::wstring_view key = equals == std::wstring_view::npos ? std::wstring_view() : Trimmed(trimmed.substr(0, equals));
    if (!section || key.empty()) {
      if (reading.notUnderstoodLine == 0) reading.notUnderstoodLine = lineNumber;
      continue;
    }
    // Of two lines with one key, the first counts, as in Windows' INI files.
    FindOrAddKey(*section, key, Trimmed(trimmed.substr(equals + 1)));
  }
  return reading;
}

IniDocument::Section* IniDocument::FindSection(std::wstring_view name) {
  const auto found = sectionIndex_.find(Folded(name));
  return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

IniDocument::Section& IniDocument::FindOrAddSection(std::wstring_view name) {
  const auto [entry, added] = sectionIndex_.try_emplace(Folded(name), sections_.size());
  if (added) sections_.push_back(Section{std::wstring(name), {}, {}});
  return sections_[entry->second];
}

std::wstring* IniDocument::FindOrAddKey(Section& section, std::wstring_view key, std::wstring_view raw) {
  const auto [entry, added] = section.keyIndex.try_emplace(Folded(key), section.keys.size());
  if (!added) return &section.keys[entry->second].second;
  section.keys.emplace_back(std::wstring(key), std::wstring(raw));
  return nullptr;
}

const IniDocument::Section* IniDocument::FindSection(std::wstring_view name) const {
  return const_cast<IniDocument*>(this)->FindSection(name);
}

std::optional<std::optional<std::wstring>> IniDocument::Find(std::wstring_view section, std::wstring_view key) const {
  const Section* found = FindSection(section);
  if (!found) return std::nullopt;
  const auto entry = found->keyIndex.find(Folded(key));
  if (entry == found->keyIndex.end()) return std::nullopt;
  const std::wstring& raw = found->keys[entry->second].second;
  return raw.starts_with(L'"') ? Unquoted(raw) : std::optional(raw);
}

void IniDocument::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  const std::wstring raw = NeedsQuotes(value) ? Quoted(value) : std::wstring(value);
  if (std::wstring* stored = FindOrAddKey(FindOrAddSection(section), key, raw)) *stored = raw;
}

std::string IniDocument::Bytes(std::wstring_view header, std::wstring_view trailer) const {
  std::wstring text(header);
  for (const Section& section : sections_) {
    text += L"\r\n[" + section.name + L"]\r\n";
    // An unreadable value is written back as the file had it.
    for (const auto& [key, raw] : section.keys) text += key + L"=" + raw + L"\r\n";
  }
  text += trailer;
  return std::string(kUtf16Mark, 2) + WideToUtf16Le(text);
}

bool IniDocument::EndsWithTrailer(std::string_view bytes, std::wstring_view trailer) {
  return bytes.starts_with(std::string_view(kUtf16Mark, 2)) && bytes.ends_with(WideToUtf16Le(trailer));
}

bool IsWriteCutShort(std::string_view file, std::string_view whole) {
  if (file.size() >= whole.size()) return false;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] != whole[i] && file[i] != '\0') return false;
  }
  return true;
}
