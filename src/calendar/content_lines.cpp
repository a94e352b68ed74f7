#include "content_lines.h"

namespace {

constexpr std::size_t kMaxFoldedOctets = 75;
constexpr std::size_t kMaxParameters = 64;
// Only the parameters the import reads are kept, with their first few
// values: a hostile file of long parameter lists then costs no more memory
// than a plain one. The others are read for their form only.
constexpr std::string_view kKeptParameters[] = {"VALUE", "TZID", "RELATED", "RANGE"};
constexpr std::size_t kMaxKeptValues = 4;

bool IsKept(std::string_view name) {
  for (const std::string_view kept : kKeptParameters) {
    if (name == kept) return true;
  }
  return false;
}

bool IsNameCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// Reads a name from `pos`: at least one name character.
std::optional<std::string> ReadName(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && IsNameCharacter(text[pos])) ++pos;
  if (pos == start) return std::nullopt;
  return ToUpperAscii(text.substr(start, pos - start));
}

// One parameter value, quoted or not; stops before , ; or : outside quotes.
std::optional<std::string> ReadParameterValue(std::string_view text, std::size_t& pos) {
  if (pos < text.size() && text[pos] == '"') {
    const std::size_t close = text.find('"', pos + 1);
    if (close == std::string_view::npos) return std::nullopt;
    std::string value(text.substr(pos + 1, close - pos - 1));
    pos = close + 1;
    return value;
  }
  const std::size_t end = text.find_first_of(",;:\"", pos);
  if (end == std::string_view::npos) return std::nullopt;
  std::string value(text.substr(pos, end - pos));
  pos = end;
  return value;
}

bool ReadParameter(std::string_view text, std::size_t& pos, ContentParameter& parameter) {
  auto name = ReadName(text, pos);
  if (!name || pos >= text.size() || text[pos] != '=') return false;
  parameter.name = std::move(*name);
  ++pos;
  const bool kept = IsKept(parameter.name);
  for (;;) {
    auto value = ReadParameterValue(text, pos);
    if (!value) return false;
    if (kept && parameter.values.size() < kMaxKeptValues) parameter.values.push_back(std::move(*value));
    if (pos >= text.size() || text[pos] != ',') return true;
    ++pos;
  }
}

ContentLine ParseLogicalLine(std::string_view text, int lineNumber) {
  ContentLine line;
  line.lineNumber = lineNumber;
  std::size_t pos = 0;
  auto name = ReadName(text, pos);
  if (!name) {
    line.readable = false;
    return line;
  }
  line.name = std::move(*name);
  std::size_t parameters = 0;
  while (pos < text.size() && text[pos] == ';') {
    ++pos;
    ContentParameter parameter;
    if (++parameters > kMaxParameters || !ReadParameter(text, pos, parameter)) {
      line.readable = false;
      return line;
    }
    if (!parameter.values.empty()) line.parameters.push_back(std::move(parameter));
  }
  if (pos >= text.size() || text[pos] != ':') {
    line.readable = false;
    return line;
  }
  line.value = std::string(text.substr(pos + 1));
  return line;
}

// The next physical line from `pos` without its LF or CR LF.
std::string_view NextPhysicalLine(std::string_view bytes, std::size_t& pos) {
  const std::size_t end = bytes.find('\n', pos);
  const std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
  std::string_view line = bytes.substr(pos, stop - pos);
  pos = end == std::string_view::npos ? bytes.size() : end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::optional<std::string_view> ContentLine::Parameter(std::string_view parameterName) const {
  for (const ContentParameter& parameter : parameters) {
    if (parameter.name == parameterName && !parameter.values.empty()) return parameter.values.front();
  }
  return std::nullopt;
}

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

LinesRead ForEachContentLine(std::string_view bytes, const std::function<bool(ContentLine&&)>& take) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  std::size_t pos = 0;
  std::size_t count = 0;
  int physicalNumber = 0;
  std::string logical;
  int logicalNumber = 0;
  // Hands over the logical line gathered so far, if any.
  auto flush = [&] {
    const bool goOn = logicalNumber == 0 || take(ParseLogicalLine(logical, logicalNumber));
    logical.clear();
    logicalNumber = 0;
    return goOn;
  };
  while (pos < bytes.size()) {
    const std::string_view physical = NextPhysicalLine(bytes, pos);
    ++physicalNumber;
    if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
      if (logicalNumber != 0) logical.append(physical.substr(1));
      continue;
    }
    if (!flush()) return LinesRead::Stopped;
    if (physical.empty()) continue;
    if (++count > kMaxContentLines) return LinesRead::TooMany;
    logical.assign(physical);
    logicalNumber = physicalNumber;
  }
  return flush() ? LinesRead::All : LinesRead::Stopped;
}

ContentLines ReadContentLines(std::string_view bytes) {
  ContentLines result;
  const LinesRead read = ForEachContentLine(bytes, [&result](ContentLine&& line) {
    result.lines.push_back(std::move(line));
    return true;
  });
  if (read == LinesRead::TooMany) {
    result.tooManyLines = true;
    result.lines.clear();
  }
  return result;
}

std::string FoldContentLine(std::string_view line) {
  std::string folded;
  folded.reserve(line.size() + line.size() / 40 + 2);
  std::size_t limit = kMaxFoldedOctets;  // the first line; later ones begin with a space
  while (line.size() > limit) {
    std::size_t cut = limit;
    while (cut > 0 && IsUtf8Continuation(line[cut])) --cut;
    if (cut == 0) cut = limit;  // not UTF-8 here: a cut anywhere is as good
    folded.append(line.substr(0, cut));
    folded.append("\r\n ");
    line.remove_prefix(cut);
    limit = kMaxFoldedOctets - 1;
  }
  folded.append(line);
  folded.append("\r\n");
  return folded;
}

std::string EscapeText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case ';': escaped += "\\;"; break;
      case ',': escaped += "\\,"; break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one line break
        escaped += "\\n";
        break;
      case '\n': escaped += "\\n"; break;
      // TEXT holds no other control character: a blank stands for it.
      default: escaped += (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F ? ' ' : c;
    }
  }
  return escaped;
}

std::string UnescapeText(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    const char next = text[++i];
    plain += (next == 'n' || next == 'N') ? '\n' : next;
  }
  return plain;
}
