// frmEdit: the modal editor of one alarm.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "alarm_table.h"
#include "date_value.h"

inline constexpr wchar_t kEditWindowClass[] = L"ChimewatchEdit";

struct EditDialogContext {
  AlarmTable& table;
  const Clock& clock;
  std::wstring request;           // "500" for a new alarm, else the slot number
  std::function<void(int)> save;  // the list window's Save
  // While the editor for a new alarm is open: the free slot it has chosen,
  // which its OK will write. An import meanwhile leaves it alone.
  std::optional<int> heldSlot;
};

// Shows the editor over its owner and returns when it has closed.
void ShowEditDialog(HINSTANCE instance, HWND owner, EditDialogContext& context);

// Closes an open editor as Cancel does.
void CloseEditDialog(HWND editor);
