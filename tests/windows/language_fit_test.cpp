// Every text of every language fits its control, at 96, 120, 144 and 192
// DPI: measured with DrawText and the dialog font the program makes, on
// the layouts the program lays out.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "custom_rule.h"
#include "dpi.h"
#include "language_choice.h"
#include "language_file.h"
#include "text_table.h"
#include "twips_layout.h"
#include "window_layouts.h"

namespace {

std::wstring gLanguageFolder;  // the built languages\ folder

constexpr int kDpis[] = {96, 120, 144, 192};
constexpr TextId kRepeatEntries[] = {TextId::RepeatListOnce,     TextId::RepeatListEachDay,
                                     TextId::RepeatListEachWeek, TextId::RepeatListEachMonth,
                                     TextId::RepeatListEachYear, TextId::RepeatListCustom};

class Measure {
 public:
  explicit Measure(int dpi) : dpi_(dpi), dc_(CreateCompatibleDC(nullptr)) {
    const LOGFONTW logFont = MessageFontForDpi(dpi);
    font_ = CreateFontIndirectW(&logFont);
    SelectObject(dc_, font_);
  }
  ~Measure() {
    DeleteDC(dc_);
    DeleteObject(font_);
  }
  SIZE Of(const std::wstring& text, bool prefix) const {
    RECT rect = {0, 0, 0, 0};
    DrawTextW(dc_, text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
    return {rect.right, rect.bottom};
  }
  int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
  int dpi() const { return dpi_; }

 private:
  int dpi_;
  HDC dc_;
  HFONT font_ = nullptr;
};

// The width a control's text may take: a label up to the first field it
// reaches under (the field covers the rest), less a check box's box or a
// button's edges.
int TextRoom(const ControlLayout& control, std::span<const ControlLayout> all, const Measure& measure) {
  int right = control.left + control.width;
  if (control.kind == ControlKind::Label) {
    for (const ControlLayout& other : all) {
      const bool sameRow = other.top < control.top + control.height && control.top < other.top + other.height;
      if (other.kind != ControlKind::Label && sameRow && other.left > control.left)
        right = std::min<int>(right, other.left);
    }
  }
  const int width = TwipsToPixels(right, measure.dpi()) - TwipsToPixels(control.left, measure.dpi());
  switch (control.kind) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return width - SystemMetricForDpi(SM_CXMENUCHECK, measure.dpi()) - measure.Scaled(4);
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: return width - measure.Scaled(8);
    case ControlKind::DropDownList: return width - SystemMetricForDpi(SM_CXVSCROLL, measure.dpi()) - measure.Scaled(6);
    default: return width;
  }
}

// Windows' dialog font (Segoe UI 9 pt) is about a tenth wider than Wine's
// (Tahoma 8 pt): a text fits with that to spare, or is no wider than the
// English one users see there now (the widest English entry of a list).
int EnglishWidth(std::span<const TextId> ids, bool prefix, const Measure& measure) {
  int widest = 0;
  for (const TextId id : ids) {
    const std::string_view english = EnglishText(id);
    widest = std::max<int>(widest, measure.Of(std::wstring(english.begin(), english.end()), prefix).cx);
  }
  return widest;
}

void ExpectFits(TextId id, const ControlLayout& control, std::span<const ControlLayout> all, const Measure& measure,
                std::span<const TextId> list = {}) {
  const bool prefix = control.kind != ControlKind::Label;
  const std::wstring text = Text(id);
  const SIZE size = measure.Of(text, prefix);
  const int room = TextRoom(control, all, measure);
  const int englishWidth = list.empty() ? EnglishWidth({&id, 1}, prefix, measure) : EnglishWidth(list, prefix, measure);
  EXPECT_LE(size.cx, std::min(room, std::max(room * 10 / 11, englishWidth))) << "\"" << text << "\" is cut";
  EXPECT_LE(size.cy,
            TwipsToPixels(control.top + control.height, measure.dpi()) - TwipsToPixels(control.top, measure.dpi()))
      << "\"" << text << "\" is too high";
}

const ControlLayout& ControlOf(std::span<const ControlLayout> all, int id) {
  return *std::find_if(all.begin(), all.end(), [id](const ControlLayout& control) { return control.id == id; });
}

void ExpectEntriesFit(std::span<const TextId> entries, std::span<const ControlLayout> all, int id,
                      const Measure& measure) {
  for (const TextId entry : entries) ExpectFits(entry, ControlOf(all, id), all, measure, entries);
}

void ExpectLayoutFits(std::span<const ControlLayout> controls, const Measure& measure) {
  for (const ControlLayout& control : controls) {
    if (control.caption == kNoText || control.kind == ControlKind::TextBox ||
        control.kind == ControlKind::PasswordBox || control.kind == ControlKind::ListView) {
      continue;
    }
    ExpectFits(control.caption, control, controls, measure);
  }
}

void ExpectEveryWindowFits(const Measure& measure) {
  ExpectLayoutFits(kSetupControls, measure);
  ExpectLayoutFits(kEditControls, measure);
  ExpectLayoutFits(kCustomRuleControls, measure);
  ExpectLayoutFits(kSoundControls, measure);
  ExpectLayoutFits(kCalendarsControls, measure);
  ExpectLayoutFits(kAddCalendarControls, measure);
  ExpectLayoutFits(kPasswordControls, measure);
  ExpectEntriesFit(kRepeatEntries, kEditControls, IDC_CMBREPEAT, measure);
  ExpectEntriesFit(kRuleUnitTexts, kCustomRuleControls, IDC_CMBUNIT, measure);
  ExpectEntriesFit(kRulePlaceTexts, kCustomRuleControls, IDC_CMBPLACE, measure);
  ExpectEntriesFit(kRuleWeekdayTexts, kCustomRuleControls, IDC_CMBWEEKDAY, measure);
  ExpectEntriesFit(kRuleEndTexts, kCustomRuleControls, IDC_CMBEND, measure);
  for (const ColumnLayout& column : kAlarmListColumns) {
    if (column.width == 0 || column.header == kNoText) continue;  // hidden
    EXPECT_LE(measure.Of(Text(column.header), false).cx + measure.Scaled(12),
              TwipsToPixels(column.width, measure.dpi()))
        << "column \"" << Text(column.header) << "\" is cut";
  }
}

void ExpectLanguageFits(std::string_view tag) {
  const LanguageFile file(gLanguageFolder + std::wstring(tag.begin(), tag.end()) + L".dll");
  ASSERT_TRUE(tag == "en" || file.Loaded()) << "no language file for " << tag;
  UseLanguage(tag == "en" ? nullptr : &file, tag);
  for (const int dpi : kDpis) {
    SCOPED_TRACE(testing::Message() << tag.data() << " at " << dpi << " DPI");
    ExpectEveryWindowFits(Measure(dpi));
  }
  UseLanguage(nullptr, "en");
}

}  // namespace

TEST(LanguageFit, EveryTextOfEveryLanguageFitsItsControlAtEveryDpi) {
  for (const Language& language : kLanguages) ExpectLanguageFits(language.tag);
}

TEST(LanguageFit, AMissingOrDamagedFileGivesEnglish) {
  const LanguageFile missing(gLanguageFolder + L"xx.dll");
  EXPECT_FALSE(missing.Loaded());
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  // A DLL without texts: every text is English.
  const LanguageFile noTexts{std::wstring(self)};
  ASSERT_TRUE(noTexts.Loaded());
  UseLanguage(&noTexts, "de");
  EXPECT_EQ(Text(TextId::EditorCancel), L"Cancel");
  UseLanguage(nullptr, "en");
}

int wmain(int argc, wchar_t** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc > 1) gLanguageFolder = std::wstring(argv[1][0] == L'/' ? L"Z:" : L"") + argv[1] + L"\\";
  return RUN_ALL_TESTS();
}
