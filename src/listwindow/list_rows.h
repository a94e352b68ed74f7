// The rows of the alarm list, built from the table.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "alarm_table.h"

// The six column texts of one row: the active mark, the description, the
// weekday, the due time, the slot number and the sort key.
inline constexpr int kListColumnCount = 6;
inline constexpr int kNumberColumn = 4;   // zero-based: the hidden "Number"
inline constexpr int kSortKeyColumn = 5;  // zero-based: the hidden "SortTime"

using ListRow = std::array<std::wstring, kListColumnCount>;

ListRow RowForSlot(const AlarmRecord& alarm, int slot);

// One row per slot in use, in the list's order: ascending by the sort key
// compared as text; equal keys keep slot order.
std::vector<ListRow> RefreshAlarmRows(const AlarmTable& table);

// The slot a row stands for, read from its "Number" text.
int SlotOfRow(const ListRow& row);
