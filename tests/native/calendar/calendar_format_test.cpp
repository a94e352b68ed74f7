// The iCalendar file format: content lines, components, values, zones.
#include <gtest/gtest.h>

#include "calendar_components.h"
#include "calendar_test_support.h"
#include "calendar_values.h"
#include "content_lines.h"
#include "test_support.h"
#include "utf8_text.h"
#include "zone_clock.h"

namespace {

std::vector<std::string> PhysicalLines(const std::string& folded) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = folded.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(folded.substr(start, end - start));
  }
  EXPECT_EQ(start, folded.size()) << "every line ends in CR LF";
  return lines;
}

}  // namespace

TEST(Utf8Text, ConvertsBothWaysWithCharactersBeyondTheBasicPlane) {
  const std::string utf8 = "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E";  // a é € 𝄞
  const std::wstring wide = L"a\u00E9\u20AC\U0001D11E";
  EXPECT_EQ(Utf8ToWide(utf8), wide);
  EXPECT_EQ(WideToUtf8(wide), utf8);
}

TEST(Utf8Text, InvalidSequencesBecomeReplacementCharacters) {
  const struct {
    std::string bytes;
    std::wstring wide;
  } cases[] = {
      {"\xC3(", L"\uFFFD("},                    // a lead byte without its continuation
      {"\xC0\xAF", L"\uFFFD\uFFFD"},            // overlong "/"
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},  // a surrogate written as UTF-8
      {"x\xE2\x82", L"x\uFFFD\uFFFD"},          // cut short at the end
      {"\xFF", L"\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.bytes), c.wide) << c.bytes;
}

TEST(ContentLines, FoldsAt75OctetsNeverInsideACharacter) {
  const std::string ascii(80, 'a');
  EXPECT_EQ(PhysicalLines(FoldContentLine(ascii)), (std::vector<std::string>{std::string(75, 'a'), " aaaaa"}));
  // "é" takes octets 75 and 76: the first line stops before it.
  const std::string accented = std::string(74, 'b') + "\xC3\xA9" + "cd";
  EXPECT_EQ(PhysicalLines(FoldContentLine(accented)), (std::vector<std::string>{std::string(74, 'b'),
                                                                                " \xC3\xA9"
                                                                                "cd"}));
  // 60 euro signs (3 octets each): 25 on the first line, 24 on the next ones.
  std::string euros;
  for (int i = 0; i < 60; ++i) euros += "\xE2\x82\xAC";
  const auto lines = PhysicalLines(FoldContentLine(euros));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 75u);
  EXPECT_EQ(lines[1].size(), 73u);
  EXPECT_EQ(lines[2].size(), 1u + 11 * 3);
}

TEST(ContentLines, EscapesTextBothWays) {
  const struct {
    std::string plain;
    std::string escaped;
    std::string readBack;
  } cases[] = {
      {"Call Ann, Bob; then \\ home", "Call Ann\\, Bob\\; then \\\\ home", "Call Ann, Bob; then \\ home"},
      {"two\r\nlines", "two\\nlines", "two\nlines"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeText(c.plain), c.escaped);
    EXPECT_EQ(UnescapeText(c.escaped), c.readBack);
  }
  EXPECT_EQ(EscapeText("two\nlines"), "two\\nlines");
  EXPECT_EQ(UnescapeText("A\\NB\\:C\\"), "A\nB:C\\");  // \N, an unknown escape, a lone backslash
}

TEST(ContentLines, UnfoldsAndSplitsWhatRealCalendarsWrite) {
  const std::string file =
      "\xEF\xBB\xBF"
      "begin:vcalendar\n"
      "SUMMARY;LANGUAGE=en:Long \n"
      " line\r\n"
      "\tand tab\n"
      "\n"
      "X-PLACE;X-ADDRESS=x,y;TZID=\"Main St. 1, Town; \xC3\x96sterreich\";VALUE=a,\"b:c\",d,e,f:value:with:colons\n"
      "DTSTART;tzid=\"(GMT+10:00) Canberra, Melbourne, Sydney\":20201028T133000\n"
      "no colon here\n"
      "END:VCALENDAR";
  const ContentLines read = ReadContentLines(file);
  ASSERT_EQ(read.lines.size(), 6u);
  EXPECT_EQ(read.lines[0].name, "BEGIN");
  EXPECT_EQ(read.lines[0].value, "vcalendar");
  EXPECT_EQ(read.lines[1].value, "Long lineand tab");
  EXPECT_EQ(read.lines[1].lineNumber, 2);
  // Only the parameters the import reads are kept, with four values at most.
  EXPECT_EQ(read.lines[1].Parameter("LANGUAGE"), std::nullopt);
  const ContentLine& place = read.lines[2];
  EXPECT_EQ(place.lineNumber, 6);
  EXPECT_EQ(place.Parameter("TZID"), "Main St. 1, Town; \xC3\x96sterreich");
  ASSERT_EQ(place.parameters.size(), 2u);
  EXPECT_EQ(place.parameters[1].values, (std::vector<std::string>{"a", "b:c", "d", "e"}));
  EXPECT_EQ(place.value, "value:with:colons");
  EXPECT_EQ(read.lines[3].Parameter("TZID"), "(GMT+10:00) Canberra, Melbourne, Sydney");
  EXPECT_FALSE(read.lines[4].readable);
  EXPECT_EQ(read.lines[4].lineNumber, 8);
  EXPECT_TRUE(read.lines[5].readable);
}

