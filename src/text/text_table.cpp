#include "text_table.h"

#include <atomic>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "plural_forms.h"

namespace {

// Every English text, by identifier.
constexpr std::string_view kEnglish[] = {
#define CHIMEWATCH_TEXT(group, name, english) english,
#include "english_texts.inc"
#undef CHIMEWATCH_TEXT
};
static_assert(std::size(kEnglish) == static_cast<std::size_t>(TextId::Count));

constexpr bool AllAscii() {
  for (const std::string_view text : kEnglish) {
    for (const char c : text) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
  }
  return true;
}
static_assert(AllAscii(), "the English texts are ASCII: they are widened byte by byte");

// The language in use: a file's texts and the tag whose plural rules they
// follow, published whole, so that a thread that reads texts while the
// window thread changes the language sees either the old choice or the
// new one. A choice is never freed: there are as many as languages used.
struct Choice {
  const LanguageTexts* texts;
  std::string language;
};

const Choice kEnglishChoice{nullptr, "en"};
std::atomic<const Choice*> chosen{&kEnglishChoice};

const Choice& Current() { return *chosen.load(std::memory_order_acquire); }

std::wstring Widened(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::wstring Chosen(const Choice& choice, TextId id) {
  if (id >= kNoText) return {};  // kNoText: the empty text, which no file holds
  if (choice.texts != nullptr) {
    if (const auto text = choice.texts->Find(id); text && !text->empty()) return std::wstring(*text);
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
  // Called on the window thread only: the list of choices is its own.
  static std::vector<std::unique_ptr<const Choice>> made;
  if (texts == nullptr) {
    chosen.store(&kEnglishChoice, std::memory_order_release);
    return;
  }
  for (const auto& choice : made) {
    if (choice->texts == texts && choice->language == language) {
      chosen.store(choice.get(), std::memory_order_release);
      return;
    }
  }
  made.push_back(std::make_unique<const Choice>(Choice{texts, std::string(language)}));
  chosen.store(made.back().get(), std::memory_order_release);
}

std::string_view EnglishText(TextId id) {
  return id < TextId::Count ? kEnglish[static_cast<std::size_t>(id)] : std::string_view();
}

std::wstring Text(TextId id, std::initializer_list<std::wstring_view> arguments) {
  return WithArguments(Chosen(Current(), id), {arguments.begin(), arguments.size()});
}

std::wstring CountText(TextId id, std::int64_t count, std::initializer_list<std::wstring_view> arguments) {
  const Choice& choice = Current();
  return WithArguments(Form(Chosen(choice, id), PluralForm(choice.language, count)),
                       {arguments.begin(), arguments.size()});
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

int OrdinalForm(std::int64_t number) { return OrdinalForm(Current().language, number); }
