#include "followed_calendar.h"

#include <algorithm>

#include "date_format.h"
#include "date_parse.h"
#include "number_text.h"
#include "text_convert.h"

namespace {

constexpr std::wstring_view kAddressKey = L"Address";
constexpr std::wstring_view kNameKey = L"Name";
constexpr std::wstring_view kUserKey = L"User";
constexpr std::wstring_view kLeadKey = L"Lead";
constexpr std::wstring_view kRefreshKey = L"Refresh";
constexpr std::wstring_view kRemindedThroughKey = L"RemindedThrough";
constexpr std::wstring_view kNoLead = L"None";

std::wstring SectionOf(std::size_t index) {
  return L"Calendars\\" + WideDecimalText(static_cast<std::int64_t>(index) + 1);
}

std::optional<int> NumberIn(const std::wstring& text, int low, int high) {
  const Integer16Result read = ParseInteger16(text);
  if (read.error != IntegerError::None || read.value < low || read.value > high) return std::nullopt;
  return read.value;
}

std::wstring Read(SettingsStore& store, const std::wstring& section, std::wstring_view key) {
  return store.ReadSetting(kApplicationName, section, key, L"").value_or(L"");
}

std::wstring LeadText(const std::optional<int>& lead) { return lead ? WideDecimalText(*lead) : std::wstring(kNoLead); }

}  // namespace

std::vector<FollowedCalendar> ReadFollowedCalendars(SettingsStore& store) {
  std::vector<FollowedCalendar> calendars;
  for (std::size_t index = 0; index < kMaxFollowedCalendars; ++index) {
    const std::wstring section = SectionOf(index);
    FollowedCalendar calendar;
    calendar.address = Read(store, section, kAddressKey);
    if (calendar.address.empty()) break;
    calendar.name = Read(store, section, kNameKey);
    calendar.user = Read(store, section, kUserKey);
    const std::wstring lead = Read(store, section, kLeadKey);
    if (EqualsIgnoringCase(TrimBlanks(lead), kNoLead)) {
      calendar.leadMinutes.reset();
    } else {
      calendar.leadMinutes = NumberIn(lead, 0, kMaxLeadMinutes).value_or(kDefaultLeadMinutes);
    }
    calendar.refreshMinutes = NumberIn(Read(store, section, kRefreshKey), kMinRefreshMinutes, kMaxRefreshMinutes)
                                  .value_or(kDefaultRefreshMinutes);
    calendar.remindedThrough = ReadStoredTime(Read(store, section, kRemindedThroughKey)).value_or(0.0);
    calendars.push_back(std::move(calendar));
  }
  return calendars;
}

std::optional<std::wstring> SaveFollowedCalendars(SettingsStore& store, const std::vector<FollowedCalendar>& calendars,
                                                  std::size_t previousCount) {
  std::vector<SettingsStore::Section> sections;
  for (std::size_t index = 0; index < std::max(calendars.size(), previousCount); ++index) {
    SettingsStore::Section section{SectionOf(index), {}};
    if (index >= calendars.size()) {
      section.values.push_back({kAddressKey, L""});
    } else {
      const FollowedCalendar& calendar = calendars[index];
      section.values = {{kAddressKey, calendar.address},
                        {kNameKey, calendar.name},
                        {kUserKey, calendar.user},
                        {kLeadKey, LeadText(calendar.leadMinutes)},
                        {kRefreshKey, WideDecimalText(calendar.refreshMinutes)},
                        {kRemindedThroughKey, FormatDate(calendar.remindedThrough, kStoredTimePattern)}};
    }
    sections.push_back(std::move(section));
  }
  const auto notWritten = store.WriteSections(kApplicationName, sections);
  if (notWritten.empty()) return std::nullopt;
  return notWritten.front().reason;
}

bool SaveRemindedThrough(SettingsStore& store, std::size_t index, DateValue remindedThrough) {
  return store.WriteSetting(kApplicationName, SectionOf(index), kRemindedThroughKey,
                            FormatDate(remindedThrough, kStoredTimePattern));
}

std::optional<std::size_t> FindCalendarByName(const std::vector<FollowedCalendar>& calendars, std::wstring_view name) {
  for (std::size_t index = 0; index < calendars.size(); ++index) {
    if (EqualsIgnoringCase(calendars[index].name, name)) return index;
  }
  return std::nullopt;
}
