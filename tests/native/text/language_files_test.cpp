// The table of texts and the language files beside it: every language says
// every text, with the English text's values and plural forms, access keys
// unique per menu and window, and the program picks the right form and
// language.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "date_format.h"
#include "date_value.h"
#include "language_choice.h"
#include "plural_forms.h"
#include "recurrence_text.h"
#include "recurrence_words.h"
#include "text_table.h"
#include "utf8_text.h"

namespace {

struct TableText {
  std::string group, name;
  std::wstring english;
};

const std::vector<TableText>& Table() {
  static const std::vector<TableText> table = {
#define CHIMEWATCH_TEXT(group, name, english) {#group, #group #name, Utf8ToWide(english)},
#include "english_texts.inc"
#undef CHIMEWATCH_TEXT
  };
  return table;
}

// A language file as make_language_rc.py reads it, escapes resolved as the
// resource compiler resolves them.
std::map<std::string, std::wstring> ReadLanguageFile(const std::string& tag) {
  std::ifstream file(std::string(CHIMEWATCH_SOURCE_DIR) + "/resources/languages/" + tag + ".txt");
  EXPECT_TRUE(file) << tag;
  std::map<std::string, std::wstring> texts;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t equals = line.find(" = ");
    EXPECT_NE(equals, std::string::npos) << tag << ": " << line;
    if (equals == std::string::npos) continue;
    std::wstring text;
    const std::wstring raw = Utf8ToWide(line.substr(equals + 3));
    for (std::size_t at = 0; at < raw.size(); ++at) {
      if (raw[at] == L'\\' && at + 1 < raw.size()) {
        const wchar_t next = raw[++at];
        text += next == L'r' ? L'\r' : next == L'n' ? L'\n' : next;
      } else {
        text += raw[at];
      }
    }
    EXPECT_TRUE(texts.emplace(line.substr(0, equals), text).second) << tag << " says twice: " << line;
  }
  return texts;
}

std::vector<std::wstring> Forms(const std::wstring& text, wchar_t separator = L'|') {
  std::vector<std::wstring> forms(1);
  for (const wchar_t c : text) {
    if (c == separator) {
      forms.emplace_back();
    } else {
      forms.back().push_back(c);
    }
  }
  return forms;
}

std::set<wchar_t> Arguments(const std::wstring& text) {
  std::set<wchar_t> numbers;
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    if (text[at] == L'%' && text[at + 1] >= L'1' && text[at + 1] <= L'9') numbers.insert(text[at + 1]);
  }
  return numbers;
}

// The access key of a menu or window text ("&&" is a plain '&'), in lower
// case for Latin and Cyrillic letters, or 0.
wchar_t AccessKey(const std::wstring& text) {
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    if (text[at] != L'&') continue;
    const wchar_t key = text[++at];
    if (key == L'&') continue;
    const bool upper = (key >= L'A' && key <= L'Z') || (key >= 0x410 && key <= 0x42F) || (key >= 0xC0 && key <= 0xDE);
    return upper ? static_cast<wchar_t>(key + 0x20) : key;
  }
  return 0;
}

