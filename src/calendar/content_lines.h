// Content lines of an iCalendar file: the reader unfolds and splits them
// into name, parameters and value; the writer folds and escapes.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ContentParameter {
  std::string name;                 // upper case
  std::vector<std::string> values;  // quotes removed
};

struct ContentLine {
  std::string name;  // upper case
  std::vector<ContentParameter> parameters;  // only those the import reads
  std::string value;     // raw: TEXT escapes are still in it
  int lineNumber = 0;    // of its first physical line
  bool readable = true;  // false: no name or no colon where one belongs

  // The first value of a parameter, if it is there.
  std::optional<std::string_view> Parameter(std::string_view name) const;
};

// Beyond this many content lines a file is not read at all: each costs
// about a hundred bytes, so that even a hostile file stays near 150 MB.
inline constexpr std::size_t kMaxContentLines = 1000000;

struct ContentLines {
  std::vector<ContentLine> lines;
  bool tooManyLines = false;
};

// Unfolds (a line starting with a space or a tab continues the one before),
// accepts LF or CR LF and a leading byte order mark, skips blank lines.
ContentLines ReadContentLines(std::string_view bytes);

// The same, one line at a time, so that a big file is not held twice:
// `take` returns false to stop early.
enum class LinesRead { All, Stopped, TooMany };
LinesRead ForEachContentLine(std::string_view bytes, const std::function<bool(ContentLine&&)>& take);

// The line with CR LF, folded so that no line is longer than 75 octets and
// no UTF-8 sequence is split.
std::string FoldContentLine(std::string_view line);

// TEXT values: backslash, semicolon, comma and newline escaped; the reader
// also takes "\N" and leaves an unknown escape's character as it is.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

std::string ToUpperAscii(std::string_view text);