TEST(CalendarComponents, NestsComponentsAndKeepsTheirLines) {
  const CalendarFile file = ReadCalendarFile(
      "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nSUMMARY:A\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
      "END:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  ASSERT_EQ(file.problem, CalendarProblem::None);
  ASSERT_EQ(file.calendars.size(), 1u);
  const Component& event = file.calendars[0].children.at(0);
  EXPECT_EQ(event.name, "VEVENT");
  EXPECT_EQ(event.beginLine, 3);
  ASSERT_NE(event.Find("SUMMARY"), nullptr);
  EXPECT_EQ(event.children.at(0).Find("ACTION")->value, "DISPLAY");
}

TEST(CalendarComponents, NamesWhatIsBrokenAndWhere) {
  const struct {
    std::string bytes;
    CalendarProblem problem;
    std::string detail;
  } cases[] = {
      {"", CalendarProblem::NotICalendar, ""},
      {"\x89PNG\r\n\x1A\n\0\0", CalendarProblem::NotICalendar, ""},
      {"BEGIN:VEVENT\nEND:VEVENT\n", CalendarProblem::NotICalendar, ""},
      {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nEND:VTODO\nEND:VCALENDAR\n", CalendarProblem::Broken,
       "line 3 ends a VTODO that was not begun"},
      {"BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:x\n", CalendarProblem::Broken,
       "the VEVENT begun on line 2 does not end"},
      {"BEGIN:VCALENDAR\nEND:VCALENDAR\nBEGIN:VEVENT\nEND:VEVENT\n", CalendarProblem::Broken,
       "line 3 begins a VEVENT outside a VCALENDAR"},
      {"BEGIN:VCALENDAR\nBEGIN:A\nBEGIN:A\nBEGIN:A\nBEGIN:A\nBEGIN:A\nBEGIN:A\nBEGIN:A\nBEGIN:A\n",
       CalendarProblem::Broken, "line 9 nests components too deeply"},
  };
  for (const auto& c : cases) {
    const CalendarFile file = ReadCalendarFile(c.bytes);
    EXPECT_EQ(file.problem, c.problem) << c.bytes;
    EXPECT_EQ(WideToUtf8(file.detail), c.detail) << c.bytes;
  }
  EXPECT_EQ(ReadCalendarFile(std::string(kMaxCalendarBytes + 1, ' ')).problem, CalendarProblem::TooLarge);
}

TEST(CalendarValues, ReadsDatesAndTimesInEveryForm) {
  ContentLine line;
  line.value = "20260115T093005";
  auto time = ReadCalendarTime(line);
  ASSERT_TRUE(time);
  EXPECT_EQ(time->form, CalendarTime::Form::Floating);
  EXPECT_DOUBLE_EQ(FromTimeLine(time->wall), At(2026, 1, 15, 9, 30, 5));
  line.value = "20260115T093000Z";
  EXPECT_EQ(ReadCalendarTime(line)->form, CalendarTime::Form::Utc);
  line.parameters = {{"TZID", {"W. Europe Standard Time"}}};
  line.value = "20260115T093000";
  EXPECT_EQ(ReadCalendarTime(line)->zone, "W. Europe Standard Time");
  line.parameters = {{"VALUE", {"DATE"}}};
  line.value = "20260115";
  EXPECT_EQ(ReadCalendarTime(line)->form, CalendarTime::Form::Date);
  line.value = "20260115T093000";  // a time where the parameter promises a date
  EXPECT_FALSE(ReadCalendarTime(line));
  line.parameters.clear();
  for (const char* bad : {"20260230", "20261315", "2026011T0930", "20260115T250000", "20260115T0930", "00990101"}) {
    line.value = bad;
    EXPECT_FALSE(ReadCalendarTime(line)) << bad;
  }
}

TEST(CalendarValues, ReadsDurationsAndOffsets) {
  // Days (and weeks) apart from exact seconds; {} for none.
  const struct {
    const char* text;
    std::optional<std::pair<long long, long long>> daysAndSeconds;
  } durations[] = {
      {"-PT15M", {{0, -900}}}, {"P1DT2H", {{1, 7200}}}, {"P2W", {{14, 0}}}, {"-P0DT0H10M0S", {{0, -600}}},
      {"+PT1H", {{0, 3600}}},  {"PT0S", {{0, 0}}},      {"-pt12h", {{0, -43200}}}, {"P", {}},
      {"PT", {}},              {"15M", {}},             {"P1H", {}},             {"PT1D", {}},
      {"P1.5D", {}},
  };
  for (const auto& d : durations) {
    const auto read = ReadDuration(d.text);
    EXPECT_EQ(read ? std::optional(std::pair(read->days, read->seconds)) : std::nullopt, d.daysAndSeconds) << d.text;
  }
  EXPECT_EQ(ReadUtcOffsetSeconds("+0100"), 3600);
  EXPECT_EQ(ReadUtcOffsetSeconds("-0330"), -12600);
  EXPECT_EQ(ReadUtcOffsetSeconds("+053000"), 19800);
  EXPECT_EQ(ReadUtcOffsetSeconds("0100"), std::nullopt);
  EXPECT_EQ(ReadUtcOffsetSeconds("+01"), std::nullopt);
  EXPECT_EQ(UtcOffsetText(-12600), "-0330");
  EXPECT_EQ(UtcOffsetText(19800), "+0530");
}

TEST(ZoneRulesConversion, CentralEuropeAroundItsChanges) {
  const ZoneRules zone = WestEurope();
  const struct {
    DateValue local;
    DateValue utc;
  } cases[] = {
      {At(2026, 1, 15, 12, 0), At(2026, 1, 15, 11, 0)},   {At(2026, 3, 29, 1, 59), At(2026, 3, 29, 0, 59)},
      {At(2026, 3, 29, 2, 30), At(2026, 3, 29, 1, 30)},  // skipped: read in standard time
      {At(2026, 3, 29, 3, 0), At(2026, 3, 29, 1, 0)},     {At(2026, 7, 1, 12, 0), At(2026, 7, 1, 10, 0)},
      {At(2026, 10, 25, 2, 30), At(2026, 10, 25, 0, 30)},  // doubled: read in summer time
      {At(2026, 10, 25, 3, 0), At(2026, 10, 25, 2, 0)},
  };
  for (const auto& c : cases) EXPECT_NEAR(LocalToUtc(zone, c.local), c.utc, 1e-7) << c.local;
  EXPECT_NEAR(UtcToLocal(zone, At(2026, 10, 25, 0, 30)), At(2026, 10, 25, 2, 30), 1e-7);
  EXPECT_NEAR(UtcToLocal(zone, At(2026, 10, 25, 1, 30)), At(2026, 10, 25, 2, 30), 1e-7);
  EXPECT_NEAR(UtcToLocal(zone, At(2026, 3, 29, 1, 0)), At(2026, 3, 29, 3, 0), 1e-7);
}

TEST(ZoneRulesConversion, SydneysSummerSpansTheNewYear) {
  EXPECT_NEAR(LocalToUtc(AusEastern(), At(2026, 1, 15, 12, 0)), At(2026, 1, 15, 1, 0), 1e-7);
  EXPECT_NEAR(LocalToUtc(AusEastern(), At(2026, 7, 15, 12, 0)), At(2026, 7, 15, 2, 0), 1e-7);
  EXPECT_NEAR(LocalToUtc(AusEastern(), At(2026, 12, 31, 23, 0)), At(2026, 12, 31, 12, 0), 1e-7);
  EXPECT_NEAR(UtcToLocal(AusEastern(), At(2026, 10, 3, 16, 0)), At(2026, 10, 4, 3, 0), 1e-7);  // 4 Oct 02:00 +10 → +11
  EXPECT_NEAR(UtcToLocal(Tokyo(), At(2026, 7, 1, 0, 0)), At(2026, 7, 1, 9, 0), 1e-7);
  EXPECT_FALSE(HasSummerTime(Tokyo()));
}

TEST(ZoneRulesConversion, NthWeekdayOfMonth) {
  const struct {
    int month, dayOfWeek, nth, day;
  } cases[] = {{3, 0, -1, 29}, {10, 0, -1, 25}, {10, 0, 1, 4}, {3, 0, 5, 29}, {2, 0, 5, 0}, {2, 1, -2, 16}};
  for (const auto& c : cases) EXPECT_EQ(NthWeekdayOfMonth(2026, c.month, c.dayOfWeek, c.nth), c.day) << c.month;
}