class FileTexts final : public LanguageTexts {
 public:
  explicit FileTexts(std::map<std::string, std::wstring> texts) : texts_(std::move(texts)) {}
  std::optional<std::wstring_view> Find(TextId id) const override {
    const auto found = texts_.find(Table()[static_cast<std::size_t>(id)].name);
    if (found == texts_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::wstring> texts_;
};

}  // namespace

TEST(LanguageFiles, SayEveryTextWithItsValuesFormsAndAccessKeys) {
  for (std::size_t id = 0; id < Table().size(); ++id) {
    const TableText& text = Table()[id];
    EXPECT_FALSE(text.english.empty()) << text.name;
    // The program's English is the table's.
    EXPECT_EQ(Utf8ToWide(std::string(EnglishText(static_cast<TextId>(id)))), text.english) << text.name;
    EXPECT_LE(Forms(text.english).size(), static_cast<std::size_t>(PluralFormCount("en"))) << text.name;
  }
  for (const Language& language : kLanguages) {
    if (language.tag == "en") continue;
    const std::string tag(language.tag);
    const auto texts = ReadLanguageFile(tag);
    std::map<std::string, std::set<wchar_t>> keysOfGroup;
    for (const TableText& text : Table()) {
      SCOPED_TRACE(tag + " " + text.name);
      const auto found = texts.find(text.name);
      ASSERT_NE(found, texts.end()) << "missing";
      const std::wstring& translated = found->second;
      EXPECT_FALSE(translated.empty());
      const auto englishForms = Forms(text.english);
      const auto forms = Forms(translated);
      EXPECT_EQ(forms.size(), englishForms.size() == 1 ? 1 : static_cast<std::size_t>(PluralFormCount(tag)));
      for (const std::wstring& form : forms) EXPECT_EQ(Arguments(form), Arguments(englishForms[0]));
      // Sentences that follow another keep their blank before them.
      EXPECT_EQ(translated.starts_with(L' '), text.english.starts_with(L' '));
      // A list has a word for each of English's, none of them empty.
      if (text.group == "RuleList" || text.name == "ListNamesWeekdays") {
        EXPECT_EQ(Forms(translated, L' ').size(), Forms(text.english, L' ').size());
        EXPECT_EQ(translated.find(L"  "), std::wstring::npos);
      }
      if (const wchar_t key = AccessKey(translated)) {
        EXPECT_TRUE(keysOfGroup[text.group].insert(key).second) << "access key used twice in " << text.group;
      }
    }
    EXPECT_EQ(texts.size(), Table().size()) << tag << " has texts the table does not";
    // The shell shows 63 characters of a tip.
    EXPECT_LE(texts.at("TipNotActive").size() + 10, 63u) << tag;
  }
}

TEST(LanguageFiles, TheProgramTakesTheFormForTheCountAndEnglishForWhatIsMissing) {
  struct Case {
    std::string tag;
    std::int64_t count;
    std::wstring imported;  // TransferImported for the count, from "x.ics"
  };
  const Case cases[] = {
      {"en", 1, L"Imported 1 alert from x.ics."},
      {"en", 2, L"Imported 2 alerts from x.ics."},
      {"fr", 0, L"0 alerte importée de x.ics."},
      {"fr", 2, L"2 alertes importées de x.ics."},
      {"pl", 1, L"Zaimportowano 1 przypomnienie z x.ics."},
      {"pl", 22, L"Zaimportowano 22 przypomnienia z x.ics."},
      {"pl", 12, L"Zaimportowano 12 przypomnień z x.ics."},
      {"pl", 21, L"Zaimportowano 21 przypomnień z x.ics."},
      {"ru", 21, L"Импортировано 21 напоминание из x.ics."},
      {"ru", 11, L"Импортировано 11 напоминаний из x.ics."},
      {"ru", 104, L"Импортировано 104 напоминания из x.ics."},
      {"ja", 5, L"x.ics から 5 件のアラームをインポートしました。"},
  };
  for (const Case& c : cases) {
    auto texts = c.tag == "en" ? std::map<std::string, std::wstring>() : ReadLanguageFile(c.tag);
    texts.erase("TransferNotImported");  // as a file from an older Chimewatch lacks it
    const FileTexts file(std::move(texts));
    UseLanguage(c.tag == "en" ? nullptr : &file, c.tag);
    EXPECT_EQ(CountText(TextId::TransferImported, c.count, {std::to_wstring(c.count), L"x.ics"}), c.imported);
    EXPECT_EQ(Text(TextId::TransferNotImported, {L"a"}), L" Not imported: a.") << c.tag;
  }
  UseLanguage(nullptr, "en");
  EXPECT_EQ(Text(TextId::ListNamesRemoveQuestion, {L"50% & %2"}),
            L"Are you sure you want to remove the alert\r\n50% & %2 ?");
  EXPECT_EQ(Text(kNoText), L"");
}

// Texts with a count agree with it, and the list's weekday column is in the
// language in use.
TEST(LanguageFiles, CountedTextsAndTheWeekdayColumnFollowTheLanguage) {
  struct Case {
    std::string tag;
    TextId id;
    std::int64_t count;
    std::wstring text;
  };
  const Case cases[] = {
      {"en", TextId::TransferOtherZonesAsLocal, 1, L" So was the time in 1 other zone."},
      {"en", TextId::TransferOtherZonesAsLocal, 3, L" So were the times in 3 other zones."},
      {"de", TextId::TransferDidNotFit, 1, L"1 passte nicht mehr (h\u00f6chstens 101 Erinnerungen)"},
      {"fr", TextId::TransferAndMore, 1, L"et 1 autre"},
      {"pl", TextId::TransferDidNotFit, 22,
       L"22 przypomnienia si\u0119 nie zmie\u015bci\u0142y (najwy\u017cej 101 przypomnie\u0144)"},
      {"ru", TextId::TransferOtherZonesAsLocal, 21,
       L" \u041a\u0430\u043a \u0438 \u0432\u0440\u0435\u043c\u044f \u0435\u0449\u0451 \u0432 21 "
       L"\u043f\u043e\u044f\u0441\u0435."},
      // kNoText: the list's weekday column for Monday 7 December 2026.
      {"en", kNoText, 0, L"Mon"},
      {"de", kNoText, 0, L"Mo"},
      {"ja", kNoText, 0, L"\u6708"},
  };
  const DateValue monday = MakeDate(2026, 12, 7);
  for (const Case& c : cases) {
    const FileTexts file(c.tag == "en" ? std::map<std::string, std::wstring>() : ReadLanguageFile(c.tag));
    UseLanguage(c.tag == "en" ? nullptr : &file, c.tag);
    const std::wstring shown = c.id == kNoText ? FormatDate(monday, kWeekdayPattern)
                                               : CountText(c.id, c.count, {std::to_wstring(c.count), L"101"});
    EXPECT_EQ(shown, c.text) << c.tag;
  }
  UseLanguage(nullptr, "en");
}

TEST(LanguageChoice, FollowsTheSettingThenWindowsThenEnglish) {
  struct Case {
    std::wstring setting, windows;
    std::string shown;
  };
  const Case cases[] = {
      {L"", L"de-DE", "de"},
      {L"", L"de-AT", "de"},
      {L"", L"pt-BR", "pt-BR"},
      {L"", L"pt-PT", "en"},
      {L"", L"zh-CN", "zh-CN"},
      {L"", L"ZH-cn", "zh-CN"},
      {L"", L"sv-SE", "en"},
      {L"", L"", "en"},
      {L"en", L"de-DE", "en"},
      {L"fr", L"de-DE", "fr"},
      {L"qps-ploc", L"", "qps-ploc"},
      // Not a plain tag: never a path beside the program.
      {L"..\\..\\x", L"ja-JP", "ja"},
      {L"a b", L"nl-NL", "nl"},
      // Only a listed language: never another file, nor a device.
      {L"COM1", L"fr-FR", "fr"},
      {L"sv", L"", "en"},
      {L"QPS-PLOC", L"", "qps-ploc"},
      {L"", L"qps-ploc", "en"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanguageToUse(c.setting, c.windows), c.shown) << c.windows;
  }
}

TEST(LanguageFiles, SayARepeatRuleInEachLanguagesGrammar) {
  struct Case {
    std::string tag;
    const char* rule;
    std::wstring words;
  };
  const Case cases[] = {
      // Gender from the weekday, a plural form by the count, a preposition
      // kept with its word, and a capital where a list's word comes first.
      {"ru", "FREQ=MONTHLY;BYDAY=-1FR", L"Последняя пятница каждого месяца"},
      {"ru", "FREQ=MONTHLY;BYDAY=-2WE,1SU", L"Вторая с конца среда и первое воскресенье каждого месяца"},
      {"ru", "FREQ=WEEKLY;INTERVAL=21;BYDAY=TU,WE;COUNT=22", L"Каждую 21 неделю по\u00a0вторникам и по\u00a0средам, 22 раза"},
      {"pl", "FREQ=YEARLY;INTERVAL=2;BYMONTH=3,9;BYMONTHDAY=1", L"Co 2 lata, dzień 1 w\u00a0marcu i we\u00a0wrześniu"},
      {"pl", "FREQ=MONTHLY;BYDAY=SA,SU;BYSETPOS=1", L"Pierwsza sobota lub niedziela każdego miesiąca"},
      {"de", "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;UNTIL=20271231T235900",
       L"Alle 2 Wochen am Montag und Donnerstag, bis 31-12-2027"},
      {"de", "FREQ=YEARLY;BYDAY=22MO", L"Der 22. Montag jedes Jahres"},
      {"es", "FREQ=MONTHLY;BYDAY=-1FR", L"Último viernes de cada mes"},
      {"pt-BR", "FREQ=YEARLY;BYDAY=22MO", L"22ª segunda-feira de cada ano"},
      {"fr", "FREQ=MONTHLY;BYMONTHDAY=1,15,-1", L"Chaque mois les 1er et 15 et le dernier jour"},
      // Day 1 as its language writes it; "en" before a month, for "de avril".
      {"fr", "FREQ=YEARLY;BYMONTH=1;BYMONTHDAY=1", L"Chaque ann\u00e9e le 1er janvier"},
      {"fr", "FREQ=YEARLY;BYMONTH=4;BYDAY=1SU", L"Premier dimanche en avril de chaque ann\u00e9e"},
      {"pt-BR", "FREQ=YEARLY;BYMONTH=1;BYMONTHDAY=1", L"Todo ano em 1\u00ba de janeiro"},
      {"it", "FREQ=YEARLY;BYMONTH=8;BYMONTHDAY=8", L"Ogni anno il giorno 8 agosto"},
      // Orders that put the period first, and an ordinal ending before its number.
      {"ja", "FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU", L"毎年、3月の最終日曜日"},
      {"ja", "FREQ=MONTHLY;BYDAY=1MO", L"毎月の第1月曜日"},
      {"zh-CN", "FREQ=YEARLY;BYMONTH=12;BYMONTHDAY=25", L"每年的12月25日"},
      {"zh-CN", "FREQ=YEARLY;BYDAY=-7SA", L"每年的倒数第7个星期六"},
      // A noun's own gender: Chinese 天 (day) takes no measure word.
      {"zh-CN", "FREQ=MONTHLY;BYMONTHDAY=-2", L"每月的倒数第二天"},
      {"zh-CN", "FREQ=MONTHLY;BYMONTHDAY=-7", L"每月的倒数第7天"},
      {"zh-CN", "FREQ=MONTHLY;BYDAY=SA,SU;BYSETPOS=1", L"每月的第一个星期六或星期日"},
      // The reader's reasons too.
      {"de", "FREQ=YEARLY;BYWEEKNO=20", L"BYWEEKNO wird nicht unterstützt"},
  };
  for (const Case& c : cases) {
    const FileTexts file(ReadLanguageFile(c.tag));
    UseLanguage(&file, c.tag);
    const RuleReading reading = ParseRecurrenceRule(c.rule);
    EXPECT_EQ(reading.rule ? TextInWords(*reading.rule) : reading.reason, c.words) << c.tag << " " << c.rule;
  }
  UseLanguage(nullptr, "en");
}
