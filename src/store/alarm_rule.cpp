#include "alarm_rule.h"

#include "date_parse.h"
#include "date_format.h"
#include "recurrence_text.h"

namespace {

constexpr std::wstring_view kStartPart = L"DTSTART=";
constexpr std::wstring_view kLeftOutPart = L"EXDATE=";

bool ReadLeftOut(std::wstring_view list, std::vector<DateValue>& dates) {
  while (!list.empty()) {
    const std::size_t comma = list.find(L',');
    const auto date = ReadStoredTime(list.substr(0, comma));
    if (!date) return false;
    dates.push_back(*date);
    list = comma == std::wstring_view::npos ? std::wstring_view() : list.substr(comma + 1);
  }
  return true;
}

}  // namespace

std::optional<AlarmRule> ReadAlarmRule(std::wstring_view text) {
  std::string ruleText;
  std::optional<DateValue> start;
  std::vector<DateValue> leftOut;
  while (!text.empty()) {
    const std::size_t end = text.find(L';');
    const std::wstring_view part = text.substr(0, end);
    text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
    if (part.starts_with(kStartPart)) {
      start = ReadStoredTime(part.substr(kStartPart.size()));
      if (!start) return std::nullopt;
    } else if (part.starts_with(kLeftOutPart)) {
      if (!ReadLeftOut(part.substr(kLeftOutPart.size()), leftOut)) return std::nullopt;
    } else {
      if (!ruleText.empty()) ruleText += ';';
      for (const wchar_t c : part) {
        if (c < 0x20 || c > 0x7E) return std::nullopt;
        ruleText += static_cast<char>(c);
      }
    }
  }
  RuleReading reading = ParseRecurrenceRule(ruleText);
  if (!start || !reading.rule) return std::nullopt;
  reading.rule->leftOut = std::move(leftOut);
  return AlarmRule{std::move(*reading.rule), *start};
}

std::wstring AlarmRuleText(const AlarmRule& rule) {
  std::wstring text;
  for (const char c : Rfc5545Text(rule.rule)) text += static_cast<wchar_t>(c);
  text += L';' + std::wstring(kStartPart) + FormatDate(rule.start, kStoredTimePattern);
  for (std::size_t i = 0; i < rule.rule.leftOut.size(); ++i) {
    text += i == 0 ? L';' + std::wstring(kLeftOutPart) : L",";
    text += FormatDate(rule.rule.leftOut[i], kStoredTimePattern);
  }
  return text;
}

void SetRule(AlarmRecord& alarm, const AlarmRule& rule) {
  alarm.Rule = AlarmRuleText(rule);
  alarm.Repeat = NearestMode(rule.rule);
}
