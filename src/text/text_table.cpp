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

// The English texts packed at compile time (LZ77), to less than half their
// size: a byte below 0x80 stands for itself; a copy of bytes from further
// back is either short, 0x80 + (length - 3) * 8 + the distance's top three
// bits, then its low byte (up to 10 bytes from up to 2047 back), or long,
// 0xC0 + length - 3, then the distance in two bytes (low first).
constexpr std::size_t kMinCopy = 3, kMaxShortCopy = 7 + kMinCopy, kMaxCopy = 0x3F + kMinCopy, kTriedCopies = 64;
constexpr std::size_t kShortReach = 0x7FF, kLong = 0x40;
constexpr std::size_t kPlainSize = sizeof kEnglishPlain;

struct Copy {
  std::size_t length = 0, distance = 0;
};

// The copies worth taking at a place: the longest one a short copy
// reaches, and the longest one at all.
struct Choices {
  Copy shortReach, any;
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
  constexpr Choices LongestCopies(std::size_t at) const {
    Choices best;
    if (at + 3 > kPlainSize) return best;
    std::size_t start = newest_[Key(at)];
    for (std::size_t tried = 0; start != kNone && tried < kTriedCopies && at - start <= 0xFFFF; ++tried) {
      std::size_t length = 0;
      while (length < kMaxCopy && at + length < kPlainSize &&
             kEnglishPlain[start + length] == kEnglishPlain[at + length]) {
        ++length;
      }
      const Copy copy{length, at - start};
      if (length > best.any.length) best.any = copy;
      if (length > best.shortReach.length && copy.distance <= kShortReach) best.shortReach = copy;
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

// The cheapest packing (in bytes) from each place to the end, taking at
// each place a byte, or a short or long copy of any length up to the longest.
class Parse {
 public:
  constexpr Parse() {
    std::array<Choices, kPlainSize> choices{};
    EarlierPlaces places;
    for (std::size_t at = 0; at < kPlainSize; ++at) {
      choices[at] = places.LongestCopies(at);
      places.Add(at);
    }
    for (std::size_t at = kPlainSize; at-- > 0;) {
      cost_[at] = cost_[at + 1] + 1;
      taken_[at] = {};
      Consider(at, choices[at].shortReach, kMaxShortCopy, 2);
      Consider(at, choices[at].any, kMaxCopy, 3);
    }
  }
  // The copy to take at `at`, or none (length 0) for the byte itself.
  constexpr Copy Taken(std::size_t at) const { return taken_[at]; }

 private:
  constexpr void Consider(std::size_t at, Copy copy, std::size_t longest, std::size_t bytes) {
    for (std::size_t length = kMinCopy; length <= copy.length && length <= longest; ++length) {
      if (bytes + cost_[at + length] < cost_[at]) {
        cost_[at] = bytes + cost_[at + length];
        taken_[at] = {length, copy.distance};
      }
    }
  }
  std::array<std::size_t, kPlainSize + 1> cost_{};
  std::array<Copy, kPlainSize> taken_{};
};

// Parsed once, for both the packed size and the packed bytes.
constexpr Parse kParse;

// Not constexpr: reached while packing, it stops the compilation.
void EnglishTextIsNotAscii() {}

// Calls put(byte) for each packed byte.
template <typename Put>
constexpr void Pack(Put put) {
  for (std::size_t at = 0; at < kPlainSize;) {
    const Copy copy = kParse.Taken(at);
    const bool isLong = copy.length > kMaxShortCopy || copy.distance > kShortReach;
    if (copy.length > 0 && isLong) {
      put(static_cast<char>(0x80 + kLong + copy.length - kMinCopy));
      put(static_cast<char>(copy.distance & 0xFF));
      put(static_cast<char>(copy.distance >> 8));
      at += copy.length;
    } else if (copy.length > 0) {
      put(static_cast<char>(0x80 + (copy.length - kMinCopy) * 8 + (copy.distance >> 8)));
      put(static_cast<char>(copy.distance & 0xFF));
      at += copy.length;
    } else {
      if (static_cast<unsigned char>(kEnglishPlain[at]) >= 0x80) EnglishTextIsNotAscii();
      put(kEnglishPlain[at++]);
    }
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
      std::size_t length = kMinCopy;
      if ((byte & kLong) != 0) {
        distance |= static_cast<std::size_t>(static_cast<unsigned char>(kEnglishPacked[at++])) << 8;
        length += byte & (kLong - 1);
      } else {
        distance |= static_cast<std::size_t>(byte & 7) << 8;
        length += (byte >> 3) & 7;
      }
      for (; length > 0; --length) texts += texts[texts.size() - distance];
    }
    return texts;
  }();
  return plain;
}

const LanguageTexts* chosenTexts = nullptr;
std::string chosenLanguage = "en";

std::wstring Widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::wstring Chosen(TextId id) {
  if (id >= kNoText) return {};  // kNoText: the empty text, which no file holds
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

std::wstring ListWord(TextId id, std::size_t index) {
  const std::wstring words = Text(id);
  std::size_t start = 0;
  for (; index > 0 && start != std::wstring::npos; --index) {
    start = words.find(L' ', start);
    if (start != std::wstring::npos) ++start;
  }
  if (start == std::wstring::npos) start = 0;
  std::wstring word = words.substr(start, words.find(L' ', start) - start);
  if (word == L"\u200B") word.clear();  // a list's empty word, as blanks cannot write it
  return word;
}

int OrdinalForm(std::int64_t number) { return OrdinalForm(chosenLanguage, number); }
