#include "followed_reminders.h"

#include <algorithm>
#include <cmath>

#include "after_firing.h"
#include "date_format.h"
#include "text_table.h"

namespace {

constexpr double kMinute = 1.0 / 1440.0;
constexpr std::size_t kMaxAgendaOccurrences = 1000;  // of one alert

// The minute a time falls in, on the time line, so that times compare by minute.
double MinuteOf(DateValue value) { return std::floor(ToTimeLine(value) * 1440.0 + 1e-6) / 1440.0; }

std::wstring OnOneLine(std::wstring text) {
  std::replace_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; }, L' ');
  return text;
}

struct AgendaLine {
  DateValue due;
  std::wstring line;
};

void AddLine(std::vector<AgendaLine>& lines, DateValue due, const std::wstring& name, const std::wstring& text) {
  lines.push_back({due, FormatDate(due, L"yyyy-mm-dd hh:nn") + L"\t" + OnOneLine(name) + L"\t" + OnOneLine(text)});
}

// Each time an active alert comes due in the span, as it moves on after firing.
void AddAlert(std::vector<AgendaLine>& lines, AlarmRecord alarm, DateValue from, DateValue to) {
  const std::wstring name = Text(TextId::CommonTitle);
  for (std::size_t count = 0; count < kMaxAgendaOccurrences && alarm.Tijd < to; ++count) {
    if (alarm.Tijd >= from) AddLine(lines, alarm.Tijd, name, alarm.Naam);
    const DateValue due = alarm.Tijd;
    if (MoveOnAfterFiring(alarm, due, due) != AfterFiring::MovedOn || alarm.Tijd <= due) break;
  }
}

}  // namespace

ReminderState StateOf(const CalendarReminder& reminder, DateValue remindedThrough, DateValue now) {
  const double minute = MinuteOf(reminder.due);
  const double nowMinute = MinuteOf(now);
  if (minute > nowMinute + 1e-9) return ReminderState::Ahead;
  if (minute <= MinuteOf(remindedThrough) + 1e-9) return ReminderState::Done;
  const bool onTime = minute >= nowMinute - kMinute - 1e-9;
  return onTime || reminder.eventEnd > now ? ReminderState::Rings : ReminderState::PassedOver;
}

std::vector<DueReminder> DueReminders(const std::vector<CalendarFollowing>& followed, DateValue now) {
  std::vector<DueReminder> due;
  for (std::size_t index = 0; index < followed.size(); ++index) {
    for (const CalendarReminder& reminder : followed[index].reminders) {
      const ReminderState state = StateOf(reminder, followed[index].calendar.remindedThrough, now);
      if (state == ReminderState::Ahead) break;
      if (state == ReminderState::Rings) due.push_back({index, reminder});
    }
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const DueReminder& a, const DueReminder& b) { return a.reminder.due < b.reminder.due; });
  return due;
}

DateValue NextReminderTime(const std::vector<CalendarFollowing>& followed, DateValue now, DateValue sentinel) {
  DateValue next = sentinel;
  for (const CalendarFollowing& following : followed) {
    const auto later = std::upper_bound(following.reminders.begin(), following.reminders.end(), now,
                                        [](DateValue time, const CalendarReminder& r) { return time < r.due; });
    if (later != following.reminders.end() && later->due < next) next = later->due;
  }
  return next;
}

std::size_t DueReminderCount(const std::vector<CalendarFollowing>& followed, DateValue now) {
  return DueReminders(followed, now).size();
}

std::vector<FollowedRow> FollowedRows(const std::vector<CalendarFollowing>& followed, DateValue now) {
  std::vector<FollowedRow> rows;
  for (const CalendarFollowing& following : followed) {
    for (const CalendarReminder& reminder : following.reminders) {
      if (reminder.due > now) rows.push_back({reminder.due, following.calendar.name, reminder.description});
    }
  }
  std::stable_sort(rows.begin(), rows.end(), [](const FollowedRow& a, const FollowedRow& b) { return a.due < b.due; });
  if (rows.size() > kMaxFollowedRows) rows.resize(kMaxFollowedRows);
  return rows;
}

std::wstring AgendaText(const AlarmTable& table, const std::vector<CalendarFollowing>& followed, DateValue from,
                        int days) {
  const DateValue to = from + days;
  std::vector<AgendaLine> lines;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].Exist && table[slot].Actief) AddAlert(lines, table[slot], from, to);
  }
  for (const CalendarFollowing& following : followed) {
    for (const CalendarReminder& reminder : following.reminders) {
      if (reminder.due >= from && reminder.due < to) AddLine(lines, reminder.due, following.calendar.name, reminder.description);
    }
  }
  std::stable_sort(lines.begin(), lines.end(), [](const AgendaLine& a, const AgendaLine& b) { return a.due < b.due; });
  std::wstring text;
  for (const AgendaLine& line : lines) text += (text.empty() ? L"" : L"\r\n") + line.line;
  return text;
}
