// The layouts of the list window and the editor, in twips (1440 per inch),
// positions from the top-left corner of the client area. Each table is in
// z-order, which is the tab order of the controls that take the focus;
// labels never do. A screen reader names a text box or list after the label
// just before it in z-order, so each label comes right before its field.
// Labels and check boxes reach up to the next field, as far as a longer
// text in another language may go; English shows as it always did.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "resource.h"
#include "text_id.h"

enum class ControlKind : std::uint8_t {
  PushButton,
  DefaultButton,
  ListView,
  Label,
  TextBox,
  DropDownList,
  CheckBox,
  RadioButton,  // the first of a group takes the focus; the arrow keys move within it
  PasswordBox,  // a text box that shows dots
};

// Packed small: the tables hold forty of them.
struct ControlLayout {
  std::int16_t id;
  ControlKind kind;
  TextId caption;
  std::int16_t left, top, width, height;
};

struct WindowLayout {
  TextId caption;
  int clientWidth, clientHeight;
};

// frmSetup
inline constexpr WindowLayout kSetupWindow = {TextId::CommonTitle, 6345, 3450};
inline constexpr std::array<ControlLayout, 6> kSetupControls = {{
    {IDC_CMDNIEUW, ControlKind::PushButton, TextId::ListNew, 5040, 120, 1215, 375},
    {IDC_CMDEDIT, ControlKind::PushButton, TextId::ListEdit, 5040, 600, 1215, 375},
    {IDC_CMDREMOVE, ControlKind::PushButton, TextId::ListDelete, 5040, 1080, 1215, 375},
    {IDC_CMDCLOSE, ControlKind::PushButton, TextId::ListClose, 5040, 3000, 1215, 375},
    // A list view shows no window text: it is the list's name for screen readers.
    {IDC_LSTALARM, ControlKind::ListView, TextId::ListNamesAlerts, 120, 120, 4815, 3255},
    {IDC_LBLTIJD, ControlKind::Label, kNoText, 5040, 1560, 1215, 255},
}};

struct ColumnLayout {
  TextId header;
  int width;
};

// lstAlarm: the active mark, description, weekday, time, and the hidden
// slot number and sort key.
inline constexpr std::array<ColumnLayout, 6> kAlarmListColumns = {{
    {kNoText, 80},
    {TextId::ListNamesDescription, 2000},
    {kNoText, 100},
    {TextId::ListNamesTime, 1200},
    {TextId::ListNamesNumber, 0},
    {TextId::ListNamesSortTime, 0},
}};

// frmEdit
inline constexpr WindowLayout kEditWindow = {TextId::EditorTitle, 4680, 2130};
inline constexpr std::array<ControlLayout, 13> kEditControls = {{
    {IDC_CHKACTIEF, ControlKind::CheckBox, TextId::EditorActive, 120, 120, 2400, 255},
    {IDC_LABEL1, ControlKind::Label, TextId::EditorDescription, 120, 480, 1020, 255},
    {IDC_TXTNAME, ControlKind::TextBox, TextId::EditorBoxNewAlert, 1200, 480, 3375, 285},
    {IDC_LABEL3, ControlKind::Label, TextId::EditorDate, 120, 840, 1575, 255},
    {IDC_TXTDATE, ControlKind::TextBox, kNoText, 1200, 840, 975, 285},
    {IDC_LABEL4, ControlKind::Label, TextId::EditorTime, 2640, 840, 900, 255},
    {IDC_TXTTIJD, ControlKind::TextBox, kNoText, 3600, 840, 975, 285},
    {IDC_LABEL5, ControlKind::Label, TextId::EditorRepeat, 120, 1200, 1020, 255},
    {IDC_CMBREPEAT, ControlKind::DropDownList, kNoText, 1200, 1200, 1455, 315},
    {IDC_CMDOK, ControlKind::DefaultButton, TextId::EditorOK, 2040, 1680, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, TextId::EditorCancel, 3360, 1680, 1215, 375},
    {IDC_CHKDELETE, ControlKind::CheckBox, TextId::EditorDeleteWhenOver, 2880, 1200, 1695, 255},
    // Last in tab order, so that the fields before it keep theirs.
    {IDC_CMDSOUND, ControlKind::PushButton, TextId::EditorSound, 120, 1680, 1215, 375},
}};

