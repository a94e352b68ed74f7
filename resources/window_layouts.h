// The layouts of the list window and the editor, in twips (1440 per inch),
// positions from the top-left corner of the client area. Each table is in
// z-order, which is the tab order of the controls that take the focus;
// labels never do. A screen reader names a text box or list after the label
// just before it in z-order, so each label comes right before its field.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "resource.h"

enum class ControlKind : std::uint8_t { PushButton, DefaultButton, ListView, Label, TextBox, DropDownList, CheckBox };

// Packed small: the tables hold forty of them.
struct ControlLayout {
  std::int16_t id;
  ControlKind kind;
  const wchar_t* caption;
  std::int16_t left, top, width, height;
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

// The Custom repeat dialog. The weekday boxes are Monday first, from
// IDC_CHKDAY_FIRST on.
inline constexpr WindowLayout kCustomRuleWindow = {L"Custom repeat", 5760, 2520};
inline constexpr std::array<ControlLayout, 22> kCustomRuleControls = {{
    {IDC_LBLINTERVAL, ControlKind::Label, L"Every", 120, 150, 1275, 255},
    {IDC_TXTINTERVAL, ControlKind::TextBox, L"", 1440, 120, 735, 285},
    {IDC_LBLUNIT, ControlKind::Label, L"Period", 120, 510, 1275, 255},
    {IDC_CMBUNIT, ControlKind::DropDownList, L"", 1440, 480, 1695, 315},
    {IDC_LBLDAYS, ControlKind::Label, L"On", 120, 870, 1275, 255},
    {IDC_CHKDAY_FIRST, ControlKind::CheckBox, L"&Mo", 1440, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 1, ControlKind::CheckBox, L"T&u", 2040, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 2, ControlKind::CheckBox, L"&We", 2640, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 3, ControlKind::CheckBox, L"T&h", 3240, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 4, ControlKind::CheckBox, L"&Fr", 3840, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 5, ControlKind::CheckBox, L"S&a", 4440, 870, 600, 255},
    {IDC_CHKDAY_LAST, ControlKind::CheckBox, L"&Su", 5040, 870, 600, 255},
    {IDC_LBLPLACE, ControlKind::Label, L"In a month", 120, 1230, 1275, 255},
    {IDC_CMBPLACE, ControlKind::DropDownList, L"", 1440, 1200, 1695, 315},
    {IDC_LBLWEEKDAY, ControlKind::Label, L"Weekday", 3240, 1230, 855, 255},
    {IDC_CMBWEEKDAY, ControlKind::DropDownList, L"", 4200, 1200, 1440, 315},
    {IDC_LBLEND, ControlKind::Label, L"Ends", 120, 1590, 1275, 255},
    {IDC_CMBEND, ControlKind::DropDownList, L"", 1440, 1560, 1695, 315},
    {IDC_LBLENDVALUE, ControlKind::Label, L"Times/date", 3240, 1590, 1275, 255},
    {IDC_TXTENDVALUE, ControlKind::TextBox, L"", 4560, 1560, 1080, 285},
    {IDC_CMDOK, ControlKind::DefaultButton, L"OK", 3120, 2040, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, L"Cancel", 4440, 2040, 1215, 375},
}};
