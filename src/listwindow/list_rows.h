// The rows of the alarm list, built from the table.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm_table.h"

// The six column texts of one row: the active mark, the description, the
// weekday, the due time, the slot number and the sort key.
inline constexpr int kListColumnCount = 6;
inline constexpr int kNumberColumn = 4;   // zero-based: the hidden "Number"
inline constexpr int kSortKeyColumn = 5;  // zero-based: the hidden "SortTime"

using ListRow = std::array<std::wstring, kListColumnCount>;

ListRow RowForSlot(const AlarmRecord& alarm, int slot);

// A followed calendar's reminder, listed beside the alerts in time order,
// its description marked with its calendar's name. Its "Number" is "c"
// and its place among the followed rows, so that no slot is taken for it.
struct FollowedRow {
  DateValue due = 0.0;
  std::wstring calendar;
  std::wstring description;
};
inline constexpr std::size_t kMaxFollowedRows = 500;
ListRow RowForFollowed(const FollowedRow& reminder, std::size_t place);

// One row per slot in use, in the list's order: ascending by the sort key
// compared as text; equal keys keep slot order.
std::vector<ListRow> RefreshAlarmRows(const AlarmTable& table, const std::vector<FollowedRow>& followed = {});

// The slot a row stands for, read from its "Number" text: -1 for a
// followed calendar's row, whose place SlotOfRow's twin gives.
int SlotOfRow(const ListRow& row);
int SlotOfNumberText(std::wstring_view number);
std::optional<std::size_t> FollowedPlaceOfNumberText(std::wstring_view number);
