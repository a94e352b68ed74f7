// lstAlarm: the operations the program uses on its report-view list.
#pragma once

#include <windows.h>

#include <string>

#include "list_rows.h"

class AlarmListView {
 public:
  void Attach(HWND listView, int dpi);
  // Scales every column by the change of DPI, so that a column the user
  // widened stays as much wider.
  void ScaleColumns(int oldDpi, int newDpi);
  HWND Handle() const { return list_; }

  void Clear();
  // Adds a row at the end; the caller adds rows in their sorted order.
  void AppendRow(const ListRow& row);
  int RowCount() const;
  std::wstring Text(int row, int column) const;
  int SelectedRow() const;  // -1 when none
  void Select(int row);
  void RemoveRow(int row);
  // The slot of a row, read from its hidden "Number" column.
  int SlotOfRow(int row) const;
  // The first row whose slot is the given one, or -1.
  int FindRowOfSlot(int slot) const;

 private:
  HWND list_ = nullptr;
};
