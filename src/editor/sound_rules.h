// What the Sound dialog shows and what its OK keeps for the alert.
#pragma once

#include <optional>
#include <string>

#include "alert_sound.h"
#include "editor_rules.h"

// The three choices, in the dialog's order.
enum SoundOption : int { ReminderOption = 0, NoSoundOption = 1, FileOption = 2 };

struct SoundFields {
  int option = ReminderOption;
  std::wstring txtFile;  // kept while another choice is made
  int chkUntilAnswered = Unchecked;

  bool operator==(const SoundFields&) const = default;
};

SoundFields SoundFieldsFor(const std::wstring& sound, bool untilAnswered);

// The sound the fields choose, as the Play button plays it: a file choice
// with no file is silence.
AlertSound ChosenSound(const SoundFields& fields);

struct SoundOutcome {
  std::optional<std::wstring> sound;  // as the store keeps it, when the fields are valid
  bool untilAnswered = false;
  std::wstring message;  // what to tell the user otherwise
};

// A file choice needs a file; its text is trimmed, and a name the store
// would read as something else ("none") is no file either.
SoundOutcome cmdSoundOK_Record(const SoundFields& fields);
