// The text of chimewatch.ini, the file store of a portable Chimewatch:
// sections "[7]" of "Key=Value" lines, as Windows' INI files are. A value
// that a line cannot hold as it is (line breaks, other control characters,
// blanks at either end, a leading quote) is written in double quotes with
// backslash escapes, so that every description comes back exactly. The
// bytes are UTF-16 LE with a byte order mark; UTF-8, with or without one,
// is read as well, for a file made by hand, and so is a file in the ANSI
// code page (as PowerShell 5.1's Set-Content or an old Notepad save it),
// which is what Notepad takes a file for that is not valid UTF-8. Reading is
// linear in the file: sections and keys are found by a hashed index.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Text in the ANSI code page, or nothing when a byte has no character there.
using AnsiDecoding = std::optional<std::wstring> (*)(std::string_view bytes);

class IniDocument {
 public:
  struct Reading;
  // Lines that are neither blank, a comment (";" or "#"), a section nor a
  // key make the file not understood: it is never rewritten then. Neither
  // is a file that is no text in any of the encodings read.
  static Reading Parse(std::string_view bytes, AnsiDecoding ansi);

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
  // Names by their case-folded form, as Windows compares them: each
  // entry's place in the vector it indexes.
  using NameIndex = std::unordered_map<std::wstring, std::size_t>;
  struct Section {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> keys;  // each value as the file holds it
    NameIndex keyIndex;
  };
  Section* FindSection(std::wstring_view name);
  const Section* FindSection(std::wstring_view name) const;
  Section& FindOrAddSection(std::wstring_view name);
  // The value stored for `key`, or null once a new key was added with `raw`.
  static std::wstring* FindOrAddKey(Section& section, std::wstring_view key, std::wstring_view raw);

  std::vector<Section> sections_;
  NameIndex sectionIndex_;
};

// Whether `file` is what an in-place write of `whole` leaves when it is cut
// short: a file emptied first, then written from its start, is a strict
// prefix of `whole` (bytes that never reached the disk may read as zeros).
// A file written whole or changed since never is.
bool IsWriteCutShort(std::string_view file, std::string_view whole);

struct IniDocument::Reading {
  IniDocument document;
  std::size_t notUnderstoodLine = 0;  // 1-based; 0 when every line was understood
  bool notText = false;               // neither UTF-16, UTF-8 nor the ANSI code page
};
