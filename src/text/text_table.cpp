#include "text_table.h"

#include <array>
#include <span>
#include <string>

#include "plural_forms.h"

namespace {

// Every English text in one literal, each ended by its '\0'. Only its
// packed form (below) goes into the program.
constexpr char kEnglishPlain[] =
#define CHIMEWATCH_TEXT(group, name, english) english "\0"
#include "english_texts.inc"
#undef CHIMEWATCH_TEXT
    ;

// The English texts packed at compile time (LZ77), half their size: a byte
// below 0x80 stands for itself; 0x80 + n copies n + kMinCopy bytes from
// further back, as far back as the byte after it says, or with 0x40 added
// to n the two bytes after it.
constexpr std::size_t kMinCopy = 3, kMaxCopy = 0x3F + kMinCopy, kTriedCopies = 64, kFar = 0x40;
constexpr std::size_t kPlainSize = sizeof kEnglishPlain;

struct Copy {
  std::size_t length = 0, distance = 0;
};

// The earlier places that start with the same three bytes, newest first:
// the compile-time packing tries only these.
class EarlierPlaces {
 public:
  constexpr EarlierPlaces() { newest_.fill(kNone); }
  constexpr void Add(std::size_t at) {
    if (at + 3 > kPlainSize) return;
    previous_[at] = newest_[Key(at)];
    newest_[Key(at)] = at;
  }
  constexpr Copy LongestCopy(std::size_t at) const {
    Copy best;
    if (at + 3 > kPlainSize) return best;
    std::size_t start = newest_[Key(at)];
    for (std::size_t tried = 0; start != kNone && tried < kTriedCopies && at - start <= 0xFFFF; ++tried) {
      std::size_t length = 0;
      while (length < kMaxCopy && at + length < kPlainSize &&
             kEnglishPlain[start + length] == kEnglishPlain[at + length]) {
        ++length;
      }
      if (length > best.length) best = {length, at - start};
      start = previous_[start];
    }
    return best;
  }

 private:
  static constexpr std::size_t kNone = ~std::size_t{0};
  static constexpr std::size_t Key(std::size_t at) {
    return (static_cast<unsigned char>(kEnglishPlain[at]) * 961u +
            static_cast<unsigned char>(kEnglishPlain[at + 1]) * 31u +
            static_cast<unsigned char>(kEnglishPlain[at + 2])) %
           4093;
  }
  std::array<std::size_t, 4093> newest_{};
  std::array<std::size_t, kPlainSize> previous_{};
};

// Not constexpr: reached while packing, it stops the compilation.
void EnglishTextIsNotAscii() {}

// Calls put(byte) for each packed byte.
template <typename Put>
constexpr void Pack(Put put) {
  EarlierPlaces places;
  for (std::size_t at = 0; at < kPlainSize;) {
    const Copy copy = places.LongestCopy(at);
    const bool far = copy.distance > 0xFF;
    const bool worth = copy.length >= kMinCopy + (far ? 1 : 0);
    const std::size_t taken = worth ? copy.length : 1;
    if (worth) {
      put(static_cast<char>(0x80 + (far ? kFar : 0) + copy.length - kMinCopy));
      put(static_cast<char>(copy.distance & 0xFF));
      if (far) put(static_cast<char>(copy.distance >> 8));
    } else {
      if (static_cast<unsigned char>(kEnglishPlain[at]) >= 0x80) EnglishTextIsNotAscii();
      put(kEnglishPlain[at]);
    }
    for (std::size_t end = at + taken; at < end; ++at) places.Add(at);
  }
}

constexpr std::size_t PackedSize() {
  std::size_t size = 0;
  Pack([&](char) { ++size; });
  return size;
}

constexpr std::array<char, PackedSize()> PackedEnglish() {
  std::array<char, PackedSize()> packed{};
  std::size_t size = 0;
  Pack([&](char byte) { packed[size++] = byte; });
  return packed;
}

constexpr auto kEnglishPacked = PackedEnglish();

const std::string& EnglishTexts() {
  static const std::string plain = [] {
    std::string texts;
    for (std::size_t at = 0; at < kEnglishPacked.size();) {
      const auto byte = static_cast<unsigned char>(kEnglishPacked[at++]);
      if (byte < 0x80) {
        texts += static_cast<char>(byte);
        continue;
      }
      std::size_t distance = static_cast<unsigned char>(kEnglishPacked[at++]);
      if ((byte & kFar) != 0)
        distance |= static_cast<std::size_t>(static_cast<unsigned char>(kEnglishPacked[at++])) << 8;
      for (std::size_t n = (byte & (kFar - 1)) + kMinCopy; n > 0; --n) texts += texts[texts.size() - distance];
    }
    return texts;
  }();
  return plain;
}

const LanguageTexts* chosenTexts = nullptr;
std::string chosenLanguage = "en";

std::wstring Widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::wstring Chosen(TextId id) {
  if (chosenTexts != nullptr) {
    if (const auto text = chosenTexts->Find(id); text && !text->empty()) return std::wstring(*text);
  }
  return Widened(EnglishText(id));
}

std::wstring WithArguments(std::wstring_view text, std::span<const std::wstring_view> arguments) {
  std::wstring result;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const std::size_t number = at + 1 < text.size() ? static_cast<std::size_t>(text[at + 1] - L'1') : 9;
    if (text[at] == L'%' && number < arguments.size()) {
      result += arguments[number];
      ++at;
    } else {
      result += text[at];
    }
  }
  return result;
}

// Form `form` of "one|few|many"; the last one where a text has fewer.
std::wstring_view Form(std::wstring_view forms, int form) {
  for (; form > 0; --form) {
    const std::size_t bar = forms.find(L'|');
    if (bar == std::wstring_view::npos) break;
    forms.remove_prefix(bar + 1);
  }
  return forms.substr(0, forms.find(L'|'));
}

}  // namespace

void UseLanguage(const LanguageTexts* texts, std::string_view language) {
  chosenTexts = texts;
  chosenLanguage = texts != nullptr ? std::string(language) : "en";
}

std::string_view EnglishText(TextId id) {
  const char* text = EnglishTexts().c_str();
  for (auto at = static_cast<std::uint16_t>(id); at > 0; --at) text += std::char_traits<char>::length(text) + 1;
  return text;
}

std::wstring Text(TextId id, std::initializer_list<std::wstring_view> arguments) {
  return WithArguments(Chosen(id), {arguments.begin(), arguments.size()});
}

std::wstring CountText(TextId id, std::int64_t count, std::initializer_list<std::wstring_view> arguments) {
  return WithArguments(Form(Chosen(id), PluralForm(chosenLanguage, count)), {arguments.begin(), arguments.size()});
}