// The Custom repeat dialog. The weekday boxes are Monday first, from
// IDC_CHKDAY_FIRST on.
inline constexpr WindowLayout kCustomRuleWindow = {TextId::CustomTitle, 5760, 2520};
inline constexpr std::array<ControlLayout, 22> kCustomRuleControls = {{
    {IDC_LBLINTERVAL, ControlKind::Label, TextId::CustomEvery, 120, 150, 1275, 255},
    {IDC_TXTINTERVAL, ControlKind::TextBox, kNoText, 1440, 120, 735, 285},
    {IDC_LBLUNIT, ControlKind::Label, TextId::CustomPeriod, 120, 510, 1275, 255},
    {IDC_CMBUNIT, ControlKind::DropDownList, kNoText, 1440, 480, 1695, 315},
    {IDC_LBLDAYS, ControlKind::Label, TextId::CustomOn, 120, 870, 1275, 255},
    {IDC_CHKDAY_FIRST, ControlKind::CheckBox, TextId::CustomMonday, 1440, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 1, ControlKind::CheckBox, TextId::CustomTuesday, 2040, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 2, ControlKind::CheckBox, TextId::CustomWednesday, 2640, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 3, ControlKind::CheckBox, TextId::CustomThursday, 3240, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 4, ControlKind::CheckBox, TextId::CustomFriday, 3840, 870, 600, 255},
    {IDC_CHKDAY_FIRST + 5, ControlKind::CheckBox, TextId::CustomSaturday, 4440, 870, 600, 255},
    {IDC_CHKDAY_LAST, ControlKind::CheckBox, TextId::CustomSunday, 5040, 870, 720, 255},
    {IDC_LBLPLACE, ControlKind::Label, TextId::CustomInAMonth, 120, 1230, 1275, 255},
    {IDC_CMBPLACE, ControlKind::DropDownList, kNoText, 1440, 1200, 1695, 315},
    {IDC_LBLWEEKDAY, ControlKind::Label, TextId::CustomWeekday, 3240, 1230, 900, 255},
    {IDC_CMBWEEKDAY, ControlKind::DropDownList, kNoText, 4200, 1200, 1440, 315},
    {IDC_LBLEND, ControlKind::Label, TextId::CustomEnds, 120, 1590, 1275, 255},
    {IDC_CMBEND, ControlKind::DropDownList, kNoText, 1440, 1560, 1695, 315},
    {IDC_LBLENDVALUE, ControlKind::Label, TextId::CustomTimesOrDate, 3240, 1590, 1275, 255},
    {IDC_TXTENDVALUE, ControlKind::TextBox, kNoText, 4560, 1560, 1080, 285},
    {IDC_CMDOK, ControlKind::DefaultButton, TextId::CustomOK, 3120, 2040, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, TextId::CustomCancel, 4440, 2040, 1215, 375},
}};

// The Sound dialog, opened from the editor's Sound... button. The three
// choices are one group of radio buttons.
inline constexpr WindowLayout kSoundWindow = {TextId::SoundTitle, 4800, 2760};
inline constexpr std::array<ControlLayout, 10> kSoundControls = {{
    {IDC_OPTREMINDER, ControlKind::RadioButton, TextId::SoundReminder, 120, 120, 4560, 255},
    {IDC_OPTNOSOUND, ControlKind::RadioButton, TextId::SoundNone, 120, 420, 4560, 255},
    {IDC_OPTFILE, ControlKind::RadioButton, TextId::SoundFile, 120, 720, 4560, 255},
    {IDC_LBLSOUNDFILE, ControlKind::Label, TextId::SoundFileName, 360, 1080, 780, 255},
    {IDC_TXTSOUNDFILE, ControlKind::TextBox, kNoText, 1200, 1050, 3480, 285},
    {IDC_CMDBROWSE, ControlKind::PushButton, TextId::SoundBrowse, 1440, 1440, 1575, 375},
    {IDC_CMDPLAY, ControlKind::PushButton, TextId::SoundPlay, 3105, 1440, 1575, 375},
    {IDC_CHKUNTILANSWERED, ControlKind::CheckBox, TextId::SoundUntilAnswered, 120, 1920, 4560, 255},
    {IDC_CMDOK, ControlKind::DefaultButton, TextId::SoundOK, 2160, 2280, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, TextId::SoundCancel, 3465, 2280, 1215, 375},
}};

