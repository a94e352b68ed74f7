// The text of chimewatch.ini, the file store of a portable Chimewatch:
// sections "[7]" of "Key=Value" lines, as Windows' INI files are. A value
// that a line cannot hold as it is (line breaks, other control characters,
// blanks at either end, a leading quote) is written in double quotes with
// backslash escapes, so that every description comes back exactly. The
// bytes are UTF-16 LE with a byte order mark; UTF-8, with or without one,
// is read as well, for a file made by hand.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class IniDocument {
 public:
  struct Reading;
  // Lines that are neither blank, a comment (";" or "#"), a section nor a
  // key make the file not understood: it is never rewritten then.
  static Reading Parse(std::string_view bytes);

  // Not there: nothing. There but unreadable (a broken quoted value): a
  // present nullopt, as a registry value of the wrong type.
  std::optional<std::optional<std::wstring>> Find(std::wstring_view section, std::wstring_view key) const;
  void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

  // The whole file: `header` (comment lines), then the sections in the
  // order they were read or made, then `trailer` (comment lines).
  std::string Bytes(std::wstring_view header, std::wstring_view trailer = {}) const;
  // Whether `bytes` end with `trailer` as Bytes writes it: a file written
  // to its end, not one cut short.
  static bool EndsWithTrailer(std::string_view bytes, std::wstring_view trailer);

 private:
  struct Section {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> keys;  // each value as the file holds it
  };
  Section* FindSection(std::wstring_view name);
  const Section* FindSection(std::wstring_view name) const;

  std::vector<Section> sections_;
};

struct IniDocument::Reading {
  IniDocument document;
  std::size_t notUnderstoodLine = 0;  // 1-based; 0 when every line was understood
};
