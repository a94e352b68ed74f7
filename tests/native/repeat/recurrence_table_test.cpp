// Every rule of the table that python3-dateutil worked out at build time
// (tests/recurrence_table.py): read from its RRULE text (in any order and
// case), written back the same, and its occurrences one after the other
// and after a time up to decades past the start, as dateutil has them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "number_text.h"
#include "recurrence_next.h"
#include "recurrence_text.h"
#include "test_support.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> fields;
  std::istringstream stream(text);
  for (std::string field; std::getline(stream, field, separator);) fields.push_back(field);
  return fields;
}

// "YYYYMMDDTHHMMSS", wall-clock time; before 1899 too, where the time of
// day counts forward from a whole part that counts down.
DateValue ReadStamp(const std::string& text) {
  const auto field = [&](std::size_t at, std::size_t length) { return std::stoi(text.substr(at, length)); };
  const DateValue midnight = At(field(0, 4), field(4, 2), field(6, 2));
  return CombineDateTime(midnight, (field(9, 2) * 3600 + field(11, 2) * 60 + field(13, 2)) / 86400.0);
}

std::string Stamp(const std::optional<DateValue>& value) {
  if (!value) return "END";
  const DateParts parts = SplitDate(*value);
  return DecimalText(parts.year, 4) + DecimalText(parts.month, 2) + DecimalText(parts.day, 2) + "T" +
         DecimalText(parts.hour, 2) + DecimalText(parts.minute, 2) + DecimalText(parts.second, 2);
}

constexpr int kTableRows = 3000;
constexpr int kReportedRows = 20;

}  // namespace

TEST(RecurrenceTable, EveryRuleOccursWhereDateutilHasIt) {
  std::ifstream table(CHIMEWATCH_RECURRENCE_TABLE);
  ASSERT_TRUE(table) << CHIMEWATCH_RECURRENCE_TABLE;
  int rows = 0;
  int wrongRows = 0;
  for (std::string line; std::getline(table, line); ++rows) {
    const std::vector<std::string> fields = Split(line, '\t');
    ASSERT_EQ(fields.size(), 6u) << line;
    const RuleReading reading = ParseRecurrenceRule(fields[0]);
    ASSERT_TRUE(reading.rule) << fields[0];
    RepeatRule rule = *reading.rule;
    EXPECT_EQ(ParseRecurrenceRule(Rfc5545Text(rule)).rule, rule) << fields[0];
    if (fields[2] != "-") {
      for (const std::string& stamp : Split(fields[2], ',')) rule.leftOut.push_back(ReadStamp(stamp));
    }
    const DateValue start = ReadStamp(fields[1]);
    std::string occurrences;
    DateValue after = FromTimeLine(ToTimeLine(start) - 1.0 / 86400.0);
    for (std::size_t i = 0; i < Split(fields[3], ',').size(); ++i) {
      const std::optional<DateValue> next = NextOccurrenceAfter(rule, start, after);
      occurrences += (i > 0 ? "," : "") + Stamp(next);
      if (!next) break;
      after = *next;
    }
    const std::string afterProbe = Stamp(NextOccurrenceAfter(rule, start, ReadStamp(fields[4])));
    if (occurrences != fields[3] || afterProbe != fields[5]) {
      if (++wrongRows <= kReportedRows) {
        ADD_FAILURE() << line << "\n got " << occurrences << "\n and after " << fields[4] << ": " << afterProbe;
      }
    }
  }
  EXPECT_EQ(wrongRows, 0);
  EXPECT_EQ(rows, kTableRows);
}
