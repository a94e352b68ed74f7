#include "remind_again.h"

#include <cmath>
#include <iterator>

namespace {

constexpr unsigned long long kOfferedForMs = 60ull * 60 * 1000;
constexpr std::size_t kShownLength = 40;
constexpr double kMinutesPerDay = 1440.0;

// Each delay's menu text and minutes of real time (0: the next day).
struct DelayChoice {
  const wchar_t* text;
  int minutes;
};
constexpr DelayChoice kChoices[] = {
    {L"In 5 minutes", 5},  {L"In 10 minutes", 10}, {L"In 30 minutes", 30},
    {L"In 1 hour", 60},    {L"Tomorrow at this time", 0},
};
static_assert(std::size(kChoices) == kRemindDelays.size());

const DelayChoice& ChoiceOf(RemindDelay delay) { return kChoices[static_cast<std::size_t>(delay)]; }

DateValue ToTheMinute(DateValue value) {
  return FromTimeLine(std::floor(ToTimeLine(value) * kMinutesPerDay + 1e-6) / kMinutesPerDay);
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

const wchar_t* RemindDelayText(RemindDelay delay) { return ChoiceOf(delay).text; }

void RemindAgainOffer::BoxClosed(std::wstring description, unsigned long long nowMs) {
  description_ = std::move(description);
  closedAtMs_ = nowMs;
}

std::optional<std::wstring> RemindAgainOffer::Offered(unsigned long long nowMs) const {
  if (!description_ || nowMs - closedAtMs_ >= kOfferedForMs) return std::nullopt;
  return description_;
}

std::wstring RemindAgainMenuText(const std::wstring& description) {
  std::wstring line;
  for (const wchar_t c : description) {
    if (c == L'\n' && !line.empty() && line.back() == L' ') continue;  // CR LF: one blank
    line += (c == L'\r' || c == L'\n' || c == L'\t') ? L' ' : c;
  }
  if (line.size() > kShownLength) {
    line.resize(kShownLength);
    if (IsHighSurrogate(line.back())) line.pop_back();
    line += L"...";
  }
  std::wstring text = L"Remind me again: ";
  for (const wchar_t c : line) text += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
  return text;
}

DateValue RemindAgainDue(RemindDelay delay, DateValue nowLocal, DateValue nowUtc,
                         const std::function<DateValue(DateValue utc)>& utcToLocal) {
  if (delay == RemindDelay::Tomorrow) return ToTheMinute(FromTimeLine(ToTimeLine(nowLocal) + 1.0));
  const double laterUtc = ToTimeLine(nowUtc) + ChoiceOf(delay).minutes / kMinutesPerDay;
  return ToTheMinute(utcToLocal(FromTimeLine(laterUtc)));
}

std::optional<int> AddReminder(AlarmTable& table, const std::wstring& description, DateValue due,
                               std::optional<int> heldSlot) {
  const auto slot = FindFreeSlot(table, heldSlot);
  if (!slot) return std::nullopt;
  AlarmRecord& alert = table[*slot];
  alert = AlarmRecord{};
  alert.Exist = true;
  alert.Actief = true;
  alert.Getoond = false;
  alert.Naam = description;
  alert.Tijd = due;
  alert.Repeat = Once;
  alert.Delete = true;
  return slot;
}
