// chimewatch.ini: the file store's text, read and written.
#include <gtest/gtest.h>

#include "ini_text.h"
#include "test_support.h"

namespace {

// A stand-in for Windows' ANSI code page 1252: Latin-1 and the euro sign;
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character there.
std::optional<std::wstring> Cp1252(std::string_view bytes) {
  std::wstring text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) return std::nullopt;
    text += byte == 0x80 ? L'\u20AC' : static_cast<wchar_t>(byte);
  }
  return text;
}

IniDocument::Reading Parse(std::string_view bytes) { return IniDocument::Parse(bytes, Cp1252); }

IniDocument ReadBack(const IniDocument& document) { return Parse(document.Bytes(L"; header\r\n")).document; }

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
  IniDocument document = Parse("[10]\r\nNaam=\"open\r\n").document;
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
    bool notText = false;
  } cases[] = {
      {"", std::nullopt, 0},
      {"; only a comment\r\n# and another\r\n", std::nullopt, 0},
      {"[7]\nNaam=Tea\n", std::optional<std::wstring>(L"Tea"), 0},
      {Utf8(u8"\uFEFF[7]\r\n  naam =  F\u00eate  \r\n"), std::optional<std::wstring>(L"F\u00eate"), 0},
      {"[7]\r\nNaam=first\r\nNAAM=second\r\n", std::optional<std::wstring>(L"first"), 0},
      {"[7]\r\nNaam=\"open\r\n", std::optional<std::wstring>(), 0},       // unreadable
      {"[7]\r\nNaam=\"bad \\q\"\r\n", std::optional<std::wstring>(), 0},  // unreadable
      // Not UTF-8: the ANSI code page, as Notepad reads it; a byte with no
      // character there makes the file no text (never a U+FFFD saved).
      {"[7]\r\nNaam=Caf\xE9 na\xEFve \x80\r\n", std::optional<std::wstring>(L"Caf\u00e9 na\u00efve \u20AC"), 0},
      {"[7]\r\nNaam=\xFF\r\n", std::optional<std::wstring>(L"\u00FF"), 0},
      {"[7]\r\nNaam=\x81\xC3\xA9\r\n", std::optional<std::wstring>(L"\xFFFD\u00e9"), 0, true},
      {Utf8(u8"[7]\r\nNaam=\uFFFD\u00e9\r\n"), std::optional<std::wstring>(L"\xFFFD\u00e9"), 0},
      {"Naam=outside\r\n[7]\r\nNaam=Tea\r\n", std::optional<std::wstring>(L"Tea"), 1},
      {"[7]\r\nNaam=Tea\r\njust words\r\n", std::optional<std::wstring>(L"Tea"), 3},
      // A blank section name, as "[ ]" and as it is written back.
      {"[ ]\r\nK=v\r\n[7]\r\nNaam=Tea\r\n", std::optional<std::wstring>(L"Tea"), 0},
      {"[]\r\nK=v\r\n[7]\r\nNaam=Tea\r\n", std::optional<std::wstring>(L"Tea"), 0},
  };
  for (const auto& c : cases) {
    const IniDocument::Reading reading = Parse(c.file);
    EXPECT_EQ(reading.document.Find(L"7", L"Naam"), c.naam) << c.file;
    EXPECT_EQ(reading.notUnderstoodLine, c.notUnderstoodLine) << c.file;
    EXPECT_EQ(reading.notText, c.notText) << c.file;
  }
}

// Names are one regardless of ASCII case, as Windows compares them; other
// characters are compared as they are.
TEST(IniText, SectionsAndKeysAreFoundRegardlessOfAsciiCaseOnly) {
  IniDocument document = Parse("[Ab]\r\nNaam=one\r\n[\xC3\xA9]\r\nK=e\r\n").document;
  document.Set(L"aB", L"NAAM", L"two");
  document.Set(L"\u00c9", L"K", L"E");
  EXPECT_EQ(document.Find(L"AB", L"naam"), std::optional(std::optional<std::wstring>(L"two")));
  EXPECT_EQ(document.Find(L"\u00e9", L"k"), std::optional(std::optional<std::wstring>(L"e")));
  EXPECT_EQ(document.Find(L"\u00c9", L"K"), std::optional(std::optional<std::wstring>(L"E")));
  EXPECT_EQ(document.Find(L"A@", L"Naam"), std::nullopt);  // '@' | 0x20 is '`', not a letter
}

// 100,000 keys: a reader that looked for each key among those before it
// would compare 5e9 pairs and not end within the test's time.
TEST(IniText, AFileOfManyKeysReadsInOnePass) {
  std::string file = "[1]\r\n";
  for (int i = 0; i < 100000; ++i) file += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  const IniDocument document = Parse(file).document;
  EXPECT_EQ(document.Find(L"1", L"k99999"), std::optional(std::optional<std::wstring>(L"99999")));
  EXPECT_EQ(document.Find(L"1", L"K100000"), std::nullopt);
}

TEST(IniText, AWriteCutShortIsAPrefixOfTheWholeFile) {
  const struct {
    std::string file;
    bool cutShort;
  } cases[] = {
      {"", true},                             // emptied, nothing written yet
      {"[7]\r\nNa", true},                    // cut short
      {std::string("[7]\r\n\0\0", 7), true},  // not on disk yet
      {"[7]\r\nNaam=New\r\n", false},         // whole
      {"[7]\r\nNaam=Old\r\n", false},         // as before the write, or changed since
      {"[7]\r\nNaam=New\r\n[8]\r\n", false},  // longer: changed since
  };
  for (const auto& c : cases) EXPECT_EQ(IsWriteCutShort(c.file, "[7]\r\nNaam=New\r\n"), c.cutShort) << c.file;
}
