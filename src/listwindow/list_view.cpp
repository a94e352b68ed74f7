#include "list_view.h"

#include <commctrl.h>

#include "text_convert.h"
#include "twips_layout.h"
#include "window_layouts.h"
#include "text_table.h"

void AlarmListView::Attach(HWND listView, int dpi) {
  list_ = listView;
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  int index = 0;
  for (const ColumnLayout& column : kAlarmListColumns) {
    std::wstring header = ::Text(column.header);
    LVCOLUMNW lvColumn = {};
    lvColumn.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvColumn.fmt = LVCFMT_LEFT;
    lvColumn.cx = TwipsToPixels(column.width, dpi);
    lvColumn.pszText = header.data();
    lvColumn.iSubItem = index;
    ListView_InsertColumn(list_, index, &lvColumn);
    ++index;
  }
}

void AlarmListView::ScaleColumns(int oldDpi, int newDpi) {
  for (int column = 0; column < static_cast<int>(kAlarmListColumns.size()); ++column) {
    ListView_SetColumnWidth(list_, column, MulDiv(ListView_GetColumnWidth(list_, column), newDpi, oldDpi));
  }
}

void AlarmListView::Clear() { ListView_DeleteAllItems(list_); }

void AlarmListView::AppendRow(const ListRow& row) {
  std::wstring text = row[0];
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = RowCount();
  item.pszText = text.data();
  const int index = ListView_InsertItem(list_, &item);
  for (int column = 1; column < kListColumnCount; ++column) {
    std::wstring cell = row[static_cast<std::size_t>(column)];
    ListView_SetItemText(list_, index, column, cell.data());
  }
}

int AlarmListView::RowCount() const { return ListView_GetItemCount(list_); }

std::wstring AlarmListView::Text(int row, int column) const {
  // LVM_GETITEMTEXT returns the length copied; grow until the text fits.
  std::wstring buffer(64, L'\0');
  for (;;) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(
        SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return buffer.substr(0, length);
    buffer.resize(buffer.size() * 2);
  }
}

int AlarmListView::SelectedRow() const { return ListView_GetNextItem(list_, -1, LVNI_SELECTED); }

void AlarmListView::Select(int row) {
  ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, row, FALSE);
}

void AlarmListView::RemoveRow(int row) { ListView_DeleteItem(list_, row); }

int AlarmListView::SlotOfRow(int row) const { return SlotOfNumberText(Text(row, kNumberColumn)); }

int AlarmListView::FindRowOfSlot(int slot) const {
  for (int row = 0; row < RowCount(); ++row) {
    if (SlotOfRow(row) == slot) return row;
  }
  return -1;
}
