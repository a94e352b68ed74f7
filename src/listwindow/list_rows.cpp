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
  std::vector<ListRow> rows;
  for (int slot = kFirstSlot; slot <= kLastSlot; ++slot) {
    if (table[slot].Exist) rows.push_back(RowForSlot(table[slot], slot));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const ListRow& a, const ListRow& b) { return a[kSortKeyColumn] < b[kSortKeyColumn]; });
  return rows;
}

int SlotOfRow(const ListRow& row) { return LeadingNumber(row[kNumberColumn]); }
