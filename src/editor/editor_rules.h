// What the alarm editor shows and what its OK stores.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "alarm_table.h"
#include "recurrence.h"
#include "text_table.h"

// The request text that asks the editor for a new alarm; any other text is
// the number of the slot to edit.
inline constexpr std::wstring_view kNewAlarmRequest = L"500";
std::wstring EditRequestFor(int slot);
bool IsNewAlarmRequest(std::wstring_view request);

// The Repeat list's first entries: the five modes by their names (ModeText).
inline constexpr int kModeEntries = EachYear + 1;

// A rule alert's extra Repeat entry, after the five modes; after it (or
// the modes) the last entry, which opens the Custom dialog.
inline constexpr int kRuleEntry = kModeEntries;

// Check box values.
enum CheckState : int { Unchecked = 0, Checked = 1, Grayed = 2 };

// The editable fields as the controls hold them.
struct EditorFields {
  int chkActief = Checked;
  std::wstring txtName = Text(TextId::EditorBoxNewAlert);
  std::wstring txtDate;
  std::wstring txtTijd;
  int cmbRepeat = Once;  // list index, -1 for none selected
  int chkDelete = Unchecked;
  // A rule alert's rule (alarm_rule.h), kept while kRuleEntry is chosen,
  // its words for that entry, and the time the alert was due when shown
  // (kRuleStartsAnew for a rule from the Custom dialog).
  std::wstring rule{};
  std::wstring ruleWords{};
  DateValue ruleDue = 0.0;
  // The alert's sound, as the Sound dialog left it.
  std::wstring sound{};
  bool soundUntilAnswered = false;

  bool operator==(const EditorFields&) const = default;
};

inline constexpr DateValue kRuleStartsAnew = -1.0e7;  // no date the editor takes

// A new alarm: now's date and time, "Once", delete when over.
EditorFields NewAlarmFields(DateValue now);

// An existing alarm. A hand-edited repeat outside the list shows no entry;
// OK then asks for one. A rule alert shows its rule's words as an extra
// entry, chosen.
EditorFields FieldsFromSlot(const AlarmRecord& alarm);

// The rule the fields hold, for the Custom dialog; none for a mode.
std::optional<RepeatRule> ChosenRule(const EditorFields& fields);
// The start the Custom dialog counts from: the date and time entered, or
// `now` while they are no date and time.
DateValue CustomRuleStart(const EditorFields& fields, DateValue now);
// The fields once the Custom dialog gave `rule`: its entry chosen, named in
// words, its series starting at the date and time OK takes.
void ChooseRule(EditorFields& fields, const RepeatRule& rule);

enum class EditorField { None, Date, Time, Repeat };

struct EditorOutcome {
  std::optional<AlarmRecord> alarm;  // the slot to store, when the fields are valid
  EditorField badField = EditorField::None;
  std::wstring message;  // what to tell the user otherwise
};

// The record OK writes: Exist set, Getoond cleared, Actief from a checked or
// grayed box, the description as typed, date plus time, the repeat index,
// the sound, and Delete only for a checked box with "Once" or a rule. A rule whose
// date or time was changed (or is new) starts its series there, and the
// alert is due at the series' first occurrence from then on. Texts that are
// no date or time, and a rule with no date left, give no record and say
// which field and what it accepts.
EditorOutcome cmdOK_Record(const EditorFields& fields, int currentYear);
