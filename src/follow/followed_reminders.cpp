#include "followed_reminders.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "after_firing.h"
#include "date_format.h"
#include "text_table.h"

namespace {

constexpr double kMinute = 1.0 / 1440.0;
constexpr std::size_t kMaxAgendaOccurrences = 1000;  // of one alert

// The minute a time falls in, on the time line, so that times compare by minute.
double MinuteOf(DateValue value) { return std::floor(ToTimeLine(value) * 1440.0 + 1e-6) / 1440.0; }

std::wstring OnOneLine(std::wstring text) {
  std::replace_if(
      text.begin(), text.end(), [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; }, L' ');
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

// Every calendar's reminders in time order (each calendar's list is in
// time order): the earliest of the calendars' next ones each step, the
// first calendar's on a tie, until `visit` returns false.
template <typename Visit>
void InTimeOrder(const std::vector<CalendarFollowing>& followed, Visit visit) {
  std::vector<std::size_t> next(followed.size(), 0);
  for (;;) {
    std::size_t earliest = followed.size();
    for (std::size_t index = 0; index < followed.size(); ++index) {
      if (next[index] == followed[index].reminders.size()) continue;
      if (earliest == followed.size() ||
          followed[index].reminders[next[index]].due < followed[earliest].reminders[next[earliest]].due) {
        earliest = index;
      }
    }
    if (earliest == followed.size() || !visit(earliest, followed[earliest].reminders[next[earliest]++])) return;
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
  InTimeOrder(followed, [&](std::size_t index, const CalendarReminder& reminder) {
    const ReminderState state = StateOf(reminder, followed[index].calendar.remindedThrough, now);
    if (state == ReminderState::Rings) due.push_back({index, reminder.due, reminder.Description()});
    return state != ReminderState::Ahead;  // the rest come later still
  });
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

std::vector<FollowedRow> FollowedRows(const std::vector<CalendarFollowing>& followed, DateValue now) {
  std::vector<FollowedRow> rows;
  InTimeOrder(followed, [&](std::size_t index, const CalendarReminder& reminder) {
    if (reminder.due > now) rows.push_back({reminder.due, followed[index].calendar.name, reminder.Description()});
    return rows.size() < kMaxFollowedRows;
  });
  return rows;
}

std::wstring AgendaText(const AlarmTable& table, const std::vector<CalendarFollowing>& followed, DateValue from,
                        int days) {
  const DateValue to = from + days;
  std::vector<AgendaLine> lines;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].Exist && table[slot].Actief) AddAlert(lines, table[slot], from, to);
  }
  InTimeOrder(followed, [&](std::size_t index, const CalendarReminder& reminder) {
    if (reminder.due >= from && reminder.due < to)
      AddLine(lines, reminder.due, followed[index].calendar.name, reminder.Description());
    return reminder.due < to;
  });
  std::sort(lines.begin(), lines.end(),
            [](const AgendaLine& a, const AgendaLine& b) { return std::tie(a.due, a.line) < std::tie(b.due, b.line); });
  std::wstring text;
  for (const AgendaLine& line : lines) text += (text.empty() ? L"" : L"\r\n") + line.line;
  return text;
}
