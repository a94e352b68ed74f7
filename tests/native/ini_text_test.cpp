// chimewatch.ini: the file store's text, read and written.
#include <gtest/gtest.h>

#include "ini_text.h"
#include "test_support.h"

namespace {

IniDocument ReadBack(const IniDocument& document) { return IniDocument::Parse(document.Bytes(L"; header\r\n")).document; }

std::string Utf8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

}  // namespace

TEST(IniText, EveryDescriptionComesBackExactly) {
  const std::wstring descriptions[] = {
      L"Dentist",          L"",          L"CR LF\r\nline",   L"lone CR\rx",     L"lone LF\nx",
      L"tab\tx",           L"\x01\x1F\x7F", L"  blanks  ",  L"\"quoted\"",     L"back\\slash \\n",
      L"a = b ; c # d",    L"[7]",       L"F\u00eate \u2603", L"\U0001F600",   std::wstring(1, wchar_t(0xD800)) + L"x",
  };
  IniDocument document;
  for (std::size_t i = 0; i < std::size(descriptions); ++i) document.Set(std::to_wstring(i), L"Naam", descriptions[i]);
  const IniDocument read = ReadBack(document);
  for (std::size_t i = 0; i < std::size(descriptions); ++i) {
    EXPECT_EQ(read.Find(std::to_wstring(i), L"Naam"), std::optional(std::optional(descriptions[i]))) << i;
  }
}

// UTF-16 with a byte order mark, the header, the sections in their order,
// and an unreadable value written back as the file had it.
TEST(IniText, WritesUtf16AndLeavesAnUnreadableValueAsItWas) {
  IniDocument document = IniDocument::Parse("[10]\r\nNaam=\"open\r\n").document;
  document.Set(L"9", L"Exist", L"False");
  document.Set(L"10", L"Exist", L"True");
  std::string expected = "\xFF\xFE";
  for (const char c : std::string("; header\r\n\r\n[10]\r\nNaam=\"open\r\nExist=True\r\n\r\n[9]\r\nExist=False\r\n")) {
    expected += c;
    expected += '\0';
  }
  EXPECT_EQ(document.Bytes(L"; header\r\n"), expected);
  // A file written to its end carries the trailer; one cut short, or in
  // UTF-8, does not.
  const std::string whole = document.Bytes(L"; header\r\n", L"; end\r\n");
  EXPECT_TRUE(IniDocument::EndsWithTrailer(whole, L"; end\r\n"));
  EXPECT_FALSE(IniDocument::EndsWithTrailer(whole.substr(0, whole.size() - 2), L"; end\r\n"));
  EXPECT_FALSE(IniDocument::EndsWithTrailer(expected, L"; end\r\n"));
  EXPECT_FALSE(IniDocument::EndsWithTrailer("[1]\r\n; end\r\n", L"; end\r\n"));
}

TEST(IniText, ReadsWhatAPersonMightWrite) {
  const struct {
    std::string file;
    std::optional<std::optional<std::wstring>> naam;  // of section 7
    std::size_t notUnderstoodLine;
  } cases[] = {
      {"", std::nullopt, 0},
      {"; only a comment\r\n# and another\r\n", std::nullopt, 0},
      {"[7]\nNaam=Tea\n", std::optional<std::wstring>(L"Tea"), 0},
      {Utf8(u8"\uFEFF[7]\r\n  naam =  F\u00eate  \r\n"), std::optional<std::wstring>(L"F\u00eate"), 0},
      {"[7]\r\nNaam=first\r\nNAAM=second\r\n", std::optional<std::wstring>(L"first"), 0},
      {"[7]\r\nNaam=\"open\r\n", std::optional<std::wstring>(), 0},     // unreadable
      {"[7]\r\nNaam=\"bad \\q\"\r\n", std::optional<std::wstring>(), 0},  // unreadable
      {"[7]\r\nNaam=\xFF\r\n", std::optional<std::wstring>(L"\xFFFD"), 0},
      {"Naam=outside\r\n[7]\r\nNaam=Tea\r\n", std::optional<std::wstring>(L"Tea"), 1},
      {"[7]\r\nNaam=Tea\r\njust words\r\n", std::optional<std::wstring>(L"Tea"), 3},
  };
  for (const auto& c : cases) {
    const IniDocument::Reading reading = IniDocument::Parse(c.file);
    EXPECT_EQ(reading.document.Find(L"7", L"Naam"), c.naam) << c.file;
    EXPECT_EQ(reading.notUnderstoodLine, c.notUnderstoodLine) << c.file;
  }
}
