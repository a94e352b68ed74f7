#include "list_rows.h"

#include <algorithm>

#include "date_format.h"
#include "number_text.h"
#include "text_convert.h"

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

std::vector<ListRow> RefreshAlarmRows(const AlarmTable& table) {
  // Each row goes after the rows with its key already in, so equal keys keep
  // slot order (an insertion sort of at most 101 rows: smaller than a
  // library stable sort, and as quick at this count).
  std::vector<ListRow> rows;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (!table[slot].Exist) continue;
    ListRow row = RowForSlot(table[slot], slot);
    const auto place =
        std::upper_bound(rows.begin(), rows.end(), row[kSortKeyColumn],
                         [](const std::wstring& key, const ListRow& other) { return key < other[kSortKeyColumn]; });
    rows.insert(place, std::move(row));
  }
  return rows;
}

int SlotOfRow(const ListRow& row) { return LeadingNumber(row[kNumberColumn]); }
