// The layouts of the list window and the editor, in twips (1440 per inch),
// positions from the top-left corner of the client area. Each table is in
// z-order, which is the tab order of the controls that take the focus;
// labels never do. A screen reader names a text box or list after the label
// just before it in z-order, so each label comes right before its field.
#pragma once

#include <array>
#include <string_view>

#include "resource.h"

enum class ControlKind { PushButton, DefaultButton, ListView, Label, TextBox, DropDownList, CheckBox };

struct ControlLayout {
  int id;
  ControlKind kind;
  std::wstring_view caption;
  int left, top, width, height;
};

struct WindowLayout {
  std::wstring_view caption;
  int clientWidth, clientHeight;
};

// frmSetup
inline constexpr WindowLayout kSetupWindow = {L"Chimewatch", 6345, 3450};
inline constexpr std::array<ControlLayout, 6> kSetupControls = {{
    {IDC_CMDNIEUW, ControlKind::PushButton, L"&New", 5040, 120, 1215, 375},
    {IDC_CMDEDIT, ControlKind::PushButton, L"&Edit", 5040, 600, 1215, 375},
    {IDC_CMDREMOVE, ControlKind::PushButton, L"&Delete", 5040, 1080, 1215, 375},
    {IDC_CMDCLOSE, ControlKind::PushButton, L"&Close", 5040, 3000, 1215, 375},
    // A list view shows no window text: it is the list's name for screen readers.
    {IDC_LSTALARM, ControlKind::ListView, L"Alerts", 120, 120, 4815, 3255},
    {IDC_LBLTIJD, ControlKind::Label, L"", 5040, 1560, 1215, 255},
}};

struct ColumnLayout {
  std::wstring_view header;
  int width;
};

// lstAlarm: the active mark, description, weekday, time, and the hidden
// slot number and sort key.
inline constexpr std::array<ColumnLayout, 6> kAlarmListColumns = {{
    {L"", 80},
    {L"Description", 2000},
    {L"", 100},
    {L"Time", 1200},
    {L"Number", 0},
    {L"SortTime", 0},
}};

// frmEdit
inline constexpr WindowLayout kEditWindow = {L"Edit alert", 4680, 2130};
inline constexpr std::array<ControlLayout, 12> kEditControls = {{
    {IDC_CHKACTIEF, ControlKind::CheckBox, L"Active", 120, 120, 1275, 255},
    {IDC_LABEL1, ControlKind::Label, L"Description", 120, 480, 855, 255},
    {IDC_TXTNAME, ControlKind::TextBox, L"Alert !!", 1200, 480, 3375, 285},
    {IDC_LABEL3, ControlKind::Label, L"Date", 120, 840, 1575, 255},
    {IDC_TXTDATE, ControlKind::TextBox, L"Text1", 1200, 840, 975, 285},
    {IDC_LABEL4, ControlKind::Label, L"Time", 2640, 840, 855, 255},
    {IDC_TXTTIJD, ControlKind::TextBox, L"Text1", 3600, 840, 975, 285},
    {IDC_LABEL5, ControlKind::Label, L"Repeat", 120, 1200, 855, 255},
    {IDC_CMBREPEAT, ControlKind::DropDownList, L"", 1200, 1200, 1455, 315},
    {IDC_CMDOK, ControlKind::DefaultButton, L"OK", 2040, 1680, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, L"Cancel", 3360, 1680, 1215, 375},
    {IDC_CHKDELETE, ControlKind::CheckBox, L"Delete when over", 2880, 1200, 1695, 255},
}};
