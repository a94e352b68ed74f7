#include "list_rows.h"

#include <algorithm>

#include "date_format.h"
#include "number_text.h"
#include "text_convert.h"

namespace {

constexpr wchar_t kFollowedMark = L'c';

}  // namespace

ListRow RowForSlot(const AlarmRecord& alarm, int slot) {
  return {
      alarm.Actief ? L"[X]" : L"[  ]",
      alarm.Naam,
      FormatDate(alarm.Tijd, kWeekdayPattern),
      FormatDate(alarm.Tijd, kShortTimeDatePattern),
      WideDecimalText(slot),
      (alarm.Actief ? L"x" : L"y") + FormatDate(alarm.Tijd, kGeneralNumberPattern),
  };
}

ListRow RowForFollowed(const FollowedRow& reminder, std::size_t place) {
  return {
      L"[X]",
      L"[" + reminder.calendar + L"] " + reminder.description,
      FormatDate(reminder.due, kWeekdayPattern),
      FormatDate(reminder.due, kShortTimeDatePattern),
      kFollowedMark + WideDecimalText(static_cast<std::int64_t>(place)),
      L"x" + FormatDate(reminder.due, kGeneralNumberPattern),
  };
}

std::vector<ListRow> RefreshAlarmRows(const AlarmTable& table, const std::vector<FollowedRow>& followed) {
  // Each row goes after the rows with its key already in, so equal keys keep
  // slot order (an insertion sort of at most 101 alerts and 500 followed
  // reminders: smaller than a library stable sort, and as quick at this count).
  std::vector<ListRow> rows;
  const auto insert = [&rows](ListRow row) {
    const auto place =
        std::upper_bound(rows.begin(), rows.end(), row[kSortKeyColumn],
                         [](const std::wstring& key, const ListRow& other) { return key < other[kSortKeyColumn]; });
    rows.insert(place, std::move(row));
  };
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].Exist) insert(RowForSlot(table[slot], slot));
  }
  for (std::size_t place = 0; place < followed.size() && place < kMaxFollowedRows; ++place) {
    insert(RowForFollowed(followed[place], place));
  }
  return rows;
}

int SlotOfRow(const ListRow& row) { return SlotOfNumberText(row[kNumberColumn]); }

int SlotOfNumberText(std::wstring_view number) {
  return !number.empty() && number[0] == kFollowedMark ? -1 : LeadingNumber(number);
}

std::optional<std::size_t> FollowedPlaceOfNumberText(std::wstring_view number) {
  if (number.empty() || number[0] != kFollowedMark) return std::nullopt;
  return static_cast<std::size_t>(LeadingNumber(number.substr(1)));
}
