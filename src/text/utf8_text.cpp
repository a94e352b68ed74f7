#include "utf8_text.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// One code point from `text` at `pos`, advancing `pos`; an invalid or
// overlong sequence or a surrogate gives U+FFFD and skips one byte.
char32_t DecodeOne(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1Fu, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0Fu, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07u, minimum = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (text.size() - pos < length) {
    ++pos;
    return kReplacement;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(byte)) {
      ++pos;
      return kReplacement;
    }
    value = (value << 6) | (byte & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return value;
}

void AppendWide(std::wstring& out, char32_t code) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (code >= 0x10000) {
      const char32_t offset = code - 0x10000;
      out += static_cast<wchar_t>(0xD800 + (offset >> 10));
      out += static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(code);
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(char32_t code) { return code >= 0xD800 && code <= 0xDBFF; }
bool IsLowSurrogate(char32_t code) { return code >= 0xDC00 && code <= 0xDFFF; }

char32_t Utf16Unit(std::string_view bytes, std::size_t at) {
  return static_cast<char32_t>(static_cast<unsigned char>(bytes[at])) |
         (static_cast<char32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) AppendWide(wide, DecodeOne(utf8, pos));
  return wide;
}

bool IsUtf8(std::string_view bytes) {
  for (std::size_t pos = 0; pos < bytes.size();) {
    const std::size_t start = pos;
    if (DecodeOne(bytes, pos) == kReplacement && bytes.substr(start, 3) != "\xEF\xBF\xBD") return false;
  }
  return true;
}

std::string WideToUtf8(std::wstring_view wide) {
  std::string utf8;
  utf8.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    auto code = static_cast<char32_t>(static_cast<std::uint32_t>(wide[i]));
    if (IsHighSurrogate(code) && i + 1 < wide.size() &&
        IsLowSurrogate(static_cast<char32_t>(static_cast<std::uint32_t>(wide[i + 1])))) {
      const auto low = static_cast<char32_t>(static_cast<std::uint32_t>(wide[i + 1]));
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(code) || IsLowSurrogate(code) || code > 0x10FFFF) {
      code = kReplacement;  // a lone half of a pair, or no character at all
    }
    AppendUtf8(utf8, code);
  }
  return utf8;
}

std::wstring Utf16LeToWide(std::string_view bytes) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t unit = Utf16Unit(bytes, i);
    // Where wchar_t is 32 bits wide, a surrogate pair is one character.
    if (sizeof(wchar_t) == 4 && IsHighSurrogate(unit) && i + 3 < bytes.size()) {
      const char32_t low = Utf16Unit(bytes, i + 2);
      if (IsLowSurrogate(low)) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendWide(text, unit);
  }
  return text;
}

std::string WideToUtf16Le(std::wstring_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  const auto unit = [&](char32_t value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
  };
  for (const wchar_t c : text) {
    const auto point = static_cast<char32_t>(c);
    if (point >= 0x10000) {
      unit(0xD800 + ((point - 0x10000) >> 10));
      unit(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      unit(point);
    }
  }
  return bytes;
}