// The calendars window, from the tray menu's Calendars...: the followed
// calendars with their state, and what can be done with them.
inline constexpr WindowLayout kCalendarsWindow = {TextId::CalendarsTitle, 8400, 3720};
inline constexpr std::array<ControlLayout, 6> kCalendarsControls = {{
    {IDC_LBLCALENDARS, ControlKind::Label, TextId::CalendarsList, 120, 120, 8160, 255},
    {IDC_LSTCALENDARS, ControlKind::ListView, TextId::CalendarsTitle, 120, 390, 8160, 2760},
    {IDC_CMDADD, ControlKind::PushButton, TextId::CalendarsAdd, 120, 3240, 1575, 375},
    {IDC_CMDREMOVE, ControlKind::PushButton, TextId::CalendarsRemove, 1815, 3240, 1575, 375},
    {IDC_CMDREFRESH, ControlKind::PushButton, TextId::CalendarsRefresh, 3510, 3240, 2055, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, TextId::CalendarsClose, 6705, 3240, 1575, 375},
}};

// Add...: the address, a name, a user name and password where the server
// asks for them, and the lead for events without a reminder of their own.
inline constexpr WindowLayout kAddCalendarWindow = {TextId::AddCalendarTitle, 7200, 3240};
inline constexpr std::array<ControlLayout, 17> kAddCalendarControls = {{
    {IDC_LBLADDRESS, ControlKind::Label, TextId::AddCalendarAddress, 120, 150, 1500, 255},
    {IDC_TXTADDRESS, ControlKind::TextBox, kNoText, 1680, 120, 5400, 285},
    {IDC_LBLCALNAME, ControlKind::Label, TextId::AddCalendarName, 120, 510, 1500, 255},
    {IDC_TXTCALNAME, ControlKind::TextBox, kNoText, 1680, 480, 2160, 285},
    {IDC_LBLCALNAMEHINT, ControlKind::Label, TextId::AddCalendarNameHint, 3960, 510, 3120, 255},
    {IDC_LBLUSER, ControlKind::Label, TextId::AddCalendarUser, 120, 870, 1500, 255},
    {IDC_TXTUSER, ControlKind::TextBox, kNoText, 1680, 840, 2160, 285},
    {IDC_LBLPASSWORD, ControlKind::Label, TextId::AddCalendarPassword, 120, 1230, 1500, 255},
    {IDC_TXTPASSWORD, ControlKind::PasswordBox, kNoText, 1680, 1200, 2160, 285},
    {IDC_LBLLEAD, ControlKind::Label, TextId::AddCalendarLead, 120, 1620, 6960, 255},
    {IDC_TXTLEAD, ControlKind::TextBox, kNoText, 1680, 1920, 600, 285},
    {IDC_LBLLEADUNIT, ControlKind::Label, TextId::AddCalendarLeadUnit, 2400, 1950, 4680, 255},
    {IDC_LBLREFRESH, ControlKind::Label, TextId::AddCalendarRefresh, 120, 2310, 1500, 255},
    {IDC_TXTREFRESH, ControlKind::TextBox, kNoText, 1680, 2280, 600, 285},
    {IDC_LBLREFRESHUNIT, ControlKind::Label, TextId::AddCalendarRefreshUnit, 2400, 2310, 4680, 255},
    {IDC_CMDOK, ControlKind::DefaultButton, TextId::AddCalendarOK, 4560, 2760, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, TextId::AddCalendarCancel, 5865, 2760, 1215, 375},
}};

// The password a server asks for, when the command line named the user.
inline constexpr WindowLayout kPasswordWindow = {TextId::PasswordTitle, 4800, 1800};
inline constexpr std::array<ControlLayout, 5> kPasswordControls = {{
    {IDC_LBLPROMPT, ControlKind::Label, kNoText, 120, 120, 4560, 510},
    {IDC_LBLPASSWORD, ControlKind::Label, TextId::PasswordField, 120, 810, 1155, 255},
    {IDC_TXTPASSWORD, ControlKind::PasswordBox, kNoText, 1320, 780, 3360, 285},
    {IDC_CMDOK, ControlKind::DefaultButton, TextId::PasswordOK, 2160, 1320, 1215, 375},
    {IDC_CMDCANCEL, ControlKind::PushButton, TextId::PasswordCancel, 3465, 1320, 1215, 375},
}};
