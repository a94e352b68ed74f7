// Reads and drives a report-view list view owned by another process.
#include "driver.h"

#include <commctrl.h>

#include <algorithm>

#include "remote_memory.h"

namespace driver {
namespace {

// Each remote block: the structure first, then a text buffer.
constexpr std::size_t kTextOffset = 256;
constexpr std::size_t kTextChars = 1024;
constexpr std::size_t kBlockSize = kTextOffset + kTextChars * sizeof(wchar_t);

std::wstring ReadRemoteText(const RemoteMemory& memory, LRESULT length) {
  std::wstring text(kTextChars, L'\0');
  if (length <= 0 || !memory.Read(text.data(), kTextChars * sizeof(wchar_t), kTextOffset)) return {};
  text.resize(std::min(static_cast<std::size_t>(length), kTextChars - 1));
  return text;
}

std::optional<RECT> ItemRect(HWND list, int row) {
  RemoteMemory memory(list, sizeof(RECT));
  RECT rect{};
  rect.left = LVIR_LABEL;
  if (!memory.Write(&rect, sizeof rect) ||
      !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), memory.Param()) ||
      !memory.Read(&rect, sizeof rect))
    return std::nullopt;
  return rect;
}

}  // namespace

int ListViewRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring ListViewCell(HWND list, int row, int column) {
  RemoteMemory memory(list, kBlockSize);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = static_cast<LPWSTR>(memory.At(kTextOffset));
  item.cchTextMax = static_cast<int>(kTextChars);
  if (!memory.Write(&item, sizeof item)) return {};
  return ReadRemoteText(memory, SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), memory.Param()));
}

std::vector<std::vector<std::wstring>> ListViewRows(HWND list, int columns) {
  std::vector<std::vector<std::wstring>> rows;
  const int count = ListViewRowCount(list);
  for (int row = 0; row < count; ++row) {
    auto& cells = rows.emplace_back();
    for (int column = 0; column < columns; ++column) cells.push_back(ListViewCell(list, row, column));
  }
  return rows;
}

int ListViewSelectedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring ListViewHeaderText(HWND list, int column) {
  RemoteMemory memory(list, kBlockSize);
  LVCOLUMNW header{};
  header.mask = LVCF_TEXT;
  header.pszText = static_cast<LPWSTR>(memory.At(kTextOffset));
  header.cchTextMax = static_cast<int>(kTextChars);
  if (!memory.Write(&header, sizeof header) ||
      !SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), memory.Param()))
    return {};
  std::wstring text(kTextChars, L'\0');
  if (!memory.Read(text.data(), kTextChars * sizeof(wchar_t), kTextOffset)) return {};
  text.resize(wcsnlen(text.c_str(), kTextChars - 1));
  return text;
}

int ListViewColumnWidth(HWND list, int column) {
  return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

namespace {

std::optional<LPARAM> RowCentre(HWND list, int row) {
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  const auto rect = ItemRect(list, row);
  if (!rect) return std::nullopt;
  return MAKELPARAM((rect->left + rect->right) / 2, (rect->top + rect->bottom) / 2);
}

}  // namespace

bool ClickListViewRow(HWND list, int row) {
  const auto at = RowCentre(list, row);
  if (!at) return false;
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, *at);
  PostMessageW(list, WM_LBUTTONUP, 0, *at);
  return true;
}

bool DoubleClickListViewRow(HWND list, int row) {
  const auto at = RowCentre(list, row);
  if (!at) return false;
  ClickListViewRow(list, row);
  PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, *at);
  PostMessageW(list, WM_LBUTTONUP, 0, *at);
  return true;
}

}  // namespace driver
